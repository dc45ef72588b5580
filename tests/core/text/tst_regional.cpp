#include <QtTest>

#include "text/datevalue.h"
#include "text/regional.h"

namespace {

QDateTime at(int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s, ms), Qt::UTC);
}

// Tuesday afternoon, Saturday just after midnight, and noon.
const QDateTime kAfternoon = at(2024, 3, 5, 14, 7, 9);
const QDateTime kPastMidnight = at(2024, 11, 9, 0, 5, 3);
const QDateTime kNoon = at(2024, 3, 5, 12, 0);

RegionalSettings settingsNamed(const QString &name)
{
    if (name == QLatin1String("US"))
        return RegionalSettings::englishUS();
    if (name == QLatin1String("UK"))
        return RegionalSettings::englishUK();
    if (name == QLatin1String("dotted")) {
        // Separators that differ from the pattern's "/" and ":".
        RegionalSettings s = RegionalSettings::englishUK();
        s.dateSeparator = QLatin1Char('.');
        s.timeSeparator = QLatin1Char('.');
        return s;
    }
    if (name == QLatin1String("french")) {
        // Names that no QLocale of the machine would give for an English pattern.
        RegionalSettings s = RegionalSettings::englishUK();
        s.monthNames = QStringList { "janvier", "février", "mars", "avril", "mai", "juin", "juillet", "août",
            "septembre", "octobre", "novembre", "décembre" };
        s.shortMonthNames = QStringList { "janv.", "févr.", "mars", "avr.", "mai", "juin", "juil.", "août", "sept.",
            "oct.", "nov.", "déc." };
        s.dayNames = QStringList { "dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi" };
        s.shortDayNames = QStringList { "dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam." };
        s.shortDatePattern = QStringLiteral("dd/MM/yyyy");
        return s;
    }
    if (name == QLatin1String("month names")) {
        RegionalSettings s = RegionalSettings::englishUS();
        s.shortDatePattern = QStringLiteral("dd-MMM-yyyy");
        return s;
    }
    if (name == QLatin1String("ISO")) {
        RegionalSettings s = RegionalSettings::englishUS();
        s.shortDatePattern = QStringLiteral("yyyy-MM-dd");
        return s;
    }
    if (name == QLatin1String("compact")) {
        RegionalSettings s = RegionalSettings::englishUS();
        s.shortDatePattern = QStringLiteral("yyyyMMdd");
        return s;
    }
    if (name == QLatin1String("weekday")) {
        RegionalSettings s = RegionalSettings::englishUS();
        s.shortDatePattern = QStringLiteral("ddd M/d/yyyy");
        return s;
    }
    qFatal("unknown settings %s", qPrintable(name));
}

bool hasUnquotedLetter(const QString &pattern, QChar letter)
{
    bool quoted = false;
    for (QChar c : pattern) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == letter)
            return true;
    }
    return false;
}

} // namespace

class TestRegional : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fixedSettings();
    void fromLocaleOfC();
    void fromLocaleTakesTheLocalesFormats();
    void fromLocaleSeparators_data();
    void fromLocaleSeparators();
    void fromLocaleDropsTheTimeZone_data();
    void fromLocaleDropsTheTimeZone();

    void fix2000_data();
    void fix2000();

    void formatDateValue_data();
    void formatDateValue();
    void formatDateValueUsesTheAdjustedPatterns();

    void formatQtPattern_data();
    void formatQtPattern();

    void parseShortDate_data();
    void parseShortDate();
    void parseShortDateReadsWhatIsWritten_data();
    void parseShortDateReadsWhatIsWritten();
};

void TestRegional::fixedSettings()
{
    const RegionalSettings us = RegionalSettings::englishUS();
    QCOMPARE(us.shortDatePattern, QStringLiteral("M/d/yyyy"));
    QCOMPARE(us.longDatePattern, QStringLiteral("dddd, MMMM d, yyyy"));
    QCOMPARE(us.shortTimePattern, QStringLiteral("h:mm AP"));
    QCOMPARE(us.longTimePattern, QStringLiteral("h:mm:ss AP"));
    QCOMPARE(us.decimalSeparator, QLatin1Char('.'));
    QCOMPARE(us.monthNames.size(), 12);
    QCOMPARE(us.shortMonthNames.size(), 12);
    QCOMPARE(us.monthNames.first(), QStringLiteral("January"));
    QCOMPARE(us.shortMonthNames.last(), QStringLiteral("Dec"));
    // Sunday first.
    QCOMPARE(
        us.dayNames, (QStringList { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" }));
    QCOMPARE(us.shortDayNames.first(), QStringLiteral("Sun"));

    const RegionalSettings uk = RegionalSettings::englishUK();
    QCOMPARE(uk.shortDatePattern, QStringLiteral("dd/MM/yyyy"));
    QCOMPARE(uk.longDatePattern, QStringLiteral("dd MMMM yyyy"));
    QCOMPARE(uk.shortTimePattern, QStringLiteral("HH:mm"));
    QCOMPARE(uk.longTimePattern, QStringLiteral("HH:mm:ss"));
    QCOMPARE(uk.dayNames, us.dayNames);
    QCOMPARE(uk.monthNames, us.monthNames);
}

void TestRegional::fromLocaleOfC()
{
    QCOMPARE(RegionalSettings::fromLocale(QLocale::c()), RegionalSettings::englishUS());
    QCOMPARE(RegionalSettings::fromLocale(QLocale(QStringLiteral("POSIX"))), RegionalSettings::englishUS());
}

void TestRegional::fromLocaleTakesTheLocalesFormats()
{
    const RegionalSettings de = RegionalSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(de.decimalSeparator, QLatin1Char(','));
    QCOMPARE(de.dateSeparator, QLatin1Char('.'));
    QCOMPARE(de.timeSeparator, QLatin1Char(':'));
    QCOMPARE(de.dayNames.size(), 7);
    QCOMPARE(de.dayNames.first(), QStringLiteral("Sonntag"));
    QCOMPARE(de.dayNames.at(1), QStringLiteral("Montag"));
    QCOMPARE(de.monthNames.size(), 12);
    QCOMPARE(de.monthNames.at(2), QStringLiteral("März"));
    QCOMPARE(::formatQtPattern(de.shortDatePattern, kAfternoon, de).remove(QLatin1Char('0')),
        QStringLiteral("5.3.24")); // "dd.MM.yy" or "d.M.yy", whichever Qt's data says
    QCOMPARE(::formatQtPattern(de.longTimePattern, kAfternoon, de), QStringLiteral("14:07:09"));

    const RegionalSettings us = RegionalSettings::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(us.dayNames, RegionalSettings::englishUS().dayNames);
    QCOMPARE(us.monthNames, RegionalSettings::englishUS().monthNames);
    QCOMPARE(us.amText, QStringLiteral("AM"));
    QCOMPARE(::formatQtPattern(us.longTimePattern, kAfternoon, us), QStringLiteral("2:07:09 PM"));
    QCOMPARE(::formatQtPattern(us.shortTimePattern, kAfternoon, us), QStringLiteral("2:07 PM"));
}

void TestRegional::fromLocaleSeparators_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QChar>("date");
    QTest::addColumn<QChar>("time");
    QTest::addColumn<QChar>("decimal");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << QChar(u'/') << QChar(u':')
                           << QChar(u'.');
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << QChar(u'.') << QChar(u':') << QChar(u',');
    QTest::newRow("fi_FI") << QLocale(QLocale::Finnish, QLocale::Finland) << QChar(u'.') << QChar(u'.') << QChar(u',');
    QTest::newRow("ISO order") << QLocale(QLocale::Swedish, QLocale::Sweden) << QChar(u'-') << QChar(u':')
                               << QChar(u',');
    // The direction marks around the slashes are not the separator.
    QTest::newRow("ar_EG") << QLocale(QLocale::Arabic, QLocale::Egypt) << QChar(u'/') << QChar(u':') << QChar(0x066B);
}

void TestRegional::fromLocaleSeparators()
{
    QFETCH(QLocale, locale);
    QFETCH(QChar, date);
    QFETCH(QChar, time);
    QFETCH(QChar, decimal);
    const RegionalSettings s = RegionalSettings::fromLocale(locale);
    QCOMPARE(s.dateSeparator, date);
    QCOMPARE(s.timeSeparator, time);
    QCOMPARE(s.decimalSeparator, decimal);
}

void TestRegional::fromLocaleDropsTheTimeZone_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom);
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany);
    QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France);
    QTest::newRow("ja_JP") << QLocale(QLocale::Japanese, QLocale::Japan);
    QTest::newRow("zh_CN") << QLocale(QLocale::Chinese, QLocale::China);
    QTest::newRow("ko_KR") << QLocale(QLocale::Korean, QLocale::SouthKorea);
}

void TestRegional::fromLocaleDropsTheTimeZone()
{
    QFETCH(QLocale, locale);
    const RegionalSettings s = RegionalSettings::fromLocale(locale);
    for (const QString &pattern : { s.shortTimePattern, s.longTimePattern }) {
        QVERIFY2(!hasUnquotedLetter(pattern, QLatin1Char('t')), qPrintable(pattern));
        QVERIFY2(!pattern.isEmpty() && pattern == pattern.trimmed(), qPrintable(pattern));
        // What is left still writes the minute.
        QVERIFY2(::formatQtPattern(pattern, kAfternoon, s).contains(QLatin1Char('7')), qPrintable(pattern));
    }
}

void TestRegional::fix2000_data()
{
    QTest::addColumn<QString>("shortDate");
    QTest::addColumn<QString>("longTime");
    QTest::addColumn<QString>("fixedDate");
    QTest::addColumn<QString>("fixedTime");

    QTest::newRow("two-digit year, seconds") << "M/d/yy"
                                             << "h:mm:ss tt"
                                             << "M/d/yyyy"
                                             << "h:mm tt";
    QTest::newRow("month abbreviation") << "dd-MMM-yy"
                                        << "HH:mm:ss"
                                        << "dd-MM-yyyy"
                                        << "HH:mm";
    QTest::newRow("full stops") << "dd.MM.yy"
                                << "HH.mm.ss"
                                << "dd.MM.yyyy"
                                << "HH.mm";
    QTest::newRow("seconds without separator") << "yyyy-MM-dd"
                                               << "HH 'h' mm ss"
                                               << "yyyy-MM-dd"
                                               << "HH 'h' mm ";
    QTest::newRow("already fixed") << "dd/MM/yyyy"
                                   << "HH:mm"
                                   << "dd/MM/yyyy"
                                   << "HH:mm";
    QTest::newRow("Qt am/pm") << "M/d/yyyy"
                              << "h:mm:ss AP"
                              << "M/d/yyyy"
                              << "h:mm AP";
    // A full month name becomes numeric in one run, not an abbreviation first.
    QTest::newRow("full month name") << "d MMMM yy"
                                     << "HH:mm:ss"
                                     << "d MM yyyy"
                                     << "HH:mm";
    // The searches are case-sensitive: these are not Qt's year and second letters.
    QTest::newRow("upper-case letters") << "d/M/YY"
                                        << "h:mm:SS"
                                        << "d/M/YY"
                                        << "h:mm:SS";
}

void TestRegional::fix2000()
{
    QFETCH(QString, shortDate);
    QFETCH(QString, longTime);
    QFETCH(QString, fixedDate);
    QFETCH(QString, fixedTime);

    RegionalSettings s = RegionalSettings::englishUS();
    s.shortDatePattern = shortDate;
    s.longTimePattern = longTime;
    const RegionalSettings before = s;

    ::fix2000(s);
    QCOMPARE(s.shortDatePattern, fixedDate);
    QCOMPARE(s.longTimePattern, fixedTime);
    // Nothing else is touched.
    QCOMPARE(s.shortTimePattern, before.shortTimePattern);
    QCOMPARE(s.longDatePattern, before.longDatePattern);

    const RegionalSettings once = s;
    ::fix2000(s);
    QCOMPARE(s, once);
}

void TestRegional::formatDateValue_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("expected");

    // The patterns the program writes with.
    QTest::newRow("US ddd ddddd") << "US"
                                  << "ddd ddddd" << kAfternoon << "Tue 3/5/2024";
    QTest::newRow("UK ddd ddddd") << "UK"
                                  << "ddd ddddd" << kAfternoon << "Tue 05/03/2024";
    QTest::newRow("US dddddd tt") << "US"
                                  << "dddddd tt" << kAfternoon << "Tuesday, March 5, 2024 2:07:09 PM";
    QTest::newRow("UK dddddd tt") << "UK"
                                  << "dddddd tt" << kAfternoon << "05 March 2024 14:07:09";
    QTest::newRow("US mmmm yyyy") << "US"
                                  << "mmmm yyyy" << kAfternoon << "March 2024";
    QTest::newRow("UK mmmm yyyy") << "UK"
                                  << "mmmm yyyy" << kPastMidnight << "November 2024";
    QTest::newRow("US t") << "US"
                          << "t" << kAfternoon << "2:07 PM";
    QTest::newRow("US t after midnight") << "US"
                                         << "t" << kPastMidnight << "12:05 AM";
    QTest::newRow("UK t") << "UK"
                          << "t" << kPastMidnight << "00:05";
    QTest::newRow("US tt after midnight") << "US"
                                          << "tt" << kPastMidnight << "12:05:03 AM";
    QTest::newRow("hh:nna/p afternoon") << "US"
                                        << "hh:nna/p" << kAfternoon << "02:07p";
    QTest::newRow("hh:nna/p after midnight") << "UK"
                                             << "hh:nna/p" << kPastMidnight << "12:05a";
    QTest::newRow("hh:nna/p at noon") << "US"
                                      << "hh:nna/p" << kNoon << "12:00p";
    QTest::newRow("h:mm am/pm") << "US"
                                << "h:mm am/pm" << kAfternoon << "2:07 pm";
    QTest::newRow("h:mm am/pm morning") << "UK"
                                        << "h:mm am/pm" << kPastMidnight << "12:05 am";

    // am/pm keeps the case as written; ampm gives the regional text.
    QTest::newRow("AM/PM") << "US"
                           << "h:mm AM/PM" << kAfternoon << "2:07 PM";
    QTest::newRow("Am/Pm") << "US"
                           << "h:mm Am/Pm" << kAfternoon << "2:07 Pm";
    QTest::newRow("A/P") << "US"
                         << "h:nn A/P" << kPastMidnight << "12:05 A";
    QTest::newRow("US ampm") << "US"
                             << "h:nn ampm" << kAfternoon << "2:07 PM";
    QTest::newRow("UK ampm") << "UK"
                             << "h:nn ampm" << kAfternoon << "2:07 pm";
    QTest::newRow("hour before the marker's text") << "US"
                                                   << "hh \"o'clock\" am/pm" << kAfternoon << "02 o'clock pm";

    // Hours are 24-hour without a marker.
    QTest::newRow("24-hour") << "US"
                             << "hh:nn" << kAfternoon << "14:07";
    QTest::newRow("24-hour, no zeros") << "US"
                                       << "h:n:s" << kPastMidnight << "0:5:3";
    QTest::newRow("seconds") << "US"
                             << "ss" << kPastMidnight << "03";

    // m is the month, except straight after an hour.
    QTest::newRow("m is month") << "US"
                                << "d/m/yy" << kAfternoon << "5/3/24";
    QTest::newRow("mm is month") << "US"
                                 << "mm" << kAfternoon << "03";
    QTest::newRow("mm after hh is minutes") << "US"
                                            << "hh:mm:ss" << kPastMidnight << "00:05:03";
    QTest::newRow("m after h is minutes") << "US"
                                          << "h:m" << kPastMidnight << "0:5";
    QTest::newRow("mm after a date is month") << "US"
                                              << "dd/mm/yyyy hh:mm" << kAfternoon << "05/03/2024 14:07";
    QTest::newRow("mmm is a name after h") << "US"
                                           << "h mmm" << kAfternoon << "14 Mar";

    QTest::newRow("day names") << "US"
                               << "ddd dddd" << kPastMidnight << "Sat Saturday";
    QTest::newRow("padded day") << "US"
                                << "dd" << kAfternoon << "05";
    QTest::newRow("month abbreviation") << "US"
                                        << "mmm d, yyyy" << kAfternoon << "Mar 5, 2024";
    QTest::newRow("two-digit year") << "US"
                                    << "yy" << kAfternoon << "24";
    QTest::newRow("upper case specifiers") << "US"
                                           << "DDDD, MMMM D YYYY" << kAfternoon << "Tuesday, March 5 2024";
    QTest::newRow("mixed case specifiers") << "US"
                                           << "Hh:Nn Am/Pm" << kAfternoon << "02:07 Pm";

    // Quoted text is copied, specifiers and all.
    QTest::newRow("single quotes") << "US"
                                   << "'Due' d mmm" << kAfternoon << "Due 5 Mar";
    QTest::newRow("double quotes") << "US"
                                   << "\"at\" hh:nn" << kAfternoon << "at 14:07";
    QTest::newRow("quoted specifiers") << "US"
                                       << "'dd mm' yyyy" << kAfternoon << "dd mm 2024";
    QTest::newRow("quote inside other quotes") << "US"
                                               << "\"d'\"yyyy" << kAfternoon << "d'2024";
    QTest::newRow("unterminated quote") << "US"
                                        << "yyyy 'rest" << kAfternoon << "2024 rest";
    QTest::newRow("other characters") << "US"
                                      << "d [w] - yyyy" << kAfternoon << "5 [w] - 2024";

    // "/" and ":" are the regional separators.
    QTest::newRow("regional separators") << "dotted"
                                         << "d/m/yyyy h:nn" << kAfternoon << "5.3.2024 14.07";
    QTest::newRow("quoted separators stay") << "dotted"
                                            << "d'/'m" << kAfternoon << "5/3";
}

void TestRegional::formatDateValue()
{
    QFETCH(QString, settings);
    QFETCH(QString, pattern);
    QFETCH(QDateTime, when);
    QFETCH(QString, expected);
    QCOMPARE(::formatDateValue(pattern, datevalue::fromDateTime(when), settingsNamed(settings)), expected);
}

void TestRegional::formatDateValueUsesTheAdjustedPatterns()
{
    RegionalSettings s = RegionalSettings::englishUS();
    s.shortDatePattern = QStringLiteral("dd-MMM-yy");
    const DateValue value = datevalue::fromDateTime(kAfternoon);
    QCOMPARE(::formatDateValue(QStringLiteral("ddddd tt"), value, s), QStringLiteral("05-Mar-24 2:07:09 PM"));
    ::fix2000(s);
    QCOMPARE(::formatDateValue(QStringLiteral("ddddd tt"), value, s), QStringLiteral("05-03-2024 2:07 PM"));
    QCOMPARE(::formatDateValue(QStringLiteral("t"), value, s), QStringLiteral("2:07 PM"));
}

void TestRegional::formatQtPattern_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("expected");

    QTest::newRow("US short date") << "US"
                                   << "M/d/yyyy" << kAfternoon << "3/5/2024";
    QTest::newRow("padded short date") << "US"
                                       << "MM/dd/yy" << kAfternoon << "03/05/24";
    QTest::newRow("US long date") << "US"
                                  << "dddd, MMMM d, yyyy" << kPastMidnight << "Saturday, November 9, 2024";
    QTest::newRow("abbreviations") << "US"
                                   << "ddd d MMM" << kAfternoon << "Tue 5 Mar";
    QTest::newRow("regional names") << "french"
                                    << "dddd d MMMM yyyy" << kAfternoon << "mardi 5 mars 2024";
    QTest::newRow("regional abbreviations") << "french"
                                            << "ddd d MMM" << kPastMidnight << "sam. 9 nov.";

    QTest::newRow("AP afternoon") << "US"
                                  << "h:mm AP" << kAfternoon << "2:07 PM";
    QTest::newRow("AP after midnight") << "US"
                                       << "h:mm AP" << kPastMidnight << "12:05 AM";
    QTest::newRow("AP at noon") << "US"
                                << "hh:mm AP" << kNoon << "12:00 PM";
    QTest::newRow("ap lower case") << "US"
                                   << "h:mm ap" << kAfternoon << "2:07 pm";
    QTest::newRow("A upper case from lower text") << "UK"
                                                  << "h:mm A" << kAfternoon << "2:07 PM";
    QTest::newRow("a") << "US"
                       << "h:mm a" << kPastMidnight << "12:05 am";
    QTest::newRow("h is 24-hour without AP") << "US"
                                             << "h:mm" << kAfternoon << "14:07";
    QTest::newRow("H ignores AP") << "US"
                                  << "H:mm AP" << kAfternoon << "14:07 PM";
    QTest::newRow("HH:mm:ss") << "UK"
                              << "HH:mm:ss" << kPastMidnight << "00:05:03";
    QTest::newRow("H:m:s") << "UK"
                           << "H:m:s" << kPastMidnight << "0:5:3";
    QTest::newRow("milliseconds") << "UK"
                                  << "HH:mm:ss.zzz" << at(2024, 3, 5, 14, 7, 9, 45) << "14:07:09.045";
    QTest::newRow("fraction without trailing zeros") << "UK"
                                                     << "ss.z" << at(2024, 3, 5, 14, 7, 9, 500) << "09.5";

    QTest::newRow("quoted text") << "UK"
                                 << "HH 'h' mm" << kAfternoon << "14 h 07";
    QTest::newRow("quoted specifiers") << "UK"
                                       << "'yyyy' yyyy" << kAfternoon << "yyyy 2024";
    QTest::newRow("doubled quote") << "UK"
                                   << "hh 'o''clock'" << kAfternoon << "14 o'clock";
    QTest::newRow("doubled quote alone") << "UK"
                                         << "d''M" << kAfternoon << "5'3";
    QTest::newRow("quoted a is no AP") << "US"
                                       << "h 'am'" << kAfternoon << "14 am";
    QTest::newRow("lone y is text") << "UK"
                                    << "y yy yyyy" << kAfternoon << "y 24 2024";
    QTest::newRow("time zone written as nothing") << "UK"
                                                  << "HH:mm t" << kAfternoon << "14:07 ";
}

void TestRegional::formatQtPattern()
{
    QFETCH(QString, settings);
    QFETCH(QString, pattern);
    QFETCH(QDateTime, when);
    QFETCH(QString, expected);
    QCOMPARE(::formatQtPattern(pattern, when, settingsNamed(settings)), expected);
}

void TestRegional::parseShortDate_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected"); // invalid: not a date

    QTest::newRow("US") << "US"
                        << "3/7/2024" << QDate(2024, 3, 7);
    QTest::newRow("US padded") << "US"
                               << "03/07/2024" << QDate(2024, 3, 7);
    QTest::newRow("US two-digit year") << "US"
                                       << "3/7/24" << QDate(2024, 3, 7);
    QTest::newRow("two-digit year, last century") << "US"
                                                  << "3/7/97" << QDate(1997, 3, 7);
    QTest::newRow("spaces around") << "US"
                                   << " 12/31/1999 " << QDate(1999, 12, 31);
    QTest::newRow("UK day first") << "UK"
                                  << "7/3/2024" << QDate(2024, 3, 7);
    QTest::newRow("UK padded") << "UK"
                               << "07/03/2024" << QDate(2024, 3, 7);
    QTest::newRow("other separator") << "UK"
                                     << "07.03.2024" << QDate(2024, 3, 7);
    QTest::newRow("leap day") << "UK"
                              << "29/02/2000" << QDate(2000, 2, 29);
    QTest::newRow("ISO") << "ISO"
                         << "2024-03-07" << QDate(2024, 3, 7);
    QTest::newRow("ISO unpadded") << "ISO"
                                  << "2024-3-7" << QDate(2024, 3, 7);
    QTest::newRow("compact") << "compact"
                             << "20240307" << QDate(2024, 3, 7);
    QTest::newRow("month abbreviation") << "month names"
                                        << "07-Mar-2024" << QDate(2024, 3, 7);
    QTest::newRow("full month name, any case") << "month names"
                                               << "7-MARCH-2024" << QDate(2024, 3, 7);
    QTest::newRow("numeric month for a name") << "month names"
                                              << "7-3-2024" << QDate(2024, 3, 7);
    QTest::newRow("regional month names") << "french"
                                          << "7/mars/2024" << QDate(2024, 3, 7);
    QTest::newRow("regional abbreviation with a dot") << "french"
                                                      << "7 févr. 2024" << QDate(2024, 2, 7);
    QTest::newRow("weekday name") << "weekday"
                                  << "Thu 3/7/24" << QDate(2024, 3, 7);
    QTest::newRow("weekday name left out") << "weekday"
                                           << "3/7/24" << QDate(2024, 3, 7);

    QTest::newRow("30 February") << "US"
                                 << "2/30/2024" << QDate();
    QTest::newRow("29 February 2001") << "UK"
                                      << "29/02/2001" << QDate();
    QTest::newRow("month 13") << "US"
                              << "13/1/2024" << QDate();
    QTest::newRow("day 0") << "US"
                           << "3/0/2024" << QDate();
    QTest::newRow("no year") << "US"
                             << "3/7" << QDate();
    QTest::newRow("too many fields") << "US"
                                     << "3/7/2024/1" << QDate();
    QTest::newRow("three-digit day") << "US"
                                     << "3/107/2024" << QDate();
    QTest::newRow("trailing word") << "US"
                                   << "3/7/2024 soon" << QDate();
    QTest::newRow("unknown month name") << "month names"
                                        << "7-Mars-2024" << QDate();
    QTest::newRow("not a weekday") << "weekday"
                                   << "Xyz 3/7/24" << QDate();
    QTest::newRow("word") << "US"
                          << "tomorrow" << QDate();
    QTest::newRow("empty") << "US"
                           << "" << QDate();
}

void TestRegional::parseShortDate()
{
    QFETCH(QString, settings);
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    const QDate date = ::parseShortDate(text, settingsNamed(settings));
    QCOMPARE(date.isValid(), expected.isValid());
    if (expected.isValid())
        QCOMPARE(date, expected);
}

void TestRegional::parseShortDateReadsWhatIsWritten_data()
{
    QTest::addColumn<QString>("settings");
    QTest::newRow("US") << "US";
    QTest::newRow("UK") << "UK";
    QTest::newRow("month names") << "month names";
    QTest::newRow("french") << "french";
    QTest::newRow("compact") << "compact";
    QTest::newRow("weekday") << "weekday";
}

void TestRegional::parseShortDateReadsWhatIsWritten()
{
    QFETCH(QString, settings);
    const RegionalSettings s = settingsNamed(settings);
    for (const QDate &date : { QDate(1999, 12, 31), QDate(2000, 2, 29), QDate(2024, 1, 1), QDate(2024, 11, 9),
             QDate(1900, 6, 15), QDate(2100, 10, 10) }) {
        const QString text = ::formatDateValue(QStringLiteral("ddddd"), datevalue::fromDate(date), s);
        QCOMPARE(::parseShortDate(text, s), date);
    }
}

QTEST_GUILESS_MAIN(TestRegional)
#include "tst_regional.moc"
