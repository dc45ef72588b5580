#include "schedule/layoutrules.h"

#include <QTest>

class TestLayoutRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void calendarLookByHeight_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("labels");
        QTest::addColumn<int>("cellFontSize");
        QTest::addColumn<bool>("raised");
        QTest::addColumn<bool>("weekdays"); // the bevel goes with the weekday header
        QTest::newRow("49") << 49 << false << 4 << false << false;
        QTest::newRow("50") << 50 << false << 6 << false << false;
        QTest::newRow("74") << 74 << true << 6 << false << false;
        QTest::newRow("75") << 75 << true << 9 << true << false;
        QTest::newRow("90") << 90 << true << 9 << true << false;
        QTest::newRow("91") << 91 << true << 9 << true << false;
        QTest::newRow("106") << 106 << true << 9 << true << false;
        QTest::newRow("107") << 107 << true << 9 << true << true;
    }

    void calendarLookByHeight()
    {
        QFETCH(int, height);
        const layoutrules::CalendarLook look = layoutrules::calendarLook(height, 9);
        QTEST(look.labels, "labels");
        QTEST(look.cellFontSize, "cellFontSize");
        QTEST(look.raisedLabels, "raised");
        QTEST(look.weekdayHeader, "weekdays");
        QCOMPARE(look.bevel, look.weekdayHeader);
    }

    void calendarHeightAndNavigator_data()
    {
        QTest::addColumn<int>("split2");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("navigator");
        // A navigator 20 pixels high.
        QTest::newRow("91 with the navigator") << 207 << 91 << true;
        QTest::newRow("90 with it: hidden, the room goes to the calendars") << 205 << 100 << false;
        QTest::newRow("90 without it") << 185 << 90 << false;
        QTest::newRow("107") << 239 << 107 << true;
        QTest::newRow("75") << 155 << 75 << false;
        QTest::newRow("74, odd rest dropped") << 154 << 74 << false;
        QTest::newRow("50") << 105 << 50 << false;
    }

    void calendarHeightAndNavigator()
    {
        QFETCH(int, split2);
        const layoutrules::CalendarHeight h = layoutrules::calendarHeight(split2, 20);
        QTEST(h.height, "height");
        QTEST(h.navigatorShown, "navigator");
    }

    void theLowerAreaTakesWhatTheWindowGainsOrLoses_data()
    {
        QTest::addColumn<int>("room");
        QTest::addColumn<int>("upper");
        // The user's split is 296; the upper area needs 200, the lower one 80.
        QTest::newRow("room for both: the split") << 400 << 296;
        QTest::newRow("a tall window: the split, the rest below") << 700 << 296;
        QTest::newRow("the lower area at its minimum") << 376 << 296;
        QTest::newRow("the lower area would go below it: the upper gives way") << 350 << 270;
        QTest::newRow("both at their minimums") << 280 << 200;
        QTest::newRow("less than both: the calendars keep theirs") << 250 << 200;
    }

    void theLowerAreaTakesWhatTheWindowGainsOrLoses()
    {
        QFETCH(int, room);
        QTEST(layoutrules::upperAreaHeight(296, room, 200, 80), "upper");
    }

    // Where a large calendar font leaves the days no room, the navigator and the weekday
    // header give way whatever the pixel counts say.
    void theNavigatorAndTheHeaderNeedRoomForTheFont()
    {
        const layoutrules::CalendarHeight h = layoutrules::calendarHeight(239, 20, false);
        QCOMPARE(h.height, 117);
        QVERIFY(!h.navigatorShown);
        const layoutrules::CalendarLook look = layoutrules::calendarLook(200, 12, false);
        QVERIFY(!look.weekdayHeader);
        QVERIFY(!look.bevel);
        QVERIFY(look.labels);
        QCOMPARE(look.cellFontSize, 12);
    }

    void calendarWidthSharesAColumn()
    {
        QCOMPARE(layoutrules::calendarWidth(314), 156);
        QCOMPARE(layoutrules::calendarWidth(315), 157);
    }

    void whatTakesTheRest()
    {
        QCOMPARE(layoutrules::whatColumnWidth(400, 208, 0, 3), 184);
        QCOMPARE(layoutrules::whatColumnWidth(400, 208, 16, 3), 168);
    }

    void headingFontShrinksToFit_data()
    {
        QTest::addColumn<int>("available");
        QTest::addColumn<int>("size");
        // 30 pixels a point.
        QTest::newRow("fits at its own size") << 600 << 20;
        QTest::newRow("one size smaller") << 590 << 19;
        QTest::newRow("down to the smallest") << 300 << 10;
        QTest::newRow("no size fits: the smallest, elided") << 100 << 10;
    }

    void headingFontShrinksToFit()
    {
        QFETCH(int, available);
        QTEST(layoutrules::fittingPointSize(20, 10, available, [](int size) { return size * 30; }), "size");
    }
};

QTEST_GUILESS_MAIN(TestLayoutRules)
#include "tst_layoutrules.moc"
