#include "alarms.h"

#include "settings/settingsstore.h"
#include "store/celltable.h"
#include "store/taskstore.h"
#include "text/datehelpers.h"
#include "text/texthelpers.h"

#include <QHash>

#include <algorithm>

namespace alarms {

namespace {

constexpr qint64 kMinutesPerDay = 1440;
const QDate kDayZero(1899, 12, 30);

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
    const qint64 days = kDayZero.daysTo(moment.date());
    const QTime time = moment.time();
    return days * kMinutesPerDay + time.hour() * 60 + time.minute();
}

QDateTime momentOf(qint64 minute)
{
    const qint64 day = floorDiv(minute, kMinutesPerDay);
    const int ofDay = int(minute - day * kMinutesPerDay);
    return QDateTime(kDayZero.addDays(day), QTime(ofDay / 60, ofDay % 60));
}

QList<DueAlarm> dueAlarms(const CellTable &store, const FilterState &filter, const Options &options,
    const RegionalSettings &settings, const QDateTime &now)
{
    QList<DueAlarm> due;
    if (!options.playAlarm)
        return due;
    const qint64 minute = minuteOf(now);
    // The task's moment: the lead time after now, which may be on the next day.
    const qint64 taskMinute = minute + options.alarmMin;
    const qint64 day = floorDiv(taskMinute, kMinutesPerDay);
    const int ofDay = int(taskMinute - day * kMinutesPerDay);
    forAlarmRows(store, filter, settings, day, [&](int row, int rowMinute) {
        if (rowMinute == ofDay)
            due.append({ day, store.cell(store::Time, row), store.cell(store::What, row), minute });
    });
    return due;
}

QList<DueAlarm> alarmsBetween(const CellTable &store, const FilterState &filter, const Options &options,
    const RegionalSettings &settings, const QDateTime &from, const QDateTime &to, int maxDays)
{
    QList<DueAlarm> missed;
    if (!options.playAlarm || !from.isValid() || !to.isValid() || to <= from)
        return missed;
    const qint64 last = minuteOf(to);
    const qint64 first = std::max(minuteOf(from), last - qint64(maxDays) * kMinutesPerDay);
    const qint64 lead = options.alarmMin;
    // The days whose tasks fall due after `first` and up to `last`.
    const qint64 firstDay = floorDiv(first + 1 + lead, kMinutesPerDay);
    const qint64 lastDay = floorDiv(last + lead, kMinutesPerDay);
    for (qint64 day = firstDay; day <= lastDay; ++day) {
        forAlarmRows(store, filter, settings, day, [&](int row, int rowMinute) {
            const qint64 due = day * kMinutesPerDay + rowMinute - lead;
            if (due > first && due <= last)
                missed.append({ day, store.cell(store::Time, row), store.cell(store::What, row), due });
        });
    }
    std::stable_sort(
        missed.begin(), missed.end(), [](const DueAlarm &a, const DueAlarm &b) { return a.minute < b.minute; });
    return missed;
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
    return moment.toString(Qt::ISODate);
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
