#pragma once

#include "widgets/celltablemodel.h"

#include <QBitArray>
#include <QTableView>

class CellTable;

// A visible list over a CellTable: whole-row single selection, word-wrapped cells, no row
// numbers, and a header whose click sorts the table by the table's own rule, keeping the
// selection on the row it was on. The header shows the column and direction of the last
// sort a click made, until the owner sorts the table by other settings or gives the view
// another table. Column widths come from the table, and every width the
// view's column takes (a drag on its border, setColumnWidth) goes back to it, so the
// widths travel with the table's file.
//
// Rows are at least the list's row height. A row whose cells need more lines grows to
// show them, up to MaxShownLines lines. A cell cut there, or with a word too long for its
// column, has its full text in a tooltip; a cell shown whole has none.
// Rows are measured when they come near the viewport (scrolling, scrolling to a row,
// resizing) and keep their height until their text, the column widths, the font or the
// row height change; a long list is never measured whole.
class GridView : public QTableView
{
    Q_OBJECT

public:
    static constexpr int MaxShownLines = 4;

    explicit GridView(QWidget *parent = nullptr);
    ~GridView() override;

    CellTable *table() const { return m_model->table(); }
    void setTable(CellTable *table);
    CellTableModel *cellModel() const { return m_model; }

    // The owner changed the table (content, size, order or widths): shows it again,
    // keeping the current row where it can.
    void refresh();
    // Sets the columns to the table's widths.
    void applyColumnWidths();

    // Columns whose "Yes" or "No" shows as a check box (see CellTableModel). A click on a
    // box changes nothing itself: the view asks with flagToggleRequested.
    void setFlagColumns(const QList<int> &columns);
    // Where a cell's check box is drawn, in the viewport; empty for a cell without one.
    QRect checkBoxRect(const QModelIndex &index) const;

    void setRowFontHook(CellTableModel::RowFontHook hook);
    QFont listFont() const { return font(); }
    void setListFont(const QFont &font);

    using QTableView::setRowHeight;
    int listRowHeight() const { return m_rowHeight; }
    void setRowHeight(int pixels);

    // The selected table row (from 1), or -1 when no row is selected.
    int currentTableRow() const;
    // Selects a table row; anything outside the data rows clears the selection.
    void setCurrentTableRow(int tableRow);

    // When false, the selected row is drawn without highlight while the list has no
    // focus, so only the list being worked in shows a selection.
    bool highlightsWhenUnfocused() const { return m_highlightUnfocused; }
    void setHighlightWhenUnfocused(bool highlight);

    // The height a data row (from 0, as in the model) gets by the row rule.
    int rowHeightFor(int modelRow) const;

    // Measures the rows shown with the target row before scrolling to it.
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

    // At least the header and one row, so a short window never hides the tasks.
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // A header click sorted the table by this column.
    void sorted(int column);
    // A click on the box of a flag cell: the owner is asked to set the flag of the task
    // with that identity (CellTable::RowId) to `on`. The table is left as it is.
    void flagToggleRequested(quint64 rowId, int column, bool on);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex &index, const QEvent *event = nullptr) const override;

private:
    class Delegate;

    void headerClicked(int column);
    // After the table was shown again: the sort indicator, the widths and the row heights.
    void tableShownAgain();
    void showSortIndicator();
    void columnResized(int column, int oldSize, int newSize);
    void forgetRowHeights();
    void forgetRowHeights(int firstRow, int lastRow);
    void measureShownRows();
    void scheduleRowHeights();
    bool measureRows(int row, int top);
    bool measureRowsAround(int row, int top);
    bool measureRow(int row);
    QStyleOptionViewItem cellOption(const QModelIndex &index) const;
    bool textFits(const QModelIndex &index, const QString &text) const;
    int textMargin() const;

    CellTableModel *m_model = nullptr;
    int m_rowHeight = 18;
    bool m_highlightUnfocused = true;
    bool m_applyingWidths = false; // widths being set from the table, not by the user
    bool m_heightsPending = false;
    bool m_measuring = false;
    QBitArray m_measured; // model rows whose height follows the rule for the present widths and font
    int m_sortSection = -1; // the column the last click sorted by; -1 when the indicator is off
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
