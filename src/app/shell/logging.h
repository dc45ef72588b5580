#pragma once

#include <QLoggingCategory>

// Start-up, single-instance and shut-down events; off unless QT_LOGGING_RULES enables
// "tallyday.shell.info".
Q_DECLARE_LOGGING_CATEGORY(lcShell)
