#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"
#include "store/gridfile.h"
#include "store/taskstore.h"
#include "text/datevalue.h"
#include "text/regional.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

const qint64 kDay = 36525; // 31 December 1999

struct TaskLine
{
    qint64 day;
    int sequence;
    QString time;
    QString category;
    QString what;
    QString done = QStringLiteral("No");
    QString alarm = QStringLiteral("No");
};

CellTable storeOf(const QList<TaskLine> &tasks)
{
    CellTable table = store::newStore();
    table.setRowCount(int(tasks.size()) + 1);
    for (int i = 0; i < tasks.size(); ++i) {
        const TaskLine &t = tasks[i];
        const QStringList cells { store::makeKey(t.day, t.sequence), t.time, t.category, t.what, t.done, t.alarm };
        for (int c = 0; c < cells.size(); ++c)
            table.setCell(c, i + 1, cells[c]);
    }
    return table;
}

QStringList columnOf(const CellTable &table, int column)
{
    QStringList texts;
    for (int r = 1; r < table.rowCount(); ++r)
        texts << table.cell(column, r);
    return texts;
}

// A clock that moves on at every read, as the real one does during a long sort.
class MovingClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2000, 3, 15), QTime(12, 0)).addMSecs(++reads); }
    mutable int reads = 0;
};

FilterState hiding(const QString &category)
{
    FilterState filter;
    filter.categories = { { QStringLiteral("Work"), true }, { category, false } };
    return filter;
}

} // namespace

class TestTaskStore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RegionalSettings m_us = RegionalSettings::englishUS();
    FixedClock m_clock { QDateTime(QDate(2000, 3, 15), QTime(12, 0)) };

    QString gridPath() const { return m_dir.filePath(QStringLiteral("grid.grd")); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void passesFilter_data()
    {
        QTest::addColumn<bool>("showDone");
        QTest::addColumn<bool>("showNotDone");
        QTest::addColumn<QString>("done");
        QTest::addColumn<QString>("category");
        QTest::addColumn<bool>("passes");
        QTest::newRow("nothing hidden") << true << true << "Yes"
                                        << "Work" << true;
        QTest::newRow("done hidden") << false << true << "Yes"
                                     << "Work" << false;
        QTest::newRow("not done hidden") << true << false << "No"
                                         << "Work" << false;
        QTest::newRow("only exact Yes is done") << false << false << "yes"
                                                << "Work" << true;
        QTest::newRow("unchecked category, other case") << true << true << "No"
                                                        << "home" << false;
        QTest::newRow("checked category") << true << true << "No"
                                          << "WORK" << true;
        QTest::newRow("empty category never hidden") << true << true << "No"
                                                     << "" << true;
        QTest::newRow("unknown category never hidden") << true << true << "No"
                                                       << "Garden" << true;
        QTest::newRow("state before category") << false << true << "Yes"
                                               << "Garden" << false;
    }
    void passesFilter()
    {
        QFETCH(bool, showDone);
        QFETCH(bool, showNotDone);
        QFETCH(QString, done);
        QFETCH(QString, category);
        QFETCH(bool, passes);
        FilterState filter = hiding(QStringLiteral("Home"));
        filter.showDone = showDone;
        filter.showNotDone = showNotDone;
        QCOMPARE(::passesFilter(filter, done, category), passes);
    }

    void filtersOn()
    {
        FilterState filter;
        QVERIFY(!::filtersOn(filter));
        filter.categories = { { QStringLiteral("Work"), true } };
        QVERIFY(!::filtersOn(filter));
        QVERIFY(::filtersOn(hiding(QStringLiteral("Home"))));
        filter.showDone = false;
        QVERIFY(::filtersOn(filter));
        filter.showDone = true;
        filter.showNotDone = false;
        QVERIFY(::filtersOn(filter));
    }

    void keyDay_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<qint64>("day");
        QTest::newRow("store key") << QByteArray("36525.103") << qint64(36525);
        QTest::newRow("no full stop") << QByteArray("36525") << qint64(36525);
        QTest::newRow("long sequence") << QByteArray("36525.1000") << qint64(36525);
        QTest::newRow("six digits") << QByteArray("100000.101") << qint64(100000);
        QTest::newRow("before 1899") << QByteArray("-5.101") << qint64(-5);
        QTest::newRow("regional comma") << QByteArray("36525,101") << qint64(36525);
        QTest::newRow("exponent") << QByteArray("3.6e4") << qint64(36000);
        QTest::newRow("not a number") << QByteArray("lunch") << qint64(0);
        QTest::newRow("empty") << QByteArray() << qint64(0);
    }
    void keyDay()
    {
        QFETCH(QByteArray, key);
        QFETCH(qint64, day);
        QCOMPARE(store::keyDay(key), day);
    }

    void findsTheFirstShownRowOfADay()
    {
        const CellTable table = storeOf({ { kDay - 1, 101, "9:00 AM", "", "before" },
            { kDay, 101, "9:00 AM", "Home", "hidden" }, { kDay, 102, "10:00 AM", "Work", "first shown" },
            { kDay, 103, "11:00 AM", "", "second shown" }, { kDay + 2, 101, "9:00 AM", "", "after" } });
        const FilterState none;
        QCOMPARE(store::findDayRow(table, none, kDay), 2);
        QCOMPARE(store::countDayRows(table, none, 2), 3);
        const FilterState filter = hiding(QStringLiteral("Home"));
        QCOMPARE(store::findDayRow(table, filter, kDay), 3);
        QCOMPARE(store::countDayRows(table, filter, 3), 2);
        QCOMPARE(store::findDayRow(table, none, kDay + 1), -1);
        QCOMPARE(store::findDayRow(table, none, kDay + 2), 5);
        QCOMPARE(store::findDayRow(table, none, kDay + 9), -1);
        QCOMPARE(store::findDayRow(store::newStore(), none, kDay), -1);
    }

    void dayTaskState_data()
    {
        QTest::addColumn<QStringList>("doneTexts");
        QTest::addColumn<bool>("wantDone");
        QTest::addColumn<bool>("wantNotDone");
        QTest::addColumn<int>("state");
        QTest::newRow("done first, both wanted") << QStringList { "Yes", "No" } << true << true << 1;
        QTest::newRow("open first, both wanted") << QStringList { "No", "Yes" } << true << true << 2;
        QTest::newRow("only done wanted") << QStringList { "No", "Yes" } << true << false << 1;
        QTest::newRow("only open wanted") << QStringList { "Yes", "No" } << false << true << 2;
        QTest::newRow("none wanted") << QStringList { "Yes" } << false << false << -1;
        QTest::newRow("only open, done wanted") << QStringList { "No" } << true << false << -1;
        QTest::newRow("neither flag text") << QStringList { "yes", "maybe" } << true << true << -1;
    }
    void dayTaskState()
    {
        QFETCH(QStringList, doneTexts);
        QFETCH(bool, wantDone);
        QFETCH(bool, wantNotDone);
        QFETCH(int, state);
        QList<TaskLine> tasks { { kDay - 1, 101, "9:00 AM", "", "other day", "Yes" } };
        for (int i = 0; i < doneTexts.size(); ++i)
            tasks.append({ kDay, 101 + i, "9:00 AM", "", "t", doneTexts[i] });
        const CellTable table = storeOf(tasks);
        const store::DayTaskState result = store::dayTaskState(table, FilterState(), kDay, wantDone, wantNotDone);
        QCOMPARE(result.state, state);
        QCOMPARE(result.firstRow, wantDone || wantNotDone ? 2 : -1);
    }

    void filteredTasksDoNotColourTheDay()
    {
        const CellTable table = storeOf({ { kDay, 101, "9:00 AM", "Home", "open but hidden" } });
        QCOMPARE(store::dayTaskState(table, hiding(QStringLiteral("home")), kDay, true, true).state, -1);
        QCOMPARE(store::dayTaskState(table, FilterState(), kDay, true, true).state, 2);
    }

    void readFromStore()
    {
        const CellTable table = storeOf({ { kDay, 101, "9:00 AM", "Home", "hidden" },
            { kDay, 102, "10:00 AM", "Work", "Call Ann\r\nbefore 5", "Yes", "Yes" } });
        CellTable list = store::newDayList();
        store::readFromStore(table, hiding(QStringLiteral("Home")), kDay, list);
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(list.cell(daylist::Time, 0), QStringLiteral("Time"));
        QCOMPARE(list.cell(daylist::Time, 1), QStringLiteral("10:00 AM"));
        QCOMPARE(list.cell(daylist::What, 1), QStringLiteral("Call Ann\r\nbefore 5"));
        QCOMPARE(list.cell(daylist::Alarm, 1), QStringLiteral("Yes"));

        store::readFromStore(table, FilterState(), kDay + 1, list); // an empty day: one blank row
        QCOMPARE(list.rowCount(), 2);
        QVERIFY(list.isRowBlank(1));
        QCOMPARE(list.cell(daylist::Alarm, 0), QStringLiteral("Alarm?"));
    }

    void firstTaskOnAnEmptyStore()
    {
        CellTable table = store::newStore();
        CellTable list = store::newDayList();
        const QStringList task { "9:00 AM", "Home", "Buy paint", "No", "Yes" };
        for (int c = 0; c < daylist::ColumnCount; ++c)
            list.setCell(c, 1, task[c]);
        QVERIFY(store::writeToStore(table, FilterState(), kDay, list, gridPath()).ok);
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.cell(store::Key, 1), QStringLiteral("36525.101"));
        QCOMPARE(table.cell(store::Alarm, 1), QStringLiteral("Yes"));
        QFile file(gridPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readLine(), QByteArray("6,2\r\n"));
    }

    void deletingTheMiddleTaskRenumbersTheDay()
    {
        CellTable table = storeOf({ { kDay - 1, 101, "8:00 AM", "", "yesterday" }, { kDay, 101, "9:00 AM", "", "one" },
            { kDay, 102, "10:00 AM", "", "two" }, { kDay, 103, "11:00 AM", "", "three" },
            { kDay + 1, 101, "8:00 AM", "", "tomorrow" } });
        CellTable list = store::newDayList();
        store::readFromStore(table, FilterState(), kDay, list);
        store::deleteListRow(list, 2);
        QVERIFY(store::writeToStore(table, FilterState(), kDay, list, gridPath()).ok);
        QCOMPARE(columnOf(table, store::Key), (QStringList { "36524.101", "36525.101", "36525.102", "36526.101" }));
        QCOMPARE(columnOf(table, store::What), (QStringList { "yesterday", "one", "three", "tomorrow" }));

        CellTable onDisk;
        QVERIFY(readGridFile(onDisk, gridPath()).ok());
        QVERIFY(onDisk == table);
    }

    void deletingTheOnlyTaskEmptiesTheDay()
    {
        CellTable table = storeOf({ { kDay, 101, "9:00 AM", "", "only" }, { kDay + 1, 101, "9:00 AM", "", "next" } });
        CellTable list = store::newDayList();
        store::readFromStore(table, FilterState(), kDay, list);
        store::deleteListRow(list, 1);
        QCOMPARE(list.rowCount(), 2);
        QVERIFY(list.isRowBlank(1));
        QVERIFY(store::writeToStore(table, FilterState(), kDay, list, gridPath()).ok);
        QCOMPARE(columnOf(table, store::What), (QStringList { "next" }));
    }

    void filteredWriteBackLeavesHiddenTasksAlone()
    {
        CellTable table = storeOf({ { kDay, 101, "9:00 AM", "Work", "report" },
            { kDay, 102, "10:00 AM", "Home", "paint", "No", "Yes" }, { kDay, 103, "11:00 AM", "Work", "call" } });
        const FilterState filter = hiding(QStringLiteral("Home"));
        CellTable list = store::newDayList();
        store::readFromStore(table, filter, kDay, list);
        QCOMPARE(list.rowCount(), 3);
        list.setCell(daylist::What, 2, QStringLiteral("call Bob"));
        QVERIFY(store::writeToStore(table, filter, kDay, list, gridPath()).ok);
        QCOMPARE(columnOf(table, store::Key), (QStringList { "36525.101", "36525.102", "36525.102" }));
        // Equal keys fall back on the time text: the hidden 10:00 task comes first.
        QCOMPARE(columnOf(table, store::What), (QStringList { "report", "paint", "call Bob" }));
        // The hidden task is exactly as it was.
        QCOMPARE(table.cell(store::Time, 2), QStringLiteral("10:00 AM"));
        QCOMPARE(table.cell(store::Category, 2), QStringLiteral("Home"));
        QCOMPARE(table.cell(store::Alarm, 2), QStringLiteral("Yes"));
    }

    void directInsertionListsFirstUntilWrittenBack()
    {
        CellTable table = storeOf({ { kDay, 101, "9:00 AM", "", "one" }, { kDay, 102, "10:00 AM", "", "two" } });
        store::insertDirectTask(table, kDay, QStringLiteral("8:00:00 PM"), QString(), QStringLiteral("birthday"),
            QStringLiteral("No"), QStringLiteral("No"));
        QVERIFY(store::SortGridStore(table, gridPath()).ok);
        QCOMPARE(columnOf(table, store::Key), (QStringList { "36525.100", "36525.101", "36525.102" }));
        CellTable list = store::newDayList();
        store::readFromStore(table, FilterState(), kDay, list);
        QCOMPARE(list.cell(daylist::What, 1), QStringLiteral("birthday"));
        QVERIFY(store::writeToStore(table, FilterState(), kDay, list, gridPath()).ok);
        QCOMPARE(columnOf(table, store::Key), (QStringList { "36525.101", "36525.102", "36525.103" }));
        QCOMPARE(columnOf(table, store::What), (QStringList { "birthday", "one", "two" }));
    }

    // A batch (a recurrence run, a drop) adds its rows and sorts once: each row lands
    // before the day's listed tasks, and rows equal in every compared column keep the
    // order of the batch.
    void directInsertionBatchSortsOnce()
    {
        CellTable table = storeOf({ { kDay, 101, "9:00 AM", "", "one" }, { kDay, 102, "10:00 AM", "", "two" },
            { kDay + 1, 101, "9:00 AM", "", "next" } });
        const QString time = QStringLiteral("8:00:00 PM");
        const QString no = QStringLiteral("No");
        store::insertDirectTask(table, kDay + 1, time, QString(), QStringLiteral("b"), no, no);
        store::insertDirectTask(table, kDay, time, QString(), QStringLiteral("a"), no, no);
        store::insertDirectTask(table, kDay - 5, time, QString(), QStringLiteral("early"), no, no);
        store::insertDirectTask(table, kDay + 1, time, QString(), QStringLiteral("b"), no, QStringLiteral("Yes"));
        QCOMPARE(table.rowCount(), 8);
        store::compactAndSort(table);
        QCOMPARE(columnOf(table, store::What), (QStringList { "early", "a", "one", "two", "b", "b", "next" }));
        QCOMPARE(columnOf(table, store::Alarm), (QStringList { "No", "No", "No", "No", "No", "Yes", "No" }));
        QCOMPARE(table.cell(store::Key, 5), QStringLiteral("36526.100"));
        QVERIFY(store::isInStoreOrder(table));
    }

    void isInStoreOrder_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("times");
        QTest::addColumn<bool>("inOrder");
        QTest::newRow("empty store") << QStringList {} << QStringList {} << true;
        QTest::newRow("whole days across 18 May 1927") << QStringList { "9999.101", "10000.101", "36525.101" }
                                                       << QStringList { "9:00 AM", "9:00 AM", "9:00 AM" } << true;
        QTest::newRow("plain text order across 18 May 1927")
            << QStringList { "10000.101", "9999.101" } << QStringList { "9:00 AM", "9:00 AM" } << false;
        QTest::newRow("sequence 1000 between 100 and 101") << QStringList { "36525.100", "36525.1000", "36525.101" }
                                                           << QStringList { "9:00 AM", "9:00 AM", "9:00 AM" } << false;
        QTest::newRow("sequence 1000 after 999") << QStringList { "36525.100", "36525.999", "36525.1000" }
                                                 << QStringList { "9:00 AM", "9:00 AM", "9:00 AM" } << true;
        QTest::newRow("same key, times in text order")
            << QStringList { "36525.101", "36525.101" } << QStringList { "10:00 AM", "9:00 AM" } << true;
        QTest::newRow("same key, times out of order")
            << QStringList { "36525.101", "36525.101" } << QStringList { "9:00 AM", "10:00 AM" } << false;
        QTest::newRow("a row without a key")
            << QStringList { "36525.101", "" } << QStringList { "9:00 AM", "9:00 AM" } << false;
    }
    void isInStoreOrder()
    {
        QFETCH(QStringList, keys);
        QFETCH(QStringList, times);
        QFETCH(bool, inOrder);
        CellTable table = store::newStore();
        table.setRowCount(int(keys.size()) + 1);
        for (int i = 0; i < keys.size(); ++i) {
            table.setCell(store::Key, i + 1, keys[i]);
            table.setCell(store::Time, i + 1, times[i]);
            table.setCell(store::What, i + 1, QString::number(i));
        }
        QCOMPARE(store::isInStoreOrder(table), inOrder);
        const CellTable before = table;
        store::ensureStoreOrder(table);
        QVERIFY(store::isInStoreOrder(table));
        if (inOrder)
            QVERIFY(table == before);
    }

    // A store an older system wrote in plain text order of keys: days before 18 May 1927
    // came after later ones. Put in order once, every day is found again.
    void storeFromAnOlderFileIsPutInOrder()
    {
        CellTable table = storeOf(
            { { 10000, 101, "9:00 AM", "", "18 May 1927" }, { 10000, 102, "10:00 AM", "", "18 May 1927, later" },
                { 36525, 101, "9:00 AM", "", "1999" }, { 9999, 101, "9:00 AM", "", "17 May 1927" } });
        QCOMPARE(store::findDayRow(table, FilterState(), 9999), -1); // the search cannot find it yet
        store::ensureStoreOrder(table);
        QCOMPARE(columnOf(table, store::Key), (QStringList { "9999.101", "10000.101", "10000.102", "36525.101" }));
        QCOMPARE(store::findDayRow(table, FilterState(), 9999), 1);
        QCOMPARE(store::findDayRow(table, FilterState(), 10000), 2);
        QCOMPARE(store::findDayRow(table, FilterState(), 36525), 4);
    }

    void sortGridStoreOrdersByWholeDayThenKey()
    {
        CellTable table = storeOf({ { 100000, 101, "9:00 AM", "", "six digits" },
            { 36525, 1000, "9:00 AM", "", "seq 1000" }, { 36525, 101, "9:00 AM", "", "seq 101" },
            { 9999, 101, "9:00 AM", "", "four digits" }, { 36525, 101, "8:00 AM", "", "same key, earlier text" } });
        table.insertBlankRows(3, 2); // blank rows are dropped
        table.setCell(store::What, 3, QStringLiteral("no key")); // so is a row without a key
        QVERIFY(store::SortGridStore(table, gridPath()).ok);
        QCOMPARE(columnOf(table, store::What),
            (QStringList { "four digits", "same key, earlier text", "seq 101", "seq 1000", "six digits" }));
        QCOMPARE(store::findDayRow(table, FilterState(), 100000), 5);
        QCOMPARE(store::findDayRow(table, FilterState(), 9999), 1);
    }

    void sortingAShuffledStore()
    {
        QList<TaskLine> tasks;
        for (int i = 0; i < 200; ++i)
            tasks.append({ kDay + (i * 37) % 50, 101 + i % 3, "9:00 AM", "", QString::number(i) });
        CellTable table = storeOf(tasks);
        store::compactAndSort(table);
        for (int r = 2; r < table.rowCount(); ++r)
            QVERIFY(store::compareStoreRows(table, r - 1, r) <= 0);
        for (qint64 d = kDay; d < kDay + 50; ++d)
            QCOMPARE(store::countDayRows(table, FilterState(), store::findDayRow(table, FilterState(), d)), 4);
    }

    void dayListTimeOrder()
    {
        CellTable list = store::newDayList();
        list.setRowCount(6);
        const QList<QStringList> rows { { "noon", "", "lunch" }, { "2:00 PM", "Work", "b" },
            { "10:00 AM", "", "early" }, { "2:00 PM", "Home", "z" }, { "2:00 PM", "Home", "a" } };
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                list.setCell(c, r + 1, rows[r][c]);
        store::gridDayGetFormat(list, m_us, m_clock);
        list.sortRows();
        QCOMPARE(columnOf(list, daylist::What), (QStringList { "early", "a", "z", "b", "lunch" }));
        QCOMPARE(store::gridDayCustomCompare(QString(), QStringLiteral("9:00 AM"), m_us, m_clock), 0);
    }

    // Texts that are not times read as now; now is taken once per sort, so they are all
    // equal in time and their other columns decide.
    void notTimesSortByTheirOtherColumnsWithAMovingClock()
    {
        MovingClock clock;
        CellTable list = store::newDayList();
        list.setRowCount(42);
        QStringList expected { QStringLiteral("real time") };
        for (int r = 1; r <= 40; ++r) {
            list.setCell(daylist::Time, r, QStringLiteral("lunch"));
            list.setCell(daylist::What, r, QStringLiteral("task %1").arg(41 - r, 2, 10, QLatin1Char('0')));
            expected << QStringLiteral("task %1").arg(r, 2, 10, QLatin1Char('0'));
        }
        list.setCell(daylist::Time, 41, QStringLiteral("11:00 PM"));
        list.setCell(daylist::What, 41, QStringLiteral("real time"));
        store::gridDayGetFormat(list, m_us, clock);
        list.sortRows();
        QCOMPARE(columnOf(list, daylist::What), expected);
        QCOMPARE(clock.reads, 1);
        QVERIFY(list.headerClick(daylist::Time)); // descending: the same rows the other way round
        std::reverse(expected.begin(), expected.end());
        QCOMPARE(columnOf(list, daylist::What), expected);
        QCOMPARE(clock.reads, 2);
    }

    // Write-back numbers a day's tasks 101, 102, ...: past 999 the keys grow a digit, and
    // the day must still read back in the order it was written, in memory and from its file.
    void aDayOfAThousandTasksKeepsItsOrder()
    {
        CellTable table = storeOf(
            { { kDay - 1, 101, "9:00 AM", "", "the day before" }, { kDay + 1, 101, "9:00 AM", "", "the day after" } });
        CellTable list = store::newDayList();
        list.setRowCount(1001);
        QStringList written;
        for (int r = 1; r <= 1000; ++r) {
            // Not in any order their texts or times would give.
            const QString what = QStringLiteral("task %1").arg((r * 7919) % 1000);
            list.setCell(daylist::Time, r, QStringLiteral("9:00 AM"));
            list.setCell(daylist::What, r, what);
            written << what;
        }
        QVERIFY(store::writeToStore(table, FilterState(), kDay, list, gridPath()).ok);
        QVERIFY(store::isInStoreOrder(table));

        CellTable fromFile;
        QVERIFY(readGridFile(fromFile, gridPath()).ok());
        store::ensureStoreOrder(fromFile);
        for (const CellTable *stored : { &table, &fromFile }) {
            CellTable read = store::newDayList();
            store::readFromStore(*stored, FilterState(), kDay, read);
            QCOMPARE(columnOf(read, daylist::What), written);
        }
        QCOMPARE(table.cell(store::Key, 1001), QStringLiteral("36525.1100"));
    }

    void sortedDayListIsStoredInItsNewOrder()
    {
        CellTable table = storeOf({ { kDay, 101, "9:00 AM", "", "a" }, { kDay, 102, "10:00 AM", "", "b" } });
        CellTable list = store::newDayList();
        store::gridDayGetFormat(list, m_us, m_clock);
        store::readFromStore(table, FilterState(), kDay, list);
        QVERIFY(list.headerClick(daylist::Time)); // time descending
        list.setCell(daylist::What, 1, QStringLiteral("b!"));
        QVERIFY(store::writeToStore(table, FilterState(), kDay, list, gridPath()).ok);
        QCOMPARE(columnOf(table, store::What), (QStringList { "b!", "a" }));
        QCOMPARE(columnOf(table, store::Key), (QStringList { "36525.101", "36525.102" }));
    }
};

QTEST_GUILESS_MAIN(TestTaskStore)
#include "tst_taskstore.moc"
