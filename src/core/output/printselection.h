#pragma once

#include <QString>

class CellTable;
struct RegionalSettings;

// Which tasks a print, a "Daily Tasks" export or "Clear all data" takes: the choices of the
// selection dialog. At first: all dates, done and open tasks, to-do tasks, every category.
struct PrintSelection
{
    bool allDates = true;
    qint64 firstDay = 0; // day numbers, both ends included
    qint64 lastDay = 0;
    bool selectedCategories = false;
    // The category picked in the list; empty when none is picked, which then lets only tasks
    // without a category through.
    QString category;
    bool done = true;
    bool notDone = true;
    bool todo = true;

    bool operator==(const PrintSelection &) const = default;
};

namespace printselection {

// Why the dialog's OK is refused, in the order it is checked.
enum class Refusal { None, NoKind, DatesReversed };
Refusal check(const PrintSelection &selection);
QString refusalText(Refusal refusal);

// Columns of the print table.
enum Column { Date = 0, Time = 1, Category = 2, What = 3, Done = 4, Alarm = 5, ColumnCount = 6 };

// The print table between uses: its header row and one empty row.
CellTable newPrintTable();
void resetPrintTable(CellTable &gridPrint);

// Appends a to-do row to the print table for every to-do task in use that passes the
// selection, in list order.
void appendTodoRows(CellTable &gridPrint, const CellTable &todoList, const PrintSelection &selection);

// Fills the print table as a print of the selection: the dated tasks when Done or Not Done
// is chosen, then the to-do tasks when To-do is.
void fillForPrint(CellTable &gridPrint, const CellTable &store, const CellTable &todoList,
    const PrintSelection &selection, const RegionalSettings &regional);

// What clearing removed.
struct Cleared
{
    int datedTasks = 0;
    int todoTasks = 0;
};
// Deletes the selected tasks: from the store when Done or Not Done is chosen, from the
// to-do list when To-do is. A first row that passes is emptied, not removed, so each table
// keeps a body row. The completed-task log is never touched.
Cleared clearSelection(CellTable &store, CellTable &todoList, const PrintSelection &selection);

} // namespace printselection

// The dated store row passes the selection; `day` is the whole day of its key.
bool okToPrintDateTask(const PrintSelection &selection, const CellTable &store, int row, qint64 day);
// The to-do row passes the selection.
bool okToPrintNonDateTask(const PrintSelection &selection, const CellTable &todoList, int row);
// Refills the print table with its header row and the dated tasks that pass the selection,
// in store order: the day in the short date pattern, then the store's cells.
void TransfertoGridPrint(
    CellTable &gridPrint, const CellTable &store, const PrintSelection &selection, const RegionalSettings &regional);
