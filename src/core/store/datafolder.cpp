#include "datafolder.h"

#include "text/datehelpers.h"
#include "text/texthelpers.h"

#include "safefile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

QString dataFolder()
{
    const QString home = qEnvironmentVariable("TALLYDAY_HOME");
    if (!home.isEmpty())
        return home;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tallyday");
}

QString stateFolder()
{
    // Qt 6.4 has no state location of its own.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return joinPath(state, QStringLiteral("tallyday"));
}

bool ensureDataFolder()
{
    return QDir().mkpath(dataFolder());
}

QString dataFile(const QString &name)
{
    return joinPath(dataFolder(), name);
}

QString makeFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.isDir())
        return QString();
    if (info.exists() || info.isSymLink())
        return folder + QStringLiteral(" is not a folder");
    const QString parent = info.absolutePath();
    if (parent != info.absoluteFilePath()) {
        const QString above = makeFolder(parent);
        if (!above.isEmpty())
            return above;
    }
    if (::mkdir(QFile::encodeName(info.absoluteFilePath()).constData(), 0777) != 0 && errno != EEXIST)
        return folder + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    return QFileInfo(folder).isDir() ? QString() : folder + QStringLiteral(" is not a folder");
}

QStringList removeLeftoverSaves(const QString &folder)
{
    static const char *const names[] = { datafile::kStore, datafile::kTodo, datafile::kCompleted, datafile::kHolidays,
        datafile::kCategories, datafile::kFilterCategories, datafile::kAlarmSound, datafile::kReplacing };
    QStringList removed;
    const QDir dir(folder);
    const QStringList found = dir.entryList({ QStringLiteral(".*.tmp-*") }, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : found) {
        if (!isTemporarySaveFile(name))
            continue;
        // ".grid.grd.tmp-XXXXXX", or that of a copy beside it (".grid.grd.unsaved-...").
        const QString saved = name.mid(1, name.lastIndexOf(QLatin1String(".tmp-")) - 1);
        const bool ours = std::any_of(std::begin(names), std::end(names), [&saved](const char *data) {
            const QString dataName = QString::fromLatin1(data);
            return saved == dataName || saved.startsWith(dataName + QLatin1Char('.'));
        });
        if (ours && QFile::remove(dir.filePath(name)))
            removed << name;
    }
    return removed;
}
