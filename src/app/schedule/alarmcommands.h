#pragma once

#include <QDateTime>
#include <QLabel>
#include <QList>
#include <QObject>
#include <QPointer>

#include "platform/services.h"
#include "schedule/alarms.h"
#include "schedule/missedalarms.h"
#include "widgets/timerpool.h"

class MainView;
class TaskDocument;

// The alarm panel: covers the main window's client area, flashes lime and yellow, and a
// click on it, Escape, Return or Space clears the alarm. While it shows it has the keyboard:
// no key (a shortcut neither) reaches the widgets it covers.
class AlarmPanel : public QLabel
{
    Q_OBJECT

public:
    explicit AlarmPanel(QWidget *parent = nullptr);
    QColor colour() const { return m_colour; }
    void setColour(const QColor &colour);
    // Shows the panel with the keyboard, told to assistive technology as an alert.
    void showAlert();
    // Hides it and gives the keyboard back to the widget that had it.
    void clear();

Q_SIGNALS:
    void clicked();

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QColor m_colour;
    QPointer<QWidget> m_hadFocus;
};

// The alarm engine: checks the day's tasks, announces each due alarm once for its minute on
// the panel, with the sound and a desktop notification, queues an alarm that falls due while
// another is up, and lists the alarms missed while the program was not looking. It also
// keeps the alarm toggle of the day toolbar.
class AlarmCommands : public QObject
{
    Q_OBJECT

public:
    // `window` is the main window, whose client area the panel covers; `flash` the trigger
    // that flashes the panel.
    AlarmCommands(TaskDocument &document, const Services &services, MainView &view, QWidget *window, TimerPool &pool,
        TimerPool::Handle flash, QObject *parent = nullptr);
    ~AlarmCommands() override;

    AlarmPanel *panel() const { return m_panel; }
    bool alarmShowing() const { return m_showing || m_closing; }
    int queued() const { return int(m_queue.size()); }
    TfrmMissed *missedWindow() const { return m_missed; }

    // Lists what fell due since the program last ran (kept in the settings).
    void start();
    // Closing: no alarm is raised from here on, and the last check is kept.
    void setClosing(bool closing);

public Q_SLOTS:
    void Timer1Timer();
    // The pool's trigger of the checks: each check sets it to the start of the next minute,
    // so an alarm is raised in the first moments of its minute.
    void setCheckTrigger(TimerPool::Handle check);
    void pnlAlarmClick();
    void tmPanelColorTimer();
    void ToolButton15Click();
    void playAlarmSound(bool on);

Q_SIGNALS:
    // An alarm is up: the main window comes out of the tray.
    void showWindowRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void raiseNext();
    void listMissed(const QList<alarms::DueAlarm> &missed);
    void showMissed();
    void keepLastCheck(const QDateTime &now, bool force);
    void placePanel();

    TaskDocument &m_document;
    Services m_services;
    MainView &m_view;
    QWidget *m_window;
    TimerPool &m_pool;
    TimerPool::Handle m_flash;
    TimerPool::Handle m_check = 0;
    AlarmPanel *m_panel;
    QPointer<TfrmMissed> m_missed;
    alarms::Announced m_announced;
    QList<alarms::DueAlarm> m_queue;
    QDateTime m_lastCheck; // the previous check of this run
    QDateTime m_lastWritten; // when the last check was last written to the settings
    bool m_showing = false;
    bool m_closing = false;
};
