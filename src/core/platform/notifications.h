#pragma once

#include <QString>
#include <QStringList>

// Desktop notifications, so that a user working in another window sees an alarm. A desktop
// without a notification service shows nothing, and that is no error.
class Notifications
{
public:
    virtual ~Notifications() = default;
    virtual void notify(const QString &summary, const QString &body) = 0;
};

class RecordingNotifications final : public Notifications
{
public:
    void notify(const QString &summary, const QString &body) override { sent << summary + QLatin1Char('\n') + body; }
    QStringList sent;
};
