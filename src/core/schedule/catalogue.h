#pragma once

#include <QString>
#include <QStringList>

#include <span>

class CellTable;
struct RegionalSettings;

// The holiday import catalogue: well-known holidays of 23 countries, each a rule code and a
// name. A code is a fixed day, the English month abbreviation and the day in two digits
// ("Jan01"), or a floating day, an ordinal digit (1 to 4, 5 the last), a weekday digit
// (1 Sunday to 7 Saturday) and the English month abbreviation ("52May": the last Monday of
// May). The codes are catalogue data in English, not regional text.
namespace catalogue {

struct Entry
{
    int country; // index into countries()
    const char *code;
    const char *name; // UTF-8
};

// The country names in the order of the country list.
QStringList countries();
// Every entry, country by country; within a country the catalogue's own order.
std::span<const Entry> entries();
// The entries of one country; none for an index out of range.
std::span<const Entry> entriesOf(int country);

// The text a code is shown as: "Jan 1st", "Jun 8th", "1st Mon in Oct", "Last Mon in May".
// The month stays the code's English abbreviation; the weekday is the regional short name.
QString displayText(const QString &code, const RegionalSettings &settings);
// The entry list of a country: one line per entry, the display text, a TAB and the name.
QStringList countryLines(int country, const RegionalSettings &settings);

// The month (1 to 12) that a three-letter text names, matched without regard to case
// against the English abbreviations, then the regional short names cut to three letters;
// 0 when none matches.
int monthOfText(const QString &text, const RegionalSettings &settings);
// The weekday (1 Sunday to 7 Saturday) that a short text names: a regional short name,
// whole or cut to three letters, or an English abbreviation ("Sun" to "Sat"), without
// regard to case; 0 when none matches.
int weekdayOfText(const QString &text, const RegionalSettings &settings);

// Reads a line of the entry list back into a holiday rule and inserts it at the first rule
// row, so the rows already there move down: the rules, and the empty row of a list that
// holds none. The month and the weekday become the regional full names. A table whose
// header row is empty gets the headers. Answers false, changing nothing, for a text that
// is no entry line (no TAB).
bool addToGrid(CellTable &rules, const QString &line, const RegionalSettings &settings);

} // namespace catalogue
