#include "store/celltable.h"
#include "store/daylist.h"
#include "widgethelpers.h"
#include "widgets/celltablemodel.h"
#include "widgets/gridview.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTest>

namespace {

using Row = QStringList; // Time, Category, What, Done?, Alarm?

// A day list: the header row, then one row per given task; an empty task is a blank row.
CellTable dayList(const QList<Row> &rows)
{
    CellTable table(daylist::ColumnCount, int(rows.size()) + 1);
    const QStringList header { QStringLiteral("Time"), QStringLiteral("Category"), QStringLiteral("What"),
        QStringLiteral("Done?"), QStringLiteral("Alarm?") };
    for (int c = 0; c < daylist::ColumnCount; ++c)
        table.setCell(c, 0, header[c]);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            table.setCell(c, r + 1, rows[r][c]);
    const QList<int> widths { 60, 62, 203, 40, 40 };
    for (int c = 0; c < daylist::ColumnCount; ++c)
        table.setColWidth(c, widths[c]);
    return table;
}

// Model rows: 0 done, no alarm; 1 open with an alarm and a note of two lines; 2 a
// hand-made row, its done cell neither "Yes" nor "No" and its alarm cell empty; 3 blank.
CellTable sampleDay()
{
    return dayList({ { QStringLiteral("8:00 AM"), QStringLiteral("Work"), QStringLiteral("Report"),
                         QStringLiteral("Yes"), QStringLiteral("No") },
        { QStringLiteral("9:00 AM"), QStringLiteral("Home"), QStringLiteral("Call Ann\r\nbefore 5\r\n"),
            QStringLiteral("No"), QStringLiteral("Yes") },
        { QString(), QString(), QStringLiteral("Odd"), QStringLiteral("Yes!") }, {} });
}

const QList<int> kFlags { daylist::Done, daylist::Alarm };

struct Window
{
    QWidget widget;
    GridView *view = new GridView(&widget);

    explicit Window(CellTable *table)
    {
        view->setTable(table);
        view->setFlagColumns(kFlags);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        view->setListFont(font);
        view->setRowHeight(19);
        view->resize(480, 240);
        widget.resize(480, 240);
    }

    bool show()
    {
        widget.show();
        return QTest::qWaitForWindowExposed(&widget);
    }
};

// Where the style draws the check box of a cell, worked out from the style alone.
QRect styleBoxRect(const GridView *view, const QModelIndex &index)
{
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = view->visualRect(index);
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    option.checkState = Qt::Unchecked;
    option.decorationPosition = QStyleOptionViewItem::Left;
    option.widget = view;
    return view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
}

// Where a click on a cell lands: its box, or the middle of the room to the box's right.
QPoint clickPoint(const GridView *view, const QModelIndex &index, bool onBox)
{
    const QRect box = styleBoxRect(view, index);
    const QRect cell = view->visualRect(index);
    return onBox ? box.center() : QPoint((box.right() + cell.right()) / 2, cell.center().y());
}

QImage cellImage(GridView *view, const QModelIndex &index)
{
    return view->viewport()->grab(view->visualRect(index)).toImage();
}

} // namespace

// The lists' model gives each cell typed roles: the flag columns as check boxes, every
// text as a tool tip, every row's identity; and a click on a box asks the list's owner to
// change the flag, never the table itself.
class TestGridRoles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rolesOfACell_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QVariant>("checkState"); // invalid: no box
        QTest::addColumn<QVariant>("toolTip"); // invalid: no text
        const QVariant checked(int(Qt::Checked));
        const QVariant unchecked(int(Qt::Unchecked));
        const QVariant none;

        QTest::newRow("done") << 0 << int(daylist::Done) << checked << QVariant(QStringLiteral("Yes"));
        QTest::newRow("no alarm") << 0 << int(daylist::Alarm) << unchecked << QVariant(QStringLiteral("No"));
        QTest::newRow("not done") << 1 << int(daylist::Done) << unchecked << QVariant(QStringLiteral("No"));
        QTest::newRow("an alarm") << 1 << int(daylist::Alarm) << checked << QVariant(QStringLiteral("Yes"));
        QTest::newRow("a flag that is not Yes")
            << 2 << int(daylist::Done) << unchecked << QVariant(QStringLiteral("Yes!"));
        QTest::newRow("an empty flag of a task") << 2 << int(daylist::Alarm) << unchecked << none;
        QTest::newRow("a blank row has no box") << 3 << int(daylist::Done) << none << none;
        QTest::newRow("a note, in the lines shown")
            << 1 << int(daylist::What) << none << QVariant(QStringLiteral("Call Ann\nbefore 5"));
        QTest::newRow("a time") << 0 << int(daylist::Time) << none << QVariant(QStringLiteral("8:00 AM"));
        QTest::newRow("an empty category") << 2 << int(daylist::Category) << none << none;
    }
    void rolesOfACell()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QVariant, checkState);
        QFETCH(QVariant, toolTip);
        CellTable table = sampleDay();
        CellTableModel model(&table);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setFlagColumns(kFlags);
        const QModelIndex index = model.index(row, column);

        QCOMPARE(index.data(Qt::CheckStateRole), checkState);
        QCOMPARE(bool(model.flags(index) & Qt::ItemIsUserCheckable), checkState.isValid());
        QVERIFY(model.flags(index) & Qt::ItemIsSelectable);
        QVERIFY(model.flags(index) & Qt::ItemIsEnabled);
        QVERIFY(!(model.flags(index) & Qt::ItemIsEditable));
        QCOMPARE(index.data(Qt::ToolTipRole), toolTip);
        // The text stays the text, for whoever reads it.
        QCOMPARE(index.data(Qt::DisplayRole).toString(), table.cell(column, row + 1));
        QCOMPARE(index.data(CellTableModel::TaskIdRole).value<quint64>(), table.rowId(row + 1));
        QVERIFY(table.rowId(row + 1) != 0);
    }

    // No flag columns, no boxes; naming them tells the views, and a box stays with its
    // task wherever it goes, as does the identity.
    void boxesAndIdentitiesFollowTheirTasks()
    {
        CellTable table = sampleDay();
        CellTableModel model(&table);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(!model.index(0, daylist::Done).data(Qt::CheckStateRole).isValid());
        QVERIFY(!(model.flags(model.index(0, daylist::Done)) & Qt::ItemIsUserCheckable));
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        model.setFlagColumns(kFlags);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.first().at(2).value<QList<int>>(), QList<int> { Qt::CheckStateRole });
        QCOMPARE(changes.first().at(1).value<QModelIndex>(), model.index(3, daylist::ColumnCount - 1));

        const quint64 done = table.rowId(1);
        table.applyDataRowOrder({ 4, 3, 2, 1 });
        model.refresh();
        QCOMPARE(model.index(3, daylist::Done).data(CellTableModel::TaskIdRole).value<quint64>(), done);
        QCOMPARE(model.index(3, daylist::Done).data(Qt::CheckStateRole), QVariant(int(Qt::Checked)));
        QVERIFY(!model.index(0, daylist::Done).data(Qt::CheckStateRole).isValid()); // the blank row
        for (int r = 0; r < model.rowCount(); ++r)
            QCOMPARE(
                model.index(r, daylist::What).data(CellTableModel::TaskIdRole).value<quint64>(), table.rowId(r + 1));
    }

    // A check state set on a cell asks for the task's flag and answers false: the table is
    // changed by the owner's command only, even in a model that writes texts.
    void settingACheckStateOnlyAsks_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("asks");

        QTest::newRow("done off") << 0 << int(daylist::Done) << int(Qt::Unchecked) << false << true;
        QTest::newRow("done on") << 1 << int(daylist::Done) << int(Qt::Checked) << false << true;
        QTest::newRow("an alarm off") << 1 << int(daylist::Alarm) << int(Qt::Unchecked) << false << true;
        QTest::newRow("an alarm on, the model writes texts")
            << 0 << int(daylist::Alarm) << int(Qt::Checked) << true << true;
        QTest::newRow("a blank row") << 3 << int(daylist::Done) << int(Qt::Checked) << false << false;
        QTest::newRow("not a flag column") << 0 << int(daylist::What) << int(Qt::Checked) << true << false;
    }
    void settingACheckStateOnlyAsks()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, state);
        QFETCH(bool, editable);
        QFETCH(bool, asks);
        CellTable table = sampleDay();
        const CellTable before = table;
        CellTableModel model(&table);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setFlagColumns(kFlags);
        model.setEditable(editable);
        QSignalSpy asked(&model, &CellTableModel::flagToggleRequested);
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);

        QVERIFY(!model.setData(model.index(row, column), state, Qt::CheckStateRole));

        QCOMPARE(asked.count(), asks ? 1 : 0);
        if (asks) {
            QCOMPARE(asked.first().at(0).value<quint64>(), table.rowId(row + 1));
            QCOMPARE(asked.first().at(1).toInt(), column);
            QCOMPARE(asked.first().at(2).toBool(), state == Qt::Checked);
        }
        QVERIFY(table == before);
        QCOMPARE(changes.count(), 0);
    }

    // A click on a box, through the real list: the row is selected as by a click anywhere in
    // it, the list asks for the task's flag with the task's identity, and nothing is written.
    void aClickOnABoxAsksForTheFlag_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("onBox");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("on");

        QTest::newRow("done, off") << 0 << int(daylist::Done) << true << true << false;
        QTest::newRow("no alarm, on") << 0 << int(daylist::Alarm) << true << true << true;
        QTest::newRow("not done, on") << 1 << int(daylist::Done) << true << true << true;
        QTest::newRow("an alarm, off") << 1 << int(daylist::Alarm) << true << true << false;
        QTest::newRow("a flag that is not Yes, on") << 2 << int(daylist::Done) << true << true << true;
        QTest::newRow("beside the box") << 1 << int(daylist::Done) << false << false << false;
        QTest::newRow("where a blank row's box would be") << 3 << int(daylist::Done) << true << false << false;
        QTest::newRow("another column") << 1 << int(daylist::What) << true << false << false;
    }
    void aClickOnABoxAsksForTheFlag()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(bool, onBox);
        QFETCH(bool, asks);
        QFETCH(bool, on);
        CellTable table = sampleDay();
        const CellTable before = table;
        Window window(&table);
        QVERIFY(window.show());
        GridView *view = window.view;
        QAbstractItemModelTester tester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        view->setCurrentTableRow(row == 2 ? 1 : 3);
        QSignalSpy asked(view, &GridView::flagToggleRequested);
        const QModelIndex index = view->model()->index(row, column);
        const QVariant state = index.data(Qt::CheckStateRole);

        // The list finds its boxes where the style draws them.
        if (state.isValid())
            QCOMPARE(view->checkBoxRect(index), styleBoxRect(view, index));
        else
            QCOMPARE(view->checkBoxRect(index), QRect());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, clickPoint(view, index, onBox));

        QCOMPARE(asked.count(), asks ? 1 : 0);
        if (asks) {
            QCOMPARE(asked.first().at(0).value<quint64>(), table.rowId(row + 1));
            QCOMPARE(asked.first().at(1).toInt(), column);
            QCOMPARE(asked.first().at(2).toBool(), on);
        }
        QVERIFY(table == before);
        QCOMPARE(table.rowId(row + 1), before.rowId(row + 1));
        QCOMPARE(index.data(Qt::CheckStateRole), state);
        QCOMPARE(view->currentTableRow(), row + 1);
        QVERIFY(view->selectionModel()->isRowSelected(row, {}));
        QCOMPARE(view->selectionModel()->selectedIndexes().size(), daylist::ColumnCount);
    }

    // No key toggles a flag: which cell of the selected row the keyboard is on is not shown,
    // so Space does what it does on any other cell.
    void spaceOnAFlagCellChangesNothing()
    {
        CellTable table = sampleDay();
        const CellTable before = table;
        Window window(&table);
        QVERIFY(window.show());
        GridView *view = window.view;
        view->setFocus();
        view->selectionModel()->setCurrentIndex(
            view->model()->index(0, daylist::Done), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QSignalSpy asked(view, &GridView::flagToggleRequested);
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(asked.count(), 0);
        QVERIFY(table == before);
        QCOMPARE(view->currentTableRow(), 1);
    }

    // A double click on a box is two clicks, as on any check box: the flag goes and comes
    // back, and the task is not opened. Elsewhere a double click still opens it. The owner
    // here sets the flag and shows the table again, as its command does.
    void aDoubleClickOnABoxIsTwoClicks_data()
    {
        QTest::addColumn<bool>("onBox");
        QTest::addColumn<QList<bool>>("asked");
        QTest::addColumn<int>("doubleClicks");
        QTest::newRow("on the box") << true << QList<bool> { false, true } << 0;
        QTest::newRow("beside the box") << false << QList<bool> {} << 1;
    }
    void aDoubleClickOnABoxIsTwoClicks()
    {
        QFETCH(bool, onBox);
        QFETCH(QList<bool>, asked);
        QFETCH(int, doubleClicks);
        CellTable table = sampleDay();
        Window window(&table);
        QVERIFY(window.show());
        GridView *view = window.view;
        QAbstractItemModelTester tester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QList<bool> requests;
        connect(view, &GridView::flagToggleRequested, this, [&](quint64 id, int column, bool on) {
            requests << on;
            table.setCell(column, table.findRowId(id), on ? QStringLiteral("Yes") : QStringLiteral("No"));
            view->refresh();
        });
        QSignalSpy opened(view, &QAbstractItemView::doubleClicked);
        const QModelIndex index = view->model()->index(0, daylist::Done);

        // What the window system sends for a double click.
        const QPoint at = clickPoint(view, index, onBox);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);

        QCOMPARE(requests, asked);
        QCOMPARE(opened.count(), doubleClicks);
        QCOMPARE(table.cell(daylist::Done, 1), QStringLiteral("Yes"));
        QCOMPARE(view->currentTableRow(), 1);
    }

    // A flag that says "Yes" or "No" shows as its box alone: a "No" looks like an empty flag.
    // Any other text is drawn beside its box, so nothing the cell holds is hidden.
    void aBoxIsDrawnWithoutItsText()
    {
        CellTable table = sampleDay();
        table.setCell(daylist::Alarm, 4, QStringLiteral("No")); // the blank row, now a task
        Window window(&table);
        QVERIFY(window.show());
        GridView *view = window.view;
        const QAbstractItemModel *model = view->model();
        // Rows of one line each (row 1 holds two).
        const QImage no = cellImage(view, model->index(0, daylist::Alarm));
        QCOMPARE(cellImage(view, model->index(2, daylist::Alarm)), no); // an empty flag
        QCOMPARE(cellImage(view, model->index(3, daylist::Alarm)), no);
        QVERIFY(cellImage(view, model->index(0, daylist::Done)) != no); // "Yes": checked
        QVERIFY(cellImage(view, model->index(2, daylist::Done)) != no); // "Yes!" beside its box
    }

    // A box drawn alone shows no text that could be cut, and so has no tool tip in however
    // narrow a column; a text beside its box has one when the box leaves it too little room.
    void toolTipsOfFlagCells_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("tip");
        QTest::newRow("a box in a narrow column") << 0 << 14 << "";
        QTest::newRow("a box in a wide column") << 0 << 80 << "";
        QTest::newRow("a text cut beside its box") << 2 << 40 << "<qt>Yes!";
        QTest::newRow("a text whole beside its box") << 2 << 80 << "";
    }
    void toolTipsOfFlagCells()
    {
        QFETCH(int, row);
        QFETCH(int, width);
        QFETCH(QString, tip);
        CellTable table = sampleDay();
        table.setColWidth(daylist::Done, width);
        Window window(&table);
        QVERIFY(window.show());
        QCOMPARE(toolTipOfCell(window.view, window.view->model()->index(row, daylist::Done)), tip);
    }
};

QTEST_MAIN(TestGridRoles)
#include "tst_gridroles.moc"
