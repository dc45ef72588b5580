// At a scale factor of 2 the widgets the program draws itself paint at the screen's full
// resolution: a picture of them is not a blown-up picture of their size at scale 1.
#include "editing/timebar.h"
#include "widgets/analogclock.h"
#include "widgets/monthcalendar.h"
#include "widgets/shadowlabel.h"

#include <QApplication>
#include <QTest>

#include <functional>
#include <memory>

class TestHighDpi : public QObject
{
    Q_OBJECT

public:
    static void initMain() { qputenv("QT_SCALE_FACTOR", "2"); }

private Q_SLOTS:
    void drawnWidgetsAreSharp_data()
    {
        QTest::addColumn<std::function<QWidget *()>>("make");
        QTest::newRow("month calendar") << std::function<QWidget *()>([] {
            auto *calendar = new MonthCalendar;
            calendar->setDate(QDate(2026, 12, 10));
            calendar->setActive(true);
            return calendar;
        });
        QTest::newRow("shadow label") << std::function<QWidget *()>([] {
            auto *label = new ShadowLabel(QStringLiteral("Thu 12/10/2026 Today"));
            label->setTextColour(Qt::blue);
            return label;
        });
        QTest::newRow("clock") << std::function<QWidget *()>([] { return new AnalogClock; });
        QTest::newRow("time bar") << std::function<QWidget *()>([] { return new TimeBar; });
    }
    void drawnWidgetsAreSharp()
    {
        QFETCH(std::function<QWidget *()>, make);
        std::unique_ptr<QWidget> widget(make());
        widget->resize(widget->sizeHint().expandedTo(QSize(120, 60)));
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
        QCOMPARE(widget->devicePixelRatio(), 2.0);

        const QImage sharp = widget->grab().toImage();
        QCOMPARE(sharp.size(), widget->size() * 2);
        // The same widget painted at scale 1, then blown up: what a cache at the wrong
        // scale would show.
        QImage small(widget->size(), QImage::Format_ARGB32_Premultiplied);
        small.setDevicePixelRatio(1);
        small.fill(Qt::transparent);
        widget->render(&small);
        const QImage blownUp = small.scaled(sharp.size()).convertToFormat(sharp.format());
        QVERIFY(sharp != blownUp);
    }
};

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
