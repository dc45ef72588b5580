#include "schedule/popup.h"
#include "store/taskstore.h"

#include <QTest>

namespace {

const qint64 kDay = 46053;

CellTable storeOf(const QList<QStringList> &rows) // time, what, done, category
{
    CellTable store = store::newStore();
    store.setRowCount(int(rows.size()) + 1);
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList cells { store::makeKey(kDay, 101 + i), rows[i][0], rows[i].value(3), rows[i][1], rows[i][2],
            QStringLiteral("No") };
        for (int c = 0; c < 6; ++c)
            store.setCell(c, i + 1, cells[c]);
    }
    return store;
}

} // namespace

class TestPopup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theDaysLines_data()
    {
        QTest::addColumn<QList<QStringList>>("tasks");
        QTest::addColumn<QString>("holiday");
        QTest::addColumn<bool>("hideHome");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("one pending task") << QList<QStringList> { { "9:00 AM", "Dentist\r\nbring the card\r\n", "No" } }
                                          << "" << false << QStringList { "1\t Pending tasks", "", "9:00 AM\tDentist" };
        QTest::newRow("a holiday without tasks")
            << QList<QStringList> {} << "Groundhog Day" << false << QStringList { "Groundhog Day", "" };
        QTest::newRow("neither") << QList<QStringList> {} << "" << false << QStringList {};
        QTest::newRow("only completed tasks") << QList<QStringList> { { "8:00 AM", "Run", "Yes" } } << "" << false
                                              << QStringList { "1\t Completed tasks", "", "8:00 AM\tRun" };
        QTest::newRow("both, pending first") << QList<QStringList> { { "8:00 AM", "Run", "Yes" },
            { "9:00 AM", "Call", "No" }, { "10:00 AM", "Mail", "No" } }
                                             << "" << false
                                             << QStringList { "2\t Pending tasks", "", "9:00 AM\tCall",
                                                    "10:00 AM\tMail", "", "1\t Completed tasks", "", "8:00 AM\tRun" };
        QTest::newRow("a filter in force")
            << QList<QStringList> { { "8:00 AM", "Paint", "No", "Home" }, { "9:00 AM", "Report", "No", "Work" } } << ""
            << true << QStringList { "1\t Pending tasks", "", "9:00 AM\tReport" };
    }
    void theDaysLines()
    {
        QFETCH(QList<QStringList>, tasks);
        QFETCH(QString, holiday);
        QFETCH(bool, hideHome);
        QFETCH(QStringList, lines);
        FilterState filter;
        if (hideHome)
            filter.categories = { { QStringLiteral("Home"), false } };
        QCOMPARE(popup::summaryLines(storeOf(tasks), filter, kDay, holiday), lines);
    }

    // Resting in one cell for ten ticks builds the summary; quick moves never do; once it
    // is up it follows the mouse after two ticks; an alarm on screen stops the clock.
    void theCountdown()
    {
        popup::Hover hover;
        auto ticksUntilShown = [&hover](bool alarm = false) {
            for (int tick = 1; tick <= 20; ++tick)
                if (hover.tick(alarm, true))
                    return tick;
            return 0;
        };
        QVERIFY(hover.move(0, 12, QPoint(100, 100), false)); // a new cell: hidden, countdown 10
        QCOMPARE(ticksUntilShown(), popup::Hover::kRestTicks);
        QVERIFY(!hover.move(0, 13, QPoint(104, 100), true)); // a small step to the next day
        QCOMPARE(ticksUntilShown(), popup::Hover::kFollowTicks);
        QVERIFY(hover.move(0, 20, QPoint(140, 130), true)); // a quick move hides it
        QCOMPARE(hover.countdown(), popup::Hover::kFollowTicks);

        popup::Hover quick;
        for (int i = 0; i < 30; ++i) {
            quick.move(0, 1 + i % 7, QPoint(i * 10, 0), false);
            QVERIFY(!quick.tick(false, true));
        }

        popup::Hover blocked;
        blocked.move(1, 5, QPoint(10, 10), false);
        for (int i = 0; i < 15; ++i)
            QVERIFY(!blocked.tick(true, true));
        QCOMPARE(blocked.countdown(), popup::Hover::kRestTicks);
        for (int i = 0; i < 15; ++i)
            QVERIFY(!blocked.tick(false, false)); // switched off
    }
};

QTEST_GUILESS_MAIN(TestPopup)
#include "tst_popup.moc"
