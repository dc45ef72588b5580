#include "mainwindow.h"

#include "settings/settingsstore.h"
#include "shell/about.h"
#include "shell/helpwindow.h"
#include "shell/logging.h"
#include "shell/resources.h"
#include "shell/trayicon.h"
#include "shell/version.h"
#include "store/datafolder.h"
#include "store/gridfile.h"
#include "store/helpers.h"
#include "store/services.h"

#include <QAction>
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

CellTable newTodoList()
{
    CellTable table(3, 2);
    table.setCell(0, 0, QStringLiteral("Category"));
    table.setCell(1, 0, QStringLiteral("What"));
    table.setCell(2, 0, QStringLiteral("Done?"));
    return table;
}

} // namespace

TfrmMain::TfrmMain(const MainServices &services, QWidget *parent)
    : QMainWindow(parent)
    , gridStore(store::newStore())
    , gridNonday(newTodoList())
    , gridHoliday(3, 4)
    , m_services(services)
    , m_timerPool(this)
{
    setObjectName(QStringLiteral("TfrmMain"));
    initAppResources();
    FormCreate();
}

TfrmMain::~TfrmMain() = default;

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

    createMenusAndToolbar();
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(m_status, 1);
    auto *placeholder = new QLabel(this);
    placeholder->setObjectName(QStringLiteral("pnlMain"));
    setCentralWidget(placeholder);

    loadWindowLayout();
    loadTable(gridStore, datafile::kStore);
    loadTable(gridNonday, datafile::kTodo);
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

void TfrmMain::createMenusAndToolbar()
{
    auto addAction = [this](QMenu *menu, const char *name, const QString &text, const QKeySequence &key,
                            void (TfrmMain::*slot)()) {
        auto *action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        if (menu)
            menu->addAction(action);
        return action;
    };
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    addAction(file, "Hide1", QStringLiteral("Hide"), QKeySequence(Qt::ALT | Qt::Key_H), &TfrmMain::Hide1Click);
    file->addSeparator();
    addAction(file, "Exit1", QStringLiteral("Exit"), QKeySequence(Qt::ALT | Qt::Key_X), &TfrmMain::Exit1Click);
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction *helpAction = addAction(help, "Help2", QStringLiteral("Help"), QKeySequence(Qt::Key_F1), &TfrmMain::Help2Click);
    addAction(help, "HomePage1", QStringLiteral("Veltrane Home Page"), {}, &TfrmMain::HomePage1Click);
    QAction *aboutAction = addAction(help, "About1", QStringLiteral("About"), {}, &TfrmMain::About1Click);

    QToolBar *bar = addToolBar(QStringLiteral("Main"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    auto *hide = new QAction(QStringLiteral("Hide calendar"), this);
    hide->setObjectName(QStringLiteral("ToolButton14"));
    hide->setToolTip(QStringLiteral("Hide calendar"));
    hide->setIcon(style()->standardIcon(QStyle::SP_TitleBarMinButton));
    connect(hide, &QAction::triggered, this, &TfrmMain::hideToTray);
    bar->addAction(hide);
    helpAction->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    bar->addAction(helpAction);
    aboutAction->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    aboutAction->setToolTip(QStringLiteral("About Tallyday"));
    bar->addAction(aboutAction);
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
        resize(std::max(width, m_minTrackWidth), height);
}

void TfrmMain::saveWindowLayout()
{
    auto write = [this](const char *name, int value) {
        m_services.settings.setLayoutValue(QString::fromLatin1(name), QString::number(value));
    };
    write("Split2", split2);
    write("ClientHeight", height());
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
    fix2000(m_services.regional);
    loadTable(gridHoliday, datafile::kHolidays);
    m_timerPool.setEnabled(trigger(3), true);
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
