#include "closing.h"

#include "platform/dialogs.h"
#include "shell/logging.h"
#include "store/taskdocument.h"

#include <QDateTime>

namespace closing {

Outcome saveTables(TaskDocument &document, Dialogs &dialogs, const QDateTime &now, bool unattended)
{
    QList<SaveResult> failures = document.saveAtClose();
    while (!failures.isEmpty()) {
        if (unattended) {
            // Nobody can answer: what could not be saved is kept beside the data, or in the
            // state folder. What neither takes is lost, and the caller says so.
            const TaskDocument::KeptUnsaved kept = document.keepUnsaved(now);
            qCWarning(lcShell) << "unsaved changes kept in" << kept.written;
            if (kept.lost.isEmpty())
                return {};
            qCCritical(lcShell) << "unsaved changes lost, no copy could be written:" << kept.lost;
            return { true, true };
        }
        QStringList lines;
        for (const SaveResult &failure : std::as_const(failures))
            lines << failure.message();
        const QString question
            = lines.join(QLatin1Char('\n')) + QStringLiteral("\n\nQuitting now loses the changes that were not saved.");
        switch (dialogs.choose(
            question, { QStringLiteral("Retry"), QStringLiteral("Quit anyway"), QStringLiteral("Cancel") })) {
        case 0:
            failures = document.saveAtClose();
            break;
        case 1:
            return {};
        default:
            return { false, false };
        }
    }
    return {};
}

} // namespace closing
