#include "store/search.h"
#include "store/taskstore.h"

#include <QTest>

namespace {

const QDate kFirst(2026, 3, 2);

// Tasks of four days: day offset, what, category, done.
struct TaskLine
{
    int day;
    const char *what;
    const char *category = "";
    const char *done = "No";
};

CellTable fixture()
{
    const QList<TaskLine> tasks { { 0, "Buy paint", "Home" }, { 0, "Call Ann" }, { 1, "paint the door", "Home" },
        { 2, "Yoga", "Work" }, { 2, "Yoga again", "Work" }, { 4, "The unique last one", "", "Yes" } };
    CellTable store = store::newStore();
    store.setRowCount(int(tasks.size()) + 1);
    for (int i = 0; i < tasks.size(); ++i) {
        const QStringList cells { store::makeKey(datevalue::dayNumber(kFirst.addDays(tasks[i].day)), 101 + i),
            QStringLiteral("9:00 AM"), QLatin1String(tasks[i].category), QLatin1String(tasks[i].what),
            QLatin1String(tasks[i].done), QStringLiteral("No") };
        for (int c = 0; c < 6; ++c)
            store.setCell(c, i + 1, cells[c]);
    }
    store::compactAndSort(store);
    return store;
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each row: the steps of one search, each "d" (down) or "u" (up), and what each found
    // ("-" for nothing).
    void steps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("hideWork");
        QTest::addColumn<QString>("directions");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("the last task") << "unique" << false << false << false << "dd"
                                       << QStringList { "The unique last one", "-" };
        QTest::newRow("two hits on one day")
            << "yoga" << false << false << false << "ddd" << QStringList { "Yoga", "Yoga again", "-" };
        QTest::newRow("up after failing down starts at the end")
            << "Call" << false << false << false << "ddu" << QStringList { "Call Ann", "-", "Call Ann" };
        QTest::newRow("down after failing up starts at the top")
            << "paint" << false << false << false << "uud" << QStringList { "-", "paint the door", "Buy paint" };
        QTest::newRow("a filtered task is never found")
            << "again" << false << false << true << "d" << QStringList { "-" };
        QTest::newRow("whole word") << "pain" << true << false << false << "d" << QStringList { "-" };
        QTest::newRow("part of a word") << "pain" << false << false << false << "dd"
                                        << QStringList { "Buy paint", "paint the door" };
        QTest::newRow("whole word, any case")
            << "PAINT" << true << false << false << "dd" << QStringList { "Buy paint", "paint the door" };
        QTest::newRow("match case") << "YOGA" << false << true << false << "d" << QStringList { "-" };
        QTest::newRow("an empty text finds nothing") << "" << false << false << false << "d" << QStringList { "-" };
    }
    void steps()
    {
        QFETCH(QString, text);
        QFETCH(bool, wholeWord);
        QFETCH(bool, matchCase);
        QFETCH(bool, hideWork);
        QFETCH(QString, directions);
        QFETCH(QStringList, found);
        FilterState filter;
        if (hideWork)
            filter.categories = { { QStringLiteral("Work"), false } };
        const CellTable store = fixture();
        search::SearchState state;
        search::startSearch(state);
        QStringList results;
        for (const QChar direction : directions) {
            const bool hit = search::FindDialog1Find(
                store, filter, state, text, wholeWord, matchCase, direction == QLatin1Char('d'));
            results << (hit ? state.hitWhat : QStringLiteral("-"));
        }
        QCOMPARE(results, found);
    }

    void theHitIsFoundInTheDayList()
    {
        search::SearchState state;
        QVERIFY(search::FindDialog1Find(fixture(), FilterState(), state, QStringLiteral("again"), false, false, true));
        QCOMPARE(state.hitDay, datevalue::dayNumber(kFirst.addDays(2)));
        CellTable day = store::newDayList();
        store::readFromStore(fixture(), FilterState(), state.hitDay, day);
        QCOMPARE(search::hitRowInDayList(day, state, true), 2);
        QCOMPARE(search::notFoundMessage(QStringLiteral("x"), true),
            QStringLiteral("Could not find \"x\" in any calendar task. Search reset to first task date"));
    }

    // Highlighted days: the fixture's days 0, 1, 2 hold open tasks, day 4 a done one.
    void nextAndPriorHighlightedDay_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("wantDone");
        QTest::addColumn<bool>("wantNotDone");
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("prior");
        QTest::newRow("both boxes, in between") << 1 << true << true << 2 << 0;
        QTest::newRow("from a plain day") << 3 << true << true << 4 << 2;
        QTest::newRow("the last highlighted day stays") << 4 << true << true << 4 << 2;
        QTest::newRow("open tasks only") << 2 << false << true << 2 << 1;
        QTest::newRow("done tasks only") << 0 << true << false << 4 << 0;
        QTest::newRow("neither box: never moves") << 1 << false << false << 1 << 1;
        QTest::newRow("before everything") << -10 << true << true << 0 << -10;
    }
    void nextAndPriorHighlightedDay()
    {
        QFETCH(int, from);
        QFETCH(bool, wantDone);
        QFETCH(bool, wantNotDone);
        QFETCH(int, next);
        QFETCH(int, prior);
        const CellTable store = fixture();
        const QDate day = kFirst.addDays(from);
        QCOMPARE(search::goForward(store, FilterState(), day, wantDone, wantNotDone), kFirst.addDays(next));
        QCOMPARE(search::goBack(store, FilterState(), day, wantDone, wantNotDone), kFirst.addDays(prior));
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
