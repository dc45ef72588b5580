#pragma once

#include <QObject>
#include <QString>

#include <memory>

class InstanceLock;
class QLocalServer;
class QLocalSocket;

// Makes sure one copy runs per data folder. The copy that runs holds a lock in the data
// folder itself, whose file names the local socket it listens on; a copy that starts later
// finds the lock, asks the running one to show itself and ends. Every start on one folder
// meets the same lock, however it names the folder (through a link) and whatever its
// environment says (no runtime folder).
//
// The socket lives where no other user can create it first: the session's runtime folder
// ($XDG_RUNTIME_DIR), or, without one, a private folder inside the data folder; its name
// comes from the data folder's canonical path and the user. Where no socket can be had (a
// folder too long even for a short socket name), a later copy is told that this one runs.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        First, // this copy runs; it holds the lock until it is destroyed
        OtherShown, // another copy runs and was asked to show itself: exit
        GaveUp, // another copy holds the lock but did not answer in time: say so (gaveUpMessage), exit
    };

    // `key` is the data folder: copies on one folder must not run side by side.
    explicit SingleInstance(const QString &key, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Waits up to `waitMs` for a copy that is still starting to answer.
    Outcome start(int waitMs = 10000);
    // After Outcome::GaveUp: what the user is told, naming the other copy.
    QString gaveUpMessage() const { return m_gaveUpMessage; }
    // Answers later copies from now on: each is shown this copy (showRequested); a
    // connection that asks for nothing within a second is closed. Call once the main window
    // exists, also after a failed start so waiting copies go on.
    void finishStartup();

    // The data folder's canonical path.
    QString dataFolder() const { return m_dataFolder; }
    // The private folder of the socket; empty when none could be had.
    QString folder() const { return m_folder; }
    QString lockPath() const { return m_lockPath; }
    // The socket's full path; empty when no name fits.
    QString serverName() const { return m_serverName; }

Q_SIGNALS:
    void showRequested();

private:
    void listen();
    void takeConnections();
    void serve(QLocalSocket *client);

    QString m_dataFolder;
    QString m_folder;
    QString m_lockPath;
    QString m_serverName;
    QString m_gaveUpMessage;
    std::unique_ptr<InstanceLock> m_lock;
    QLocalServer *m_server = nullptr;
    bool m_serving = false;
};
