#pragma once

#include <QByteArray>
#include <QString>

// A lock file whose lock the kernel holds for its owner (flock) and lets go when the owner
// ends, however it ends. So a file that a killed copy left behind never stops a later
// start, whatever the file holds: empty, cut short, another machine's or another program's
// words. What the owner writes into it only tells others about the owner.
class InstanceLock
{
public:
    explicit InstanceLock(QString path);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    enum class Result {
        Taken, // this object holds the lock now
        Held, // a live process holds it
        Unsupported, // the file system keeps no such locks: nothing tells whether its owner lives
        Failed, // no lock file can be had here; problem() says why
    };
    // One attempt, without waiting. Something other than a file where the lock belongs (a
    // folder, a link) is moved out of the way first.
    Result tryLock();
    bool isLocked() const { return m_fd >= 0; }
    // Whether the kernel keeps others out: false after Result::Unsupported.
    bool isExclusive() const { return m_fd >= 0 && m_kernelLock; }
    // Lets go of the lock and removes the file.
    void unlock();
    // Closes the file without removing it: after Result::Unsupported, for a file whose
    // owner turned out to be alive.
    void release();

    // Replaces what the lock file says; only while this object holds it.
    bool write(const QByteArray &content);
    // What the lock file says now, whoever holds it; empty when it cannot be read.
    QByteArray read() const;

    QString path() const { return m_path; }
    QString problem() const { return m_problem; }

private:
    bool moveAside();

    QString m_path;
    int m_fd = -1;
    bool m_kernelLock = false;
    QString m_problem;
};
