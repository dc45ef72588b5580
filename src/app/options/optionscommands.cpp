#include "optionscommands.h"

#include "shell/mainview.h"
#include "store/taskdocument.h"

OptionsCommands::OptionsCommands(TaskDocument &document, const Services &services, MainView &view, QObject *parent)
    : QObject(parent)
    , m_window(new TfrmOptions(document, services, view.dialogParent()))
{
    connectDialog(*m_window, document, services.dialogs);
}

OptionsCommands::~OptionsCommands() = default;

void OptionsCommands::connectDialog(TfrmOptions &dialog, TaskDocument &document, Dialogs &dialogs)
{
    dialog.putInForce = [&document](const Options &options) { document.setOptions(options); };
    dialog.setColourHolidays = [&document](bool on) { document.setColourHolidays(on); };
    dialog.saveOptions = [&document, &dialogs](const Options &options, bool runAtLogon) {
        return document.saveOptions(options, runAtLogon, dialogs);
    };
}

void OptionsCommands::Options1Click()
{
    m_window->exec();
}
