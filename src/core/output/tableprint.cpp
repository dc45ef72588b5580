#include "tableprint.h"

#include "platform/printer.h"
#include "store/celltable.h"
#include "text/datevalue.h"
#include "text/regional.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace tableprint {

namespace {

PrintFont font(const char *family, int size)
{
    PrintFont f;
    f.family = QString::fromLatin1(family);
    f.pointSize = size;
    return f;
}

// The common frame of the main window's three tables.
TablePrintSettings taskListSettings(const QString &title, const PrintFont &body, const PrintFont &footer)
{
    TablePrintSettings s;
    s.bodyFont = body;
    s.headerFont = body;
    s.footerFont = footer;
    s.title = title;
    s.titlePosition = PrintPosition::TopCentre;
    s.headerSize = 20;
    s.footerSize = 20;
    s.leftSize = 20;
    s.rightSize = 20;
    s.columnSpacing = 10;
    return s;
}

} // namespace

TablePrintSettings printTableSettings()
{
    TablePrintSettings s
        = taskListSettings(QStringLiteral("Tasks for ALL dates"), font("Arial", 10), font("Arial", 10));
    s.datePosition = PrintPosition::TopLeft;
    s.timePosition = PrintPosition::TopRight;
    s.fit = PrintFit::Shrink;
    return s;
}

TablePrintSettings dayListSettings(const QString &title)
{
    TablePrintSettings s = taskListSettings(title, font("MS Sans Serif", 10), font("MS Sans Serif", 8));
    s.datePosition = PrintPosition::BottomLeft;
    return s;
}

TablePrintSettings todoListSettings()
{
    return dayListSettings(QStringLiteral("To-do Tasks"));
}

TablePrintSettings completedLogSettings()
{
    TablePrintSettings s;
    s.orientation = PrintOrientation::Landscape;
    s.bodyFont = font("Arial", 9);
    s.headerFont = font("Arial", 9);
    s.footerFont = font("Arial", 8);
    s.title = QStringLiteral("Completed Tasks");
    s.titlePosition = PrintPosition::TopCentre;
    s.datePosition = PrintPosition::TopLeft;
    s.timePosition = PrintPosition::TopRight;
    s.headerSize = 20;
    s.footerSize = 10;
    s.leftSize = 20;
    s.rightSize = 20;
    s.fit = PrintFit::Always;
    return s;
}

TablePrintSettings holidayListSettings()
{
    TablePrintSettings s;
    s.bodyFont = font("MS Sans Serif", 8);
    s.headerFont = s.bodyFont;
    s.footerFont = s.bodyFont;
    s.title = QStringLiteral("Holidays");
    s.titlePosition = PrintPosition::TopCentre;
    s.borders = PrintBorders::Single;
    s.centred = true;
    return s;
}

QStringList cellLines(const QString &text)
{
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << line;
            line.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            line += c;
        }
    }
    // A line end closes its line; at the end of the text it opens no new one. A note as the
    // editor writes it ends every line with CR LF.
    if (!line.isEmpty() || lines.isEmpty())
        lines << line;
    return lines;
}

} // namespace tableprint

namespace {

bool isTop(PrintPosition p)
{
    return p == PrintPosition::TopLeft || p == PrintPosition::TopRight || p == PrintPosition::TopCentre;
}

bool isBottom(PrintPosition p)
{
    return p == PrintPosition::BottomLeft || p == PrintPosition::BottomRight || p == PrintPosition::BottomCentre;
}

class TableLayout
{
public:
    TableLayout(PrintSurface &surface, const CellTable &table, const TablePrintSettings &settings, const QDateTime &now,
        const RegionalSettings &regional)
        : m_surface(surface)
        , m_table(table)
        , m_s(settings)
        , m_now(now)
        , m_regional(regional)
    { }

    void run()
    {
        measure();
        fit();
        const int columns = m_table.colCount();
        bool firstBand = true;
        for (int first = 0; first < columns;) {
            const int end = bandEnd(first);
            if (!firstBand)
                m_surface.newPage();
            firstBand = false;
            printBand(first, end);
            first = end;
        }
    }

private:
    void measure()
    {
        m_pageWidth = m_surface.pageWidth();
        m_pageHeight = m_surface.pageHeight();
        m_h = m_surface.lineHeight(m_s.bodyFont);
        m_hh = m_surface.lineHeight(m_s.headerFont);
        m_hf = m_surface.lineHeight(m_s.footerFont);
        m_a = m_surface.textWidth(m_s.bodyFont, QStringLiteral("a"));

        const int rows = m_table.rowCount();
        const int columns = m_table.colCount();
        m_lines.assign(size_t(rows), std::vector<QStringList>(size_t(columns)));
        m_widths.assign(size_t(columns), 0);
        m_rowLines.assign(size_t(rows), 1);
        int most = 1;
        for (int row = 0; row < rows; ++row) {
            for (int col = 0; col < columns; ++col) {
                QStringList lines = tableprint::cellLines(m_table.cell(col, row));
                most = std::max(most, int(lines.size()));
                m_rowLines[size_t(row)] = std::max(m_rowLines[size_t(row)], int(lines.size()));
                for (const QString &line : lines)
                    m_widths[size_t(col)] = std::max(m_widths[size_t(col)], m_surface.textWidth(m_s.bodyFont, line));
                m_lines[size_t(row)][size_t(col)] = std::move(lines);
            }
        }
        for (int &width : m_widths)
            width += m_a;
        m_p = most * m_h / 4;
        m_gap = m_s.columnSpacing + 20;

        bool top = false;
        bool bottom = false;
        for (PrintPosition p : { m_s.titlePosition, m_s.datePosition, m_s.timePosition }) {
            top = top || isTop(p);
            bottom = bottom || isBottom(p);
        }
        m_headingArea = m_s.headerSize + (top ? m_p + m_hh : 0);
        m_footerArea = m_s.footerSize + (bottom ? 2 * m_p + 2 * m_hf : m_p + m_hf);
    }

    void fit()
    {
        if (m_s.fit == PrintFit::Never)
            return;
        qint64 sum = 0;
        for (int width : m_widths)
            sum += width;
        if (sum <= 0)
            return;
        const double room = double(m_pageWidth - m_s.leftSize - m_s.rightSize) - double(m_widths.size()) * m_gap;
        // A page too narrow for the gaps alone leaves nothing for the columns.
        const double d = std::max(0.0, room / double(sum));
        if (d == 1.0 || (m_s.fit == PrintFit::Shrink && d > 1.0))
            return;
        for (int &width : m_widths)
            width = int(width * d);
    }

    // One past the last column of the band that starts at `first`. A band holds at least
    // one column, so a column wider than the page still gets printed (cut off at the edge).
    int bandEnd(int first) const
    {
        const int limit = m_pageWidth - m_s.rightSize;
        int running = 0;
        int end = first;
        while (end < int(m_widths.size())) {
            running += m_widths[size_t(end)] + m_gap;
            if (running > limit && end > first)
                break;
            ++end;
            if (running > limit)
                break;
        }
        return end;
    }

    void printBand(int first, int end)
    {
        m_starts.clear();
        int x = m_s.centred ? 0 : m_s.leftSize;
        for (int col = first; col < end; ++col) {
            m_starts.push_back(x);
            x += m_widths[size_t(col)] + m_gap;
        }
        m_bandRight = x;
        if (m_s.centred && x < m_pageWidth) {
            const int shift = (m_pageWidth - x) / 2;
            for (int &start : m_starts)
                start += shift;
            m_bandRight += shift;
        }
        m_first = first;
        m_end = end;

        const int r = m_h + m_s.rowSpacing;
        const int lineStep = r + r / 8;
        const int footerTop = m_pageHeight - m_footerArea;
        drawHeading();
        int y = m_headingArea;
        for (int row = 0; row < m_table.rowCount(); ++row) {
            const int k = m_rowLines[size_t(row)];
            // A row that would run into the footer starts the next page, so nothing is
            // printed over the footer or off the paper; a row taller than a whole page goes
            // on over the next pages, line by line.
            if (y > m_headingArea && y + k * lineStep + m_p / 2 > footerTop)
                y = nextPage(y);
            if (m_s.borders != PrintBorders::None)
                m_surface.drawLine(clampX(m_starts.front()), y, clampX(m_bandRight), y, penWidth());
            for (int i = 0; i < k; ++i) {
                if (y > m_headingArea && y + lineStep > footerTop)
                    y = nextPage(y);
                drawRowLine(row, i, y);
                y += lineStep;
            }
            y += m_p / 2;
        }
        finishPage(y);
    }

    int nextPage(int bottom)
    {
        finishPage(bottom);
        m_surface.newPage();
        drawHeading();
        return m_headingArea;
    }

    // Line `line` of every cell of the row in the band.
    void drawRowLine(int row, int line, int top)
    {
        for (int col = m_first; col < m_end; ++col) {
            const QStringList &lines = m_lines[size_t(row)][size_t(col)];
            if (line >= lines.size() || lines.at(line).isEmpty())
                continue;
            const int left = m_starts[size_t(col - m_first)] + m_a;
            // Cut at the column's end, and at the page's edge for a column wider than it.
            const int clip = std::min(m_widths[size_t(col)] - m_a, m_pageWidth - left);
            if (clip > 0)
                m_surface.drawClippedText(left, top, clip, m_s.bodyFont, lines.at(line));
        }
    }

    int penWidth() const { return m_s.borders == PrintBorders::Double ? 10 : 2; }
    int clampX(int x) const { return std::min(x, m_pageWidth); }

    void finishPage(int bottom)
    {
        if (m_s.borders == PrintBorders::None)
            return;
        for (int start : m_starts)
            m_surface.drawLine(clampX(start), m_headingArea, clampX(start), bottom, penWidth());
        m_surface.drawLine(clampX(m_bandRight), m_headingArea, clampX(m_bandRight), bottom, penWidth());
        if (m_s.borders == PrintBorders::Single)
            m_surface.drawLine(clampX(m_starts.front()), bottom, clampX(m_bandRight), bottom, penWidth());
    }

    static void join(QString &at, PrintPosition position, const QString &item)
    {
        const bool left = position == PrintPosition::TopLeft || position == PrintPosition::BottomLeft;
        at = left ? item + QLatin1Char(' ') + at : at + QLatin1Char(' ') + item;
    }

    void drawHeading()
    {
        // One text per position, indexed by the enum.
        QString texts[7];
        const DateValue now = datevalue::fromDateTime(m_now);
        const QString time = formatDateValue(QStringLiteral("t"), now, m_regional);
        const QString date = formatDateValue(QStringLiteral("ddddd"), now, m_regional);
        const std::pair<PrintPosition, QString> items[]
            = { { m_s.timePosition, time }, { m_s.datePosition, date }, { m_s.titlePosition, m_s.title } };
        for (const auto &[position, text] : items)
            if (position != PrintPosition::None)
                join(texts[int(position)], position, text);

        for (int i = 1; i < 7; ++i) {
            const auto position = PrintPosition(i);
            if (texts[i].isEmpty())
                continue;
            const bool top = isTop(position);
            const PrintFont &font = top ? m_s.headerFont : m_s.footerFont;
            const int y = top ? m_s.headerSize : m_pageHeight - (m_hf + m_p + m_s.footerSize);
            const int width = m_surface.textWidth(font, texts[i]);
            int x = m_s.leftSize;
            if (position == PrintPosition::TopRight || position == PrintPosition::BottomRight)
                x = m_pageWidth - 20 - width;
            else if (position == PrintPosition::TopCentre || position == PrintPosition::BottomCentre)
                x = (m_pageWidth - width) / 2;
            m_surface.drawText(x, y, font, texts[i]);
        }
    }

    PrintSurface &m_surface;
    const CellTable &m_table;
    const TablePrintSettings &m_s;
    QDateTime m_now;
    const RegionalSettings &m_regional;

    int m_pageWidth = 0;
    int m_pageHeight = 0;
    int m_h = 0, m_hh = 0, m_hf = 0, m_a = 0, m_p = 0, m_gap = 0;
    int m_headingArea = 0;
    int m_footerArea = 0;
    std::vector<std::vector<QStringList>> m_lines; // [row][column]
    // The most lines of any cell of the row, in any band: a row is as high in every band,
    // so the bands' rows line up and their pages break at the same rows.
    std::vector<int> m_rowLines;
    std::vector<int> m_widths;
    std::vector<int> m_starts; // of the band's columns
    int m_bandRight = 0;
    int m_first = 0;
    int m_end = 0;
};

} // namespace

void printTable(PrintSurface &surface, const CellTable &table, const TablePrintSettings &settings, const QDateTime &now,
    const RegionalSettings &regional)
{
    TableLayout(surface, table, settings, now, regional).run();
}

bool printTable(Printer &printer, const CellTable &table, const TablePrintSettings &settings, const QDateTime &now,
    const RegionalSettings &regional)
{
    return printer.print(
        settings.orientation, [&](PrintSurface &surface) { printTable(surface, table, settings, now, regional); });
}
