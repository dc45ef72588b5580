#pragma once

#include <QObject>
#include <QUndoStack>

#include "shell/mainview.h"
#include "store/taskdocument.h"

#include <QDate>

class Dialogs;
class QAction;

// Undo and Redo of the user's changes: each change the document records is one step on a
// QUndoStack, undone and redone by putting the tables back as they were and saving them.
// The stack lives for the run and is cleared only by what cannot be undone.
class UndoHistory : public QObject
{
    Q_OBJECT

public:
    UndoHistory(TaskDocument &document, Dialogs &dialogs, MainView &view, QObject *parent = nullptr);
    ~UndoHistory() override;

    QUndoStack &stack() { return m_stack; }
    // The Edit menu's two items follow the stack: enabled when there is a step, and named
    // after it ("Undo Delete \"Dentist\"").
    void bind(QAction *undo, QAction *redo);

    // Where the user was: the shown day and the selected row of the focused list, with the
    // identity of its task, which is selected again wherever it then stands.
    struct ViewState
    {
        QDate day;
        MainView::List list = MainView::List::None;
        int row = -1;
        CellTable::RowId task = 0;
    };
    // Before a change the row stands on the day its list holds; after, the view is on the day
    // the calendars show.
    enum class Moment { Before, After };
    ViewState viewState(Moment moment) const;
    // What turns the tables of one state into another's, one way of a step.
    struct Patch
    {
        Patch(const TaskDocument::Contents &from, const TaskDocument::Contents &to);
        CellTable::RowPatch store, todo, completed, holidays;
    };
    // Puts the tables back as the patch turns them, and the view where it was; a save that
    // fails is said. Tables not as the step left them are not touched, and the steps are
    // dropped with a word.
    void apply(const Patch &patch, const ViewState &view);

Q_SIGNALS:
    // The steps so far were dropped, and why.
    void cleared(const QString &why);

private:
    const CellTable *listTable(MainView::List list) const;

    TaskDocument &m_document;
    Dialogs &m_dialogs;
    MainView &m_view;
    QUndoStack m_stack;
    ViewState m_viewBefore; // when the command under way began
    bool m_commandUnderWay = false;
};
