#include "appfixture.h"
#include "editing/editingcommands.h"
#include "schedule/alarmcommands.h"
#include "shell/dragdrop.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "shell/undohistory.h"
#include "store/gridfile.h"
#include "store/taskstore.h"
#include "testfiles.h"
#include "widgets/monthcalendar.h"

#include <QAction>
#include <QTest>

namespace {

using List = MainView::List;

const QDate kDay(2026, 1, 31); // the fixture's today

} // namespace

// Every change a user makes is one step: Undo puts the files and the view back as they
// were, byte for byte, and Redo makes the change again.
class TestUndo : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;
    std::unique_ptr<TfrmMain> m_window;

    TaskDocument &document() const { return *m_app->document; }

    QList<QByteArray> files() const
    {
        QList<QByteArray> bytes;
        for (const char *name : { "grid.grd", "gridNon.grd", "gridComp.grd" })
            bytes << readAll(m_app->data(QLatin1String(name)));
        return bytes;
    }

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

    // Runs one of the table's commands on the open window.
    void run(const QString &command)
    {
        if (command == QLatin1String("delete a task")) {
            m_window->selectRow(List::Day, 2);
            m_window->editingCommands()->btDelClick(editflow::TaskList::Day);
        } else if (command == QLatin1String("delete a to-do")) {
            m_window->selectRow(List::Todo, 1);
            m_window->editingCommands()->btDelClick(editflow::TaskList::Todo);
        } else if (command == QLatin1String("drop a task on another day")) {
            m_window->selectRow(List::Day, 1);
            m_window->dragDrop()->cal1DragDrop(List::Day, 2, m_window->calendar(2)->cellOfDate(QDate(2026, 2, 3)));
        } else if (command == QLatin1String("drop a to-do on the day")) {
            m_window->selectRow(List::Todo, 2);
            m_window->dragDrop()->gridDayDragDrop(List::Todo, List::Day, 1);
        } else if (command == QLatin1String("reorder the to-do list")) {
            m_window->selectRow(List::Todo, 2);
            m_window->dragDrop()->gridDayDragDrop(List::Todo, List::Todo, 1);
        } else if (command == QLatin1String("switch an alarm off")) {
            m_window->selectRow(List::Day, 1);
            m_window->alarms()->ToolButton15Click();
        } else {
            QFAIL("no such command");
        }
    }

private Q_SLOTS:
    void init() { m_app = std::make_unique<AppFixture>(QDateTime(kDay, QTime(10, 0))); }
    void cleanup()
    {
        m_window.reset();
        m_app.reset();
    }

    void undoAndRedoEveryCommand_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("menuText");
        QTest::newRow("delete a task") << "delete a task"
                                       << "Undo Delete \"Dentist\"";
        QTest::newRow("delete a to-do") << "delete a to-do"
                                        << "Undo Delete \"Paint\"";
        QTest::newRow("drop a task on another day") << "drop a task on another day"
                                                    << "Undo Move \"Report\"";
        QTest::newRow("drop a to-do on the day") << "drop a to-do on the day"
                                                 << "Undo Move";
        QTest::newRow("reorder the to-do list") << "reorder the to-do list"
                                                << "Undo Move";
        QTest::newRow("switch an alarm off") << "switch an alarm off"
                                             << "Undo Alarm Off";
    }
    void undoAndRedoEveryCommand()
    {
        QFETCH(QString, command);
        QFETCH(QString, menuText);
        open();
        QAction *undo = m_window->actions().Undo1;
        QAction *redo = m_window->actions().Redo1;
        QVERIFY(!undo->isEnabled());
        const QList<QByteArray> before = files();
        const QStringList dayBefore = joinedRows(document().dayList());
        const QDate shownBefore = m_window->selectedDay();
        const QStringList todoBefore = joinedRows(document().todoList());

        run(command);
        const QList<QByteArray> after = files();
        QVERIFY(after != before);
        QCOMPARE(m_window->undoHistory()->stack().count(), 1);
        QCOMPARE(undo->text(), menuText);
        const QStringList dayAfter = joinedRows(document().dayList());
        const QDate shownAfter = m_window->selectedDay();
        const QStringList todoAfter = joinedRows(document().todoList());

        undo->trigger();
        QCOMPARE(files(), before);
        QCOMPARE(m_window->selectedDay(), shownBefore);
        QCOMPARE(joinedRows(document().dayList()), dayBefore);
        QCOMPARE(joinedRows(document().todoList()), todoBefore);
        QVERIFY(!undo->isEnabled());
        QCOMPARE(redo->text(), QString(menuText).replace(QStringLiteral("Undo"), QStringLiteral("Redo")));

        redo->trigger();
        QCOMPARE(files(), after);
        QCOMPARE(joinedRows(document().todoList()), todoAfter);
        QCOMPARE(m_window->selectedDay(), shownAfter);
        QCOMPARE(joinedRows(document().dayList()), dayAfter);
        QVERIFY(undo->isEnabled());
        QVERIFY(m_app->dialogs.errors.isEmpty());
    }

    // Two commands are two steps, undone last first; a new change drops what was undone.
    void stepsAreUndoneLastFirst()
    {
        open();
        const QList<QByteArray> start = files();
        run(QStringLiteral("delete a task"));
        const QList<QByteArray> afterDelete = files();
        run(QStringLiteral("switch an alarm off"));
        QUndoStack &stack = m_window->undoHistory()->stack();
        QCOMPARE(stack.count(), 2);
        stack.undo();
        QCOMPARE(files(), afterDelete);
        stack.undo();
        QCOMPARE(files(), start);
        run(QStringLiteral("delete a to-do"));
        QCOMPARE(stack.count(), 1);
        QVERIFY(!stack.canRedo());
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
