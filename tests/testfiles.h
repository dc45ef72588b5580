#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

// Whole-file reads and writes for checking what the program put on disk.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Makes something that is no regular file at `path`: a "FIFO", a "device" (a node of the
// same kind as /dev/null, made here, so that no real device is ever at stake) or a
// "folder". False when the system does not let the test make it (a device node needs the
// right to make one).
inline bool makeNode(const QString &kind, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("FIFO"))
        return ::mkfifo(name.constData(), 0600) == 0;
    if (kind == QLatin1String("device"))
        return ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    return QDir().mkdir(path);
}

// What a path is, for seeing that nothing replaced, renamed or wrote it: its kind, its
// identity, the device it stands for, and where a link leads.
inline QByteArray nodeIdentity(const QString &path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return "missing";
    QByteArray identity = QByteArray::number(quint64(info.st_mode)) + ' ' + QByteArray::number(quint64(info.st_ino))
        + ' ' + QByteArray::number(quint64(info.st_rdev)) + ' ' + QByteArray::number(qint64(info.st_size));
    if (S_ISLNK(info.st_mode))
        identity
            += " -> " + QFile::encodeName(QFile::symLinkTarget(path)) + ' ' + nodeIdentity(QFile::symLinkTarget(path));
    return identity;
}

// While it lives, no file of this process may grow past `bytes`: a save that would write
// more fails as on a full disk, and smaller ones still succeed.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = rlim_t(bytes);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};
