#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include "datevalue.h"

// The user's regional formats. Date and time patterns are in Qt's pattern language
// ("M/d/yyyy", "h:mm AP"); names and texts are the user's language.
struct RegionalSettings
{
    QString shortDatePattern;
    QString longDatePattern;
    QString shortTimePattern;
    QString longTimePattern;
    QChar decimalSeparator = QLatin1Char('.');
    QChar dateSeparator = QLatin1Char('/');
    QChar timeSeparator = QLatin1Char(':');
    QStringList monthNames; // 12, January first
    QStringList shortMonthNames; // 12
    QStringList dayNames; // 7, Sunday first
    QStringList shortDayNames; // 7, Sunday first
    QString amText = QStringLiteral("AM");
    QString pmText = QStringLiteral("PM");

    // The settings of a locale; C and POSIX give English (United States).
    // A time zone letter is dropped from the time patterns.
    static RegionalSettings fromLocale(const QLocale &locale);
    static RegionalSettings system();
    static RegionalSettings englishUS();
    static RegionalSettings englishUK();

    bool operator==(const RegionalSettings &) const = default;
};

// Four-digit years and numeric months in the short date pattern, no seconds in the
// long time pattern. Running it twice changes nothing more.
void fix2000(RegionalSettings &settings);

// Formats a value with a pattern of the program's date formatting language
// ("ddd ddddd", "dddddd tt", "mmmm yyyy", "t", "hh:nna/p").
QString formatDateValue(const QString &pattern, DateValue value, const RegionalSettings &settings);

// Formats with a Qt-language pattern ("M/d/yyyy", "h:mm AP") using the regional names.
QString formatQtPattern(const QString &pattern, const QDateTime &dateTime, const RegionalSettings &settings);

// Reads a date written with the short date pattern; an invalid QDate when it is not one.
QDate parseShortDate(const QString &text, const RegionalSettings &settings);
