#pragma once

#include "platform/notifications.h"

#include <QObject>

// Notifications through the desktop's org.freedesktop.Notifications service on the session
// bus. Every call is sent without waiting for its answer, so a slow or missing service
// never holds up the window; without the service nothing happens.
class QtNotifications final : public QObject, public Notifications
{
    Q_OBJECT

public:
    void notify(const QString &summary, const QString &body) override;
    void withdraw() override;

private:
    uint m_id = 0; // the notification shown, as the service numbered it
    bool m_pending = false; // a Notify call not answered yet
    bool m_withdrawWhenShown = false;
};
