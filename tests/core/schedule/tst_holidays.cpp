#include "schedule/holidays.h"
#include "store/celltable.h"
#include "text/regional.h"

#include <QTest>

class TestHolidays : public QObject
{
    Q_OBJECT

    RegionalSettings m_us = RegionalSettings::englishUS();

    CellTable rules(const QList<QStringList> &rows) const
    {
        CellTable table(4, int(rows.size()) + 1);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                table.setCell(c, r + 1, rows[r][c]);
        return table;
    }

private Q_SLOTS:
    void ruleDate_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QDate>("date");
        QTest::newRow("last Monday of May 1999") << 1999 << 5 << "Last : Monday" << QDate(1999, 5, 31);
        QTest::newRow("last Monday of May 2000") << 2000 << 5 << "Last : Monday" << QDate(2000, 5, 29);
        QTest::newRow("fourth Thursday of November 1999") << 1999 << 11 << "Fourth : Thursday" << QDate(1999, 11, 25);
        QTest::newRow("fourth Thursday of November 2000") << 2000 << 11 << "Fourth : Thursday" << QDate(2000, 11, 23);
        QTest::newRow("first Sunday, case-blind") << 2026 << 3 << "FIRST : sunday" << QDate(2026, 3, 1);
        QTest::newRow("fixed day") << 2026 << 12 << "25" << QDate(2026, 12, 25);
        QTest::newRow("unknown ordinal: the first") << 2026 << 12 << "Fifth : Monday" << QDate(2026, 12, 1);
        QTest::newRow("unknown weekday: the first") << 2026 << 12 << "Last : Moonday" << QDate(2026, 12, 1);
        QTest::newRow("fixed day beyond the month") << 2026 << 2 << "30" << QDate();
    }
    void ruleDate()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(QString, rule);
        QFETCH(QDate, date);
        QCOMPARE(holidays::ruleDate(year, month, rule, m_us), date);
    }

    void firstMatchingRuleNamesTheDay()
    {
        const CellTable table = rules(
            { { "", "", "", "" }, { "Memorial Day", "05", "May", "Last : Monday" }, { "End of May", "05", "May", "31" },
                { "Christmas", "12", "December", "25" }, { "Christmas again", "12", "December", "25" } });
        QCOMPARE(holidays::findHoliday(table, QDate(1999, 5, 31), m_us), QStringLiteral("Memorial Day"));
        QCOMPARE(holidays::findHoliday(table, QDate(2000, 5, 31), m_us), QStringLiteral("End of May"));
        QCOMPARE(holidays::findHoliday(table, QDate(2026, 12, 25), m_us), QStringLiteral("Christmas"));
        QCOMPARE(holidays::findHoliday(table, QDate(2026, 12, 24), m_us), QString());
        QCOMPARE(holidays::findHoliday(CellTable(3, 4), QDate(2026, 12, 25), m_us), QString());
    }

    // A rule without a name still falls on its day and names it with the empty text, so a
    // later rule of the same day does not show; a wholly blank row matches nothing.
    void ruleWithoutANameHidesLaterRulesOfItsDay()
    {
        const CellTable table = rules({ { "", "", "", "" }, { "", "05", "May", "31" },
            { "End of May", "05", "May", "31" }, { "Mid May", "05", "May", "15" } });
        QCOMPARE(holidays::findHoliday(table, QDate(2000, 5, 31), m_us), QString());
        QCOMPARE(holidays::findHoliday(table, QDate(2000, 5, 15), m_us), QStringLiteral("Mid May"));
        QCOMPARE(holidays::findHoliday(table, QDate(2000, 5, 1), m_us), QString());
    }
};

QTEST_GUILESS_MAIN(TestHolidays)
#include "tst_holidays.moc"
