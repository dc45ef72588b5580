#include "holiday.h"

#include "output/tableprint.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/help.h"
#include "schedule/edholiday.h"
#include "schedule/holidays.h"
#include "store/taskdocument.h"
#include "widgets/gridview.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int kHelpTopic = 300;
constexpr int kColumnWidths[] = { 286, 61, 80, 121 };

// The list's copy of the rules, with the list's column widths (saved with the file).
CellTable listOf(const CellTable &rules)
{
    CellTable list = holidays::listCopy(rules);
    for (int c = 0; c < holidays::ColumnCount; ++c)
        list.setColWidth(c, kColumnWidths[c]);
    return list;
}

QPushButton *makeButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TfrmHoliday::TfrmHoliday(const TaskDocument &document, const Services &services, QWidget *parent)
    : QDialog(parent)
    , m_document(document)
    , m_services(services)
    , m_rules(listOf(document.holidays()))
    , m_grid(new GridView(this))
{
    setObjectName(QStringLiteral("TfrmHoliday"));
    setWindowTitle(QStringLiteral("Holidays"));

    m_grid->setObjectName(QStringLiteral("grid"));
    // The column widths are made for the program's list font.
    const QFont listFont(QStringLiteral("MS Sans Serif"), 8);
    m_grid->setListFont(listFont);
    m_grid->horizontalHeader()->setFont(listFont);
    m_grid->setTable(&m_rules);
    m_grid->viewport()->installEventFilter(this);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, &TfrmHoliday::btEditClick);
    int listWidth = 2 * m_grid->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_grid);
    for (int width : kColumnWidths)
        listWidth += width;
    m_grid->setMinimumSize(listWidth, 260);

    QPushButton *add = makeButton(QStringLiteral("&Add"), "btAdd", this);
    QPushButton *edit = makeButton(QStringLiteral("&Edit"), "btEdit", this);
    QPushButton *remove = makeButton(QStringLiteral("&Delete"), "btDel", this);
    QPushButton *import = makeButton(QStringLiteral("&International"), "btImport", this);
    import->setToolTip(QStringLiteral("Import International holidays"));
    QPushButton *print = makeButton(QStringLiteral("&Print"), "btPrint", this);
    connect(print, &QPushButton::clicked, this, &TfrmHoliday::btPrintClick);
    QPushButton *help = makeButton(QStringLiteral("&Help"), "btHelp", this);
    QPushButton *close = makeButton(QStringLiteral("Close"), "btClose", this);
    connect(add, &QPushButton::clicked, this, &TfrmHoliday::btAddClick);
    connect(edit, &QPushButton::clicked, this, &TfrmHoliday::btEditClick);
    connect(remove, &QPushButton::clicked, this, &TfrmHoliday::btDelClick);
    connect(import, &QPushButton::clicked, this, &TfrmHoliday::btImportClick);
    connect(help, &QPushButton::clicked, this, &TfrmHoliday::btHelpClick);
    connect(close, &QPushButton::clicked, this, &TfrmHoliday::btCloseClick);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : { add, edit, remove, import, print, help })
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);

    showRules(1);
    m_grid->setFocus();
}

TfrmHoliday::~TfrmHoliday()
{
    // The list must not read the rules while the window's children go.
    m_grid->setTable(nullptr);
}

void TfrmHoliday::showRules(int row)
{
    m_grid->refresh();
    // Columns a file may hold beyond the four are kept, not shown.
    for (int c = holidays::ColumnCount; c < m_rules.colCount(); ++c)
        m_grid->setColumnHidden(c, true);
    m_grid->setCurrentTableRow(std::clamp(row, 1, m_rules.rowCount() - 1));
}

void TfrmHoliday::save()
{
    if (keepRules)
        m_saveState = keepRules(m_rules) ? SaveState::Saved : SaveState::Failed;
}

void TfrmHoliday::btAddClick()
{
    TfrmEditHoliday editor(m_document.regional(), this);
    editor.setAddMode(m_services.clock.now().date());
    if (editor.exec() != QDialog::Accepted)
        return;
    showRules(holidays::addRule(m_rules, m_grid->currentTableRow(), editor.fields(), m_document.regional()));
}

void TfrmHoliday::btEditClick()
{
    const int row = m_grid->currentTableRow();
    if (row < 1 || m_rules.cell(holidays::Name, row).isEmpty()) {
        showError(m_services.dialogs, QStringLiteral("Nothing to edit"));
        return;
    }
    TfrmEditHoliday editor(m_document.regional(), this);
    editor.setEditMode(holidays::readRule(m_rules, row));
    if (editor.exec() != QDialog::Accepted)
        return;
    holidays::writeRule(m_rules, row, editor.fields(), m_document.regional());
    showRules(row);
}

void TfrmHoliday::btDelClick()
{
    const int row = m_grid->currentTableRow();
    if (row < 1)
        return;
    if (m_document.options().confirm
        && !m_services.dialogs.confirm(
            QStringLiteral("Really delete \"") + m_rules.cell(holidays::Name, row) + QStringLiteral("\"?")))
        return;
    showRules(holidays::deleteRule(m_rules, row));
}

void TfrmHoliday::btImportClick()
{
    // The import adds to the document's rules, which must be the ones the user sees.
    save();
    if (importHolidays)
        importHolidays();
    m_rules = listOf(m_document.holidays());
    showRules(m_grid->currentTableRow());
}

void TfrmHoliday::btPrintClick()
{
    printTable(
        m_services.printer, m_rules, tableprint::holidayListSettings(), m_services.clock.now(), m_document.regional());
}

void TfrmHoliday::btHelpClick()
{
    m_services.help.showTopic(kHelpTopic);
}

void TfrmHoliday::btCloseClick()
{
    save();
    accept();
}

void TfrmHoliday::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        // Escape ends a drag; otherwise it is Close, which saves (the close box does not).
        if (m_dragging)
            endDrag(-1);
        else
            btCloseClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

int TfrmHoliday::tableRowAt(QPoint pos) const
{
    if (!m_grid->viewport()->rect().contains(pos))
        return -1;
    const QModelIndex index = m_grid->indexAt(pos);
    return index.isValid() ? index.row() + 1 : -1;
}

bool TfrmHoliday::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_grid->viewport())
        return QDialog::eventFilter(watched, event);
    // A rule row dragged with the left button and let go on another rule row moves there.
    // The list's own selection follows the mouse meanwhile, showing where it will go.
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_dragRow = tableRowAt(mouse->position().toPoint());
            m_dragStart = mouse->position().toPoint();
            m_dragging = false;
        }
        break;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_dragRow < 1 || !(mouse->buttons() & Qt::LeftButton))
            break;
        if (!m_dragging
            && (mouse->position().toPoint() - m_dragStart).manhattanLength() >= QApplication::startDragDistance()) {
            m_dragging = true;
            m_grid->viewport()->setCursor(Qt::DragMoveCursor);
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        if (m_dragging)
            endDrag(tableRowAt(mouse->position().toPoint()));
        m_dragRow = -1;
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmHoliday::endDrag(int dropRow)
{
    const int from = m_dragRow;
    m_dragging = false;
    m_dragRow = -1;
    m_grid->viewport()->unsetCursor();
    if (from < 1)
        return;
    // A drop anywhere but on another rule row leaves the list as it was.
    if (dropRow >= 1 && dropRow != from)
        showRules(holidays::moveRule(m_rules, from, dropRow));
    else
        showRules(from);
}
