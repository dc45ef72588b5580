#pragma once

#include <QString>

// Registers the files bundled into the program (help pages, icons, the alarm sound) and the
// font substitutes it needs.
// The app library is static, so its resources are linked in only through this call;
// safe to call any number of times.
void initAppResources();

// Copies the bundled alarm sound to `dataFolder`/alarm.wav when no file of that name is
// there, so that the default alarm path names a real file. Never overwrites what the user
// put there. True when the folder holds an alarm.wav file afterwards.
bool installAlarmSound(const QString &dataFolder);
