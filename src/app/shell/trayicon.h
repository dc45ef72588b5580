#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>

// The tray icon: shows the program's icon and tooltip and reports a click or a double
// click. A press starts a short wait so that a double click is not also taken as a click.
//
// While a modal dialog is open, Qt blocks every other window of the program, the X11 tray
// icon's own among them, and drops its clicks: a program hidden to the tray with a dialog
// open could then never be brought back. The icon's button presses are therefore read as
// X events, before Qt drops them, whenever a modal dialog is open.
class TrayIcon : public QObject, public QAbstractNativeEventFilter
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

    // Whether a native window is the icon's own; tests give their own answer.
    std::function<bool(quintptr window)> isIconWindow;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    // The window an X button press went to (a core event, or one of the X Input extension
    // whose major opcode is `xinput`); 0 for any other event.
    static quintptr pressedWindow(const void *message, int xinput);

Q_SIGNALS:
    void clicked(); // TrayIconClick
    void doubleClicked(); // Showcalendar1Click

private:
    bool iconWindowOf(quintptr window) const;

    QSystemTrayIcon *m_icon;
    QTimer m_wait;
};
