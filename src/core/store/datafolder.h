#pragma once

#include <QString>

// The folder that holds every data file: $TALLYDAY_HOME when set, else the per-user data
// folder ("~/.local/share/tallyday", honouring XDG_DATA_HOME).
QString dataFolder();
// Creates the data folder when missing; false when it cannot be created.
bool ensureDataFolder();
// A data file of the program by its fixed name ("grid.grd", "category.xxx", ...).
QString dataFile(const QString &name);

namespace datafile {
inline constexpr const char *kStore = "grid.grd";
inline constexpr const char *kTodo = "gridNon.grd";
inline constexpr const char *kCompleted = "gridComp.grd";
inline constexpr const char *kHolidays = "holiday.grd";
inline constexpr const char *kCategories = "category.xxx";
inline constexpr const char *kFilterCategories = "category.yyy";
inline constexpr const char *kAlarmSound = "alarm.wav";
} // namespace datafile
