#include "regional.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

const QStringList kEnglishMonths = {
    QStringLiteral("January"),
    QStringLiteral("February"),
    QStringLiteral("March"),
    QStringLiteral("April"),
    QStringLiteral("May"),
    QStringLiteral("June"),
    QStringLiteral("July"),
    QStringLiteral("August"),
    QStringLiteral("September"),
    QStringLiteral("October"),
    QStringLiteral("November"),
    QStringLiteral("December"),
};
const QStringList kEnglishShortMonths = {
    QStringLiteral("Jan"),
    QStringLiteral("Feb"),
    QStringLiteral("Mar"),
    QStringLiteral("Apr"),
    QStringLiteral("May"),
    QStringLiteral("Jun"),
    QStringLiteral("Jul"),
    QStringLiteral("Aug"),
    QStringLiteral("Sep"),
    QStringLiteral("Oct"),
    QStringLiteral("Nov"),
    QStringLiteral("Dec"),
};
const QStringList kEnglishDays = {
    QStringLiteral("Sunday"),
    QStringLiteral("Monday"),
    QStringLiteral("Tuesday"),
    QStringLiteral("Wednesday"),
    QStringLiteral("Thursday"),
    QStringLiteral("Friday"),
    QStringLiteral("Saturday"),
};
const QStringList kEnglishShortDays = {
    QStringLiteral("Sun"),
    QStringLiteral("Mon"),
    QStringLiteral("Tue"),
    QStringLiteral("Wed"),
    QStringLiteral("Thu"),
    QStringLiteral("Fri"),
    QStringLiteral("Sat"),
};

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

char16_t asciiLower(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') ? char16_t(u + (u'a' - u'A')) : u;
}

qsizetype runLength(const QString &text, qsizetype from, QChar c)
{
    qsizetype end = from;
    while (end < text.size() && text.at(end) == c)
        ++end;
    return end - from;
}

// The same, with the letter compared without case (the program's own pattern language).
qsizetype runLengthNoCase(const QString &text, qsizetype from, char16_t lower)
{
    qsizetype end = from;
    while (end < text.size() && asciiLower(text.at(end)) == lower)
        ++end;
    return end - from;
}

QString padded(qint64 value, int width)
{
    const QString digits = QString::number(std::llabs(value)).rightJustified(width, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QString nameAt(const QStringList &names, qsizetype index)
{
    return index >= 0 && index < names.size() ? names.at(index) : QString();
}

// Index into the Sunday-first day name lists.
qsizetype weekdayIndex(QDate date)
{
    return date.dayOfWeek() % 7;
}

int twelveHourOf(int hour)
{
    const int h = hour % 12;
    return h == 0 ? 12 : h;
}

// Quoted text in Qt's language: 'text', with '' standing for one quote. Appends the
// literal to out (when given) and answers the index after the closing quote.
qsizetype skipQtQuoted(const QString &pattern, qsizetype i, QString *out)
{
    const qsizetype n = pattern.size();
    if (i + 1 < n && pattern.at(i + 1) == QLatin1Char('\'')) {
        if (out)
            *out += QLatin1Char('\'');
        return i + 2;
    }
    ++i;
    while (i < n) {
        if (pattern.at(i) == QLatin1Char('\'')) {
            if (i + 1 < n && pattern.at(i + 1) == QLatin1Char('\'')) {
                if (out)
                    *out += QLatin1Char('\'');
                i += 2;
                continue;
            }
            return i + 1;
        }
        if (out)
            *out += pattern.at(i);
        ++i;
    }
    return i;
}

bool qtPatternHasAmPm(const QString &pattern)
{
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            i = skipQtQuoted(pattern, i, nullptr);
            continue;
        }
        if (c == QLatin1Char('a') || c == QLatin1Char('A'))
            return true;
        ++i;
    }
    return false;
}

// Drops Qt's time zone letter, with the space that parts it from the time.
QString withoutTimeZone(const QString &pattern)
{
    QString out;
    qsizetype i = 0;
    bool droppedAtStart = false;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            const qsizetype end = skipQtQuoted(pattern, i, nullptr);
            out += QStringView(pattern).mid(i, end - i);
            i = end;
            continue;
        }
        if (c == QLatin1Char('t')) {
            i += runLength(pattern, i, c);
            while (out.endsWith(QLatin1Char(' ')))
                out.chop(1);
            droppedAtStart = out.isEmpty();
            continue;
        }
        if (droppedAtStart && c == QLatin1Char(' ')) {
            ++i;
            continue;
        }
        droppedAtStart = false;
        out += c;
        ++i;
    }
    return out.trimmed();
}

// The character that follows the first field of a pattern, when it is a separator.
std::optional<QChar> separatorAfterFirstField(const QString &pattern, QChar fieldLetter)
{
    const qsizetype at = pattern.indexOf(fieldLetter);
    if (at < 0)
        return std::nullopt;
    qsizetype after = at + runLength(pattern, at, fieldLetter);
    // Direction marks (as in right-to-left locales) are not the separator.
    while (after < pattern.size() && pattern.at(after).category() == QChar::Other_Format)
        ++after;
    if (after >= pattern.size())
        return std::nullopt;
    const QChar c = pattern.at(after);
    if (c.isLetterOrNumber() || c == QLatin1Char('\'') || c.isSpace())
        return std::nullopt;
    return c;
}

QChar dateSeparatorOf(const QString &shortDatePattern)
{
    // The first field is whichever of day, month or year comes first.
    qsizetype first = -1;
    QChar letter;
    for (QChar c : { QLatin1Char('d'), QLatin1Char('M'), QLatin1Char('y') }) {
        const qsizetype at = shortDatePattern.indexOf(c);
        if (at >= 0 && (first < 0 || at < first)) {
            first = at;
            letter = c;
        }
    }
    if (first < 0)
        return QLatin1Char('/');
    return separatorAfterFirstField(shortDatePattern.mid(first), letter).value_or(QLatin1Char('/'));
}

QChar timeSeparatorOf(const QString &timePattern)
{
    const QChar hour = timePattern.contains(QLatin1Char('H')) ? QLatin1Char('H') : QLatin1Char('h');
    return separatorAfterFirstField(timePattern, hour).value_or(QLatin1Char(':'));
}

RegionalSettings withEnglishNames(RegionalSettings s)
{
    s.monthNames = kEnglishMonths;
    s.shortMonthNames = kEnglishShortMonths;
    s.dayNames = kEnglishDays;
    s.shortDayNames = kEnglishShortDays;
    return s;
}

// The "am/pm", "a/p" or "ampm" specifier at i, without case; its length or 0.
qsizetype amPmSpecifierAt(const QString &pattern, qsizetype i)
{
    const QStringView rest = QStringView(pattern).mid(i);
    if (rest.startsWith(u"am/pm", Qt::CaseInsensitive))
        return 5;
    if (rest.startsWith(u"a/p", Qt::CaseInsensitive))
        return 3;
    if (rest.startsWith(u"ampm", Qt::CaseInsensitive))
        return 4;
    return 0;
}

qsizetype skipProgramQuoted(const QString &pattern, qsizetype i, QString *out)
{
    const QChar quote = pattern.at(i);
    qsizetype end = pattern.indexOf(quote, i + 1);
    if (end < 0)
        end = pattern.size();
    if (out)
        *out += QStringView(pattern).mid(i + 1, end - i - 1);
    return std::min(end + 1, pattern.size());
}

bool amPmFollows(const QString &pattern, qsizetype from)
{
    qsizetype i = from;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            i = skipProgramQuoted(pattern, i, nullptr);
            continue;
        }
        if (asciiLower(c) == u'a' && amPmSpecifierAt(pattern, i) > 0)
            return true;
        ++i;
    }
    return false;
}

// A date text cut into numbers and words; everything else only separates them.
struct DateToken
{
    QString text;
    bool number = false;
};

QList<DateToken> dateTokens(const QString &text)
{
    QList<DateToken> tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (isAsciiDigit(c)) {
            qsizetype end = i;
            while (end < text.size() && isAsciiDigit(text.at(end)))
                ++end;
            tokens.append({ text.mid(i, end - i), true });
            i = end;
        } else if (c.isLetter()) {
            qsizetype end = i;
            while (end < text.size() && text.at(end).isLetter())
                ++end;
            tokens.append({ text.mid(i, end - i), false });
            i = end;
        } else {
            ++i;
        }
    }
    return tokens;
}

enum class DateField { Day, Month, MonthName, Weekday, Year };

struct PatternField
{
    DateField field;
    int width; // the number of pattern letters
};

QList<PatternField> dateFields(const QString &pattern)
{
    QList<PatternField> fields;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            i = skipQtQuoted(pattern, i, nullptr);
            continue;
        }
        const qsizetype run = runLength(pattern, i, c);
        const int width = static_cast<int>(std::min<qsizetype>(run, 4));
        if (c == QLatin1Char('d'))
            fields.append({ width >= 3 ? DateField::Weekday : DateField::Day, width });
        else if (c == QLatin1Char('M'))
            fields.append({ width >= 3 ? DateField::MonthName : DateField::Month, width });
        else if (c == QLatin1Char('y'))
            fields.append({ DateField::Year, width >= 3 ? 4 : 2 });
        i += run;
    }
    return fields;
}

bool matchesName(const QString &word, const QString &name)
{
    QString bare = name;
    while (bare.endsWith(QLatin1Char('.')))
        bare.chop(1);
    return !bare.isEmpty() && word.compare(bare, Qt::CaseInsensitive) == 0;
}

int monthOfWord(const QString &word, const RegionalSettings &s)
{
    for (int m = 0; m < 12; ++m) {
        if (matchesName(word, nameAt(s.monthNames, m)) || matchesName(word, nameAt(s.shortMonthNames, m)))
            return m + 1;
    }
    return 0;
}

bool isWeekdayWord(const QString &word, const RegionalSettings &s)
{
    for (int d = 0; d < 7; ++d) {
        if (matchesName(word, nameAt(s.dayNames, d)) || matchesName(word, nameAt(s.shortDayNames, d)))
            return true;
    }
    return false;
}

// Two-digit years fall in 1950 to 2049.
int fullYear(int year, qsizetype digits)
{
    if (digits > 2)
        return year;
    return year < 50 ? 2000 + year : 1900 + year;
}

} // namespace

RegionalSettings RegionalSettings::fromLocale(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return englishUS();

    RegionalSettings s;
    s.shortDatePattern = locale.dateFormat(QLocale::ShortFormat);
    s.longDatePattern = locale.dateFormat(QLocale::LongFormat);
    s.shortTimePattern = withoutTimeZone(locale.timeFormat(QLocale::ShortFormat));
    s.longTimePattern = withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    const QString decimalPoint = locale.decimalPoint();
    if (!decimalPoint.isEmpty())
        s.decimalSeparator = decimalPoint.at(0);
    s.dateSeparator = dateSeparatorOf(s.shortDatePattern);
    s.timeSeparator = timeSeparatorOf(s.shortTimePattern);
    s.monthNames.clear();
    s.shortMonthNames.clear();
    for (int m = 1; m <= 12; ++m) {
        s.monthNames << locale.monthName(m, QLocale::LongFormat);
        s.shortMonthNames << locale.monthName(m, QLocale::ShortFormat);
    }
    // QLocale counts Monday as 1 and Sunday as 7; the lists start on Sunday.
    s.dayNames.clear();
    s.shortDayNames.clear();
    for (int d : { 7, 1, 2, 3, 4, 5, 6 }) {
        s.dayNames << locale.dayName(d, QLocale::LongFormat);
        s.shortDayNames << locale.dayName(d, QLocale::ShortFormat);
    }
    s.amText = locale.amText();
    s.pmText = locale.pmText();
    return s;
}

RegionalSettings RegionalSettings::system()
{
    return fromLocale(QLocale::system());
}

RegionalSettings RegionalSettings::englishUS()
{
    RegionalSettings s;
    s.shortDatePattern = QStringLiteral("M/d/yyyy");
    s.longDatePattern = QStringLiteral("dddd, MMMM d, yyyy");
    s.shortTimePattern = QStringLiteral("h:mm AP");
    s.longTimePattern = QStringLiteral("h:mm:ss AP");
    s.decimalSeparator = QLatin1Char('.');
    s.dateSeparator = QLatin1Char('/');
    s.timeSeparator = QLatin1Char(':');
    s.amText = QStringLiteral("AM");
    s.pmText = QStringLiteral("PM");
    return withEnglishNames(s);
}

RegionalSettings RegionalSettings::englishUK()
{
    RegionalSettings s;
    s.shortDatePattern = QStringLiteral("dd/MM/yyyy");
    s.longDatePattern = QStringLiteral("dd MMMM yyyy");
    s.shortTimePattern = QStringLiteral("HH:mm");
    s.longTimePattern = QStringLiteral("HH:mm:ss");
    s.decimalSeparator = QLatin1Char('.');
    s.dateSeparator = QLatin1Char('/');
    s.timeSeparator = QLatin1Char(':');
    s.amText = QStringLiteral("am");
    s.pmText = QStringLiteral("pm");
    return withEnglishNames(s);
}

void fix2000(RegionalSettings &settings)
{
    QString &date = settings.shortDatePattern;
    if (!date.contains(QLatin1String("yyyy"))) {
        const qsizetype at = date.indexOf(QLatin1String("yy"));
        if (at >= 0)
            date.insert(at, QLatin1String("yy"));
    }
    // The whole run of M's becomes "MM": a full month name ("MMMM") would otherwise turn
    // into an abbreviated one and need a second run to become numeric.
    const qsizetype month = date.indexOf(QLatin1String("MMM"));
    if (month >= 0)
        date.replace(month, runLength(date, month, QLatin1Char('M')), QLatin1String("MM"));

    QString &time = settings.longTimePattern;
    for (QLatin1String seconds : { QLatin1String(":ss"), QLatin1String(".ss"), QLatin1String("ss") }) {
        const qsizetype at = time.indexOf(seconds);
        if (at >= 0) {
            time.remove(at, seconds.size());
            break;
        }
    }
}

QString formatQtPattern(const QString &pattern, const QDateTime &dateTime, const RegionalSettings &settings)
{
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    const bool twelveHour = qtPatternHasAmPm(pattern);
    QString out;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            i = skipQtQuoted(pattern, i, &out);
            continue;
        }
        const qsizetype run = runLength(pattern, i, c);
        qsizetype take = 1;
        switch (c.unicode()) {
        case u'd':
            take = std::min<qsizetype>(run, 4);
            if (take <= 2)
                out += padded(date.day(), int(take));
            else
                out += nameAt(take == 3 ? settings.shortDayNames : settings.dayNames, weekdayIndex(date));
            break;
        case u'M':
            take = std::min<qsizetype>(run, 4);
            if (take <= 2)
                out += padded(date.month(), int(take));
            else
                out += nameAt(take == 3 ? settings.shortMonthNames : settings.monthNames, date.month() - 1);
            break;
        case u'y':
            if (run >= 4) {
                take = 4;
                out += padded(date.year(), 4);
            } else if (run >= 2) {
                take = 2;
                out += padded(std::abs(date.year()) % 100, 2);
            } else {
                out += c; // a lone "y" is no field
            }
            break;
        case u'h':
            take = std::min<qsizetype>(run, 2);
            out += padded(twelveHour ? twelveHourOf(time.hour()) : time.hour(), int(take));
            break;
        case u'H':
            take = std::min<qsizetype>(run, 2);
            out += padded(time.hour(), int(take));
            break;
        case u'm':
            take = std::min<qsizetype>(run, 2);
            out += padded(time.minute(), int(take));
            break;
        case u's':
            take = std::min<qsizetype>(run, 2);
            out += padded(time.second(), int(take));
            break;
        case u'z':
            if (run >= 3) {
                take = 3;
                out += padded(time.msec(), 3);
            } else {
                // The fraction of the second without trailing zeros.
                QString ms = padded(time.msec(), 3);
                while (ms.size() > 1 && ms.endsWith(QLatin1Char('0')))
                    ms.chop(1);
                out += ms;
            }
            break;
        case u'A':
        case u'a': {
            if (i + 1 < pattern.size() && asciiLower(pattern.at(i + 1)) == u'p')
                take = 2;
            const QString &marker = time.hour() < 12 ? settings.amText : settings.pmText;
            out += c == QLatin1Char('A') ? marker.toUpper() : marker.toLower();
            break;
        }
        case u't':
            take = run; // the regional patterns carry no time zone
            break;
        default:
            out += c;
            break;
        }
        i += take;
    }
    return out;
}

QString formatDateValue(const QString &pattern, DateValue value, const RegionalSettings &settings)
{
    const QDate date = datevalue::toDate(value);
    const QTime time = datevalue::toTime(value);
    const QDateTime dateTime(date, time);
    QString out;
    bool afterHour = false; // the last specifier was h or hh: m and mm mean minutes
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            i = skipProgramQuoted(pattern, i, &out);
            continue;
        }
        const char16_t lower = asciiLower(c);
        const qsizetype run = isAsciiLetter(c) ? runLengthNoCase(pattern, i, lower) : 1;
        qsizetype take = 1;
        bool hour = false;
        switch (lower) {
        case u'd':
            take = std::min<qsizetype>(run, 6);
            switch (take) {
            case 1:
            case 2:
                out += padded(date.day(), int(take));
                break;
            case 3:
                out += nameAt(settings.shortDayNames, weekdayIndex(date));
                break;
            case 4:
                out += nameAt(settings.dayNames, weekdayIndex(date));
                break;
            case 5:
                out += formatQtPattern(settings.shortDatePattern, dateTime, settings);
                break;
            default:
                out += formatQtPattern(settings.longDatePattern, dateTime, settings);
                break;
            }
            break;
        case u'm':
            if (run >= 3) {
                take = std::min<qsizetype>(run, 4);
                out += nameAt(take == 3 ? settings.shortMonthNames : settings.monthNames, date.month() - 1);
            } else {
                take = run;
                out += padded(afterHour ? time.minute() : date.month(), int(take));
            }
            break;
        case u'y':
            take = run;
            out += run <= 2 ? padded(std::abs(date.year()) % 100, 2) : padded(date.year(), 4);
            break;
        case u'h':
            take = std::min<qsizetype>(run, 2);
            out += padded(amPmFollows(pattern, i + take) ? twelveHourOf(time.hour()) : time.hour(), int(take));
            hour = true;
            break;
        case u'n':
            take = std::min<qsizetype>(run, 2);
            out += padded(time.minute(), int(take));
            break;
        case u's':
            take = std::min<qsizetype>(run, 2);
            out += padded(time.second(), int(take));
            break;
        case u't':
            take = std::min<qsizetype>(run, 2);
            out += formatQtPattern(
                take == 1 ? settings.shortTimePattern : settings.longTimePattern, dateTime, settings);
            break;
        case u'a': {
            take = amPmSpecifierAt(pattern, i);
            const bool pm = time.hour() >= 12;
            if (take == 5) // am/pm: the letters as written
                out += pm ? pattern.mid(i + 3, 2) : pattern.mid(i, 2);
            else if (take == 3) // a/p
                out += pattern.at(pm ? i + 2 : i);
            else if (take == 4) // ampm: the regional text
                out += pm ? settings.pmText : settings.amText;
            else {
                take = 1;
                out += c;
                hour = afterHour; // a plain letter is no specifier
            }
            break;
        }
        case u'/':
            out += settings.dateSeparator;
            hour = afterHour;
            break;
        case u':':
            out += settings.timeSeparator;
            hour = afterHour;
            break;
        default:
            out += c;
            hour = afterHour;
            break;
        }
        afterHour = hour;
        i += take;
    }
    return out;
}

QDate parseShortDate(const QString &text, const RegionalSettings &settings)
{
    const QList<PatternField> fields = dateFields(settings.shortDatePattern);
    QList<DateToken> tokens = dateTokens(text);
    int day = 0;
    int month = 0;
    std::optional<int> year;
    qsizetype next = 0;

    // A run of digits longer than a fixed-width field is split, so "20240307" reads
    // with "yyyyMMdd".
    auto takeNumber = [&](int maxDigits, int fixedWidth) -> std::optional<QString> {
        if (next >= tokens.size() || !tokens.at(next).number)
            return std::nullopt;
        QString digits = tokens.at(next).text;
        if (digits.size() <= maxDigits) {
            ++next;
            return digits;
        }
        if (fixedWidth == 0)
            return std::nullopt;
        tokens[next].text = digits.mid(fixedWidth);
        return digits.left(fixedWidth);
    };

    for (const PatternField &f : fields) {
        switch (f.field) {
        case DateField::Weekday:
            // A weekday name is optional and not checked against the date.
            if (next < tokens.size() && !tokens.at(next).number) {
                if (!isWeekdayWord(tokens.at(next).text, settings))
                    return {};
                ++next;
            }
            break;
        case DateField::Day: {
            const auto digits = takeNumber(2, f.width == 2 ? 2 : 0);
            if (!digits)
                return {};
            day = digits->toInt();
            break;
        }
        case DateField::Month:
        case DateField::MonthName: {
            if (next < tokens.size() && !tokens.at(next).number) {
                month = monthOfWord(tokens.at(next).text, settings);
                if (month == 0)
                    return {};
                ++next;
                break;
            }
            const auto digits = takeNumber(2, f.width == 2 ? 2 : 0);
            if (!digits)
                return {};
            month = digits->toInt();
            break;
        }
        case DateField::Year: {
            const auto digits = takeNumber(4, f.width);
            if (!digits)
                return {};
            year = fullYear(digits->toInt(), digits->size());
            break;
        }
        }
    }
    if (next != tokens.size() || !year || day == 0 || month == 0)
        return {};
    const QDate date(*year, month, day);
    return date.isValid() ? date : QDate();
}
