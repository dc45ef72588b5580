#pragma once

#include <QDate>
#include <QString>

#include <array>

#include "text/datevalue.h"

class CellTable;
struct Options;
struct FilterState;
struct RegionalSettings;

// The rules behind what the main window shows for a day: the colour of a calendar day
// and the two headings. Views only draw what these answer.
namespace dayview {

// Colours as stored in the settings: 0x00BBGGRR.
struct ColourOptions
{
    bool holidays = false; // colour holidays at all
    bool doneColor = false; // colour days with a done task
    bool notDoneColor = false; // colour days with an open task
    int doneFG = 0;
    int doneBG = 0;
    int notDoneFG = 0;
    int notDoneBG = 0;
    int holidayFG = 0;
    int holidayBG = 0;
};

// The colour options as the settings hold them; `holidays` is the options dialog's box.
ColourOptions colourOptionsOf(const Options &options, bool holidays);

enum class Look { Plain, Holiday, Done, NotDone };

struct DayColours
{
    Look look = Look::Plain;
    int text = -1; // colour number; -1 for the calendar's own
    int background = -1; // colour number; -1 for the calendar's own
};

// Task colours come from the day's tasks that the filter lets through and replace the
// holiday colours. With both task colours on, an open task wins over a done one.
DayColours dayColours(
    const CellTable &store, const FilterState &filter, qint64 day, bool isHoliday, const ColourOptions &options);

// The dates of the four calendars when calendar `active` (0 to 3) holds `selected`: four
// consecutive months, each derived from its neighbour one month on or back, so a day cut to
// a short month stays cut (31 January in the second: 31 December, 28 February, 28 March).
std::array<QDate, 4> calendarDates(int active, QDate selected);

// "To-do Tasks", or "%d To-do Tasks" from two tasks on.
QString todoHeading(int todoRowCount);

struct DateHeading
{
    QString caption;
    int colour; // colour number
};
// The date heading of the selected day: the holiday's name in red, or the count of tasks
// (from two on), the date and the relative-day phrase in blue (shadows) or navy.
DateHeading dateHeading(DateValue day, DateValue now, int dayListRowCount, const QString &holiday, bool useShadows,
    const RegionalSettings &settings);

// A done cell that contains "Yes" anywhere ("Yes", "Yes!") marks a row to strike out.
inline bool strikesOut(const QString &doneText)
{
    return doneText.contains(QLatin1String("Yes"));
}

constexpr int kRed = 255;
constexpr int kBlue = 16711680;
constexpr int kNavy = 8388608;

} // namespace dayview
