#include "qtnotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

QDBusMessage notificationCall(const QString &method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"), QStringLiteral("org.freedesktop.Notifications"), method);
}

} // namespace

void QtNotifications::notify(const QString &summary, const QString &body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage message = notificationCall(QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2))); // critical: it stays until seen
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("tallyday"));
    // Replaces the last one shown rather than stacking a new one on it.
    message << QStringLiteral("Tallyday") << m_id << QStringLiteral("tallyday") << summary << body << QStringList()
            << hints << int(-1);
    m_pending = true;
    m_withdrawWhenShown = false;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<uint> reply = *call;
        m_pending = false;
        if (reply.isValid())
            m_id = reply.value();
        if (m_withdrawWhenShown)
            withdraw();
    });
}

void QtNotifications::withdraw()
{
    if (m_pending) {
        m_withdrawWhenShown = true; // its number is not known yet
        return;
    }
    if (m_id == 0)
        return;
    QDBusMessage message = notificationCall(QStringLiteral("CloseNotification"));
    message << m_id;
    m_id = 0;
    m_withdrawWhenShown = false;
    QDBusConnection::sessionBus().asyncCall(message);
}
