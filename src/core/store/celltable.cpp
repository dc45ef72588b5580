#include "celltable.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <numeric>

namespace {

constexpr int kDefaultColWidth = 64;

quint32 readOffset(const char *block, int index)
{
    quint32 value;
    std::memcpy(&value, block + index * sizeof(quint32), sizeof(quint32));
    return value;
}

// A stable bottom-up merge sort of row indexes that reads and writes only within its
// vectors whatever `less` answers: a compare hook that contradicts itself gives some
// order of the same rows, never a read outside the table (std::sort and std::stable_sort
// both have unguarded loops that trust the comparator).
template <typename Less> void mergeSortIndexes(std::vector<int> &items, Less less)
{
    const size_t n = items.size();
    constexpr size_t kRun = 16;
    for (size_t start = 0; start < n; start += kRun) {
        const size_t end = std::min(start + kRun, n);
        for (size_t i = start + 1; i < end; ++i) {
            const int value = items[i];
            size_t j = i;
            while (j > start && less(value, items[j - 1])) {
                items[j] = items[j - 1];
                --j;
            }
            items[j] = value;
        }
    }
    if (n <= kRun)
        return;
    std::vector<int> merged(n);
    for (size_t width = kRun; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(lo + width, n);
            const size_t hi = std::min(mid + width, n);
            size_t i = lo;
            size_t j = mid;
            size_t out = lo;
            while (i < mid && j < hi)
                merged[out++] = less(items[j], items[i]) ? items[j++] : items[i++];
            while (i < mid)
                merged[out++] = items[i++];
            while (j < hi)
                merged[out++] = items[j++];
        }
        items.swap(merged);
    }
}

} // namespace

QString utf8Text(QByteArrayView bytes)
{
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

int CellTable::Row::cellCount() const
{
    if (block.isEmpty())
        return 0;
    return int(readOffset(block.constData(), 0) / sizeof(quint32)) - 1;
}

QByteArrayView CellTable::Row::cell(int column) const
{
    if (column < 0 || column >= cellCount())
        return {};
    const char *data = block.constData();
    const quint32 begin = readOffset(data, column);
    const quint32 end = readOffset(data, column + 1);
    return QByteArrayView(data + begin, qsizetype(end - begin));
}

QByteArray CellTable::makeBlock(const std::vector<QByteArrayView> &cells)
{
    int n = int(cells.size());
    while (n > 0 && cells[size_t(n - 1)].isEmpty())
        --n;
    QByteArray block;
    if (n == 0)
        return block;
    qsizetype textSize = 0;
    for (int i = 0; i < n; ++i)
        textSize += cells[size_t(i)].size();
    const qsizetype header = qsizetype(n + 1) * qsizetype(sizeof(quint32));
    block.resize(header + textSize);
    char *out = block.data();
    quint32 offset = quint32(header);
    for (int i = 0; i < n; ++i) {
        std::memcpy(out + i * sizeof(quint32), &offset, sizeof(quint32));
        const QByteArrayView text = cells[size_t(i)];
        if (!text.isEmpty())
            std::memcpy(out + offset, text.data(), size_t(text.size()));
        offset += quint32(text.size());
    }
    std::memcpy(out + n * sizeof(quint32), &offset, sizeof(quint32));
    return block;
}

CellTable::CellTable(int columns, int rows)
{
    setColCount(columns);
    setRowCount(rows);
}

void CellTable::setColCount(int columns)
{
    columns = std::max(columns, 1);
    if (columns < m_colCount) {
        for (size_t r = 0; r < m_rows.size(); ++r) {
            if (m_rows[r].cellCount() > columns) {
                std::vector<QByteArrayView> cells = rowUtf8(int(r));
                cells.resize(size_t(columns));
                m_rows[r].block = makeBlock(cells);
            }
        }
    }
    m_colCount = columns;
    m_colWidths.resize(columns, kDefaultColWidth);
    if (int(m_styles.size()) > columns)
        m_styles.resize(size_t(columns));
}

void CellTable::setRowCount(int rows)
{
    const size_t before = m_rows.size();
    m_rows.resize(size_t(std::max(rows, 1)));
    giveNewIds(before, m_rows.size());
}

QByteArrayView CellTable::cellUtf8(int column, int row) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_colCount)
        return {};
    return m_rows[size_t(row)].cell(column);
}

QString CellTable::cell(int column, int row) const
{
    const QByteArrayView bytes = cellUtf8(column, row);
    return bytes.isEmpty() ? QString() : utf8Text(bytes);
}

std::vector<QByteArrayView> CellTable::rowUtf8(int row) const
{
    std::vector<QByteArrayView> cells;
    if (row < 0 || row >= rowCount())
        return cells;
    const Row &r = m_rows[size_t(row)];
    const int n = std::min(r.cellCount(), m_colCount);
    cells.reserve(size_t(n));
    for (int c = 0; c < n; ++c)
        cells.push_back(r.cell(c));
    return cells;
}

void CellTable::setCellUtf8(int column, int row, QByteArrayView text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_colCount)
        return;
    std::vector<QByteArrayView> cells = rowUtf8(row);
    if (int(cells.size()) <= column) {
        if (text.isEmpty())
            return;
        cells.resize(size_t(column + 1));
    }
    cells[size_t(column)] = text;
    m_rows[size_t(row)].block = makeBlock(cells); // the views still point into the old block here
}

void CellTable::setCell(int column, int row, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    setCellUtf8(column, row, bytes);
}

void CellTable::setRowUtf8(int row, const std::vector<QByteArrayView> &cells)
{
    if (row < 0 || row >= rowCount())
        return;
    if (int(cells.size()) > m_colCount) {
        std::vector<QByteArrayView> cut(cells.begin(), cells.begin() + m_colCount);
        m_rows[size_t(row)].block = makeBlock(cut);
    } else {
        m_rows[size_t(row)].block = makeBlock(cells);
    }
}

void CellTable::copyRowFrom(const CellTable &source, int sourceRow, int row)
{
    if (row < 0 || row >= rowCount() || sourceRow < 0 || sourceRow >= source.rowCount())
        return;
    setRowUtf8(row, source.rowUtf8(sourceRow));
    m_rows[size_t(row)].id = source.m_rows[size_t(sourceRow)].id;
}

namespace {

// Tables are read on worker threads too; ids must still never repeat.
std::atomic<CellTable::RowId> nextRowId { 1 };

} // namespace

CellTable::RowId CellTable::newRowId()
{
    return nextRowId.fetch_add(1, std::memory_order_relaxed);
}

CellTable::RowId CellTable::newRowIds(qsizetype count)
{
    return nextRowId.fetch_add(RowId(std::max<qsizetype>(count, 0)), std::memory_order_relaxed);
}

void CellTable::giveNewIds(size_t first, size_t end)
{
    if (end <= first)
        return;
    RowId id = newRowIds(qsizetype(end - first));
    for (size_t r = first; r < end; ++r)
        m_rows[r].id = id++;
}

CellTable::RowId CellTable::rowId(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[size_t(row)].id : 0;
}

void CellTable::setRowId(int row, RowId id)
{
    if (row >= 0 && row < rowCount())
        m_rows[size_t(row)].id = id;
}

int CellTable::findRowId(RowId id) const
{
    for (size_t r = 0; r < m_rows.size(); ++r)
        if (m_rows[r].id == id)
            return int(r);
    return -1;
}

int CellTable::colWidth(int column) const
{
    return column >= 0 && column < m_colCount ? m_colWidths[column] : 0;
}

void CellTable::setColWidth(int column, int width)
{
    if (column >= 0 && column < m_colCount)
        m_colWidths[column] = width;
}

void CellTable::insertBlankRows(int at, int count)
{
    if (count <= 0)
        return;
    at = std::clamp(at, 0, rowCount());
    m_rows.insert(m_rows.begin() + at, size_t(count), Row());
    giveNewIds(size_t(at), size_t(at + count));
}

void CellTable::deleteRows(int at, int count)
{
    if (count <= 0 || at < 0 || at >= rowCount())
        return;
    count = std::min(count, rowCount() - at);
    m_rows.erase(m_rows.begin() + at, m_rows.begin() + at + count);
    if (m_rows.empty())
        setRowCount(1);
}

void CellTable::blankRows(int at, int count)
{
    const int first = std::max(at, 0);
    const int end = std::min(rowCount(), at + std::max(count, 0));
    for (int r = first; r < end; ++r)
        m_rows[size_t(r)].block = QByteArray();
    giveNewIds(size_t(first), size_t(std::max(first, end))); // a blanked row is a new one
}

void CellTable::blankDataRows()
{
    blankRows(1, rowCount() - 1);
}

void CellTable::blankAllCells()
{
    blankRows(0, rowCount());
}

bool CellTable::isRowBlank(int row) const
{
    if (row < 0 || row >= rowCount())
        return true;
    return m_rows[size_t(row)].block.isEmpty();
}

int CellTable::usedCells(int row) const
{
    if (row < 0 || row >= rowCount())
        return 0;
    return std::min(m_rows[size_t(row)].cellCount(), m_colCount);
}

void CellTable::fitToContent(int minColumns, int minRows)
{
    int rows = rowCount();
    while (rows > std::max(minRows, 1) && m_rows[size_t(rows - 1)].block.isEmpty())
        --rows;
    int columns = std::max(minColumns, 1);
    for (int r = 0; r < rows && columns < m_colCount; ++r)
        columns = std::max(columns, usedCells(r));
    if (rows < rowCount())
        setRowCount(rows);
    if (columns < m_colCount)
        setColCount(columns);
}

int CellTable::firstFreeRow()
{
    for (int r = 1; r < rowCount(); ++r) {
        if (isRowBlank(r))
            return r;
    }
    insertBlankRows(rowCount(), 1);
    return rowCount() - 1;
}

CellTable::ColumnStyle CellTable::columnStyle(int column) const
{
    if (column < 0 || column >= int(m_styles.size()))
        return ColumnStyle::Text;
    return m_styles[size_t(column)];
}

void CellTable::setColumnStyle(int column, ColumnStyle style)
{
    if (column < 0 || column >= m_colCount)
        return;
    if (int(m_styles.size()) <= column)
        m_styles.resize(size_t(column + 1), ColumnStyle::Text);
    m_styles[size_t(column)] = style;
}

int CellTable::compareText(QByteArrayView a, QByteArrayView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    if (n > 0) {
        const int c = std::memcmp(a.data(), b.data(), size_t(n));
        if (c != 0)
            return c;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

void CellTable::setCustomCompare(CustomCompare compare)
{
    m_customCompare = std::move(compare);
    m_customCompareMaker = nullptr;
}

void CellTable::setCustomCompareMaker(CustomCompareMaker maker)
{
    m_customCompareMaker = std::move(maker);
    m_customCompare = nullptr;
}

CellTable::CustomCompare CellTable::makeCustomCompare() const
{
    return m_customCompareMaker ? m_customCompareMaker() : m_customCompare;
}

int CellTable::compareRowValues(const Row &a, const Row &b, const CustomCompare &custom) const
{
    // The last column never takes part; a sort by it alone still compares it.
    const int last = std::max(m_sortColumn, m_colCount - 2);
    for (int c = std::max(m_sortColumn, 0); c <= last && c < m_colCount; ++c) {
        int result;
        if (custom && columnStyle(c) == ColumnStyle::Custom)
            result = custom(c, a.cell(c), b.cell(c));
        else
            result = compareText(a.cell(c), b.cell(c));
        if (result != 0)
            return result;
    }
    return 0;
}

int CellTable::compareRows(int a, int b) const
{
    return compareRowValues(m_rows[size_t(a)], m_rows[size_t(b)], makeCustomCompare());
}

int CellTable::sortRows(int trackRow)
{
    if (rowCount() <= 2)
        return trackRow;
    const bool descending = m_sortDirection == SortDirection::Descending;
    const CustomCompare custom = makeCustomCompare(); // one compare for the whole sort
    std::vector<int> order(size_t(rowCount() - 1));
    std::iota(order.begin(), order.end(), 1);
    mergeSortIndexes(order, [this, descending, &custom](int a, int b) {
        const int c = compareRowValues(m_rows[size_t(a)], m_rows[size_t(b)], custom);
        return descending ? c > 0 : c < 0;
    });
    int tracked = trackRow;
    if (trackRow >= 1 && trackRow < rowCount()) {
        const auto at = std::find(order.begin(), order.end(), trackRow);
        tracked = int(at - order.begin()) + 1;
    }
    applyDataRowOrder(order);
    return tracked;
}

void CellTable::applyDataRowOrder(const std::vector<int> &order)
{
    if (int(order.size()) > rowCount() - 1)
        return;
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    sorted.push_back(std::move(m_rows[0]));
    for (const int old : order)
        sorted.push_back(std::move(m_rows[size_t(old)]));
    m_rows = std::move(sorted);
}

bool CellTable::headerClick(int column, int *trackRow)
{
    if (rowCount() < 3 || column < 0 || column >= m_colCount)
        return false;
    if (m_canSort && !m_canSort(column))
        return false;
    if (column == m_sortColumn) {
        m_sortDirection
            = m_sortDirection == SortDirection::Ascending ? SortDirection::Descending : SortDirection::Ascending;
    } else {
        m_sortColumn = column;
        m_sortDirection = SortDirection::Ascending;
    }
    const int newRow = sortRows(trackRow ? *trackRow : -1);
    if (trackRow)
        *trackRow = newRow;
    return true;
}

bool CellTable::operator==(const CellTable &other) const
{
    if (m_colCount != other.m_colCount || rowCount() != other.rowCount())
        return false;
    for (int r = 0; r < rowCount(); ++r) {
        // A row copied from the other table shares its block: equal without a look inside.
        const QByteArray &mine = m_rows[size_t(r)].block;
        const QByteArray &theirs = other.m_rows[size_t(r)].block;
        if (mine.size() == theirs.size() && mine.constData() == theirs.constData())
            continue;
        for (int c = 0; c < m_colCount; ++c)
            if (cellUtf8(c, r) != other.cellUtf8(c, r))
                return false;
    }
    return true;
}

namespace {

// Where two states of a table differ: the data rows from `first` to the ends, the rows both
// begin and end with (the same row, unchanged) passed over.
struct DifferingRows
{
    size_t first, endBefore, endAfter;
};

template <typename Rows> DifferingRows differingRows(const Rows &before, const Rows &after)
{
    // Rows the two states share are one block: a pointer comparison, not a look inside.
    const auto same = [](const auto &a, const auto &b) {
        return a.id == b.id
            && ((a.block.size() == b.block.size() && a.block.constData() == b.block.constData()) || a.block == b.block);
    };
    size_t first = 1;
    size_t endBefore = before.size();
    size_t endAfter = after.size();
    while (first < endBefore && first < endAfter && same(before[first], after[first]))
        ++first;
    while (endBefore > first && endAfter > first && same(before[endBefore - 1], after[endAfter - 1])) {
        --endBefore;
        --endAfter;
    }
    return { first, endBefore, endAfter };
}

} // namespace

CellTable::RowChanges CellTable::changedRows(const CellTable &before, const CellTable &after, const SameCell &same)
{
    const auto differ = [&same](const Row &a, const Row &b) {
        if (a.block == b.block)
            return false;
        if (!same)
            return true;
        const int cells = std::max(a.cellCount(), b.cellCount());
        for (int c = 0; c < cells; ++c) {
            const QByteArrayView x = a.cell(c), y = b.cell(c);
            if (x != y && !same(c, x, y))
                return true;
        }
        return false;
    };
    const auto [first, endBefore, endAfter] = differingRows(before.m_rows, after.m_rows);
    QHash<RowId, const Row *> old;
    old.reserve(qsizetype(endBefore - first));
    for (size_t r = first; r < endBefore; ++r)
        if (!before.m_rows[r].block.isEmpty())
            old.insert(before.m_rows[r].id, &before.m_rows[r]);
    RowChanges changes;
    for (size_t r = first; r < endAfter; ++r) {
        const Row &row = after.m_rows[r];
        if (row.block.isEmpty())
            continue;
        const auto it = old.constFind(row.id);
        if (it == old.constEnd()) {
            changes.added.push_back(row.id);
            continue;
        }
        if (differ(**it, row))
            changes.changed.push_back(row.id);
        old.erase(it);
    }
    for (auto it = old.cbegin(); it != old.cend(); ++it)
        changes.removed.push_back(it.key());
    std::sort(changes.removed.begin(), changes.removed.end());
    return changes;
}

CellTable::RowPatch::RowPatch(const CellTable &from, const CellTable &to)
    : m_fromRowCount(from.rowCount())
    , m_colCount(to.m_colCount)
    , m_colWidths(to.m_colWidths)
    , m_sortColumn(to.m_sortColumn)
    , m_sortDirection(to.m_sortDirection)
    , m_styles(to.m_styles)
{
    const auto [first, endFrom, endTo] = differingRows(from.m_rows, to.m_rows);
    m_first = int(first);
    m_replaced.reserve(endFrom - first);
    for (size_t r = first; r < endFrom; ++r)
        m_replaced.push_back(from.m_rows[r].id);
    m_above = from.m_rows[first - 1].id;
    m_below = endFrom < from.m_rows.size() ? from.m_rows[endFrom].id : 0;
    m_rows.reserve(endTo - first + 1);
    m_rows.push_back(to.m_rows[0]);
    m_rows.insert(m_rows.end(), to.m_rows.begin() + qsizetype(first), to.m_rows.begin() + qsizetype(endTo));
}

bool CellTable::apply(const RowPatch &patch)
{
    if (rowCount() != patch.m_fromRowCount || patch.m_rows.empty())
        return false;
    const size_t first = size_t(patch.m_first);
    const size_t end = first + patch.m_replaced.size();
    for (size_t i = 0; i < patch.m_replaced.size(); ++i)
        if (m_rows[first + i].id != patch.m_replaced[i])
            return false;
    // A patch that replaces and inserts no row (a table the step did not touch) fits any
    // table of its size: rows may have been read again or sorted since, with no step.
    const bool rowsChange = !patch.m_replaced.empty() || patch.m_rows.size() > 1;
    if (rowsChange
        && (m_rows[first - 1].id != patch.m_above || (end < m_rows.size() ? m_rows[end].id : 0) != patch.m_below))
        return false;
    const auto at = m_rows.begin() + qsizetype(first);
    m_rows.erase(at, at + qsizetype(patch.m_replaced.size()));
    m_rows.insert(m_rows.begin() + qsizetype(first), patch.m_rows.begin() + 1, patch.m_rows.end());
    m_rows[0] = patch.m_rows[0];
    m_colCount = patch.m_colCount;
    m_colWidths = patch.m_colWidths;
    m_sortColumn = patch.m_sortColumn;
    m_sortDirection = patch.m_sortDirection;
    m_styles = patch.m_styles;
    return true;
}
