#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

// The tray icon: shows the program's icon and tooltip and reports a click or a double
// click. A press starts a short wait so that a double click is not also taken as a click.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    static constexpr int kClickWaitMs = 400;

    explicit TrayIcon(const QIcon &icon, QObject *parent = nullptr);

    // False on desktops without a system tray: the program must then stay reachable
    // through its minimised window.
    bool isAvailable() const;
    void show();

    // For tests and for the platform's callbacks.
    void press();
    void doubleClick();
    bool clickPending() const { return m_wait.isActive(); }

Q_SIGNALS:
    void clicked(); // TrayIconClick
    void doubleClicked(); // Showcalendar1Click

private:
    QSystemTrayIcon *m_icon;
    QTimer m_wait;
};
