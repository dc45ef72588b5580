#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

#include "archive.h"
#include "celltable.h"
#include "datafile.h"
#include "settings/autostart.h"
#include "settings/settingsstore.h"
#include "task.h"
#include "taskstore.h"
#include "text/regional.h"
#include "todolist.h"

class Clock;
class Dialogs;

// The task document: every table the program keeps and the files behind them. It owns the
// dated-task store with the shown day's list, the to-do list, the completed-task log, the
// holiday rules, the category choices, the filter and the options; it loads and saves them
// and says what changed. Windows show it and change it through it; none owns a data file.
class TaskDocument : public QObject
{
    Q_OBJECT

public:
    // `regional` is adjusted by fix2000 here, once, before anything formats a date with it.
    TaskDocument(const QString &dataFolder, SettingsStore &settings, const Clock &clock, RegionalSettings regional,
        QObject *parent = nullptr);
    ~TaskDocument() override;

    // Reads the options and every data file. Answers what the user must be told: files that
    // could not be read (kept aside as the message says) and changes that an earlier run
    // could not save. A file read only in part is written again as read once its copy is
    // kept, so it is copied and reported once.
    QStringList load();

    QString dataFolder() const { return m_dataFolder; }
    QString dataPath(const char *name) const;
    const RegionalSettings &regional() const { return m_regional; }
    const Clock &clock() const { return m_clock; }
    SettingsStore &settings() const { return m_settings; }

    // ---- Dated tasks
    CellTable &store() { return m_store; }
    const CellTable &store() const { return m_store; }
    // The shown day's tasks that the filter lets through: the list the user edits. Its
    // changes reach the store through writeShownDay.
    CellTable &dayList() { return m_dayList; }
    const CellTable &dayList() const { return m_dayList; }
    qint64 shownDay() const { return m_shownDay; }
    // Fills the day list with the day's shown tasks.
    void showDay(qint64 day);
    // The day list replaces the shown day's shown tasks; the store is sorted and saved.
    SaveResult writeShownDay();
    SaveResult sortAndSaveStore();
    // Written as it stands, without sorting (minimising and hiding to the tray).
    SaveResult saveStoreAsIs();
    // A task added to a day without the day list. The store is out of order until the
    // batch ends with endDirectBatch, which sorts and saves once, and reads the shown day
    // again when the batch added to it, so the next write-back keeps those tasks.
    // A task moved from another day or list keeps its identity `id`; 0 makes a new one.
    void insertDirectTask(qint64 day, const QString &time, const QString &category, const QString &what,
        const QString &done, const QString &alarm, CellTable::RowId id = 0);
    SaveResult endDirectBatch();
    // The day list's changes go into the store unsaved, to be saved with the direct batch
    // that follows: a task moved off the shown day to another is saved in one write, so a
    // failed save leaves it on one day on disk as in memory.
    void stageShownDay();

    // Replacing data files as one: what was kept, or why nothing changed.
    struct ReplaceResult
    {
        // Why nothing was replaced: the current data could not be put on disk first, or the
        // new files could not be written.
        QList<SaveResult> failed;
        // The data files as they were before, "NAME.before-PURPOSE-YYYYMMDD-HHMMSS".
        QStringList keptAs;
    };
    // "Clear all data": `clear` deletes tasks from copies of the store and the to-do list;
    // the store is put in order (keeping a body row), and both files are replaced as one, the
    // current ones kept as "NAME.before-clear-...". Only then do the tables change, and the
    // shown day is read again. Nothing changes when a file cannot be written. When nothing
    // was cleared, both files are only saved.
    ReplaceResult clearTasks(const std::function<void(CellTable &store, CellTable &todo)> &clear);

    // ---- To-do tasks
    CellTable &todoList() { return m_todo; }
    const CellTable &todoList() const { return m_todo; }
    SaveResult saveTodo();
    // The to-do list was changed in place.
    void todoEdited();

    // ---- Completed-task log
    CellTable &completedLog() { return m_completed; }
    const CellTable &completedLog() const { return m_completed; }
    SaveResult saveCompleted();
    // The entry goes on top of the log, which is saved at once.
    SaveResult addCompleted(const CompletedEntry &entry);

    // ---- Archive
    // The store, the to-do list (with changes not yet saved) and the completed-task log, as
    // they are in memory. Answers the writes that failed.
    QList<SaveResult> archiveTo(const archive::Names &names) const;
    struct RestoreResult
    {
        enum class Status { Restored, Missing, Unreadable, NotSaved };
        Status status = Status::Restored;
        // Unreadable: a message per file that could not be read. Restored: what a file held
        // that could not be restored as it stood.
        QStringList messages;
        // NotSaved: the current data could not be put on disk first, or the restored files
        // could not be written, so nothing was replaced.
        QList<SaveResult> failed;
        // Restored: the data files as they were, "NAME.before-restore-YYYYMMDD-HHMMSS".
        QStringList keptAs;
    };
    // Replaces the three tables with an archive's once all three files have been read and
    // checked; a file missing or unreadable changes nothing. The three data files are
    // replaced as one, each first holding what is in memory, so the data replaced is kept
    // as "NAME.before-restore-..." (and "NAME~"). The shown day is read again.
    RestoreResult restoreFrom(const archive::Names &names);

    // ---- Holiday rules
    const CellTable &holidays() const { return m_holidays; }
    // The name of the first rule falling on the day, or the empty text.
    QString holidayName(QDate day) const;
    bool isHoliday(QDate day) const;
    // The holiday list's new rules, saved at once.
    SaveResult setHolidays(const CellTable &rules);
    // Reads the rules again when the file exists and holds the last rules saved; what is
    // held stays otherwise (after a failed save it is newer than the file). A file that
    // cannot be read is kept aside as at start, and the answer says so (empty when all went
    // well).
    QString reloadHolidays();

    // ---- Categories and filter
    // The category choices; nothing while "category.xxx" exists but cannot be read.
    std::optional<QStringList> categoryChoices() const;
    QString categoryProblem() const { return m_categoryProblem; }
    // Saves "category.xxx"; a category new to the choices is also added to the filter's saved
    // selection, so it is ticked in the filter at the next start.
    SaveResult setCategoryChoices(const QStringList &choices);

    const FilterState &filter() const { return m_filter; }
    void setFilter(const FilterState &filter);
    // The categories the filter showed when it was last confirmed ("category.yyy"); nothing
    // when that was never saved.
    const std::optional<QStringList> &filterSelection() const { return m_filterSelection; }
    // The filter confirmed: its checked categories are saved.
    SaveResult confirmFilter(const FilterState &filter);
    // The two done switches, kept in the settings.
    SaveResult saveFilterSwitches();

    // ---- Options
    const Options &options() const { return m_options; }
    void setOptions(const Options &options);
    // Saves the options with the log-on start as `runAtLogon` (saveOptions of the settings,
    // which reports through `dialogs`); the options in force change either way.
    bool saveOptions(const Options &options, bool runAtLogon, Dialogs &dialogs);
    Autostart &autostart() { return m_autostart; }
    const Autostart &autostart() const { return m_autostart; }
    // The options dialog's holiday colour box: not stored, on at every start.
    bool colourHolidays() const { return m_colourHolidays; }
    void setColourHolidays(bool on);

    // ---- Tasks by identity
    // The dated task or to-do with that identity, as the tables hold it now.
    std::optional<Task> task(CellTable::RowId id) const;

    // Each change below finds the task where it is held (the shown day's list, the rest of
    // the store, the to-do list), changes it there and saves each file it touched once. A
    // task keeps its identity wherever it goes. A flag's cell keeps its stored text while
    // the flag keeps its value, so a file changes only where the task did.
    struct Added
    {
        CellTable::RowId id = 0;
        SaveResult saved;
    };
    // A new task (its id is not used). On the shown day it takes its place in the day list
    // by the list's sort; on another day, the place of a task put in directly; a to-do
    // takes the first free row of the to-do list, which is then sorted.
    Added addTask(const Task &task);
    // New dated tasks with one sort and save (a series of repeats, an import).
    SaveResult addTasks(const std::vector<Task> &tasks);
    // The task `task.id` takes the values of `task`. Another day moves it to that day, no
    // day to the to-do list. A move between the store and the to-do list saves the file the
    // task goes to first: a failed save leaves it where it was on disk, and in one place in
    // memory. Nothing is done for an identity no table holds.
    SaveResult updateTask(const Task &task);
    // Moves the task to `day` (none: the to-do list), where a task put in directly goes:
    // first on its day, its own day too. A to-do put on a day takes `time`.
    SaveResult moveTask(CellTable::RowId id, std::optional<qint64> day, const QString &time = {});
    SaveResult removeTask(CellTable::RowId id);
    // What a change did to the tasks, by identity.
    struct TaskChanges
    {
        CellTable::RowChanges dated, todo;
    };

    // ---- Changes, for Undo and Redo
    // What a user's change may touch: the dated tasks, the to-do list, the completed-task
    // log and the holiday rules. Copies share their rows, so one costs a pointer per row.
    struct Contents
    {
        CellTable store, todo, completed, holidays;
        bool operator==(const Contents &other) const = default;
    };
    Contents contents() const;
    // Puts the tables back as `contents` holds them: each that differs is replaced and saved,
    // and the shown day is read again. Answers the saves that failed. Records no change.
    QList<SaveResult> setContents(const Contents &contents);
    // One user command, however many saves it makes, is one change: while a ChangeScope
    // lives, saves record nothing, and its end records what changed since the last change
    // (changeMade). A save outside any scope is a change of its own.
    class ChangeScope
    {
    public:
        ChangeScope(TaskDocument &document, const QString &name);
        ~ChangeScope();
        ChangeScope(const ChangeScope &) = delete;
        ChangeScope &operator=(const ChangeScope &) = delete;

    private:
        TaskDocument &m_document;
    };
    // Names the change under way ("Delete \"Dentist\""), when the command knows more than
    // its scope did.
    void nameChange(const QString &name);
    // What is held now becomes the state changes are measured from, and the changes so far
    // can no longer be undone (changesForgotten).
    void forgetChanges(const QString &why);

    // ---- Closing
    // Saves the dated tasks (sorted) and the to-do list, and every other table whose last
    // save failed. Answers the failures; an empty list means everything is on disk.
    QList<SaveResult> saveAtClose();
    // Where nobody can be asked: the tables whose last save failed are written beside the
    // data as "NAME.unsaved-YYYYMMDD-HHMMSS", to be recovered by hand; where the data
    // folder cannot take them (full, read-only, gone), in the state folder.
    struct KeptUnsaved
    {
        QStringList written; // the copies made
        QStringList lost; // the data files whose changes could be kept nowhere
    };
    KeptUnsaved keepUnsaved(const QDateTime &now);
    // Files of that kind in the data folder and in the state folder, for the next start to
    // mention.
    QStringList unsavedCopies() const;
    // The folder that takes what the data folder cannot (stateFolder() unless set).
    QString stateFolder() const { return m_stateFolder; }
    void setStateFolder(const QString &folder) { m_stateFolder = folder; }

Q_SIGNALS:
    // The dated tasks changed (the calendars colour from them).
    void storeChanged();
    // The day list was changed by a flow and written back.
    void dayListChanged();
    // The day list was filled again for the shown day.
    void dayShown();
    void todoChanged();
    void completedChanged();
    void holidaysChanged();
    void filterChanged();
    void optionsChanged();
    void categoriesChanged();
    // A user's change, by its name, with the tables before and after it.
    void changeMade(const QString &name, const TaskDocument::Contents &before, const TaskDocument::Contents &after);
    // The tasks a change (or its Undo or Redo) added, changed and removed.
    void tasksChanged(const TaskDocument::TaskChanges &changes);
    // A user command that may change the tables begins.
    void changeStarting();
    // What was changed before can no longer be undone, and why.
    void changesForgotten(const QString &why);

private:
    struct Table
    {
        DataFile *file;
        const CellTable *table;
        const QStringList *lines;
    };
    QList<Table> tables();
    struct Replacement
    {
        DataFile *file;
        CellTable *table;
        CellTable with;
    };
    // The tables' files replaced as one (fileset), then the tables; nothing changes on a failure.
    ReplaceResult replaceTables(const QString &purpose, std::vector<Replacement> &replacements);

    // A save was made: outside a scope, the change is recorded at once.
    void changed();
    void recordChange();
    void tellTaskChanges(const Contents &before, const Contents &after);
    // Where a task is held: a row of the day list, of the store or of the to-do list.
    struct Place
    {
        enum class List { None, Day, Store, Todo } list = List::None;
        int row = -1;
    };
    Place placeOf(CellTable::RowId id) const;
    qint64 dayOf(const Place &place) const;
    // updateTask; a dated task not `inPlace` goes where moveTask puts it.
    SaveResult changeTask(const Task &task, bool inPlace);
    // The dated task taken out of the store (and the day list, when it is shown there),
    // to be saved by endDirectBatch.
    void takeOutOfStore(const Place &place);

    QString m_dataFolder;
    QString m_stateFolder;
    Contents m_lastChange; // the tables as the last recorded change left them
    struct Absent
    {
        std::optional<CellTable> store, todo, completed, holidays;
    };
    Absent m_absentAtLoad; // the tables whose files were not there at load, as they were
    QString m_changeName;
    int m_changeScopes = 0;
    SettingsStore &m_settings;
    const Clock &m_clock;
    RegionalSettings m_regional;

    CellTable m_store;
    CellTable m_dayList;
    qint64 m_shownDay = 0;
    bool m_shownDayStaged = false;
    bool m_batchTouchesShownDay = false;
    FilterState m_shownFilter; // the filter the day list was read with, and is written back with
    CellTable m_todo;
    CellTable m_completed;
    CellTable m_holidays;
    QStringList m_categories;
    QString m_categoryProblem;
    std::optional<QStringList> m_filterSelection;
    QStringList m_filterSelectionLines; // what "category.yyy" is to hold
    FilterState m_filter;
    Options m_options;
    Autostart m_autostart;
    bool m_colourHolidays = true;

    DataFile m_storeFile;
    DataFile m_todoFile;
    DataFile m_completedFile;
    DataFile m_holidayFile;
    DataFile m_categoryFile;
    DataFile m_filterFile;
};

// The file name a table that could not be saved is kept under, beside the data.
QString unsavedCopyName(const QString &path, const QDateTime &now);
