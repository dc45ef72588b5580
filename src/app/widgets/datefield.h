#pragma once

#include <QDate>
#include <QPointer>
#include <QWidget>

#include "text/regional.h"

class Dialogs;
class QCalendarWidget;
class QLineEdit;
class QToolButton;

// A date typed as text in the regional short date pattern, with a button that drops a
// calendar down to pick it. The text is read whole, so what is typed is what is kept:
// while it is empty or not a date the field holds no date, nothing replaces what the user
// typed behind their back, and the dialog refuses it with `refuseUnread`. Every field of
// the program where a date is typed is one of these.
class DateField : public QWidget
{
    Q_OBJECT

public:
    explicit DateField(const RegionalSettings &regional, QWidget *parent = nullptr);

    // The day the text states; invalid while the text is empty or not a date.
    QDate date() const;
    // Writes the day in the short date pattern; an invalid date empties the field.
    void setDate(QDate date);

    QString text() const;

    // When the text is not a date: an error naming an example (the day of `now`), the field
    // focused with its text selected, and true. False when the text is a date.
    bool refuseUnread(Dialogs &dialogs, DateValue now);

    Qt::DayOfWeek weekStart() const { return m_weekStart; }
    void setWeekStart(Qt::DayOfWeek day);

    QLineEdit *lineEdit() const { return m_edit; }
    QToolButton *dropButton() const { return m_button; }
    // The drop-down calendar while it is open, else nullptr.
    QCalendarWidget *openCalendar() const;

public Q_SLOTS:
    // Drops the calendar down under the field, on the field's day (the last day it held
    // while its text is not a date). Picking a day writes it and closes the calendar;
    // Alt+Down and F4 in the field do the same as the button.
    void dropDown();

Q_SIGNALS:
    // Every change of the text, typed or picked.
    void textChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pick(QDate date);

    RegionalSettings m_regional;
    Qt::DayOfWeek m_weekStart = Qt::Sunday;
    QLineEdit *m_edit;
    QToolButton *m_button;
    QDate m_lastDate; // the last day the text stated
    QPointer<QWidget> m_popup;
    QPointer<QCalendarWidget> m_calendar;
};
