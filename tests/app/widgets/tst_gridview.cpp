#include "store/celltable.h"
#include "store/todolist.h"
#include "widgethelpers.h"
#include "widgets/celltablemodel.h"
#include "widgets/gridview.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

// A to-do list: the header row, then one row per given task.
CellTable todoList(const QList<QStringList> &rows)
{
    CellTable table(3, int(rows.size()) + 1);
    table.setCell(0, 0, QStringLiteral("Category"));
    table.setCell(1, 0, QStringLiteral("What"));
    table.setCell(2, 0, QStringLiteral("Done?"));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            table.setCell(c, r + 1, rows[r][c]);
    table.setColWidth(0, 62);
    table.setColWidth(1, 203);
    table.setColWidth(2, 52);
    return table;
}

QList<QStringList> sampleTasks()
{
    return { { QStringLiteral("apple"), QStringLiteral("Buy paint"), QStringLiteral("No") },
        { QStringLiteral("Zoo"), QStringLiteral("Feed the cat"), QStringLiteral("Yes") },
        { QStringLiteral("Home"), QStringLiteral("Call Ann\r\nbefore 5"), QStringLiteral("No") },
        { QStringLiteral("Home"), QStringLiteral("Bake"), QStringLiteral("No") } };
}

// A long to-do list: every third task has a second line, every seventh more lines than a
// row shows.
CellTable longList(int tasks)
{
    QList<QStringList> rows;
    for (int i = 1; i <= tasks; ++i) {
        QString what = QStringLiteral("Task ") + QString::number(i);
        if (i % 7 == 0)
            what += QStringLiteral("\r\n2\r\n3\r\n4\r\n5\r\n6");
        else if (i % 3 == 0)
            what += QStringLiteral("\r\nsecond line");
        rows << QStringList { QStringLiteral("Home"), what, QStringLiteral("No") };
    }
    return todoList(rows);
}

QStringList columnTexts(const CellTable &table, int column)
{
    QStringList texts;
    for (int r = 1; r < table.rowCount(); ++r)
        texts << table.cell(column, r);
    return texts;
}

void clickHeader(GridView &view, int column)
{
    QHeaderView *header = view.horizontalHeader();
    const QPoint centre(
        header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

// The first row in the viewport whose height is not the one the row rule gives it, or -1.
int firstMismeasuredShownRow(const GridView &view)
{
    for (int r = std::max(view.rowAt(0), 0);
         r < view.model()->rowCount() && view.rowViewportPosition(r) < view.viewport()->height(); ++r) {
        if (view.rowHeight(r) != view.rowHeightFor(r))
            return r;
    }
    return -1;
}

// Whether the whole of a data row (from 0) is inside the viewport.
bool rowWhollyShown(const GridView &view, int row)
{
    const QRect rect = view.visualRect(view.model()->index(row, 1));
    return rect.isValid() && rect.top() >= 0 && rect.bottom() < view.viewport()->height();
}

struct Window
{
    QWidget widget;
    QLineEdit *other = new QLineEdit(&widget);
    GridView *view = new GridView(&widget);

    explicit Window(CellTable *table)
    {
        auto *column = new QVBoxLayout(&widget);
        column->addWidget(other);
        column->addWidget(view);
        view->setTable(table);
        widget.resize(420, 300);
    }

    // A font and row height of our own, so that heights do not depend on the machine's.
    void useFixedFont()
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        view->setListFont(font);
        view->setRowHeight(19);
    }

    bool show()
    {
        widget.show();
        return QTest::qWaitForWindowExposed(&widget);
    }
};

} // namespace

class TestGridView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void modelPassesTheTesterThroughChanges()
    {
        CellTable table = todoList(sampleTasks());
        CellTableModel model(&table);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        table.insertBlankRows(2, 3);
        model.refresh();
        table.deleteRows(1, table.rowCount() - 1);
        model.refresh();
        QCOMPARE(model.rowCount(), 0);
        table.setColCount(5);
        table.setRowCount(3);
        model.refresh();
        model.refreshTableRow(2);
        model.setTable(nullptr);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 0);
    }

    void modelShowsDataRowsUnderTheHeader()
    {
        CellTable table = todoList(sampleTasks());
        CellTableModel model(&table);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("What"));
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Done?"));
        QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("apple"));
        QCOMPARE(model.index(2, 1).data(Qt::EditRole).toString(), QStringLiteral("Call Ann\r\nbefore 5"));
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    }

    void modelWritesOnlyWhenEditable()
    {
        CellTable table = todoList(sampleTasks());
        CellTableModel model(&table);
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(!model.setData(model.index(0, 1), QStringLiteral("changed")));
        QCOMPARE(table.cell(1, 1), QStringLiteral("Buy paint"));

        model.setEditable(true);
        QVERIFY(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
        QVERIFY(model.setData(model.index(0, 1), QStringLiteral("changed")));
        QCOMPARE(table.cell(1, 1), QStringLiteral("changed"));
        QCOMPARE(changes.count(), 1);
    }

    void rowFontHookGivesTheFontOfEachRow()
    {
        CellTable table = todoList(sampleTasks());
        CellTableModel model(&table);
        QVERIFY(!model.index(1, 0).data(Qt::FontRole).isValid()); // no hook: the view's font

        QFont listFont(QStringLiteral("DejaVu Sans"), 9);
        model.setListFont(listFont);
        QList<int> asked;
        model.setRowFontHook([&table, &asked](int tableRow, const QFont &font) {
            asked << tableRow;
            QFont rowFont = font;
            rowFont.setStrikeOut(table.cell(2, tableRow).contains(QLatin1String("Yes")));
            return rowFont;
        });
        const QFont done = model.index(1, 1).data(Qt::FontRole).value<QFont>();
        const QFont open = model.index(0, 1).data(Qt::FontRole).value<QFont>();
        QVERIFY(done.strikeOut());
        QVERIFY(!open.strikeOut());
        QCOMPARE(open.family(), listFont.family());
        QCOMPARE(open.pointSize(), 9);
        QCOMPARE(asked, (QList<int> { 2, 1 })); // table rows, counted from the header
    }

    void headerClickSortsAndKeepsTheSelection_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QStringList>("whats");
        QTest::addColumn<int>("selectedRow");

        // Byte order puts capitals first; equal categories go by their "What".
        QTest::newRow("category ascending")
            << 0 << 1
            << QStringList { QStringLiteral("Bake"), QStringLiteral("Call Ann\r\nbefore 5"),
                   QStringLiteral("Feed the cat"), QStringLiteral("Buy paint") }
            << 4;
        QTest::newRow("category descending")
            << 0 << 2
            << QStringList { QStringLiteral("Buy paint"), QStringLiteral("Feed the cat"),
                   QStringLiteral("Call Ann\r\nbefore 5"), QStringLiteral("Bake") }
            << 1;
        QTest::newRow("what ascending") << 1 << 1
                                        << QStringList { QStringLiteral("Bake"), QStringLiteral("Buy paint"),
                                               QStringLiteral("Call Ann\r\nbefore 5"), QStringLiteral("Feed the cat") }
                                        << 2;
    }

    void headerClickSortsAndKeepsTheSelection()
    {
        QFETCH(int, column);
        QFETCH(int, clicks);
        QFETCH(QStringList, whats);
        QFETCH(int, selectedRow);

        CellTable table = todoList(sampleTasks());
        // The click on the sort column flips the direction; start elsewhere.
        table.setSortColumn(2);
        Window window(&table);
        window.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window.widget));
        window.view->setCurrentTableRow(1); // "Buy paint"
        QSignalSpy sorted(window.view, &GridView::sorted);

        for (int i = 0; i < clicks; ++i)
            clickHeader(*window.view, column);

        QCOMPARE(columnTexts(table, 1), whats);
        QCOMPARE(sorted.count(), clicks);
        QCOMPARE(sorted.last().at(0).toInt(), column);
        QCOMPARE(window.view->currentTableRow(), selectedRow);
        QCOMPARE(table.cell(1, selectedRow), QStringLiteral("Buy paint"));
        // The view shows the new order.
        QCOMPARE(window.view->model()->index(0, 1).data().toString(), whats.first());
        QVERIFY(window.view->selectionModel()->isRowSelected(selectedRow - 1, {}));
    }

    void headerClickRefusesWhenTheTableDoes_data()
    {
        QTest::addColumn<int>("tasks");
        QTest::addColumn<int>("refusedColumn");
        QTest::addColumn<int>("clickedColumn");
        QTest::addColumn<bool>("sorts");

        QTest::newRow("one data row") << 1 << -1 << 1 << false;
        QTest::newRow("hook refuses the column") << 4 << 1 << 1 << false;
        QTest::newRow("hook allows another column") << 4 << 1 << 2 << true;
    }

    void headerClickRefusesWhenTheTableDoes()
    {
        QFETCH(int, tasks);
        QFETCH(int, refusedColumn);
        QFETCH(int, clickedColumn);
        QFETCH(bool, sorts);

        CellTable table = todoList(sampleTasks().mid(0, tasks));
        table.setCanSort([refusedColumn](int column) { return column != refusedColumn; });
        const CellTable before = table;
        Window window(&table);
        window.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window.widget));
        window.view->setCurrentTableRow(1);
        QSignalSpy sorted(window.view, &GridView::sorted);

        clickHeader(*window.view, clickedColumn);
        QCOMPARE(sorted.count(), sorts ? 1 : 0);
        QCOMPARE(table == before, !sorts);
        if (!sorts) {
            QCOMPARE(table.sortColumn(), 0);
            QCOMPARE(window.view->currentTableRow(), 1);
        }
    }

    void columnWidthsComeFromAndGoBackToTheTable()
    {
        CellTable table = todoList(sampleTasks());
        Window window(&table);
        window.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window.widget));
        QCOMPARE(window.view->columnWidth(0), 62);
        QCOMPARE(window.view->columnWidth(1), 203);
        QCOMPARE(window.view->columnWidth(2), 52);

        // As a drag on the column border does.
        window.view->horizontalHeader()->resizeSection(1, 150);
        QCOMPARE(table.colWidth(1), 150);
        QCOMPARE(table.colWidth(0), 62);

        // Showing the table again (and sorting it) keeps the widths.
        table.setCell(1, 1, QStringLiteral("changed"));
        window.view->refresh();
        clickHeader(*window.view, 0);
        QCOMPARE(window.view->columnWidth(1), 150);
        QCOMPARE(window.view->columnWidth(0), 62);
        QCOMPARE(table.colWidth(2), 52);

        // Widths the owner puts into the table show when it asks for them.
        table.setColWidth(2, 80);
        window.view->applyColumnWidths();
        QCOMPARE(window.view->columnWidth(2), 80);
    }

    void currentRowIsATableRow()
    {
        CellTable table = todoList(sampleTasks());
        Window window(&table);
        GridView *view = window.view;
        QCOMPARE(view->currentTableRow(), -1);

        view->setCurrentTableRow(3);
        QCOMPARE(view->currentTableRow(), 3);
        QCOMPARE(view->currentIndex().row(), 2);
        // The whole row is selected, and only that row.
        QCOMPARE(view->selectionModel()->selectedIndexes().size(), 3);
        QVERIFY(view->selectionModel()->isRowSelected(2, {}));

        for (int outside : { 0, -1, 5, 99 }) {
            view->setCurrentTableRow(outside);
            QCOMPARE(view->currentTableRow(), -1);
            QVERIFY(view->selectionModel()->selectedIndexes().isEmpty());
        }

        // After the owner removes rows, the selection stays on the last one left.
        view->setCurrentTableRow(4);
        table.deleteRows(3, 2);
        view->refresh();
        QCOMPARE(view->currentTableRow(), 2);
    }

    // The owner changes the table and shows it again: the view hears which rows went, came
    // and moved, never a reset, and its selection stays on the task it was on. Only when
    // that task is gone does the row that took its place take the selection.
    void theSelectionFollowsItsTask_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("expectedRow");
        QTest::addColumn<QString>("expectedWhat");
        QTest::newRow("a row inserted above") << 3 << "insert above" << 4 << "Call Ann\r\nbefore 5";
        QTest::newRow("rows inserted on both sides") << 3 << "insert around" << 4 << "Call Ann\r\nbefore 5";
        QTest::newRow("a row removed above") << 3 << "remove first" << 2 << "Call Ann\r\nbefore 5";
        QTest::newRow("the order reversed") << 3 << "reverse" << 2 << "Call Ann\r\nbefore 5";
        QTest::newRow("the task's text changed") << 3 << "edit" << 3 << "Call Ann today";
        QTest::newRow("reversed, one removed, one added") << 1 << "mixed" << 4 << "Buy paint";
        QTest::newRow("the task removed") << 3 << "remove selected" << 3 << "Bake";
        QTest::newRow("the last task removed") << 4 << "remove selected" << 3 << "Call Ann\r\nbefore 5";
    }
    void theSelectionFollowsItsTask()
    {
        QFETCH(int, selected);
        QFETCH(QString, change);
        QFETCH(int, expectedRow);
        QFETCH(QString, expectedWhat);
        CellTable table = todoList(sampleTasks());
        Window window(&table);
        GridView *view = window.view;
        QAbstractItemModelTester tester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(view->model(), &QAbstractItemModel::modelReset);
        view->setCurrentTableRow(selected);

        const auto insertAt = [&table](int row, const QString &what) {
            table.insertBlankRows(row, 1);
            table.setCell(todo::What, row, what);
        };
        if (change == QLatin1String("insert above")) {
            insertAt(1, QStringLiteral("New"));
        } else if (change == QLatin1String("insert around")) {
            insertAt(1, QStringLiteral("First"));
            insertAt(table.rowCount(), QStringLiteral("Last"));
        } else if (change == QLatin1String("remove first")) {
            table.deleteRows(1, 1);
        } else if (change == QLatin1String("reverse")) {
            table.applyDataRowOrder({ 4, 3, 2, 1 });
        } else if (change == QLatin1String("edit")) {
            table.setCell(todo::What, selected, QStringLiteral("Call Ann today"));
        } else if (change == QLatin1String("mixed")) {
            table.applyDataRowOrder({ 4, 3, 1 }); // Bake, Call Ann, Buy paint
            insertAt(2, QStringLiteral("New"));
        } else if (change == QLatin1String("remove selected")) {
            table.deleteRows(selected, 1);
        }
        view->refresh();

        QCOMPARE(resets.count(), 0);
        QCOMPARE(view->model()->rowCount(), table.rowCount() - 1);
        for (int r = 1; r < table.rowCount(); ++r)
            QCOMPARE(view->model()->index(r - 1, todo::What).data().toString(), table.cell(todo::What, r));
        QCOMPARE(view->currentTableRow(), expectedRow);
        QCOMPARE(table.cell(todo::What, expectedRow), expectedWhat);
        QVERIFY(view->selectionModel()->isRowSelected(expectedRow - 1, {}));
        QCOMPARE(view->selectionModel()->selectedRows().size(), 1);
    }

    // A change in many places shows the list afresh, rows that cannot be told apart are
    // shown by position, and the selection still finds its task; listeners that read the
    // current row while the views follow a change read the task they are told of.
    void theSelectionSurvivesEveryKindOfRefresh()
    {
        QList<QStringList> tasks;
        for (int i = 1; i <= 300; ++i)
            tasks << QStringList { QStringLiteral("Home"), QStringLiteral("Task %1").arg(i), QStringLiteral("No") };
        CellTable table = todoList(tasks);
        Window window(&table);
        GridView *view = window.view;
        QAbstractItemModelTester tester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QStringList told;
        connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [&] { told << table.cell(todo::What, view->currentTableRow()); });
        const auto selected = [&] { return table.cell(todo::What, view->currentTableRow()); };

        // Every other task removed: 150 runs, shown afresh; Task 150 stays selected.
        view->setCurrentTableRow(150);
        for (int r = table.rowCount() - 2; r >= 1; r -= 2)
            table.deleteRows(r, 1);
        view->refresh();
        QCOMPARE(selected(), QStringLiteral("Task 150"));

        // A row copied over another: two rows with one identity, shown by position.
        table.copyRowFrom(table, 1, 2);
        view->refresh();
        QCOMPARE(view->model()->rowCount(), table.rowCount() - 1);
        table.blankRows(2, 1);
        table.setCell(todo::What, 2, QStringLiteral("Task 4 again"));
        view->refresh();
        QCOMPARE(view->model()->index(1, todo::What).data().toString(), QStringLiteral("Task 4 again"));
        QCOMPARE(view->model()->rowCount(), table.rowCount() - 1);

        // The task selected is removed while one is added above: whoever is told of the new
        // current row reads the task that is selected.
        view->setCurrentTableRow(3);
        table.deleteRows(3, 1);
        table.insertBlankRows(1, 1);
        table.setCell(todo::What, 1, QStringLiteral("New"));
        told.clear();
        view->refresh();
        QVERIFY(!told.isEmpty());
        QCOMPARE(told.last(), selected());
    }

    void rowHeights()
    {
        CellTable table = todoList({ { QStringLiteral("a"), QStringLiteral("one line"), QStringLiteral("No") },
            { QStringLiteral("b"), QStringLiteral("Call Ann\r\nbefore 5"), QStringLiteral("No") },
            { QStringLiteral("c"), QStringLiteral("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8"), QStringLiteral("No") } });
        Window window(&table);
        GridView *view = window.view;
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        view->setListFont(font);
        view->setRowHeight(19);
        const QFontMetrics fm(font);

        QCOMPARE(view->rowHeight(0), 19);
        // Two lines show both.
        QVERIFY(view->rowHeight(1) >= 2 * fm.lineSpacing());
        // Eight lines show only a few; the tooltip has them all.
        QCOMPARE(view->rowHeight(2), GridView::MaxShownLines * fm.lineSpacing() + 1);

        // A height above what two lines need is kept for every row.
        view->setRowHeight(60);
        QCOMPARE(view->rowHeight(0), 60);
        QCOMPARE(view->rowHeight(1), 60);
        QCOMPARE(view->rowHeight(2), 60);

        // The lines of a cell are shown as lines, not as control characters.
        view->setRowHeight(19);
        auto *delegate = qobject_cast<QStyledItemDelegate *>(view->itemDelegate());
        QVERIFY(delegate);
        const QString text = delegate->displayText(table.cell(1, 2), QLocale::c());
        QVERIFY(!text.contains(QLatin1Char('\r')));
        QVERIFY(text.contains(QStringLiteral("Call Ann")) && text.contains(QStringLiteral("before 5")));
    }

    void rowsShownAfterScrollingHaveTheirHeights_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("shownRow"); // a data row that must be wholly in view, or -1

        QTest::newRow("scroll bar to the end") << QStringLiteral("end") << 2999;
        QTest::newRow("last row selected") << QStringLiteral("select") << 2999;
        QTest::newRow("Ctrl+End") << QStringLiteral("key") << 2999;
        QTest::newRow("row in the middle selected") << QStringLiteral("select") << 1500;
        QTest::newRow("scrolled to a row in the middle") << QStringLiteral("scrollTo") << 1500;
        QTest::newRow("scroll bar to the middle") << QStringLiteral("middle") << -1;
    }

    void rowsShownAfterScrollingHaveTheirHeights()
    {
        QFETCH(QString, how);
        QFETCH(int, shownRow);

        CellTable table = longList(3000);
        Window window(&table);
        window.useFixedFont();
        QVERIFY(window.show());
        GridView *view = window.view;
        QScrollBar *bar = view->verticalScrollBar();

        if (how == QLatin1String("end")) {
            view->scrollToBottom();
        } else if (how == QLatin1String("select")) {
            view->setCurrentTableRow(shownRow + 1);
        } else if (how == QLatin1String("scrollTo")) {
            view->scrollTo(view->model()->index(shownRow, 1));
        } else if (how == QLatin1String("key")) {
            view->setCurrentTableRow(1);
            QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
            QCOMPARE(view->currentTableRow(), 3000);
        } else {
            bar->setValue(bar->maximum() / 2);
        }
        QCoreApplication::processEvents();

        QCOMPARE(firstMismeasuredShownRow(*view), -1);
        if (shownRow >= 0)
            QVERIFY(rowWhollyShown(*view, shownRow));
        if (shownRow == 2999)
            QCOMPARE(bar->value(), bar->maximum());
        // Rows of two lines and capped rows are among those shown.
        QVERIFY(view->rowHeight(view->rowAt(0)) > 19 || view->rowHeight(view->rowAt(0) + 1) > 19
            || view->rowHeight(view->rowAt(0) + 2) > 19);
    }

    void columnResizeMeasuresRowsAgain()
    {
        QList<QStringList> tasks;
        for (int i = 0; i < 400; ++i)
            tasks << QStringList { QStringLiteral("Car"), QStringLiteral("Pick up train tickets to Leeds"),
                QStringLiteral("No") };
        CellTable table = todoList(tasks);
        table.setColWidth(1, 400);
        Window window(&table);
        window.useFixedFont();
        QVERIFY(window.show());
        GridView *view = window.view;
        QCOMPARE(view->rowHeight(0), 19);

        // As a drag on the column border does: the texts wrap.
        view->horizontalHeader()->resizeSection(1, 120);
        QTRY_VERIFY(view->rowHeight(0) > 19);
        QCOMPARE(firstMismeasuredShownRow(*view), -1);
        view->scrollToBottom();
        QCOMPARE(firstMismeasuredShownRow(*view), -1);
        QVERIFY(view->rowHeight(399) > 19);

        // Wide again while at the end; the rows at the top were measured for the narrow column.
        view->horizontalHeader()->resizeSection(1, 400);
        QTRY_COMPARE(view->rowHeight(399), 19);
        view->scrollToTop();
        QCOMPARE(firstMismeasuredShownRow(*view), -1);
        QCOMPARE(view->rowHeight(0), 19);

        // A width the owner puts into the table wraps them too.
        table.setColWidth(1, 120);
        view->applyColumnWidths();
        QTRY_VERIFY(view->rowHeight(0) > 19);
        QCOMPARE(firstMismeasuredShownRow(*view), -1);
    }

    void changedRowIsMeasuredAgain_data()
    {
        QTest::addColumn<bool>("wholeRefresh");
        QTest::addColumn<QString>("newText");
        QTest::addColumn<bool>("grows");

        const QString lines = QStringLiteral("Call Ann\r\nbefore 5\r\nask about the discount");
        QTest::newRow("refresh, more lines") << true << lines << true;
        QTest::newRow("refresh, one line") << true << QStringLiteral("Bake") << false;
        QTest::newRow("row refresh, more lines") << false << lines << true;
        QTest::newRow("row refresh, one line") << false << QStringLiteral("Bake") << false;
    }

    void changedRowIsMeasuredAgain()
    {
        QFETCH(bool, wholeRefresh);
        QFETCH(QString, newText);
        QFETCH(bool, grows);

        CellTable table = longList(3000);
        Window window(&table);
        window.useFixedFont();
        QVERIFY(window.show());
        GridView *view = window.view;
        // Well down the list, where the rows above have grown.
        const int tableRow = 2001;
        view->setCurrentTableRow(tableRow);
        view->scrollTo(view->model()->index(tableRow - 1, 1), QAbstractItemView::PositionAtCenter);
        QCoreApplication::processEvents();
        const int firstShown = view->rowAt(0);
        const int firstTop = view->rowViewportPosition(firstShown);

        table.setCell(1, tableRow, newText);
        if (wholeRefresh)
            view->refresh();
        else
            view->cellModel()->refreshTableRow(tableRow);
        QCoreApplication::processEvents();

        const int row = tableRow - 1;
        QCOMPARE(view->rowHeight(row), view->rowHeightFor(row));
        QCOMPARE(view->rowHeight(row) > 19, grows);
        QCOMPARE(firstMismeasuredShownRow(*view), -1);
        // The rows shown stay where they were.
        QCOMPARE(view->rowAt(0), firstShown);
        QCOMPARE(view->rowViewportPosition(firstShown), firstTop);
        QCOMPARE(view->currentTableRow(), tableRow);
        QVERIFY(rowWhollyShown(*view, row));
    }

    void cutCellsShowTheirTextInATooltip()
    {
        CellTable table = todoList({ { QStringLiteral("a"), QStringLiteral("short"), QStringLiteral("No") },
            { QStringLiteral("b"), QStringLiteral("one\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix"),
                QStringLiteral("No") } });
        Window window(&table);
        window.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window.widget));
        GridView *view = window.view;

        auto toolTipAt = [view](int row) {
            QToolTip::hideText();
            const QPoint pos = view->visualRect(view->model()->index(row, 1)).center();
            QHelpEvent help(QEvent::ToolTip, pos, view->viewport()->mapToGlobal(pos));
            QCoreApplication::sendEvent(view->viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(toolTipAt(0), QString());
        const QString tip = toolTipAt(1);
        QVERIFY2(tip.contains(QStringLiteral("six")), qPrintable(tip));
        QVERIFY(tip.contains(QStringLiteral("five<br>six")));
        QToolTip::hideText();
    }

    // Only a cell drawn cut shows a tool tip, and the tip holds its whole text, line by
    // line. The view is 203 pixels wide in "What", a row shows four lines.
    void toolTipOnlyForACutCell_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("tip");
        const QString word(60, QLatin1Char('w'));
        QTest::newRow("one short line") << "short"
                                        << "";
        QTest::newRow("two lines") << "one\r\ntwo"
                                   << "";
        QTest::newRow("a sentence wrapped") << "Buy paint, brushes and tape at the shop on the corner"
                                            << "";
        // As the editor writes a note: every line ends with CR LF.
        QTest::newRow("a note of as many lines as a row shows") << "1\r\n2\r\n3\r\n4\r\n"
                                                                << "";
        QTest::newRow("more lines than a row shows") << "1\r\n2\r\n3\r\n4\r\n5\r\n"
                                                     << "<qt>1<br>2<br>3<br>4<br>5";
        QTest::newRow("a word longer than the column") << word << "<qt>" + word;
        QTest::newRow("a long word on a later line") << "Call\r\n" + word + "\r\n"
                                                     << "<qt>Call<br>" + word;
        QTest::newRow("markup is shown as it is") << "<b>1</b>\r\n2\r\n3\r\n4\r\n5"
                                                  << "<qt>&lt;b&gt;1&lt;/b&gt;<br>2<br>3<br>4<br>5";
    }
    void toolTipOnlyForACutCell()
    {
        QFETCH(QString, what);
        QFETCH(QString, tip);
        CellTable table = todoList({ { QStringLiteral("Home"), what, QStringLiteral("No") } });
        Window window(&table);
        window.useFixedFont();
        QVERIFY(window.show());
        QCOMPARE(toolTipOfCell(window.view, window.view->model()->index(0, 1)), tip);
        QCOMPARE(toolTipOfCell(window.view, window.view->model()->index(0, 0)), QString());
    }

    // A row shows as many lines as it is to show whole, in whatever font: laid out, a line
    // can be a pixel taller than the font's line spacing.
    void aRowShowsItsLinesWholeInAnyFont_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pointSize");
        QTest::newRow("the lists' font") << "MS Sans Serif" << 8;
        QTest::newRow("DejaVu Sans 9") << "DejaVu Sans" << 9;
        QTest::newRow("Liberation Serif 11") << "Liberation Serif" << 11;
        QTest::newRow("Arial 13") << "Arial" << 13;
    }
    void aRowShowsItsLinesWholeInAnyFont()
    {
        QFETCH(QString, family);
        QFETCH(int, pointSize);
        QStringList lines;
        for (int i = 1; i <= GridView::MaxShownLines; ++i)
            lines << QString::number(i);
        const QString shown = lines.join(QStringLiteral("\r\n"));
        CellTable table = todoList({ { QStringLiteral("a"), shown, QStringLiteral("No") },
            { QStringLiteral("b"), shown + QStringLiteral("\r\n5"), QStringLiteral("No") } });
        Window window(&table);
        window.view->setListFont(QFont(family, pointSize));
        QVERIFY(window.show());
        QCOMPARE(toolTipOfCell(window.view, window.view->model()->index(0, 1)), QString());
        QCOMPARE(window.view->rowHeight(1), window.view->rowHeight(0));
        QVERIFY(toolTipOfCell(window.view, window.view->model()->index(1, 1)).endsWith(QStringLiteral("4<br>5")));
    }

    // The CR LF that ends a note's last line adds no line to its row.
    void aNoteEndingWithALineEndIsNoTaller()
    {
        CellTable table = todoList({ { QStringLiteral("a"), QStringLiteral("one\r\ntwo\r\n"), QStringLiteral("No") },
            { QStringLiteral("b"), QStringLiteral("one\r\ntwo"), QStringLiteral("No") } });
        Window window(&table);
        window.useFixedFont();
        QVERIFY(window.show());
        QVERIFY(window.view->rowHeight(1) > 19);
        QCOMPARE(window.view->rowHeight(0), window.view->rowHeight(1));
    }

    // The header shows the column and the direction of the last sort a click made; a click
    // the table refuses leaves it as it was. The table starts sorted by column 0 ascending,
    // so a click there sorts it descending.
    void sortIndicatorShowsTheLastSort_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("tasks");
        QTest::addColumn<int>("section"); // -1: no indicator
        QTest::addColumn<Qt::SortOrder>("order");
        const auto up = Qt::AscendingOrder;
        const auto down = Qt::DescendingOrder;
        QTest::newRow("no click") << QList<int> {} << 4 << -1 << up;
        QTest::newRow("a column") << QList<int> { 1 } << 4 << 1 << up;
        QTest::newRow("the same column again") << QList<int> { 1, 1 } << 4 << 1 << down;
        QTest::newRow("three times") << QList<int> { 1, 1, 1 } << 4 << 1 << up;
        QTest::newRow("then another column") << QList<int> { 1, 1, 0 } << 4 << 0 << up;
        QTest::newRow("the sort column first") << QList<int> { 0 } << 4 << 0 << down;
        QTest::newRow("one data row: no sort") << QList<int> { 1 } << 1 << -1 << up;
        QTest::newRow("a refused column keeps the last sort") << QList<int> { 1, 1, 2 } << 4 << 1 << down;
    }
    void sortIndicatorShowsTheLastSort()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, tasks);
        QFETCH(int, section);
        QFETCH(Qt::SortOrder, order);
        CellTable table = todoList(sampleTasks().mid(0, tasks));
        table.setCanSort([](int column) { return column != 2; });
        Window window(&table);
        QVERIFY(window.show());
        for (int column : clicks)
            clickHeader(*window.view, column);
        const QHeaderView *header = window.view->horizontalHeader();
        QCOMPARE(header->isSortIndicatorShown(), section >= 0);
        if (section < 0)
            return;
        QCOMPARE(header->sortIndicatorSection(), section);
        QCOMPARE(header->sortIndicatorOrder(), order);
        QCOMPARE(table.sortColumn(), section);
        QCOMPARE(table.sortDirection(),
            order == Qt::AscendingOrder ? CellTable::SortDirection::Ascending : CellTable::SortDirection::Descending);
    }

    // An owner that sorts the table its own way afterwards takes the indicator away; one
    // that sorts by the table's settings (the add flow) keeps it.
    void sortIndicatorGoesWhenTheOwnerSortsOtherwise()
    {
        CellTable table = todoList(sampleTasks());
        Window window(&table);
        QVERIFY(window.show());
        const QHeaderView *header = window.view->horizontalHeader();
        clickHeader(*window.view, 1);
        clickHeader(*window.view, 1);
        table.insertBlankRows(table.rowCount(), 1);
        table.setCell(1, table.rowCount() - 1, QStringLiteral("Added"));
        table.sortRows();
        window.view->refresh();
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), 1);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

        table.setSortColumn(0);
        table.setSortDirection(CellTable::SortDirection::Ascending);
        table.sortRows();
        window.view->refresh();
        QVERIFY(!header->isSortIndicatorShown());
        // A new table has had no click.
        clickHeader(*window.view, 1);
        QVERIFY(header->isSortIndicatorShown());
        CellTable other = todoList(sampleTasks());
        window.view->setTable(&other);
        QVERIFY(!header->isSortIndicatorShown());
    }

    void unfocusedSelectionHighlight_data()
    {
        QTest::addColumn<bool>("highlightWhenUnfocused");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<bool>("highlighted");

        QTest::newRow("focused") << false << true << true;
        QTest::newRow("unfocused, no highlight") << false << false << false;
        QTest::newRow("unfocused, highlight kept") << true << false << true;
    }

    void unfocusedSelectionHighlight()
    {
        QFETCH(bool, highlightWhenUnfocused);
        QFETCH(bool, focused);
        QFETCH(bool, highlighted);

        CellTable table = todoList(sampleTasks());
        Window window(&table);
        GridView *view = window.view;
        view->setHighlightWhenUnfocused(highlightWhenUnfocused);
        window.widget.show();
        window.widget.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window.widget));
        view->setCurrentTableRow(1);
        if (focused)
            view->setFocus();
        else
            window.other->setFocus();
        QTRY_COMPARE(view->hasFocus(), focused);

        const QImage image = view->viewport()->grab().toImage();
        const QRect cell = view->visualRect(view->model()->index(0, 1));
        // Right of the short text, inside the cell.
        const QColor pixel = image.pixelColor(cell.right() - 3, cell.center().y());
        const QColor highlight = view->palette().color(QPalette::Active, QPalette::Highlight);
        QCOMPARE(pixel == highlight, highlighted);
        if (!highlighted)
            QCOMPARE(pixel, view->palette().color(QPalette::Base));
        QCOMPARE(view->currentTableRow(), 1); // drawn without highlight, but still selected
    }
};

QTEST_MAIN(TestGridView)
#include "tst_gridview.moc"
