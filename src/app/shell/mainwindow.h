#pragma once

#include <QMainWindow>
#include <QSet>

#include "settings/settingsstore.h"
#include "store/celltable.h"
#include "text/regional.h"
#include "store/safefile.h"
#include "store/taskstore.h"
#include "widgets/timerpool.h"

class Clock;
struct CellColours;
class DateNavigator;
class Dialogs;
class GridView;
class MonthCalendar;
class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QToolBar;
class ShadowLabel;
class ShellOpener;
class TfrmComplete;
class TfrmFilter;
class TrayIcon;

// What the main window needs from the platform, passed in so tests can replace it.
struct MainServices
{
    const Clock &clock;
    Dialogs &dialogs;
    ShellOpener &opener;
    SettingsStore &settings;
    QString dataFolder;
    RegionalSettings regional;
};

// The main window: four month calendars, the selected day's tasks and the to-do list.
// It owns the hidden tables, the timer pool and the tray icon, and saves the stores when
// the program is minimised, hidden or closed.
class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kDefaultSplit2 = 296;
    static constexpr int kDefaultClientHeight = 450;
    static constexpr int kDefaultClientWidth = 630;
    static constexpr int kDefaultSplit1 = 314;
    static constexpr int kDefaultSplitDay = 156;

    explicit TfrmMain(const MainServices &services, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The tables the window keeps. `dayList` is the table behind the view `gridDay`,
    // `gridNonday` the one behind the to-do view.
    CellTable gridStore;
    CellTable dayList;
    CellTable gridNonday;
    CellTable gridHoliday;
    CellTable gridPrint{6, 4}; // assembles print and export jobs
    FilterState filter;
    Options options;
    bool colourHolidays = true; // the options dialog's "&Holidays" box: not stored, on at start

    const RegionalSettings &regional() const { return m_services.regional; }
    QString dataPath(const char *name) const;
    bool firstShown() const { return m_firstShown; }
    int minTrackWidth() const { return m_minTrackWidth; }
    int clientHeight() const;
    bool trayAvailable() const;
    TimerPool &timerPool() { return m_timerPool; }
    TfrmFilter *filterWindow() const { return m_filterWindow; }
    TfrmComplete *completeWindow() const { return m_completeWindow; }
    QString filtersCaption() const;
    TimerPool::Handle trigger(int order) const { return m_triggers[order - 1]; }
    QString statusText() const;

    // Start hidden: only the tray icon (or, without a tray, the minimised window).
    void startHidden();

    // The layout values kept between runs.
    int split1 = kDefaultSplit1;
    int split2 = kDefaultSplit2;
    int splitDay = kDefaultSplitDay;

    // Calendars, 0 to 3 for cal1 to cal4.
    MonthCalendar *calendar(int index) const { return m_cal[index]; }
    int activeCalendar() const { return m_active; }
    int previousCalendar() const { return m_previous; }
    // The selected day: the whole-day part of the active calendar's date.
    QDate selectedDay() const;
    qint64 selectedDayNumber() const;
    QString dateHeadingText() const;
    QColor dateHeadingColour() const;
    QString todoHeadingText() const;
    GridView *dayView() const { return m_gridDay; }
    GridView *todoView() const { return m_gridNonday; }
    QPlainTextEdit *notesPane() const { return m_memWhat; }
    // The colours a calendar was told for a day cell (for tests and the popup later).
    struct CellLook
    {
        bool paint = false;
        QColor text;
        QColor background;
    };
    CellLook cellLook(int calendarIndex, QDate day) const;

    void updateAppropriateMonth();
    void cal1Click(int index);
    void cal1DateChange();
    void cal1MonthChange();
    void navChange(QDate date);
    void ColorAllCalendars(bool all);
    void UpdateLabels(int calendarIndex);
    void DrawExtraMemo();
    void memWhatExit();
    void ReadSettings();
    void ApplySettings(bool shadows);
    void cal1CellDblClick();
    void gridDayEnter(GridView *list);
    void ResizeGridDay();
    void ResizeGridNonDay();
    // The row font of both lists: done rows struck out when the option is on.
    QFont gridNondayGetCellColor(const CellTable &table, int doneColumn, int row, const QFont &listFont) const;
    // Moves the active calendar's date, scrolling the calendars when the month changes.
    void moveSelectedDay(int days);
    void setActiveDate(QDate date);

public Q_SLOTS:
    void hideToTray();   // posted: runs after the current command
    void showFromTray(); // posted: runs after the current command
    void TrayIconAppMinimize();
    void Hide1Click();
    void Exit1Click();
    void Help2Click();
    void About1Click();
    void HomePage1Click();
    void timerPoolAllTriggers(TimerPool::Handle handle);
    void UpdateStatusClock();
    void Today1Click();
    void Filters1Click();
    void ViewCompleted1Click();
    void Categories1Click();
    void NextMonth1Click();
    void PriorMonth1Click();
    void NextYear1Click();
    void PriorYear1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FormCreate();
    void createLongLivedWindows();
    void showFilterIndicator();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void createMenus();
    void createToolbars();
    void createLayout();
    void createPopupMenus();
    QAction *action(const char *name) const;
    QAction *makeAction(const char *name, const QString &text, const QString &iconName = QString());
    QIcon icon(const QString &name) const;
    CellColours calendarCellColours(int index, QDate day) const;
    void applyFonts();
    void applySplitters();
    void readSplitters();
    void moveActiveBy(int months, int years);
    bool FormKeyDown(QKeyEvent *event);
    void FormKeyUp(QKeyEvent *event);
    void loadWindowLayout();
    void saveWindowLayout();
    void loadTable(CellTable &table, const char *name);
    bool saveTable(const CellTable &table, const char *name);
    bool reportSave(const SaveResult &result);
    void doHideToTray();
    void doShowFromTray();

    // Routines of the five triggers; the later features fill them.
    void Timer1Timer();
    void tmPanelColorTimer();
    void Timer2Timer();
    void tmPopupTimer();

    MainServices m_services;
    TfrmFilter *m_filterWindow = nullptr;
    TfrmComplete *m_completeWindow = nullptr;
    MonthCalendar *m_cal[4] = {};
    DateNavigator *m_nav = nullptr;
    ShadowLabel *m_lblDate = nullptr;
    ShadowLabel *m_esLabel1 = nullptr;
    GridView *m_gridDay = nullptr;
    GridView *m_gridNonday = nullptr;
    QPlainTextEdit *m_memWhat = nullptr;
    QSplitter *m_split1 = nullptr;
    QSplitter *m_split2 = nullptr;
    QSplitter *m_splitDay = nullptr;
    QToolBar *m_toolBar1 = nullptr;
    QToolBar *m_toolBar2 = nullptr;
    QToolBar *m_toolBar3 = nullptr;
    QAction *m_filtersAction = nullptr;
    QAction *m_filterButton = nullptr;
    QAction *m_popupOn = nullptr;
    QAction *m_popupOff = nullptr;
    int m_active = -1;
    int m_previous = -1;
    bool m_inMonthSync = false;
    bool m_inDateChange = false;
    bool m_calendarsStable = true;
    bool m_inNavChange = false;
    bool m_useShadows = true;
    QString m_defaultCategory;
    bool m_confirmDeletes = true;
    bool m_listsFocused = false; // neither list highlights before one had the focus
    bool m_memoEdited = false;
    int m_memoRow = -1;
    TimerPool m_timerPool;
    TimerPool::Handle m_triggers[5] = {};
    TrayIcon *m_tray = nullptr;
    QLabel *m_status = nullptr;
    int m_minTrackWidth = 637;
    bool m_firstShown = false;
    bool m_closed = false;
    bool m_alarmShowing = false;
    bool m_splitterFlash = false;
    bool m_panelFlash = false;
    QSet<QString> m_blockedFiles; // unreadable files that could not be moved aside
};
