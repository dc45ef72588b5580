#include "schedule/alarms.h"
#include "settings/settingsstore.h"
#include "store/taskstore.h"
#include "text/regional.h"

#include <QTest>
#include <QTimeZone>

namespace {

const QDate kDay(2026, 1, 31);

struct Row
{
    QDate day;
    const char *time;
    const char *what;
    const char *alarm = "Yes";
    const char *done = "No";
    const char *category = "";
};

// A day of tasks in store order, and one early task of the next day.
CellTable fixture()
{
    const QList<Row> rows {
        { kDay, "12:10 AM", "early today" },
        { kDay, "9:00 AM", "lower case", "yes" },
        { kDay, "10:00 AM", "done", "Yes", "Yes" },
        { kDay, "11:00 AM", "at home", "Yes", "No", "Home" },
        { kDay, "2:30 PM", "first" },
        { kDay, "2:30 PM", "second" },
        { kDay, "lunch", "no time" },
        { kDay.addDays(1), "12:10 AM", "early tomorrow" },
    };
    CellTable store = store::newStore();
    store.setRowCount(int(rows.size()) + 1);
    for (int i = 0; i < rows.size(); ++i) {
        const Row &r = rows[i];
        const QStringList cells { store::makeKey(datevalue::dayNumber(r.day), 101 + i), QLatin1String(r.time),
            QLatin1String(r.category), QLatin1String(r.what), QLatin1String(r.done), QLatin1String(r.alarm) };
        for (int c = 0; c < 6; ++c)
            store.setCell(c, i + 1, cells[c]);
    }
    store::compactAndSort(store);
    return store;
}

QStringList whats(const QList<alarms::DueAlarm> &due)
{
    QStringList texts;
    for (const alarms::DueAlarm &alarm : due)
        texts << alarm.what;
    return texts;
}

} // namespace

class TestAlarms : public QObject
{
    Q_OBJECT

    RegionalSettings m_us = RegionalSettings::englishUS();

private Q_SLOTS:
    void initTestCase() { fix2000(m_us); }

    void theDueTest_data()
    {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<int>("lead");
        QTest::addColumn<QString>("filter"); // "", "no done", "no Home"
        QTest::addColumn<bool>("playAlarm");
        QTest::addColumn<QStringList>("due");
        QTest::newRow("lead 0, the minute itself")
            << QTime(14, 30, 40) << 0 << "" << true << QStringList { "first", "second" };
        QTest::newRow("lead 15") << QTime(14, 15) << 15 << "" << true << QStringList { "first", "second" };
        QTest::newRow("a minute early") << QTime(14, 29, 59) << 0 << "" << true << QStringList {};
        QTest::newRow("the minute after") << QTime(14, 31) << 0 << "" << true << QStringList {};
        QTest::newRow("\"yes\" never sounds") << QTime(9, 0) << 0 << "" << true << QStringList {};
        QTest::newRow("a done task sounds") << QTime(10, 0) << 0 << "" << true << QStringList { "done" };
        QTest::newRow("unless done tasks are filtered") << QTime(10, 0) << 0 << "no done" << true << QStringList {};
        QTest::newRow("a filtered category never sounds") << QTime(11, 0) << 0 << "no Home" << true << QStringList {};
        QTest::newRow("PlayAlarm off") << QTime(14, 30) << 0 << "" << false << QStringList {};
        QTest::newRow("the lead crosses midnight")
            << QTime(23, 55) << 15 << "" << true << QStringList { "early tomorrow" };
        QTest::newRow("a text that is not a time") << QTime(12, 0) << 0 << "" << true << QStringList {};
    }
    void theDueTest()
    {
        QFETCH(QTime, now);
        QFETCH(int, lead);
        QFETCH(QString, filter);
        QFETCH(bool, playAlarm);
        QFETCH(QStringList, due);
        Options options(QString {});
        options.alarmMin = lead;
        options.playAlarm = playAlarm;
        FilterState state;
        state.showDone = filter != QLatin1String("no done");
        if (filter == QLatin1String("no Home"))
            state.categories = { { QStringLiteral("Home"), false } };
        const QList<alarms::DueAlarm> found = alarms::dueAlarms(fixture(), state, options, m_us, QDateTime(kDay, now));
        QCOMPARE(whats(found), due);
        for (const alarms::DueAlarm &alarm : found)
            QCOMPARE(alarm.minute, alarms::minuteOf(QDateTime(kDay, now)));
    }

    // Two tasks of one minute are both announced, the first in store order first, and a
    // second check in that minute announces nothing again.
    void eachAlarmIsAnnouncedOnceForItsMinute()
    {
        Options options(QString {});
        alarms::Announced announced;
        const CellTable store = fixture();
        auto check = [&](QTime at) {
            return whats(
                announced.takeNew(alarms::dueAlarms(store, FilterState(), options, m_us, QDateTime(kDay, at))));
        };
        QCOMPARE(check(QTime(14, 30, 5)), (QStringList { "first", "second" }));
        QCOMPARE(check(QTime(14, 30, 55)), QStringList {});
        announced.forgetBefore(alarms::minuteOf(QDateTime(kDay, QTime(14, 31))));
        QCOMPARE(check(QTime(14, 31, 45)), QStringList {});
    }

    void whatWasMissedInBetween_data()
    {
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<QDateTime>("to");
        QTest::addColumn<int>("lead");
        QTest::addColumn<QStringList>("missed");
        QTest::newRow("a 40-minute jump") << QDateTime(kDay, QTime(14, 0)) << QDateTime(kDay, QTime(14, 40)) << 0
                                          << QStringList { "first", "second" };
        QTest::newRow("up to the minute before")
            << QDateTime(kDay, QTime(13, 50)) << QDateTime(kDay, QTime(14, 29, 59)) << 0 << QStringList {};
        QTest::newRow("from the minute itself")
            << QDateTime(kDay, QTime(14, 30, 10)) << QDateTime(kDay, QTime(15, 0)) << 0 << QStringList {};
        QTest::newRow("a jump back in time")
            << QDateTime(kDay, QTime(15, 0)) << QDateTime(kDay, QTime(14, 0)) << 0 << QStringList {};
        QTest::newRow("with a lead") << QDateTime(kDay, QTime(14, 0)) << QDateTime(kDay, QTime(14, 20)) << 15
                                     << QStringList { "first", "second" };
        QTest::newRow("over midnight, in time order")
            << QDateTime(kDay.addDays(-1), QTime(23, 0)) << QDateTime(kDay.addDays(1), QTime(1, 0)) << 0
            << QStringList { "early today", "done", "at home", "first", "second", "early tomorrow" };
        QTest::newRow("more than 7 days back is cut")
            << QDateTime(kDay.addDays(-30), QTime(0, 0)) << QDateTime(kDay.addDays(8), QTime(0, 9)) << 0
            << QStringList { "early tomorrow" };
    }
    void whatWasMissedInBetween()
    {
        QFETCH(QDateTime, from);
        QFETCH(QDateTime, to);
        QFETCH(int, lead);
        QFETCH(QStringList, missed);
        Options options(QString {});
        options.alarmMin = lead;
        QCOMPARE(whats(alarms::alarmsBetween(fixture(), FilterState(), options, m_us, from, to)), missed);
    }

    // A task happens at its time on the zone's clocks; its alarm is due the lead before
    // that, in real minutes. A time the clocks skip happens as they go forward, one they
    // show twice happens the first time.
    void dueMomentsAcrossClockChanges_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<int>("lead");
        QTest::addColumn<QDateTime>("due"); // in UTC
        const auto utc = [](QDate day, int hour, int minute) { return QDateTime(day, QTime(hour, minute), Qt::UTC); };
        const QDate berlinSpring(2026, 3, 29), berlinFall(2026, 10, 25);
        QTest::newRow("Berlin, before the spring change")
            << QByteArray("Europe/Berlin") << berlinSpring << QTime(1, 30) << 0 << utc(berlinSpring, 0, 30);
        QTest::newRow("Berlin, skipped 02:30 as the clocks go forward")
            << QByteArray("Europe/Berlin") << berlinSpring << QTime(2, 30) << 0 << utc(berlinSpring, 1, 0);
        QTest::newRow("Berlin, 03:10 with a lead of 15 across the change")
            << QByteArray("Europe/Berlin") << berlinSpring << QTime(3, 10) << 15 << utc(berlinSpring, 0, 55);
        QTest::newRow("Berlin, 03:10 with a lead of 120, the day before") << QByteArray(
            "Europe/Berlin") << berlinSpring << QTime(3, 10) << 120 << utc(berlinSpring.addDays(-1), 23, 10);
        QTest::newRow("Berlin, twice-shown 02:30, the first time")
            << QByteArray("Europe/Berlin") << berlinFall << QTime(2, 30) << 0 << utc(berlinFall, 0, 30);
        QTest::newRow("Berlin, twice-shown 02:30 with a lead of 15")
            << QByteArray("Europe/Berlin") << berlinFall << QTime(2, 30) << 15 << utc(berlinFall, 0, 15);
        QTest::newRow("Berlin, 03:30 with a lead of 120 across the change")
            << QByteArray("Europe/Berlin") << berlinFall << QTime(3, 30) << 120 << utc(berlinFall, 0, 30);
        const QDate yorkSpring(2026, 3, 8), yorkFall(2026, 11, 1);
        QTest::newRow("New York, skipped 02:30")
            << QByteArray("America/New_York") << yorkSpring << QTime(2, 30) << 0 << utc(yorkSpring, 7, 0);
        QTest::newRow("New York, skipped 02:30 with a lead of 15")
            << QByteArray("America/New_York") << yorkSpring << QTime(2, 30) << 15 << utc(yorkSpring, 6, 45);
        QTest::newRow("New York, twice-shown 01:30")
            << QByteArray("America/New_York") << yorkFall << QTime(1, 30) << 0 << utc(yorkFall, 5, 30);
        QTest::newRow("New York, 02:00 with a lead of 120")
            << QByteArray("America/New_York") << yorkFall << QTime(2, 0) << 120 << utc(yorkFall, 5, 0);
        // Lord Howe moves its clocks by half an hour.
        const QDate howeFall(2026, 4, 5), howeSpring(2026, 10, 4);
        QTest::newRow("Lord Howe, twice-shown 01:45")
            << QByteArray("Australia/Lord_Howe") << howeFall << QTime(1, 45) << 0 << utc(howeFall.addDays(-1), 14, 45);
        QTest::newRow("Lord Howe, skipped 02:10") << QByteArray("Australia/Lord_Howe") << howeSpring << QTime(2, 10)
                                                  << 0 << utc(howeSpring.addDays(-1), 15, 30);
        QTest::newRow("Lord Howe, 02:40 with a lead of 15")
            << QByteArray("Australia/Lord_Howe") << howeSpring << QTime(2, 40) << 15
            << utc(howeSpring.addDays(-1), 15, 25);
        QTest::newRow("UTC, no change") << QByteArray("UTC") << berlinSpring << QTime(2, 30) << 15
                                        << utc(berlinSpring, 2, 15);
    }

    void dueMomentsAcrossClockChanges()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDate, day);
        QFETCH(QTime, time);
        QFETCH(int, lead);
        QFETCH(QDateTime, due);
        const QTimeZone tz(zone);
        QVERIFY(tz.isValid());
        const qint64 dayNumber = datevalue::dayNumber(day);
        QCOMPARE(alarms::taskMoment(dayNumber, time.hour() * 60 + time.minute(), tz).addSecs(-60 * lead), due);

        // Checked every minute through the night, the alarm is raised once, in its minute.
        CellTable store = store::newStore();
        store.setRowCount(2);
        store.setCell(store::Key, 1, store::makeKey(dayNumber, 101));
        store.setCell(store::Time, 1, time.toString(QStringLiteral("h:mm AP")));
        store.setCell(store::What, 1, QStringLiteral("task"));
        store.setCell(store::Alarm, 1, QStringLiteral("Yes"));
        Options options(QString {});
        options.alarmMin = lead;
        alarms::Announced announced;
        QList<QDateTime> raised;
        const QDateTime start = due.addSecs(-4 * 3600);
        for (QDateTime at = start; at <= due.addSecs(4 * 3600); at = at.addSecs(60)) {
            for (const alarms::DueAlarm &alarm :
                announced.takeNew(alarms::dueAlarms(store, FilterState(), options, m_us, at, tz)))
                raised << alarms::momentOf(alarm.minute);
        }
        QCOMPARE(raised, QList<QDateTime> { due });
        // A span over the whole night finds it once too.
        QCOMPARE(
            alarms::alarmsBetween(store, FilterState(), options, m_us, start, start.addSecs(8 * 3600), 7, tz).size(),
            1);
    }

    // One line of the note, as the panel shows one line: further lines are told by "…".
    void thePanelCaption_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("caption");
        QTest::newRow("cut at 40") << QStringLiteral("Collect the new glasses from the optician on the corner")
                                   << QStringLiteral("Alarm \"Collect the new glasses from the opticia\" at 2:30 PM "
                                                     "... click panel to clear");
        QTest::newRow("two lines") << QStringLiteral("Pay the rent\r\nbring the receipt\r\n")
                                   << QStringLiteral(
                                          "Alarm \"Pay the rent\u2026\" at 2:30 PM ... click panel to clear");
        QTest::newRow("a lone line feed") << QStringLiteral("Pay\nthe rent")
                                          << QStringLiteral("Alarm \"Pay\u2026\" at 2:30 PM ... click panel to clear");
        QTest::newRow("one line") << QStringLiteral("Pay the rent")
                                  << QStringLiteral("Alarm \"Pay the rent\" at 2:30 PM ... click panel to clear");
    }

    void thePanelCaption()
    {
        QFETCH(QString, what);
        QFETCH(QString, caption);
        const alarms::DueAlarm alarm { 0, QStringLiteral("2:30 PM"), what, 0 };
        QCOMPARE(alarms::panelCaption(alarm), caption);
    }

    void theLastCheckRoundTrips()
    {
        const QDateTime moment(kDay, QTime(14, 30, 5));
        QCOMPARE(alarms::checkTime(alarms::checkText(moment)), moment);
        // The hour Berlin's clocks show twice: the offset tells the two apart.
        const QTimeZone berlin("Europe/Berlin");
        for (const qint64 secs : { 1792888200LL, 1792891800LL }) { // 02:30 CEST, then 02:30 CET
            const QDateTime twice = QDateTime::fromSecsSinceEpoch(secs, berlin);
            QCOMPARE(alarms::checkTime(alarms::checkText(twice)).toSecsSinceEpoch(), secs);
        }
        QVERIFY(!alarms::checkTime(QString()).isValid());
        QVERIFY(!alarms::checkTime(QStringLiteral("yesterday")).isValid());
    }
};

QTEST_GUILESS_MAIN(TestAlarms)
#include "tst_alarms.moc"
