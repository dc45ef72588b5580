// At a scale factor of 2 the widgets the program draws itself paint at the screen's full
// resolution: a picture of them is not a blown-up picture of their size at scale 1.
#include "editing/timebar.h"
#include "options/color.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "shell/mainactions.h"
#include "widgets/analogclock.h"
#include "widgets/colours.h"
#include "widgets/monthcalendar.h"
#include "widgets/shadowlabel.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
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

    // Toolbar icons are drawn at the screen's resolution, also with their ink lightened for a
    // dark window: a 16-point icon is 32 pixels wide, not a smaller bitmap blown up.
    void toolbarIconsAreSharp()
    {
        const QStringList names = QDir(QStringLiteral(":/icons")).entryList({ QStringLiteral("*.svg") });
        QVERIFY(names.size() > 20);
        for (QString name : names) {
            name.chop(4);
            const QIcon shown = MainActions::icon(name);
            QCOMPARE(shown.pixmap(QSize(16, 16)).size(), QSize(32, 32));
            QCOMPARE(readable::icon(shown, QColor(40, 40, 40)).pixmap(QSize(16, 16)).size(), QSize(32, 32));
        }
    }

    // The little pictures the program draws for its dialogs: the time popup's sun and moon,
    // the colour picker's swatches.
    void drawnPicturesAreSharp()
    {
        const FixedClock clock(QDateTime(QDate(2026, 12, 10), QTime(10, 0)));
        const RegionalSettings regional = RegionalSettings::englishUS();
        RecordingDialogs dialogs;
        TfrmTimePopup popup(clock, regional, dialogs);
        for (const char *name : { "imDay", "imNight" })
            QCOMPARE(popup.findChild<QLabel *>(QLatin1String(name))->pixmap().devicePixelRatio(), 2.0);
        ColourPicker picker;
        QCOMPARE(picker.itemIcon(0).pixmap(picker.iconSize()).size(), picker.iconSize() * 2);
    }
};

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
