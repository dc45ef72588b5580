#include "platform/clock.h"
#include "settings/settingsstore.h"
#include "store/categories.h"
#include "store/datafolder.h"
#include "store/gridfile.h"
#include "store/taskdocument.h"
#include "testfiles.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const qint64 kDay = 46052; // 31 January 2026

CellTable storeOf(const QList<QStringList> &rows) // key, category, what, done
{
    CellTable table = store::newStore();
    table.setRowCount(int(rows.size()) + 1);
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList cells { rows[i][0], QStringLiteral("9:00 AM"), rows[i][1], rows[i][2], rows[i][3],
            QStringLiteral("No") };
        for (int c = 0; c < 6; ++c)
            table.setCell(c, i + 1, cells[c]);
    }
    return table;
}

QStringList whats(const CellTable &table, int column)
{
    QStringList texts;
    for (int r = 1; r < table.rowCount(); ++r)
        texts << table.cell(column, r);
    return texts;
}

} // namespace

class TestTaskDocument : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    FixedClock m_clock { QDateTime(QDate(2026, 1, 31), QTime(10, 0)) };

    QString data(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<TaskDocument> makeDocument()
    {
        return std::make_unique<TaskDocument>(m_dir->path(), *m_settings, m_clock, RegionalSettings::englishUS());
    }

private Q_SLOTS:
    void init()
    {
        m_settings.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("Task.ini")));
    }

    // The whole round: a damaged file is kept aside and reported, a day is changed and saved,
    // the change is signalled, and the damaged file is never touched again.
    void aDayIsChangedBesideADamagedFile()
    {
        QVERIFY(
            writeGridFile(storeOf({ { "46052.101", "", "Buy paint", "No" } }), data(QStringLiteral("grid.grd"))).ok);
        const QByteArray damaged("6,2000000000\r\n0,1,Old\r\n");
        QVERIFY(writeBytes(data(QStringLiteral("gridComp.grd")), damaged));

        auto document = makeDocument();
        const QStringList messages = document->load();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains(QStringLiteral("gridComp.grd is damaged")));
        const QStringList aside = QDir(m_dir->path()).entryList({ QStringLiteral("gridComp.grd.damaged-*") });
        QCOMPARE(aside.size(), 1);

        QSignalSpy changed(document.get(), &TaskDocument::storeChanged);
        QSignalSpy shown(document.get(), &TaskDocument::dayShown);
        document->showDay(kDay);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(document->dayList().cell(2, 1), QStringLiteral("Buy paint"));
        document->dayList().setCell(2, 1, QStringLiteral("Buy white paint"));
        QVERIFY(document->writeShownDay().ok);
        QCOMPARE(changed.size(), 1);

        CellTable onDisk;
        QVERIFY(readGridFile(onDisk, data(QStringLiteral("grid.grd"))).ok());
        QCOMPARE(onDisk.cell(store::What, 1), QStringLiteral("Buy white paint"));
        QCOMPARE(onDisk.cell(store::Key, 1), QStringLiteral("46052.101"));

        QVERIFY(document->addCompleted({ "1/31/2026", "10:00:00 AM", "", "Non date task", "Done", "" }).ok);
        QCOMPARE(readAll(data(aside[0])), damaged);
        QVERIFY(readAll(data(QStringLiteral("gridComp.grd"))).contains("4,1,Done"));
    }

    // A file that holds more than its counts say is read as far as it goes, copied aside
    // exactly as it was, and the user is told; one edited by hand with LF ends just reads.
    void aPartlyReadableFileIsCopiedAsideAndReported()
    {
        QByteArray bytes
            = gridFileBytes(storeOf({ { "46052.101", "", "kept", "No" }, { "46052.102", "", "beyond", "No" } }));
        bytes.replace("6,3\r\n", "6,2\r\n");
        QVERIFY(writeBytes(data(QStringLiteral("grid.grd")), bytes));
        QVERIFY(writeBytes(data(QStringLiteral("gridNon.grd")), "3,2\ncw 0,62\n1,1,Buy paint\n"));
        auto document = makeDocument();
        const QStringList messages = document->load();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains(data(QStringLiteral("grid.grd"))));
        const QStringList copies = QDir(m_dir->path()).entryList({ QStringLiteral("grid.grd.damaged-*") });
        QCOMPARE(copies.size(), 1);
        QCOMPARE(readAll(data(copies[0])), bytes);
        QCOMPARE(readAll(data(QStringLiteral("grid.grd"))), bytes); // still there until the next save
        QCOMPARE(whats(document->store(), store::What), QStringList { "kept" });
        QCOMPARE(document->todoList().cell(todo::What, 1), QStringLiteral("Buy paint"));
    }

    // One rule for a file that could not be read and not be moved aside: it is never
    // overwritten while it is there, and saving works again once the user moved it away.
    void anUnreadableFileBlocksSavingUntilItIsMovedAway()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("category.xxx")));
        auto document = makeDocument();
        QCOMPARE(document->load().size(), 1);
        QVERIFY(!document->categoryChoices());
        const SaveResult refused = document->setCategoryChoices({ QStringLiteral("Home") });
        QVERIFY(!refused.ok);
        QCOMPARE(refused.message(),
            QStringLiteral("Couldn't save ") + data(QStringLiteral("category.xxx"))
                + QStringLiteral(": the unreadable file of that name is still there. "
                                 "Move it away to let the program save again."));
        QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("category.xxx")));
        QVERIFY(document->setCategoryChoices({ QStringLiteral("Home") }).ok);
        QCOMPARE(readAll(data(QStringLiteral("category.xxx"))), QByteArray("Home\r\n"));
    }

    // The day list goes back with the filter it was read with, so a filter changed in between
    // neither duplicates nor loses the tasks it hides.
    void theDayIsWrittenBackWithTheFilterItWasReadWith()
    {
        QVERIFY(writeGridFile(
            storeOf({ { "46052.101", "Home", "home task", "No" }, { "46052.102", "Work", "work task", "No" } }),
            data(QStringLiteral("grid.grd")))
                    .ok);
        auto document = makeDocument();
        document->load();
        document->showDay(kDay);
        QCOMPARE(document->dayList().rowCount(), 3);
        FilterState hideHome;
        hideHome.categories = { { QStringLiteral("Home"), false }, { QStringLiteral("Work"), true } };
        document->setFilter(hideHome);
        QVERIFY(document->writeShownDay().ok);
        QCOMPARE(whats(document->store(), store::What), (QStringList { "home task", "work task" }));
    }

    // Tasks added to the shown day without the day list are read into it at the batch's end,
    // so the next write-back keeps them.
    void aDirectBatchShowsTheShownDayAgain()
    {
        auto document = makeDocument();
        document->load();
        document->showDay(kDay);
        document->insertDirectTask(kDay + 7, QStringLiteral("9:00 AM"), QString(), QStringLiteral("later"),
            QStringLiteral("No"), QStringLiteral("No"));
        document->insertDirectTask(kDay, QStringLiteral("8:00 AM"), QString(), QStringLiteral("today"),
            QStringLiteral("No"), QStringLiteral("No"));
        QVERIFY(document->endDirectBatch().ok);
        QCOMPARE(document->dayList().cell(2, 1), QStringLiteral("today"));
        QVERIFY(document->writeShownDay().ok);
        QCOMPARE(whats(document->store(), store::What), (QStringList { "today", "later" }));
    }

    void aStoreReadOutOfOrderIsPutInOrder()
    {
        // Plain text order puts day 10000 before day 9999.
        CellTable table = storeOf({ { "10000.101", "", "later", "No" }, { "9999.101", "", "earlier", "No" } });
        QVERIFY(writeGridFile(table, data(QStringLiteral("grid.grd"))).ok);
        auto document = makeDocument();
        document->load();
        document->showDay(9999);
        QCOMPARE(document->dayList().cell(2, 1), QStringLiteral("earlier"));
        document->showDay(10000);
        QCOMPARE(document->dayList().cell(2, 1), QStringLiteral("later"));
    }

    void whatFailedToSaveIsSavedAtCloseOrKeptBeside()
    {
        auto document = makeDocument();
        document->load();
        // A folder in the place of the log: its save fails and the entry stays in memory.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("gridComp.grd")));
        QVERIFY(!document->addCompleted({ "1/31/2026", "", "", "Non date task", "kept", "" }).ok);
        QList<SaveResult> failures = document->saveAtClose();
        QCOMPARE(failures.size(), 1);
        QCOMPARE(failures[0].path, data(QStringLiteral("gridComp.grd")));
        QVERIFY(QFile::exists(data(QStringLiteral("grid.grd"))));

        const QStringList kept = document->keepUnsaved(m_clock.now());
        QCOMPARE(kept, QStringList { data(QStringLiteral("gridComp.grd.unsaved-20260131-100000")) });
        QVERIFY(readAll(kept[0]).contains("kept"));
        QCOMPARE(document->unsavedCopies(), kept);

        QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("gridComp.grd")));
        QVERIFY(document->saveAtClose().isEmpty());
        QVERIFY(readAll(data(QStringLiteral("gridComp.grd"))).contains("kept"));
    }

    // What a start finds and mends without asking: counts with no cells behind them, and
    // temporary files of saves a kill interrupted (only the program's own). The start-up
    // lock of the copy that runs is not data: left as it is.
    void theStartTidiesWhatAKillOrAHandLeft()
    {
        QVERIFY(writeBytes(data(QStringLiteral("gridNon.grd")), "1000,1000000\r\n"));
        const QByteArray lock = "4242\ntallyday\nhost\n/run/user/1000/SingInstProgMutex-0123456789abcdef.sock\n";
        QVERIFY(writeBytes(data(QLatin1String(datafile::kStartupLock)), lock));
        for (const char *name : { ".grid.grd.tmp-a1B2c3", ".gridNon.grd.unsaved-20260101-000000.tmp-Zz9Yy8",
                 ".notes.txt.tmp-a1B2c3", "grid.grd.tmp-a1B2c3" })
            QVERIFY(writeBytes(data(QLatin1String(name)), "x"));
        auto document = makeDocument();
        QCOMPARE(document->load(), QStringList());
        QCOMPARE(document->todoList().colCount(), todo::ColumnCount);
        QCOMPARE(document->todoList().rowCount(), 2);
        QVERIFY(document->saveTodo().ok);
        QVERIFY(readAll(data(QStringLiteral("gridNon.grd"))).startsWith("3,2\r\n"));
        const QStringList left
            = QDir(m_dir->path()).entryList({ QStringLiteral("*tmp-*") }, QDir::Files | QDir::Hidden);
        QCOMPARE(left, (QStringList { ".notes.txt.tmp-a1B2c3", "grid.grd.tmp-a1B2c3" }));
        QCOMPARE(readAll(data(QLatin1String(datafile::kStartupLock))), lock);
        QVERIFY(document->unsavedCopies().isEmpty());
    }

    // A data folder that cannot be made is said at the start, not first at the close.
    // A category added to the choices is ticked in the filter at the next start; one the user
    // unticked stays unticked.
    void aNewCategoryIsTickedInTheFilter()
    {
        QVERIFY(writeCategoryFile(
            data(QStringLiteral("category.xxx")), { QStringLiteral("Home"), QStringLiteral("Work") }));
        QVERIFY(writeCategoryFile(data(QStringLiteral("category.yyy")), { QStringLiteral("Home") }));
        {
            auto document = makeDocument();
            document->load();
            QVERIFY(document->setCategoryChoices(
                { QStringLiteral("Garden"), QStringLiteral("Home"), QStringLiteral("Work") }));
        }
        auto document = makeDocument();
        document->load();
        QCOMPARE(checkedCategories(document->filter().categories),
            (QStringList { QStringLiteral("Garden"), QStringLiteral("Home") }));
        QCOMPARE(document->filter().categories.size(), 3);
    }

    void aDataFolderThatCannotBeMadeIsSaidAtTheStart()
    {
        QVERIFY(writeBytes(data(QStringLiteral("blocker")), "x"));
        TaskDocument document(
            data(QStringLiteral("blocker/data")), *m_settings, m_clock, RegionalSettings::englishUS());
        const QStringList messages = document.load();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(data(QStringLiteral("blocker")))
                && messages[0].contains(QStringLiteral("not a folder")),
            qPrintable(messages[0]));
    }
};

QTEST_GUILESS_MAIN(TestTaskDocument)
#include "tst_taskdocument.moc"
