#include "editing/timebar.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "text/regional.h"
#include "text/timebar.h"
#include "widgets/analogclock.h"

#include "widgets/timefield.h"
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("no control %s", name);
    return found;
}

const QColor kAqua(0x00, 0xff, 0xff);
const QColor kYellow(0xff, 0xff, 0x00);
constexpr int kBarY = 20; // half-way down the bar

} // namespace

class TestTimePopup : public QObject
{
    Q_OBJECT

    FixedClock m_clock { QDateTime(QDate(2000, 3, 15), QTime(14, 37, 20)) };
    RecordingDialogs m_dialogs;
    std::unique_ptr<TfrmTimePopup> m_picker;

    // A picker shown on a time, as the editor opens it.
    TfrmTimePopup &open(QTime time)
    {
        m_picker = std::make_unique<TfrmTimePopup>(m_clock, RegionalSettings::englishUS(), m_dialogs);
        m_picker->settime(time);
        m_picker->show();
        if (!QTest::qWaitForWindowExposed(m_picker.get()))
            qWarning("picker not shown");
        return *m_picker;
    }

    QWidget *bar() const { return child<QWidget>(m_picker.get(), "Image1"); }
    QTime field() const { return child<TimeField>(m_picker.get(), "dtTime")->time(); }
    QLabel *floating() const { return child<QLabel>(m_picker.get(), "pnlTime"); }
    QTime clockShows() const { return child<AnalogClock>(m_picker.get(), "Clock1")->time(); }
    // The bar x the pointer line stands at.
    int pointerX() const { return child<QWidget>(m_picker.get(), "imLine")->x() - timebar::kBarLeft; }

private Q_SLOTS:
    void init() { m_clock.set(QDateTime(QDate(2000, 3, 15), QTime(14, 37, 20))); }
    void cleanup() { m_picker.reset(); }

    void shownOnTheGivenTime()
    {
        TfrmTimePopup &picker = open(QTime(10, 0));
        QCOMPARE(picker.windowTitle(), QStringLiteral("Time Entry"));
        QCOMPARE(bar()->geometry(), QRect(8, 8, 495, 42));
        QCOMPARE(bar()->toolTip(), QStringLiteral("Click to select time"));
        QCOMPARE(child<QPushButton>(&picker, "sbNow")->toolTip(),
            QStringLiteral("Current time - click to set clock to current time"));
        QCOMPARE(pointerX(), 207);
        QCOMPARE(clockShows(), QTime(10, 0));
        QVERIFY(!floating()->isVisible());
        QVERIFY(!picker.isDragging());
        // Both pointers and the line stand over the bar at the same x.
        QCOMPARE(child<QWidget>(&picker, "imTop")->geometry().center().x(), 8 + 207);
        QCOMPARE(child<QWidget>(&picker, "imBot")->geometry().center().x(), 8 + 207);
        QVERIFY(bar()->geometry().contains(child<QWidget>(&picker, "imBot")->geometry()));
        QVERIFY(bar()->geometry().contains(child<QWidget>(&picker, "imTop")->geometry()));
    }

    void pressAndDragOnTheBar_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QColor>("colour");

        QTest::newRow("night before 7:00") << 146 << QTime(6, 55) << "06:55a" << kAqua;
        QTest::newRow("day from 7:00") << 148 << QTime(7, 0) << "07:00a" << kYellow;
        QTest::newRow("day until 18:59") << 386 << QTime(18, 55) << "06:55p" << kYellow;
        QTest::newRow("night from 19:00") << 388 << QTime(19, 0) << "07:00p" << kAqua;
        QTest::newRow("right end wraps") << 487 << QTime(0, 0) << "12:00a" << kAqua;
    }

    void pressAndDragOnTheBar()
    {
        QFETCH(int, x);
        QFETCH(QTime, time);
        QFETCH(QString, caption);
        QFETCH(QColor, colour);
        TfrmTimePopup &picker = open(QTime(12, 0));

        QTest::mousePress(bar(), Qt::LeftButton, {}, QPoint(300, kBarY));
        QVERIFY(picker.isDragging());
        QVERIFY(floating()->isVisible());
        QCOMPARE(field(), QTime(14, 35)); // bar x 300

        QTest::mouseMove(bar(), QPoint(x, kBarY));
        QCOMPARE(field(), time);
        QCOMPARE(clockShows(), time);
        QCOMPARE(pointerX(), x); // the pointer follows the mouse, not the snapped time
        QCOMPARE(floating()->text(), caption);
        QCOMPARE(floating()->palette().color(QPalette::Window), colour);
        QVERIFY(floating()->geometry().left() >= 0 && floating()->geometry().right() < picker.width());

        QTest::mouseRelease(bar(), Qt::LeftButton, {}, QPoint(x, kBarY));
        QVERIFY(!picker.isDragging());
        QVERIFY(!floating()->isVisible());
        QCOMPARE(field(), time);
        QVERIFY(picker.isVisible());
    }

    void dragBeyondTheBarKeepsTheLastTime()
    {
        TfrmTimePopup &picker = open(QTime(12, 0));
        QTest::mousePress(bar(), Qt::LeftButton, {}, QPoint(470, kBarY));
        QCOMPARE(field(), QTime(23, 5));
        QTest::mouseMove(bar(), QPoint(494, kBarY)); // past the pointers' reach
        QCOMPARE(field(), QTime(23, 5));
        QCOMPARE(pointerX(), 470);
        QTest::mouseRelease(bar(), Qt::LeftButton, {}, QPoint(494, kBarY));
        QVERIFY(!picker.isDragging());
    }

    // The line passes its mouse on to the bar: grabbing it drags the pointer, and letting
    // go ends the drag as on the bar.
    void dragOnThePointerLine()
    {
        TfrmTimePopup &picker = open(QTime(10, 0));
        QWidget *line = child<QWidget>(&picker, "imLine");
        QTest::mousePress(line, Qt::LeftButton, {}, QPoint(0, 10));
        QVERIFY(picker.isDragging());
        QVERIFY(floating()->isVisible());
        QCOMPARE(field(), QTime(10, 0));

        QTest::mouseMove(line, QPoint(40, 10)); // 40 pixels right: bar x 247
        QCOMPARE(pointerX(), 247);
        QCOMPARE(field(), QTime(12, 0));
        QCOMPARE(floating()->text(), QStringLiteral("12:00p"));

        QTest::mouseRelease(line, Qt::LeftButton, {}, QPoint(0, 10));
        QVERIFY(!picker.isDragging());
        QVERIFY(!floating()->isVisible());
        QCOMPARE(field(), QTime(12, 0));
    }

    void doubleClickOnTheBarIsOk()
    {
        TfrmTimePopup &picker = open(QTime(12, 0));
        QTest::mouseDClick(bar(), Qt::LeftButton, {}, QPoint(207, kBarY));
        QVERIFY(!picker.isVisible());
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QCOMPARE(picker.returnedTime(), QTime(10, 0));
    }

    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << "btOK" << int(QDialog::Accepted);
        QTest::newRow("Enter") << "Enter" << int(QDialog::Accepted);
        QTest::newRow("Cancel") << "btCancel" << int(QDialog::Rejected);
        QTest::newRow("Escape") << "Escape" << int(QDialog::Rejected);
    }

    void closing()
    {
        QFETCH(QString, how);
        QFETCH(int, result);
        TfrmTimePopup &picker = open(QTime(9, 0));
        QTest::keyClick(child<TimeField>(&picker, "dtTime"), Qt::Key_PageUp);
        if (how == QLatin1String("Enter"))
            QTest::keyClick(child<TimeField>(&picker, "dtTime"), Qt::Key_Return);
        else if (how == QLatin1String("Escape"))
            QTest::keyClick(child<TimeField>(&picker, "dtTime"), Qt::Key_Escape);
        else
            QTest::mouseClick(child<QPushButton>(&picker, qPrintable(how)), Qt::LeftButton);
        QVERIFY(!picker.isVisible());
        QCOMPARE(picker.result(), result);
        QCOMPARE(picker.returnedTime(), QTime(10, 0));
    }

    // The picker takes these keys before the time field, whose own Up and Down would step
    // whichever section holds the cursor.
    void keysGoToThePicker_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QTime>("expected");

        QTest::newRow("Up at 10:59") << int(Qt::Key_Up) << QTime(10, 59) << QTime(11, 0);
        QTest::newRow("Down at 11:00") << int(Qt::Key_Down) << QTime(11, 0) << QTime(10, 59);
        QTest::newRow("Down at 0:00") << int(Qt::Key_Down) << QTime(0, 0) << QTime(0, 0);
        QTest::newRow("Page Up at 23:30") << int(Qt::Key_PageUp) << QTime(23, 30) << QTime(23, 30);
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << QTime(8, 20) << QTime(7, 20);
        QTest::newRow("Home") << int(Qt::Key_Home) << QTime(8, 20) << QTime(14, 37);
    }

    void keysGoToThePicker()
    {
        QFETCH(int, key);
        QFETCH(QTime, time);
        QFETCH(QTime, expected);
        TfrmTimePopup &picker = open(time);
        for (const char *name : { "dtTime", "sbNow", "btOK" }) {
            QWidget *target = child<QWidget>(&picker, name);
            picker.settime(time);
            QTest::keyClick(target, Qt::Key(key));
            QCOMPARE(field(), expected);
            QCOMPARE(clockShows(), expected);
            QCOMPARE(pointerX(), timebar::TimetoX(expected.hour(), expected.minute()));
            QVERIFY(picker.isVisible());
        }
    }

    void editingTheFieldMovesPointerAndClock()
    {
        TfrmTimePopup &picker = open(QTime(10, 0));
        auto *dtTime = child<TimeField>(&picker, "dtTime");
        dtTime->setFocus();
        dtTime->selectAll();
        QTest::keyClicks(dtTime, QStringLiteral("6")); // read as it stands: 6:00 AM
        QCOMPARE(field(), QTime(6, 0));
        QCOMPARE(pointerX(), timebar::TimetoX(6, 0));
        QCOMPARE(clockShows(), QTime(6, 0));
        QVERIFY(!floating()->isVisible());
    }

    void itIsCaptionFollowsTheClock()
    {
        TfrmTimePopup &picker = open(QTime(10, 0));
        auto *now = child<QPushButton>(&picker, "sbNow");
        QCOMPARE(now->text(), QStringLiteral("It is 2:37 PM"));
        m_clock.set(QDateTime(QDate(2000, 3, 15), QTime(16, 5, 40)));
        QTRY_COMPARE(now->text(), QStringLiteral("It is 4:05 PM")); // refreshed every second

        QTest::mouseClick(now, Qt::LeftButton);
        QCOMPARE(field(), QTime(16, 5));
        QCOMPARE(clockShows(), QTime(16, 5));
        QCOMPARE(pointerX(), timebar::TimetoX(16, 5));
    }

    void clockMovesOnFromTheChosenTime()
    {
        TfrmTimePopup &picker = open(QTime(10, 0));
        auto *clock1 = child<AnalogClock>(&picker, "Clock1");
        QCOMPARE(clock1->hourHandColour(), QColor(0x00, 0x00, 0x80)); // navy
        QCOMPARE(clock1->minuteHandColour(), QColor(0x00, 0x00, 0xff)); // blue
        auto *timer = child<QTimer>(&picker, "tmClock");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 60 * 1000);

        m_clock.set(m_clock.now().addSecs(125));
        picker.tmClockTimer();
        QCOMPARE(clockShows(), QTime(10, 2, 5));
        QCOMPARE(field(), QTime(10, 0)); // the chosen time stays

        picker.hide();
        QVERIFY(!timer->isActive());
    }
};

QTEST_MAIN(TestTimePopup)
#include "tst_timepopup.moc"
