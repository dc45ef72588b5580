#include "editingcommands.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "schedule/recur.h"
#include "shell/mainview.h"
#include "store/taskdocument.h"
#include "store/taskstore.h"
#include "text/regional.h"
#include "text/speller.h"
#include "text/texthelpers.h"

namespace {

// A task as an Undo step names it: its first line, cut short, in quotes.
QString quoted(const QString &notes)
{
    return QLatin1Char('"') + captionLine(notes, 30) + QLatin1Char('"');
}

} // namespace

EditingCommands::EditingCommands(TaskDocument &document, const Services &services, MainView &view,
    std::function<HeadingStyle()> heading, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_services(services)
    , m_view(view)
    , m_heading(std::move(heading))
{ }

EditingCommands::~EditingCommands() = default;

std::unique_ptr<TfrmEdit> EditingCommands::makeEditor(QDate day)
{
    auto editor = std::make_unique<TfrmEdit>(m_document, m_services, day, m_heading(), m_view.dialogParent());
    editor->speller = [this]() -> Speller & {
        if (!m_speller)
            m_speller = std::make_unique<Speller>(m_document.dataFolder());
        return *m_speller;
    };
    editor->saveCategoryChoices
        = [this](const QStringList &choices) { report(m_document.setCategoryChoices(choices)); };
    return editor;
}

void EditingCommands::addFromEditor(const TfrmEdit &editor)
{
    if (editor.completion())
        report(m_document.addCompleted(*editor.completion()));
    // The repeats go in with one sort and save, and the shown day is read again when they
    // reach it, so its next write-back keeps them.
    if (const std::optional<recur::Recurrence> &repeats = editor.repeats())
        report(recur::addSeries(m_document, repeats->task, repeats->dates));
}

const CellTable &EditingCommands::listOf(TaskList list) const
{
    return list == TaskList::Day ? m_document.dayList() : m_document.todoList();
}

void EditingCommands::selectTask(TaskList list, CellTable::RowId task)
{
    m_view.selectRow(viewList(list), listOf(list).findRowId(task));
}

MainView::List EditingCommands::viewList(TaskList list) const
{
    return list == TaskList::Day ? MainView::List::Day : MainView::List::Todo;
}

bool EditingCommands::report(const SaveResult &result)
{
    if (!result.ok)
        showError(m_services.dialogs, result.message());
    return result.ok;
}

void EditingCommands::btAddClick(TaskList list)
{
    const TaskDocument::ChangeScope change(
        m_document, list == TaskList::Day ? QStringLiteral("Add Task") : QStringLiteral("Add To-do"));
    const QDate day = m_view.selectedDay();
    const RegionalSettings &regional = m_document.regional();
    const std::unique_ptr<TfrmEdit> made = makeEditor(day);
    TfrmEdit &editor = *made;
    if (list == TaskList::Day) {
        const QDate today = m_services.clock.now().date();
        editor.setTitle(editflow::dayTitle(day, m_services.clock.nowValue(), regional), day < today);
        editor.logDayText = editflow::logDayText(day, regional);
    } else {
        editor.setTitle(QString::fromLatin1(editflow::kTodoTitle), false);
        editor.logDayText = QString::fromLatin1(editflow::kTodoTitle);
        editor.hideTimeControls();
    }
    editor.waitForNotes();
    const int result = editor.exec();
    addFromEditor(editor);
    if (result == QDialog::Accepted) {
        m_document.nameChange(QStringLiteral("Add ") + quoted(editor.task().notes));
        // A to-do is saved at once too, so that a crash never loses it.
        const TaskDocument::Added added = m_document.addTask(editflow::taskOf(
            editor.task(), list == TaskList::Day ? std::optional(datevalue::dayNumber(day)) : std::nullopt, regional));
        report(added.saved);
        selectTask(list, added.id);
    }
    m_view.focusList(viewList(list));
}

void EditingCommands::btEditClick(TaskList list)
{
    m_view.focusList(viewList(list));
    EditOrComplete(list == TaskList::Day, Mode::Edit);
}

void EditingCommands::Markascompleted1Click(TaskList list)
{
    m_view.focusList(viewList(list));
    EditOrComplete(list == TaskList::Day, Mode::Complete);
}

void EditingCommands::EditOrComplete(bool dayCommand, Mode mode)
{
    const TaskDocument::ChangeScope change(m_document, QStringLiteral("Edit"));
    const MainView::List focused = m_view.focusedList();
    const TaskList list
        = editflow::chooseEditList(focused == MainView::List::Todo, focused == MainView::List::Day, dayCommand);
    const CellTable &rows = listOf(list);
    const int row = m_view.currentRow(viewList(list));
    if (!editflow::rowInUse(rows, row)) {
        showError(m_services.dialogs, QStringLiteral("There is nothing to edit"));
        return;
    }
    // Known by its identity: the repeats the editor adds may read the day's list again.
    const CellTable::RowId task = rows.rowId(row);
    const QDate day = m_view.selectedDay();
    const RegionalSettings &regional = m_document.regional();
    const editflow::TaskValues values = list == TaskList::Day
        ? editflow::dayRowValues(rows, row, regional, m_services.clock.nowValue())
        : editflow::todoRowValues(rows, row, m_services.clock.nowValue());
    if (mode == Mode::Complete && values.done) {
        showError(m_services.dialogs, QStringLiteral("Task already marked as complete"));
        return;
    }
    m_document.nameChange(
        (mode == Mode::Complete ? QStringLiteral("Complete ") : QStringLiteral("Edit ")) + quoted(values.notes));

    const std::unique_ptr<TfrmEdit> made = makeEditor(day);
    TfrmEdit &editor = *made;
    editor.setWindowTitle(editflow::editCaption(values.notes));
    editor.allowReschedule = true;
    if (list == TaskList::Day) {
        editor.setTitle(editflow::dayTitle(day, m_services.clock.nowValue(), regional), false);
        editor.logDayText = editflow::logDayText(day, regional);
    } else {
        editor.logDayText = QString::fromLatin1(completed::kNonDateTask);
        editor.hideTimeControls();
    }
    editor.setTask(values);
    editor.autoComplete = mode == Mode::Complete;
    editor.allowRepeat = list == TaskList::Day;

    const int result = editor.exec();
    // The step is named after what the editor was used for.
    const QDate target = editor.rescheduleDate();
    if (editor.repeats())
        m_document.nameChange(QStringLiteral("Repeat ") + quoted(values.notes));
    else if (editor.completion())
        m_document.nameChange(QStringLiteral("Complete ") + quoted(values.notes));
    else if (list == TaskList::Day && target.isValid() && target != day)
        m_document.nameChange(QStringLiteral("Reschedule ") + quoted(values.notes));
    addFromEditor(editor);
    if (result == QDialog::Accepted) {
        // An edit keeps the task's place in its list; a new day moves it there in one save.
        const bool moves = list == TaskList::Day && target.isValid() && target != day;
        Task edited = editflow::taskOf(editor.task(),
            list == TaskList::Day ? std::optional(datevalue::dayNumber(moves ? target : day)) : std::nullopt, regional);
        edited.id = task;
        report(m_document.updateTask(edited));
        if (!moves)
            selectTask(list, edited.id);
    }
    m_view.focusList(viewList(list));
}

void EditingCommands::btDelClick(TaskList list)
{
    const CellTable &rows = listOf(list);
    const int row = m_view.currentRow(viewList(list));
    if (!editflow::rowInUse(rows, row)) {
        showError(m_services.dialogs, QStringLiteral("There is nothing selected to delete"));
        return;
    }
    const QString notes = rows.cell(list == TaskList::Day ? int(daylist::What) : int(todo::What), row);
    if (m_document.options().confirm && !m_services.dialogs.confirm(editflow::deleteQuestion(notes)))
        return;
    const TaskDocument::ChangeScope change(m_document, QStringLiteral("Delete ") + quoted(notes));
    report(m_document.removeTask(rows.rowId(row)));
    m_view.selectRow(viewList(list), std::min(row, rows.rowCount() - 1));
}

void EditingCommands::setNotes(quint64 task, const QString &notes)
{
    std::optional<Task> edited = m_document.task(task);
    if (!edited)
        return;
    const TaskDocument::ChangeScope change(m_document, QStringLiteral("Edit Notes"));
    edited->text = notes;
    report(m_document.updateTask(*edited));
}

void EditingCommands::setFlag(TaskList list, quint64 task, int column, bool on)
{
    std::optional<Task> changed = m_document.task(task);
    if (!changed)
        return;
    const bool alarm = list == TaskList::Day && column == daylist::Alarm;
    const TaskDocument::ChangeScope change(m_document,
        alarm ? (on ? QStringLiteral("Alarm On") : QStringLiteral("Alarm Off"))
              : (on ? QStringLiteral("Mark Done ") : QStringLiteral("Mark Not Done ")) + quoted(changed->text));
    (alarm ? changed->alarm : changed->done) = on;
    report(m_document.updateTask(*changed));
    selectTask(list, task);
}

void EditingCommands::cal1CellDblClick()
{
    if (editflow::rowInUse(m_document.dayList(), 1))
        btEditClick(TaskList::Day);
    else
        btAddClick(TaskList::Day);
}
