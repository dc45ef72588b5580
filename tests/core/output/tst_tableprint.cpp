#include "output/tableprint.h"
#include "platform/printer.h"
#include "store/celltable.h"
#include "text/regional.h"

#include <QTest>

// The recording surface measures a character as 2 units per point and a line as 5 units per
// point: in a 10-point font a character is 20 units wide and a line 50 high. Its page is
// 1900 by 2770 units.
namespace {

const QDateTime kNow(QDate(2026, 1, 31), QTime(10, 0));

RegionalSettings regional()
{
    RegionalSettings settings = RegionalSettings::englishUS();
    fix2000(settings);
    return settings;
}

CellTable tableOf(const QList<QStringList> &rows)
{
    int columns = 1;
    for (const QStringList &row : rows)
        columns = std::max(columns, int(row.size()));
    CellTable table(columns, int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            table.setCell(c, r, rows[r][c]);
    return table;
}

PrintFont font(int size)
{
    return PrintFont { QStringLiteral("Arial"), size };
}

// A plain frame: 10-point fonts, margins of 20, no heading items.
TablePrintSettings plain(PrintFit fit = PrintFit::Never)
{
    TablePrintSettings s;
    s.bodyFont = s.headerFont = s.footerFont = font(10);
    s.headerSize = s.footerSize = s.leftSize = s.rightSize = 20;
    s.columnSpacing = 10;
    s.fit = fit;
    return s;
}

// "page:left,top:text" for every cell text drawn, "/clip" added when it was clipped.
QStringList cellTexts(const RecordingPrintSurface &surface)
{
    QStringList out;
    for (const RecordingPrintSurface::Text &t : surface.texts)
        if (t.clipWidth >= 0)
            out << QStringLiteral("%1:%2,%3:%4/%5").arg(t.page).arg(t.left).arg(t.top).arg(t.text).arg(t.clipWidth);
    return out;
}

QStringList headingTexts(const RecordingPrintSurface &surface)
{
    QStringList out;
    for (const RecordingPrintSurface::Text &t : surface.texts)
        if (t.clipWidth < 0)
            out << QStringLiteral("%1:%2,%3:[%4]").arg(t.page).arg(t.left).arg(t.top).arg(t.text);
    return out;
}

} // namespace

class TestTablePrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Column widths are the widest line plus one "a" (20); the gap after a column is the
    // column spacing plus 20 (30); text starts one "a" into its column.
    void columns_data()
    {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<PrintFit>("fit");
        QTest::addColumn<QStringList>("texts");
        const QList<QStringList> narrow { { "abc", "de" } };
        // Widths 80 and 60.
        QTest::newRow("fits, never") << narrow << PrintFit::Never << QStringList { "0:40,20:abc/60", "0:150,20:de/40" };
        QTest::newRow("fits, shrink keeps the natural widths")
            << narrow << PrintFit::Shrink << QStringList { "0:40,20:abc/60", "0:150,20:de/40" };
        // D = (1900 - 40 - 60) / 140: widths 1028 and 771.
        QTest::newRow("fits, always widens to the page")
            << narrow << PrintFit::Always << QStringList { "0:40,20:abc/1008", "0:1098,20:de/751" };
        const QString sixty(60, QLatin1Char('x'));
        const QList<QStringList> wide { { sixty, sixty } };
        // Widths 1220 each; D = 1800 / 2440: 900 each.
        QTest::newRow("too wide, shrink")
            << wide << PrintFit::Shrink << QStringList { "0:40,20:" + sixty + "/880", "0:970,20:" + sixty + "/880" };
        QTest::newRow("too wide, always")
            << wide << PrintFit::Always << QStringList { "0:40,20:" + sixty + "/880", "0:970,20:" + sixty + "/880" };
        QTest::newRow("too wide, never: a band per column")
            << wide << PrintFit::Never << QStringList { "0:40,20:" + sixty + "/1200", "1:40,20:" + sixty + "/1200" };
        // 200 characters are 4000 units: wider than the page on its own.
        const QString huge(200, QLatin1Char('y'));
        QTest::newRow("a column wider than the page is cut at its edge")
            << QList<QStringList> { { "A", huge, "B" } } << PrintFit::Never
            << QStringList { "0:40,20:A/20", "1:40,20:" + huge + "/1860", "2:40,20:B/20" };
        // Widths 40 and 4020 shrink to 17 and 1782: the first is narrower than its margin.
        QTest::newRow("a column wider than the page, shrink")
            << QList<QStringList> { { "A", huge } } << PrintFit::Shrink << QStringList { "0:87,20:" + huge + "/1762" };
    }
    void columns()
    {
        QFETCH(QList<QStringList>, rows);
        QFETCH(PrintFit, fit);
        QFETCH(QStringList, texts);
        RecordingPrintSurface surface;
        printTable(surface, tableOf(rows), plain(fit), kNow, regional());
        QCOMPARE(cellTexts(surface), texts);
    }

    // Rows are k * (r + r / 8) + p / 2 high, with r the line height (50) and p a quarter of
    // the most lines of any cell times the line height.
    void rows_data()
    {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QStringList>("texts");
        // m = 2: p = 25; heading area 20, rows 2 * 56 + 12 and 56 + 12.
        QTest::newRow("a two-line note makes its row two lines high")
            << QList<QStringList> { { "When", "What" }, { "9:00", "one\r\ntwo" }, { "10:00", "next" } }
            << QStringList { "0:40,20:When/100", "0:190,20:What/80", "0:40,88:9:00/100", "0:190,88:one/80",
                   "0:190,144:two/80", "0:40,212:10:00/100", "0:190,212:next/80" };
        QTest::newRow("a lone CR and a lone LF also end a line")
            << QList<QStringList> { { "a\rb\nc" } } << QStringList { "0:40,20:a/20", "0:40,76:b/20", "0:40,132:c/20" };
        QTest::newRow("an empty row takes one line") << QList<QStringList> { { "Time", "What" }, { "", "" },
            { "x", "" } } << QStringList { "0:40,20:Time/80", "0:170,20:What/80", "0:40,144:x/80" };
        // The editor ends every line of a note with CR LF: still two lines, and p = 25.
        QTest::newRow("a note's final line end adds no line")
            << QList<QStringList> { { "When", "What" }, { "9:00", "one\r\ntwo\r\n" }, { "10:00", "next" } }
            << QStringList { "0:40,20:When/100", "0:190,20:What/80", "0:40,88:9:00/100", "0:190,88:one/80",
                   "0:190,144:two/80", "0:40,212:10:00/100", "0:190,212:next/80" };
    }
    void rows()
    {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QStringList, texts);
        RecordingPrintSurface surface;
        printTable(surface, tableOf(rows), plain(), kNow, regional());
        QCOMPARE(cellTexts(surface), texts);
    }

    void cellLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << "" << QStringList { "" };
        QTest::newRow("one line") << "one" << QStringList { "one" };
        QTest::newRow("two lines") << "one\r\ntwo" << QStringList { "one", "two" };
        QTest::newRow("two lines and a final CR LF") << "one\r\ntwo\r\n" << QStringList { "one", "two" };
        QTest::newRow("a final empty line") << "one\r\n\r\n" << QStringList { "one", "" };
        QTest::newRow("only a line end") << "\r\n" << QStringList { "" };
        QTest::newRow("a final lone CR") << "one\r" << QStringList { "one" };
        QTest::newRow("a final lone LF") << "one\n" << QStringList { "one" };
        QTest::newRow("lone CR and LF inside") << "a\rb\nc" << QStringList { "a", "b", "c" };
    }
    void cellLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(tableprint::cellLines(text), lines);
    }

    // A long list of two-line notes as the editor writes them (each line ending with CR
    // LF) takes the pages of the same notes without the final line end.
    void notesEndingWithALineEndTakeNoMorePages()
    {
        auto list = [](const QString &lineEnd) {
            QList<QStringList> rows { { "When", "What" } };
            for (int i = 0; i < 120; ++i)
                rows << QStringList { QStringLiteral("9:00"), QStringLiteral("first\r\nsecond") + lineEnd };
            return tableOf(rows);
        };
        TablePrintSettings settings = plain();
        settings.title = QStringLiteral("T");
        settings.titlePosition = PrintPosition::TopCentre;
        RecordingPrintSurface written;
        printTable(written, list(QStringLiteral("\r\n")), settings, kNow, regional());
        RecordingPrintSurface plainNotes;
        printTable(plainNotes, list(QString()), settings, kNow, regional());
        QCOMPARE(written.pages, plainNotes.pages);
        QCOMPARE(cellTexts(written), cellTexts(plainNotes));
        // Heading and footer areas 95, rows 2 * 56 + 12: 20 rows a page, the first page
        // with the header row too.
        QCOMPARE(written.pages + 1, 6);
    }

    // With a title at the top: heading area 20 + 12 + 50 = 82; footer area 20 + 12 + 50, so
    // rows (62 high) may reach 2688: 42 rows fit on a page.
    void pageBreaks_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("noteLines"); // of the last row
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("lastRowPage");
        QTest::addColumn<int>("lastRowTop");
        QTest::newRow("a full page") << 42 << 1 << 1 << 0 << 82 + 41 * 62;
        QTest::newRow("one more row starts a page") << 43 << 1 << 2 << 1 << 82;
        // p grows with the tallest cell (3 lines: p = 37): rows are 56 + 18 = 74 high, the
        // tall one 3 * 56 + 18, and the footer area 20 + 37 + 50.
        QTest::newRow("a row that would cross the footer moves to the next page") << 35 << 3 << 2 << 1 << 20 + 37 + 50;
    }
    void pageBreaks()
    {
        QFETCH(int, rows);
        QFETCH(int, noteLines);
        QFETCH(int, pages);
        QFETCH(int, lastRowPage);
        QFETCH(int, lastRowTop);
        QList<QStringList> cells;
        for (int i = 0; i < rows; ++i)
            cells << QStringList { QString::number(i) };
        QStringList lines;
        for (int i = 0; i < noteLines; ++i)
            lines << QStringLiteral("last");
        cells.last() = QStringList { lines.join(QStringLiteral("\r\n")) };
        TablePrintSettings settings = plain();
        settings.title = QStringLiteral("T");
        settings.titlePosition = PrintPosition::TopCentre;
        RecordingPrintSurface surface;
        printTable(surface, tableOf(cells), settings, kNow, regional());
        QCOMPARE(surface.pages + 1, pages);
        const RecordingPrintSurface::Text &last = [&]() -> const RecordingPrintSurface::Text & {
            for (const RecordingPrintSurface::Text &t : surface.texts)
                if (t.text == QLatin1String("last"))
                    return t;
            return surface.texts.first();
        }();
        QCOMPARE(last.page, lastRowPage);
        QCOMPARE(last.top, lastRowTop);
        // Every page has its heading, and no text reaches into the footer area.
        QCOMPARE(headingTexts(surface).size(), pages);
        for (const RecordingPrintSurface::Text &t : surface.texts)
            QVERIFY2(t.top + 50 <= 2770 - 20 - 12 - 50 || t.clipWidth < 0, qPrintable(t.text));
    }

    void aRowTallerThanAPageGoesOn()
    {
        QStringList lines;
        for (int i = 0; i < 120; ++i)
            lines << QString::number(i);
        RecordingPrintSurface surface;
        printTable(surface, tableOf({ { "What" }, { lines.join(QStringLiteral("\r\n")) } }), plain(), kNow, regional());
        QCOMPARE(cellTexts(surface).filter(QStringLiteral(":119/")).size(), 1);
        QVERIFY(surface.pages >= 2);
        for (const RecordingPrintSurface::Text &t : surface.texts)
            QVERIFY(t.top >= 0 && t.top < 2770);
    }

    void aColumnBandPrintsEveryRow()
    {
        const QString wide(90, QLatin1Char('w'));
        RecordingPrintSurface surface;
        printTable(
            surface, tableOf({ { "Time", "What" }, { "9:00", wide }, { "10:00", wide } }), plain(), kNow, regional());
        // Both columns fit alone but not together: the second band holds every row too.
        QCOMPARE(cellTexts(surface),
            (QStringList { "0:40,20:Time/100", "0:40,82:9:00/100", "0:40,144:10:00/100", "1:40,20:What/1800",
                "1:40,82:" + wide + "/1800", "1:40,144:" + wide + "/1800" }));
    }

    // A row is as high in every band as its tallest cell in any band, so the rows of the
    // bands line up: m = 2, p = 25, rows 56 + 12 high and the two-line one 2 * 56 + 12.
    void bandsLineUpRowByRow()
    {
        const QString wide(90, QLatin1Char('w'));
        RecordingPrintSurface surface;
        printTable(surface, tableOf({ { "Time", "What" }, { "9:00", wide + "\r\nmore" }, { "10:00", wide } }), plain(),
            kNow, regional());
        QCOMPARE(cellTexts(surface),
            (QStringList { "0:40,20:Time/100", "0:40,88:9:00/100", "0:40,212:10:00/100", "1:40,20:What/1800",
                "1:40,88:" + wide + "/1800", "1:40,144:more/1800", "1:40,212:" + wide + "/1800" }));
    }

    // Items join a left position in front, a right or centre position behind, in the
    // order time, date, title.
    void heading_data()
    {
        QTest::addColumn<PrintPosition>("title");
        QTest::addColumn<PrintPosition>("date");
        QTest::addColumn<PrintPosition>("time");
        QTest::addColumn<QStringList>("texts");
        using P = PrintPosition;
        // Date "1/31/2026", time "10:00 AM"; the footer items' top is at 2770 - (50 + 12 + 20) = 2688.
        QTest::newRow("print table") << P::TopCentre << P::TopLeft << P::TopRight
                                     << QStringList { "0:20,20:[1/31/2026 ]", "0:1700,20:[ 10:00 AM]",
                                            "0:890,20:[ Title]" };
        QTest::newRow("all at the top left")
            << P::TopLeft << P::TopLeft << P::TopLeft << QStringList { "0:20,20:[Title 1/31/2026 10:00 AM ]" };
        QTest::newRow("all at the top right")
            << P::TopRight << P::TopRight << P::TopRight << QStringList { "0:1380,20:[ 10:00 AM 1/31/2026 Title]" };
        QTest::newRow("bottom left date, top centre title")
            << P::TopCentre << P::BottomLeft << P::None
            << QStringList { "0:890,20:[ Title]", "0:20,2688:[1/31/2026 ]" };
        QTest::newRow("bottom centre and bottom right")
            << P::BottomCentre << P::None << P::BottomRight
            << QStringList { "0:1700,2688:[ 10:00 AM]", "0:890,2688:[ Title]" };
        QTest::newRow("nothing") << P::None << P::None << P::None << QStringList {};
    }
    void heading()
    {
        QFETCH(PrintPosition, title);
        QFETCH(PrintPosition, date);
        QFETCH(PrintPosition, time);
        QFETCH(QStringList, texts);
        TablePrintSettings settings = plain();
        settings.title = QStringLiteral("Title");
        settings.titlePosition = title;
        settings.datePosition = date;
        settings.timePosition = time;
        RecordingPrintSurface surface;
        printTable(surface, tableOf({ { "x" } }), settings, kNow, regional());
        QCOMPARE(headingTexts(surface), texts);
    }

    // The holiday list: 8-point cells (16 units a character, lines 40 high), centred,
    // single borders.
    void centredWithBorders_data()
    {
        QTest::addColumn<PrintBorders>("borders");
        QTest::addColumn<QStringList>("lines");
        // Widths 64 + 16 and 48 + 16, gaps 20: the band is 184 wide, so it starts at 858.
        // Heading area 0 + 10 + 40; rows 45 + 5 high. A line above each row, then a line at
        // each column boundary from the heading area to the last row.
        const QStringList frame { "858,50,1042,50", "858,100,1042,100", "858,50,858,150", "958,50,958,150",
            "1042,50,1042,150" };
        QTest::newRow("single") << PrintBorders::Single << (QStringList(frame) << "858,150,1042,150");
        QTest::newRow("double") << PrintBorders::Double << frame;
        QTest::newRow("none") << PrintBorders::None << QStringList {};
    }
    void centredWithBorders()
    {
        QFETCH(PrintBorders, borders);
        QFETCH(QStringList, lines);
        TablePrintSettings settings = tableprint::holidayListSettings();
        settings.borders = borders;
        RecordingPrintSurface surface;
        printTable(surface, tableOf({ { "Name", "Day" }, { "Ides", "15" } }), settings, kNow, regional());
        QStringList drawn;
        for (const RecordingPrintSurface::Line &l : surface.lines)
            drawn << QStringLiteral("%1,%2,%3,%4/%5").arg(l.x1).arg(l.y1).arg(l.x2).arg(l.y2).arg(l.width);
        const QString pen = borders == PrintBorders::Double ? QStringLiteral("/10") : QStringLiteral("/2");
        for (QString &line : lines)
            line += pen;
        QCOMPARE(drawn, lines);
        QCOMPARE(cellTexts(surface).first(), QStringLiteral("0:874,50:Name/64"));
    }

    void theDayListOfAnEmptyDay()
    {
        RecordingPrintSurface surface;
        CellTable list(5, 2);
        const QStringList headers { "Time", "Category", "What", "Done", "Alarm" };
        for (int c = 0; c < 5; ++c)
            list.setCell(c, 0, headers[c]);
        printTable(surface, list, tableprint::dayListSettings(QStringLiteral("Saturday")), kNow, regional());
        QStringList drawn;
        for (const RecordingPrintSurface::Text &t : surface.texts)
            drawn << t.text;
        QCOMPARE(drawn, (QStringList { " Saturday", "1/31/2026 ", "Time", "Category", "What", "Done", "Alarm" }));
        QCOMPARE(surface.pages, 0);
    }

    void thePrinterSetsTheOrientationAndCancelPrintsNothing()
    {
        RecordingPrinter printer;
        const CellTable log = tableOf({ { "Date", "What" }, { "1/2/2026", "x" } });
        QVERIFY(printTable(printer, log, tableprint::completedLogSettings(), kNow, regional()));
        QCOMPARE(printer.jobs.size(), 1);
        QCOMPARE(printer.jobs[0].orientation, PrintOrientation::Landscape);
        // Always fitted: the columns fill the landscape page.
        const RecordingPrintSurface &page = printer.jobs[0].surface;
        QVERIFY(page.texts.last().left + page.texts.last().clipWidth > 2770 - 20 - 40);
        printer.accept = false;
        QVERIFY(!printTable(printer, log, tableprint::printTableSettings(), kNow, regional()));
        QCOMPARE(printer.dialogsShown, 2);
        QCOMPARE(printer.jobs.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestTablePrint)
#include "tst_tableprint.moc"
