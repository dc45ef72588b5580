#include "safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcStore, "tallyday.store", QtWarningMsg)

namespace {

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool writeAll(int fd, const char *data, qsizetype size, int &error)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qsizetype>(size, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

bool syncFolder(const QByteArray &folder, int &error)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    error = synced ? 0 : errno;
    ::close(fd);
    return synced;
}

void syncFolderLogged(const QByteArray &folder)
{
    int error = 0;
    if (!syncFolder(folder, error) && error != EINVAL) // EINVAL: folders cannot be synced here
        qCWarning(lcStore).noquote() << "could not sync the folder" << QFile::decodeName(folder) << ":"
                                     << errnoText(error);
}

// The file a save of `path` replaces: a symbolic link is followed to the end, so the link
// stays and the file it names gets the new content (a dangling link names the file to
// create). Relative link texts are taken from the link's folder.
QByteArray saveTarget(const QString &path)
{
    QByteArray target = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (::lstat(target.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return target;
        char text[4096];
        const ssize_t n = ::readlink(target.constData(), text, sizeof text);
        if (n <= 0 || size_t(n) >= sizeof text)
            return target;
        QByteArray next(text, n);
        if (!next.startsWith('/'))
            next = target.left(target.lastIndexOf('/') + 1) + next;
        target = QFile::encodeName(QDir::cleanPath(QFile::decodeName(next)));
    }
    return target; // a loop: the rename replaces the link itself
}

// The mode a new version of `target` gets: that of the file it replaces, else the usual one.
mode_t modeFor(const QByteArray &target, bool *replacing = nullptr)
{
    struct stat old;
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (replacing)
        *replacing = exists;
    if (exists)
        return old.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Why `target`, the file a save or a keep-aside of `path` would replace or rename, must be
// left alone: it is there and is not a regular file (a device, a FIFO, a folder, a socket,
// a loop of links). Empty when it is a regular file or is not there.
QString notRegularReason(const QString &path, const QByteArray &target)
{
    struct stat info;
    if (::lstat(target.constData(), &info) != 0 || S_ISREG(info.st_mode))
        return QString();
    const QString named = QFile::decodeName(target);
    if (named == QFileInfo(path).absoluteFilePath())
        return QStringLiteral("it is not a regular file");
    return QStringLiteral("it leads to ") + named + QStringLiteral(", which is not a regular file");
}

} // namespace

QString saveTargetOf(const QString &path)
{
    return QFile::decodeName(saveTarget(path));
}

void syncFolderOf(const QString &path)
{
    const QByteArray target = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    syncFolderLogged(target.left(std::max<qsizetype>(target.lastIndexOf('/'), 1)));
}

// Writes all of `data` to `fd`, syncs it to the disk and closes it; `error` says why not.
bool writeSyncAndClose(int fd, QByteArrayView data, int &error)
{
    bool ok = writeAll(fd, data.data(), data.size(), error);
    if (ok && ::fsync(fd) != 0) {
        error = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    return ok;
}

SaveResult writeSyncedFile(const QString &path, QByteArrayView data, const QString &modeOf)
{
    const QByteArray name = QFile::encodeName(path);
    const mode_t mode = modeFor(QFile::encodeName(modeOf));
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return SaveResult::failure(path, errnoText(errno));
    if (::fchmod(fd, mode) != 0)
        qCWarning(lcStore).noquote() << "could not give" << path << "its mode:" << errnoText(errno);
    int error = 0;
    const bool ok = writeSyncAndClose(fd, data, error);
    return ok ? SaveResult::success(path) : SaveResult::failure(path, errnoText(error));
}

QString SaveResult::message() const
{
    return QStringLiteral("Couldn't save ") + path + QStringLiteral(": ") + reason;
}

bool isTemporarySaveFile(const QString &fileName)
{
    return fileName.startsWith(QLatin1Char('.')) && fileName.contains(QLatin1String(".tmp-"));
}

SaveResult saveFileAtomically(const QString &path, QByteArrayView data, bool keepBackup)
{
    const QByteArray target = saveTarget(path);
    // A device, a FIFO or a folder in the file's place (or at the end of its link) is never
    // replaced or written: a rename would put a plain file where /dev/sda was.
    if (const QString why = notRegularReason(path, target); !why.isEmpty())
        return SaveResult::failure(path, why);
    const QByteArray folder = target.left(std::max<qsizetype>(target.lastIndexOf('/'), 1));
    QByteArray tempName
        = target.left(target.lastIndexOf('/') + 1) + '.' + target.mid(target.lastIndexOf('/') + 1) + ".tmp-XXXXXX";

    const int fd = ::mkstemp(tempName.data());
    if (fd < 0)
        return SaveResult::failure(path, errnoText(errno));
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);

    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    bool replacing = false;
    const mode_t mode = modeFor(target, &replacing);
    if (::fchmod(fd, mode) != 0)
        qCWarning(lcStore).noquote() << "could not give" << path << "its mode:" << errnoText(errno);

    int error = 0;
    const bool ok = writeSyncAndClose(fd, data, error);
    if (!ok) {
        ::unlink(tempName.constData());
        return SaveResult::failure(path, errnoText(error));
    }

    QString backupProblem;
    if (keepBackup && replacing) {
        // Best effort: a backup never blocks a save. But an older backup is never left to
        // pass for the version this save replaces.
        const QByteArray backup = target + '~';
        struct stat backupInfo;
        if (::lstat(backup.constData(), &backupInfo) == 0 && !S_ISREG(backupInfo.st_mode))
            backupProblem = QFile::decodeName(backup) + QStringLiteral(" is not a regular file");
        else if (::unlink(backup.constData()) != 0 && errno != ENOENT)
            backupProblem = QStringLiteral("the old backup could not be removed: ") + errnoText(errno);
        else if (::link(target.constData(), backup.constData()) != 0)
            backupProblem = errnoText(errno);
        if (!backupProblem.isEmpty())
            qCWarning(lcStore).noquote() << "no backup of" << path << "kept as" << QFile::decodeName(backup) << ":"
                                         << backupProblem;
    }
    if (::rename(tempName.constData(), target.constData()) != 0) {
        error = errno;
        ::unlink(tempName.constData());
        return SaveResult::failure(path, errnoText(error));
    }
    syncFolderLogged(folder);
    SaveResult saved = SaveResult::success(path);
    saved.backupProblem = backupProblem;
    return saved;
}

namespace {

// "NAME.damaged-YYYYMMDD-HHMMSS" (or another mark), with "-2", "-3", ... when that name is taken.
QString asideName(const QString &path, QLatin1String mark, const QDateTime &now, int attempt)
{
    const QString base = path + mark + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return attempt < 2 ? base : base + QLatin1Char('-') + QString::number(attempt);
}

constexpr QLatin1String kDamagedMark(".damaged-");
constexpr QLatin1String kKeptMark(".kept-");

// Keeps the regular file `source` as it is under "NAMED.MARK-YYYYMMDD-HHMMSS": a hard link,
// or a copy where no link can be made. Answers the new path, or an empty text.
QString copyAside(const QString &source, const QString &named, QLatin1String mark, const QDateTime &now)
{
    const QFileInfo info(source);
    const QByteArray sourceName = QFile::encodeName(info.absoluteFilePath());
    for (int n = 1; n < 1000; ++n) {
        const QString aside = asideName(named, mark, now, n);
        const QFileInfo asideInfo(aside);
        if (asideInfo.exists() || asideInfo.isSymLink())
            continue;
        // Every save renames a new file over the name, so the linked content never changes.
        if (::link(sourceName.constData(), QFile::encodeName(aside).constData()) == 0) {
            syncFolderLogged(QFile::encodeName(info.absolutePath()));
            return aside;
        }
        if (errno == EEXIST)
            continue;
        // No links on this file system: a copy, written as safely as any save.
        const FileContent content = readRegularFile(source);
        if (!content.ok() || !saveFileAtomically(aside, content.bytes(), false))
            return QString();
        return aside;
    }
    return QString();
}

} // namespace

QString keepAside(const QString &linkOrPath, const QDateTime &now)
{
    // Through a link to a file, the file itself is moved: the link then names the file the
    // next save makes. Anything but a regular file (a device, a FIFO, a folder), or a link
    // to one, stays where it is.
    const QByteArray target = saveTarget(linkOrPath);
    struct stat info;
    if (::lstat(target.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return QString();
    const QString path = QFile::decodeName(target);
    QString aside = asideName(path, kDamagedMark, now, 1);
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = asideName(path, kDamagedMark, now, n);
    if (!QFile::rename(path, aside))
        return QString();
    return aside;
}

QString keepCopy(const QString &linkOrPath, const QDateTime &now)
{
    // A link to the link would show whatever the next save writes through it.
    const QString path = QFile::decodeName(saveTarget(linkOrPath));
    return copyAside(path, path, kDamagedMark, now);
}

QString backupPathOf(const QString &path)
{
    return QFile::decodeName(saveTarget(path)) + QLatin1Char('~');
}

QString keepBackup(const QString &path, const QDateTime &now)
{
    const QString target = QFile::decodeName(saveTarget(path));
    const QString backup = target + QLatin1Char('~');
    struct stat info;
    if (::lstat(QFile::encodeName(backup).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return QString();
    return copyAside(backup, target, kKeptMark, now);
}

bool isRegularFile(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

FileContent::FileContent(FileContent &&other) noexcept
{
    *this = std::move(other);
}

FileContent &FileContent::operator=(FileContent &&other) noexcept
{
    if (this != &other) {
        release();
        m_status = other.m_status;
        m_error = other.m_error;
        m_view = other.m_view;
        m_read = std::move(other.m_read);
        m_map = other.m_map;
        m_mapSize = other.m_mapSize;
        other.m_view = {};
        other.m_map = nullptr;
        other.m_mapSize = 0;
    }
    return *this;
}

FileContent::~FileContent()
{
    release();
}

void FileContent::release()
{
    if (m_map)
        ::munmap(m_map, m_mapSize);
    m_map = nullptr;
    m_mapSize = 0;
    m_view = {};
}

QString FileContent::reason() const
{
    switch (m_status) {
    case Status::Ok:
        return QString();
    case Status::NotRegular:
        return QStringLiteral("it is not a regular file");
    case Status::Missing:
    case Status::Failed:
        break;
    }
    return errnoText(m_error ? m_error : ENOENT);
}

FileContent readRegularFile(const QString &path)
{
    FileContent content;
    // Non-blocking, so opening a FIFO returns at once instead of waiting for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        content.m_error = errno;
        content.m_status = content.m_error == ENOENT || content.m_error == ENOTDIR ? FileContent::Status::Missing
                                                                                   : FileContent::Status::Failed;
        return content;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        content.m_error = errno;
        content.m_status = FileContent::Status::Failed;
    } else if (!S_ISREG(info.st_mode)) {
        content.m_status = FileContent::Status::NotRegular;
    } else if (info.st_size > 0) {
        const size_t size = size_t(info.st_size);
        void *map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (map != MAP_FAILED) {
            content.m_map = map;
            content.m_mapSize = size;
            content.m_view = QByteArrayView(static_cast<const char *>(map), qsizetype(size));
            content.m_status = FileContent::Status::Ok;
        } else {
            // Not mappable on this file system: read it. A file that shrinks meanwhile
            // gives what is there.
            content.m_read.resize(qsizetype(size));
            qsizetype got = 0;
            while (got < content.m_read.size()) {
                const ssize_t n = ::read(fd, content.m_read.data() + got, size_t(content.m_read.size() - got));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0) {
                    content.m_error = errno;
                    break;
                }
                if (n == 0)
                    break;
                got += n;
            }
            content.m_read.truncate(got);
            content.m_view = content.m_read;
            content.m_status = content.m_error ? FileContent::Status::Failed : FileContent::Status::Ok;
        }
    } else {
        content.m_status = FileContent::Status::Ok;
    }
    ::close(fd);
    return content;
}
