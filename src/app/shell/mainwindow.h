#pragma once

#include <QMainWindow>

#include <memory>

#include "platform/services.h"
#include "shell/mainview.h"
#include "shell/windowlayout.h"
#include "widgets/calendarstrip.h"
#include "widgets/timerpool.h"

class AlarmCommands;
class UndoHistory;
class PopupSummary;
class SearchCommands;
class DayPane;
class DragDrop;
class LayoutCommands;
class EditingCommands;
class GridView;
class QLabel;
class QPlainTextEdit;
class QSplitter;
class ScheduleCommands;
class ShellCommands;
struct SaveResult;
class StoreCommands;
class OptionsCommands;
class OutputCommands;
class ArchiveCommands;
class TaskDocument;
class TodoPane;
class TrayIcon;
struct MainActions;

// The main window: four month calendars, the selected day's tasks and the to-do list. It is
// a view of the task document; the commands live in their features' command classes, which
// it owns and wires to its menus, toolbars and keys. It keeps the timer pool and the tray
// icon, and saves the stores when the program is minimised, hidden or closed.
class TfrmMain : public QMainWindow, public MainView
{
    Q_OBJECT

public:
    TfrmMain(TaskDocument &document, const Services &services, QWidget *parent = nullptr);
    ~TfrmMain() override;

    TaskDocument &document() const { return m_document; }
    const MainActions &actions() const { return *m_actions; }
    StoreCommands *storeCommands() const { return m_storeCommands; }
    OptionsCommands *optionsCommands() const { return m_optionsCommands; }
    EditingCommands *editingCommands() const { return m_editingCommands; }
    AlarmCommands *alarms() const { return m_alarms; }
    PopupSummary *popupSummary() const { return m_popup; }
    SearchCommands *searchCommands() const { return m_searchCommands; }
    DragDrop *dragDrop() const { return m_dragDrop; }
    LayoutCommands *layoutCommands() const { return m_layoutCommands; }
    OutputCommands *outputCommands() const { return m_outputCommands; }
    UndoHistory *undoHistory() const { return m_undo; }
    CalendarStrip *calendars() const { return m_strip; }
    MonthCalendar *calendar(int index) const { return m_strip->calendar(index); }
    int activeCalendar() const { return m_strip->activeCalendar(); }
    GridView *dayView() const;
    GridView *todoView() const;
    QPlainTextEdit *notesPane() const;
    int minTrackWidth() const { return m_minTrackWidth; }
    int clientHeight() const { return m_layout.clientHeight(); }
    WindowLayout &layout() { return m_layout; }
    bool trayAvailable() const;
    TimerPool &timerPool() { return m_timerPool; }
    TimerPool::Handle trigger(int order) const { return m_triggers[order - 1]; }
    QString filtersCaption() const;
    QString statusText() const;
    QString dateHeadingText() const;
    QColor dateHeadingColour() const;
    QString todoHeadingText() const;
    CalendarStrip::CellLook cellLook(int calendarIndex, QDate day) const
    {
        return m_strip->cellLook(calendarIndex, day);
    }

    // Start hidden: only the tray icon (or, without a tray, the minimised window).
    void startHidden();
    // Closes where nobody can answer a question (the session ends, a signal): tables that
    // cannot be saved are kept beside the data (or in the state folder) instead of asking.
    void closeUnattended();
    // The session manager asks for everything on disk (it may be saving the session, not
    // ending it): all is saved, nobody is asked, and the program goes on.
    void commitData();
    // The program's exit code: 1 when such a close could keep some changes nowhere.
    int exitCode() const { return m_exitCode; }

    // MainView
    QWidget *dialogParent() override { return this; }
    QDate selectedDay() const override { return m_strip->selectedDay(); }
    List focusedList() const override { return m_focusedList; }
    int currentRow(List list) const override;
    void selectRow(List list, int row) override;
    void focusList(List list) override;
    void showDay(QDate day) override { m_strip->setSelectedDay(day); }

    qint64 selectedDayNumber() const;
    void cal1DateChange();
    void ColorAllCalendars(bool all);
    void UpdateLabels(int calendarIndex);
    void ReadSettings();
    void ApplySettings(bool shadows);
    void moveSelectedDay(int days) { m_strip->moveSelectedDay(days); }
    void setActiveDate(QDate date) { m_strip->setSelectedDay(date); }

public Q_SLOTS:
    void hideToTray(); // posted: runs after the current command
    void showFromTray(); // posted: runs after the current command
    void TrayIconAppMinimize();
    void Hide1Click();
    void Exit1Click();
    void timerPoolAllTriggers(TimerPool::Handle handle);
    void memPopupEnableClick() { switchPopup(true); }
    void memPopupDisableClick() { switchPopup(false); }
    void UpdateStatusClock();
    void Today1Click();
    void NextMonth1Click() { m_strip->moveBy(1, 0); }
    void PriorMonth1Click() { m_strip->moveBy(-1, 0); }
    void NextYear1Click() { m_strip->moveBy(0, 1); }
    void PriorYear1Click() { m_strip->moveBy(0, -1); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormCreate();
    void createLayout();
    void wireCommands();
    void watchDocument();
    void watchKeys();
    void FormShow();
    bool FormCloseQuery();
    bool FormClose();
    void showFilterIndicator();
    CellColours calendarCellColours(QDate day) const;
    void applyFonts();
    // `focus` is the control the key went to.
    bool FormKeyDown(QKeyEvent *event, QWidget *focus);
    void FormKeyUp(QKeyEvent *event, QWidget *focus);
    bool report(const SaveResult &result);
    void doHideToTray();
    void doShowFromTray();

    void switchPopup(bool on);

    TaskDocument &m_document;
    Services m_services;
    WindowLayout m_layout;
    std::unique_ptr<MainActions> m_actions;
    StoreCommands *m_storeCommands = nullptr;
    ArchiveCommands *m_archiveCommands = nullptr;
    OptionsCommands *m_optionsCommands = nullptr;
    EditingCommands *m_editingCommands = nullptr;
    AlarmCommands *m_alarms = nullptr;
    PopupSummary *m_popup = nullptr;
    SearchCommands *m_searchCommands = nullptr;
    ShellCommands *m_shellCommands = nullptr;
    ScheduleCommands *m_scheduleCommands = nullptr;
    DragDrop *m_dragDrop = nullptr;
    LayoutCommands *m_layoutCommands = nullptr;
    OutputCommands *m_outputCommands = nullptr;
    UndoHistory *m_undo = nullptr;
    CalendarStrip *m_strip = nullptr;
    DayPane *m_dayPane = nullptr;
    TodoPane *m_todoPane = nullptr;
    QSplitter *m_split1 = nullptr;
    QSplitter *m_split2 = nullptr;
    TimerPool m_timerPool;
    TimerPool::Handle m_triggers[5] = {};
    TrayIcon *m_tray = nullptr;
    QLabel *m_status = nullptr;
    List m_focusedList = List::None;
    QDate m_startDay; // the day the calendars were set to at creation
    int m_minTrackWidth = 637;
    bool m_firstShown = false;
    bool m_closed = false;
    bool m_unattended = false;
    int m_exitCode = 0; // 1 when a close nobody could answer lost changes
};
