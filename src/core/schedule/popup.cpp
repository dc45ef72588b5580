#include "popup.h"

#include "store/celltable.h"
#include "store/taskstore.h"
#include "text/texthelpers.h"

namespace popup {

QStringList FillPopupBox(const CellTable &store, const FilterState &filter, qint64 day)
{
    QStringList lines;
    const int first = store::findDayRow(store, filter, day);
    if (first < 0)
        return lines;
    QList<int> rows;
    for (int r = first; r < store.rowCount(); ++r) {
        const QByteArrayView key = store.cellUtf8(store::Key, r);
        if (key.isEmpty() || store::keyDay(key) != day)
            break;
        if (filter.passes(store.cellUtf8(store::Done, r), store.cellUtf8(store::Category, r)))
            rows << r;
    }
    auto line = [&store](int r) -> QString {
        return store.cell(store::Time, r) + QLatin1Char('\t') + firstLine(store.cell(store::What, r));
    };
    int pending = 0;
    int completed = 0;
    for (const int r : rows) {
        if (isYes(store.cell(store::Done, r)))
            ++completed;
        else
            ++pending;
    }
    if (pending > 0) {
        lines.append(QString::number(pending) + QStringLiteral("\t Pending tasks"));
        lines.append(QString());
        for (const int r : rows) {
            if (!isYes(store.cell(store::Done, r)))
                lines << line(r);
        }
    }
    if (completed > 0) {
        if (pending > 0)
            lines.append(QString());
        lines.append(QString::number(completed) + QStringLiteral("\t Completed tasks"));
        lines.append(QString());
        for (const int r : rows) {
            if (store.cell(store::Done, r) != QLatin1String("No"))
                lines << line(r);
        }
    }
    return lines;
}

QStringList summaryLines(const CellTable &store, const FilterState &filter, qint64 day, const QString &holiday)
{
    QStringList lines;
    if (!holiday.isEmpty()) {
        lines.append(holiday);
        lines.append(QString());
    }
    return lines + FillPopupBox(store, filter, day);
}

bool Hover::move(int calendar, int cell, QPoint pos, bool panelVisible)
{
    m_calendar = calendar;
    const QPoint step = pos - m_last;
    bool hide = std::abs(step.x()) > kStillPixels || std::abs(step.y()) > kStillPixels;
    m_last = pos;
    if (cell == m_cell)
        return hide;
    m_cell = cell;
    if (panelVisible) {
        m_countdown = kFollowTicks;
    } else {
        m_countdown = kRestTicks;
        hide = true;
    }
    return hide;
}

bool Hover::tick(bool alarmShowing, bool enabled)
{
    if (alarmShowing)
        return false;
    if (m_countdown >= 0)
        --m_countdown; // below 0 it waits for the next cell
    return enabled && m_countdown == 0;
}

} // namespace popup
