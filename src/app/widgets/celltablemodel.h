#pragma once

#include <QAbstractTableModel>
#include <QFont>

#include <QHash>
#include <QList>

#include <functional>
#include <vector>

class CellTable;

// A CellTable as an item model: the table's header row gives the column titles and its
// data rows (from table row 1) are the model's rows, so model row r is table row r + 1.
// The model does not own the table; after changing the table, its owner calls refresh(),
// which tells the views what happened to each row by the rows' identities: rows removed,
// rows inserted, rows moved, cells changed. A view's selection and current row thus stay on
// their task wherever it went, and leave only when it is gone.
//
// Besides the cell texts (display and edit roles), the model answers the row's font through
// a hook, each cell's text as a tool tip, the row's identity (TaskIdRole), and, in flag
// columns, a check state: "Yes" is checked. A flag is never changed here: a toggle asks the
// owner through flagToggleRequested, and the owner's command changes the task.
class CellTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role {
        // The identity of the row's task (CellTable::RowId, a quint64).
        TaskIdRole = Qt::UserRole + 1,
    };

    // The font of a table row, given the list's font (for example struck out when done).
    using RowFontHook = std::function<QFont(int tableRow, const QFont &listFont)>;

    explicit CellTableModel(CellTable *table = nullptr, QObject *parent = nullptr);

    CellTable *table() const { return m_table; }
    void setTable(CellTable *table);

    // The owner changed the table's content, size or order.
    void refresh();
    // The identity of the task a model row shows (0 outside the rows).
    quint64 rowIdAt(int row) const;
    // The table row a model row shows (-1 outside the rows); while refresh() is under way,
    // views hear of rows that went before the table rows take their new places.
    int tableRowOf(int row) const;
    // The owner changed the cells of one table row.
    void refreshTableRow(int tableRow);

    void setRowFontHook(RowFontHook hook);
    QFont listFont() const { return m_listFont; }
    void setListFont(const QFont &font);

    // Lists are changed through their commands, not in place; off by default.
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable) { m_editable = editable; }

    // Columns whose cells say "Yes" or "No": checked when the cell is "Yes", unchecked
    // otherwise, and user-checkable, in every row that holds a task.
    QList<int> flagColumns() const { return m_flagColumns; }
    void setFlagColumns(const QList<int> &columns);

    // A cell's text in lines, as a list shows them: line breaks of any kind become LF, and
    // the one that ends a note's last line opens no line of its own.
    static QString shownLines(const QString &text);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    // A check state was set on a flag cell (a click on its box): the owner is asked to set
    // the flag of the task with that identity. The table is left as it is.
    void flagToggleRequested(quint64 rowId, int column, bool on);

private:
    // Whether the cell shows a check box: a flag column of a row that holds a task.
    bool isFlagCell(int column, int tableRow) const;
    // The table row that shows as model row `row`: while refresh() takes the views from the
    // old rows to the new, rows are looked up by identity.
    int tableRow(int row) const;
    void removeGoneRows(const QHash<quint64, int> &newRows);
    void reorderKeptRows(const std::vector<quint64> &newIds);
    void insertNewRows(const std::vector<quint64> &newIds);

    CellTable *m_table = nullptr;
    // The identity of each model row, as the views know the rows, and the column count.
    std::vector<quint64> m_ids;
    bool m_idsDistinct = false;
    int m_columns = 0;
    // While refreshing: identity to table row of the changed table.
    const QHash<quint64, int> *m_lookup = nullptr;
    QList<int> m_flagColumns;
    RowFontHook m_rowFont;
    QFont m_listFont;
    bool m_editable = false;
};
