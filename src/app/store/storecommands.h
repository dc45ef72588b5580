#pragma once

#include <QObject>

#include "platform/services.h"

class Dialogs;
class MainView;
class QColor;
class QFont;
class QWidget;
class TaskDocument;
class TfrmComplete;
class TfrmFilter;

// The handlers of the task lists' own commands: the filter, the completed-task log and the
// category choices. It owns the two windows that live for the whole run.
class StoreCommands : public QObject
{
    Q_OBJECT

public:
    StoreCommands(TaskDocument &document, const Services &services, MainView &view, QObject *parent = nullptr);
    ~StoreCommands() override;

    TfrmFilter *filterWindow() const { return m_filterWindow; }
    TfrmComplete *completeWindow() const { return m_completeWindow; }

    // The heading style of the main window, for the windows' titles.
    void applyTitleStyle(const QFont &font, int shadowDepth, const QColor &colour);

    // Gives a filter window what puts its filter into the document; failures go to `dialogs`.
    static void connectFilterWindow(TfrmFilter &window, TaskDocument &document, Dialogs &dialogs);
    // "Categories": the choices the user edits (chooseCategoryChoices) are saved, a failure
    // reported. Answers whether they were saved.
    static bool editCategoryChoices(QWidget *parent, TaskDocument &document, Dialogs &dialogs);

public Q_SLOTS:
    void Filters1Click();
    // The completed-task window, modally: the log as the user leaves it becomes the
    // document's and is saved, one change however it was edited.
    void ViewCompleted1Click();
    void Categories1Click();
    // The completed-task window's Print.
    void printCompletedLog();
    // The completed-task window's exports, as HTML and as comma-delimited text.
    void exportCompletedHtml();
    void exportCompletedCsv();

Q_SIGNALS:
    // The filter window closed, by OK or otherwise: the indicator may have changed.
    void filterWindowClosed();

private:
    TaskDocument &m_document;
    Services m_services;
    MainView &m_view;
    TfrmFilter *m_filterWindow;
    TfrmComplete *m_completeWindow;
};
