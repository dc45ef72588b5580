#pragma once

// Columns of the shown day's list: the store's columns of the day's tasks, without the key.
namespace daylist {

enum Column { Time = 0, Category = 1, What = 2, Done = 3, Alarm = 4, ColumnCount = 5 };

} // namespace daylist
