#include "archive.h"

#include "datafolder.h"
#include "gridfile.h"
#include "taskstore.h"
#include "todolist.h"

#include <QFileInfo>

namespace archive {

namespace {

const QString kTodoExtension = QStringLiteral(".AR2");
const QString kCompletedExtension = QStringLiteral(".AR3");

// The position of the file name's extension dot, or -1 when it has none.
qsizetype extensionDot(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > path.lastIndexOf(QLatin1Char('/')) ? dot : -1;
}

// A list with no rows under its header still keeps one blank row, and a table read from a
// file with fewer columns gets the columns the program reads.
void ensureShape(CellTable &table, int columns)
{
    if (table.colCount() < columns)
        table.setColCount(columns);
    if (table.rowCount() < 2)
        table.setRowCount(2);
}

} // namespace

QString changeFileExt(const QString &path, const QString &extension)
{
    const qsizetype dot = extensionDot(path);
    return (dot < 0 ? path : path.left(dot)) + extension;
}

QString withArchiveExtension(const QString &path)
{
    if (path.isEmpty() || extensionDot(path) >= 0)
        return path;
    return path + QLatin1Char('.') + QLatin1String(kDefaultSuffix);
}

Names names(const QString &chosen)
{
    return { chosen, changeFileExt(chosen, kTodoExtension), changeFileExt(chosen, kCompletedExtension) };
}

QString nameProblem(const QString &chosen)
{
    // Written over, the lock would no longer keep a second copy out.
    if (QFileInfo(chosen).fileName() == QLatin1String(datafile::kStartupLock))
        return QStringLiteral("The archive cannot be ") + chosen
            + QStringLiteral(": that name belongs to the lock of a running Tallyday. Choose another name, such as ")
            + QLatin1String(kDefaultName) + QLatin1Char('.');
    const qsizetype dot = extensionDot(chosen);
    const QString extension = dot < 0 ? QString() : chosen.mid(dot);
    if (extension.compare(kTodoExtension, Qt::CaseInsensitive) != 0
        && extension.compare(kCompletedExtension, Qt::CaseInsensitive) != 0)
        return QString();
    return QStringLiteral("The archive cannot be ") + chosen + QStringLiteral(": the names ending in ") + kTodoExtension
        + QStringLiteral(" and ") + kCompletedExtension
        + QStringLiteral(" belong to an archive's to-do and completed-task files. "
                         "Choose the archive's main file, such as ")
        + QLatin1String(kDefaultName) + QLatin1Char('.');
}

QString storedMessage(const Names &names)
{
    return QStringLiteral("Archive stored in the files - ") + names.main + QStringLiteral(", ") + names.todo
        + QStringLiteral(" and ") + names.completed;
}

QList<SaveResult> write(const Names &names, const CellTable &store, const CellTable &todo, const CellTable &completed)
{
    QList<SaveResult> failed;
    for (const auto &[table, path] : { std::pair { &store, names.main }, std::pair { &todo, names.todo },
             std::pair { &completed, names.completed } }) {
        const SaveResult saved = writeGridFile(*table, path);
        if (!saved)
            failed << saved;
    }
    return failed;
}

ReadResult read(const Names &names, Content &content)
{
    ReadResult result;
    if (!QFileInfo::exists(names.main) || !QFileInfo::exists(names.completed) || !QFileInfo::exists(names.todo)) {
        result.status = ReadResult::Status::Missing;
        return result;
    }
    Content read = content;
    for (const auto &[table, path] : { std::pair { &read.store, names.main }, std::pair { &read.todo, names.todo },
             std::pair { &read.completed, names.completed } }) {
        const ::ReadResult file = readGridFile(*table, path);
        if (!file.ok())
            result.problems << QLatin1String(kCorrupt) + QStringLiteral(": ") + file.message
                    + (file.reason.isEmpty() ? QString() : QStringLiteral(" (") + file.reason + QLatin1Char(')'));
        else if (!file.lost.isEmpty())
            result.notKept << QStringLiteral("Not everything in ") + path
                    + QStringLiteral(" could be restored as it was (") + file.lost.join(QStringLiteral("; "))
                    + QStringLiteral(").");
    }
    if (!result.problems.isEmpty()) {
        result.status = ReadResult::Status::Unreadable;
        result.notKept.clear();
        return result;
    }
    ensureShape(read.store, store::ColumnCount);
    store::ensureStoreOrder(read.store);
    ensureShape(read.todo, todo::ColumnCount);
    setCompletedHeaders(read.completed);
    content = std::move(read);
    return result;
}

} // namespace archive
