#pragma once

#include <QColor>
#include <QDate>
#include <QDialog>

#include "text/regional.h"

class Clock;
class DateField;
class Dialogs;
class QLabel;
class ShadowLabel;

// The reschedule dialog, "Reschedule Task": picks another day for a dated task. It writes
// nothing; the task editor opens it on the selected day and, on OK, reads the chosen day.
//
//     TfrmReschedule dialog(clock, regional, dialogs, headingColour, shadowDepth, weekStart, this);
//     dialog.setDate(selectedDay);
//     if (dialog.exec() == QDialog::Accepted)
//         rescheduleDate = datevalue::fromDate(dialog.date());
//
// OK is refused (with a message, the dialog stays open) while the date field holds no
// valid date, so an accepted dialog always answers a valid day.
class TfrmReschedule : public QDialog
{
    Q_OBJECT

public:
    // The title takes the main window's date-heading colour and shadow depth; the drop-down
    // calendar starts its weeks on `weekStart`.
    TfrmReschedule(const Clock &clock, const RegionalSettings &regional, Dialogs &dialogs, const QColor &headingColour,
        int shadowDepth, Qt::DayOfWeek weekStart, QWidget *parent = nullptr);

    // The day in the date field `date1`; invalid while its text is empty or not a date.
    QDate date() const;
    void setDate(QDate day);

    ShadowLabel *titleLabel() const { return m_title; }

public Q_SLOTS:
    // Closes with OK when the date field holds a valid day; otherwise says so and stays.
    void btOKClick();
    // Shows the chosen day's weekday and its relative-day phrase under the date field.
    void date1Change();

protected:
    void showEvent(QShowEvent *event) override;

private:
    const Clock &m_clock;
    RegionalSettings m_regional;
    Dialogs &m_dialogs;
    ShadowLabel *m_title;
    DateField *m_date1;
    QLabel *m_lblDate2;
};
