#include "childprocess.h"
#include "settings/settingsstore.h"
#include "store/celltable.h"
#include "store/datafile.h"
#include "store/gridfile.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

CellTable todoExample()
{
    CellTable table(3, 2);
    const int widths[] = { 62, 503, 52 };
    const char *cells[2][3] = { { "Category", "What", "Done?" }, { "Home", "Buy paint", "No" } };
    for (int c = 0; c < 3; ++c) {
        table.setColWidth(c, widths[c]);
        for (int r = 0; r < 2; ++r)
            table.setCell(c, r, QString::fromLatin1(cells[r][c]));
    }
    return table;
}

// A table holding an old content, to see that a failed read leaves it alone.
CellTable occupied()
{
    CellTable table(2, 3);
    table.setCell(0, 0, QStringLiteral("old"));
    table.setCell(1, 2, QStringLiteral("old too"));
    return table;
}

// Folder permissions do not bind root, and tests may run as root: the save runs in a child
// process that has given up root first.
SaveResult saveAsUnprivilegedUser(const CellTable &table, const QString &path)
{
    const std::optional<QByteArray> answer = runInChild(
        [&]() -> QByteArray {
            const SaveResult result = writeGridFile(table, path);
            return (result.ok ? QByteArray("1") : QByteArray("0")) + result.reason.toUtf8();
        },
        30, true);
    if (!answer || answer->isEmpty())
        return SaveResult::failure(path, QStringLiteral("child failed"));
    if (answer->startsWith('1'))
        return SaveResult::success(path);
    return SaveResult::failure(path, QString::fromUtf8(answer->mid(1)));
}

} // namespace

class TestGridFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void writesTheTodoExampleByteForByte()
    {
        const QString file = path(QStringLiteral("gridNon.grd"));
        QVERIFY(writeGridFile(todoExample(), file).ok);
        QCOMPARE(readAll(file),
            QByteArray("3,2\r\ncw 0,62\r\ncw 1,503\r\ncw 2,52\r\n"
                       "0,0,Category\r\n1,0,What\r\n2,0,Done?\r\n"
                       "0,1,Home\r\n1,1,Buy paint\r\n2,1,No\r\n"));
        CellTable back;
        QVERIFY(readGridFile(back, file).ok());
        QVERIFY(back == todoExample());
        QCOMPARE(back.colWidths(), (QList<int> { 62, 503, 52 }));
    }

    void smallestTable()
    {
        CellTable table(1, 1);
        table.setColWidth(0, 10);
        QCOMPARE(gridFileBytes(table), QByteArray("1,1\r\ncw 0,10\r\n"));
    }

    void cellTextsRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("multi-line") << QStringLiteral("Call Ann\r\nbefore 5") << QByteArray("1,1,Call Ann\t\bbefore 5")
                                    << QStringLiteral("Call Ann\r\nbefore 5");
        QTest::newRow("starts with U+FEFF")
            << QString(QChar(0xFEFF)) + QStringLiteral("Home") << QByteArray("1,1,\xEF\xBB\xBFHome")
            << QString(QChar(0xFEFF)) + QStringLiteral("Home");
        QTest::newRow("commas") << QStringLiteral(",a,,b,") << QByteArray("1,1,,a,,b,") << QStringLiteral(",a,,b,");
        QTest::newRow("TAB reads back as CR")
            << QStringLiteral("a\tb") << QByteArray("1,1,a\tb") << QStringLiteral("a\rb");
        QTest::newRow("BS reads back as LF")
            << QStringLiteral("a\bb") << QByteArray("1,1,a\bb") << QStringLiteral("a\nb");
        QTest::newRow("byte 26 is dropped") << QStringLiteral("a\x1a"
                                                              "b")
                                            << QByteArray("1,1,ab") << QStringLiteral("ab");
        QTest::newRow("NUL is dropped") << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"))
                                        << QByteArray("1,1,ab") << QStringLiteral("ab");
        QTest::newRow("unicode") << QStringLiteral("Caf\u00e9 \u20ac") << QByteArray("1,1,Caf\xc3\xa9 \xe2\x82\xac")
                                 << QStringLiteral("Caf\u00e9 \u20ac");
    }
    void cellTextsRoundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, line);
        QFETCH(QString, readBack);
        CellTable table(2, 2);
        table.setCell(1, 1, text);
        const QByteArray bytes = gridFileBytes(table);
        QVERIFY2(bytes.contains(QByteArray("\r\n" + line + "\r\n")), bytes.constData());
        CellTable back;
        QVERIFY(readGridBytes(back, bytes, QStringLiteral("x")).complete());
        QCOMPARE(back.cell(1, 1), readBack);
    }

    // Whatever blank rows a table ends in, the writer's file reads back as that table, and is
    // never taken for a file cut short. Where the rows would look cut off, the last row gets
    // an empty cell line; a new or emptied table is written as it always was.
    void theWritersFilesAreNeverCutShort_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("filled"); // rows with a cell, -1 none
        QTest::addColumn<QByteArray>("last"); // the file's last line
        QTest::newRow("one cell") << 1 << 1 << QList<int> {} << QByteArray("cw 0,64");
        QTest::newRow("new store") << 6 << 4 << QList<int> {} << QByteArray("cw 5,64");
        QTest::newRow("emptied list") << 3 << 2 << QList<int> { 0 } << QByteArray("2,0,h");
        QTest::newRow("store with only its header row") << 6 << 1 << QList<int> {} << QByteArray("cw 5,64");
        QTest::newRow("one blank row at the end") << 3 << 4 << QList<int> { 0, 1, 2 } << QByteArray("2,2,t");
        QTest::newRow("two blank rows at the end") << 3 << 5 << QList<int> { 0, 1, 2 } << QByteArray("0,4,");
        QTest::newRow("blank rows between and at the end") << 3 << 9 << QList<int> { 0, 2, 5 } << QByteArray("0,8,");
        QTest::newRow("header and five blank rows") << 6 << 6 << QList<int> { 0 } << QByteArray("0,5,");
        QTest::newRow("no cells in six rows") << 6 << 6 << QList<int> {} << QByteArray("0,5,");
        QTest::newRow("no blank row") << 2 << 3 << QList<int> { 0, 1, 2 } << QByteArray("1,2,t");
    }
    void theWritersFilesAreNeverCutShort()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(QList<int>, filled);
        QFETCH(QByteArray, last);
        CellTable table(columns, rows);
        for (const int r : filled)
            table.setCell(columns - 1, r, r == 0 ? QStringLiteral("h") : QStringLiteral("t"));
        const QByteArray bytes = gridFileBytes(table);
        QVERIFY2(bytes.endsWith(QByteArray("\r\n" + last + "\r\n")), bytes.constData());
        CellTable back(2, 2);
        back.setCell(1, 1, QStringLiteral("old"));
        const ReadResult read = readGridBytes(back, bytes, QStringLiteral("x"));
        QVERIFY(read.complete());
        QVERIFY(back == table);
        QCOMPARE(gridFileBytes(back), bytes);
    }

    // A file that ends before its count line's rows, or in the middle of a line, was cut
    // short: the table holds what is there, and the read says so.
    void aFileCutShortIsTold_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rowsKept"); // data rows read
        QTest::addColumn<QString>("lost");
        CellTable tasks(6, 301);
        for (int r = 1; r < 301; ++r)
            for (int c = 0; c < 6; ++c)
                tasks.setCell(c, r, QStringLiteral("task %1 cell %2").arg(r).arg(c));
        const QByteArray whole = gridFileBytes(tasks);
        // The bytes up to the first line of `row`.
        auto upTo = [&whole](int row) {
            return whole.left(whole.indexOf(QByteArray("\r\n0," + QByteArray::number(row) + ",")) + 2);
        };
        const QString cut = QStringLiteral("it was cut short: ");
        const QString counts = QStringLiteral("its first line counts 301 rows, but ");
        QTest::newRow("after the count line")
            << whole.left(whole.indexOf("\r\n") + 2) << 0 << cut + counts + QStringLiteral("it holds no cell");
        QTest::newRow("after the widths") << upTo(1) << 0 << cut + counts + QStringLiteral("it holds no cell");
        QTest::newRow("half-way, at a line boundary")
            << upTo(150) << 149 << cut + counts + QStringLiteral("its cells end at row 149");
        QTest::newRow("half-way, in a line") << upTo(150).chopped(5) << 149
                                             << cut + QStringLiteral("it ends in the middle of a line, and ") + counts
                + QStringLiteral("its cells end at row 149");
        QTest::newRow("in the last row's line")
            << whole.chopped(4) << 300 << cut + QStringLiteral("it ends in the middle of a line");
        QTest::newRow("before the last two rows")
            << upTo(299) << 298 << cut + counts + QStringLiteral("its cells end at row 298");
        CellTable list(3, 6);
        list.setCell(1, 1, QStringLiteral("Buy paint"));
        const QByteArray blankEnd = gridFileBytes(list);
        QTest::newRow("before the line of a blank last row")
            << blankEnd.left(blankEnd.lastIndexOf("0,5,")) << 1
            << cut + QStringLiteral("its first line counts 6 rows, but its cells end at row 1");
    }
    void aFileCutShortIsTold()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rowsKept);
        QFETCH(QString, lost);
        CellTable table;
        const ReadResult read = readGridBytes(table, bytes, QStringLiteral("x"));
        QVERIFY(read.ok());
        QCOMPARE(read.lost, QStringList { lost });
        table.fitToContent(1, 1);
        QCOMPARE(table.rowCount() - 1, rowsKept);
    }

    void readingReplacesEveryOldCell()
    {
        CellTable table(4, 6);
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 4; ++c)
                table.setCell(c, r, QStringLiteral("old"));
        QVERIFY(readGridBytes(table, "2,3\r\n1,2,new\r\n", QStringLiteral("x")).ok());
        QCOMPARE(table.colCount(), 2);
        QCOMPARE(table.rowCount(), 3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 2; ++c)
                QCOMPARE(table.cell(c, r), (c == 1 && r == 2) ? QStringLiteral("new") : QString());
    }

    // Every input a reader may meet: it never crashes, keeps what it can, and says what it
    // could not keep.
    void readsEveryKindOfInput_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("cell11");
        QTest::addColumn<QStringList>("lost");
        using S = ReadResult::Status;
        const QStringList none;
        QTest::newRow("empty file: unchanged") << QByteArray() << int(S::Ok) << 2 << 3 << QString() << none;
        QTest::newRow("empty first line keeps counts and cells")
            << QByteArray("\r\n1,1,x") << int(S::Ok) << 2 << 3 << "x" << none;
        QTest::newRow("counts 0,0") << QByteArray("0,0\r\n") << int(S::Ok) << 1 << 1 << QString() << none;
        QTest::newRow("counts -5,x") << QByteArray("-5,x\r\n") << int(S::Ok) << 1 << 1 << QString() << none;
        QTest::newRow("counts with trailing junk")
            << QByteArray(" 2x,3,9\r\n1,1,y\r\n") << int(S::Ok) << 2 << 3 << "y" << none;
        QTest::newRow("6,1: header only")
            << QByteArray("6,1\r\n0,0,h\r\n0,1,dropped\r\n") << int(S::Ok) << 6 << 1 << QString()
            << QStringList { "1 cell line outside the table's 6 columns and 1 row" };
        QTest::newRow("zero counts with cells beyond")
            << QByteArray("0,0\r\n0,0,h\r\n1,1,x\r\n0,2,y\r\n") << int(S::Ok) << 1 << 1 << QString()
            << QStringList { "2 cell lines outside the table's 1 column and 1 row" };
        QTest::newRow("rows beyond the bound")
            << QByteArray("6,2000000000\r\n") << int(S::Damaged) << 2 << 3 << QString() << none;
        QTest::newRow("columns beyond the bound")
            << QByteArray("1001,2\r\n") << int(S::Damaged) << 2 << 3 << QString() << none;
        QTest::newRow("huge number") << QByteArray("99999999999999999999999,2\r\n") << int(S::Damaged) << 2 << 3
                                     << QString() << none;
        QTest::newRow("the bound itself")
            << QByteArray("1000,2\r\n1,1,z\r\n") << int(S::Ok) << 1000 << 2 << "z" << none;
        QTest::newRow("cells outside the table")
            << QByteArray("2,2\r\n5,1,a\r\n1,9,b\r\n-1,1,c\r\n1,1,d\r\n") << int(S::Ok) << 2 << 2 << "d"
            << QStringList { "3 cell lines outside the table's 2 columns and 2 rows" };
        QTest::newRow("width outside the table")
            << QByteArray("2,2\r\ncw 7,5\r\ncw -1,5\r\n1,1,e\r\n") << int(S::Ok) << 2 << 2 << "e" << none;
        QTest::newRow("lines that are neither widths nor cells")
            << QByteArray("2,2\r\nnonsense\r\n1\r\n1,1\r\n  \r\n1,1,f\r\n") << int(S::Ok) << 2 << 2 << "f"
            << QStringList { "3 lines that were neither a width line nor a cell line" };
        QTest::newRow("LF line ends") << QByteArray("3,2\ncw 0,5\n1,1,g\n") << int(S::Ok) << 3 << 2 << "g" << none;
        QTest::newRow("CR line ends") << QByteArray("3,2\rcw 0,5\r1,1,g\r") << int(S::Ok) << 3 << 2 << "g" << none;
        QTest::newRow("LF inside a cell line ends it")
            << QByteArray("2,2\r\n1,1,a\nb\r\n") << int(S::Ok) << 2 << 2 << "a"
            << QStringList { "1 line that was neither a width line nor a cell line" };
        QTest::newRow("byte 26 ends the file")
            << QByteArray("2,2\r\n1,1,h\r\n\x1a"
                          "1,1,i\r\n")
            << int(S::Ok) << 2 << 2 << "h" << QStringList { "text after an end-of-file mark" };
        QTest::newRow("byte 26 before everything")
            << QByteArray("\x1a"
                          "2,2\r\n1,1,h\r\n")
            << int(S::Ok) << 2 << 3 << QString() << QStringList { "text after an end-of-file mark" };
        QTest::newRow("only padding after byte 26")
            << QByteArray("2,2\r\n1,1,h\r\n\x1a\x1a \r\n\x1a") << int(S::Ok) << 2 << 2 << "h" << none;
        const QStringList inALine { "it was cut short: it ends in the middle of a line" };
        QTest::newRow("cut in the middle of a line")
            << QByteArray("2,2\r\n0,1,x\r\n1,1,Buy pa") << int(S::Ok) << 2 << 2 << "Buy pa" << inALine;
        QTest::newRow("cut in the count line") << QByteArray("2,") << int(S::Ok) << 2 << 1 << QString() << inALine;
        QTest::newRow("binary") << QByteArray::fromHex("7f454c4602010100000000002cfffe") << int(S::Damaged) << 2 << 3
                                << QString() << none;
        QTest::newRow("rows revisited keep their cells")
            << QByteArray("2,3\r\n0,1,a\r\n0,2,b\r\n1,1,c\r\n") << int(S::Ok) << 2 << 3 << "c" << none;
        QTest::newRow("Windows-1252 text")
            << QByteArray("2,2\r\n1,1,Caf\xe9 \x80\r\n") << int(S::Ok) << 2 << 2 << QStringLiteral("Caf\u00e9 \u20ac")
            << QStringList { "1 line that was not UTF-8, read as Windows-1252" };
        // One line of an older system does not garble the UTF-8 lines around it.
        QTest::newRow("UTF-8 beside Windows-1252")
            << QByteArray("2,3\r\n1,1,Caf\xc3\xa9\r\n0,2,Caf\xe9\r\n1,2,\x93quoted\x94\r\n") << int(S::Ok) << 2 << 3
            << QStringLiteral("Caf\u00e9") << QStringList { "2 lines that were not UTF-8, read as Windows-1252" };
    }
    void readsEveryKindOfInput()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(QString, cell11);
        QFETCH(QStringList, lost);
        const QString file = path(QStringLiteral("input.grd"));
        QVERIFY(writeBytes(file, bytes));
        CellTable table = occupied();
        const ReadResult result = readGridFile(table, file);
        QCOMPARE(int(result.status), status);
        QCOMPARE(table.colCount(), columns);
        QCOMPARE(table.rowCount(), rows);
        QCOMPARE(table.cell(1, 1), cell11);
        QCOMPARE(result.lost + result.converted, lost);
        QCOMPARE(result.complete(), result.ok() && lost.isEmpty());
        if (result.status == ReadResult::Status::Damaged) {
            QCOMPARE(result.message, QStringLiteral("File ") + file + QStringLiteral(" is damaged"));
            QVERIFY(table == occupied());
        }
    }

    void readsEveryLineOfAMixedFile()
    {
        CellTable table;
        const ReadResult result = readGridBytes(
            table, "3,2\ncw 0,5\r\ncw 1,6\r0,1,a\n1,1,Caf\xe9\r\n2,1,\xc3\xa9t\xc3\xa9", QStringLiteral("x"));
        QVERIFY(result.ok());
        QCOMPARE(table.colWidths().mid(0, 2), (QList<int> { 5, 6 }));
        QCOMPARE(table.cell(0, 1), QStringLiteral("a"));
        QCOMPARE(table.cell(1, 1), QStringLiteral("Caf\u00e9"));
        QCOMPARE(table.cell(2, 1), QStringLiteral("\u00e9t\u00e9"));
    }

    // Nothing in memory: the reader must not touch the (null) data at all.
    void emptyInputChangesNothing()
    {
        CellTable table = occupied();
        const ReadResult result = readGridBytes(table, QByteArrayView(), QStringLiteral("x"));
        QVERIFY(result.complete());
        QVERIFY(table == occupied());
    }

    void revisitedRowKeepsEarlierCells()
    {
        CellTable table;
        QVERIFY(readGridBytes(table, "2,3\r\n0,1,a\r\n0,2,b\r\n1,1,c\r\n", QStringLiteral("x")).ok());
        QCOMPARE(table.cell(0, 1), QStringLiteral("a"));
        QCOMPARE(table.cell(1, 1), QStringLiteral("c"));
        QCOMPARE(table.cell(0, 2), QStringLiteral("b"));
    }

    void missingFileIsNotFound()
    {
        CellTable table = occupied();
        const QString file = path(QStringLiteral("absent.grd"));
        const ReadResult result = readGridFile(table, file);
        QCOMPARE(result.status, ReadResult::Status::NotFound);
        QCOMPARE(result.message, QStringLiteral("File ") + file + QStringLiteral(" not found"));
        QVERIFY(table == occupied());
    }

    void saveKeepsThePreviousVersion()
    {
        const QString file = path(QStringLiteral("kept.grd"));
        CellTable first(1, 2);
        first.setCell(0, 1, QStringLiteral("first"));
        QVERIFY(writeGridFile(first, file).ok);
        CellTable second(1, 2);
        second.setCell(0, 1, QStringLiteral("second"));
        QVERIFY(writeGridFile(second, file).ok);
        QCOMPARE(readAll(file), gridFileBytes(second));
        QCOMPARE(readAll(file + QLatin1Char('~')), gridFileBytes(first));
        // No temporary file is left behind.
        const QStringList leftovers
            = QDir(m_dir.path()).entryList({ QStringLiteral(".kept.grd.tmp-*") }, QDir::Hidden | QDir::Files);
        QVERIFY(leftovers.isEmpty());
    }

    void saveIntoReadOnlyFolderFailsAndKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("grid.grd"));
        QVERIFY(writeBytes(file, "1,1\r\n"));
        const QByteArray folder = QFile::encodeName(dir.path());
        QVERIFY(::chmod(folder.constData(), 0555) == 0);
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0644) == 0);
        CellTable table(1, 2);
        table.setCell(0, 1, QStringLiteral("new"));
        const SaveResult result = saveAsUnprivilegedUser(table, file);
        ::chmod(folder.constData(), 0755);
        qInfo() << "refused with:" << result.reason;
        QVERIFY(!result.ok);
        QVERIFY(result.reason != QLatin1String("child failed"));
        QCOMPARE(result.path, file);
        QVERIFY(!result.reason.isEmpty());
        QVERIFY(result.message().contains(file));
        QCOMPARE(readAll(file), QByteArray("1,1\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("grid.grd") });
    }

    void saveIntoMissingFolderFails()
    {
        const QString file = path(QStringLiteral("no/such/folder/grid.grd"));
        const SaveResult result = writeGridFile(CellTable(), file);
        QVERIFY(!result.ok);
        QVERIFY(!result.reason.isEmpty());
    }

    void damagedFileIsKeptAside()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("grid.grd"));
        QVERIFY(writeBytes(file, QByteArray("6,2000000000\r\n")));
        CellTable table = occupied();
        const QDateTime now(QDate(2026, 3, 4), QTime(5, 6, 7));
        const LoadResult result = loadDataFile(table, file, now);
        QCOMPARE(result.status, LoadResult::Status::Unreadable);
        QCOMPARE(result.keptAs, file + QStringLiteral(".damaged-20260304-050607"));
        QVERIFY(result.message.contains(QStringLiteral("File ") + file + QStringLiteral(" is damaged")));
        QVERIFY(result.message.contains(result.keptAs));
        QVERIFY(!QFile::exists(file));
        QCOMPARE(readAll(result.keptAs), QByteArray("6,2000000000\r\n"));
        QVERIFY(table == occupied());

        QCOMPARE(loadDataFile(table, file, now).status, LoadResult::Status::Missing);
        QVERIFY(writeGridFile(todoExample(), file).ok);
        QCOMPARE(loadDataFile(table, file, now).status, LoadResult::Status::Loaded);
        QVERIFY(table == todoExample());
    }

    // A file read in part: the table shows what was read, the file stays under its name
    // and a copy of it as it was is kept before anything can save over it.
    void partlyReadableFileIsCopiedFirst()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("gridNon.grd"));
        const QByteArray bytes("3,2\r\n0,1,Home\r\n1,1,Paint\r\n1,7,beyond the rows\r\n\x1a"
                               "2,1,No\r\n");
        QVERIFY(writeBytes(file, bytes));
        CellTable table = occupied();
        const QDateTime now(QDate(2026, 3, 4), QTime(5, 6, 7));
        const LoadResult result = loadDataFile(table, file, now);
        QCOMPARE(result.status, LoadResult::Status::Partial);
        QCOMPARE(result.keptAs, file + QStringLiteral(".damaged-20260304-050607"));
        QCOMPARE(result.message,
            QStringLiteral("File ") + file
                + QStringLiteral(" was partly unreadable (1 cell line outside the table's 3 columns and 2 rows; "
                                 "text after an end-of-file mark). What could be read is shown; the file as it "
                                 "was has been kept as ")
                + result.keptAs + QLatin1Char('.'));
        QCOMPARE(table.cell(1, 1), QStringLiteral("Paint"));
        QCOMPARE(readAll(file), bytes);
        QCOMPARE(readAll(result.keptAs), bytes);

        // A save replaces the name; the copy keeps the old content. The next load in the
        // same second keeps its own copy.
        QVERIFY(writeGridFile(table, file).ok);
        QCOMPARE(readAll(result.keptAs), bytes);
        QVERIFY(writeBytes(file, bytes));
        QCOMPARE(loadDataFile(table, file, now).keptAs, result.keptAs + QStringLiteral("-2"));
    }

    void partlyReadableFileThatCannotBeCopiedSaysSo()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("grid.grd"));
        const QByteArray bytes("2,2\r\n1,1,kept\r\n9,9,lost\r\n");
        QVERIFY(writeBytes(file, bytes));
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0644) == 0);
        const QByteArray folder = QFile::encodeName(dir.path());
        QVERIFY(::chmod(folder.constData(), 0555) == 0);
        const std::optional<QByteArray> answer = runInChild(
            [&]() -> QByteArray {
                CellTable table;
                const LoadResult result = loadDataFile(table, file, QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
                return QByteArray::number(int(result.status)) + '|' + result.keptAs.toUtf8() + '|'
                    + table.cell(1, 1).toUtf8() + '|' + result.message.toUtf8();
            },
            30, true);
        ::chmod(folder.constData(), 0755);
        QVERIFY(answer);
        const QList<QByteArray> parts = answer->split('|');
        QCOMPARE(parts.size(), 4);
        QCOMPARE(parts[0].toInt(), int(LoadResult::Status::Partial));
        QCOMPARE(parts[1], QByteArray());
        QCOMPARE(parts[2], QByteArray("kept"));
        QVERIFY2(parts[3].contains("could not be kept"), parts[3].constData());
        QCOMPARE(readAll(file), bytes);
    }

    // A FIFO or a device in a data file's place is refused at once: opening a FIFO for
    // reading would wait for a writer for ever. The read runs in a child that is stopped
    // when it takes too long.
    void onlyRegularFilesAreRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << QStringLiteral("fifo");
        QTest::newRow("device") << QStringLiteral("device");
        QTest::newRow("folder") << QStringLiteral("folder");
    }
    void onlyRegularFilesAreRead()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QString file = dir.filePath(QStringLiteral("grid.grd"));
        if (kind == QLatin1String("fifo"))
            QVERIFY(::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("grid.grd")));
        else
            file = QStringLiteral("/dev/zero");
        const std::optional<QByteArray> answer = runInChild(
            [&]() -> QByteArray {
                CellTable table = occupied();
                const ReadResult result = readGridFile(table, file);
                return QByteArray::number(int(result.status)) + (table == occupied() ? " unchanged" : " changed");
            },
            10);
        QVERIFY2(answer, "the read blocked or failed");
        QCOMPARE(*answer, QByteArray::number(int(ReadResult::Status::NotFound)) + " unchanged");
    }

    void fifoDoesNotBlockTheStart()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("grid.grd"));
        QVERIFY(::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
        const std::optional<QByteArray> answer = runInChild(
            [&]() -> QByteArray {
                CellTable table;
                return QByteArray::number(
                    int(loadDataFile(table, file, QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))).status));
            },
            10);
        QVERIFY2(answer, "the load blocked or failed");
        QCOMPARE(answer->toInt(), int(LoadResult::Status::Unreadable));
        QVERIFY(QFileInfo(file).exists() && !QFileInfo(file).isFile()); // left where it is
    }

    // A device, a FIFO or a folder in a file's place, or at the end of its link, is never
    // renamed, replaced or written: not by a save, not by the rule that keeps unreadable
    // files aside, not by the settings. Each refuses it with a message naming it.
    void aPathThatIsNotARegularFileIsLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("link");
        for (const char *kind : { "FIFO", "device", "folder" }) {
            QTest::addRow("%s", kind) << QString::fromLatin1(kind) << false;
            QTest::addRow("link to a %s", kind) << QString::fromLatin1(kind) << true;
        }
    }
    void aPathThatIsNotARegularFileIsLeftAlone()
    {
        QFETCH(QString, kind);
        QFETCH(bool, link);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("grid.grd"));
        if (!makeNode(kind, link ? dir.filePath(QStringLiteral("node")) : path))
            QSKIP("this system does not let the test make such a node");
        if (link)
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("node")), path));
        const QByteArray before = nodeIdentity(path);
        const QStringList files = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
        auto says = [&path](const QString &message) {
            return message.contains(path) && message.contains(QStringLiteral("not a regular file"));
        };

        const SaveResult saved = writeGridFile(todoExample(), path);
        QVERIFY(!saved.ok);
        QVERIFY2(says(saved.message()), qPrintable(saved.message()));

        CellTable table = occupied();
        const LoadResult loaded = loadDataFile(table, path, QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
        QCOMPARE(loaded.status, LoadResult::Status::Unreadable);
        QCOMPARE(loaded.keptAs, QString());
        QVERIFY2(says(loaded.message), qPrintable(loaded.message));
        QVERIFY(table == occupied());

        SettingsStore settings(path);
        QVERIFY2(says(settings.problem()), qPrintable(settings.problem()));
        settings.writeInt(QStringLiteral("Options"), QStringLiteral("AlarmMin"), 5);
        QCOMPARE(settings.readInt(QStringLiteral("Options"), QStringLiteral("AlarmMin"), 0), 5);
        QVERIFY(!settings.sync().ok);

        QCOMPARE(nodeIdentity(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), files);
    }

    // A data file that is a link (to a synced folder, say) stays one: the save goes to the
    // file it names, whose old version becomes the backup beside it.
    void aSaveGoesThroughALink_data()
    {
        QTest::addColumn<bool>("relative");
        QTest::addColumn<bool>("dangling");
        QTest::newRow("absolute") << false << false;
        QTest::newRow("relative") << true << false;
        QTest::newRow("to a file not there yet") << true << true;
    }
    void aSaveGoesThroughALink()
    {
        QFETCH(bool, relative);
        QFETCH(bool, dangling);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("synced")));
        const QString target = dir.filePath(QStringLiteral("synced/grid.grd"));
        const QString link = dir.filePath(QStringLiteral("grid.grd"));
        if (!dangling)
            QVERIFY(writeGridFile(occupied(), target).ok);
        QVERIFY(QFile::link(relative ? QStringLiteral("synced/grid.grd") : target, link));

        QVERIFY(writeGridFile(todoExample(), link).ok);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readAll(target), gridFileBytes(todoExample()));
        QCOMPARE(QFileInfo::exists(target + QLatin1Char('~')), !dangling);
        if (!dangling)
            QCOMPARE(readAll(target + QLatin1Char('~')), gridFileBytes(occupied()));
        QVERIFY(!QFileInfo::exists(link + QLatin1Char('~')));
    }

    // A backup that cannot be made never stops a save, but it is said, and the older backup
    // is not left to pass for the version just replaced.
    void aBackupThatCannotBeMadeIsSaid()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("grid.grd"));
        QVERIFY(writeGridFile(occupied(), file).ok);
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("grid.grd~/in the way")));
        const SaveResult saved = writeGridFile(todoExample(), file);
        QVERIFY(saved.ok);
        QVERIFY(!saved.backupProblem.isEmpty());
        QCOMPARE(readAll(file), gridFileBytes(todoExample()));
    }

    // The message for a file that is there but cannot be read says why, and names where the
    // last backup is kept: a name no save replaces, while "NAME~" goes on with the saves.
    void anUnreadableFileKeepsItsLastGoodBackup()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("grid.grd"));
        const QString backup = file + QLatin1Char('~');
        QVERIFY(writeBytes(backup, gridFileBytes(occupied())));
        QVERIFY(writeBytes(file, QByteArray("3,2\r\n1,1,Buy\0paint\r\n", 20)));
        DataFile data(file);
        CellTable table;
        const LoadResult loaded = data.loadGrid(table, QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
        QCOMPARE(loaded.status, LoadResult::Status::Unreadable);
        QVERIFY2(loaded.message.contains(QStringLiteral("is damaged: it holds NUL bytes")), qPrintable(loaded.message));
        const QString kept = file + QStringLiteral(".kept-20260304-050607");
        QVERIFY2(loaded.message.contains(kept), qPrintable(loaded.message));
        for (int i = 0; i < 3; ++i)
            QVERIFY(data.saveGrid(todoExample()).ok);
        QCOMPARE(readAll(kept), gridFileBytes(occupied()));
        QCOMPARE(readAll(backup), gridFileBytes(todoExample()));
    }

    // Counts far beyond the cells cost nothing once fitted, and are not written back.
    void countsWithoutCellsAreDropped()
    {
        CellTable table;
        const ReadResult read
            = readGridBytes(table, "1000,1000000\r\n1,1,Buy paint\r\n", QStringLiteral("gridNon.grd"));
        QVERIFY(read.ok());
        QCOMPARE(read.lost,
            QStringList { "it was cut short: its first line counts 1000000 rows, but its cells end at row 1" });
        table.fitToContent(3, 2);
        QCOMPARE(table.colCount(), 3);
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.cell(1, 1), QStringLiteral("Buy paint"));
        QCOMPARE(gridFileBytes(table), QByteArray("3,2\r\ncw 0,64\r\ncw 1,64\r\ncw 2,64\r\n1,1,Buy paint\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestGridFile)
#include "tst_gridfile.moc"
