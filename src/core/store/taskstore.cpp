#include "taskstore.h"

#include "gridfile.h"
#include "platform/clock.h"
#include "text/datehelpers.h"
#include "text/texthelpers.h"

#include <algorithm>
#include <cmath>

namespace {

const QByteArrayView kYes("Yes");
const QByteArrayView kNo("No");

bool anyUnchecked(const QList<FilterCategory> &categories)
{
    return std::any_of(categories.begin(), categories.end(), [](const FilterCategory &c) { return !c.checked; });
}

} // namespace

bool FilterState::passes(QByteArrayView done, QByteArrayView category) const
{
    if (!showDone && done == kYes)
        return false;
    if (!showNotDone && done == kNo)
        return false;
    if (categories.isEmpty() || !anyUnchecked(categories))
        return true; // every known category is shown, and unknown ones always are
    const QString name = utf8Text(category);
    for (const FilterCategory &entry : categories) {
        if (equalsAsciiCaseInsensitive(entry.name, name))
            return entry.checked;
    }
    return true;
}

bool passesFilter(const FilterState &filter, const QString &done, const QString &category)
{
    return filter.passes(done.toUtf8(), category.toUtf8());
}

bool filtersOn(const FilterState &filter)
{
    return !filter.showDone || !filter.showNotDone || anyUnchecked(filter.categories);
}

namespace store {

CellTable newStore()
{
    CellTable table(ColumnCount, 4);
    table.setColumnStyle(Key, CellTable::ColumnStyle::Custom);
    table.setCustomCompare([](int, QByteArrayView a, QByteArrayView b) {
        const qint64 da = keyDay(a);
        const qint64 db = keyDay(b);
        if (da != db)
            return da < db ? -1 : 1;
        return compareKeys(a, b);
    });
    return table;
}

CellTable newDayList()
{
    CellTable table(daylist::ColumnCount, 2);
    const char *headers[] = { "Time", "Category", "What", "Done?", "Alarm?" };
    for (int c = 0; c < daylist::ColumnCount; ++c)
        table.setCell(c, 0, QString::fromLatin1(headers[c]));
    return table;
}

QString makeKey(qint64 day, int sequence)
{
    return QString::number(day) + QLatin1Char('.') + QString::number(sequence);
}

bool isKeyForm(QByteArrayView key)
{
    if (key.startsWith('-'))
        key = key.sliced(1);
    const qsizetype dot = key.indexOf('.');
    auto digits = [](QByteArrayView text) {
        return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return dot > 0 && digits(key.first(dot)) && digits(key.sliced(dot + 1));
}

qint64 keyDay(QByteArrayView key)
{
    // Keys are nearly always "ddddd.sss": read those directly, anything else as a number.
    const char *p = key.data();
    const char *end = p + key.size();
    bool negative = false;
    if (p < end && *p == '-') {
        negative = true;
        ++p;
    }
    const char *digits = p;
    qint64 value = 0;
    while (p < end && *p >= '0' && *p <= '9' && p - digits < 15)
        value = value * 10 + (*p++ - '0');
    if (p > digits) {
        if (p == end)
            return negative ? -value : value;
        if (*p == '.' || *p == ',') {
            const char *fraction = ++p;
            while (p < end && *p >= '0' && *p <= '9')
                ++p;
            if (p == end && (p > fraction || fraction - 1 > digits))
                return negative ? -value : value;
        }
    }
    QByteArray text = key.toByteArray().trimmed();
    // The regional decimal separator may have been a comma.
    if (!text.contains('.'))
        text.replace(',', '.');
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number) || std::fabs(number) > 1e15)
        return 0;
    return qint64(std::trunc(number));
}

int compareKeys(QByteArrayView a, QByteArrayView b)
{
    if (isKeyForm(a) && isKeyForm(b)) {
        const auto sequence = [](QByteArrayView key) {
            QByteArrayView digits = key.sliced(key.indexOf('.') + 1);
            while (!digits.isEmpty() && digits.front() == '0')
                digits = digits.sliced(1);
            return digits;
        };
        const QByteArrayView sa = sequence(a);
        const QByteArrayView sb = sequence(b);
        // Digits without leading zeros: the shorter is the smaller number.
        if (sa.size() != sb.size())
            return sa.size() < sb.size() ? -1 : 1;
        if (const int bySequence = CellTable::compareText(sa, sb); bySequence != 0)
            return bySequence;
    }
    return CellTable::compareText(a, b);
}

namespace {

struct StoreOrder
{
    const CellTable &store;
    const std::vector<qint64> &days;

    // Rows by 0-based data index (row = index + 1).
    bool operator()(int a, int b) const
    {
        if (days[size_t(a)] != days[size_t(b)])
            return days[size_t(a)] < days[size_t(b)];
        return compareTail(a + 1, b + 1) < 0;
    }

    int compareTail(int rowA, int rowB) const
    {
        const int last = store.colCount() - 2;
        for (int c = 0; c <= last || c == 0; ++c) {
            const int result = c == Key ? compareKeys(store.cellUtf8(c, rowA), store.cellUtf8(c, rowB))
                                        : CellTable::compareText(store.cellUtf8(c, rowA), store.cellUtf8(c, rowB));
            if (result != 0)
                return result;
        }
        return 0;
    }
};

// First data row whose key day is not before `day`; relies on the store order.
// Days are spread fairly evenly through a store, so a few interpolation steps narrow
// the range before the binary search: fewer rows touched, fewer cache misses.
int lowerBoundDay(const CellTable &store, qint64 day)
{
    auto dayAt = [&store](int row) { return keyDay(store.cellUtf8(Key, row)); };
    int lo = 1; // rows before lo are earlier days
    int hi = store.rowCount(); // rows from hi on are this day or later
    for (int step = 0; step < 4 && hi - lo > 64; ++step) {
        const qint64 first = dayAt(lo);
        if (first >= day)
            return lo;
        const qint64 last = dayAt(hi - 1);
        if (last < day)
            return hi;
        const double share = double(day - first) / double(last - first);
        const int mid = std::clamp(lo + int(share * double(hi - 1 - lo)), lo + 1, hi - 1);
        if (dayAt(mid) < day)
            lo = mid + 1;
        else
            hi = mid;
    }
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (dayAt(mid) < day)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// Two rows of the same day: by key sequence, then time, category, what and done.
int compareStoreTail(const CellTable &store, int rowA, int rowB)
{
    const std::vector<qint64> none;
    return StoreOrder { store, none }.compareTail(rowA, rowB);
}

bool rowShown(const CellTable &store, const FilterState &filter, int row)
{
    return filter.passes(store.cellUtf8(Done, row), store.cellUtf8(Category, row));
}

} // namespace

int compareStoreRows(const CellTable &store, int a, int b)
{
    const qint64 da = keyDay(store.cellUtf8(Key, a));
    const qint64 db = keyDay(store.cellUtf8(Key, b));
    if (da != db)
        return da < db ? -1 : 1;
    return compareStoreTail(store, a, b);
}

int findDayRow(const CellTable &store, const FilterState &filter, qint64 day)
{
    for (int r = lowerBoundDay(store, day); r < store.rowCount(); ++r) {
        const QByteArrayView key = store.cellUtf8(Key, r);
        if (key.isEmpty() || keyDay(key) != day)
            break;
        if (rowShown(store, filter, r))
            return r;
    }
    return -1;
}

int countDayRows(const CellTable &store, const FilterState &filter, int row)
{
    if (row < 1 || row >= store.rowCount())
        return 0;
    const qint64 day = keyDay(store.cellUtf8(Key, row));
    int count = 1;
    for (int r = row + 1; r < store.rowCount(); ++r) {
        const QByteArrayView key = store.cellUtf8(Key, r);
        if (key.isEmpty() || keyDay(key) != day)
            break;
        if (rowShown(store, filter, r))
            ++count;
    }
    return count;
}

DayTaskState dayTaskState(
    const CellTable &store, const FilterState &filter, qint64 day, bool wantDone, bool wantNotDone)
{
    DayTaskState result;
    if (!wantDone && !wantNotDone)
        return result;
    result.firstRow = findDayRow(store, filter, day);
    if (result.firstRow < 0)
        return result;
    for (int r = result.firstRow; r < store.rowCount(); ++r) {
        const QByteArrayView key = store.cellUtf8(Key, r);
        if (key.isEmpty() || keyDay(key) != day)
            break;
        if (!rowShown(store, filter, r))
            continue;
        const QByteArrayView done = store.cellUtf8(Done, r);
        if (wantDone && done == kYes) {
            result.state = 1;
            break;
        }
        if (wantNotDone && done == kNo) {
            result.state = 2;
            break;
        }
    }
    return result;
}

DayTaskFlags dayTaskFlags(const CellTable &store, const FilterState &filter, qint64 day)
{
    DayTaskFlags flags;
    flags.firstRow = findDayRow(store, filter, day);
    if (flags.firstRow < 0)
        return flags;
    for (int r = flags.firstRow; r < store.rowCount() && !(flags.anyDone && flags.anyNotDone); ++r) {
        const QByteArrayView key = store.cellUtf8(Key, r);
        if (key.isEmpty() || keyDay(key) != day)
            break;
        if (!rowShown(store, filter, r))
            continue;
        const QByteArrayView done = store.cellUtf8(Done, r);
        flags.anyDone = flags.anyDone || done == kYes;
        flags.anyNotDone = flags.anyNotDone || done == kNo;
    }
    return flags;
}

void readFromStore(const CellTable &store, const FilterState &filter, qint64 day, CellTable &dayList)
{
    const int first = findDayRow(store, filter, day);
    if (first < 0) {
        dayList.setRowCount(2);
        dayList.blankDataRows();
        return;
    }
    dayList.setRowCount(countDayRows(store, filter, first) + 1);
    dayList.blankDataRows();
    int listRow = 1;
    for (int r = first; r < store.rowCount() && listRow < dayList.rowCount(); ++r) {
        const QByteArrayView key = store.cellUtf8(Key, r);
        if (key.isEmpty() || keyDay(key) != day)
            break;
        if (!rowShown(store, filter, r))
            continue;
        std::vector<QByteArrayView> cells = store.rowUtf8(r);
        if (cells.empty())
            continue;
        cells.erase(cells.begin()); // the key is not shown
        dayList.setRowUtf8(listRow, cells);
        dayList.setRowId(listRow++, store.rowId(r));
    }
}

void compactAndSort(CellTable &store)
{
    std::vector<int> keep;
    keep.reserve(size_t(store.rowCount()));
    for (int r = 1; r < store.rowCount(); ++r) {
        if (!store.cellUtf8(Key, r).isEmpty())
            keep.push_back(r);
    }
    if (int(keep.size()) != store.rowCount() - 1) {
        store.applyDataRowOrder(keep);
        store.setRowCount(int(keep.size()) + 1);
    }
    const int n = store.rowCount() - 1;
    if (n < 2)
        return;
    std::vector<qint64> days(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        days[size_t(i)] = keyDay(store.cellUtf8(Key, i + 1));
    const StoreOrder order { store, days };
    // After a write-back the store is nearly always in order already, and after a batch of
    // direct insertions only the appended rows are out of place: find the sorted start,
    // sort the rest, and merge the two.
    int sortedPrefix = 1;
    while (sortedPrefix < n && !order(sortedPrefix, sortedPrefix - 1))
        ++sortedPrefix;
    if (sortedPrefix == n)
        return;
    std::vector<int> indexes(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        indexes[size_t(i)] = i;
    // Stable, so rows equal in every compared column keep the order they were added in.
    std::stable_sort(indexes.begin() + sortedPrefix, indexes.end(), order);
    std::inplace_merge(indexes.begin(), indexes.begin() + sortedPrefix, indexes.end(), order);
    for (int &i : indexes)
        ++i; // data index to row index
    store.applyDataRowOrder(indexes);
}

bool isInStoreOrder(const CellTable &store)
{
    qint64 previousDay = 0;
    for (int r = 1; r < store.rowCount(); ++r) {
        const QByteArrayView key = store.cellUtf8(Key, r);
        if (key.isEmpty())
            return false;
        const qint64 day = keyDay(key);
        if (r > 1 && (day < previousDay || (day == previousDay && compareStoreTail(store, r - 1, r) > 0)))
            return false;
        previousDay = day;
    }
    return true;
}

void ensureStoreOrder(CellTable &store)
{
    if (!isInStoreOrder(store))
        compactAndSort(store);
}

SaveResult SortGridStore(CellTable &store, const QString &path)
{
    compactAndSort(store);
    return writeGridFile(store, path);
}

SaveResult writeToStore(
    CellTable &store, const FilterState &filter, qint64 day, const CellTable &dayList, const QString &path)
{
    replaceDay(store, filter, day, dayList);
    return writeGridFile(store, path);
}

void replaceDay(CellTable &store, const FilterState &filter, qint64 day, const CellTable &dayList)
{
    // The day's rows lie together: rebuild just that range in order, so the sort that
    // follows finds the store in order and the write-back costs one pass.
    const int begin = lowerBoundDay(store, day);
    int end = begin;
    while (end < store.rowCount()) {
        const QByteArrayView key = store.cellUtf8(Key, end);
        if (key.isEmpty() || keyDay(key) != day)
            break;
        ++end;
    }
    CellTable dayRows(store.colCount(), 1);
    for (int r = begin; r < end; ++r) {
        if (!rowShown(store, filter, r)) {
            dayRows.insertBlankRows(dayRows.rowCount(), 1);
            dayRows.copyRowFrom(store, r, dayRows.rowCount() - 1);
        }
    }
    for (int j = 1; j < dayList.rowCount(); ++j) {
        if (dayList.cellUtf8(daylist::Time, j).isEmpty())
            continue;
        const QByteArray key = makeKey(day, 100 + j).toUtf8();
        std::vector<QByteArrayView> cells { key };
        for (int c = daylist::Time; c < daylist::ColumnCount; ++c)
            cells.push_back(dayList.cellUtf8(c, j));
        dayRows.insertBlankRows(dayRows.rowCount(), 1);
        dayRows.setRowUtf8(dayRows.rowCount() - 1, cells);
        dayRows.setRowId(dayRows.rowCount() - 1, dayList.rowId(j));
    }
    compactAndSort(dayRows);

    store.deleteRows(begin, end - begin);
    const int added = dayRows.rowCount() - 1;
    store.insertBlankRows(begin, added);
    for (int i = 0; i < added; ++i)
        store.copyRowFrom(dayRows, i + 1, begin + i);
    compactAndSort(store);
}

void insertDirectTask(CellTable &store, qint64 day, const QString &time, const QString &category, const QString &what,
    const QString &done, const QString &alarm, CellTable::RowId id)
{
    // Appended rather than inserted at the top, so a batch of thousands never moves the
    // whole store for each row; the sort that ends the batch gives the same order.
    const QByteArray key = makeKey(day, kDirectSequence).toUtf8();
    const QByteArray texts[] = { time.toUtf8(), category.toUtf8(), what.toUtf8(), done.toUtf8(), alarm.toUtf8() };
    const int row = store.rowCount();
    store.insertBlankRows(row, 1);
    store.setRowUtf8(row, { key, texts[0], texts[1], texts[2], texts[3], texts[4] });
    if (id != 0)
        store.setRowId(row, id);
}

void deleteListRow(CellTable &list, int currentRow)
{
    if (list.rowCount() < 3)
        list.blankRows(1, 1);
    else if (currentRow >= 1)
        list.deleteRows(currentRow, 1);
}

int gridDayCustomCompare(const QString &a, const QString &b, const RegionalSettings &settings, DateValue now)
{
    if (a.isEmpty() || b.isEmpty())
        return 0;
    const DateValue ta = timeOfText(a, settings, now);
    const DateValue tb = timeOfText(b, settings, now);
    return ta < tb ? -1 : (ta > tb ? 1 : 0);
}

int gridDayCustomCompare(const QString &a, const QString &b, const RegionalSettings &settings, const Clock &clock)
{
    return gridDayCustomCompare(a, b, settings, clock.nowValue());
}

void gridDayGetFormat(CellTable &dayList, const RegionalSettings &settings, const Clock &clock)
{
    dayList.setColumnStyle(daylist::Time, CellTable::ColumnStyle::Custom);
    dayList.setCustomCompareMaker([&settings, &clock]() -> CellTable::CustomCompare {
        const DateValue now = clock.nowValue();
        return [&settings, now](int, QByteArrayView a, QByteArrayView b) {
            return gridDayCustomCompare(utf8Text(a), utf8Text(b), settings, now);
        };
    });
    dayList.setCanSort([](int) { return true; }); // gridDayCanSort: every column may sort
}

} // namespace store
