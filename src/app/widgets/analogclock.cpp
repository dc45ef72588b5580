#include "analogclock.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace {

// Angles of the hands in degrees, clockwise from twelve.
double hourHandAngle(QTime time)
{
    return 30.0 * (time.hour() % 12) + time.minute() / 2.0;
}

double minuteHandAngle(QTime time)
{
    // Seconds count too, so that a clock set between whole minutes is not a minute behind.
    return 6.0 * time.minute() + time.second() / 10.0;
}

} // namespace

AnalogClock::AnalogClock(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void AnalogClock::setTime(QTime time)
{
    if (!time.isValid() || time == m_time)
        return;
    m_time = time;
    update();
}

void AnalogClock::setHandColours(const QColor &hour, const QColor &minute)
{
    m_hourHand = hour;
    m_minuteHand = minute;
    update();
}

void AnalogClock::setHandShadow(bool on)
{
    if (on == m_handShadow)
        return;
    m_handShadow = on;
    update();
}

QSize AnalogClock::sizeHint() const
{
    return { 64, 64 };
}

QSize AnalogClock::minimumSizeHint() const
{
    return { 24, 24 };
}

void AnalogClock::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    // Drawn on a 200-unit face centred on the widget, so every size looks the same.
    const int side = std::min(width(), height());
    p.translate(width() / 2.0, height() / 2.0);
    p.scale(side / 200.0, side / 200.0);

    const QColor rim(0x1c, 0x2f, 0x5e);
    const QColor ink(0x1a, 0x1a, 0x2a);

    QRadialGradient face(QPointF(-30, -35), 150);
    face.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    face.setColorAt(1.0, QColor(0xdc, 0xe4, 0xf2));
    p.setPen(QPen(rim, 9));
    p.setBrush(face);
    p.drawEllipse(QPointF(0, 0), 94, 94);

    // Hour marks, the quarters longer and heavier.
    for (int i = 0; i < 12; ++i) {
        const bool quarter = i % 3 == 0;
        p.setPen(QPen(ink, quarter ? 8 : 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, quarter ? -68 : -74), QPointF(0, -82));
        p.rotate(30.0);
    }

    auto drawHand = [&p](double angle, double length, double width, const QColor &colour, QPointF offset = {}) {
        p.save();
        p.translate(offset);
        p.rotate(angle);
        QPainterPath hand;
        hand.moveTo(-width / 2, 14);
        hand.lineTo(-width / 3, -length);
        hand.lineTo(0, -length - width / 2);
        hand.lineTo(width / 3, -length);
        hand.lineTo(width / 2, 14);
        hand.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPath(hand);
        p.restore();
    };
    if (m_handShadow) {
        const QColor shadow(0, 0, 0, 70);
        const QPointF offset(5, 6);
        drawHand(hourHandAngle(m_time), 44, 13, shadow, offset);
        drawHand(minuteHandAngle(m_time), 68, 9, shadow, offset);
    }
    drawHand(hourHandAngle(m_time), 44, 13, m_hourHand);
    drawHand(minuteHandAngle(m_time), 68, 9, m_minuteHand);

    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(QPointF(0, 0), 8, 8);
}
