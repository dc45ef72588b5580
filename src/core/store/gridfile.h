#pragma once

#include <QByteArray>
#include <QString>

#include "safefile.h"

class CellTable;

// The outcome of reading a grid file. On failure the table is unchanged.
struct ReadResult
{
    enum class Status { Ok, NotFound, Damaged };
    Status status = Status::Ok;
    QString message; // "File PATH not found" or "File PATH is damaged"

    bool ok() const { return status == Status::Ok; }
};

// Limits beyond which a count line is taken for damage rather than data.
constexpr int kMaxGridColumns = 1000;
constexpr int kMaxGridRows = 1000000;

// Replaces the table's content from a grid file (CR LF lines: counts, widths, cells).
ReadResult readGridFile(CellTable &table, const QString &path);
// Reads from bytes already in memory; `path` only names the file in messages.
ReadResult readGridBytes(CellTable &table, QByteArrayView bytes, const QString &path);

// The grid file bytes of the whole table, header row included.
QByteArray gridFileBytes(const CellTable &table);
// Writes the table atomically; the old file stays whole when the write fails.
SaveResult writeGridFile(const CellTable &table, const QString &path);

// Whether bytes are valid UTF-8; text that is not was written by an older system in
// Windows-1252 and is converted with windows1252ToUtf8.
bool isValidUtf8(QByteArrayView bytes);
QByteArray windows1252ToUtf8(QByteArrayView bytes);

// Loading a data file at start: a missing file leaves the table as it is; a file that
// exists but cannot be read is renamed aside first, so no later save can overwrite it.
struct LoadResult
{
    enum class Status { Loaded, Missing, Unreadable };
    Status status = Status::Loaded;
    QString message; // for the user when unreadable
    QString keptAs;  // where the unreadable file now is (empty if it could not be moved)
};
LoadResult loadDataFile(CellTable &table, const QString &path, const QDateTime &now);
