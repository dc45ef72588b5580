#include "layoutrules.h"

#include <algorithm>

namespace layoutrules {

CalendarHeight calendarHeight(int split2Pos, int navigatorHeight, bool navigatorFits)
{
    const int withNavigator = (split2Pos - navigatorHeight - 5) / 2;
    if (withNavigator > 90 && navigatorFits)
        return { withNavigator, true };
    return { (split2Pos - 5) / 2, false };
}

int upperAreaHeight(int split2Pos, int room, int upperMinimum, int lowerMinimum)
{
    return std::max(upperMinimum, std::min(split2Pos, room - lowerMinimum));
}

int calendarWidth(int split1Pos)
{
    return (split1Pos - 1) / 2;
}

CalendarLook calendarLook(int height, int calendarFontSize, bool headerFits)
{
    CalendarLook look;
    look.weekdayHeader = height > 106 && headerFits;
    look.bevel = look.weekdayHeader;
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
