#include "datevalue.h"

#include <cmath>

namespace datevalue {

namespace {

constexpr qint64 kMsPerDay = 24LL * 60 * 60 * 1000;

} // namespace

qint64 dayNumber(DateValue value)
{
    return static_cast<qint64>(std::trunc(value));
}

qint64 dayNumber(QDate date)
{
    return date.toJulianDay() - kJulianDayOfZero;
}

DateValue fromDate(QDate date)
{
    if (!date.isValid())
        return 0.0;
    return static_cast<double>(dayNumber(date));
}

// Before the zero day the whole part still names the day and the fraction still counts
// forward from midnight, so the fraction is subtracted: -1.25 is 1899-12-29 06:00.
DateValue fromDateTime(const QDateTime &dateTime)
{
    const DateValue day = fromDate(dateTime.date());
    const DateValue time = fromTime(dateTime.time());
    return day < 0 ? day - time : day + time;
}

DateValue fromTime(QTime time)
{
    if (!time.isValid())
        return 0.0;
    return static_cast<double>(time.msecsSinceStartOfDay()) / static_cast<double>(kMsPerDay);
}

QDate toDate(DateValue value)
{
    return QDate::fromJulianDay(dayNumber(value) + kJulianDayOfZero);
}

QTime toTime(DateValue value)
{
    const double fraction = std::fabs(value - std::trunc(value));
    auto ms = static_cast<qint64>(std::llround(fraction * static_cast<double>(kMsPerDay)));
    // A fraction a hair below 1 must not round into the next day.
    if (ms >= kMsPerDay)
        ms = kMsPerDay - 1;
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
}

QDateTime toDateTime(DateValue value)
{
    return QDateTime(toDate(value), toTime(value));
}

} // namespace datevalue
