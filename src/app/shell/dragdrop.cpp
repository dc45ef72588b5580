#include "dragdrop.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "store/dragrules.h"
#include "store/taskdocument.h"
#include "store/taskstore.h"
#include "text/regional.h"
#include "text/texthelpers.h"
#include "widgets/calendarstrip.h"
#include "widgets/gridview.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace {

using editflow::TaskList;

TaskList kindOf(MainView::List list)
{
    return list == MainView::List::Day ? TaskList::Day : TaskList::Todo;
}

QByteArray nameOf(MainView::List list)
{
    return list == MainView::List::Day ? QByteArrayLiteral("day") : QByteArrayLiteral("todo");
}

} // namespace

DragDrop::DragDrop(TaskDocument &document, const Services &services, MainView &view, CalendarStrip &calendars,
    GridView *gridDay, GridView *gridNonday, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_services(services)
    , m_view(view)
    , m_calendars(calendars)
    , m_gridDay(gridDay)
    , m_gridNonday(gridNonday)
    , m_dayViewport(gridDay->viewport())
    , m_nondayViewport(gridNonday->viewport())
{
    for (GridView *list : { m_gridDay, m_gridNonday }) {
        list->viewport()->setAcceptDrops(true);
        list->viewport()->installEventFilter(this);
    }
    for (int i = 0; i < 4; ++i) {
        m_calendarWidgets[size_t(i)] = m_calendars.calendar(i);
        m_calendars.calendar(i)->setAcceptDrops(true);
        m_calendars.calendar(i)->installEventFilter(this);
    }
}

GridView *DragDrop::listView(List list) const
{
    return list == List::Day ? m_gridDay : list == List::Todo ? m_gridNonday : nullptr;
}

DragDrop::List DragDrop::listOfViewport(QObject *viewport) const
{
    if (viewport == m_dayViewport)
        return List::Day;
    if (viewport == m_nondayViewport)
        return List::Todo;
    return List::None;
}

int DragDrop::calendarIndexOf(QObject *widget) const
{
    for (int i = 0; i < 4; ++i) {
        if (m_calendarWidgets[size_t(i)] == widget)
            return i;
    }
    return -1;
}

DragDrop::List DragDrop::sourceOf(const QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (!data || !data->hasFormat(QString::fromLatin1(kMimeType)))
        return List::None;
    const QByteArray name = data->data(QString::fromLatin1(kMimeType));
    return name == "day" ? List::Day : name == "todo" ? List::Todo : List::None;
}

bool DragDrop::eventFilter(QObject *watched, QEvent *event)
{
    const List list = listOfViewport(watched);
    const int calendar = list == List::None ? calendarIndexOf(watched) : -1;
    if (list == List::None && calendar < 0)
        return QObject::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (list != List::None) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            m_pressed = List::None;
            if (mouse->button() == Qt::LeftButton)
                gridDayMouseDown(list, mouse->position().toPoint());
        }
        break;
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        m_pressed = List::None;
        break;
    case QEvent::MouseMove:
        if (list != List::None && m_pressed == list) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (!(mouse->buttons() & Qt::LeftButton)) {
                m_pressed = List::None;
                break;
            }
            if ((mouse->position().toPoint() - m_pressAt).manhattanLength() >= QApplication::startDragDistance()) {
                m_pressed = List::None;
                startDrag(list);
            }
            return true; // the list must not drag its selection meanwhile
        }
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        const bool accepted = list != List::None ? gridDayDragOver(list, drag) : sourceOf(drag) != List::None;
        if (accepted) {
            drag->setDropAction(Qt::MoveAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const List source = sourceOf(drop);
        if (source == List::None)
            return true;
        drop->setDropAction(Qt::MoveAction);
        drop->accept();
        const QPoint at = drop->position().toPoint();
        if (list != List::None)
            gridDayDragDrop(source, list, listView(list)->rowAt(at.y()) + 1);
        else
            cal1DragDrop(source, calendar, m_calendars.calendar(calendar)->cellAt(at));
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool DragDrop::gridDayMouseDown(List list, QPoint at)
{
    // A drag may start on a row under the header of a list that has one.
    const GridView *view = listView(list);
    if (view->rowAt(at.y()) < 0 || view->table()->rowCount() < 2)
        return false;
    m_pressed = list;
    m_pressAt = at;
    return true;
}

void DragDrop::startDrag(List list)
{
    auto *drag = new QDrag(listView(list));
    auto *data = new QMimeData;
    data->setData(QString::fromLatin1(kMimeType), nameOf(list));
    drag->setMimeData(data);
    drag->exec(Qt::MoveAction);
}

bool DragDrop::gridDayDragOver(List target, QDropEvent *event) const
{
    return sourceOf(event) != List::None && listView(target)->rowAt(event->position().toPoint().y()) >= 0;
}

bool DragDrop::report(const SaveResult &result)
{
    if (!result.ok)
        showError(m_services.dialogs, result.message());
    return result.ok;
}

bool DragDrop::saveList(List list)
{
    if (list == List::Day)
        return report(m_document.writeShownDay());
    m_document.todoEdited();
    // Saved at once, so that a crash never loses a moved task.
    return report(m_document.saveTodo());
}

void DragDrop::gridDayDragDrop(List source, List target, int dropRow)
{
    if (source == List::None || target == List::None)
        return;
    CellTable &sourceList = source == List::Day ? m_document.dayList() : m_document.todoList();
    CellTable &targetList = target == List::Day ? m_document.dayList() : m_document.todoList();
    const int selected = m_view.currentRow(source);
    const TaskDocument::ChangeScope change(m_document, QStringLiteral("Move"));
    if (source != target) {
        if (!dragrules::isDropRow(sourceList, selected) || !editflow::rowInUse(sourceList, selected))
            return;
        if (m_document.options().dragConfirm
            && !m_services.dialogs.confirm(dragrules::listDropQuestion(kindOf(source))))
            return;
        const QString now = formatDateValue(QStringLiteral("t"), m_services.clock.nowValue(), m_document.regional());
        const int placed = dragrules::moveBetweenLists(sourceList, kindOf(source), selected, targetList, dropRow, now);
        if (placed < 0)
            return;
        // Where the task goes first: a failed save then leaves it where it was on disk,
        // never on neither list.
        if (saveList(target))
            saveList(source);
        else if (source == List::Todo)
            m_document.todoEdited();
        m_view.selectRow(target, placed);
        return;
    }
    const int placed = dragrules::reorderRow(targetList, selected, dropRow);
    if (placed < 0 || placed == selected)
        return;
    saveList(target);
    m_view.selectRow(target, placed);
}

void DragDrop::cal1DragDrop(List source, int calendarIndex, int cell)
{
    if (source == List::None || calendarIndex < 0 || calendarIndex > 3)
        return;
    const MonthCalendar *calendar = m_calendars.calendar(calendarIndex);
    const QDate first(calendar->year(), calendar->month(), 1);
    const QDate target = dragrules::dropTargetDay(first, calendar->cellOfDate(first), cell);
    // Off the day cells (the labels, the weekday header) no day is meant: nothing happens.
    if (!target.isValid())
        return;
    const CellTable &sourceList = source == List::Day ? m_document.dayList() : m_document.todoList();
    const int selected = m_view.currentRow(source);
    if (!dragrules::isDropRow(sourceList, selected) || !editflow::rowInUse(sourceList, selected))
        return;
    if (m_document.options().dragConfirm
        && !m_services.dialogs.confirm(QString::fromLatin1(dragrules::kCalendarDropQuestion)))
        return;
    const QString now = formatDateValue(QStringLiteral("t"), m_services.clock.nowValue(), m_document.regional());
    const dragrules::DraggedTask task = dragrules::draggedTask(sourceList, kindOf(source), selected, now);
    const TaskDocument::ChangeScope change(
        m_document, QStringLiteral("Move \"") + captionLine(task.what, 30) + QLatin1Char('"'));
    // One save of the store takes the task off its day and onto the new one; a to-do is
    // taken off its list on disk only once it is on its day there.
    report(m_document.moveTask(sourceList.rowId(selected), datevalue::dayNumber(target), task.time));
    m_calendars.activate(calendarIndex);
    m_calendars.setSelectedDay(target);
    m_calendars.repaintCalendars(true);
}
