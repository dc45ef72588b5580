#include "appfixture.h"
#include "platform/qtdialogs.h"
#include "schedule/edholiday.h"
#include "schedule/holiday.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "shell/trayicon.h"
#include "shell/version.h"
#include "store/gridfile.h"
#include "store/todolist.h"
#include "testfiles.h"
#include "text/regional.h"
#include "text/texthelpers.h"
#include "widgethelpers.h"
#include "widgets/calendarstrip.h"
#include "widgets/datenavigator.h"
#include "widgets/gridview.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSplitter>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

namespace {

void addTask(CellTable &store, int row, const QString &key, const QString &what)
{
    const QStringList cells { key, QStringLiteral("9:00 AM"), QString(), what, QStringLiteral("No"),
        QStringLiteral("No") };
    for (int c = 0; c < cells.size(); ++c)
        store.setCell(c, row, cells[c]);
}

// A store file holding tasks of one day, in order.
void writeDay(const QString &path, QDate day, const QStringList &whats)
{
    CellTable table = store::newStore();
    table.setRowCount(int(whats.size()) + 1);
    for (int i = 0; i < whats.size(); ++i)
        addTask(table, i + 1, store::makeKey(datevalue::dayNumber(day), 101 + i), whats[i]);
    QVERIFY(writeGridFile(table, path).ok);
}

// Acts on the modal window of type T as soon as it is up; another one is closed and fails
// the test, so nothing waits on a window nobody closes.
template <typename T> void whenModalShows(std::function<void(T *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *window = qobject_cast<T *>(modal);
        if (!window) {
            if (modal)
                modal->close();
            QFAIL("the expected dialog is not showing");
        }
        act(window);
    });
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;

    QString data(const QString &name) const { return m_app->data(name); }

    std::unique_ptr<TfrmMain> makeWindow()
    {
        if (!m_app->document)
            m_app->loadDocument();
        return std::make_unique<TfrmMain>(*m_app->document, m_app->services());
    }

    std::unique_ptr<TfrmMain> shownWindow()
    {
        auto window = makeWindow();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("the window was not exposed");
        return window;
    }

private Q_SLOTS:
    void init() { m_app = std::make_unique<AppFixture>(QDateTime(version::buildDate(), QTime(10, 30))); }

    void firstRunCreatesBothFilesAtClose()
    {
        auto window = makeWindow();
        QCOMPARE(m_app->document->store().rowCount(), 4);
        QCOMPARE(m_app->document->todoList().cell(todo::What, 0), QStringLiteral("What"));
        QVERIFY(!QFile::exists(data(QStringLiteral("grid.grd"))));
        window->show();
        window->close();
        QCOMPARE(readAll(data(QStringLiteral("grid.grd"))),
            QByteArray("6,1\r\ncw 0,64\r\ncw 1,64\r\ncw 2,64\r\ncw 3,64\r\ncw 4,64\r\ncw 5,64\r\n"));
        CellTable todo;
        QVERIFY(readGridFile(todo, data(QStringLiteral("gridNon.grd"))).ok());
        QCOMPARE(todo.rowCount(), 2);
        QCOMPARE(todo.cell(todo::Done, 0), QStringLiteral("Done?"));
        QVERIFY(m_app->dialogs.errors.isEmpty());
        QVERIFY(m_app->dialogs.plain.isEmpty()); // built today: no staleness notice
    }

    void minimiseWritesTheStoreUnsortedAndCloseSorted()
    {
        auto window = makeWindow();
        CellTable &store = m_app->document->store();
        addTask(store, 1, QStringLiteral("36526.101"), QStringLiteral("later"));
        addTask(store, 3, QStringLiteral("36525.101"), QStringLiteral("earlier")); // rows 2 and 4 blank
        m_app->document->todoList().setCell(todo::What, 1, QStringLiteral("Buy paint"));
        window->show();

        window->setWindowState(Qt::WindowMinimized);
        QCoreApplication::processEvents();
        QCOMPARE(readAll(data(QStringLiteral("grid.grd"))), gridFileBytes(store));
        QVERIFY(readAll(data(QStringLiteral("grid.grd"))).startsWith("6,4\r\n"));
        QVERIFY(readAll(data(QStringLiteral("gridNon.grd"))).contains("1,1,Buy paint\r\n"));

        window->close();
        CellTable saved;
        QVERIFY(readGridFile(saved, data(QStringLiteral("grid.grd"))).ok());
        QCOMPARE(saved.rowCount(), 3);
        QCOMPARE(saved.cell(store::What, 1), QStringLiteral("earlier"));
        QCOMPARE(saved.cell(store::What, 2), QStringLiteral("later"));
    }

    void closeWritesTheLayoutValues()
    {
        m_app->settings->setLayoutValue(QStringLiteral("Split1"), QStringLiteral("abc")); // unreadable: skipped
        m_app->settings->setLayoutValue(QStringLiteral("SplitDay"), QStringLiteral("120"));
        auto window = makeWindow();
        QCOMPARE(window->layout().split1, WindowLayout::kDefaultSplit1);
        QCOMPARE(window->layout().splitDay, 120);
        QCOMPARE(window->layout().split2, WindowLayout::kDefaultSplit2);
        // The default width is below the smallest the window allows (637 at 96 dpi).
        QCOMPARE(window->width(), std::max(WindowLayout::kDefaultClientWidth, window->minTrackWidth()));
        QCOMPARE(window->clientHeight(), WindowLayout::kDefaultClientHeight);
        window->show();
        window->close();
        const QStringList names { "Split2", "ClientHeight", "ClientWidth", "Split1", "SplitDay" };
        const QStringList values { "296", "450", QString::number(window->width()), "314", "120" };
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(m_app->settings->layoutValue(names[i]).value_or(QString()), values[i]);
    }

    // A kept size from a larger screen is cut to this one, leaving room for the title bar,
    // so that the status line and the edges are on the screen.
    void aKeptSizeLargerThanTheScreenIsMadeToFit()
    {
        m_app->settings->setLayoutValue(QStringLiteral("ClientHeight"), QStringLiteral("2000"));
        m_app->settings->setLayoutValue(QStringLiteral("ClientWidth"), QStringLiteral("3000"));
        auto window = shownWindow();
        const QRect screen = window->screen()->availableGeometry();
        const int title = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window.get());
        QVERIFY(window->width() <= screen.width());
        QVERIFY(window->height() + title <= screen.height());
        QVERIFY(window->height() >= window->minimumHeight());
        QVERIFY(window->clientHeight() > WindowLayout::kDefaultClientHeight / 2);
    }

    // A maximised window's positions are not the normal window's: what is saved is what the
    // restored window shows, and a kept value that leaves a pane no room is not used.
    void theSavedLayoutIsTheNormalWindowOnScreen()
    {
        auto window = shownWindow();
        auto *split2 = window->findChild<QSplitter *>(QStringLiteral("split2"));
        window->showMaximized();
        QTRY_VERIFY(window->isMaximized());
        split2->setSizes({ 385, std::max(split2->height() - 385, 0) });
        Q_EMIT split2->splitterMoved(385, 1);
        window->showNormal();
        QTRY_VERIFY(!window->isMaximized());
        QTRY_COMPARE(window->clientHeight(), WindowLayout::kDefaultClientHeight);
        const int onScreen = split2->sizes().value(0);
        window->close();
        QCOMPARE(m_app->settings->layoutValue(QStringLiteral("Split2")).value_or(QString()), QString::number(onScreen));

        m_app->settings->setLayoutValue(QStringLiteral("Split2"), QStringLiteral("5000"));
        auto again = shownWindow();
        QCOMPARE(again->layout().split2, WindowLayout::kDefaultSplit2);
        QVERIFY(again->findChild<QSplitter *>(QStringLiteral("split2"))->sizes().value(1) > 0);
    }

    // As short as its parts allow, well under its first height; not shorter, where the
    // calendars would lose their font and the lists their rows.
    void theWindowCanBeMadeShort()
    {
        auto window = shownWindow();
        window->resize(window->width(), 220);
        QTRY_COMPARE(window->height(), window->minimumHeight());
        QVERIFY(window->minimumHeight() < WindowLayout::kDefaultClientHeight * 3 / 4);
        QCOMPARE(window->minimumHeight(), window->minimumSizeHint().height());
    }

    void unreadableStoreIsReportedAndKeptAside()
    {
        const QByteArray damaged("6,2000000000\r\n0,1,36525.101\r\n");
        QVERIFY(writeBytes(data(QStringLiteral("grid.grd")), damaged));

        auto window = makeWindow();
        QCOMPARE(m_app->loaded.size(), 1);
        QVERIFY(m_app->loaded[0].contains(QStringLiteral(" is damaged")));
        window->show();
        window->close();

        const QStringList aside = QDir(m_app->dataFolder()).entryList({ QStringLiteral("grid.grd.damaged-*") });
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readAll(data(aside[0])), damaged);
        QVERIFY(QFile::exists(data(QStringLiteral("grid.grd"))));
    }

    // However the window goes out of sight, the files are saved once: a file that cannot be
    // saved gives one error box, not one per step.
    void failedSaveIsReported_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("the save itself") << QStringLiteral("save");
        QTest::newRow("Hide") << QStringLiteral("hide");
        QTest::newRow("minimise") << QStringLiteral("minimise");
    }
    void failedSaveIsReported()
    {
        QFETCH(QString, how);
        auto window = shownWindow();
        // A folder in the place of the file: the save cannot replace it.
        QVERIFY(QDir().mkpath(data(QStringLiteral("gridNon.grd"))));
        if (how == QLatin1String("save"))
            window->TrayIconAppMinimize();
        else if (how == QLatin1String("hide"))
            window->Hide1Click();
        else
            window->setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(window->isMinimized() || !window->isVisible() || how == QLatin1String("save"));
        QTest::qWait(50); // anything posted has run
        QCOMPARE(m_app->dialogs.errors.size(), 1);
        QVERIFY(m_app->dialogs.errors[0].startsWith(
            QStringLiteral("Couldn't save ") + data(QStringLiteral("gridNon.grd"))));
        QVERIFY(QDir().rmdir(data(QStringLiteral("gridNon.grd"))));
    }

    // A store that cannot be saved at close is never dropped without the user's word.
    void aFailedSaveAtCloseAsks_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("retry after the cause is gone") << 0 << true << true;
        QTest::newRow("quit anyway") << 1 << true << false;
        QTest::newRow("cancel") << 2 << false << false;
        QTest::newRow("box closed") << -1 << false << false;
    }
    void aFailedSaveAtCloseAsks()
    {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        auto window = shownWindow();
        m_app->document->todoList().setCell(todo::What, 1, QStringLiteral("Buy paint"));
        const QString todoPath = data(QStringLiteral("gridNon.grd"));
        QVERIFY(QDir().mkpath(todoPath));
        if (answer == 0) // the user frees the name while the question is up
            m_app->dialogs.onQuestion = [todoPath](const QString &) { QDir().rmdir(todoPath); };
        m_app->dialogs.choiceAnswers = { answer };
        QCOMPARE(window->close(), closed);
        QCOMPARE(m_app->dialogs.questions.size(), 1);
        QVERIFY(m_app->dialogs.questions[0].startsWith(QStringLiteral("Couldn't save ") + todoPath));
        QCOMPARE(readAll(todoPath).contains("Buy paint"), saved);
        if (!closed) {
            QVERIFY(window->isVisible());
            QVERIFY(window->timerPool().isEnabled(window->trigger(1))); // the program goes on
        }
        QDir().rmdir(todoPath);
    }

    // The session manager's "commit your data" saves everything, asks nobody and lets the
    // program go on; what cannot be saved is kept beside the data.
    void committingTheDataForTheSessionSavesAndGoesOn()
    {
        auto window = shownWindow();
        m_app->document->todoList().setCell(todo::What, 1, QStringLiteral("Buy paint"));
        window->commitData();
        QVERIFY(readAll(data(QStringLiteral("gridNon.grd"))).contains("Buy paint"));
        QVERIFY(QFile::exists(data(QStringLiteral("grid.grd"))));
        QVERIFY(window->isVisible());
        QVERIFY(window->timerPool().isEnabled(window->trigger(1))); // the alarm check goes on
        m_app->document->todoList().setCell(todo::What, 1, QStringLiteral("Buy white paint"));
        QVERIFY(QFile::remove(data(QStringLiteral("gridNon.grd"))));
        QVERIFY(QDir().mkpath(data(QStringLiteral("gridNon.grd"))));
        window->commitData();
        QVERIFY(m_app->dialogs.questions.isEmpty());
        QVERIFY(m_app->dialogs.errors.isEmpty());
        const QStringList kept
            = QDir(m_app->document->dataFolder()).entryList({ QStringLiteral("gridNon.grd.unsaved-*") });
        QCOMPARE(kept.size(), 1);
        QVERIFY(readAll(data(kept[0])).contains("Buy white paint"));
        QVERIFY(window->isVisible());
        QVERIFY(QDir().rmdir(data(QStringLiteral("gridNon.grd"))));
    }

    void aSignalCloseKeepsWhatCannotBeSavedAndTheNextStartSaysSo()
    {
        auto window = shownWindow();
        m_app->document->todoList().setCell(todo::What, 1, QStringLiteral("Buy paint"));
        QVERIFY(QDir().mkpath(data(QStringLiteral("gridNon.grd"))));
        window->closeUnattended();
        QVERIFY(!window->isVisible());
        QVERIFY(m_app->dialogs.questions.isEmpty());
        QVERIFY(m_app->dialogs.errors.isEmpty());
        const QStringList kept = QDir(m_app->dataFolder()).entryList({ QStringLiteral("gridNon.grd.unsaved-*") });
        QCOMPARE(kept.size(), 1);
        CellTable copy;
        QVERIFY(readGridFile(copy, data(kept[0])).ok());
        QCOMPARE(copy.cell(todo::What, 1), QStringLiteral("Buy paint"));

        QVERIFY(QDir().rmdir(data(QStringLiteral("gridNon.grd"))));
        m_app->loadDocument();
        QCOMPARE(m_app->loaded.size(), 1);
        QVERIFY(m_app->loaded[0].contains(data(kept[0])));
    }

    // A start hidden in the tray has everything the shown window would have.
    void aHiddenStartIsComplete()
    {
        const QDate today = version::buildDate();
        writeDay(data(QStringLiteral("grid.grd")), today, { QStringLiteral("one"), QStringLiteral("two") });
        CellTable rules(holidays::ColumnCount, 2);
        rules.setCell(holidays::Name, 1, QStringLiteral("Founders' Day"));
        rules.setCell(holidays::MonthName, 1, RegionalSettings::englishUS().monthNames[today.month() - 1]);
        rules.setCell(holidays::DayRule, 1, QString::number(today.day()));
        QVERIFY(writeGridFile(rules, data(QStringLiteral("holiday.grd"))).ok);

        auto window = makeWindow();
        window->startHidden();
        QVERIFY(!window->isVisible() || window->isMinimized());
        QCOMPARE(window->activeCalendar(), 1);
        QCOMPARE(window->selectedDay(), today);
        QCOMPARE(window->dayView()->table()->rowCount(), 3);
        QVERIFY(window->dateHeadingText().startsWith(QStringLiteral("Founders' Day")));
        QVERIFY(window->timerPool().isEnabled(window->trigger(1))); // the alarm check runs
        QCOMPARE(window->calendar(0)->month(), today.addMonths(-1).month());
    }

    // The holiday command opens the list; a rule added there for today names the day in the
    // heading as soon as the list is closed.
    void theHolidayListRenamesTheDay()
    {
        auto window = shownWindow();
        const QString heading = window->dateHeadingText();
        QVERIFY(!heading.startsWith(QStringLiteral("Founders' Day")));
        bool listed = false;
        whenModalShows<TfrmHoliday>([&listed](TfrmHoliday *list) {
            listed = true;
            // The editor offers today's month and day to begin with.
            whenModalShows<TfrmEditHoliday>([](TfrmEditHoliday *editor) {
                QTest::keyClicks(
                    editor->findChild<QLineEdit *>(QStringLiteral("edName")), QStringLiteral("Founders' Day"));
                editor->findChild<QPushButton *>(QStringLiteral("btOK"))->click();
            });
            list->findChild<QPushButton *>(QStringLiteral("btAdd"))->click();
            list->findChild<QPushButton *>(QStringLiteral("btClose"))->click();
        });
        window->actions().Holidays1->trigger();
        QVERIFY(listed);
        QVERIFY2(window->dateHeadingText().startsWith(QStringLiteral("Founders' Day")),
            qPrintable(window->dateHeadingText()));
        QVERIFY(QFile::exists(data(QStringLiteral("holiday.grd"))));
    }

    // Every change of the selected day first writes back an edited note.
    void aTypedNoteSurvivesAnyChangeOfDay_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("navigator") << "navigator";
        QTest::newRow("next month") << "month";
        QTest::newRow("prior year") << "year";
    }
    void aTypedNoteSurvivesAnyChangeOfDay()
    {
        QFETCH(QString, how);
        const QDate today = version::buildDate();
        writeDay(data(QStringLiteral("grid.grd")), today, { QStringLiteral("Buy paint") });
        auto window = shownWindow();
        QPlainTextEdit *notes = window->notesPane();
        QVERIFY(notes->isVisible());
        notes->setFocus();
        QTest::keyClick(notes, Qt::Key_End);
        QTest::keyClicks(notes, QStringLiteral(", white"));
        if (how == QLatin1String("navigator"))
            window->calendars()->navigator()->button(DateNavigator::Step::NextDay)->click();
        else if (how == QLatin1String("month"))
            window->actions().NextMonth1->trigger();
        else
            window->actions().PriorYear1->trigger();
        QVERIFY(window->selectedDay() != today);
        const int row = store::findDayRow(m_app->document->store(), FilterState(), datevalue::dayNumber(today));
        QCOMPARE(m_app->document->store().cell(store::What, row), QStringLiteral("Buy paint, white"));
    }

    void theNotesPaneShowsANoteLineByLineAndKeepsIt()
    {
        const QString note = QStringLiteral("Buy paint\r\nwhite, 2 litres\r\nand a roller\r\n");
        writeDay(data(QStringLiteral("grid.grd")), version::buildDate(), { note });
        auto window = shownWindow();
        QPlainTextEdit *notes = window->notesPane();
        QCOMPARE(notes->toPlainText(), QStringLiteral("Buy paint\nwhite, 2 litres\nand a roller"));
        // Readable in a dark theme too: the pane sets its text colour with its background.
        QCOMPARE(notes->palette().color(QPalette::Base), QColor(248, 252, 201));
        QCOMPARE(notes->palette().color(QPalette::Text), QColor(Qt::black));

        notes->setFocus();
        QTest::keyClick(notes, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(notes, Qt::Key_Backspace);
        QTest::keyClicks(notes, QStringLiteral("R"));
        window->todoView()->setFocus();
        QCOMPARE(m_app->document->store().cell(store::What, 1),
            QStringLiteral("Buy paint\r\nwhite, 2 litres\r\nand a rolleR\r\n"));
    }

    // A task list shows a note cut short whole in a tool tip, and a note it shows whole
    // (a note as the editor writes it, of four lines) without one.
    void theListsShowACutNoteInATip_data()
    {
        QTest::addColumn<bool>("dayList");
        QTest::newRow("day list") << true;
        QTest::newRow("to-do list") << false;
    }
    void theListsShowACutNoteInATip()
    {
        QFETCH(bool, dayList);
        const QString fourLines = memoToText({ "1", "2", "3", "4" });
        const QString longWord(200, QLatin1Char('w'));
        if (dayList) {
            writeDay(data(QStringLiteral("grid.grd")), version::buildDate(), { fourLines, longWord });
        } else {
            CellTable todo = newTodoList();
            todo.setRowCount(3);
            todo.setCell(todo::What, 1, fourLines);
            todo.setCell(todo::What, 2, longWord);
            QVERIFY(writeGridFile(todo, data(QStringLiteral("gridNon.grd"))).ok);
        }
        auto window = shownWindow();
        GridView *list = dayList ? window->dayView() : window->todoView();
        const int what = dayList ? int(daylist::What) : int(todo::What);
        QCOMPARE(toolTipOfCell(list, list->model()->index(0, what)), QString());
        QCOMPARE(toolTipOfCell(list, list->model()->index(1, what)), QStringLiteral("<qt>") + longWord);
    }

    // A click on a list's header sorts it and the header shows by which column and which
    // way; a second click on the same column turns both.
    void theListsShowHowAClickSortedThem_data()
    {
        QTest::addColumn<bool>("dayList");
        QTest::newRow("day list") << true;
        QTest::newRow("to-do list") << false;
    }
    void theListsShowHowAClickSortedThem()
    {
        QFETCH(bool, dayList);
        const QStringList whats { "b", "c", "a" };
        if (dayList) {
            writeDay(data(QStringLiteral("grid.grd")), version::buildDate(), whats);
        } else {
            CellTable todo = newTodoList();
            todo.setRowCount(int(whats.size()) + 1);
            for (int r = 0; r < whats.size(); ++r)
                todo.setCell(todo::What, r + 1, whats[r]);
            QVERIFY(writeGridFile(todo, data(QStringLiteral("gridNon.grd"))).ok);
        }
        auto window = shownWindow();
        GridView *list = dayList ? window->dayView() : window->todoView();
        const int what = dayList ? int(daylist::What) : int(todo::What);
        QHeaderView *header = list->horizontalHeader();
        QVERIFY(!header->isSortIndicatorShown());
        auto clickWhat = [header, what] {
            const QPoint centre(
                header->sectionViewportPosition(what) + header->sectionSize(what) / 2, header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
        };
        auto shownWhats = [list, what] {
            QStringList texts;
            for (int r = 0; r < list->model()->rowCount(); ++r)
                texts << list->model()->index(r, what).data().toString();
            return texts;
        };
        clickWhat();
        QCOMPARE(shownWhats(), (QStringList { "a", "b", "c" }));
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), what);
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        clickWhat();
        QCOMPARE(shownWhats(), (QStringList { "c", "b", "a" }));
        QCOMPARE(header->sortIndicatorSection(), what);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    }

    void altHHidesTheWindow()
    {
        auto window = shownWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(!window->isVisible() || window->isMinimized());
    }

    void messageBoxesStandOverTheWindowThatAsked()
    {
        auto window = shownWindow();
        QtDialogs dialogs(window.get());
        QCOMPARE(dialogs.owner(), window.get());
        QDialog asking(window.get());
        asking.setModal(true);
        asking.show();
        QVERIFY(QTest::qWaitForWindowExposed(&asking));
        QCOMPARE(dialogs.owner(), &asking);
    }

    void fiveTriggersInOrder()
    {
        auto window = makeWindow();
        // The alarm check is set to the start of the next minute (a quarter second in), at
        // most a minute away; the others run at their intervals.
        const qint64 intoMinute = m_app->clock.now().toMSecsSinceEpoch() % 60000;
        const int intervals[5] = { int(60000 - intoMinute) + 250, 1000, 40, 120, 1000 };
        QCOMPARE(window->timerPool().count(), 5);
        for (int order = 1; order <= 5; ++order) {
            QCOMPARE(window->timerPool().interval(window->trigger(order)), intervals[order - 1]);
            QVERIFY(window->timerPool().isEnabled(window->trigger(order)));
        }
        window->show();
        window->close();
        for (int order = 1; order <= 5; ++order)
            QVERIFY(!window->timerPool().isEnabled(window->trigger(order)));
    }

    void statusClockShowsTodayAndFollowsTheClock()
    {
        m_app->clock.set(QDateTime(QDate(2026, 12, 9), QTime(14, 5, 9)));
        auto window = shownWindow();
        QCOMPARE(window->statusText(), QStringLiteral("Today is Wednesday, December 9, 2026 2:05 PM"));
        m_app->clock.set(QDateTime(QDate(2026, 12, 10), QTime(9, 0, 0)));
        window->timerPoolAllTriggers(window->trigger(5));
        QCOMPARE(window->statusText(), QStringLiteral("Today is Thursday, December 10, 2026 9:00 AM"));
    }

    // Hidden, the program wakes for the alarm check only; shown again, the status clock
    // says the time at once.
    void hiddenOnlyTheAlarmCheckRuns()
    {
        auto window = shownWindow();
        window->hide();
        QVERIFY(window->timerPool().isEnabled(window->trigger(1)));
        QVERIFY(!window->timerPool().isEnabled(window->trigger(4))); // the pop-up's poll
        QVERIFY(!window->timerPool().isEnabled(window->trigger(5))); // the status clock
        m_app->clock.set(m_app->clock.now().addSecs(3600));
        window->show();
        QVERIFY(window->timerPool().isEnabled(window->trigger(4)));
        QVERIFY(window->timerPool().isEnabled(window->trigger(5)));
        QVERIFY2(window->statusText().endsWith(
                     formatDateValue(QStringLiteral("tt"), m_app->clock.nowValue(), m_app->document->regional())),
            qPrintable(window->statusText()));
    }

    // A window left open over midnight: when today was shown, the new today is, its tasks
    // and its heading; another day shown stays, and its heading says what it now is.
    void midnightMovesTodayOn_data()
    {
        QTest::addColumn<int>("shown"); // days from the first day
        QTest::addColumn<int>("shownAfter");
        QTest::addColumn<QString>("heading"); // how the heading ends after midnight
        QTest::newRow("today shown") << 0 << 1 << "Today";
        QTest::newRow("tomorrow shown") << 1 << 1 << "Today";
        QTest::newRow("a week on shown") << 7 << 7 << "6 days";
    }
    void midnightMovesTodayOn()
    {
        QFETCH(int, shown);
        QFETCH(int, shownAfter);
        QFETCH(QString, heading);
        const QDate first(2026, 12, 9);
        m_app->clock.set(QDateTime(first, QTime(23, 59, 30)));
        auto window = shownWindow();
        window->moveSelectedDay(shown);
        m_app->clock.set(QDateTime(first.addDays(1), QTime(0, 0, 1)));
        window->timerPoolAllTriggers(window->trigger(5));
        QCOMPARE(window->selectedDay(), first.addDays(shownAfter));
        QCOMPARE(m_app->document->shownDay(), datevalue::dayNumber(first.addDays(shownAfter)));
        QVERIFY2(window->dateHeadingText().endsWith(heading), qPrintable(window->dateHeadingText()));
    }

    void stalenessNoticeOnlyForOldBuilds_data()
    {
        QTest::addColumn<int>("daysAfterBuild");
        QTest::addColumn<bool>("notice");
        QTest::newRow("same day") << 0 << false;
        QTest::newRow("a year") << 365 << false;
        QTest::newRow("over a year") << 400 << true;
    }
    void stalenessNoticeOnlyForOldBuilds()
    {
        QFETCH(int, daysAfterBuild);
        QFETCH(bool, notice);
        m_app->clock.set(QDateTime(version::buildDate().addDays(daysAfterBuild), QTime(12, 0)));
        auto window = makeWindow();
        window->show();
        window->close();
        QCOMPARE(m_app->dialogs.plain,
            notice ? QStringList { QStringLiteral(
                "This version is over a year old.  Check https://www.veltrane.example/tallyday for updates") }
                   : QStringList {});
        QVERIFY(QFile::exists(data(QStringLiteral("grid.grd")))); // written before the notice
    }

    void homePageFailureIsReported()
    {
        auto window = makeWindow();
        window->actions().HomePage1->trigger();
        QCOMPARE(m_app->opener.opened, QStringList { QStringLiteral("https://www.veltrane.example/tallyday") });
        QVERIFY(m_app->dialogs.errors.isEmpty());
        m_app->opener.succeed = false;
        window->actions().HomePage1->trigger();
        QCOMPARE(m_app->dialogs.errors, QStringList { QStringLiteral("Couldn't open web browser for home page") });
    }

    void helpOpensTheMainTopic()
    {
        auto window = makeWindow();
        window->actions().Help2->trigger();
        QCOMPARE(m_app->help.topics, QList<int> { 100 });
    }

    void hideAndShowAreRunAfterTheCommand()
    {
        auto window = shownWindow();
        window->Hide1Click();
        QVERIFY(window->isVisible()); // posted: nothing happens inside the command
        QTRY_VERIFY(window->isMinimized() || !window->isVisible());
        QVERIFY(QFile::exists(data(QStringLiteral("gridNon.grd"))));
        window->showFromTray();
        QTRY_VERIFY(window->isVisible() && !window->isMinimized());
    }

    // Sent to the tray (or minimised) with a modal dialog open, the window comes back with the
    // dialog on top of it, by a tray click or by a second start alike.
    void aModalDialogComesBackOnTopOfTheWindow()
    {
        auto window = shownWindow();
        bool dialogBack = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            window->hide(); // to the tray
            dialog->showMinimized(); // as a window manager takes a dialog along with its window
            window->showFromTray();
            // The showing is posted.
            dialogBack = QTest::qWaitFor([&] {
                return window->isVisible() && dialog->isVisible() && !dialog->isMinimized()
                    && QApplication::activeWindow() == dialog;
            });
            dialog->reject();
        });
        QDialog dialog(window.get());
        dialog.exec();
        QVERIFY(dialogBack);
    }

    // While a modal dialog blocks the icon's window, its presses are read from the X events.
    void aTrayPressReachesTheProgramPastAModalDialog()
    {
        TrayIcon tray(QIcon {});
        tray.isIconWindow = [](quintptr window) { return window == 4242; };
        xcb_button_press_event_t press {};
        press.response_type = XCB_BUTTON_PRESS;
        press.event = 4242;
        const QByteArray xcb("xcb_generic_event_t");
        QVERIFY(!tray.nativeEventFilter(xcb, &press, nullptr));
        QVERIFY(!tray.clickPending()); // no dialog: Qt reports the click itself

        bool pendingPastTheDialog = false;
        bool otherWindowsIgnored = false;
        QTimer::singleShot(0, [&] {
            auto other = press;
            other.event = 17;
            tray.nativeEventFilter(xcb, &other, nullptr);
            otherWindowsIgnored = !tray.clickPending();
            tray.nativeEventFilter(xcb, &press, nullptr);
            pendingPastTheDialog = tray.clickPending();
            QApplication::activeModalWidget()->close();
        });
        QDialog dialog;
        dialog.exec();
        QVERIFY(otherWindowsIgnored);
        QVERIFY(pendingPastTheDialog);
    }

    // Qt takes the pointer through the X Input extension; a core press may come too.
    void aTrayPressIsReadFromEitherKindOfXEvent()
    {
        constexpr int xinput = 131;
        xcb_button_press_event_t core {};
        core.response_type = XCB_BUTTON_PRESS | 0x80; // sent by another client
        core.event = 4242;
        QCOMPARE(TrayIcon::pressedWindow(&core, xinput), quintptr(4242));
        xcb_input_button_press_event_t generic {};
        generic.response_type = XCB_GE_GENERIC;
        generic.extension = xinput;
        generic.event_type = XCB_INPUT_BUTTON_PRESS;
        generic.event = 4243;
        QCOMPARE(TrayIcon::pressedWindow(&generic, xinput), quintptr(4243));
        QCOMPARE(TrayIcon::pressedWindow(&generic, 0), quintptr(0)); // no such extension
        generic.event_type = XCB_INPUT_BUTTON_RELEASE;
        QCOMPARE(TrayIcon::pressedWindow(&generic, xinput), quintptr(0));
        generic.event_type = XCB_INPUT_BUTTON_PRESS;
        generic.extension = xinput + 1; // another extension's event of the same number
        QCOMPARE(TrayIcon::pressedWindow(&generic, xinput), quintptr(0));
        core.response_type = XCB_KEY_PRESS;
        QCOMPARE(TrayIcon::pressedWindow(&core, xinput), quintptr(0));
    }

    void trayClickWaitsForADoubleClick()
    {
        TrayIcon tray(QIcon {});
        QSignalSpy clicked(&tray, &TrayIcon::clicked);
        QSignalSpy doubleClicked(&tray, &TrayIcon::doubleClicked);
        tray.press();
        QVERIFY(tray.clickPending());
        QTest::qWait(200);
        QCOMPARE(clicked.count(), 0);
        QVERIFY(clicked.wait(1000));
        QCOMPARE(doubleClicked.count(), 0);

        tray.press();
        tray.doubleClick(); // within the wait: only the double click counts
        QCOMPARE(doubleClicked.count(), 1);
        QVERIFY(!tray.clickPending());
        QTest::qWait(TrayIcon::kClickWaitMs + 100);
        QCOMPARE(clicked.count(), 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
