#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "categories.h"
#include "gridfile.h"
#include "safefile.h"

class CellTable;

// One data file of the program: where it lives, how it is loaded (an unreadable file is kept
// aside before anything may overwrite it), how it is saved (atomically, with a result that
// says why it failed) and whether it may be written at all. Every data file goes through one.
class DataFile
{
public:
    explicit DataFile(QString path = QString())
        : m_path(std::move(path))
    { }

    const QString &path() const { return m_path; }

    // A grid file into `table`; a missing file leaves the table as it is.
    LoadResult loadGrid(CellTable &table, const QDateTime &now);
    // A category file: one entry per line. A damaged one is kept aside first, as a grid
    // file is, and the lists start empty.
    CategoryFile loadLines(const QDateTime &now);

    SaveResult saveGrid(const CellTable &table);
    SaveResult saveLines(const QStringList &entries);
    SaveResult saveBytes(QByteArrayView bytes, bool keepBackup = true);

    // An unreadable file that could not be moved aside is still at the path: saving is
    // refused until the user has moved it away, as the refusal says.
    bool blocked() const;
    // The last save failed: what is in memory is newer than the file.
    bool unsaved() const { return m_unsaved; }
    void markUnsaved() { m_unsaved = true; }
    // The file was replaced by other means (fileset) with what the program holds.
    void markSaved()
    {
        m_unsaved = false;
        m_blocked = false;
    }
    // Whether a save may make the replaced version "PATH~".
    bool keepsBackups() const { return !m_holdBackup; }

private:
    SaveResult record(SaveResult result);

    QString m_path;
    bool m_blocked = false;
    bool m_unsaved = false;
    bool m_holdBackup = false; // "PATH~" is the last good version: this run never replaces it
};
