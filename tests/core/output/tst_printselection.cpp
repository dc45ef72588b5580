#include "output/printselection.h"
#include "store/taskstore.h"
#include "store/todolist.h"
#include "text/regional.h"

#include <QTest>

namespace {

const qint64 kDay = 46053; // Saturday 31 January 2026

// The store: on the day before, the day and the day after, one done and one open task each,
// in the categories "1 - High" and "2 - Medium". Each task's text names it.
CellTable sampleStore()
{
    CellTable store = store::newStore();
    store.setRowCount(1);
    const struct
    {
        qint64 day;
        const char *category;
        const char *what;
        const char *done;
    } tasks[] = { { kDay - 1, "1 - High", "before-done", "Yes" }, { kDay - 1, "2 - Medium", "before-open", "No" },
        { kDay, "2 - Medium", "day-done", "Yes" }, { kDay, "1 - High", "day-open", "No" },
        { kDay + 1, "1 - High", "after-done", "Yes" }, { kDay + 1, "2 - Medium", "after-open", "" } };
    int sequence = 101;
    for (const auto &t : tasks) {
        const int row = store.rowCount();
        store.setRowCount(row + 1);
        const QStringList cells { store::makeKey(t.day, sequence++), "9:00 AM", t.category, t.what, t.done, "No" };
        for (int c = 0; c < cells.size(); ++c)
            store.setCell(c, row, cells[c]);
    }
    return store;
}

CellTable sampleTodo()
{
    CellTable todo = newTodoList();
    todo.setRowCount(4);
    const QStringList rows[]
        = { { "1 - High", "todo-high", "No" }, { "", "", "" }, { "2 - Medium", "todo-medium", "Yes" } };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            todo.setCell(c, r + 1, rows[r][c]);
    return todo;
}

QStringList whats(const CellTable &table, int column)
{
    QStringList out;
    for (int r = 1; r < table.rowCount(); ++r)
        out << table.cell(column, r);
    return out;
}

struct Choice
{
    const char *range; // "all", or "from,through" as day offsets
    const char *kinds; // letters D (done), N (not done), T (to-do)
    const char *category;
};

PrintSelection selectionOf(const Choice &choice)
{
    PrintSelection s;
    const QString range = QString::fromLatin1(choice.range);
    s.allDates = range == QLatin1String("all");
    if (!s.allDates) {
        s.firstDay = kDay + range.section(QLatin1Char(','), 0, 0).toInt();
        s.lastDay = kDay + range.section(QLatin1Char(','), 1, 1).toInt();
    }
    const QString kinds = QString::fromLatin1(choice.kinds);
    s.done = kinds.contains(QLatin1Char('D'));
    s.notDone = kinds.contains(QLatin1Char('N'));
    s.todo = kinds.contains(QLatin1Char('T'));
    s.selectedCategories = choice.category != nullptr;
    s.category = QString::fromLatin1(choice.category);
    return s;
}

RegionalSettings regional()
{
    RegionalSettings settings = RegionalSettings::englishUS();
    fix2000(settings);
    return settings;
}

} // namespace

Q_DECLARE_METATYPE(Choice)

class TestPrintSelection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What a print of the selection holds (column "What" of the print table), and what
    // clearing the same selection leaves in the store and the to-do list.
    void selection_data()
    {
        QTest::addColumn<Choice>("choice");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<QStringList>("storeLeft");
        QTest::addColumn<QStringList>("todoLeft");
        const QStringList allDated { "before-done", "before-open", "day-done", "day-open", "after-done", "after-open" };
        const QStringList todos { "todo-high", "todo-medium" };
        QTest::newRow("everything") << Choice { "all", "DNT", nullptr } << (allDated + todos) << QStringList { "" }
                                    << QStringList { "", "" };
        QTest::newRow("one day, both ends inclusive")
            << Choice { "0,0", "DN", nullptr } << QStringList { "day-done", "day-open" }
            << QStringList { "before-done", "before-open", "after-done", "after-open" }
            << QStringList { "todo-high", "", "todo-medium" };
        QTest::newRow("a range of two days")
            << Choice { "-1,0", "DN", nullptr } << QStringList { "before-done", "before-open", "day-done", "day-open" }
            << QStringList { "after-done", "after-open" } << QStringList { "todo-high", "", "todo-medium" };
        // Only the exact text "Yes" is done: an empty done cell is open.
        QTest::newRow("done and to-do") << Choice { "all", "DT",
            nullptr } << QStringList { "before-done", "day-done", "after-done", "todo-high", "todo-medium" }
                                        << QStringList { "before-open", "day-open", "after-open" }
                                        << QStringList { "", "" };
        QTest::newRow("not done only") << Choice { "all", "N", nullptr }
                                       << QStringList { "before-open", "day-open", "after-open" }
                                       << QStringList { "before-done", "day-done", "after-done" }
                                       << QStringList { "todo-high", "", "todo-medium" };
        QTest::newRow("to-do only") << Choice { "all", "T", nullptr } << todos << allDated << QStringList { "", "" };
        QTest::newRow("a category, case and all")
            << Choice { "all", "DNT", "1 - High" }
            << QStringList { "before-done", "day-open", "after-done", "todo-high" }
            << QStringList { "before-open", "day-done", "after-open" } << QStringList { "", "", "todo-medium" };
        QTest::newRow("a category spelt otherwise") << Choice { "all", "DNT", "1 - high" } << QStringList {} << allDated
                                                    << QStringList { "todo-high", "", "todo-medium" };
        QTest::newRow("a category within a range")
            << Choice { "1,1", "DNT", "2 - Medium" } << QStringList { "after-open", "todo-medium" }
            << QStringList { "before-done", "before-open", "day-done", "day-open", "after-done" }
            << QStringList { "todo-high", "" };
    }
    void selection()
    {
        QFETCH(Choice, choice);
        QFETCH(QStringList, printed);
        QFETCH(QStringList, storeLeft);
        QFETCH(QStringList, todoLeft);
        const PrintSelection selection = selectionOf(choice);

        CellTable store = sampleStore();
        CellTable todo = sampleTodo();
        CellTable gridPrint = printselection::newPrintTable();
        printselection::fillForPrint(gridPrint, store, todo, selection, regional());
        QCOMPARE(whats(gridPrint, printselection::What), printed);
        QCOMPARE(gridPrint.cell(printselection::Date, 0), QStringLiteral("Date"));
        QCOMPARE(gridPrint.cell(printselection::Done, 0), QStringLiteral("Completed"));

        printselection::clearSelection(store, todo, selection);
        store::compactAndSort(store);
        QStringList left = whats(store, store::What);
        if (left.isEmpty())
            left << QString();
        QCOMPARE(left, storeLeft);
        QCOMPARE(whats(todo, todo::What), todoLeft);
    }

    void printRows()
    {
        PrintSelection selection;
        selection.allDates = false;
        selection.firstDay = selection.lastDay = kDay;
        CellTable gridPrint = printselection::newPrintTable();
        printselection::fillForPrint(gridPrint, sampleStore(), sampleTodo(), selection, regional());
        QCOMPARE(gridPrint.colCount(), 6);
        QCOMPARE(gridPrint.rowCount(), 5);
        const QStringList dated { "1/31/2026", "9:00 AM", "2 - Medium", "day-done", "Yes", "No" };
        const QStringList todo { "To-do", "", "1 - High", "todo-high", "No", "" };
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(gridPrint.cell(c, 1), dated[c]);
            QCOMPARE(gridPrint.cell(c, 3), todo[c]);
        }
        printselection::resetPrintTable(gridPrint);
        QCOMPARE(gridPrint.rowCount(), 2);
    }

    void anEmptyToDoListAddsNoRow()
    {
        CellTable gridPrint = printselection::newPrintTable();
        PrintSelection selection;
        selection.done = selection.notDone = false;
        printselection::fillForPrint(gridPrint, sampleStore(), newTodoList(), selection, regional());
        QCOMPARE(gridPrint.rowCount(), 1);
        QCOMPARE(gridPrint.cell(printselection::What, 0), QStringLiteral("What"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<int>("through"); // day offset of the second date
        QTest::addColumn<bool>("range");
        QTest::addColumn<QString>("message");
        const QString noKind = QStringLiteral("At least one of the DONE, NOT DONE or TO-DO options must be checked");
        const QString reversed = QStringLiteral("The second date must be AFTER the first date!");
        QTest::newRow("nothing to print") << "" << 0 << false << noKind;
        QTest::newRow("no kind comes before reversed dates") << "" << -1 << true << noKind;
        QTest::newRow("reversed dates") << "T" << -1 << true << reversed;
        QTest::newRow("reversed dates without a range") << "T" << -1 << false << "";
        QTest::newRow("equal dates") << "D" << 0 << true << "";
    }
    void refusals()
    {
        QFETCH(QString, kinds);
        QFETCH(int, through);
        QFETCH(bool, range);
        QFETCH(QString, message);
        PrintSelection s;
        s.done = kinds.contains(QLatin1Char('D'));
        s.notDone = kinds.contains(QLatin1Char('N'));
        s.todo = kinds.contains(QLatin1Char('T'));
        s.allDates = !range;
        s.firstDay = kDay;
        s.lastDay = kDay + through;
        QCOMPARE(printselection::refusalText(printselection::check(s)), message);
    }
};

QTEST_GUILESS_MAIN(TestPrintSelection)
#include "tst_printselection.moc"
