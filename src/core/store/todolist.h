#pragma once

#include <QString>

#include "celltable.h"
#include "safefile.h"

// The two record sets beside the dated-task store: the to-do list (tasks without a date,
// "gridNon.grd") and the log of completed tasks ("gridComp.grd"), with the conversions
// that move a task between the to-do list, the day list and the store.

namespace todo {

enum Column { Category = 0, What = 1, Done = 2, ColumnCount = 3 };

} // namespace todo

// An empty to-do list: the three header texts and one blank row, sorted by "Category"
// ascending, every column sortable by a header click.
CellTable newTodoList();

// The to-do list's can-sort hook: every column may be sorted.
bool gridNondayCanSort(int column);

// One to-do task as the add flow places it.
struct TodoTask
{
    QString category; // may be empty
    QString what;
    QString done; // "Yes" or "No"
};

// Places the task in the first blank row (appending one when there is none), then sorts
// the list by its current sort column and direction. A row counts as blank only when all
// its cells are empty, so a task without a category never takes another one's place.
// Answers the row where the task stands after the sort.
int addTodoTask(CellTable &todoList, const TodoTask &task);

namespace completed {

enum Column { CompDate = 0, Time = 1, Category = 2, OrigDate = 3, What = 4, CompNotes = 5, ColumnCount = 6 };

// The "Orig Date" of a completed to-do task, which has no day of its own.
inline constexpr const char *kNonDateTask = "Non date task";

} // namespace completed

// An empty completed-task log: the six header texts and one blank row; every column
// sortable by a header click.
CellTable newCompletedLog();

// Writes the six header texts into row 0 and makes sure the log has its six columns and
// at least one data row, whatever file was read into it.
void setCompletedHeaders(CellTable &log);

// One completed task, in the texts the log stores.
struct CompletedEntry
{
    QString compDate; // the completion date, short date pattern
    QString time; // long time pattern
    QString category;
    QString origDate; // "ddd ddddd" of the task's day, or "Non date task"
    QString what; // lines joined by memoToText
    QString compNotes; // lines joined by memoToText
};

CompletedEntry completedEntryAt(const CellTable &log, int row);

// Puts the entry on top of the log: the blank row of an empty log receives it, otherwise
// it goes into a new row 1 above the older entries.
void addCompletedEntry(CellTable &log, const CompletedEntry &entry);

// addCompletedEntry, then writes the whole log to `path` at once.
SaveResult AddToCompleteGrid(CellTable &log, const CompletedEntry &entry, const QString &path);

// Deletes a data row of the log; the only data row is emptied instead, so the log keeps
// one blank row. A row outside the data rows changes nothing. Answers whether it did.
bool deleteCompletedRow(CellTable &log, int row);

// Empties the log down to its header and one blank data row.
void clearCompletedLog(CellTable &log);

// Whether a log row holds an entry rather than being the blank row of an empty log.
bool isCompletedEntry(const CellTable &log, int row);

// Writes the "WHAT" and "COMPLETION NOTES" texts back into an entry. The blank row of an
// empty log is no entry and is left alone. Answers whether the row changed.
bool setCompletedTexts(CellTable &log, int row, const QString &what, const QString &compNotes);

// The widths of the log's six columns in a list `listWidth` pixels wide: the first four
// fixed (70, 62, 58 and 128 at 96 pixels per inch, scaled to `dpi`), the last two sharing
// what is left after those, the vertical scroll bar (pass 0 when every row is visible),
// the frame and a margin of 6. Never narrower than a few pixels.
QList<int> completedColumnWidths(int listWidth, double dpi, int scrollBarWidth, int frameWidth);

// Moving a task between the lists. Each takes the source row and answers false, changing
// nothing, when that row is not in use (blank or outside the data rows). A target list
// whose only data row is blank has that row filled instead of getting a new one.
//
// A to-do task becomes a day-list row at `at`: `time` (the current time, "t"), its
// category, text and done flag, alarm "No".
bool insertTodoIntoDayList(const CellTable &todoList, int todoRow, CellTable &dayList, int at, const QString &time);
// A day-list task becomes a to-do row at `at`: category, text and done flag; its time and
// alarm are dropped.
bool insertDayIntoTodoList(const CellTable &dayList, int dayRow, CellTable &todoList, int at);
// A to-do task dropped on a calendar day: inserted directly into the store (key day.100),
// with the values of insertTodoIntoDayList. The caller ends the batch with SortGridStore.
bool insertTodoIntoStore(const CellTable &todoList, int todoRow, CellTable &store, qint64 day, const QString &time);
