#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class CellTable;
struct FilterState;
struct RegionalSettings;

// The month of the selected day as a static web page: a grid of the days with their
// holidays and shown tasks, optionally followed by a table of the tasks' details.
namespace webcal {

// Week rows 1 to 6 by columns 1 (Sunday) to 7 (Saturday), held from index 0; 0 where a
// position holds no day. Weeks start on Sunday whatever the calendars use.
using DayGrid = std::array<std::array<int, 7>, 6>;
DayGrid FillGridWithNumbers(int year, int month);

// The shading of a grid position (week row and column, both from 1): "bgcolor=#CCFFFF"
// when both are odd or both even, else the empty text.
QString GetCheckerBoard(int week, int column);

// What a day's cell shows, as HTML: the holiday in blue, then a line per task that the
// filter shows, time in lower case and category, in store order; "&nbsp;" when empty.
// User texts are escaped.
QString HTMLDumpEventDay(const CellTable &store, const FilterState &filter, const CellTable &holidays,
    const RegionalSettings &regional, QDate day);

// One shown task of a day for the details table; the texts as the store holds them.
struct DetailRecord
{
    QString day; // day of the month
    QString time; // lower case
    QString category;
    QString alarm;
    QString done;
    QString notes;

    bool operator==(const DetailRecord &) const = default;
};
// The day's tasks that the filter shows, in store order.
QList<DetailRecord> HTMLDumpEventDetails(const CellTable &store, const FilterState &filter, QDate day);

// Where the page's day texts come from.
struct PageSource
{
    std::function<QString(QDate)> dayContent;
    std::function<QList<DetailRecord>(QDate)> details;
};

// The page of the month of `month`, line by line; `homePage` is the footer's link.
QStringList pageLines(
    QDate month, bool details, const PageSource &source, const RegionalSettings &regional, const QString &homePage);
// The lines as the file holds them: each ended by CR LF, UTF-8.
QByteArray pageBytes(const QStringList &lines);

// "Publish MONTH YEAR as a web page", the dialog's title.
QString publishTitle(QDate month, const RegionalSettings &regional);

} // namespace webcal
