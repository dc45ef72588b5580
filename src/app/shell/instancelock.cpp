#include "instancelock.h"

#include "logging.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A lock file says a few lines; more is not a lock file's.
constexpr qsizetype kMaxContent = 4096;

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

InstanceLock::InstanceLock(QString path)
    : m_path(std::move(path))
{ }

InstanceLock::~InstanceLock()
{
    unlock();
}

InstanceLock::Result InstanceLock::tryLock()
{
    if (m_fd >= 0)
        return Result::Taken;
    const QByteArray native = QFile::encodeName(m_path);
    m_problem.clear();
    // Each round either takes the lock or learns something changed under it (a file moved
    // out of the way, a holder that removed the file as it let go); a few are plenty.
    for (int round = 0; round < 8; ++round) {
        // Close-on-exec: a program started from here must not carry the lock on after this
        // copy ends. Not following a link, and not blocking on a FIFO.
        const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
        int fd = ::open(native.constData(), O_RDWR | O_CREAT | flags, 0644);
        if (fd < 0 && errno == EACCES)
            fd = ::open(native.constData(), O_RDONLY | flags); // someone else's file: a lock still
        if (fd < 0) {
            const int error = errno;
            struct stat info;
            if (::lstat(native.constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
                if (!moveAside())
                    return Result::Failed;
                continue;
            }
            m_problem = m_path + QStringLiteral(": ") + errnoText(error);
            return Result::Failed;
        }
        struct stat opened;
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(fd);
            if (!moveAside())
                return Result::Failed;
            continue;
        }
        int locked = ::flock(fd, LOCK_EX | LOCK_NB);
        while (locked != 0 && errno == EINTR)
            locked = ::flock(fd, LOCK_EX | LOCK_NB);
        if (locked != 0) {
            const int error = errno;
            if (error == EWOULDBLOCK) {
                ::close(fd);
                return Result::Held;
            }
            m_fd = fd;
            m_kernelLock = false;
            m_problem = m_path + QStringLiteral(": no file locks here (") + errnoText(error) + QLatin1Char(')');
            return Result::Unsupported;
        }
        // The holder before us may have removed the file as it let go, and another copy made
        // a new one: then the lock of this one is nobody's business.
        struct stat now;
        if (::lstat(native.constData(), &now) != 0 || !sameFile(now, opened)) {
            ::close(fd);
            continue;
        }
        m_fd = fd;
        m_kernelLock = true;
        // What the last holder said is not true of this one.
        [[maybe_unused]] const int emptied = ::ftruncate(fd, 0);
        return Result::Taken;
    }
    return Result::Held;
}

void InstanceLock::unlock()
{
    if (m_fd < 0)
        return;
    // Removed while still held, so nobody takes the file as it goes; only when it is still
    // this file, not one that took its place.
    const QByteArray native = QFile::encodeName(m_path);
    struct stat held;
    struct stat now;
    if (::fstat(m_fd, &held) == 0 && ::lstat(native.constData(), &now) == 0 && sameFile(held, now))
        ::unlink(native.constData());
    ::close(m_fd);
    m_fd = -1;
}

void InstanceLock::release()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
}

bool InstanceLock::write(const QByteArray &content)
{
    if (m_fd < 0 || ::ftruncate(m_fd, 0) != 0)
        return false;
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t n = ::pwrite(m_fd, content.constData() + done, size_t(content.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray InstanceLock::read() const
{
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return {};
    QByteArray content;
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        content.resize(kMaxContent);
        const ssize_t n = ::pread(fd, content.data(), size_t(content.size()), 0);
        content.resize(n > 0 ? n : 0);
    }
    ::close(fd);
    return content;
}

bool InstanceLock::moveAside()
{
    const QByteArray native = QFile::encodeName(m_path);
    struct stat info;
    if (::lstat(native.constData(), &info) != 0)
        return errno == ENOENT; // gone meanwhile
    // An empty folder holds nothing to keep.
    if (S_ISDIR(info.st_mode) && ::rmdir(native.constData()) == 0) {
        qCWarning(lcShell).noquote() << "removed the empty folder" << m_path << "where the start-up lock belongs";
        return true;
    }
    const QString base
        = m_path + QStringLiteral(".stale-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = base;
    for (int n = 2; QFile::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = base + QLatin1Char('-') + QString::number(n);
    if (::rename(native.constData(), QFile::encodeName(aside).constData()) != 0) {
        m_problem = m_path + QStringLiteral(" is not a lock file and cannot be moved away: ") + errnoText(errno);
        return false;
    }
    qCWarning(lcShell).noquote() << m_path << "was not a lock file; it has been kept as" << aside;
    return true;
}
