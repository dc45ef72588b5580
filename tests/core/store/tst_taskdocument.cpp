#include "childprocess.h"
#include "platform/clock.h"
#include "settings/settingsstore.h"
#include "store/categories.h"
#include "store/datafolder.h"
#include "store/daylist.h"
#include "store/fileset.h"
#include "store/gridfile.h"
#include "store/taskdocument.h"
#include "testfiles.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

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

    std::unique_ptr<TaskDocument> makeDocument(const QString &folder = QString())
    {
        auto document = std::make_unique<TaskDocument>(
            folder.isEmpty() ? m_dir->path() : folder, *m_settings, m_clock, RegionalSettings::englishUS());
        document->setStateFolder(data(QStringLiteral("state")));
        return document;
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
        QCOMPARE(document->dayList().cell(daylist::What, 1), QStringLiteral("Buy paint"));
        document->dayList().setCell(daylist::What, 1, QStringLiteral("Buy white paint"));
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
        QCOMPARE(readAll(data(QStringLiteral("grid.grd"))), gridFileBytes(document->store())); // written as read
        QCOMPARE(whats(document->store(), store::What), QStringList { "kept" });
        QCOMPARE(document->todoList().cell(todo::What, 1), QStringLiteral("Buy paint"));
    }

    // A data file cut short at a line boundary loads as far as it goes; it is kept as it
    // was before any save can rewrite its count line, and the user is told which file and
    // where the copy is.
    void aFileCutShortIsKeptAndReported_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rows"); // data rows written
        QTest::addColumn<int>("cutAt"); // the first row cut off
        QTest::newRow("dated tasks") << QStringLiteral("grid.grd") << 300 << 150;
        QTest::newRow("completed-task log") << QStringLiteral("gridComp.grd") << 100 << 49;
        QTest::newRow("to-do list") << QStringLiteral("gridNon.grd") << 40 << 3;
    }
    void aFileCutShortIsKeptAndReported()
    {
        QFETCH(QString, name);
        QFETCH(int, rows);
        QFETCH(int, cutAt);
        const int columns = name == QLatin1String("gridNon.grd") ? 3 : 6;
        CellTable table(columns, rows + 1);
        for (int r = 1; r <= rows; ++r) {
            table.setCell(0, r, QStringLiteral("%1.101").arg(kDay + r));
            for (int c = 1; c < columns; ++c)
                table.setCell(c, r, QStringLiteral("row %1").arg(r));
        }
        const QByteArray whole = gridFileBytes(table);
        const QByteArray bytes
            = whole.left(whole.indexOf(QByteArray(QByteArray("\r\n0,") + QByteArray::number(cutAt) + ',')) + 2);
        QVERIFY(writeBytes(data(name), bytes));

        auto document = makeDocument();
        const QStringList messages = document->load();
        const QStringList copies = QDir(m_dir->path()).entryList({ name + QStringLiteral(".damaged-*") });
        QCOMPARE(copies, QStringList { name + QStringLiteral(".damaged-20260131-100000") });
        QCOMPARE(readAll(data(copies[0])), bytes);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(data(name)) && messages[0].contains(data(copies[0])), qPrintable(messages[0]));
        QVERIFY2(messages[0].contains(QStringLiteral("it was cut short: its first line counts %1 rows, but its cells "
                                                     "end at row %2")
                                          .arg(rows + 1)
                                          .arg(cutAt - 1)),
            qPrintable(messages[0]));
        const CellTable &loaded = name == QLatin1String("grid.grd") ? document->store()
            : name == QLatin1String("gridComp.grd")                 ? document->completedLog()
                                                                    : document->todoList();
        QCOMPARE(loaded.rowCount(), cutAt);
        QCOMPARE(loaded.cell(1, cutAt - 1), QStringLiteral("row %1").arg(cutAt - 1));

        // Saving rewrites the count line; the copy keeps the evidence.
        QVERIFY(document->saveAtClose().isEmpty());
        QVERIFY(document->saveCompleted().ok);
        QCOMPARE(readAll(data(copies[0])), bytes);
        QVERIFY(readAll(data(name)) != bytes);
    }

    // A restore or a clear killed at any step: the next start finishes the renames once
    // every new file is written, takes the new files away before that, and says which. The
    // data files are then all old or all new, never some of each.
    void anInterruptedReplacementIsFinishedOrUndoneAtTheStart_data()
    {
        QTest::addColumn<int>("renamed"); // new files already renamed over the old
        QTest::addColumn<QByteArray>("state"); // the marker's state, when not as prepared
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QString>("said");
        const QString done = QStringLiteral("A restore was interrupted when the program last ended; it has now been "
                                            "completed. The data as it was before is kept as ");
        const QString undone = QStringLiteral("A restore was interrupted when the program last ended, before it had "
                                              "replaced the data files; it has been undone");
        QTest::newRow("every new file written") << 0 << QByteArray() << true << done;
        QTest::newRow("one file renamed") << 1 << QByteArray() << true << done;
        QTest::newRow("every file renamed") << 3 << QByteArray() << true << done;
        QTest::newRow("new files still being written") << 0 << QByteArray("preparing") << false << undone;
        QTest::newRow("files being put back") << 2 << QByteArray("undoing") << false << undone;
        QTest::newRow("record unreadable")
            << 0 << QByteArray("{") << false << QStringLiteral("its record cannot be read");
    }
    void anInterruptedReplacementIsFinishedOrUndoneAtTheStart()
    {
        QFETCH(int, renamed);
        QFETCH(QByteArray, state);
        QFETCH(bool, isNew);
        QFETCH(QString, said);
        const QStringList names { "grid.grd", "gridNon.grd", "gridComp.grd" };
        QList<QByteArray> oldBytes;
        QList<fileset::Change> changes;
        for (const QString &name : names) {
            const CellTable old = storeOf({ { "46052.101", "", "old " + name, "No" } });
            const CellTable next
                = storeOf({ { "46052.101", "", "new " + name, "No" }, { "46053.101", "", "new", "No" } });
            QVERIFY(writeGridFile(old, data(name)).ok);
            oldBytes << gridFileBytes(old);
            changes << fileset::Change { data(name), gridFileBytes(next), true };
        }
        SaveResult why;
        const std::optional<fileset::Plan> plan
            = fileset::prepare(m_dir->path(), QStringLiteral("restore"), changes, m_clock.now(), why);
        QVERIFY2(plan, qPrintable(why.message()));
        for (int i = 0; i < renamed; ++i)
            QCOMPARE(std::rename(QFile::encodeName(plan->files[i].staged).constData(),
                         QFile::encodeName(plan->files[i].target).constData()),
                0);
        const QString marker = data(QStringLiteral("replacing.pending"));
        if (state == "{") {
            QVERIFY(writeBytes(marker, state));
        } else if (!state.isEmpty()) {
            QByteArray text = readAll(marker);
            QVERIFY(text.contains("\"replacing\""));
            QVERIFY(writeBytes(marker, text.replace(QByteArray("\"replacing\""), QByteArray("\"" + state + "\""))));
            if (state == "preparing")
                QVERIFY(writeBytes(plan->files[2].staged, changes[2].bytes.left(20))); // cut off by the kill
        }

        auto document = makeDocument();
        const QStringList messages = document->load();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(said) || messages[0].contains(said), qPrintable(messages[0]));
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(readAll(data(names[i])), isNew ? changes[i].bytes : oldBytes[i]);
        QCOMPARE(whats(document->store(), store::What).first(), (isNew ? "new " : "old ") + names[0]);
        const QStringList left = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
        QVERIFY2(left.filter(QStringLiteral(".tmp-")).isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
        QVERIFY(!left.contains(QStringLiteral("replacing.pending")));
        const QStringList kept = left.filter(QStringLiteral(".before-restore-"));
        if (isNew) {
            QCOMPARE(kept.size(), 3);
            for (int i = 0; i < names.size(); ++i) {
                const QString copy = data(names[i] + QStringLiteral(".before-restore-20260131-100000"));
                QCOMPARE(readAll(copy), oldBytes[i]);
                QVERIFY2(messages[0].contains(copy), qPrintable(messages[0]));
            }
        } else if (state == "{") {
            // Nothing says what the copies are: they stay, and so does the record.
            QCOMPARE(left.filter(QStringLiteral("replacing.pending.damaged-")).size(), 1);
        } else {
            QCOMPARE(kept, QStringList());
        }
    }

    // The last backup of a file that could not be read whole is the user's last good
    // version: the message names a copy of it that no later save replaces, in this session
    // or the next.
    void theBackupNamedAsKeptOutlivesTheNextSessions_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("damaged") << QByteArray("6,2000000000\r\n3,1,lost\r\n");
        QTest::newRow("partly readable") << QByteArray("6,2\r\n3,1,kept\r\n3,7,beyond\r\n");
    }
    void theBackupNamedAsKeptOutlivesTheNextSessions()
    {
        QFETCH(QByteArray, bytes);
        const QByteArray good = gridFileBytes(storeOf({ { "46052.101", "", "one", "No" },
            { "46052.102", "", "two", "No" }, { "46053.101", "", "three", "No" } }));
        QVERIFY(writeBytes(data(QStringLiteral("grid.grd~")), good));
        QVERIFY(writeBytes(data(QStringLiteral("grid.grd")), bytes));
        const QString kept = data(QStringLiteral("grid.grd.kept-20260131-100000"));
        for (int session = 1; session <= 2; ++session) {
            auto document = makeDocument();
            const QStringList messages = document->load();
            if (session == 1) {
                QCOMPARE(messages.size(), 1);
                QVERIFY2(messages[0].contains(QStringLiteral("Its last backup has been kept as ") + kept),
                    qPrintable(messages[0]));
            }
            for (int save = 0; save < 2; ++save)
                QVERIFY(document->sortAndSaveStore().ok);
        }
        QCOMPARE(readAll(kept), good);
    }

    // A partly readable file is copied aside and reported once: the start writes the table
    // as read in its place, so the next start finds it whole, though nothing was saved.
    void aPartlyReadableFileIsCopiedAndReportedOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // "kept" at column 1, row 1
        QTest::newRow("grid.grd") << "grid.grd" << QByteArray("6,2\r\n0,1,46052.101\r\n1,1,kept\r\n1,7,beyond\r\n");
        for (const char *name : { "gridNon.grd", "gridComp.grd", "holiday.grd" })
            QTest::newRow(name) << QString::fromLatin1(name) << QByteArray("4,2\r\n1,1,kept\r\n1,7,beyond\r\n");
    }
    void aPartlyReadableFileIsCopiedAndReportedOnce()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QVERIFY(writeBytes(data(name), bytes));
        for (int start = 1; start <= 2; ++start) {
            auto document = makeDocument();
            const QStringList messages = document->load();
            QCOMPARE(messages.size(), start == 1 ? 1 : 0);
            const CellTable &table = name == QLatin1String("grid.grd") ? document->store()
                : name == QLatin1String("gridNon.grd")                 ? document->todoList()
                : name == QLatin1String("gridComp.grd")                ? document->completedLog()
                                                                       : document->holidays();
            QCOMPARE(table.cell(1, 1), QStringLiteral("kept"));
        }
        const QStringList copies = QDir(m_dir->path()).entryList({ name + QStringLiteral(".damaged-*") });
        QCOMPARE(copies.size(), 1);
        QCOMPARE(readAll(data(copies[0])), bytes);
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

    // A category file that is not text, has a line longer than any category or is far too
    // large is damaged: kept aside and said at the start, and the lists start empty. Lines
    // an older system could write (up to 255 characters, Windows-1252, a TAB) still read.
    void aCategoryFileThatIsNoListIsKeptAsideAndSaid_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries"); // what is read; empty when damaged
        QByteArray junk(1 << 20, Qt::Uninitialized);
        QRandomGenerator(17).fillRange(reinterpret_cast<quint32 *>(junk.data()), junk.size() / 4);
        QTest::newRow("a megabyte of junk") << junk << QStringList();
        QTest::newRow("more than a megabyte") << QByteArray((1 << 20) + 1, 'a') << QStringList();
        QTest::newRow("a control character") << QByteArray("Home\r\nWo\x1Brk\r\n") << QStringList();
        QTest::newRow("a line of 256 characters") << "Home\r\n" + QByteArray(256, 'x') + "\r\n" << QStringList();
        QTest::newRow("a line of 255 characters") << "Home\r\n" + QByteArray(255, 'x') + "\r\n"
                                                  << QStringList { "Home", QString(255, QLatin1Char('x')) };
        QTest::newRow("Windows-1252 and a TAB")
            << QByteArray("Caf\xE9\tBar\r\n") << QStringList { QStringLiteral("Caf\u00E9\tBar") };
    }
    void aCategoryFileThatIsNoListIsKeptAsideAndSaid()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        const QString path = data(QStringLiteral("category.xxx"));
        QVERIFY(writeBytes(path, bytes));
        auto document = makeDocument();
        const QStringList messages = document->load();
        QCOMPARE(document->categoryChoices(), std::optional<QStringList>(entries));
        QCOMPARE(document->filter().categories.size(), entries.size());
        if (!entries.isEmpty()) {
            QCOMPARE(messages, QStringList());
            return;
        }
        const QString aside = path + QStringLiteral(".damaged-20260131-100000");
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(QStringLiteral("File ") + path + QStringLiteral(" is damaged: "))
                && messages[0].contains(QStringLiteral("It has been kept as ") + aside),
            qPrintable(messages[0]));
        QCOMPARE(readAll(aside), bytes);
        QVERIFY(document->setCategoryChoices({ QStringLiteral("Home") }).ok);
        QCOMPARE(readAll(path), QByteArray("Home\r\n"));
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
        QCOMPARE(document->dayList().cell(daylist::What, 1), QStringLiteral("today"));
        QVERIFY(document->writeShownDay().ok);
        QCOMPARE(whats(document->store(), store::What), (QStringList { "today", "later" }));
    }

    // A task is the same task for the whole run: shown, edited, written back, shown again and
    // moved to another day, it keeps its identity, and each change says which tasks it added,
    // changed and removed.
    void aTaskKeepsItsIdentityThroughItsChanges()
    {
        QVERIFY(writeGridFile(storeOf({ { "46052.101", "Home", "a", "No" }, { "46052.102", "Work", "b", "Yes" },
                                  { "46053.101", "", "c", "No" } }),
            data(QStringLiteral("grid.grd")))
                    .ok);
        auto document = makeDocument();
        document->load();
        QSignalSpy changes(document.get(), &TaskDocument::tasksChanged);
        document->showDay(kDay);
        const CellTable::RowId a = document->dayList().rowId(1);
        const CellTable::RowId b = document->dayList().rowId(2);
        const std::optional<Task> task = document->task(b);
        QVERIFY(task);
        QCOMPARE(task->day, std::optional<qint64>(kDay));
        QCOMPARE(task->time, QStringLiteral("9:00 AM"));
        QCOMPARE(task->minutes, std::optional<int>(9 * 60));
        QCOMPARE(task->category, QStringLiteral("Work"));
        QCOMPARE(task->text, QStringLiteral("b"));
        QVERIFY(task->done);
        QVERIFY(!task->alarm);
        QVERIFY(!task->isTodo());

        // Edited in the day list and written back: a changed, a new task added.
        document->dayList().setCell(daylist::What, 1, QStringLiteral("a2"));
        document->dayList().insertBlankRows(3, 1);
        for (const auto &[column, text] : { std::pair { daylist::Time, "10:00 AM" }, { daylist::What, "new" },
                 { daylist::Done, "No" }, { daylist::Alarm, "No" } })
            document->dayList().setCell(column, 3, QLatin1String(text));
        const CellTable::RowId added = document->dayList().rowId(3);
        QVERIFY(document->writeShownDay().ok);
        QCOMPARE(changes.size(), 1);
        auto told = changes.takeFirst().at(0).value<TaskDocument::TaskChanges>();
        QCOMPARE(told.dated.added, std::vector<CellTable::RowId> { added });
        QCOMPARE(told.dated.changed, std::vector<CellTable::RowId> { a });
        QVERIFY(told.dated.removed.empty());
        QCOMPARE(document->task(a)->text, QStringLiteral("a2"));

        // Shown again: the same tasks.
        document->showDay(kDay + 1);
        document->showDay(kDay);
        QCOMPARE(document->dayList().rowId(1), a);
        QCOMPARE(document->dayList().rowId(2), b);

        // Moved to the next day in one save: b is still b, on its new day.
        document->dayList().deleteRows(2, 1);
        document->stageShownDay();
        document->insertDirectTask(
            kDay + 1, task->time, task->category, task->text, QStringLiteral("Yes"), QStringLiteral("No"), b);
        QVERIFY(document->endDirectBatch().ok);
        QCOMPARE(document->task(b)->day, std::optional<qint64>(kDay + 1));
        document->showDay(kDay + 1);
        QCOMPARE(document->dayList().findRowId(b), 1);
        // b changed its day. The new task behind it only had its key renumbered as the day was
        // written back: the same task, unchanged.
        told = changes.takeLast().at(0).value<TaskDocument::TaskChanges>();
        QCOMPARE(told.dated.changed, std::vector<CellTable::RowId> { b });
        QVERIFY(told.dated.added.empty());
        QVERIFY(told.dated.removed.empty());
        QVERIFY(!document->task(0));
    }

    // Each change by identity finds the task where it is held (the shown day's list, another
    // day of the store, the to-do list), changes it there and saves it. A task keeps its
    // identity wherever it goes, and the change says what it did by identity; a task whose
    // key was only renumbered as its day was written back is not among them.
    void changesByIdentityReachTheFiles_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("store"); // grid.grd read back: "key what done alarm"
        QTest::addColumn<QStringList>("todo"); // gridNon.grd read back: "what done"
        QTest::addColumn<QString>("told"); // +added ~changed -removed, "todo" before the to-do list's
        const QString a = QStringLiteral("46052.101 a No No"), b = QStringLiteral("46052.102 b Yes No"),
                      c = QStringLiteral("46053.101 c No No"), t = QStringLiteral("t No");
        QTest::newRow("a shown task edited")
            << "edit a" << QStringList { "46052.101 a2 No Yes", b, c } << QStringList { t } << "~a";
        QTest::newRow("a task of another day edited")
            << "edit c" << QStringList { a, b, "46053.101 c2 No Yes" } << QStringList { t } << "~c";
        QTest::newRow("a to-do edited") << "edit t" << QStringList { a, b, c } << QStringList { "t2 Yes" } << "todo ~t";
        QTest::newRow("a shown task moved to another day")
            << "move a" << QStringList { "46052.101 b Yes No", "46053.100 a No No", c } << QStringList { t } << "~a";
        // Only its place in the day changes, which no task's values say.
        QTest::newRow("a task moved first on its own day")
            << "first b" << QStringList { "46052.100 b Yes No", a, c } << QStringList { t } << "";
        QTest::newRow("a task moved to the shown day")
            << "move c" << QStringList { "46052.100 c No No", a, b } << QStringList { t } << "~c";
        QTest::newRow("a to-do put on the shown day")
            << "move t" << QStringList { "46052.100 t No No", a, b, c } << QStringList {} << "+t todo -t";
        QTest::newRow("a shown task made a to-do")
            << "move b" << QStringList { a, c } << QStringList { t, "b Yes" } << "-b todo +b";
        QTest::newRow("a shown task removed")
            << "remove a" << QStringList { "46052.101 b Yes No", c } << QStringList { t } << "-a";
        QTest::newRow("a task of another day removed")
            << "remove c" << QStringList { a, b } << QStringList { t } << "-c";
        QTest::newRow("a to-do removed") << "remove t" << QStringList { a, b, c } << QStringList {} << "todo -t";
        QTest::newRow("a task added to the shown day")
            << "add 46052" << QStringList { a, b, "46052.103 n No Yes", c } << QStringList { t } << "+n";
        QTest::newRow("a task added to another day")
            << "add 46060" << QStringList { a, b, c, "46060.100 n No Yes" } << QStringList { t } << "+n";
        QTest::newRow("a to-do added") << "add todo" << QStringList { a, b, c } << QStringList { "n No", t }
                                       << "todo +n";
    }

    void changesByIdentityReachTheFiles()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, store);
        QFETCH(QStringList, todo);
        QFETCH(QString, told);
        QVERIFY(writeGridFile(storeOf({ { "46052.101", "Home", "a", "No" }, { "46052.102", "Work", "b", "Yes" },
                                  { "46053.101", "", "c", "No" } }),
            data(QStringLiteral("grid.grd")))
                    .ok);
        QVERIFY(writeBytes(data(QStringLiteral("gridNon.grd")), "3,2\r\n1,1,t\r\n2,1,No\r\n"));
        auto document = makeDocument();
        document->load();
        document->showDay(kDay);
        QMap<CellTable::RowId, QString> names { { document->dayList().rowId(1), "a" },
            { document->dayList().rowId(2), "b" }, { document->store().rowId(3), "c" },
            { document->todoList().rowId(1), "t" } };
        const auto idOf = [&names](const QString &name) { return names.key(name); };
        QSignalSpy changes(document.get(), &TaskDocument::tasksChanged);

        const QStringList words = change.split(QLatin1Char(' '));
        const QString verb = words[0], name = words[1];
        CellTable::RowId id = idOf(name);
        SaveResult saved;
        std::optional<qint64> day;
        if (verb == QLatin1String("edit")) {
            Task task = *document->task(id);
            task.text += QLatin1Char('2');
            task.done = task.isTodo() ? true : task.done;
            task.alarm = !task.isTodo();
            day = task.day;
            saved = document->updateTask(task);
        } else if (verb == QLatin1String("move")) {
            day = name == QLatin1String("a") ? std::optional(kDay + 1)
                : name == QLatin1String("b") ? std::nullopt
                                             : std::optional(kDay);
            saved = document->moveTask(id, day, QStringLiteral("9:00 AM"));
        } else if (verb == QLatin1String("first")) {
            day = kDay;
            saved = document->moveTask(id, day);
        } else if (verb == QLatin1String("remove")) {
            saved = document->removeTask(id);
        } else {
            Task task;
            if (name != QLatin1String("todo")) {
                day = name.toLongLong();
                task.time = QStringLiteral("9:30 AM");
                task.alarm = true;
            }
            task.day = day;
            task.text = QStringLiteral("n");
            const TaskDocument::Added added = document->addTask(task);
            saved = added.saved;
            id = added.id;
            names.insert(id, QStringLiteral("n"));
        }
        QVERIFY(saved.ok);

        // The files, read back.
        CellTable onDisk;
        QVERIFY(readGridFile(onDisk, data(QStringLiteral("grid.grd"))).ok());
        QStringList rows;
        for (int r = 1; r < onDisk.rowCount(); ++r)
            rows << QStringList { onDisk.cell(store::Key, r), onDisk.cell(store::What, r), onDisk.cell(store::Done, r),
                onDisk.cell(store::Alarm, r) }
                        .join(QLatin1Char(' '));
        QCOMPARE(rows, store);
        QVERIFY(readGridFile(onDisk, data(QStringLiteral("gridNon.grd"))).ok());
        rows.clear();
        for (int r = 1; r < onDisk.rowCount(); ++r)
            if (!onDisk.isRowBlank(r))
                rows << onDisk.cell(todo::What, r) + QLatin1Char(' ') + onDisk.cell(todo::Done, r);
        QCOMPARE(rows, todo);

        // The task in memory, by the identity it had, where it went.
        const std::optional<Task> task = document->task(id);
        QCOMPARE(task.has_value(), verb != QLatin1String("remove"));
        if (task && verb != QLatin1String("add"))
            QCOMPARE(task->day, day);
        QCOMPARE(document->dayList().findRowId(id) > 0, task && task->day == kDay);
        QCOMPARE(document->todoList().findRowId(id) > 0, task && task->isTodo());

        // What the change said, in one signal.
        QCOMPARE(changes.size(), told.isEmpty() ? 0 : 1);
        if (told.isEmpty())
            return;
        const auto said = changes[0].at(0).value<TaskDocument::TaskChanges>();
        const auto list = [&names](const CellTable::RowChanges &c) {
            QStringList parts;
            for (const auto &[sign, ids] : { std::pair { '+', &c.added }, { '~', &c.changed }, { '-', &c.removed } })
                for (const CellTable::RowId changed : *ids)
                    parts << QLatin1Char(sign) + names.value(changed, QStringLiteral("?"));
            return parts;
        };
        QStringList parts = list(said.dated);
        if (!said.todo.isEmpty())
            parts << QStringLiteral("todo") << list(said.todo);
        QCOMPARE(parts.join(QLatin1Char(' ')), told);
    }

    // A task made a to-do whose to-do list cannot be saved stays where it was, in memory and
    // on disk.
    void aMoveToTheTodoListWhoseSaveFailsIsNotMade()
    {
        QVERIFY(writeGridFile(storeOf({ { "46052.101", "Home", "a", "No" } }), data(QStringLiteral("grid.grd"))).ok);
        const QByteArray todoBytes("3,2\r\n1,1,t\r\n2,1,No\r\n");
        QVERIFY(writeBytes(data(QStringLiteral("gridNon.grd")), todoBytes));
        const QByteArray storeBytes = readAll(data(QStringLiteral("grid.grd")));
        auto document = makeDocument();
        document->load();
        document->showDay(kDay);
        const CellTable::RowId a = document->dayList().rowId(1);
        const CellTable todoBefore = document->todoList();
        SaveResult saved;
        {
            const FileSizeLimit limit(todoBytes.size());
            saved = document->moveTask(a, std::nullopt);
        }
        QVERIFY(!saved.ok);
        QCOMPARE(saved.path, data(QStringLiteral("gridNon.grd")));
        QCOMPARE(document->task(a)->day, std::optional(kDay));
        QCOMPARE(document->dayList().findRowId(a), 1);
        QVERIFY(document->todoList() == todoBefore);
        QCOMPARE(readAll(data(QStringLiteral("grid.grd"))), storeBytes);
        QCOMPARE(readAll(data(QStringLiteral("gridNon.grd"))), todoBytes);
    }

    void aStoreReadOutOfOrderIsPutInOrder()
    {
        // Plain text order puts day 10000 before day 9999.
        CellTable table = storeOf({ { "10000.101", "", "later", "No" }, { "9999.101", "", "earlier", "No" } });
        QVERIFY(writeGridFile(table, data(QStringLiteral("grid.grd"))).ok);
        auto document = makeDocument();
        document->load();
        document->showDay(9999);
        QCOMPARE(document->dayList().cell(daylist::What, 1), QStringLiteral("earlier"));
        document->showDay(10000);
        QCOMPARE(document->dayList().cell(daylist::What, 1), QStringLiteral("later"));
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

        const QStringList kept = document->keepUnsaved(m_clock.now()).written;
        QCOMPARE(kept, QStringList { data(QStringLiteral("gridComp.grd.unsaved-20260131-100000")) });
        QVERIFY(readAll(kept[0]).contains("kept"));
        QCOMPARE(document->unsavedCopies(), kept);

        QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("gridComp.grd")));
        QVERIFY(document->saveAtClose().isEmpty());
        QVERIFY(readAll(data(QStringLiteral("gridComp.grd"))).contains("kept"));
    }

    // Where nobody can be asked and the data folder cannot take the changes (read-only, or
    // gone with its disk), they are kept in the state folder and the next start says where.
    // Only when that fails too are they lost, and said to be.
    void whatTheDataFolderCannotTakeGoesToTheStateFolder_data()
    {
        QTest::addColumn<QString>("folder"); // what became of the data folder
        QTest::addColumn<bool>("stateUsable");
        QTest::newRow("read-only") << "read-only" << true;
        QTest::newRow("gone") << "gone" << true;
        QTest::newRow("gone, and no state folder can be made") << "gone" << false;
    }
    void whatTheDataFolderCannotTakeGoesToTheStateFolder()
    {
        QFETCH(QString, folder);
        QFETCH(bool, stateUsable);
        const QString dataFolder = data(QStringLiteral("data"));
        const QString state = stateUsable ? data(QStringLiteral("state")) : data(QStringLiteral("blocker/state"));
        QVERIFY(QDir().mkpath(dataFolder));
        QVERIFY(writeBytes(data(QStringLiteral("blocker")), "x"));
        // Open to the unprivileged child that plays the user of a read-only folder.
        QVERIFY(QFile::setPermissions(m_dir->path(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        QVERIFY(QDir().mkpath(data(QStringLiteral("state"))));
        QVERIFY(QFile::setPermissions(data(QStringLiteral("state")), QFile::Permissions(0x7777)));

        const auto closeUnattended = [&]() -> QByteArray {
            auto document = makeDocument(dataFolder);
            document->setStateFolder(state);
            document->load();
            if (folder == QLatin1String("gone"))
                QDir(dataFolder).removeRecursively();
            document->todoList().setCell(todo::What, 1, QStringLiteral("Buy paint"));
            if (document->saveTodo().ok)
                return "saved";
            const TaskDocument::KeptUnsaved kept = document->keepUnsaved(m_clock.now());
            return (kept.written.join(QLatin1Char('|')) + QLatin1Char('\n') + kept.lost.join(QLatin1Char('|')))
                .toUtf8();
        };
        std::optional<QByteArray> answer;
        if (folder == QLatin1String("read-only")) {
            QVERIFY(QFile::setPermissions(
                dataFolder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
            answer = runInChild(closeUnattended, 20, true);
            QVERIFY(QFile::setPermissions(dataFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        } else {
            answer = closeUnattended();
        }
        QVERIFY2(answer, "the child failed");
        const QString copy = data(QStringLiteral("state/gridNon.grd.unsaved-20260131-100000"));
        const QString todoPath = dataFolder + QStringLiteral("/gridNon.grd");
        QCOMPARE(QString::fromUtf8(*answer),
            stateUsable ? QString(copy + QLatin1Char('\n')) : QString(QLatin1Char('\n') + todoPath));
        if (!stateUsable)
            return;
        QVERIFY(readAll(copy).contains("1,1,Buy paint"));

        auto next = makeDocument(dataFolder);
        const QStringList messages = next->load();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(
                     QStringLiteral("Changes that could not be saved when the program last ended are in ") + copy),
            qPrintable(messages[0]));
    }

    // What a start finds and mends: temporary files of saves a kill interrupted (only the
    // program's own) without asking; counts with no cells behind them cost nothing, but such
    // a file was cut short, so it is kept and the user told. The start-up lock of the copy
    // that runs is not data: left as it is.
    void theStartTidiesWhatAKillOrAHandLeft()
    {
        QVERIFY(writeBytes(data(QStringLiteral("gridNon.grd")), "1000,1000000\r\n"));
        const QByteArray lock = "4242\ntallyday\nhost\n/run/user/1000/SingInstProgMutex-0123456789abcdef.sock\n";
        QVERIFY(writeBytes(data(QLatin1String(datafile::kStartupLock)), lock));
        for (const char *name : { ".grid.grd.tmp-a1B2c3", ".gridNon.grd.unsaved-20260101-000000.tmp-Zz9Yy8",
                 ".notes.txt.tmp-a1B2c3", "grid.grd.tmp-a1B2c3" })
            QVERIFY(writeBytes(data(QLatin1String(name)), "x"));
        auto document = makeDocument();
        const QStringList messages = document->load();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(data(QStringLiteral("gridNon.grd"))
                     + QStringLiteral(" was partly unreadable (it "
                                      "was cut short")),
            qPrintable(messages[0]));
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

    // A data folder that cannot be made is said at the start, not first at the close.
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
