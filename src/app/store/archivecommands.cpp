#include "archivecommands.h"

#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "store/archive.h"
#include "store/taskdocument.h"
#include "text/texthelpers.h"

ArchiveCommands::ArchiveCommands(TaskDocument &document, const Services &services, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_services(services)
    , m_archiveName(QLatin1String(archive::kDefaultName))
    , m_restoreName(QLatin1String(archive::kDefaultName))
{ }

void ArchiveCommands::Archive1Click()
{
    const std::optional<QString> chosen = m_services.fileDialogs.saveFile(QLatin1String(archive::kSaveTitle),
        m_archiveName, QLatin1String(archive::kFilter), QLatin1String(archive::kDefaultSuffix));
    if (!chosen || chosen->isEmpty())
        return;
    const QString name = archive::withArchiveExtension(*chosen);
    m_archiveName = name;
    if (const QString problem = archive::nameProblem(name); !problem.isEmpty()) {
        showError(m_services.dialogs, problem);
        return;
    }
    const archive::Names names = archive::names(name);
    const QList<SaveResult> failed = m_document.archiveTo(names);
    if (failed.isEmpty()) {
        showInfo(m_services.dialogs, archive::storedMessage(names));
        return;
    }
    QStringList lines;
    for (const SaveResult &result : failed)
        lines << result.message();
    lines << QStringLiteral("The archive is not complete.");
    showError(m_services.dialogs, lines.join(QLatin1Char('\n')));
}

void ArchiveCommands::Restore1Click()
{
    if (!m_services.dialogs.confirm(QLatin1String(archive::kConfirmRestore)))
        return;
    const std::optional<QString> chosen = m_services.fileDialogs.openFile(
        QLatin1String(archive::kOpenTitle), m_restoreName, QLatin1String(archive::kFilter));
    if (!chosen || chosen->isEmpty())
        return;
    m_restoreName = *chosen;
    if (const QString problem = archive::nameProblem(*chosen); !problem.isEmpty()) {
        showError(m_services.dialogs, problem);
        return;
    }
    const TaskDocument::ChangeScope change(m_document, QStringLiteral("Restore"));
    const TaskDocument::RestoreResult result = m_document.restoreFrom(archive::names(*chosen));
    using Status = TaskDocument::RestoreResult::Status;
    switch (result.status) {
    case Status::Missing:
        showError(m_services.dialogs, QLatin1String(archive::kMissingFile));
        return;
    case Status::Unreadable:
        for (const QString &message : result.messages)
            showError(m_services.dialogs, message);
        return;
    case Status::NotSaved:
        for (const SaveResult &failed : result.failed)
            showError(m_services.dialogs, failed.message() + QStringLiteral("\nNothing was restored."));
        return;
    case Status::Restored:
        for (const QString &message : result.messages)
            m_services.dialogs.showWarning(message);
        if (!result.keptAs.isEmpty())
            showInfo(m_services.dialogs,
                QStringLiteral("The archive has been restored. The data as it was before is kept as ")
                    + listInSentence(result.keptAs) + QLatin1Char('.'));
        return;
    }
}
