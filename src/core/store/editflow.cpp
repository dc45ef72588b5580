#include "editflow.h"

#include "celltable.h"
#include "daylist.h"
#include "text/datehelpers.h"
#include "text/regional.h"
#include "text/texthelpers.h"

namespace editflow {

namespace {

QString first50(const QString &notes)
{
    return notes.left(50);
}

bool isDroppedControl(QChar c, bool keepLineBreaks)
{
    const char16_t u = c.unicode();
    if (u == u'\t')
        return false;
    if (keepLineBreaks && (u == u'\r' || u == u'\n'))
        return false;
    return u < 0x20 || u == 0x7F;
}

QString dropControls(const QString &text, bool keepLineBreaks)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        if (!isDroppedControl(c, keepLineBreaks))
            clean += c;
    }
    return clean;
}

} // namespace

TaskList chooseEditList(bool todoFocused, bool dayFocused, bool dayCommand)
{
    if (todoFocused)
        return TaskList::Todo;
    if (dayFocused || dayCommand)
        return TaskList::Day;
    return TaskList::Todo;
}

QString dayTitle(QDate day, DateValue now, const RegionalSettings &settings)
{
    const DateValue value = datevalue::fromDate(day);
    return formatDateValue(QStringLiteral("ddd ddddd"), value, settings) + QLatin1Char(' ')
        + relativeDayText(value, now);
}

QString logDayText(QDate day, const RegionalSettings &settings)
{
    return formatDateValue(QStringLiteral("ddd ddddd"), datevalue::fromDate(day), settings);
}

QString pastTitle(const QString &title)
{
    return QStringLiteral("PAST ") + title;
}

QString editCaption(const QString &notes)
{
    // A title bar shows one line.
    return QStringLiteral("Task: ") + captionLine(notes, 50) + QStringLiteral(" ...");
}

QString deleteQuestion(const QString &notes)
{
    return QStringLiteral("Really delete \"") + first50(notes) + QStringLiteral(" ... \"?");
}

QString cleanLine(const QString &text)
{
    return dropControls(text, false);
}

QString cleanMemo(const QString &text)
{
    return dropControls(text, true);
}

QString timeText(QTime time, const RegionalSettings &settings)
{
    return formatDateValue(QStringLiteral("t"), datevalue::fromTime(time), settings);
}

TaskValues dayRowValues(const CellTable &dayList, int row, const RegionalSettings &settings, DateValue now)
{
    TaskValues task;
    task.time = datevalue::toTime(timeOfText(dayList.cell(daylist::Time, row), settings, now));
    task.category = dayList.cell(daylist::Category, row);
    task.notes = dayList.cell(daylist::What, row);
    task.done = isYes(dayList.cell(daylist::Done, row));
    task.alarm = isYes(dayList.cell(daylist::Alarm, row));
    return task;
}

TaskValues todoRowValues(const CellTable &todoList, int row, DateValue now)
{
    TaskValues task;
    task.time = datevalue::toTime(now);
    task.category = todoList.cell(todo::Category, row);
    task.notes = todoList.cell(todo::What, row);
    task.done = isYes(todoList.cell(todo::Done, row));
    return task;
}

Task taskOf(const TaskValues &values, std::optional<qint64> day, const RegionalSettings &settings)
{
    Task task;
    task.day = day;
    if (day) {
        task.time = timeText(values.time, settings);
        task.minutes = values.time.hour() * 60 + values.time.minute();
        task.alarm = values.alarm;
    }
    task.category = cleanLine(values.category);
    task.text = cleanMemo(values.notes);
    task.done = values.done;
    return task;
}

bool rowInUse(const CellTable &list, int row)
{
    return row >= 1 && row < list.rowCount() && !list.isRowBlank(row);
}

CompletedEntry completedEntry(const TaskValues &task, QDate completion, const QString &logDay,
    const QString &completionNotes, const RegionalSettings &settings)
{
    CompletedEntry entry;
    entry.compDate = formatDateValue(QStringLiteral("ddddd"), datevalue::fromDate(completion), settings);
    entry.time = formatDateValue(QStringLiteral("tt"), datevalue::fromTime(task.time), settings);
    entry.category = cleanLine(task.category);
    entry.origDate = logDay;
    entry.what = cleanMemo(task.notes);
    entry.compNotes = cleanMemo(completionNotes);
    return entry;
}

} // namespace editflow
