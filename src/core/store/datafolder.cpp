#include "datafolder.h"

#include "text/datehelpers.h"
#include "text/texthelpers.h"

#include <QDir>
#include <QStandardPaths>

QString dataFolder()
{
    const QString home = qEnvironmentVariable("TALLYDAY_HOME");
    if (!home.isEmpty())
        return home;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tallyday");
}

bool ensureDataFolder()
{
    return QDir().mkpath(dataFolder());
}

QString dataFile(const QString &name)
{
    return joinPath(dataFolder(), name);
}
