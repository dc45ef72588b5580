#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "safefile.h"

// Replacing several data files as one (a restore, "Clear all data"): a kill or a crash at any
// moment leaves every old file or every new one, once the next start has looked. The new
// files are written beside their data files first and the current files kept under a name of
// their own; then a marker in the data folder names them all, the new files are renamed over
// the old in turn, and the marker goes. A start that finds the marker finishes the renames,
// or, when the files were not all written yet, takes the new ones away (recover).
// The marker lies in the data folder as datafile::kReplacing.
namespace fileset {

struct Change
{
    QString path; // the data file
    QByteArray bytes; // its new content
    bool keepBackup = true; // the replaced file also becomes "PATH~", as at every save
};

// A replacement whose new files are all on disk, with its marker: from here a start finishes it.
struct Plan
{
    struct File
    {
        QString target; // the data file (a link followed to its file)
        QString staged; // the new content, beside it
        QString keptAs; // the file as it was; empty when there was none
        bool keepBackup = true;
    };
    QString marker;
    QString purpose;
    QList<File> files;
};

struct Result
{
    bool ok = true;
    SaveResult failure; // why nothing was replaced
    // The data files as they were, "PATH.before-PURPOSE-YYYYMMDD-HHMMSS", in the order of the
    // changes; files that did not exist have none.
    QStringList keptAs;
};

// Writes every new file and keeps every current one as "PATH.before-PURPOSE-YYYYMMDD-HHMMSS"
// (a hard link, no copy), marking the replacement in `folder`. Nothing has been replaced yet;
// on a failure nothing is left behind and the answer says why.
std::optional<Plan> prepare(
    const QString &folder, const QString &purpose, const QList<Change> &changes, const QDateTime &now, SaveResult &why);
// Renames the new files over the data files in turn and removes the marker. A rename that
// fails puts back the files already replaced.
Result commit(const Plan &plan);
// Both.
Result replace(const QString &folder, const QString &purpose, const QList<Change> &changes, const QDateTime &now);

struct Recovery
{
    enum class Status {
        None, // no replacement was under way
        Finished, // the renames were finished: the data files are the new ones
        RolledBack, // the new files were taken away: the data files are as they were
        Failed, // neither could be done; the marker stays for the next start
        Unreadable, // the marker could not be read; it was kept aside as `marker`
    };
    Status status = Status::None;
    QString purpose;
    QStringList keptAs; // Finished: the files as they were
    QString marker; // Unreadable: where the marker was kept
    QString problem; // Failed, Unreadable: why
};
// At start, before any data file is read: finishes a replacement that a kill or a crash
// interrupted, or takes it back.
Recovery recover(const QString &folder, const QDateTime &now);

} // namespace fileset
