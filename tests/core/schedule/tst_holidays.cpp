#include "schedule/holidays.h"
#include "store/celltable.h"
#include "text/regional.h"

#include <QTest>

using Rows = QList<QStringList>;
using holidays::RuleFields;
Q_DECLARE_METATYPE(RuleFields)

namespace holidays {
// What a failed comparison shows.
char *toString(const RuleFields &f)
{
    const QString text = f.name + QLatin1String(" | ") + f.month + QLatin1String(" | ")
        + (f.floating ? QLatin1String("floating ") : QLatin1String("fixed ")) + QString::number(f.day)
        + QLatin1String(" | ") + f.ordinal + QLatin1String(" | ") + f.weekday;
    return qstrdup(text.toUtf8().constData());
}
} // namespace holidays

namespace {

// A holiday table with the header texts and the given rule rows.
CellTable rules(const Rows &rows)
{
    CellTable table(holidays::ColumnCount, int(rows.size()) + 1);
    holidays::setHeaders(table);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            table.setCell(c, r + 1, rows[r][c]);
    return table;
}

Rows rowsOf(const CellTable &table)
{
    Rows rows;
    for (int r = 1; r < table.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table.colCount(); ++c)
            cells << table.cell(c, r);
        rows << cells;
    }
    return rows;
}

RuleFields fixedRule(const QString &name, const QString &month, int day)
{
    RuleFields fields;
    fields.name = name;
    fields.month = month;
    fields.day = day;
    return fields;
}

RuleFields floatingRule(const QString &name, const QString &month, const QString &ordinal, const QString &weekday)
{
    RuleFields fields;
    fields.name = name;
    fields.month = month;
    fields.floating = true;
    fields.day = 0;
    fields.ordinal = ordinal;
    fields.weekday = weekday;
    return fields;
}

const QStringList kEmptyRow = { "", "", "", "" };

} // namespace

class TestHolidays : public QObject
{
    Q_OBJECT

    RegionalSettings m_us = RegionalSettings::englishUS();

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
        QTest::newRow("fixed day with spaces") << 2026 << 12 << " 7 " << QDate(2026, 12, 7);
        QTest::newRow("unknown ordinal: the first") << 2026 << 12 << "Fifth : Monday" << QDate(2026, 12, 1);
        QTest::newRow("unknown weekday: the first") << 2026 << 12 << "Last : Moonday" << QDate(2026, 12, 1);
        QTest::newRow("29 February of a leap year") << 2000 << 2 << "29" << QDate(2000, 2, 29);
        // A rule that names no day of the month gives no date at all.
        QTest::newRow("29 February of a common year") << 1999 << 2 << "29" << QDate();
        QTest::newRow("31st of a 30-day month") << 2026 << 4 << "31" << QDate();
        QTest::newRow("beyond the month") << 2026 << 2 << "30" << QDate();
        QTest::newRow("beyond 31") << 2026 << 1 << "32" << QDate();
        QTest::newRow("day 0") << 2026 << 1 << "0" << QDate();
        QTest::newRow("negative day") << 2026 << 1 << "-3" << QDate();
        QTest::newRow("not a number") << 2026 << 1 << "tenth" << QDate();
        QTest::newRow("a number and more") << 2026 << 1 << "12th" << QDate();
        QTest::newRow("empty") << 2026 << 1 << "" << QDate();
        QTest::newRow("too large for an int") << 2026 << 1 << "99999999999999999999" << QDate();
        QTest::newRow("no month 13, fixed") << 2026 << 13 << "1" << QDate();
        QTest::newRow("no month 13, floating") << 2026 << 13 << "First : Monday" << QDate();
        QTest::newRow("no month 13, unknown words") << 2026 << 13 << "Premier : Lundi" << QDate();
    }
    void ruleDate()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(QString, rule);
        QFETCH(QDate, date);
        QCOMPARE(holidays::ruleDate(year, month, rule, m_us), date);
    }

    // The holiday test over the worked cases; `move` drags rule row x onto rule row y first.
    void findHoliday_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QPoint>("move");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("name");

        const Rows memorial = { { "Memorial Day", "05", "May", "Last : Monday" } };
        QTest::newRow("last Monday of May 1999") << memorial << QPoint() << QDate(1999, 5, 31) << "Memorial Day";
        QTest::newRow("last Monday of May 2000") << memorial << QPoint() << QDate(2000, 5, 29) << "Memorial Day";
        QTest::newRow("not the 31st in 2000") << memorial << QPoint() << QDate(2000, 5, 31) << "";

        const Rows thanks = { { "Thanksgiving", "11", "November", "Fourth : Thursday" } };
        QTest::newRow("fourth Thursday of November 1999")
            << thanks << QPoint() << QDate(1999, 11, 25) << "Thanksgiving";
        QTest::newRow("fourth Thursday of November 2000")
            << thanks << QPoint() << QDate(2000, 11, 23) << "Thanksgiving";
        QTest::newRow("not the 25th in 2000") << thanks << QPoint() << QDate(2000, 11, 25) << "";

        const Rows twice = { { "Christmas", "12", "December", "25" }, { "Noel", "12", "December", "25" } };
        QTest::newRow("two rules: the higher names the day") << twice << QPoint() << QDate(2026, 12, 25) << "Christmas";
        QTest::newRow("two rules: the other after a drag") << twice << QPoint(2, 1) << QDate(2026, 12, 25) << "Noel";
        QTest::newRow("two rules: dragged below") << twice << QPoint(1, 2) << QDate(2026, 12, 25) << "Noel";
        QTest::newRow("two rules: no other day") << twice << QPoint() << QDate(2026, 12, 24) << "";

        const Rows french = { { "Fête des mères", "05", "May", "Dernier : Dimanche" } };
        QTest::newRow("other language: the 1st") << french << QPoint() << QDate(2000, 5, 1) << "Fête des mères";
        QTest::newRow("other language: not the last Sunday") << french << QPoint() << QDate(2000, 5, 28) << "";

        const Rows unnamed
            = { { "", "05", "May", "31" }, { "End of May", "05", "May", "31" }, { "Mid May", "05", "May", "15" } };
        QTest::newRow("empty name answers empty") << unnamed << QPoint() << QDate(2000, 5, 31) << "";
        QTest::newRow("empty name masks only its day") << unnamed << QPoint() << QDate(2000, 5, 15) << "Mid May";
        QTest::newRow("empty name dragged below") << unnamed << QPoint(1, 3) << QDate(2000, 5, 31) << "End of May";

        QTest::newRow("month contained, upper case")
            << Rows { { "Fools", "04", "EARLY APRIL", "1" } } << QPoint() << QDate(2026, 4, 1) << "Fools";
        QTest::newRow("month contained, mixed case")
            << Rows { { "Fools", "04", "aPrIl (observed)", "1" } } << QPoint() << QDate(2026, 4, 1) << "Fools";
        QTest::newRow("another month's text")
            << Rows { { "Fools", "04", "April", "1" } } << QPoint() << QDate(2026, 5, 1) << "";
        QTest::newRow("month number not read")
            << Rows { { "Fools", "12", "April", "1" } } << QPoint() << QDate(2026, 4, 1) << "Fools";

        // A rule naming no day of that year falls on none, and hides nothing below it.
        const Rows leap = { { "Leap day", "02", "February", "29" }, { "Last of February", "02", "February", "28" },
            { "April 31", "04", "April", "31" }, { "Not a day", "05", "May", "tenth" },
            { "May Day", "05", "May", "1" } };
        QTest::newRow("29 February in a leap year") << leap << QPoint() << QDate(2000, 2, 29) << "Leap day";
        QTest::newRow("29 February in a common year: the rule below")
            << leap << QPoint() << QDate(1999, 2, 28) << "Last of February";
        QTest::newRow("29 February in a common year: not 1 March") << leap << QPoint() << QDate(1999, 3, 1) << "";
        QTest::newRow("31 April: not 30 April") << leap << QPoint() << QDate(2026, 4, 30) << "";
        QTest::newRow("31 April: not 1 May") << leap << QPoint() << QDate(2026, 5, 1) << "May Day";
        QTest::newRow("a day that is not a number: nothing") << leap << QPoint() << QDate(2026, 5, 10) << "";

        QTest::newRow("blank rows match nothing")
            << Rows { kEmptyRow, kEmptyRow } << QPoint() << QDate(2026, 1, 1) << "";
        QTest::newRow("no rules") << Rows {} << QPoint() << QDate(2026, 1, 1) << "";
    }
    void findHoliday()
    {
        QFETCH(Rows, rows);
        QFETCH(QPoint, move);
        QFETCH(QDate, day);
        QFETCH(QString, name);
        CellTable table = rules(rows);
        if (!move.isNull())
            QCOMPARE(holidays::moveRule(table, move.x(), move.y()), move.y());
        QCOMPARE(holidays::findHoliday(table, day, m_us), name);
    }

    // The document's table before any "holiday.grd": three columns, no header texts.
    void noFileNoHoliday() { QCOMPARE(holidays::findHoliday(CellTable(3, 4), QDate(2026, 12, 25), m_us), QString()); }

    // Over every day of the year, a fixed rule falls on its one day or, when the month lacks
    // it, on none.
    void fixedRuleOverAWholeYear_data()
    {
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<int>("year");
        QTest::addColumn<QDate>("only");
        QTest::newRow("29 February, leap year") << "February"
                                                << "29" << 2024 << QDate(2024, 2, 29);
        QTest::newRow("29 February, common year") << "February"
                                                  << "29" << 2026 << QDate();
        QTest::newRow("30 February") << "February"
                                     << "30" << 2024 << QDate();
        QTest::newRow("31 June") << "June"
                                 << "31" << 2026 << QDate();
        QTest::newRow("31 December") << "December"
                                     << "31" << 2026 << QDate(2026, 12, 31);
        QTest::newRow("day 45") << "March"
                                << "45" << 2026 << QDate();
        QTest::newRow("not a number") << "March"
                                      << "Ides" << 2026 << QDate();
    }
    void fixedRuleOverAWholeYear()
    {
        QFETCH(QString, month);
        QFETCH(QString, rule);
        QFETCH(int, year);
        QFETCH(QDate, only);
        const CellTable table = rules({ { "Rule", "", month, rule } });
        for (QDate day(year, 1, 1); day.year() == year; day = day.addDays(1))
            QCOMPARE(holidays::findHoliday(table, day, m_us), day == only ? QStringLiteral("Rule") : QString());
    }

    void readRule_data()
    {
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<RuleFields>("fields");
        QTest::newRow("fixed") << QStringList { "Christmas", "12", "December", "25" }
                               << fixedRule("Christmas", "December", 25);
        QTest::newRow("floating") << QStringList { "Memorial Day", "05", "May", "Last : Monday" }
                                  << floatingRule("Memorial Day", "May", "Last", "Monday");
        QTest::newRow("floating, other words") << QStringList { "Muttertag", "05", "Mai", "Zweiter : Sonntag" }
                                               << floatingRule("Muttertag", "Mai", "Zweiter", "Sonntag");
        // A colon is what makes the holiday test take a rule as floating.
        QTest::newRow("floating without spaces")
            << QStringList { "Odd", "05", "May", "First:Friday" } << floatingRule("Odd", "May", "First", "Friday");
        QTest::newRow("only the first colon splits") << QStringList { "Odd", "05", "May", "First : Friday : x" }
                                                     << floatingRule("Odd", "May", "First", "Friday : x");
        QTest::newRow("fixed, not a number")
            << QStringList { "Odd", "05", "May", "tenth" } << fixedRule("Odd", "May", 0);
        QTest::newRow("fixed, spaces") << QStringList { "Odd", "05", "May", " 9 " } << fixedRule("Odd", "May", 9);
        QTest::newRow("empty row") << kEmptyRow << fixedRule("", "", 0);
    }
    void readRule()
    {
        QFETCH(QStringList, row);
        QFETCH(RuleFields, fields);
        const CellTable table = rules({ row });
        QCOMPARE(holidays::readRule(table, 1), fields);
    }

    void ruleRoundTrip_data()
    {
        QTest::addColumn<RuleFields>("fields");
        QTest::addColumn<QStringList>("row");
        QTest::newRow("fixed") << fixedRule("Leap day", "February", 29)
                               << QStringList { "Leap day", "02", "February", "29" };
        QTest::newRow("floating") << floatingRule("Thanksgiving", "November", "Fourth", "Thursday")
                                  << QStringList { "Thanksgiving", "11", "November", "Fourth : Thursday" };
        QTest::newRow("no regional month")
            << fixedRule("Neujahr", "Januar", 1) << QStringList { "Neujahr", "00", "Januar", "1" };
        QTest::newRow("empty name") << fixedRule("", "May", 31) << QStringList { "", "05", "May", "31" };
    }
    void ruleRoundTrip()
    {
        QFETCH(RuleFields, fields);
        QFETCH(QStringList, row);
        CellTable table = rules({ kEmptyRow });
        holidays::writeRule(table, 1, fields, m_us);
        QCOMPARE(rowsOf(table), Rows { row });
        QCOMPARE(holidays::readRule(table, 1), fields);
    }

    // Add writes into a selected row without a name, and otherwise inserts at the selected
    // row.
    void addRule_data()
    {
        QTest::addColumn<Rows>("before");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("written");
        QTest::addColumn<QStringList>("names");
        const Rows two = { { "A", "01", "January", "1" }, { "B", "02", "February", "2" } };
        QTest::newRow("into the empty list") << Rows { kEmptyRow } << 1 << 1 << QStringList { "New" };
        QTest::newRow("above the first") << two << 1 << 1 << QStringList { "New", "A", "B" };
        QTest::newRow("above the second") << two << 2 << 2 << QStringList { "A", "New", "B" };
        QTest::newRow("over a rule without a name") << Rows { { "A", "01", "January", "1" }, { "", "05", "May", "31" } }
                                                    << 2 << 2 << QStringList { "A", "New" };
        QTest::newRow("no row selected: the first") << two << -1 << 1 << QStringList { "New", "A", "B" };
        QTest::newRow("header only") << Rows {} << 1 << 1 << QStringList { "New" };
    }
    void addRule()
    {
        QFETCH(Rows, before);
        QFETCH(int, selected);
        QFETCH(int, written);
        QFETCH(QStringList, names);
        CellTable table = rules(before);
        QCOMPARE(holidays::addRule(table, selected, fixedRule("New", "May", 5), m_us), written);
        QStringList got;
        for (int r = 1; r < table.rowCount(); ++r)
            got << table.cell(holidays::Name, r);
        QCOMPARE(got, names);
        QCOMPARE(rowsOf(table).at(written - 1), (QStringList { "New", "05", "May", "5" }));
    }

    // An Add with an empty name leaves a row that counts as empty: the next Add on it
    // writes over it.
    void addWithoutANameIsOverwrittenByTheNextAdd()
    {
        CellTable table = rules({ { "Christmas", "12", "December", "25" } });
        QCOMPARE(holidays::addRule(table, 1, fixedRule("", "December", 25), m_us), 1);
        QCOMPARE(holidays::findHoliday(table, QDate(2026, 12, 25), m_us), QString());
        QCOMPARE(holidays::addRule(table, 1, fixedRule("Noel", "December", 25), m_us), 1);
        QCOMPARE(rowsOf(table), (Rows { { "Noel", "12", "December", "25" }, { "Christmas", "12", "December", "25" } }));
    }

    void deleteRule_data()
    {
        QTest::addColumn<Rows>("before");
        QTest::addColumn<int>("row");
        QTest::addColumn<Rows>("after");
        QTest::addColumn<int>("next");
        const QStringList a = { "A", "01", "January", "1" };
        const QStringList b = { "B", "02", "February", "2" };
        const QStringList c = { "C", "03", "March", "3" };
        QTest::newRow("the only rule is emptied") << Rows { a } << 1 << Rows { kEmptyRow } << 1;
        QTest::newRow("the first of three") << Rows { a, b, c } << 1 << Rows { b, c } << 1;
        QTest::newRow("the middle one") << Rows { a, b, c } << 2 << Rows { a, c } << 2;
        QTest::newRow("the last one") << Rows { a, b, c } << 3 << Rows { a, b } << 2;
        QTest::newRow("an empty row among rules") << Rows { a, kEmptyRow } << 2 << Rows { a } << 1;
        QTest::newRow("the header is no rule") << Rows { a, b } << 0 << Rows { a, b } << 0;
        QTest::newRow("beyond the table") << Rows { a, b } << 3 << Rows { a, b } << 3;
    }
    void deleteRule()
    {
        QFETCH(Rows, before);
        QFETCH(int, row);
        QFETCH(Rows, after);
        QFETCH(int, next);
        CellTable table = rules(before);
        QCOMPARE(holidays::deleteRule(table, row), next);
        QCOMPARE(rowsOf(table), after);
        QCOMPARE(table.cell(holidays::Name, 0), QStringLiteral("Holiday name"));
    }

    void moveRule_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("at");
        QTest::addColumn<QString>("order");
        QTest::newRow("down") << 1 << 3 << 3 << "BCAD";
        QTest::newRow("up") << 4 << 2 << 2 << "ADBC";
        QTest::newRow("to the last") << 2 << 4 << 4 << "ACDB";
        QTest::newRow("onto itself") << 2 << 2 << 2 << "ABCD";
        QTest::newRow("onto the header") << 3 << 0 << 3 << "ABCD";
        QTest::newRow("below the last row") << 3 << 5 << 3 << "ABCD";
        QTest::newRow("from the header") << 0 << 2 << 0 << "ABCD";
    }
    void moveRule()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, at);
        QFETCH(QString, order);
        CellTable table = rules({ { "A", "01", "January", "1" }, { "B" }, { "C" }, { "D" } });
        QCOMPARE(holidays::moveRule(table, from, to), at);
        QString names;
        for (int r = 1; r < table.rowCount(); ++r)
            names += table.cell(holidays::Name, r);
        QCOMPARE(names, order);
        // Whole rows move, not names.
        QCOMPARE(table.cell(holidays::MonthName, order.indexOf(QLatin1Char('A')) + 1), QStringLiteral("January"));
        QCOMPARE(table.rowCount(), 5);
    }

    void offeredDays_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("days");
        const int lengths[] = { 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
        for (int m = 1; m <= 12; ++m)
            QTest::addRow("month %d", m) << m << lengths[m - 1];
        QTest::newRow("no month") << 0 << 31;
        QTest::newRow("month 13") << 13 << 31;
    }
    void offeredDays()
    {
        QFETCH(int, month);
        QFETCH(int, days);
        QCOMPARE(holidays::offeredDays(month), days);
    }

    void listCopy()
    {
        const QStringList headers = { "Holiday name", "Mo #", "Month", "Day of month" };
        // The document's table before any file: no header texts and blank rows.
        const CellTable fresh = holidays::listCopy(CellTable(3, 4));
        QCOMPARE(fresh.colCount(), 4);
        QCOMPARE(fresh.rowCount(), 2);
        for (int c = 0; c < 4; ++c)
            QCOMPARE(fresh.cell(c, 0), headers[c]);
        QCOMPARE(rowsOf(fresh), Rows { kEmptyRow });

        // A table with rules keeps every row as it is, its blank rows too, and a fifth
        // column someone else wrote; its sort state is that of a new table.
        CellTable loaded(5, 4);
        loaded.setCell(holidays::Name, 2, QStringLiteral("Christmas"));
        loaded.setCell(4, 3, QStringLiteral("extra"));
        loaded.setSortColumn(holidays::MonthName);
        loaded.setSortDirection(CellTable::SortDirection::Descending);
        const CellTable copy = holidays::listCopy(loaded);
        QCOMPARE(copy.rowCount(), 4);
        QCOMPARE(copy.colCount(), 5);
        QCOMPARE(copy.cell(holidays::Name, 0), headers[0]);
        QCOMPARE(copy.cell(holidays::Name, 2), QStringLiteral("Christmas"));
        QCOMPARE(copy.cell(4, 3), QStringLiteral("extra"));
        QCOMPARE(copy.sortColumn(), int(holidays::Name));
        QCOMPARE(copy.sortDirection(), CellTable::SortDirection::Ascending);

        QCOMPARE(holidays::listCopy(CellTable(holidays::ColumnCount, 1)).rowCount(), 2);
    }

    void ordinalNames()
    {
        QCOMPARE(holidays::ordinalNames(), (QStringList { "First", "Second", "Third", "Fourth", "Last" }));
        // Each is found by the holiday test as the ordinal it stands for.
        const QList<int> lastMondays = { 1, 8, 15, 22, 29 };
        for (int i = 0; i < 5; ++i)
            QCOMPARE(holidays::ruleDate(2000, 5, holidays::ordinalNames().at(i) + QLatin1String(" : Monday"), m_us),
                QDate(2000, 5, lastMondays[i]));
    }
};

QTEST_GUILESS_MAIN(TestHolidays)
#include "tst_holidays.moc"
