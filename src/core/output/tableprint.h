#pragma once

#include <QDateTime>
#include <QString>

#include "platform/printsurface.h"

class CellTable;
class Printer;
struct RegionalSettings;

// Where an item of the page heading goes.
enum class PrintPosition { None, TopLeft, TopRight, TopCentre, BottomLeft, BottomRight, BottomCentre };

enum class PrintFit {
    Never, // the natural column widths, in bands of columns when too wide
    Shrink, // narrowed to the printable width when too wide
    Always, // narrowed or widened to the printable width
};

enum class PrintBorders { None, Single, Double };

// How one table is printed. Sizes are in tenths of a millimetre.
struct TablePrintSettings
{
    PrintOrientation orientation = PrintOrientation::Portrait;
    PrintFont bodyFont; // every cell, the header row included
    PrintFont headerFont;
    PrintFont footerFont;
    QString title;
    PrintPosition titlePosition = PrintPosition::None;
    PrintPosition datePosition = PrintPosition::None;
    PrintPosition timePosition = PrintPosition::None;
    int headerSize = 0;
    int footerSize = 0;
    int leftSize = 0;
    int rightSize = 0;
    int columnSpacing = 0;
    int rowSpacing = 0;
    PrintFit fit = PrintFit::Never;
    PrintBorders borders = PrintBorders::None;
    bool centred = false;

    bool operator==(const TablePrintSettings &) const = default;
};

namespace tableprint {

// The settings of the program's printed tables.
TablePrintSettings printTableSettings(); // the selection of tasks ("Tasks for ALL dates")
TablePrintSettings dayListSettings(const QString &title); // the selected day's list
TablePrintSettings todoListSettings();
TablePrintSettings completedLogSettings();
TablePrintSettings holidayListSettings();

// The lines of a cell as printed: split at CR (an LF after it skipped) and at a lone LF;
// a final line end adds no line. An empty text is one empty line.
QStringList cellLines(const QString &text);

} // namespace tableprint

// Lays the table out on the surface: every row (the header row first) and every column, in
// bands of columns when they do not fit across, with the page heading on every page. The
// date and time of the heading are those of `now`. The job always ends: a column wider than
// the page is printed in a band of its own, cut off at the page's edge.
void printTable(PrintSurface &surface, const CellTable &table, const TablePrintSettings &settings, const QDateTime &now,
    const RegionalSettings &regional);

// Shows the print dialog with the table's orientation and, unless it is cancelled, prints
// the table. Answers whether it printed.
bool printTable(Printer &printer, const CellTable &table, const TablePrintSettings &settings, const QDateTime &now,
    const RegionalSettings &regional);
