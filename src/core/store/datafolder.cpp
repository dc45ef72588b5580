#include "datafolder.h"

#include "helpers.h"

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
