#include "shadowlabel.h"

#include "colours.h"

#include "schedule/layoutrules.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

ShadowLabel::ShadowLabel(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

ShadowLabel::ShadowLabel(const QString &text, QWidget *parent)
    : ShadowLabel(parent)
{
    m_text = text;
}

void ShadowLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    updateGeometry();
    update();
}

void ShadowLabel::setShadowDepth(int pixels)
{
    pixels = std::max(0, pixels);
    if (pixels == m_depth)
        return;
    m_depth = pixels;
    updateGeometry();
    update();
}

void ShadowLabel::setShadowColour(const QColor &colour)
{
    m_shadow = colour;
    update();
}

void ShadowLabel::setTextColour(const QColor &colour)
{
    m_textColour = colour;
    update();
}

void ShadowLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

void ShadowLabel::setSmallestFitSize(int points)
{
    m_smallestFit = std::max(0, points);
    update();
}

QFont ShadowLabel::shownFont() const
{
    const QFont own = font();
    if (m_smallestFit <= 0 || own.pointSize() <= 0 || m_text.isEmpty())
        return own;
    const int available = contentsRect().width() - 2 * Margin - m_depth;
    const int height = contentsRect().height() - m_depth;
    const int size = layoutrules::fittingPointSize(own.pointSize(), m_smallestFit, available, [&](int points) {
        QFont sized = own;
        sized.setPointSize(points);
        const QFontMetrics metrics(sized);
        // A size too tall for the label does not fit however short the text.
        return metrics.height() > height ? available + 1 : metrics.horizontalAdvance(m_text);
    });
    QFont shown = own;
    shown.setPointSize(size);
    return shown;
}

QString ShadowLabel::shownText() const
{
    if (m_smallestFit <= 0)
        return m_text;
    const int available = contentsRect().width() - 2 * Margin - m_depth;
    return QFontMetrics(shownFont()).elidedText(m_text, Qt::ElideRight, std::max(available, 0));
}

QRect ShadowLabel::textRect() const
{
    // The text and its shadow are aligned as one block, so the shadow never leaves the widget.
    const QRect area = contentsRect().adjusted(Margin, 0, -Margin, 0);
    const QFontMetrics fm(shownFont());
    const QSize block(fm.horizontalAdvance(shownText()) + m_depth, fm.height() + m_depth);
    QRect aligned = QStyle::alignedRect(layoutDirection(), m_alignment, block, area);
    return QRect(aligned.topLeft(), block - QSize(m_depth, m_depth));
}

QSize ShadowLabel::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    const QMargins m = contentsMargins();
    return QSize(fm.horizontalAdvance(m_text) + m_depth + 2 * Margin + m.left() + m.right(),
        fm.height() + m_depth + m.top() + m.bottom());
}

QSize ShadowLabel::minimumSizeHint() const
{
    const QMargins m = contentsMargins();
    return QSize(2 * Margin + m_depth + m.left() + m.right(), fontMetrics().height() + m_depth + m.top() + m.bottom());
}

void ShadowLabel::paintEvent(QPaintEvent *)
{
    if (m_text.isEmpty())
        return;
    QPainter painter(this);
    painter.setFont(shownFont());
    const QString text = shownText();
    const QRect r = textRect();
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    painter.setPen(m_shadow);
    for (int step = m_depth; step >= 1; --step)
        painter.drawText(r.translated(step, step), flags, text);
    // The heading colours of the program assume a light window: on a dark one they are
    // lightened until they read.
    const QColor window = palette().color(backgroundRole());
    painter.setPen(m_textColour.isValid() ? readable::on(m_textColour, window) : palette().color(QPalette::WindowText));
    painter.drawText(r, flags, text);
}

void ShadowLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
