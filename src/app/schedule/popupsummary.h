#pragma once

#include <QFrame>

#include <functional>

#include "schedule/popup.h"

class Clock;
class MonthCalendar;
class QLabel;
class QListWidget;
class TaskDocument;

// The popup summary, "pnlPop": laid over the selected day's tasks when the mouse rests on a
// calendar day, with the day's date, how far away it is, its holiday and its tasks. It
// watches the calendars' mouse moves and hides when the mouse moves over the lists, the
// headings or the top toolbar.
class PopupSummary : public QFrame
{
    Q_OBJECT

public:
    // `area` answers where the summary goes, in the parent's coordinates.
    PopupSummary(TaskDocument &document, const Clock &clock, std::function<QRect()> area, QWidget *parent);

    // A calendar (index 0 to 3) whose mouse moves drive the summary.
    void watchCalendar(int index, MonthCalendar *calendar);
    // A control over which a mouse move hides the summary.
    void hideOnMouseOver(QWidget *widget);

    // The tick of the popup trigger. Answers whether the summary was shown.
    bool tmPopupTimer(bool alarmShowing);
    void hidePanel() { hide(); }
    // The move of the mouse over a calendar, in the calendar's coordinates.
    void cal2MouseMove(int index, QPoint pos);

    QListWidget *list() const { return m_lbPopup; }
    QString dateText() const;
    QString whenText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();

    TaskDocument &m_document;
    const Clock &m_clock;
    std::function<QRect()> m_area;
    popup::Hover m_hover;
    QList<MonthCalendar *> m_calendars;
    QLabel *m_lblPopDate;
    QLabel *m_lblPopWhen;
    QListWidget *m_lbPopup;
};
