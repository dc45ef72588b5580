// Saves one data file the way the program does, for the kill-during-save test:
//   savedriver grid|category|settings PATH old|new   writes that version of the file
//   savedriver grid|category|settings PATH check     loads the file as the program would
// The two versions differ in length and content, so a torn file can never pass for either.
// And replaces the data files as a restore or "Clear all data" does, in FOLDER (data files in
// FOLDER/data, the archive in FOLDER/archive.arb, .AR2 and .AR3):
//   savedriver restore|clear FOLDER setup   writes the data files (and the archive)
//   savedriver restore|clear FOLDER run     loads the data as the program does, then restores
//                                           the archive or clears tasks
//   savedriver restore|clear FOLDER check   starts as the program does (finishing or taking
//                                           back what a kill interrupted), says what it found
#include "output/printselection.h"
#include "platform/clock.h"
#include "settings/settingsstore.h"
#include "store/archive.h"
#include "store/categories.h"
#include "store/celltable.h"
#include "store/gridfile.h"
#include "store/taskdocument.h"
#include "text/regional.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QString>

#include <cstdio>

namespace {

CellTable tableOf(bool newer)
{
    const int rows = newer ? 300 : 120;
    CellTable table(6, rows + 1);
    for (int r = 1; r <= rows; ++r)
        for (int c = 0; c < 6; ++c)
            table.setCell(c, r, QStringLiteral("%1 row %2 cell %3 é").arg(newer ? "new" : "old").arg(r).arg(c));
    return table;
}

QStringList categoriesOf(bool newer)
{
    QStringList entries;
    for (int i = 0; i < (newer ? 200 : 50); ++i)
        entries << QStringLiteral("%1 category %2 ü").arg(newer ? "new" : "old").arg(i);
    return entries;
}

int fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

const qint64 kFirstDay = 46000;

// Dated tasks, to-do tasks and completed tasks named after `tag`, in the document's tables.
void fill(TaskDocument &document, const char *tag, int tasks)
{
    CellTable &store = document.store();
    store.setRowCount(tasks + 1);
    for (int i = 0; i < tasks; ++i) {
        const QStringList cells { store::makeKey(kFirstDay + i / 3, 101 + i % 3), QStringLiteral("9:00 AM"),
            QStringLiteral("Work"), QStringLiteral("%1 task %2 \u00e9").arg(QLatin1String(tag)).arg(i),
            QLatin1String(i % 2 ? "Yes" : "No"), QStringLiteral("No") };
        for (int c = 0; c < cells.size(); ++c)
            store.setCell(c, i + 1, cells[c]);
    }
    CellTable &todo = document.todoList();
    todo.setRowCount(tasks / 4 + 1);
    for (int i = 1; i < todo.rowCount(); ++i) {
        todo.setCell(todo::Category, i, QStringLiteral("Home"));
        todo.setCell(todo::What, i, QStringLiteral("%1 to-do %2").arg(QLatin1String(tag)).arg(i));
        todo.setCell(todo::Done, i, QStringLiteral("No"));
    }
    CellTable &log = document.completedLog();
    log.setRowCount(tasks / 3 + 1);
    for (int i = 1; i < log.rowCount(); ++i)
        for (int c = 0; c < log.colCount(); ++c)
            log.setCell(c, i, QStringLiteral("%1 done %2 %3").arg(QLatin1String(tag)).arg(i).arg(c));
}

// The data files as the program leaves them, and for a restore an archive of other data.
int setUp(const QString &folder, bool restoring, TaskDocument &document, TaskDocument &other)
{
    document.load();
    fill(document, "old", 120);
    if (!document.sortAndSaveStore() || !document.saveTodo() || !document.saveCompleted())
        return fail("the data files were not written");
    if (!restoring)
        return 0;
    other.load();
    fill(other, "new", 300);
    other.sortAndSaveStore();
    return other.archiveTo(archive::names(folder + QStringLiteral("/archive.arb"))).isEmpty()
        ? 0
        : fail("the archive was not written");
}

int replaceFiles(const QString &folder, const QString &kind, const QString &action)
{
    const bool restoring = kind == QLatin1String("restore");
    const QString data = folder + QStringLiteral("/data");
    // A fixed clock: the names the replaced files are kept under are known.
    FixedClock clock(QDateTime(QDate(2026, 1, 31), QTime(10, 0)));
    SettingsStore settings(folder + QStringLiteral("/Task.ini"));
    TaskDocument document(data, settings, clock, RegionalSettings::englishUS());
    if (action == QLatin1String("setup")) {
        SettingsStore otherSettings(folder + QStringLiteral("/other.ini"));
        TaskDocument other(folder + QStringLiteral("/other"), otherSettings, clock, RegionalSettings::englishUS());
        return setUp(folder, restoring, document, other);
    }
    const QStringList said = document.load();
    for (const QString &message : said)
        std::fprintf(stderr, "%s\n", qPrintable(message));
    if (action == QLatin1String("check"))
        return 0;
    if (action != QLatin1String("run"))
        return fail("unknown action");
    if (!said.isEmpty())
        return fail("the data did not load cleanly");
    document.showDay(kFirstDay + 1);
    if (restoring) {
        const TaskDocument::RestoreResult restored
            = document.restoreFrom(archive::names(folder + QStringLiteral("/archive.arb")));
        return restored.status == TaskDocument::RestoreResult::Status::Restored ? 0 : fail("the restore failed");
    }
    // The open tasks of the first days and every to-do task.
    PrintSelection selection;
    selection.allDates = false;
    selection.firstDay = kFirstDay;
    selection.lastDay = kFirstDay + 20;
    selection.done = false;
    const TaskDocument::ReplaceResult cleared = document.clearTasks(
        [&selection](CellTable &store, CellTable &todo) { printselection::clearSelection(store, todo, selection); });
    return cleared.failed.isEmpty() && !cleared.keptAs.isEmpty() ? 0 : fail("the clear failed");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4)
        return fail("usage: savedriver grid|category|settings PATH old|new|check, "
                    "or savedriver restore|clear FOLDER setup|run|check");
    const QString kind = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    const QString action = QString::fromLocal8Bit(argv[3]);
    const bool newer = action == QLatin1String("new");

    if (kind == QLatin1String("restore") || kind == QLatin1String("clear")) {
        QCoreApplication application(argc, argv); // the document reads the program's path
        return replaceFiles(path, kind, action);
    }

    if (kind == QLatin1String("grid")) {
        if (action == QLatin1String("check")) {
            CellTable table;
            return readGridFile(table, path).ok() ? 0 : fail("the grid file does not read");
        }
        return writeGridFile(tableOf(newer), path).ok ? 0 : fail("the grid file was not saved");
    }
    if (kind == QLatin1String("category")) {
        if (action == QLatin1String("check"))
            return readCategoryList(path) ? 0 : fail("the category file does not read");
        return writeCategoryFile(path, categoriesOf(newer)).ok ? 0 : fail("the category file was not saved");
    }
    if (kind == QLatin1String("settings")) {
        SettingsStore store(path);
        if (action == QLatin1String("check"))
            return store.find(QStringLiteral("Test"), QStringLiteral("Version")) ? 0 : fail("the settings do not read");
        for (int i = 0; i < (newer ? 60 : 20); ++i)
            store.writeText(QStringLiteral("Test"), QStringLiteral("Value%1").arg(i),
                QStringLiteral("%1 %2").arg(newer ? "new" : "old").arg(i));
        store.writeText(QStringLiteral("Test"), QStringLiteral("Version"), QLatin1String(newer ? "new" : "old"));
        return store.sync().ok ? 0 : fail("the settings were not saved");
    }
    return fail("unknown kind");
}
