#include "resources.h"

#include "store/datafolder.h"
#include "text/datehelpers.h"
#include "text/texthelpers.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>

void initAppResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(tallyday);
        // The settings name "MS Sans Serif", which no Linux desktop has and fontconfig does
        // not alias: it would fall to the much wider DejaVu Sans and squeeze the lists.
        // Liberation Sans keeps Arial's metrics, close to what those widths were made for.
        for (const QString &name : { QStringLiteral("MS Sans Serif"), QStringLiteral("Ms Sans Serif") })
            QFont::insertSubstitutions(name, { QStringLiteral("Liberation Sans"), QStringLiteral("Arial") });
        return true;
    }();
    Q_UNUSED(registered);
}

bool installAlarmSound(const QString &dataFolder)
{
    initAppResources();
    const QString target = joinPath(dataFolder, QLatin1String(datafile::kAlarmSound));
    const QFileInfo existing(target);
    // A dangling link counts as present too: it is the user's, and copying through it
    // would write wherever it points.
    if (existing.exists() || existing.isSymLink())
        return existing.isFile();

    // QFile::copy writes a temporary file beside the target and renames it, so a failed
    // copy never leaves a shortened alarm.wav behind.
    if (!QFile::copy(QStringLiteral(":/alarm.wav"), target))
        return false;
    // Resource files are read-only, and the copy would keep that.
    QFile::setPermissions(target,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser
            | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    return true;
}
