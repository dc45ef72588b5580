#pragma once

#include <QColor>
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

    QColor hourHandColour() const { return m_hourHand; }
    QColor minuteHandColour() const { return m_minuteHand; }
    void setHandColours(const QColor &hour, const QColor &minute);

    // Hands that cast a soft shadow down and to the right, so they stand off the face.
    bool handShadow() const { return m_handShadow; }
    void setHandShadow(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTime m_time { 0, 0 };
    QColor m_hourHand { 0x1a, 0x1a, 0x2a };
    QColor m_minuteHand { 0x24, 0x4f, 0xa8 };
    bool m_handShadow = false;
};
