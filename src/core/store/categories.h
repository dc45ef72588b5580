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
    enum class Status { Loaded, Missing, Unreadable };
    Status status = Status::Missing;
    QStringList entries;
    QString message; // for the user when unreadable

    bool loaded() const { return status == Status::Loaded; }
};

// A category file larger than this is not one: it is refused rather than read.
constexpr qsizetype kMaxCategoryFileBytes = 1 << 20;

// Reads a category file. A line ends at CR, LF or CR LF, and a last line needs no end.
// Empty lines give no entry. A file that is not valid UTF-8 is read as Windows-1252.
// Only a regular file is read: a FIFO or a device in its place is unreadable at once.
CategoryFile readCategoryFile(const QString &path);
QStringList parseCategoryLines(QByteArrayView bytes);

// The entries when the file could be read; nothing when it is missing or unreadable.
std::optional<QStringList> readCategoryList(const QString &path);

// One entry per CR LF line, UTF-8. Line breaks inside an entry become spaces, so every
// entry stays one line; NUL and byte 26 are dropped; empty entries are left out.
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
