#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"
#include "shell/about.h"
#include "widgets/analogclock.h"

namespace {

const QString kAddress = QStringLiteral("https://www.veltrane.example/tallyday");

QDateTime at(int h, int min, int s = 0)
{
    return QDateTime(QDate(2024, 1, 15), QTime(h, min, s), Qt::UTC);
}

// The text a rich-text label shows, without its markup.
QString shownText(const QLabel *label)
{
    QTextDocument document;
    document.setHtml(label->text());
    return document.toPlainText();
}

// True when the pixel is dark enough to belong to a hand or a mark, not to the light face.
bool isInk(const QImage &image, QPoint point)
{
    return qGray(image.pixel(point)) < 128;
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private:
    FixedClock m_clock { at(10, 10) };
    RecordingDialogs m_dialogs;
    RecordingShellOpener m_opener;

    template <typename T> static T *child(const QWidget &parent, const char *name)
    {
        T *found = parent.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

private Q_SLOTS:
    void init()
    {
        m_clock.set(at(10, 10));
        m_dialogs = RecordingDialogs();
        m_opener.opened.clear();
        m_opener.succeed = true;
    }

    void showsItsTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("product") << "lblTitle"
                                 << "Tallyday";
        QTest::newRow("version") << "lblVersion"
                                 << "Version 2.3";
        QTest::newRow("maker") << "lblMaker"
                               << "Veltrane Corporation";
        QTest::newRow("two spaces after the question")
            << "lblLatest"
            << "Do you have the latest version?  Click the link to find out.";
    }

    void showsItsTexts()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        TfrmAbout about(m_clock, m_dialogs, m_opener);
        QCOMPARE(about.windowTitle(), QStringLiteral("How to contact us"));
        auto *label = about.findChild<QLabel *>(name);
        QVERIFY(label);
        QCOMPARE(label->text(), text);
    }

    void linkShowsTheAddressUnderTheQuestion()
    {
        TfrmAbout about(m_clock, m_dialogs, m_opener);
        about.show();
        auto *link = child<QLabel>(about, "lblLink");
        auto *question = child<QLabel>(about, "lblLatest");
        QCOMPARE(shownText(link), kAddress);
        QVERIFY(link->y() >= question->geometry().bottom());
        QVERIFY(link->isVisible());
    }

    // Nothing is clipped: every line gets at least the room it asks for and stays on the
    // panel, and the clocks stand in the upper corners on either side of the title.
    void everythingFitsOnThePanel()
    {
        TfrmAbout about(m_clock, m_dialogs, m_opener);
        about.show();
        auto *panel = child<QFrame>(about, "pnlAbout");
        QVERIFY(panel->frameShadow() != QFrame::Plain);
        for (const char *name : { "lblTitle", "lblVersion", "lblMaker", "lblLatest", "lblLink" }) {
            auto *label = child<QLabel>(about, name);
            QVERIFY2(label->width() >= label->sizeHint().width(), name);
            QVERIFY2(label->height() >= label->sizeHint().height(), name);
            QVERIFY2(panel->contentsRect().contains(label->geometry()), name);
        }
        auto *left = child<AnalogClock>(about, "clkLeft");
        auto *right = child<AnalogClock>(about, "clkRight");
        auto *title = child<QLabel>(about, "lblTitle");
        QVERIFY(panel->contentsRect().contains(left->geometry()));
        QVERIFY(panel->contentsRect().contains(right->geometry()));
        QVERIFY(left->geometry().right() < title->geometry().left());
        QVERIFY(right->geometry().left() > title->geometry().right());
        QVERIFY(left->y() < panel->height() / 4);
        QVERIFY(right->y() < panel->height() / 4);
        QVERIFY(left->x() < panel->width() / 4);
        QVERIFY(right->geometry().right() > panel->width() * 3 / 4);
        QVERIFY(!panel->geometry().intersects(child<QPushButton>(about, "btClose")->geometry()));
    }

    void backgroundIsAGradientFromBlue()
    {
        TfrmAbout about(m_clock, m_dialogs, m_opener);
        about.show();
        const QImage image = about.grab().toImage();
        const QColor top = image.pixelColor(2, 2);
        const QColor bottom = image.pixelColor(2, image.height() - 3);
        QVERIFY2(top.blue() > top.red() + 60 && top.blue() > top.green() + 60, qPrintable(top.name()));
        QVERIFY(top != bottom);
        // Vertical: the colour does not change along a row.
        QCOMPARE(image.pixelColor(image.width() - 3, 2), top);
    }

    void isFixedAndCentredOnTheScreen()
    {
        // An owner away from the middle: the box still stands in the middle of the screen.
        QWidget owner;
        owner.setGeometry(5, 5, 120, 80);
        owner.show();
        TfrmAbout about(m_clock, m_dialogs, m_opener, &owner);
        about.show();
        QCOMPARE(about.minimumSize(), about.maximumSize());
        const QPoint centre = about.screen()->availableGeometry().center();
        QVERIFY2((about.frameGeometry().center() - centre).manhattanLength() <= 2,
            qPrintable(QStringLiteral("%1,%2")
                           .arg(about.frameGeometry().center().x())
                           .arg(about.frameGeometry().center().y())));
    }

    void closeIsTheOnlyButtonCentredAndCloses()
    {
        TfrmAbout about(m_clock, m_dialogs, m_opener);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        const QList<QPushButton *> buttons = about.findChildren<QPushButton *>();
        QCOMPARE(buttons.size(), 1);
        QPushButton *close = buttons.first();
        QCOMPARE(close->objectName(), QStringLiteral("btClose"));
        QCOMPARE(close->text(), QStringLiteral("Close"));
        QCOMPARE(close->x(), (about.width() - close->width()) / 2);
        QVERIFY(about.rect().contains(close->geometry()));

        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    void clocksShowTheTimeAtShowing_data()
    {
        QTest::addColumn<QDateTime>("created");
        QTest::addColumn<QDateTime>("shown");
        QTest::newRow("same time") << at(10, 10) << at(10, 10);
        // Shown later than created: the clocks must not keep the time of creation.
        QTest::newRow("later") << at(8, 0) << at(9, 37);
        QTest::newRow("midnight") << at(23, 59, 30) << at(0, 0);
        QTest::newRow("noon") << at(11, 58) << at(12, 0);
    }

    void clocksShowTheTimeAtShowing()
    {
        QFETCH(QDateTime, created);
        QFETCH(QDateTime, shown);
        m_clock.set(created);
        TfrmAbout about(m_clock, m_dialogs, m_opener);
        m_clock.set(shown);
        about.show();
        QCOMPARE(child<AnalogClock>(about, "clkLeft")->time(), shown.time());
        QCOMPARE(child<AnalogClock>(about, "clkRight")->time(), shown.time());
    }

    void clocksFollowTheMinuteTimer()
    {
        TfrmAbout about(m_clock, m_dialogs, m_opener);
        auto *timer = child<QTimer>(about, "tmClock");
        QVERIFY(!timer->isActive());
        about.show();
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 60 * 1000);

        for (const QDateTime &next : { at(10, 11), at(11, 12), at(0, 1) }) {
            m_clock.set(next);
            QMetaObject::invokeMethod(timer, "timeout");
            QCOMPARE(child<AnalogClock>(about, "clkLeft")->time(), next.time());
            QCOMPARE(child<AnalogClock>(about, "clkRight")->time(), next.time());
        }

        // No ticking while the box is hidden; showing it again starts over with the time.
        about.hide();
        QVERIFY(!timer->isActive());
        m_clock.set(at(15, 45));
        about.show();
        QVERIFY(timer->isActive());
        QCOMPARE(child<AnalogClock>(about, "clkLeft")->time(), QTime(15, 45));
    }

    void linkClickOpensTheHomePage_data()
    {
        QTest::addColumn<bool>("browserStarts");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("browser starts") << true << QStringList();
        QTest::newRow("no browser") << false
                                    << QStringList { QStringLiteral("Couldn't open web browser for home page") };
    }

    void linkClickOpensTheHomePage()
    {
        QFETCH(bool, browserStarts);
        QFETCH(QStringList, errors);
        m_opener.succeed = browserStarts;
        TfrmAbout about(m_clock, m_dialogs, m_opener);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        auto *link = child<QLabel>(about, "lblLink");
        QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
        QCOMPARE(m_opener.opened, QStringList { kAddress });
        QCOMPARE(m_dialogs.errors, errors);
        QVERIFY(about.isVisible()); // the box stays up either way
    }

    void clockFaceDrawsHourAndMinuteHands_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QList<QPoint>>("ink"); // offsets from the centre that a hand covers
        QTest::addColumn<QList<QPoint>>("blank"); // offsets where no hand may be

        // Face of 200 pixels: hour hand about 44 long, minute hand about 68.
        QTest::newRow("three o'clock") << QTime(3, 0) << QList<QPoint> { { 35, 0 }, { 0, -55 } }
                                       << QList<QPoint> { { 0, 40 }, { -40, 0 }, { 0, 55 } };
        QTest::newRow("half past nine") << QTime(9, 30) << QList<QPoint> { { 0, 55 }, { -34, -9 } }
                                        << QList<QPoint> { { 0, -55 }, { 35, 0 } };
        // Thirty seconds past: a second hand would point down.
        QTest::newRow("no second hand") << QTime(12, 0, 30) << QList<QPoint> { { 0, -35 }, { 3, -55 } }
                                        << QList<QPoint> { { 0, 40 }, { 0, 55 }, { 40, 0 }, { -40, 0 } };
    }

    void clockFaceDrawsHourAndMinuteHands()
    {
        QFETCH(QTime, time);
        QFETCH(QList<QPoint>, ink);
        QFETCH(QList<QPoint>, blank);
        AnalogClock clock;
        clock.resize(200, 200);
        clock.setTime(time);
        QCOMPARE(clock.time(), time);
        const QImage image = clock.grab().toImage();
        const QPoint centre(100, 100);
        for (QPoint offset : ink)
            QVERIFY2(isInk(image, centre + offset),
                qPrintable(QStringLiteral("no hand at %1,%2").arg(offset.x()).arg(offset.y())));
        for (QPoint offset : blank)
            QVERIFY2(!isInk(image, centre + offset),
                qPrintable(QStringLiteral("a hand at %1,%2").arg(offset.x()).arg(offset.y())));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
