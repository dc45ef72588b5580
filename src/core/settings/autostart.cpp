#include "settings/autostart.h"

#include "store/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool isReservedInExec(QChar c)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

} // namespace

Autostart::Autostart(QString executablePath, QString entryPath)
    : m_executablePath(std::move(executablePath))
    , m_entryPath(std::move(entryPath))
{ }

QString Autostart::defaultEntryPath()
{
    // Honours XDG_CONFIG_HOME, else ~/.config.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/tallyday.desktop");
}

QString Autostart::entryPath() const
{
    return m_entryPath.isEmpty() ? defaultEntryPath() : m_entryPath;
}

QString Autostart::execValue(const QString &executablePath)
{
    // Quoting comes first, then the escapes of a string value, which a reader undoes in
    // the opposite order; so a backslash in a quoted path ends up as four.
    const bool quote = std::any_of(executablePath.cbegin(), executablePath.cend(), isReservedInExec);
    QString argument;
    if (quote)
        argument += QLatin1Char('"');
    for (const QChar c : executablePath) {
        if (quote
            && (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\')))
            argument += QLatin1Char('\\');
        else if (c == QLatin1Char('%')) // field codes start with "%"
            argument += QLatin1Char('%');
        argument += c;
    }
    if (quote)
        argument += QLatin1Char('"');

    QString value;
    for (const QChar c : argument) {
        if (c == QLatin1Char('\\'))
            value += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            value += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            value += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            value += QStringLiteral("\\r");
        else
            value += c;
    }
    return value;
}

QByteArray Autostart::desktopEntry(const QString &executablePath)
{
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=")
        + QLatin1String(autostart::kRunValueName) + QStringLiteral("\nExec=") + execValue(executablePath)
        + QStringLiteral("\nX-GNOME-Autostart-enabled=true\n");
    return entry.toUtf8();
}

bool Autostart::checkAutostart() const
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && QStringView(line).left(equals).trimmed() == QLatin1String("Exec"))
            return !QStringView(line).mid(equals + 1).trimmed().isEmpty();
    }
    return false;
}

bool Autostart::writeAutostart(bool on)
{
    const QString path = entryPath();
    if (!on) {
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            return true;
        return QFile::remove(path);
    }
    if (m_executablePath.isEmpty())
        return false;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    return saveFileAtomically(path, desktopEntry(m_executablePath), false).ok;
}
