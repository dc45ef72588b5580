#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "safefile.h"

struct FilterCategory;
struct FilterState;

// The category files: "category.xxx" holds the categories the user chooses from,
// "category.yyy" the ones the filter showed when its OK was last pressed. Both are plain
// text, one entry per line.

struct CategoryFile
{
    // Damaged: a regular file that holds what no category file holds.
    enum class Status { Loaded, Missing, Unreadable, Damaged };
    Status status = Status::Missing;
    QStringList entries;
    QString message; // for the user when unreadable or damaged

    bool loaded() const { return status == Status::Loaded; }
};

// A category file larger than this is not one: it is damaged rather than read.
constexpr qsizetype kMaxCategoryFileBytes = 1 << 20;
// Longer than any line of a category file: the program's category box and quick picks
// take 20 characters, and an older system's quick-pick box took 255.
constexpr qsizetype kMaxCategoryLineLength = 255;

// Reads a category file. A line ends at CR, LF or CR LF, and a last line needs no end.
// Empty lines give no entry. A line that is not valid UTF-8 is read as Windows-1252.
// Only a regular file is read: a FIFO or a device in its place is unreadable at once. A
// file that is not text (control characters other than TAB and line ends), has a line
// longer than kMaxCategoryLineLength characters or is larger than kMaxCategoryFileBytes is
// damaged, and gives no entries.
CategoryFile readCategoryFile(const QString &path);
QStringList parseCategoryLines(QByteArrayView bytes);

// The entries when the file could be read; nothing when it is missing or unreadable.
std::optional<QStringList> readCategoryList(const QString &path);

// One entry per CR LF line, UTF-8. Line breaks inside an entry become spaces, so every
// entry stays one line; other control characters but TAB are dropped, as a reader takes
// them for damage; empty entries are left out.
QByteArray categoryFileBytes(const QStringList &entries);
// Writes the file atomically: a failed write leaves the old file whole.
SaveResult writeCategoryFile(const QString &path, const QStringList &entries);

// The index of the first entry equal to `name` with the letters A to Z compared without
// case, or -1.
int findCategory(const QStringList &entries, const QString &name);

// The order of the list editor: without regard to case, then by the exact text, so the
// order never depends on the locale.
bool categoryLess(const QString &a, const QString &b);
void sortCategories(QStringList &entries);

// The filter's category list at start: the known categories (from "category.xxx"), each
// checked when the selection names it. The selection is "category.yyy" when it exists,
// else every known category.
QList<FilterCategory> filterCategoriesAtStart(const QStringList &known, const std::optional<QStringList> &selection);

// When the filter window is shown again: the selection (every entry when there is no
// "category.yyy") is checked; entries not in it keep their check.
void recheckFilterCategories(QList<FilterCategory> &categories, const std::optional<QStringList> &selection);

// The checked entries in list order, as "category.yyy" stores them.
QStringList checkedCategories(const QList<FilterCategory> &categories);

// The whole filter state as the filter window starts with it: categories from the data
// folder's category files and the two done switches.
FilterState loadFilterState(const QString &dataFolder, bool showDone, bool showNotDone);
