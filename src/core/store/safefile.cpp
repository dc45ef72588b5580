#include "safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

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
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    QByteArray tempName = folder + "/." + QFile::encodeName(info.fileName()) + ".tmp-XXXXXX";

    const int fd = ::mkstemp(tempName.data());
    if (fd < 0)
        return SaveResult::failure(path, errnoText(errno));
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);

    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat old;
    mode_t mode;
    if (::stat(target.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    int error = 0;
    bool ok = writeAll(fd, data.data(), data.size(), error);
    if (ok && ::fsync(fd) != 0) {
        error = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(tempName.constData());
        return SaveResult::failure(path, errnoText(error));
    }

    if (keepBackup && QFileInfo::exists(path)) {
        const QByteArray backup = target + '~';
        ::unlink(backup.constData());
        ::link(target.constData(), backup.constData()); // best effort: a backup never blocks a save
    }
    if (::rename(tempName.constData(), target.constData()) != 0) {
        error = errno;
        ::unlink(tempName.constData());
        return SaveResult::failure(path, errnoText(error));
    }
    syncFolder(folder);
    return SaveResult{true, path, QString()};
}

QString keepAside(const QString &path, const QDateTime &now)
{
    const QString base = path + QStringLiteral(".damaged-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = base + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(path, aside))
        return QString();
    return aside;
}
