#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLoggingCategory>
#include <QString>

// Steps of a save that never block it (the backup link, the file mode, the folder sync) log
// here when they fail.
Q_DECLARE_LOGGING_CATEGORY(lcStore)

// The outcome of writing a data file: whether it reached the disk, and if not, why.
struct SaveResult
{
    bool ok = true;
    QString path;
    QString reason; // empty when ok
    // A backup was asked for and the old file existed, but no current "path~" could be
    // made: why. An older "path~" is never left in its place.
    QString backupProblem;

    explicit operator bool() const { return ok; }
    // "Couldn't save PATH: REASON", for an error box.
    QString message() const;
    static SaveResult success(const QString &path) { return SaveResult { true, path, {}, {} }; }
    static SaveResult failure(const QString &path, const QString &reason)
    {
        return SaveResult { false, path, reason, {} };
    }
};

// Writes `data` as the whole new content of `path` so that a crash, a kill or a full disk
// never leaves a shortened or empty file: a temporary file in the same folder is written,
// synced and checked, the old file is kept as "path~" (a hard link, no copy), and the
// temporary file is renamed over the old name. A symbolic link at `path` is followed: the
// file it points to is replaced and the link stays. A path that is there but is not a
// regular file, or a link to one (a device, a FIFO, a folder), is refused and left as it is.
SaveResult saveFileAtomically(const QString &path, QByteArrayView data, bool keepBackup = true);

// The file a save of `path` replaces: a symbolic link is followed to the file it names.
QString saveTargetOf(const QString &path);
// Writes `data` as the whole content of `path` (created, or truncated first) and syncs it,
// with the mode of the file `modeOf` where that exists. Not atomic: for a file that nothing
// reads before it is complete, such as the new files of a replacement (fileset).
SaveResult writeSyncedFile(const QString &path, QByteArrayView data, const QString &modeOf);
// Syncs the folder holding `path`, so that its renames and links are on disk. A failure is
// logged: it never blocks what it follows.
void syncFolderOf(const QString &path);

// Renames a file that could not be read out of the way, as "NAME.damaged-YYYYMMDD-HHMMSS",
// so nothing can overwrite it. Only a regular file, or the one a link names, is moved.
// Answers the new path, or an empty text when it failed or the path is no regular file.
QString keepAside(const QString &path, const QDateTime &now);

// Whether `path` is a regular file, or a link to one.
bool isRegularFile(const QString &path);

// Keeps a file that was only partly readable as it was, as "NAME.damaged-YYYYMMDD-HHMMSS",
// without taking it from its name: a hard link, or a copy where no link can be made, so
// the original stays in place until a save replaces it. Answers the copy's path, or an
// empty text when neither worked.
QString keepCopy(const QString &path, const QDateTime &now);

// The backup a save of `path` keeps: "NAME~" beside the file, or beside the file a link at
// `path` names.
QString backupPathOf(const QString &path);
// Keeps that backup under a name no save rotates, "NAME.kept-YYYYMMDD-HHMMSS" beside it, in
// the same way as keepCopy. Answers the kept file's path, or an empty text when there is no
// backup or it could not be kept.
QString keepBackup(const QString &path, const QDateTime &now);

// The whole content of a data file, opened for reading only when it is a regular file: a
// FIFO or a device in a data file's place would block the start or never end, so it is
// refused at once. The bytes are mapped where possible.
class FileContent
{
public:
    enum class Status { Ok, Missing, NotRegular, Failed };

    FileContent() = default;
    FileContent(FileContent &&other) noexcept;
    FileContent &operator=(FileContent &&other) noexcept;
    FileContent(const FileContent &) = delete;
    FileContent &operator=(const FileContent &) = delete;
    ~FileContent();

    Status status() const { return m_status; }
    bool ok() const { return m_status == Status::Ok; }
    // Why it could not be read, for a message ("No such file or directory", ...).
    QString reason() const;
    QByteArrayView bytes() const { return m_view; }

private:
    friend FileContent readRegularFile(const QString &path);
    void release();

    Status m_status = Status::Missing;
    int m_error = 0;
    QByteArrayView m_view;
    QByteArray m_read; // the content when it was read rather than mapped
    void *m_map = nullptr;
    size_t m_mapSize = 0;
};
FileContent readRegularFile(const QString &path);

// Temporary files of saveFileAtomically are named ".NAME.tmp-XXXXXX": never data.
bool isTemporarySaveFile(const QString &fileName);
