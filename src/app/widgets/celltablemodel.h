#pragma once

#include <QAbstractTableModel>
#include <QFont>

#include <functional>

class CellTable;

// A CellTable as an item model: the table's header row gives the column titles and its
// data rows (from table row 1) are the model's rows, so model row r is table row r + 1.
// The model does not own the table; after changing the table, its owner calls refresh().
class CellTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The font of a table row, given the list's font (for example struck out when done).
    using RowFontHook = std::function<QFont(int tableRow, const QFont &listFont)>;

    explicit CellTableModel(CellTable *table = nullptr, QObject *parent = nullptr);

    CellTable *table() const { return m_table; }
    void setTable(CellTable *table);

    // The owner changed the table's content, size or order.
    void refresh();
    // The owner changed the cells of one table row.
    void refreshTableRow(int tableRow);

    void setRowFontHook(RowFontHook hook);
    QFont listFont() const { return m_listFont; }
    void setListFont(const QFont &font);

    // Lists are changed through their commands, not in place; off by default.
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable) { m_editable = editable; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    CellTable *m_table = nullptr;
    RowFontHook m_rowFont;
    QFont m_listFont;
    bool m_editable = false;
};
