#pragma once

#include <QString>
#include <QStringList>

struct RegionalSettings;

// Small text rules shared by every part of the program.

// Folder and file name joined with one "/".
QString joinPath(const QString &folder, const QString &name);
// "A", "A and B", "A, B and C": names in a sentence.
QString listInSentence(const QStringList &names);

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

QString firstLine(const QString &text);
// What a one-line caption shows of a note: its first line (up to any line break), cut to
// `length` characters.
QString captionLine(const QString &text, qsizetype length);
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
