#include "filedialogs.h"

QString dialogFilter(const QString &pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList descriptions;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        // The dialog reads its patterns from the brackets of the description.
        if (!patterns.isEmpty() && !description.contains(QLatin1Char('(')))
            description += QStringLiteral(" (") + QString(patterns).replace(QLatin1Char(';'), QLatin1Char(' '))
                + QLatin1Char(')');
        if (!description.isEmpty())
            descriptions << description;
    }
    return descriptions.join(QStringLiteral(";;"));
}

std::optional<QString> RecordingFileDialogs::openFile(
    const QString &title, const QString &initial, const QString &filter)
{
    asked.append({ title, initial, filter, QString() });
    return answers.isEmpty() ? std::nullopt : answers.takeFirst();
}

std::optional<QString> RecordingFileDialogs::saveFile(
    const QString &title, const QString &initial, const QString &filter, const QString &defaultSuffix)
{
    asked.append({ title, initial, filter, defaultSuffix });
    return answers.isEmpty() ? std::nullopt : answers.takeFirst();
}
