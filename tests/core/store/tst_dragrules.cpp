#include "store/celltable.h"
#include "store/dragrules.h"
#include "store/taskstore.h"
#include "store/todolist.h"

#include <QTest>

using editflow::TaskList;

namespace {

// Rows written as "cell|cell|..." under the list's own header.
CellTable listOf(TaskList kind, const QStringList &rows)
{
    CellTable list = kind == TaskList::Day ? store::newDayList() : newTodoList();
    list.setRowCount(std::max(int(rows.size()), 1) + 1);
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList cells = rows[r].split(QLatin1Char('|'));
        for (int c = 0; c < cells.size(); ++c)
            list.setCell(c, r + 1, cells[c]);
    }
    return list;
}

QStringList rowsOf(const CellTable &list)
{
    QStringList rows;
    for (int r = 1; r < list.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < list.colCount(); ++c)
            cells << list.cell(c, r);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

const QString kNow = QStringLiteral("2:15 PM");

} // namespace

class TestDragRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void movesBetweenLists_data()
    {
        QTest::addColumn<bool>("fromDay");
        QTest::addColumn<QStringList>("source");
        QTest::addColumn<int>("sourceRow");
        QTest::addColumn<QStringList>("target");
        QTest::addColumn<int>("dropRow");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("sourceAfter");
        QTest::addColumn<QStringList>("targetAfter");

        const QStringList day { "8:00 AM|Work|Report|No|Yes", "9:00 AM|Home|Call\r\nmum\r\n|Yes|No" };
        const QStringList todo { "Home|Paint|No", "Work|File taxes|Yes" };
        QTest::newRow("day to to-do: time and alarm dropped")
            << true << day << 1 << todo << 2 << 2 << QStringList { "9:00 AM|Home|Call\r\nmum\r\n|Yes|No" }
            << QStringList { "Home|Paint|No", "Work|Report|No", "Work|File taxes|Yes" };
        QTest::newRow("to-do to day: the time now, alarm off")
            << false << todo << 2 << day << 1 << 1 << QStringList { "Home|Paint|No" }
            << QStringList { "2:15 PM|Work|File taxes|Yes|No", "8:00 AM|Work|Report|No|Yes",
                   "9:00 AM|Home|Call\r\nmum\r\n|Yes|No" };
        QTest::newRow("the only task leaves a blank row")
            << true << QStringList { "8:00 AM|Work|Report|No|Yes" } << 1 << todo << 1 << 1 << QStringList { "||||" }
            << QStringList { "Work|Report|No", "Home|Paint|No", "Work|File taxes|Yes" };
        QTest::newRow("an empty target's blank row takes the task")
            << false << todo << 1 << QStringList {} << 1 << 1 << QStringList { "Work|File taxes|Yes" }
            << QStringList { "2:15 PM|Home|Paint|No|No" };
        QTest::newRow("a blank source row moves nothing")
            << true << QStringList {} << 1 << todo << 1 << -1 << QStringList { "||||" } << todo;
        QTest::newRow("the header is no drop row") << true << day << 1 << todo << 0 << -1 << day << todo;
        QTest::newRow("below the rows is no drop row") << true << day << 1 << todo << 3 << -1 << day << todo;
    }

    void movesBetweenLists()
    {
        QFETCH(bool, fromDay);
        QFETCH(QStringList, source);
        QFETCH(int, sourceRow);
        QFETCH(QStringList, target);
        QFETCH(int, dropRow);
        const TaskList from = fromDay ? TaskList::Day : TaskList::Todo;
        const TaskList to = fromDay ? TaskList::Todo : TaskList::Day;
        CellTable sourceList = listOf(from, source);
        CellTable targetList = listOf(to, target);
        QTEST(dragrules::moveBetweenLists(sourceList, from, sourceRow, targetList, dropRow, kNow), "answer");
        QTEST(rowsOf(sourceList), "sourceAfter");
        QTEST(rowsOf(targetList), "targetAfter");
        QCOMPARE(sourceList.cell(0, 0), listOf(from, {}).cell(0, 0)); // the header stays
    }

    void reordersWithinAList_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("order");
        QTest::newRow("down") << 1 << 3 << 3 << "BCAD";
        QTest::newRow("up") << 4 << 2 << 2 << "ADBC";
        QTest::newRow("onto itself") << 2 << 2 << 2 << "ABCD";
        QTest::newRow("onto the header") << 2 << 0 << -1 << "ABCD";
        QTest::newRow("below the rows") << 2 << 5 << -1 << "ABCD";
    }

    void reordersWithinAList()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        CellTable list = listOf(TaskList::Todo, { "x|A|No", "x|B|No", "x|C|No", "x|D|Yes" });
        QTEST(dragrules::reorderRow(list, from, to), "answer");
        QString order;
        for (int r = 1; r < list.rowCount(); ++r)
            order += list.cell(todo::What, r);
        QTEST(order, "order");
        QCOMPARE(list.rowCount(), 5);
    }

    void theTaskACalendarDropCarries()
    {
        const CellTable day = listOf(TaskList::Day, { "8:00 AM|Work|Report|No|Yes" });
        const dragrules::DraggedTask fromDay = dragrules::draggedTask(day, TaskList::Day, 1, kNow);
        QCOMPARE(QStringList({ fromDay.time, fromDay.category, fromDay.what, fromDay.done, fromDay.alarm }),
            QStringList({ "8:00 AM", "Work", "Report", "No", "Yes" }));
        const CellTable todo = listOf(TaskList::Todo, { "Home|Paint|Yes" });
        const dragrules::DraggedTask fromTodo = dragrules::draggedTask(todo, TaskList::Todo, 1, kNow);
        QCOMPARE(QStringList({ fromTodo.time, fromTodo.category, fromTodo.what, fromTodo.done, fromTodo.alarm }),
            QStringList({ "2:15 PM", "Home", "Paint", "Yes", "No" }));
    }

    void targetDayOfACalendarCell_data()
    {
        QTest::addColumn<int>("cell");
        QTest::addColumn<QDate>("day");
        // March 2026 from Sunday: the first (a Sunday) stands in cell 1.
        QTest::newRow("the first") << 1 << QDate(2026, 3, 1);
        QTest::newRow("last of the month") << 31 << QDate(2026, 3, 31);
        QTest::newRow("the month after") << 32 << QDate(2026, 4, 1);
        QTest::newRow("the last cell") << 42 << QDate(2026, 4, 11);
        QTest::newRow("outside the cells") << 0 << QDate();
        QTest::newRow("past the cells") << 43 << QDate();
    }

    void targetDayOfACalendarCell()
    {
        QFETCH(int, cell);
        QTEST(dragrules::dropTargetDay(QDate(2026, 3, 1), 1, cell), "day");
        // The same month from Monday: the first stands in cell 7, so cell 1 is in February.
        if (cell == 1)
            QCOMPARE(dragrules::dropTargetDay(QDate(2026, 3, 1), 7, cell), QDate(2026, 2, 23));
    }

    void questions()
    {
        QCOMPARE(dragrules::listDropQuestion(TaskList::Day),
            QStringLiteral("Really move task between grids?  You will lose the Time and Alarm fields."));
        QCOMPARE(dragrules::listDropQuestion(TaskList::Todo), QStringLiteral("Really move task between grids?"));
    }
};

QTEST_GUILESS_MAIN(TestDragRules)
#include "tst_dragrules.moc"
