#include "calendarstrip.h"

#include "schedule/dayview.h"
#include "text/regional.h"
#include "widgets/datenavigator.h"

#include <QGridLayout>

#include <utility>

CalendarStrip::CalendarStrip(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlCalendars"));
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    for (int i = 0; i < 4; ++i) {
        auto *cal = new MonthCalendar(this);
        cal->setObjectName(QStringLiteral("cal") + QString::number(i + 1));
        cal->setActive(false);
        cal->setBevel(MonthCalendar::Bevel::Lowered);
        cal->setCellColourHook([this, i](QDate day, int) { return colours(i, day); });
        connect(cal, &MonthCalendar::pressed, this, [this, i] { cal1Click(i); });
        connect(cal, &MonthCalendar::dateChanged, this, [this] { cal1DateChange(); });
        connect(cal, &MonthCalendar::monthChanged, this, [this] { cal1MonthChange(); });
        connect(cal, &MonthCalendar::doubleClicked, this, [this] { Q_EMIT dayDoubleClicked(); });
        layout->addWidget(cal, i / 2, i % 2);
        m_cal[i] = cal;
    }
    m_nav = new DateNavigator(this);
    m_nav->setObjectName(QStringLiteral("nav"));
    connect(m_nav, &DateNavigator::dateChanged, this, &CalendarStrip::navChange);
    layout->addWidget(m_nav, 2, 0, 1, 2);
    layout->setRowStretch(0, 1);
    layout->setRowStretch(1, 1);
}

void CalendarStrip::setRegionalSettings(const RegionalSettings &settings)
{
    for (MonthCalendar *cal : m_cal)
        cal->setRegionalSettings(settings);
    m_nav->setFormatter([settings](QDate date) {
        return formatDateValue(QStringLiteral("ddddd"), datevalue::fromDate(date), settings);
    });
}

void CalendarStrip::setWeekStart(Qt::DayOfWeek day)
{
    for (MonthCalendar *cal : m_cal)
        cal->setWeekStart(day);
}

void CalendarStrip::setCalendarFont(const QFont &font)
{
    m_calendarFont = font;
    for (MonthCalendar *cal : m_cal)
        cal->setFont(font);
    m_nav->setFont(font);
    updateGeometry(); // the least size follows the font
}

void CalendarStrip::setCompactness(bool navigatorShown, bool weekdayHeader, bool bevel, bool labels, int cellFontSize)
{
    m_nav->setVisible(navigatorShown);
    m_bevel = bevel;
    QFont cellFont = m_calendarFont;
    if (cellFontSize > 0)
        cellFont.setPointSize(cellFontSize);
    for (MonthCalendar *cal : m_cal) {
        cal->setShowWeekdayHeader(weekdayHeader);
        cal->setShowCaption(labels);
        if (cal->font() != cellFont)
            cal->setFont(cellFont);
    }
    setLooks(m_active, false);
}

int CalendarStrip::leastHeight(bool navigator, bool weekdayHeaders) const
{
    const auto *grid = static_cast<const QGridLayout *>(layout());
    const QMargins margins = grid->contentsMargins();
    const int bevels = weekdayHeaders ? 2 * MonthCalendar::BevelWidth : 0;
    const int calendar = m_cal[0]->leastSize(m_calendarFont, true, weekdayHeaders).height() + bevels;
    int height = margins.top() + margins.bottom() + 2 * calendar + grid->verticalSpacing();
    if (navigator)
        height += grid->verticalSpacing() + m_nav->sizeHint().height();
    return height;
}

QSize CalendarStrip::minimumSizeHint() const
{
    // As wide as two calendars (with their bevels) or the navigator need in the calendar
    // font, whichever is wider, whether the navigator shows or not.
    const auto *grid = static_cast<const QGridLayout *>(layout());
    const QMargins margins = grid->contentsMargins();
    const int calendar = m_cal[0]->leastSize(m_calendarFont, true, false).width() + 2 * MonthCalendar::BevelWidth;
    const int width = std::max(2 * calendar + grid->horizontalSpacing(), m_nav->minimumSizeHint().width());
    return { margins.left() + margins.right() + width, leastHeight(false, false) };
}

QDate CalendarStrip::selectedDay() const
{
    return m_active >= 0 ? m_cal[m_active]->date() : QDate();
}

void CalendarStrip::setLooks(int active, bool raiseActive)
{
    for (int i = 0; i < 4; ++i) {
        const bool on = i == active;
        m_cal[i]->setActive(on);
        m_cal[i]->setSelectedDayColour(palette().color(on ? QPalette::Light : QPalette::Button));
        if (!m_bevel)
            m_cal[i]->setBevel(MonthCalendar::Bevel::None);
        else if (!on)
            m_cal[i]->setBevel(MonthCalendar::Bevel::Lowered);
        else if (raiseActive || m_cal[i]->bevel() == MonthCalendar::Bevel::None)
            m_cal[i]->setBevel(MonthCalendar::Bevel::Raised);
    }
}

void CalendarStrip::start(QDate today)
{
    m_today = today;
    m_inMonthSync = false;
    m_inDateChange = false;
    m_nav->setDate(today);
    m_active = 1;
    m_previous = 1;
    setLooks(1, true);
    m_inDateChange = true; // the owner reads the day once, after this
    m_cal[1]->setDate(today);
    updateAppropriateMonth();
    m_inDateChange = false;
}

void CalendarStrip::activate(int index)
{
    cal1Click(index);
}

void CalendarStrip::cal1Click(int index)
{
    m_previous = m_active;
    m_active = index;
    setLooks(index, index != m_previous);
    if (index != m_previous)
        cal1DateChange();
    Q_EMIT calendarPressed(index);
}

void CalendarStrip::cal1DateChange()
{
    if (m_inDateChange || m_active < 0)
        return;
    m_inDateChange = true;
    m_previous = m_active;
    m_nav->setDate(selectedDay()); // no navigator change runs from this
    Q_EMIT selectedDayChanged(selectedDay());
    m_inDateChange = false;
}

void CalendarStrip::cal1MonthChange()
{
    if (m_active < 0 || !m_calendarsStable || m_inMonthSync)
        return;
    m_inMonthSync = true;
    updateAppropriateMonth();
    m_nav->setDate(selectedDay());
    m_inMonthSync = false;
}

void CalendarStrip::navChange(QDate date)
{
    if (m_inNavChange)
        return;
    m_inMonthSync = true;
    m_inNavChange = true;
    if (m_active >= 0) {
        m_cal[m_active]->setDate(date);
        updateAppropriateMonth();
    }
    m_inMonthSync = false;
    m_inNavChange = false;
}

void CalendarStrip::updateAppropriateMonth()
{
    if (m_active < 0)
        return;
    m_calendarsStable = false;
    const std::array<QDate, 4> dates = dayview::calendarDates(m_active, m_cal[m_active]->date());
    for (int i = 0; i < 4; ++i) {
        if (i != m_active)
            m_cal[i]->setDate(dates[size_t(i)]);
    }
    m_calendarsStable = true;
    repaintCalendars(true);
}

void CalendarStrip::repaintCalendars(bool all)
{
    if (all) {
        for (MonthCalendar *cal : m_cal)
            cal->update();
    } else if (m_active >= 0) {
        m_cal[m_active]->update();
    }
}

void CalendarStrip::setSelectedDay(QDate day)
{
    if (m_active >= 0 && day.isValid())
        m_cal[m_active]->setDate(day);
}

void CalendarStrip::moveSelectedDay(int days)
{
    setSelectedDay(selectedDay().addDays(days));
}

void CalendarStrip::moveBy(int months, int years)
{
    if (m_active < 0)
        return;
    const QDate target = selectedDay().addMonths(months).addYears(years);
    setSelectedDay(target); // a month step: the month change re-dates the others
    if (years == 0)
        return;
    m_inMonthSync = true;
    m_inDateChange = true;
    updateAppropriateMonth();
    m_inMonthSync = false;
    m_inDateChange = false;
}

void CalendarStrip::goToday(QDate today)
{
    m_previous = m_active;
    m_active = 1;
    setLooks(1, true);
    if (m_cal[1]->date() == today)
        cal1DateChange(); // the calendar became active, or the day changed while the date did not
    else
        m_cal[1]->setDate(today);
    m_inMonthSync = true;
    m_inDateChange = true;
    updateAppropriateMonth();
    m_inMonthSync = false;
    m_inDateChange = false;
}

bool CalendarStrip::followToday(QDate today)
{
    if (!today.isValid() || today == m_today)
        return false;
    const QDate was = std::exchange(m_today, today);
    if (m_active >= 0 && selectedDay() == was)
        setSelectedDay(today);
    return true;
}

CellColours CalendarStrip::colours(int index, QDate day) const
{
    if (!m_calendarsStable || !day.isValid() || !m_hook) {
        CellColours unpainted;
        unpainted.valid = false; // painted again once the calendars are set
        return unpainted;
    }
    return m_hook(index, day);
}

CalendarStrip::CellLook CalendarStrip::cellLook(int index, QDate day) const
{
    const MonthCalendar *cal = m_cal[index];
    if (day.year() != cal->year() || day.month() != cal->month())
        return {};
    const CellColours look = colours(index, day);
    if (!look.valid)
        return {};
    if (cal->isActive() && day == cal->date())
        return { true, QColor(), cal->selectedDayColour() };
    return { true, look.text, look.background };
}
