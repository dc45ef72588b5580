#pragma once

#include <QObject>

#include "options/options.h"
#include "platform/services.h"

class Dialogs;
class MainView;
class TaskDocument;

// The program options: the options dialog, which lives for the whole run.
class OptionsCommands : public QObject
{
    Q_OBJECT

public:
    OptionsCommands(TaskDocument &document, const Services &services, MainView &view, QObject *parent = nullptr);
    ~OptionsCommands() override;

    TfrmOptions *optionsWindow() const { return m_window; }

    // Gives an options dialog what puts its choices into the document: the options in
    // force, the holiday colour box, and the saves, whose failures go to `dialogs`.
    static void connectDialog(TfrmOptions &dialog, TaskDocument &document, Dialogs &dialogs);

public Q_SLOTS:
    // File > Options: the dialog, modally. Whatever the button, the document then holds the
    // options in force and says so with optionsChanged.
    void Options1Click();

private:
    TfrmOptions *m_window;
};
