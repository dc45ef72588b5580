#include "qthelp.h"

#include "platform/qtdialogs.h"
#include "shell/helpwindow.h"
#include "widgets/windowplace.h"

QtHelp::~QtHelp()
{
    delete m_window.data();
}

void QtHelp::showTopic(int topic)
{
    QWidget *owner = m_owners.owner();
    if (owner)
        owner = owner->window();
    if (owner == m_window.data())
        owner = m_window ? m_window->parentWidget() : nullptr;
    if (!m_window) {
        m_window = new HelpWindow(owner);
    } else if (m_window->parentWidget() != owner) {
        // Help is often asked for from a modal dialog: only a window owned by that dialog
        // takes input while it is up. Changing the owner hides the window, so keep its place.
        const QByteArray geometry = m_window->saveGeometry();
        m_window->setParent(owner, Qt::Window);
        m_window->restoreGeometry(geometry);
    }
    m_window->openTopic(topic);
    if (!m_window->isVisible())
        windowplace::placeForShow(m_window, owner);
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
