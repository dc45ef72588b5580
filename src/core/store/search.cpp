#include "search.h"

#include "celltable.h"
#include "taskstore.h"
#include "text/datevalue.h"
#include "text/texthelpers.h"

#include <algorithm>

namespace search {

namespace {

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - ('a' - 'A')) : c;
}

// The text the user looks for, ready to be found in a cell's bytes. Folding only the
// letters a to z keeps UTF-8 intact and agrees with textMatches.
struct Needle
{
    QByteArray bytes;
    bool matchCase;

    bool foundIn(QByteArrayView text) const
    {
        if (bytes.isEmpty())
            return false;
        if (matchCase)
            return text.contains(bytes);
        const auto at = std::search(
            text.begin(), text.end(), bytes.begin(), bytes.end(), [](char a, char b) { return upper(a) == b; });
        return at != text.end();
    }
};

bool examine(const CellTable &store, const FilterState &filter, int row, const Needle &needle, const QString &text,
    bool wholeWord, bool matchCase)
{
    if (!filter.passes(store.cellUtf8(store::Done, row), store.cellUtf8(store::Category, row)))
        return false;
    // Every kind of match contains the text: most rows are settled on their bytes alone.
    if (!needle.foundIn(store.cellUtf8(store::What, row)))
        return false;
    return !wholeWord || textMatches(store.cell(store::What, row), true, matchCase, text);
}

// The first data row whose day is after `day` (the store is in day order).
int firstRowAfter(const CellTable &store, qint64 day)
{
    int lo = 1;
    int hi = store.rowCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (store::keyDay(store.cellUtf8(store::Key, mid)) <= day)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

QDate dateOfDay(qint64 day)
{
    return datevalue::toDate(DateValue(day));
}

} // namespace

void startSearch(SearchState &state)
{
    state.searchRow = 0;
    state.hit = false;
}

bool FindDialog1Find(const CellTable &store, const FilterState &filter, SearchState &state, const QString &text,
    bool wholeWord, bool matchCase, bool down)
{
    const Needle needle { (matchCase ? text : asciiUpper(text)).toUtf8(), matchCase };
    const int last = store.rowCount() - 1;
    if (down) {
        if (state.resetToFirstPending)
            state.searchRow = 0;
        state.resetToFirstPending = false;
    } else {
        if (state.resetToLastPending)
            state.searchRow = last;
        state.resetToLastPending = false;
    }
    state.searchRow = std::clamp(state.searchRow, 0, std::max(last + 1, 0));
    while (down ? state.searchRow <= last : state.searchRow > 0) {
        const int row = state.searchRow;
        if (row >= 1 && examine(store, filter, row, needle, text, wholeWord, matchCase)) {
            state.hit = true;
            state.hitDay = store::keyDay(store.cellUtf8(store::Key, row));
            state.hitTime = store.cell(store::Time, row);
            state.hitCategory = store.cell(store::Category, row);
            state.hitWhat = store.cell(store::What, row);
            state.searchRow += down ? 1 : -1; // the next step goes on after the hit
            return true;
        }
        state.searchRow += down ? 1 : -1;
    }
    if (down) {
        state.searchRow = 0;
        state.resetToLastPending = true;
    } else {
        state.searchRow = last;
        state.resetToFirstPending = true;
    }
    return false;
}

QString notFoundMessage(const QString &text, bool down)
{
    return QStringLiteral("Could not find \"") + text + QStringLiteral("\" in any calendar task. ")
        + (down ? QStringLiteral("Search reset to first task date") : QStringLiteral("Search reset to last task date"));
}

int hitRowInDayList(const CellTable &dayList, const SearchState &state, bool fromTop)
{
    if (!state.hit)
        return -1;
    auto matches = [&](int row) {
        return dayList.cell(daylist::Time, row) == state.hitTime
            && dayList.cell(daylist::Category, row) == state.hitCategory
            && dayList.cell(daylist::What, row) == state.hitWhat;
    };
    if (fromTop) {
        for (int r = 1; r < dayList.rowCount(); ++r)
            if (matches(r))
                return r;
    } else {
        for (int r = dayList.rowCount() - 1; r >= 1; --r)
            if (matches(r))
                return r;
    }
    return -1;
}

bool isHighlighted(const CellTable &store, const FilterState &filter, qint64 day, bool wantDone, bool wantNotDone)
{
    return store::dayTaskState(store, filter, day, wantDone, wantNotDone).state != -1;
}

QDate goForward(const CellTable &store, const FilterState &filter, QDate day, bool wantDone, bool wantNotDone)
{
    if (!wantDone && !wantNotDone)
        return day;
    const qint64 from = datevalue::dayNumber(day);
    // The store is in day order: the days after `day`, each looked at once.
    for (int r = firstRowAfter(store, from); r < store.rowCount();) {
        const qint64 rowDay = store::keyDay(store.cellUtf8(store::Key, r));
        if (isHighlighted(store, filter, rowDay, wantDone, wantNotDone))
            return dateOfDay(rowDay);
        r = firstRowAfter(store, rowDay);
    }
    return day;
}

QDate goBack(const CellTable &store, const FilterState &filter, QDate day, bool wantDone, bool wantNotDone)
{
    if (!wantDone && !wantNotDone)
        return day;
    const qint64 before = datevalue::dayNumber(day);
    for (int r = firstRowAfter(store, before - 1) - 1; r >= 1;) {
        const QByteArrayView key = store.cellUtf8(store::Key, r);
        const qint64 rowDay = store::keyDay(key);
        if (!key.isEmpty() && isHighlighted(store, filter, rowDay, wantDone, wantNotDone))
            return dateOfDay(rowDay);
        r = firstRowAfter(store, rowDay - 1) - 1; // the last row of the day before
    }
    return day;
}

} // namespace search
