#include "texthelpers.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "text/regional.h"

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

} // namespace

QString listInSentence(const QStringList &names)
{
    if (names.size() < 2)
        return names.value(0);
    return names.first(names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + names.last();
}

QString joinPath(const QString &folder, const QString &name)
{
    // No folder means a name relative to the working folder, never one at the root.
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
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

QString firstLine(const QString &text)
{
    const qsizetype at = text.indexOf(kCrLf);
    return at < 0 ? text : text.left(at);
}

QString captionLine(const QString &text, qsizetype length)
{
    qsizetype end = 0;
    while (end < text.size() && text.at(end) != QLatin1Char('\r') && text.at(end) != QLatin1Char('\n'))
        ++end;
    return text.left(std::min(end, length));
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
