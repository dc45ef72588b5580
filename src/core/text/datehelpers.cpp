#include "datehelpers.h"

#include <QHash>
#include <QLocale>
#include <QSet>

#include <optional>

#include "platform/clock.h"
#include "text/regional.h"
#include "texthelpers.h"

namespace {

QString plural(int n)
{
    return n > 1 ? QStringLiteral("s") : QString();
}

// Reads one or two digits at pos; advances pos.
std::optional<int> readTwoDigits(const QString &text, qsizetype &pos)
{
    qsizetype end = pos;
    while (end < text.size() && end - pos < 3 && isDigitChar(text.at(end)))
        ++end;
    const qsizetype digits = end - pos;
    if (digits < 1 || digits > 2)
        return std::nullopt;
    const int value = text.mid(pos, digits).toInt();
    pos = end;
    return value;
}

void skipSpaces(const QString &text, qsizetype &pos)
{
    while (pos < text.size() && text.at(pos) == QLatin1Char(' '))
        ++pos;
}

enum class Marker { None, Am, Pm };

// The twelve-hour markers of every regional setting Qt knows ("오후", "م", "nachm."), those
// that mean the same in all of them: a time written under one setting reads under any.
const QHash<QString, Marker> &everyMarker()
{
    static const QHash<QString, Marker> markers = [] {
        QHash<QString, Marker> found;
        QSet<QString> ambiguous;
        const auto add = [&](const QString &text, Marker marker) {
            const QString key = text.trimmed().toCaseFolded();
            if (key.isEmpty() || ambiguous.contains(key))
                return;
            if (const auto it = found.constFind(key); it != found.constEnd() && *it != marker) {
                found.remove(key);
                ambiguous.insert(key);
                return;
            }
            found.insert(key, marker);
        };
        for (const QLocale &locale :
            QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            add(locale.amText(), Marker::Am);
            add(locale.pmText(), Marker::Pm);
        }
        return found;
    }();
    return markers;
}

// The twelve-hour marker that makes up the whole of text, if any: the regional texts
// first, then the English letters, then those of any other regional setting.
std::optional<Marker> markerOf(QStringView text, const RegionalSettings &settings)
{
    auto is = [&](const QString &candidate) {
        return !candidate.isEmpty() && text.compare(candidate, Qt::CaseInsensitive) == 0;
    };
    if (is(settings.amText))
        return Marker::Am;
    if (is(settings.pmText))
        return Marker::Pm;
    for (const char *am : { "am", "a", "a.m." }) {
        if (text.compare(QLatin1String(am), Qt::CaseInsensitive) == 0)
            return Marker::Am;
    }
    for (const char *pm : { "pm", "p", "p.m." }) {
        if (text.compare(QLatin1String(pm), Qt::CaseInsensitive) == 0)
            return Marker::Pm;
    }
    if (text.isEmpty())
        return std::nullopt;
    const QHash<QString, Marker> &markers = everyMarker();
    if (const auto it = markers.constFind(text.toString().toCaseFolded()); it != markers.constEnd())
        return *it;
    return std::nullopt;
}

// The marker that text starts with, followed by a space or a digit; its length in out.
std::optional<Marker> leadingMarker(const QString &text, const RegionalSettings &settings, qsizetype &length)
{
    qsizetype end = 0;
    while (end < text.size() && !isDigitChar(text.at(end)))
        ++end;
    if (end == 0 || end == text.size())
        return std::nullopt;
    const auto marker = markerOf(QStringView(text).left(end).trimmed(), settings);
    if (marker)
        length = end;
    return marker;
}

// The text between hour and minute in a Qt time pattern, quotes taken off: ":" for
// "h:mm AP", "h" for "HH 'h' mm".
QString hourMinuteLiteral(const QString &pattern)
{
    bool afterHour = false;
    QString literal;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            qsizetype end = pattern.indexOf(QLatin1Char('\''), i + 1);
            if (end < 0)
                end = pattern.size();
            if (afterHour)
                literal += end == i + 1 ? QString(QLatin1Char('\'')) : pattern.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (c == QLatin1Char('h') || c == QLatin1Char('H')) {
            afterHour = true;
            literal.clear();
        } else if (c == QLatin1Char('m')) {
            return afterHour ? literal.trimmed() : QString();
        } else if (afterHour) {
            literal += c;
        }
        ++i;
    }
    return {};
}

// Hour, optional minutes, optional seconds, optional twelve-hour marker before or after.
std::optional<double> parseTime(const QString &input, const RegionalSettings &settings)
{
    QString text = input.trimmed();
    if (text.isEmpty())
        return std::nullopt;

    Marker marker = Marker::None;
    qsizetype markerLength = 0;
    if (const auto lead = leadingMarker(text, settings, markerLength)) {
        marker = *lead;
        text = text.mid(markerLength).trimmed();
    }

    auto isSeparator
        = [&](QChar c) { return c == settings.timeSeparator || c == QLatin1Char(':') || c == QLatin1Char('.'); };

    // The regional text between hour and minute, as in "14 h 07", with or without spaces.
    const QString hourMark = hourMinuteLiteral(settings.shortTimePattern);
    auto minuteStart = [&](qsizetype at) -> qsizetype {
        if (at + 1 < text.size() && isSeparator(text.at(at)) && isDigitChar(text.at(at + 1)))
            return at + 1;
        // The regional mark, or "h" as French settings write it ("14 h 30") under any other.
        skipSpaces(text, at);
        const QStringView rest = QStringView(text).mid(at);
        const bool regionalMark = !hourMark.isEmpty() && !(hourMark.size() == 1 && isSeparator(hourMark.at(0)))
            && rest.startsWith(hourMark, Qt::CaseInsensitive);
        if (regionalMark)
            at += hourMark.size();
        else if (rest.startsWith(QLatin1Char('h'), Qt::CaseInsensitive))
            at += 1;
        else
            return -1;
        skipSpaces(text, at);
        return at < text.size() && isDigitChar(text.at(at)) ? at : -1;
    };

    qsizetype pos = 0;
    const auto hour = readTwoDigits(text, pos);
    if (!hour)
        return std::nullopt;
    int minute = 0;
    int second = 0;
    if (const qsizetype start = minuteStart(pos); start >= 0) {
        pos = start;
        const auto m = readTwoDigits(text, pos);
        if (!m)
            return std::nullopt;
        minute = *m;
        if (pos + 1 < text.size() && isSeparator(text.at(pos)) && isDigitChar(text.at(pos + 1))) {
            ++pos;
            const auto s = readTwoDigits(text, pos);
            if (!s)
                return std::nullopt;
            second = *s;
        }
    }
    skipSpaces(text, pos);
    if (pos < text.size()) {
        if (marker != Marker::None)
            return std::nullopt;
        const auto trailing = markerOf(QStringView(text).mid(pos).trimmed(), settings);
        if (!trailing)
            return std::nullopt;
        marker = *trailing;
    }

    int h = *hour;
    if (marker != Marker::None) {
        if (h > 12)
            return std::nullopt;
        h %= 12; // 12 AM is midnight, 12 PM noon
        if (marker == Marker::Pm)
            h += 12;
    }
    if (h > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return (h * 3600 + minute * 60 + second) / 86400.0;
}

} // namespace

DateValue timeOfText(const QString &text, const RegionalSettings &settings, DateValue now)
{
    if (const auto time = parseTime(text, settings))
        return *time;
    return now;
}

DateValue timeOfText(const QString &text, const RegionalSettings &settings, const Clock &clock)
{
    if (const auto time = parseTime(text, settings))
        return *time;
    return clock.nowValue();
}

std::optional<QTime> readTypedTime(const QString &text, const RegionalSettings &settings)
{
    const auto time = parseTime(text, settings);
    if (!time)
        return std::nullopt;
    const int minutes = int(*time * 86400.0 + 0.5) / 60;
    return QTime(minutes / 60, minutes % 60);
}

QString relativeDayText(DateValue day, DateValue now)
{
    const qint64 dayD = datevalue::dayNumber(day);
    const qint64 dayN = datevalue::dayNumber(now);
    if (dayD < datevalue::dayNumber(QDate(1, 1, 1)))
        return {};

    const bool future = dayD > dayN;
    const qint64 days = future ? dayD - dayN : dayN - dayD;
    if (days == 0)
        return QStringLiteral("Today");
    if (days == 1)
        return future ? QStringLiteral("Tomorrow") : QStringLiteral("Yesterday");

    const QDate dateD = datevalue::toDate(day);
    const QDate dateN = datevalue::toDate(now);
    // Weekdays numbered 1 for Sunday to 7 for Saturday.
    const int wD = dateD.dayOfWeek() % 7 + 1;
    const int wN = dateN.dayOfWeek() % 7 + 1;
    const qint64 monthsD = 12LL * dateD.year() + dateD.month();
    const qint64 monthsN = 12LL * dateN.year() + dateN.month();
    const QString dayCount = QString::number(days);

    if (future) {
        const qint64 weeks = (days + wN - 1) / 7;
        const qint64 months = monthsD - monthsN;
        const int years = dateD.year() - dateN.year();
        if (weeks <= 5)
            return dayCount + QStringLiteral(" days");
        if (months <= 2)
            return QString::number(weeks) + QStringLiteral(" wks");
        if (years <= 2)
            return QString::number(months) + QStringLiteral(" mon") + plural(int(months));
        const qint64 y = months / 12;
        const int m = int(months % 12);
        QString text = QString::number(y) + QStringLiteral(" yrs");
        if (m > 0)
            text += QLatin1Char(' ') + QString::number(m) + QStringLiteral(" mon") + plural(m);
        return text;
    }

    // The past allows one week more before it counts in weeks.
    const qint64 weeks = (days + wD - 1) / 7;
    const qint64 months = monthsN - monthsD;
    const int years = dateN.year() - dateD.year();
    if (weeks <= 6)
        return dayCount + QStringLiteral(" days ago");
    if (months <= 2)
        return QString::number(weeks) + QStringLiteral(" wks ago");
    if (years <= 2)
        return QString::number(months) + QStringLiteral(" mon") + plural(int(months)) + QStringLiteral(" ago");
    const qint64 y = months / 12;
    const int m = int(months % 12);
    QString text = QString::number(y) + QStringLiteral(" yrs ");
    if (m > 0)
        text += QString::number(m) + QStringLiteral(" mon") + plural(m) + QLatin1Char(' ');
    return text + QStringLiteral("ago");
}

bool leapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int monthLength(int month, int year)
{
    static constexpr int kLengths[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && leapYear(year))
        return 29;
    return kLengths[month - 1];
}

int monthFromName(const QString &text, const RegionalSettings &settings)
{
    for (qsizetype i = 0; i < settings.monthNames.size() && i < 12; ++i) {
        if (equalsAsciiCaseInsensitive(text, settings.monthNames.at(i)))
            return int(i) + 1;
    }
    return 0;
}
