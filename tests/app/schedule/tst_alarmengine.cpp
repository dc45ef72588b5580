#include "appfixture.h"
#include "schedule/alarmcommands.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "store/gridfile.h"
#include "testfiles.h"
#include "widgets/gridview.h"

#include <QTest>
#include <QTreeWidget>

namespace {

const QDate kToday(2026, 1, 31);

struct TaskLine
{
    QDate day;
    const char *time;
    const char *what;
    const char *alarm = "Yes";
};

} // namespace

class TestAlarmEngine : public QObject
{
    Q_OBJECT

    using List = MainView::List;

    std::unique_ptr<AppFixture> m_app;
    std::unique_ptr<TfrmMain> m_window;

    void writeStore(const QList<TaskLine> &tasks)
    {
        CellTable table = store::newStore();
        table.setRowCount(int(tasks.size()) + 1);
        for (int i = 0; i < tasks.size(); ++i) {
            const QStringList cells { store::makeKey(datevalue::dayNumber(tasks[i].day), 101 + i),
                QLatin1String(tasks[i].time), QString(), QLatin1String(tasks[i].what), QStringLiteral("No"),
                QLatin1String(tasks[i].alarm) };
            for (int c = 0; c < 6; ++c)
                table.setCell(c, i + 1, cells[c]);
        }
        store::compactAndSort(table);
        QVERIFY(writeGridFile(table, m_app->data(QStringLiteral("grid.grd"))).ok);
    }

    // The program at `now`, shown, with a real alarm sound file in the data folder.
    void start(QTime now, bool show = true)
    {
        QVERIFY(writeBytes(m_app->data(QStringLiteral("alarm.wav")), "RIFF"));
        m_app->clock.set(QDateTime(kToday, now));
        m_app->loadDocument();
        m_window = std::make_unique<TfrmMain>(*m_app->document, m_app->services());
        if (show) {
            m_window->show();
            QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        }
    }

    void check(QTime at)
    {
        m_app->clock.set(QDateTime(kToday, at));
        m_window->timerPoolAllTriggers(m_window->trigger(1));
    }

    AlarmCommands &engine() { return *m_window->alarms(); }
    AlarmPanel *panel() { return engine().panel(); }

private Q_SLOTS:
    void init()
    {
        m_window.reset();
        m_app = std::make_unique<AppFixture>(QDateTime(kToday, QTime(8, 0)));
    }
    void cleanup() { m_window.reset(); }

    // One alarm end to end: the panel covers the window and flashes, the sound loops, a
    // notification goes out, and a click clears all of it.
    void anAlarmEndToEnd()
    {
        writeStore({ { kToday, "2:30 PM", "Dentist" } });
        start(QTime(14, 29));
        check(QTime(14, 29, 50));
        QVERIFY(!panel()->isVisible());
        check(QTime(14, 30, 40));
        QVERIFY(panel()->isVisible());
        QCOMPARE(panel()->text(), QStringLiteral("Alarm \"Dentist\" at 2:30 PM ... click panel to clear"));
        QCOMPARE(panel()->width(), m_window->width());
        QVERIFY(panel()->geometry().bottom() >= m_window->height() - 1);
        QCOMPARE(m_app->sound.played, QStringList { m_app->data(QStringLiteral("alarm.wav")) });
        QVERIFY(m_app->sound.isPlaying());
        QVERIFY(m_app->sound.looping);
        QCOMPARE(m_app->notifications.sent, QStringList { QStringLiteral("Alarm at 2:30 PM\nDentist") });
        QVERIFY(m_window->timerPool().isEnabled(m_window->trigger(2)));
        const QColor before = panel()->colour();
        m_window->timerPoolAllTriggers(m_window->trigger(2));
        QVERIFY(panel()->colour() != before);
        QVERIFY(panel()->colour() == QColor(0, 255, 0) || panel()->colour() == QColor(255, 255, 0));

        QTest::mouseClick(panel(), Qt::LeftButton);
        QVERIFY(!panel()->isVisible());
        QVERIFY(!m_app->sound.isPlaying());
        QCOMPARE(m_app->notifications.withdrawn, 1); // the notification goes with the panel
        QVERIFY(!m_window->timerPool().isEnabled(m_window->trigger(2)));
        check(QTime(14, 30, 55)); // cleared within its minute: not announced again
        QVERIFY(!panel()->isVisible());
    }

    // The panel has the keyboard while it shows: Escape, Return or Space clears it, and no
    // other key, a shortcut neither, reaches the list under it; the list has the keyboard
    // back afterwards.
    void thePanelIsClearedByKeyAndKeepsTheKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }
    void thePanelIsClearedByKeyAndKeepsTheKeys()
    {
        QFETCH(int, key);
        writeStore({ { kToday, "2:30 PM", "Dentist" }, { kToday, "3:00 PM", "Pharmacy", "No" } });
        start(QTime(14, 29));
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        GridView *list = m_window->dayView();
        list->setFocus();
        m_window->selectRow(List::Day, 1);
        check(QTime(14, 30, 5));
        QVERIFY(panel()->isVisible());
        QVERIFY(panel()->hasFocus());
        const QByteArray store = readAll(m_app->data(QStringLiteral("grid.grd")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete, Qt::ControlModifier); // delete the task
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
        QVERIFY(panel()->isVisible());
        QCOMPARE(m_window->currentRow(List::Day), 1);
        QCOMPARE(readAll(m_app->data(QStringLiteral("grid.grd"))), store);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QVERIFY(!panel()->isVisible());
        QVERIFY(!m_app->sound.isPlaying());
        QCOMPARE(QApplication::focusWidget(), list);
        QVERIFY(!QApplication::activeModalWidget()); // Return opened no editor
        QCOMPARE(m_app->dialogs.errors, QStringList());
    }

    // A sound that cannot be heard (a file that will not play, no audio output) is said on
    // the panel, so a silent alarm is not taken for none.
    void aSoundThatCannotPlayIsSaid()
    {
        writeStore({ { kToday, "2:30 PM", "Dentist" } });
        m_app->sound.failWith = QStringLiteral("this computer has no audio output");
        start(QTime(14, 29));
        check(QTime(14, 30, 1));
        QVERIFY(panel()->isVisible());
        QCOMPARE(panel()->text(),
            QStringLiteral("Alarm \"Dentist\" at 2:30 PM ... click panel to clear (sound could not be played: this "
                           "computer has no audio output)"));
    }

    // Two alarms of one minute, and one that falls due while another is up: each is shown
    // in turn, none dropped.
    void alarmsAreQueuedNeverDropped()
    {
        writeStore({ { kToday, "2:30 PM", "first" }, { kToday, "2:30 PM", "second" }, { kToday, "2:31 PM", "third" } });
        start(QTime(14, 29));
        check(QTime(14, 30, 1));
        QVERIFY(panel()->text().contains(QStringLiteral("first")));
        check(QTime(14, 31, 2));
        QCOMPARE(engine().queued(), 2);
        QTest::mouseClick(panel(), Qt::LeftButton);
        QVERIFY(panel()->text().contains(QStringLiteral("second")));
        QTest::mouseClick(panel(), Qt::LeftButton);
        QVERIFY(panel()->text().contains(QStringLiteral("third")));
        QTest::mouseClick(panel(), Qt::LeftButton);
        QVERIFY(!panel()->isVisible());
        QCOMPARE(m_app->notifications.sent.size(), 3);
    }

    void hideSilencesWithoutClearing()
    {
        writeStore({ { kToday, "2:30 PM", "Dentist" } });
        start(QTime(14, 29));
        check(QTime(14, 30));
        m_window->actions().Hide1->trigger();
        QVERIFY(!m_app->sound.isPlaying());
        QTRY_VERIFY(!m_window->isVisible() || m_window->isMinimized());
        m_window->showFromTray();
        QTRY_VERIFY(m_window->isVisible() && !m_window->isMinimized());
        QVERIFY(panel()->isVisible());
        QVERIFY(engine().alarmShowing());
    }

    void anAlarmBringsTheHiddenWindowBack()
    {
        writeStore({ { kToday, "2:30 PM", "Dentist" } });
        start(QTime(14, 29), false);
        m_window->startHidden();
        check(QTime(14, 30));
        QTRY_VERIFY(m_window->isVisible() && !m_window->isMinimized());
        QVERIFY(panel()->isVisible());
    }

    void aSilentAlarmStillShows_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("blank path") << "  ";
        QTest::newRow("missing file") << "/nowhere/alarm.wav";
    }
    void aSilentAlarmStillShows()
    {
        QFETCH(QString, path);
        writeStore({ { kToday, "2:30 PM", "Dentist" } });
        start(QTime(14, 29));
        Options options = m_app->document->options();
        options.alarmPath = path;
        options.repeatAlarm = false;
        m_app->document->setOptions(options);
        check(QTime(14, 30));
        QVERIFY(panel()->isVisible());
        QVERIFY(m_app->sound.played.isEmpty());
    }

    void playAlarmOffKeepsTheEngineDormant()
    {
        writeStore({ { kToday, "2:30 PM", "Dentist" } });
        start(QTime(14, 29));
        Options options = m_app->document->options();
        options.playAlarm = false;
        m_app->document->setOptions(options);
        check(QTime(14, 30));
        QVERIFY(!panel()->isVisible());
        QVERIFY(m_app->sound.played.isEmpty());
    }

    // The day toolbar's toggle flips the selected task's alarm and keeps it on disk.
    void theAlarmToggleIsSaved()
    {
        writeStore({ { kToday, "2:30 PM", "Dentist", "No" } });
        start(QTime(9, 0));
        m_window->dayView()->setCurrentTableRow(1);
        m_window->actions().ToolButton15->trigger();
        CellTable onDisk;
        QVERIFY(readGridFile(onDisk, m_app->data(QStringLiteral("grid.grd"))).ok());
        QCOMPARE(onDisk.cell(store::Alarm, 1), QStringLiteral("Yes"));
        m_window->actions().ToolButton15->trigger();
        QVERIFY(readGridFile(onDisk, m_app->data(QStringLiteral("grid.grd"))).ok());
        QCOMPARE(onDisk.cell(store::Alarm, 1), QStringLiteral("No"));

        // An empty day's blank row changes nothing.
        m_window->moveSelectedDay(1);
        m_window->actions().ToolButton15->trigger();
        QCOMPARE(m_app->document->dayList().cell(daylist::Alarm, 1), QString());
        QVERIFY(m_app->dialogs.errors.isEmpty());
    }

    // What fell due while the program was not running is listed once at the next start.
    void missedSinceTheLastRun_data()
    {
        QTest::addColumn<QString>("lastCheck");
        QTest::addColumn<bool>("showMissed");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("since 13:50") << "2026-01-31T13:50:00" << true << QStringList { "Dentist" };
        QTest::newRow("the option off") << "2026-01-31T13:50:00" << false << QStringList {};
        QTest::newRow("a first start") << "" << true << QStringList {};
    }
    void missedSinceTheLastRun()
    {
        QFETCH(QString, lastCheck);
        QFETCH(bool, showMissed);
        QFETCH(QStringList, listed);
        writeStore({ { kToday, "2:30 PM", "Dentist" }, { kToday, "5:00 PM", "later" } });
        if (!lastCheck.isEmpty())
            writeAlarmRecord(*m_app->settings, { lastCheck });
        m_app->settings->writeBool(QStringLiteral("Options"), QStringLiteral("ShowMissedAlarms"), showMissed);
        start(QTime(14, 40));
        TfrmMissed *missed = engine().missedWindow();
        QStringList shown;
        for (int i = 0; missed && i < missed->list()->topLevelItemCount(); ++i)
            shown << missed->list()->topLevelItem(i)->text(2);
        QCOMPARE(shown, listed);
        // With its offset from UTC: an hour the clocks show twice is told apart.
        QCOMPARE(readAlarmRecord(*m_app->settings).lastCheck, QStringLiteral("2026-01-31T14:40:00Z"));
        if (missed) {
            QCOMPARE(missed->windowTitle(), QStringLiteral("Missed alarms"));
            QCOMPARE(missed->list()->topLevelItem(0)->text(0), QStringLiteral("2:30 PM"));
        }
    }

    // The list of the start opens over the main window once that shows, wherever the
    // window is, and whole on the screen.
    void missedAlarmsOpenOverTheMainWindow()
    {
        writeStore({ { kToday, "2:30 PM", "Dentist" } });
        writeAlarmRecord(*m_app->settings, { QStringLiteral("2026-01-31T13:50:00") });
        start(QTime(14, 40), false);
        const QRect screen = m_window->screen()->availableGeometry();
        m_window->move(screen.right() - m_window->width() - 20, screen.bottom() - m_window->height() - 40);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTRY_VERIFY(engine().missedWindow() && engine().missedWindow()->isVisible());
        const QRect missed = engine().missedWindow()->frameGeometry();
        const QPoint offCentre = missed.center() - m_window->frameGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2,
            qPrintable(QStringLiteral("%1 px right, %2 px down").arg(offCentre.x()).arg(offCentre.y())));
        QVERIFY(screen.contains(missed));
    }

    // A check that comes late (the machine slept for a minute, the event loop was busy)
    // raises what fell due since the one before, as if on time.
    void aShortGapRaisesWhatFellDueInIt()
    {
        writeStore({ { kToday, "3:30 PM", "in a short sleep" } });
        start(QTime(15, 29));
        check(QTime(15, 29, 50));
        QVERIFY(panel()->isHidden());
        // The next check comes as the minute starts.
        QCOMPARE(m_window->timerPool().interval(m_window->trigger(1)), 10 * 1000 + 250);
        check(QTime(15, 31, 0));
        QVERIFY(panel()->isVisible());
        QVERIFY(panel()->text().contains(QStringLiteral("in a short sleep")));
        QVERIFY(!engine().missedWindow());
    }

    // The machine slept from 15:00 to 16:00: the alarm of 15:30 is listed, and a
    // double click goes to its day.
    void aClockJumpListsWhatWasMissed()
    {
        const QDate yesterday = kToday.addDays(-1);
        writeStore({ { yesterday, "11:00 PM", "late yesterday" }, { kToday, "3:30 PM", "in the sleep" } });
        start(QTime(15, 0));
        check(QTime(15, 0, 30));
        QVERIFY(!engine().missedWindow());
        check(QTime(16, 0, 10));
        TfrmMissed *missed = engine().missedWindow();
        QVERIFY(missed);
        QCOMPARE(missed->count(), 1);
        QCOMPARE(missed->list()->topLevelItem(0)->text(2), QStringLiteral("in the sleep"));
        m_window->moveSelectedDay(-5);
        Q_EMIT missed->list()->itemDoubleClicked(missed->list()->topLevelItem(0), 0);
        QCOMPARE(m_window->selectedDay(), kToday);
        check(QTime(16, 1)); // listed once
        QCOMPARE(missed->count(), 1);
    }
};

QTEST_MAIN(TestAlarmEngine)
#include "tst_alarmengine.moc"
