#include "timerpool.h"

#include <QTimer>

TimerPool::TimerPool(QObject *parent)
    : QObject(parent)
{ }

TimerPool::Handle TimerPool::add(int intervalMs)
{
    auto *timer = new QTimer(this);
    timer->setInterval(intervalMs);
    const Handle handle = Handle(m_timers.size()) + 1;
    connect(timer, &QTimer::timeout, this, [this, handle] { Q_EMIT triggered(handle); });
    m_timers.push_back(timer);
    timer->start();
    return handle;
}

void TimerPool::setEnabled(Handle handle, bool enabled)
{
    if (handle < 1 || handle > count())
        return;
    QTimer *timer = m_timers[size_t(handle - 1)];
    if (enabled && !timer->isActive())
        timer->start();
    else if (!enabled)
        timer->stop();
}

bool TimerPool::isEnabled(Handle handle) const
{
    return handle >= 1 && handle <= count() && m_timers[size_t(handle - 1)]->isActive();
}

int TimerPool::interval(Handle handle) const
{
    return handle >= 1 && handle <= count() ? m_timers[size_t(handle - 1)]->interval() : 0;
}

void TimerPool::setInterval(Handle handle, int intervalMs)
{
    if (handle >= 1 && handle <= count())
        m_timers[size_t(handle - 1)]->setInterval(intervalMs); // an active timer starts again
}

void TimerPool::disableAll()
{
    for (QTimer *timer : m_timers)
        timer->stop();
}
