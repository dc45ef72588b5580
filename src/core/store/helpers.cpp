#include "helpers.h"

#include <QFileInfo>

#include <cmath>
#include <iterator>
#include <limits>
#include <optional>

#include "regional.h"
#include "services.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Characters that end a word for the whole-word search, in the order they are replaced.
constexpr char16_t kWordBreaks[] = {
    9,
    39,
    13,
    10,
    32,
    44,
    46,
    47,
    63,
    59,
    58,
    96,
    34,
    60,
    62,
    91,
    93,
    123,
    125,
    45,
    61,
    92,
    43,
    124,
    40,
    41,
    37,
    64,
    38,
    94,
    36,
    35,
    33,
    126,
    42,
};
static_assert(std::size(kWordBreaks) == 35);

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

// The twelve-hour marker that makes up the whole of text, if any: the regional texts
// first, then the English letters.
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
        if (hourMark.isEmpty() || (hourMark.size() == 1 && isSeparator(hourMark.at(0))))
            return -1;
        skipSpaces(text, at);
        if (!QStringView(text).mid(at).startsWith(hourMark, Qt::CaseInsensitive))
            return -1;
        at += hourMark.size();
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

QString joinPath(const QString &folder, const QString &name)
{
    // No folder means a name relative to the working folder, never one at the root.
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

void showError(Dialogs &dialogs, const QString &message)
{
    dialogs.showError(message);
}

void showInfo(Dialogs &dialogs, const QString &message)
{
    dialogs.showInfo(message);
}

QString yesNoText(bool flag)
{
    return flag ? QStringLiteral("Yes") : QStringLiteral("No");
}

bool isYes(const QString &text)
{
    return text == QLatin1String("Yes");
}

bool isDigitChar(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool isBlankText(const QString &text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u != u' ' && u != u'\r' && u != u'\n' && u != u'\b')
            return false;
    }
    return true;
}

bool isFileEmpty(const QString &path)
{
    const QFileInfo info(path);
    return !info.isFile() || info.size() == 0;
}

int textToIntOrZero(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype pos = 0;
    bool negative = false;
    if (pos < t.size() && (t.at(pos) == QLatin1Char('+') || t.at(pos) == QLatin1Char('-'))) {
        negative = t.at(pos) == QLatin1Char('-');
        ++pos;
    }
    if (pos == t.size())
        return 0;
    qint64 value = 0;
    for (; pos < t.size(); ++pos) {
        if (!isDigitChar(t.at(pos)))
            return 0;
        value = value * 10 + (t.at(pos).unicode() - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return 0;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return 0;
    return int(value);
}

double keyToNumber(const QString &text, const RegionalSettings &settings)
{
    QString t = text.trimmed();
    const QChar separator = settings.decimalSeparator;
    if (separator != QLatin1Char('.')) {
        const qsizetype dot = t.indexOf(QLatin1Char('.'));
        if (dot >= 0)
            t[dot] = separator;
    }

    // Strict: sign, digits, one decimal separator, digits, an optional exponent, nothing else.
    QString plain;
    qsizetype pos = 0;
    if (pos < t.size() && (t.at(pos) == QLatin1Char('+') || t.at(pos) == QLatin1Char('-')))
        plain += t.at(pos++);
    int digits = 0;
    while (pos < t.size() && isDigitChar(t.at(pos))) {
        plain += t.at(pos++);
        ++digits;
    }
    if (pos < t.size() && t.at(pos) == separator) {
        plain += QLatin1Char('.');
        ++pos;
        while (pos < t.size() && isDigitChar(t.at(pos))) {
            plain += t.at(pos++);
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    if (pos < t.size() && (t.at(pos) == QLatin1Char('e') || t.at(pos) == QLatin1Char('E'))) {
        plain += QLatin1Char('e');
        ++pos;
        if (pos < t.size() && (t.at(pos) == QLatin1Char('+') || t.at(pos) == QLatin1Char('-')))
            plain += t.at(pos++);
        int exponentDigits = 0;
        while (pos < t.size() && isDigitChar(t.at(pos))) {
            plain += t.at(pos++);
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return 0.0;
    }
    if (pos != t.size())
        return 0.0;
    bool ok = false;
    const double value = plain.toDouble(&ok); // always the C locale
    return ok && std::isfinite(value) ? value : 0.0;
}

DateValue timeOfText(const QString &text, const RegionalSettings &settings, const Clock &clock)
{
    if (const auto time = parseTime(text, settings))
        return *time;
    return clock.nowValue();
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

QString firstLine(const QString &text)
{
    const qsizetype at = text.indexOf(kCrLf);
    return at < 0 ? text : text.left(at);
}

QString memoToText(const QStringList &lines)
{
    if (lines.isEmpty())
        return {};
    if (lines.size() == 1)
        return lines.first();
    QString text;
    for (const QString &line : lines)
        text += line + kCrLf;
    return text;
}

QStringList textToMemoLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    if (!text.contains(kCrLf))
        return { text };
    QStringList lines;
    qsizetype start = 0;
    qsizetype at = 0;
    while ((at = text.indexOf(kCrLf, start)) >= 0) {
        lines << text.mid(start, at - start);
        start = at + 2;
    }
    // Multi-line cell texts end with CR LF. A text that does not (an older file, a hand
    // edit) keeps its last line, so showing and saving a note never drops it.
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QString textToFlatMemo(const QString &text)
{
    QString flat = text;
    flat.remove(kCrLf);
    return flat;
}

QString tabField(const QString &text, int n)
{
    if (n < 1)
        return {};
    const QStringList fields = text.split(QLatin1Char('\t'));
    return n <= fields.size() ? fields.at(n - 1) : QString();
}

bool containsWord(const QString &text, const QString &word, bool matchCase)
{
    if (isBlankText(text) || isBlankText(word))
        return false;
    QString t = matchCase ? text : asciiUpper(text);
    const QString w = matchCase ? word : asciiUpper(word);
    if (!t.contains(w))
        return false;
    for (char16_t c : kWordBreaks)
        t.replace(QChar(c), QLatin1Char('\t'));
    const QStringList words = t.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
    return words.contains(w);
}

bool textMatches(const QString &text, bool wholeWord, bool matchCase, const QString &searched)
{
    if (wholeWord)
        return containsWord(text, searched, matchCase);
    // Finding nothing is not a match, or every row would be a hit.
    if (searched.isEmpty())
        return false;
    if (matchCase)
        return text.contains(searched);
    return asciiUpper(text).contains(asciiUpper(searched));
}

QString asciiUpper(const QString &text)
{
    QString upper = text;
    for (QChar &c : upper) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z')
            c = QChar(char16_t(u - (u'a' - u'A')));
    }
    return upper;
}

bool equalsAsciiCaseInsensitive(const QString &a, const QString &b)
{
    return asciiUpper(a) == asciiUpper(b);
}
