#include "appfixture.h"
#include "editing/edit.h"
#include "editing/editingcommands.h"
#include "schedule/alarmcommands.h"
#include "shell/dragdrop.h"
#include "shell/mainwindow.h"
#include "shell/undohistory.h"
#include "store/daylist.h"
#include "store/gridfile.h"
#include "store/taskstore.h"
#include "testfiles.h"
#include "widgethelpers.h"
#include "widgets/gridview.h"
#include "widgets/monthcalendar.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

using List = MainView::List;

const QDate kDay(2026, 1, 31); // the fixture's today

} // namespace

// The two lists are views over the document's tables: every change a command makes, and
// every Undo and Redo, reaches them as rows inserted, removed, moved and changed, checked
// by Qt's model tester, and the rows shown are the rows held.
class TestListModels : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;
    std::unique_ptr<TfrmMain> m_window;

    TaskDocument &document() const { return *m_app->document; }

    void open()
    {
        const QStringList rows { store::makeKey(datevalue::dayNumber(kDay), 101) + "|8:00 AM|Work|Report|No|Yes",
            store::makeKey(datevalue::dayNumber(kDay), 102) + "|9:00 AM|Home|Dentist|No|No",
            store::makeKey(datevalue::dayNumber(QDate(2026, 2, 3)), 101) + "|7:00 AM||Run|No|No" };
        QVERIFY(writeGridFile(withRows(store::newStore(), rows), m_app->data(QStringLiteral("grid.grd"))).ok);
        QVERIFY(writeGridFile(withRows(newTodoList(), { "Home|Paint|No", "Work|File taxes|Yes" }),
            m_app->data(QStringLiteral("gridNon.grd")))
                    .ok);
        m_app->loadDocument();
        Options options = document().options();
        options.confirm = false;
        options.dragConfirm = false;
        document().setOptions(options);
        m_window = std::make_unique<TfrmMain>(document(), m_app->services());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    // What the view shows is what its table holds, row for row.
    static void showsItsTable(GridView *view)
    {
        const CellTable &table = *view->table();
        QAbstractItemModel *model = view->model();
        QCOMPARE(model->rowCount(), table.rowCount() - 1);
        for (int r = 1; r < table.rowCount(); ++r)
            for (int c = 0; c < table.colCount(); ++c)
                QCOMPARE(model->index(r - 1, c).data().toString(), table.cell(c, r));
    }

    static int rowOf(const CellTable &table, int column, const QString &text)
    {
        for (int r = 1; r < table.rowCount(); ++r)
            if (table.cell(column, r) == text)
                return r;
        return -1;
    }

private Q_SLOTS:
    void init() { m_app = std::make_unique<AppFixture>(QDateTime(kDay, QTime(10, 0))); }
    void cleanup()
    {
        m_window.reset();
        m_app.reset();
    }

    void everyChangeReachesTheViewsRowByRow()
    {
        open();
        GridView *day = m_window->dayView();
        GridView *todo = m_window->todoView();
        QAbstractItemModelTester dayTester(day->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester todoTester(todo->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy dayResets(day->model(), &QAbstractItemModel::modelReset);
        QSignalSpy todoResets(todo->model(), &QAbstractItemModel::modelReset);
        EditingCommands *editing = m_window->editingCommands();
        const auto check = [&] {
            showsItsTable(day);
            showsItsTable(todo);
        };

        // Add, through the editor.
        whenModal<TfrmEdit>([](TfrmEdit *editor) {
            QPlainTextEdit *memo = child<QPlainTextEdit>(editor, "memMain");
            memo->setFocus();
            QTest::keyClicks(memo, QStringLiteral("Lunch"));
            click(editor, "btOK");
        });
        editing->btAddClick(editflow::TaskList::Day);
        QVERIFY(rowOf(document().dayList(), daylist::What, QStringLiteral("Lunch")) > 0);
        check();

        // Edit, through the editor.
        m_window->selectRow(List::Day, rowOf(document().dayList(), daylist::What, QStringLiteral("Report")));
        whenModal<TfrmEdit>([](TfrmEdit *editor) {
            QPlainTextEdit *memo = child<QPlainTextEdit>(editor, "memMain");
            memo->setFocus();
            QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClicks(memo, QStringLiteral(" v2"));
            click(editor, "btOK");
        });
        editing->btEditClick(editflow::TaskList::Day);
        QVERIFY(rowOf(document().dayList(), daylist::What, QStringLiteral("Report v2")) > 0);
        check();

        // The alarm switch, a sort by a header click, a delete.
        m_window->selectRow(List::Day, rowOf(document().dayList(), daylist::What, QStringLiteral("Dentist")));
        m_window->alarms()->ToolButton15Click();
        check();
        day->horizontalHeader()->sectionClicked(daylist::Category);
        check();
        m_window->selectRow(List::Day, rowOf(document().dayList(), daylist::What, QStringLiteral("Dentist")));
        editing->btDelClick(editflow::TaskList::Day);
        QCOMPARE(rowOf(document().dayList(), daylist::What, QStringLiteral("Dentist")), -1);
        check();

        // Moves: to another day, from the to-do list to the day, within the to-do list.
        m_window->selectRow(List::Day, rowOf(document().dayList(), daylist::What, QStringLiteral("Lunch")));
        m_window->dragDrop()->cal1DragDrop(
            List::Day, m_window->currentRow(List::Day), m_window->calendar(2)->cellOfDate(QDate(2026, 2, 3)));
        check();
        m_window->selectRow(List::Todo, 2);
        m_window->dragDrop()->gridDayDragDrop(List::Todo, List::Day, 1);
        check();
        // The to-do list now holds one task: one more comes back from the day.
        m_window->selectRow(List::Day, 1);
        m_window->dragDrop()->gridDayDragDrop(List::Day, List::Todo, 1);
        check();
        m_window->selectRow(List::Todo, 2);
        m_window->dragDrop()->gridDayDragDrop(List::Todo, List::Todo, 1);
        check();

        // Every step undone, then redone.
        QUndoStack &stack = m_window->undoHistory()->stack();
        QVERIFY(stack.count() >= 8);
        while (stack.canUndo()) {
            stack.undo();
            check();
        }
        QCOMPARE(rowOf(document().dayList(), daylist::What, QStringLiteral("Dentist")), 2);
        while (stack.canRedo()) {
            stack.redo();
            check();
        }
        QCOMPARE(rowOf(document().dayList(), daylist::What, QStringLiteral("Dentist")), -1);
        QCOMPARE(dayResets.count(), 0);
        QCOMPARE(todoResets.count(), 0);
        QVERIFY(m_app->dialogs.errors.isEmpty());
    }

    // A task stays selected while other tasks come and go around it: the add of an earlier
    // task puts a row above it, and the selection moves down with it.
    void theSelectionStaysOnItsTask()
    {
        open();
        GridView *day = m_window->dayView();
        m_window->selectRow(List::Day, rowOf(document().dayList(), daylist::What, QStringLiteral("Dentist")));
        m_window->focusList(List::Day);
        m_window->alarms()->ToolButton15Click(); // a change of the task itself
        QCOMPARE(document().dayList().cell(daylist::What, day->currentTableRow()), QStringLiteral("Dentist"));
        // The list sorted by category descending: Work first, Dentist (Home) second.
        day->horizontalHeader()->sectionClicked(daylist::Category);
        day->horizontalHeader()->sectionClicked(daylist::Category);
        QCOMPARE(document().dayList().cell(daylist::What, day->currentTableRow()), QStringLiteral("Dentist"));
        QCOMPARE(day->currentTableRow(), 2);
        // Undo of the alarm switch: the day is read again, the task keeps the selection.
        m_window->undoHistory()->stack().undo();
        QCOMPARE(document().dayList().cell(daylist::What, day->currentTableRow()), QStringLiteral("Dentist"));
    }
};

QTEST_MAIN(TestListModels)
#include "tst_listmodels.moc"
