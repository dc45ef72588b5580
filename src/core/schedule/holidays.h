#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

class CellTable;
struct RegionalSettings;

// Holiday rules: rows of "Holiday name", "Mo #", "Month", "Day of month", where the day
// rule is a day number or "<ordinal> : <weekday>" ("Last : Monday").
namespace holidays {

enum Column { Name = 0, MonthNumber = 1, MonthName = 2, DayRule = 3, ColumnCount = 4 };

// The longest name the editor takes.
inline constexpr int kNameLength = 30;

// The day of month of the n-th (1 to 4; 5 or more: the last) weekday (1 Sunday to
// 7 Saturday) of a month, or 0 when there is none.
int nthWeekdayOfMonth(int year, int month, int n, int weekday);
// The date a day rule names in a month; a floating rule whose words are not found
// falls on the first of the month. An invalid date when the rule names no day of that
// month: a fixed day the month lacks (29 February of a common year, the 31st of a 30-day
// month), a day beyond 31 or below 1, or a day that is not a number.
QDate ruleDate(int year, int month, const QString &rule, const RegionalSettings &settings);
// Writes a rule row: the name, the month number "%.2d" of the month text ("00" when it names
// no regional month), the month text and the day rule.
void setRule(CellTable &rules, int row, const QString &name, const QString &monthText, const QString &dayRule,
    const RegionalSettings &settings);
// The header texts of a holiday table: "Holiday name", "Mo #", "Month", "Day of month".
void setHeaders(CellTable &rules);

// The name of the first rule that falls on the day, or the empty text. A first matching
// rule whose name is empty answers the empty text too. A rule that names no day of the
// day's month and year never matches.
QString findHoliday(const CellTable &rules, QDate day, const RegionalSettings &settings);

// ---- The holiday list and its editor

// The ordinals of a floating rule, "First" to "Fourth" and "Last".
QStringList ordinalNames();

// A rule as the editor shows it.
struct RuleFields
{
    QString name;
    QString month; // the month text as written in the row
    bool floating = false;
    int day = 1; // a fixed rule's day number; 0 when its text is not a number
    QString ordinal; // a floating rule's two parts
    QString weekday;

    // "25", or "First : Monday" for a floating rule.
    QString dayRule() const;
    bool operator==(const RuleFields &) const = default;
};

// A rule row read back for the editor. A rule with a colon is floating, as the holiday
// test takes it: the ordinal is the text before the first colon and the weekday the text
// after it, without the spaces around them. Any other rule is a fixed day, read as a
// decimal integer.
RuleFields readRule(const CellTable &rules, int row);
// Writes the editor's values into a row (the month number follows the month text).
void writeRule(CellTable &rules, int row, const RuleFields &fields, const RegionalSettings &settings);
// Add: a selected row whose name is empty is written over; otherwise an empty row is
// inserted at the selected row, which moves down with those after it. A selected row
// outside the rule rows counts as the first. Answers the row written.
int addRule(CellTable &rules, int selectedRow, const RuleFields &fields, const RegionalSettings &settings);
// Delete: the only rule of a table is emptied, so the list keeps one row; any other rule
// row is removed. Answers the row to select next (the same place, or the last row).
int deleteRule(CellTable &rules, int row);
// Reordering: the rule row `from` moves to the place of row `to`; the rows between shift
// by one. Answers where the row is now (`from` when either is not a rule row).
int moveRule(CellTable &rules, int from, int to);

// The day numbers the editor offers for a month: 1 to the month's length in a leap year
// (February offers 29), or 1 to 31 for a month that is not 1 to 12.
int offeredDays(int month);

// The holiday list's own copy of a rule table: four columns or more with the header texts,
// the sort state of a new table, and at least one row; a table whose rows are all blank
// becomes one blank row. Nothing that holds text is dropped.
CellTable listCopy(const CellTable &rules);

} // namespace holidays
