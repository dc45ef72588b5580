#include "dragrules.h"

#include "store/celltable.h"
#include "store/daylist.h"
#include "store/todolist.h"

namespace dragrules {

QString listDropQuestion(TaskList source)
{
    return source == TaskList::Day
        ? QStringLiteral("Really move task between grids?  You will lose the Time and Alarm fields.")
        : QStringLiteral("Really move task between grids?");
}

bool isDropRow(const CellTable &list, int row)
{
    return row >= 1 && row < list.rowCount();
}

namespace {

// The source gives up its row; its only row is emptied so that the blank row stays.
void takeOut(CellTable &source, int row)
{
    if (source.rowCount() > 2)
        source.deleteRows(row, 1);
    else
        source.blankRows(row, 1);
}

} // namespace

int moveBetweenLists(
    CellTable &source, TaskList sourceKind, int sourceRow, CellTable &target, int dropRow, const QString &nowTime)
{
    if (!isDropRow(source, sourceRow) || !editflow::rowInUse(source, sourceRow) || !isDropRow(target, dropRow))
        return -1;
    const DraggedTask task = draggedTask(source, sourceKind, sourceRow, nowTime);
    bool targetEmpty = true;
    for (int r = 1; r < target.rowCount() && targetEmpty; ++r)
        targetEmpty = !editflow::rowInUse(target, r);
    if (targetEmpty) {
        // A list without tasks holds one blank row; the task takes it, so no blank row
        // stays behind as an empty task.
        target.setRowCount(2);
        target.blankRows(1, 1);
        dropRow = 1;
    } else {
        target.insertBlankRows(dropRow, 1);
    }
    if (sourceKind == TaskList::Day) {
        target.setCell(todo::Category, dropRow, task.category);
        target.setCell(todo::What, dropRow, task.what);
        target.setCell(todo::Done, dropRow, task.done);
    } else {
        target.setCell(daylist::Time, dropRow, task.time);
        target.setCell(daylist::Category, dropRow, task.category);
        target.setCell(daylist::What, dropRow, task.what);
        target.setCell(daylist::Done, dropRow, task.done);
        target.setCell(daylist::Alarm, dropRow, task.alarm);
    }
    target.setRowId(dropRow, source.rowId(sourceRow)); // the same task, in the other list
    takeOut(source, sourceRow);
    return dropRow;
}

int reorderRow(CellTable &list, int from, int to)
{
    if (!isDropRow(list, from) || !isDropRow(list, to))
        return -1;
    if (from == to)
        return to;
    CellTable moved(list.colCount(), 1);
    moved.copyRowFrom(list, from, 0);
    list.deleteRows(from, 1);
    list.insertBlankRows(to, 1);
    list.copyRowFrom(moved, 0, to);
    return to;
}

DraggedTask draggedTask(const CellTable &source, TaskList kind, int row, const QString &nowTime)
{
    if (kind == TaskList::Day)
        return { source.cell(daylist::Time, row), source.cell(daylist::Category, row), source.cell(daylist::What, row),
            source.cell(daylist::Done, row), source.cell(daylist::Alarm, row) };
    return { nowTime, source.cell(todo::Category, row), source.cell(todo::What, row), source.cell(todo::Done, row),
        QStringLiteral("No") };
}

QDate dropTargetDay(QDate firstOfMonth, int firstCell, int cell)
{
    if (!firstOfMonth.isValid() || cell < 1 || cell > 42)
        return {};
    return firstOfMonth.addDays(cell - firstCell);
}

} // namespace dragrules
