#include "outputcommands.h"

#include "output/exportfile.h"
#include "output/print.h"
#include "output/printselection.h"
#include "output/tableexport.h"
#include "output/tableprint.h"
#include "output/webcal.h"
#include "output/webcaldialog.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "shell/mainview.h"
#include "shell/version.h"
#include "store/taskdocument.h"
#include "text/regional.h"
#include "text/texthelpers.h"

#include <QWidget>

OutputCommands::OutputCommands(
    TaskDocument &document, const Services &services, MainView &view, Headings headings, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_services(services)
    , m_view(view)
    , m_headings(std::move(headings))
    , m_dialog(new TfrmPrint(document, services.dialogs, services.clock.now().date(), view.dialogParent()))
    , m_gridPrint(printselection::newPrintTable())
{ }

OutputCommands::~OutputCommands() = default;

PrintSelection OutputCommands::selection() const
{
    return m_dialog->selection();
}

bool OutputCommands::runDialog(int mode)
{
    if (m_headings.todoFont)
        m_dialog->setHeadingStyle(m_headings.todoFont(), m_headings.todoColour(), m_headings.todoShadowDepth());
    return m_dialog->run(TfrmPrint::Mode(mode));
}

TablePrintSettings OutputCommands::withListFont(TablePrintSettings settings) const
{
    const FontOption &font = m_document.options().gridFont;
    if (font.name.isEmpty())
        return settings;
    PrintFont printFont { font.name, font.size > 0 ? font.size : settings.bodyFont.pointSize, font.bold, font.italic,
        font.underline, font.strikeOut };
    settings.bodyFont = settings.headerFont = settings.footerFont = printFont;
    return settings;
}

void OutputCommands::Print1Click()
{
    if (!runDialog(int(TfrmPrint::Mode::Print)))
        return;
    printselection::fillForPrint(
        m_gridPrint, m_document.store(), m_document.todoList(), m_dialog->selection(), m_document.regional());
    printTable(m_services.printer, m_gridPrint, tableprint::printTableSettings(), m_services.clock.now(),
        m_document.regional());
    printselection::resetPrintTable(m_gridPrint);
}

void OutputCommands::Print2Click()
{
    printTable(m_services.printer, m_document.todoList(), withListFont(tableprint::todoListSettings()),
        m_services.clock.now(), m_document.regional());
}

void OutputCommands::Print3Click()
{
    const QString title = m_headings.dayText ? m_headings.dayText() : QString();
    printTable(m_services.printer, m_document.dayList(), withListFont(tableprint::dayListSettings(title)),
        m_services.clock.now(), m_document.regional());
}

void OutputCommands::ClearAll1Click()
{
    if (!runDialog(int(TfrmPrint::Mode::Clear)))
        return;
    const PrintSelection selection = m_dialog->selection();
    const TaskDocument::ChangeScope change(m_document, QStringLiteral("Clear All Data"));
    const TaskDocument::ReplaceResult result = m_document.clearTasks(
        [&selection](CellTable &store, CellTable &todo) { printselection::clearSelection(store, todo, selection); });
    for (const SaveResult &failed : result.failed)
        m_services.dialogs.showError(failed.message() + QStringLiteral("\nNothing was cleared."));
    if (!result.keptAs.isEmpty())
        m_services.dialogs.showInfo(QStringLiteral("The data as it was before clearing is kept as ")
            + listInSentence(result.keptAs) + QLatin1Char('.'));
}

void OutputCommands::exportDailyTasks(int format)
{
    // The print table keeps what it was filled with, even when the save is cancelled.
    TransfertoGridPrint(m_gridPrint, m_document.store(), m_dialog->selection(), m_document.regional());
    exportTable(m_services.dialogs, m_services.fileDialogs, m_gridPrint, tableexport::Format(format));
}

const CellTable &OutputCommands::focusedListTable() const
{
    return m_view.focusedList() == MainView::List::Day ? m_document.dayList() : m_document.todoList();
}

void OutputCommands::HTMLFormat3Click()
{
    exportDailyTasks(int(tableexport::Format::Html));
}

void OutputCommands::CommaDelimitedFormat1Click()
{
    exportDailyTasks(int(tableexport::Format::Csv));
}

void OutputCommands::HTMLFormat4Click()
{
    exportTable(m_services.dialogs, m_services.fileDialogs, m_document.todoList(), tableexport::Format::Html);
}

void OutputCommands::CommaDelimitedFormat2Click()
{
    exportTable(m_services.dialogs, m_services.fileDialogs, m_document.todoList(), tableexport::Format::Csv);
}

void OutputCommands::HTMLFormat1Click()
{
    exportTable(m_services.dialogs, m_services.fileDialogs, focusedListTable(), tableexport::Format::Html);
}

void OutputCommands::CSVFormat1Click()
{
    exportTable(m_services.dialogs, m_services.fileDialogs, focusedListTable(), tableexport::Format::Csv);
}

void OutputCommands::PublishCalendarasWebPage1Click()
{
    const TaskDocument &document = m_document;
    webcal::PageSource source {
        [&document](QDate day) -> QString {
            return webcal::HTMLDumpEventDay(
                document.store(), document.filter(), document.holidays(), document.regional(), day);
        },
        [&document](QDate day) { return webcal::HTMLDumpEventDetails(document.store(), document.filter(), day); },
    };
    QWidget *parent = m_view.dialogParent();
    TfrmWebCal dialog({ m_document.settings(), m_services.dialogs, m_services.fileDialogs, m_services.opener,
                          m_document.regional(), m_view.selectedDay(), std::move(source), version::kHomePage },
        parent);
    // The title is set in the main window's date heading font.
    if (const QWidget *heading = parent ? parent->findChild<QWidget *>(QStringLiteral("lblDate")) : nullptr)
        dialog.setTitleFont(heading->font());
    dialog.exec();
}
