#pragma once

#include <QDateTime>
#include <QDialog>
#include <QTime>

#include "text/regional.h"

class AnalogClock;
class Clock;
class QLabel;
class QPushButton;
class Dialogs;
class TimeField;
class QTimer;

// The 24-hour scale the user picks a time on: midnight at x 8, 20 pixels an hour, the night
// hours aqua and the day yellow. It reports the mouse in its own x; the picker decides.
class TimeBar : public QWidget
{
    Q_OBJECT

public:
    explicit TimeBar(QWidget *parent = nullptr);

    // The mouse on the bar, or on a pointer standing over it (which passes its mouse on).
    void press(int x);
    void drag(int x);
    void release();
    void doubleClick(int x);

Q_SIGNALS:
    void pressed(int x);
    void dragged(int x);
    void released();
    void doubleClicked(int x);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

// The time picker, "Time Entry": a time chosen on the 24-hour bar, with the keys, or in the
// time field, and shown on an analogue clock. It writes nothing; the task editor opens it
// with its own time and, on OK, takes the time back.
//
//     TfrmTimePopup picker(clock, regional, dialogs, this);
//     picker.settime(dtTime->time());
//     if (picker.exec() == QDialog::Accepted)
//         dtTime->setTime(picker.returnedTime());
//
// Keys, seen before the focused control: Up and Down a minute, Page Up and Page Down an
// hour (never past 0:00 or 23:59), Home the current time. A double click on the bar is OK.
class TfrmTimePopup : public QDialog
{
    Q_OBJECT

public:
    TfrmTimePopup(const Clock &clock, const RegionalSettings &regional, Dialogs &dialogs, QWidget *parent = nullptr);

    // Sets the time field `dtTime`, whose value the picker hands back.
    void settime(QTime time);
    QTime returnedTime() const;

    bool isDragging() const { return m_dragging; }

    static constexpr int kNowInterval = 1000; // the "It is" caption
    static constexpr int kClockInterval = 60 * 1000; // the clock has no second hand

public Q_SLOTS:
    // Places the pointers for a bar x; with `update` the time is also taken from x.
    void drawPointer(int x, bool update);
    // "It is " and the current time on the now button.
    void ItIsNow();
    // The now button: the current time in the field, on the bar and on the clock.
    void sbNowClick();
    // Moves the clock on by the time passed since it was set.
    void tmClockTimer();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormShow();
    void Image1MouseDown(int x);
    void Image1MouseMove(int x);
    void Image1MouseUp();
    // OK, on the time where the bar was double-clicked.
    void Image1DblClick(int x);
    // A change of the time field made by the user: pointers and clock follow it.
    void dtTimeChange();
    // Sets the field without its change being taken for the user's.
    void setFieldTime(QTime time);
    void setClock(QTime time);
    void setFloatingTime(QTime time);
    bool handleKey(QKeyEvent *event);
    // OK: refused while the time field does not state a time.
    void btOKClick();
    // The field's time, or the last one it stated while its text is not a time.
    QTime fieldTime() const;
    void layOut();

    const Clock &m_clock;
    RegionalSettings m_regional;
    Dialogs &m_dialogs;
    TimeBar *m_bar;
    QWidget *m_imTop;
    QWidget *m_imBot;
    QWidget *m_imLine;
    QLabel *m_pnlTime;
    AnalogClock *m_clock1;
    TimeField *m_dtTime;
    QPushButton *m_sbNow;
    QPushButton *m_btOK;
    QPushButton *m_btCancel;
    QLabel *m_imDay;
    QLabel *m_imNight;
    QTimer *m_nowTimer;
    QTimer *m_clockTimer;
    bool m_dragging = false;
    bool m_settingField = false; // the picker itself is writing the time field
    QTime m_clockTime; // what the clock was set to, and when
    QDateTime m_clockSetAt;
};
