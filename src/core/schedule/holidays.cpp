#include "holidays.h"

#include "store/celltable.h"
#include "text/datehelpers.h"
#include "text/datehelpers.h"
#include "text/texthelpers.h"
#include "text/regional.h"

namespace holidays {

int nthWeekdayOfMonth(int year, int month, int n, int weekday)
{
    const int length = monthLength(month, year);
    // QDate counts Monday 1 to Sunday 7; rules count Sunday 1 to Saturday 7.
    auto weekdayOf = [year, month](int day) { return QDate(year, month, day).dayOfWeek() % 7 + 1; };
    if (n >= 5) {
        for (int day = length; day >= 1; --day)
            if (weekdayOf(day) == weekday)
                return day;
        return 0;
    }
    int count = 0;
    for (int day = 1; day <= length; ++day) {
        if (weekdayOf(day) == weekday && ++count == n)
            return day;
    }
    return 0;
}

QDate ruleDate(int year, int month, const QString &rule, const RegionalSettings &settings)
{
    if (!rule.contains(QLatin1Char(':')))
        return QDate(year, month, textToIntOrZero(rule.trimmed()));
    const QString text = rule.toLower();
    static const char *const ordinals[] = {"first", "second", "third", "fourth", "last"};
    int ordinal = 0;
    for (int i = 0; i < 5 && ordinal == 0; ++i)
        if (text.contains(QLatin1String(ordinals[i])))
            ordinal = i + 1;
    int weekday = 0;
    for (int i = 0; i < 7 && i < settings.dayNames.size() && weekday == 0; ++i)
        if (text.contains(settings.dayNames[i].toLower()))
            weekday = i + 1;
    if (ordinal == 0 || weekday == 0)
        return QDate(year, month, 1);
    return QDate(year, month, nthWeekdayOfMonth(year, month, ordinal, weekday));
}

void setRule(CellTable &rules, int row, const QString &name, const QString &monthText, const QString &dayRule,
             const RegionalSettings &settings)
{
    if (rules.colCount() < 4)
        rules.setColCount(4);
    rules.setCell(Name, row, name);
    rules.setCell(MonthNumber, row, QStringLiteral("%1").arg(monthFromName(monthText, settings), 2, 10, QLatin1Char('0')));
    rules.setCell(MonthName, row, monthText);
    rules.setCell(DayRule, row, dayRule);
}

void setHeaders(CellTable &rules)
{
    if (rules.colCount() < 4)
        rules.setColCount(4);
    const char *headers[] = {"Holiday name", "Mo #", "Month", "Day of month"};
    for (int c = 0; c < 4; ++c)
        rules.setCell(c, 0, QString::fromLatin1(headers[c]));
}

QString findHoliday(const CellTable &rules, QDate day, const RegionalSettings &settings)
{
    if (!day.isValid() || settings.monthNames.size() < 12)
        return QString();
    const QString monthName = settings.monthNames[day.month() - 1].toLower();
    // A rule without a name matches like any other and names its day with the empty text,
    // so it hides later rules of that day; a blank row has no month and never matches.
    for (int r = 1; r < rules.rowCount(); ++r) {
        if (!rules.cell(MonthName, r).toLower().contains(monthName))
            continue;
        if (ruleDate(day.year(), day.month(), rules.cell(DayRule, r), settings) == day)
            return rules.cell(Name, r);
    }
    return QString();
}

} // namespace holidays
