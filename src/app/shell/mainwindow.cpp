#include "mainwindow.h"

#include "editing/editingcommands.h"
#include "options/optionscommands.h"
#include "output/outputcommands.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/optionfonts.h"
#include "schedule/alarmcommands.h"
#include "schedule/dayview.h"
#include "schedule/popupsummary.h"
#include "schedule/schedulecommands.h"
#include "shell/closing.h"
#include "shell/dragdrop.h"
#include "shell/layoutcommands.h"
#include "shell/logging.h"
#include "shell/mainactions.h"
#include "shell/panes.h"
#include "shell/resources.h"
#include "shell/searchcommands.h"
#include "shell/shellcommands.h"
#include "shell/trayicon.h"
#include "shell/undohistory.h"
#include "shell/version.h"
#include "store/archivecommands.h"
#include "store/storecommands.h"
#include "store/taskdocument.h"
#include "text/regional.h"
#include "widgets/colours.h"
#include "widgets/gridview.h"
#include "widgets/shadowlabel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

TfrmMain::TfrmMain(TaskDocument &document, const Services &services, QWidget *parent)
    : QMainWindow(parent)
    , m_document(document)
    , m_services(services)
    , m_layout(*this, document.settings())
    , m_timerPool(this)
{
    setObjectName(QStringLiteral("TfrmMain"));
    initAppResources();
    FormCreate();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::FormCreate()
{
    // The smallest width scales with the screen's pixels per inch (637 at 96), and grows
    // when the calendars' font needs more; the smallest height is what the parts need.
    const qreal dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    m_minTrackWidth = int(637 * dpi) / 96;

    m_actions = std::make_unique<MainActions>(this);
    createLayout();
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // a long date never widens the window
    statusBar()->addWidget(m_status, 1);
    m_layout.load(m_minTrackWidth);
    setWindowTitle(QStringLiteral("Tallyday"));

    // The five triggers, in the order the dispatcher tests them.
    const int intervals[5] = { 50000, 1000, 40, 120, 1000 };
    for (int i = 0; i < 5; ++i)
        m_triggers[i] = m_timerPool.add(intervals[i]);
    connect(&m_timerPool, &TimerPool::triggered, this, &TfrmMain::timerPoolAllTriggers);

    const QIcon icon(QStringLiteral(":/icons/tallyday.png"));
    setWindowIcon(icon);
    m_tray = new TrayIcon(icon, this);
    connect(m_tray, &TrayIcon::clicked, this, &TfrmMain::showFromTray);
    connect(m_tray, &TrayIcon::doubleClicked, this, &TfrmMain::showFromTray);
    m_tray->show();

    m_storeCommands = new StoreCommands(m_document, m_services, *this, this);
    m_archiveCommands = new ArchiveCommands(m_document, m_services, this);
    m_shellCommands = new ShellCommands(m_services, *this, this);
    m_scheduleCommands = new ScheduleCommands(m_document, m_services, *this, this);
    m_optionsCommands = new OptionsCommands(m_document, m_services, *this, this);
    m_alarms = new AlarmCommands(m_document, m_services, *this, this, m_timerPool, trigger(2), this);
    m_alarms->setCheckTrigger(trigger(1));
    connect(m_alarms, &AlarmCommands::showWindowRequested, this, &TfrmMain::showFromTray);
    // The Find dialog opens where the day's tasks begin.
    m_searchCommands = new SearchCommands(
        m_document, m_services, *this,
        [this] { return mapToGlobal(QPoint(m_split1->sizes().value(0), m_split2->sizes().value(0))); }, this);
    // The popup summary covers the day's tasks, right of the calendars.
    m_popup = new PopupSummary(
        m_document, m_services.clock, [this] { return QRect(m_dayPane->mapTo(this, QPoint(0, 0)), m_dayPane->size()); },
        this);
    for (int i = 0; i < 4; ++i)
        m_popup->watchCalendar(i, calendar(i));
    for (QWidget *over : std::initializer_list<QWidget *> {
             m_dayPane->heading(), dayView(), notesPane(), m_todoPane->heading(), todoView(), m_actions->ToolBar1 })
        m_popup->hideOnMouseOver(over);
    connect(m_strip, &CalendarStrip::calendarPressed, m_popup, &PopupSummary::hidePanel);
    connect(m_strip, &CalendarStrip::selectedDayChanged, m_popup, &PopupSummary::hidePanel);
    m_editingCommands = new EditingCommands(
        m_document, m_services, *this,
        [this] {
            const ShadowLabel *heading = m_dayPane->heading();
            return HeadingStyle { heading->font(), heading->textColour(), heading->shadowDepth() };
        },
        this);
    m_dragDrop = new DragDrop(m_document, m_services, *this, *m_strip, dayView(), todoView(), this);
    m_layoutCommands = new LayoutCommands(m_document, m_services, *this, m_layout,
        { m_split1, m_split2, m_dayPane->splitter(), m_strip, m_dayPane, m_todoPane }, m_timerPool, trigger(3), this);
    const ShadowLabel *todoHeading = m_todoPane->heading();
    m_outputCommands = new OutputCommands(m_document, m_services, *this,
        { [this] { return dateHeadingText(); }, [todoHeading] { return todoHeading->font(); },
            [todoHeading] { return todoHeading->textColour(); }, [todoHeading] { return todoHeading->shadowDepth(); } },
        this);
    m_undo = new UndoHistory(m_document, m_services.dialogs, *this, this);
    m_undo->bind(m_actions->Undo1, m_actions->Redo1);
    connect(m_undo, &UndoHistory::cleared, this, [this](const QString &why) {
        statusBar()->showMessage(QStringLiteral("Undo is no longer possible: ") + why + QLatin1Char('.'), 10000);
    });
    wireCommands();
    watchDocument();
    watchKeys();
    FormShow();
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
    topLayout->addWidget(m_actions->ToolBar1);
    outer->addWidget(top);

    m_split2 = new QSplitter(Qt::Vertical, central);
    m_split2->setObjectName(QStringLiteral("split2"));
    outer->addWidget(m_split2, 1);
    outer->addSpacerItem(new QSpacerItem(m_minTrackWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed));
    m_split1 = new QSplitter(Qt::Horizontal, m_split2);
    m_split1->setObjectName(QStringLiteral("split1"));

    m_strip = new CalendarStrip(m_split1);
    m_strip->setRegionalSettings(m_document.regional());
    m_strip->setCellColourHook([this](int, QDate day) { return calendarCellColours(day); });
    for (int i = 0; i < 4; ++i) {
        MonthCalendar *cal = m_strip->calendar(i);
        cal->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(cal, &QWidget::customContextMenuRequested, m_actions->calPopup,
            [this, cal](const QPoint &at) { m_actions->calPopup->popup(cal->mapToGlobal(at)); });
    }
    connect(m_strip, &CalendarStrip::selectedDayChanged, this, [this] { cal1DateChange(); });

    m_dayPane = new DayPane(m_document, m_actions->ToolBar2, m_actions->gridDayPopup.menu, m_split1);
    connect(m_dayPane, &DayPane::headingDoubleClicked, this, &TfrmMain::Today1Click);
    connect(m_dayPane, &DayPane::listFocused, this, [this] { m_focusedList = List::Day; });
    m_todoPane = new TodoPane(m_document, m_actions->ToolBar3, m_actions->gridNondayPopup.menu, m_split2);
    connect(m_todoPane, &TodoPane::listFocused, this, [this] { m_focusedList = List::Todo; });

    m_layout.setParts(m_split1, m_split2, m_dayPane->splitter(), m_dayPane->notes());
    m_split1->setStretchFactor(1, 1);
    setCentralWidget(central);
}

void TfrmMain::wireCommands()
{
    const MainActions &a = *m_actions;
    MainActions::wire(a.Hide1, this, &TfrmMain::Hide1Click);
    MainActions::wire(a.Exit1, this, &TfrmMain::Exit1Click);
    MainActions::wire(a.Archive1, m_archiveCommands, &ArchiveCommands::Archive1Click);
    MainActions::wire(a.Restore1, m_archiveCommands, &ArchiveCommands::Restore1Click);
    MainActions::wire(a.ToolButton14, this, &TfrmMain::hideToTray);
    MainActions::wire(a.NextMonth1, this, &TfrmMain::NextMonth1Click);
    MainActions::wire(a.PriorMonth1, this, &TfrmMain::PriorMonth1Click);
    MainActions::wire(a.NextYear1, this, &TfrmMain::NextYear1Click);
    MainActions::wire(a.PriorYear1, this, &TfrmMain::PriorYear1Click);
    MainActions::wire(a.Today1, this, &TfrmMain::Today1Click);
    MainActions::wire(a.Help2, m_shellCommands, &ShellCommands::Help2Click);
    MainActions::wire(a.About1, m_shellCommands, &ShellCommands::About1Click);
    MainActions::wire(a.HomePage1, m_shellCommands, &ShellCommands::HomePage1Click);
    MainActions::wire(a.Filters1, m_storeCommands, &StoreCommands::Filters1Click);
    LayoutCommands *layout = m_layoutCommands;
    MainActions::wire(a.CalendarsWidth1, layout, &LayoutCommands::N4monthCalendars1Click);
    MainActions::wire(a.DayToTodo1, layout, &LayoutCommands::DaytoNonDayEvents1Click);
    MainActions::wire(a.DailyNotes1, layout, &LayoutCommands::DailyEventsNotes1Click);
    MainActions::wire(a.MaximizeDaily1, layout, &LayoutCommands::Maximizedailyevents1Click);
    MainActions::wire(a.MaximizeTodo1, layout, &LayoutCommands::Maximizenondaytasks1Click);
    MainActions::wire(a.Memorize1, layout, &LayoutCommands::Memorizescreensizepositions1Click);
    MainActions::wire(a.RestoreLayout1, layout, &LayoutCommands::Recoverscreensizepositions1Click);
    MainActions::wire(a.ViewCompleted1, m_storeCommands, &StoreCommands::ViewCompleted1Click);
    MainActions::wire(a.Categories1, m_storeCommands, &StoreCommands::Categories1Click);
    MainActions::wire(a.Holidays1, m_scheduleCommands, &ScheduleCommands::Holidays1Click);
    MainActions::wire(a.Options1, m_optionsCommands, &OptionsCommands::Options1Click);
    connect(m_storeCommands, &StoreCommands::filterWindowClosed, this, &TfrmMain::showFilterIndicator);

    using L = editflow::TaskList;
    using Mode = EditingCommands::Mode;
    EditingCommands *edit = m_editingCommands;
    auto add = [edit](L list) { return [edit, list] { edit->btAddClick(list); }; };
    auto remove = [edit](L list) { return [edit, list] { edit->btDelClick(list); }; };
    auto complete = [edit](L list) { return [edit, list] { edit->Markascompleted1Click(list); }; };
    auto editFrom
        = [edit](bool dayCommand) { return [edit, dayCommand] { edit->EditOrComplete(dayCommand, Mode::Edit); }; };
    MainActions::wire(a.InsertTask1, edit, add(L::Day));
    MainActions::wire(a.InsertTodo1, edit, add(L::Todo));
    MainActions::wire(a.EditTask1, edit, [edit] { edit->btEditClick(L::Day); });
    MainActions::wire(a.EditTodo1, edit, [edit] { edit->btEditClick(L::Todo); });
    MainActions::wire(a.DeleteTask1, edit, remove(L::Day));
    MainActions::wire(a.DeleteTodo1, edit, remove(L::Todo));
    MainActions::wire(a.btComplete, edit, complete(L::Day));
    MainActions::wire(a.btCompleteTodo, edit, complete(L::Todo));
    const MainActions::ListMenu &day = a.gridDayPopup;
    MainActions::wire(day.add, edit, add(L::Day));
    MainActions::wire(day.edit, edit, editFrom(true));
    MainActions::wire(day.remove, edit, remove(L::Day));
    MainActions::wire(day.complete, edit, complete(L::Day));
    const MainActions::ListMenu &todo = a.gridNondayPopup;
    MainActions::wire(todo.add, edit, add(L::Todo));
    MainActions::wire(todo.edit, edit, editFrom(false));
    MainActions::wire(todo.remove, edit, remove(L::Todo));
    MainActions::wire(todo.complete, edit, complete(L::Todo));
    connect(dayView(), &GridView::doubleClicked, edit, editFrom(true));
    connect(todoView(), &GridView::doubleClicked, edit, editFrom(false));
    connect(m_strip, &CalendarStrip::dayDoubleClicked, edit, &EditingCommands::cal1CellDblClick);
    connect(m_dayPane, &DayPane::notesEdited, edit, &EditingCommands::setNotes);
    connect(dayView(), &GridView::flagToggleRequested, edit,
        [edit](quint64 task, int column, bool on) { edit->setFlag(L::Day, task, column, on); });
    connect(todoView(), &GridView::flagToggleRequested, edit,
        [edit](quint64 task, int column, bool on) { edit->setFlag(L::Todo, task, column, on); });
    MainActions::wire(a.ToolButton15, m_alarms, &AlarmCommands::ToolButton15Click);
    MainActions::wire(a.Search1, m_searchCommands, &SearchCommands::Search1Click);
    MainActions::wire(a.NextTask1, m_searchCommands, &SearchCommands::NextTask1Click);
    MainActions::wire(a.PriorTask1, m_searchCommands, &SearchCommands::PriorTask1Click);
    MainActions::wire(a.Print1, m_outputCommands, &OutputCommands::Print1Click);
    MainActions::wire(a.btPrintDay, m_outputCommands, &OutputCommands::Print3Click);
    MainActions::wire(day.print, m_outputCommands, &OutputCommands::Print3Click);
    MainActions::wire(a.btPrintTodo, m_outputCommands, &OutputCommands::Print2Click);
    MainActions::wire(todo.print, m_outputCommands, &OutputCommands::Print2Click);
    MainActions::wire(a.Clear1, m_outputCommands, &OutputCommands::ClearAll1Click);
    MainActions::wire(a.DailyHTML1, m_outputCommands, &OutputCommands::HTMLFormat3Click);
    MainActions::wire(a.DailyCSV1, m_outputCommands, &OutputCommands::CommaDelimitedFormat1Click);
    MainActions::wire(a.TodoHTML1, m_outputCommands, &OutputCommands::HTMLFormat4Click);
    MainActions::wire(a.TodoCSV1, m_outputCommands, &OutputCommands::CommaDelimitedFormat2Click);
    for (const MainActions::ListMenu *menu : { &day, &todo }) {
        MainActions::wire(menu->exportHtml, m_outputCommands, &OutputCommands::HTMLFormat1Click);
        MainActions::wire(menu->exportCsv, m_outputCommands, &OutputCommands::CSVFormat1Click);
    }
    MainActions::wire(a.Publish1, m_outputCommands, &OutputCommands::PublishCalendarasWebPage1Click);
    MainActions::wire(a.popupOn, this, &TfrmMain::memPopupEnableClick);
    MainActions::wire(a.popupOff, this, &TfrmMain::memPopupDisableClick);
}

void TfrmMain::watchDocument()
{
    TaskDocument *doc = &m_document;
    connect(doc, &TaskDocument::dayShown, this, [this] {
        m_dayPane->refresh();
        UpdateLabels(activeCalendar());
    });
    connect(doc, &TaskDocument::storeChanged, this, [this] { ColorAllCalendars(true); });
    connect(doc, &TaskDocument::dayListChanged, this, [this] {
        dayView()->refresh();
        m_dayPane->DrawExtraMemo();
        UpdateLabels(activeCalendar());
    });
    connect(doc, &TaskDocument::todoChanged, this, [this] {
        m_todoPane->refresh();
        UpdateLabels(activeCalendar());
    });
    connect(doc, &TaskDocument::holidaysChanged, this, [this] {
        ColorAllCalendars(true);
        UpdateLabels(activeCalendar());
    });
    connect(doc, &TaskDocument::filterChanged, this, [this] {
        cal1DateChange(); // the day list shows what the filter now lets through
        ColorAllCalendars(true);
    });
    connect(doc, &TaskDocument::optionsChanged, this, [this] {
        applyFonts();
        ReadSettings();
        ColorAllCalendars(true);
    });
}

void TfrmMain::FormShow()
{
    // What the first showing needs is done at creation, so that a start hidden in the tray
    // has the holidays, the settings and today's tasks before the window is ever shown.
    applyFonts();
    ReadSettings();
    m_startDay = m_services.clock.now().date();
    m_strip->start(m_startDay);
    cal1DateChange();
    m_timerPool.setEnabled(trigger(3), true);
    m_timerPool.setEnabled(trigger(4), m_document.options().qPopup);
    showFilterIndicator();
    UpdateStatusClock();
    m_alarms->start();
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShown) {
        m_firstShown = true;
        // Only layout work waits for the first showing; a day that passed in the tray moves on.
        m_layout.apply();
        if (m_services.clock.now().date() != m_startDay && selectedDay() == m_startDay)
            Today1Click();
        m_dayPane->list()->setFocus();
    }
    m_timerPool.setEnabled(trigger(3), true);
    // The pop-up's poll and the status clock run only while they can be seen.
    if (!m_closed) {
        m_timerPool.setEnabled(trigger(4), true);
        m_timerPool.setEnabled(trigger(5), true);
        UpdateStatusClock();
    }
}

void TfrmMain::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    // Hidden in the tray or minimised, only the alarm check wakes the program.
    m_timerPool.setEnabled(trigger(4), false);
    m_timerPool.setEnabled(trigger(5), false);
}

GridView *TfrmMain::dayView() const
{
    return m_dayPane->list();
}

GridView *TfrmMain::todoView() const
{
    return m_todoPane->list();
}

QPlainTextEdit *TfrmMain::notesPane() const
{
    return m_dayPane->notes();
}

int TfrmMain::currentRow(List list) const
{
    switch (list) {
    case List::Day:
        return dayView()->currentTableRow();
    case List::Todo:
        return todoView()->currentTableRow();
    case List::None:
        break;
    }
    return -1;
}

void TfrmMain::focusList(List list)
{
    GridView *view = list == List::Day ? dayView() : list == List::Todo ? todoView() : nullptr;
    if (view)
        view->setFocus();
    if (list != List::None)
        m_focusedList = list;
}

void TfrmMain::selectRow(List list, int row)
{
    GridView *view = list == List::Day ? dayView() : list == List::Todo ? todoView() : nullptr;
    if (!view)
        return;
    focusList(list);
    view->setCurrentTableRow(row);
}

qint64 TfrmMain::selectedDayNumber() const
{
    return datevalue::dayNumber(selectedDay());
}

bool TfrmMain::report(const SaveResult &result)
{
    if (!result.ok)
        m_services.dialogs.showError(result.message());
    return result.ok;
}

QString TfrmMain::filtersCaption() const
{
    return m_actions->Filters1->text();
}

void TfrmMain::showFilterIndicator()
{
    const bool on = filtersOn(m_document.filter());
    m_actions->Filters1->setText(on ? QStringLiteral("FILTERS ON") : QStringLiteral("Filters"));
    m_actions->btFilter->setIcon(MainActions::icon(on ? QStringLiteral("filter-on") : QStringLiteral("filter")));
}

bool TfrmMain::trayAvailable() const
{
    return m_tray && m_tray->isAvailable();
}

void TfrmMain::cal1DateChange()
{
    if (activeCalendar() < 0)
        return;
    // An edited note belongs to the day shown until now: it goes back before the day changes.
    m_dayPane->memWhatExit();
    m_document.showDay(selectedDayNumber());
}

CellColours TfrmMain::calendarCellColours(QDate day) const
{
    const bool colourHolidays = m_document.colourHolidays();
    const bool holiday = colourHolidays && m_document.isHoliday(day);
    const dayview::DayColours look = dayview::dayColours(m_document.store(), m_document.filter(),
        datevalue::dayNumber(day), holiday, dayview::colourOptionsOf(m_document.options(), colourHolidays));
    CellColours colours;
    colours.background
        = look.background >= 0 ? colornumber::toColor(look.background) : palette().color(QPalette::Button);
    colours.text = look.text >= 0 ? colornumber::toColor(look.text) : palette().color(QPalette::WindowText);
    return colours;
}

void TfrmMain::ColorAllCalendars(bool all)
{
    m_strip->repaintCalendars(all);
}

void TfrmMain::UpdateLabels(int calendarIndex)
{
    m_todoPane->heading()->setText(dayview::todoHeading(m_document.todoList().rowCount()));
    if (calendarIndex != activeCalendar() || calendarIndex < 0)
        return;
    const QDate day = selectedDay();
    const dayview::DateHeading heading
        = dayview::dateHeading(datevalue::fromDate(day), m_services.clock.nowValue(), m_document.dayList().rowCount(),
            m_document.holidayName(day), m_document.options().shadows, m_document.regional());
    m_dayPane->heading()->setText(heading.caption);
    m_dayPane->heading()->setTextColour(colornumber::toColor(heading.colour));
}

QString TfrmMain::dateHeadingText() const
{
    return m_dayPane->heading()->text();
}

QColor TfrmMain::dateHeadingColour() const
{
    return m_dayPane->heading()->textColour();
}

QString TfrmMain::todoHeadingText() const
{
    return m_todoPane->heading()->text();
}

void TfrmMain::ReadSettings()
{
    const Options &options = m_document.options();
    ApplySettings(options.shadows);
    m_timerPool.setEnabled(trigger(4), options.qPopup);
    m_actions->popupOn->setChecked(options.qPopup);
    m_actions->popupOff->setChecked(!options.qPopup);
}

void TfrmMain::ApplySettings(bool shadows)
{
    const Options &options = m_document.options();
    const QFont title = optionfont::toFont(options.titleFont);
    const qreal dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    const int height = int(options.titleFont.size * dpi / 72) + 8 + (shadows ? 3 : 0);
    const QColor colour = colornumber::toColor(shadows ? dayview::kBlue : dayview::kNavy);
    for (ShadowLabel *label : { m_dayPane->heading(), m_todoPane->heading() }) {
        label->setFont(title);
        label->setFixedHeight(height);
        label->setShadowDepth(shadows ? 4 : 1);
    }
    m_todoPane->heading()->setTextColour(colour);
    m_storeCommands->applyTitleStyle(title, shadows ? 4 : 1, colour);
    if (activeCalendar() >= 0)
        UpdateLabels(activeCalendar());
    else
        m_dayPane->heading()->setTextColour(colour);
    m_dayPane->ResizeGridDay();
    m_todoPane->ResizeGridNonDay();
    m_strip->setWeekStart(options.sunday ? Qt::Sunday : Qt::Monday);
}

void TfrmMain::applyFonts()
{
    const Options &options = m_document.options();
    m_strip->setCalendarFont(optionfont::toFont(options.calFont));
    const QFont listFont = optionfont::toFont(options.gridFont);
    m_dayPane->setListLook(listFont, options.rowHeight);
    m_todoPane->setListLook(listFont, options.rowHeight);
}

void TfrmMain::Today1Click()
{
    m_strip->goToday(m_services.clock.now().date());
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_layoutCommands)
        m_layoutCommands->FormResize();
}

void TfrmMain::watchKeys()
{
    // The window sees every key before the focused control does: each control that can
    // take the focus passes its keys here first.
    // Dialogs and pop-up menus are windows of their own and keep their keys.
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (child->focusPolicy() != Qt::NoFocus && child->window() == this)
            child->installEventFilter(this);
    }
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (m_alarms && watched == m_alarms->panel())
        return QMainWindow::eventFilter(watched, event); // the alarm panel keeps every key
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Escape must not turn into a shortcut of the focused control.
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (FormKeyDown(static_cast<QKeyEvent *>(event), static_cast<QWidget *>(watched)))
            return true;
        break;
    case QEvent::KeyRelease:
        FormKeyUp(static_cast<QKeyEvent *>(event), static_cast<QWidget *>(watched));
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TfrmMain::FormKeyDown(QKeyEvent *event, QWidget *focus)
{
    m_popup->hidePanel(); // any key
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))
        return false;
    switch (event->key()) {
    case Qt::Key_Escape:
        return true; // swallowed: it never reaches the focused control
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (focus == m_dayPane->notes())
            return false;
        moveSelectedDay(event->key() == Qt::Key_Left ? -1 : 1);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (focus != dayView())
            return false;
        const int rows = m_document.dayList().rowCount() - 1;
        const int current = dayView()->currentTableRow();
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

void TfrmMain::FormKeyUp(QKeyEvent *event, QWidget *focus)
{
    // Insert and Delete on a list add to it and delete from it, when the key is let go.
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
    const bool onDay = focus == dayView();
    if (plain && !event->isAutoRepeat() && (onDay || focus == todoView())) {
        const editflow::TaskList list = onDay ? editflow::TaskList::Day : editflow::TaskList::Todo;
        if (event->key() == Qt::Key_Insert)
            m_editingCommands->btAddClick(list);
        else if (event->key() == Qt::Key_Delete)
            m_editingCommands->btDelClick(list);
    }
    // The date alone; the clock puts the time back within a second.
    m_status->setText(QStringLiteral("Today is ")
        + formatDateValue(QStringLiteral("dddddd"), m_services.clock.nowValue(), m_document.regional()));
}

void TfrmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || m_closed)
        return;
    auto *change = static_cast<QWindowStateChangeEvent *>(event);
    if (isMinimized() && !(change->oldState() & Qt::WindowMinimized)) {
        TrayIconAppMinimize();
        if (trayAvailable()) // saved just now: hidden only
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!m_closed)
                        hide();
                },
                Qt::QueuedConnection);
    }
}

void TfrmMain::Hide1Click()
{
    // Silenced, not cleared: the panel stays until it is clicked.
    m_alarms->playAlarmSound(false);
    hideToTray();
}

void TfrmMain::Exit1Click()
{
    close();
}

void TfrmMain::closeUnattended()
{
    m_unattended = true;
    close();
}

void TfrmMain::commitData()
{
    m_dayPane->memWhatExit();
    closing::saveTables(m_document, m_services.dialogs, m_services.clock.now(), true);
    if (const SaveResult layout = m_layout.save(); !layout)
        qCWarning(lcShell).noquote() << layout.message();
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
    QList<bool> running;
    for (const TimerPool::Handle handle : m_triggers)
        running << m_timerPool.isEnabled(handle);
    if (!FormCloseQuery() || !FormClose()) {
        // Closing was cancelled: the program goes on as before.
        for (int i = 0; i < 5; ++i)
            m_timerPool.setEnabled(m_triggers[i], running[i]);
        m_unattended = false;
        event->ignore();
        return;
    }
    event->accept();
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

bool TfrmMain::FormClose()
{
    m_alarms->setClosing(true); // no alarm is raised from here on
    m_dayPane->memWhatExit();
    const closing::Outcome saved
        = closing::saveTables(m_document, m_services.dialogs, m_services.clock.now(), m_unattended);
    if (saved.lost)
        m_exitCode = 1;
    if (!saved.close) {
        m_alarms->setClosing(false);
        return false;
    }
    m_closed = true;
    const SaveResult layout = m_layout.save();
    if (!m_unattended)
        report(layout);
    if (!m_unattended && version::isStale(version::buildDate(), m_services.clock.now().date()))
        m_services.dialogs.showPlain(version::staleNotice());
    return true;
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
    report(m_document.saveStoreAsIs());
    report(m_document.saveTodo());
}

void TfrmMain::hideToTray()
{
    QMetaObject::invokeMethod(this, &TfrmMain::doHideToTray, Qt::QueuedConnection);
}

void TfrmMain::doHideToTray()
{
    if (m_closed)
        return;
    if (trayAvailable()) {
        hide();
    } else if (!isMinimized()) {
        showMinimized(); // no tray: the window must stay reachable; minimizing saves
        return;
    }
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
    // A modal dialog left open when the window went away comes back on top of it: the
    // window takes no input while the dialog is open.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->setWindowState(modal->windowState() & ~Qt::WindowMinimized);
        modal->show();
        modal->raise();
        modal->activateWindow();
    }
    qCInfo(lcShell) << "main window shown";
}

void TfrmMain::timerPoolAllTriggers(TimerPool::Handle handle)
{
    if (handle == m_triggers[0])
        m_alarms->Timer1Timer();
    else if (handle == m_triggers[1])
        m_alarms->tmPanelColorTimer();
    else if (handle == m_triggers[2])
        m_layoutCommands->Timer2Timer();
    else if (handle == m_triggers[3])
        m_popup->tmPopupTimer(m_alarms->alarmShowing());
    else if (handle == m_triggers[4])
        UpdateStatusClock();
}

void TfrmMain::switchPopup(bool on)
{
    Options options = m_document.options();
    options.qPopup = on;
    // Saved as every option is; the log-on start stays as it is.
    m_document.saveOptions(options, m_document.autostart().checkAutostart(), m_services.dialogs);
    if (!on)
        m_popup->hidePanel();
}

void TfrmMain::UpdateStatusClock()
{
    m_status->setText(QStringLiteral("Today is ")
        + formatDateValue(QStringLiteral("dddddd tt"), m_services.clock.nowValue(), m_document.regional()));
    // A window left open over midnight: "Today" and the calendars follow the new day.
    if (m_strip->followToday(m_services.clock.now().date())) {
        UpdateLabels(activeCalendar());
        ColorAllCalendars(true);
    }
}

QString TfrmMain::statusText() const
{
    return m_status->text();
}
