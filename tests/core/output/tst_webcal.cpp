#include "output/webcal.h"
#include "schedule/holidays.h"
#include "store/celltable.h"
#include "store/taskstore.h"
#include "testfiles.h"
#include "text/datevalue.h"
#include "text/regional.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <unistd.h>

namespace {

const QString kHomePage = QStringLiteral("https://www.veltrane.example/tallyday");

QString goldenFolder()
{
    return QStringLiteral(TALLYDAY_TEST_DATA "/output/webcal");
}

RegionalSettings regional()
{
    RegionalSettings settings = RegionalSettings::englishUS();
    fix2000(settings);
    return settings;
}

struct TaskLine
{
    QDate day;
    const char *time;
    const char *category;
    const char *what;
    const char *done;
    const char *alarm;
};

// February 2026 starts on a Sunday; August 2026 has 31 days and starts on a Saturday.
CellTable sampleStore()
{
    const TaskLine tasks[] = {
        { QDate(2026, 1, 31), "8:00 AM", "1 - High", "January's last", "No", "No" },
        { QDate(2026, 2, 2), "7:15 AM", "2 - Medium", "<script>document.title='hacked'</script>", "No", "No" },
        { QDate(2026, 2, 14), "9:00 AM", "1 - High", "Call <Bob> & \"Ann\"\r\nthen book a table\r\n", "No", "Yes" },
        { QDate(2026, 2, 14), "11:00 AM", "Hidden", "a task the filter hides", "No", "No" },
        { QDate(2026, 2, 14), "1:30 PM", "Café", "Zoë's party", "Yes", "No" },
        { QDate(2026, 3, 1), "8:00 AM", "1 - High", "March's first", "No", "No" },
        { QDate(2026, 8, 1), "10:00 AM", "3 - Low", "Harvest", "No", "No" },
        { QDate(2026, 8, 31), "6:00 PM", "3 - Low", "Month's end", "Yes", "Yes" },
    };
    // Keyed as a day list writes them back: sequences from 101 in the list's order.
    CellTable store = store::newStore();
    store.setRowCount(int(std::size(tasks)) + 1);
    int row = 1;
    int sequence = store::kFirstListSequence;
    for (const TaskLine &t : tasks) {
        sequence = row > 1 && tasks[row - 2].day == t.day ? sequence + 1 : store::kFirstListSequence;
        const QStringList cells { store::makeKey(datevalue::dayNumber(t.day), sequence), QString::fromUtf8(t.time),
            QString::fromUtf8(t.category), QString::fromUtf8(t.what), QLatin1String(t.done), QLatin1String(t.alarm) };
        for (int c = 0; c < store::ColumnCount; ++c)
            store.setCell(c, row, cells[c]);
        ++row;
    }
    store::compactAndSort(store);
    return store;
}

CellTable sampleHolidays()
{
    CellTable rules(holidays::ColumnCount, 3);
    holidays::setHeaders(rules);
    const RegionalSettings settings = regional();
    holidays::setRule(
        rules, 1, QStringLiteral("Valentine's <Day> & co"), QStringLiteral("February"), QStringLiteral("14"), settings);
    holidays::setRule(rules, 2, QStringLiteral("Lammas"), QStringLiteral("August"), QStringLiteral("1"), settings);
    return rules;
}

FilterState sampleFilter()
{
    FilterState filter;
    filter.categories = { { QStringLiteral("1 - High"), true }, { QStringLiteral("Hidden"), false } };
    return filter;
}

struct Sample
{
    CellTable store = sampleStore();
    CellTable holidays = sampleHolidays();
    FilterState filter = sampleFilter();
    RegionalSettings settings = regional();

    webcal::PageSource source() const
    {
        return { [this](
                     QDate day) -> QString { return webcal::HTMLDumpEventDay(store, filter, holidays, settings, day); },
            [this](QDate day) { return webcal::HTMLDumpEventDetails(store, filter, day); } };
    }
    QStringList page(QDate month, bool details) const
    {
        return webcal::pageLines(month, details, source(), settings, kHomePage);
    }
};

// The page as headless Chromium built it, after any script on it ran; empty when it failed.
QString domInChromium(const QString &chromium, const QString &page)
{
    QTemporaryDir profile;
    QStringList arguments { QStringLiteral("--headless"), QStringLiteral("--disable-gpu"),
        QStringLiteral("--user-data-dir=") + profile.path(), QStringLiteral("--dump-dom"),
        QUrl::fromLocalFile(page).toString() };
    if (::geteuid() == 0)
        arguments.prepend(QStringLiteral("--no-sandbox")); // Chromium refuses to sandbox as root
    QProcess process;
    process.start(chromium, arguments);
    if (!process.waitForFinished(180000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int countLines(const QStringList &lines, const QString &line)
{
    return int(lines.count(line));
}

} // namespace

class TestWebCal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The whole page, line for line, against the files kept beside the test. Run with
    // TALLYDAY_REGENERATE set to write them afresh, then read the difference.
    void golden_data()
    {
        QTest::addColumn<QDate>("month");
        QTest::addColumn<bool>("details");
        QTest::addColumn<QString>("name");
        QTest::newRow("February from Sunday, details") << QDate(2026, 2, 14) << true << "2026-02-details.htm";
        QTest::newRow("February from Sunday, no details") << QDate(2026, 2, 14) << false << "2026-02-plain.htm";
        QTest::newRow("31 days from Saturday, details") << QDate(2026, 8, 20) << true << "2026-08-details.htm";
    }
    void golden()
    {
        QFETCH(QDate, month);
        QFETCH(bool, details);
        QFETCH(QString, name);
        const Sample sample;
        const QByteArray actual = webcal::pageBytes(sample.page(month, details));
        const QString ref = QDir(goldenFolder()).filePath(name);
        if (qEnvironmentVariableIsSet("TALLYDAY_REGENERATE")) {
            if (readAll(ref) != actual)
                QVERIFY(writeBytes(ref, actual));
            return;
        }
        QVERIFY2(QFile::exists(ref), qPrintable(ref));
        QCOMPARE(QString::fromUtf8(actual), QString::fromUtf8(readAll(ref)));
    }

    void weekRows_data()
    {
        QTest::addColumn<QDate>("month");
        QTest::addColumn<int>("weeks");
        QTest::addColumn<int>("emptyCells");
        QTest::newRow("28-day February from Sunday") << QDate(2026, 2, 1) << 5 << 7;
        QTest::newRow("31 days from Saturday") << QDate(2026, 8, 1) << 6 << 11;
        QTest::newRow("30 days from Saturday") << QDate(2025, 11, 1) << 6 << 12;
        QTest::newRow("31 days from Friday") << QDate(2026, 5, 1) << 6 << 11;
        QTest::newRow("31 days from Thursday") << QDate(2026, 1, 1) << 5 << 4;
    }
    void weekRows()
    {
        QFETCH(QDate, month);
        QFETCH(int, weeks);
        QFETCH(int, emptyCells);
        const QStringList page = Sample().page(month, false);
        // Two rows per week, plus the weekday heading row.
        QCOMPARE(countLines(page, QStringLiteral("<tr>")), 2 * weeks + 1);
        int empty = 0;
        for (const QString &line : page)
            empty += line.startsWith(QLatin1String("<td width=14% class=FillDay ")) ? 1 : 0;
        QCOMPARE(empty, emptyCells);
        int numbers = 0;
        for (const QString &line : page)
            numbers += line.contains(QLatin1String("class=numbercell ")) ? 1 : 0;
        QCOMPARE(numbers, month.daysInMonth());
    }

    void grid()
    {
        const webcal::DayGrid february = webcal::FillGridWithNumbers(2026, 2);
        QCOMPARE(february[0][0], 1);
        QCOMPARE(february[3][6], 28);
        for (int column = 0; column < 7; ++column) {
            QCOMPARE(february[4][size_t(column)], 0);
            QCOMPARE(february[5][size_t(column)], 0);
        }
        const webcal::DayGrid august = webcal::FillGridWithNumbers(2026, 8);
        QCOMPARE(august[0][5], 0);
        QCOMPARE(august[0][6], 1);
        QCOMPARE(august[1][0], 2);
        QCOMPARE(august[5][0], 30);
        QCOMPARE(august[5][1], 31);
        QCOMPARE(august[5][2], 0);
    }

    void checkerBoard_data()
    {
        QTest::addColumn<int>("week");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("shade");
        QTest::newRow("odd, odd") << 1 << 1 << "bgcolor=#CCFFFF";
        QTest::newRow("odd, even") << 1 << 2 << "";
        QTest::newRow("even, odd") << 2 << 7 << "";
        QTest::newRow("even, even") << 6 << 4 << "bgcolor=#CCFFFF";
    }
    void checkerBoard()
    {
        QFETCH(int, week);
        QFETCH(int, column);
        QTEST(webcal::GetCheckerBoard(week, column), "shade");
    }

    // The holiday in blue, then the shown tasks in store order; hidden ones are left out
    // and every user text is escaped.
    void dayContent_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("content");
        QTest::newRow("holiday and two tasks")
            << QDate(2026, 2, 14)
            << "<font color=\"Blue\">Valentine's &lt;Day&gt; &amp; co</font><br>9:00 am 1 - High<br>1:30 pm Café<br>";
        QTest::newRow("holiday only") << QDate(2026, 8, 1)
                                      << "<font color=\"Blue\">Lammas</font><br>10:00 am 3 - Low<br>";
        QTest::newRow("nothing") << QDate(2026, 2, 15) << "&nbsp;";
    }
    void dayContent()
    {
        QFETCH(QDate, day);
        const Sample sample;
        QTEST(webcal::HTMLDumpEventDay(sample.store, sample.filter, sample.holidays, sample.settings, day), "content");
    }

    void details()
    {
        const Sample sample;
        const QList<webcal::DetailRecord> records
            = webcal::HTMLDumpEventDetails(sample.store, sample.filter, QDate(2026, 2, 14));
        const QList<webcal::DetailRecord> expected {
            { "14", "9:00 am", "1 - High", "Yes", "No", "Call <Bob> & \"Ann\"\r\nthen book a table\r\n" },
            { "14", "1:30 pm", "Café", "No", "Yes", "Zoë's party" },
        };
        QCOMPARE(records, expected);
    }

    // A note cannot bring markup into the page: it arrives as text.
    void notesAreEscaped()
    {
        const QStringList page = Sample().page(QDate(2026, 2, 1), true);
        const QString text = page.join(QLatin1Char('\n'));
        QVERIFY(!text.contains(QLatin1String("<script")));
        QVERIFY(text.contains(QLatin1String("&lt;script&gt;document.title='hacked'&lt;/script&gt;")));
        QVERIFY(!text.contains(QLatin1String("<Bob>")));
        QVERIFY(!text.contains(QLatin1String("a task the filter hides")));
    }

    void withoutDetails()
    {
        const QStringList page = Sample().page(QDate(2026, 2, 1), false);
        QCOMPARE(countLines(page, QStringLiteral("<p>")), 0);
        QVERIFY(!page.join(QString()).contains(QLatin1String(">Details<")));
        QCOMPARE(page.constLast(), QStringLiteral("</body></html>"));
    }

    // The published page in a real browser: the month is a table of its days, and a note
    // holding a script is shown as text and runs nothing. The same script put in raw does
    // run, so the check can see a script that ran.
    void inChromium()
    {
        QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (chromium.isEmpty())
            chromium = QStandardPaths::findExecutable(QStringLiteral("chromium-browser"));
        if (chromium.isEmpty())
            QSKIP("chromium is not installed (scripts/setup.sh installs it): the page is not opened in a browser");
        const QString script = QStringLiteral("<script>document.body.setAttribute('data-ran','yes')</script>");
        Sample sample;
        store::insertDirectTask(sample.store, datevalue::dayNumber(QDate(2026, 2, 20)), QStringLiteral("5:00 PM"),
            QStringLiteral("1 - High"), script, QStringLiteral("No"), QStringLiteral("No"));
        store::compactAndSort(sample.store);
        QTemporaryDir dir;
        const QString page = dir.filePath(QStringLiteral("calendar.htm"));
        const QStringList lines = sample.page(QDate(2026, 2, 1), true);
        QVERIFY(writeBytes(page, webcal::pageBytes(lines)));

        const QString dom = domInChromium(chromium, page);
        QVERIFY2(!dom.isEmpty(), "chromium did not load the page");
        // A cell outside a table would be dropped by the browser's parser: the days are there,
        // so they stand in a table.
        QCOMPARE(int(dom.count(QRegularExpression(QStringLiteral("<td[^>]*class=\"numbercell\"")))), 28);
        QVERIFY(dom.contains(QLatin1String("<table")));
        QVERIFY(dom.contains(QStringLiteral("<title>Calendar</title>")));
        QVERIFY(!dom.contains(QLatin1String("data-ran=\"yes\"")));
        QVERIFY(!dom.contains(QLatin1String("<script")));
        QVERIFY(
            dom.contains(QLatin1String("&lt;script&gt;document.body.setAttribute('data-ran','yes')&lt;/script&gt;")));

        // The control: the same note written raw into the page.
        QStringList raw = lines;
        raw.insert(raw.size() - 1, script);
        const QString rawPage = dir.filePath(QStringLiteral("raw.htm"));
        QVERIFY(writeBytes(rawPage, webcal::pageBytes(raw)));
        QVERIFY(domInChromium(chromium, rawPage).contains(QLatin1String("data-ran=\"yes\"")));
    }

    void title()
    {
        QCOMPARE(
            webcal::publishTitle(QDate(2026, 8, 20), regional()), QStringLiteral("Publish August 2026 as a web page"));
    }
};

QTEST_GUILESS_MAIN(TestWebCal)
#include "tst_webcal.moc"
