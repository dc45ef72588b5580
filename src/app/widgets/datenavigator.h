#pragma once

#include <QDate>
#include <QWidget>

#include <functional>

class QLabel;
class QToolButton;

// A bar that steps a date back or forth by a year, a month, a week or a day, showing the
// date between the backward and the forward buttons. Month and year steps cut the day to
// the target month's length (31 March one month back is the last day of February).
class DateNavigator : public QWidget
{
    Q_OBJECT

public:
    enum class Step { PreviousYear, PreviousMonth, PreviousWeek, PreviousDay, NextDay, NextWeek, NextMonth, NextYear };
    using Formatter = std::function<QString(QDate)>;

    explicit DateNavigator(QWidget *parent = nullptr);

    QDate date() const { return m_date; }
    // Shows a date without emitting dateChanged, so an owner can make the navigator
    // follow another control without a loop. Invalid dates are ignored.
    void setDate(QDate date);

    // How the shown date is written (a long or a short form); ISO 8601 until one is set.
    void setFormatter(Formatter formatter);

    // Moves the date as the step's button does, emitting dateChanged.
    void step(Step step);
    QToolButton *button(Step step) const;

    // The date a step leads to from `from`.
    static QDate stepped(QDate from, Step step);

Q_SIGNALS:
    // The user moved the date with a button.
    void dateChanged(QDate date);

protected:
    void changeEvent(QEvent *event) override;

private:
    void updateText();
    void updateIcons();
    // The date label is as wide as the widest date the format writes in the font in use.
    void updateLabelWidth();

    QDate m_date;
    Formatter m_formatter;
    QLabel *m_label = nullptr;
    QToolButton *m_buttons[8] = {};
};
