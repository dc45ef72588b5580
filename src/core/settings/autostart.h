#pragma once

#include <QCoreApplication>
#include <QString>

namespace autostart {
// The name the program starts under at log-on.
inline constexpr const char *kRunValueName = "Tallyday";
} // namespace autostart

// Starting the program at log-on: the XDG autostart entry
// "$XDG_CONFIG_HOME/autostart/tallyday.desktop" (~/.config when XDG_CONFIG_HOME is unset).
class Autostart
{
public:
    // An empty entry path means the user's autostart folder, looked up at each use.
    explicit Autostart(QString executablePath = QCoreApplication::applicationFilePath(), QString entryPath = QString());

    QString executablePath() const { return m_executablePath; }
    QString entryPath() const;
    static QString defaultEntryPath();

    // True when the entry exists and names a program to start (a non-empty Exec).
    bool checkAutostart() const;
    // On: writes the entry for the executable, creating the folder. Off: removes the
    // entry; one that is already absent is fine. False when that could not be done.
    bool writeAutostart(bool on);

    // The whole desktop entry that starts `executablePath`.
    static QByteArray desktopEntry(const QString &executablePath);
    // The Exec value for a program path: quoted when the path holds a reserved character,
    // "%" doubled, and escaped as a desktop entry string.
    static QString execValue(const QString &executablePath);

private:
    QString m_executablePath;
    QString m_entryPath;
};
