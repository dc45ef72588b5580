#pragma once

#include <QString>
#include <QTime>

#include <optional>

#include "text/datevalue.h"

class Clock;
struct RegionalSettings;

// The time of day a text states, as a fraction of a day; `now` (a value above 1) when the
// text is not a time.
DateValue timeOfText(const QString &text, const RegionalSettings &settings, DateValue now);
DateValue timeOfText(const QString &text, const RegionalSettings &settings, const Clock &clock);
// The time of day a text typed whole states, to the minute: the short time pattern, the
// 24-hour form ("23:45") or an hour with a twelve-hour marker; nullopt when it is not one.
std::optional<QTime> readTypedTime(const QString &text, const RegionalSettings &settings);

// "Today", "Tomorrow", "3 days ago", "2 yrs 1 mon" ... of a day against now.
QString relativeDayText(DateValue day, DateValue now);

bool leapYear(int year);
int monthLength(int month, int year);
// 1 to 12 for a regional full month name, letters compared without case; 0 otherwise.
int monthFromName(const QString &text, const RegionalSettings &settings);
