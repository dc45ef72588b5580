#pragma once

#include <QObject>
#include <QPoint>

#include <array>

#include "platform/services.h"
#include "shell/mainview.h"

class CalendarStrip;
class GridView;
class QDropEvent;
struct SaveResult;
class TaskDocument;

// Moving tasks by dragging a row of a list: onto the other list (the task changes kind),
// onto another place in its own list, or onto a day of a calendar. Nothing changes before
// the drop; after it, what changed is on disk.
class DragDrop : public QObject
{
    Q_OBJECT

public:
    using List = MainView::List;
    // The type a dragged row travels as; its data names the list it comes from.
    static constexpr const char *kMimeType = "application/x-tallyday-task";

    DragDrop(TaskDocument &document, const Services &services, MainView &view, CalendarStrip &calendars,
        GridView *gridDay, GridView *gridNonday, QObject *parent = nullptr);

    // A drop of the source's selected row on row `dropRow` of a list.
    void gridDayDragDrop(List source, List target, int dropRow);
    // A drop of the source's selected row on day cell `cell` (1 to 42; 0 outside the day
    // cells) of calendar `calendarIndex`.
    void cal1DragDrop(List source, int calendarIndex, int cell);

    // Watches the two lists and the four calendars: presses that may start a drag, drags
    // moving over them and drops.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    GridView *listView(List list) const;
    List listOfViewport(QObject *viewport) const;
    int calendarIndexOf(QObject *widget) const;
    // The list a drag event's row comes from; None for anything else.
    static List sourceOf(const QDropEvent *event);
    bool gridDayMouseDown(List list, QPoint at);
    void startDrag(List list);
    bool gridDayDragOver(List target, QDropEvent *event) const;
    bool report(const SaveResult &result);
    // The list's change reaches the file behind it.
    bool saveList(List list);

    TaskDocument &m_document;
    Services m_services;
    MainView &m_view;
    CalendarStrip &m_calendars;
    GridView *m_gridDay;
    GridView *m_gridNonday;
    // Kept apart from the lists: the filter still sees the viewports' events while a list is
    // being destroyed, when asking the list or the strip for its parts is no longer allowed.
    const QObject *m_dayViewport;
    const QObject *m_nondayViewport;
    std::array<const QObject *, 4> m_calendarWidgets;
    List m_pressed = List::None; // the list a drag may start from
    QPoint m_pressAt;
};
