#include "mainwindow.h"

#include "schedule/dayview.h"
#include "schedule/holidays.h"
#include "settings/settingsstore.h"
#include "shell/about.h"
#include "shell/helpwindow.h"
#include "shell/logging.h"
#include "shell/resources.h"
#include "shell/trayicon.h"
#include "shell/version.h"
#include "store/datafolder.h"
#include "store/gridfile.h"
#include "text/datehelpers.h"
#include "text/texthelpers.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"
#include "store/todolist.h"
#include "store/complete.h"
#include "store/filter.h"
#include "store/listbox.h"
#include "widgets/datenavigator.h"
#include "widgets/gridview.h"
#include "widgets/monthcalendar.h"
#include "widgets/shadowlabel.h"

#include <QAction>
#include <QMenu>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QWindowStateChangeEvent>

namespace {

QFont fontOf(const FontOption &option)
{
    QFont font(option.name);
    if (option.size > 0)
        font.setPointSize(option.size);
    font.setBold(option.bold);
    font.setItalic(option.italic);
    font.setUnderline(option.underline);
    font.setStrikeOut(option.strikeOut);
    return font;
}

} // namespace

TfrmMain::TfrmMain(const MainServices &services, QWidget *parent)
    : QMainWindow(parent)
    , gridStore(store::newStore())
    , dayList(store::newDayList())
    , gridNonday(newTodoList())
    , gridHoliday(3, 4)
    , options(services.dataFolder)
    , m_services(services)
    , m_timerPool(this)
{
    setObjectName(QStringLiteral("TfrmMain"));
    initAppResources();
    FormCreate();
    createLongLivedWindows();
    // The window sees every key before the focused control does.
    qApp->installEventFilter(this);
}

TfrmMain::~TfrmMain()
{
    qApp->removeEventFilter(this);
}

void TfrmMain::createLongLivedWindows()
{
    // Created in this order, each able to use the ones before it.
    m_filterWindow = new TfrmFilter(m_services.dataFolder, m_services.dialogs, m_services.settings, this);
    m_filterWindow->setObjectName(QStringLiteral("TfrmFilter"));
    filter = m_filterWindow->filterState();
    m_completeWindow = new TfrmComplete(
        m_services.dataFolder, m_services.dialogs, [this] { return m_confirmDeletes; }, m_services.regional,
        m_services.clock, this);
    m_completeWindow->setObjectName(QStringLiteral("TfrmComplete"));
    for (const char *name : {"Filters1", "ViewCompleted1", "Categories1"})
        action(name)->setEnabled(true);
    connect(m_filtersAction, &QAction::triggered, this, &TfrmMain::Filters1Click);
    connect(action("ViewCompleted1"), &QAction::triggered, this, &TfrmMain::ViewCompleted1Click);
    connect(action("Categories1"), &QAction::triggered, this, &TfrmMain::Categories1Click);
}

QString TfrmMain::filtersCaption() const
{
    return m_filtersAction->text();
}

void TfrmMain::showFilterIndicator()
{
    const bool on = filtersOn(filter);
    m_filtersAction->setText(on ? QStringLiteral("FILTERS ON") : QStringLiteral("Filters"));
    m_filterButton->setIcon(icon(on ? QStringLiteral("filter-on") : QStringLiteral("filter")));
    m_filterButton->setToolTip(QStringLiteral("Filter tasks"));
}

void TfrmMain::Filters1Click()
{
    const bool confirmed = m_filterWindow->exec() == QDialog::Accepted;
    filter = m_filterWindow->filterState();
    if (confirmed) {
        cal1DateChange(); // the day list shows what the filter now lets through
        ColorAllCalendars(true);
    }
    showFilterIndicator();
}

void TfrmMain::ViewCompleted1Click()
{
    m_completeWindow->exec();
}

void TfrmMain::Categories1Click()
{
    editCategoryChoices(this, m_services.dataFolder, m_services.dialogs);
}

QFont TfrmMain::gridNondayGetCellColor(const CellTable &table, int doneColumn, int row, const QFont &listFont) const
{
    if (!options.strikeOut || row < 1)
        return listFont;
    // Exactly strike-through for a done row, and no style at all for the others.
    QFont font = listFont;
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(dayview::strikesOut(table.cell(doneColumn, row)));
    return font;
}

QString TfrmMain::dataPath(const char *name) const
{
    return joinPath(m_services.dataFolder, QString::fromLatin1(name));
}

bool TfrmMain::trayAvailable() const
{
    return m_tray && m_tray->isAvailable();
}

void TfrmMain::FormCreate()
{
    // The smallest width scales with the screen's pixels per inch (637 at 96).
    const qreal dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    m_minTrackWidth = int(637 * dpi) / 96;
    setMinimumWidth(m_minTrackWidth);

    m_alarmShowing = false;
    m_splitterFlash = false;

    // Until the options dialog exists the options come straight from the settings.
    options = readOptions(m_services.settings, m_services.dataFolder);
    createMenus();
    createToolbars();
    createLayout();
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(m_status, 1);

    loadWindowLayout();
    loadTable(gridStore, datafile::kStore);
    loadTable(gridNonday, datafile::kTodo);
    m_gridNonday->refresh();
    setWindowTitle(QStringLiteral("Tallyday"));

    // The five triggers, in the order the dispatcher tests them.
    const int intervals[5] = {50000, 1000, 40, 120, 1000};
    for (int i = 0; i < 5; ++i)
        m_triggers[i] = m_timerPool.add(intervals[i]);
    connect(&m_timerPool, &TimerPool::triggered, this, &TfrmMain::timerPoolAllTriggers);

    QIcon icon(QStringLiteral(":/icons/tallyday.png"));
    setWindowIcon(icon);
    m_tray = new TrayIcon(icon, this);
    connect(m_tray, &TrayIcon::clicked, this, &TfrmMain::showFromTray);
    connect(m_tray, &TrayIcon::doubleClicked, this, &TfrmMain::showFromTray);
    m_tray->show();
    UpdateStatusClock();
}

QIcon TfrmMain::icon(const QString &name) const
{
    QIcon bundled(QStringLiteral(":/icons/") + name + QStringLiteral(".png"));
    if (!bundled.isNull() && !bundled.availableSizes().isEmpty())
        return bundled;
    return QIcon::fromTheme(name);
}

QAction *TfrmMain::makeAction(const char *name, const QString &text, const QString &iconName)
{
    auto *item = new QAction(text, this);
    item->setObjectName(QString::fromLatin1(name));
    if (!iconName.isEmpty())
        item->setIcon(icon(iconName));
    return item;
}

QAction *TfrmMain::action(const char *name) const
{
    return findChild<QAction *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

void TfrmMain::createMenus()
{
    // A command whose feature is not built yet stays visible but disabled.
    auto add = [this](QMenu *menu, const char *name, const QString &text, const QKeySequence &key = {},
                      void (TfrmMain::*slot)() = nullptr, const QString &iconName = QString()) {
        QAction *item = makeAction(name, text, iconName);
        if (!key.isEmpty())
            item->setShortcut(key);
        if (slot)
            connect(item, &QAction::triggered, this, slot);
        else
            item->setEnabled(false);
        menu->addAction(item);
        return item;
    };
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    add(file, "Print1", QStringLiteral("Print"), {}, nullptr, QStringLiteral("print"));
    add(file, "Search1", QStringLiteral("Find"), QKeySequence(Qt::CTRL | Qt::Key_F), nullptr, QStringLiteral("find"));
    QMenu *exportMenu = file->addMenu(QStringLiteral("Export"));
    exportMenu->setObjectName(QStringLiteral("Export1"));
    QMenu *daily = exportMenu->addMenu(QStringLiteral("Daily Tasks"));
    add(daily, "DailyHTML1", QStringLiteral("HTML Format"));
    add(daily, "DailyCSV1", QStringLiteral("Comma-Delimited Format"));
    QMenu *todo = exportMenu->addMenu(QStringLiteral("To-do tasks"));
    add(todo, "TodoHTML1", QStringLiteral("HTML Format"));
    add(todo, "TodoCSV1", QStringLiteral("Comma Delimited Format"));
    add(file, "Publish1", QStringLiteral("Publish Calendar as Web Page"), {}, nullptr, QStringLiteral("publish"));
    file->addSeparator();
    add(file, "Holidays1", QStringLiteral("Holidays"), QKeySequence(Qt::CTRL | Qt::Key_H), nullptr, QStringLiteral("holidays"));
    add(file, "Options1", QStringLiteral("Options"), QKeySequence(Qt::CTRL | Qt::Key_O), nullptr, QStringLiteral("options"));
    add(file, "Categories1", QStringLiteral("Categories"));
    add(file, "ViewCompleted1", QStringLiteral("View Completed Tasks"), {}, nullptr, QStringLiteral("completed"));
    file->addSeparator();
    add(file, "Archive1", QStringLiteral("Archive current data"), {}, nullptr, QStringLiteral("archive"));
    add(file, "Restore1", QStringLiteral("Restore old data"));
    add(file, "Clear1", QStringLiteral("Clear all data"));
    file->addSeparator();
    add(file, "Hide1", QStringLiteral("Hide"), QKeySequence(Qt::ALT | Qt::Key_H), &TfrmMain::Hide1Click, QStringLiteral("hide"));
    add(file, "Exit1", QStringLiteral("Exit"), QKeySequence(Qt::ALT | Qt::Key_X), &TfrmMain::Exit1Click);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    add(edit, "InsertTask1", QStringLiteral("Insert new task"), QKeySequence(Qt::CTRL | Qt::Key_Insert), nullptr, QStringLiteral("add"));
    add(edit, "InsertTodo1", QStringLiteral("Insert new to-do"), QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    edit->addSeparator();
    add(edit, "EditTask1", QStringLiteral("Edit existing task"), QKeySequence(Qt::CTRL | Qt::Key_Return), nullptr, QStringLiteral("edit"));
    add(edit, "EditTodo1", QStringLiteral("Edit existing to-do"), QKeySequence(Qt::SHIFT | Qt::Key_Return));
    edit->addSeparator();
    add(edit, "DeleteTask1", QStringLiteral("Delete existing task"), QKeySequence(Qt::CTRL | Qt::Key_Delete), nullptr, QStringLiteral("delete"));
    add(edit, "DeleteTodo1", QStringLiteral("Delete existing to-do"), QKeySequence(Qt::SHIFT | Qt::Key_Delete));

    QMenu *navigate = menuBar()->addMenu(QStringLiteral("&Navigate"));
    navigate->setObjectName(QStringLiteral("Navigate1"));
    add(navigate, "NextTask1", QStringLiteral("Next Highlighted Task"), QKeySequence(Qt::CTRL | Qt::Key_N));
    add(navigate, "PriorTask1", QStringLiteral("Prior Highlighted Task"), QKeySequence(Qt::CTRL | Qt::Key_P));
    navigate->addSeparator();
    add(navigate, "NextMonth1", QStringLiteral("Next Month"), QKeySequence(Qt::Key_PageDown), &TfrmMain::NextMonth1Click, QStringLiteral("next-month"));
    add(navigate, "PriorMonth1", QStringLiteral("Prior Month"), QKeySequence(Qt::Key_PageUp), &TfrmMain::PriorMonth1Click, QStringLiteral("prev-month"));
    navigate->addSeparator();
    add(navigate, "NextYear1", QStringLiteral("Next Year"), QKeySequence(Qt::CTRL | Qt::Key_PageDown), &TfrmMain::NextYear1Click, QStringLiteral("next-year"));
    add(navigate, "PriorYear1", QStringLiteral("Prior Year"), QKeySequence(Qt::CTRL | Qt::Key_PageUp), &TfrmMain::PriorYear1Click, QStringLiteral("prev-year"));
    navigate->addSeparator();
    add(navigate, "Today1", QStringLiteral("Today"), QKeySequence(Qt::CTRL | Qt::Key_Home), &TfrmMain::Today1Click, QStringLiteral("today"));

    m_filtersAction = makeAction("Filters1", QStringLiteral("Filters"));
    m_filtersAction->setEnabled(false);
    menuBar()->addAction(m_filtersAction);

    QMenu *resize = menuBar()->addMenu(QStringLiteral("&Resize"));
    resize->setObjectName(QStringLiteral("Resize1"));
    add(resize, "CalendarsWidth1", QStringLiteral("4-month Calendars Width"));
    add(resize, "DayToTodo1", QStringLiteral("Day to To-do Tasks"));
    add(resize, "DailyNotes1", QStringLiteral("Daily Tasks/Notes"));
    resize->addSeparator();
    add(resize, "MaximizeDaily1", QStringLiteral("Maximize daily tasks"), QKeySequence(Qt::CTRL | Qt::Key_D));
    add(resize, "MaximizeTodo1", QStringLiteral("Maximize to-do tasks"), QKeySequence(Qt::CTRL | Qt::Key_T));
    resize->addSeparator();
    add(resize, "Memorize1", QStringLiteral("Memorize screen size/positions"));
    add(resize, "RestoreLayout1", QStringLiteral("Restore screen size/positions"), QKeySequence(Qt::CTRL | Qt::Key_R));

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    add(help, "Help2", QStringLiteral("Help"), QKeySequence(Qt::Key_F1), &TfrmMain::Help2Click, QStringLiteral("help"));
    add(help, "About1", QStringLiteral("About"), {}, &TfrmMain::About1Click, QStringLiteral("about"));
    add(help, "HomePage1", QStringLiteral("Veltrane Home Page"), {}, &TfrmMain::HomePage1Click);
}

void TfrmMain::createToolbars()
{
    // A tool button shares its menu command's action where there is one; its hint is its own.
    auto button = [this](QToolBar *bar, const char *name, const QString &hint, const QString &iconName,
                         QAction *shared = nullptr) {
        QAction *item = shared;
        if (!item) {
            item = makeAction(name, hint, iconName);
            item->setEnabled(false);
        }
        QAction *onBar = item;
        if (shared) {
            // The same command with the button's own hint.
            onBar = makeAction(name, hint, iconName);
            onBar->setEnabled(shared->isEnabled());
            connect(onBar, &QAction::triggered, shared, &QAction::trigger);
            connect(shared, &QAction::changed, onBar, [onBar, shared] { onBar->setEnabled(shared->isEnabled()); });
        }
        onBar->setToolTip(hint);
        bar->addAction(onBar);
        return onBar;
    };

    auto *top = new QToolBar(QStringLiteral("Main"), this);
    top->setObjectName(QStringLiteral("ToolBar1"));
    top->setMovable(false);
    top->setIconSize(QSize(16, 16));
    top->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button(top, "ToolButton1", QStringLiteral("Goto today"), QStringLiteral("today"), action("Today1"));
    button(top, "ToolButton2", QStringLiteral("Find text in date oriented task"), QStringLiteral("find"), action("Search1"));
    m_filterButton = button(top, "btFilter", QStringLiteral("Filter tasks"), QStringLiteral("filter"), m_filtersAction);
    top->addSeparator();
    button(top, "ToolButton4", QStringLiteral("Print"), QStringLiteral("print"), action("Print1"));
    button(top, "ToolButton5", QStringLiteral("Publish calendar as web page"), QStringLiteral("publish"), action("Publish1"));
    button(top, "ToolButton6", QStringLiteral("Archive"), QStringLiteral("archive"), action("Archive1"));
    top->addSeparator();
    button(top, "ToolButton8", QStringLiteral("View Completed Tasks"), QStringLiteral("completed"), action("ViewCompleted1"));
    button(top, "ToolButton9", QStringLiteral("Options"), QStringLiteral("options"), action("Options1"));
    button(top, "ToolButton10", QStringLiteral("Holidays"), QStringLiteral("holidays"), action("Holidays1"));
    top->addSeparator();
    button(top, "ToolButton12", QStringLiteral("Help"), QStringLiteral("help"), action("Help2"));
    button(top, "ToolButton13", QStringLiteral("About Tallyday"), QStringLiteral("about"), action("About1"));
    QAction *hide = button(top, "ToolButton14", QStringLiteral("Hide calendar"), QStringLiteral("hide"));
    hide->setEnabled(true);
    connect(hide, &QAction::triggered, this, &TfrmMain::hideToTray);
    m_toolBar1 = top;

    auto *day = new QToolBar(QStringLiteral("Day"), this);
    day->setObjectName(QStringLiteral("ToolBar2"));
    day->setOrientation(Qt::Vertical);
    day->setIconSize(QSize(16, 16));
    day->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button(day, "btAdd", QStringLiteral("Add new task"), QStringLiteral("add"), action("InsertTask1"));
    button(day, "btEdit", QStringLiteral("Edit task"), QStringLiteral("edit"), action("EditTask1"));
    button(day, "btDelete", QStringLiteral("Delete task"), QStringLiteral("delete"), action("DeleteTask1"));
    button(day, "btPrintDay", QStringLiteral("Print date tasks"), QStringLiteral("print-day"));
    button(day, "btComplete", QStringLiteral("Mark as completed"), QStringLiteral("mark-done"));
    button(day, "ToolButton15", QStringLiteral("Toggle alarm (yes/no)"), QStringLiteral("alarm"));
    m_toolBar2 = day;

    auto *todo = new QToolBar(QStringLiteral("To-do"), this);
    todo->setObjectName(QStringLiteral("ToolBar3"));
    todo->setIconSize(QSize(16, 16));
    button(todo, "btAddTodo", QStringLiteral("Add new"), QStringLiteral("add"), action("InsertTodo1"));
    button(todo, "btEditTodo", QStringLiteral("Edit task"), QStringLiteral("edit"), action("EditTodo1"));
    button(todo, "btDeleteTodo", QStringLiteral("Delete"), QStringLiteral("delete"), action("DeleteTodo1"));
    button(todo, "btPrintTodo", QStringLiteral("Print tasks"), QStringLiteral("print-day"));
    button(todo, "btCompleteTodo", QStringLiteral("Mark as completed"), QStringLiteral("mark-done"));
    m_toolBar3 = todo;
}

void TfrmMain::createPopupMenus()
{
    // The two lists share one layout of pop-up menu; the commands arrive with their features.
    auto listMenu = [this](GridView *list, const QString &prefix) {
        auto *menu = new QMenu(list);
        menu->setObjectName(prefix + QStringLiteral("Popup"));
        for (const QString &text : {QStringLiteral("Add"), QStringLiteral("Edit"), QStringLiteral("Delete")})
            menu->addAction(text)->setEnabled(false);
        menu->addSeparator();
        menu->addAction(QStringLiteral("Print"))->setEnabled(false);
        QMenu *exportMenu = menu->addMenu(QStringLiteral("Export"));
        exportMenu->addAction(QStringLiteral("HTML Format"))->setEnabled(false);
        exportMenu->addAction(QStringLiteral("CSV Format"))->setEnabled(false);
        menu->addAction(QStringLiteral("Mark as completed"))->setEnabled(false);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, menu,
                [menu, list](const QPoint &at) { menu->popup(list->viewport()->mapToGlobal(at)); });
    };
    listMenu(m_gridDay, QStringLiteral("gridDay"));
    listMenu(m_gridNonday, QStringLiteral("gridNonday"));

    auto *calendarMenu = new QMenu(this);
    calendarMenu->setObjectName(QStringLiteral("calPopup"));
    m_popupOn = calendarMenu->addAction(QStringLiteral("Enable popup summary"));
    m_popupOff = calendarMenu->addAction(QStringLiteral("Disable popup summary"));
    for (QAction *item : {m_popupOn, m_popupOff}) {
        item->setCheckable(true);
        item->setEnabled(false); // switched with the popup summary itself
    }
    for (MonthCalendar *cal : m_cal) {
        cal->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(cal, &QWidget::customContextMenuRequested, calendarMenu,
                [calendarMenu, cal](const QPoint &at) { calendarMenu->popup(cal->mapToGlobal(at)); });
    }
}

void TfrmMain::createLayout()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("pnlMain"));
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto *top = new QWidget(central);
    top->setObjectName(QStringLiteral("pnlTop"));
    top->setFixedHeight(25);
    auto *topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(m_toolBar1);
    outer->addWidget(top);

    m_split2 = new QSplitter(Qt::Vertical, central);
    m_split2->setObjectName(QStringLiteral("split2"));
    outer->addWidget(m_split2, 1);

    m_split1 = new QSplitter(Qt::Horizontal, m_split2);
    m_split1->setObjectName(QStringLiteral("split1"));

    // Left of split1: the four calendars and the navigator.
    auto *calendars = new QWidget(m_split1);
    calendars->setObjectName(QStringLiteral("pnlCalendars"));
    auto *calLayout = new QGridLayout(calendars);
    calLayout->setContentsMargins(2, 2, 2, 2);
    calLayout->setSpacing(2);
    for (int i = 0; i < 4; ++i) {
        auto *cal = new MonthCalendar(calendars);
        cal->setObjectName(QStringLiteral("cal") + QString::number(i + 1));
        cal->setRegionalSettings(m_services.regional);
        cal->setActive(false);
        cal->setBevel(MonthCalendar::Bevel::Lowered);
        cal->setCellColourHook([this, i](QDate day, int) { return calendarCellColours(i, day); });
        connect(cal, &MonthCalendar::pressed, this, [this, i] { cal1Click(i); });
        connect(cal, &MonthCalendar::dateChanged, this, [this] { cal1DateChange(); });
        connect(cal, &MonthCalendar::monthChanged, this, [this] { cal1MonthChange(); });
        if (i == 0)
            connect(cal, &MonthCalendar::doubleClicked, this, [this] { cal1CellDblClick(); });
        calLayout->addWidget(cal, i / 2, i % 2);
        m_cal[i] = cal;
    }
    m_nav = new DateNavigator(calendars);
    m_nav->setObjectName(QStringLiteral("nav"));
    m_nav->setFormatter([this](QDate date) {
        return formatDateValue(QStringLiteral("ddddd"), datevalue::fromDate(date), m_services.regional);
    });
    connect(m_nav, &DateNavigator::dateChanged, this, &TfrmMain::navChange);
    calLayout->addWidget(m_nav, 2, 0, 1, 2);
    calLayout->setRowStretch(0, 1);
    calLayout->setRowStretch(1, 1);

    // Right of split1: the date heading, the day list over the notes, the day toolbar.
    auto *dayArea = new QWidget(m_split1);
    auto *dayLayout = new QGridLayout(dayArea);
    dayLayout->setContentsMargins(0, 0, 0, 0);
    dayLayout->setSpacing(0);
    m_lblDate = new ShadowLabel(QStringLiteral("Tasks for "), dayArea);
    m_lblDate->setObjectName(QStringLiteral("lblDate"));
    m_lblDate->installEventFilter(this); // a double click goes to today
    dayLayout->addWidget(m_lblDate, 0, 0);
    m_splitDay = new QSplitter(Qt::Vertical, dayArea);
    m_splitDay->setObjectName(QStringLiteral("splitDay"));
    m_gridDay = new GridView(m_splitDay);
    m_gridDay->setObjectName(QStringLiteral("gridDay"));
    m_gridDay->setTable(&dayList);
    store::gridDayGetFormat(dayList, m_services.regional, m_services.clock);
    m_memWhat = new QPlainTextEdit(m_splitDay);
    m_memWhat->setObjectName(QStringLiteral("memWhat"));
    m_memWhat->installEventFilter(this);
    connect(m_memWhat, &QPlainTextEdit::textChanged, this, [this] { m_memoEdited = true; });
    dayLayout->addWidget(m_splitDay, 1, 0);
    dayLayout->addWidget(m_toolBar2, 0, 1, 2, 1);
    dayLayout->setRowStretch(1, 1);

    // Below split2: the to-do heading, the to-do list and its toolbar.
    auto *todoArea = new QWidget(m_split2);
    auto *todoLayout = new QGridLayout(todoArea);
    todoLayout->setContentsMargins(0, 0, 0, 0);
    todoLayout->setSpacing(0);
    m_esLabel1 = new ShadowLabel(QStringLiteral("To-do Tasks"), todoArea);
    m_esLabel1->setObjectName(QStringLiteral("EsLabel1"));
    todoLayout->addWidget(m_esLabel1, 0, 0, 1, 2);
    m_gridNonday = new GridView(todoArea);
    m_gridNonday->setObjectName(QStringLiteral("gridNonday"));
    m_gridNonday->setTable(&gridNonday);
    todoLayout->addWidget(m_gridNonday, 1, 0);
    // The to-do toolbar: two rows, three buttons then two.
    auto *todoButtons = new QWidget(todoArea);
    todoButtons->setObjectName(QStringLiteral("pnlToolBar3"));
    auto *buttonGrid = new QGridLayout(todoButtons);
    buttonGrid->setContentsMargins(2, 0, 2, 0);
    buttonGrid->setSpacing(0);
    const QList<QAction *> todoActions = m_toolBar3->actions();
    for (int i = 0; i < todoActions.size(); ++i) {
        auto *tool = new QToolButton(todoButtons);
        tool->setDefaultAction(todoActions[i]);
        tool->setAutoRaise(true);
        tool->setIconSize(QSize(16, 16));
        tool->setToolButtonStyle(Qt::ToolButtonIconOnly);
        buttonGrid->addWidget(tool, i / 3, i % 3);
    }
    buttonGrid->setRowStretch(2, 1);
    m_toolBar3->hide();
    todoLayout->addWidget(todoButtons, 1, 1);
    todoLayout->setRowStretch(1, 1);

    // The kept positions follow the user's drags, not whatever a small window squeezed them to.
    connect(m_split1, &QSplitter::splitterMoved, this, [this] { readSplitters(); });
    connect(m_split2, &QSplitter::splitterMoved, this, [this] { readSplitters(); });
    connect(m_splitDay, &QSplitter::splitterMoved, this, [this] { readSplitters(); });
    m_split2->setStretchFactor(0, 1);
    m_split1->setStretchFactor(1, 1);
    m_splitDay->setStretchFactor(0, 1);
    setCentralWidget(central);

    for (GridView *list : {m_gridDay, m_gridNonday}) {
        list->setHighlightWhenUnfocused(false);
        list->installEventFilter(this);
        list->setRowFontHook([this, list](int row, const QFont &font) {
            const CellTable *table = list->table();
            return gridNondayGetCellColor(*table, list == m_gridDay ? 3 : 2, row, font);
        });
    }
    createPopupMenus();
    connect(m_gridDay->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { DrawExtraMemo(); });
    connect(m_gridDay, &GridView::sorted, this, [this] { DrawExtraMemo(); });
    applyFonts();
}
int TfrmMain::clientHeight() const
{
    return height() - menuBar()->sizeHint().height(); // the menu bar is not client area
}

void TfrmMain::loadWindowLayout()
{
    // Read in this order; a value that is absent takes its default, one that cannot be
    // read is skipped and the current value stays.
    auto read = [this](const char *name, int fallback, int &into) {
        const std::optional<QString> text = m_services.settings.layoutValue(QString::fromLatin1(name));
        if (!text) {
            into = fallback;
            return;
        }
        bool ok = false;
        const int value = text->trimmed().toInt(&ok);
        if (ok)
            into = value;
    };
    int height = kDefaultClientHeight;
    int width = kDefaultClientWidth;
    read("Split2", kDefaultSplit2, split2);
    read("ClientHeight", kDefaultClientHeight, height);
    read("ClientWidth", kDefaultClientWidth, width);
    read("Split1", kDefaultSplit1, split1);
    read("SplitDay", kDefaultSplitDay, splitDay);
    if (height > 0 && width > 0)
        resize(std::max(width, m_minTrackWidth), height + menuBar()->sizeHint().height()); // the menu bar is not client area
}

void TfrmMain::saveWindowLayout()
{
    auto write = [this](const char *name, int value) {
        m_services.settings.setLayoutValue(QString::fromLatin1(name), QString::number(value));
    };
    write("Split2", split2);
    write("ClientHeight", clientHeight());
    write("ClientWidth", width());
    write("Split1", split1);
    write("SplitDay", splitDay);
    reportSave(m_services.settings.sync());
}

void TfrmMain::loadTable(CellTable &table, const char *name)
{
    const QString path = dataPath(name);
    const LoadResult result = loadDataFile(table, path, m_services.clock.now());
    if (result.status != LoadResult::Status::Unreadable)
        return;
    if (result.keptAs.isEmpty())
        m_blockedFiles.insert(path); // never overwrite what could not be moved aside
    m_services.dialogs.showError(result.message);
}

bool TfrmMain::reportSave(const SaveResult &result)
{
    if (!result.ok)
        m_services.dialogs.showError(result.message());
    return result.ok;
}

bool TfrmMain::saveTable(const CellTable &table, const char *name)
{
    const QString path = dataPath(name);
    if (m_blockedFiles.contains(path)) {
        m_services.dialogs.showError(QStringLiteral("Couldn't save ") + path
                                     + QStringLiteral(": the unreadable file of that name is still there. "
                                                      "Move it away to let the program save again."));
        return false;
    }
    return reportSave(writeGridFile(table, path));
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShown) {
        m_firstShown = true;
        FormShow();
    }
    m_timerPool.setEnabled(trigger(3), true);
}

void TfrmMain::FormShow()
{
    const Qt::DayOfWeek weekStart = options.sunday ? Qt::Sunday : Qt::Monday;
    for (MonthCalendar *cal : m_cal)
        cal->setWeekStart(weekStart);
    fix2000(m_services.regional);
    for (MonthCalendar *cal : m_cal)
        cal->setRegionalSettings(m_services.regional);
    loadTable(gridHoliday, datafile::kHolidays);
    ReadSettings();
    m_inMonthSync = false;
    m_inDateChange = false;

    // Today in the second calendar, which becomes the active one.
    const QDate today = m_services.clock.now().date();
    m_nav->setDate(today);
    m_active = 1;
    m_previous = 1;
    for (int i = 0; i < 4; ++i) {
        m_cal[i]->setActive(i == 1);
        m_cal[i]->setBevel(i == 1 ? MonthCalendar::Bevel::Raised : MonthCalendar::Bevel::Lowered);
        m_cal[i]->setSelectedDayColour(palette().color(i == 1 ? QPalette::Light : QPalette::Button));
    }
    m_inDateChange = true; // the day is read once, below
    m_cal[1]->setDate(today);
    updateAppropriateMonth();
    m_inDateChange = false;
    store::readFromStore(gridStore, filter, selectedDayNumber(), dayList);
    m_gridDay->refresh();
    m_gridDay->setCurrentTableRow(1);
    UpdateLabels(1);
    DrawExtraMemo();

    m_cal[1]->setFocus();
    applySplitters();
    m_gridDay->setFocus();
    m_timerPool.setEnabled(trigger(3), true);
    m_timerPool.setEnabled(trigger(4), options.qPopup);
    showFilterIndicator();
    m_gridDay->setFocus();
    UpdateStatusClock();
}

void TfrmMain::startHidden()
{
    if (trayAvailable())
        return; // only the tray icon shows
    showMinimized();
}

void TfrmMain::TrayIconAppMinimize()
{
    // Written as they are: sorting waits for the close.
    if (!m_blockedFiles.contains(dataPath(datafile::kStore)))
        reportSave(writeGridFile(gridStore, dataPath(datafile::kStore)));
    saveTable(gridNonday, datafile::kTodo);
}

void TfrmMain::hideToTray()
{
    QMetaObject::invokeMethod(this, &TfrmMain::doHideToTray, Qt::QueuedConnection);
}

void TfrmMain::doHideToTray()
{
    if (m_closed)
        return;
    if (trayAvailable())
        hide();
    else if (!isMinimized())
        showMinimized(); // no tray: the window must stay reachable
    TrayIconAppMinimize();
}

void TfrmMain::showFromTray()
{
    QMetaObject::invokeMethod(this, &TfrmMain::doShowFromTray, Qt::QueuedConnection);
}

void TfrmMain::doShowFromTray()
{
    if (m_closed)
        return;
    showNormal(); // also the first showing when the window was never shown
    raise();
    activateWindow();
    qCInfo(lcShell) << "main window shown";
}

QDate TfrmMain::selectedDay() const
{
    return m_active >= 0 ? m_cal[m_active]->date() : QDate();
}

qint64 TfrmMain::selectedDayNumber() const
{
    return datevalue::dayNumber(selectedDay());
}

QString TfrmMain::dateHeadingText() const
{
    return m_lblDate->text();
}

QColor TfrmMain::dateHeadingColour() const
{
    return m_lblDate->textColour();
}

QString TfrmMain::todoHeadingText() const
{
    return m_esLabel1->text();
}

void TfrmMain::updateAppropriateMonth()
{
    if (m_active < 0)
        return;
    m_calendarsStable = false;
    // Each calendar is derived from its neighbour, so a day cut to a short month stays cut.
    for (int i = m_active - 1; i >= 0; --i)
        m_cal[i]->setDate(m_cal[i + 1]->date().addMonths(-1));
    for (int i = m_active + 1; i < 4; ++i)
        m_cal[i]->setDate(m_cal[i - 1]->date().addMonths(1));
    m_calendarsStable = true;
    for (MonthCalendar *cal : m_cal)
        cal->repaint();
}

void TfrmMain::cal1Click(int index)
{
    m_previous = m_active;
    m_active = index;
    for (int i = 0; i < 4; ++i) {
        if (i == index)
            continue;
        m_cal[i]->setActive(false);
        m_cal[i]->setSelectedDayColour(palette().color(QPalette::Button));
        m_cal[i]->setBevel(MonthCalendar::Bevel::Lowered);
    }
    m_cal[index]->setActive(true);
    m_cal[index]->setSelectedDayColour(palette().color(QPalette::Light));
    if (index != m_previous) {
        m_cal[index]->setBevel(MonthCalendar::Bevel::Raised);
        cal1DateChange();
    }
    // The popup summary hides here once it exists.
}

void TfrmMain::cal1DateChange()
{
    if (m_inDateChange)
        return;
    m_inDateChange = true;
    if (m_active >= 0) {
        m_previous = m_active;
        store::readFromStore(gridStore, filter, selectedDayNumber(), dayList);
        m_gridDay->refresh();
        m_gridDay->setCurrentTableRow(1);
        UpdateLabels(m_active);
        DrawExtraMemo();
        m_nav->setDate(selectedDay()); // no navigator change runs from this
    }
    m_inDateChange = false;
}

void TfrmMain::cal1MonthChange()
{
    if (m_active < 0 || !m_calendarsStable || m_inMonthSync)
        return;
    m_inMonthSync = true;
    updateAppropriateMonth();
    m_nav->setDate(selectedDay());
    m_inMonthSync = false;
}

void TfrmMain::navChange(QDate date)
{
    if (m_inNavChange)
        return;
    m_inMonthSync = true;
    m_inNavChange = true;
    if (m_active >= 0) {
        m_cal[m_active]->setDate(date);
        updateAppropriateMonth();
    }
    m_inMonthSync = false;
    m_inNavChange = false;
}

CellColours TfrmMain::calendarCellColours(int index, QDate day) const
{
    CellColours colours;
    if (!m_firstShown || !m_calendarsStable || !day.isValid()) {
        colours.valid = false; // painted again once the calendars are set
        return colours;
    }
    const bool holiday = colourHolidays && !holidays::findHoliday(gridHoliday, day, m_services.regional).isEmpty();
    const dayview::ColourOptions colourOptions = dayview::colourOptionsOf(options, colourHolidays);
    const dayview::DayColours look = dayview::dayColours(gridStore, filter, datevalue::dayNumber(day), holiday, colourOptions);
    colours.background = look.background >= 0 ? colornumber::toColor(look.background) : palette().color(QPalette::Button);
    colours.text = look.text >= 0 ? colornumber::toColor(look.text) : palette().color(QPalette::WindowText);
    Q_UNUSED(index); // the active calendar draws its own selected cell over these
    return colours;
}

TfrmMain::CellLook TfrmMain::cellLook(int calendarIndex, QDate day) const
{
    const MonthCalendar *cal = m_cal[calendarIndex];
    if (day.year() != cal->year() || day.month() != cal->month())
        return {};
    const CellColours colours = calendarCellColours(calendarIndex, day);
    if (!colours.valid)
        return {};
    if (cal->isActive() && day == cal->date())
        return {true, QColor(), cal->selectedDayColour()};
    return {true, colours.text, colours.background};
}

void TfrmMain::ColorAllCalendars(bool all)
{
    if (all) {
        for (MonthCalendar *cal : m_cal)
            cal->update();
    } else if (m_active >= 0) {
        m_cal[m_active]->update();
    }
}

void TfrmMain::UpdateLabels(int calendarIndex)
{
    m_esLabel1->setText(dayview::todoHeading(gridNonday.rowCount()));
    if (calendarIndex != m_active || m_active < 0)
        return;
    const QDate day = selectedDay();
    const QString holiday = holidays::findHoliday(gridHoliday, day, m_services.regional);
    const dayview::DateHeading heading = dayview::dateHeading(datevalue::fromDate(day), m_services.clock.nowValue(),
                                                              dayList.rowCount(), holiday, m_useShadows,
                                                              m_services.regional);
    m_lblDate->setText(heading.caption);
    m_lblDate->setTextColour(colornumber::toColor(heading.colour));
}

void TfrmMain::DrawExtraMemo()
{
    const int row = m_gridDay->currentTableRow();
    const QString what = row >= 1 ? dayList.cell(2, row) : QString();
    const QSignalBlocker blocker(m_memWhat);
    m_memWhat->setPlainText(textToFlatMemo(what));
    m_memoEdited = false;
    m_memoRow = row;
    m_memWhat->setVisible(!what.isEmpty());
    const bool done = row >= 1 && dayList.cell(3, row) == QLatin1String("Yes");
    QPalette pal = m_memWhat->palette();
    pal.setColor(QPalette::Base, done && !what.isEmpty() ? palette().color(QPalette::Button) : QColor(248, 252, 201));
    m_memWhat->setPalette(pal);
}

void TfrmMain::memWhatExit()
{
    // Only a text the user changed goes back: a visit must not merge a note's lines.
    if (!m_memoEdited || m_memoRow < 1 || m_memoRow >= dayList.rowCount() || m_active < 0)
        return;
    m_memoEdited = false;
    dayList.setCell(2, m_memoRow, memoToText(m_memWhat->toPlainText().split(QLatin1Char('\n'))));
    reportSave(store::writeToStore(gridStore, filter, selectedDayNumber(), dayList, dataPath(datafile::kStore)));
    m_gridDay->refresh();
    ColorAllCalendars(false);
}

void TfrmMain::ReadSettings()
{
    m_useShadows = m_services.settings.readBool(QStringLiteral("Options"), QStringLiteral("Shadows"), true);
    m_defaultCategory = m_services.settings.readText(QStringLiteral("Options"), QStringLiteral("Category"), QString());
    m_confirmDeletes = m_services.settings.readBool(QStringLiteral("Options"), QStringLiteral("Confirm"), true);
    ApplySettings(m_useShadows);
    m_timerPool.setEnabled(trigger(4), options.qPopup);
    m_popupOn->setChecked(options.qPopup);
    m_popupOff->setChecked(!options.qPopup);
}

void TfrmMain::ApplySettings(bool shadows)
{
    const QFont title = fontOf(options.titleFont);
    const qreal dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    const int height = int(options.titleFont.size * dpi / 72) + 8 + (shadows ? 3 : 0);
    for (ShadowLabel *label : {m_lblDate, m_esLabel1}) {
        label->setFont(title);
        label->setFixedHeight(height);
        label->setShadowDepth(shadows ? 4 : 1);
    }
    const QColor colour = colornumber::toColor(shadows ? dayview::kBlue : dayview::kNavy);
    m_esLabel1->setTextColour(colour);
    if (m_filterWindow)
        m_filterWindow->applyTitleStyle(title, shadows ? 4 : 1, colour);
    if (m_completeWindow)
        m_completeWindow->applyTitleStyle(title, shadows ? 4 : 1, colour);
    if (m_active >= 0)
        UpdateLabels(m_active);
    else
        m_lblDate->setTextColour(colour);
    const Qt::DayOfWeek weekStart = options.sunday ? Qt::Sunday : Qt::Monday;
    for (MonthCalendar *cal : m_cal)
        cal->setWeekStart(weekStart);
}

void TfrmMain::applyFonts()
{
    const QFont calendarFont = fontOf(options.calFont);
    for (MonthCalendar *cal : m_cal)
        cal->setFont(calendarFont);
    m_nav->setFont(calendarFont);
    const QFont listFont = fontOf(options.gridFont);
    for (GridView *list : {m_gridDay, m_gridNonday}) {
        list->setListFont(listFont);
        list->setRowHeight(options.rowHeight);
    }
    m_memWhat->setFont(listFont);
}

void TfrmMain::cal1CellDblClick()
{
    // Opens the task editor (edit with a task, add without) once the editor exists.
}

void TfrmMain::gridDayEnter(GridView *list)
{
    Q_UNUSED(list);
    m_listsFocused = true;
}

void TfrmMain::applySplitters()
{
    const int width = std::max(m_split1->width(), 1);
    m_split1->setSizes({split1, std::max(width - split1 - m_split1->handleWidth(), 0)});
    const int height = std::max(m_split2->height(), 1);
    m_split2->setSizes({split2, std::max(height - split2 - m_split2->handleWidth(), 0)});
    const int dayHeight = std::max(m_splitDay->height(), 1);
    m_splitDay->setSizes({splitDay, std::max(dayHeight - splitDay - m_splitDay->handleWidth(), 0)});
}

void TfrmMain::readSplitters()
{
    if (!m_firstShown)
        return; // never laid out: keep the values as read
    split1 = m_split1->sizes().value(0, split1);
    split2 = m_split2->sizes().value(0, split2);
    if (m_memWhat->isVisible())
        splitDay = m_splitDay->sizes().value(0, splitDay);
}

void TfrmMain::setActiveDate(QDate date)
{
    if (m_active >= 0 && date.isValid())
        m_cal[m_active]->setDate(date);
}

void TfrmMain::moveSelectedDay(int days)
{
    setActiveDate(selectedDay().addDays(days));
}

void TfrmMain::moveActiveBy(int months, int years)
{
    if (m_active < 0)
        return;
    const QDate target = selectedDay().addMonths(months).addYears(years);
    if (years == 0) {
        setActiveDate(target); // the month change re-dates the others
        return;
    }
    setActiveDate(target);
    m_inMonthSync = true;
    m_inDateChange = true;
    updateAppropriateMonth();
    m_inMonthSync = false;
    m_inDateChange = false;
}

void TfrmMain::NextMonth1Click()
{
    moveActiveBy(1, 0);
}

void TfrmMain::PriorMonth1Click()
{
    moveActiveBy(-1, 0);
}

void TfrmMain::NextYear1Click()
{
    moveActiveBy(0, 1);
}

void TfrmMain::PriorYear1Click()
{
    moveActiveBy(0, -1);
}

void TfrmMain::Today1Click()
{
    if (!m_firstShown)
        return;
    m_previous = m_active;
    for (int i = 0; i < 4; ++i) {
        m_cal[i]->setBevel(i == 1 ? MonthCalendar::Bevel::Raised : MonthCalendar::Bevel::Lowered);
        m_cal[i]->setActive(i == 1);
        m_cal[i]->setSelectedDayColour(palette().color(i == 1 ? QPalette::Light : QPalette::Button));
    }
    m_active = 1;
    const QDate today = m_services.clock.now().date();
    if (m_cal[1]->date() == today)
        cal1DateChange(); // the day may have changed while the date did not
    else
        m_cal[1]->setDate(today);
    m_inMonthSync = true;
    m_inDateChange = true;
    updateAppropriateMonth();
    m_inMonthSync = false;
    m_inDateChange = false;
}

void TfrmMain::ResizeGridDay()
{
    // Fixed columns at 96 dpi, scaled to the screen; "What" takes the rest.
    const qreal dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    auto scaled = [dpi](int pixels) { return int(pixels * dpi) / 96; };
    const int fixedDay[] = {scaled(56), scaled(72), 0, scaled(40), scaled(40)};
    const int dayRest = m_gridDay->viewport()->width() - fixedDay[0] - fixedDay[1] - fixedDay[3] - fixedDay[4];
    for (int c = 0; c < 5; ++c)
        dayList.setColWidth(c, c == 2 ? std::max(dayRest, scaled(40)) : fixedDay[c]);
    m_gridDay->applyColumnWidths();
}

void TfrmMain::ResizeGridNonDay()
{
    const qreal dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    auto scaled = [dpi](int pixels) { return int(pixels * dpi) / 96; };
    const int rest = m_gridNonday->viewport()->width() - scaled(72) - scaled(40);
    gridNonday.setColWidth(0, scaled(72));
    gridNonday.setColWidth(1, std::max(rest, scaled(40)));
    gridNonday.setColWidth(2, scaled(40));
    m_gridNonday->applyColumnWidths();
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_gridDay && event->type() == QEvent::Resize)
        ResizeGridDay();
    if (watched == m_gridNonday && event->type() == QEvent::Resize)
        ResizeGridNonDay();
    if (watched == m_memWhat && event->type() == QEvent::FocusOut)
        memWhatExit();
    if ((watched == m_gridDay || watched == m_gridNonday) && event->type() == QEvent::FocusIn)
        gridDayEnter(static_cast<GridView *>(watched));
    if (watched == m_lblDate && event->type() == QEvent::MouseButtonDblClick)
        Today1Click();
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this && isActiveWindow()) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (event->type() == QEvent::ShortcutOverride) {
                // Keys the window takes must not turn into shortcuts of the focused control.
                if (key->key() == Qt::Key_Escape)
                    return true;
                return false;
            }
            if (FormKeyDown(key))
                return true;
        }
    }
    if (event->type() == QEvent::KeyRelease) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this && widget == QApplication::focusWidget())
            FormKeyUp(static_cast<QKeyEvent *>(event));
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TfrmMain::FormKeyDown(QKeyEvent *event)
{
    // The popup summary hides at any key once it exists.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))
        return false;
    QWidget *focus = QApplication::focusWidget();
    switch (event->key()) {
    case Qt::Key_Escape:
        return true; // swallowed: it never reaches the focused control
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (focus == m_memWhat)
            return false;
        moveSelectedDay(event->key() == Qt::Key_Left ? -1 : 1);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (focus != m_gridDay)
            return false;
        const int rows = dayList.rowCount() - 1;
        const int current = m_gridDay->currentTableRow();
        const bool atEdge = event->key() == Qt::Key_Up ? current <= 1 : current >= rows;
        if (rows > 1 && !atEdge)
            return false; // the list moves its selection
        moveSelectedDay(event->key() == Qt::Key_Up ? -7 : 7);
        return true;
    }
    default:
        return false;
    }
}

void TfrmMain::FormKeyUp(QKeyEvent *event)
{
    Q_UNUSED(event);
    // The date alone; the clock puts the time back within a second.
    m_status->setText(QStringLiteral("Today is ")
                      + formatDateValue(QStringLiteral("dddddd"), m_services.clock.nowValue(), m_services.regional));
}


void TfrmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || m_closed)
        return;
    auto *change = static_cast<QWindowStateChangeEvent *>(event);
    if (isMinimized() && !(change->oldState() & Qt::WindowMinimized)) {
        TrayIconAppMinimize();
        if (trayAvailable())
            hideToTray();
    }
}

void TfrmMain::Hide1Click()
{
    // The alarm sound stops here once alarms exist.
    hideToTray();
}

void TfrmMain::Exit1Click()
{
    close();
}

bool TfrmMain::FormCloseQuery()
{
    m_timerPool.disableAll();
    return true;
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TfrmMain::FormClose()
{
    m_closed = true;
    m_alarmShowing = true; // no alarm is raised from here on
    if (m_blockedFiles.contains(dataPath(datafile::kStore))) {
        store::compactAndSort(gridStore);
        saveTable(gridStore, datafile::kStore); // reports why it cannot
    } else {
        reportSave(store::SortGridStore(gridStore, dataPath(datafile::kStore)));
    }
    saveTable(gridNonday, datafile::kTodo);
    saveWindowLayout();
    if (version::isStale(version::buildDate(), m_services.clock.now().date()))
        m_services.dialogs.showPlain(version::staleNotice());
}

void TfrmMain::Help2Click()
{
    HelpWindow::showTopic(100, this);
}

void TfrmMain::About1Click()
{
    TfrmAbout about(m_services.clock, m_services.dialogs, m_services.opener, this);
    about.exec();
}

void TfrmMain::HomePage1Click()
{
    if (!m_services.opener.open(version::kHomePage))
        showError(m_services.dialogs, QStringLiteral("Couldn't open web browser for home page"));
}

void TfrmMain::timerPoolAllTriggers(TimerPool::Handle handle)
{
    if (handle == m_triggers[0])
        Timer1Timer();
    else if (handle == m_triggers[1])
        tmPanelColorTimer();
    else if (handle == m_triggers[2])
        Timer2Timer();
    else if (handle == m_triggers[3])
        tmPopupTimer();
    else if (handle == m_triggers[4])
        UpdateStatusClock();
}

void TfrmMain::Timer1Timer()
{
}

void TfrmMain::tmPanelColorTimer()
{
    m_panelFlash = !m_panelFlash;
}

void TfrmMain::Timer2Timer()
{
    m_timerPool.setEnabled(trigger(3), false);
}

void TfrmMain::tmPopupTimer()
{
}

void TfrmMain::UpdateStatusClock()
{
    m_status->setText(QStringLiteral("Today is ")
                      + formatDateValue(QStringLiteral("dddddd tt"), m_services.clock.nowValue(), m_services.regional));
}

QString TfrmMain::statusText() const
{
    return m_status->text();
}
