#pragma once

#include "platform/notifications.h"

// Notifications through the desktop's org.freedesktop.Notifications service on the session
// bus. Sent without waiting for an answer; without the service nothing happens.
class QtNotifications final : public Notifications
{
public:
    void notify(const QString &summary, const QString &body) override;
};
