#pragma once

#include <QObject>

#include "platform/services.h"

class MainView;

// The help commands: the help pages, the About box and the maker's home page.
class ShellCommands : public QObject
{
    Q_OBJECT

public:
    ShellCommands(const Services &services, MainView &view, QObject *parent = nullptr);

public Q_SLOTS:
    void Help2Click();
    void About1Click();
    void HomePage1Click();

private:
    Services m_services;
    MainView &m_view;
};
