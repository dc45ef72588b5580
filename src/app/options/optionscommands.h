#pragma once

#include <QObject>

#include "options/options.h"
#include "platform/services.h"

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

public Q_SLOTS:
    // File > Options: the dialog, modally. Whatever the button, the document then holds the
    // options in force and says so with optionsChanged.
    void Options1Click();

private:
    TfrmOptions *m_window;
};
