#include "complete.h"

#include "platform/dialogs.h"
#include "store/taskdocument.h"
#include "text/texthelpers.h"
#include "widgets/gridview.h"
#include "widgets/shadowlabel.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShowEvent>
#include <QSplitter>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QWidget *labelledBox(const QString &title, const char *labelName, QPlainTextEdit *box, QWidget *parent)
{
    auto *panel = new QWidget(parent);
    auto *label = new QLabel(title, panel);
    label->setObjectName(QLatin1String(labelName));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(label);
    layout->addWidget(box, 1);
    return panel;
}

} // namespace

TfrmComplete::TfrmComplete(
    const TaskDocument &document, Dialogs &dialogs, std::function<bool()> confirmDeletes, QWidget *parent)
    : QDialog(parent)
    , m_document(document)
    , m_dialogs(dialogs)
    , m_confirmDeletes(std::move(confirmDeletes))
    , m_log(document.completedLog())
    , m_title(new ShadowLabel(QStringLiteral("Completed Tasks"), this))
    , m_grid(new GridView(this))
    , m_memWhat(new QPlainTextEdit(this))
    , m_memNotes(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("TfrmComplete"));
    setWindowTitle(QStringLiteral("Completed Tasks"));
    setCompletedHeaders(m_log);
    connect(&m_document, &TaskDocument::completedChanged, this, &TfrmComplete::refresh);

    m_title->setObjectName(QStringLiteral("lblTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    applyTitleStyle(QFont(QStringLiteral("Times New Roman"), 20), 4, QColor(Qt::blue));

    m_grid->setObjectName(QStringLiteral("grid"));
    m_grid->setTable(&m_log);
    // The fixed column widths are made for the program's list font; the desktop's larger
    // default would wrap a time or a date in them.
    setListFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    m_grid->verticalScrollBar()->installEventFilter(this);
    m_grid->installEventFilter(this);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TfrmComplete::showBoxes);
    connect(m_grid, &GridView::sorted, this, &TfrmComplete::showBoxes);

    m_memWhat->setObjectName(QStringLiteral("memWhat"));
    m_memNotes->setObjectName(QStringLiteral("memNotes"));
    for (QPlainTextEdit *box : { m_memWhat, m_memNotes }) {
        box->setTabChangesFocus(true);
        box->installEventFilter(this);
    }

    auto *boxes = new QSplitter(Qt::Horizontal, this);
    boxes->setObjectName(QStringLiteral("splitBoxes"));
    boxes->setChildrenCollapsible(false);
    boxes->addWidget(labelledBox(QStringLiteral("WHAT"), "lblWhat", m_memWhat, boxes));
    boxes->addWidget(labelledBox(QStringLiteral("COMPLETION NOTES"), "lblNotes", m_memNotes, boxes));

    auto *split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("splitList"));
    split->setChildrenCollapsible(false);
    split->addWidget(m_grid);
    split->addWidget(boxes);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(createMenuBar());
    layout->addWidget(m_title);
    layout->addWidget(split, 1);

    resize(720, 460);
    split->setSizes({ 300, 110 });
    m_grid->setCurrentTableRow(1);
    showBoxes();
}

TfrmComplete::~TfrmComplete()
{
    // The list must not read the log while the window's children go.
    m_grid->setTable(nullptr);
}

QMenuBar *TfrmComplete::createMenuBar()
{
    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));

    auto addAction = [this](QMenu *menu, const char *name, const QString &text, const QKeySequence &key) {
        auto *action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        if (!key.isEmpty())
            action->setShortcut(key);
        menu->addAction(action);
        return action;
    };
    m_print = addAction(file, "Print1", QStringLiteral("Print"), {});
    QMenu *exportMenu = file->addMenu(QStringLiteral("Export"));
    exportMenu->setObjectName(QStringLiteral("Export1"));
    m_exportHtml = addAction(exportMenu, "HTMLFormat1", QStringLiteral("HTML Format"), {});
    m_exportCsv = addAction(exportMenu, "CommaDelimited1", QStringLiteral("Comma-Delimited"), {});
    for (QAction *output : { m_print, m_exportHtml, m_exportCsv })
        output->setEnabled(false);
    file->addSeparator();
    QAction *remove = addAction(file, "Delete1", QStringLiteral("Delete"), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    QAction *clear
        = addAction(file, "Clear1", QStringLiteral("Clear"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
    file->addSeparator();
    QAction *closeAction = addAction(file, "Close1", QStringLiteral("Close"), {});
    connect(remove, &QAction::triggered, this, &TfrmComplete::Delete1Click);
    connect(clear, &QAction::triggered, this, &TfrmComplete::Clear1Click);
    connect(closeAction, &QAction::triggered, this, &TfrmComplete::Close1Click);

    m_grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *deleteRow = new QAction(QStringLiteral("Delete row"), m_grid);
    deleteRow->setObjectName(QStringLiteral("Deleterow1"));
    connect(deleteRow, &QAction::triggered, this, &TfrmComplete::Delete1Click);
    m_grid->addAction(deleteRow);
    return bar;
}

void TfrmComplete::applyTitleStyle(const QFont &font, int shadowDepth, const QColor &textColour)
{
    m_title->setFont(font);
    m_title->setShadowDepth(shadowDepth);
    m_title->setTextColour(textColour);
}

void TfrmComplete::setListFont(const QFont &font)
{
    m_grid->setListFont(font);
    m_grid->horizontalHeader()->setFont(font); // the style may give headers a font of their own
    m_memWhat->setFont(font);
    m_memNotes->setFont(font);
}

void TfrmComplete::refresh()
{
    // The window's own log handed over: the list stays as it is.
    if (m_document.completedLog() == m_log)
        return;
    // The log was replaced: edits in the boxes belonged to the old one.
    m_log = m_document.completedLog();
    m_shownRow = -1;
    setCompletedHeaders(m_log);
    listChanged(1);
}

void TfrmComplete::listChanged(int selectRow)
{
    m_grid->refresh();
    m_grid->setCurrentTableRow(selectRow);
    showBoxes();
    layoutColumns();
}

void TfrmComplete::showBoxes()
{
    m_shownRow = m_grid->currentTableRow();
    const bool entry = isCompletedEntry(log(), m_shownRow);
    const QString what = entry ? log().cell(completed::What, m_shownRow) : QString();
    const QString notes = entry ? log().cell(completed::CompNotes, m_shownRow) : QString();
    m_memWhat->setPlainText(textToMemoLines(what).join(QLatin1Char('\n')));
    m_memNotes->setPlainText(textToMemoLines(notes).join(QLatin1Char('\n')));
    // The blank row of an empty log is no entry: there is nothing to write into.
    for (QPlainTextEdit *box : { m_memWhat, m_memNotes }) {
        box->setReadOnly(!entry);
        box->document()->setModified(false);
    }
}

void TfrmComplete::memWhatExit()
{
    const bool whatEdited = m_memWhat->document()->isModified();
    const bool notesEdited = m_memNotes->document()->isModified();
    if (!whatEdited && !notesEdited)
        return;
    m_memWhat->document()->setModified(false);
    m_memNotes->document()->setModified(false);
    if (!isCompletedEntry(log(), m_shownRow))
        return;
    // Only an edited box is written back, so a visit never changes how a text is stored.
    const QString what = whatEdited ? memoToText(m_memWhat->toPlainText().split(QLatin1Char('\n')))
                                    : log().cell(completed::What, m_shownRow);
    const QString notes = notesEdited ? memoToText(m_memNotes->toPlainText().split(QLatin1Char('\n')))
                                      : log().cell(completed::CompNotes, m_shownRow);
    if (setCompletedTexts(m_log, m_shownRow, what, notes))
        m_grid->cellModel()->refreshTableRow(m_shownRow);
}

void TfrmComplete::Delete1Click()
{
    memWhatExit();
    const int row = m_grid->currentTableRow();
    if (!isCompletedEntry(log(), row))
        return;
    if (m_confirmDeletes && m_confirmDeletes() && !m_dialogs.confirm(QStringLiteral("Really delete?")))
        return;
    deleteCompletedRow(m_log, row);
    listChanged(std::min(row, log().rowCount() - 1));
}

void TfrmComplete::Clear1Click()
{
    memWhatExit();
    if (!m_dialogs.confirm(QStringLiteral("Really clear out ALL completed tasks?")))
        return;
    clearCompletedLog(m_log);
    listChanged(1);
}

void TfrmComplete::Close1Click()
{
    reject();
}

void TfrmComplete::layoutColumns()
{
    // The widths go into the log and are saved with it: a hidden window lays out nothing, so
    // a completion made while it is closed leaves the log in memory as it is on disk, and is
    // laid out when the window is shown.
    if (!isVisible())
        return;
    const QScrollBar *bar = m_grid->verticalScrollBar();
    const int scroll = bar->isVisibleTo(m_grid) ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bar) : 0;
    const QList<int> widths
        = completedColumnWidths(m_grid->width(), m_grid->logicalDpiX(), scroll, 2 * m_grid->frameWidth());
    for (int c = 0; c < widths.size() && c < log().colCount(); ++c)
        m_grid->setColumnWidth(c, widths[c]);
}

void TfrmComplete::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Whatever the document's log became while the window was closed (read at start, say).
    refresh();
    if (m_grid->currentTableRow() < 1)
        m_grid->setCurrentTableRow(1);
    showBoxes();
    layoutColumns();
    m_grid->setFocus();
}

void TfrmComplete::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layoutColumns();
}

bool TfrmComplete::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusOut:
        if (watched == m_memWhat || watched == m_memNotes)
            memWhatExit();
        break;
    case QEvent::Resize:
        if (watched == m_grid)
            layoutColumns();
        break;
    case QEvent::Show:
    case QEvent::Hide:
        if (watched == m_grid->verticalScrollBar())
            layoutColumns();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmComplete::done(int result)
{
    memWhatExit();
    if (keepLog)
        keepLog(m_log);
    QDialog::done(result);
}
