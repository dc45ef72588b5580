// A user's morning through the real main window on a real (virtual) X server, by keys and
// mouse clicks only: the files on disk afterwards hold exactly what the user did.
#include "appfixture.h"
#include "shell/mainwindow.h"
#include "store/gridfile.h"
#include "widgets/gridview.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

// Runs `step` in the dialog that comes up next, once it has the keyboard. It looks for the
// dialog until it is up (a slow build, such as the sanitizer one, takes a while to open it).
void inNextDialog(std::function<void(QWidget *)> step, int triesLeft = 3000)
{
    QTimer::singleShot(20, [step, triesLeft] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog) {
            if (triesLeft > 0)
                inNextDialog(step, triesLeft - 1);
            else
                qWarning("no dialog came up");
            return;
        }
        dialog->activateWindow(); // no window manager gives it the keyboard
        if (!QTest::qWaitForWindowActive(dialog))
            qWarning("the dialog did not become active");
        step(dialog);
    });
}

QWidget *focused()
{
    return QApplication::focusWidget();
}

void typeAndOk(QWidget *editor, const QString &text, bool alarm = false)
{
    QTest::keyClicks(focused(), text);
    if (alarm)
        QTest::keyClick(editor, Qt::Key_A, Qt::AltModifier);
    QTest::keyClick(editor, Qt::Key_O, Qt::AltModifier);
}

QStringList rows(const QString &path, int column)
{
    CellTable table;
    if (!readGridFile(table, path).ok())
        return { QStringLiteral("unreadable") };
    QStringList texts;
    for (int r = 1; r < table.rowCount(); ++r)
        texts << table.cell(column, r);
    return texts;
}

} // namespace

class TestScenario : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aMorningOfTasks()
    {
        AppFixture app(QDateTime(QDate(2026, 1, 31), QTime(8, 0)));
        app.loadDocument();
        TfrmMain window(*app.document, app.services());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow(); // no window manager gives it the keyboard
        QVERIFY(QTest::qWaitForWindowActive(&window));
        GridView *day = window.dayView();
        // Without a window manager nobody gives the keyboard back when a dialog closes.
        auto activate = [&window] {
            window.activateWindow();
            return QTest::qWaitForWindowActive(&window);
        };

        // Two tasks of the day: the first with an alarm (Ctrl+Insert, then the Insert key).
        inNextDialog([](QWidget *editor) { typeAndOk(editor, QStringLiteral("Dentist"), true); });
        QTest::keyClick(&window, Qt::Key_Insert, Qt::ControlModifier);
        QTRY_COMPARE(app.document->dayList().cell(daylist::What, 1), QStringLiteral("Dentist"));
        QVERIFY(activate());
        inNextDialog([](QWidget *editor) { typeAndOk(editor, QStringLiteral("Call the garage")); });
        QTest::keyClick(day, Qt::Key_Insert);
        QTRY_COMPARE(app.document->dayList().rowCount(), 3);

        // Edit the dentist (Ctrl+Enter), adding to the note.
        day->setCurrentTableRow(app.document->dayList().cell(daylist::What, 1) == QLatin1String("Dentist") ? 1 : 2);
        const int dentist = day->currentTableRow();
        inNextDialog([](QWidget *editor) { typeAndOk(editor, QStringLiteral(" at 11")); });
        QVERIFY(activate());
        QTest::keyClick(&window, Qt::Key_Return, Qt::ControlModifier);
        QTRY_COMPARE(app.document->dayList().cell(daylist::What, dentist), QStringLiteral("Dentist at 11"));

        // Complete it from the day toolbar, with a completion note.
        inNextDialog([](QWidget *editor) {
            // Into the completion notes, which have the focus: sent to them, as a loaded
            // machine may not have made the dialog active yet.
            auto *notes = editor->findChild<QPlainTextEdit *>(QStringLiteral("memComplete"));
            QTest::keyClicks(notes ? notes : focused(), QStringLiteral("on time"));
            QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("btOK2")), Qt::LeftButton);
        });
        QToolButton *complete = nullptr;
        for (QToolButton *button : window.findChildren<QToolButton *>())
            if (button->defaultAction() && button->defaultAction()->objectName() == QLatin1String("btComplete"))
                complete = button;
        day->setCurrentTableRow(dentist);
        QVERIFY(activate());
        QTest::mouseClick(complete, Qt::LeftButton);
        QTRY_COMPARE(app.document->dayList().cell(daylist::Done, dentist), QStringLiteral("Yes"));

        // Delete the other task with the Delete key, confirming.
        app.dialogs.confirmAnswers = { true };
        QVERIFY(activate());
        day->setFocus();
        day->setCurrentTableRow(dentist == 1 ? 2 : 1);
        QTest::keyClick(day, Qt::Key_Delete);
        QTRY_COMPARE(app.document->dayList().rowCount(), 2);

        // A to-do (Shift+Insert).
        inNextDialog([](QWidget *editor) { typeAndOk(editor, QStringLiteral("Buy paint")); });
        QVERIFY(activate());
        QTest::keyClick(&window, Qt::Key_Insert, Qt::ShiftModifier);
        QTRY_COMPARE(app.document->todoList().cell(todo::What, 1), QStringLiteral("Buy paint"));

        QVERIFY(app.dialogs.errors.isEmpty());
        QCOMPARE(rows(app.data(QStringLiteral("grid.grd")), store::What), QStringList { "Dentist at 11" });
        QCOMPARE(rows(app.data(QStringLiteral("grid.grd")), store::Done), QStringList { "Yes" });
        QCOMPARE(rows(app.data(QStringLiteral("grid.grd")), store::Alarm), QStringList { "No" });
        QCOMPARE(rows(app.data(QStringLiteral("grid.grd")), store::Key), QStringList { "46053.101" });
        QCOMPARE(rows(app.data(QStringLiteral("gridComp.grd")), completed::What), QStringList { "Dentist at 11" });
        QCOMPARE(rows(app.data(QStringLiteral("gridComp.grd")), completed::CompNotes), QStringList { "on time" });
        QCOMPARE(rows(app.data(QStringLiteral("gridNon.grd")), todo::What), QStringList { "Buy paint" });
    }
};

QTEST_MAIN(TestScenario)
#include "tst_scenario.moc"
