#include "appfixture.h"
#include "editing/edit.h"
#include "editing/editingcommands.h"
#include "editing/resch.h"
#include "output/print.h"
#include "schedule/alarmcommands.h"
#include "schedule/edholiday.h"
#include "schedule/holiday.h"
#include "schedule/holidays.h"
#include "schedule/import.h"
#include "schedule/recurdialog.h"
#include "shell/dragdrop.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "shell/undohistory.h"
#include "store/archive.h"
#include "store/complete.h"
#include "store/gridfile.h"
#include "store/taskstore.h"
#include "testfiles.h"
#include "widgethelpers.h"
#include "widgets/gridview.h"
#include "widgets/monthcalendar.h"
#include "widgets/timefield.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

namespace {

using List = MainView::List;

const QDate kDay(2026, 1, 31); // the fixture's today
const QDate kLater(2026, 2, 3); // the day with the run

QString key(QDate day, int order)
{
    return store::makeKey(datevalue::dayNumber(day), order);
}

CompletedEntry completedEntry(const QString &what)
{
    return { QStringLiteral("1/30/2026"), QStringLiteral("10:30 AM"), QStringLiteral("Home"),
        QStringLiteral("Fri 1/30/2026"), what, QString() };
}

CellTable completedLog(const QStringList &whats)
{
    CellTable log = newCompletedLog();
    for (const QString &what : whats)
        addCompletedEntry(log, completedEntry(what));
    return log;
}

} // namespace

Q_DECLARE_METATYPE(MainView::List)

// Every change a user makes is one step: Undo puts the files and the view back as they
// were, byte for byte, and Redo makes the change again.
class TestUndo : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;
    std::unique_ptr<TfrmMain> m_window;

    TaskDocument &document() const { return *m_app->document; }

    static QStringList fileNames()
    {
        return { QStringLiteral("grid.grd"), QStringLiteral("gridNon.grd"), QStringLiteral("gridComp.grd"),
            QStringLiteral("holiday.grd") };
    }
    QList<QByteArray> files() const
    {
        QList<QByteArray> bytes;
        for (const QString &name : fileNames())
            bytes << readAll(m_app->data(name));
        return bytes;
    }
    // The names of the files whose bytes differ.
    static QString changed(const QList<QByteArray> &before, const QList<QByteArray> &after)
    {
        QStringList names;
        for (qsizetype i = 0; i < before.size(); ++i)
            if (before[i] != after[i])
                names << fileNames()[i];
        return names.join(QLatin1Char(' '));
    }

    // Where the user is: the shown day, the list worked in, its selected row and the note the
    // notes pane shows.
    QString view() const
    {
        const List list = m_window->focusedList();
        return m_window->selectedDay().toString(Qt::ISODate)
            + (list == List::Day         ? QStringLiteral(", day list row ")
                    : list == List::Todo ? QStringLiteral(", to-do list row ")
                                         : QStringLiteral(", no list row "))
            + QString::number(m_window->currentRow(list)) + QStringLiteral(", notes ")
            + m_window->notesPane()->toPlainText();
    }

    void write(const char *name, const CellTable &table)
    {
        QVERIFY(writeGridFile(table, m_app->data(QLatin1String(name))).ok);
    }

    // The data folder holds every file but those named.
    void open(const QStringList &missing = {})
    {
        write("grid.grd",
            withRows(store::newStore(),
                { key(kDay, 101) + "|8:00 AM|Work|Report|No|Yes", key(kDay, 102) + "|9:00 AM|Home|Dentist|No|No",
                    key(kLater, 101) + "|7:00 AM||Run|No|No" }));
        write("gridNon.grd", withRows(newTodoList(), { "Home|Paint|No", "Work|File taxes|Yes" }));
        write("gridComp.grd", completedLog({ "Old errand", "Older errand" }));
        CellTable rules(holidays::ColumnCount, 1);
        holidays::setHeaders(rules);
        write("holiday.grd", withRows(rules, { "Christmas|12|December|25" }));
        for (const QString &name : missing)
            QVERIFY(QFile::remove(m_app->data(name)));
        m_app->loadDocument();
        Options options = document().options();
        options.confirm = false;
        options.dragConfirm = false;
        document().setOptions(options);
        m_window = std::make_unique<TfrmMain>(document(), m_app->services());
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    // Runs one of the table's commands on the open window, on the row selected before.
    void run(const QString &command)
    {
        EditingCommands &editing = *m_window->editingCommands();
        const MainActions &actions = m_window->actions();
        if (command == QLatin1String("delete a task")) {
            editing.btDelClick(editflow::TaskList::Day);
        } else if (command == QLatin1String("delete a to-do")) {
            editing.btDelClick(editflow::TaskList::Todo);
        } else if (command == QLatin1String("drop a task on another day")) {
            m_window->dragDrop()->cal1DragDrop(List::Day, 2, m_window->calendar(2)->cellOfDate(kLater));
        } else if (command == QLatin1String("drop a to-do on the day")) {
            m_window->dragDrop()->gridDayDragDrop(List::Todo, List::Day, 1);
        } else if (command == QLatin1String("reorder the to-do list")) {
            m_window->dragDrop()->gridDayDragDrop(List::Todo, List::Todo, 1);
        } else if (command == QLatin1String("switch an alarm off")) {
            m_window->alarms()->ToolButton15Click();
        } else if (command.startsWith(QLatin1String("tick the box"))) {
            // A click on the box of the selected row: done or alarm of a day task, done of a to-do.
            const bool todo = command.endsWith(QLatin1String("to-do"));
            GridView *view = todo ? m_window->todoView() : m_window->dayView();
            const int column
                = todo ? int(todo::Done) : (command.contains(QLatin1String("alarm")) ? daylist::Alarm : daylist::Done);
            const QModelIndex index = view->model()->index(view->currentTableRow() - 1, column);
            view->scrollTo(index);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->checkBoxRect(index).center());
        } else if (command == QLatin1String("add a task") || command == QLatin1String("add a to-do")) {
            whenModal<TfrmEdit>([](TfrmEdit *editor) {
                child<TimeField>(editor, "dtTime")->setTime(QTime(12, 0));
                QTest::keyClicks(child<QPlainTextEdit>(editor, "memMain"), QStringLiteral("Lunch"));
                click(editor, "btOK");
            });
            editing.btAddClick(
                command.endsWith(QLatin1String("task")) ? editflow::TaskList::Day : editflow::TaskList::Todo);
        } else if (command == QLatin1String("edit a task") || command == QLatin1String("edit a to-do")) {
            whenModal<TfrmEdit>([](TfrmEdit *editor) {
                QTest::keyClicks(child<QPlainTextEdit>(editor, "memMain"), QStringLiteral("Call first. "));
                click(editor, "btOK");
            });
            editing.btEditClick(
                command.endsWith(QLatin1String("task")) ? editflow::TaskList::Day : editflow::TaskList::Todo);
        } else if (command == QLatin1String("mark a task complete")) {
            whenModal<TfrmEdit>([](TfrmEdit *editor) {
                QTest::keyClicks(child<QPlainTextEdit>(editor, "memComplete"), QStringLiteral("on time"));
                click(editor, "btOK2");
            });
            editing.Markascompleted1Click(editflow::TaskList::Day);
        } else if (command == QLatin1String("complete a to-do in the editor")) {
            whenModal<TfrmEdit>([](TfrmEdit *editor) {
                click(editor, "btComplete");
                QTest::keyClicks(child<QPlainTextEdit>(editor, "memComplete"), QStringLiteral("white"));
                click(editor, "btOK2");
            });
            editing.btEditClick(editflow::TaskList::Todo);
        } else if (command == QLatin1String("reschedule a task")) {
            whenModal<TfrmEdit>([](TfrmEdit *editor) {
                whenModal<TfrmReschedule>([](TfrmReschedule *dialog) {
                    dialog->setDate(kLater);
                    dialog->btOKClick();
                });
                click(editor, "btReschedule");
            });
            editing.btEditClick(editflow::TaskList::Day);
        } else if (command == QLatin1String("repeat a task")) {
            m_app->dialogs.confirmAnswers = { true }; // "Really add 31 events to the calendar?"
            whenModal<TfrmEdit>([](TfrmEdit *editor) {
                whenModal<TfrmRecur>([](TfrmRecur *generator) {
                    child<QRadioButton>(generator, "rbDaily")->click();
                    generator->btPreviewClick();
                    generator->btOKClick();
                });
                child<QAction>(editor, "Repeat1")->trigger(); // on the Repeat button's menu
            });
            editing.btEditClick(editflow::TaskList::Day);
        } else if (command == QLatin1String("repeat a task every year")) {
            whenModal<TfrmEdit>([](TfrmEdit *editor) {
                QTest::keyClicks(child<QPlainTextEdit>(editor, "memMain"), QStringLiteral("Annual "));
                child<QAction>(editor, "Repeatannuallyfor10years1")->trigger();
            });
            editing.btEditClick(editflow::TaskList::Day);
        } else if (command.startsWith(QLatin1String("edit the notes pane"))) {
            QPlainTextEdit *notes = m_window->notesPane();
            notes->setFocus();
            QTest::keyClick(notes, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClicks(notes, QStringLiteral(", bring the card"));
            // The notes go back as they lose the focus, or as another day is chosen.
            if (command.endsWith(QLatin1String("another day")))
                m_window->moveSelectedDay(1);
            else
                m_window->dayView()->setFocus();
        } else if (command == QLatin1String("delete a completed entry")) {
            whenModal<TfrmComplete>([](TfrmComplete *log) {
                log->grid()->setCurrentTableRow(1);
                log->Delete1Click();
                log->Close1Click();
            });
            actions.ViewCompleted1->trigger();
        } else if (command == QLatin1String("add a holiday")) {
            whenModal<TfrmHoliday>([](TfrmHoliday *list) {
                whenModal<TfrmEditHoliday>([](TfrmEditHoliday *editor) {
                    QTest::keyClicks(child<QLineEdit>(editor, "edName"), QStringLiteral("Founders' Day"));
                    click(editor, "btOK");
                });
                click(list, "btAdd");
                click(list, "btClose");
            });
            actions.Holidays1->trigger();
        } else if (command == QLatin1String("import holidays")) {
            whenModal<TfrmHoliday>([](TfrmHoliday *list) {
                whenModal<TfrmImport>([](TfrmImport *import) {
                    child<QListWidget>(import, "lbDays")->item(0)->setSelected(true);
                    click(import, "btOK");
                });
                click(list, "btImport");
                click(list, "btClose");
            });
            actions.Holidays1->trigger();
        } else if (command == QLatin1String("clear all data")) {
            whenModal<TfrmPrint>([](TfrmPrint *selection) {
                QTest::mouseClick(child<QRadioButton>(selection, "rbAll"), Qt::LeftButton);
                click(selection, "btOK");
            });
            actions.Clear1->trigger();
        } else if (command == QLatin1String("restore an archive")) {
            const QString path = m_app->data(QStringLiteral("january.arb"));
            QVERIFY(archive::write(archive::names(path),
                withRows(store::newStore(), { key(kDay, 101) + "|11:00 AM|Work|Archived|No|No" }),
                withRows(newTodoList(), { "|Archived to-do|No" }), completedLog({ "Archived errand" }))
                        .isEmpty());
            m_app->dialogs.confirmAnswers = { true }; // "Really restore ENTIRE system? ..."
            m_app->fileDialogs.answers = { path };
            actions.Restore1->trigger();
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
        QTest::addColumn<List>("list"); // the row selected before the command
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("changes"); // the files the command changes
        QTest::addColumn<QString>("menuText");
        const auto row = [](const char *command, List list, int row, const char *changes, const char *menuText) {
            QTest::newRow(command) << QString::fromUtf8(command) << list << row << QString::fromUtf8(changes)
                                   << QString::fromUtf8(menuText);
        };
        row("delete a task", List::Day, 2, "grid.grd", "Undo Delete \"Dentist\"");
        row("delete a to-do", List::Todo, 1, "gridNon.grd", "Undo Delete \"Paint\"");
        row("drop a task on another day", List::Day, 1, "grid.grd", "Undo Move \"Report\"");
        row("drop a to-do on the day", List::Todo, 2, "grid.grd gridNon.grd", "Undo Move");
        row("reorder the to-do list", List::Todo, 2, "gridNon.grd", "Undo Move");
        row("switch an alarm off", List::Day, 1, "grid.grd", "Undo Alarm Off");
        row("tick the box done of a task", List::Day, 2, "grid.grd", "Undo Mark Done \"Dentist\"");
        row("tick the box alarm of a task", List::Day, 2, "grid.grd", "Undo Alarm On");
        row("tick the box done of a to-do", List::Todo, 2, "gridNon.grd", "Undo Mark Not Done \"File taxes\"");
        // Through the editor and the dialogs it opens.
        row("add a task", List::Day, 1, "grid.grd", "Undo Add \"Lunch\"");
        row("add a to-do", List::Todo, 2, "gridNon.grd", "Undo Add \"Lunch\"");
        row("edit a task", List::Day, 2, "grid.grd", "Undo Edit \"Dentist\"");
        row("edit a to-do", List::Todo, 2, "gridNon.grd", "Undo Edit \"File taxes\"");
        row("mark a task complete", List::Day, 2, "grid.grd gridComp.grd", "Undo Complete \"Dentist\"");
        row("complete a to-do in the editor", List::Todo, 1, "gridNon.grd gridComp.grd", "Undo Complete \"Paint\"");
        row("reschedule a task", List::Day, 2, "grid.grd", "Undo Reschedule \"Dentist\"");
        row("repeat a task", List::Day, 1, "grid.grd", "Undo Repeat \"Report\"");
        row("repeat a task every year", List::Day, 2, "grid.grd", "Undo Repeat \"Dentist\"");
        row("edit the notes pane", List::Day, 2, "grid.grd", "Undo Edit Notes");
        row("edit the notes pane, then go to another day", List::Day, 2, "grid.grd", "Undo Edit Notes");
        // Through the other windows.
        row("delete a completed entry", List::Day, 2, "gridComp.grd", "Undo Completed Tasks");
        row("add a holiday", List::Day, 1, "holiday.grd", "Undo Holidays");
        row("import holidays", List::Todo, 1, "holiday.grd", "Undo Holidays");
        row("clear all data", List::Day, 2, "grid.grd gridNon.grd", "Undo Clear All Data");
        row("restore an archive", List::Todo, 2, "grid.grd gridNon.grd gridComp.grd", "Undo Restore");
    }
    void undoAndRedoEveryCommand()
    {
        QFETCH(QString, command);
        QFETCH(List, list);
        QFETCH(int, row);
        QFETCH(QString, changes);
        QFETCH(QString, menuText);
        open();
        QAction *undo = m_window->actions().Undo1;
        QAction *redo = m_window->actions().Redo1;
        QVERIFY(!undo->isEnabled());
        m_window->selectRow(list, row);
        const QList<QByteArray> before = files();
        const QStringList dayBefore = joinedRows(document().dayList());
        const QStringList todoBefore = joinedRows(document().todoList());
        const QString viewBefore = view();

        run(command);
        const QList<QByteArray> after = files();
        QCOMPARE(changed(before, after), changes);
        QCOMPARE(m_window->undoHistory()->stack().count(), 1);
        QCOMPARE(undo->text(), menuText);
        const QStringList dayAfter = joinedRows(document().dayList());
        const QStringList todoAfter = joinedRows(document().todoList());
        const QString viewAfter = view();

        undo->trigger();
        QCOMPARE(files(), before);
        QCOMPARE(joinedRows(document().todoList()), todoBefore);
        QCOMPARE(joinedRows(document().dayList()), dayBefore);
        QCOMPARE(view(), viewBefore);
        QVERIFY(!undo->isEnabled());
        QCOMPARE(redo->text(), QString(menuText).replace(QStringLiteral("Undo"), QStringLiteral("Redo")));

        redo->trigger();
        QCOMPARE(files(), after);
        QCOMPARE(joinedRows(document().dayList()), dayAfter);
        QCOMPARE(joinedRows(document().todoList()), todoAfter);
        QCOMPARE(view(), viewAfter);
        QVERIFY(undo->isEnabled());
        QCOMPARE(m_app->dialogs.errors, QStringList());
    }

    // The first completion makes the log's file; its Undo takes the file away again, rather
    // than leaving one that holds no entry, and Redo makes it again.
    void undoOfAFirstSaveLeavesNoFile()
    {
        open({ QStringLiteral("gridComp.grd") });
        const QString log = m_app->data(QStringLiteral("gridComp.grd"));
        m_window->selectRow(List::Day, 2);
        run(QStringLiteral("mark a task complete"));
        const QByteArray made = readAll(log);
        QVERIFY(made.contains("Dentist"));
        m_window->undoHistory()->stack().undo();
        QVERIFY(!QFile::exists(log));
        m_window->undoHistory()->stack().redo();
        QCOMPARE(readAll(log), made);
        QCOMPARE(m_app->dialogs.errors, QStringList());
    }

    // What changes no task (the holiday file read again unchanged, a to-do list sorted by a
    // header click) keeps the steps: Undo still takes back the change before it.
    void undoOutlivesWhatChangesNoTask()
    {
        open();
        const QList<QByteArray> before = files();
        run(QStringLiteral("delete a task"));
        QVERIFY(document().reloadHolidays().isEmpty());
        m_window->todoView()->horizontalHeader()->sectionClicked(todo::What);
        m_window->undoHistory()->stack().undo();
        QCOMPARE(files(), before);
        QVERIFY(m_window->undoHistory()->stack().canRedo());
        QCOMPARE(m_app->dialogs.errors, QStringList());
    }

    // A look at the completed tasks changes no entry, yet the window lays out the log's
    // columns and saves it as it closes: the next step's Undo gives those bytes back too.
    void undoAfterALookAtTheCompletedTasks()
    {
        open();
        whenModal<TfrmComplete>([](TfrmComplete *log) { log->Close1Click(); });
        m_window->actions().ViewCompleted1->trigger();
        QCOMPARE(m_window->undoHistory()->stack().count(), 0);
        m_window->selectRow(List::Day, 2);
        const QList<QByteArray> before = files();
        run(QStringLiteral("mark a task complete"));
        m_window->actions().Undo1->trigger();
        QCOMPARE(files(), before);
    }

    // Two commands are two steps, undone last first; a new change drops what was undone.
    void stepsAreUndoneLastFirst()
    {
        open();
        const QList<QByteArray> start = files();
        m_window->selectRow(List::Day, 2);
        run(QStringLiteral("delete a task"));
        const QList<QByteArray> afterDelete = files();
        m_window->selectRow(List::Day, 1);
        run(QStringLiteral("switch an alarm off"));
        QUndoStack &stack = m_window->undoHistory()->stack();
        QCOMPARE(stack.count(), 2);
        stack.undo();
        QCOMPARE(files(), afterDelete);
        stack.undo();
        QCOMPARE(files(), start);
        m_window->selectRow(List::Todo, 1);
        run(QStringLiteral("delete a to-do"));
        QCOMPARE(stack.count(), 1);
        QVERIFY(!stack.canRedo());
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
