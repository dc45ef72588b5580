#include "alarms.h"

#include "settings/settingsstore.h"
#include "store/celltable.h"
#include "store/taskstore.h"
#include "text/datehelpers.h"
#include "text/texthelpers.h"

#include <QHash>

#include <algorithm>
#include <optional>

namespace alarms {

namespace {

const QDate kDayZero(1899, 12, 30);
// The day number of 1 January 1970.
constexpr qint64 kUnixDay = 25569;

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// The minute of the day a time cell states, or -1 when it states none.
int minuteOfDay(const QString &text, const RegionalSettings &settings)
{
    if (text.isEmpty())
        return -1;
    const DateValue value = timeOfText(text, settings, DateValue(-1));
    if (value < 0)
        return -1;
    const QTime time = datevalue::toTime(value);
    return time.hour() * 60 + time.minute();
}

// Calls `visit(row, minuteOfDay)` for every shown row of `day` whose alarm is on.
template <class Visit>
void forAlarmRows(
    const CellTable &store, const FilterState &filter, const RegionalSettings &settings, qint64 day, Visit visit)
{
    const int first = store::findDayRow(store, filter, day);
    if (first < 0)
        return;
    for (int r = first; r < store.rowCount(); ++r) {
        const QByteArrayView key = store.cellUtf8(store::Key, r);
        if (key.isEmpty() || store::keyDay(key) != day)
            break;
        if (!filter.passes(store.cellUtf8(store::Done, r), store.cellUtf8(store::Category, r)))
            continue;
        // Only the exact text counts: "yes" never sounds.
        if (store.cellUtf8(store::Alarm, r) != QByteArrayView("Yes"))
            continue;
        const int minute = minuteOfDay(store.cell(store::Time, r), settings);
        if (minute >= 0)
            visit(r, minute);
    }
}

} // namespace

size_t qHash(const DueAlarm &alarm, size_t seed)
{
    return ::qHashMulti(seed, alarm.day, alarm.time, alarm.what, alarm.minute);
}

qint64 minuteOf(const QDateTime &moment)
{
    return floorDiv(moment.toSecsSinceEpoch(), 60);
}

QDateTime momentOf(qint64 minute)
{
    return QDateTime::fromSecsSinceEpoch(minute * 60, Qt::UTC);
}

QDateTime taskMoment(qint64 day, int minuteOfDay, const QTimeZone &zone)
{
    // The clock face read as if it were UTC; a moment is the face less an offset from UTC
    // that is in force at that moment. The offsets a day either side are the candidates.
    const qint64 face = (day - kUnixDay) * 86400 + qint64(minuteOfDay) * 60;
    const auto offsetAt
        = [&zone](qint64 secs) { return zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(secs, Qt::UTC)); };
    const int before = offsetAt(face - 86400);
    const int after = offsetAt(face + 86400);
    std::optional<qint64> first;
    for (const int offset : { before, after }) {
        const qint64 at = face - offset;
        if (offsetAt(at) == offset && (!first || at < *first))
            first = at;
    }
    if (!first) {
        // The clocks skip this time: the task happens as they go forward.
        const QTimeZone::OffsetData change = zone.nextTransition(QDateTime::fromSecsSinceEpoch(face - after, Qt::UTC));
        first = change.atUtc.isValid() ? change.atUtc.toSecsSinceEpoch() : face - before;
    }
    return QDateTime::fromSecsSinceEpoch(*first, Qt::UTC);
}

namespace {

// The alarms due after `first` and up to `last` (seconds since 1970, UTC), in time order.
QList<DueAlarm> alarmsIn(const CellTable &store, const FilterState &filter, const Options &options,
    const RegionalSettings &settings, const QTimeZone &zone, qint64 first, qint64 last)
{
    QList<DueAlarm> due;
    if (!options.playAlarm || last <= first)
        return due;
    const qint64 lead = qint64(options.alarmMin) * 60;
    // The days whose tasks may happen a lead after the span, with a day either side for the
    // clocks' offset.
    const auto dayAt = [&zone](qint64 secs) {
        return kDayZero.daysTo(QDateTime::fromSecsSinceEpoch(secs, Qt::UTC).toTimeZone(zone).date());
    };
    const qint64 firstDay = dayAt(first + lead) - 1;
    const qint64 lastDay = dayAt(last + lead) + 1;
    for (qint64 day = firstDay; day <= lastDay; ++day) {
        forAlarmRows(store, filter, settings, day, [&](int row, int rowMinute) {
            const qint64 at = taskMoment(day, rowMinute, zone).toSecsSinceEpoch() - lead;
            if (at > first && at <= last)
                due.append({ day, store.cell(store::Time, row), store.cell(store::What, row), floorDiv(at, 60) });
        });
    }
    std::stable_sort(due.begin(), due.end(), [](const DueAlarm &a, const DueAlarm &b) { return a.minute < b.minute; });
    return due;
}

} // namespace

QList<DueAlarm> dueAlarms(const CellTable &store, const FilterState &filter, const Options &options,
    const RegionalSettings &settings, const QDateTime &now, const QTimeZone &zone)
{
    const qint64 minute = minuteOf(now) * 60;
    return alarmsIn(store, filter, options, settings, zone, minute - 1, minute);
}

QList<DueAlarm> alarmsBetween(const CellTable &store, const FilterState &filter, const Options &options,
    const RegionalSettings &settings, const QDateTime &from, const QDateTime &to, int maxDays, const QTimeZone &zone)
{
    if (!from.isValid() || !to.isValid())
        return {};
    const qint64 last = minuteOf(to) * 60;
    const qint64 first = std::max(minuteOf(from) * 60, last - qint64(maxDays) * 86400);
    return alarmsIn(store, filter, options, settings, zone, first, last);
}

QString panelCaption(const DueAlarm &alarm)
{
    // One line: a note's further lines are told by an ellipsis.
    QString what = captionLine(alarm.what, 40);
    if (what.size() < std::min<qsizetype>(alarm.what.size(), 40))
        what += QChar(0x2026);
    return QStringLiteral("Alarm \"") + what + QStringLiteral("\" at ") + alarm.time
        + QStringLiteral(" ... click panel to clear");
}

QList<DueAlarm> Announced::takeNew(const QList<DueAlarm> &due)
{
    QList<DueAlarm> fresh;
    for (const DueAlarm &alarm : due) {
        if (contains(alarm))
            continue;
        insert(alarm);
        fresh.append(alarm);
    }
    return fresh;
}

QString checkText(const QDateTime &moment)
{
    return moment.toOffsetFromUtc(moment.offsetFromUtc()).toString(Qt::ISODate);
}

QDateTime checkTime(const QString &text)
{
    return QDateTime::fromString(text.trimmed(), Qt::ISODate);
}

void Announced::forgetBefore(qint64 minute)
{
    m_seen.removeIf([minute](const DueAlarm &alarm) { return alarm.minute < minute; });
}

} // namespace alarms
