#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {

const QByteArray kShowRequest = "show\n";

} // namespace

SingleInstance::SingleInstance(const QString &key, QObject *parent)
    : QObject(parent)
{
    // Short names in the temporary folder: socket paths have a small length limit.
    const QByteArray hash = QCryptographicHash::hash(QDir::cleanPath(key).toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    const QString base = QDir::tempPath() + QStringLiteral("/SingInstProgMutex-") + QString::number(::getuid())
        + QLatin1Char('-') + QString::fromLatin1(hash);
    m_lockPath = base + QStringLiteral(".lock");
    m_serverName = base + QStringLiteral(".sock");
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

SingleInstance::Outcome SingleInstance::start(int waitMs)
{
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    m_lock->setStaleLockTime(0); // a lock is stale only when its owner is gone
    if (!m_lock->tryLock(waitMs))
        return Outcome::TimedOut;

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
    if (!m_server) {
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
        }
    }
    if (m_lock && m_lock->isLocked())
        m_lock->unlock();
}
