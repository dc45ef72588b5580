#include "text/timebar.h"

#include <QTest>

using namespace timebar;

Q_DECLARE_METATYPE(timebar::TimeKey)

class TestTimeBar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void xToTime_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<QTime>("time");

        QTest::newRow("midnight at the left end") << 8 << QTime(0, 0);
        QTest::newRow("left of midnight") << 7 << QTime(0, 0);
        QTest::newRow("far left") << -40 << QTime(0, 0);
        QTest::newRow("first step") << 9 << QTime(0, 5); // minute 3
        QTest::newRow("10:00's pointer") << 207 << QTime(10, 0);
        QTest::newRow("10:05's pointer") << 208 << QTime(10, 0);
        QTest::newRow("minute 18 snaps down") << 8 + 206 << QTime(10, 15);
        QTest::newRow("minute 21 snaps down") << 8 + 207 << QTime(10, 20);
        QTest::newRow("minute 27 snaps up") << 8 + 209 << QTime(10, 30);
        QTest::newRow("minute 57 is the next hour") << 8 + 219 << QTime(11, 0);
        QTest::newRow("last five minutes") << 486 << QTime(23, 55);
        QTest::newRow("right end wraps") << 487 << QTime(0, 0);
        QTest::newRow("hour 24 wraps") << 488 << QTime(0, 0);
    }

    void xToTime()
    {
        QFETCH(int, x);
        QFETCH(QTime, time);
        QCOMPARE(Xtotime(x), time);
    }

    void timeToX_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<int>("x");

        QTest::newRow("midnight") << QTime(0, 0) << 7;
        QTest::newRow("10:00") << QTime(10, 0) << 207;
        QTest::newRow("10:05") << QTime(10, 5) << 208;
        QTest::newRow("23:59") << QTime(23, 59) << 486;
    }

    void timeToX()
    {
        QFETCH(QTime, time);
        QFETCH(int, x);
        QCOMPARE(TimetoX(time.hour(), time.minute()), x);
    }

    void pointerPlacement_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<bool>("placed");
        QTest::addColumn<int>("tipX"); // in the picker

        QTest::newRow("left of the reach") << 6 << false << 0;
        QTest::newRow("first place") << 7 << true << 15;
        QTest::newRow("10:00") << 207 << true << 215;
        QTest::newRow("last place") << 487 << true << 495;
        QTest::newRow("right of the reach") << 488 << false << 0;
    }

    void pointerPlacement()
    {
        QFETCH(int, x);
        QFETCH(bool, placed);
        QFETCH(int, tipX);
        const auto place = timebar::pointerPlacement(x);
        QCOMPARE(place.has_value(), placed);
        if (!placed)
            return;
        // The tips and the line stand over bar x; the triangles sit on the bar's edges and
        // the line runs between them.
        QCOMPARE(place->top, QRect(tipX - 5, kBarTop, 11, 6));
        QCOMPARE(place->bottom, QRect(tipX - 5, kBarTop + kBarHeight - 6, 11, 6));
        QCOMPARE(place->line, QRect(tipX, kBarTop + 5, 1, 32));
        QCOMPARE(place->floating.size(), QSize(kFloatingWidth, kFloatingHeight));
        QCOMPARE(place->floating.top(), kFloatingTop);
    }

    void floatingTimeStaysInThePicker_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("left");

        QTest::newRow("centred under the line") << 207 << 215 - 25;
        QTest::newRow("left end") << 7 << 0;
        QTest::newRow("right end") << 487 << kPickerWidth - kFloatingWidth;
    }

    void floatingTimeStaysInThePicker()
    {
        QFETCH(int, x);
        QFETCH(int, left);
        QCOMPARE(timebar::pointerPlacement(x)->floating.left(), left);
    }

    void keys_data()
    {
        QTest::addColumn<TimeKey>("key");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QTime>("expected");

        QTest::newRow("Up") << TimeKey::Up << QTime(10, 30) << QTime(10, 31);
        QTest::newRow("Up at minute 59") << TimeKey::Up << QTime(10, 59) << QTime(11, 0);
        QTest::newRow("Up at 23:59") << TimeKey::Up << QTime(23, 59) << QTime(23, 59);
        QTest::newRow("Up drops seconds") << TimeKey::Up << QTime(10, 30, 45) << QTime(10, 31);
        QTest::newRow("Down") << TimeKey::Down << QTime(10, 30) << QTime(10, 29);
        QTest::newRow("Down at minute 0") << TimeKey::Down << QTime(11, 0) << QTime(10, 59);
        QTest::newRow("Down at 0:00") << TimeKey::Down << QTime(0, 0) << QTime(0, 0);
        QTest::newRow("Page Up") << TimeKey::PageUp << QTime(10, 15) << QTime(11, 15);
        QTest::newRow("Page Up at 23:30") << TimeKey::PageUp << QTime(23, 30) << QTime(23, 30);
        QTest::newRow("Page Down") << TimeKey::PageDown << QTime(1, 45) << QTime(0, 45);
        QTest::newRow("Page Down at 0:45") << TimeKey::PageDown << QTime(0, 45) << QTime(0, 45);
        QTest::newRow("Page Down at limit drops seconds") << TimeKey::PageDown << QTime(0, 45, 10) << QTime(0, 45);
        QTest::newRow("Home") << TimeKey::Home << QTime(10, 30) << QTime(14, 37);
    }

    void keys()
    {
        QFETCH(TimeKey, key);
        QFETCH(QTime, time);
        QFETCH(QTime, expected);
        QCOMPARE(applyTimeKey(key, time, QTime(14, 37, 20)), expected);
    }
};

QTEST_GUILESS_MAIN(TestTimeBar)
#include "tst_timebar.moc"
