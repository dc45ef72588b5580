#include "storecommands.h"

#include "output/exportfile.h"
#include "output/tableprint.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "shell/mainview.h"
#include "store/complete.h"
#include "store/filter.h"
#include "store/listbox.h"
#include "store/taskdocument.h"

#include <QAction>

StoreCommands::StoreCommands(TaskDocument &document, const Services &services, MainView &view, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_services(services)
    , m_view(view)
    // Created in this order, each able to use the ones before it.
    , m_filterWindow(new TfrmFilter(document, services.dialogs, services.help, view.dialogParent()))
    , m_completeWindow(new TfrmComplete(
          document, services.dialogs, [&document] { return document.options().confirm; }, view.dialogParent()))
{
    connectFilterWindow(*m_filterWindow, document, services.dialogs);
    // Whenever the window closes: saved even unchanged, so a save that failed is tried again.
    m_completeWindow->keepLog = [this](const CellTable &log) {
        m_document.completedLog() = log;
        const SaveResult saved = m_document.saveCompleted();
        if (!saved)
            showError(m_services.dialogs, saved.message());
    };
    QAction *print = m_completeWindow->printAction();
    print->setEnabled(true);
    connect(print, &QAction::triggered, this, &StoreCommands::printCompletedLog);
    QAction *exportHtml = m_completeWindow->exportHtmlAction();
    exportHtml->setEnabled(true);
    connect(exportHtml, &QAction::triggered, this, &StoreCommands::exportCompletedHtml);
    QAction *exportCsv = m_completeWindow->exportCsvAction();
    exportCsv->setEnabled(true);
    connect(exportCsv, &QAction::triggered, this, &StoreCommands::exportCompletedCsv);
}

StoreCommands::~StoreCommands() = default;

void StoreCommands::connectFilterWindow(TfrmFilter &window, TaskDocument &document, Dialogs &dialogs)
{
    window.keepFilter = [&document, &dialogs](const FilterState &filter, bool confirmed) {
        document.setFilter(filter);
        const SaveResult switches = document.saveFilterSwitches();
        if (!switches)
            showError(dialogs, switches.message());
        if (confirmed) {
            const SaveResult saved = document.confirmFilter(filter);
            if (!saved)
                showError(dialogs, saved.message());
        }
    };
}

bool StoreCommands::editCategoryChoices(QWidget *parent, TaskDocument &document, Dialogs &dialogs)
{
    const std::optional<QStringList> choices = chooseCategoryChoices(parent, document, dialogs);
    if (!choices)
        return false;
    const SaveResult saved = document.setCategoryChoices(*choices);
    if (!saved)
        showError(dialogs, saved.message());
    return saved.ok;
}

void StoreCommands::applyTitleStyle(const QFont &font, int shadowDepth, const QColor &colour)
{
    m_filterWindow->applyTitleStyle(font, shadowDepth, colour);
    m_completeWindow->applyTitleStyle(font, shadowDepth, colour);
}

void StoreCommands::printCompletedLog()
{
    // What the boxes show belongs in the log before it is printed.
    m_completeWindow->memWhatExit();
    printTable(m_services.printer, m_completeWindow->log(), tableprint::completedLogSettings(), m_services.clock.now(),
        m_document.regional());
}

void StoreCommands::exportCompletedHtml()
{
    m_completeWindow->memWhatExit();
    exportTable(m_services.dialogs, m_services.fileDialogs, m_completeWindow->log(), tableexport::Format::Html);
}

void StoreCommands::exportCompletedCsv()
{
    m_completeWindow->memWhatExit();
    exportTable(m_services.dialogs, m_services.fileDialogs, m_completeWindow->log(), tableexport::Format::Csv);
}

void StoreCommands::Filters1Click()
{
    // A confirmed filter reaches the views through the document.
    m_filterWindow->exec();
    Q_EMIT filterWindowClosed();
}

void StoreCommands::ViewCompleted1Click()
{
    const TaskDocument::ChangeScope change(m_document, QStringLiteral("Completed Tasks"));
    m_completeWindow->exec();
}

void StoreCommands::Categories1Click()
{
    editCategoryChoices(m_view.dialogParent(), m_document, m_services.dialogs);
}
