#pragma once

#include <QString>

#include <functional>

// The sizing rules of the main window's parts: the four calendars beside and above the
// splitters, the lists' "What" column, and the date heading that must fit its line.
namespace layoutrules {

// The calendars' height from the position of the splitter under them, and whether the
// date navigator shows: only when each calendar still gets more than 90 pixels with it,
// and when `navigatorFits`: the calendars keep room for their days in their font with it.
struct CalendarHeight
{
    int height = 0;
    bool navigatorShown = false;
};
CalendarHeight calendarHeight(int split2Pos, int navigatorHeight, bool navigatorFits = true);

// The height the upper area (calendars and day list) gets in a window whose two areas
// share `room` pixels: the user's split `split2Pos`, less what the lower area (to-do list)
// needs to keep `lowerMinimum`; never less than `upperMinimum`, where the calendars still
// draw their days in a readable font. So the lower area takes what the window gains or
// loses, down to its minimum, and only then the upper area gives way.
int upperAreaHeight(int split2Pos, int room, int upperMinimum, int lowerMinimum);

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
// `calendarFontSize` is the options' calendar font size, used from 75 pixels on. The weekday
// header and the bevel show from 107 pixels on, and only when `headerFits`: the days keep
// room for their font under the header.
CalendarLook calendarLook(int height, int calendarFontSize, bool headerFits = true);

// The "What" column: the list's width less the fixed columns, the vertical scroll bar
// when the list shows it, the frame and a little air.
int whatColumnWidth(int listWidth, int fixedColumns, int scrollBarWidth, int frameWidth);

// The largest point size from `preferred` down to `minimum` at which a text fits
// `available` pixels, `widthAt` measuring it at a size; `minimum` when none fits (the
// text is then elided).
int fittingPointSize(int preferred, int minimum, int available, const std::function<int(int pointSize)> &widthAt);

} // namespace layoutrules
