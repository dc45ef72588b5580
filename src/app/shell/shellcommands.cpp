#include "shellcommands.h"

#include "platform/dialogs.h"
#include "platform/help.h"
#include "platform/shellopener.h"
#include "shell/about.h"
#include "shell/mainview.h"
#include "shell/version.h"

ShellCommands::ShellCommands(const Services &services, MainView &view, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_view(view)
{ }

void ShellCommands::Help2Click()
{
    m_services.help.showTopic(100);
}

void ShellCommands::About1Click()
{
    TfrmAbout about(m_services.clock, m_services.dialogs, m_services.opener, m_view.dialogParent());
    about.exec();
}

void ShellCommands::HomePage1Click()
{
    if (!m_services.opener.open(version::kHomePage))
        showError(m_services.dialogs, QStringLiteral("Couldn't open web browser for home page"));
}
