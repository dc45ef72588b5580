#include "appfixture.h"
#include "store/archive.h"
#include "store/archivecommands.h"
#include "store/gridfile.h"
#include "store/taskstore.h"
#include "testfiles.h"

#include <QTest>

namespace {

const qint64 kDay = 46052; // 31 January 2026, the fixture's today

// What the three archived tables hold, as grid file bytes.
struct Snapshot
{
    QByteArray store, todo, completed;
    bool operator==(const Snapshot &) const = default;
};

Snapshot snapshot(const TaskDocument &doc)
{
    return { gridFileBytes(doc.store()), gridFileBytes(doc.todoList()), gridFileBytes(doc.completedLog()) };
}

Snapshot onDisk(const AppFixture &app, const QString &suffix = QString())
{
    return { readAll(app.data(QStringLiteral("grid.grd") + suffix)),
        readAll(app.data(QStringLiteral("gridNon.grd") + suffix)),
        readAll(app.data(QStringLiteral("gridComp.grd") + suffix)) };
}

// Fills the document with tasks named after `tag`: `tasks` dated tasks on the fixture's day,
// `todos` to-do tasks of which the last is not yet saved, and one completed task.
void fill(TaskDocument &doc, const QString &tag, int tasks, int todos)
{
    CellTable &store = doc.store();
    store.setRowCount(tasks + 1);
    for (int i = 0; i < tasks; ++i) {
        const QStringList cells { QString::number(kDay) + QStringLiteral(".") + QString::number(101 + i),
            QStringLiteral("9:0%1 AM").arg(i), QStringLiteral("Work"),
            tag + QStringLiteral(" task ") + QString::number(i), QStringLiteral("No"), QStringLiteral("No") };
        for (int c = 0; c < cells.size(); ++c)
            store.setCell(c, i + 1, cells[c]);
    }
    QVERIFY(doc.sortAndSaveStore());
    CellTable &todo = doc.todoList();
    todo.setRowCount(todos + 1);
    for (int i = 0; i < todos; ++i) {
        todo.setCell(todo::Category, i + 1, QStringLiteral("Home"));
        todo.setCell(todo::What, i + 1, tag + QStringLiteral(" to-do ") + QString::number(i));
        todo.setCell(todo::Done, i + 1, QStringLiteral("No"));
        if (i == todos - 2)
            QVERIFY(doc.saveTodo());
    }
    doc.todoEdited();
    QVERIFY(doc.addCompleted({ QStringLiteral("1/30/2026"), QStringLiteral("10:00:00 AM"), QStringLiteral("Work"),
        QStringLiteral("Fri 1/30/2026"), tag + QStringLiteral(" done"), QString() }));
    doc.showDay(kDay);
}

QStringList column(const CellTable &table, int col)
{
    QStringList texts;
    for (int r = 1; r < table.rowCount(); ++r)
        texts << table.cell(col, r);
    return texts;
}

} // namespace

class TestArchive : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;
    std::unique_ptr<QTemporaryDir> m_archives;
    std::unique_ptr<ArchiveCommands> m_commands;
    Snapshot m_archived; // the data when it was archived
    Snapshot m_current; // the data that replaced it

    QString archivePath(const QString &name) const { return m_archives->filePath(name); }
    TaskDocument &doc() { return *m_app->document; }

    void restore(const QString &path)
    {
        m_app->dialogs.confirmAnswers = { true };
        m_app->fileDialogs.answers = { path };
        m_commands->Restore1Click();
    }

private Q_SLOTS:
    // Data archived as week1 (given without an extension), then other data: more tasks,
    // more to-do tasks, another completed task.
    void init()
    {
        m_app = std::make_unique<AppFixture>();
        m_archives = std::make_unique<QTemporaryDir>();
        m_app->loadDocument();
        m_commands = std::make_unique<ArchiveCommands>(doc(), m_app->services());
        fill(doc(), QStringLiteral("old"), 2, 2);
        m_archived = snapshot(doc());

        m_app->fileDialogs.answers = { archivePath(QStringLiteral("week1")) };
        m_commands->Archive1Click();
        QCOMPARE(m_app->dialogs.errors, QStringList());
        m_app->dialogs.infos.clear();

        fill(doc(), QStringLiteral("new"), 3, 4);
        m_current = snapshot(doc());
        QVERIFY(m_current != m_archived);
    }

    void cleanup()
    {
        m_commands.reset();
        m_app.reset();
        m_archives.reset();
    }

    void theArchiveHoldsTheDataAsItWasInMemory()
    {
        const RecordingFileDialogs::Asked asked = m_app->fileDialogs.asked.value(0);
        QCOMPARE(asked.title, QStringLiteral("Save Archive"));
        QCOMPARE(asked.initial, QStringLiteral("backup.arb"));
        QCOMPARE(asked.filter, QStringLiteral("Archive Backup (*.arb)|*.arb|All Files (*.*)|*.*"));
        QCOMPARE(asked.defaultSuffix, QStringLiteral("arb"));
        // The last to-do task was never saved to the data folder, and is archived all the same.
        const Snapshot files { readAll(archivePath(QStringLiteral("week1.arb"))),
            readAll(archivePath(QStringLiteral("week1.AR2"))), readAll(archivePath(QStringLiteral("week1.AR3"))) };
        QVERIFY(files == m_archived);

        // The dialog offers the name chosen last.
        m_commands->Archive1Click();
        QCOMPARE(m_app->fileDialogs.asked.value(1).initial, archivePath(QStringLiteral("week1.arb")));
    }

    void theMessageNamesTheThreeFiles()
    {
        m_app->fileDialogs.answers = { archivePath(QStringLiteral("week2.arb")) };
        m_commands->Archive1Click();
        QCOMPARE(m_app->dialogs.infos,
            QStringList { QStringLiteral("Archive stored in the files - ") + archivePath(QStringLiteral("week2.arb"))
                + QStringLiteral(", ") + archivePath(QStringLiteral("week2.AR2")) + QStringLiteral(" and ")
                + archivePath(QStringLiteral("week2.AR3")) });
    }

    // The archive comes back whole: no task of the data it replaced is left over, not even
    // in the longer to-do list; the data files hold it, so the next start shows it; and what
    // it replaced, unsaved to-do task included, is kept beside them as "NAME~".
    void aRestoreBringsBackExactlyTheArchive()
    {
        const int archivedTodos = 2;
        restore(archivePath(QStringLiteral("week1.arb")));
        QCOMPARE(m_app->dialogs.questions,
            QStringList { QStringLiteral("Really restore ENTIRE system?  This will overwrite any current information. "
                                         "Note you may want to make an archive first!") });
        QCOMPARE(m_app->fileDialogs.asked.value(1).title, QStringLiteral("Restore Archive"));
        QCOMPARE(m_app->fileDialogs.asked.value(1).initial, QStringLiteral("backup.arb"));
        QCOMPARE(m_app->dialogs.errors, QStringList());
        QCOMPARE(m_app->dialogs.warnings, QStringList());

        QVERIFY(snapshot(doc()) == m_archived);
        QCOMPARE(column(doc().todoList(), todo::What),
            (QStringList { QStringLiteral("old to-do 0"), QStringLiteral("old to-do 1") }));
        QCOMPARE(doc().todoList().rowCount(), archivedTodos + 1);
        QCOMPARE(column(doc().dayList(), daylist::What),
            (QStringList { QStringLiteral("old task 0"), QStringLiteral("old task 1") }));

        QVERIFY(onDisk(*m_app) == m_archived);
        QVERIFY(onDisk(*m_app, QStringLiteral("~")) == m_current);
        // The data it replaced is kept under names that the next save does not touch, and
        // the message names them.
        const QString before = QStringLiteral(".before-restore-20260131-100000");
        QVERIFY(onDisk(*m_app, before) == m_current);
        QCOMPARE(m_app->dialogs.infos,
            QStringList { QStringLiteral("The archive has been restored. The data as it was before is kept as ")
                + m_app->data(QStringLiteral("grid.grd") + before) + QStringLiteral(", ")
                + m_app->data(QStringLiteral("gridNon.grd") + before) + QStringLiteral(" and ")
                + m_app->data(QStringLiteral("gridComp.grd") + before) + QLatin1Char('.') });
        QVERIFY(doc().saveAtClose().isEmpty());
        QVERIFY(onDisk(*m_app, before) == m_current);
        m_commands.reset();
        TaskDocument &next = m_app->loadDocument();
        QCOMPARE(m_app->loaded, QStringList());
        QVERIFY(snapshot(next) == m_archived);
    }

    void aMissingFileChangesNothing_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::newRow("main file") << QStringLiteral("week1.arb");
        QTest::newRow("to-do file") << QStringLiteral("week1.AR2");
        QTest::newRow("completed file") << QStringLiteral("week1.AR3");
    }
    void aMissingFileChangesNothing()
    {
        QFETCH(QString, missing);
        QVERIFY(QFile::remove(archivePath(missing)));
        const Snapshot files = onDisk(*m_app);
        restore(archivePath(QStringLiteral("week1.arb")));
        QCOMPARE(m_app->dialogs.errors,
            QStringList { QStringLiteral("Could not restore ... there seems to be a missing file. Looking for ARB, "
                                         "AR2 and AR3 file extensions") });
        QVERIFY(snapshot(doc()) == m_current);
        QVERIFY(onDisk(*m_app) == files);
    }

    // Every file is read and checked before anything is replaced: a file that is not the
    // grid file of its table, as a writer writes it, leaves all the data as it was, and the
    // message says which file it was and why.
    void anUnreadableFileIsNamedAndChangesNothing_data()
    {
        QTest::addColumn<QString>("bad");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        const QByteArray nul("1\r\n1\r\n0 0 x\0y\r\n", 15);
        const QString notCounted = QStringLiteral("it does not begin with the count line of a grid file");
        QByteArray junk(4096, Qt::Uninitialized);
        quint32 seed = 7;
        for (char &c : junk) {
            seed = seed * 1103515245u + 12345u;
            c = char(1 + (seed >> 16) % 255); // no NUL, which alone would tell
        }
        QTest::newRow("damaged main file") << "week1.arb" << false << nul << "is damaged";
        QTest::newRow("damaged to-do file") << "week1.AR2" << false << nul << "is damaged";
        QTest::newRow("damaged completed file") << "week1.AR3" << false << nul << "is damaged";
        QTest::newRow("completed file is a folder") << "week1.AR3" << true << QByteArray() << "not a regular file";
        QTest::newRow("junk as the main file") << "week1.arb" << false << junk << notCounted;
        QTest::newRow("web page as the main file")
            << "week1.arb" << false
            << QByteArray(
                   "<!DOCTYPE html>\r\n<html><head><title>Tasks, 2026</title></head>\r\n<body>6,2</body></html>\r\n")
            << notCounted;
        QTest::newRow("text file as the to-do file")
            << "week1.AR2" << false << QByteArray("Shopping list\nmilk, eggs, bread\n") << notCounted;
        QTest::newRow("count line with words")
            << "week1.AR3" << false << QByteArray("6 columns,2 rows\r\n0,1,1/30/2026\r\n") << notCounted;
        QTest::newRow("dated tasks as the to-do file")
            << "week1.AR2" << false << QByteArray("6,2\r\n0,1,46052.101\r\n3,1,Buy paint\r\n")
            << "it has 6 columns, where to-do tasks have 3";
        QTest::newRow("to-do tasks as the main file")
            << "week1.arb" << false << QByteArray("3,2\r\n0,1,Home\r\n1,1,Buy paint\r\n")
            << "it has 3 columns, where dated tasks have 6";
        QTest::newRow("cells outside the counts")
            << "week1.AR3" << false << QByteArray("6,2\r\n0,1,1/30/2026\r\n4,7,Buy paint\r\n")
            << "1 cell line outside the table's 6 columns and 2 rows";
        QTest::newRow("lines that are no cells")
            << "week1.AR2" << false << QByteArray("3,2\r\n0,1,Home\r\nBuy paint\r\n1,1,Call Ann\r\n")
            << "1 line that was neither a width line nor a cell line";
        QTest::newRow("text after the end mark") << "week1.AR2" << false
                                                 << QByteArray("3,2\r\n1,1,Call Ann\r\n\x1a"
                                                               "1,2,Buy paint\r\n")
                                                 << "text after an end-of-file mark";
        QTest::newRow("a task without a key")
            << "week1.arb" << false << QByteArray("6,2\r\n1,1,9:00 AM\r\n3,1,Buy paint\r\n")
            << "row 1 holds a task without a key";
        QTest::newRow("a key that is no day")
            << "week1.arb" << false
            << QByteArray("6,3\r\n0,1,46052.101\r\n3,1,Call Ann\r\n0,2,Monday\r\n3,2,Buy paint\r\n")
            << "row 2 has the key \u201cMonday\u201d, which is not a day number and a sequence";

        // Cut short or empty: restoring what is there would silently give part of the archive.
        CellTable tasks = store::newStore();
        tasks.setRowCount(91);
        CellTable log(6, 101);
        for (int c = 0; c < 6; ++c)
            log.setCell(c, 0, QStringLiteral("heading %1").arg(c));
        for (int r = 1; r <= 100; ++r) {
            for (int c = 0; c < 6; ++c) {
                const QString text = QStringLiteral("task %1 cell %2").arg(r).arg(c);
                if (r <= 90)
                    tasks.setCell(
                        c, r, c == 0 ? QString::number(kDay) + QStringLiteral(".") + QString::number(100 + r) : text);
                log.setCell(c, r, text);
            }
        }
        const QByteArray store = gridFileBytes(tasks);
        const QByteArray completed = gridFileBytes(log);
        const QByteArray half = store.left(store.indexOf(QByteArray("\r\n0,45,")) + 2);
        QTest::newRow("main file cut in half at a line end")
            << "week1.arb" << false << half
            << "it was cut short: its first line counts 91 rows, but its cells end at row 44";
        QTest::newRow("main file cut in half in a line") << "week1.arb" << false << store.left(store.size() / 2)
                                                         << "it was cut short: it ends in the middle of a line";
        QTest::newRow("completed file cut in its last row")
            << "week1.AR3" << false << completed.chopped(3) << "it was cut short: it ends in the middle of a line";
        QTest::newRow("completed file cut after its header")
            << "week1.AR3" << false << completed.left(completed.indexOf(QByteArray("\r\n0,1,")) + 2)
            << "it was cut short: its first line counts 101 rows, but its cells end at row 0";
        QTest::newRow("empty main file") << "week1.arb" << false << QByteArray() << "it is empty";
        QTest::newRow("empty to-do file") << "week1.AR2" << false << QByteArray() << "it is empty";
    }
    void anUnreadableFileIsNamedAndChangesNothing()
    {
        QFETCH(QString, bad);
        QFETCH(bool, folder);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        const QString path = archivePath(bad);
        QVERIFY(QFile::remove(path));
        QVERIFY(folder ? QDir().mkdir(path) : writeBytes(path, bytes));
        const Snapshot files = onDisk(*m_app);
        const QStringList before = QDir(m_app->dataFolder()).entryList(QDir::Files | QDir::Hidden);
        restore(archivePath(QStringLiteral("week1.arb")));
        QCOMPARE(m_app->dialogs.errors.size(), 1);
        const QString &error = m_app->dialogs.errors[0];
        QVERIFY2(
            error.startsWith(QStringLiteral("Could not load up the archive ... must be corrupt: ")), qPrintable(error));
        QVERIFY2(error.contains(path), qPrintable(error));
        QVERIFY2(error.contains(why), qPrintable(error));
        QCOMPARE(m_app->dialogs.warnings, QStringList());
        QVERIFY(snapshot(doc()) == m_current);
        QVERIFY(onDisk(*m_app) == files);
        QCOMPARE(QDir(m_app->dataFolder()).entryList(QDir::Files | QDir::Hidden), before);
    }

    // Every file that stops a restore is named in one box, not one box after another.
    void everyRefusedFileIsNamedInOneBox()
    {
        const QString main = archivePath(QStringLiteral("week1.arb"));
        const QString completed = archivePath(QStringLiteral("week1.AR3"));
        QVERIFY(writeBytes(main, QByteArray("<html><body>Not an archive</body></html>\n")));
        QVERIFY(writeBytes(completed, QByteArray()));
        restore(main);
        QCOMPARE(m_app->dialogs.errors.size(), 1);
        const QString &error = m_app->dialogs.errors[0];
        QVERIFY2(error.contains(main) && error.contains(completed), qPrintable(error));
        QVERIFY(snapshot(doc()) == m_current);
    }

    // An archive of an older system holds lines in its code page: they are read as such, and
    // the restore says so.
    void anOlderSystemsLinesAreRestoredWithANote()
    {
        const QString path = archivePath(QStringLiteral("week1.AR2"));
        QVERIFY(writeBytes(path, QByteArray("3,2\r\n0,0,Category\r\n1,0,What\r\n2,0,Done?\r\n1,1,Caf\xe9\r\n")));
        restore(archivePath(QStringLiteral("week1.arb")));
        QCOMPARE(m_app->dialogs.errors, QStringList());
        QCOMPARE(m_app->dialogs.warnings,
            QStringList { QStringLiteral("Not everything in ") + path
                + QStringLiteral(" could be restored as it was (1 line that was not UTF-8, read as Windows-1252).") });
        QCOMPARE(doc().todoList().cell(todo::What, 1), QStringLiteral("Caf\u00e9"));
    }

    // A name ending in ".AR2" or ".AR3" would put two tables into one file.
    void aCompanionFileIsNoArchiveName_data()
    {
        QTest::addColumn<bool>("restoring");
        QTest::addColumn<QString>("name");
        QTest::newRow("archive to .AR2") << false << QStringLiteral("week2.AR2");
        QTest::newRow("archive to .ar3") << false << QStringLiteral("week2.ar3");
        QTest::newRow("restore from .AR3") << true << QStringLiteral("week1.AR3");
    }
    void aCompanionFileIsNoArchiveName()
    {
        QFETCH(bool, restoring);
        QFETCH(QString, name);
        const QStringList before = QDir(m_archives->path()).entryList(QDir::Files);
        if (restoring) {
            restore(archivePath(name));
        } else {
            m_app->fileDialogs.answers = { archivePath(name) };
            m_commands->Archive1Click();
        }
        QCOMPARE(m_app->dialogs.errors.size(), 1);
        QCOMPARE(m_app->dialogs.infos, QStringList());
        QCOMPARE(QDir(m_archives->path()).entryList(QDir::Files), before);
        QVERIFY(snapshot(doc()) == m_current);
    }

    void aRestoreNotConfirmedAsksForNoFile()
    {
        m_app->fileDialogs.answers = { archivePath(QStringLiteral("week1.arb")) };
        m_commands->Restore1Click();
        QCOMPARE(m_app->dialogs.questions.size(), 1);
        QCOMPARE(m_app->fileDialogs.asked.size(), 1); // only the archive's
        QVERIFY(snapshot(doc()) == m_current);
    }
};

QTEST_MAIN(TestArchive)
#include "tst_archive.moc"
