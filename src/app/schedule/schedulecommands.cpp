#include "schedulecommands.h"

#include "platform/dialogs.h"
#include "schedule/holiday.h"
#include "schedule/import.h"
#include "shell/mainview.h"
#include "store/taskdocument.h"

ScheduleCommands::ScheduleCommands(TaskDocument &document, const Services &services, MainView &view, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_view(view)
    , m_holidayDialogs(services.dialogs)
    , m_holidayServices { services.clock, m_holidayDialogs, services.fileDialogs, services.fontDialogs, services.sound,
        services.help, services.opener, services.notifications, services.printer }
{
    openImport = [this](QWidget *over) {
        TfrmImport dialog(m_document, m_holidayDialogs, over);
        if (dialog.exec() == QDialog::Accepted)
            setHolidays(dialog.grid());
    };
}

ScheduleCommands::~ScheduleCommands() = default;

bool ScheduleCommands::setHolidays(const CellTable &rules)
{
    const SaveResult saved = m_document.setHolidays(rules);
    if (!saved)
        showError(m_holidayDialogs, saved.message());
    return saved.ok;
}

void ScheduleCommands::Holidays1Click()
{
    const TaskDocument::ChangeScope change(m_document, QStringLiteral("Holidays"));
    m_holidayDialogs.forget();
    TfrmHoliday dialog(m_document, m_holidayServices, m_view.dialogParent());
    dialog.keepRules = [this](const CellTable &rules) { return setHolidays(rules); };
    dialog.importHolidays = [this, &dialog] {
        if (openImport)
            openImport(&dialog);
    };
    dialog.exec();
    // After a failed save (of the list or of the import) the document keeps its rules rather
    // than reading the older file.
    const QString problem = m_document.reloadHolidays();
    if (!problem.isEmpty())
        showError(m_holidayDialogs, problem);
}
