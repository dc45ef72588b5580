#include "undohistory.h"

#include "platform/dialogs.h"
#include "text/datevalue.h"

#include <QAction>
#include <QUndoCommand>

namespace {

constexpr int kUndoLimit = 100;

// A step keeps, each way, only the rows the change touched: undoing the delete of one task
// of a large store keeps that one row, not the store.
class ChangeStep : public QUndoCommand
{
public:
    ChangeStep(UndoHistory &history, const QString &name, const TaskDocument::Contents &before,
        const TaskDocument::Contents &after, UndoHistory::ViewState viewBefore, UndoHistory::ViewState viewAfter)
        : QUndoCommand(name)
        , m_history(history)
        , m_undo(after, before)
        , m_redo(before, after)
        , m_viewBefore(viewBefore)
        , m_viewAfter(viewAfter)
    { }

    void undo() override { m_history.apply(m_undo, m_viewBefore); }
    void redo() override
    {
        // Pushed once the change is made and saved: only a later Redo puts it back.
        if (std::exchange(m_done, false))
            return;
        m_history.apply(m_redo, m_viewAfter);
    }

private:
    UndoHistory &m_history;
    UndoHistory::Patch m_undo;
    UndoHistory::Patch m_redo;
    UndoHistory::ViewState m_viewBefore;
    UndoHistory::ViewState m_viewAfter;
    bool m_done = true;
};

} // namespace

UndoHistory::UndoHistory(TaskDocument &document, Dialogs &dialogs, MainView &view, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_dialogs(dialogs)
    , m_view(view)
{
    // Bounded, so that years of editing cannot grow without end (a step of "Clear all data"
    // holds every row).
    m_stack.setUndoLimit(kUndoLimit);
    connect(&m_document, &TaskDocument::changeStarting, this, [this] {
        m_viewBefore = viewState(Moment::Before);
        m_commandUnderWay = true;
    });
    connect(&m_document, &TaskDocument::changeMade, this,
        [this](const QString &name, const TaskDocument::Contents &before, const TaskDocument::Contents &after) {
            // A change made outside a command (a save of its own) leaves the view where it is.
            const ViewState now = viewState(Moment::After);
            const ViewState was = std::exchange(m_commandUnderWay, false) ? m_viewBefore : viewState(Moment::Before);
            m_stack.push(new ChangeStep(*this, name, before, after, was, now));
        });
    connect(&m_document, &TaskDocument::changesForgotten, this, [this](const QString &why) {
        if (m_stack.count() == 0)
            return;
        m_stack.clear();
        Q_EMIT cleared(why);
    });
}

UndoHistory::~UndoHistory()
{
    // The stack's last signals, sent as it empties itself, must not reach menu items that
    // went with the window.
    QObject::disconnect(&m_stack, nullptr, this, nullptr);
}

void UndoHistory::bind(QAction *undo, QAction *redo)
{
    const auto follow = [this, undo, redo] {
        undo->setEnabled(m_stack.canUndo());
        redo->setEnabled(m_stack.canRedo());
        undo->setText(m_stack.canUndo() ? QStringLiteral("Undo ") + m_stack.undoText() : QStringLiteral("Undo"));
        redo->setText(m_stack.canRedo() ? QStringLiteral("Redo ") + m_stack.redoText() : QStringLiteral("Redo"));
    };
    connect(&m_stack, &QUndoStack::indexChanged, this, follow);
    connect(&m_stack, &QUndoStack::cleanChanged, this, follow);
    connect(undo, &QAction::triggered, &m_stack, &QUndoStack::undo);
    connect(redo, &QAction::triggered, &m_stack, &QUndoStack::redo);
    follow();
}

UndoHistory::ViewState UndoHistory::viewState(Moment moment) const
{
    const MainView::List list = m_view.focusedList();
    const int row = list == MainView::List::None ? -1 : m_view.currentRow(list);
    const CellTable *table = listTable(list);
    const ViewState state { m_view.selectedDay(), list, row, table && row > 0 ? table->rowId(row) : 0 };
    // A change written back as the user goes to another day (the notes pane left by a click
    // on the calendar) is taken while the calendars show the new day and the list the old
    // day's rows: the row belongs to the old day, and the new day has none chosen yet.
    const QDate listDay = datevalue::toDate(DateValue(m_document.shownDay()));
    if (list != MainView::List::Day || state.day == listDay)
        return state;
    if (moment == Moment::Before)
        return { listDay, list, row, state.task };
    return { state.day, list, -1, 0 };
}

const CellTable *UndoHistory::listTable(MainView::List list) const
{
    switch (list) {
    case MainView::List::Day:
        return &m_document.dayList();
    case MainView::List::Todo:
        return &m_document.todoList();
    case MainView::List::None:
        break;
    }
    return nullptr;
}

UndoHistory::Patch::Patch(const TaskDocument::Contents &from, const TaskDocument::Contents &to)
    : store(from.store, to.store)
    , todo(from.todo, to.todo)
    , completed(from.completed, to.completed)
    , holidays(from.holidays, to.holidays)
{ }

void UndoHistory::apply(const Patch &patch, const ViewState &view)
{
    TaskDocument::Contents contents = m_document.contents();
    if (!contents.store.apply(patch.store) || !contents.todo.apply(patch.todo)
        || !contents.completed.apply(patch.completed) || !contents.holidays.apply(patch.holidays)) {
        // The tables are not as the step left them: nothing is put back, and the steps go
        // (not from inside the stack's own undo).
        QMetaObject::invokeMethod(
            this, [this] { m_document.forgetChanges(QStringLiteral("the data changed otherwise")); },
            Qt::QueuedConnection);
        return;
    }
    const QList<SaveResult> failed = m_document.setContents(contents);
    if (view.day.isValid() && view.day != m_view.selectedDay())
        m_view.showDay(view.day);
    if (view.list != MainView::List::None && view.row > 0) {
        const CellTable *table = listTable(view.list);
        const int row = table && view.task ? table->findRowId(view.task) : -1;
        m_view.selectRow(view.list, row > 0 ? row : view.row);
    }
    for (const SaveResult &failure : failed)
        m_dialogs.showError(failure.message());
}
