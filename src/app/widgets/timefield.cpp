#include "timefield.h"

#include "platform/dialogs.h"
#include "text/datehelpers.h"
#include "text/timebar.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

TimeField::TimeField(const RegionalSettings &regional, QWidget *parent)
    : QLineEdit(parent)
    , m_regional(regional)
{
    setMaxLength(32); // far more than any time; a long paste is not a time anyway
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        const auto time = readTypedTime(text, m_regional);
        if (!time || *time == m_lastTime)
            return;
        m_lastTime = *time;
        Q_EMIT timeChanged(*time);
    });
    setTime(QTime(0, 0));
}

QTime TimeField::time() const
{
    return readTypedTime(text(), m_regional).value_or(QTime());
}

void TimeField::setTime(QTime time)
{
    if (!time.isValid())
        return;
    const QTime minute(time.hour(), time.minute());
    setText(formatDateValue(QStringLiteral("t"), datevalue::fromTime(minute), m_regional));
}

bool TimeField::refuseUnread(Dialogs &dialogs, DateValue now)
{
    if (time().isValid())
        return false;
    showError(dialogs,
        QStringLiteral("Please enter a valid time, such as ") + formatDateValue(QStringLiteral("t"), now, m_regional));
    setFocus();
    selectAll();
    return true;
}

void TimeField::keyPressEvent(QKeyEvent *event)
{
    if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        std::optional<timebar::TimeKey> key;
        switch (event->key()) {
        case Qt::Key_Up:
            key = timebar::TimeKey::Up;
            break;
        case Qt::Key_Down:
            key = timebar::TimeKey::Down;
            break;
        case Qt::Key_PageUp:
            key = timebar::TimeKey::PageUp;
            break;
        case Qt::Key_PageDown:
            key = timebar::TimeKey::PageDown;
            break;
        default:
            break;
        }
        if (key) {
            const QTime from = time().isValid() ? time() : m_lastTime;
            setTime(timebar::applyTimeKey(*key, from, from));
            selectAll();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TimeField::focusOutEvent(QFocusEvent *event)
{
    // A time typed in another form ("23:45", "11p") is shown as it will be saved; a text
    // that is not a time stays as typed, for the dialog to refuse.
    if (const QTime typed = time(); typed.isValid()) {
        const QString regional = formatDateValue(QStringLiteral("t"), datevalue::fromTime(typed), m_regional);
        if (regional != text())
            setText(regional);
    }
    QLineEdit::focusOutEvent(event);
}

int TimeField::textWidth() const
{
    // Room for the widest time of the day in the regional pattern.
    int widest = 0;
    for (int hour : { 0, 10, 12, 20, 23 }) {
        const QString sample = formatDateValue(QStringLiteral("t"), datevalue::fromTime(QTime(hour, 58)), m_regional);
        widest = std::max(widest, fontMetrics().horizontalAdvance(sample));
    }
    return widest + fontMetrics().horizontalAdvance(QLatin1Char('0'));
}

QSize TimeField::sizeHint() const
{
    QSize hint = QLineEdit::sizeHint();
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QSize contents(textWidth() + 2 * 2, fontMetrics().height());
    const QSize needed = style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, this);
    hint.setWidth(needed.width());
    return hint;
}

QSize TimeField::minimumSizeHint() const
{
    return QSize(sizeHint().width(), QLineEdit::minimumSizeHint().height());
}
