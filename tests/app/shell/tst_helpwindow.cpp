#include <QApplication>
#include <QDataStream>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QtTest>

#include "platform/qtdialogs.h"
#include "platform/qthelp.h"
#include "shell/helpwindow.h"
#include "shell/resources.h"

namespace {

struct Links
{
    QStringList hrefs; // every link target of the page, as written
    QSet<QString> anchors; // every anchor name the page defines
};

Links linksOf(const QTextDocument &document)
{
    Links links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.anchorHref().isEmpty())
                links.hrefs << format.anchorHref();
            for (const QString &name : format.anchorNames())
                links.anchors.insert(name);
        }
    }
    return links;
}

QString resourceText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QByteArray resourceBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<HelpWindow *> helpWindows()
{
    QList<HelpWindow *> found;
    for (QWidget *widget : QApplication::allWidgets()) {
        if (auto *window = qobject_cast<HelpWindow *>(widget))
            found << window;
    }
    return found;
}

} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initAppResources(); }

    void topicOpensItsPage_data()
    {
        QTest::addColumn<int>("topic");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("phrases"); // what a reader of that topic looks for

        QTest::newRow("main window") << 100 << "main.html"
                                     << QStringList { "calendars", "notes pane", "To-do", "Alarms", "system tray",
                                            "Add new task", "Ctrl+Ins" };
        QTest::newRow("filters") << 200 << "filters.html"
                                 << QStringList { "Categories", "All", "None", "Done items", "Not done items",
                                        "FILTERS ON" };
        QTest::newRow("holidays") << 300 << "holidays.html"
                                  << QStringList { "fixed date", "first Monday", "Last", "International", "Import" };
        QTest::newRow("options") << 400 << "options.html"
                                 << QStringList { "Screen Appearance", "Alarm settings", "Miscellaneous",
                                        "Default category", "Start in system tray", "popup summary" };
        QTest::newRow("unknown topic") << 999 << "main.html" << QStringList { "calendars" };
    }

    void topicOpensItsPage()
    {
        QFETCH(int, topic);
        QFETCH(QString, page);
        QFETCH(QStringList, phrases);
        HelpWindow window;
        window.openTopic(topic);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tallyday Help"));
        QCOMPARE(window.browser()->source(), QUrl(QStringLiteral("qrc:/help/") + page));
        const QString text = window.browser()->toPlainText();
        QVERIFY2(text.size() > 2000, qPrintable(QString::number(text.size())));
        for (const QString &phrase : phrases)
            QVERIFY2(text.contains(phrase), qPrintable(phrase));
    }

    // Every page starts with the same contents line, and no link of any page leads nowhere.
    void pagesLinkTheTopicsAndEveryLinkArrives_data()
    {
        QTest::addColumn<int>("topic");
        for (int topic : { 100, 200, 300, 400 })
            QTest::addRow("%d", topic) << topic;
    }

    void pagesLinkTheTopicsAndEveryLinkArrives()
    {
        QFETCH(int, topic);
        HelpWindow window;
        window.openTopic(topic);
        const QUrl source = window.browser()->source();
        const Links links = linksOf(*window.browser()->document());
        for (const char *page : { "main.html", "filters.html", "holidays.html", "options.html" })
            QVERIFY2(links.hrefs.contains(QLatin1String(page)), page);

        for (const QString &href : links.hrefs) {
            const QUrl target = source.resolved(QUrl(href));
            QCOMPARE(target.scheme(), QStringLiteral("qrc"));
            const QString html = resourceText(QLatin1Char(':') + target.path());
            QVERIFY2(!html.isEmpty(), qPrintable(href));
            if (target.hasFragment()) {
                QTextDocument document;
                document.setHtml(html);
                QVERIFY2(linksOf(document).anchors.contains(target.fragment()), qPrintable(href));
            }
        }
    }

    void backAndForwardRetraceTheTopics()
    {
        HelpWindow window;
        auto *back = window.findChild<QToolButton *>(QStringLiteral("btBack"));
        auto *forward = window.findChild<QToolButton *>(QStringLiteral("btForward"));
        auto *contents = window.findChild<QToolButton *>(QStringLiteral("btContents"));
        QVERIFY(back && forward && contents);
        window.openTopic(300);
        QVERIFY(!back->isEnabled());
        window.openTopic(400);
        QVERIFY(back->isEnabled());
        QVERIFY(!forward->isEnabled());

        back->click();
        QCOMPARE(window.browser()->source().fileName(), QStringLiteral("holidays.html"));
        QVERIFY(forward->isEnabled());
        forward->click();
        QCOMPARE(window.browser()->source().fileName(), QStringLiteral("options.html"));
        contents->click();
        QCOMPARE(window.browser()->source().fileName(), QStringLiteral("main.html"));
    }

    void showTopicReusesOneWindow()
    {
        QVERIFY(helpWindows().isEmpty());
        QtDialogs owners;
        QtHelp help(owners);
        help.showTopic(100);
        help.showTopic(300);
        const QList<HelpWindow *> windows = helpWindows();
        QCOMPARE(windows.size(), 1);
        QVERIFY(windows.first()->isVisible());
        QCOMPARE(windows.first()->browser()->source().fileName(), QStringLiteral("holidays.html"));

        // Closed by the user, then asked for again: the same window comes back.
        windows.first()->close();
        help.showTopic(200);
        QCOMPARE(helpWindows(), windows);
        QVERIFY(windows.first()->isVisible());
        QCOMPARE(windows.first()->browser()->source().fileName(), QStringLiteral("filters.html"));
    }

    // Help asked for from a modal dialog must take input while the dialog is up, so the
    // window belongs to that dialog; when the dialog goes, a later call still works.
    void showTopicFollowsTheDialogThatAsks()
    {
        QtDialogs owners;
        QtHelp help(owners);
        auto *dialog = new QDialog;
        dialog->setModal(true);
        dialog->show();
        help.showTopic(400);
        QList<HelpWindow *> windows = helpWindows();
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows.first()->parentWidget(), dialog);
        QVERIFY(windows.first()->isWindow());
        QVERIFY(windows.first()->isVisible());
        QCOMPARE(windows.first()->browser()->source().fileName(), QStringLiteral("options.html"));

        delete dialog;
        QVERIFY(helpWindows().isEmpty());
        help.showTopic(100);
        windows = helpWindows();
        QCOMPARE(windows.size(), 1);
        QVERIFY(windows.first()->isVisible());
        QCOMPARE(windows.first()->browser()->source().fileName(), QStringLiteral("main.html"));
    }

    // The sound the alarm plays when the user chose none: a short PCM WAV that the sound
    // player takes, not silence.
    void alarmSoundIsBundled()
    {
        const QByteArray wav = resourceBytes(QStringLiteral(":/alarm.wav"));
        QVERIFY(wav.size() > 44);
        QDataStream in(wav);
        in.setByteOrder(QDataStream::LittleEndian);
        char riff[4], wave[4], fmt[4];
        quint32 riffSize, fmtSize, rate, byteRate;
        quint16 format, channels, blockAlign, bits;
        in.readRawData(riff, 4);
        in >> riffSize;
        in.readRawData(wave, 4);
        in.readRawData(fmt, 4);
        in >> fmtSize >> format >> channels >> rate >> byteRate >> blockAlign >> bits;
        QCOMPARE(QByteArray(riff, 4), QByteArray("RIFF"));
        QCOMPARE(QByteArray(wave, 4), QByteArray("WAVE"));
        QCOMPARE(QByteArray(fmt, 4), QByteArray("fmt "));
        QCOMPARE(riffSize, quint32(wav.size() - 8));
        QCOMPARE(format, quint16(1)); // PCM
        QCOMPARE(channels, quint16(1));
        QCOMPARE(rate, quint32(22050));
        QCOMPARE(bits, quint16(16));

        in.skipRawData(int(fmtSize) - 16);
        char data[4];
        quint32 dataSize;
        in.readRawData(data, 4);
        in >> dataSize;
        QCOMPARE(QByteArray(data, 4), QByteArray("data"));
        QCOMPARE(qsizetype(dataSize), wav.size() - 44);
        const double seconds = dataSize / (2.0 * rate);
        QVERIFY2(seconds >= 0.5 && seconds <= 2.0, qPrintable(QString::number(seconds)));
        qint16 loudest = 0;
        for (quint32 i = 0; i < dataSize / 2; ++i) {
            qint16 sample;
            in >> sample;
            loudest = std::max<qint16>(loudest, qAbs(sample));
        }
        QVERIFY(loudest > 8000);
        QVERIFY(loudest < 32000); // never clipped
    }

    void installAlarmSoundCopiesOnceAndNeverOverwrites_data()
    {
        QTest::addColumn<bool>("trailingSlash");
        QTest::newRow("folder") << false;
        QTest::newRow("folder ending in a slash") << true;
    }

    void installAlarmSoundCopiesOnceAndNeverOverwrites()
    {
        QFETCH(bool, trailingSlash);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = trailingSlash ? dir.path() + QLatin1Char('/') : dir.path();
        const QString target = dir.filePath(QStringLiteral("alarm.wav"));

        QVERIFY(installAlarmSound(folder));
        QCOMPARE(resourceBytes(target), resourceBytes(QStringLiteral(":/alarm.wav")));
        const QFile::Permissions permissions = QFile::permissions(target);
        QVERIFY(permissions & QFile::ReadOwner);
        QVERIFY(permissions & QFile::WriteOwner);
        QVERIFY(permissions & QFile::ReadGroup);
        QVERIFY(permissions & QFile::ReadOther);
        QVERIFY(!(permissions & (QFile::WriteGroup | QFile::WriteOther | QFile::ExeOwner)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "alarm.wav" });

        // The user's own sound under that name stays as it is.
        QFile own(target);
        QVERIFY(own.open(QIODevice::WriteOnly | QIODevice::Truncate));
        own.write("my own sound");
        own.close();
        QVERIFY(installAlarmSound(folder));
        QCOMPARE(resourceBytes(target), QByteArray("my own sound"));
    }

    void installAlarmSoundLeavesOtherThingsAlone()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString target = dir.filePath(QStringLiteral("alarm.wav"));

        // A folder of that name: no sound to play, and nothing is touched.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("alarm.wav")));
        QVERIFY(!installAlarmSound(dir.path()));
        QVERIFY(QFileInfo(target).isDir());
        QVERIFY(QDir(dir.path()).rmdir(QStringLiteral("alarm.wav")));

        // A link to a file that is not there: nothing is written through it.
        const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.wav"));
        QVERIFY(QFile::link(elsewhere, target));
        QVERIFY(!installAlarmSound(dir.path()));
        QVERIFY(!QFile::exists(elsewhere));
        QVERIFY(QFileInfo(target).isSymLink());

        // A folder that does not exist is not created.
        const QString missing = dir.filePath(QStringLiteral("missing"));
        QVERIFY(!installAlarmSound(missing));
        QVERIFY(!QFileInfo::exists(missing));
    }
};

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
