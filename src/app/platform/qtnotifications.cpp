#include "qtnotifications.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

void QtNotifications::notify(const QString &summary, const QString &body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()
        || !bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.Notifications")))
        return;
    QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"), QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(2))); // critical: it stays until seen
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("tallyday"));
    message << QStringLiteral("Tallyday") << uint(0) << QStringLiteral("tallyday") << summary << body << QStringList()
            << hints << int(-1);
    bus.call(message, QDBus::NoBlock);
}
