#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "celltable.h"
#include "daylist.h"
#include "safefile.h"
#include "text/datevalue.h"

class Clock;
struct RegionalSettings;

// One known category of the filter, and whether its tasks are shown.
struct FilterCategory
{
    QString name;
    bool checked = true;
};

// What the filter window lets through. With no window yet, everything is shown.
struct FilterState
{
    QList<FilterCategory> categories;
    bool showDone = true;
    bool showNotDone = true;

    // Fast form of passesFilter over cell bytes, for the store's day searches.
    bool passes(QByteArrayView done, QByteArrayView category) const;
};

bool passesFilter(const FilterState &filter, const QString &done, const QString &category);
bool filtersOn(const FilterState &filter);

namespace store {

// Columns of the dated-task store.
enum Column { Key = 0, Time = 1, Category = 2, What = 3, Done = 4, Alarm = 5, ColumnCount = 6 };
// The store column that holds a day-list column: the day list is the day's rows without the key.
constexpr Column storeColumn(daylist::Column column)
{
    return Column(int(column) + 1);
}
static_assert(storeColumn(daylist::Time) == Time && storeColumn(daylist::Alarm) == Alarm
    && daylist::ColumnCount + 1 == ColumnCount);
// Sequence of a row inserted directly, before the day is next written back.
constexpr int kDirectSequence = 100;
constexpr int kFirstListSequence = 101;

// An empty store (6 columns, empty header, 4 blank rows) and day list (5 columns with
// their header texts, one blank row) as the main window creates them.
CellTable newStore();
CellTable newDayList();

// "%d.%d" of the day number and the sequence.
QString makeKey(qint64 day, int sequence);
// The whole-day number of a key; a key that is not a number is day 0.
qint64 keyDay(QByteArrayView key);
// The key has the form makeKey writes: a day number, a full stop and a sequence.
bool isKeyForm(QByteArrayView key);

// Two keys of one day: by the sequence as a number, so that day.1000 follows day.999 and a
// day of 900 or more tasks keeps its order; then (for keys of another form, or the same
// number written otherwise) by the key text.
int compareKeys(QByteArrayView a, QByteArrayView b);

// The store order: whole-day number of the key, then the key (compareKeys), then the time,
// category, what and done texts.
int compareStoreRows(const CellTable &store, int a, int b);

int findDayRow(const CellTable &store, const FilterState &filter, qint64 day);
int countDayRows(const CellTable &store, const FilterState &filter, int row);

struct DayTaskState
{
    int state = -1; // 1 a done task, 2 an open task, -1 neither (of those wanted)
    int firstRow = -1; // findDayRow of the day, when anything was wanted
};
DayTaskState dayTaskState(
    const CellTable &store, const FilterState &filter, qint64 day, bool wantDone, bool wantNotDone);

// Whether the day has shown tasks that are done ("Yes") and open ("No"), in one search.
struct DayTaskFlags
{
    bool anyDone = false;
    bool anyNotDone = false;
    int firstRow = -1;
};
DayTaskFlags dayTaskFlags(const CellTable &store, const FilterState &filter, qint64 day);

void readFromStore(const CellTable &store, const FilterState &filter, qint64 day, CellTable &dayList);
// Replaces the day's shown rows by the list's rows (keys day.101, day.102, ...), then
// SortGridStore. Rows of the day that the filter hides stay as they were.
SaveResult writeToStore(
    CellTable &store, const FilterState &filter, qint64 day, const CellTable &dayList, const QString &path);
// The same without the write: the store is left sorted for its owner to save.
void replaceDay(CellTable &store, const FilterState &filter, qint64 day, const CellTable &dayList);
// Drops rows without a key, puts the store in order and writes it to `path`.
SaveResult SortGridStore(CellTable &store, const QString &path);
// The same without the write, for callers that save elsewhere or later. Stable: rows
// equal in every compared column keep the order they were added in.
void compactAndSort(CellTable &store);
// Whether every data row has a key and the rows are in the store order, as the day
// searches need. One pass.
bool isInStoreOrder(const CellTable &store);
// Sorts a store that is not in the store order (compactAndSort), such as one read from a
// file of an older system that ordered keys as plain text, which puts day 10000 (18 May
// 1927) before day 9999. A store already in order is left as it is.
void ensureStoreOrder(CellTable &store);

// Direct insertion: one new row appended at the end, keyed day.100. The store is out of
// order until the batch ends with SortGridStore (or compactAndSort); no day search may run
// before that. A task moved from elsewhere keeps its identity `id`; 0 makes a new one.
void insertDirectTask(CellTable &store, qint64 day, const QString &time, const QString &category, const QString &what,
    const QString &done, const QString &alarm, CellTable::RowId id = 0);

// The list part of deleting an entry: a list with one data row has it blanked,
// otherwise the current row is removed.
void deleteListRow(CellTable &list, int currentRow);

// The day list's time order: equal when either is empty, else by time of day; a text
// that is not a time reads as `now` and so comes after every real time. Within one sort
// `now` must stay the same, or the order contradicts itself.
int gridDayCustomCompare(const QString &a, const QString &b, const RegionalSettings &settings, DateValue now);
// The same with now read from the clock: for a single comparison only.
int gridDayCustomCompare(const QString &a, const QString &b, const RegionalSettings &settings, const Clock &clock);
// Marks the day list's time column custom and sets its compare and can-sort hooks; each
// sort reads the clock once. The settings and clock must outlive the list.
void gridDayGetFormat(CellTable &dayList, const RegionalSettings &settings, const Clock &clock);

} // namespace store
