#pragma once

#include <QObject>

#include <vector>

class QTimer;

// A set of periodic triggers added in order, each known by the handle it was given, all
// reporting through one signal so a window can dispatch them in one place.
class TimerPool : public QObject
{
    Q_OBJECT

public:
    using Handle = int;

    explicit TimerPool(QObject *parent = nullptr);

    // Adds a periodic trigger, enabled at once; it first fires one interval later.
    Handle add(int intervalMs);
    void setEnabled(Handle handle, bool enabled);
    bool isEnabled(Handle handle) const;
    int interval(Handle handle) const;
    // A new interval, counted from now when the trigger runs.
    void setInterval(Handle handle, int intervalMs);
    void disableAll();
    int count() const { return int(m_timers.size()); }

Q_SIGNALS:
    void triggered(TimerPool::Handle handle);

private:
    std::vector<QTimer *> m_timers;
};
