#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// A date and time as whole days since 1899-12-30 plus the fraction of the day.
using DateValue = double;

namespace datevalue {

constexpr qint64 kJulianDayOfZero = 2415019; // QDate(1899, 12, 30).toJulianDay()

// Whole-day number: the truncation of the value toward zero.
qint64 dayNumber(DateValue value);
qint64 dayNumber(QDate date);

DateValue fromDate(QDate date);
DateValue fromDateTime(const QDateTime &dateTime);
DateValue fromTime(QTime time); // fraction of a day only

QDate toDate(DateValue value);
QTime toTime(DateValue value);
QDateTime toDateTime(DateValue value);

} // namespace datevalue
