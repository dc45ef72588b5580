#include "task.h"

#include "taskstore.h"
#include "text/datehelpers.h"
#include "todolist.h"

namespace task {

namespace {

bool isYes(QByteArrayView cell)
{
    return cell == QByteArrayView("Yes");
}

} // namespace

std::optional<Task> fromStore(const CellTable &store, int row, const RegionalSettings &regional)
{
    const QByteArrayView key = store.cellUtf8(store::Key, row);
    if (row < 1 || key.isEmpty())
        return std::nullopt;
    Task task;
    task.id = store.rowId(row);
    task.day = store::keyDay(key);
    task.time = store.cell(store::Time, row);
    if (const std::optional<QTime> time = readTypedTime(task.time, regional))
        task.minutes = time->hour() * 60 + time->minute();
    task.category = store.cell(store::Category, row);
    task.text = store.cell(store::What, row);
    task.done = isYes(store.cellUtf8(store::Done, row));
    task.alarm = isYes(store.cellUtf8(store::Alarm, row));
    return task;
}

std::optional<Task> fromTodo(const CellTable &todo, int row)
{
    if (row < 1 || todo.isRowBlank(row))
        return std::nullopt;
    Task task;
    task.id = todo.rowId(row);
    task.category = todo.cell(todo::Category, row);
    task.text = todo.cell(todo::What, row);
    task.done = isYes(todo.cellUtf8(todo::Done, row));
    return task;
}

} // namespace task
