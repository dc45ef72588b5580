#include "childprocess.h"
#include "output/tableexport.h"
#include "store/celltable.h"
#include "store/todolist.h"
#include "testfiles.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

QString goldenFolder()
{
    return QStringLiteral(TALLYDAY_TEST_DATA "/output/export");
}

// A day list whose cells hold everything that needs care in either format.
CellTable awkwardTable()
{
    const QStringList rows[] = {
        { "Time", "Category", "What", "Done?", "Alarm?" },
        { "9:00 AM", "Work, urgent", "Say \"hello\" to Zoë", "No", "Yes" },
        { "", "a < b & c > d", "first line\r\nsecond line\r\n", "Yes", "" },
        { "10:30 PM", "\"quoted\"", "Ærøskøbing – 東京 – naïve café", "No", "No" },
        { "", "", "", "", "" },
    };
    CellTable table(5, 5);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            table.setCell(c, r, rows[r][c]);
    return table;
}

// The cells as rows of texts, for comparing with what a reader gives back.
QJsonArray cellsOf(const CellTable &table)
{
    QJsonArray rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        QJsonArray row;
        for (int c = 0; c < table.colCount(); ++c)
            row.append(table.cell(c, r));
        rows.append(row);
    }
    return rows;
}

struct Sample
{
    const char *name;
    CellTable (*make)();
};
const Sample kSamples[] = { { "awkward", awkwardTable }, { "empty-todo", newTodoList } };

CellTable sample(const QString &name)
{
    for (const Sample &s : kSamples)
        if (name == QLatin1String(s.name))
            return s.make();
    return CellTable();
}

} // namespace

class TestTableExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Both formats of both samples against the files kept beside the test. Run with
    // TALLYDAY_REGENERATE set to write them afresh, then read the difference.
    void golden_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format");
        for (const Sample &s : kSamples) {
            QTest::newRow(qPrintable(QLatin1String(s.name) + QStringLiteral(".csv")))
                << QString::fromLatin1(s.name) << int(tableexport::Format::Csv);
            QTest::newRow(qPrintable(QLatin1String(s.name) + QStringLiteral(".htm")))
                << QString::fromLatin1(s.name) << int(tableexport::Format::Html);
        }
    }
    void golden()
    {
        QFETCH(QString, name);
        QFETCH(int, format);
        const bool csv = tableexport::Format(format) == tableexport::Format::Csv;
        const CellTable table = sample(name);
        QTemporaryDir dir;
        const QString written = dir.filePath(QStringLiteral("out"));
        QVERIFY(tableexport::writeTable(table, tableexport::Format(format), written).ok);
        const QByteArray actual = readAll(written);
        QCOMPARE(actual, csv ? tableexport::csvText(table) : tableexport::htmlText(table));
        const QString ref
            = QDir(goldenFolder()).filePath(name + (csv ? QStringLiteral(".csv") : QStringLiteral(".htm")));
        if (qEnvironmentVariableIsSet("TALLYDAY_REGENERATE")) {
            if (readAll(ref) != actual)
                QVERIFY(writeBytes(ref, actual));
            return;
        }
        QVERIFY2(QFile::exists(ref), qPrintable(ref));
        QCOMPARE(QString::fromUtf8(actual), QString::fromUtf8(readAll(ref)));
        // Nothing but the export is left in the folder: no backup, no temporary file.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("out") });
    }

    void csvField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "Call Bob"
                               << "Call Bob";
        QTest::newRow("empty") << ""
                               << "\"\"";
        QTest::newRow("comma") << "a,b"
                               << "\"a,b\"";
        QTest::newRow("quote without comma") << "say \"hi\""
                                             << "\"say \"\"hi\"\"\"";
        QTest::newRow("line break") << "a\r\nb"
                                    << "\"a\r\nb\"";
        QTest::newRow("lone LF") << "a\nb"
                                 << "\"a\nb\"";
        QTest::newRow("spaces kept") << " x "
                                     << " x ";
    }
    void csvField()
    {
        QFETCH(QString, text);
        QFETCH(QString, field);
        QCOMPARE(tableexport::csvField(text), field);
    }

    void htmlCellText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("html");
        QTest::newRow("empty") << ""
                               << "<br>";
        QTest::newRow("markup") << "<script>alert(\"x\")</script>"
                                << "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;";
        QTest::newRow("ampersand first") << "&lt;"
                                         << "&amp;lt;";
        QTest::newRow("two lines") << "a\r\nb\r\n"
                                   << "a<br>\nb<br>\n";
        QTest::newRow("non-ASCII") << "Zoë"
                                   << "Zoë";
    }
    void htmlCellText()
    {
        QFETCH(QString, text);
        QFETCH(QString, html);
        QCOMPARE(tableexport::htmlCellText(text), html);
    }

    // A standard reader gives back every cell exactly.
    void csvReadBackByPython()
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed: the CSV is not read back by its csv module");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("tasks.csv"));
        const CellTable table = awkwardTable();
        QVERIFY(tableexport::writeTable(table, tableexport::Format::Csv, file).ok);
        QProcess process;
        process.start(python,
            { QStringLiteral("-c"),
                QStringLiteral("import csv, json, sys\n"
                               "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                               "    json.dump(list(csv.reader(f, strict=True)), sys.stdout)\n"),
                file });
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QJsonDocument read = QJsonDocument::fromJson(process.readAllStandardOutput());
        QCOMPARE(read.array(), cellsOf(table));
    }

    void saveDialogs_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("csv") << int(tableexport::Format::Csv) << "Save as comma-delimited"
                             << "tasks.txt"
                             << "Text files (*.txt)|*.txt|Comma Separated (*.csv)|*.csv|All files (*.*)|*.*"
                             << "txt";
        QTest::newRow("html") << int(tableexport::Format::Html) << "Save as an HTML file"
                              << "tasks.htm"
                              << "HTM files (*.htm)|*.htm|All files (*.*)|*.*"
                              << "htm";
    }
    void saveDialogs()
    {
        QFETCH(int, format);
        const tableexport::SaveDialog dialog = tableexport::saveDialog(tableexport::Format(format));
        QTEST(dialog.title, "title");
        QTEST(dialog.initial, "initial");
        QTEST(dialog.filter, "filter");
        QTEST(dialog.defaultSuffix, "suffix");
    }

    // A write that fails leaves the earlier export whole. Folder permissions do not bind
    // root, so the write runs in a child that has given root up.
    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("tasks.txt"));
        QVERIFY(writeBytes(file, "old export\r\n"));
        const QByteArray folder = QFile::encodeName(dir.path());
        QVERIFY(::chmod(folder.constData(), 0555) == 0);
        const std::optional<QByteArray> answer = runInChild(
            [&]() -> QByteArray {
                const SaveResult saved = tableexport::writeTable(awkwardTable(), tableexport::Format::Csv, file);
                return saved.ok ? QByteArray("saved") : saved.message().toUtf8();
            },
            30, true);
        ::chmod(folder.constData(), 0755);
        QVERIFY(answer);
        const QByteArray message = "Couldn't save " + QFile::encodeName(file);
        QVERIFY2(answer->startsWith(message), answer->constData());
        QCOMPARE(readAll(file), QByteArray("old export\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("tasks.txt") });
    }
};

QTEST_GUILESS_MAIN(TestTableExport)
#include "tst_tableexport.moc"
