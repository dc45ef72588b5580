#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The outcome of writing a data file: whether it reached the disk, and if not, why.
struct SaveResult
{
    bool ok = true;
    QString path;
    QString reason; // empty when ok

    explicit operator bool() const { return ok; }
    // "Couldn't save PATH: REASON", for an error box.
    QString message() const;
    static SaveResult failure(const QString &path, const QString &reason)
    {
        return SaveResult{false, path, reason};
    }
};

// Writes `data` as the whole new content of `path` so that a crash, a kill or a full disk
// never leaves a shortened or empty file: a temporary file in the same folder is written,
// synced and checked, the old file is kept as "path~" (a hard link, no copy), and the
// temporary file is renamed over the old name.
SaveResult saveFileAtomically(const QString &path, QByteArrayView data, bool keepBackup = true);

// Renames a file that could not be read out of the way, as "NAME.damaged-YYYYMMDD-HHMMSS",
// so nothing can overwrite it. Answers the new path, or an empty text when it failed.
QString keepAside(const QString &path, const QDateTime &now);

// Temporary files of saveFileAtomically are named ".NAME.tmp-XXXXXX": never data.
bool isTemporarySaveFile(const QString &fileName);
