#include "testfiles.h"
#include "settings/settingsstore.h"
#include "shell/mainwindow.h"
#include "shell/trayicon.h"
#include "shell/version.h"
#include "store/gridfile.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

void addTask(CellTable &store, int row, const QString &key, const QString &what)
{
    const QStringList cells{key, QStringLiteral("9:00 AM"), QString(), what, QStringLiteral("No"), QStringLiteral("No")};
    for (int c = 0; c < cells.size(); ++c)
        store.setCell(c, row, cells[c]);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    FixedClock m_clock{QDateTime(version::buildDate(), QTime(10, 30))};
    RecordingDialogs m_dialogs;
    RecordingShellOpener m_opener;
    std::unique_ptr<SettingsStore> m_settings;

    QString data(const QString &name) const { return m_dir->filePath(QStringLiteral("data/") + name); }

    std::unique_ptr<TfrmMain> makeWindow()
    {
        MainServices services{m_clock, m_dialogs, m_opener, *m_settings, m_dir->filePath(QStringLiteral("data")),
                              RegionalSettings::englishUS()};
        return std::make_unique<TfrmMain>(services);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("data"))));
        m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("Task.ini")));
        m_dialogs = RecordingDialogs();
        m_opener = RecordingShellOpener();
        m_clock.set(QDateTime(version::buildDate(), QTime(10, 30)));
    }

    void firstRunCreatesBothFilesAtClose()
    {
        auto window = makeWindow();
        QCOMPARE(window->gridStore.rowCount(), 4);
        QCOMPARE(window->gridNonday.cell(1, 0), QStringLiteral("What"));
        QVERIFY(!QFile::exists(data(QStringLiteral("grid.grd"))));
        window->show();
        window->close();
        QCOMPARE(readAll(data(QStringLiteral("grid.grd"))), QByteArray("6,1\r\ncw 0,64\r\ncw 1,64\r\ncw 2,64\r\ncw 3,64\r\ncw 4,64\r\ncw 5,64\r\n"));
        CellTable todo;
        QVERIFY(readGridFile(todo, data(QStringLiteral("gridNon.grd"))).ok());
        QCOMPARE(todo.rowCount(), 2);
        QCOMPARE(todo.cell(2, 0), QStringLiteral("Done?"));
        QVERIFY(m_dialogs.errors.isEmpty());
        QVERIFY(m_dialogs.plain.isEmpty()); // built today: no staleness notice
    }

    void minimiseWritesTheStoreUnsortedAndCloseSorted()
    {
        auto window = makeWindow();
        CellTable &store = window->gridStore;
        addTask(store, 1, QStringLiteral("36526.101"), QStringLiteral("later"));
        addTask(store, 3, QStringLiteral("36525.101"), QStringLiteral("earlier")); // rows 2 and 4 blank
        window->gridNonday.setCell(1, 1, QStringLiteral("Buy paint"));
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
        QCOMPARE(saved.cell(3, 1), QStringLiteral("earlier"));
        QCOMPARE(saved.cell(3, 2), QStringLiteral("later"));
    }

    void closeWritesTheLayoutValues()
    {
        m_settings->setLayoutValue(QStringLiteral("Split1"), QStringLiteral("abc")); // unreadable: skipped
        m_settings->setLayoutValue(QStringLiteral("SplitDay"), QStringLiteral("120"));
        auto window = makeWindow();
        QCOMPARE(window->split1, TfrmMain::kDefaultSplit1);
        QCOMPARE(window->splitDay, 120);
        QCOMPARE(window->split2, TfrmMain::kDefaultSplit2);
        // The default width is below the smallest the window allows (637 at 96 dpi).
        QCOMPARE(window->width(), std::max(TfrmMain::kDefaultClientWidth, window->minTrackWidth()));
        QCOMPARE(window->clientHeight(), TfrmMain::kDefaultClientHeight);
        window->show();
        window->close();
        const QStringList names{"Split2", "ClientHeight", "ClientWidth", "Split1", "SplitDay"};
        const QStringList values{"296", "450", QString::number(window->width()), "314", "120"};
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(m_settings->layoutValue(names[i]).value_or(QString()), values[i]);
    }

    void unreadableStoreIsReportedAndKeptAside()
    {
        const QByteArray damaged("6,2000000000\r\n0,1,36525.101\r\n");
        QFile file(data(QStringLiteral("grid.grd")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(damaged);
        file.close();

        auto window = makeWindow();
        QCOMPARE(m_dialogs.errors.size(), 1);
        QVERIFY(m_dialogs.errors[0].contains(QStringLiteral(" is damaged")));
        window->show();
        window->close();

        const QStringList aside = QDir(m_dir->filePath(QStringLiteral("data"))).entryList({QStringLiteral("grid.grd.damaged-*")});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readAll(data(aside[0])), damaged);
        QVERIFY(QFile::exists(data(QStringLiteral("grid.grd"))));
    }

    void failedSaveIsReported()
    {
        auto window = makeWindow();
        // A folder in the place of the file: the save cannot replace it.
        QVERIFY(QDir().mkpath(data(QStringLiteral("gridNon.grd"))));
        window->TrayIconAppMinimize();
        QCOMPARE(m_dialogs.errors.size(), 1);
        QVERIFY(m_dialogs.errors[0].startsWith(QStringLiteral("Couldn't save ") + data(QStringLiteral("gridNon.grd"))));
        QVERIFY(QDir().rmdir(data(QStringLiteral("gridNon.grd"))));
    }

    void fiveTriggersInOrder()
    {
        auto window = makeWindow();
        const int intervals[5] = {50000, 1000, 40, 120, 1000};
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
        m_clock.set(QDateTime(QDate(2026, 12, 9), QTime(14, 5, 9)));
        auto window = makeWindow();
        window->show();
        QCOMPARE(window->statusText(), QStringLiteral("Today is Wednesday, December 9, 2026 2:05 PM"));
        m_clock.set(QDateTime(QDate(2026, 12, 10), QTime(9, 0, 0)));
        window->timerPoolAllTriggers(window->trigger(5));
        QCOMPARE(window->statusText(), QStringLiteral("Today is Thursday, December 10, 2026 9:00 AM"));
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
        m_clock.set(QDateTime(version::buildDate().addDays(daysAfterBuild), QTime(12, 0)));
        auto window = makeWindow();
        window->show();
        window->close();
        QCOMPARE(m_dialogs.plain,
                 notice ? QStringList{QStringLiteral("This version is over a year old.  Check https://www.veltrane.example/tallyday for updates")}
                        : QStringList{});
        QVERIFY(QFile::exists(data(QStringLiteral("grid.grd")))); // written before the notice
    }

    void homePageFailureIsReported()
    {
        auto window = makeWindow();
        window->HomePage1Click();
        QCOMPARE(m_opener.opened, QStringList{QStringLiteral("https://www.veltrane.example/tallyday")});
        QVERIFY(m_dialogs.errors.isEmpty());
        m_opener.succeed = false;
        window->HomePage1Click();
        QCOMPARE(m_dialogs.errors, QStringList{QStringLiteral("Couldn't open web browser for home page")});
    }

    void hideAndShowAreRunAfterTheCommand()
    {
        auto window = makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->Hide1Click();
        QVERIFY(window->isVisible()); // posted: nothing happens inside the command
        QTRY_VERIFY(window->isMinimized() || !window->isVisible());
        QVERIFY(QFile::exists(data(QStringLiteral("gridNon.grd"))));
        window->showFromTray();
        QTRY_VERIFY(window->isVisible() && !window->isMinimized());
    }

    void trayClickWaitsForADoubleClick()
    {
        TrayIcon tray(QIcon{});
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
