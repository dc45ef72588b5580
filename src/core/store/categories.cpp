#include "categories.h"

#include "celltable.h"

#include "datafolder.h"
#include "gridfile.h"
#include "taskstore.h"
#include "text/datehelpers.h"
#include "text/texthelpers.h"

#include <algorithm>

namespace {

bool isControl(char c)
{
    return static_cast<unsigned char>(c) < 32 && c != '\t' && c != '\r' && c != '\n';
}

// Why bytes are no category file, or an empty text. Junk must not become thousands of
// categories that every start, filter and list then pays for.
QString categoryFileProblem(QByteArrayView bytes, const QStringList &entries)
{
    if (bytes.size() > kMaxCategoryFileBytes)
        return QStringLiteral("it holds ") + QString::number(bytes.size())
            + QStringLiteral(" bytes, far more than any list of categories (at most %1)").arg(kMaxCategoryFileBytes);
    if (std::any_of(bytes.begin(), bytes.end(), isControl))
        return QStringLiteral("it is not text: it holds control characters");
    for (const QString &entry : entries) {
        if (entry.size() > kMaxCategoryLineLength)
            return QStringLiteral("a line holds %1 characters, more than any category (at most %2)")
                .arg(entry.size())
                .arg(kMaxCategoryLineLength);
    }
    return QString();
}

} // namespace

CategoryFile readCategoryFile(const QString &path)
{
    CategoryFile result;
    const FileContent content = readRegularFile(path);
    if (content.status() == FileContent::Status::Missing)
        return result;
    if (!content.ok()) {
        result.status = CategoryFile::Status::Unreadable;
        result.message = QStringLiteral("File ") + path + QStringLiteral(" could not be read: ") + content.reason();
        return result;
    }
    const bool small = content.bytes().size() <= kMaxCategoryFileBytes;
    QStringList entries = small ? parseCategoryLines(content.bytes()) : QStringList();
    if (const QString problem = categoryFileProblem(content.bytes(), entries); !problem.isEmpty()) {
        result.status = CategoryFile::Status::Damaged;
        result.message = QStringLiteral("File ") + path + QStringLiteral(" is damaged: ") + problem;
        return result;
    }
    result.status = CategoryFile::Status::Loaded;
    result.entries = std::move(entries);
    return result;
}

QStringList parseCategoryLines(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringList entries;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    // A line ends at CR or LF; the LF of a CR LF pair then ends an empty line, which like
    // any empty line gives no entry.
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size && bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        if (i > start) {
            // Decided per line: one line from an older Windows-1252 file must not garble the rest.
            const QByteArrayView line = bytes.sliced(start, i - start);
            entries << utf8Text(isValidUtf8(line) ? line.toByteArray() : windows1252ToUtf8(line));
        }
        start = i + 1;
    }
    return entries;
}

std::optional<QStringList> readCategoryList(const QString &path)
{
    CategoryFile file = readCategoryFile(path);
    if (!file.loaded())
        return std::nullopt;
    return std::move(file.entries);
}

QByteArray categoryFileBytes(const QStringList &entries)
{
    QByteArray bytes;
    for (QString entry : entries) {
        entry.replace(QLatin1String("\r\n"), QLatin1String(" "));
        entry.replace(QLatin1Char('\r'), QLatin1Char(' '));
        entry.replace(QLatin1Char('\n'), QLatin1Char(' '));
        // Nothing a reader would take for damage: control characters (TAB aside).
        entry.removeIf([](QChar c) { return c.unicode() < 32 && c != QLatin1Char('\t'); });
        if (entry.isEmpty())
            continue;
        // A reader drops one byte order mark at the start: an entry starting with U+FEFF
        // keeps its own behind it.
        if (bytes.isEmpty() && entry.startsWith(QChar(0xFEFF)))
            bytes += "\xEF\xBB\xBF";
        bytes += entry.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

SaveResult writeCategoryFile(const QString &path, const QStringList &entries)
{
    return saveFileAtomically(path, categoryFileBytes(entries), false);
}

int findCategory(const QStringList &entries, const QString &name)
{
    const QString wanted = asciiUpper(name);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (asciiUpper(entries[i]) == wanted)
            return int(i);
    }
    return -1;
}

bool categoryLess(const QString &a, const QString &b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    if (folded != 0)
        return folded < 0;
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

void sortCategories(QStringList &entries)
{
    std::sort(entries.begin(), entries.end(), categoryLess);
}

QList<FilterCategory> filterCategoriesAtStart(const QStringList &known, const std::optional<QStringList> &selection)
{
    QList<FilterCategory> categories;
    categories.reserve(known.size());
    for (const QString &name : known) {
        if (name.isEmpty())
            continue; // an empty entry would hide tasks without a category
        categories.append({ name, !selection || findCategory(*selection, name) >= 0 });
    }
    return categories;
}

void recheckFilterCategories(QList<FilterCategory> &categories, const std::optional<QStringList> &selection)
{
    for (FilterCategory &category : categories) {
        if (!selection || findCategory(*selection, category.name) >= 0)
            category.checked = true;
    }
}

QStringList checkedCategories(const QList<FilterCategory> &categories)
{
    QStringList names;
    for (const FilterCategory &category : categories) {
        if (category.checked)
            names << category.name;
    }
    return names;
}

FilterState loadFilterState(const QString &dataFolder, bool showDone, bool showNotDone)
{
    FilterState state;
    state.showDone = showDone;
    state.showNotDone = showNotDone;
    const std::optional<QStringList> known
        = readCategoryList(joinPath(dataFolder, QString::fromLatin1(datafile::kCategories)));
    if (known) {
        std::optional<QStringList> selection
            = readCategoryList(joinPath(dataFolder, QString::fromLatin1(datafile::kFilterCategories)));
        if (!selection)
            selection = known;
        state.categories = filterCategoriesAtStart(*known, selection);
    }
    return state;
}
