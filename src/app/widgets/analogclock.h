#pragma once

#include <QTime>
#include <QWidget>

// A round clock face with hour marks and hour and minute hands. It shows the time it is
// given and never reads the clock itself, so its owner decides when it moves.
class AnalogClock : public QWidget
{
    Q_OBJECT

public:
    explicit AnalogClock(QWidget *parent = nullptr);

    QTime time() const { return m_time; }
    void setTime(QTime time);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTime m_time { 0, 0 };
};
