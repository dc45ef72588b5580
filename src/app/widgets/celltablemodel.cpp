#include "celltablemodel.h"

#include "store/celltable.h"

CellTableModel::CellTableModel(CellTable *table, QObject *parent)
    : QAbstractTableModel(parent)
    , m_table(table)
{ }

void CellTableModel::setTable(CellTable *table)
{
    beginResetModel();
    m_table = table;
    endResetModel();
}

void CellTableModel::refresh()
{
    beginResetModel();
    endResetModel();
}

void CellTableModel::refreshTableRow(int tableRow)
{
    const int row = tableRow - 1;
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void CellTableModel::setRowFontHook(RowFontHook hook)
{
    m_rowFont = std::move(hook);
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), { Qt::FontRole });
}

void CellTableModel::setListFont(const QFont &font)
{
    m_listFont = font;
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), { Qt::FontRole });
}

int CellTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_table)
        return 0;
    return m_table->rowCount() - 1;
}

int CellTableModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_table)
        return 0;
    return m_table->colCount();
}

QVariant CellTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) || !m_table)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_table->cell(index.column(), index.row() + 1);
    case Qt::FontRole:
        if (m_rowFont)
            return m_rowFont(index.row() + 1, m_listFont);
        return {};
    default:
        return {};
    }
}

bool CellTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_editable || role != Qt::EditRole || !m_table
        || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    m_table->setCell(index.column(), index.row() + 1, value.toString());
    Q_EMIT dataChanged(index, index, { Qt::DisplayRole, Qt::EditRole });
    return true;
}

QVariant CellTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && m_table && section >= 0
        && section < m_table->colCount())
        return m_table->cell(section, 0);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags CellTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (m_editable && index.isValid())
        result |= Qt::ItemIsEditable;
    return result;
}
