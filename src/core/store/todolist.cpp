#include "todolist.h"

#include "gridfile.h"
#include "taskstore.h"
#include "text/datehelpers.h"
#include "text/texthelpers.h"

#include <algorithm>

namespace {

bool isUsedDataRow(const CellTable &table, int row)
{
    return row >= 1 && row < table.rowCount() && !table.isRowBlank(row);
}

// The row a dropped task goes into: the blank row of an empty list is reused, otherwise a
// new row is inserted at `at` (kept within the data rows and the end of the list).
int makeTargetRow(CellTable &list, int at)
{
    if (list.rowCount() < 2) {
        list.setRowCount(2);
        return 1;
    }
    if (list.rowCount() == 2 && list.isRowBlank(1))
        return 1;
    const int row = std::clamp(at, 1, list.rowCount()); // at the row count: appended
    list.insertBlankRows(row, 1);
    return row;
}

} // namespace

CellTable newTodoList()
{
    CellTable table(todo::ColumnCount, 2);
    table.setCell(todo::Category, 0, QStringLiteral("Category"));
    table.setCell(todo::What, 0, QStringLiteral("What"));
    table.setCell(todo::Done, 0, QStringLiteral("Done?"));
    table.setSortColumn(todo::Category);
    table.setSortDirection(CellTable::SortDirection::Ascending);
    table.setCanSort(gridNondayCanSort);
    return table;
}

bool gridNondayCanSort(int column)
{
    Q_UNUSED(column);
    return true;
}

int addTodoTask(CellTable &todoList, const TodoTask &task)
{
    if (todoList.colCount() < todo::ColumnCount)
        todoList.setColCount(todo::ColumnCount);
    const int row = todoList.firstFreeRow();
    todoList.setCell(todo::Category, row, task.category);
    todoList.setCell(todo::What, row, task.what);
    todoList.setCell(todo::Done, row, task.done);
    return todoList.sortRows(row);
}

CellTable newCompletedLog()
{
    CellTable table(completed::ColumnCount, 2);
    setCompletedHeaders(table);
    table.setCanSort([](int) { return true; });
    return table;
}

void setCompletedHeaders(CellTable &log)
{
    if (log.colCount() < completed::ColumnCount)
        log.setColCount(completed::ColumnCount);
    if (log.rowCount() < 2)
        log.setRowCount(2);
    const char *headers[] = { "Comp Date", "Time", "Category", "Orig Date", "What", "Comp Notes" };
    for (int c = 0; c < completed::ColumnCount; ++c)
        log.setCell(c, 0, QString::fromLatin1(headers[c]));
}

CompletedEntry completedEntryAt(const CellTable &log, int row)
{
    return { log.cell(completed::CompDate, row), log.cell(completed::Time, row), log.cell(completed::Category, row),
        log.cell(completed::OrigDate, row), log.cell(completed::What, row), log.cell(completed::CompNotes, row) };
}

void addCompletedEntry(CellTable &log, const CompletedEntry &entry)
{
    if (log.colCount() < completed::ColumnCount)
        log.setColCount(completed::ColumnCount);
    // Only a wholly blank row 1 is the empty log's row; anything else in it (even without a
    // date) is kept and moves down.
    if (log.rowCount() < 2)
        log.setRowCount(2);
    else if (!log.isRowBlank(1))
        log.insertBlankRows(1, 1);
    log.setCell(completed::CompDate, 1, entry.compDate);
    log.setCell(completed::Time, 1, entry.time);
    log.setCell(completed::Category, 1, entry.category);
    log.setCell(completed::OrigDate, 1, entry.origDate);
    log.setCell(completed::What, 1, entry.what);
    log.setCell(completed::CompNotes, 1, entry.compNotes);
}

SaveResult AddToCompleteGrid(CellTable &log, const CompletedEntry &entry, const QString &path)
{
    addCompletedEntry(log, entry);
    return writeGridFile(log, path);
}

bool deleteCompletedRow(CellTable &log, int row)
{
    if (row < 1 || row >= log.rowCount())
        return false;
    if (log.rowCount() < 3)
        log.blankRows(1, 1);
    else
        log.deleteRows(row, 1);
    return true;
}

void clearCompletedLog(CellTable &log)
{
    log.blankDataRows();
    log.setRowCount(2);
}

bool isCompletedEntry(const CellTable &log, int row)
{
    return isUsedDataRow(log, row);
}

bool setCompletedTexts(CellTable &log, int row, const QString &what, const QString &compNotes)
{
    if (!isCompletedEntry(log, row))
        return false;
    if (log.cell(completed::What, row) == what && log.cell(completed::CompNotes, row) == compNotes)
        return false;
    log.setCell(completed::What, row, what);
    log.setCell(completed::CompNotes, row, compNotes);
    return true;
}

QList<int> completedColumnWidths(int listWidth, double dpi, int scrollBarWidth, int frameWidth)
{
    constexpr int kMinimum = 16;
    const int fixed96[] = { 70, 62, 58, 128 };
    QList<int> widths;
    int used = 0;
    for (int w : fixed96) {
        widths << int(w * dpi) / 96;
        used += widths.last();
    }
    const int shared = std::max(kMinimum, (listWidth - used - scrollBarWidth - frameWidth - 6) / 2);
    widths << shared << shared;
    return widths;
}

bool insertTodoIntoDayList(const CellTable &todoList, int todoRow, CellTable &dayList, int at, const QString &time)
{
    if (!isUsedDataRow(todoList, todoRow))
        return false;
    const QString category = todoList.cell(todo::Category, todoRow);
    const QString what = todoList.cell(todo::What, todoRow);
    const QString done = todoList.cell(todo::Done, todoRow);
    const int row = makeTargetRow(dayList, at);
    dayList.setCell(daylist::Time, row, time);
    dayList.setCell(daylist::Category, row, category);
    dayList.setCell(daylist::What, row, what);
    dayList.setCell(daylist::Done, row, done);
    dayList.setCell(daylist::Alarm, row, yesNoText(false));
    return true;
}

bool insertDayIntoTodoList(const CellTable &dayList, int dayRow, CellTable &todoList, int at)
{
    if (!isUsedDataRow(dayList, dayRow))
        return false;
    const QString category = dayList.cell(daylist::Category, dayRow);
    const QString what = dayList.cell(daylist::What, dayRow);
    const QString done = dayList.cell(daylist::Done, dayRow);
    const int row = makeTargetRow(todoList, at);
    todoList.setCell(todo::Category, row, category);
    todoList.setCell(todo::What, row, what);
    todoList.setCell(todo::Done, row, done);
    return true;
}

bool insertTodoIntoStore(const CellTable &todoList, int todoRow, CellTable &store, qint64 day, const QString &time)
{
    if (!isUsedDataRow(todoList, todoRow))
        return false;
    store::insertDirectTask(store, day, time, todoList.cell(todo::Category, todoRow),
        todoList.cell(todo::What, todoRow), todoList.cell(todo::Done, todoRow), yesNoText(false),
        todoList.rowId(todoRow));
    return true;
}
