#include "appfixture.h"
#include "output/outputcommands.h"
#include "output/print.h"
#include "output/printselection.h"
#include "output/tableprint.h"
#include "platform/qtprinter.h"
#include "schedule/holiday.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "store/complete.h"
#include "store/gridfile.h"
#include "store/storecommands.h"
#include "store/taskstore.h"
#include "store/todolist.h"
#include "testfiles.h"
#include "widgets/shadowlabel.h"

#include "widgets/datefield.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const QDate kToday(2026, 1, 31);

qint64 day(int offset)
{
    return datevalue::dayNumber(kToday.addDays(offset));
}

// The store's first row is the day before, so a range of today must leave it alone.
void writeSampleData(const AppFixture &app)
{
    CellTable store = store::newStore();
    const struct
    {
        int offset;
        const char *what;
        const char *done;
    } tasks[] = { { -1, "before", "No" }, { 0, "today-done", "Yes" }, { 0, "today-open", "No" }, { 1, "after", "No" } };
    store.setRowCount(5);
    int row = 1;
    for (const auto &t : tasks) {
        const QStringList cells { store::makeKey(day(t.offset), 100 + row), "9:00 AM", "1 - High", t.what, t.done,
            "No" };
        for (int c = 0; c < 6; ++c)
            store.setCell(c, row, cells[c]);
        ++row;
    }
    QVERIFY(writeGridFile(store, app.data(QStringLiteral("grid.grd"))).ok);
    CellTable todo = newTodoList();
    todo.setRowCount(3);
    const QStringList todos[] = { { "2 - Medium", "todo-one", "No" }, { "", "todo-two", "Yes" } };
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            todo.setCell(c, r + 1, todos[r][c]);
    QVERIFY(writeGridFile(todo, app.data(QStringLiteral("gridNon.grd"))).ok);
}

// The texts of a column of a grid file on disk, from row 1.
QStringList columnOnDisk(const QString &path, int column)
{
    CellTable table;
    if (!readGridFile(table, path).ok())
        return { QStringLiteral("unreadable") };
    QStringList out;
    for (int r = 1; r < table.rowCount(); ++r)
        out << table.cell(column, r);
    return out;
}

QStringList printedTexts(const RecordingPrintSurface &surface)
{
    QStringList out;
    for (const RecordingPrintSurface::Text &t : surface.texts)
        out << t.text;
    return out;
}

template <class W> W *child(QObject *parent, const char *name)
{
    W *found = parent->findChild<W *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Acts on the selection dialog as soon as it is up; any other window is closed and fails
// the test, so nothing waits on a window nobody closes.
void whenSelectionShows(std::function<void(TfrmPrint *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *dialog = qobject_cast<TfrmPrint *>(modal);
        if (!dialog) {
            if (modal)
                modal->close();
            QFAIL("the selection dialog is not showing");
        }
        act(dialog);
    });
}

// Chooses today only, with the kinds given (letters D, N, T), and presses OK.
void chooseToday(TfrmPrint *dialog, const QString &kinds)
{
    child<QRadioButton>(dialog, "rbDate")->setChecked(true);
    child<DateField>(dialog, "dt1")->setDate(kToday);
    child<DateField>(dialog, "dt2")->setDate(kToday);
    child<QCheckBox>(dialog, "cbDone")->setChecked(kinds.contains(QLatin1Char('D')));
    child<QCheckBox>(dialog, "cbNotDone")->setChecked(kinds.contains(QLatin1Char('N')));
    child<QCheckBox>(dialog, "cbNonDate")->setChecked(kinds.contains(QLatin1Char('T')));
    QTest::mouseClick(child<QPushButton>(dialog, "btOK"), Qt::LeftButton);
}

} // namespace

class TestPrint : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;

    std::unique_ptr<TfrmMain> makeWindow()
    {
        writeSampleData(*m_app);
        m_app->loadDocument();
        return std::make_unique<TfrmMain>(*m_app->document, m_app->services());
    }

private Q_SLOTS:
    void init() { m_app = std::make_unique<AppFixture>(QDateTime(kToday, QTime(10, 0))); }
    void cleanup() { m_app.reset(); }

    void dialogModes_data()
    {
        QTest::addColumn<TfrmPrint::Mode>("mode");
        QTest::addColumn<QStringList>("captions"); // window, all, range
        QTest::newRow("print") << TfrmPrint::Mode::Print
                               << QStringList { "Print tasks", "Print All tasks",
                                      "Print tasks within a range of dates" };
        QTest::newRow("clear") << TfrmPrint::Mode::Clear
                               << QStringList { "Clear tasks", "Clear All tasks",
                                      "Clear tasks within a range of dates" };
    }
    void dialogModes()
    {
        QFETCH(TfrmPrint::Mode, mode);
        QFETCH(QStringList, captions);
        TfrmPrint dialog(m_app->loadDocument(), m_app->dialogs, kToday);
        dialog.setMode(mode);
        QCOMPARE(dialog.windowTitle(), captions[0]);
        QCOMPARE(dialog.heading()->text(), captions[0]);
        QCOMPARE(child<QRadioButton>(&dialog, "rbAll")->text(), captions[1]);
        QCOMPARE(child<QRadioButton>(&dialog, "rbDate")->text(), captions[2]);

        QVERIFY(child<QRadioButton>(&dialog, "rbAll")->isChecked());
        QVERIFY(child<QWidget>(&dialog, "pnlDate")->isHidden());
        QCOMPARE(child<DateField>(&dialog, "dt1")->date(), kToday);
        QCOMPARE(child<DateField>(&dialog, "dt2")->date(), kToday);
        QVERIFY(!child<QCheckBox>(&dialog, "cbCat")->isChecked());
        auto *categories = child<QComboBox>(&dialog, "cbCategory");
        QVERIFY(categories->isHidden());
        QCOMPARE(categories->count(), 4);
        QCOMPARE(categories->itemText(3), QStringLiteral("4 - Don't Care"));
        QCOMPARE(categories->currentIndex(), -1);
        for (const char *name : { "cbDone", "cbNotDone", "cbNonDate" })
            QVERIFY(child<QCheckBox>(&dialog, name)->isChecked());
        QVERIFY(dialog.selection() == (PrintSelection { true, day(0), day(0), false, QString(), true, true, true }));

        child<QRadioButton>(&dialog, "rbDate")->setChecked(true);
        QVERIFY(!child<QWidget>(&dialog, "pnlDate")->isHidden());
        child<QRadioButton>(&dialog, "rbAll")->setChecked(true);
        QVERIFY(child<QWidget>(&dialog, "pnlDate")->isHidden());
        child<QCheckBox>(&dialog, "cbCat")->setChecked(true);
        QVERIFY(!categories->isHidden());
    }

    void categoriesFromTheUsersFile()
    {
        QVERIFY(writeBytes(m_app->data(QStringLiteral("category.xxx")), "Home\r\nWork\r\nSport\r\n"));
        TfrmPrint dialog(m_app->loadDocument(), m_app->dialogs, kToday);
        auto *categories = child<QComboBox>(&dialog, "cbCategory");
        QCOMPARE(categories->count(), 3);
        QCOMPARE(categories->currentText(), QStringLiteral("Work"));
        child<QCheckBox>(&dialog, "cbCat")->setChecked(true);
        QCOMPARE(dialog.selection().category, QStringLiteral("Work"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<int>("through");
        QTest::addColumn<QString>("error");
        QTest::newRow("no kind") << "" << 0 << "At least one of the DONE, NOT DONE or TO-DO options must be checked";
        QTest::newRow("second date first") << "DNT" << -1 << "The second date must be AFTER the first date!";
        QTest::newRow("equal dates") << "T" << 0 << "";
    }
    void refusals()
    {
        QFETCH(QString, kinds);
        QFETCH(int, through);
        QFETCH(QString, error);
        TfrmPrint dialog(m_app->loadDocument(), m_app->dialogs, kToday);
        dialog.setMode(TfrmPrint::Mode::Print);
        child<QRadioButton>(&dialog, "rbDate")->setChecked(true);
        child<DateField>(&dialog, "dt2")->setDate(kToday.addDays(through));
        child<QCheckBox>(&dialog, "cbDone")->setChecked(kinds.contains(QLatin1Char('D')));
        child<QCheckBox>(&dialog, "cbNotDone")->setChecked(kinds.contains(QLatin1Char('N')));
        child<QCheckBox>(&dialog, "cbNonDate")->setChecked(kinds.contains(QLatin1Char('T')));
        dialog.btOKClick();
        QCOMPARE(m_app->dialogs.errors, error.isEmpty() ? QStringList() : QStringList { error });
        QCOMPARE(dialog.result(), error.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
    }

    void printASelection()
    {
        auto window = makeWindow();
        whenSelectionShows([](TfrmPrint *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Print tasks"));
            chooseToday(dialog, QStringLiteral("DT"));
        });
        window->actions().Print1->trigger();
        QCOMPARE(m_app->printer.jobs.size(), 1);
        const RecordingPrinter::Job &job = m_app->printer.jobs[0];
        QCOMPARE(job.orientation, PrintOrientation::Portrait);
        const QStringList texts = printedTexts(job.surface);
        QVERIFY(texts.contains(QStringLiteral(" Tasks for ALL dates")));
        QVERIFY(texts.contains(QStringLiteral("today-done")));
        QVERIFY(texts.contains(QStringLiteral("1/31/2026")));
        // Every to-do task in use, whatever its done state; no open or other day's task.
        QVERIFY(texts.contains(QStringLiteral("todo-one")));
        QVERIFY(texts.contains(QStringLiteral("todo-two")));
        for (const char *absent : { "today-open", "before", "after" })
            QVERIFY2(!texts.contains(QLatin1String(absent)), absent);
        QCOMPARE(window->outputCommands()->gridPrint().rowCount(), 2);
        // The choices stay for the next use.
        QCOMPARE(window->outputCommands()->selection().allDates, false);
    }

    void cancellingPrintsNothing_data()
    {
        QTest::addColumn<bool>("selectionOk");
        QTest::addColumn<int>("printDialogs");
        QTest::newRow("selection cancelled") << false << 0;
        QTest::newRow("print dialog cancelled") << true << 1;
    }
    void cancellingPrintsNothing()
    {
        QFETCH(bool, selectionOk);
        QFETCH(int, printDialogs);
        auto window = makeWindow();
        m_app->printer.accept = false;
        whenSelectionShows([selectionOk](TfrmPrint *dialog) {
            if (selectionOk)
                QTest::mouseClick(child<QPushButton>(dialog, "btOK"), Qt::LeftButton);
            else
                QTest::mouseClick(child<QPushButton>(dialog, "btCancel"), Qt::LeftButton);
        });
        window->actions().Print1->trigger();
        QCOMPARE(m_app->printer.dialogsShown, printDialogs);
        QVERIFY(m_app->printer.jobs.isEmpty());
        QCOMPARE(window->outputCommands()->gridPrint().rowCount(), 2);
    }

    void printTheLists_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("dayList");
        QTest::newRow("day toolbar") << "btPrintDay" << true;
        QTest::newRow("day list menu") << "gridDayPopup" << true;
        QTest::newRow("to-do toolbar") << "btPrintTodo" << false;
        QTest::newRow("to-do list menu") << "gridNondayPopup" << false;
    }
    void printTheLists()
    {
        QFETCH(QString, command);
        QFETCH(bool, dayList);
        auto window = makeWindow();
        const MainActions &a = window->actions();
        QAction *action = command == QLatin1String("btPrintDay") ? a.btPrintDay
            : command == QLatin1String("gridDayPopup")           ? a.gridDayPopup.print
            : command == QLatin1String("btPrintTodo")            ? a.btPrintTodo
                                                                 : a.gridNondayPopup.print;
        QVERIFY(action->isEnabled());
        action->trigger();
        QCOMPARE(m_app->printer.jobs.size(), 1);
        const QStringList texts = printedTexts(m_app->printer.jobs[0].surface);
        const QString title = dayList ? QLatin1Char(' ') + window->dateHeadingText() : QStringLiteral(" To-do Tasks");
        QCOMPARE(texts.first(), title);
        QCOMPARE(texts.at(1), QStringLiteral("1/31/2026 ")); // the date, bottom left
        QCOMPARE(texts.contains(QStringLiteral("today-open")), dayList);
        QCOMPARE(texts.contains(QStringLiteral("todo-one")), !dayList);
        QVERIFY(!texts.contains(QStringLiteral("before")));
    }

    void clearARange_data()
    {
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<QStringList>("storeLeft");
        QTest::addColumn<QStringList>("todoLeft");
        QTest::newRow("today's tasks") << "DN" << QStringList { "before", "after" }
                                       << QStringList { "todo-one", "todo-two" };
        QTest::newRow("today's done tasks")
            << "D" << QStringList { "before", "today-open", "after" } << QStringList { "todo-one", "todo-two" };
        QTest::newRow("to-do tasks only")
            << "T" << QStringList { "before", "today-done", "today-open", "after" } << QStringList { "" };
    }
    void clearARange()
    {
        QFETCH(QString, kinds);
        QFETCH(QStringList, storeLeft);
        QFETCH(QStringList, todoLeft);
        auto window = makeWindow();
        QVERIFY(writeBytes(m_app->data(QStringLiteral("gridComp.grd")), "kept as it is"));
        const QByteArray storeBefore = gridFileBytes(m_app->document->store());
        const QByteArray todoBefore = gridFileBytes(m_app->document->todoList());
        whenSelectionShows([kinds](TfrmPrint *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Clear tasks"));
            chooseToday(dialog, kinds);
        });
        window->actions().Clear1->trigger();
        QVERIFY(m_app->dialogs.questions.isEmpty());
        QVERIFY(m_app->dialogs.errors.isEmpty());
        QCOMPARE(columnOnDisk(m_app->data(QStringLiteral("grid.grd")), store::What), storeLeft);
        QCOMPARE(columnOnDisk(m_app->data(QStringLiteral("gridNon.grd")), todo::What), todoLeft);
        QCOMPARE(readAll(m_app->data(QStringLiteral("gridComp.grd"))), QByteArray("kept as it is"));
        // The two files as they were are kept, and the message names them.
        const QString stamp = kToday.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("-100000");
        const QString storeKept = m_app->data(QStringLiteral("grid.grd.before-clear-") + stamp);
        const QString todoKept = m_app->data(QStringLiteral("gridNon.grd.before-clear-") + stamp);
        QCOMPARE(readAll(storeKept), storeBefore);
        QCOMPARE(readAll(todoKept), todoBefore);
        QCOMPARE(m_app->dialogs.infos,
            QStringList { QStringLiteral("The data as it was before clearing is kept as ") + storeKept
                + QStringLiteral(" and ") + todoKept + QLatin1Char('.') });
        // The day list shows what is left of today.
        const CellTable &list = m_app->document->dayList();
        QStringList shown;
        for (int r = 1; r < list.rowCount(); ++r)
            shown << list.cell(daylist::What, r);
        QStringList today = storeLeft.filter(QStringLiteral("today"));
        QCOMPARE(shown, today.isEmpty() ? QStringList { "" } : today);
        QVERIFY(m_app->printer.jobs.isEmpty());
    }

    void clearEverything()
    {
        auto window = makeWindow();
        auto look = [&window](int offset) { return window->cellLook(1, kToday.addDays(offset)).background; };
        QVERIFY(look(-1) != look(-5));
        whenSelectionShows(
            [](TfrmPrint *dialog) { QTest::mouseClick(child<QPushButton>(dialog, "btOK"), Qt::LeftButton); });
        window->actions().Clear1->trigger();
        QCOMPARE(columnOnDisk(m_app->data(QStringLiteral("grid.grd")), store::What), QStringList { "" });
        QCOMPARE(columnOnDisk(m_app->data(QStringLiteral("gridNon.grd")), todo::What), QStringList { "" });
        QCOMPARE(m_app->document->dayList().rowCount(), 2);
        QVERIFY(m_app->document->dayList().isRowBlank(1));
        QCOMPARE(look(-1), look(-5));
    }

    void theHolidayListAndTheLogPrint()
    {
        auto window = makeWindow();
        TfrmHoliday holidays(*m_app->document, m_app->services());
        QTest::mouseClick(child<QPushButton>(&holidays, "btPrint"), Qt::LeftButton);
        window->storeCommands()->completeWindow()->printAction()->trigger();
        QCOMPARE(m_app->printer.jobs.size(), 2);
        const RecordingPrinter::Job &holidayJob = m_app->printer.jobs[0];
        QCOMPARE(printedTexts(holidayJob.surface).first(), QStringLiteral(" Holidays"));
        QVERIFY(!holidayJob.surface.lines.isEmpty());
        const RecordingPrinter::Job &logJob = m_app->printer.jobs[1];
        QCOMPARE(logJob.orientation, PrintOrientation::Landscape);
        QVERIFY(printedTexts(logJob.surface).contains(QStringLiteral(" Completed Tasks")));
    }

    // Each of the program's tables printed to a real PDF file.
    void realPdf_data()
    {
        QTest::addColumn<QString>("table");
        for (const char *name : { "print", "day", "todo", "completed", "holidays" })
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void realPdf()
    {
        QFETCH(QString, table);
        CellTable cells(3, 3);
        const QStringList texts { "Name", "When", "What", "First", "9:00 AM", "Two lines\r\nof notes", "Second", "",
            "x" };
        for (int i = 0; i < texts.size(); ++i)
            cells.setCell(i % 3, i / 3, texts[i]);
        const TablePrintSettings settings = table == QLatin1String("print") ? tableprint::printTableSettings()
            : table == QLatin1String("day")                                 ? tableprint::dayListSettings("Saturday")
            : table == QLatin1String("todo")                                ? tableprint::todoListSettings()
            : table == QLatin1String("completed")                           ? tableprint::completedLogSettings()
                                                                            : tableprint::holidayListSettings();
        RegionalSettings regional = RegionalSettings::englishUS();
        fix2000(regional);
        const QString path = m_app->data(table + QStringLiteral(".pdf"));
        QVERIFY(QtPrinter::printToPdf(path, settings.orientation, [&](PrintSurface &surface) {
            QVERIFY(surface.pageWidth() > 1800);
            printTable(surface, cells, settings, QDateTime(kToday, QTime(10, 0)), regional);
        }));
        const QByteArray pdf = readAll(path);
        QVERIFY(pdf.startsWith("%PDF"));
        QVERIFY(pdf.size() > 1000);
    }
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
