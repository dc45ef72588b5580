#pragma once

#include <QDate>
#include <QString>

#include "store/editflow.h"

class CellTable;

// What a drag of a list row does to the lists when it is dropped: onto the other list (the
// task changes kind), onto another place in its own list, or onto a calendar day.
namespace dragrules {

using editflow::TaskList;

// The question asked before a drop on the other list; the day list's tasks lose fields there.
QString listDropQuestion(TaskList source);
inline constexpr const char *kCalendarDropQuestion = "Really move task?";

// A row a drop may land on: a data row of the list, not its header.
bool isDropRow(const CellTable &list, int row);

// Moves the source's row into a new row of the target at `dropRow`. Day to to-do keeps the
// category, what and done; to-do to day adds `nowTime` and alarm "No". The source keeps a
// blank row when its only task leaves. Answers the target row the task stands in, or -1
// when nothing moved (a row not in use, a drop outside the target's rows).
int moveBetweenLists(
    CellTable &source, TaskList sourceKind, int sourceRow, CellTable &target, int dropRow, const QString &nowTime);

// Moves a row of a list to `to`, the rows between shifting by one. Answers the row the
// task now stands in, or -1 when nothing changed.
int reorderRow(CellTable &list, int from, int to);

// A task carried onto a calendar day, as the store keeps it.
struct DraggedTask
{
    QString time;
    QString category;
    QString what;
    QString done;
    QString alarm;
};
// The task of a list row; a to-do task gets `nowTime` and its alarm off.
DraggedTask draggedTask(const CellTable &source, TaskList kind, int row, const QString &nowTime);

// The day a calendar's day cell (1 to 42, row by row from the top left) stands for: the
// first of the month plus the cell less the cell holding the first. Cells of the months
// around give their own days; anything outside 1 to 42 gives no day.
QDate dropTargetDay(QDate firstOfMonth, int firstCell, int cell);

} // namespace dragrules
