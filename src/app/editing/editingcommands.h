#pragma once

#include <QObject>

#include <functional>
#include <memory>

#include "editing/edit.h"
#include "platform/services.h"
#include "shell/mainview.h"
#include "store/editflow.h"

class CellTable;
class Speller;
class TaskDocument;

// The editing flows of the main window: add, edit, mark as completed and delete, for the
// day's tasks and the to-do list, through the task editor.
class EditingCommands : public QObject
{
    Q_OBJECT

public:
    using TaskList = editflow::TaskList;
    enum class Mode { Edit, Complete };

    // `heading` gives the main window's date-heading style when an editor opens.
    EditingCommands(TaskDocument &document, const Services &services, MainView &view,
        std::function<HeadingStyle()> heading, QObject *parent = nullptr);
    ~EditingCommands() override;

public Q_SLOTS:
    // Add a task to the list the command belongs to.
    void btAddClick(editflow::TaskList list);
    // The list's own Edit command: the list gets the focus, then the edit flow runs.
    void btEditClick(editflow::TaskList list);
    // The list's own Mark as completed command.
    void Markascompleted1Click(editflow::TaskList list);
    // The edit and complete flow; `dayCommand` when the command belongs to the day list.
    void EditOrComplete(bool dayCommand, EditingCommands::Mode mode);
    void btDelClick(editflow::TaskList list);
    // A double click on a calendar day: edit the day's task, or add one to an empty day.
    void cal1CellDblClick();
    // The notes pane's text becomes the task's note.
    void setNotes(quint64 task, const QString &notes);
    // A box of a list clicked: the task's done flag, or a day task's alarm.
    void setFlag(editflow::TaskList list, quint64 task, int column, bool on);

private:
    const CellTable &listOf(TaskList list) const;
    // Selects the task in its list (nothing when it is not there).
    void selectTask(TaskList list, CellTable::RowId task);
    bool report(const SaveResult &result);
    MainView::List viewList(TaskList list) const;
    // An editor for the selected day, with the shared spell checker.
    std::unique_ptr<TfrmEdit> makeEditor(QDate day);
    // What a closed editor chose besides its task: the completion entry, the repeats.
    void addFromEditor(const TfrmEdit &editor);

    TaskDocument &m_document;
    Services m_services;
    MainView &m_view;
    std::function<HeadingStyle()> m_heading;
    std::unique_ptr<Speller> m_speller; // loaded when first asked for
};
