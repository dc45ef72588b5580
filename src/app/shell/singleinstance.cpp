#include "singleinstance.h"

#include "instancelock.h"
#include "logging.h"
#include "store/datafolder.h"
#include "text/texthelpers.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QByteArray kShowRequest = "show\n";
const QByteArray kShownAnswer = "shown\n";
// How long a connection may say nothing.
constexpr int kRequestWaitMs = 1000;

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

// The data folder as the file system names it, however it is reached (through a link, with
// "..", relative): the one key of a data folder.
QString canonicalFolder(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir(path).absolutePath()) : canonical;
}

// What the lock file says about the copy that holds it, a line each: its process id, the
// program, the machine and the socket it listens on (empty when it has none).
struct Owner
{
    qint64 pid = 0;
    QString host;
    QString socket;
    bool complete = false; // all four lines are there
};

QByteArray ownerLines(const QString &socket)
{
    const QByteArray name = QFile::encodeName(socket);
    return QByteArray::number(QCoreApplication::applicationPid()) + "\ntallyday\n"
        + QSysInfo::machineHostName().toUtf8() + '\n' + (name.contains('\n') ? QByteArray() : name) + '\n';
}

Owner parseOwner(const QByteArray &content)
{
    const QList<QByteArray> lines = content.split('\n');
    Owner owner;
    bool isNumber = false;
    owner.pid = lines.value(0).trimmed().toLongLong(&isNumber);
    if (!isNumber || owner.pid <= 0)
        return {};
    owner.host = QString::fromUtf8(lines.value(2).trimmed());
    // Four lines, each with its end.
    owner.complete = lines.size() >= 5;
    const QString socket = QFile::decodeName(lines.value(3));
    if (owner.complete && QDir::isAbsolutePath(socket) && fitsSocketPath(socket))
        owner.socket = socket;
    return owner;
}

// "process 1234", "process 1234 on othermachine", or empty when the lock says nothing usable.
QString ownerText(const Owner &owner)
{
    if (owner.pid <= 0)
        return {};
    QString text = QStringLiteral("process ") + QString::number(owner.pid);
    if (!owner.host.isEmpty() && owner.host != QSysInfo::machineHostName())
        text += QStringLiteral(" on ") + owner.host;
    return text;
}

QString runningCopy(const QString &dataFolder, const Owner &owner)
{
    const QString who = ownerText(owner);
    return QStringLiteral("Tallyday is already running with the data folder ") + dataFolder
        + (who.isEmpty() ? QString() : QStringLiteral(" (") + who + QLatin1Char(')'));
}

QString notAnsweredMessage(const QString &dataFolder, const Owner &owner, int waitMs)
{
    return runningCopy(dataFolder, owner) + QStringLiteral(", but it did not answer within ")
        + QString::number((waitMs + 999) / 1000)
        + QStringLiteral(" seconds: it may still be starting, or it has stopped responding. Try again in a "
                         "moment, or end that process if it does not respond.");
}

QString unreachableMessage(const QString &dataFolder, const Owner &owner)
{
    return runningCopy(dataFolder, owner)
        + QStringLiteral(", and it cannot be asked to show itself. Use its window or its tray icon.");
}

enum class Answer {
    Shown,
    NoConnection, // nobody listens
    NoAnswer, // connected, but no answer in time
};

// Asks the copy that listens on `socketPath` to show itself. A copy still starting answers
// once its window is up: wait for that until `deadline`.
Answer askToShow(const QString &socketPath, const QDeadlineTimer &deadline)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(int(std::clamp<qint64>(deadline.remainingTime(), 1, 1000))))
        return Answer::NoConnection;
    socket.write(kShowRequest);
    QByteArray answer;
    while (!answer.contains('\n') && socket.state() == QLocalSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(int(std::max<qint64>(deadline.remainingTime(), 1)));
        answer += socket.readAll();
    }
    answer += socket.readAll();
    return answer.startsWith(kShownAnswer) ? Answer::Shown : Answer::NoAnswer;
}

} // namespace

SingleInstance::SingleInstance(const QString &key, QObject *parent)
    : QObject(parent)
{
    m_dataFolder = canonicalFolder(key);
    // In the data folder itself: every start on this folder meets it there, however it
    // names the folder and whatever its environment.
    m_lockPath = joinPath(m_dataFolder, QString::fromLatin1(datafile::kStartupLock));

    m_folder = runtimeFolder();
    if (m_folder.isEmpty()) {
        const QString own = m_dataFolder + QStringLiteral("/.runtime");
        if (makePrivateFolder(own))
            m_folder = own;
        else
            qCWarning(lcShell) << "no private folder for the single-instance socket:" << own << "cannot be made";
    }
    if (m_folder.isEmpty())
        return;

    // Data folders, and users, may share the runtime folder; the name tells them apart.
    const QByteArray id = QByteArray::number(::geteuid()) + ':' + m_dataFolder.toUtf8();
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(id, QCryptographicHash::Sha256).toHex().left(16));
    m_serverName = m_folder + QStringLiteral("/SingInstProgMutex-") + hash + QStringLiteral(".sock");
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
    // The socket goes before the lock: a start that meets the lock meanwhile finds nobody
    // listening and tries again.
    if (m_server)
        m_server->close();
}

SingleInstance::Outcome SingleInstance::start(int waitMs)
{
    m_lock = std::make_unique<InstanceLock>(m_lockPath);
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        const InstanceLock::Result result = m_lock->tryLock();
        if (result == InstanceLock::Result::Taken)
            break;
        if (result == InstanceLock::Result::Failed) {
            // No lock can be had at all (a folder that cannot be written): nothing can be
            // saved there either, and waiting would not help.
            qCWarning(lcShell).noquote() << "no start-up lock:" << m_lock->problem();
            return Outcome::First;
        }
        const Owner owner = parseOwner(m_lock->read());
        if (result == InstanceLock::Result::Unsupported) {
            // Only the socket can tell whether the copy that wrote the lock still runs: one
            // that takes no connection within a second is gone.
            const Answer answer = owner.socket.isEmpty() ? Answer::NoConnection : askToShow(owner.socket, deadline);
            if (answer == Answer::NoConnection) {
                qCWarning(lcShell).noquote()
                    << m_lock->problem() << "- the lock of a copy that does not answer is taken over";
                break;
            }
            m_lock->release();
            if (answer == Answer::Shown)
                return Outcome::OtherShown;
        } else if (owner.complete && owner.socket.isEmpty()) {
            m_gaveUpMessage = unreachableMessage(m_dataFolder, owner);
            return Outcome::GaveUp;
        } else if (!owner.socket.isEmpty() && askToShow(owner.socket, deadline) == Answer::Shown) {
            return Outcome::OtherShown;
        }
        // Held by a copy that is starting, or still writing what the lock says.
        if (deadline.hasExpired()) {
            m_gaveUpMessage = notAnsweredMessage(m_dataFolder, owner, waitMs);
            return Outcome::GaveUp;
        }
        QThread::msleep(50);
    }

    listen();
    m_lock->write(ownerLines(m_server ? m_serverName : QString()));
    return Outcome::First;
}

void SingleInstance::listen()
{
    if (m_serverName.isEmpty())
        return;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Left behind by a copy that was killed: only the holder of the lock listens here.
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName)) {
        qCWarning(lcShell) << "cannot listen on" << m_serverName << m_server->errorString();
        delete m_server;
        m_server = nullptr;
    }
}

void SingleInstance::finishStartup()
{
    if (!m_server || m_serving)
        return;
    m_serving = true;
    // Copies that asked while this one started have waited in the queue until now.
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::takeConnections);
    takeConnections();
}

void SingleInstance::takeConnections()
{
    while (QLocalSocket *client = m_server->nextPendingConnection()) {
        // A copy says what it wants as it connects; a connection that says nothing is not
        // kept, or they would pile up for as long as this copy runs.
        QTimer::singleShot(kRequestWaitMs, client, [client] {
            client->abort();
            client->deleteLater();
        });
        connect(client, &QLocalSocket::readyRead, this, [this, client] { serve(client); });
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        serve(client); // what it said before it was taken
    }
}

void SingleInstance::serve(QLocalSocket *client)
{
    if (!client->canReadLine()) {
        if (client->bytesAvailable() > kShowRequest.size()) { // longer than any request
            client->abort();
            client->deleteLater();
        }
        return;
    }
    const QByteArray request = client->readLine(kShowRequest.size() + 1);
    if (request == kShowRequest) {
        Q_EMIT showRequested();
        client->write(kShownAnswer);
        client->flush(); // sent now, not when the event loop next runs
    }
    client->disconnectFromServer();
}
