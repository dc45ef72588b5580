#pragma once

#include <QTableView>

#include "schedule/recur.h"

class DayGridModel;

// The day grid of the "Days of Month" rule: 7 columns by 5 rows numbered 1 to 31, the last
// four cells blank. Each day has a selected flag, flipped whenever its cell becomes the
// current cell by mouse or keyboard; clicking the current cell again, or Space, flips it
// too. Selected days are drawn white on black, the others black on white.
class DayGrid : public QTableView
{
    Q_OBJECT

public:
    static constexpr int kColumns = 7;
    static constexpr int kRows = 5;

    explicit DayGrid(QWidget *parent = nullptr);

    recur::MonthDays days() const;
    bool isDaySelected(int day) const;
    // The cell of a day number, 1 to 31.
    QModelIndex indexOfDay(int day) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void currentCellChanged(const QModelIndex &current);
    void flip(const QModelIndex &index);

    DayGridModel *m_model;
    bool m_focusing = false; // the view is picking a first current cell on focus: no flip
};
