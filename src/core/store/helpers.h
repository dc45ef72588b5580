#pragma once

#include <QString>
#include <QStringList>

#include "datevalue.h"

class Clock;
class Dialogs;
struct RegionalSettings;

// Folder and file name joined with one "/".
QString joinPath(const QString &folder, const QString &name);

void showError(Dialogs &dialogs, const QString &message);
void showInfo(Dialogs &dialogs, const QString &message);

// "Yes" for true, "No" for false. Only the exact text "Yes" counts as set.
QString yesNoText(bool flag);
bool isYes(const QString &text);

bool isDigitChar(QChar c);
// Empty, or only spaces, CR, LF and BS. A TAB is not blank.
bool isBlankText(const QString &text);
bool isFileEmpty(const QString &path);
int textToIntOrZero(const QString &text);

// Reads a StoreKey or any number with "." as the decimal point; 0 when it is not a number.
double keyToNumber(const QString &text, const RegionalSettings &settings);

// The time of day a text states, as a fraction of a day; the current date and time
// (a value above 1) when the text is not a time.
DateValue timeOfText(const QString &text, const RegionalSettings &settings, const Clock &clock);

// "Today", "Tomorrow", "3 days ago", "2 yrs 1 mon" ... of a day against now.
QString relativeDayText(DateValue day, DateValue now);

bool leapYear(int year);
int monthLength(int month, int year);
// 1 to 12 for a regional full month name, letters compared without case; 0 otherwise.
int monthFromName(const QString &text, const RegionalSettings &settings);

QString firstLine(const QString &text);
// The lines of an edit box as one cell text, and back.
QString memoToText(const QStringList &lines);
QStringList textToMemoLines(const QString &text);
// The text run together on one line (every CR LF dropped).
QString textToFlatMemo(const QString &text);

// The n-th (from 1) TAB-separated field.
QString tabField(const QString &text, int n);

bool containsWord(const QString &text, const QString &word, bool matchCase);
bool textMatches(const QString &text, bool wholeWord, bool matchCase, const QString &searched);

// Upper-cases the letters a to z only, as the program's case-blind comparisons do.
QString asciiUpper(const QString &text);
bool equalsAsciiCaseInsensitive(const QString &a, const QString &b);
