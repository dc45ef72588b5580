#include "archive.h"

#include "datafolder.h"
#include "gridfile.h"
#include "taskstore.h"
#include "todolist.h"

#include <QFileInfo>

#include <algorithm>

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

struct ArchiveFile
{
    CellTable *table;
    QString path;
    int columns;
    const char *holds; // "dated tasks"
    bool keyed; // the rows are dated tasks, each with its key
};

// Why a data row of the store cannot be restored as a dated task, or an empty text.
QString keyProblem(const CellTable &store)
{
    for (int r = 1; r < store.rowCount(); ++r) {
        if (store.isRowBlank(r))
            continue;
        const QByteArrayView key = store.cellUtf8(store::Key, r);
        if (key.isEmpty())
            return QStringLiteral("row %1 holds a task without a key").arg(r);
        if (!store::isKeyForm(key))
            return QStringLiteral("row %1 has the key \u201c%2\u201d, which is not a day number and a sequence")
                .arg(r)
                .arg(QString::fromUtf8(key.first(std::min<qsizetype>(key.size(), 40))));
    }
    return QString();
}

// Reads one file of an archive into its table, and answers why it is not a file of that
// kind as a writer writes it, naming the file, or an empty text. Lines read as Windows-1252
// are kept and listed in `converted`: an older system wrote them.
QString readArchiveFile(const ArchiveFile &file, QStringList &converted)
{
    const QString holding
        = file.path + QStringLiteral(" cannot be restored as ") + QLatin1String(file.holds) + QStringLiteral(": ");
    // An empty file reads as no change at all: the table would keep the data it replaces.
    if (const QFileInfo info(file.path); info.isFile() && info.size() == 0)
        return holding + QStringLiteral("it is empty");
    const ::ReadResult read = readGridFile(*file.table, file.path);
    if (!read.ok())
        return read.message
            + (read.reason.isEmpty() ? QString() : QStringLiteral(" (") + read.reason + QLatin1Char(')'));
    if (!read.countLine)
        return holding + QStringLiteral("it does not begin with the count line of a grid file");
    if (file.table->colCount() != file.columns)
        return holding
            + QStringLiteral("it has %1 columns, where %2 have %3")
                  .arg(file.table->colCount())
                  .arg(QLatin1String(file.holds))
                  .arg(file.columns);
    if (!read.lost.isEmpty())
        return holding + QStringLiteral("not all of it can be read (") + read.lost.join(QStringLiteral("; "))
            + QLatin1Char(')');
    if (file.keyed) {
        if (const QString why = keyProblem(*file.table); !why.isEmpty())
            return holding + why;
    }
    converted = read.converted;
    return QString();
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
    const ArchiveFile files[] = { { &read.store, names.main, store::ColumnCount, "dated tasks", true },
        { &read.todo, names.todo, todo::ColumnCount, "to-do tasks", false },
        { &read.completed, names.completed, completed::ColumnCount, "completed tasks", false } };
    QStringList refused;
    for (const ArchiveFile &file : files) {
        QStringList converted;
        const QString why = readArchiveFile(file, converted);
        if (!why.isEmpty())
            refused << why;
        else if (!converted.isEmpty())
            result.notKept << QStringLiteral("Not everything in ") + file.path
                    + QStringLiteral(" could be restored as it was (") + converted.join(QStringLiteral("; "))
                    + QStringLiteral(").");
    }
    if (!refused.isEmpty()) {
        // One restore, one box: every file that stops it is named in the same message.
        result.problems << QLatin1String(kCorrupt) + QStringLiteral(": ") + refused.join(QLatin1Char('\n'));
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
