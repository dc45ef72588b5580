// Benchmarks of the dated-task store and its grid file. The targets on a two-core machine:
// reading 150 MB/s, writing 300 MB/s before the rename, findDayRow under 2 us, one day's
// writeToStore on 100,000 tasks under 60 ms, 100,000 tasks in memory under 40 MB, a search
// step over 100,000 tasks under 20 ms.
#include "storegen.h"

#include "schedule/dayview.h"
#include "schedule/holidays.h"
#include "store/gridfile.h"
#include "store/search.h"
#include "store/taskstore.h"
#include "text/datevalue.h"
#include "text/regional.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <map>
#include <random>

namespace {

// Files go to a memory file system, so the disk does not decide the figures.
const QString &scratchFolder()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
            ? QStringLiteral("/dev/shm/tallyday-bench-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/tallyday-bench-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

QString fileOf(int tasks)
{
    const QString path = scratchFolder() + QStringLiteral("/store-") + QString::number(tasks) + QStringLiteral(".grd");
    if (!QFile::exists(path))
        writeGridFile(generateStore(tasks), path);
    return path;
}

// A store as the program holds it: read from its file.
const CellTable &storeOf(int tasks)
{
    static std::map<int, CellTable> stores;
    auto it = stores.find(tasks);
    if (it == stores.end()) {
        CellTable table = store::newStore();
        readGridFile(table, fileOf(tasks));
        it = stores.emplace(tasks, std::move(table)).first;
    }
    return it->second;
}

void BM_ReadGridFile(benchmark::State &state)
{
    const QString path = fileOf(int(state.range(0)));
    const qint64 size = QFileInfo(path).size();
    for (auto _ : state) {
        CellTable table;
        benchmark::DoNotOptimize(readGridFile(table, path).ok());
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_ReadGridFile)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Turning the table into the file's bytes: everything a save does before the write and rename.
void BM_GridFileBytes(benchmark::State &state)
{
    const CellTable &table = storeOf(int(state.range(0)));
    qint64 size = 0;
    for (auto _ : state) {
        const QByteArray bytes = gridFileBytes(table);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_GridFileBytes)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The whole save: bytes, write, sync and rename on a memory file system.
void BM_WriteGridFile(benchmark::State &state)
{
    const CellTable &table = storeOf(int(state.range(0)));
    const QString path = scratchFolder() + QStringLiteral("/write.grd");
    const qint64 size = gridFileBytes(table).size();
    for (auto _ : state)
        benchmark::DoNotOptimize(writeGridFile(table, path).ok);
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_WriteGridFile)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SortStoreSorted(benchmark::State &state)
{
    CellTable table = storeOf(int(state.range(0)));
    for (auto _ : state)
        store::compactAndSort(table);
}
BENCHMARK(BM_SortStoreSorted)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SortStoreShuffled(benchmark::State &state)
{
    const CellTable &sorted = storeOf(int(state.range(0)));
    std::vector<int> order(size_t(sorted.rowCount() - 1));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i) + 1;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    for (auto _ : state) {
        state.PauseTiming();
        CellTable table = sorted;
        table.applyDataRowOrder(order);
        state.ResumeTiming();
        store::compactAndSort(table);
    }
}
BENCHMARK(BM_SortStoreShuffled)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// SortGridStore as the program calls it: compaction, sort and the save.
void BM_SortGridStore(benchmark::State &state)
{
    CellTable table = storeOf(int(state.range(0)));
    const QString path = scratchFolder() + QStringLiteral("/sorted.grd");
    for (auto _ : state)
        benchmark::DoNotOptimize(store::SortGridStore(table, path).ok);
}
BENCHMARK(BM_SortGridStore)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FindDayRow(benchmark::State &state)
{
    const CellTable &table = storeOf(int(state.range(0)));
    const FilterState filter;
    const qint64 first = store::keyDay(table.cellUtf8(store::Key, 1));
    const qint64 last = store::keyDay(table.cellUtf8(store::Key, table.rowCount() - 1));
    std::mt19937 random(3);
    std::uniform_int_distribution<qint64> days(first, last);
    std::vector<qint64> queries(4096);
    for (qint64 &d : queries)
        d = days(random);
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(store::findDayRow(table, filter, queries[i++ & 4095]));
}
BENCHMARK(BM_FindDayRow)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kNanosecond);

// A task looked up by its identity, anywhere in the store (a pass over the identities).
void BM_FindTaskById(benchmark::State &state)
{
    const CellTable &table = storeOf(int(state.range(0)));
    std::mt19937 random(5);
    std::uniform_int_distribution<int> rows(1, table.rowCount() - 1);
    std::vector<CellTable::RowId> queries(4096);
    for (CellTable::RowId &id : queries)
        id = table.rowId(rows(random));
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(table.findRowId(queries[i++ & 4095]));
}
BENCHMARK(BM_FindTaskById)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The colour decisions of four month calendars: 168 days.
void BM_DayTaskState168(benchmark::State &state)
{
    const CellTable &table = storeOf(int(state.range(0)));
    const FilterState filter;
    const qint64 start = generatedFirstDay() + 3000;
    for (auto _ : state) {
        for (qint64 d = start; d < start + 168; ++d)
            benchmark::DoNotOptimize(store::dayTaskState(table, filter, d, true, true).state);
    }
}
BENCHMARK(BM_DayTaskState168)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The colour decisions of the 168 day cells of four calendars, as painting asks for them:
// the holiday test and one day search per cell.
void BM_CalendarColours168(benchmark::State &state)
{
    const CellTable &table = storeOf(int(state.range(0)));
    const FilterState filter;
    const RegionalSettings settings = RegionalSettings::englishUS();
    CellTable rules(holidays::ColumnCount, 11);
    const char *const names[] = { "New Year", "Memorial Day", "Independence Day", "Labor Day", "Thanksgiving",
        "Christmas", "Boxing Day", "May Day", "Halloween", "Valentine's Day" };
    const char *const months[]
        = { "January", "May", "July", "September", "November", "December", "December", "May", "October", "February" };
    const char *const rulesText[]
        = { "1", "Last : Monday", "4", "First : Monday", "Fourth : Thursday", "25", "26", "1", "31", "14" };
    for (int r = 0; r < 10; ++r) {
        rules.setCell(holidays::Name, r + 1, QString::fromLatin1(names[r]));
        rules.setCell(holidays::MonthName, r + 1, QString::fromLatin1(months[r]));
        rules.setCell(holidays::DayRule, r + 1, QString::fromLatin1(rulesText[r]));
    }
    const dayview::ColourOptions options;
    const QDate start = datevalue::toDate(generatedFirstDay() + 3000);
    for (auto _ : state) {
        for (int d = 0; d < 168; ++d) {
            const QDate day = start.addDays(d);
            const bool holiday = !holidays::findHoliday(rules, day, settings).isEmpty();
            benchmark::DoNotOptimize(
                dayview::dayColours(table, filter, datevalue::dayNumber(day), holiday, options).look);
        }
    }
}
BENCHMARK(BM_CalendarColours168)->Arg(100000)->Unit(benchmark::kMicrosecond);

// One day's write-back on a large store, with the file written to a memory file system.
void BM_WriteToStoreOneDay(benchmark::State &state)
{
    CellTable table = storeOf(int(state.range(0)));
    const FilterState filter;
    const QString path = scratchFolder() + QStringLiteral("/day.grd");
    const qint64 day = store::keyDay(table.cellUtf8(store::Key, table.rowCount() / 2));
    CellTable list = store::newDayList();
    int n = 0;
    for (auto _ : state) {
        store::readFromStore(table, filter, day, list);
        list.setCell(daylist::What, 1, QStringLiteral("Edited ") + QString::number(++n));
        benchmark::DoNotOptimize(store::writeToStore(table, filter, day, list, path).ok);
    }
}
BENCHMARK(BM_WriteToStoreOneDay)->Arg(100000)->Unit(benchmark::kMillisecond);

// A batch of direct insertions (a recurrence run, a yearly repeat) into a large store,
// ended by the one sort that puts the store back in order.
void BM_DirectInsertBatch(benchmark::State &state)
{
    const CellTable &sorted = storeOf(100000);
    const int count = int(state.range(0));
    std::mt19937 random(11);
    std::uniform_int_distribution<qint64> days(generatedFirstDay(), generatedFirstDay() + 7305);
    std::vector<qint64> targets(size_t(count), 0);
    for (qint64 &day : targets)
        day = days(random);
    const QString time = QStringLiteral("8:00:00 PM");
    const QString category = QStringLiteral("Family");
    const QString what = QStringLiteral("Birthday of Sam");
    const QString no = QStringLiteral("No");
    CellTable table;
    for (auto _ : state) {
        state.PauseTiming();
        table = sorted;
        state.ResumeTiming();
        for (const qint64 day : targets)
            store::insertDirectTask(table, day, time, category, what, no, no);
        store::compactAndSort(table);
        benchmark::DoNotOptimize(table.rowCount());
    }
}
BENCHMARK(BM_DirectInsertBatch)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);

// Heap held by a store read from its file.
void BM_StoreMemory(benchmark::State &state)
{
    const QString path = fileOf(int(state.range(0)));
    double megabytes = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        auto *table = new CellTable;
        readGridFile(*table, path);
        const size_t after = mallinfo2().uordblks;
        megabytes = double(after - before) / (1024.0 * 1024.0);
        delete table;
    }
    state.counters["MB"] = megabytes;
}
BENCHMARK(BM_StoreMemory)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// One Find Next step at its worst: a word no task holds, so every row is examined.
void BM_SearchStep(benchmark::State &state)
{
    const CellTable &table = storeOf(int(state.range(0)));
    const FilterState filter;
    search::SearchState search;
    for (auto _ : state) {
        search::startSearch(search);
        benchmark::DoNotOptimize(
            search::FindDialog1Find(table, filter, search, QStringLiteral("zebra"), true, false, true));
    }
}
BENCHMARK(BM_SearchStep)->Arg(100000)->Unit(benchmark::kMillisecond);

// "Next Highlighted Task" from the first day: the next day with a task.
void BM_NextHighlightedDay(benchmark::State &state)
{
    const CellTable &table = storeOf(int(state.range(0)));
    const FilterState filter;
    const QDate from = datevalue::toDate(DateValue(generatedFirstDay()));
    for (auto _ : state)
        benchmark::DoNotOptimize(search::goForward(table, filter, from, true, true));
}
BENCHMARK(BM_NextHighlightedDay)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
