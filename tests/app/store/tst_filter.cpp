#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/help.h"
#include "platform/shellopener.h"
#include "settings/settingsstore.h"
#include "store/filter.h"
#include "store/storecommands.h"
#include "store/taskdocument.h"
#include "testfiles.h"
#include "widgets/shadowlabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QWindow>

#include <optional>

Q_DECLARE_METATYPE(std::optional<QByteArray>)

namespace {

// "Home+ Work-": the check list as the user sees it.
QString shownChecks(const TfrmFilter &window)
{
    QStringList parts;
    const QListWidget *list = window.categoryList();
    for (int i = 0; i < list->count(); ++i)
        parts << list->item(i)->text() + (list->item(i)->checkState() == Qt::Checked ? '+' : '-');
    return parts.join(' ');
}

// The same of the filter state the store reads.
QString stateChecks(const FilterState &state)
{
    QStringList parts;
    for (const FilterCategory &category : state.categories)
        parts << category.name + (category.checked ? '+' : '-');
    return parts.join(' ');
}

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("no control %s", name);
    return found;
}

} // namespace

class TestFilter : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    RecordingDialogs m_dialogs;

    QString data(const char *name) const { return m_dir->filePath(QLatin1String(name)); }
    QString settingsPath() const { return m_dir->filePath(QStringLiteral("Task.ini")); }

    RecordingHelp m_help;
    FixedClock m_clock { QDateTime(QDate(2026, 1, 31), QTime(10, 0)) };
    std::vector<std::unique_ptr<TaskDocument>> m_documents; // one per run of the program

    TaskDocument &loadDocument(const QString &folder, SettingsStore &settings)
    {
        m_documents.push_back(std::make_unique<TaskDocument>(folder, settings, m_clock, RegionalSettings::englishUS()));
        m_documents.back()->load();
        return *m_documents.back();
    }

    // The window as a new run of the program creates it, its filter put into the document
    // as the command class does.
    std::unique_ptr<TfrmFilter> makeWindow()
    {
        TaskDocument &document = loadDocument(m_dir->path(), *m_settings);
        auto window = std::make_unique<TfrmFilter>(document, m_dialogs, m_help);
        StoreCommands::connectFilterWindow(*window, document, m_dialogs);
        return window;
    }

    // The two switches as a new run would read them.
    FilterSettings storedSwitches() const
    {
        SettingsStore reread(settingsPath());
        return readFilterSettings(reread);
    }

    void uncheck(TfrmFilter &window, const QString &name)
    {
        const QList<QListWidgetItem *> items = window.categoryList()->findItems(name, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        items.first()->setCheckState(Qt::Unchecked);
    }

private Q_SLOTS:
    void init()
    {
        m_documents.clear();
        m_help.topics.clear();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_settings = std::make_unique<SettingsStore>(settingsPath());
        m_dialogs = RecordingDialogs();
    }

    void creation_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("xxx");
        QTest::addColumn<std::optional<QByteArray>>("yyy");
        QTest::addColumn<QString>("iniFilter"); // the "Filter" section as stored
        QTest::addColumn<QString>("checks");
        QTest::addColumn<bool>("done");
        QTest::addColumn<bool>("notDone");
        QTest::addColumn<QString>("title");
        using Bytes = std::optional<QByteArray>;
        QTest::newRow("first run") << Bytes() << Bytes() << ""
                                   << "" << true << true << "Task Filters : Off";
        QTest::newRow("categories, no selection yet") << Bytes("Home\r\nWork\r\n") << Bytes() << ""
                                                      << "Home+ Work+" << true << true << "Task Filters : Off";
        QTest::newRow("selection of the last OK") << Bytes("Home\r\nWork\r\n") << Bytes("Home\r\n") << ""
                                                  << "Home+ Work-" << true << true << "Task Filters : On";
        QTest::newRow("done items hidden") << Bytes("Home\r\n") << Bytes() << "Done=0\nNotDone=1\n"
                                           << "Home+" << false << true << "Task Filters : On";
        QTest::newRow("not done items hidden") << Bytes() << Bytes() << "Done=1\nNotDone=0\n"
                                               << "" << true << false << "Task Filters : On";
        QTest::newRow("unreadable switches take their defaults") << Bytes() << Bytes() << "Done=maybe\nNotDone=\n"
                                                                 << "" << true << true << "Task Filters : Off";
    }
    void creation()
    {
        QFETCH(std::optional<QByteArray>, xxx);
        QFETCH(std::optional<QByteArray>, yyy);
        QFETCH(QString, iniFilter);
        QFETCH(QString, checks);
        QFETCH(bool, done);
        QFETCH(bool, notDone);
        QFETCH(QString, title);
        if (xxx)
            QVERIFY(writeBytes(data("category.xxx"), *xxx));
        if (yyy)
            QVERIFY(writeBytes(data("category.yyy"), *yyy));
        if (!iniFilter.isEmpty()) {
            m_settings.reset();
            QVERIFY(writeBytes(settingsPath(), "[Filter]\n" + iniFilter.toUtf8()));
            m_settings = std::make_unique<SettingsStore>(settingsPath());
        }
        auto window = makeWindow();
        QCOMPARE(shownChecks(*window), checks);
        QCOMPARE(stateChecks(window->filterState()), checks);
        QCOMPARE(child<QCheckBox>(window.get(), "cbDone")->isChecked(), done);
        QCOMPARE(child<QCheckBox>(window.get(), "cbNotDone")->isChecked(), notDone);
        QCOMPARE(window->filterState().showDone, done);
        QCOMPARE(window->filterState().showNotDone, notDone);
        QCOMPARE(window->titleLabel()->text(), title);
        QVERIFY(m_dialogs.errors.isEmpty());
    }

    void controlsCarryTheirCaptions()
    {
        auto window = makeWindow();
        QCOMPARE(window->windowTitle(), QStringLiteral("Task Filters"));
        QCOMPARE(child<QCheckBox>(window.get(), "cbDone")->text(), QStringLiteral("&Done items"));
        QCOMPARE(child<QCheckBox>(window.get(), "cbNotDone")->text(), QStringLiteral("   &Not done items"));
        QCOMPARE(child<ColourPanel>(window.get(), "pnlDone")->text(), QStringLiteral("&Done Items"));
        QCOMPARE(child<ColourPanel>(window.get(), "pnlNotDone")->text(), QStringLiteral("&Not Done Items"));
        for (const char *name : { "btAll", "btNone", "btHelp", "btOK" })
            QVERIFY(child<QPushButton>(window.get(), name));
    }

    // Each change, starting from everything shown, and the title after it.
    void titleAfterEveryChange_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QString>("title");
        QTest::newRow("nothing") << QStringList {} << "Task Filters : Off";
        QTest::newRow("a category unchecked") << QStringList { "uncheck Work" } << "Task Filters : On";
        QTest::newRow("and checked again") << QStringList { "uncheck Work", "check Work" } << "Task Filters : Off";
        QTest::newRow("Done items box") << QStringList { "cbDone" } << "Task Filters : On";
        QTest::newRow("Not done items box") << QStringList { "cbNotDone" } << "Task Filters : On";
        QTest::newRow("Done panel") << QStringList { "pnlDone" } << "Task Filters : On";
        QTest::newRow("Not done panel") << QStringList { "pnlNotDone" } << "Task Filters : On";
        QTest::newRow("panel twice") << QStringList { "pnlDone", "pnlDone" } << "Task Filters : Off";
        QTest::newRow("None") << QStringList { "btNone" } << "Task Filters : On";
        QTest::newRow("None, then All") << QStringList { "btNone", "btAll" } << "Task Filters : Off";
        QTest::newRow("All leaves the boxes alone") << QStringList { "cbDone", "btAll" } << "Task Filters : On";
    }
    void titleAfterEveryChange()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, title);
        QVERIFY(writeBytes(data("category.xxx"), "Home\r\nWork\r\n"));
        auto window = makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        for (const QString &change : changes) {
            if (change.startsWith(QLatin1String("uncheck ")) || change.startsWith(QLatin1String("check "))) {
                const QString name = change.section(' ', 1);
                window->categoryList()
                    ->findItems(name, Qt::MatchExactly)
                    .first()
                    ->setCheckState(change.startsWith('u') ? Qt::Unchecked : Qt::Checked);
            } else if (change.startsWith(QLatin1String("cb"))) {
                child<QCheckBox>(window.get(), qPrintable(change))->click();
            } else if (change.startsWith(QLatin1String("pnl"))) {
                QTest::mouseClick(child<QWidget>(window.get(), qPrintable(change)), Qt::LeftButton);
            } else {
                child<QPushButton>(window.get(), qPrintable(change))->click();
            }
        }
        QCOMPARE(window->titleLabel()->text(), title);
        QCOMPARE(window->titleText(), title);
        QCOMPARE(filtersOn(window->filterState()), title.endsWith(QLatin1String("On")));
    }

    void panelsToggleTheirBoxes()
    {
        auto window = makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto *cbDone = child<QCheckBox>(window.get(), "cbDone");
        auto *cbNotDone = child<QCheckBox>(window.get(), "cbNotDone");
        QTest::mouseClick(child<QWidget>(window.get(), "pnlNotDone"), Qt::LeftButton);
        QVERIFY(cbDone->isChecked());
        QVERIFY(!cbNotDone->isChecked());
        QVERIFY(!window->filterState().showNotDone);
        QVERIFY(!passesFilter(window->filterState(), QStringLiteral("No"), QString()));
        QVERIFY(passesFilter(window->filterState(), QStringLiteral("Yes"), QString()));
    }

    void theCategoryTestReadsTheChecks_data()
    {
        QTest::addColumn<QString>("category");
        QTest::addColumn<bool>("passes");
        QTest::newRow("work hidden by an unchecked Work") << "work" << false;
        QTest::newRow("WORK too") << "WORK" << false;
        QTest::newRow("Home shown") << "home" << true;
        QTest::newRow("empty category never hidden") << "" << true;
        QTest::newRow("unknown category never hidden") << "Gym" << true;
    }
    void theCategoryTestReadsTheChecks()
    {
        QFETCH(QString, category);
        QFETCH(bool, passes);
        QVERIFY(writeBytes(data("category.xxx"), "Home\r\nWork\r\n"));
        auto window = makeWindow();
        uncheck(*window, QStringLiteral("Work"));
        QCOMPARE(passesFilter(window->filterState(), QStringLiteral("No"), category), passes);
        QCOMPARE(passesFilter(window->filterState(), QStringLiteral("Yes"), category), passes);
    }

    void noneThenOkWritesAnEmptySelection()
    {
        QVERIFY(writeBytes(data("category.xxx"), "Home\r\nWork\r\n"));
        auto window = makeWindow();
        QSignalSpy confirmed(window.get(), &TfrmFilter::filterConfirmed);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        child<QPushButton>(window.get(), "btNone")->click();
        child<QPushButton>(window.get(), "btOK")->click();
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QVERIFY(!window->isVisible());
        QCOMPARE(confirmed.size(), 1);
        QVERIFY(QFile::exists(data("category.yyy")));
        QCOMPARE(readAll(data("category.yyy")), QByteArray());

        // The next run: no category checked.
        auto next = makeWindow();
        QCOMPARE(shownChecks(*next), QStringLiteral("Home- Work-"));
        QVERIFY(filtersOn(next->filterState()));
    }

    void okWritesTheCheckedEntriesInListOrder()
    {
        QVERIFY(writeBytes(data("category.xxx"), "Gym\r\nHome\r\nWork\r\n"));
        auto window = makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        uncheck(*window, QStringLiteral("Home"));
        child<QPushButton>(window.get(), "btOK")->click();
        QCOMPARE(readAll(data("category.yyy")), QByteArray("Gym\r\nWork\r\n"));
    }

    void theCloseBoxKeepsTheChecksForTheRunOnly()
    {
        QVERIFY(writeBytes(data("category.xxx"), "Home\r\nWork\r\n"));
        auto window = makeWindow();
        QSignalSpy confirmed(window.get(), &TfrmFilter::filterConfirmed);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        uncheck(*window, QStringLiteral("Work"));
        QVERIFY(window->close());
        QCOMPARE(window->result(), int(QDialog::Rejected));
        QCOMPARE(confirmed.size(), 0);
        QVERIFY(!QFile::exists(data("category.yyy")));
        // In force until the window is shown again ...
        QVERIFY(!passesFilter(window->filterState(), QStringLiteral("No"), QStringLiteral("Work")));
        // ... which checks every entry again, as no selection was stored.
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(shownChecks(*window), QStringLiteral("Home+ Work+"));
        QCOMPARE(window->titleLabel()->text(), QStringLiteral("Task Filters : Off"));
    }

    void showingChecksTheStoredSelectionAndLeavesTheRest()
    {
        QVERIFY(writeBytes(data("category.xxx"), "Gym\r\nHome\r\nWork\r\n"));
        QVERIFY(writeBytes(data("category.yyy"), "Home\r\n"));
        auto window = makeWindow();
        QCOMPARE(shownChecks(*window), QStringLiteral("Gym- Home+ Work-"));
        window->categoryList()->item(0)->setCheckState(Qt::Checked); // Gym
        uncheck(*window, QStringLiteral("Home"));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(shownChecks(*window), QStringLiteral("Gym+ Home+ Work-"));
        QCOMPARE(stateChecks(window->filterState()), QStringLiteral("Gym+ Home+ Work-"));
        QCOMPARE(window->titleLabel()->text(), QStringLiteral("Task Filters : On"));
    }

    void theSwitchesAreWrittenOnEveryClose_data()
    {
        QTest::addColumn<bool>("byOk");
        QTest::newRow("OK") << true;
        QTest::newRow("close box") << false;
    }
    void theSwitchesAreWrittenOnEveryClose()
    {
        QFETCH(bool, byOk);
        auto window = makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        child<QCheckBox>(window.get(), "cbDone")->click();
        QVERIFY(!m_settings->find(QStringLiteral("Filter"), QStringLiteral("Done")));
        if (byOk)
            child<QPushButton>(window.get(), "btOK")->click();
        else
            window->close();
        const FilterSettings stored = storedSwitches();
        QVERIFY(!stored.done);
        QVERIFY(stored.notDone);
        QCOMPARE(m_settings->find(QStringLiteral("Filter"), QStringLiteral("Done")), std::optional<QString>("0"));
        QCOMPARE(m_settings->find(QStringLiteral("Filter"), QStringLiteral("NotDone")), std::optional<QString>("1"));
    }

    void failedWritesAreReported()
    {
        // The data folder and the settings file's folder would be under a file: nothing can be written.
        QVERIFY(writeBytes(m_dir->filePath(QStringLiteral("blocker")), "x"));
        SettingsStore blocked(m_dir->filePath(QStringLiteral("blocker/Task.ini")));
        TaskDocument &document = loadDocument(m_dir->filePath(QStringLiteral("blocker/gone")), blocked);
        TfrmFilter window(document, m_dialogs, m_help);
        StoreCommands::connectFilterWindow(window, document, m_dialogs);
        QSignalSpy confirmed(&window, &TfrmFilter::filterConfirmed);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        child<QPushButton>(&window, "btOK")->click();
        QCOMPARE(m_dialogs.errors.size(), 2);
        QVERIFY(m_dialogs.errors[0].contains(QStringLiteral("Task.ini")));
        QVERIFY(m_dialogs.errors[1].contains(QStringLiteral("category.yyy")));
        // The filter shown is in force all the same.
        QCOMPARE(confirmed.size(), 1);
        QVERIFY(!window.isVisible());
    }

    void helpOpensTheFiltersTopic()
    {
        auto window = makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        child<QPushButton>(window.get(), "btHelp")->click();
        QCOMPARE(m_help.topics, QList<int> { 200 });
    }

    void titleTakesTheHeadingStyle()
    {
        auto window = makeWindow();
        QFont font(QStringLiteral("Arial"), 14);
        window->applyTitleStyle(font, 1, QColor(0, 0, 128));
        QCOMPARE(window->titleLabel()->font().family(), font.family());
        QCOMPARE(window->titleLabel()->shadowDepth(), 1);
        QCOMPARE(window->titleLabel()->textColour(), QColor(0, 0, 128));
    }

    // The window opens over the main window the first time, then where the user left it,
    // however often it opens and whichever button closes it.
    void opensWhereItWasLeft()
    {
        QWidget main;
        main.setGeometry(200, 150, 640, 480);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        TfrmFilter window(loadDocument(m_dir->path(), *m_settings), m_dialogs, m_help, &main);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint offCentre = window.frameGeometry().center() - main.frameGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);

        // The user drags it aside: the window system moves its frame.
        window.windowHandle()->setFramePosition(QPoint(60, 90));
        QTRY_COMPARE(window.frameGeometry().topLeft(), QPoint(60, 90));
        const QRect left = window.frameGeometry();
        for (bool ok : { true, false, true }) {
            ok ? window.accept() : window.reject();
            QVERIFY(!window.isVisible());
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(window.frameGeometry(), left);
        }
    }
};

QTEST_MAIN(TestFilter)
#include "tst_filter.moc"
