// On a dark desktop palette every text the program draws stays readable: its own colours
// (the headings' navy, the selected day's white) meet the palette's dark window.
#include "appfixture.h"
#include "options/options.h"
#include "output/print.h"
#include "schedule/holiday.h"
#include "shell/mainwindow.h"
#include "store/filter.h"
#include "text/datevalue.h"
#include "widgets/colours.h"
#include "widgets/monthcalendar.h"
#include "widgets/shadowlabel.h"

#include <QApplication>
#include <QPainter>
#include <QTest>

namespace {

QPalette darkPalette()
{
    QPalette p;
    for (const auto &[role, colour] :
        { std::pair { QPalette::Window, QColor(45, 45, 48) }, std::pair { QPalette::WindowText, QColor(230, 230, 230) },
            std::pair { QPalette::Base, QColor(30, 30, 32) }, std::pair { QPalette::Text, QColor(230, 230, 230) },
            std::pair { QPalette::Button, QColor(55, 55, 60) },
            std::pair { QPalette::ButtonText, QColor(230, 230, 230) } })
        p.setColor(role, colour);
    return p;
}

// The best contrast any pixel of `image` inside `area` has with `background`: text drawn
// there reads when it is high enough.
double bestContrast(const QImage &image, const QRect &area, const QColor &background)
{
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (const QColor pixel = image.pixelColor(x, y); pixel.alpha() == 255) // see-through: not drawn
                best = std::max(best, readable::contrast(pixel, background));
    return best;
}

} // namespace

class TestDarkPalette : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setPalette(darkPalette()); }

    // The heading colours of the program on the dark window: lightened until they read.
    void headingsRead_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::newRow("navy") << QColor(0, 0, 128);
        QTest::newRow("blue") << QColor(0, 0, 255);
        QTest::newRow("red") << QColor(255, 0, 0);
        QTest::newRow("black") << QColor(Qt::black);
    }
    void headingsRead()
    {
        QFETCH(QColor, colour);
        ShadowLabel label(QStringLiteral("Thu 12/10/2026 Today"));
        label.setAutoFillBackground(true);
        label.setShadowDepth(0);
        label.setTextColour(colour);
        label.resize(label.sizeHint());
        const QImage image = label.grab().toImage();
        QVERIFY(bestContrast(image, image.rect(), darkPalette().color(QPalette::Window)) >= 3);
    }

    // The selected day's fill is the user's colour (white by default): its number reads on it.
    void theSelectedDayReads()
    {
        MonthCalendar calendar;
        calendar.setDate(QDate(2026, 12, 10));
        calendar.setActive(true);
        calendar.setSelectedDayColour(Qt::white);
        calendar.resize(300, 200);
        const QImage image = calendar.grab().toImage();
        // The cell is where the fill is: every white pixel of the grab.
        QRect cell;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == QColor(Qt::white))
                    cell |= QRect(x, y, 1, 1);
        QVERIFY(!cell.isEmpty());
        QVERIFY(bestContrast(image, cell, Qt::white) >= 4.5);
    }

    // The main window and the dialogs as built on the dark palette: no control has a text
    // colour (set by us, or left to the palette) that does not read on its background, and
    // every heading drawn by us reads on the window behind it.
    void windowsRead()
    {
        const QDate today(2026, 12, 10);
        AppFixture app(QDateTime(today, QTime(10, 0)));
        app.loadDocument();
        const qint64 day = datevalue::dayNumber(today);
        app.document->insertDirectTask(day, QStringLiteral("9:00 AM"), QStringLiteral("Work"),
            QStringLiteral("Team meeting"), QStringLiteral("No"), QStringLiteral("Yes"));
        app.document->insertDirectTask(day + 1, QStringLiteral("9:00 AM"), QStringLiteral("Work"),
            QStringLiteral("Review"), QStringLiteral("Yes"), QStringLiteral("No"));
        app.document->endDirectBatch();
        TfrmMain window(*app.document, app.services());
        TfrmOptions options(*app.document, app.services());
        TfrmFilter filter(*app.document, app.dialogs, app.help);
        TfrmPrint print(*app.document, app.dialogs, today);
        TfrmHoliday holidays(*app.document, app.services());

        QStringList unreadable;
        for (QWidget *top : std::initializer_list<QWidget *> { &window, &options, &filter, &print, &holidays }) {
            top->show();
            QVERIFY(QTest::qWaitForWindowExposed(top));
            const QList<QWidget *> widgets = top->findChildren<QWidget *>() << top;
            for (QWidget *widget : widgets) {
                if (!widget->isVisible())
                    continue;
                const QString name = QStringLiteral("%1 %2").arg(
                    QLatin1String(widget->metaObject()->className()), widget->objectName());
                const QPalette palette = widget->palette();
                for (const auto &[text, background] : { std::pair { QPalette::WindowText, QPalette::Window },
                         std::pair { QPalette::Text, QPalette::Base },
                         std::pair { QPalette::ButtonText, QPalette::Button } })
                    if (readable::contrast(palette.color(text), palette.color(background)) < 3)
                        unreadable << name + QStringLiteral(" palette");
                if (auto *label = qobject_cast<ShadowLabel *>(widget); label && !label->text().isEmpty()) {
                    // The text alone: its shadow drawn in the background's colour.
                    const QColor behind = palette.color(label->backgroundRole());
                    const QColor shadow = label->shadowColour();
                    label->setShadowColour(behind);
                    const QImage image = label->grab().toImage();
                    label->setShadowColour(shadow);
                    if (bestContrast(image, image.rect(), behind) < 3)
                        unreadable << name + QStringLiteral(" text");
                }
            }
        }
        QCOMPARE(unreadable, QStringList());
    }

    // Toolbar icons in dark ink get light ink; their colours stay.
    void darkInkIsLightened()
    {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            painter.fillRect(0, 0, 8, 16, Qt::black);
            painter.fillRect(8, 0, 8, 16, QColor(220, 0, 0));
        }
        const QImage shown
            = readable::icon(QIcon(pixmap), darkPalette().color(QPalette::Window)).pixmap(16, 16).toImage();
        QVERIFY(readable::contrast(shown.pixelColor(2, 8), darkPalette().color(QPalette::Window)) >= 3);
        QCOMPARE(shown.pixelColor(12, 8), QColor(220, 0, 0));
        QCOMPARE(shown.pixelColor(2, 8).alpha(), 255);
        // On a light window the icon is the icon.
        const QImage light = readable::icon(QIcon(pixmap), Qt::white).pixmap(16, 16).toImage();
        QCOMPARE(light.pixelColor(2, 8), QColor(Qt::black));
    }
};

QTEST_MAIN(TestDarkPalette)
#include "tst_darkpalette.moc"
