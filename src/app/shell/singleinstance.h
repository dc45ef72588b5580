#pragma once

#include <QObject>
#include <QString>

#include <memory>

class InstanceLock;
class QLocalServer;

// Makes sure one copy runs per user and data folder. Start-ups are serialised by a lock
// held only while a copy starts; a running copy listens on a local socket, and a copy
// that starts later asks it to show itself and ends.
//
// The lock and the socket live where no other user can create them first: the session's
// runtime folder ($XDG_RUNTIME_DIR), or, without one, a private folder inside the data
// folder. Where no socket can be had (a folder too long even for a short socket name),
// the lock is held for the whole run instead: a later copy waits, then ends without
// showing this one.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        First, // this copy runs; it holds the start-up lock
        OtherShown, // another copy runs and was asked to show itself: exit
        GaveUp, // another copy holds the start-up lock too long: say so (gaveUpMessage), exit
    };

    // `key` tells apart copies that must not share data (the data folder).
    explicit SingleInstance(const QString &key, QObject *parent = nullptr);
    ~SingleInstance() override;

    Outcome start(int waitMs = 10000);
    // After Outcome::GaveUp: what the user is told, naming the other copy.
    QString gaveUpMessage() const { return m_gaveUpMessage; }
    // Listens for later copies, then releases the start-up lock. Call once the main
    // window exists, also after a failed start so waiting copies go on.
    void finishStartup();

    // The private folder of the lock and the socket; empty when none could be had, and then
    // nothing keeps a second copy from running.
    QString folder() const { return m_folder; }
    QString lockPath() const { return m_lockPath; }
    // The socket's full path; empty when no name fits.
    QString serverName() const { return m_serverName; }

Q_SIGNALS:
    void showRequested();

private:
    QString m_dataFolder;
    QString m_folder;
    QString m_lockPath;
    QString m_serverName;
    QString m_gaveUpMessage;
    std::unique_ptr<InstanceLock> m_lock;
    QLocalServer *m_server = nullptr;
};
