#include "schedule/catalogue.h"
#include "schedule/holidays.h"
#include "store/celltable.h"
#include "testfiles.h"
#include "text/regional.h"

#include <QDir>
#include <QLocale>
#include <QTest>

#include <algorithm>

namespace {

const QStringList kMonths = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
const char *const kDays[] = { "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun" }; // QDate's order
const char *const kOrdinals[] = { "First", "Second", "Third", "Fourth", "Last" };
constexpr int kFirstYear = 2000;
constexpr int kLastYear = 2040;

QString goldenFolder()
{
    return QStringLiteral(TALLYDAY_TEST_DATA "/schedule/catalogue");
}

// "Canada - English" -> "canada-english"
QString fileNameOf(const QString &country)
{
    QString name;
    bool gap = false;
    for (QChar c : country.toLower()) {
        if (!c.isLetterOrNumber()) {
            gap = true;
            continue;
        }
        if (gap && !name.isEmpty())
            name += QLatin1Char('-');
        gap = false;
        name += c;
    }
    return name + QStringLiteral(".ref");
}

// The day a catalogue code names, worked out here from the code alone.
QDate codeDate(const QString &code, int year)
{
    if (!code.at(0).isDigit())
        return QDate(year, int(kMonths.indexOf(code.left(3))) + 1, code.mid(3).toInt());
    const int ordinal = code.at(0).digitValue();
    const int weekday = code.at(1).digitValue() == 1 ? 7 : code.at(1).digitValue() - 1; // Monday 1 to Sunday 7
    const int month = int(kMonths.indexOf(code.mid(2))) + 1;
    if (ordinal == 5) {
        QDate day(year, month, QDate(year, month, 1).daysInMonth());
        while (day.dayOfWeek() != weekday)
            day = day.addDays(-1);
        return day;
    }
    QDate day(year, month, 1);
    while (day.dayOfWeek() != weekday)
        day = day.addDays(1);
    return day.addDays(7 * (ordinal - 1));
}

QList<QStringList> rowsOf(const CellTable &table)
{
    QList<QStringList> rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table.colCount(); ++c)
            cells << table.cell(c, r);
        rows << cells;
    }
    return rows;
}

const QStringList kHeaders = { "Holiday name", "Mo #", "Month", "Day of month" };

// A country's golden text: its lines, the rule each imports to, and every rule's day in
// each year, the year's days in date order.
QByteArray goldenText(int country)
{
    const RegionalSettings us = RegionalSettings::englishUS();
    QString out = QStringLiteral("# ") + catalogue::countries().at(country)
        + QStringLiteral(": each line of the entry list (English (United States) settings), the rule it "
                         "imports to\n# (Mo # | Month | Day of month), then the day every rule names in ")
        + QString::number(kFirstYear) + QStringLiteral(" to ") + QString::number(kLastYear)
        + QStringLiteral(". See README.md.\n");
    QList<CellTable> rules;
    for (const QString &line : catalogue::countryLines(country, us)) {
        CellTable rule(holidays::ColumnCount, 1);
        catalogue::addToGrid(rule, line, us);
        out += line + QStringLiteral("  ->  ") + rule.cell(holidays::MonthNumber, 1) + QStringLiteral(" | ")
            + rule.cell(holidays::MonthName, 1) + QStringLiteral(" | ") + rule.cell(holidays::DayRule, 1)
            + QLatin1Char('\n');
        rules << rule;
    }
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        out += QLatin1Char('\n');
        QList<std::pair<QDate, QString>> days;
        for (const CellTable &rule : rules) {
            const int month = rule.cell(holidays::MonthNumber, 1).toInt();
            const QDate day = month >= 1 && month <= 12
                ? holidays::ruleDate(year, month, rule.cell(holidays::DayRule, 1), us)
                : QDate();
            days.append({ day, rule.cell(holidays::Name, 1) });
        }
        std::stable_sort(days.begin(), days.end(), [](const auto &a, const auto &b) {
            return a.first.isValid() && (!b.first.isValid() || a.first < b.first);
        });
        for (const auto &[day, name] : days) {
            if (day.isValid())
                out += day.toString(QStringLiteral("yyyy-MM-dd ")) + QLatin1String(kDays[day.dayOfWeek() - 1]);
            else
                out += QString::number(year) + QStringLiteral(" no day");
            out += QStringLiteral("  ") + name + QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

    const RegionalSettings m_us = RegionalSettings::englishUS();

private Q_SLOTS:
    // The list's order is what the user scrolls through; each country's entries stand
    // together, so a misplaced row of the table shows here.
    void countriesInListOrder()
    {
        const QStringList expected
            = { "Australia", "Austria", "Belgium", "Brazil", "Canada - English", "Canada - French", "Denmark",
                  "Finland", "France", "Germany", "Ireland", "Italy", "Japan", "Netherlands", "New Zealand", "Norway",
                  "Portugal", "South Africa", "Spain", "Sweden", "Switzerland", "United Kingdom", "United States" };
        QCOMPARE(catalogue::countries(), expected);
        QCOMPARE(catalogue::entries().size(), size_t(236));
        size_t total = 0;
        for (int c = 0; c < expected.size(); ++c) {
            for (const catalogue::Entry &entry : catalogue::entriesOf(c))
                QCOMPARE(entry.country, c);
            total += catalogue::entriesOf(c).size();
        }
        QCOMPARE(total, catalogue::entries().size());
        QVERIFY(catalogue::entriesOf(-1).empty());
        QVERIFY(catalogue::entriesOf(int(expected.size())).empty());
        QVERIFY(catalogue::countryLines(int(expected.size()), m_us).isEmpty());
    }

    void displayText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("1st") << "en_US"
                             << "Jan01"
                             << "Jan 1st";
        QTest::newRow("2nd") << "en_US"
                             << "Jan02"
                             << "Jan 2nd";
        QTest::newRow("8th") << "en_US"
                             << "Jun08"
                             << "Jun 8th";
        QTest::newRow("11th") << "en_US"
                              << "Jul11"
                              << "Jul 11th";
        QTest::newRow("12th") << "en_US"
                              << "Feb12"
                              << "Feb 12th";
        QTest::newRow("13th") << "en_US"
                              << "Jun13"
                              << "Jun 13th";
        QTest::newRow("21st") << "en_US"
                              << "Apr21"
                              << "Apr 21st";
        QTest::newRow("22nd") << "en_US"
                              << "Feb22"
                              << "Feb 22nd";
        QTest::newRow("23rd") << "en_US"
                              << "Jan23"
                              << "Jan 23rd";
        QTest::newRow("31st") << "en_US"
                              << "May31"
                              << "May 31st";
        QTest::newRow("first Monday") << "en_US"
                                      << "12Oct"
                                      << "1st Mon in Oct";
        QTest::newRow("second Sunday") << "en_US"
                                       << "21May"
                                       << "2nd Sun in May";
        QTest::newRow("third Saturday") << "en_US"
                                        << "37May"
                                        << "3rd Sat in May";
        QTest::newRow("fourth Thursday") << "en_US"
                                         << "45Nov"
                                         << "4th Thu in Nov";
        QTest::newRow("last Monday") << "en_US"
                                     << "52May"
                                     << "Last Mon in May";
        // The month stays the code's; the weekday is the regional short name.
        QTest::newRow("German fixed day") << "de_DE"
                                          << "Mar17"
                                          << "Mar 17th";
        QTest::newRow("German weekday") << "de_DE"
                                        << "12Oct"
                                        << "1st Mo. in Oct";
        QTest::newRow("British September") << "en_GB"
                                           << "12Sep"
                                           << "1st Mon in Sep";
    }
    void displayText()
    {
        QFETCH(QString, locale);
        QFETCH(QString, code);
        QFETCH(QString, text);
        QCOMPARE(catalogue::displayText(code, RegionalSettings::fromLocale(QLocale(locale))), text);
    }

    void addToGrid_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("row");
        QTest::newRow("fixed day") << "en_US"
                                   << "Jan 1st\tNew Year's Day"
                                   << QStringList { "New Year's Day", "01", "January", "1" };
        QTest::newRow("fourth Thursday") << "en_US"
                                         << "4th Thu in Nov\tThanksgiving"
                                         << QStringList { "Thanksgiving", "11", "November", "Fourth : Thursday" };
        QTest::newRow("last Monday") << "en_US"
                                     << "Last Mon in May\tMemorial Day (Observed)"
                                     << QStringList { "Memorial Day (Observed)", "05", "May", "Last : Monday" };
        QTest::newRow("letter case") << "en_US"
                                     << "2nd sun in MAY\tMother's Day"
                                     << QStringList { "Mother's Day", "05", "May", "Second : Sunday" };
        QTest::newRow("accents kept") << "en_US"
                                      << "Nov 20th\tBuß- und Bettag/Fête"
                                      << QStringList { "Buß- und Bettag/Fête", "11", "November", "20" };
        QTest::newRow("Australian June") << "en_AU"
                                         << "Jun 8th\tQueen's Birthday"
                                         << QStringList { "Queen's Birthday", "06", "June", "8" };
        QTest::newRow("British September")
            << "en_GB"
            << "1st Mon in Sep\tLabour Day" << QStringList { "Labour Day", "09", "September", "First : Monday" };
        QTest::newRow("German March") << "de_DE"
                                      << "Mar 17th\tSt. Patrick's Day"
                                      << QStringList { "St. Patrick's Day", "03", "März", "17" };
        QTest::newRow("German weekday") << "de_DE"
                                        << "1st Mo. in Oct\tLabour Day"
                                        << QStringList { "Labour Day", "10", "Oktober", "First : Montag" };
        QTest::newRow("English weekday under German settings")
            << "de_DE"
            << "3rd Tue in Nov\tX" << QStringList { "X", "11", "November", "Third : Dienstag" };
        QTest::newRow("four-letter weekday")
            << "sv_SE"
            << "Last tors in Nov\tX" << QStringList { "X", "11", "november", "Last : torsdag" };
        QTest::newRow("one-letter weekday")
            << "ja_JP"
            << "1st 月 in Oct\tX" << QStringList { "X", "10", "10月", "First : 月曜日" };
        QTest::newRow("unknown month stays") << "en_US"
                                             << "Foo 1st\tX" << QStringList { "X", "00", "Foo", "1" };
        QTest::newRow("unknown weekday stays")
            << "en_US"
            << "1st Xyz in Oct\tX" << QStringList { "X", "10", "October", "First : Xyz" };
        QTest::newRow("day without digits") << "en_US"
                                            << "Jan xx\tX" << QStringList { "X", "01", "January", "" };
        QTest::newRow("empty name") << "en_US"
                                    << "Jan 1st\t" << QStringList { "", "01", "January", "1" };
        QTest::newRow("name cut at 255") << "en_US"
                                         << "Jan 1st\t" + QString(300, QLatin1Char('n'))
                                         << QStringList { QString(255, QLatin1Char('n')), "01", "January", "1" };
    }
    void addToGrid()
    {
        QFETCH(QString, locale);
        QFETCH(QString, line);
        QFETCH(QStringList, row);
        CellTable rules(holidays::ColumnCount, 1);
        holidays::setHeaders(rules);
        QVERIFY(catalogue::addToGrid(rules, line, RegionalSettings::fromLocale(QLocale(locale))));
        QCOMPARE(rowsOf(rules), (QList<QStringList> { kHeaders, row }));
    }

    // Every line goes in at the first rule row, so of lines added top-down the lowest
    // stands first, above the rules that were there.
    void addToGridInsertsAtTheTop()
    {
        const QStringList christmas = { "Christmas", "12", "December", "25" };
        CellTable rules(holidays::ColumnCount, 3);
        holidays::setHeaders(rules);
        holidays::setRule(rules, 1, christmas[0], christmas[2], christmas[3], m_us);
        QVERIFY(catalogue::addToGrid(rules, QStringLiteral("Jan 1st\tNew Year's Day"), m_us));
        QVERIFY(catalogue::addToGrid(rules, QStringLiteral("Feb 2nd\tGroundhog Day"), m_us));
        QVERIFY(catalogue::addToGrid(rules, QStringLiteral("Feb 2nd\tGroundhog Day"), m_us));
        const QStringList groundhog = { "Groundhog Day", "02", "February", "2" };
        const QStringList newYear = { "New Year's Day", "01", "January", "1" };
        QCOMPARE(rowsOf(rules),
            (QList<QStringList> { kHeaders, groundhog, groundhog, newYear, christmas, { "", "", "", "" } }));
        QCOMPARE(holidays::findHoliday(rules, QDate(2026, 2, 2), m_us), QStringLiteral("Groundhog Day"));
    }

    // A holiday list without rules holds its header and one empty row; the rules go in
    // above that row, which stays after them. A table without headers (the document's
    // before any holiday file exists) gets them.
    void addToGridIntoATableWithoutRules_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<bool>("headers");
        QTest::newRow("the holiday list's") << int(holidays::ColumnCount) << true;
        QTest::newRow("the document's before any file") << 3 << false;
    }
    void addToGridIntoATableWithoutRules()
    {
        QFETCH(int, columns);
        QFETCH(bool, headers);
        CellTable rules(columns, 2);
        if (headers)
            holidays::setHeaders(rules);
        QVERIFY(catalogue::addToGrid(rules, QStringLiteral("Jan 1st\tNew Year's Day"), m_us));
        QVERIFY(catalogue::addToGrid(rules, QStringLiteral("Feb 2nd\tGroundhog Day"), m_us));
        QCOMPARE(rowsOf(rules),
            (QList<QStringList> { kHeaders, { "Groundhog Day", "02", "February", "2" },
                { "New Year's Day", "01", "January", "1" }, { "", "", "", "" } }));
    }

    void addToGridRefusesATextWithoutTab()
    {
        CellTable rules(holidays::ColumnCount, 2);
        holidays::setHeaders(rules);
        const CellTable before = rules;
        QVERIFY(!catalogue::addToGrid(rules, QStringLiteral("Jan 1st New Year's Day"), m_us));
        QVERIFY(!catalogue::addToGrid(rules, QString(), m_us));
        QVERIFY(rules == before);
    }

    // Every entry, imported under these settings, gives a rule in the entry's month that
    // the holiday test finds on the entry's day in every year. Qt's short names differ from
    // the codes' English abbreviations in several of them ("Sept", "June", "März", "Mo.").
    void everyEntryImportsUnderRegionalSettings_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char *locale : { "en_US", "en_GB", "en_AU", "en_CA", "de_DE", "sv_SE", "ja_JP" })
            QTest::newRow(locale) << QString::fromLatin1(locale);
    }
    void everyEntryImportsUnderRegionalSettings()
    {
        QFETCH(QString, locale);
        const RegionalSettings settings = RegionalSettings::fromLocale(QLocale(locale));
        QStringList failures;
        const QStringList countries = catalogue::countries();
        for (int c = 0; c < countries.size(); ++c) {
            const std::span<const catalogue::Entry> entries = catalogue::entriesOf(c);
            const QStringList lines = catalogue::countryLines(c, settings);
            QCOMPARE(size_t(lines.size()), entries.size());
            for (size_t i = 0; i < entries.size(); ++i) {
                const QString code = QLatin1String(entries[i].code);
                const QString name = QString::fromUtf8(entries[i].name);
                const QString where = countries[c] + QStringLiteral(" ") + code + QStringLiteral(": ");
                QCOMPARE(lines[qsizetype(i)].section(QLatin1Char('\t'), 1), name);
                CellTable rules(holidays::ColumnCount, 1);
                QVERIFY(catalogue::addToGrid(rules, lines[qsizetype(i)], settings));
                const int month = codeDate(code, kFirstYear).month();
                QString expectedRule = rules.cell(holidays::DayRule, 1);
                if (code.at(0).isDigit())
                    expectedRule = QLatin1String(kOrdinals[code.at(0).digitValue() - 1]) + QStringLiteral(" : ")
                        + settings.dayNames.at(code.at(1).digitValue() - 1);
                const QStringList expected = { name, QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0')),
                    settings.monthNames.at(month - 1), expectedRule };
                if (rowsOf(rules).value(1) != expected)
                    failures << where + rowsOf(rules).value(1).join(QStringLiteral(" | "));
                for (int year = kFirstYear; year <= kLastYear; ++year) {
                    const QDate day = codeDate(code, year);
                    if (holidays::findHoliday(rules, day, settings) != name)
                        failures << where + QStringLiteral("not found on ") + day.toString(Qt::ISODate);
                }
            }
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 20).join(QLatin1Char('\n'))));
    }

    // A fixed day the month lacks in a year names no day of that year, and never another.
    void fixedDaysThatDoNotExist_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("year");
        QTest::addColumn<QList<QDate>>("days");
        QTest::newRow("29 February, leap year") << "Feb 29th\tLeap Day" << 2000 << QList<QDate> { { 2000, 2, 29 } };
        QTest::newRow("29 February, common year") << "Feb 29th\tLeap Day" << 2001 << QList<QDate>();
        QTest::newRow("31 September") << "Sep 31st\tNo Such Day" << 2001 << QList<QDate>();
        QTest::newRow("no number") << "Jan xx\tNo Number" << 2001 << QList<QDate>();
        QTest::newRow("number beyond int") << "Jan 99999999999th\tHuge" << 2001 << QList<QDate>();
    }
    void fixedDaysThatDoNotExist()
    {
        QFETCH(QString, line);
        QFETCH(int, year);
        QFETCH(QList<QDate>, days);
        CellTable rules(holidays::ColumnCount, 1);
        QVERIFY(catalogue::addToGrid(rules, line, m_us));
        const QString name = line.section(QLatin1Char('\t'), 1);
        QList<QDate> found;
        for (QDate day(year, 1, 1); day.year() == year; day = day.addDays(1))
            if (holidays::findHoliday(rules, day, m_us) == name)
                found << day;
        QCOMPARE(found, days);
    }

    // Each country's lines, rules and dates over 2000 to 2040 against its checked file.
    void golden_data()
    {
        QTest::addColumn<int>("country");
        const QStringList countries = catalogue::countries();
        for (int c = 0; c < countries.size(); ++c)
            QTest::newRow(qPrintable(fileNameOf(countries[c]))) << c;
    }
    void golden()
    {
        QFETCH(int, country);
        const QString path = QDir(goldenFolder()).filePath(fileNameOf(catalogue::countries().at(country)));
        const QByteArray actual = goldenText(country);
        if (qEnvironmentVariableIsSet("TALLYDAY_REGENERATE")) {
            if (!QFile::exists(path) || readAll(path) != actual)
                QVERIFY(writeBytes(path, actual));
            return;
        }
        QVERIFY2(QFile::exists(path), "no .ref: see README.md beside the files");
        QCOMPARE(QString::fromUtf8(actual), QString::fromUtf8(readAll(path)));
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
