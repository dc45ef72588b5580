#include "daygrid.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kSelectedRole = Qt::UserRole + 1;
constexpr int kCellWidth = 28;
constexpr int kCellHeight = 22;

// The day number of a cell, or 0 for the four blank cells.
int dayOf(const QModelIndex &index)
{
    if (!index.isValid())
        return 0;
    const int day = index.row() * DayGrid::kColumns + index.column() + 1;
    return day <= 31 ? day : 0;
}

// Draws the day number 2 pixels in from the cell's top left corner, in the day's colours.
class DayDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = index.data(kSelectedRole).toBool();
        painter->save();
        painter->fillRect(option.rect, selected ? Qt::black : Qt::white);
        const QString text = index.data(Qt::DisplayRole).toString();
        if (!text.isEmpty()) {
            painter->setFont(option.font);
            painter->setPen(selected ? Qt::white : Qt::black);
            painter->drawText(option.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
        }
        if (option.state & QStyle::State_HasFocus) {
            // The keyboard's place, visible on both colours.
            QPen pen(Qt::gray, 1, Qt::DotLine);
            painter->setPen(pen);
            painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
        }
        painter->restore();
    }
};

} // namespace

class DayGridModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : DayGrid::kRows; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : DayGrid::kColumns; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const int day = dayOf(index);
        if (day == 0)
            return {};
        if (role == Qt::DisplayRole)
            return QString::number(day);
        if (role == kSelectedRole)
            return days[size_t(day - 1)];
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        // The blank cells cannot become current.
        return dayOf(index) == 0 ? Qt::NoItemFlags : Qt::ItemIsEnabled;
    }

    void flip(const QModelIndex &index)
    {
        const int day = dayOf(index);
        if (day == 0)
            return;
        days[size_t(day - 1)] = !days[size_t(day - 1)];
        Q_EMIT dataChanged(index, index, { kSelectedRole });
    }

    recur::MonthDays days {};
};

DayGrid::DayGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new DayGridModel(this))
{
    setModel(m_model);
    setItemDelegate(new DayDelegate(this));
    // The day flags are the selection; the view's own selection would only confuse them.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(kCellWidth);
    verticalHeader()->setDefaultSectionSize(kCellHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setTabKeyNavigation(false);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex &current) { currentCellChanged(current); });
}

recur::MonthDays DayGrid::days() const
{
    return m_model->days;
}

bool DayGrid::isDaySelected(int day) const
{
    return day >= 1 && day <= 31 && m_model->days[size_t(day - 1)];
}

QModelIndex DayGrid::indexOfDay(int day) const
{
    if (day < 1 || day > 31)
        return {};
    return m_model->index((day - 1) / kColumns, (day - 1) % kColumns);
}

QSize DayGrid::sizeHint() const
{
    const int frame = 2 * frameWidth();
    // One more pixel per side for the grid line after the last cell.
    return QSize(kColumns * kCellWidth + frame + 1, kRows * kCellHeight + frame + 1);
}

void DayGrid::focusInEvent(QFocusEvent *event)
{
    // Tabbing in gives the view a current cell of its own choosing: that is no pick.
    m_focusing = true;
    QTableView::focusInEvent(event);
    m_focusing = false;
}

void DayGrid::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex before = currentIndex();
    QTableView::mousePressEvent(event);
    // A click on the cell that already is current changes nothing in the view; it still
    // means "this day", so it flips the day like any other click.
    const QModelIndex at = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && at.isValid() && at == before && at == currentIndex())
        flip(at);
}

void DayGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && currentIndex().isValid()) {
        flip(currentIndex());
        return;
    }
    QTableView::keyPressEvent(event);
}

void DayGrid::currentCellChanged(const QModelIndex &current)
{
    if (!m_focusing)
        flip(current);
}

void DayGrid::flip(const QModelIndex &index)
{
    m_model->flip(index);
}
