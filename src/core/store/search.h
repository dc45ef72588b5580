#pragma once

#include <QDate>
#include <QString>

class CellTable;
struct FilterState;

// Searching the text of the dated tasks, and the steps to the next or prior highlighted day.
namespace search {

// Where the search stands between two steps, and what it last found.
struct SearchState
{
    int searchRow = 0; // the store row the next step examines first
    bool resetToFirstPending = false; // set when a search up found nothing
    bool resetToLastPending = false; // set when a search down found nothing
    // The last hit while the Find dialog is open: its day and the cells that find it in the
    // day list (a row index would go stale when the store is sorted again).
    bool hit = false;
    qint64 hitDay = 0;
    QString hitTime;
    QString hitCategory;
    QString hitWhat;
};

// Starts a search (the Find command): from the first row.
void startSearch(SearchState &state);

// One step (Find Next): examines the rows from `searchRow` on in the direction, candidates
// being the rows the filter lets through, a hit a row whose text matches. On a hit the
// state holds it and `searchRow` stands one row on; without one, the state is reset for
// the next step to start over and the answer is false.
bool FindDialog1Find(const CellTable &store, const FilterState &filter, SearchState &state, const QString &text,
    bool wholeWord, bool matchCase, bool down);

// The message after a step that found nothing.
QString notFoundMessage(const QString &text, bool down);

// The first day-list row showing the hit (the same time, category and text), searching from
// the top when going down and from the bottom when going up; -1 when none does.
int hitRowInDayList(const CellTable &dayList, const SearchState &state, bool fromTop);

// Whether the calendars highlight a day: a task the filter lets through in a wanted state.
bool isHighlighted(const CellTable &store, const FilterState &filter, qint64 day, bool wantDone, bool wantNotDone);

// The next highlighted day after `day`, or `day` itself when there is none.
QDate goForward(const CellTable &store, const FilterState &filter, QDate day, bool wantDone, bool wantNotDone);
// The prior highlighted day before `day`, or `day` itself when there is none.
QDate goBack(const CellTable &store, const FilterState &filter, QDate day, bool wantDone, bool wantNotDone);

} // namespace search
