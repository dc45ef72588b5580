#include "searchcommands.h"

#include "platform/dialogs.h"
#include "shell/mainview.h"
#include "store/taskdocument.h"
#include "widgets/windowplace.h"

SearchCommands::SearchCommands(
    TaskDocument &document, const Services &services, MainView &view, std::function<QPoint()> place, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_services(services)
    , m_view(view)
    , m_place(std::move(place))
{ }

SearchCommands::~SearchCommands()
{
    delete m_dialog.data();
}

void SearchCommands::Search1Click()
{
    search::startSearch(m_state);
    if (!m_dialog) {
        m_dialog = new FindDialog(m_view.dialogParent());
        connect(m_dialog, &FindDialog::findNext, this, &SearchCommands::FindDialog1Find);
        connect(m_dialog, &QDialog::finished, this, &SearchCommands::FindDialog1Close);
    }
    windowplace::placeAt(m_dialog, m_place(), m_view.dialogParent());
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void SearchCommands::FindDialog1Close()
{
    m_state.hit = false; // no hit is selected while the dialog is closed
}

void SearchCommands::FindDialog1Find()
{
    if (!m_dialog)
        return;
    m_searchingDown = m_dialog->down();
    const QString text = m_dialog->text();
    if (!search::FindDialog1Find(m_document.store(), m_document.filter(), m_state, text, m_dialog->wholeWord(),
            m_dialog->matchCase(), m_searchingDown)) {
        m_services.dialogs.showWarning(search::notFoundMessage(text, m_searchingDown));
        return;
    }
    const QDate day = datevalue::toDate(DateValue(m_state.hitDay));
    if (m_view.selectedDay() != day)
        m_view.showDay(day); // shows the day's list at once, its first row selected
    selectHit();
}

void SearchCommands::selectHit()
{
    if (!m_state.hit || !m_dialog || !m_dialog->isVisible() || m_document.shownDay() != m_state.hitDay)
        return;
    const int row = search::hitRowInDayList(m_document.dayList(), m_state, m_searchingDown);
    if (row >= 1)
        m_view.selectRow(MainView::List::Day, row);
}

void SearchCommands::NextTask1Click()
{
    const Options &options = m_document.options();
    m_view.showDay(search::goForward(
        m_document.store(), m_document.filter(), m_view.selectedDay(), options.doneColor, options.notDoneColor));
}

void SearchCommands::PriorTask1Click()
{
    const Options &options = m_document.options();
    m_view.showDay(search::goBack(
        m_document.store(), m_document.filter(), m_view.selectedDay(), options.doneColor, options.notDoneColor));
}
