#include "datefield.h"

#include "platform/dialogs.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>

#include <algorithm>

DateField::DateField(const RegionalSettings &regional, QWidget *parent)
    : QWidget(parent)
    , m_regional(regional)
    , m_edit(new QLineEdit(this))
    , m_button(new QToolButton(this))
{
    m_edit->setObjectName(QStringLiteral("edit"));
    m_edit->installEventFilter(this);
    m_button->setObjectName(QStringLiteral("dropButton"));
    m_button->setArrowType(Qt::DownArrow);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setToolTip(QStringLiteral("Pick the day on a calendar (Alt+Down)"));
    setFocusProxy(m_edit);
    setFocusPolicy(Qt::StrongFocus);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    m_button->setFixedHeight(m_edit->sizeHint().height());

    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString &text) {
        const QDate day = parseShortDate(text, m_regional);
        if (day.isValid())
            m_lastDate = day;
        Q_EMIT textChanged(text);
    });
    connect(m_button, &QToolButton::clicked, this, &DateField::dropDown);
}

QDate DateField::date() const
{
    return parseShortDate(m_edit->text(), m_regional);
}

void DateField::setDate(QDate date)
{
    m_edit->setText(
        date.isValid() ? formatDateValue(QStringLiteral("ddddd"), datevalue::fromDate(date), m_regional) : QString());
}

QString DateField::text() const
{
    return m_edit->text();
}

bool DateField::refuseUnread(Dialogs &dialogs, DateValue now)
{
    if (date().isValid())
        return false;
    showError(dialogs,
        QStringLiteral("Please enter a valid date, such as ")
            + formatDateValue(QStringLiteral("ddddd"), now, m_regional));
    m_edit->setFocus();
    m_edit->selectAll();
    return true;
}

void DateField::setWeekStart(Qt::DayOfWeek day)
{
    m_weekStart = day;
    if (m_calendar)
        m_calendar->setFirstDayOfWeek(day);
}

QCalendarWidget *DateField::openCalendar() const
{
    return m_popup && m_popup->isVisible() ? m_calendar.data() : nullptr;
}

void DateField::dropDown()
{
    if (m_popup)
        m_popup->close();

    auto *popup = new QWidget(this, Qt::Popup);
    popup->setObjectName(QStringLiteral("calendarPopup"));
    popup->setAttribute(Qt::WA_DeleteOnClose);
    auto *calendar = new QCalendarWidget(popup);
    calendar->setObjectName(QStringLiteral("calendar"));
    calendar->setFirstDayOfWeek(m_weekStart);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar->setGridVisible(false);
    const QDate shown = date().isValid() ? date() : m_lastDate;
    if (shown.isValid())
        calendar->setSelectedDate(shown);
    auto *layout = new QHBoxLayout(popup);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(calendar);
    connect(calendar, &QCalendarWidget::clicked, this, &DateField::pick);
    connect(calendar, &QCalendarWidget::activated, this, &DateField::pick);
    m_popup = popup;
    m_calendar = calendar;

    // Under the field, kept on the screen: above the field when there is no room below.
    popup->adjustSize();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        if (at.y() + popup->height() > area.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - popup->height());
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - popup->width())));
    }
    popup->move(at);
    popup->show();
    calendar->setFocus();
}

void DateField::pick(QDate date)
{
    setDate(date);
    if (m_popup)
        m_popup->close();
    m_edit->setFocus();
    m_edit->selectAll();
}

bool DateField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool altDown = key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier);
        if (altDown || (key->key() == Qt::Key_F4 && !(key->modifiers() & ~Qt::KeypadModifier))) {
            dropDown();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
