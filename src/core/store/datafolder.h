#pragma once

#include <QString>
#include <QStringList>

// The folder that holds every data file: $TALLYDAY_HOME when set, else the per-user data
// folder ("~/.local/share/tallyday", honouring XDG_DATA_HOME).
QString dataFolder();
// The user's state folder for the program: "$XDG_STATE_HOME/tallyday", or
// "~/.local/state/tallyday" when XDG_STATE_HOME is unset or not an absolute path. It takes
// what the data folder could not, when nobody is there to be asked.
QString stateFolder();
// Creates the data folder when missing; false when it cannot be created.
bool ensureDataFolder();
// Creates `folder` and the folders above it that are missing. Answers why it could not be
// made ("... is not a folder", the system's reason), or an empty text once it is there.
QString makeFolder(const QString &folder);
// Removes the temporary files that a save interrupted by a kill or a power cut left in the
// data folder (".NAME.tmp-XXXXXX" of the program's own data files). Answers their names. The
// new files of a restore or a clear look the same: only once no replacement is under way
// (fileset::recover).
QStringList removeLeftoverSaves(const QString &folder);
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
// Names the files of a replacement under way (fileset): a restore or "Clear all data".
inline constexpr const char *kReplacing = "replacing.pending";
// Not data: held by the copy that runs on the folder, so no second copy runs beside it.
inline constexpr const char *kStartupLock = ".SingInstProgMutex.lock";
} // namespace datafile
