// Benchmarks of the recurrence generator. The targets on a two-core machine: a preview of
// 7,400 daily dates listed in under 50 ms (the rule, the lines and the dialog's list), and
// adding those dates to a 100,000-task store, sorted and saved, in under 200 ms.
#include "storegen.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "schedule/recur.h"
#include "schedule/recurdialog.h"
#include "settings/settingsstore.h"
#include "store/gridfile.h"
#include "store/taskdocument.h"
#include "store/taskstore.h"
#include "text/regional.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kStoreTasks = 100000;
const QDate kStart(2026, 3, 1);
const QDate kEnd = kStart.addDays(recur::kMaxRangeDays);

recur::TaskTemplate task()
{
    return { QStringLiteral("9:30 AM"), QStringLiteral("Money"), QStringLiteral("Yes"), QStringLiteral("Pay rent") };
}

recur::Rule daily()
{
    recur::Rule rule;
    rule.kind = recur::Kind::Daily;
    return rule;
}

// A program's world over a 100,000-task store: files on a memory file system, so the disk
// does not decide the figures.
struct World
{
    QTemporaryDir dir { QDir(QStringLiteral("/dev/shm")).exists()
            ? QStringLiteral("/dev/shm/tallyday-bench-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/tallyday-bench-XXXXXX") };
    FixedClock clock { QDateTime(kStart, QTime(10, 0)) };
    RecordingDialogs dialogs;
    SettingsStore settings { dir.filePath(QStringLiteral("Task.ini")) };
    std::unique_ptr<TaskDocument> document;
    CellTable loaded; // the store as read, put back before each run

    explicit World(int tasks)
    {
        writeGridFile(generateStore(tasks), dir.filePath(QStringLiteral("grid.grd")));
        document = std::make_unique<TaskDocument>(dir.path(), settings, clock, RegionalSettings::englishUS());
        document->load();
        document->showDay(datevalue::dayNumber(kStart));
        loaded = document->store();
    }
};

// The core part of a preview: the rule's dates and their lines.
void BM_PreviewLinesDaily7400(benchmark::State &state)
{
    RegionalSettings regional = RegionalSettings::englishUS();
    fix2000(regional);
    const QString pattern = recur::previewPattern(regional);
    const DateValue now = datevalue::fromDate(kStart);
    for (auto _ : state) {
        const recur::Preview preview = recur::preview(daily(), kStart, kEnd);
        QStringList lines;
        lines.reserve(preview.dates.size());
        for (const QDate &date : preview.dates)
            lines << recur::previewLine(date, pattern, regional, now);
        benchmark::DoNotOptimize(lines.constData());
    }
}
BENCHMARK(BM_PreviewLinesDaily7400)->Unit(benchmark::kMillisecond);

// "Preview Selection" in the shown dialog, with the repaint of the list that follows.
void BM_DialogPreviewDaily7400(benchmark::State &state)
{
    World world(1000);
    TfrmRecur dialog(*world.document, world.dialogs, world.clock);
    dialog.init(task(), kStart);
    dialog.findChild<QRadioButton *>(QStringLiteral("rbDaily"))->click();
    dialog.findChild<QDateEdit *>(QStringLiteral("date2"))->setDate(kEnd);
    dialog.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        dialog.btPreviewClick();
        QCoreApplication::processEvents();
    }
    if (dialog.previewDates().size() != recur::kMaxRangeDays + 1 || !world.dialogs.errors.isEmpty())
        state.SkipWithError("the preview did not list 7,401 dates");
}
BENCHMARK(BM_DialogPreviewDaily7400)->Unit(benchmark::kMillisecond);

// Adding 7,401 dates to a 100,000-task store: the direct insertions, one sort and the save,
// and the shown day read again.
void BM_AddSeries7400To100k(benchmark::State &state)
{
    World world(kStoreTasks);
    const QList<QDate> dates = recur::preview(daily(), kStart, kEnd).dates;
    for (auto _ : state) {
        state.PauseTiming();
        world.document->store() = world.loaded;
        state.ResumeTiming();
        if (!recur::addSeries(*world.document, task(), dates).ok)
            state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_AddSeries7400To100k)->Unit(benchmark::kMillisecond);

// The same through the dialog's OK, the question answered Yes.
void BM_DialogOk7400To100k(benchmark::State &state)
{
    World world(kStoreTasks);
    TfrmRecur dialog(*world.document, world.dialogs, world.clock);
    dialog.init(task(), kStart);
    dialog.findChild<QRadioButton *>(QStringLiteral("rbDaily"))->click();
    dialog.findChild<QDateEdit *>(QStringLiteral("date2"))->setDate(kEnd);
    dialog.btPreviewClick();
    for (auto _ : state) {
        state.PauseTiming();
        world.document->store() = world.loaded;
        world.dialogs.confirmAnswers = { true };
        state.ResumeTiming();
        dialog.btOKClick();
    }
    if (world.document->store().rowCount() != kStoreTasks + recur::kMaxRangeDays + 2)
        state.SkipWithError("the rows were not added");
}
BENCHMARK(BM_DialogOk7400To100k)->Unit(benchmark::kMillisecond);

// What the batch would cost if a direct insertion appended its row instead of inserting it
// under the header: the same rows and cells, the same sort and save.
void BM_AddSeriesByAppending7400To100k(benchmark::State &state)
{
    World world(kStoreTasks);
    const QList<QDate> dates = recur::preview(daily(), kStart, kEnd).dates;
    const recur::TaskTemplate t = task();
    const QString path = world.dir.filePath(QStringLiteral("grid.grd"));
    for (auto _ : state) {
        state.PauseTiming();
        CellTable table = world.loaded;
        state.ResumeTiming();
        for (const QDate &date : dates) {
            const int row = table.rowCount();
            table.setRowCount(row + 1);
            table.setCell(store::Key, row, store::makeKey(datevalue::dayNumber(date), store::kDirectSequence));
            table.setCell(store::Time, row, t.time);
            table.setCell(store::Category, row, t.category);
            table.setCell(store::What, row, t.what);
            table.setCell(store::Done, row, QStringLiteral("No"));
            table.setCell(store::Alarm, row, t.alarm);
        }
        if (!store::SortGridStore(table, path).ok)
            state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_AddSeriesByAppending7400To100k)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Widgets need a display; the offscreen one draws into memory, the same on any machine.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
