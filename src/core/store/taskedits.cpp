// The task document's changes by identity: a task is found where it is held and changed
// there, with one save of each file it touches.
#include "taskdocument.h"

#include "taskstore.h"
#include "text/texthelpers.h"
#include "todolist.h"

namespace {

// A flag keeps its cell's text while it keeps its value; an empty cell gets "Yes" or "No".
QString flagCell(const QString &cell, bool on)
{
    return !cell.isEmpty() && isYes(cell) == on ? cell : yesNoText(on);
}

// A day-list column in the day list, or in the store whose rows are the day list's behind
// their key.
int columnIn(bool inStore, daylist::Column column)
{
    return inStore ? int(store::storeColumn(column)) : int(column);
}

void setDatedCells(CellTable &table, bool inStore, int row, const Task &task)
{
    const auto column = [inStore](daylist::Column c) { return columnIn(inStore, c); };
    table.setCell(column(daylist::Time), row, task.time);
    table.setCell(column(daylist::Category), row, task.category);
    table.setCell(column(daylist::What), row, task.text);
    table.setCell(column(daylist::Done), row, flagCell(table.cell(column(daylist::Done), row), task.done));
    table.setCell(column(daylist::Alarm), row, flagCell(table.cell(column(daylist::Alarm), row), task.alarm));
}

void setTodoCells(CellTable &todo, int row, const Task &task)
{
    todo.setCell(todo::Category, row, task.category);
    todo.setCell(todo::What, row, task.text);
    todo.setCell(todo::Done, row, flagCell(todo.cell(todo::Done, row), task.done));
}

} // namespace

TaskDocument::Place TaskDocument::placeOf(CellTable::RowId id) const
{
    if (id == 0)
        return {};
    // The shown day's tasks are in the day list and in the store: the day list is what the
    // user sees and what is written back.
    if (const int row = m_dayList.findRowId(id); row > 0)
        return { Place::List::Day, row };
    if (const int row = m_store.findRowId(id); row > 0)
        return { Place::List::Store, row };
    if (const int row = m_todo.findRowId(id); row > 0)
        return { Place::List::Todo, row };
    return {};
}

qint64 TaskDocument::dayOf(const Place &place) const
{
    return place.list == Place::List::Day ? m_shownDay : store::keyDay(m_store.cellUtf8(store::Key, place.row));
}

void TaskDocument::takeOutOfStore(const Place &place)
{
    if (place.list == Place::List::Day) {
        store::deleteListRow(m_dayList, place.row);
        stageShownDay();
    } else {
        store::deleteListRow(m_store, place.row);
        m_batchTouchesShownDay = m_batchTouchesShownDay || dayOf(place) == m_shownDay;
    }
}

TaskDocument::Added TaskDocument::addTask(const Task &task)
{
    Added added;
    if (task.isTodo()) {
        const int row = m_todo.firstFreeRow();
        setTodoCells(m_todo, row, task);
        added.id = m_todo.rowId(m_todo.sortRows(row));
        Q_EMIT todoChanged();
        added.saved = saveTodo();
    } else if (*task.day == m_shownDay) {
        const int row = m_dayList.firstFreeRow();
        setDatedCells(m_dayList, false, row, task);
        added.id = m_dayList.rowId(m_dayList.sortRows(row));
        added.saved = writeShownDay();
    } else {
        added.id = CellTable::newRowId();
        insertDirectTask(
            *task.day, task.time, task.category, task.text, yesNoText(task.done), yesNoText(task.alarm), added.id);
        added.saved = endDirectBatch();
    }
    return added;
}

SaveResult TaskDocument::addTasks(const std::vector<Task> &tasks)
{
    bool any = false;
    for (const Task &task : tasks) {
        if (task.isTodo())
            continue;
        insertDirectTask(*task.day, task.time, task.category, task.text, yesNoText(task.done), yesNoText(task.alarm));
        any = true;
    }
    return any ? endDirectBatch() : SaveResult {};
}

SaveResult TaskDocument::updateTask(const Task &task)
{
    return changeTask(task, true);
}

SaveResult TaskDocument::changeTask(const Task &task, bool inPlace)
{
    const Place place = placeOf(task.id);
    switch (place.list) {
    case Place::List::None:
        return {};
    case Place::List::Todo: {
        if (task.isTodo()) {
            setTodoCells(m_todo, place.row, task);
            Q_EMIT todoChanged();
            return saveTodo();
        }
        // Onto a day: the to-do list lets it go on disk only once the store holds it.
        const QString done = flagCell(m_todo.cell(todo::Done, place.row), task.done);
        store::deleteListRow(m_todo, place.row);
        Q_EMIT todoChanged();
        insertDirectTask(*task.day, task.time, task.category, task.text, done, yesNoText(task.alarm), task.id);
        const SaveResult placed = endDirectBatch();
        return placed ? saveTodo() : placed;
    }
    case Place::List::Day:
    case Place::List::Store:
        break;
    }
    const bool inStore = place.list == Place::List::Store;
    CellTable &table = inStore ? m_store : m_dayList;
    const qint64 day = dayOf(place);
    if (task.day == day && inPlace) {
        setDatedCells(table, inStore, place.row, task);
        if (!inStore)
            return writeShownDay();
        m_batchTouchesShownDay = m_batchTouchesShownDay || day == m_shownDay;
        return endDirectBatch();
    }
    const QString done = flagCell(table.cell(columnIn(inStore, daylist::Done), place.row), task.done);
    const QString alarm = flagCell(table.cell(columnIn(inStore, daylist::Alarm), place.row), task.alarm);
    if (task.day) {
        // To another day, or first on its own: off the day and onto the new place in one save.
        takeOutOfStore(place);
        insertDirectTask(*task.day, task.time, task.category, task.text, done, alarm, task.id);
        return endDirectBatch();
    }
    // Onto the to-do list, which is saved first. When it cannot be, the move is not made.
    CellTable todoBefore = m_todo;
    const int row = m_todo.firstFreeRow();
    setTodoCells(m_todo, row, task);
    m_todo.setCell(todo::Done, row, done);
    m_todo.setRowId(row, task.id);
    m_todo.sortRows(row);
    const SaveResult saved = m_todoFile.saveGrid(m_todo);
    if (!saved) {
        m_todo = std::move(todoBefore);
        return saved;
    }
    Q_EMIT todoChanged();
    takeOutOfStore(place);
    return endDirectBatch();
}

SaveResult TaskDocument::moveTask(CellTable::RowId id, std::optional<qint64> day, const QString &time)
{
    std::optional<Task> moved = task(id);
    if (!moved)
        return {};
    if (moved->isTodo())
        moved->time = time;
    moved->day = day;
    return changeTask(*moved, false);
}

SaveResult TaskDocument::removeTask(CellTable::RowId id)
{
    const Place place = placeOf(id);
    switch (place.list) {
    case Place::List::None:
        return {};
    case Place::List::Todo:
        store::deleteListRow(m_todo, place.row);
        Q_EMIT todoChanged();
        return saveTodo();
    case Place::List::Day:
        store::deleteListRow(m_dayList, place.row);
        return writeShownDay();
    case Place::List::Store:
        takeOutOfStore(place);
        return endDirectBatch();
    }
    return {};
}
