#pragma once

#include "text/regional.h"

#include <QColor>
#include <QDate>
#include <QWidget>

#include <functional>

// The colours of one day cell, as the calendar's owner decides them.
struct CellColours
{
    QColor text; // invalid: the calendar's own text colour
    QColor background; // invalid: the calendar's own background
    bool valid = true; // false: leave the cell blank for now (its owner cannot colour it yet)
};

// One month as a grid of six weeks of seven days, with a caption naming the month and
// the year and a one-letter weekday header. It has no navigation buttons: its owner and
// the keyboard move it. Day cells are numbered 1 to 42, row by row from the top left;
// the days of the months before and after fill the cells around the shown month, greyed
// and not selectable by mouse.
//
// The owner colours the days of the shown month through a hook asked at every paint,
// so the colours always follow the owner's data without the calendar holding any.
class MonthCalendar : public QWidget
{
    Q_OBJECT

public:
    enum class Bevel { None, Raised, Lowered };
    static constexpr int BevelWidth = 2;
    using CellColourHook = std::function<CellColours(QDate day, int cellNumber)>;

    explicit MonthCalendar(QWidget *parent = nullptr);

    QDate date() const { return m_date; }
    // Selects a day, showing its month. Invalid dates are ignored.
    void setDate(QDate date);
    int year() const { return m_date.year(); }
    int month() const { return m_date.month(); }

    Qt::DayOfWeek weekStart() const { return m_weekStart; }
    void setWeekStart(Qt::DayOfWeek day);

    // Month and day names for the caption and the weekday header.
    const RegionalSettings &regionalSettings() const { return m_regional; }
    void setRegionalSettings(const RegionalSettings &settings);

    void setCellColourHook(CellColourHook hook);

    // The selected day's background while the calendar is active; an inactive calendar
    // draws its selected day like any other day.
    QColor selectedDayColour() const { return m_selectedColour; }
    void setSelectedDayColour(const QColor &colour);
    bool isActive() const { return m_active; }
    void setActive(bool active);

    Bevel bevel() const { return m_bevel; }
    void setBevel(Bevel bevel);

    // A small calendar may do without its caption and weekday header.
    bool showsCaption() const { return m_showCaption; }
    void setShowCaption(bool show);
    bool showsWeekdayHeader() const { return m_showWeekdays; }
    void setShowWeekdayHeader(bool show);

    // The cell (1 to 42) under a point, 0 outside the day grid.
    int cellAt(QPoint point) const;
    QRect cellRect(int cell) const;
    // The day a cell shows, also for the months before and after; invalid outside 1 to 42.
    QDate dateOfCell(int cell) const;
    // The cell showing a day, 0 when the day is not on the grid.
    int cellOfDate(QDate day) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The least size, without a bevel, at which the calendar draws its days in `font`
    // without cutting a number or running two together, with its caption and weekday
    // header when asked.
    QSize leastSize(const QFont &font, bool caption, bool weekdayHeader) const;

Q_SIGNALS:
    // Any change of the selected day, by key, click or setDate. Comes before monthChanged.
    void dateChanged(QDate date);
    void monthChanged(int year, int month);
    // A left-button press anywhere on the calendar, before any change of day.
    void pressed();
    // A press on a day of the shown month, which selects it first.
    void clicked(QDate date);
    void doubleClicked(QDate date);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    struct Layout
    {
        QRect caption;
        QRect weekdays;
        QRect grid;
    };
    Layout layout() const;
    int bevelWidth() const;
    // Cells before the first of the month in the first week row.
    int leadingCells() const;
    QDate firstOfMonth() const { return QDate(m_date.year(), m_date.month(), 1); }
    void paintCaption(QPainter &painter, const QRect &rect);
    void paintWeekdays(QPainter &painter, const QRect &rect);
    void paintCell(QPainter &painter, int cell);

    QDate m_date;
    Qt::DayOfWeek m_weekStart = Qt::Sunday;
    RegionalSettings m_regional;
    CellColourHook m_hook;
    QColor m_selectedColour;
    bool m_active = true;
    Bevel m_bevel = Bevel::None;
    bool m_showCaption = true;
    bool m_showWeekdays = true;
};
