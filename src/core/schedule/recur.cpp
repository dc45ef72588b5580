#include "recur.h"

#include "schedule/holidays.h"
#include "store/taskdocument.h"
#include "text/datehelpers.h"
#include "text/regional.h"
#include "text/texthelpers.h"

#include <algorithm>

namespace recur {

namespace {

// The arrays of weekdays start on Sunday; QDate's weeks start on Monday.
int sundayFirstIndex(QDate date)
{
    return date.dayOfWeek() % 7;
}

bool avoided(QDate date, bool avoidSaturdays, bool avoidSundays)
{
    const int weekday = date.dayOfWeek();
    return (weekday == Qt::Saturday && avoidSaturdays) || (weekday == Qt::Sunday && avoidSundays);
}

bool validRange(QDate start, QDate end)
{
    return start.isValid() && end.isValid();
}

QDate firstOfMonth(QDate date)
{
    return QDate(date.year(), date.month(), 1);
}

// The year's date of a month and day; the day before when it does not exist (29 February).
QDate sameDayIn(int year, int month, int day)
{
    const QDate date(year, month, day);
    return date.isValid() ? date : QDate(year, month, day - 1);
}

} // namespace

QList<QDate> doDaily(QDate start, QDate end, int interval, bool avoidSaturdays, bool avoidSundays)
{
    QList<QDate> dates;
    if (!validRange(start, end))
        return dates;
    const int step = std::max(1, interval);
    // An avoided day is skipped, not moved: the stepping goes on from it.
    for (QDate date = start; date <= end; date = date.addDays(step))
        if (!avoided(date, avoidSaturdays, avoidSundays))
            dates << date;
    return dates;
}

QList<QDate> doWeekly(QDate start, QDate end, int interval, const Weekdays &weekdays)
{
    QList<QDate> dates;
    if (!validRange(start, end))
        return dates;
    const int step = 7 * std::max(1, interval);
    for (QDate sunday = start.addDays(-sundayFirstIndex(start)); sunday <= end; sunday = sunday.addDays(step))
        for (int day = 0; day < 7; ++day)
            if (weekdays[size_t(day)])
                dates << sunday.addDays(day);
    return dates;
}

QList<QDate> doDayofMonth(
    QDate start, QDate end, int interval, const MonthDays &days, bool avoidSaturdays, bool avoidSundays)
{
    QList<QDate> dates;
    if (!validRange(start, end))
        return dates;
    const int step = std::max(1, interval);
    for (QDate first = firstOfMonth(start); first <= end; first = incrementMonth(first, step)) {
        const int length = monthLength(first.month(), first.year());
        for (int day = 1; day <= length; ++day) {
            if (!days[size_t(day - 1)])
                continue;
            const QDate date(first.year(), first.month(), day);
            if (!avoided(date, avoidSaturdays, avoidSundays))
                dates << date;
        }
    }
    return dates;
}

QList<QDate> doWeekOfMonth(QDate start, QDate end, int interval, const Ordinals &ordinals, const Weekdays &weekdays)
{
    QList<QDate> dates;
    if (!validRange(start, end))
        return dates;
    const int step = std::max(1, interval);
    for (QDate first = firstOfMonth(start); first <= end; first = incrementMonth(first, step))
        for (int ordinal = First; ordinal <= Last; ++ordinal) {
            if (!ordinals[size_t(ordinal)])
                continue;
            for (int day = 0; day < 7; ++day)
                if (weekdays[size_t(day)])
                    dates << nthToDate(first.year(), first.month(), Ordinal(ordinal), day + 1);
        }
    return dates;
}

QList<QDate> doAnnual(QDate start, QDate end)
{
    QList<QDate> dates;
    if (!validRange(start, end))
        return dates;
    // Each year is formed from the start's day, so 29 February comes back in leap years.
    for (int year = start.year();; ++year) {
        const QDate date = sameDayIn(year, start.month(), start.day());
        if (date > end)
            break;
        dates << date;
    }
    return dates;
}

QDate nthToDate(int year, int month, Ordinal ordinal, int weekday)
{
    // 1 to 4 count from the first of the month; 5 and above scan back from its last day.
    const int day = holidays::nthWeekdayOfMonth(year, month, int(ordinal) + 1, weekday);
    return day > 0 ? QDate(year, month, day) : QDate();
}

QDate incrementMonth(QDate date, int months)
{
    int year = date.year();
    int month = date.month() + months;
    while (month > 12) {
        month -= 12;
        ++year;
    }
    return QDate(year, month, 1);
}

bool inRange(QDate date, QDate start, QDate end)
{
    return date.isValid() && date >= start && date <= end;
}

bool rangeTooLong(QDate start, QDate end)
{
    return start.daysTo(end) > kMaxRangeDays;
}

Preview preview(const Rule &rule, QDate start, QDate end, qsizetype capacity)
{
    QList<QDate> found;
    switch (rule.kind) {
    case Kind::WeekOfMonth:
        found = doWeekOfMonth(start, end, rule.interval, rule.ordinals, rule.weekdays);
        break;
    case Kind::DaysOfMonth:
        found = doDayofMonth(start, end, rule.interval, rule.days, rule.avoidSaturdays, rule.avoidSundays);
        break;
    case Kind::Weekly:
        found = doWeekly(start, end, rule.interval, rule.weekdays);
        break;
    case Kind::Daily:
        found = doDaily(start, end, rule.interval, rule.avoidSaturdays, rule.avoidSundays);
        break;
    case Kind::Annually:
        found = doAnnual(start, end);
        break;
    }

    Preview result;
    result.dates.reserve(std::min(found.size(), capacity));
    for (const QDate &date : std::as_const(found)) {
        if (!inRange(date, start, end))
            continue;
        if (result.dates.size() >= capacity) {
            result.full = true;
            break;
        }
        result.dates << date;
    }
    return result;
}

QString previewPattern(const RegionalSettings &settings)
{
    QString pattern = settings.shortDatePattern.left(25);
    if (!pattern.contains(QLatin1String("yyyy"))) {
        const qsizetype at = pattern.indexOf(QLatin1String("yy"));
        if (at >= 0)
            pattern.insert(at, QLatin1String("yy"));
    }
    return pattern;
}

QString previewLine(QDate date, const QString &pattern, const RegionalSettings &settings, DateValue now)
{
    // A UTC midnight: only the date is formatted, and local time would cost a time zone
    // look-up for every line of a twenty-year list.
    return formatQtPattern(pattern, QDateTime(date, QTime(0, 0), Qt::UTC), settings) + QLatin1Char('\t')
        + settings.shortDayNames.value(date.dayOfWeek() % 7) + QLatin1Char('\t')
        + relativeDayText(datevalue::fromDate(date), now);
}

TaskTemplate taskTemplate(
    QTime time, const QString &category, bool alarm, const QString &what, const RegionalSettings &settings)
{
    TaskTemplate task;
    task.time = formatQtPattern(settings.longTimePattern, QDateTime(QDate(1899, 12, 30), time), settings);
    task.category = category;
    task.alarm = alarm ? QStringLiteral("Yes") : QStringLiteral("No");
    task.what = what;
    return task;
}

bool notesBlank(const QString &what)
{
    return what.isEmpty();
}

SaveResult addSeries(TaskDocument &document, const TaskTemplate &task, const QList<QDate> &dates)
{
    std::vector<Task> tasks;
    tasks.reserve(size_t(dates.size()));
    for (const QDate &date : dates) {
        Task &event = tasks.emplace_back();
        event.day = datevalue::dayNumber(date);
        event.time = task.time;
        event.category = task.category;
        event.text = task.what;
        event.alarm = isYes(task.alarm);
    }
    return document.addTasks(tasks);
}

QList<QDate> annualRepeatDates(QDate day, int years)
{
    QList<QDate> dates;
    if (!day.isValid())
        return dates;
    for (int i = 1; i <= years; ++i)
        dates << sameDayIn(day.year() + i, day.month(), day.day());
    return dates;
}

SaveResult repeatAnnually(TaskDocument &document, const TaskTemplate &task, QDate day)
{
    return addSeries(document, task, annualRepeatDates(day));
}

} // namespace recur
