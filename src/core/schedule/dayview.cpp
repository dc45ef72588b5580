#include "dayview.h"

#include "settings/settingsstore.h"

#include "store/taskstore.h"
#include "text/datehelpers.h"
#include "text/regional.h"
#include "text/texthelpers.h"
#include <algorithm>

namespace dayview {

ColourOptions colourOptionsOf(const Options &options, bool holidays)
{
    return { holidays, options.doneColor, options.notDoneColor, options.doneColorFG, options.doneColorBG,
        options.notDoneColorFG, options.notDoneColorBG, options.holidayColorFG, options.holidayColorBG };
}

DayColours dayColours(
    const CellTable &store, const FilterState &filter, qint64 day, bool isHoliday, const ColourOptions &options)
{
    DayColours colours;
    if (options.holidays && isHoliday)
        colours = { Look::Holiday, options.holidayFG, options.holidayBG };
    if (!options.doneColor && !options.notDoneColor)
        return colours;
    const store::DayTaskFlags flags = store::dayTaskFlags(store, filter, day);
    if (options.notDoneColor && flags.anyNotDone)
        return { Look::NotDone, options.notDoneFG, options.notDoneBG };
    if (options.doneColor && flags.anyDone)
        return { Look::Done, options.doneFG, options.doneBG };
    return colours;
}

std::array<QDate, 4> calendarDates(int active, QDate selected)
{
    std::array<QDate, 4> dates;
    active = std::clamp(active, 0, 3);
    dates[size_t(active)] = selected;
    for (int i = active - 1; i >= 0; --i)
        dates[size_t(i)] = dates[size_t(i + 1)].addMonths(-1);
    for (int i = active + 1; i < 4; ++i)
        dates[size_t(i)] = dates[size_t(i - 1)].addMonths(1);
    return dates;
}

QString todoHeading(int todoRowCount)
{
    if (todoRowCount < 3)
        return QStringLiteral("To-do Tasks");
    return QString::number(todoRowCount - 1) + QStringLiteral(" To-do Tasks");
}

DateHeading dateHeading(DateValue day, DateValue now, int dayListRowCount, const QString &holiday, bool useShadows,
    const RegionalSettings &settings)
{
    const QString relative = relativeDayText(day, now);
    if (!holiday.isEmpty())
        return { holiday + QStringLiteral("  ") + relative, kRed };
    const QString count
        = dayListRowCount < 3 ? QString() : QString::number(dayListRowCount - 1) + QStringLiteral(" tasks ");
    return { count + formatDateValue(QStringLiteral("ddd ddddd"), day, settings) + QStringLiteral("  ") + relative,
        useShadows ? kBlue : kNavy };
}

} // namespace dayview
