#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

#include <array>

#include "store/safefile.h"
#include "text/datevalue.h"

class TaskDocument;
struct RegionalSettings;

// The rules of the recurrence generator ("Repeating event") and of the quick annual repeat:
// which dates a repetition rule gives, and how those dates become dated tasks.
namespace recur {

// The longest range a preview accepts, in days: a little over twenty years.
constexpr qint64 kMaxRangeDays = 7400;
// Lines the preview list takes before it says it is full. No rule gives more than one date
// a day, so a range the preview accepts gives at most kMaxRangeDays + 1 dates: the limit
// only guards the list against a rule that would ever give more.
constexpr qsizetype kPreviewCapacity = 100000;

// What the user is told.
inline constexpr char kRangeTooLong[] = "Date range exceeds 20 years!";
inline constexpr char kNoDates[] = "No dates were generated.  Check your starting/ending dates and selections.";
inline constexpr char kListFull[] = "Maximum capacity of listbox reached ... unable to preview all dates.";
inline constexpr char kNotesBlank[] = "The Notes are blank!";

enum class Kind { WeekOfMonth, DaysOfMonth, Weekly, Daily, Annually };
// The "On the" boxes of Week of Month, in the order they are looked at.
enum Ordinal { First = 0, Second, Third, Fourth, Last };

using Ordinals = std::array<bool, 5>; // First to Fourth, then Last
using Weekdays = std::array<bool, 7>; // Sunday first
using MonthDays = std::array<bool, 31>; // day 1 first

// One repetition rule: the chosen kind and the settings of its panel.
struct Rule
{
    Kind kind = Kind::WeekOfMonth;
    int interval = 1; // months, weeks or days; Annually has none
    Ordinals ordinals {}; // Week of Month
    Weekdays weekdays {}; // Week of Month and Weekly
    MonthDays days {}; // Days of Month
    bool avoidSaturdays = false; // Days of Month and Daily
    bool avoidSundays = false; // Days of Month and Daily
};

// The rule routines. Each gives its dates in the order it finds them; the first week of
// Weekly may give days before `start`, which the range test (inRange) drops. An interval
// below 1 counts as 1. Nothing is given when either date is invalid.
QList<QDate> doDaily(QDate start, QDate end, int interval, bool avoidSaturdays, bool avoidSundays);
// Weeks run Sunday to Saturday whatever day the calendars start their weeks on.
QList<QDate> doWeekly(QDate start, QDate end, int interval, const Weekdays &weekdays);
// A selected day that a month lacks is skipped for that month, not moved.
QList<QDate> doDayofMonth(
    QDate start, QDate end, int interval, const MonthDays &days, bool avoidSaturdays, bool avoidSundays);
// Within a month: by ordinal (1st ... Last), then by weekday from Sunday.
QList<QDate> doWeekOfMonth(QDate start, QDate end, int interval, const Ordinals &ordinals, const Weekdays &weekdays);
// The start's month and day every year; 29 February becomes 28 February in other years.
QList<QDate> doAnnual(QDate start, QDate end);

// The date of the ordinal weekday (1 Sunday to 7 Saturday) of a month.
QDate nthToDate(int year, int month, Ordinal ordinal, int weekday);
// The first of the month `months` after the month of `date`.
QDate incrementMonth(QDate date, int months);
// insertDate's range test: both ends belong to the range.
bool inRange(QDate date, QDate start, QDate end);
// The range is refused when the end lies more than kMaxRangeDays after the start.
bool rangeTooLong(QDate start, QDate end);

// One preview run: the rule's dates within the range, in the rule's order, at most
// `capacity` of them. `full` says that the list was full and later dates were dropped.
struct Preview
{
    QList<QDate> dates;
    bool full = false;
};
Preview preview(const Rule &rule, QDate start, QDate end, qsizetype capacity = kPreviewCapacity);

// The preview's date pattern: the regional short date pattern (Qt's language) cut to 25
// characters, its first "yy" widened when it has no "yyyy", so years show four digits.
QString previewPattern(const RegionalSettings &settings);
// A preview line: the date in the preview pattern, TAB, the short weekday name, TAB, the
// relative-day phrase of the date against `now`.
QString previewLine(QDate date, const QString &pattern, const RegionalSettings &settings, DateValue now);

// The task each generated date becomes (done is always "No").
struct TaskTemplate
{
    QString time; // in the regional long time pattern
    QString category;
    QString alarm; // "Yes" or "No"
    QString what; // the notes as one text (memoToText)
    bool operator==(const TaskTemplate &other) const = default;
};
// Tasks the user chose to add at once: the template's task on each date, in this order.
struct Recurrence
{
    TaskTemplate task;
    QList<QDate> dates;
    bool operator==(const Recurrence &other) const = default;
};
// The template of the editor's fields: the time written with the long time pattern.
TaskTemplate taskTemplate(
    QTime time, const QString &category, bool alarm, const QString &what, const RegionalSettings &settings);
// The editor's blank-notes test: the notes text is empty.
bool notesBlank(const QString &what);

// A task of the template on each date, then one sort and save; the shown day is read
// again, so its next write-back keeps the new rows. Answers the save's result.
SaveResult addSeries(TaskDocument &document, const TaskTemplate &task, const QList<QDate> &dates);

// The quick annual repeat: the same month and day in each of the `years` years after
// `day` (28 February where 29 February does not exist); `day` itself is not among them.
QList<QDate> annualRepeatDates(QDate day, int years = 10);
// Adds the template's task on the ten annualRepeatDates of `day` with one sort and save.
// The caller checks notesBlank first and reports a failed save.
SaveResult repeatAnnually(TaskDocument &document, const TaskTemplate &task, QDate day);

} // namespace recur
