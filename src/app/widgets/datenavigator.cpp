#include "datenavigator.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {

struct StepInfo
{
    const char *objectName;
    const char *toolTip;
    int arrows; // more arrows, a longer step
    bool forward;
};

constexpr StepInfo Steps[] = {
    { "prevYear", QT_TRANSLATE_NOOP("DateNavigator", "Previous year"), 4, false },
    { "prevMonth", QT_TRANSLATE_NOOP("DateNavigator", "Previous month"), 3, false },
    { "prevWeek", QT_TRANSLATE_NOOP("DateNavigator", "Previous week"), 2, false },
    { "prevDay", QT_TRANSLATE_NOOP("DateNavigator", "Previous day"), 1, false },
    { "nextDay", QT_TRANSLATE_NOOP("DateNavigator", "Next day"), 1, true },
    { "nextWeek", QT_TRANSLATE_NOOP("DateNavigator", "Next week"), 2, true },
    { "nextMonth", QT_TRANSLATE_NOOP("DateNavigator", "Next month"), 3, true },
    { "nextYear", QT_TRANSLATE_NOOP("DateNavigator", "Next year"), 4, true },
};

// A row of overlapping triangles pointing left or right, drawn at the font's height so
// the buttons grow with the navigator's font.
QPixmap arrowPixmap(int arrows, bool forward, int height, qreal pixelRatio, const QColor &colour)
{
    const qreal h = height;
    const qreal triangle = h * 0.5; // width of one triangle
    const qreal advance = triangle * 0.75;
    const qreal width = triangle + (arrows - 1) * advance;
    QPixmap pixmap(QSize(int(width + 2.5), height) * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal top = h * 0.15;
    const qreal bottom = h * 0.85;
    // Drawn from the back: each triangle first clears a thin outline of itself, so that
    // overlapping triangles stay apart.
    for (int n = 0; n < arrows; ++n) {
        const int i = forward ? n : arrows - 1 - n;
        const qreal x = 1 + i * advance;
        QPainterPath path;
        if (forward) {
            path.moveTo(x, top);
            path.lineTo(x + triangle, h / 2);
            path.lineTo(x, bottom);
        } else {
            path.moveTo(x + triangle, top);
            path.lineTo(x, h / 2);
            path.lineTo(x + triangle, bottom);
        }
        path.closeSubpath();
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.strokePath(path, QPen(Qt::transparent, 2.0));
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.fillPath(path, colour);
    }
    painter.end();
    return pixmap;
}

} // namespace

DateNavigator::DateNavigator(QWidget *parent)
    : QWidget(parent)
    , m_date(2000, 1, 1)
    , m_formatter([](QDate d) { return d.toString(Qt::ISODate); })
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("dateLabel"));
    m_label->setAlignment(Qt::AlignCenter);
    // The label asks for no more than its least width (updateLabelWidth), so the date of the
    // day does not move the calendars' column; a date wider than that is cut, and the
    // tooltip has it whole.
    m_label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    for (int i = 0; i < 8; ++i) {
        const StepInfo &info = Steps[i];
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(info.objectName));
        button->setToolTip(tr(info.toolTip));
        button->setAccessibleName(tr(info.toolTip));
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        m_buttons[i] = button;
        connect(button, &QToolButton::clicked, this, [this, i] { step(Step(i)); });
        if (i == 4)
            row->addWidget(m_label, 1);
        row->addWidget(button);
    }
    updateIcons();
    updateText();
    updateLabelWidth();
}

void DateNavigator::setDate(QDate date)
{
    if (!date.isValid() || date == m_date)
        return;
    m_date = date;
    updateText();
}

void DateNavigator::setFormatter(Formatter formatter)
{
    if (!formatter)
        return;
    m_formatter = std::move(formatter);
    updateText();
    updateLabelWidth();
}

QDate DateNavigator::stepped(QDate from, Step step)
{
    // QDate's month and year arithmetic already cuts the day to the month's length.
    switch (step) {
    case Step::PreviousYear:
        return from.addYears(-1);
    case Step::PreviousMonth:
        return from.addMonths(-1);
    case Step::PreviousWeek:
        return from.addDays(-7);
    case Step::PreviousDay:
        return from.addDays(-1);
    case Step::NextDay:
        return from.addDays(1);
    case Step::NextWeek:
        return from.addDays(7);
    case Step::NextMonth:
        return from.addMonths(1);
    case Step::NextYear:
        return from.addYears(1);
    }
    return from;
}

void DateNavigator::step(Step which)
{
    const QDate target = stepped(m_date, which);
    if (!target.isValid() || target == m_date)
        return;
    m_date = target;
    updateText();
    Q_EMIT dateChanged(m_date);
}

QToolButton *DateNavigator::button(Step which) const
{
    return m_buttons[int(which)];
}

void DateNavigator::updateText()
{
    const QString text = m_formatter(m_date);
    m_label->setText(text);
    m_label->setToolTip(text);
}

void DateNavigator::updateLabelWidth()
{
    // Two-digit days and every month of a year with four digits: the widest a format of
    // numbers or of month names writes.
    const QFontMetrics fm = fontMetrics(); // the label has the navigator's font
    int widest = 0;
    for (int month = 1; month <= 12; ++month)
        widest = std::max(widest, fm.horizontalAdvance(m_formatter(QDate(2000, month, 28))));
    widest = std::max(widest, fm.horizontalAdvance(m_formatter(m_date)));
    m_label->setMinimumWidth(widest + 2 * fm.horizontalAdvance(QLatin1Char(' ')));
}

void DateNavigator::updateIcons()
{
    const int height = fontMetrics().height();
    const QColor colour = palette().color(QPalette::ButtonText);
    for (int i = 0; i < 8; ++i) {
        const QPixmap pixmap = arrowPixmap(Steps[i].arrows, Steps[i].forward, height, devicePixelRatio(), colour);
        m_buttons[i]->setIcon(QIcon(pixmap));
        m_buttons[i]->setIconSize(pixmap.deviceIndependentSize().toSize());
    }
}

void DateNavigator::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange
        || event->type() == QEvent::StyleChange)
        updateIcons();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        updateLabelWidth();
    QWidget::changeEvent(event);
}
