#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "safefile.h"

class CellTable;

// The outcome of reading a grid file. On failure the table is unchanged.
struct ReadResult
{
    enum class Status { Ok, NotFound, Damaged };
    Status status = Status::Ok;
    QString message; // "File PATH not found" or "File PATH is damaged"
    QString reason; // why a file that is there could not be opened or is damaged
    // What an Ok read could not keep, for the user: cell lines outside the counts, lines
    // that are neither width nor cell lines, text after an end-of-file mark, and a file cut
    // short (it ends in a line, or before the rows its count line asks for, beyond what a
    // blank last row explains). The table holds everything else.
    QStringList lost;
    // What an Ok read kept, but not as it stood: lines that were not UTF-8.
    QStringList converted;
    // The first line is a count line as a writer writes it: two plain numbers of at least 1.
    bool countLine = false;

    bool ok() const { return status == Status::Ok; }
    // Read, and nothing of the file left out or changed.
    bool complete() const { return ok() && lost.isEmpty() && converted.isEmpty(); }
};

// Limits beyond which a count line is taken for damage rather than data.
constexpr int kMaxGridColumns = 1000;
constexpr int kMaxGridRows = 1000000;

// Replaces the table's content from a grid file (lines: counts, widths, cells). A line
// ends at CR, LF or CR LF. Only a regular file is read: anything else is "not found".
ReadResult readGridFile(CellTable &table, const QString &path);
// Reads from bytes already in memory; `path` only names the file in messages.
ReadResult readGridBytes(CellTable &table, QByteArrayView bytes, const QString &path);

// The grid file bytes of the whole table, header row included. Where blank rows at the end
// would look like rows cut off, the last row is written as one empty cell, so a reader can
// tell a file cut short from one that ends in blank rows.
QByteArray gridFileBytes(const CellTable &table);
// Writes the table atomically; the old file stays whole when the write fails.
SaveResult writeGridFile(const CellTable &table, const QString &path);

// Whether bytes are valid UTF-8; text that is not was written by an older system in
// Windows-1252 and is converted with windows1252ToUtf8.
bool isValidUtf8(QByteArrayView bytes);
QByteArray windows1252ToUtf8(QByteArrayView bytes);

// Loading a data file at start: a missing file leaves the table as it is; a file that
// exists but cannot be read is renamed aside first, so no later save can overwrite it.
// A file read only in part (ReadResult::lost) fills the table with what could be read and
// is first kept as it was beside its name, which a later save may then write again. Either
// way its last backup is kept under a name no save rotates, and the message names it.
struct LoadResult
{
    enum class Status { Loaded, Missing, Unreadable, Partial };
    Status status = Status::Loaded;
    QString message; // for the user when unreadable or partly read
    QString keptAs; // the file as it was: moved aside (Unreadable) or a copy (Partial); empty when that failed
    // "PATH~" is the last good version and no save of this run may replace it: no file was
    // loaded, or it could not be read whole and its backup could not be kept as
    // "PATH.kept-YYYYMMDD-HHMMSS" (a backup kept so is the one the message names).
    bool holdBackup = false;
};
LoadResult loadDataFile(CellTable &table, const QString &path, const QDateTime &now);
