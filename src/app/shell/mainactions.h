#pragma once

#include <QAction>
#include <QIcon>
#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// Every command of the main window: its menus with their shortcuts, the three toolbars and
// the pop-up menus of the lists and the calendars. Actions are named as the commands they
// start (their objectName too). A command whose feature is not built yet stands disabled
// until something is connected to it through wire().
struct MainActions
{
    // Builds the menus into the window's menu bar and creates the toolbars and pop-ups.
    explicit MainActions(QMainWindow *window);

    // Connects an action to a handler and enables it.
    template <class Receiver, class Slot> static void wire(QAction *action, const Receiver *receiver, Slot slot)
    {
        enable(action);
        QObject::connect(action, &QAction::triggered, receiver, slot);
    }
    static void enable(QAction *action);

    static QIcon icon(const QString &name);

    // File
    QAction *Print1, *Search1, *DailyHTML1, *DailyCSV1, *TodoHTML1, *TodoCSV1, *Publish1;
    QAction *Holidays1, *Options1, *Categories1, *ViewCompleted1;
    QAction *Archive1, *Restore1, *Clear1, *Hide1, *Exit1;
    // Edit
    QAction *Undo1, *Redo1;
    QAction *InsertTask1, *InsertTodo1, *EditTask1, *EditTodo1, *DeleteTask1, *DeleteTodo1;
    // Navigate
    QAction *NextTask1, *PriorTask1, *NextMonth1, *PriorMonth1, *NextYear1, *PriorYear1, *Today1;
    // "Filters", a command on the menu bar itself
    QAction *Filters1;
    // Resize
    QAction *CalendarsWidth1, *DayToTodo1, *DailyNotes1, *MaximizeDaily1, *MaximizeTodo1, *Memorize1, *RestoreLayout1;
    // Help
    QAction *Help2, *About1, *HomePage1;

    // Tool buttons without a menu command of their own
    QAction *btFilter; // shows whether a filter is in force
    QAction *ToolButton14; // "Hide calendar"
    QAction *btPrintDay, *btComplete, *ToolButton15;
    QAction *btPrintTodo, *btCompleteTodo;

    QToolBar *ToolBar1; // the main toolbar
    QToolBar *ToolBar2; // the day toolbar, one button per row
    QToolBar *ToolBar3; // the to-do toolbar's actions (laid out by the to-do pane)

    // The pop-up menus of the two lists: the same items, each list its own.
    struct ListMenu
    {
        QMenu *menu;
        QAction *add, *edit, *remove, *print, *exportHtml, *exportCsv, *complete;
    };
    ListMenu gridDayPopup;
    ListMenu gridNondayPopup;

    // The calendars' pop-up menu: exactly one of the two is marked.
    QMenu *calPopup;
    QAction *popupOn, *popupOff;
};
