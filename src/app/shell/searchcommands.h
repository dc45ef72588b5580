#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

#include "platform/services.h"
#include "shell/finddialog.h"
#include "store/search.h"

class MainView;
class TaskDocument;

// Search and the steps to highlighted days: the Find dialog over the text of every dated
// task, "Next Highlighted Task" and "Prior Highlighted Task".
class SearchCommands : public QObject
{
    Q_OBJECT

public:
    // `place` answers where the Find dialog's top left corner goes on the screen.
    SearchCommands(TaskDocument &document, const Services &services, MainView &view, std::function<QPoint()> place,
        QObject *parent = nullptr);
    ~SearchCommands() override;

    FindDialog *findDialog() const { return m_dialog; }
    const search::SearchState &state() const { return m_state; }

public Q_SLOTS:
    void Search1Click();
    void FindDialog1Find();
    void NextTask1Click();
    void PriorTask1Click();

private:
    void FindDialog1Close();
    // Selects the hit in the day list when its day is on show.
    void selectHit();

    TaskDocument &m_document;
    Services m_services;
    MainView &m_view;
    std::function<QPoint()> m_place;
    QPointer<FindDialog> m_dialog;
    search::SearchState m_state;
    bool m_searchingDown = true;
};
