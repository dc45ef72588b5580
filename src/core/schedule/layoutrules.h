#pragma once

#include <QString>

#include <functional>

// The sizing rules of the main window's parts: the four calendars beside and above the
// splitters, the lists' "What" column, and the date heading that must fit its line.
namespace layoutrules {

// The calendars' height from the position of the splitter under them, and whether the
// date navigator shows: only when each calendar still gets more than 90 pixels with it.
struct CalendarHeight
{
    int height = 0;
    bool navigatorShown = false;
};
CalendarHeight calendarHeight(int split2Pos, int navigatorHeight);

// The width of each calendar from the position of the splitter beside them.
int calendarWidth(int split1Pos);

// What a calendar of a given height shows: small ones drop the weekday header, the bevel
// and the month and year labels, and draw their days smaller.
struct CalendarLook
{
    bool weekdayHeader = false;
    bool bevel = false;
    bool labels = false;
    int cellFontSize = 4;
    bool raisedLabels = false;
};
// `calendarFontSize` is the options' calendar font size, used from 75 pixels on.
CalendarLook calendarLook(int height, int calendarFontSize);

// The "What" column: the list's width less the fixed columns, the vertical scroll bar
// when the list shows it, the frame and a little air.
int whatColumnWidth(int listWidth, int fixedColumns, int scrollBarWidth, int frameWidth);

// The largest point size from `preferred` down to `minimum` at which a text fits
// `available` pixels, `widthAt` measuring it at a size; `minimum` when none fits (the
// text is then elided).
int fittingPointSize(int preferred, int minimum, int available, const std::function<int(int pointSize)> &widthAt);

} // namespace layoutrules
