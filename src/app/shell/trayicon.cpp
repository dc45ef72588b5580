#include "trayicon.h"

TrayIcon::TrayIcon(const QIcon &icon, QObject *parent)
    : QObject(parent)
    , m_icon(new QSystemTrayIcon(icon, this))
{
    m_icon->setToolTip(QStringLiteral("Right click to open"));
    m_wait.setSingleShot(true);
    m_wait.setInterval(kClickWaitMs);
    connect(&m_wait, &QTimer::timeout, this, &TrayIcon::clicked);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            doubleClick();
        else
            press(); // left, right and middle button alike
    });
}

bool TrayIcon::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::show()
{
    if (isAvailable())
        m_icon->show();
}

void TrayIcon::press()
{
    if (!m_wait.isActive())
        m_wait.start();
}

void TrayIcon::doubleClick()
{
    m_wait.stop();
    Q_EMIT doubleClicked();
}
