#include "timebar.h"

#include <algorithm>
#include <array>

namespace timebar {

namespace {

// The pointers stand on bar x from the bar's left position less one up to where half the
// upper pointer would pass the bar's width less three.
constexpr int kFirstPointerX = kBarLeft - 1;
constexpr int kLastPointerX = kBarWidth - 3 - kPointerWidth / 2;

} // namespace

int TimetoX(int hours, int minutes)
{
    return (hours * 60 + minutes) / kMinutesPerPixel + (kHourZeroX - 1);
}

int adjustTo5Minutes(int minute)
{
    // Indexed by minute / 3. Deliberately not plain rounding (18 gives 15, 27 gives 30).
    static constexpr std::array<int, 20> kSnapped
        = { 0, 5, 5, 10, 10, 15, 15, 20, 25, 30, 30, 35, 35, 40, 45, 45, 50, 50, 55, 60 };
    const int index = std::clamp(minute, 0, 59) / kMinutesPerPixel;
    return kSnapped[index];
}

QTime Xtotime(int x)
{
    const int m = (x - kHourZeroX) * kMinutesPerPixel;
    if (m <= 0)
        return QTime(0, 0);
    int hours = m / 60;
    int minutes = adjustTo5Minutes(m % 60);
    if (minutes == 60) {
        ++hours;
        minutes = 0;
    }
    // The right end of the bar (and anything past it) comes round to midnight again.
    return QTime(hours % 24, minutes);
}

std::optional<PointerPlacement> pointerPlacement(int x, QSize floating, int pickerWidth)
{
    if (x < kFirstPointerX || x > kLastPointerX)
        return std::nullopt;
    // The triangles' tips are 5 pixels from their left edges; in the picker, bar x stands
    // at kBarLeft + x.
    const int tip = kPointerWidth / 2;
    const int pointerLeft = kBarLeft + x - tip;
    PointerPlacement place;
    place.top = QRect(pointerLeft, kBarTop, kPointerWidth, kPointerHeight);
    place.bottom = QRect(pointerLeft, kBarTop + kBarHeight - kPointerHeight, kPointerWidth, kPointerHeight);
    place.line = QRect(pointerLeft + tip, kBarTop + kPointerHeight - 1, 1, kLineHeight);
    const int centred = place.line.left() - floating.width() / 2;
    const int left = std::clamp(centred, 0, std::max(0, pickerWidth - floating.width()));
    place.floating = QRect(QPoint(left, kFloatingTop), floating);
    return place;
}

bool isNightHour(int hour)
{
    return hour < 7 || hour >= 19;
}

QTime applyTimeKey(TimeKey key, QTime time, QTime now)
{
    if (!time.isValid())
        time = QTime(0, 0);
    int h = time.hour();
    int m = time.minute();
    switch (key) {
    case TimeKey::Up:
        if (m < 59)
            ++m;
        else if (h < 23) {
            ++h;
            m = 0;
        }
        break;
    case TimeKey::Down:
        if (m > 0)
            --m;
        else if (h > 0) {
            --h;
            m = 59;
        }
        break;
    case TimeKey::PageUp:
        if (h < 23)
            ++h;
        break;
    case TimeKey::PageDown:
        if (h > 0)
            --h;
        break;
    case TimeKey::Home:
        h = now.hour();
        m = now.minute();
        break;
    }
    return QTime(h, m);
}

} // namespace timebar
