#include "logging.h"

Q_LOGGING_CATEGORY(lcShell, "tallyday.shell", QtWarningMsg)
