#include "singleinstance.h"

#include "instancelock.h"
#include "logging.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QByteArray kShowRequest = "show\n";

// The longest socket path QLocalServer listens on: the address holds 108 bytes with the
// closing zero, and Qt (6.4) refuses a path that fills them all.
constexpr qsizetype kMaxSocketPath = sizeof(sockaddr_un::sun_path) - 2;

enum class FolderState {
    Missing,
    Private, // a folder of this user's that only this user can enter
    Open, // a folder of this user's that others can enter
    Unusable, // anything else: another user's, a link, a file, unreadable
};

FolderState folderState(const QString &path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT ? FolderState::Missing : FolderState::Unusable;
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return FolderState::Unusable;
    return (info.st_mode & 077) == 0 ? FolderState::Private : FolderState::Open;
}

// The session's runtime folder, when it has a usable one. Qt is asked only about a folder
// that is private or missing (it then creates it with mode 0700): for anything else it
// warns and names a folder of its own in the shared temporary folder, whose name another
// user can take first.
QString runtimeFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (fromEnvironment.isEmpty() || QDir::isRelativePath(fromEnvironment))
        return {};
    const FolderState state = folderState(fromEnvironment);
    if (state != FolderState::Private && state != FolderState::Missing)
        return {};
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || QDir::cleanPath(folder) != QDir::cleanPath(fromEnvironment))
        return {};
    return QDir::cleanPath(folder);
}

// Makes `path` a folder only this user can enter: created with mode 0700, or narrowed to
// it when it is the user's own. False when it cannot be made one.
bool makePrivateFolder(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) == 0)
        return true;
    switch (folderState(path)) {
    case FolderState::Private:
        return true;
    case FolderState::Open:
        return ::chmod(native.constData(), 0700) == 0;
    case FolderState::Missing:
    case FolderState::Unusable:
        break;
    }
    return false;
}

bool fitsSocketPath(const QString &path)
{
    return QFile::encodeName(path).size() <= kMaxSocketPath;
}

// What the lock file says about its owner: its process id, the program and the machine, a
// line each.
QByteArray ownerLines()
{
    return QByteArray::number(QCoreApplication::applicationPid()) + "\ntallyday\n"
        + QSysInfo::machineHostName().toUtf8() + '\n';
}

// "process 1234", "process 1234 on othermachine", or empty when the lock says nothing usable.
QString ownerText(const QByteArray &lockContent)
{
    const QList<QByteArray> lines = lockContent.split('\n');
    bool isNumber = false;
    const qint64 pid = lines.value(0).trimmed().toLongLong(&isNumber);
    if (!isNumber || pid <= 0)
        return {};
    QString text = QStringLiteral("process ") + QString::number(pid);
    const QString host = QString::fromUtf8(lines.value(2).trimmed());
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        text += QStringLiteral(" on ") + host;
    return text;
}

QString notStartedMessage(const QString &dataFolder, const QString &owner, int waitMs)
{
    return QStringLiteral("Tallyday is already starting with the data folder ") + dataFolder
        + (owner.isEmpty() ? QString() : QStringLiteral(" (") + owner + QLatin1Char(')'))
        + QStringLiteral(", and it has not finished within ") + QString::number((waitMs + 999) / 1000)
        + QStringLiteral(" seconds. Start Tallyday again once that copy is up, or end that process if it does not "
                         "come up.");
}

} // namespace

SingleInstance::SingleInstance(const QString &key, QObject *parent)
    : QObject(parent)
{
    const QString dataFolder = QDir::cleanPath(key);
    m_dataFolder = dataFolder;
    m_folder = runtimeFolder();
    if (m_folder.isEmpty()) {
        const QString own = dataFolder + QStringLiteral("/.runtime");
        if (makePrivateFolder(own))
            m_folder = own;
        else
            qCWarning(lcShell) << "no private folder for the single-instance lock:" << own << "cannot be made";
    }
    if (m_folder.isEmpty())
        return;

    // Data folders share the runtime folder; the name tells them apart.
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(dataFolder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
    const QString base = m_folder + QStringLiteral("/SingInstProgMutex-") + hash;
    m_lockPath = base + QStringLiteral(".lock");
    m_serverName = base + QStringLiteral(".sock");
    if (!fitsSocketPath(m_serverName)) {
        m_serverName = m_folder + QLatin1Char('/') + hash;
        if (!fitsSocketPath(m_serverName)) {
            qCWarning(lcShell) << "the folder" << m_folder
                               << "is too long for a socket path: later copies cannot ask this one to show itself";
            m_serverName.clear();
        }
    }
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

SingleInstance::Outcome SingleInstance::start(int waitMs)
{
    if (m_lockPath.isEmpty())
        return Outcome::First;
    m_lock = std::make_unique<InstanceLock>(m_lockPath);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        switch (m_lock->tryLock()) {
        case InstanceLock::Result::Taken:
            break;
        case InstanceLock::Result::Held:
            if (!waited.hasExpired(waitMs)) {
                QThread::msleep(50);
                continue;
            }
            m_gaveUpMessage = notStartedMessage(m_dataFolder, ownerText(m_lock->read()), waitMs);
            return Outcome::GaveUp;
        case InstanceLock::Result::Unsupported:
            qCWarning(lcShell).noquote() << m_lock->problem()
                                         << "- copies started at the same moment are not kept apart";
            break;
        case InstanceLock::Result::Failed:
            // No lock can be had at all (a folder that cannot be written): nothing can be
            // saved there either, and waiting would not help.
            qCWarning(lcShell).noquote() << "no start-up lock:" << m_lock->problem();
            return Outcome::First;
        }
        break;
    }
    m_lock->write(ownerLines());
    if (m_serverName.isEmpty())
        return Outcome::First;

    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (socket.waitForConnected(2000)) {
        socket.write(kShowRequest);
        socket.waitForBytesWritten(2000);
        socket.disconnectFromServer();
        m_lock->unlock();
        return Outcome::OtherShown;
    }
    return Outcome::First;
}

void SingleInstance::finishStartup()
{
    if (!m_server && !m_serverName.isEmpty()) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        QLocalServer::removeServer(m_serverName); // left behind by a copy that crashed
        if (m_server->listen(m_serverName)) {
            connect(m_server, &QLocalServer::newConnection, this, [this] {
                while (QLocalSocket *client = m_server->nextPendingConnection()) {
                    connect(client, &QLocalSocket::readyRead, this, [this, client] {
                        if (client->readAll().contains("show"))
                            Q_EMIT showRequested();
                        client->disconnectFromServer();
                    });
                    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
                }
            });
        } else {
            qCWarning(lcShell) << "cannot listen on" << m_serverName << m_server->errorString();
        }
    }
    // Without a socket a later copy could not find this one; the lock, held on, keeps it
    // from starting beside it.
    if (m_lock && m_lock->isLocked() && m_server && m_server->isListening())
        m_lock->unlock();
}
