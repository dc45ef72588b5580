#include "trayicon.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdlib>

TrayIcon::TrayIcon(const QIcon &icon, QObject *parent)
    : QObject(parent)
    , m_icon(new QSystemTrayIcon(icon, this))
{
    m_icon->setToolTip(QStringLiteral("Right click to open"));
    m_wait.setSingleShot(true);
    m_wait.setInterval(kClickWaitMs);
    connect(&m_wait, &QTimer::timeout, this, &TrayIcon::clicked);
    isIconWindow = [this](quintptr window) { return iconWindowOf(window); };
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installNativeEventFilter(this);
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

bool TrayIcon::iconWindowOf(quintptr window) const
{
    // The X11 icon is a window of Qt's own that stands where the icon is.
    const QWidget *widget = QWidget::find(WId(window));
    return widget && widget->isWindow() && m_icon->isVisible()
        && QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()) == m_icon->geometry();
}

namespace {

// The major opcode of the X Input extension, through which Qt takes the pointer's buttons;
// 0 when there is no X server or no such extension.
int xinputOpcode()
{
    static const int opcode = [] {
        const auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
        if (!connection)
            return 0;
        const char name[] = "XInputExtension";
        xcb_query_extension_reply_t *reply
            = xcb_query_extension_reply(connection, xcb_query_extension(connection, sizeof name - 1, name), nullptr);
        const int found = reply && reply->present ? reply->major_opcode : 0;
        free(reply);
        return found;
    }();
    return opcode;
}

} // namespace

// The window a button press of the X event `message` went to, or 0 when it is no press.
quintptr TrayIcon::pressedWindow(const void *message, int xinput)
{
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const int type = event->response_type & ~0x80;
    if (type == XCB_BUTTON_PRESS)
        return static_cast<const xcb_button_press_event_t *>(message)->event;
    if (type == XCB_GE_GENERIC && xinput != 0) {
        const auto *generic = static_cast<const xcb_ge_generic_event_t *>(message);
        if (generic->extension == xinput && generic->event_type == XCB_INPUT_BUTTON_PRESS)
            return static_cast<const xcb_input_button_press_event_t *>(message)->event;
    }
    return 0;
}

bool TrayIcon::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    // Qt delivers the icon's clicks itself while no modal dialog blocks it.
    if (eventType != "xcb_generic_event_t" || !QApplication::activeModalWidget())
        return false;
    const quintptr window = pressedWindow(message, xinputOpcode());
    if (window != 0 && isIconWindow && isIconWindow(window))
        press();
    return false; // Qt drops it as before
}
