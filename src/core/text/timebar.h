#pragma once

#include <QRect>
#include <QSize>
#include <QTime>

#include <optional>

// The arithmetic of the time picker's 24-hour bar: where a time sits on the bar, which time
// a point of the bar stands for, where the pointers go, and what the picker's keys do.
// Bar x counts from the bar's left edge; the bar itself stands at kBarLeft, kBarTop in the
// picker.
namespace timebar {

constexpr int kPickerWidth = 512; // the picker's client area
constexpr int kPickerHeight = 133;

constexpr int kBarLeft = 8; // the bar in the picker
constexpr int kBarTop = 8;
constexpr int kBarWidth = 495;
constexpr int kBarHeight = 42;

constexpr int kHourZeroX = 8; // bar x of midnight at the left end
constexpr int kPixelsPerHour = 20; // so hour 24 is at bar x 488
constexpr int kMinutesPerPixel = 3;

constexpr int kPointerWidth = 11; // the two triangles
constexpr int kPointerHeight = 6;
constexpr int kLineHeight = 32;
constexpr int kFloatingTop = 54; // the floating time under the bar
constexpr int kFloatingWidth = 50;
constexpr int kFloatingHeight = 17;

// Bar x of a time: one pixel per three minutes, the pixel just left of the exact position.
int TimetoX(int hours, int minutes);

// Snaps a minute of the hour as the bar gives it (a multiple of 3; any other minute counts
// as the multiple of 3 below it) to five minutes. 60 stands for minute 0 of the next hour.
int adjustTo5Minutes(int minute);

// The time a bar x stands for, on five minutes; left of midnight is 0:00, and the right end
// wraps to 0:00.
QTime Xtotime(int x);

// Where the pointers stand for a bar x, in the picker's coordinates.
struct PointerPlacement
{
    QRect top; // the triangle on the bar's top edge, its tip over x
    QRect bottom; // the triangle on the bar's bottom edge
    QRect line; // the line through the bar at x
    QRect floating; // the floating time, centred under the line
};

// The placement for a bar x, or nothing when x is off the part of the bar the pointers can
// stand on (7 to 487). The floating time is kept wholly inside the picker, so that its
// text is never cut off at either end of the bar.
std::optional<PointerPlacement> pointerPlacement(
    int x, QSize floating = { kFloatingWidth, kFloatingHeight }, int pickerWidth = kPickerWidth);

// Night hours (before 7:00 and from 19:00) are drawn aqua, the day yellow.
bool isNightHour(int hour);

enum class TimeKey { Up, Down, PageUp, PageDown, Home };

// The time after a key of the picker, seconds dropped: Up and Down step a minute, Page Up
// and Page Down an hour, never past 0:00 or 23:59; Home gives `now`.
QTime applyTimeKey(TimeKey key, QTime time, QTime now);

} // namespace timebar
