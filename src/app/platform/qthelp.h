#pragma once

#include "platform/help.h"
#include "shell/helpwindow.h"

#include <QPointer>

class HelpWindow;
class QtDialogs;

// The help pages in one help window of the program, opened over the window that asked.
class QtHelp final : public Help
{
public:
    explicit QtHelp(const QtDialogs &owners)
        : m_owners(owners)
    { }
    ~QtHelp() override;

    void showTopic(int topic) override;
    HelpWindow *window() const { return m_window; }

private:
    const QtDialogs &m_owners;
    QPointer<HelpWindow> m_window;
};
