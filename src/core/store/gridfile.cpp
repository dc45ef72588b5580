#include "gridfile.h"

#include "celltable.h"

#include <QFileInfo>

#include <cstring>
#include <deque>
#include <string>

namespace {

constexpr char kCR = 13;
constexpr char kLF = 10;
constexpr char kTab = 9;
constexpr char kBS = 8;
constexpr char kEndOfFile = 26;

// A decimal field: leading blanks, an optional sign, digits. Other characters after the
// digits make the value that of the digits alone, without the sign; no digits give 0.
// Saturates rather than overflowing, so a huge count still reads as huge.
qint64 numberField(const char *p, const char *end)
{
    while (p < end && *p == ' ')
        ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    qint64 value = 0;
    const char *digits = p;
    while (p < end && *p >= '0' && *p <= '9') {
        if (value < (qint64(1) << 40))
            value = value * 10 + (*p - '0');
        ++p;
    }
    if (p == digits)
        return 0;
    if (p != end)
        return value;
    return negative ? -value : value;
}

QString notFound(const QString &path)
{
    return QStringLiteral("File ") + path + QStringLiteral(" not found");
}

QString damaged(const QString &path)
{
    return QStringLiteral("File ") + path + QStringLiteral(" is damaged");
}

ReadResult failed(ReadResult::Status status, const QString &message, const QString &reason)
{
    ReadResult result;
    result.status = status;
    result.message = message;
    result.reason = reason;
    return result;
}

// Collects the cells of one row and stores the row once, so a row block is built once
// per row rather than once per cell.
class RowBuilder
{
public:
    explicit RowBuilder(CellTable &table)
        : m_table(table)
    { }

    // `windows1252`: the text is not UTF-8 and is converted from Windows-1252 first.
    void set(int column, int row, QByteArrayView text, bool windows1252 = false)
    {
        if (row != m_row) {
            flush();
            m_row = row;
            if (!m_table.isRowBlank(row))
                m_cells = m_table.rowUtf8(row); // rows met again keep what they had
        }
        if (windows1252) {
            const QByteArray utf8 = windows1252ToUtf8(text);
            text = convert(utf8);
        } else {
            for (const char c : text) {
                if (c == kTab || c == kBS) {
                    text = convert(text);
                    break;
                }
            }
        }
        if (int(m_cells.size()) <= column)
            m_cells.resize(size_t(column) + 1);
        m_cells[size_t(column)] = text;
    }

private:
    // Texts holding TAB or BS are turned back into CR and LF in a copy kept until flush.
    QByteArrayView convert(QByteArrayView text)
    {
        std::string &copy = m_scratch.emplace_back(text.data(), size_t(text.size()));
        for (char &c : copy) {
            if (c == kTab)
                c = kCR;
            else if (c == kBS)
                c = kLF;
        }
        return QByteArrayView(copy.data(), qsizetype(copy.size()));
    }

public:
    void flush()
    {
        if (m_row >= 0)
            m_table.setRowUtf8(m_row, m_cells);
        m_row = -1;
        m_cells.clear(); // keeps its capacity for the next row
        if (!m_scratch.empty())
            m_scratch.clear();
    }

private:
    CellTable &m_table;
    int m_row = -1;
    std::vector<QByteArrayView> m_cells;
    std::deque<std::string> m_scratch;
};

} // namespace

bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        // Runs of ASCII go eight bytes at a time.
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p >= end)
            break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra;
        quint32 min;
        quint32 code;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            min = 0x80;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            min = 0x800;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            min = 0x10000;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

QByteArray windows1252ToUtf8(QByteArrayView bytes)
{
    static const char16_t high[32] = {
        0x20AC,
        0x0081,
        0x201A,
        0x0192,
        0x201E,
        0x2026,
        0x2020,
        0x2021,
        0x02C6,
        0x2030,
        0x0160,
        0x2039,
        0x0152,
        0x008D,
        0x017D,
        0x008F,
        0x0090,
        0x2018,
        0x2019,
        0x201C,
        0x201D,
        0x2022,
        0x2013,
        0x2014,
        0x02DC,
        0x2122,
        0x0161,
        0x203A,
        0x0153,
        0x009D,
        0x017E,
        0x0178,
    };
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        out[i] = (c >= 0x80 && c < 0xA0) ? QChar(high[c - 0x80]) : QChar(c);
    }
    return text.toUtf8();
}

namespace {

// "1 cell line" or "40 cell lines".
QString counted(qint64 n, const char *one, const char *many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

bool onlySpaces(const char *p, const char *end)
{
    for (; p < end; ++p)
        if (*p != ' ' && *p != kTab)
            return false;
    return true;
}

// Whether a file whose cell lines end at `lastRow` (-1: none) reaches too few of the rows
// its count line names. Files of older writers may end with one blank row that has no line,
// and a table holding no data row (a new one has at most four rows) may have no row lines at
// all: neither is taken for a cut. Every other shortfall is one, and the writer never
// leaves one (gridFileBytes).
bool rowsCutOff(qint64 rowCount, qint64 lastRow)
{
    const bool noData = lastRow <= 0 && rowCount <= 4;
    return rowCount - 1 - lastRow >= 2 && !noData;
}

// Why the file seems to have been cut short, or an empty text. The writer ends every line
// with a line end, and reaches the last row (rowsCutOff).
QString cutShort(bool hasCounts, bool endsInALine, qint64 rowCount, qint64 lastRow)
{
    if (!hasCounts)
        return QString();
    QStringList signs;
    if (endsInALine)
        signs << QStringLiteral("it ends in the middle of a line");
    if (rowsCutOff(rowCount, lastRow))
        signs << (lastRow < 0 ? QStringLiteral("its first line counts %1 rows, but it holds no cell").arg(rowCount)
                              : QStringLiteral("its first line counts %1 rows, but its cells end at row %2")
                                    .arg(rowCount)
                                    .arg(lastRow));
    if (signs.isEmpty())
        return QString();
    return QStringLiteral("it was cut short: ") + signs.join(QStringLiteral(", and "));
}

// Digits making a number of at least 1, and nothing else.
bool plainCount(const char *p, const char *end)
{
    if (p == end)
        return false;
    bool nonZero = false;
    for (; p < end; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        nonZero = nonZero || *p != '0';
    }
    return nonZero;
}

} // namespace

ReadResult readGridBytes(CellTable &table, QByteArrayView input, const QString &path)
{
    if (input.isEmpty())
        return {}; // an empty file changes nothing

    // Byte 26 ends the file. Anything but padding after it is text the table cannot keep.
    bool textAfterEnd = false;
    bool endMark = false;
    if (const void *eof = std::memchr(input.data(), kEndOfFile, size_t(input.size()))) {
        const qsizetype at = static_cast<const char *>(eof) - input.data();
        for (const char c : input.sliced(at + 1)) {
            if (c != kEndOfFile && c != kCR && c != kLF && c != ' ') {
                textAfterEnd = true;
                break;
            }
        }
        input = input.first(at);
        endMark = true;
    }
    // Every line a writer writes ends with a line end: a file without one at its end was cut
    // short in its last line.
    const bool endsInALine = !endMark && !input.isEmpty() && input.back() != kCR && input.back() != kLF;
    // A grid file is text: a NUL byte means this is not one.
    if (!input.isEmpty() && std::memchr(input.data(), 0, size_t(input.size())))
        return failed(ReadResult::Status::Damaged, damaged(path), QStringLiteral("it holds NUL bytes"));

    // UTF-8 is decided per line: a line that is not valid UTF-8 was written by an older
    // Windows-1252 system. A whole file that is valid needs no check per line.
    const bool allUtf8 = isValidUtf8(input);

    const char *p = input.data();
    const char *const end = p + input.size();

    // The next line: it ends at a CR, an LF, or a CR LF pair.
    auto nextLine = [&p, end](const char *&lineBegin, const char *&lineEnd) {
        if (p >= end)
            return false;
        lineBegin = p;
        const void *cr = std::memchr(p, kCR, size_t(end - p));
        const char *stop = cr ? static_cast<const char *>(cr) : end;
        if (const void *lf = std::memchr(p, kLF, size_t(stop - p)))
            stop = static_cast<const char *>(lf);
        lineEnd = stop;
        p = stop;
        if (p < end && *p++ == kCR && p < end && *p == kLF)
            ++p;
        return true;
    };

    const char *begin;
    const char *lineEnd;
    bool countLine = false;
    bool hasCounts = false; // the first line set the counts
    if (nextLine(begin, lineEnd) && lineEnd > begin) {
        hasCounts = true;
        const void *comma = std::memchr(begin, ',', size_t(lineEnd - begin));
        const char *commaAt = comma ? static_cast<const char *>(comma) : lineEnd;
        const qint64 columns = numberField(begin, commaAt);
        const qint64 rows = comma ? numberField(commaAt + 1, lineEnd) : 0;
        countLine = comma && plainCount(begin, commaAt) && plainCount(commaAt + 1, lineEnd);
        if (columns > kMaxGridColumns || rows > kMaxGridRows)
            return failed(ReadResult::Status::Damaged, damaged(path),
                QStringLiteral("its first line asks for %1 columns and %2 rows").arg(columns).arg(rows));
        table.setColCount(int(std::max<qint64>(columns, 1)));
        table.setRowCount(int(std::max<qint64>(rows, 1)));
        table.blankAllCells();
    }

    const int colCount = table.colCount();
    const int rowCount = table.rowCount();
    qint64 outside = 0; // cell lines naming a cell beyond the counts
    qint64 strays = 0; // lines that are neither width nor cell lines
    qint64 windows1252 = 0; // cell lines read as Windows-1252
    qint64 lastRow = -1; // the last row that has a cell line
    RowBuilder builder(table);
    while (nextLine(begin, lineEnd)) {
        const qsizetype length = lineEnd - begin;
        if (length >= 2 && begin[0] == 'c' && begin[1] == 'w') {
            // A width line; one naming no column of the table carries no data.
            const void *comma = std::memchr(begin, ',', size_t(length));
            if (!comma)
                continue;
            const char *commaAt = static_cast<const char *>(comma);
            const char *indexAt = begin + std::min<qsizetype>(3, commaAt - begin);
            const qint64 column = numberField(indexAt, commaAt);
            if (column >= 0 && column < colCount)
                table.setColWidth(int(column), int(numberField(commaAt + 1, lineEnd)));
            continue;
        }
        const auto *comma1 = static_cast<const char *>(std::memchr(begin, ',', size_t(length)));
        const auto *comma2
            = comma1 ? static_cast<const char *>(std::memchr(comma1 + 1, ',', size_t(lineEnd - comma1 - 1))) : nullptr;
        if (!comma2) {
            if (!onlySpaces(begin, lineEnd))
                ++strays;
            continue;
        }
        const qint64 column = numberField(begin, comma1);
        const qint64 row = numberField(comma1 + 1, comma2);
        if (column < 0 || column >= colCount || row < 0 || row >= rowCount) {
            ++outside;
            continue;
        }
        lastRow = std::max(lastRow, row);
        const QByteArrayView text(comma2 + 1, lineEnd - comma2 - 1);
        const bool notUtf8 = !allUtf8 && !isValidUtf8(text);
        windows1252 += notUtf8;
        builder.set(int(column), int(row), text, notUtf8);
    }
    builder.flush();

    ReadResult result;
    result.countLine = countLine;
    if (outside) {
        result.lost << counted(outside, "cell line", "cell lines") + QStringLiteral(" outside the table's ")
                + counted(colCount, "column", "columns") + QStringLiteral(" and ") + counted(rowCount, "row", "rows");
    }
    if (strays)
        result.lost << counted(strays, "line that was", "lines that were")
                + QStringLiteral(" neither a width line nor a cell line");
    if (textAfterEnd)
        result.lost << QStringLiteral("text after an end-of-file mark");
    if (const QString cut = cutShort(hasCounts, endsInALine, rowCount, lastRow); !cut.isEmpty())
        result.lost << cut;
    if (windows1252)
        result.converted << counted(windows1252, "line that was", "lines that were")
                + QStringLiteral(" not UTF-8, read as Windows-1252");
    return result;
}

ReadResult readGridFile(CellTable &table, const QString &path)
{
    const FileContent content = readRegularFile(path);
    if (!content.ok())
        return failed(ReadResult::Status::NotFound, notFound(path), content.reason());
    return readGridBytes(table, content.bytes(), path);
}

namespace {

void appendNumber(char *&out, qint64 value)
{
    char digits[24];
    int n = 0;
    const bool negative = value < 0;
    quint64 v = negative ? quint64(-value) : quint64(value);
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    if (negative)
        *out++ = '-';
    while (n)
        *out++ = digits[--n];
}

} // namespace

QByteArray gridFileBytes(const CellTable &table)
{
    const int columns = table.colCount();
    const int rows = table.rowCount();
    // Exact upper bound: numbers are at most 11 characters, lines at most 4 more.
    qsizetype size = 48 + qsizetype(columns) * 32; // 16 of it for the line of a blank last row
    for (int r = 0; r < rows; ++r)
        for (int c = 0, used = table.usedCells(r); c < used; ++c) {
            const qsizetype n = table.cellUtf8(c, r).size();
            if (n)
                size += n + 28;
        }
    QByteArray bytes(size, Qt::Uninitialized);
    char *out = bytes.data();
    auto endLine = [&out] {
        *out++ = kCR;
        *out++ = kLF;
    };
    appendNumber(out, columns);
    *out++ = ',';
    appendNumber(out, rows);
    endLine();
    for (int c = 0; c < columns; ++c) {
        std::memcpy(out, "cw ", 3);
        out += 3;
        appendNumber(out, c);
        *out++ = ',';
        appendNumber(out, table.colWidth(c));
        endLine();
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0, used = table.usedCells(r); c < used; ++c) {
            const QByteArrayView text = table.cellUtf8(c, r);
            if (text.isEmpty())
                continue;
            appendNumber(out, c);
            *out++ = ',';
            appendNumber(out, r);
            *out++ = ',';
            for (const char ch : text) {
                if (ch == kCR)
                    *out++ = kTab;
                else if (ch == kLF)
                    *out++ = kBS;
                else if (ch != kEndOfFile && ch != 0) // byte 26 would end the file, NUL mark it damaged
                    *out++ = ch;
            }
            endLine();
        }
    }
    // Blank rows at the end would look like rows cut off: the last row then gets a line of
    // its own, an empty cell, which every reader takes for the blank row it is.
    int lastRow = rows - 1;
    while (lastRow >= 0 && table.isRowBlank(lastRow))
        --lastRow;
    if (rowsCutOff(rows, lastRow)) {
        *out++ = '0';
        *out++ = ',';
        appendNumber(out, rows - 1);
        *out++ = ',';
        endLine();
    }
    bytes.truncate(out - bytes.data());
    return bytes;
}

SaveResult writeGridFile(const CellTable &table, const QString &path)
{
    return saveFileAtomically(path, gridFileBytes(table));
}

namespace {

// A file that could not be read whole leaves its backup as the last good version. Every
// save rotates "NAME~", in this run and the next ones, so the backup is kept at once under
// a name of its own, and that name is the one the user is given.
QString keepLastBackup(const QString &path, const QDateTime &now, LoadResult &result)
{
    const QString backup = backupPathOf(path);
    if (!QFileInfo::exists(backup))
        return QString();
    const QString kept = keepBackup(path, now);
    if (!kept.isEmpty())
        return QStringLiteral(" Its last backup has been kept as ") + kept + QLatin1Char('.');
    result.holdBackup = true; // this run, at least, leaves it alone
    return QStringLiteral(" Its last backup, ") + backup
        + QStringLiteral(", could not be kept aside: copy it elsewhere before the program starts again.");
}

} // namespace

LoadResult loadDataFile(CellTable &table, const QString &path, const QDateTime &now)
{
    if (!QFileInfo::exists(path)) {
        LoadResult missing { LoadResult::Status::Missing, QString(), QString() };
        missing.holdBackup = QFileInfo::exists(backupPathOf(path));
        return missing;
    }
    const ReadResult read = readGridFile(table, path);
    if (read.complete())
        return {};
    LoadResult result;
    const QString backupNote = keepLastBackup(path, now, result);
    if (read.ok()) {
        // The table shows what could be read; the file stays under its name until a save
        // replaces it, and a copy of it as it was is kept first.
        result.status = LoadResult::Status::Partial;
        result.keptAs = keepCopy(path, now);
        const QString problem = QStringLiteral("File ") + path + QStringLiteral(" was partly unreadable (")
            + (read.lost + read.converted).join(QStringLiteral("; ")) + QStringLiteral(")");
        if (result.keptAs.isEmpty())
            result.message = problem
                + QStringLiteral(". What could be read is shown, but a copy of the file as it was "
                                 "could not be kept: copy it yourself before the program saves again.");
        else
            result.message = problem
                + QStringLiteral(". What could be read is shown; the file as it was has been kept as ") + result.keptAs
                + QLatin1Char('.');
        result.message += backupNote;
        return result;
    }
    result.status = LoadResult::Status::Unreadable;
    if (!isRegularFile(path)) {
        // A device, a FIFO or a folder in the file's place is no data file: it is neither
        // moved nor written, and the file cannot be saved while it is there.
        result.message = QStringLiteral("File ") + path
            + QStringLiteral(" could not be read: it is not a regular file. It is left as it is, and nothing is saved "
                             "under that name until it is moved away.")
            + backupNote;
        return result;
    }
    result.keptAs = keepAside(path, now);
    const QString problem = (read.status == ReadResult::Status::Damaged
                                    ? read.message
                                    : QStringLiteral("File ") + path + QStringLiteral(" could not be read"))
        + (read.reason.isEmpty() ? QString() : QStringLiteral(": ") + read.reason);
    if (result.keptAs.isEmpty())
        result.message = problem
            + QStringLiteral(". It could not be moved aside either: "
                             "move it away yourself before the program saves again.");
    else
        result.message = problem + QStringLiteral(". It has been kept as ") + result.keptAs + QLatin1Char('.');
    result.message += backupNote;
    return result;
}
