#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <functional>
#include <string_view>
#include <vector>

// UTF-8 bytes as text, all of them: QString::fromUtf8 drops a U+FEFF at the start, which
// is part of a cell's or an entry's text.
QString utf8Text(QByteArrayView bytes);

// A rectangular table of text cells whose row 0 is the header row. Every record set and
// every visible list of the program is one.
//
// Cells are held as UTF-8, one heap block per row (offsets, then the texts), so a row
// moves as one value, a sort swaps rows without touching cells, and a large store stays
// small in memory. Cells outside the table read as empty.
class CellTable
{
    struct Row; // a row's cells and identity, below

public:
    enum class ColumnStyle { Text, Custom };
    enum class SortDirection { Ascending, Descending };

    // Answers <0, 0 or >0 for two cell texts of a custom column.
    using CustomCompare = std::function<int(int column, QByteArrayView a, QByteArrayView b)>;
    // Makes the compare for one sort. An owner whose order depends on a value that
    // changes (the time now) takes it here, once, so every comparison of a sort agrees.
    using CustomCompareMaker = std::function<CustomCompare()>;
    using CanSort = std::function<bool(int column)>;

    explicit CellTable(int columns = 1, int rows = 1);

    int colCount() const { return m_colCount; }
    int rowCount() const { return int(m_rows.size()); }
    // Values below 1 are taken as 1; new cells are empty, cut-off cells are gone.
    void setColCount(int columns);
    void setRowCount(int rows);

    QString cell(int column, int row) const;
    // The cell's UTF-8 bytes, valid until the row is next changed.
    QByteArrayView cellUtf8(int column, int row) const;
    void setCell(int column, int row, const QString &text);
    void setCellUtf8(int column, int row, QByteArrayView text);

    // Replaces a whole row from UTF-8 texts (missing trailing cells are empty).
    void setRowUtf8(int row, const std::vector<QByteArrayView> &cells);
    std::vector<QByteArrayView> rowUtf8(int row) const;
    // Copies a row of another table (or this one) into row `row`, its identity with it:
    // the row is the same task in its new place.
    void copyRowFrom(const CellTable &source, int sourceRow, int row);

    // Every row has an identity that lasts the run: it moves with the row through sorts,
    // copies of the table and copyRowFrom, and survives changes of its cells. A new row
    // (inserted, appended, read, or blanked for reuse) gets a new one. Views follow a row by
    // it, so a selection stays on its task whatever order or list it is in.
    using RowId = quint64;
    RowId rowId(int row) const;
    // Gives a row the identity of the task it holds, when another table held it first.
    void setRowId(int row, RowId id);
    // The row with that identity, or -1.
    int findRowId(RowId id) const;
    static RowId newRowId();
    // The first of `count` new identities in a row, taken at once (a large table is read
    // without a step per row).
    static RowId newRowIds(qsizetype count);

    // What became of the data rows that hold text, by identity, from one state of a table
    // to another: a row with a new identity was added, one whose identity is gone was
    // removed, one whose cells differ was changed (a row that only moved is none of them).
    // Rows the two share (copies) cost a comparison of pointers, so a change of one day of a
    // large store costs little more than a pass.
    struct RowChanges
    {
        std::vector<RowId> added, changed, removed;
        bool isEmpty() const { return added.empty() && changed.empty() && removed.empty(); }
    };
    // Whether two texts of a column say the same to the owner, though their bytes differ
    // (a key renumbered in its day is the same task's).
    using SameCell = std::function<bool(int column, QByteArrayView a, QByteArrayView b)>;
    static RowChanges changedRows(const CellTable &before, const CellTable &after, const SameCell &same = {});

    // What turns one state of a table into another, kept small: the rows where the two
    // differ (between the rows both begin and end with), the header and the layout. Undo
    // keeps one for each way of a change instead of two whole tables.
    class RowPatch
    {
    public:
        RowPatch() = default;
        // The patch that turns `from` into `to`.
        RowPatch(const CellTable &from, const CellTable &to);
        // Rows it holds, for what a step costs.
        int rowCount() const { return int(m_rows.size()); }

    private:
        friend class CellTable;
        int m_first = 1;
        int m_fromRowCount = 0;
        std::vector<RowId> m_replaced; // the identities of the rows of `from` it replaces
        RowId m_above = 0, m_below = 0; // and of the rows around them (0: none below)
        std::vector<Row> m_rows; // the header row, then the rows of `to` that replace them
        int m_colCount = 1;
        QList<int> m_colWidths;
        int m_sortColumn = 0;
        SortDirection m_sortDirection = SortDirection::Ascending;
        std::vector<ColumnStyle> m_styles;
    };
    // Turns the table into the patch's `to`. A table that is not the patch's `from` (other
    // rows where the patch would go) is left as it is: false.
    bool apply(const RowPatch &patch);

    int colWidth(int column) const;
    void setColWidth(int column, int width);
    const QList<int> &colWidths() const { return m_colWidths; }

    void insertBlankRows(int at, int count);
    // Never removes the header row.
    void deleteRows(int at, int count);
    void blankRows(int at, int count);
    void blankDataRows();
    void blankAllCells();
    bool isRowBlank(int row) const;
    // How many of the row's first cells may hold text: every cell after them is empty. Lets
    // a pass over a sparse table cost what its cells cost, not rows times columns.
    int usedCells(int row) const;
    // Drops the trailing rows and columns that hold no text, keeping at least the counts
    // given: counts far beyond the cells (a damaged or hand-made file) then cost nothing.
    void fitToContent(int minColumns, int minRows);
    // First blank data row; appends one when there is none.
    int firstFreeRow();

    int sortColumn() const { return m_sortColumn; }
    void setSortColumn(int column) { m_sortColumn = column; }
    SortDirection sortDirection() const { return m_sortDirection; }
    void setSortDirection(SortDirection direction) { m_sortDirection = direction; }

    ColumnStyle columnStyle(int column) const;
    void setColumnStyle(int column, ColumnStyle style);
    // A compare that is the same for every sort; replaces any compare maker.
    void setCustomCompare(CustomCompare compare);
    // A compare made afresh for each sort; replaces any fixed compare.
    void setCustomCompareMaker(CustomCompareMaker maker);
    void setCanSort(CanSort canSort) { m_canSort = std::move(canSort); }

    // Compares two data rows by the sort rules, column by column from the sort column
    // up to the second-to-last column.
    int compareRows(int a, int b) const;
    // Sorts the data rows in place. Answers where the row that stood at `trackRow`
    // ended up (or -1), so a view keeps its selection on the same content.
    // Whatever a compare hook answers, the sort stays within the table and keeps every row.
    int sortRows(int trackRow = -1);
    // The header-click rule: with two or more data rows and the can-sort hook agreeing,
    // a click on the sort column flips the direction and a click elsewhere sorts that
    // column ascending. Answers whether it sorted; `trackRow` as for sortRows.
    bool headerClick(int column, int *trackRow = nullptr);

    // Puts the data rows in a new order: order[i] is the old index of the row that
    // becomes data row i + 1; rows not named are dropped. Used by owners that sort or
    // compact with a rule of their own, in one pass.
    void applyDataRowOrder(const std::vector<int> &order);

    // Plain byte-wise text order: the shorter text first when one starts the other.
    static int compareText(QByteArrayView a, QByteArrayView b);

    bool operator==(const CellTable &other) const;

private:
    // A row: empty (no cells), or a block of (n + 1) uint32 offsets then the texts.
    struct Row
    {
        QByteArray block;
        RowId id = 0; // given by whoever makes the row: see newRowIds
        int cellCount() const;
        QByteArrayView cell(int column) const;
    };
    static QByteArray makeBlock(const std::vector<QByteArrayView> &cells);
    // Rows [first, end) get new identities.
    void giveNewIds(size_t first, size_t end);
    int compareRowValues(const Row &a, const Row &b, const CustomCompare &custom) const;
    CustomCompare makeCustomCompare() const;

    friend class GridFileReader;

    int m_colCount = 1;
    std::vector<Row> m_rows;
    QList<int> m_colWidths;
    int m_sortColumn = 0;
    SortDirection m_sortDirection = SortDirection::Ascending;
    std::vector<ColumnStyle> m_styles; // empty when every column is text
    CustomCompare m_customCompare;
    CustomCompareMaker m_customCompareMaker;
    CanSort m_canSort;
};
