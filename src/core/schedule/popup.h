#pragma once

#include <QPoint>
#include <QStringList>

class CellTable;
struct FilterState;

// The popup summary of a day under the mouse: its lines, and when it appears.
namespace popup {

// The day's task lines: the pending tasks (done cell not "Yes") under a count heading, then
// the completed ones (done cell "Yes") under theirs, each task as its time, a TAB and the
// first line of its text, in store order. Only the tasks the filter lets through.
QStringList FillPopupBox(const CellTable &store, const FilterState &filter, qint64 day);

// Everything the list shows: a holiday's name and an empty line first, then the task lines.
QStringList summaryLines(const CellTable &store, const FilterState &filter, qint64 day, const QString &holiday);

// The mouse over the calendars and the countdown of timer ticks before the summary is built:
// ten ticks of rest in one day cell, two when the summary is already up and the mouse
// moves on in small steps.
class Hover
{
public:
    static constexpr int kRestTicks = 10;
    static constexpr int kFollowTicks = 2;
    static constexpr int kStillPixels = 6;

    // A move over calendar `calendar` at `pos`, over day cell `cell` (1 to 42, or -1 off the
    // days). Answers whether the panel is to be hidden.
    bool move(int calendar, int cell, QPoint pos, bool panelVisible);
    // A timer tick. Answers whether the summary is to be built now. Nothing moves while an
    // alarm is on screen.
    bool tick(bool alarmShowing, bool enabled);

    int calendar() const { return m_calendar; }
    int cell() const { return m_cell; }
    int countdown() const { return m_countdown; }

private:
    int m_calendar = -1;
    int m_cell = 0;
    QPoint m_last;
    int m_countdown = 0;
};

} // namespace popup
