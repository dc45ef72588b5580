#pragma once

#include <QString>

#include <optional>

#include "celltable.h"

struct RegionalSettings;

// A task as the user knows it, typed: what one row of the dated-task store or of the to-do
// list holds. The texts are kept as stored, so a task written back gives its file's bytes
// again; the time is also read as minutes of the day where it is a time.
struct Task
{
    CellTable::RowId id = 0; // lasts the run
    std::optional<qint64> day; // none for a to-do
    QString time; // as stored ("9:00 AM"); empty for a to-do
    std::optional<int> minutes; // the time of day, when `time` reads as one
    QString category;
    QString text;
    bool done = false;
    bool alarm = false;

    bool isTodo() const { return !day.has_value(); }
};

namespace task {

// The task of a store row (a row without a key is no task: nullopt).
std::optional<Task> fromStore(const CellTable &store, int row, const RegionalSettings &regional);
// The task of a to-do list row (a blank row is no task: nullopt).
std::optional<Task> fromTodo(const CellTable &todo, int row);

} // namespace task
