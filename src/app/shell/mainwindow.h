#pragma once

#include <QMainWindow>
#include <QSet>

#include "store/celltable.h"
#include "store/regional.h"
#include "store/safefile.h"
#include "store/taskstore.h"
#include "widgets/timerpool.h"

class Clock;
class Dialogs;
class QLabel;
class SettingsStore;
class ShellOpener;
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

    // The tables the window keeps.
    CellTable gridStore;
    CellTable gridNonday;
    CellTable gridHoliday;
    FilterState filter;

    const RegionalSettings &regional() const { return m_services.regional; }
    QString dataPath(const char *name) const;
    bool firstShown() const { return m_firstShown; }
    int minTrackWidth() const { return m_minTrackWidth; }
    bool trayAvailable() const;
    TimerPool &timerPool() { return m_timerPool; }
    TimerPool::Handle trigger(int order) const { return m_triggers[order - 1]; }
    QString statusText() const;

    // Start hidden: only the tray icon (or, without a tray, the minimised window).
    void startHidden();

    // The layout values kept between runs.
    int split1 = kDefaultSplit1;
    int split2 = kDefaultSplit2;
    int splitDay = kDefaultSplitDay;

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

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void createMenusAndToolbar();
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
