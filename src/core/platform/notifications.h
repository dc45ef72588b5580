#pragma once

#include <QString>
#include <QStringList>

// Desktop notifications, so that a user working in another window sees an alarm. A desktop
// without a notification service shows nothing, and that is no error. The program shows
// one at a time: a new one replaces the last, and withdraw takes it away once the user
// has seen the alarm in the window.
class Notifications
{
public:
    virtual ~Notifications() = default;
    virtual void notify(const QString &summary, const QString &body) = 0;
    virtual void withdraw() = 0;
};

class RecordingNotifications final : public Notifications
{
public:
    void notify(const QString &summary, const QString &body) override
    {
        sent << summary + QLatin1Char('\n') + body;
        showing = true;
    }
    void withdraw() override
    {
        if (showing)
            ++withdrawn;
        showing = false;
    }
    QStringList sent;
    bool showing = false;
    int withdrawn = 0;
};
