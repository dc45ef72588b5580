#include "celltablemodel.h"

#include "store/celltable.h"
#include "text/texthelpers.h"

#include <QSet>

CellTableModel::CellTableModel(CellTable *table, QObject *parent)
    : QAbstractTableModel(parent)
{
    setTable(table);
}

namespace {

// More separate runs of rows gone or come than this, and the views start afresh: each run
// costs them a pass over every row.
constexpr int kMostRuns = 64;

// How many runs of consecutive rows of `ids` are not in `others`.
template <typename Contains> int runsMissing(const std::vector<quint64> &ids, Contains contains)
{
    int runs = 0;
    bool inRun = false;
    for (const quint64 id : ids) {
        const bool missing = !contains(id);
        runs += missing && !inRun;
        inRun = missing;
    }
    return runs;
}

std::vector<quint64> rowIds(const CellTable *table)
{
    std::vector<quint64> ids;
    if (!table)
        return ids;
    ids.reserve(size_t(table->rowCount() - 1));
    for (int r = 1; r < table->rowCount(); ++r)
        ids.push_back(table->rowId(r));
    return ids;
}

} // namespace

void CellTableModel::setTable(CellTable *table)
{
    beginResetModel();
    m_table = table;
    m_ids = rowIds(table);
    m_columns = table ? table->colCount() : 0;
    endResetModel();
    // Rows that cannot be told apart are known by position only, until a refresh.
    m_idsDistinct = qsizetype(m_ids.size()) == QSet<quint64>(m_ids.begin(), m_ids.end()).size();
}

void CellTableModel::refresh()
{
    const std::vector<quint64> newIds = rowIds(m_table);
    QHash<quint64, int> newRows;
    newRows.reserve(qsizetype(newIds.size()));
    bool unique = true;
    for (size_t i = 0; i < newIds.size(); ++i) {
        if (newRows.contains(newIds[i])) {
            unique = false;
            break;
        }
        newRows.insert(newIds[i], int(i) + 1);
    }
    const int columns = m_table ? m_table->colCount() : 0;
    bool afresh = !unique || !m_idsDistinct || columns != m_columns;
    if (!afresh) {
        QSet<quint64> oldRows(m_ids.begin(), m_ids.end());
        afresh = qsizetype(m_ids.size()) != oldRows.size()
            || runsMissing(m_ids, [&newRows](quint64 id) { return newRows.contains(id); })
                    + runsMissing(newIds, [&oldRows](quint64 id) { return oldRows.contains(id); })
                > kMostRuns;
    }
    if (afresh) {
        // Rows that cannot be told apart, other columns, or a change in many places: the
        // views start afresh.
        beginResetModel();
        m_ids = newIds;
        m_columns = columns;
        endResetModel();
        m_idsDistinct = unique;
        return;
    }
    m_lookup = &newRows;
    removeGoneRows(newRows);
    reorderKeptRows(newIds);
    insertNewRows(newIds);
    m_lookup = nullptr;
    if (!m_ids.empty() && m_columns > 0)
        Q_EMIT dataChanged(index(0, 0), index(int(m_ids.size()) - 1, m_columns - 1));
    if (m_columns > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, m_columns - 1);
}

quint64 CellTableModel::rowIdAt(int row) const
{
    return row >= 0 && row < int(m_ids.size()) ? m_ids[size_t(row)] : 0;
}

int CellTableModel::tableRowOf(int row) const
{
    if (row < 0 || row >= int(m_ids.size()))
        return -1;
    return tableRow(row);
}

int CellTableModel::tableRow(int row) const
{
    if (!m_lookup)
        return row + 1;
    return m_lookup->value(m_ids[size_t(row)], -1);
}

void CellTableModel::removeGoneRows(const QHash<quint64, int> &newRows)
{
    int end = int(m_ids.size());
    while (end > 0) {
        if (newRows.contains(m_ids[size_t(end - 1)])) {
            --end;
            continue;
        }
        int first = end - 1;
        while (first > 0 && !newRows.contains(m_ids[size_t(first - 1)]))
            --first;
        beginRemoveRows({}, first, end - 1);
        m_ids.erase(m_ids.begin() + first, m_ids.begin() + end);
        endRemoveRows();
        end = first;
    }
}

void CellTableModel::reorderKeptRows(const std::vector<quint64> &newIds)
{
    QHash<quint64, int> oldRows;
    oldRows.reserve(qsizetype(m_ids.size()));
    for (size_t i = 0; i < m_ids.size(); ++i)
        oldRows.insert(m_ids[i], int(i));
    std::vector<quint64> kept;
    kept.reserve(m_ids.size());
    for (const quint64 id : newIds)
        if (oldRows.contains(id))
            kept.push_back(id);
    if (kept == m_ids)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOfOld(m_ids.size());
    for (size_t i = 0; i < kept.size(); ++i)
        newRowOfOld[size_t(oldRows.value(kept[i]))] = int(i);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after.append(index(newRowOfOld[size_t(old.row())], old.column()));
    m_ids = std::move(kept);
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CellTableModel::insertNewRows(const std::vector<quint64> &newIds)
{
    // The kept rows are in their new order: every place where the two lists differ starts
    // a run of new rows.
    size_t i = 0;
    while (i < newIds.size()) {
        if (i < m_ids.size() && m_ids[i] == newIds[i]) {
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < newIds.size() && (i >= m_ids.size() || newIds[end] != m_ids[i]))
            ++end;
        beginInsertRows({}, int(i), int(end) - 1);
        m_ids.insert(m_ids.begin() + qsizetype(i), newIds.begin() + qsizetype(i), newIds.begin() + qsizetype(end));
        endInsertRows();
        i = end;
    }
}

void CellTableModel::refreshTableRow(int tableRow)
{
    const int row = tableRow - 1;
    if (row < 0 || row >= rowCount() || columnCount() == 0)
        return;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void CellTableModel::setFlagColumns(const QList<int> &columns)
{
    if (columns == m_flagColumns)
        return;
    m_flagColumns = columns;
    // The views ask for the flags again with the check states.
    if (rowCount() > 0 && columnCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), { Qt::CheckStateRole });
}

bool CellTableModel::isFlagCell(int column, int tableRow) const
{
    return m_table && tableRow >= 1 && m_flagColumns.contains(column) && !m_table->isRowBlank(tableRow);
}

QString CellTableModel::shownLines(const QString &text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (lines.endsWith(QLatin1Char('\n')))
        lines.chop(1);
    return lines;
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
    return int(m_ids.size());
}

int CellTableModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_table)
        return 0;
    return m_columns;
}

QVariant CellTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) || !m_table)
        return {};
    const int row = tableRow(index.row());
    if (row < 1)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_table->cell(index.column(), row);
    case Qt::FontRole:
        if (m_rowFont)
            return m_rowFont(row, m_listFont);
        return {};
    case Qt::ToolTipRole: {
        const QString text = m_table->cell(index.column(), row);
        if (text.isEmpty())
            return {};
        return shownLines(text);
    }
    case Qt::CheckStateRole:
        if (!isFlagCell(index.column(), row))
            return {};
        return int(m_table->cell(index.column(), row) == yesNoText(true) ? Qt::Checked : Qt::Unchecked);
    case TaskIdRole:
        return QVariant::fromValue(rowIdAt(index.row()));
    default:
        return {};
    }
}

bool CellTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role == Qt::CheckStateRole) {
        // Only the owner's command changes a task: it is asked, and the table stays as it is.
        if (checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)
            && isFlagCell(index.column(), tableRow(index.row())))
            Q_EMIT flagToggleRequested(rowIdAt(index.row()), index.column(), value.toInt() == Qt::Checked);
        return false;
    }
    if (!m_editable || role != Qt::EditRole || !m_table
        || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    m_table->setCell(index.column(), tableRow(index.row()), value.toString());
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
    if (index.isValid() && index.row() < rowCount() && isFlagCell(index.column(), tableRow(index.row())))
        result |= Qt::ItemIsUserCheckable;
    return result;
}
