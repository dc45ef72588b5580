#include "holidays.h"

#include "store/celltable.h"
#include "text/datehelpers.h"
#include "text/regional.h"
#include "text/texthelpers.h"

#include <algorithm>

namespace holidays {

namespace {

// The year whose month lengths the editor offers: a leap year, so February has 29.
constexpr int kOfferedYear = 1996;

bool isRuleRow(const CellTable &rules, int row)
{
    return row >= 1 && row < rules.rowCount();
}

bool rowHoldsText(const CellTable &rules, int row)
{
    for (int c = 0; c < rules.colCount(); ++c)
        if (!rules.cellUtf8(c, row).isEmpty())
            return true;
    return false;
}

} // namespace

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
    if (!rule.contains(QLatin1Char(':'))) {
        // A day the month lacks gives no date rather than a neighbouring one: such a rule
        // (29 February) is not meant for the other years.
        const int day = textToIntOrZero(rule);
        if (day < 1 || day > monthLength(month, year))
            return QDate();
        return QDate(year, month, day);
    }
    if (monthLength(month, year) == 0)
        return QDate();
    const QString text = rule.toLower();
    static const char *const ordinals[] = { "first", "second", "third", "fourth", "last" };
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
    const int day = nthWeekdayOfMonth(year, month, ordinal, weekday);
    return day > 0 ? QDate(year, month, day) : QDate();
}

void setRule(CellTable &rules, int row, const QString &name, const QString &monthText, const QString &dayRule,
    const RegionalSettings &settings)
{
    if (rules.colCount() < ColumnCount)
        rules.setColCount(ColumnCount);
    rules.setCell(Name, row, name);
    rules.setCell(
        MonthNumber, row, QStringLiteral("%1").arg(monthFromName(monthText, settings), 2, 10, QLatin1Char('0')));
    rules.setCell(MonthName, row, monthText);
    rules.setCell(DayRule, row, dayRule);
}

void setHeaders(CellTable &rules)
{
    if (rules.colCount() < ColumnCount)
        rules.setColCount(ColumnCount);
    const char *headers[] = { "Holiday name", "Mo #", "Month", "Day of month" };
    for (int c = 0; c < ColumnCount; ++c)
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
        const QDate date = ruleDate(day.year(), day.month(), rules.cell(DayRule, r), settings);
        if (date.isValid() && date == day)
            return rules.cell(Name, r);
    }
    return QString();
}

QStringList ordinalNames()
{
    return { QStringLiteral("First"), QStringLiteral("Second"), QStringLiteral("Third"), QStringLiteral("Fourth"),
        QStringLiteral("Last") };
}

QString RuleFields::dayRule() const
{
    return floating ? ordinal + QLatin1String(" : ") + weekday : QString::number(day);
}

RuleFields readRule(const CellTable &rules, int row)
{
    RuleFields fields;
    fields.name = rules.cell(Name, row);
    fields.month = rules.cell(MonthName, row);
    const QString rule = rules.cell(DayRule, row);
    // The same test as the holiday test's, so the editor never shows a rule of one kind
    // that falls on the days of the other.
    const qsizetype colon = rule.indexOf(QLatin1Char(':'));
    fields.floating = colon >= 0;
    if (fields.floating) {
        fields.ordinal = rule.left(colon).trimmed();
        fields.weekday = rule.mid(colon + 1).trimmed();
        fields.day = 0;
    } else {
        fields.day = textToIntOrZero(rule);
    }
    return fields;
}

void writeRule(CellTable &rules, int row, const RuleFields &fields, const RegionalSettings &settings)
{
    setRule(rules, row, fields.name, fields.month, fields.dayRule(), settings);
}

int addRule(CellTable &rules, int selectedRow, const RuleFields &fields, const RegionalSettings &settings)
{
    int row = isRuleRow(rules, selectedRow) ? selectedRow : 1;
    if (rules.rowCount() < 2)
        rules.setRowCount(2);
    else if (!rules.cell(Name, row).isEmpty())
        rules.insertBlankRows(row, 1);
    writeRule(rules, row, fields, settings);
    return row;
}

int deleteRule(CellTable &rules, int row)
{
    if (!isRuleRow(rules, row))
        return row;
    if (rules.rowCount() < 3) {
        rules.blankRows(row, 1);
        return row;
    }
    rules.deleteRows(row, 1);
    return std::min(row, rules.rowCount() - 1);
}

int moveRule(CellTable &rules, int from, int to)
{
    if (!isRuleRow(rules, from) || !isRuleRow(rules, to))
        return from;
    if (from == to)
        return to;
    std::vector<int> order;
    order.reserve(size_t(rules.rowCount() - 1));
    for (int r = 1; r < rules.rowCount(); ++r)
        if (r != from)
            order.push_back(r);
    order.insert(order.begin() + (to - 1), from);
    rules.applyDataRowOrder(order);
    return to;
}

int offeredDays(int month)
{
    const int length = monthLength(month, kOfferedYear);
    return length > 0 ? length : 31;
}

CellTable listCopy(const CellTable &rules)
{
    CellTable list = rules;
    setHeaders(list);
    list.setSortColumn(Name);
    list.setSortDirection(CellTable::SortDirection::Ascending);
    bool holdsText = false;
    for (int r = 1; r < list.rowCount() && !holdsText; ++r)
        holdsText = rowHoldsText(list, r);
    if (!holdsText) {
        list.setRowCount(2);
        list.blankRows(1, 1);
    }
    return list;
}

} // namespace holidays
