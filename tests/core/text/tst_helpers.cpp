#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"
#include "text/datehelpers.h"
#include "text/datevalue.h"
#include "text/regional.h"
#include "text/texthelpers.h"

namespace {

// Dates and times are built in UTC so that no machine time zone can move them.
QDateTime at(int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s, ms), Qt::UTC);
}

DateValue dv(int y, int m, int d, int h = 0, int min = 0)
{
    return datevalue::fromDateTime(at(y, m, d, h, min));
}

RegionalSettings withDecimalComma()
{
    RegionalSettings s = RegionalSettings::englishUK();
    s.decimalSeparator = QLatin1Char(',');
    return s;
}

RegionalSettings settingsNamed(const QString &name)
{
    if (name == QLatin1String("US"))
        return RegionalSettings::englishUS();
    if (name == QLatin1String("UK"))
        return RegionalSettings::englishUK();
    if (name == QLatin1String("comma"))
        return withDecimalComma();
    if (name == QLatin1String("spanish")) {
        // Regional twelve-hour texts with spaces and dots, and "." between hour and minute.
        RegionalSettings s = RegionalSettings::englishUK();
        s.amText = QStringLiteral("a. m.");
        s.pmText = QStringLiteral("p. m.");
        s.timeSeparator = QLatin1Char('.');
        return s;
    }
    if (name == QLatin1String("canadian")) {
        // A word, not a sign, between hour and minute.
        RegionalSettings s = RegionalSettings::englishUK();
        s.shortTimePattern = QStringLiteral("HH 'h' mm");
        return s;
    }
    qFatal("unknown settings %s", qPrintable(name));
}

} // namespace

class TestHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dateValueDayNumbers();
    void dateValueRoundTrip_data();
    void dateValueRoundTrip();
    void dateValueBeforeTheZeroDay();

    void joinPath_data();
    void joinPath();
    void listInSentence_data();
    void listInSentence();
    void messagesGoToTheDialogs();
    void recordingDialogsAnswerFromTheScript();

    void flags();
    void isBlankText_data();
    void isBlankText();
    void isFileEmpty();
    void textToIntOrZero_data();
    void textToIntOrZero();

    void keyToNumber_data();
    void keyToNumber();
    void keyToNumberKeepsTheDayOfAStoreKey();

    void timeOfText_data();
    void timeOfText();
    void timeOfTextPutsNonTimesAfterEveryRealTime();
    void aTimeWrittenUnderOneSettingReadsUnderAny_data();
    void aTimeWrittenUnderOneSettingReadsUnderAny();

    void relativeDayText_data();
    void relativeDayText();

    void monthLength_data();
    void monthLength();
    void monthFromName_data();
    void monthFromName();

    void firstLine_data();
    void firstLine();
    void memoToText_data();
    void memoToText();
    void textToMemoLines_data();
    void textToMemoLines();
    void memoRoundTrip_data();
    void memoRoundTrip();
    void textToFlatMemo_data();
    void textToFlatMemo();
    void tabField_data();
    void tabField();

    void textMatches_data();
    void textMatches();
    void everyBreakCharacterSplitsWords();
    void asciiUpperTouchesOnlyAToZ();
};

void TestHelpers::dateValueDayNumbers()
{
    QCOMPARE(datevalue::dayNumber(QDate(1899, 12, 30)), 0);
    QCOMPARE(datevalue::dayNumber(QDate(1999, 12, 31)), 36525);
    QCOMPARE(datevalue::dayNumber(QDate(1, 1, 1)), -693593);
    QCOMPARE(datevalue::dayNumber(36525.999), 36525);
    QCOMPARE(datevalue::fromDate(QDate(2000, 1, 1)), 36526.0);
    QCOMPARE(datevalue::fromDateTime(at(1999, 12, 31, 6)), 36525.25);
    QCOMPARE(datevalue::toDate(36525.75), QDate(1999, 12, 31));
    QCOMPARE(datevalue::toTime(36525.75), QTime(18, 0));
}

void TestHelpers::dateValueRoundTrip_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::newRow("midnight") << at(2024, 3, 5);
    QTest::newRow("minute") << at(2024, 3, 5, 9, 30);
    QTest::newRow("last millisecond") << at(2024, 3, 5, 23, 59, 59, 999);
    QTest::newRow("leap day") << at(2000, 2, 29, 12, 0, 1);
    QTest::newRow("year one") << at(1, 1, 1, 7, 15);
}

void TestHelpers::dateValueRoundTrip()
{
    QFETCH(QDateTime, when);
    const QDateTime back = datevalue::toDateTime(datevalue::fromDateTime(when));
    QCOMPARE(back.date(), when.date());
    QCOMPARE(back.time(), when.time());
}

void TestHelpers::dateValueBeforeTheZeroDay()
{
    // The whole part names the day, the fraction still runs forward from midnight.
    const DateValue value = datevalue::fromDateTime(at(1899, 12, 29, 6));
    QCOMPARE(value, -1.25);
    QCOMPARE(datevalue::dayNumber(value), -1);
    QCOMPARE(datevalue::toDate(value), QDate(1899, 12, 29));
    QCOMPARE(datevalue::toTime(value), QTime(6, 0));
}

void TestHelpers::joinPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("without slash") << "/home/u/.local/share/tallyday"
                                   << "/home/u/.local/share/tallyday/grid.grd";
    QTest::newRow("ending in slash") << "/home/u/.local/share/tallyday/"
                                     << "/home/u/.local/share/tallyday/grid.grd";
    QTest::newRow("root") << "/"
                          << "/grid.grd";
    QTest::newRow("no folder") << ""
                               << "grid.grd";
}

void TestHelpers::joinPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QCOMPARE(::joinPath(folder, QStringLiteral("grid.grd")), expected);
}

void TestHelpers::listInSentence_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << QStringList() << QString();
    QTest::newRow("one") << QStringList { "a" } << "a";
    QTest::newRow("two") << QStringList { "a", "b" } << "a and b";
    QTest::newRow("three") << QStringList { "a", "b", "c" } << "a, b and c";
}

void TestHelpers::listInSentence()
{
    QFETCH(QStringList, names);
    QFETCH(QString, expected);
    QCOMPARE(::listInSentence(names), expected);
}

void TestHelpers::messagesGoToTheDialogs()
{
    RecordingDialogs dialogs;
    showError(dialogs, QStringLiteral("File grid.grd not found"));
    showInfo(dialogs, QStringLiteral("Done"));
    QCOMPARE(dialogs.errors, QStringList { QStringLiteral("File grid.grd not found") });
    QCOMPARE(dialogs.infos, QStringList { QStringLiteral("Done") });
    QVERIFY(dialogs.questions.isEmpty());
}

void TestHelpers::recordingDialogsAnswerFromTheScript()
{
    RecordingDialogs dialogs;
    dialogs.confirmAnswers = { true, false };
    QVERIFY(dialogs.confirm(QStringLiteral("Delete?")));
    QVERIFY(!dialogs.confirm(QStringLiteral("Really?")));
    QVERIFY(!dialogs.confirm(QStringLiteral("No script left")));

    dialogs.inputAnswers = { QStringLiteral("Work"), std::nullopt };
    QCOMPARE(dialogs.inputBox(QStringLiteral("Category"), QStringLiteral("Name?"), QString()),
        std::optional<QString>(QStringLiteral("Work")));
    QCOMPARE(
        dialogs.inputBox(QStringLiteral("Category"), QStringLiteral("Again?"), QString()), std::optional<QString>());
    QCOMPARE(
        dialogs.inputBox(QStringLiteral("Category"), QStringLiteral("Left?"), QString()), std::optional<QString>());

    const QStringList asked = { QStringLiteral("Delete?"), QStringLiteral("Really?"), QStringLiteral("No script left"),
        QStringLiteral("Name?"), QStringLiteral("Again?"), QStringLiteral("Left?") };
    QCOMPARE(dialogs.questions, asked);
}

void TestHelpers::flags()
{
    QCOMPARE(yesNoText(true), QStringLiteral("Yes"));
    QCOMPARE(yesNoText(false), QStringLiteral("No"));
    QVERIFY(isYes(QStringLiteral("Yes")));
    // Only the exact text counts.
    QVERIFY(!isYes(QStringLiteral("yes")));
    QVERIFY(!isYes(QStringLiteral("YES")));
    QVERIFY(!isYes(QStringLiteral("Yes ")));
    QVERIFY(!isYes(QString()));

    QVERIFY(isDigitChar(QLatin1Char('0')));
    QVERIFY(isDigitChar(QLatin1Char('9')));
    QVERIFY(!isDigitChar(QLatin1Char('a')));
    QVERIFY(!isDigitChar(QChar(0x0663))); // an Arabic-Indic digit is no digit here
}

void TestHelpers::isBlankText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("blank");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("spaces") << "   " << true;
    QTest::newRow("CR LF") << "\r\n\r\n" << true;
    QTest::newRow("backspace") << " \b " << true;
    QTest::newRow("TAB only") << "\t" << false;
    QTest::newRow("no-break space") << QString(QChar(0xA0)) << false;
    QTest::newRow("letter among spaces") << "  a  " << false;
}

void TestHelpers::isBlankText()
{
    QFETCH(QString, text);
    QFETCH(bool, blank);
    QCOMPARE(::isBlankText(text), blank);
}

void TestHelpers::isFileEmpty()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing.grd"));
    const QString empty = dir.filePath(QStringLiteral("empty.grd"));
    const QString full = dir.filePath(QStringLiteral("full.grd"));
    QFile e(empty);
    QVERIFY(e.open(QIODevice::WriteOnly));
    e.close();
    QFile f(full);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write("1"), 1);
    f.close();

    QVERIFY(::isFileEmpty(missing));
    QVERIFY(::isFileEmpty(empty));
    QVERIFY(!::isFileEmpty(full));
    QVERIFY(::isFileEmpty(dir.path())); // a folder is no file
}

void TestHelpers::textToIntOrZero_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << "42" << 42;
    QTest::newRow("spaces around") << " 7 " << 7;
    QTest::newRow("negative") << "-3" << -3;
    QTest::newRow("plus") << "+5" << 5;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("largest") << "2147483647" << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << int(-2147483648LL);
    QTest::newRow("overflow") << "2147483648" << 0;
    QTest::newRow("huge") << "99999999999999999999" << 0;
    QTest::newRow("trailing letter") << "12a" << 0;
    QTest::newRow("decimal") << "1.5" << 0;
    QTest::newRow("sign only") << "-" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("hexadecimal") << "0x10" << 0;
}

void TestHelpers::textToIntOrZero()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(::textToIntOrZero(text), expected);
}

void TestHelpers::keyToNumber_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("store key") << "UK"
                               << "36525.103" << 36525.103;
    QTest::newRow("store key, decimal comma") << "comma"
                                              << "36525.103" << 36525.103;
    QTest::newRow("regional form, decimal comma") << "comma"
                                                  << "36525,103" << 36525.103;
    QTest::newRow("comma is no decimal point") << "UK"
                                               << "36525,103" << 0.0;
    QTest::newRow("only the first full stop") << "comma"
                                              << "1.2.3" << 0.0;
    QTest::newRow("whole number") << "UK"
                                  << "36525" << 36525.0;
    QTest::newRow("spaces around") << "UK"
                                   << " 36525.1 " << 36525.1;
    QTest::newRow("negative") << "comma"
                              << "-1.5" << -1.5;
    QTest::newRow("exponent") << "UK"
                              << "1.5e3" << 1500.0;
    QTest::newRow("trailing garbage") << "UK"
                                      << "36525.103x" << 0.0;
    QTest::newRow("inner space") << "UK"
                                 << "36525. 103" << 0.0;
    QTest::newRow("full stop alone") << "UK"
                                     << "." << 0.0;
    QTest::newRow("empty") << "UK"
                           << "" << 0.0;
    QTest::newRow("word") << "UK"
                          << "abc" << 0.0;
    QTest::newRow("not a number") << "UK"
                                  << "nan" << 0.0;
}

void TestHelpers::keyToNumber()
{
    QFETCH(QString, settings);
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(::keyToNumber(text, settingsNamed(settings)), expected);
}

void TestHelpers::keyToNumberKeepsTheDayOfAStoreKey()
{
    // 31 December 1999, sequence 103, read where the decimal separator is a comma.
    const qint64 day = datevalue::dayNumber(QDate(1999, 12, 31));
    const QString key = QString::number(day) + QStringLiteral(".103");
    const double value = ::keyToNumber(key, withDecimalComma());
    QCOMPARE(value, double(day) + 0.103);
    QCOMPARE(datevalue::dayNumber(value), day);
    QCOMPARE(datevalue::toDate(value), QDate(1999, 12, 31));
}

void TestHelpers::timeOfText_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds"); // -1: not a time, the current date and time

    QTest::newRow("US 9:30 AM") << "US"
                                << "9:30 AM" << 9 * 3600 + 30 * 60;
    QTest::newRow("US 9:30 PM") << "US"
                                << "9:30 PM" << 21 * 3600 + 30 * 60;
    QTest::newRow("24-hour") << "US"
                             << "21:30" << 21 * 3600 + 30 * 60;
    QTest::newRow("UK 24-hour") << "UK"
                                << "21:30" << 21 * 3600 + 30 * 60;
    QTest::newRow("leading zero") << "UK"
                                  << "09:05" << 9 * 3600 + 5 * 60;
    QTest::newRow("seconds") << "UK"
                             << "21:30:15" << 21 * 3600 + 30 * 60 + 15;
    QTest::newRow("seconds and marker") << "US"
                                        << "9:30:15 PM" << 21 * 3600 + 30 * 60 + 15;
    QTest::newRow("hour alone") << "UK"
                                << "9" << 9 * 3600;
    QTest::newRow("hour and marker") << "US"
                                     << "9 pm" << 21 * 3600;
    QTest::newRow("marker without space") << "US"
                                          << "9:30pm" << 21 * 3600 + 30 * 60;
    QTest::newRow("lower-case marker") << "US"
                                       << "9:30 am" << 9 * 3600 + 30 * 60;
    QTest::newRow("one-letter marker") << "UK"
                                       << "9:30 p" << 21 * 3600 + 30 * 60;
    QTest::newRow("one-letter marker, no space") << "US"
                                                 << "02:07p" << 14 * 3600 + 7 * 60;
    QTest::newRow("marker first") << "US"
                                  << "PM 9:30" << 21 * 3600 + 30 * 60;
    QTest::newRow("12 AM is midnight") << "US"
                                       << "12:00 AM" << 0;
    QTest::newRow("12:15 AM") << "US"
                              << "12:15 AM" << 15 * 60;
    QTest::newRow("12 PM is noon") << "US"
                                   << "12:00 PM" << 12 * 3600;
    QTest::newRow("full stop separator") << "UK"
                                         << "9.30" << 9 * 3600 + 30 * 60;
    QTest::newRow("spaces around") << "UK"
                                   << "  9:30  " << 9 * 3600 + 30 * 60;
    QTest::newRow("midnight") << "UK"
                              << "0:00" << 0;
    QTest::newRow("last minute") << "UK"
                                 << "23:59" << 23 * 3600 + 59 * 60;
    QTest::newRow("regional marker") << "spanish"
                                     << "9.30 p. m." << 21 * 3600 + 30 * 60;
    QTest::newRow("regional marker, any case") << "spanish"
                                               << "9:30 A. M." << 9 * 3600 + 30 * 60;
    QTest::newRow("regional hour mark") << "canadian"
                                        << "14 h 07" << 14 * 3600 + 7 * 60;
    QTest::newRow("regional hour mark, no spaces") << "canadian"
                                                   << "14h07" << 14 * 3600 + 7 * 60;
    QTest::newRow("colon where a mark is regional") << "canadian"
                                                    << "14:07" << 14 * 3600 + 7 * 60;
    QTest::newRow("regional hour mark, no minutes") << "canadian"
                                                    << "14 h" << -1;

    QTest::newRow("empty") << "US"
                           << "" << -1;
    QTest::newRow("spaces only") << "US"
                                 << "   " << -1;
    QTest::newRow("lunch") << "US"
                           << "lunch" << -1;
    QTest::newRow("noon") << "US"
                          << "noon" << -1;
    QTest::newRow("hour 24") << "UK"
                             << "24:00" << -1;
    QTest::newRow("minute 60") << "UK"
                               << "9:60" << -1;
    QTest::newRow("second 60") << "UK"
                               << "9:30:60" << -1;
    QTest::newRow("13 PM") << "US"
                           << "13:00 PM" << -1;
    QTest::newRow("three-digit hour") << "UK"
                                      << "930" << -1;
    QTest::newRow("three-digit minute") << "UK"
                                        << "9:300" << -1;
    QTest::newRow("separator without minutes") << "UK"
                                               << "9:" << -1;
    QTest::newRow("trailing word") << "US"
                                   << "9:30 sharp" << -1;
    QTest::newRow("two markers") << "US"
                                 << "AM 9:30 PM" << -1;
    QTest::newRow("negative") << "UK"
                              << "-9:30" << -1;
    QTest::newRow("a date") << "US"
                            << "3/5/2024" << -1;
}

void TestHelpers::timeOfText()
{
    QFETCH(QString, settings);
    QFETCH(QString, text);
    QFETCH(int, seconds);
    const FixedClock clock(at(2024, 3, 5, 14, 7));
    const DateValue value = ::timeOfText(text, settingsNamed(settings), clock);
    if (seconds < 0) {
        QCOMPARE(value, clock.nowValue());
    } else {
        QCOMPARE(value, seconds / 86400.0);
        QCOMPARE(datevalue::toTime(value), QTime(0, 0).addSecs(seconds));
    }
}

// A store written under one regional setting is read under another (the user changed it,
// or copied the data folder): its times still ring.
void TestHelpers::aTimeWrittenUnderOneSettingReadsUnderAny_data()
{
    QTest::addColumn<QString>("writer");
    for (const char *name : { "en_US", "en_GB", "de_DE", "fr_CA", "ko_KR", "ar_EG", "zh_CN", "ja_JP" })
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestHelpers::aTimeWrittenUnderOneSettingReadsUnderAny()
{
    QFETCH(QString, writer);
    RegionalSettings written = RegionalSettings::fromLocale(QLocale(writer));
    fix2000(written);
    for (const QTime time : { QTime(0, 5), QTime(9, 0), QTime(12, 0), QTime(14, 30), QTime(23, 59) }) {
        const QString text = formatDateValue(
            QStringLiteral("t"), datevalue::fromDate(QDate(2026, 1, 31)) + datevalue::fromTime(time), written);
        for (const char *reader : { "en_US", "en_GB", "de_DE", "fr_CA", "ko_KR", "ar_EG", "zh_CN", "ja_JP" }) {
            RegionalSettings settings = RegionalSettings::fromLocale(QLocale(QLatin1String(reader)));
            fix2000(settings);
            QVERIFY2(readTypedTime(text, settings) == time,
                qPrintable(QStringLiteral("\"%1\" read under %2").arg(text, QLatin1String(reader))));
        }
    }
    // Still no time: a word, or a marker alone.
    const RegionalSettings us = RegionalSettings::englishUS();
    for (const char *text : { "lunch", "\uC624\uD6C4", "14 h", "h 30" })
        QVERIFY2(!readTypedTime(QString::fromUtf8(text), us), text);
}

void TestHelpers::timeOfTextPutsNonTimesAfterEveryRealTime()
{
    const FixedClock clock(at(2024, 3, 5, 0, 1));
    const RegionalSettings us = RegionalSettings::englishUS();
    const DateValue lunch = ::timeOfText(QStringLiteral("lunch"), us, clock);
    QVERIFY(lunch > 1.0);
    QVERIFY(lunch > ::timeOfText(QStringLiteral("11:59 PM"), us, clock));
}

void TestHelpers::relativeDayText_data()
{
    QTest::addColumn<DateValue>("now");
    QTest::addColumn<DateValue>("day");
    QTest::addColumn<QString>("expected");

    // The worked examples: Wednesday 15 March 2000.
    const DateValue wed = dv(2000, 3, 15, 10, 30);
    QTest::newRow("10 days") << wed << dv(2000, 3, 25) << "10 days";
    QTest::newRow("3 mons") << wed << dv(2000, 6, 20) << "3 mons";
    QTest::newRow("2 days ago") << wed << dv(2000, 3, 13) << "2 days ago";
    QTest::newRow("3 yrs 2 mons ago") << wed << dv(1997, 1, 10) << "3 yrs 2 mons ago";
    QTest::newRow("2 yrs 1 mon") << dv(2000, 12, 31) << dv(2003, 1, 1) << "2 yrs 1 mon";
    QTest::newRow("3 yrs") << wed << dv(2003, 3, 15) << "3 yrs";

    // Only the whole days count, not the hours between.
    QTest::newRow("same day") << wed << dv(2000, 3, 15, 23, 59) << "Today";
    QTest::newRow("yesterday 23:59 at 00:01") << dv(2000, 3, 15, 0, 1) << dv(2000, 3, 14, 23, 59) << "Yesterday";
    QTest::newRow("tomorrow 00:00 at 23:59") << dv(2000, 3, 15, 23, 59) << dv(2000, 3, 16) << "Tomorrow";
    QTest::newRow("day before yesterday") << wed << dv(2000, 3, 13, 23, 59) << "2 days ago";
    QTest::newRow("day after tomorrow") << wed << dv(2000, 3, 17) << "2 days";

    // Weeks start counting from today's weekday ahead and from the day's weekday back,
    // and the past allows six weeks of days where the future allows five.
    QTest::newRow("45 days back, a Sunday") << dv(2024, 3, 6) << dv(2024, 1, 21) << "45 days ago";
    QTest::newRow("45 days back, a Saturday") << dv(2024, 3, 5) << dv(2024, 1, 20) << "7 wks ago";
    QTest::newRow("45 days ahead of a Sunday") << dv(2024, 3, 3) << dv(2024, 4, 17) << "6 wks";
    QTest::newRow("41 days ahead of a Sunday") << dv(2024, 3, 3) << dv(2024, 4, 13) << "41 days";
    QTest::newRow("36 days ahead of a Saturday") << dv(2024, 3, 9) << dv(2024, 4, 14) << "6 wks";

    // Months are calendar months, not lengths of time.
    QTest::newRow("two calendar months ahead") << dv(2000, 1, 31) << dv(2000, 3, 31) << "8 wks";
    QTest::newRow("three calendar months ahead") << dv(2000, 1, 31) << dv(2000, 4, 1) << "3 mons";
    QTest::newRow("two calendar months back") << dv(2000, 3, 31) << dv(2000, 1, 1) << "13 wks ago";
    QTest::newRow("three calendar months back") << dv(2000, 4, 1) << dv(2000, 1, 31) << "3 mons ago";
    QTest::newRow("35 months in two calendar years") << dv(2000, 1, 15) << dv(2002, 12, 15) << "35 mons";
    QTest::newRow("years and no months back") << dv(2003, 3, 15) << dv(2000, 3, 10) << "3 yrs ago";
    QTest::newRow("years and one month back") << dv(2003, 4, 15) << dv(2000, 3, 10) << "3 yrs 1 mon ago";
    QTest::newRow("years and months ahead") << dv(2000, 1, 1) << dv(2010, 12, 31) << "10 yrs 11 mons";

    const DateValue yearOne = datevalue::fromDate(QDate(1, 1, 1));
    QTest::newRow("1 January of year 1") << wed << yearOne << "1999 yrs 2 mons ago";
    QTest::newRow("before year 1") << wed << yearOne - 1 << "";
}

void TestHelpers::relativeDayText()
{
    QFETCH(DateValue, now);
    QFETCH(DateValue, day);
    QFETCH(QString, expected);
    QCOMPARE(::relativeDayText(day, now), expected);
}

void TestHelpers::monthLength_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("days");
    QTest::newRow("Feb 2000") << 2 << 2000 << 29;
    QTest::newRow("Feb 2004") << 2 << 2004 << 29;
    QTest::newRow("Feb 1900") << 2 << 1900 << 28;
    QTest::newRow("Feb 2100") << 2 << 2100 << 28;
    QTest::newRow("Feb 2001") << 2 << 2001 << 28;
    QTest::newRow("Jan") << 1 << 2001 << 31;
    QTest::newRow("Apr") << 4 << 2001 << 30;
    QTest::newRow("Jul") << 7 << 2001 << 31;
    QTest::newRow("Aug") << 8 << 2001 << 31;
    QTest::newRow("Sep") << 9 << 2001 << 30;
    QTest::newRow("Dec") << 12 << 2001 << 31;
}

void TestHelpers::monthLength()
{
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(int, days);
    QCOMPARE(::monthLength(month, year), days);
    QCOMPARE(::leapYear(year), QDate::isLeapYear(year));
}

void TestHelpers::monthFromName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("month");
    QTest::newRow("January") << "January" << 1;
    QTest::newRow("upper case") << "MARCH" << 3;
    QTest::newRow("lower case") << "december" << 12;
    QTest::newRow("mixed case") << "sEpTeMbEr" << 9;
    QTest::newRow("abbreviation") << "Mar" << 0;
    QTest::newRow("longer") << "Marches" << 0;
    QTest::newRow("spaces") << " March" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestHelpers::monthFromName()
{
    QFETCH(QString, text);
    QFETCH(int, month);
    QCOMPARE(::monthFromName(text, RegionalSettings::englishUS()), month);
}

void TestHelpers::firstLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two lines") << "Call Bob\r\nabout paint\r\n"
                               << "Call Bob";
    QTest::newRow("one line") << "Call Bob"
                              << "Call Bob";
    QTest::newRow("empty first line") << "\r\nsecond"
                                      << "";
    QTest::newRow("LF alone is no line end") << "a\nb"
                                             << "a\nb";
    QTest::newRow("empty") << ""
                           << "";
}

void TestHelpers::firstLine()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::firstLine(text), expected);
}

void TestHelpers::memoToText_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no lines") << QStringList {} << "";
    QTest::newRow("one line") << QStringList { "a" } << "a";
    QTest::newRow("two lines") << QStringList { "a", "b" } << "a\r\nb\r\n";
    QTest::newRow("empty last line") << QStringList { "a", "" } << "a\r\n\r\n";
}

void TestHelpers::memoToText()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, expected);
    QCOMPARE(::memoToText(lines), expected);
}

void TestHelpers::textToMemoLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty") << "" << QStringList {};
    QTest::newRow("single line") << "a" << QStringList { "a" };
    QTest::newRow("two lines") << "a\r\nb\r\n" << QStringList { "a", "b" };
    QTest::newRow("empty lines kept") << "\r\na\r\n\r\n" << QStringList { "", "a", "" };
    // A last line without its CR LF is kept, not dropped.
    QTest::newRow("unterminated last line") << "a\r\nb" << QStringList { "a", "b" };
    QTest::newRow("lone LF stays inside a line") << "a\nb\r\nc\r\n" << QStringList { "a\nb", "c" };
}

void TestHelpers::textToMemoLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(::textToMemoLines(text), expected);
}

void TestHelpers::memoRoundTrip_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("one line") << QStringList { "Buy paint" };
    QTest::newRow("two lines") << QStringList { "a", "b" };
    QTest::newRow("blank lines") << QStringList { "", "middle", "" };
    QTest::newRow("many") << QStringList { "1", "2", "3", "4", "5" };
}

void TestHelpers::memoRoundTrip()
{
    QFETCH(QStringList, lines);
    QCOMPARE(::textToMemoLines(::memoToText(lines)), lines);
}

void TestHelpers::textToFlatMemo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("one line") << "plain"
                              << "plain";
    QTest::newRow("lines run together") << "a\r\nb\r\n"
                                        << "ab";
    QTest::newRow("unterminated") << "a\r\nb"
                                  << "ab";
    QTest::newRow("lone CR and LF kept") << "a\rb\nc"
                                         << "a\rb\nc";
}

void TestHelpers::textToFlatMemo()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::textToFlatMemo(text), expected);
}

void TestHelpers::tabField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first") << "a\tb\tc" << 1 << "a";
    QTest::newRow("middle") << "a\tb\tc" << 2 << "b";
    QTest::newRow("last") << "a\tb\tc" << 3 << "c";
    QTest::newRow("past the end") << "a\tb\tc" << 4 << "";
    QTest::newRow("no TAB") << "abc" << 1 << "abc";
    QTest::newRow("no TAB, second") << "abc" << 2 << "";
    QTest::newRow("empty field") << "a\t\tc" << 2 << "";
    QTest::newRow("after empty field") << "a\t\tc" << 3 << "c";
    QTest::newRow("leading TAB") << "\tb" << 1 << "";
    QTest::newRow("trailing TAB") << "a\t" << 2 << "";
    QTest::newRow("spaces are no separators") << "a b\tc" << 1 << "a b";
}

void TestHelpers::tabField()
{
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, expected);
    QCOMPARE(::tabField(text, n), expected);
}

void TestHelpers::textMatches_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("searched");
    QTest::addColumn<bool>("expected");

    QTest::newRow("whole word") << "Buy paint today" << true << false << "paint" << true;
    QTest::newRow("part of a word, whole word") << "Buy paint today" << true << false << "pain" << false;
    QTest::newRow("part of a word") << "Buy paint today" << false << false << "pain" << true;
    QTest::newRow("first word") << "Buy paint today" << true << false << "buy" << true;
    QTest::newRow("last word") << "Buy paint today" << true << false << "TODAY" << true;
    QTest::newRow("absent") << "Buy paint today" << false << false << "brush" << false;

    QTest::newRow("case ignored") << "Buy Paint" << true << false << "pAINT" << true;
    QTest::newRow("case matched") << "Buy Paint" << true << true << "Paint" << true;
    QTest::newRow("case differs") << "Buy Paint" << true << true << "paint" << false;
    QTest::newRow("case differs, part") << "Buy Paint" << false << true << "paint" << false;
    QTest::newRow("case ignored, part") << "Buy Paint" << false << false << "AINT" << true;
    // Only a to z fold; other letters must match as typed.
    QTest::newRow("accented letter") << "Café" << false << false << "CAFÉ" << false;

    QTest::newRow("between brackets") << "call (Bob)" << true << false << "bob" << true;
    QTest::newRow("after apostrophe") << "Bob's paint" << true << false << "s" << true;
    QTest::newRow("hyphenated") << "e-mail Bob" << true << false << "mail" << true;
    QTest::newRow("next line") << "first\r\nsecond" << true << false << "second" << true;
    QTest::newRow("underscore joins") << "foo_bar" << true << false << "bar" << false;
    QTest::newRow("digits join") << "room42" << true << false << "room" << false;
    QTest::newRow("word holding a break") << "e-mail Bob" << true << false << "e-mail" << false;
    QTest::newRow("word holding a space") << "buy paint" << true << false << "buy paint" << false;
    QTest::newRow("later whole occurrence") << "painter, paint" << true << false << "paint" << true;

    QTest::newRow("blank word") << "Buy paint" << true << false << "  " << false;
    QTest::newRow("blank text") << " \r\n" << true << false << "paint" << false;
    QTest::newRow("nothing searched") << "Buy paint" << false << false << "" << false;
}

void TestHelpers::textMatches()
{
    QFETCH(QString, text);
    QFETCH(bool, wholeWord);
    QFETCH(bool, matchCase);
    QFETCH(QString, searched);
    QFETCH(bool, expected);
    QCOMPARE(::textMatches(text, wholeWord, matchCase, searched), expected);
    if (wholeWord)
        QCOMPARE(::containsWord(text, searched, matchCase), expected);
}

void TestHelpers::everyBreakCharacterSplitsWords()
{
    const QString breaks = QStringLiteral("\t'\r\n ,./?;:`\"<>[]{}-=\\+|()%@&^$#!~*");
    QCOMPARE(breaks.size(), 35);
    for (QChar c : breaks) {
        const QString text = QStringLiteral("alpha") + c + QStringLiteral("omega");
        QVERIFY2(containsWord(text, QStringLiteral("omega"), true), qPrintable(text));
        QVERIFY2(containsWord(text, QStringLiteral("alpha"), true), qPrintable(text));
    }
    // Everything else printable in ASCII joins.
    for (char16_t u = 33; u < 127; ++u) {
        const QChar c(u);
        if (breaks.contains(c) || c.isLetterOrNumber())
            continue;
        const QString text = QStringLiteral("alpha") + c + QStringLiteral("omega");
        QVERIFY2(!containsWord(text, QStringLiteral("omega"), true), qPrintable(text));
    }
}

void TestHelpers::asciiUpperTouchesOnlyAToZ()
{
    QCOMPARE(asciiUpper(QStringLiteral("abc xyz 123 ABC")), QStringLiteral("ABC XYZ 123 ABC"));
    QCOMPARE(asciiUpper(QStringLiteral("äöü ß é ı")), QStringLiteral("äöü ß é ı"));
    QCOMPARE(asciiUpper(QStringLiteral("{`}")), QStringLiteral("{`}")); // neighbours of a and z
    QVERIFY(equalsAsciiCaseInsensitive(QStringLiteral("March"), QStringLiteral("mARCH")));
    QVERIFY(!equalsAsciiCaseInsensitive(QStringLiteral("März"), QStringLiteral("MÄRZ")));
}

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
