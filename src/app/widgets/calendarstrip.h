#pragma once

#include <QColor>
#include <QDate>
#include <QWidget>

#include <functional>

#include "widgets/monthcalendar.h"

class DateNavigator;
struct RegionalSettings;

// Four month calendars, two by two, always on consecutive months, with a date navigator
// under them. One calendar is active: its date is the selected day. A click makes a
// calendar active; moving the active calendar into another month scrolls all four; the
// navigator steps the active calendar. Day cells are coloured by the owner through a hook.
class CalendarStrip : public QWidget
{
    Q_OBJECT

public:
    // The colours of a day of calendar `index` (0 to 3).
    using CellColourHook = std::function<CellColours(int index, QDate day)>;

    explicit CalendarStrip(QWidget *parent = nullptr);

    MonthCalendar *calendar(int index) const { return m_cal[index]; }
    DateNavigator *navigator() const { return m_nav; }

    void setRegionalSettings(const RegionalSettings &settings);
    void setWeekStart(Qt::DayOfWeek day);
    void setCalendarFont(const QFont &font);
    // The sizing of small calendars: the navigator shown or not, and what each calendar
    // shows (weekday header, bevel, month and year labels) with its day font's size.
    void setCompactness(bool navigatorShown, bool weekdayHeader, bool bevel, bool labels, int cellFontSize);
    void setCellColourHook(CellColourHook hook) { m_hook = std::move(hook); }

    // The least height at which the four calendars draw their captions and days in the
    // calendar font without cutting them, with the navigator and the weekday headers (and
    // the bevels that go with them) when asked.
    int leastHeight(bool navigator, bool weekdayHeaders) const;
    // Readable calendars without the navigator and the weekday headers: those go first
    // when the room is short, so they must not hold the splitter back. As wide as the
    // calendars and the navigator need in the calendar font.
    QSize minimumSizeHint() const override;

    // -1 before start().
    int activeCalendar() const { return m_active; }
    int previousCalendar() const { return m_previous; }
    // The whole-day part of the active calendar's date.
    QDate selectedDay() const;

    // The first selected day: the second calendar active on `today`, no day change reported.
    void start(QDate today);
    // Makes a calendar active, as a click on it does (cal1Click).
    void activate(int index);
    // Gives the active calendar a date; its month change scrolls the others.
    void setSelectedDay(QDate day);
    void moveSelectedDay(int days);
    // Month steps keep the day cut to the month's length; year steps re-date the others at once.
    void moveBy(int months, int years);
    // The second calendar active on `today`, the others around it (Today).
    void goToday(QDate today);
    // The clock says `today`: at a new day, the selection moves on to it when it was on the
    // day before, and stays on any other day. Answers whether the day changed.
    bool followToday(QDate today);
    // Repaints the four calendars (all) or the active one.
    void repaintCalendars(bool all);

    // The look a calendar was told for a day cell.
    struct CellLook
    {
        bool paint = false;
        QColor text;
        QColor background;
    };
    CellLook cellLook(int index, QDate day) const;

Q_SIGNALS:
    // The selected day changed (a new date of the active calendar, or another calendar active).
    void selectedDayChanged(QDate day);
    // A press on a calendar, before any change of day.
    void calendarPressed(int index);
    // A double click on a day of any of the four calendars.
    void dayDoubleClicked();

private:
    void cal1Click(int index);
    void cal1DateChange();
    void cal1MonthChange();
    void navChange(QDate date);
    void updateAppropriateMonth();
    void setLooks(int active, bool raiseActive);
    CellColours colours(int index, QDate day) const;

    MonthCalendar *m_cal[4] = {};
    QFont m_calendarFont;
    bool m_bevel = true;
    DateNavigator *m_nav = nullptr;
    CellColourHook m_hook;
    int m_active = -1;
    int m_previous = -1;
    QDate m_today; // as the clock said when last asked
    bool m_inMonthSync = false;
    bool m_inDateChange = false;
    bool m_calendarsStable = true; // false while the four are being re-dated: cells are not painted
    bool m_inNavChange = false;
};
