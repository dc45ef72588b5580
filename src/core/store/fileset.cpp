#include "fileset.h"

#include "datafolder.h"
#include "text/texthelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace fileset {

namespace {

// What the marker says of the replacement: the new files are being written (nothing is
// replaced yet), they are all written (the renames may go on), or the files already
// replaced are being put back.
enum class State { Preparing, Replacing, Undoing };

const char *stateName(State state)
{
    switch (state) {
    case State::Preparing:
        return "preparing";
    case State::Replacing:
        return "replacing";
    case State::Undoing:
        break;
    }
    return "undoing";
}

constexpr qsizetype kMaxMarkerBytes = 1 << 16;

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

bool exists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Removes a file; one that is not there is fine. Answers why it could not be removed.
QString removeFile(const QString &path)
{
    if (::unlink(encoded(path).constData()) == 0 || errno == ENOENT)
        return QString();
    return errnoText(errno);
}

// ".NAME.tmp-PURPOSE" beside the data file: a name no data is read from, which the start
// removes as what an interrupted save left, once no marker names it.
QString stagedName(const QString &target, const QString &purpose)
{
    const QFileInfo info(target);
    return joinPath(info.path(), QLatin1Char('.') + info.fileName() + QStringLiteral(".tmp-") + purpose);
}

// "PATH.before-PURPOSE-YYYYMMDD-HHMMSS", with "-2", "-3", ... when that name is taken.
QString keptName(const QString &target, const QString &purpose, const QDateTime &now)
{
    const QString base = target + QStringLiteral(".before-") + purpose + QLatin1Char('-')
        + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; exists(name); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    return name;
}

// The data file as it is, under the name it is kept as: a hard link, or a copy where the
// file system has none.
QString keepFile(const QString &target, const QString &keptAs)
{
    if (::link(encoded(target).constData(), encoded(keptAs).constData()) == 0)
        return QString();
    if (errno != EPERM && errno != EMLINK && errno != EOPNOTSUPP && errno != EXDEV)
        return errnoText(errno);
    const FileContent content = readRegularFile(target);
    if (!content.ok())
        return content.reason();
    const SaveResult copied = saveFileAtomically(keptAs, content.bytes(), false);
    return copied ? QString() : copied.reason;
}

// The folders of the marker and of every data file.
void syncFolders(const Plan &plan)
{
    QStringList folders;
    QStringList paths { plan.marker };
    for (const Plan::File &file : plan.files)
        paths << file.target;
    for (const QString &path : paths) {
        const QString folder = QFileInfo(path).absolutePath();
        if (folders.contains(folder))
            continue;
        folders << folder;
        syncFolderOf(path);
    }
}

// Files in the marker's folder are named relative to it, so a data folder copied or moved as
// a whole keeps its marker meaningful.
QString markerName(const QDir &folder, const QString &path)
{
    if (path.isEmpty())
        return path;
    const QString relative = folder.relativeFilePath(path);
    return relative.startsWith(QLatin1String("..")) ? path : relative;
}

QString pathOf(const QDir &folder, const QString &name)
{
    return name.isEmpty() ? name : folder.absoluteFilePath(name);
}

SaveResult writeMarker(const Plan &plan, State state)
{
    const QDir folder = QFileInfo(plan.marker).absoluteDir();
    QJsonArray files;
    for (const Plan::File &file : plan.files)
        files.append(QJsonObject { { QStringLiteral("target"), markerName(folder, file.target) },
            { QStringLiteral("staged"), markerName(folder, file.staged) },
            { QStringLiteral("kept"), markerName(folder, file.keptAs) },
            { QStringLiteral("backup"), file.keepBackup } });
    const QJsonObject marker { { QStringLiteral("purpose"), plan.purpose },
        { QStringLiteral("state"), QLatin1String(stateName(state)) }, { QStringLiteral("files"), files } };
    return saveFileAtomically(plan.marker, QJsonDocument(marker).toJson(), false);
}

// The plan and state a marker holds, or why it cannot be read.
std::optional<std::pair<Plan, State>> readMarker(const QString &path, QString &why)
{
    const FileContent content = readRegularFile(path);
    if (!content.ok()) {
        why = content.reason();
        return std::nullopt;
    }
    if (content.bytes().size() > kMaxMarkerBytes) {
        why = QStringLiteral("it is far too long");
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(content.bytes().toByteArray(), &error);
    const QJsonObject object = document.object();
    Plan plan;
    plan.marker = path;
    plan.purpose = object.value(QStringLiteral("purpose")).toString();
    const QString stateText = object.value(QStringLiteral("state")).toString();
    State state = State::Preparing;
    if (stateText == QLatin1String(stateName(State::Replacing)))
        state = State::Replacing;
    else if (stateText == QLatin1String(stateName(State::Undoing)))
        state = State::Undoing;
    else if (stateText != QLatin1String(stateName(State::Preparing)))
        why = QStringLiteral("it names no state");
    const QDir folder = QFileInfo(path).absoluteDir();
    for (const QJsonValue &value : object.value(QStringLiteral("files")).toArray()) {
        const QJsonObject file = value.toObject();
        Plan::File entry { pathOf(folder, file.value(QStringLiteral("target")).toString()),
            pathOf(folder, file.value(QStringLiteral("staged")).toString()),
            pathOf(folder, file.value(QStringLiteral("kept")).toString()),
            file.value(QStringLiteral("backup")).toBool(true) };
        if (entry.target.isEmpty() || entry.staged.isEmpty())
            why = QStringLiteral("it names a file without its new version");
        plan.files << entry;
    }
    if (error.error != QJsonParseError::NoError)
        why = error.errorString();
    else if (plan.purpose.isEmpty() || plan.files.isEmpty())
        why = QStringLiteral("it names no files");
    if (!why.isEmpty())
        return std::nullopt;
    return std::pair { plan, state };
}

// Renames every new file that is still beside its data file over it, then removes the
// marker. Done again after a kill, it goes on where it stopped.
SaveResult finish(const Plan &plan)
{
    for (const Plan::File &file : plan.files) {
        if (!exists(file.staged))
            continue; // renamed already
        const QByteArray target = encoded(file.target);
        if (file.keepBackup && exists(file.target)) {
            // As at every save, the replaced version becomes "PATH~"; a backup never blocks.
            const QByteArray backup = target + '~';
            if ((::unlink(backup.constData()) != 0 && errno != ENOENT)
                || ::link(target.constData(), backup.constData()) != 0)
                qCWarning(lcStore).noquote() << "no backup of" << file.target << ":" << errnoText(errno);
        }
        if (::rename(encoded(file.staged).constData(), target.constData()) != 0)
            return SaveResult::failure(file.target, errnoText(errno));
    }
    syncFolders(plan);
    if (const QString why = removeFile(plan.marker); !why.isEmpty())
        return SaveResult::failure(plan.marker, why);
    syncFolderOf(plan.marker);
    return SaveResult::success(plan.marker);
}

// Puts the data files back as they were and removes the new files, the kept copies (which
// are the data again) and the marker. In the state Preparing no data file was replaced yet.
// Done again after a kill, it goes on where it stopped.
SaveResult takeBack(const Plan &plan, State state)
{
    if (state != State::Preparing) {
        for (const Plan::File &file : plan.files) {
            if (exists(file.staged))
                continue; // never renamed: the data file is the old one
            if (file.keptAs.isEmpty()) {
                if (const QString why = removeFile(file.target); !why.isEmpty())
                    return SaveResult::failure(file.target, why);
                continue;
            }
            const FileContent old = readRegularFile(file.keptAs);
            if (!old.ok())
                return SaveResult::failure(file.target,
                    QStringLiteral("its copy ") + file.keptAs + QStringLiteral(" cannot be read: ") + old.reason());
            const SaveResult put = saveFileAtomically(file.target, old.bytes(), false);
            if (!put)
                return put;
        }
        // Every data file is the old one again: what is left is only to tidy.
        if (const SaveResult marked = writeMarker(plan, State::Preparing); !marked)
            return marked;
    }
    for (const Plan::File &file : plan.files) {
        for (const QString &path : { file.staged, file.keptAs }) {
            if (path.isEmpty())
                continue;
            if (const QString why = removeFile(path); !why.isEmpty())
                return SaveResult::failure(path, why);
        }
    }
    syncFolders(plan);
    if (const QString why = removeFile(plan.marker); !why.isEmpty())
        return SaveResult::failure(plan.marker, why);
    syncFolderOf(plan.marker);
    return SaveResult::success(plan.marker);
}

QStringList keptFiles(const Plan &plan)
{
    QStringList kept;
    for (const Plan::File &file : plan.files)
        if (!file.keptAs.isEmpty())
            kept << file.keptAs;
    return kept;
}

} // namespace

std::optional<Plan> prepare(
    const QString &folder, const QString &purpose, const QList<Change> &changes, const QDateTime &now, SaveResult &why)
{
    Plan plan;
    plan.marker = joinPath(folder, QLatin1String(datafile::kReplacing));
    plan.purpose = purpose;
    if (exists(plan.marker)) {
        why = SaveResult::failure(plan.marker, QStringLiteral("another replacement of the data files is under way"));
        return std::nullopt;
    }
    for (const Change &change : changes) {
        const QString target = saveTargetOf(change.path);
        const QString keptAs = exists(target) ? keptName(target, purpose, now) : QString();
        plan.files << Plan::File { target, stagedName(target, purpose), keptAs, change.keepBackup };
    }

    // From the first step on the marker names everything this may leave behind.
    if (const SaveResult marked = writeMarker(plan, State::Preparing); !marked) {
        why = marked;
        return std::nullopt;
    }
    auto fail = [&plan, &why](const SaveResult &failure) {
        why = failure;
        if (const SaveResult undone = takeBack(plan, State::Preparing); !undone)
            qCWarning(lcStore).noquote() << "could not tidy after a failed replacement:" << undone.message();
        return std::nullopt;
    };
    for (qsizetype i = 0; i < changes.size(); ++i) {
        const SaveResult staged = writeSyncedFile(plan.files[i].staged, changes[i].bytes, plan.files[i].target);
        if (!staged)
            return fail(SaveResult::failure(plan.files[i].target, staged.reason));
    }
    for (const Plan::File &file : plan.files) {
        if (file.keptAs.isEmpty())
            continue;
        if (const QString problem = keepFile(file.target, file.keptAs); !problem.isEmpty())
            return fail(SaveResult::failure(file.target,
                QStringLiteral("it could not be kept as ") + file.keptAs + QStringLiteral(": ") + problem));
    }
    syncFolders(plan);
    if (const SaveResult marked = writeMarker(plan, State::Replacing); !marked)
        return fail(marked);
    return plan;
}

Result commit(const Plan &plan)
{
    Result result;
    const SaveResult finished = finish(plan);
    if (finished) {
        result.keptAs = keptFiles(plan);
        return result;
    }
    result.ok = false;
    result.failure = finished;
    // Put back what was replaced; should that fail too, the marker says so to the next start.
    if (writeMarker(plan, State::Undoing)) {
        if (const SaveResult undone = takeBack(plan, State::Undoing); !undone)
            qCWarning(lcStore).noquote() << "could not put the data files back:" << undone.message();
    }
    return result;
}

Result replace(const QString &folder, const QString &purpose, const QList<Change> &changes, const QDateTime &now)
{
    SaveResult why;
    const std::optional<Plan> plan = prepare(folder, purpose, changes, now, why);
    if (!plan) {
        Result failed;
        failed.ok = false;
        failed.failure = why;
        return failed;
    }
    return commit(*plan);
}

Recovery recover(const QString &folder, const QDateTime &now)
{
    Recovery recovery;
    const QString marker = joinPath(folder, QLatin1String(datafile::kReplacing));
    if (!exists(marker))
        return recovery;
    QString why;
    const std::optional<std::pair<Plan, State>> found = readMarker(marker, why);
    if (!found) {
        recovery.status = Recovery::Status::Unreadable;
        recovery.problem = why;
        recovery.marker = keepAside(marker, now);
        return recovery;
    }
    const auto &[plan, state] = *found;
    recovery.purpose = plan.purpose;
    const SaveResult done = state == State::Replacing ? finish(plan) : takeBack(plan, state);
    if (!done) {
        recovery.status = Recovery::Status::Failed;
        recovery.problem = done.message();
        return recovery;
    }
    if (state == State::Replacing) {
        recovery.status = Recovery::Status::Finished;
        recovery.keptAs = keptFiles(plan);
    } else {
        recovery.status = Recovery::Status::RolledBack;
    }
    return recovery;
}

} // namespace fileset
