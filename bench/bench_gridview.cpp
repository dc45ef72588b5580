// Benchmarks of the grid view over a long list: what a refresh costs (the owner changed
// the table) and what one step of a column border drag costs, each with the repaint that
// follows. The view is shown on the offscreen platform, at the size of a main-window list.
#include "storegen.h"

#include "store/taskstore.h"
#include "widgets/gridview.h"

#include <QApplication>
#include <QHeaderView>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 20000;

// A generated store shown as a list: about one task in ten has lines of notes.
struct ShownList
{
    CellTable table = generateStore(kRows);
    GridView view;

    ShownList()
    {
        const int widths[store::ColumnCount] = { 70, 60, 70, 200, 40, 40 };
        for (int c = 0; c < store::ColumnCount; ++c)
            table.setColWidth(c, widths[c]);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        view.setListFont(font);
        view.setRowHeight(18);
        view.setTable(&table);
        view.resize(520, 400);
        view.show();
        view.setCurrentTableRow(1);
        settle();
    }

    // Runs what the event loop would before the next input: queued work and the repaint.
    static void settle() { QCoreApplication::processEvents(); }
};

void BM_GridViewRefresh(benchmark::State &state)
{
    ShownList list;
    for (auto _ : state) {
        list.view.refresh();
        ShownList::settle();
    }
}
BENCHMARK(BM_GridViewRefresh)->Unit(benchmark::kMillisecond);

// One step of a drag on the border of the "What" column, which re-wraps every text in it.
void BM_GridViewColumnResize(benchmark::State &state)
{
    ShownList list;
    QHeaderView *header = list.view.horizontalHeader();
    bool narrow = false;
    for (auto _ : state) {
        narrow = !narrow;
        header->resizeSection(store::What, narrow ? 150 : 200);
        ShownList::settle();
    }
}
BENCHMARK(BM_GridViewColumnResize)->Unit(benchmark::kMillisecond);

// A refresh followed by a jump to the last row, as after adding a task at the end.
void BM_GridViewRefreshAndSelectLast(benchmark::State &state)
{
    ShownList list;
    for (auto _ : state) {
        list.view.refresh();
        list.view.setCurrentTableRow(kRows);
        ShownList::settle();
        list.view.setCurrentTableRow(1);
        ShownList::settle();
    }
}
BENCHMARK(BM_GridViewRefreshAndSelectLast)->Unit(benchmark::kMillisecond);

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
