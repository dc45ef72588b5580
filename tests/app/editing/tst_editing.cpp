#include "appfixture.h"
#include "editing/edit.h"
#include "editing/editingcommands.h"
#include "editing/resch.h"
#include "schedule/recurdialog.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "store/gridfile.h"
#include "testfiles.h"
#include "text/texthelpers.h"
#include "widgets/gridview.h"
#include "widgets/shadowlabel.h"

#include "widgets/datefield.h"
#include "widgets/timefield.h"
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const QDate kToday(2026, 1, 31);

using Step = std::function<void(TfrmEdit *)>;

// Runs `step` on the editor as soon as it is up (the flows show it modally).
void whenEditorShows(Step step)
{
    QTimer::singleShot(0, [step] {
        auto *editor = qobject_cast<TfrmEdit *>(QApplication::activeModalWidget());
        if (!editor) {
            qWarning("no editor came up");
            return;
        }
        step(editor);
    });
}

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("no control %s", name);
    return found;
}

void click(QWidget *window, const char *name)
{
    child<QPushButton>(window, name)->click();
}

// Types the notes as a user does, then presses a button of the editor.
Step typeAndPress(const QString &notes, const char *button, QTime time = QTime(), bool alarm = false)
{
    return [=](TfrmEdit *editor) {
        if (time.isValid())
            child<TimeField>(editor, "dtTime")->setTime(time);
        child<QCheckBox>(editor, "cbAlarm")->setChecked(alarm);
        QPlainTextEdit *memo = child<QPlainTextEdit>(editor, "memMain");
        memo->setFocus();
        QTest::keyClicks(memo, notes);
        click(editor, button);
    };
}

QStringList column(const CellTable &table, int c)
{
    QStringList texts;
    for (int r = 1; r < table.rowCount(); ++r)
        texts << table.cell(c, r);
    return texts;
}

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;
    std::unique_ptr<TfrmMain> m_window;

    TaskDocument &doc() { return *m_app->document; }
    EditingCommands &commands() { return *m_window->editingCommands(); }
    CellTable storeOnDisk()
    {
        CellTable table;
        readGridFile(table, m_app->data(QStringLiteral("grid.grd")));
        return table;
    }

    void start()
    {
        m_app->loadDocument();
        m_window = std::make_unique<TfrmMain>(doc(), m_app->services());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void addDayTask(const QString &notes, QTime time, bool alarm = false)
    {
        whenEditorShows(typeAndPress(notes, "btOK", time, alarm));
        commands().btAddClick(editflow::TaskList::Day);
    }

private Q_SLOTS:
    void init()
    {
        m_window.reset();
        m_app = std::make_unique<AppFixture>(QDateTime(kToday, QTime(10, 0)));
    }

    void cleanup() { m_window.reset(); }

    // Whatever is pasted into the editor, OK either refuses it clearly or saves a clean task
    // that reads back as saved; nothing else in the store is touched.
    void badInputIsRefusedOrCleaned_data()
    {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("notes");
        QTest::addColumn<QString>("savedCategory"); // the row on disk after OK
        QTest::addColumn<QString>("savedNotes"); // empty: refused, nothing saved
        QTest::newRow("2 MB pasted into the notes") << QString() << QString(2 << 20, QLatin1Char('x')) << QString()
                                                    << QString(TfrmEdit::kNotesLength, QLatin1Char('x'));
        QTest::newRow("control characters") << QStringLiteral("Ho\x01"
                                                              "me")
                                            << QStringLiteral("a\x01"
                                                              "b\x1A"
                                                              "c")
                + QChar(0) + QStringLiteral("d\r\ne")
                                            << QStringLiteral("Home") << QStringLiteral("abcd\r\ne\r\n");
        // A TAB would come back from the file as a line break.
        QTest::newRow("a TAB") << QString() << QStringLiteral("Paint\tdoor") << QString()
                               << QStringLiteral("Paint door");
        QTest::newRow("empty notes") << QString() << QString() << QString() << QString();
        // The line break counts against the box's length; what is saved has none.
        QTest::newRow("category too long, with a line break")
            << QStringLiteral("Ho\nme ") + QString(100, QLatin1Char('y')) << QStringLiteral("ok")
            << QStringLiteral("Home yyyyyyyyyyyyyy") << QStringLiteral("ok");
    }
    void badInputIsRefusedOrCleaned()
    {
        QFETCH(QString, category);
        QFETCH(QString, notes);
        QFETCH(QString, savedCategory);
        QFETCH(QString, savedNotes);
        start();
        addDayTask(QStringLiteral("Kept"), QTime(9, 0));
        bool refusedStayedOpen = false;
        QString shown;
        whenEditorShows([&](TfrmEdit *editor) {
            auto *box = child<QComboBox>(editor, "cbCategory");
            box->lineEdit()->setFocus();
            box->lineEdit()->insert(category); // as a paste does
            QPlainTextEdit *memo = child<QPlainTextEdit>(editor, "memMain");
            memo->setFocus();
            QApplication::clipboard()->setText(notes);
            memo->paste();
            shown = memo->toPlainText();
            click(editor, "btOK");
            if (editor->isVisible()) {
                refusedStayedOpen = true;
                click(editor, "btCancel");
            }
        });
        commands().btAddClick(editflow::TaskList::Day);

        const CellTable onDisk = storeOnDisk();
        if (savedNotes.isEmpty()) {
            QVERIFY(refusedStayedOpen);
            QCOMPARE(column(onDisk, store::What), QStringList { "Kept" });
            return;
        }
        QVERIFY(!refusedStayedOpen);
        QCOMPARE(m_app->dialogs.errors, QStringList());
        QCOMPARE(column(onDisk, store::What), (QStringList { "Kept", savedNotes }));
        QCOMPARE(memoToText(shown.split(QLatin1Char('\n'))), savedNotes); // what is shown is what is saved
        QCOMPARE(column(onDisk, store::Category).last(), savedCategory);
    }

    void addingToAnEmptyDayFillsRowOneAndKeysIt()
    {
        start();
        addDayTask(QStringLiteral("Dentist"), QTime(9, 30), true);
        QCOMPARE(doc().dayList().rowCount(), 2);
        QCOMPARE(doc().dayList().cell(daylist::Time, 1), QStringLiteral("9:30 AM"));
        const CellTable onDisk = storeOnDisk();
        QCOMPARE(onDisk.rowCount(), 2);
        QCOMPARE(onDisk.cell(store::Key, 1), store::makeKey(datevalue::dayNumber(kToday), 101));
        QCOMPARE(onDisk.cell(store::What, 1), QStringLiteral("Dentist"));
        QCOMPARE(onDisk.cell(store::Alarm, 1), QStringLiteral("Yes"));
        QCOMPARE(onDisk.cell(store::Done, 1), QStringLiteral("No"));
        QCOMPARE(m_window->dateHeadingText(), QStringLiteral("Sat 1/31/2026  Today"));
    }

    void anAddReSortsByTimeAndAnEditKeepsItsPlace()
    {
        start();
        addDayTask(QStringLiteral("late"), QTime(15, 0));
        addDayTask(QStringLiteral("early"), QTime(8, 0));
        QCOMPARE(column(doc().dayList(), daylist::What), (QStringList { "early", "late" }));
        QCOMPARE(m_window->dayView()->currentTableRow(), 1); // the new task is selected

        // Moving "early" past "late" by an edit keeps it first.
        m_window->dayView()->setCurrentTableRow(1);
        whenEditorShows([](TfrmEdit *editor) {
            child<TimeField>(editor, "dtTime")->setTime(QTime(18, 0));
            click(editor, "btOK");
        });
        commands().btEditClick(editflow::TaskList::Day);
        QCOMPARE(column(doc().dayList(), daylist::Time), (QStringList { "6:00 PM", "3:00 PM" }));
        QCOMPARE(column(storeOnDisk(), store::What), (QStringList { "early", "late" }));
    }

    void completingInsideTheAddFlowLogsOneRow()
    {
        start();
        whenEditorShows([](TfrmEdit *editor) {
            typeAndPress(QStringLiteral("Paid the bill"), "btComplete", QTime(11, 0), true)(editor);
            QTest::keyClicks(child<QPlainTextEdit>(editor, "memComplete"), QStringLiteral("by card"));
            click(editor, "btOK2");
        });
        commands().btAddClick(editflow::TaskList::Day);
        const CellTable onDisk = storeOnDisk();
        QCOMPARE(onDisk.cell(store::Done, 1), QStringLiteral("Yes"));
        QCOMPARE(onDisk.cell(store::Alarm, 1), QStringLiteral("No"));
        CellTable log;
        QVERIFY(readGridFile(log, m_app->data(QStringLiteral("gridComp.grd"))).ok());
        QCOMPARE(log.rowCount(), 2);
        QCOMPARE(log.cell(completed::CompDate, 1), QStringLiteral("1/31/2026"));
        QCOMPARE(log.cell(completed::OrigDate, 1), QStringLiteral("Sat 1/31/2026"));
        QCOMPARE(log.cell(completed::What, 1), QStringLiteral("Paid the bill"));
        QCOMPARE(log.cell(completed::CompNotes, 1), QStringLiteral("by card"));
    }

    // The flows' refusals, each with its message; nothing changes.
    void refusals_data()
    {
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QString>("message");
        QTest::newRow("edit an empty day") << "edit"
                                           << "There is nothing to edit";
        QTest::newRow("complete a done task") << "complete done"
                                              << "Task already marked as complete";
        QTest::newRow("delete from an empty list") << "delete"
                                                   << "There is nothing selected to delete";
        QTest::newRow("OK with blank notes") << "blank"
                                             << "The Notes are blank!";
        QTest::newRow("Reschedule with blank notes") << "reschedule blank"
                                                     << "The Notes are blank!";
    }
    void refusals()
    {
        QFETCH(QString, flow);
        QFETCH(QString, message);
        start();
        if (flow == QLatin1String("edit")) {
            commands().btEditClick(editflow::TaskList::Day);
        } else if (flow == QLatin1String("complete done")) {
            QVERIFY(doc()
                        .addTask(editflow::taskOf({ QTime(9, 0), QString(), QStringLiteral("done"), true, false },
                            doc().shownDay(), doc().regional()))
                        .saved.ok);
            m_window->dayView()->setCurrentTableRow(1);
            commands().Markascompleted1Click(editflow::TaskList::Day);
        } else if (flow == QLatin1String("delete")) {
            commands().btDelClick(editflow::TaskList::Todo);
        } else if (flow == QLatin1String("reschedule blank")) {
            addDayTask(QStringLiteral("stays whole"), QTime(9, 0));
            m_window->dayView()->setCurrentTableRow(1);
            whenEditorShows([](TfrmEdit *editor) {
                child<QPlainTextEdit>(editor, "memMain")->clear();
                // Were the dialog to come up, another day is chosen in it.
                QTimer::singleShot(0, [] {
                    if (auto *dialog = qobject_cast<TfrmReschedule *>(QApplication::activeModalWidget())) {
                        dialog->setDate(kToday.addDays(2));
                        dialog->btOKClick();
                    }
                });
                click(editor, "btReschedule");
                QVERIFY(editor->isVisible());
                editor->reject();
            });
            commands().btEditClick(editflow::TaskList::Day);
            QCOMPARE(column(storeOnDisk(), store::What), QStringList { "stays whole" });
            QCOMPARE(storeOnDisk().cell(store::Key, 1), store::makeKey(datevalue::dayNumber(kToday), 101));
        } else {
            whenEditorShows([](TfrmEdit *editor) {
                child<QPushButton>(editor, "btOK")->setEnabled(true);
                click(editor, "btOK");
                QVERIFY(editor->isVisible()); // stays open
                editor->reject();
            });
            commands().btAddClick(editflow::TaskList::Todo);
        }
        QCOMPARE(m_app->dialogs.errors, QStringList { message });
    }

    // A task added while its file cannot be written: the error box names the file and why,
    // and the task stays on screen, so nothing typed is lost.
    void aFailedSaveLeavesTheEditOnScreen()
    {
        start();
        // A folder in the place of the file: no save can replace it.
        QVERIFY(QDir().mkpath(m_app->data(QStringLiteral("grid.grd/in the way"))));
        addDayTask(QStringLiteral("Buy paint"), QTime(9, 0));
        QCOMPARE(m_app->dialogs.errors.size(), 1);
        const QString error = m_app->dialogs.errors.first();
        QVERIFY2(error.startsWith(
                     QStringLiteral("Couldn't save ") + m_app->data(QStringLiteral("grid.grd")) + QStringLiteral(": "))
                && error.size()
                    > QStringLiteral("Couldn't save ").size() + m_app->data(QStringLiteral("grid.grd")).size() + 2,
            qPrintable(error));
        QCOMPARE(column(doc().dayList(), daylist::What), QStringList { "Buy paint" });
        QCOMPARE(m_window->dayView()->model()->index(0, daylist::What).data().toString(), QStringLiteral("Buy paint"));
    }

    void deleting_data()
    {
        QTest::addColumn<bool>("confirmOption");
        QTest::addColumn<QStringList>("tasks");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("questions");
        QTest::newRow("the only task, confirmed") << true << QStringList { "only" } << QStringList { "" } << 1;
        QTest::newRow("one of two, Confirm off")
            << false << QStringList { "first", "second" } << QStringList { "second" } << 0;
    }
    void deleting()
    {
        QFETCH(bool, confirmOption);
        QFETCH(QStringList, tasks);
        QFETCH(QStringList, left);
        QFETCH(int, questions);
        start();
        for (int i = 0; i < tasks.size(); ++i)
            addDayTask(tasks[i], QTime(8 + i, 0));
        Options options = doc().options();
        options.confirm = confirmOption;
        doc().setOptions(options);
        m_app->dialogs.confirmAnswers = { true };
        m_window->dayView()->setCurrentTableRow(1);
        commands().btDelClick(editflow::TaskList::Day);
        QCOMPARE(m_app->dialogs.questions.size(), questions);
        if (questions)
            QCOMPARE(m_app->dialogs.questions[0], QStringLiteral("Really delete \"only ... \"?"));
        QCOMPARE(column(doc().dayList(), daylist::What), left);
        QCOMPARE(storeOnDisk().rowCount(), int(left.size()) + (left == QStringList { "" } ? 0 : 1));
    }

    void aTwoLineNoteRoundTrips()
    {
        start();
        whenEditorShows([](TfrmEdit *editor) {
            QPlainTextEdit *memo = child<QPlainTextEdit>(editor, "memMain");
            memo->setFocus();
            QTest::keyClicks(memo, QStringLiteral("Call Ann"));
            QTest::keyClick(memo, Qt::Key_Return); // a new line, not OK
            QTest::keyClicks(memo, QStringLiteral("before 5"));
            QVERIFY(editor->isVisible());
            click(editor, "btOK");
        });
        commands().btAddClick(editflow::TaskList::Day);
        QCOMPARE(storeOnDisk().cell(store::What, 1), QStringLiteral("Call Ann\r\nbefore 5\r\n"));
        QString shown;
        QString caption;
        whenEditorShows([&](TfrmEdit *editor) {
            shown = child<QPlainTextEdit>(editor, "memMain")->toPlainText();
            caption = editor->windowTitle();
            editor->reject();
        });
        m_window->dayView()->setCurrentTableRow(1);
        commands().btEditClick(editflow::TaskList::Day);
        QCOMPARE(shown, QStringLiteral("Call Ann\nbefore 5"));
        QCOMPARE(caption, QStringLiteral("Task: Call Ann ...")); // a title bar shows one line
    }

    void aToDoWithoutACategoryIsATask()
    {
        start();
        whenEditorShows([](TfrmEdit *editor) {
            QVERIFY(child<TimeField>(editor, "dtTime")->isHidden());
            child<QComboBox>(editor, "cbCategory")->setEditText(QString());
            typeAndPress(QStringLiteral("Buy paint"), "btOK")(editor);
        });
        commands().btAddClick(editflow::TaskList::Todo);
        whenEditorShows(typeAndPress(QStringLiteral("Sand the door"), "btOK"));
        commands().btAddClick(editflow::TaskList::Todo);
        QCOMPARE(column(doc().todoList(), todo::What), (QStringList { "Buy paint", "Sand the door" }));
        CellTable onDisk;
        QVERIFY(readGridFile(onDisk, m_app->data(QStringLiteral("gridNon.grd"))).ok());
        QCOMPARE(column(onDisk, todo::What), (QStringList { "Buy paint", "Sand the door" }));
        QCOMPARE(m_window->todoHeadingText(), QStringLiteral("2 To-do Tasks"));

        m_window->todoView()->setCurrentTableRow(1);
        whenEditorShows([](TfrmEdit *editor) {
            QCOMPARE(editor->windowTitle(), QStringLiteral("Task: Buy paint ..."));
            click(editor, "btOK");
        });
        commands().btEditClick(editflow::TaskList::Todo);
        QVERIFY(m_app->dialogs.errors.isEmpty());
    }

    void aPastDayHasARedTitle()
    {
        start();
        m_window->moveSelectedDay(-1);
        QString title;
        QColor colour;
        whenEditorShows([&](TfrmEdit *editor) {
            auto *label = child<ShadowLabel>(editor, "lblTitle");
            title = label->text();
            colour = label->textColour();
            editor->reject();
        });
        commands().btAddClick(editflow::TaskList::Day);
        QCOMPARE(title, QStringLiteral("PAST Fri 1/30/2026 Yesterday"));
        QCOMPARE(colour, QColor(Qt::red));
    }

    void aNewCategoryIsAddedToTheChoices()
    {
        start();
        whenEditorShows([](TfrmEdit *editor) {
            child<QComboBox>(editor, "cbCategory")->setEditText(QStringLiteral("Garden"));
            typeAndPress(QStringLiteral("Mow"), "btOK")(editor);
        });
        commands().btAddClick(editflow::TaskList::Todo);
        QCOMPARE(readAll(m_app->data(QStringLiteral("category.xxx"))), QByteArray("Garden\r\n"));
    }

    // Pasted text is cut at the memo's limit, a stored longer note is not cut, and control
    // characters never reach a one-line cell.
    void badInputIsKeptInBounds()
    {
        start();
        const QString line = QString(49, QLatin1Char('x'));
        QString longNote;
        while (longNote.size() + line.size() + 1 <= TfrmEdit::kNotesLength)
            longNote += line + QLatin1Char('\n');
        longNote.chop(1);
        longNote += QString(TfrmEdit::kNotesLength - longNote.size(), QLatin1Char('y'));
        QCOMPARE(longNote.size(), TfrmEdit::kNotesLength);
        whenEditorShows([longNote](TfrmEdit *editor) {
            QPlainTextEdit *memo = child<QPlainTextEdit>(editor, "memMain");
            memo->setFocus();
            QApplication::clipboard()->setText(longNote + QStringLiteral("beyond"));
            memo->paste();
            QCOMPARE(memo->toPlainText(), longNote);
            child<QComboBox>(editor, "cbCategory")->setEditText(QStringLiteral("Ho\x1bme"));
            click(editor, "btOK");
        });
        commands().btAddClick(editflow::TaskList::Day);
        const CellTable onDisk = storeOnDisk();
        QCOMPARE(onDisk.cell(store::Category, 1), QStringLiteral("Home"));
        QCOMPARE(textToMemoLines(onDisk.cell(store::What, 1)).join(QLatin1Char('\n')), longNote);
    }

    // Rescheduling from the edit flow moves the task; the same day keeps the editor open.
    void reschedulingMovesTheTask_data()
    {
        QTest::addColumn<int>("daysOn");
        QTest::newRow("three days on") << 3;
        QTest::newRow("the same day") << 0;
    }
    void reschedulingMovesTheTask()
    {
        QFETCH(int, daysOn);
        start();
        addDayTask(QStringLiteral("stays"), QTime(8, 0));
        addDayTask(QStringLiteral("moves"), QTime(9, 0));
        m_window->dayView()->setCurrentTableRow(2);
        bool editorOpenAfter = false;
        whenEditorShows([&](TfrmEdit *editor) {
            QTimer::singleShot(0, [daysOn] {
                auto *dialog = qobject_cast<TfrmReschedule *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                dialog->setDate(kToday.addDays(daysOn));
                dialog->btOKClick();
            });
            click(editor, "btReschedule");
            editorOpenAfter = editor->isVisible();
            if (editorOpenAfter)
                editor->reject();
        });
        commands().btEditClick(editflow::TaskList::Day);
        QCOMPARE(editorOpenAfter, daysOn == 0);
        const CellTable onDisk = storeOnDisk();
        if (daysOn == 0) {
            QCOMPARE(column(onDisk, store::What), (QStringList { "stays", "moves" }));
            return;
        }
        QCOMPARE(column(doc().dayList(), daylist::What), QStringList { "stays" });
        QCOMPARE(column(onDisk, store::What), (QStringList { "stays", "moves" }));
        QCOMPARE(onDisk.cell(store::Key, 2), store::makeKey(datevalue::dayNumber(kToday.addDays(3)), 100));
        QCOMPARE(onDisk.cell(store::Time, 2), QStringLiteral("9:00 AM"));
    }

    // A reschedule is one save: when it fails, the file still holds the task on its old day
    // and the document on its new one, never neither; the user is told.
    void aRescheduleWhoseSaveFailsLeavesTheTaskOnOneDay()
    {
        start();
        addDayTask(QStringLiteral("stays"), QTime(8, 0));
        addDayTask(QStringLiteral("moves"), QTime(9, 0));
        m_window->dayView()->setCurrentTableRow(2);
        const QString file = m_app->data(QStringLiteral("grid.grd"));
        const QByteArray before = readAll(file);
        whenEditorShows([&](TfrmEdit *editor) {
            QTimer::singleShot(0, [] {
                auto *dialog = qobject_cast<TfrmReschedule *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                dialog->setDate(kToday.addDays(3));
                dialog->btOKClick();
            });
            click(editor, "btReschedule");
        });
        {
            // Only a store holding the task on its new day is as large as before.
            const FileSizeLimit full(before.size() - 1);
            commands().btEditClick(editflow::TaskList::Day);
        }
        QCOMPARE(m_app->dialogs.errors.size(), 1);
        QVERIFY2(m_app->dialogs.errors[0].contains(file), qPrintable(m_app->dialogs.errors[0]));
        QCOMPARE(readAll(file), before);
        QCOMPARE(column(doc().store(), store::What), (QStringList { "stays", "moves" }));
        QCOMPARE(doc().store().cell(store::Key, 2), store::makeKey(datevalue::dayNumber(kToday.addDays(3)), 100));
        QCOMPARE(column(doc().dayList(), daylist::What), QStringList { "stays" });
    }

    // The generator adds its own rows; the task being edited is left as it was.
    void repeatLeavesTheEditedTaskUnchanged()
    {
        start();
        addDayTask(QStringLiteral("Yoga"), QTime(7, 0));
        m_window->dayView()->setCurrentTableRow(1);
        m_app->dialogs.confirmAnswers = { true }; // "Really add ... events to the calendar?"
        whenEditorShows([](TfrmEdit *editor) {
            QTest::keyClicks(child<QPlainTextEdit>(editor, "memMain"), QStringLiteral(" class"));
            QTimer::singleShot(0, [] {
                auto *generator = qobject_cast<TfrmRecur *>(QApplication::activeModalWidget());
                QVERIFY(generator);
                child<QRadioButton>(generator, "rbDaily")->click();
                generator->btPreviewClick();
                generator->btOKClick();
            });
            editor->Repeat1Click();
        });
        commands().btEditClick(editflow::TaskList::Day);
        QCOMPARE(column(doc().dayList(), daylist::What), QStringList { "Yoga" });
        const CellTable onDisk = storeOnDisk();
        QCOMPARE(onDisk.cell(store::What, 1), QStringLiteral("Yoga"));
        QCOMPARE(onDisk.rowCount(), 1 + 1 + 31); // the day after to 30 days after it
        QCOMPARE(onDisk.cell(store::What, 2), QStringLiteral("Yoga class"));
        QCOMPARE(onDisk.cell(store::Key, 2), store::makeKey(datevalue::dayNumber(kToday) + 1, 100));
    }

    // The generator's dates reach the store through the command, with one save and as one
    // change: on disk, in the day on show when they fall on it (read again, so its next
    // write-back keeps them), and kept in memory when the store cannot be written, which
    // is reported.
    void repeatedTasksReachTheStore_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::newRow("saved") << true;
        QTest::newRow("the store cannot be written") << false;
    }
    void repeatedTasksReachTheStore()
    {
        QFETCH(bool, writable);
        start();
        addDayTask(QStringLiteral("Yoga"), QTime(7, 0));
        m_window->dayView()->setCurrentTableRow(1);
        const QString file = m_app->data(QStringLiteral("grid.grd"));
        if (!writable) {
            QVERIFY(QFile::remove(file));
            QVERIFY(QDir().mkdir(file));
        }
        m_app->dialogs.confirmAnswers = { true };
        whenEditorShows([](TfrmEdit *editor) {
            QTest::keyClicks(child<QPlainTextEdit>(editor, "memMain"), QStringLiteral(" class"));
            QTimer::singleShot(0, [] {
                auto *generator = qobject_cast<TfrmRecur *>(QApplication::activeModalWidget());
                QVERIFY(generator);
                child<QRadioButton>(generator, "rbDaily")->click();
                child<DateField>(generator, "date1")->setDate(kToday);
                child<DateField>(generator, "date2")->setDate(kToday.addDays(2));
                generator->btPreviewClick();
                generator->btOKClick();
            });
            editor->Repeat1Click();
        });
        QStringList changes;
        connect(&doc(), &TaskDocument::changeMade, this, [&changes](const QString &name) { changes << name; });
        commands().btEditClick(editflow::TaskList::Day);
        QCOMPARE(m_app->dialogs.questions, QStringList { "Really add 3 events to the calendar?" });
        QCOMPARE(changes, QStringList { "Repeat \"Yoga\"" });
        // The day on show holds both, in the store's order for tasks of one time.
        const auto sorted = [](QStringList texts) {
            texts.sort();
            return texts;
        };
        const QStringList all = { "Yoga", "Yoga class", "Yoga class", "Yoga class" };
        QCOMPARE(sorted(column(doc().store(), store::What)), all);
        QCOMPARE(doc().store().cell(store::Key, 4), store::makeKey(datevalue::dayNumber(kToday) + 2, 100));
        QCOMPARE(sorted(column(doc().dayList(), daylist::What)), (QStringList { "Yoga", "Yoga class" }));
        if (writable) {
            QVERIFY(m_app->dialogs.errors.isEmpty());
            QCOMPARE(column(storeOnDisk(), store::What), column(doc().store(), store::What));
        } else {
            QCOMPARE(m_app->dialogs.errors.size(), 1);
            QVERIFY2(m_app->dialogs.errors[0].contains(file), qPrintable(m_app->dialogs.errors[0]));
        }
    }

    void theQuickAnnualRepeatSavesTheTaskToo()
    {
        start();
        addDayTask(QStringLiteral("Birthday"), QTime(9, 0));
        m_window->dayView()->setCurrentTableRow(1);
        whenEditorShows([](TfrmEdit *editor) {
            QTest::keyClicks(child<QPlainTextEdit>(editor, "memMain"), QStringLiteral(" of Ann"));
            editor->Repeatannuallyfor10years1Click();
        });
        commands().btEditClick(editflow::TaskList::Day);
        const CellTable onDisk = storeOnDisk();
        QCOMPARE(onDisk.rowCount(), 1 + 11);
        QCOMPARE(onDisk.cell(store::What, 1), QStringLiteral("Birthday of Ann"));
        QCOMPARE(onDisk.cell(store::Key, 11), store::makeKey(datevalue::dayNumber(kToday.addYears(10)), 100));
    }

    void theNotesSpellCheckButtonChecksTheNotes()
    {
        start();
        QString checked;
        whenEditorShows([&checked](TfrmEdit *editor) {
            QPlainTextEdit *memo = child<QPlainTextEdit>(editor, "memMain");
            QTest::keyClicks(memo, QStringLiteral("Teh meeting"));
            QTimer::singleShot(0, [] {
                QWidget *spell = QApplication::activeModalWidget();
                if (!spell || spell->objectName() != QLatin1String("TfrmSpell"))
                    return; // no dictionary on this machine
                click(spell, "btChange");
            });
            click(editor, "btSpell");
            checked = memo->toPlainText();
            editor->reject();
        });
        commands().btAddClick(editflow::TaskList::Day);
        if (!m_app->dialogs.errors.isEmpty())
            QSKIP("no English dictionary installed");
        QCOMPARE(checked, QStringLiteral("The meeting"));
    }

    void theKeysAndCommandsReachTheFlows()
    {
        start();
        whenEditorShows(typeAndPress(QStringLiteral("by key"), "btOK"));
        m_window->dayView()->setFocus();
        QTest::keyClick(m_window->dayView(), Qt::Key_Insert);
        QCOMPARE(column(doc().dayList(), daylist::What), QStringList { "by key" });
        whenEditorShows(typeAndPress(QStringLiteral("by menu"), "btOK"));
        m_window->actions().InsertTodo1->trigger();
        QCOMPARE(column(doc().todoList(), todo::What), QStringList { "by menu" });
        QVERIFY(m_window->actions().DeleteTask1->isEnabled());
        m_app->dialogs.confirmAnswers = { true };
        m_window->todoView()->setFocus();
        m_window->todoView()->setCurrentTableRow(1);
        QTest::keyClick(m_window->todoView(), Qt::Key_Delete);
        QCOMPARE(column(doc().todoList(), todo::What), QStringList { "" });
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
