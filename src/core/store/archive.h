#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "celltable.h"
#include "safefile.h"

// An archive is three grid files sharing one name apart from the extension: the dated-task
// store in the chosen file, the to-do list in its ".AR2" file and the completed-task log in
// its ".AR3" file.
namespace archive {

inline constexpr const char *kFilter = "Archive Backup (*.arb)|*.arb|All Files (*.*)|*.*";
inline constexpr const char *kDefaultName = "backup.arb";
inline constexpr const char *kDefaultSuffix = "arb";
inline constexpr const char *kSaveTitle = "Save Archive";
inline constexpr const char *kOpenTitle = "Restore Archive";
inline constexpr const char *kConfirmRestore
    = "Really restore ENTIRE system?  This will overwrite any current information. "
      "Note you may want to make an archive first!";
inline constexpr const char *kMissingFile
    = "Could not restore ... there seems to be a missing file. Looking for ARB, AR2 and AR3 file extensions";
inline constexpr const char *kCorrupt = "Could not load up the archive ... must be corrupt";

// The path with the extension of its file name replaced by `extension` (".AR2"), or with
// `extension` appended when the file name has none.
QString changeFileExt(const QString &path, const QString &extension);
// A name typed without an extension gets ".arb".
QString withArchiveExtension(const QString &path);

struct Names
{
    QString main; // the dated-task store
    QString todo; // ".AR2"
    QString completed; // ".AR3"
};
Names names(const QString &chosen);

// A chosen name ending in ".AR2" or ".AR3" (in any case, since the archive may sit on a
// disk that ignores case) would be one of its own companion files: two tables would share
// one file. Nor may an archive be the data folder's start-up lock. Answers why the name
// cannot be used, or an empty text.
QString nameProblem(const QString &chosen);

// "Archive stored in the files - MAIN, AR2 and AR3"
QString storedMessage(const Names &names);

// Writes the three tables, in the order store, to-do list, completed log. Answers the
// writes that failed.
QList<SaveResult> write(const Names &names, const CellTable &store, const CellTable &todo, const CellTable &completed);

// The three files of an archive, read completely before anything may be replaced. The
// tables start as copies of the tables they are to replace, so they keep their kind (sort
// rules and the like); a read replaces only their content.
struct Content
{
    CellTable store;
    CellTable todo;
    CellTable completed;
};

struct ReadResult
{
    enum class Status { Ok, Missing, Unreadable };
    Status status = Status::Ok;
    // Unreadable: one message per file that could not be read, each naming the file.
    QStringList problems;
    // Ok: what a file held that its table did not keep as it stood (lines of an older
    // system's code page), naming the file.
    QStringList notKept;
};

// Missing unless all three files exist; Unreadable when any of them cannot be read or is not
// a grid file of its table as a writer writes it (a count line, the table's columns, every
// line a width or a cell inside the counts, and in the store every task with a key of the
// store's form), and then `content` is left as it was. On Ok the tables hold the archive, in
// the shape the program keeps them in: the store in order, each list with its header and a
// body row.
ReadResult read(const Names &names, Content &content);

} // namespace archive
