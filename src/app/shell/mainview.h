#pragma once

#include <QDate>

class QWidget;

// What the command classes may ask of the main window: the selected day, the list the user
// works in and its row, and moving the view to a day or a row.
class MainView
{
public:
    enum class List { None, Day, Todo };

    virtual ~MainView() = default;
    // The window the command's dialogs stand over.
    virtual QWidget *dialogParent() = 0;
    virtual QDate selectedDay() const = 0;
    // The list that last had the focus, and its selected row (from 1; -1 for none).
    virtual List focusedList() const = 0;
    virtual int currentRow(List list) const = 0;
    virtual void selectRow(List list, int row) = 0;
    // Gives a list the focus, keeping its selected row.
    virtual void focusList(List list) = 0;
    // Makes a day the selected day: the calendars, the day list and the headings follow.
    virtual void showDay(QDate day) = 0;
};
