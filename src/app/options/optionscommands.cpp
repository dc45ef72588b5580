#include "optionscommands.h"

#include "shell/mainview.h"

OptionsCommands::OptionsCommands(TaskDocument &document, const Services &services, MainView &view, QObject *parent)
    : QObject(parent)
    , m_window(new TfrmOptions(document, services, view.dialogParent()))
{ }

OptionsCommands::~OptionsCommands() = default;

void OptionsCommands::Options1Click()
{
    m_window->exec();
}
