#pragma once

#include <QDate>
#include <QString>

class CellTable;
struct RegionalSettings;

// Holiday rules: rows of "Holiday name", "Mo #", "Month", "Day of month", where the day
// rule is a day number or "<ordinal> : <weekday>" ("Last : Monday").
namespace holidays {

enum Column { Name = 0, MonthNumber = 1, MonthName = 2, DayRule = 3 };

// The day of month of the n-th (1 to 4; 5 or more: the last) weekday (1 Sunday to
// 7 Saturday) of a month, or 0 when there is none.
int nthWeekdayOfMonth(int year, int month, int n, int weekday);
// The date a day rule names in a month; a floating rule whose words are not found
// falls on the first of the month.
QDate ruleDate(int year, int month, const QString &rule, const RegionalSettings &settings);
// Writes a rule row: the name, the month number "%.2d" of the month text ("00" when it names
// no regional month), the month text and the day rule.
void setRule(CellTable &rules, int row, const QString &name, const QString &monthText, const QString &dayRule,
             const RegionalSettings &settings);
// The header texts of a holiday table: "Holiday name", "Mo #", "Month", "Day of month".
void setHeaders(CellTable &rules);

// The name of the first rule that falls on the day, or the empty text. A first matching
// rule whose name is empty answers the empty text too.
QString findHoliday(const CellTable &rules, QDate day, const RegionalSettings &settings);

} // namespace holidays
