#include "testfiles.h"
#include "store/celltable.h"
#include "store/gridfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

CellTable todoExample()
{
    CellTable table(3, 2);
    const int widths[] = {62, 503, 52};
    const char *cells[2][3] = {{"Category", "What", "Done?"}, {"Home", "Buy paint", "No"}};
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

// Folder permissions do not bind root, and tests may run as root: then the save runs in a
// child process that has given up root first.
SaveResult saveAsUnprivilegedUser(const CellTable &table, const QString &path)
{
    if (::geteuid() != 0)
        return writeGridFile(table, path);
    int fds[2];
    if (::pipe(fds) != 0)
        return SaveResult::failure(path, QStringLiteral("pipe"));
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        const SaveResult result = writeGridFile(table, path);
        const QByteArray answer = (result.ok ? QByteArray("1") : QByteArray("0")) + result.reason.toUtf8();
        if (::write(fds[1], answer.constData(), size_t(answer.size())) < 0)
            ::_exit(3);
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray answer;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        answer.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (answer.isEmpty())
        return SaveResult::failure(path, QStringLiteral("child failed"));
    if (answer.startsWith('1'))
        return SaveResult{true, path, QString()};
    return SaveResult::failure(path, QString::fromUtf8(answer.mid(1)));
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
        QCOMPARE(readAll(file), QByteArray("3,2\r\ncw 0,62\r\ncw 1,503\r\ncw 2,52\r\n"
                                           "0,0,Category\r\n1,0,What\r\n2,0,Done?\r\n"
                                           "0,1,Home\r\n1,1,Buy paint\r\n2,1,No\r\n"));
        CellTable back;
        QVERIFY(readGridFile(back, file).ok());
        QVERIFY(back == todoExample());
        QCOMPARE(back.colWidths(), (QList<int>{62, 503, 52}));
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
        QTest::newRow("commas") << QStringLiteral(",a,,b,") << QByteArray("1,1,,a,,b,") << QStringLiteral(",a,,b,");
        QTest::newRow("TAB reads back as CR") << QStringLiteral("a\tb") << QByteArray("1,1,a\tb") << QStringLiteral("a\rb");
        QTest::newRow("BS reads back as LF") << QStringLiteral("a\bb") << QByteArray("1,1,a\bb") << QStringLiteral("a\nb");
        QTest::newRow("byte 26 is dropped") << QStringLiteral("a\x1a" "b") << QByteArray("1,1,ab") << QStringLiteral("ab");
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
        QVERIFY(readGridBytes(back, bytes, QStringLiteral("x")).ok());
        QCOMPARE(back.cell(1, 1), readBack);
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

    // Every input a reader may meet: it never crashes and answers as the format says.
    void readsEveryKindOfInput_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("cell11");
        using S = ReadResult::Status;
        QTest::newRow("empty file: unchanged") << QByteArray() << int(S::Ok) << 2 << 3 << QString();
        QTest::newRow("empty first line keeps counts and cells") << QByteArray("\r\n1,1,x") << int(S::Ok) << 2 << 3 << "x";
        QTest::newRow("counts 0,0") << QByteArray("0,0\r\n") << int(S::Ok) << 1 << 1 << QString();
        QTest::newRow("counts -5,x") << QByteArray("-5,x\r\n") << int(S::Ok) << 1 << 1 << QString();
        QTest::newRow("counts with trailing junk") << QByteArray(" 2x,3,9\r\n1,1,y") << int(S::Ok) << 2 << 3 << "y";
        QTest::newRow("6,1: header only") << QByteArray("6,1\r\n0,0,h\r\n0,1,dropped\r\n") << int(S::Ok) << 6 << 1 << QString();
        QTest::newRow("rows beyond the bound") << QByteArray("6,2000000000\r\n") << int(S::Damaged) << 2 << 3 << QString();
        QTest::newRow("columns beyond the bound") << QByteArray("1001,2\r\n") << int(S::Damaged) << 2 << 3 << QString();
        QTest::newRow("huge number") << QByteArray("99999999999999999999999,2\r\n") << int(S::Damaged) << 2 << 3 << QString();
        QTest::newRow("the bound itself") << QByteArray("1000,2\r\n1,1,z") << int(S::Ok) << 1000 << 2 << "z";
        QTest::newRow("cell outside the table") << QByteArray("2,2\r\n5,1,a\r\n1,9,b\r\n-1,1,c\r\n1,1,d\r\n") << int(S::Ok) << 2 << 2 << "d";
        QTest::newRow("width outside the table") << QByteArray("2,2\r\ncw 7,5\r\ncw -1,5\r\n1,1,e\r\n") << int(S::Ok) << 2 << 2 << "e";
        QTest::newRow("lines without commas") << QByteArray("2,2\r\nnonsense\r\n1\r\n1,1,f\r\n") << int(S::Ok) << 2 << 2 << "f";
        QTest::newRow("LF-only file is one line") << QByteArray("3,2\ncw 0,5\n1,1,g\n") << int(S::Ok) << 3 << 2 << QString();
        QTest::newRow("LF inside a line is text") << QByteArray("2,2\r\n1,1,a\nb\r\n") << int(S::Ok) << 2 << 2 << "a\nb";
        QTest::newRow("byte 26 ends the file") << QByteArray("2,2\r\n1,1,h\r\n\x1a" "1,1,i\r\n") << int(S::Ok) << 2 << 2 << "h";
        QTest::newRow("cut in the middle of a line") << QByteArray("2,2\r\n0,1,x\r\n1,1,Buy pa") << int(S::Ok) << 2 << 2 << "Buy pa";
        QTest::newRow("cut in the count line") << QByteArray("2,") << int(S::Ok) << 2 << 1 << QString();
        QTest::newRow("binary") << QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0\0\0,\xff\xfe", 15) << int(S::Damaged) << 2 << 3 << QString();
        QTest::newRow("rows revisited keep their cells") << QByteArray("2,3\r\n0,1,a\r\n0,2,b\r\n1,1,c\r\n") << int(S::Ok) << 2 << 3 << "c";
        QTest::newRow("Windows-1252 text") << QByteArray("2,2\r\n1,1,Caf\xe9 \x80") << int(S::Ok) << 2 << 2 << QStringLiteral("Caf\u00e9 \u20ac");
    }
    void readsEveryKindOfInput()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(QString, cell11);
        const QString file = path(QStringLiteral("input.grd"));
        QVERIFY(writeBytes(file, bytes));
        CellTable table = occupied();
        const ReadResult result = readGridFile(table, file);
        QCOMPARE(int(result.status), status);
        QCOMPARE(table.colCount(), columns);
        QCOMPARE(table.rowCount(), rows);
        QCOMPARE(table.cell(1, 1), cell11);
        if (result.status == ReadResult::Status::Damaged) {
            QCOMPARE(result.message, QStringLiteral("File ") + file + QStringLiteral(" is damaged"));
            QVERIFY(table == occupied());
        }
    }

    // Nothing in memory: the reader must not touch the (null) data at all.
    void emptyInputChangesNothing()
    {
        CellTable table = occupied();
        const ReadResult result = readGridBytes(table, QByteArrayView(), QStringLiteral("x"));
        QVERIFY(result.ok());
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
        const QStringList leftovers = QDir(m_dir.path()).entryList({QStringLiteral(".kept.grd.tmp-*")}, QDir::Hidden | QDir::Files);
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
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("grid.grd")});
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
};

QTEST_GUILESS_MAIN(TestGridFile)
#include "tst_gridfile.moc"
