#include "layoutrules.h"

#include <algorithm>

namespace layoutrules {

CalendarHeight calendarHeight(int split2Pos, int navigatorHeight)
{
    const int withNavigator = (split2Pos - navigatorHeight - 5) / 2;
    if (withNavigator > 90)
        return { withNavigator, true };
    return { (split2Pos - 5) / 2, false };
}

int calendarWidth(int split1Pos)
{
    return (split1Pos - 1) / 2;
}

CalendarLook calendarLook(int height, int calendarFontSize)
{
    CalendarLook look;
    look.weekdayHeader = height > 106;
    look.bevel = height > 106;
    look.labels = height > 50;
    if (height < 50) {
        look.cellFontSize = 4;
    } else if (height < 75) {
        look.cellFontSize = 6;
    } else {
        look.cellFontSize = calendarFontSize;
        look.raisedLabels = true;
    }
    return look;
}

int whatColumnWidth(int listWidth, int fixedColumns, int scrollBarWidth, int frameWidth)
{
    return listWidth - fixedColumns - scrollBarWidth - frameWidth - 5;
}

int fittingPointSize(int preferred, int minimum, int available, const std::function<int(int pointSize)> &widthAt)
{
    minimum = std::min(minimum, preferred);
    for (int size = preferred; size > minimum; --size) {
        if (widthAt(size) <= available)
            return size;
    }
    return minimum;
}

} // namespace layoutrules
