#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include "task.h"
#include "text/datevalue.h"
#include "todolist.h"

class CellTable;
struct RegionalSettings;

// The rules of the add, edit, complete and delete flows that need no window: which list a
// command works on, the captions, and how a task's values go into and out of a list row.
namespace editflow {

enum class TaskList { Day, Todo };

// Edit and complete: the to-do list when it has the focus; otherwise the day list when it
// has the focus or the command belongs to it; otherwise the to-do list.
TaskList chooseEditList(bool todoFocused, bool dayFocused, bool dayCommand);

// A day's title: "ddd ddddd", a space and the relative-day phrase.
QString dayTitle(QDate day, DateValue now, const RegionalSettings &settings);
// What a completed-task row records as a dated task's day: "ddd ddddd".
QString logDayText(QDate day, const RegionalSettings &settings);
inline constexpr const char *kTodoTitle = "To-do task";
inline constexpr const char *kTodoHeading = "To-do Tasks";
// "PAST " in front of the title of a day before today.
QString pastTitle(const QString &title);

// The editor's caption: "Task: ", the first 50 characters of the notes' first line, " ...".
QString editCaption(const QString &notes);
// The delete question: Really delete "<first 50 characters> ... "?
QString deleteQuestion(const QString &notes);

// A task as the editor holds it.
struct TaskValues
{
    QTime time;
    QString category;
    QString notes; // lines joined by CR LF
    bool done = false;
    bool alarm = false;
};

// Cleans what goes into a one-line cell: control characters (a TAB aside) are dropped, so a
// pasted line break or a stray escape never splits or garbles a cell.
QString cleanLine(const QString &text);
// The most characters a task's notes take from typing or pasting.
constexpr int kNotesLength = 2048;
// The most characters of a category.
constexpr int kCategoryLength = 20;
// Cleans a memo's text for its cell: control characters other than line breaks and TAB are
// dropped. The memo's limit is kept by the memo itself.
QString cleanMemo(const QString &text);

// A list row's values. Day-list rows: time ("t"), category, notes, done, alarm;
// to-do rows: category, notes, done. A time that is not a time reads as the current time.
TaskValues dayRowValues(const CellTable &dayList, int row, const RegionalSettings &settings, DateValue now);
TaskValues todoRowValues(const CellTable &todoList, int row, DateValue now);
// The time as a day-list cell: the short time pattern.
QString timeText(QTime time, const RegionalSettings &settings);
// The task the editor's values make, cleaned for its cells: on `day`, or a to-do without one.
Task taskOf(const TaskValues &values, std::optional<qint64> day, const RegionalSettings &settings);

// Whether a list row holds a task (any cell not empty).
bool rowInUse(const CellTable &list, int row);

// The completed-task row of a task completed on `completion`: the date in the short date
// pattern and the time in the long time pattern.
CompletedEntry completedEntry(const TaskValues &task, QDate completion, const QString &logDay,
    const QString &completionNotes, const RegionalSettings &settings);

} // namespace editflow
