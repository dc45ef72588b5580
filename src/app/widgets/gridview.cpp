#include "gridview.h"

#include "store/celltable.h"
#include "text/texthelpers.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>
#include <climits>

namespace {

// Rows this far above and below the viewport are measured with the rows shown, so that a
// scroll by a page seldom meets a row of the wrong height. At least a screen's height, as a
// view not laid out yet has hardly any viewport.
constexpr int kMinReach = 512;

// A row shows a few lines: of a longer text only its beginning is ever laid out, measured
// or shown in a tip, so a note of a million characters costs no more than a short one.
// The text itself stays whole.
constexpr qsizetype kLaidOutChars = 4000;

// Cell texts break lines with CR LF; Qt lays out lines at LF alone. A note ends each of
// its lines with CR LF, and the last one opens no line of its own: it would make the row a
// line taller, and a note of as many lines as a row shows would be drawn cut.
QString displayLines(const QString &text)
{
    return CellTableModel::shownLines(text.left(kLaidOutChars));
}

// A flag cell says with its box alone what its text says: the text is not drawn beside it.
// Any other text (a hand-made file) is, so that the box never hides what the cell holds.
bool boxSays(const QString &text)
{
    return text.isEmpty() || text == yesNoText(true) || text == yesNoText(false);
}

bool boxSaysItAll(const QModelIndex &index)
{
    return index.data(Qt::CheckStateRole).isValid() && boxSays(index.data(Qt::DisplayRole).toString());
}

// The height of a text laid out in lines of `width` pixels.
int wrappedHeight(const QFontMetrics &fm, const QString &text, int width)
{
    const QString lines = displayLines(text);
    // Most cells are one short line: settled without laying the text out.
    if (!lines.contains(QLatin1Char('\n')) && fm.horizontalAdvance(lines) <= width)
        return fm.height();
    return fm.boundingRect(QRect(0, 0, std::max(1, width), INT_MAX / 2), Qt::TextWordWrap, lines).height();
}

// Whether a line of the text, wrapped at word boundaries as the view wraps it, is still
// wider than `width`: a word longer than the column is drawn elided.
bool overflowsWidth(const QFont &font, const QString &text, int width)
{
    QString lines = displayLines(text);
    if (!lines.contains(QLatin1Char('\n')) && QFontMetrics(font).horizontalAdvance(lines) <= width)
        return false;
    lines.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(lines, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    bool overflows = false;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        overflows = overflows || line.naturalTextWidth() > width;
    }
    layout.endLayout();
    return overflows;
}

Qt::SortOrder toSortOrder(CellTable::SortDirection direction)
{
    return direction == CellTable::SortDirection::Ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
}

} // namespace

class GridView::Delegate : public QStyledItemDelegate
{
public:
    explicit Delegate(GridView *view)
        : QStyledItemDelegate(view)
        , m_view(view)
    { }

    QString displayText(const QVariant &value, const QLocale &locale) const override
    {
        return QStyledItemDelegate::displayText(displayLines(value.toString()), locale);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        // The view has already laid the selection colour under the row; cover it with
        // the row's own background when the selection is not to show.
        if (hidesSelection() && (option.state & QStyle::State_Selected)) {
            const bool alternate = option.features & QStyleOptionViewItem::Alternate;
            painter->fillRect(option.rect, option.palette.brush(alternate ? QPalette::AlternateBase : QPalette::Base));
        }
        QStyledItemDelegate::paint(painter, option, index);
    }

    // Where the check box of a cell is drawn (empty for a cell without one).
    QRect checkBoxRect(const QStyleOptionViewItem &option, const QModelIndex &index) const
    {
        QStyleOptionViewItem cell(option);
        initStyleOption(&cell, index);
        if (!(cell.features & QStyleOptionViewItem::HasCheckIndicator))
            return {};
        return m_view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &cell, m_view);
    }

    // Where the text of a cell is drawn, beside its box if it has one.
    QRect textRect(const QStyleOptionViewItem &option, const QModelIndex &index) const
    {
        QStyleOptionViewItem cell(option);
        initStyleOption(&cell, index);
        return m_view->style()->subElementRect(QStyle::SE_ItemViewItemText, &cell, m_view);
    }

    bool editorEvent(
        QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option, const QModelIndex &index) override
    {
        // A press on a box selects the row as a press anywhere in it does; the release
        // toggles. No key toggles: the view shows rows, not which cell of the row is current.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress)
            return false;
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        // A text that fits is centred in its row; one that does not starts at the top, so
        // its first lines show and the last one shown is elided.
        const int width = option->rect.width() - 2 * m_view->textMargin();
        const bool fits = wrappedHeight(option->fontMetrics, index.data(Qt::DisplayRole).toString(), width)
            <= option->rect.height();
        option->displayAlignment = Qt::AlignLeft | (fits ? Qt::AlignVCenter : Qt::AlignTop);
        if ((option->features & QStyleOptionViewItem::HasCheckIndicator) && boxSays(option->text)) {
            option->text.clear();
            option->features &= ~QStyleOptionViewItem::HasDisplay;
        }
        // The whole row shows the selection; a frame around one cell of it would only confuse.
        option->state &= ~QStyle::State_HasFocus;
        if (hidesSelection())
            option->state &= ~QStyle::State_Selected;
    }

private:
    // The list its window works in keeps showing its selection while another window, such
    // as the Find dialog over a hit, is active.
    bool hidesSelection() const
    {
        return !m_view->m_highlightUnfocused && !m_view->hasFocus() && m_view->window()->focusWidget() != m_view;
    }

    GridView *m_view;
};

GridView::GridView(QWidget *parent)
    : QTableView(parent)
    , m_model(new CellTableModel(nullptr, this))
{
    setModel(m_model);
    setItemDelegate(new Delegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(true);
    setTextElideMode(Qt::ElideRight);
    setSortingEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    verticalHeader()->hide();
    // Row heights are the list's choice, which may be below the style's minimum.
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(m_rowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView *header = horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setMinimumSectionSize(1);

    connect(header, &QHeaderView::sectionClicked, this, &GridView::headerClicked);
    connect(header, &QHeaderView::sectionResized, this, &GridView::columnResized);
    connect(m_model, &CellTableModel::flagToggleRequested, this, &GridView::flagToggleRequested);
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_applyingWidths = true; });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_applyingWidths = false;
        tableShownAgain();
    });
    connect(m_model, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
            forgetRowHeights(topLeft.row(), bottomRight.row());
            scheduleRowHeights();
        });
    // Measured as they scroll in, before they are drawn.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &GridView::measureShownRows);

    m_model->setListFont(font());
}

GridView::~GridView() = default;

void GridView::setTable(CellTable *table)
{
    m_sortSection = -1; // no click has sorted a new table
    m_model->setTable(table);
}

void GridView::refresh()
{
    // The selection follows its task through the model's row signals; when the task is
    // gone, the row that took its place (or the last) is selected, as after a delete.
    const int current = currentTableRow();
    const quint64 task = current > 0 ? m_model->rowIdAt(currentIndex().row()) : 0;
    m_model->refresh();
    tableShownAgain();
    if (current > 0 && table() && m_model->rowIdAt(currentIndex().row()) != task) {
        // Shown afresh (a reset), or the task is gone: its row, else the row in its place.
        const int row = table()->findRowId(task);
        setCurrentTableRow(row > 0 ? row : std::min(current, table()->rowCount() - 1));
    }
}

void GridView::tableShownAgain()
{
    // Sorted by the owner by other settings, the table is no longer in the order the last
    // click gave it.
    const CellTable *t = table();
    if (!t || t->sortColumn() != m_sortSection || toSortOrder(t->sortDirection()) != m_sortOrder)
        m_sortSection = -1;
    showSortIndicator();
    applyColumnWidths();
    // The header keeps the heights by position, whatever the rows now hold.
    forgetRowHeights();
    measureShownRows();
}

void GridView::applyColumnWidths()
{
    CellTable *t = table();
    if (!t)
        return;
    m_applyingWidths = true;
    for (int c = 0; c < t->colCount(); ++c)
        setColumnWidth(c, std::max(1, t->colWidth(c)));
    m_applyingWidths = false;
}

void GridView::columnResized(int column, int, int newSize)
{
    // Texts wrap anew at any width, also one the owner set.
    forgetRowHeights();
    scheduleRowHeights();
    if (m_applyingWidths || !table())
        return;
    table()->setColWidth(column, newSize);
}

void GridView::setRowFontHook(CellTableModel::RowFontHook hook)
{
    m_model->setRowFontHook(std::move(hook));
}

void GridView::setFlagColumns(const QList<int> &columns)
{
    m_model->setFlagColumns(columns);
}

void GridView::setListFont(const QFont &font)
{
    setFont(font);
    m_model->setListFont(font);
    forgetRowHeights();
    measureShownRows();
    updateGeometry();
}

QSize GridView::minimumSizeHint() const
{
    const int header = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->sizeHint().height();
    return { QTableView::minimumSizeHint().width(), header + m_rowHeight + 2 * frameWidth() };
}

void GridView::setRowHeight(int pixels)
{
    m_rowHeight = std::max(1, pixels);
    verticalHeader()->setDefaultSectionSize(m_rowHeight);
    forgetRowHeights();
    measureShownRows();
    updateGeometry();
}

int GridView::currentTableRow() const
{
    // The current index, not the selection: the selection is checked against the model,
    // which already reads a table its owner has changed but not yet refreshed.
    const QModelIndex current = currentIndex();
    return current.isValid() ? m_model->tableRowOf(current.row()) : -1;
}

void GridView::setCurrentTableRow(int tableRow)
{
    if (tableRow < 1 || tableRow > m_model->rowCount()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model->index(tableRow - 1, std::max(0, currentIndex().column()));
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void GridView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    // The position scrolled to is worked out from the heights of the row and of those that
    // will show with it, so they are measured first.
    if (index.isValid() && !m_measuring)
        measureRows(index.row(), 0);
    QTableView::scrollTo(index, hint);
}

QItemSelectionModel::SelectionFlags GridView::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    // A Ctrl+click must not leave the list with a current row that is not selected.
    if (index.isValid())
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return QTableView::selectionCommand(index, event);
}

void GridView::setHighlightWhenUnfocused(bool highlight)
{
    if (highlight == m_highlightUnfocused)
        return;
    m_highlightUnfocused = highlight;
    viewport()->update();
}

void GridView::headerClicked(int column)
{
    CellTable *t = table();
    int track = currentTableRow();
    if (!t || !t->headerClick(column, &track)) {
        // The header turned its indicator at the click; nothing was sorted.
        showSortIndicator();
        return;
    }
    m_sortSection = column;
    m_sortOrder = toSortOrder(t->sortDirection());
    m_model->refresh();
    tableShownAgain();
    setCurrentTableRow(track);
    Q_EMIT sorted(column);
}

void GridView::showSortIndicator()
{
    QHeaderView *header = horizontalHeader();
    header->setSortIndicatorShown(m_sortSection >= 0);
    header->setSortIndicator(m_sortSection, m_sortOrder);
}

int GridView::textMargin() const
{
    // The margin Qt's item views leave on each side of a cell's text.
    return style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
}

int GridView::rowHeightFor(int modelRow) const
{
    const CellTable *t = table();
    if (!t || modelRow < 0 || modelRow >= m_model->rowCount())
        return m_rowHeight;
    const QFontMetrics fm(font());
    int cap = 0; // worked out for the first cell of more than one line
    int height = m_rowHeight;
    for (int c = 0; c < t->colCount(); ++c) {
        if (isColumnHidden(c))
            continue;
        const QString text = t->cell(c, modelRow + 1);
        if (text.isEmpty())
            continue;
        // The grid line takes one pixel of the column too.
        const int textHeight = wrappedHeight(fm, text, columnWidth(c) - 2 * textMargin() - 1);
        if (textHeight <= fm.height())
            continue;
        // One pixel of every row is the grid line. The cap ends exactly on a line boundary,
        // so no part of the first line cut off shows. It is the height of the lines as
        // they are laid out, which can be a pixel a line more than the font's line
        // spacing: a cap of line spacings would cut off the last line a row is to show.
        if (cap == 0) {
            const QString lines = QStringList(MaxShownLines, QStringLiteral("X")).join(QLatin1Char('\n'));
            cap = std::max(m_rowHeight, wrappedHeight(fm, lines, INT_MAX / 2) + 1);
        }
        height = std::max(height, std::min(cap, textHeight + 3));
    }
    return height;
}

void GridView::forgetRowHeights()
{
    m_measured = QBitArray(m_model->rowCount());
}

void GridView::forgetRowHeights(int firstRow, int lastRow)
{
    if (m_measured.size() != m_model->rowCount()) {
        forgetRowHeights();
        return;
    }
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, int(m_measured.size()) - 1);
    if (firstRow <= lastRow)
        m_measured.fill(false, firstRow, lastRow + 1);
}

void GridView::measureShownRows()
{
    m_heightsPending = false;
    if (m_measuring)
        return;
    // Rows that grow can bring other rows into view; a few rounds settle it.
    for (int round = 0; round < 8; ++round) {
        const int first = rowAt(0);
        if (first < 0 || !measureRows(first, rowViewportPosition(first)))
            break;
    }
}

bool GridView::measureRows(int row, int top)
{
    // The rows shown stay where they are: the first one keeps its place, or the end of the
    // list stays in view when it was.
    const QScopedValueRollback guard(m_measuring, true);
    QScrollBar *bar = verticalScrollBar();
    const int first = rowAt(0);
    const int firstTop = first >= 0 ? rowViewportPosition(first) : 0;
    const bool atEnd = bar->maximum() > 0 && bar->value() >= bar->maximum();
    if (!measureRowsAround(row, top))
        return false;
    updateGeometries();
    if (atEnd)
        bar->setValue(bar->maximum());
    else if (first >= 0)
        bar->setValue(verticalHeader()->sectionPosition(first) - firstTop);
    return true;
}

bool GridView::measureRowsAround(int row, int top)
{
    const int rows = m_model->rowCount();
    if (m_measured.size() != rows)
        forgetRowHeights();
    const int height = viewport()->height();
    const int reach = std::max(height, kMinReach);
    bool changed = false;
    for (int r = row, y = top; r < rows && y < height + reach; ++r) {
        changed |= measureRow(r);
        y += rowHeight(r);
    }
    for (int r = row - 1, y = top; r >= 0 && y > -reach; --r) {
        changed |= measureRow(r);
        y -= rowHeight(r);
    }
    return changed;
}

bool GridView::measureRow(int row)
{
    if (m_measured.testBit(row))
        return false;
    m_measured.setBit(row);
    const int height = rowHeightFor(row);
    if (rowHeight(row) == height)
        return false;
    verticalHeader()->resizeSection(row, height);
    return true;
}

void GridView::scheduleRowHeights()
{
    // Dragging a column border resizes it many times a second; measure the rows once.
    if (m_heightsPending)
        return;
    m_heightsPending = true;
    QMetaObject::invokeMethod(this, &GridView::measureShownRows, Qt::QueuedConnection);
}

QStyleOptionViewItem GridView::cellOption(const QModelIndex &index) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    return option;
}

QRect GridView::checkBoxRect(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != m_model)
        return {};
    return static_cast<const Delegate *>(itemDelegate())->checkBoxRect(cellOption(index), index);
}

void GridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // On a box the second click of a double click is a click of its own, as on any check
    // box: it asks for the flag back and opens nothing.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && checkBoxRect(index).contains(event->position().toPoint())) {
        QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->scenePosition(), event->globalPosition(),
            event->button(), event->buttons(), event->modifiers(), event->pointingDevice());
        mousePressEvent(&press);
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

bool GridView::textFits(const QModelIndex &index, const QString &text) const
{
    QRect cell = visualRect(index).adjusted(textMargin(), 0, -textMargin(), 0);
    if (index.data(Qt::CheckStateRole).isValid())
        cell = static_cast<const Delegate *>(itemDelegate())->textRect(cellOption(index), index);
    QFont cellFont = font();
    const QVariant rowFont = index.data(Qt::FontRole);
    if (rowFont.canConvert<QFont>())
        cellFont = rowFont.value<QFont>();
    // Cut below the last line shown, or at the right of a word too long for the column.
    return text.size() <= kLaidOutChars && wrappedHeight(QFontMetrics(cellFont), text, cell.width()) <= cell.height()
        && !overflowsWidth(cellFont, text, cell.width());
}

bool GridView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        // Only a cell cut short shows its text again, whole; a box drawn without its text
        // cuts none.
        auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text = index.data(Qt::DisplayRole).toString();
        const QString whole = index.data(Qt::ToolTipRole).toString();
        if (index.isValid() && !whole.isEmpty() && !boxSaysItAll(index) && !textFits(index, text)) {
            // As rich text, so that a long line wraps in the tooltip too.
            const QString tip = QLatin1String("<qt>")
                % whole.left(kLaidOutChars).toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>"))
                % (whole.size() > kLaidOutChars ? QStringLiteral("\u2026") : QString());
            QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(index));
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    if (event->type() == QEvent::Resize)
        scheduleRowHeights(); // more rows may show
    return QTableView::viewportEvent(event);
}

void GridView::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    // The font and the style's margins decide how texts wrap.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        forgetRowHeights();
        scheduleRowHeights();
    }
}

void GridView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    if (!m_highlightUnfocused)
        viewport()->update();
}

void GridView::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    if (!m_highlightUnfocused)
        viewport()->update();
}
