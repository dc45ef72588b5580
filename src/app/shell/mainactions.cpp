#include "mainactions.h"

#include "widgets/colours.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

QAction *makeAction(QObject *owner, const char *name, const QString &text, const QString &iconName = QString())
{
    auto *item = new QAction(text, owner);
    item->setObjectName(QString::fromLatin1(name));
    if (!iconName.isEmpty())
        item->setIcon(MainActions::icon(iconName));
    item->setEnabled(false);
    return item;
}

// A tool button for a menu command: the same command with the button's own hint.
QAction *addButton(
    QToolBar *bar, const char *name, const QString &hint, const QString &iconName, QAction *shared = nullptr)
{
    QAction *onBar = makeAction(bar, name, hint, iconName);
    onBar->setToolTip(hint);
    if (shared) {
        onBar->setEnabled(shared->isEnabled());
        QObject::connect(onBar, &QAction::triggered, shared, &QAction::trigger);
        QObject::connect(shared, &QAction::changed, onBar, [onBar, shared] { onBar->setEnabled(shared->isEnabled()); });
    }
    bar->addAction(onBar);
    return onBar;
}

QToolBar *makeToolBar(QMainWindow *window, const char *name, const QString &title)
{
    auto *bar = new QToolBar(title, window);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setMovable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return bar;
}

MainActions::ListMenu makeListMenu(QWidget *parent, const QString &name)
{
    MainActions::ListMenu items;
    items.menu = new QMenu(parent);
    items.menu->setObjectName(name);
    auto add = [&items](QMenu *menu, const QString &text) {
        QAction *item = menu->addAction(text);
        item->setEnabled(false);
        return item;
    };
    items.add = add(items.menu, QStringLiteral("Add"));
    items.edit = add(items.menu, QStringLiteral("Edit"));
    items.remove = add(items.menu, QStringLiteral("Delete"));
    items.menu->addSeparator();
    items.print = add(items.menu, QStringLiteral("Print"));
    QMenu *exportMenu = items.menu->addMenu(QStringLiteral("Export"));
    items.exportHtml = add(exportMenu, QStringLiteral("HTML Format"));
    items.exportCsv = add(exportMenu, QStringLiteral("CSV Format"));
    items.complete = add(items.menu, QStringLiteral("Mark as completed"));
    return items;
}

} // namespace

QIcon MainActions::icon(const QString &name)
{
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    // Drawn from the scalable picture, so it stays sharp at any scale factor; the bitmap
    // where Qt's SVG support is not installed.
    const QIcon scalable(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
    if (!scalable.pixmap(QSize(16, 16)).isNull())
        return readable::icon(scalable, window);
    QIcon bundled(QStringLiteral(":/icons/") + name + QStringLiteral(".png"));
    if (!bundled.isNull() && !bundled.availableSizes().isEmpty())
        return readable::icon(bundled, window);
    return QIcon::fromTheme(name);
}

void MainActions::enable(QAction *action)
{
    action->setEnabled(true);
}

MainActions::MainActions(QMainWindow *window)
{
    QMenuBar *bar = window->menuBar();
    auto menu = [bar](const char *name, const QString &title) {
        QMenu *m = bar->addMenu(title);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto item = [window](QMenu *m, const char *name, const QString &text, const QKeySequence &key = {},
                    const QString &iconName = QString()) {
        QAction *a = makeAction(window, name, text, iconName);
        if (!key.isEmpty())
            a->setShortcut(key);
        m->addAction(a);
        return a;
    };

    QMenu *file = menu("File1", QStringLiteral("&File"));
    Print1 = item(file, "Print1", QStringLiteral("Print"), {}, QStringLiteral("print"));
    Search1 = item(file, "Search1", QStringLiteral("Find"), QKeySequence(Qt::CTRL | Qt::Key_F), QStringLiteral("find"));
    QMenu *exportMenu = file->addMenu(QStringLiteral("Export"));
    exportMenu->setObjectName(QStringLiteral("Export1"));
    QMenu *daily = exportMenu->addMenu(QStringLiteral("Daily Tasks"));
    DailyHTML1 = item(daily, "DailyHTML1", QStringLiteral("HTML Format"));
    DailyCSV1 = item(daily, "DailyCSV1", QStringLiteral("Comma-Delimited Format"));
    QMenu *todo = exportMenu->addMenu(QStringLiteral("To-do tasks"));
    TodoHTML1 = item(todo, "TodoHTML1", QStringLiteral("HTML Format"));
    TodoCSV1 = item(todo, "TodoCSV1", QStringLiteral("Comma Delimited Format"));
    Publish1 = item(file, "Publish1", QStringLiteral("Publish Calendar as Web Page"), {}, QStringLiteral("publish"));
    file->addSeparator();
    Holidays1 = item(
        file, "Holidays1", QStringLiteral("Holidays"), QKeySequence(Qt::CTRL | Qt::Key_H), QStringLiteral("holidays"));
    Options1 = item(
        file, "Options1", QStringLiteral("Options"), QKeySequence(Qt::CTRL | Qt::Key_O), QStringLiteral("options"));
    Categories1 = item(file, "Categories1", QStringLiteral("Categories"));
    ViewCompleted1
        = item(file, "ViewCompleted1", QStringLiteral("View Completed Tasks"), {}, QStringLiteral("completed"));
    file->addSeparator();
    Archive1 = item(file, "Archive1", QStringLiteral("Archive current data"), {}, QStringLiteral("archive"));
    Restore1 = item(file, "Restore1", QStringLiteral("Restore old data"));
    Clear1 = item(file, "Clear1", QStringLiteral("Clear all data"));
    file->addSeparator();
    Hide1 = item(file, "Hide1", QStringLiteral("Hide"), QKeySequence(Qt::ALT | Qt::Key_H), QStringLiteral("hide"));
    Exit1 = item(file, "Exit1", QStringLiteral("Exit"), QKeySequence(Qt::ALT | Qt::Key_X));

    QMenu *edit = menu("Edit1", QStringLiteral("&Edit"));
    Undo1 = item(edit, "Undo1", QStringLiteral("Undo"), QKeySequence::Undo);
    Redo1 = item(edit, "Redo1", QStringLiteral("Redo"));
    Redo1->setShortcuts({ QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y) });
    edit->addSeparator();
    InsertTask1 = item(edit, "InsertTask1", QStringLiteral("Insert new task"), QKeySequence(Qt::CTRL | Qt::Key_Insert),
        QStringLiteral("add"));
    InsertTodo1
        = item(edit, "InsertTodo1", QStringLiteral("Insert new to-do"), QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    edit->addSeparator();
    EditTask1 = item(edit, "EditTask1", QStringLiteral("Edit existing task"), QKeySequence(Qt::CTRL | Qt::Key_Return),
        QStringLiteral("edit"));
    EditTodo1
        = item(edit, "EditTodo1", QStringLiteral("Edit existing to-do"), QKeySequence(Qt::SHIFT | Qt::Key_Return));
    edit->addSeparator();
    DeleteTask1 = item(edit, "DeleteTask1", QStringLiteral("Delete existing task"),
        QKeySequence(Qt::CTRL | Qt::Key_Delete), QStringLiteral("delete"));
    DeleteTodo1
        = item(edit, "DeleteTodo1", QStringLiteral("Delete existing to-do"), QKeySequence(Qt::SHIFT | Qt::Key_Delete));

    QMenu *navigate = menu("Navigate1", QStringLiteral("&Navigate"));
    NextTask1
        = item(navigate, "NextTask1", QStringLiteral("Next Highlighted Task"), QKeySequence(Qt::CTRL | Qt::Key_N));
    PriorTask1
        = item(navigate, "PriorTask1", QStringLiteral("Prior Highlighted Task"), QKeySequence(Qt::CTRL | Qt::Key_P));
    navigate->addSeparator();
    NextMonth1 = item(navigate, "NextMonth1", QStringLiteral("Next Month"), QKeySequence(Qt::Key_PageDown),
        QStringLiteral("next-month"));
    PriorMonth1 = item(navigate, "PriorMonth1", QStringLiteral("Prior Month"), QKeySequence(Qt::Key_PageUp),
        QStringLiteral("prev-month"));
    navigate->addSeparator();
    NextYear1 = item(navigate, "NextYear1", QStringLiteral("Next Year"), QKeySequence(Qt::CTRL | Qt::Key_PageDown),
        QStringLiteral("next-year"));
    PriorYear1 = item(navigate, "PriorYear1", QStringLiteral("Prior Year"), QKeySequence(Qt::CTRL | Qt::Key_PageUp),
        QStringLiteral("prev-year"));
    navigate->addSeparator();
    Today1 = item(
        navigate, "Today1", QStringLiteral("Today"), QKeySequence(Qt::CTRL | Qt::Key_Home), QStringLiteral("today"));

    Filters1 = makeAction(window, "Filters1", QStringLiteral("Filters"));
    bar->addAction(Filters1);

    QMenu *resize = menu("Resize1", QStringLiteral("&Resize"));
    CalendarsWidth1 = item(resize, "CalendarsWidth1", QStringLiteral("4-month Calendars Width"));
    DayToTodo1 = item(resize, "DayToTodo1", QStringLiteral("Day to To-do Tasks"));
    DailyNotes1 = item(resize, "DailyNotes1", QStringLiteral("Daily Tasks/Notes"));
    resize->addSeparator();
    MaximizeDaily1
        = item(resize, "MaximizeDaily1", QStringLiteral("Maximize daily tasks"), QKeySequence(Qt::CTRL | Qt::Key_D));
    MaximizeTodo1
        = item(resize, "MaximizeTodo1", QStringLiteral("Maximize to-do tasks"), QKeySequence(Qt::CTRL | Qt::Key_T));
    resize->addSeparator();
    Memorize1 = item(resize, "Memorize1", QStringLiteral("Memorize screen size/positions"));
    RestoreLayout1 = item(
        resize, "RestoreLayout1", QStringLiteral("Restore screen size/positions"), QKeySequence(Qt::CTRL | Qt::Key_R));

    // No mnemonic: Alt+H belongs to "Hide", and a menu's mnemonic would make it ambiguous.
    QMenu *help = menu("Help1", QStringLiteral("Help"));
    Help2 = item(help, "Help2", QStringLiteral("Help"), QKeySequence(Qt::Key_F1), QStringLiteral("help"));
    About1 = item(help, "About1", QStringLiteral("About"), {}, QStringLiteral("about"));
    HomePage1 = item(help, "HomePage1", QStringLiteral("Veltrane Home Page"));

    ToolBar1 = makeToolBar(window, "ToolBar1", QStringLiteral("Main"));
    addButton(ToolBar1, "ToolButton1", QStringLiteral("Goto today"), QStringLiteral("today"), Today1);
    addButton(
        ToolBar1, "ToolButton2", QStringLiteral("Find text in date oriented task"), QStringLiteral("find"), Search1);
    btFilter = addButton(ToolBar1, "btFilter", QStringLiteral("Filter tasks"), QStringLiteral("filter"), Filters1);
    ToolBar1->addSeparator();
    addButton(ToolBar1, "ToolButton4", QStringLiteral("Print"), QStringLiteral("print"), Print1);
    addButton(
        ToolBar1, "ToolButton5", QStringLiteral("Publish calendar as web page"), QStringLiteral("publish"), Publish1);
    addButton(ToolBar1, "ToolButton6", QStringLiteral("Archive"), QStringLiteral("archive"), Archive1);
    ToolBar1->addSeparator();
    addButton(
        ToolBar1, "ToolButton8", QStringLiteral("View Completed Tasks"), QStringLiteral("completed"), ViewCompleted1);
    addButton(ToolBar1, "ToolButton9", QStringLiteral("Options"), QStringLiteral("options"), Options1);
    addButton(ToolBar1, "ToolButton10", QStringLiteral("Holidays"), QStringLiteral("holidays"), Holidays1);
    ToolBar1->addSeparator();
    addButton(ToolBar1, "ToolButton12", QStringLiteral("Help"), QStringLiteral("help"), Help2);
    addButton(ToolBar1, "ToolButton13", QStringLiteral("About Tallyday"), QStringLiteral("about"), About1);
    ToolButton14 = addButton(ToolBar1, "ToolButton14", QStringLiteral("Hide calendar"), QStringLiteral("hide"));

    ToolBar2 = makeToolBar(window, "ToolBar2", QStringLiteral("Day"));
    ToolBar2->setOrientation(Qt::Vertical);
    addButton(ToolBar2, "btAdd", QStringLiteral("Add new task"), QStringLiteral("add"), InsertTask1);
    addButton(ToolBar2, "btEdit", QStringLiteral("Edit task"), QStringLiteral("edit"), EditTask1);
    addButton(ToolBar2, "btDelete", QStringLiteral("Delete task"), QStringLiteral("delete"), DeleteTask1);
    btPrintDay = addButton(ToolBar2, "btPrintDay", QStringLiteral("Print date tasks"), QStringLiteral("print-day"));
    btComplete = addButton(ToolBar2, "btComplete", QStringLiteral("Mark as completed"), QStringLiteral("mark-done"));
    ToolButton15
        = addButton(ToolBar2, "ToolButton15", QStringLiteral("Toggle alarm (yes/no)"), QStringLiteral("alarm"));

    ToolBar3 = makeToolBar(window, "ToolBar3", QStringLiteral("To-do"));
    addButton(ToolBar3, "btAddTodo", QStringLiteral("Add new"), QStringLiteral("add"), InsertTodo1);
    addButton(ToolBar3, "btEditTodo", QStringLiteral("Edit task"), QStringLiteral("edit"), EditTodo1);
    addButton(ToolBar3, "btDeleteTodo", QStringLiteral("Delete"), QStringLiteral("delete"), DeleteTodo1);
    btPrintTodo = addButton(ToolBar3, "btPrintTodo", QStringLiteral("Print tasks"), QStringLiteral("print-day"));
    btCompleteTodo
        = addButton(ToolBar3, "btCompleteTodo", QStringLiteral("Mark as completed"), QStringLiteral("mark-done"));

    gridDayPopup = makeListMenu(window, QStringLiteral("gridDayPopup"));
    gridNondayPopup = makeListMenu(window, QStringLiteral("gridNondayPopup"));

    calPopup = new QMenu(window);
    calPopup->setObjectName(QStringLiteral("calPopup"));
    popupOn = calPopup->addAction(QStringLiteral("Enable popup summary"));
    popupOff = calPopup->addAction(QStringLiteral("Disable popup summary"));
    auto *choices = new QActionGroup(calPopup);
    for (QAction *choice : { popupOn, popupOff }) {
        choice->setCheckable(true);
        choice->setEnabled(false);
        choices->addAction(choice);
    }
}
