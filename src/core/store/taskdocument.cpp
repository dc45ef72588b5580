#include "taskdocument.h"

#include "categories.h"
#include "datafolder.h"
#include "fileset.h"
#include "platform/clock.h"
#include "schedule/holidays.h"
#include "text/texthelpers.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr const char *kUnsavedMark = ".unsaved-";

// What the user is told of a restore or a clear that the last run left unfinished.
QString recoveryMessage(const fileset::Recovery &recovery)
{
    using Status = fileset::Recovery::Status;
    const QString what = recovery.purpose == QLatin1String("clear") ? QStringLiteral("\"Clear all data\"")
        : recovery.purpose == QLatin1String("restore")              ? QStringLiteral("A restore")
                                                                    : QStringLiteral("A replacement of the data files");
    const QString interrupted = what + QStringLiteral(" was interrupted when the program last ended");
    switch (recovery.status) {
    case Status::None:
        break;
    case Status::Finished:
        return interrupted + QStringLiteral("; it has now been completed.")
            + (recovery.keptAs.isEmpty() ? QString()
                                         : QStringLiteral(" The data as it was before is kept as ")
                        + listInSentence(recovery.keptAs) + QLatin1Char('.'));
    case Status::RolledBack:
        return interrupted
            + QStringLiteral(", before it had replaced the data files; it has been undone, and the data is as it "
                             "was before.");
    case Status::Failed:
        return interrupted + QStringLiteral(", and could not be completed now (") + recovery.problem
            + QStringLiteral("). The data files may not all be of the same time; the program will try again at its "
                             "next start.");
    case Status::Unreadable:
        return QStringLiteral("A restore or \"Clear all data\" was interrupted when the program last ended, but its "
                              "record cannot be read (")
            + recovery.problem + QStringLiteral(")")
            + (recovery.marker.isEmpty() ? QString() : QStringLiteral("; the record is kept as ") + recovery.marker)
            + QStringLiteral(". Check that the data shown is what you expect.");
    }
    return QString();
}

bool copiedAside(const LoadResult &loaded)
{
    return loaded.status == LoadResult::Status::Partial && !loaded.keptAs.isEmpty();
}

// A file read only in part has been copied aside as it was and the user told: the table as
// read now takes its name, so that no later start or reading copies and reports it again.
// Answers what the message must add when that fails.
QString rewriteAsRead(DataFile &file, const CellTable &table)
{
    const SaveResult saved = file.saveGrid(table);
    if (saved)
        return QString();
    return QStringLiteral(" It could not be written again as read (") + saved.reason
        + QStringLiteral("); the next save of it tries again.");
}

} // namespace

QString unsavedCopyName(const QString &path, const QDateTime &now)
{
    const QString base = path + QLatin1String(kUnsavedMark) + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    return name;
}

TaskDocument::TaskDocument(
    const QString &dataFolder, SettingsStore &settings, const Clock &clock, RegionalSettings regional, QObject *parent)
    : QObject(parent)
    , m_dataFolder(dataFolder)
    , m_stateFolder(::stateFolder())
    , m_settings(settings)
    , m_clock(clock)
    , m_regional(std::move(regional))
    , m_store(store::newStore())
    , m_dayList(store::newDayList())
    , m_todo(newTodoList())
    , m_completed(newCompletedLog())
    , m_holidays(3, 4)
    , m_options(dataFolder)
    , m_storeFile(dataPath(datafile::kStore))
    , m_todoFile(dataPath(datafile::kTodo))
    , m_completedFile(dataPath(datafile::kCompleted))
    , m_holidayFile(dataPath(datafile::kHolidays))
    , m_categoryFile(dataPath(datafile::kCategories))
    , m_filterFile(dataPath(datafile::kFilterCategories))
{
    fix2000(m_regional);
    // The day list's time order reads the clock once per sort.
    store::gridDayGetFormat(m_dayList, m_regional, m_clock);
}

TaskDocument::~TaskDocument() = default;

QString TaskDocument::dataPath(const char *name) const
{
    return joinPath(m_dataFolder, QString::fromLatin1(name));
}

QStringList TaskDocument::load()
{
    QStringList messages;
    const QDateTime now = m_clock.now();
    if (const QString why = makeFolder(m_dataFolder); !why.isEmpty()) {
        messages << QStringLiteral("The data folder could not be created (") + why
                + QStringLiteral("). Nothing can be saved until it can be.");
    } else {
        // A restore or a clear that a kill interrupted is finished or taken back before any
        // file is read; its new files look like what an interrupted save leaves.
        const fileset::Recovery recovery = fileset::recover(m_dataFolder, now);
        if (recovery.status != fileset::Recovery::Status::None)
            messages << recoveryMessage(recovery);
        if (recovery.status != fileset::Recovery::Status::Failed) {
            if (const QStringList removed = removeLeftoverSaves(m_dataFolder); !removed.isEmpty())
                qCInfo(lcStore).noquote()
                    << "removed what interrupted saves left:" << removed.join(QStringLiteral(", "));
        }
    }
    if (!m_settings.problem().isEmpty())
        messages << m_settings.problem();
    m_options = readOptions(m_settings, m_dataFolder);

    // Counts far beyond the cells are dropped at once: every later pass and save would pay
    // for them, and writing them back would make them permanent.
    struct PartlyRead
    {
        DataFile *file;
        const CellTable *table;
        qsizetype message;
    };
    QList<PartlyRead> partlyRead;
    auto loadGrid = [&](DataFile &file, CellTable &table, int columns) {
        const LoadResult result = file.loadGrid(table, now);
        table.fitToContent(columns, 2);
        if (copiedAside(result))
            partlyRead.append({ &file, &table, messages.size() });
        if (!result.message.isEmpty())
            messages << result.message;
    };
    if (QFileInfo::exists(m_storeFile.path())) {
        loadGrid(m_storeFile, m_store, store::ColumnCount);
        // A store written by an older program may be in plain key order: one pass tells.
        store::ensureStoreOrder(m_store);
    }
    loadGrid(m_todoFile, m_todo, todo::ColumnCount);
    loadGrid(m_completedFile, m_completed, completed::ColumnCount);
    setCompletedHeaders(m_completed);
    loadGrid(m_holidayFile, m_holidays, holidays::ColumnCount);
    for (const PartlyRead &read : std::as_const(partlyRead))
        messages[read.message] += rewriteAsRead(*read.file, *read.table);

    const CategoryFile categories = m_categoryFile.loadLines(now);
    m_categories = categories.entries;
    m_categoryProblem = categories.message;
    if (!categories.message.isEmpty())
        messages << categories.message;
    const CategoryFile selection = m_filterFile.loadLines(now);
    if (selection.loaded()) {
        m_filterSelection = selection.entries;
        m_filterSelectionLines = selection.entries;
    }
    if (!selection.message.isEmpty())
        messages << selection.message;

    const FilterSettings switches = readFilterSettings(m_settings);
    m_filter = FilterState();
    m_filter.showDone = switches.done;
    m_filter.showNotDone = switches.notDone;
    if (categories.loaded())
        m_filter.categories
            = filterCategoriesAtStart(m_categories, m_filterSelection ? m_filterSelection : m_categories);

    const QString dataFolderPath = QDir(m_dataFolder).absolutePath();
    for (const QString &copy : unsavedCopies()) {
        const bool beside = QFileInfo(copy).absolutePath() == dataFolderPath;
        messages << QStringLiteral("Changes that could not be saved when the program last ended are in ") + copy
                + (beside ? QStringLiteral(". Take what you need from it, then move it out of the data folder.")
                          : QStringLiteral(", as the data folder could not take them. Take what you need from it, "
                                           "then move it out of that folder."));
    }
    m_lastChange = contents();
    // A table whose file was not there: an Undo that puts it back as it was removes the file
    // again, rather than leaving one that holds no task.
    const auto absent = [](const CellTable &table, const DataFile &file) {
        return QFileInfo::exists(file.path()) ? std::nullopt : std::optional(table);
    };
    m_absentAtLoad = { absent(m_store, m_storeFile), absent(m_todo, m_todoFile), absent(m_completed, m_completedFile),
        absent(m_holidays, m_holidayFile) };
    return messages;
}

void TaskDocument::showDay(qint64 day)
{
    m_shownDay = day;
    m_shownFilter = m_filter;
    store::readFromStore(m_store, m_filter, day, m_dayList);
    Q_EMIT dayShown();
}

SaveResult TaskDocument::writeShownDay()
{
    store::replaceDay(m_store, m_shownFilter, m_shownDay, m_dayList);
    const SaveResult saved = m_storeFile.saveGrid(m_store);
    Q_EMIT dayListChanged();
    Q_EMIT storeChanged();
    changed();
    return saved;
}

SaveResult TaskDocument::sortAndSaveStore()
{
    store::compactAndSort(m_store);
    const SaveResult saved = m_storeFile.saveGrid(m_store);
    Q_EMIT storeChanged();
    return saved;
}

TaskDocument::ReplaceResult TaskDocument::replaceTables(const QString &purpose, std::vector<Replacement> &replacements)
{
    ReplaceResult result;
    // The to-do list is saved only now and then, and a save may have failed: a file that does
    // not hold what is in memory is brought up to date first, so the copy kept of it holds
    // exactly the data replaced.
    for (const Replacement &r : replacements) {
        const QByteArray current = gridFileBytes(*r.table);
        const FileContent onDisk = readRegularFile(r.file->path());
        if (onDisk.ok() && QByteArray::fromRawData(onDisk.bytes().data(), onDisk.bytes().size()) == current)
            continue;
        const SaveResult saved = r.file->saveBytes(current);
        if (!saved)
            result.failed << saved;
    }
    if (!result.failed.isEmpty())
        return result;

    QList<fileset::Change> changes;
    for (const Replacement &r : replacements)
        changes << fileset::Change { r.file->path(), gridFileBytes(r.with), r.file->keepsBackups() };
    const fileset::Result replaced = fileset::replace(m_dataFolder, purpose, changes, m_clock.now());
    if (!replaced.ok) {
        result.failed << replaced.failure;
        return result;
    }
    for (Replacement &r : replacements) {
        *r.table = std::move(r.with);
        r.file->markSaved();
    }
    result.keptAs = replaced.keptAs;
    return result;
}

TaskDocument::ReplaceResult TaskDocument::clearTasks(const std::function<void(CellTable &, CellTable &)> &clear)
{
    std::vector<Replacement> replacements;
    replacements.push_back({ &m_storeFile, &m_store, m_store });
    replacements.push_back({ &m_todoFile, &m_todo, m_todo });
    CellTable &store = replacements[0].with;
    clear(store, replacements[1].with);
    store::compactAndSort(store);
    if (store.rowCount() < 2)
        store.setRowCount(2);
    ReplaceResult result;
    if (store == m_store && replacements[1].with == m_todo) {
        // Nothing was cleared: nothing to keep, but both files still get what is in memory.
        for (const SaveResult &saved : { m_storeFile.saveGrid(m_store), m_todoFile.saveGrid(m_todo) })
            if (!saved)
                result.failed << saved;
        return result;
    }
    result = replaceTables(QStringLiteral("clear"), replacements);
    if (result.failed.isEmpty()) {
        Q_EMIT storeChanged();
        Q_EMIT todoChanged();
        showDay(m_shownDay);
        changed();
    }
    return result;
}

SaveResult TaskDocument::saveStoreAsIs()
{
    return m_storeFile.saveGrid(m_store);
}

void TaskDocument::insertDirectTask(qint64 day, const QString &time, const QString &category, const QString &what,
    const QString &done, const QString &alarm, CellTable::RowId id)
{
    store::insertDirectTask(m_store, day, time, category, what, done, alarm, id);
    m_batchTouchesShownDay = m_batchTouchesShownDay || day == m_shownDay;
}

void TaskDocument::stageShownDay()
{
    store::replaceDay(m_store, m_shownFilter, m_shownDay, m_dayList);
    m_shownDayStaged = true;
}

SaveResult TaskDocument::endDirectBatch()
{
    const SaveResult saved = sortAndSaveStore();
    if (m_batchTouchesShownDay)
        showDay(m_shownDay);
    else if (m_shownDayStaged)
        Q_EMIT dayListChanged();
    m_batchTouchesShownDay = false;
    m_shownDayStaged = false;
    changed();
    return saved;
}

SaveResult TaskDocument::saveTodo()
{
    const SaveResult saved = m_todoFile.saveGrid(m_todo);
    changed();
    return saved;
}

void TaskDocument::todoEdited()
{
    Q_EMIT todoChanged();
    changed();
}

SaveResult TaskDocument::saveCompleted()
{
    const SaveResult saved = m_completedFile.saveGrid(m_completed);
    changed();
    return saved;
}

SaveResult TaskDocument::addCompleted(const CompletedEntry &entry)
{
    addCompletedEntry(m_completed, entry);
    const SaveResult saved = saveCompleted();
    Q_EMIT completedChanged();
    return saved;
}

QList<SaveResult> TaskDocument::archiveTo(const archive::Names &names) const
{
    return archive::write(names, m_store, m_todo, m_completed);
}

TaskDocument::RestoreResult TaskDocument::restoreFrom(const archive::Names &names)
{
    RestoreResult result;
    archive::Content content { m_store, m_todo, m_completed };
    const archive::ReadResult read = archive::read(names, content);
    if (read.status == archive::ReadResult::Status::Missing) {
        result.status = RestoreResult::Status::Missing;
        return result;
    }
    if (read.status == archive::ReadResult::Status::Unreadable) {
        result.status = RestoreResult::Status::Unreadable;
        result.messages = read.problems;
        return result;
    }

    std::vector<Replacement> replacements;
    replacements.push_back({ &m_storeFile, &m_store, std::move(content.store) });
    replacements.push_back({ &m_todoFile, &m_todo, std::move(content.todo) });
    replacements.push_back({ &m_completedFile, &m_completed, std::move(content.completed) });
    const ReplaceResult replaced = replaceTables(QStringLiteral("restore"), replacements);
    if (!replaced.failed.isEmpty()) {
        result.status = RestoreResult::Status::NotSaved;
        result.failed = replaced.failed;
        return result;
    }
    result.messages = read.notKept;
    result.keptAs = replaced.keptAs;
    Q_EMIT storeChanged();
    Q_EMIT todoChanged();
    Q_EMIT completedChanged();
    showDay(m_shownDay);
    changed();
    return result;
}

QString TaskDocument::holidayName(QDate day) const
{
    return holidays::findHoliday(m_holidays, day, m_regional);
}

bool TaskDocument::isHoliday(QDate day) const
{
    return !holidayName(day).isEmpty();
}

SaveResult TaskDocument::setHolidays(const CellTable &rules)
{
    m_holidays = rules;
    const SaveResult saved = m_holidayFile.saveGrid(m_holidays);
    Q_EMIT holidaysChanged();
    changed();
    return saved;
}

QString TaskDocument::reloadHolidays()
{
    // After a failed save the file is older than the rules held: reading it would lose them.
    if (!QFileInfo::exists(m_holidayFile.path()) || m_holidayFile.unsaved())
        return QString();
    const CellTable held = m_holidays;
    const LoadResult loaded = m_holidayFile.loadGrid(m_holidays, m_clock.now());
    m_holidays.fitToContent(holidays::ColumnCount, 2);
    QString message = loaded.message;
    if (copiedAside(loaded))
        message += rewriteAsRead(m_holidayFile, m_holidays);
    if (m_holidays == held)
        m_holidays = held; // the same rules keep their identities, which Undo finds them by
    Q_EMIT holidaysChanged();
    if (m_holidays != held)
        forgetChanges(QStringLiteral("the holiday file was read again"));
    return message;
}

std::optional<QStringList> TaskDocument::categoryChoices() const
{
    if (m_categoryFile.blocked())
        return std::nullopt;
    return m_categories;
}

SaveResult TaskDocument::setCategoryChoices(const QStringList &choices)
{
    // A new category is one the filter shows: the filter's saved selection names it, so
    // the next start does not hide its tasks behind a filter the user never set.
    QStringList added;
    for (const QString &choice : choices) {
        if (findCategory(m_categories, choice) < 0 && findCategory(m_filterSelectionLines, choice) < 0)
            added << choice;
    }
    m_categories = choices;
    m_categoryProblem.clear();
    SaveResult saved = m_categoryFile.saveLines(m_categories);
    if (m_filterSelection && !added.isEmpty()) {
        m_filterSelectionLines << added;
        const SaveResult selection = m_filterFile.saveLines(m_filterSelectionLines);
        if (selection)
            m_filterSelection = m_filterSelectionLines;
        else if (saved)
            saved = selection;
    }
    Q_EMIT categoriesChanged();
    return saved;
}

void TaskDocument::setFilter(const FilterState &filter)
{
    const bool changed = filter.showDone != m_filter.showDone || filter.showNotDone != m_filter.showNotDone
        || checkedCategories(filter.categories) != checkedCategories(m_filter.categories)
        || filter.categories.size() != m_filter.categories.size();
    m_filter = filter;
    if (changed)
        Q_EMIT filterChanged();
}

SaveResult TaskDocument::confirmFilter(const FilterState &filter)
{
    m_filterSelectionLines = checkedCategories(filter.categories);
    const SaveResult saved = m_filterFile.saveLines(m_filterSelectionLines);
    if (saved)
        m_filterSelection = m_filterSelectionLines;
    setFilter(filter);
    // Shown again even when nothing changed: the user asked for it.
    Q_EMIT filterChanged();
    return saved;
}

SaveResult TaskDocument::saveFilterSwitches()
{
    FilterSettings switches;
    switches.done = m_filter.showDone;
    switches.notDone = m_filter.showNotDone;
    return writeFilterSettings(m_settings, switches);
}

void TaskDocument::setOptions(const Options &options)
{
    m_options = options;
    Q_EMIT optionsChanged();
}

bool TaskDocument::saveOptions(const Options &options, bool runAtLogon, Dialogs &dialogs)
{
    const bool saved = ::saveOptions(m_settings, options, m_autostart, runAtLogon, dialogs);
    setOptions(options);
    return saved;
}

void TaskDocument::setColourHolidays(bool on)
{
    if (on == m_colourHolidays)
        return;
    m_colourHolidays = on;
    Q_EMIT optionsChanged();
}

QList<TaskDocument::Table> TaskDocument::tables()
{
    return { { &m_storeFile, &m_store, nullptr }, { &m_todoFile, &m_todo, nullptr },
        { &m_completedFile, &m_completed, nullptr }, { &m_holidayFile, &m_holidays, nullptr },
        { &m_categoryFile, nullptr, &m_categories }, { &m_filterFile, nullptr, &m_filterSelectionLines } };
}

QList<SaveResult> TaskDocument::saveAtClose()
{
    QList<SaveResult> failures;
    store::compactAndSort(m_store);
    for (const Table &t : tables()) {
        const bool always = t.file == &m_storeFile || t.file == &m_todoFile;
        if (!always && !t.file->unsaved())
            continue;
        const SaveResult saved = t.table ? t.file->saveGrid(*t.table) : t.file->saveLines(*t.lines);
        if (!saved)
            failures << saved;
    }
    return failures;
}

TaskDocument::KeptUnsaved TaskDocument::keepUnsaved(const QDateTime &now)
{
    KeptUnsaved kept;
    for (const Table &t : tables()) {
        if (!t.file->unsaved())
            continue;
        const QByteArray bytes = t.table ? gridFileBytes(*t.table) : categoryFileBytes(*t.lines);
        const QString beside = unsavedCopyName(t.file->path(), now);
        if (saveFileAtomically(beside, bytes, false)) {
            kept.written << beside;
            continue;
        }
        // The data folder is full, read-only or gone: the changes go where the user's own
        // state is kept, and the next start says where.
        if (makeFolder(m_stateFolder).isEmpty()) {
            const QString elsewhere
                = unsavedCopyName(joinPath(m_stateFolder, QFileInfo(t.file->path()).fileName()), now);
            if (saveFileAtomically(elsewhere, bytes, false)) {
                kept.written << elsewhere;
                continue;
            }
        }
        kept.lost << t.file->path();
    }
    return kept;
}

QStringList TaskDocument::unsavedCopies() const
{
    QStringList copies;
    for (const QString &folderPath : { m_dataFolder, m_stateFolder }) {
        const QDir folder(folderPath);
        const QStringList names = folder.entryList(
            { QStringLiteral("*") + QLatin1String(kUnsavedMark) + QStringLiteral("*") }, QDir::Files, QDir::Name);
        for (const QString &name : names) {
            if (!isTemporarySaveFile(name))
                copies << folder.filePath(name);
        }
    }
    return copies;
}

TaskDocument::Contents TaskDocument::contents() const
{
    return { m_store, m_todo, m_completed, m_holidays };
}

QList<SaveResult> TaskDocument::setContents(const Contents &contents)
{
    QList<SaveResult> failed;
    const auto put
        = [&failed](CellTable &table, const CellTable &with, DataFile &file, const std::optional<CellTable> &absent) {
              const bool same = table == with;
              table = with; // the rows' identities too, which the next Undo finds its rows by
              if (same)
                  return false;
              if (absent && with == *absent && QFile::remove(file.path())) {
                  file.markSaved();
                  return true;
              }
              if (const SaveResult saved = file.saveGrid(table); !saved)
                  failed << saved;
              return true;
          };
    const bool store = put(m_store, contents.store, m_storeFile, m_absentAtLoad.store);
    const bool todo = put(m_todo, contents.todo, m_todoFile, m_absentAtLoad.todo);
    const bool completed = put(m_completed, contents.completed, m_completedFile, m_absentAtLoad.completed);
    const bool holidays = put(m_holidays, contents.holidays, m_holidayFile, m_absentAtLoad.holidays);
    const Contents before = std::exchange(m_lastChange, this->contents());
    tellTaskChanges(before, m_lastChange);
    if (store) {
        Q_EMIT storeChanged();
        showDay(m_shownDay);
    }
    if (todo)
        Q_EMIT todoChanged();
    if (completed)
        Q_EMIT completedChanged();
    if (holidays)
        Q_EMIT holidaysChanged();
    return failed;
}

TaskDocument::ChangeScope::ChangeScope(TaskDocument &document, const QString &name)
    : m_document(document)
{
    if (m_document.m_changeScopes++ == 0) {
        m_document.m_changeName = name;
        Q_EMIT m_document.changeStarting();
    }
}

TaskDocument::ChangeScope::~ChangeScope()
{
    if (--m_document.m_changeScopes == 0)
        m_document.recordChange();
}

void TaskDocument::nameChange(const QString &name)
{
    m_changeName = name;
}

void TaskDocument::forgetChanges(const QString &why)
{
    m_lastChange = contents();
    Q_EMIT changesForgotten(why);
}

void TaskDocument::changed()
{
    if (m_changeScopes == 0)
        recordChange();
}

void TaskDocument::recordChange()
{
    Contents now = contents();
    const QString name = m_changeName.isEmpty() ? QStringLiteral("Change") : m_changeName;
    m_changeName.clear();
    if (now == m_lastChange) {
        // Nothing a user sees changed, but what differs besides (column widths) is what the
        // next step's Undo must give back.
        m_lastChange = std::move(now);
        return;
    }
    Contents before = std::exchange(m_lastChange, std::move(now));
    tellTaskChanges(before, m_lastChange);
    Q_EMIT changeMade(name, before, m_lastChange);
}

void TaskDocument::tellTaskChanges(const Contents &before, const Contents &after)
{
    // A write-back numbers a day's keys afresh: a task whose key changed within its day is
    // the same task, unchanged.
    const auto sameKey = [](int column, QByteArrayView a, QByteArrayView b) {
        return column == store::Key && store::keyDay(a) == store::keyDay(b);
    };
    TaskChanges changes { CellTable::changedRows(before.store, after.store, sameKey),
        CellTable::changedRows(before.todo, after.todo) };
    if (!changes.dated.isEmpty() || !changes.todo.isEmpty())
        Q_EMIT tasksChanged(changes);
}

std::optional<Task> TaskDocument::task(CellTable::RowId id) const
{
    if (const int row = m_store.findRowId(id); row > 0)
        return task::fromStore(m_store, row, m_regional);
    if (const int row = m_todo.findRowId(id); row > 0)
        return task::fromTodo(m_todo, row);
    return std::nullopt;
}
