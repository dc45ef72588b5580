#include "store/celltable.h"

#include <QTest>

#include <algorithm>
#include <random>

namespace {

// A table whose data rows are given as lists of cells; row 0 holds the headers.
CellTable tableOf(const QStringList &headers, const QList<QStringList> &rows)
{
    CellTable table(int(headers.size()), int(rows.size()) + 1);
    for (int c = 0; c < headers.size(); ++c)
        table.setCell(c, 0, headers[c]);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            table.setCell(c, r + 1, rows[r][c]);
    return table;
}

QStringList column(const CellTable &table, int c)
{
    QStringList texts;
    for (int r = 1; r < table.rowCount(); ++r)
        texts << table.cell(c, r);
    return texts;
}

} // namespace

class TestCellTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cellsOutsideTheTableAreEmpty()
    {
        CellTable table(2, 2);
        table.setCell(1, 1, QStringLiteral("x"));
        QCOMPARE(table.cell(1, 1), QStringLiteral("x"));
        QCOMPARE(table.cell(2, 1), QString());
        QCOMPARE(table.cell(-1, 0), QString());
        QCOMPARE(table.cell(0, 5), QString());
        table.setCell(5, 5, QStringLiteral("lost")); // writing outside does nothing
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.colCount(), 2);
        table.setCell(1, 1, QString());
        QVERIFY(table.isRowBlank(1));
    }

    void growingShowsEmptyCellsAndShrinkingDropsThem()
    {
        CellTable table(3, 3);
        table.setCell(2, 2, QStringLiteral("corner"));
        table.setCell(0, 1, QStringLiteral("kept"));
        table.setColCount(2);
        table.setRowCount(2);
        table.setColCount(3);
        table.setRowCount(3);
        QCOMPARE(table.cell(2, 2), QString());
        QCOMPARE(table.cell(0, 1), QStringLiteral("kept"));
        table.setColCount(0);
        table.setRowCount(-4);
        QCOMPARE(table.colCount(), 1);
        QCOMPARE(table.rowCount(), 1);
    }

    void multiLineAndUnicodeCellsSurvive()
    {
        CellTable table(2, 2);
        const QString text = QStringLiteral("Call Ann\r\nbefore 5 \u00e9\u20ac");
        table.setCell(1, 1, text);
        table.setCell(0, 1, QStringLiteral("a,b,,c"));
        QCOMPARE(table.cell(1, 1), text);
        QCOMPARE(table.cell(0, 1), QStringLiteral("a,b,,c"));
    }

    void rowOperations()
    {
        CellTable table = tableOf(
            { QStringLiteral("H") }, { { QStringLiteral("a") }, { QStringLiteral("b") }, { QStringLiteral("c") } });
        table.insertBlankRows(2, 2);
        QCOMPARE(
            column(table, 0), (QStringList { QStringLiteral("a"), {}, {}, QStringLiteral("b"), QStringLiteral("c") }));
        table.insertBlankRows(table.rowCount(), 1); // at RowCount appends
        QCOMPARE(table.rowCount(), 7);
        table.deleteRows(2, 2);
        QCOMPARE(column(table, 0), (QStringList { QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), {} }));
        table.blankRows(1, 2);
        QCOMPARE(column(table, 0), (QStringList { {}, {}, QStringLiteral("c"), {} }));
        QCOMPARE(table.cell(0, 0), QStringLiteral("H"));
        table.blankDataRows();
        QCOMPARE(table.cell(0, 0), QStringLiteral("H"));
        QCOMPARE(table.rowCount(), 5);
        table.blankAllCells();
        QCOMPARE(table.cell(0, 0), QString());
    }

    void deleteRowsKeepsTheHeaderRow()
    {
        CellTable table = tableOf({ QStringLiteral("H") }, { { QStringLiteral("a") } });
        table.deleteRows(0, 10);
        QCOMPARE(table.rowCount(), 1);
        table.deleteRows(5, 1); // outside: nothing
        QCOMPARE(table.rowCount(), 1);
    }

    void firstFreeRow()
    {
        CellTable onlyBlank(3, 2);
        QCOMPARE(onlyBlank.firstFreeRow(), 1);
        QCOMPARE(onlyBlank.rowCount(), 2);

        CellTable full = tableOf({ QStringLiteral("H") }, { { QStringLiteral("a") }, { QStringLiteral("b") } });
        QCOMPARE(full.firstFreeRow(), 3);
        QCOMPARE(full.rowCount(), 4);

        CellTable gap = tableOf({ QStringLiteral("H") }, { { QStringLiteral("a") }, {}, { QStringLiteral("c") } });
        QCOMPARE(gap.firstFreeRow(), 2);
        QCOMPARE(gap.rowCount(), 4);
    }

    void sortByTextBreaksTiesToTheRight_data()
    {
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QStringList>("whatOrder");

        // Rows: (Zoo, b), (apple, a), (Zoo, a), (, c), (1000, d), (101, e)
        QTest::newRow("category ascending: bytes, shorter first, empty first")
            << 0 << false << QStringList { "c", "d", "e", "a", "b", "a" };
        QTest::newRow("category descending") << 0 << true << QStringList { "a", "b", "a", "e", "d", "c" };
    }
    void sortByTextBreaksTiesToTheRight()
    {
        QFETCH(int, sortColumn);
        QFETCH(bool, descending);
        QFETCH(QStringList, whatOrder);
        CellTable todo = tableOf({ "Category", "What", "Done?" },
            { { "Zoo", "b", "No" }, { "apple", "a", "No" }, { "Zoo", "a", "No" }, { "", "c", "No" },
                { "1000", "d", "No" }, { "101", "e", "No" } });
        todo.setSortColumn(sortColumn);
        todo.setSortDirection(descending ? CellTable::SortDirection::Descending : CellTable::SortDirection::Ascending);
        todo.sortRows();
        QCOMPARE(column(todo, 1), whatOrder);
        QCOMPARE(todo.cell(0, 0), QStringLiteral("Category")); // the header never moves
        if (!descending)
            QCOMPARE(column(todo, 0), (QStringList { "", "1000", "101", "Zoo", "Zoo", "apple" }));
    }

    void theLastColumnNeverBreaksTies()
    {
        // Sorted by "What" (second-to-last of three), rows equal in it keep no order by
        // "Done?"; sorted by "Done?" itself the column still sorts.
        CellTable todo = tableOf({ "Category", "What", "Done?" }, { { "x", "b", "Yes" }, { "y", "a", "No" } });
        todo.setSortColumn(2);
        todo.sortRows();
        QCOMPARE(column(todo, 2), (QStringList { "No", "Yes" }));
        QCOMPARE(todo.compareRows(1, 2) < 0, true);

        CellTable same = tableOf({ "Category", "What", "Done?" }, { { "x", "a", "Yes" }, { "x", "a", "No" } });
        QCOMPARE(same.compareRows(1, 2), 0);
    }

    void sortingOneRowOrNoneChangesNothing()
    {
        CellTable one = tableOf({ "A", "B" }, { { "z", "1" } });
        CellTable copy = one;
        one.setSortDirection(CellTable::SortDirection::Descending);
        one.sortRows();
        QVERIFY(one == copy);
        CellTable none(2, 1);
        none.sortRows();
        QCOMPARE(none.rowCount(), 1);
    }

    void customColumnUsesTheHook()
    {
        CellTable table = tableOf({ "N", "X" }, { { "10", "a" }, { "9", "b" }, { "100", "c" } });
        table.setColumnStyle(0, CellTable::ColumnStyle::Custom);
        table.setCustomCompare(
            [](int, QByteArrayView a, QByteArrayView b) { return a.toByteArray().toInt() - b.toByteArray().toInt(); });
        table.sortRows();
        QCOMPARE(column(table, 0), (QStringList { "9", "10", "100" }));
    }

    // A compare hook that contradicts itself (a clock read at every call, a bug in an
    // owner) may give any order, but the sort stays inside the table and keeps every row.
    void contradictoryHookKeepsEveryRow_data()
    {
        QTest::addColumn<int>("answers");
        QTest::addColumn<bool>("descending");
        QTest::newRow("random") << 0 << false;
        QTest::newRow("random, descending") << 0 << true;
        QTest::newRow("always less") << 1 << false;
        QTest::newRow("always greater") << 2 << true;
        QTest::newRow("less on every other call") << 3 << false;
    }
    void contradictoryHookKeepsEveryRow()
    {
        QFETCH(int, answers);
        QFETCH(bool, descending);
        CellTable table(2, 1001);
        QStringList before;
        for (int r = 1; r < table.rowCount(); ++r) {
            table.setCell(0, r, QString::number(r % 97));
            table.setCell(1, r, QString::number(r));
            before << table.cell(1, r);
        }
        table.setColumnStyle(0, CellTable::ColumnStyle::Custom);
        std::mt19937 random(5);
        int calls = 0;
        table.setCustomCompare([&](int, QByteArrayView, QByteArrayView) {
            ++calls;
            switch (answers) {
            case 0:
                return int(random() % 3) - 1;
            case 1:
                return -1;
            case 2:
                return 1;
            default:
                return calls % 2 ? -1 : 1;
            }
        });
        table.setSortDirection(descending ? CellTable::SortDirection::Descending : CellTable::SortDirection::Ascending);
        const int tracked = table.sortRows(500);
        QVERIFY(calls > 0);
        QCOMPARE(table.rowCount(), 1001);
        QCOMPARE(table.cell(1, tracked), QStringLiteral("500"));
        QStringList after = column(table, 1);
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        QCOMPARE(after, before);
    }

    void headerClickRule()
    {
        CellTable table = tableOf({ "A", "B", "C" }, { { "b", "2", "" }, { "a", "3", "" }, { "c", "1", "" } });
        int selected = 1; // the row holding "b"
        QVERIFY(table.headerClick(0, &selected)); // the current sort column: flips to descending
        QCOMPARE(table.sortDirection(), CellTable::SortDirection::Descending);
        QCOMPARE(column(table, 0), (QStringList { "c", "b", "a" }));
        QCOMPARE(table.cell(0, selected), QStringLiteral("b"));

        QVERIFY(table.headerClick(1, &selected)); // another column: ascending by it
        QCOMPARE(table.sortColumn(), 1);
        QCOMPARE(table.sortDirection(), CellTable::SortDirection::Ascending);
        QCOMPARE(column(table, 1), (QStringList { "1", "2", "3" }));
        QCOMPARE(table.cell(0, selected), QStringLiteral("b"));

        table.setCanSort([](int c) { return c != 2; });
        QVERIFY(!table.headerClick(2));
        QCOMPARE(table.sortColumn(), 1);

        CellTable single = tableOf({ "A" }, { { "x" } });
        QVERIFY(!single.headerClick(0)); // needs two data rows
        QCOMPARE(single.sortDirection(), CellTable::SortDirection::Ascending);
    }
    // A row is the same row wherever it goes: its identity moves with it through a sort, a
    // copy of the table and copyRowFrom, and stays while its cells change; an inserted,
    // appended or blanked row is a new one.
    void aRowKeepsItsIdentity()
    {
        CellTable table = tableOf({ "A", "B" }, { { "b", "2" }, { "a", "1" }, { "c", "3" } });
        const CellTable::RowId b = table.rowId(1);
        const CellTable::RowId a = table.rowId(2);
        QVERIFY(a != 0 && a != b && table.rowId(3) != a && table.rowId(3) != b);
        table.sortRows();
        QCOMPARE(table.rowId(1), a);
        QCOMPARE(table.rowId(2), b);
        table.setCell(1, 1, QStringLiteral("one"));
        QCOMPARE(table.rowId(1), a);
        const CellTable copy = table;
        QCOMPARE(copy.rowId(2), b);
        CellTable other(2, 2);
        other.copyRowFrom(table, 2, 1);
        QCOMPARE(other.rowId(1), b);
        QCOMPARE(table.findRowId(b), 2);
        QCOMPARE(table.findRowId(0), -1);

        table.insertBlankRows(1, 2);
        QVERIFY(table.rowId(1) != table.rowId(2));
        for (int r = 1; r <= 2; ++r)
            QVERIFY(table.rowId(r) != a && table.rowId(r) != b);
        QCOMPARE(table.findRowId(a), 3);
        table.blankRows(3, 1);
        QCOMPARE(table.findRowId(a), -1);
    }

    // What a change did, by identity: the rows added, changed and removed, whatever moved.
    void changedRowsAreToldByIdentity_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("changed");
        QTest::addColumn<QStringList>("removed");
        QTest::newRow("nothing") << "none" << QStringList() << QStringList() << QStringList();
        QTest::newRow("sorted only") << "sort" << QStringList() << QStringList() << QStringList();
        QTest::newRow("a cell changed") << "edit c" << QStringList() << QStringList { "c" } << QStringList();
        QTest::newRow("a row appended") << "append" << QStringList { "x" } << QStringList() << QStringList();
        QTest::newRow("a row inserted in the middle")
            << "insert" << QStringList { "x" } << QStringList() << QStringList();
        QTest::newRow("a row deleted") << "delete b" << QStringList() << QStringList() << QStringList { "b" };
        QTest::newRow("a row blanked") << "blank d" << QStringList() << QStringList() << QStringList { "d" };
        QTest::newRow("moved, changed and added at once")
            << "mixed" << QStringList { "x" } << QStringList { "a" } << QStringList { "e" };
    }
    void changedRowsAreToldByIdentity()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, added);
        QFETCH(QStringList, changed);
        QFETCH(QStringList, removed);
        const CellTable before
            = tableOf({ "Key", "Text" }, { { "a", "1" }, { "b", "2" }, { "c", "3" }, { "d", "4" }, { "e", "5" } });
        CellTable after = before;
        const auto rowOf = [](const CellTable &table, const QString &key) {
            for (int r = 1; r < table.rowCount(); ++r)
                if (table.cell(0, r) == key)
                    return r;
            return -1;
        };
        const auto insertAt = [&after](int row) {
            after.insertBlankRows(row, 1);
            after.setCell(0, row, QStringLiteral("x"));
        };
        if (change == QLatin1String("sort")) {
            after.setSortDirection(CellTable::SortDirection::Descending);
            after.sortRows();
        } else if (change == QLatin1String("edit c")) {
            after.setCell(1, rowOf(after, QStringLiteral("c")), QStringLiteral("three"));
        } else if (change == QLatin1String("append")) {
            insertAt(after.rowCount());
        } else if (change == QLatin1String("insert")) {
            insertAt(3);
        } else if (change == QLatin1String("delete b")) {
            after.deleteRows(rowOf(after, QStringLiteral("b")), 1);
        } else if (change == QLatin1String("blank d")) {
            after.blankRows(rowOf(after, QStringLiteral("d")), 1);
        } else if (change == QLatin1String("mixed")) {
            after.applyDataRowOrder({ 4, 3, 2, 1 }); // e is dropped
            after.setCell(1, rowOf(after, QStringLiteral("a")), QStringLiteral("one"));
            insertAt(2);
        }
        const CellTable::RowChanges changes = CellTable::changedRows(before, after);
        const auto keys = [&](const std::vector<CellTable::RowId> &ids) {
            QStringList texts;
            for (const CellTable::RowId id : ids) {
                const int inAfter = after.findRowId(id);
                texts << (inAfter > 0 ? after.cell(0, inAfter) : before.cell(0, before.findRowId(id)));
            }
            texts.sort();
            return texts;
        };
        QCOMPARE(keys(changes.added), added);
        QCOMPARE(keys(changes.changed), changed);
        QCOMPARE(keys(changes.removed), removed);
        QCOMPARE(changes.isEmpty(), added.isEmpty() && changed.isEmpty() && removed.isEmpty());

        // The patch of the change turns each state into the other, rows and identities.
        const auto sameIds = [](const CellTable &x, const CellTable &y) {
            for (int r = 0; r < x.rowCount(); ++r)
                if (x.rowId(r) != y.rowId(r))
                    return false;
            return x.rowCount() == y.rowCount();
        };
        CellTable forward = before;
        QVERIFY(forward.apply(CellTable::RowPatch(before, after)));
        QCOMPARE(forward, after);
        QVERIFY(sameIds(forward, after));
        CellTable back = after;
        QVERIFY(back.apply(CellTable::RowPatch(after, before)));
        QCOMPARE(back, before);
        QVERIFY(sameIds(back, before));
    }

    // A patch holds the rows between those both states begin and end with, and is refused by
    // a table it was not made from.
    void aPatchHoldsOnlyTheRowsThatDiffer()
    {
        CellTable before(2, 10001);
        for (int r = 1; r < before.rowCount(); ++r)
            before.setCell(0, r, QString::number(r));
        before.setColWidth(1, 90);
        CellTable after = before;
        after.deleteRows(5000, 1);
        after.setColWidth(1, 120);
        const CellTable::RowPatch forward(before, after);
        const CellTable::RowPatch back(after, before);
        QCOMPARE(forward.rowCount(), 1); // the header
        QCOMPARE(back.rowCount(), 2); // the header and the row deleted
        CellTable undone = after;
        QVERIFY(undone.apply(back));
        QCOMPARE(undone, before);
        QCOMPARE(undone.colWidth(1), 90);

        CellTable other = after; // another row count than the patch was made from
        QVERIFY(!other.apply(forward));
        QCOMPARE(other, after);
        other = before;
        other.deleteRows(4000, 1); // the same count, other rows where the patch goes
        const CellTable kept = other;
        QVERIFY(!other.apply(back));
        QCOMPARE(other, kept);
    }
};

QTEST_GUILESS_MAIN(TestCellTable)
#include "tst_celltable.moc"
