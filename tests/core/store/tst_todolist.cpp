#include "store/celltable.h"
#include "store/gridfile.h"
#include "store/taskstore.h"
#include "store/todolist.h"
#include "testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Rows = QList<QStringList>;

namespace {

// The data rows of a table, each as its cell texts.
Rows dataRows(const CellTable &table)
{
    Rows rows;
    for (int r = 1; r < table.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table.colCount(); ++c)
            cells << table.cell(c, r);
        rows << cells;
    }
    return rows;
}

void setDataRows(CellTable &table, const Rows &rows)
{
    table.setRowCount(int(rows.size()) + 1);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            table.setCell(c, r + 1, rows[r][c]);
}

CellTable todoOf(const Rows &rows)
{
    CellTable table = newTodoList();
    setDataRows(table, rows);
    return table;
}

CompletedEntry entry(const QString &what, const QString &date = QStringLiteral("3/15/2000"))
{
    return { date, QStringLiteral("10:30 AM"), QStringLiteral("Work"), QStringLiteral("Wed 3/15/2000"), what,
        QStringLiteral("done") };
}

QStringList whatColumn(const CellTable &log)
{
    QStringList texts;
    for (int r = 1; r < log.rowCount(); ++r)
        texts << log.cell(completed::What, r);
    return texts;
}

} // namespace

Q_DECLARE_METATYPE(Rows)

class TestTodoList : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void newListsHaveTheirHeadersAndOneBlankRow()
    {
        const CellTable todoList = newTodoList();
        QCOMPARE(todoList.colCount(), 3);
        QCOMPARE(todoList.rowCount(), 2);
        QCOMPARE(
            todoList.cell(todo::Category, 0) + '|' + todoList.cell(todo::What, 0) + '|' + todoList.cell(todo::Done, 0),
            QStringLiteral("Category|What|Done?"));
        QVERIFY(todoList.isRowBlank(1));
        QCOMPARE(todoList.sortColumn(), int(todo::Category));
        QCOMPARE(todoList.sortDirection(), CellTable::SortDirection::Ascending);

        const CellTable log = newCompletedLog();
        QCOMPARE(log.colCount(), 6);
        QCOMPARE(log.rowCount(), 2);
        QStringList headers;
        for (int c = 0; c < 6; ++c)
            headers << log.cell(c, 0);
        QCOMPARE(headers.join('|'), QStringLiteral("Comp Date|Time|Category|Orig Date|What|Comp Notes"));
        QVERIFY(log.isRowBlank(1));
    }

    void everyColumnSortsByHeaderClick_data()
    {
        QTest::addColumn<int>("column");
        QTest::newRow("to-do Category") << int(todo::Category);
        QTest::newRow("to-do What") << int(todo::What);
        QTest::newRow("to-do Done?") << int(todo::Done);
    }
    void everyColumnSortsByHeaderClick()
    {
        QFETCH(int, column);
        CellTable todoList = todoOf({ { "b", "2", "Yes" }, { "a", "3", "No" }, { "c", "1", "No" } });
        QVERIFY(todoList.headerClick(column));
        // The first click on the list's own sort column flips it; elsewhere it sorts ascending.
        QCOMPARE(todoList.sortColumn(), column);
        const bool descending = todoList.sortDirection() == CellTable::SortDirection::Descending;
        for (int r = 2; r < todoList.rowCount(); ++r) {
            const int order = CellTable::compareText(todoList.cellUtf8(column, r - 1), todoList.cellUtf8(column, r));
            QVERIFY(descending ? order >= 0 : order <= 0);
        }

        CellTable log = newCompletedLog();
        for (int i = 0; i < 3; ++i)
            addCompletedEntry(log, entry(QString::number(i)));
        for (int c = 0; c < completed::ColumnCount; ++c)
            QVERIFY2(log.headerClick(c), qPrintable(QString::number(c)));
    }

    void addTodoTask_data()
    {
        QTest::addColumn<Rows>("before");
        QTest::addColumn<Rows>("added");
        QTest::addColumn<Rows>("after");
        QTest::newRow("two without a category are two rows")
            << Rows { { "", "", "" } } << Rows { { "", "Paint", "No" }, { "", "Call Ann", "No" } }
            << Rows { { "", "Call Ann", "No" }, { "", "Paint", "No" } };
        QTest::newRow("first task fills the blank row")
            << Rows { { "", "", "" } } << Rows { { "Home", "Paint", "No" } } << Rows { { "Home", "Paint", "No" } };
        QTest::newRow("blank first row left by clearing is filled")
            << Rows { { "", "", "" }, { "Work", "Report", "No" } } << Rows { { "Home", "Paint", "No" } }
            << Rows { { "Home", "Paint", "No" }, { "Work", "Report", "No" } };
        QTest::newRow("sorted by category, then text")
            << Rows { { "apple", "x", "No" } } << Rows { { "Zoo", "b", "No" }, { "Zoo", "a", "Yes" } }
            << Rows { { "Zoo", "a", "Yes" }, { "Zoo", "b", "No" }, { "apple", "x", "No" } };
    }
    void addTodoTask()
    {
        QFETCH(Rows, before);
        QFETCH(Rows, added);
        QFETCH(Rows, after);
        CellTable todoList = todoOf(before);
        for (const QStringList &task : added) {
            const int row = ::addTodoTask(todoList, { task[0], task[1], task[2] });
            QCOMPARE(todoList.cell(todo::What, row), task[1]);
        }
        QCOMPARE(dataRows(todoList), after);
    }

    void aSortedListKeepsItsOrderThroughItsFile_data()
    {
        QTest::addColumn<int>("column");
        QTest::newRow("Done?") << int(todo::Done);
        QTest::newRow("What") << int(todo::What);
    }
    void aSortedListKeepsItsOrderThroughItsFile()
    {
        QFETCH(int, column);
        CellTable todoList = todoOf({ { "Home", "Paint", "No" }, { "Work", "Report", "Yes" }, { "", "Call Ann", "No" },
            { "Home", "Bake", "Yes" } });
        QVERIFY(todoList.headerClick(column));
        const Rows shown = dataRows(todoList);
        QVERIFY(writeGridFile(todoList, path("gridNon.grd")));

        // A new run starts from the list's own layout, sorted by "Category", and reads the file.
        CellTable restarted = newTodoList();
        QVERIFY(readGridFile(restarted, path("gridNon.grd")).ok());
        QCOMPARE(dataRows(restarted), shown);
    }

    void completingFillsTheEmptyLogThenGoesOnTop()
    {
        const QString file = path("gridComp.grd");
        QFile::remove(file);
        CellTable log = newCompletedLog();

        QVERIFY(::AddToCompleteGrid(log, entry(QStringLiteral("first")), file));
        QCOMPARE(whatColumn(log), QStringList { "first" });
        CellTable onDisk;
        QVERIFY(readGridFile(onDisk, file).ok());
        QCOMPARE(dataRows(onDisk), dataRows(log));

        QVERIFY(::AddToCompleteGrid(log, entry(QStringLiteral("second"), QStringLiteral("3/16/2000")), file));
        QCOMPARE(whatColumn(log), (QStringList { "second", "first" }));
        QCOMPARE(log.cell(completed::CompDate, 1), QStringLiteral("3/16/2000"));
        QCOMPARE(log.cell(completed::OrigDate, 2), QStringLiteral("Wed 3/15/2000"));
        QVERIFY(readGridFile(onDisk, file).ok());
        QCOMPARE(dataRows(onDisk), dataRows(log));
        QCOMPARE(onDisk.cell(completed::CompNotes, 0), QStringLiteral("Comp Notes"));
    }

    void aRowWithContentIsNeverTakenForTheEmptyLogsRow()
    {
        // A first row without a date (a hand-edited file, say) still holds a task's text.
        CellTable log = newCompletedLog();
        log.setCell(completed::What, 1, QStringLiteral("kept"));
        addCompletedEntry(log, entry(QStringLiteral("new")));
        QCOMPARE(whatColumn(log), (QStringList { "new", "kept" }));
    }

    void aLogReadWithoutDataRowsStillTakesEntries_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("dates");
        QTest::newRow("header only") << QByteArray("6,1\r\n0,0,Comp Date\r\n") << QStringList { "3/15/2000" };
        QTest::newRow("three columns") << QByteArray("3,2\r\n0,1,3/1/2000\r\n")
                                       << QStringList { "3/15/2000", "3/1/2000" };
        QTest::newRow("one cell") << QByteArray("1,1\r\n") << QStringList { "3/15/2000" };
    }
    void aLogReadWithoutDataRowsStillTakesEntries()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, dates);
        CellTable log = newCompletedLog();
        QVERIFY(readGridBytes(log, file, QStringLiteral("gridComp.grd")).ok());
        setCompletedHeaders(log);
        QCOMPARE(log.colCount(), 6);
        QCOMPARE(log.cell(completed::CompNotes, 0), QStringLiteral("Comp Notes"));
        addCompletedEntry(log, entry(QStringLiteral("new")));
        QCOMPARE(log.cell(completed::CompNotes, 1), QStringLiteral("done"));
        QStringList shown;
        for (int r = 1; r < log.rowCount(); ++r)
            shown << log.cell(completed::CompDate, r);
        QCOMPARE(shown, dates);
    }

    void deletingTheOnlyEntryLeavesABlankRowTheNextCompletionFills()
    {
        CellTable log = newCompletedLog();
        addCompletedEntry(log, entry(QStringLiteral("only")));
        QVERIFY(::deleteCompletedRow(log, 1));
        QCOMPARE(log.rowCount(), 2);
        QVERIFY(log.isRowBlank(1));
        QVERIFY(!isCompletedEntry(log, 1));
        QCOMPARE(log.cell(completed::What, 0), QStringLiteral("What"));

        addCompletedEntry(log, entry(QStringLiteral("next")));
        QCOMPARE(whatColumn(log), QStringList { "next" });
    }

    void deleteCompletedRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QStringList>("left");
        // Entries are added c, b, a: the newest, "a", is row 1.
        QTest::newRow("middle") << 2 << true << QStringList { "a", "c" };
        QTest::newRow("last") << 3 << true << QStringList { "a", "b" };
        QTest::newRow("header") << 0 << false << QStringList { "a", "b", "c" };
        QTest::newRow("no selection") << -1 << false << QStringList { "a", "b", "c" };
        QTest::newRow("beyond the rows") << 4 << false << QStringList { "a", "b", "c" };
    }
    void deleteCompletedRow()
    {
        QFETCH(int, row);
        QFETCH(bool, deleted);
        QFETCH(QStringList, left);
        CellTable log = newCompletedLog();
        for (const char *what : { "c", "b", "a" })
            addCompletedEntry(log, entry(QLatin1String(what)));
        QCOMPARE(::deleteCompletedRow(log, row), deleted);
        QCOMPARE(whatColumn(log), left);
    }

    void clearingFiftyEntriesLeavesTheHeaderAndOneBlankRow()
    {
        CellTable log = newCompletedLog();
        for (int i = 0; i < 50; ++i)
            addCompletedEntry(log, entry(QString::number(i)));
        QCOMPARE(log.rowCount(), 51);
        clearCompletedLog(log);
        QCOMPARE(log.rowCount(), 2);
        QVERIFY(log.isRowBlank(1));
        QCOMPARE(log.cell(completed::CompDate, 0), QStringLiteral("Comp Date"));
        QVERIFY(writeGridFile(log, path("cleared.grd")));
        QVERIFY(readAll(path("cleared.grd")).startsWith("6,2\r\n"));
    }

    void editedTextsGoOnlyIntoEntries()
    {
        CellTable log = newCompletedLog();
        QVERIFY(!setCompletedTexts(log, 1, QStringLiteral("typed"), QString()));
        QVERIFY(log.isRowBlank(1));

        addCompletedEntry(log, entry(QStringLiteral("old")));
        QVERIFY(setCompletedTexts(log, 1, QStringLiteral("new\r\ntext\r\n"), QStringLiteral("notes")));
        QCOMPARE(log.cell(completed::What, 1), QStringLiteral("new\r\ntext\r\n"));
        QCOMPARE(log.cell(completed::CompNotes, 1), QStringLiteral("notes"));
        QCOMPARE(log.cell(completed::CompDate, 1), QStringLiteral("3/15/2000"));
    }

    void aFailedWriteKeepsTheEntryAndSaysWhy()
    {
        CellTable log = newCompletedLog();
        const SaveResult saved
            = ::AddToCompleteGrid(log, entry(QStringLiteral("kept")), path("missing-folder/gridComp.grd"));
        QVERIFY(!saved.ok);
        QVERIFY(!saved.reason.isEmpty());
        QCOMPARE(whatColumn(log), QStringList { "kept" });
    }

    void completedColumnWidths_data()
    {
        QTest::addColumn<int>("listWidth");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("scrollBar");
        QTest::addColumn<int>("frame");
        QTest::addColumn<QList<int>>("widths");
        // 70 + 62 + 58 + 128 = 318 at 96 pixels per inch.
        QTest::newRow("all rows visible") << 700 << 96.0 << 0 << 2 << QList<int> { 70, 62, 58, 128, 187, 187 };
        QTest::newRow("with a scroll bar") << 700 << 96.0 << 16 << 2 << QList<int> { 70, 62, 58, 128, 179, 179 };
        QTest::newRow("odd remainder dropped") << 701 << 96.0 << 0 << 2 << QList<int> { 70, 62, 58, 128, 187, 187 };
        QTest::newRow("144 pixels per inch") << 1000 << 144.0 << 0 << 2 << QList<int> { 105, 93, 87, 192, 257, 257 };
        QTest::newRow("120 pixels per inch drops fractions")
            << 800 << 120.0 << 0 << 0 << QList<int> { 87, 77, 72, 160, 199, 199 };
        QTest::newRow("too narrow for the text columns")
            << 200 << 96.0 << 16 << 2 << QList<int> { 70, 62, 58, 128, 16, 16 };
    }
    void completedColumnWidths()
    {
        QFETCH(int, listWidth);
        QFETCH(double, dpi);
        QFETCH(int, scrollBar);
        QFETCH(int, frame);
        QFETCH(QList<int>, widths);
        QCOMPARE(::completedColumnWidths(listWidth, dpi, scrollBar, frame), widths);
    }

    void aToDoTaskDroppedOnTheDayListBecomesADatedTask()
    {
        const CellTable todoList = todoOf({ { "", "Call Ann", "Yes" }, { "Home", "Paint", "No" } });
        CellTable dayList = store::newDayList();
        QVERIFY(insertTodoIntoDayList(todoList, 2, dayList, 1, QStringLiteral("10:30 AM")));
        QCOMPARE(dataRows(dayList), (Rows { { "10:30 AM", "Home", "Paint", "No", "No" } }));

        // Dropped on the first row of a list with a task: the new task goes above it.
        QVERIFY(insertTodoIntoDayList(todoList, 1, dayList, 1, QStringLiteral("11:00 AM")));
        QCOMPARE(dataRows(dayList),
            (Rows { { "11:00 AM", "", "Call Ann", "Yes", "No" }, { "10:30 AM", "Home", "Paint", "No", "No" } }));
    }

    void aDatedTaskDroppedOnTheToDoListLosesTimeAndAlarm()
    {
        CellTable dayList = store::newDayList();
        setDataRows(dayList, { { "9:00 AM", "Work", "Report", "No", "Yes" }, { "1:00 PM", "", "Lunch", "Yes", "No" } });
        CellTable todoList = todoOf({ { "Home", "Paint", "No" } });
        QVERIFY(insertDayIntoTodoList(dayList, 1, todoList, 2));
        QCOMPARE(dataRows(todoList), (Rows { { "Home", "Paint", "No" }, { "Work", "Report", "No" } }));
        QVERIFY(insertDayIntoTodoList(dayList, 2, todoList, 1));
        QCOMPARE(dataRows(todoList),
            (Rows { { "", "Lunch", "Yes" }, { "Home", "Paint", "No" }, { "Work", "Report", "No" } }));
    }

    void aToDoTaskDroppedOnACalendarDayIsInsertedIntoTheStore()
    {
        const CellTable todoList = todoOf({ { "Home", "Paint", "Yes" } });
        CellTable taskStore = store::newStore();
        QVERIFY(insertTodoIntoStore(todoList, 1, taskStore, 36600, QStringLiteral("10:30 AM")));
        QCOMPARE(taskStore.rowCount(), 5);
        store::compactAndSort(taskStore); // as the batch ends
        QCOMPARE(taskStore.rowCount(), 2);
        QStringList row;
        for (int c = 0; c < store::ColumnCount; ++c)
            row << taskStore.cell(c, 1);
        QCOMPARE(row, (QStringList { "36600.100", "10:30 AM", "Home", "Paint", "Yes", "No" }));
    }

    void aRowNotInUseIsNotMoved_data()
    {
        QTest::addColumn<int>("sourceRow");
        QTest::newRow("blank row") << 1;
        QTest::newRow("header") << 0;
        QTest::newRow("no selection") << -1;
        QTest::newRow("beyond the rows") << 2;
    }
    void aRowNotInUseIsNotMoved()
    {
        QFETCH(int, sourceRow);
        const CellTable emptyTodo = newTodoList();
        const CellTable emptyDay = store::newDayList();
        CellTable dayList = store::newDayList();
        CellTable todoList = newTodoList();
        CellTable taskStore = store::newStore();
        QVERIFY(!insertTodoIntoDayList(emptyTodo, sourceRow, dayList, 1, QStringLiteral("10:30 AM")));
        QVERIFY(!insertDayIntoTodoList(emptyDay, sourceRow, todoList, 1));
        QVERIFY(!insertTodoIntoStore(emptyTodo, sourceRow, taskStore, 36600, QStringLiteral("10:30 AM")));
        QVERIFY(dayList == store::newDayList());
        QVERIFY(todoList == newTodoList());
        QCOMPARE(taskStore.rowCount(), 4);
    }

    void aDropBeyondTheLastRowAppends()
    {
        const CellTable todoList = todoOf({ { "Home", "Paint", "No" } });
        CellTable dayList = store::newDayList();
        setDataRows(dayList, { { "9:00 AM", "Work", "Report", "No", "Yes" } });
        QVERIFY(insertTodoIntoDayList(todoList, 1, dayList, 99, QStringLiteral("10:30 AM")));
        QCOMPARE(dayList.rowCount(), 3);
        QCOMPARE(dayList.cell(daylist::What, 2), QStringLiteral("Paint"));
    }
};

QTEST_GUILESS_MAIN(TestTodoList)
#include "tst_todolist.moc"
