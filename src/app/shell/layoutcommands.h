#pragma once

#include <QObject>

#include "platform/services.h"
#include "widgets/timerpool.h"

class CalendarStrip;
class DayPane;
class QMainWindow;
class QSplitter;
class TaskDocument;
class TodoPane;
class WindowLayout;

// The sizing of the main window's parts: the calendars and the lists' columns follow every
// resize; the Resize menu points at a splitter, maximises one of the two lists, and
// memorises and restores the whole screen layout.
class LayoutCommands : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        QSplitter *split1;
        QSplitter *split2;
        QSplitter *splitDay;
        CalendarStrip *calendars;
        DayPane *day;
        TodoPane *todo;
    };
    LayoutCommands(TaskDocument &document, const Services &services, QMainWindow &window, WindowLayout &layout,
        const Parts &parts, TimerPool &timers, TimerPool::Handle trigger3, QObject *parent = nullptr);

    // The splitter being flashed (0 to 2 for split1, split2 and splitDay), -1 for none, and
    // the colour changes left.
    int flashingSplitter() const { return m_flashing ? m_chosen : -1; }
    int flashCount() const { return m_flashCount; }
    // The point the pointer is sent to for a splitter, in screen coordinates.
    QPoint splitterPoint(int splitter) const;

public Q_SLOTS:
    void FormResize();
    void resizeCalendars();
    // The deferred layout pass after showing, or one step of a splitter's flashing.
    void Timer2Timer();
    void N4monthCalendars1Click() { pointAtSplitter(0); }
    void DaytoNonDayEvents1Click() { pointAtSplitter(1); }
    void DailyEventsNotes1Click() { pointAtSplitter(2); }
    void Maximizedailyevents1Click();
    void Maximizenondaytasks1Click();
    void Memorizescreensizepositions1Click();
    void Recoverscreensizepositions1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QSplitter *splitter(int index) const;
    void pointAtSplitter(int index);
    void paintSplitter(int index, const QColor &colour);
    static int position(const QSplitter *splitter);
    static void setPosition(QSplitter *splitter, int position);

    TaskDocument &m_document;
    Services m_services;
    QMainWindow &m_window;
    WindowLayout &m_layout;
    Parts m_parts;
    TimerPool &m_timers;
    TimerPool::Handle m_trigger3;
    bool m_flashing = false;
    int m_flashCount = 0;
    int m_chosen = 0;
};
