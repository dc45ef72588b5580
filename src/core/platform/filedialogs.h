#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The file open and save dialogs. Filters are written "Text files (*.txt)|*.txt|All files
// (*.*)|*.*": a description and its patterns, in pairs.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // Nothing when the user cancels.
    virtual std::optional<QString> openFile(const QString &title, const QString &initial, const QString &filter) = 0;
    // Asks before replacing an existing file. `defaultSuffix` ("csv") is added to a name
    // typed without one.
    virtual std::optional<QString> saveFile(
        const QString &title, const QString &initial, const QString &filter, const QString &defaultSuffix)
        = 0;
};

// The filter in the dialogs' own form: "Text files (*.txt);;All files (*.*)".
QString dialogFilter(const QString &pairs);

// Answers from a script and records what was asked; for tests.
class RecordingFileDialogs final : public FileDialogs
{
public:
    std::optional<QString> openFile(const QString &title, const QString &initial, const QString &filter) override;
    std::optional<QString> saveFile(
        const QString &title, const QString &initial, const QString &filter, const QString &defaultSuffix) override;

    struct Asked
    {
        QString title;
        QString initial;
        QString filter;
        QString defaultSuffix;
    };
    QList<Asked> asked;
    QList<std::optional<QString>> answers; // taken in order; none left means cancel
};
