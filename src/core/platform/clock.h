#pragma once

#include <QDateTime>

#include "text/datevalue.h"

// Gives "now" to everything that depends on the current date and time, so tests can fix it.
// A caller that needs "now" several times for one decision reads it once and passes it on.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    DateValue nowValue() const { return datevalue::fromDateTime(now()); }
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDateTime when)
        : m_when(std::move(when))
    { }
    QDateTime now() const override { return m_when; }
    void set(QDateTime when) { m_when = std::move(when); }

private:
    QDateTime m_when;
};
