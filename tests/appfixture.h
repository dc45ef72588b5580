#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "platform/fontdialogs.h"
#include "platform/help.h"
#include "platform/notifications.h"
#include "platform/printer.h"
#include "platform/services.h"
#include "platform/shellopener.h"
#include "platform/sound.h"
#include "settings/settingsstore.h"
#include "store/taskdocument.h"
#include "text/regional.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

// A program's world for a widget test: a temporary data folder and settings file, the
// platform's fakes, and the task document over them.
class AppFixture
{
    QTemporaryDir m_dir; // first: it outlives everything that writes into it

public:
    explicit AppFixture(const QDateTime &now = QDateTime(QDate(2026, 1, 31), QTime(10, 0)))
        : clock(now)
    {
        QDir().mkpath(dataFolder());
        settings = std::make_unique<SettingsStore>(m_dir.filePath(QStringLiteral("Task.ini")));
    }

    QString dataFolder() const { return m_dir.filePath(QStringLiteral("data")); }
    QString data(const QString &name) const { return dataFolder() + QLatin1Char('/') + name; }
    QString settingsPath() const { return m_dir.filePath(QStringLiteral("Task.ini")); }
    // Where the changes go that the data folder cannot take when nobody can be asked.
    QString stateFolder() const { return m_dir.filePath(QStringLiteral("state")); }

    Services services()
    {
        return { clock, dialogs, fileDialogs, fontDialogs, sound, help, opener, notifications, printer };
    }

    // A new document over the data folder, loaded; what the load reported is in `loaded`.
    TaskDocument &loadDocument(const RegionalSettings &regional = RegionalSettings::englishUS())
    {
        document = std::make_unique<TaskDocument>(dataFolder(), *settings, clock, regional);
        document->setStateFolder(stateFolder());
        loaded = document->load();
        return *document;
    }

    FixedClock clock;
    RecordingDialogs dialogs;
    RecordingFileDialogs fileDialogs;
    RecordingFontDialogs fontDialogs;
    RecordingSound sound;
    RecordingHelp help;
    RecordingShellOpener opener;
    RecordingNotifications notifications;
    RecordingPrinter printer;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<TaskDocument> document;
    QStringList loaded;
};

// Tables written as rows of "cell|cell|...": under `table`'s header, and read back so.
inline CellTable withRows(CellTable table, const QStringList &rows)
{
    table.setRowCount(int(rows.size()) + 1);
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList cells = rows[r].split(QLatin1Char('|'));
        for (int c = 0; c < cells.size(); ++c)
            table.setCell(c, r + 1, cells[c]);
    }
    return table;
}

inline QStringList joinedRows(const CellTable &table, int firstColumn = 0)
{
    QStringList rows;
    for (int r = 1; r < table.rowCount(); ++r) {
        QStringList cells;
        for (int c = firstColumn; c < table.colCount(); ++c)
            cells << table.cell(c, r);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}
