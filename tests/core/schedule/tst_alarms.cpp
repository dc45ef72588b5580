#include "schedule/alarms.h"
#include "settings/settingsstore.h"
#include "store/taskstore.h"
#include "text/regional.h"

#include <QTest>

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
        QVERIFY(!alarms::checkTime(QString()).isValid());
        QVERIFY(!alarms::checkTime(QStringLiteral("yesterday")).isValid());
    }
};

QTEST_GUILESS_MAIN(TestAlarms)
#include "tst_alarms.moc"
