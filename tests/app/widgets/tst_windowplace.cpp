#include "appfixture.h"
#include "options/options.h"
#include "platform/qtdialogs.h"
#include "platform/qthelp.h"
#include "shell/helpwindow.h"
#include "shell/resources.h"
#include "widgets/windowplace.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Windows open inside the available area of their screen. The offscreen screens here have
// the fixed sizes given in main() below, and windows on them have frames.
class TestWindowPlace : public QObject
{
    Q_OBJECT

    static QRect screenArea(const QPoint &at)
    {
        const QScreen *screen = QGuiApplication::screenAt(at);
        return screen ? screen->availableGeometry() : QRect();
    }
    static QString text(const QRect &r)
    {
        return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }

private Q_SLOTS:
    void initTestCase()
    {
        initAppResources();
        QCOMPARE(screenArea(QPoint(10, 10)), QRect(0, 0, 1280, 900));
        QCOMPARE(screenArea(QPoint(1300, 10)), QRect(1280, 0, 637, 469));
    }

    void fitted_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRect>("fitted");
        const QRect screen(0, 0, 1280, 900);
        QTest::newRow("inside stays") << QRect(100, 100, 300, 200) << screen << QRect(100, 100, 300, 200);
        QTest::newRow("below the bottom edge") << QRect(300, 315, 680, 620) << screen << QRect(300, 280, 680, 620);
        QTest::newRow("above and left") << QRect(-40, -10, 300, 200) << screen << QRect(0, 0, 300, 200);
        QTest::newRow("past the right edge") << QRect(1200, 50, 300, 200) << screen << QRect(980, 50, 300, 200);
        QTest::newRow("taller than a small screen")
            << QRect(20, 30, 680, 620) << QRect(0, 0, 637, 469) << QRect(0, 0, 637, 469);
        QTest::newRow("area below a top panel")
            << QRect(10, 0, 300, 200) << QRect(0, 28, 1280, 872) << QRect(10, 28, 300, 200);
        QTest::newRow("on a second screen")
            << QRect(2500, 800, 300, 200) << QRect(1280, 0, 1280, 1024) << QRect(2260, 800, 300, 200);
    }
    void fitted()
    {
        QFETCH(QRect, frame);
        QFETCH(QRect, area);
        QFETCH(QRect, fitted);
        QCOMPARE(windowplace::fitted(frame, area), fitted);
    }

    // F1 over a main window: the help window opens over it, whole on the screen, though it
    // is taller than the room below the middle of the main window, or than the screen.
    void helpOpensInsideTheScreen_data()
    {
        QTest::addColumn<QRect>("mainWindow");
        QTest::newRow("low on a 1280x900 screen") << QRect(320, 400, 640, 480);
        QTest::newRow("on a 637x469 screen") << QRect(1290, 20, 600, 400);
    }
    void helpOpensInsideTheScreen()
    {
        QFETCH(QRect, mainWindow);
        QWidget main;
        main.setWindowTitle(QStringLiteral("main"));
        main.setGeometry(mainWindow);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QtDialogs dialogs(&main);
        QtHelp help(dialogs);
        help.showTopic(100);
        HelpWindow *window = help.window();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QRect frame = window->frameGeometry();
        const QRect area = screenArea(mainWindow.center());
        QVERIFY2(area.contains(frame), qPrintable(text(frame) + QStringLiteral(" outside ") + text(area)));
        QVERIFY(frame.height() > window->height()); // the frame counted
        if (frame.width() < area.width())
            QCOMPARE(frame.center().x(), main.frameGeometry().center().x());
    }

    // "Program Options" (fixed in size) fits whole on a 637x469 screen with the title bar
    // a window manager adds, and offers no minimise or maximise box.
    void optionsFitASmallScreen()
    {
        AppFixture app;
        app.loadDocument();
        QWidget main;
        main.setGeometry(1290, 20, 600, 400);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        TfrmOptions options(*app.document, app.services(), &main);
        options.show();
        QVERIFY(QTest::qWaitForWindowExposed(&options));
        const QRect area = screenArea(main.geometry().center());
        QVERIFY2(area.contains(options.frameGeometry()), qPrintable(text(options.frameGeometry())));
        const int titleBar = options.style()->pixelMetric(QStyle::PM_TitleBarHeight);
        QVERIFY2(options.frameGeometry().height() + titleBar <= area.height(),
            qPrintable(QStringLiteral("%1 px tall").arg(options.frameGeometry().height() + titleBar)));
        const Qt::WindowFlags flags = options.windowFlags();
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    }
};

// Offscreen screens of a fixed size, with window frames.
int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(R"({"windowFrameMargins": true,
                          "screens": [{"name": "large", "x": 0, "y": 0, "width": 1280, "height": 900},
                                      {"name": "small", "x": 1280, "y": 0, "width": 637, "height": 469}]})")
            < 0)
        return 1;
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    TestWindowPlace test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowplace.moc"
