#pragma once

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QTimeZone>

class CellTable;
struct FilterState;
struct Options;
struct RegionalSettings;

// When a dated task's alarm falls due. A task happens at its day and time on the clocks of
// the time zone; its alarm is due the lead time ("AlarmMin") before that moment, counted in
// real minutes, so a lead across a change of the clocks is as long as any other, and one
// that carries the moment back over midnight looks at the next day's tasks.
namespace alarms {

// One announcement of one task: its day, its time and text as stored, and the minute it is
// due in (whole minutes since 1970 in UTC). Keys of directly inserted rows are not unique,
// so the task is known by what it says, not by its key.
struct DueAlarm
{
    qint64 day = 0;
    QString time;
    QString what;
    qint64 minute = 0;

    bool operator==(const DueAlarm &) const = default;
};

size_t qHash(const DueAlarm &alarm, size_t seed = 0);

// The minute a moment falls in, and back (in UTC).
qint64 minuteOf(const QDateTime &moment);
QDateTime momentOf(qint64 minute);

// The moment a task of `day` (a day number) at `minuteOfDay` on the clocks of `zone`
// happens. A time the clocks skip (they go forward over it) happens at the first moment
// after the gap; a time they show twice (they go back) happens once, the first time.
QDateTime taskMoment(qint64 day, int minuteOfDay, const QTimeZone &zone);

// Every alarm due in the minute of `now`, in store order: the shown rows (those the filter
// lets through) whose moment less the lead falls in that minute and whose alarm cell is
// exactly "Yes". Nothing with "PlayAlarm" off. A time that is not a time is never due.
QList<DueAlarm> dueAlarms(const CellTable &store, const FilterState &filter, const Options &options,
    const RegionalSettings &settings, const QDateTime &now, const QTimeZone &zone = QTimeZone::systemTimeZone());

// The alarms due in a minute after `from` and up to `to`, in time order: what a check has
// not looked at yet (a late check, the machine slept, the program was not running). A `to`
// not after `from` gives nothing; more than `maxDays` back is not looked at.
QList<DueAlarm> alarmsBetween(const CellTable &store, const FilterState &filter, const Options &options,
    const RegionalSettings &settings, const QDateTime &from, const QDateTime &to, int maxDays = 7,
    const QTimeZone &zone = QTimeZone::systemTimeZone());

// The last check as the settings keep it (with its offset from UTC, so an hour the clocks
// show twice is told apart), and back; an empty or unreadable text is no time.
QString checkText(const QDateTime &moment);
QDateTime checkTime(const QString &text);

// The caption of the alarm panel.
QString panelCaption(const DueAlarm &alarm);

// What the engine has announced in this run, so a task is announced once for its minute.
class Announced
{
public:
    bool contains(const DueAlarm &alarm) const { return m_seen.contains(alarm); }
    void insert(const DueAlarm &alarm) { m_seen.insert(alarm); }
    // The alarms of `due` not announced yet, now remembered as announced.
    QList<DueAlarm> takeNew(const QList<DueAlarm> &due);
    // Announcements of minutes long past are of no more use.
    void forgetBefore(qint64 minute);

private:
    QSet<DueAlarm> m_seen;
};

} // namespace alarms
