#include "appfixture.h"
#include "output/outputcommands.h"
#include "output/tableexport.h"
#include "output/webcal.h"
#include "output/webcaldialog.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "store/archivecommands.h"
#include "store/complete.h"
#include "store/gridfile.h"
#include "store/storecommands.h"
#include "store/taskstore.h"
#include "store/todolist.h"
#include "testfiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const QDate kToday(2026, 1, 31);

qint64 day(int offset)
{
    return datevalue::dayNumber(kToday.addDays(offset));
}

// Dated tasks on the day before, today and the day after; two to-do tasks, one with a
// comma in its category; one completed entry.
void writeSampleData(const AppFixture &app)
{
    CellTable store = store::newStore();
    const struct
    {
        int offset;
        const char *what;
    } tasks[] = { { -1, "before" }, { 0, "today <b>" }, { 1, "after" } };
    store.setRowCount(4);
    int row = 1;
    for (const auto &t : tasks) {
        const QStringList cells { store::makeKey(day(t.offset), 100 + row), "9:00 AM", "1 - High",
            QString::fromUtf8(t.what), "No", "No" };
        for (int c = 0; c < 6; ++c)
            store.setCell(c, row, cells[c]);
        ++row;
    }
    QVERIFY(writeGridFile(store, app.data(QStringLiteral("grid.grd"))).ok);
    CellTable todo = newTodoList();
    todo.setRowCount(3);
    const QStringList todos[] = { { "Home, garden", "todo-one", "No" }, { "", "todo \"two\"", "Yes" } };
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            todo.setCell(c, r + 1, todos[r][c]);
    QVERIFY(writeGridFile(todo, app.data(QStringLiteral("gridNon.grd"))).ok);
}

template <class W> W *child(QObject *parent, const char *name)
{
    W *found = parent->findChild<W *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Acts on the web calendar dialog as soon as it is up; any other window is closed and
// fails the test, so nothing waits on a window nobody closes.
void whenWebCalShows(std::function<void(TfrmWebCal *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *dialog = qobject_cast<TfrmWebCal *>(modal);
        if (!dialog) {
            if (modal)
                modal->close();
            QFAIL("the web calendar dialog is not showing");
        }
        act(dialog);
    });
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;

    std::unique_ptr<TfrmMain> makeWindow()
    {
        writeSampleData(*m_app);
        m_app->loadDocument();
        return std::make_unique<TfrmMain>(*m_app->document, m_app->services());
    }

    // A dialog context over the fixture's services, for the month of `month`.
    TfrmWebCal::Context webCalContext(QDate month, std::function<QString(QDate)> content = {})
    {
        if (!content)
            content = [](QDate day) -> QString { return QString::number(day.day()) + QStringLiteral(" & more"); };
        return { *m_app->settings, m_app->dialogs, m_app->fileDialogs, m_app->opener, m_app->document->regional(),
            month, { content, {} }, QStringLiteral("https://www.veltrane.example/tallyday") };
    }

private Q_SLOTS:
    void init() { m_app = std::make_unique<AppFixture>(QDateTime(kToday, QTime(10, 0))); }
    void cleanup() { m_app.reset(); }

    // Each command asks in its format's save dialog and writes its table there.
    void exportCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("table"); // "print", "todo", "day" or "completed"
        const int csv = int(tableexport::Format::Csv);
        const int html = int(tableexport::Format::Html);
        QTest::newRow("daily HTML") << "DailyHTML1" << html << "print";
        QTest::newRow("daily CSV") << "DailyCSV1" << csv << "print";
        QTest::newRow("to-do HTML") << "TodoHTML1" << html << "todo";
        QTest::newRow("to-do CSV") << "TodoCSV1" << csv << "todo";
        QTest::newRow("pop-up HTML, day list focused") << "day-popup-html" << html << "day";
        QTest::newRow("pop-up CSV, day list focused") << "day-popup-csv" << csv << "day";
        QTest::newRow("to-do pop-up CSV, day list still focused") << "todo-popup-csv" << csv << "day";
        QTest::newRow("pop-up CSV, to-do list focused") << "todo-focused-popup-csv" << csv << "todo";
        QTest::newRow("completed log HTML") << "completed-html" << html << "completed";
        QTest::newRow("completed log CSV") << "completed-csv" << csv << "completed";
    }
    void exportCommands()
    {
        QFETCH(QString, command);
        QFETCH(int, format);
        QFETCH(QString, table);
        auto window = makeWindow();
        const MainActions &a = window->actions();
        const QString path = m_app->data(QStringLiteral("export.out"));
        m_app->fileDialogs.answers = { path };
        window->focusList(
            command.startsWith(QLatin1String("todo-focused")) ? MainView::List::Todo : MainView::List::Day);
        TfrmComplete *log = window->storeCommands()->completeWindow();
        QAction *action = command == QLatin1String("day-popup-html") ? a.gridDayPopup.exportHtml
            : command == QLatin1String("day-popup-csv")              ? a.gridDayPopup.exportCsv
            : command.endsWith(QLatin1String("popup-csv"))           ? a.gridNondayPopup.exportCsv
            : command == QLatin1String("completed-html")             ? log->exportHtmlAction()
            : command == QLatin1String("completed-csv")              ? log->exportCsvAction()
                                                                     : window->findChild<QAction *>(command);
        QVERIFY(action);
        QVERIFY(action->isEnabled());
        action->trigger();

        QVERIFY2(m_app->dialogs.errors.isEmpty(), qPrintable(m_app->dialogs.errors.join(QLatin1Char('\n'))));
        QCOMPARE(m_app->fileDialogs.asked.size(), 1);
        const tableexport::SaveDialog expected = tableexport::saveDialog(tableexport::Format(format));
        const RecordingFileDialogs::Asked &asked = m_app->fileDialogs.asked.first();
        QCOMPARE(asked.title, expected.title);
        QCOMPARE(asked.initial, expected.initial);
        QCOMPARE(asked.filter, expected.filter);
        QCOMPARE(asked.defaultSuffix, expected.defaultSuffix);

        const TaskDocument &doc = *m_app->document;
        const CellTable &written = table == QLatin1String("print") ? window->outputCommands()->gridPrint()
            : table == QLatin1String("todo")                       ? doc.todoList()
            : table == QLatin1String("day")                        ? doc.dayList()
                                                                   : doc.completedLog();
        const QByteArray bytes = tableexport::Format(format) == tableexport::Format::Csv
            ? tableexport::csvText(written)
            : tableexport::htmlText(written);
        QCOMPARE(readAll(path), bytes);
        if (table == QLatin1String("day"))
            QVERIFY(bytes.contains(
                tableexport::Format(format) == tableexport::Format::Csv ? "today <b>" : "today &lt;b&gt;"));
    }

    // The "Daily Tasks" exports take every dated task at first, and no to-do task.
    void dailyTasksAtFirst()
    {
        auto window = makeWindow();
        const QString path = m_app->data(QStringLiteral("daily.txt"));
        m_app->fileDialogs.answers = { path };
        window->actions().DailyCSV1->trigger();
        const QList<QByteArray> lines = readAll(path).split('\n');
        QCOMPARE(lines.value(0), QByteArray("Date,Time,Category,What,Completed,Alarm\r"));
        QCOMPARE(lines.size(), 5); // header, three tasks, nothing after the last line end
        const QByteArray all = readAll(path);
        for (const char *what : { "before", "today <b>", "after" })
            QVERIFY2(all.contains(what), what);
        QVERIFY(!all.contains("todo"));
    }

    void emptyTodoListAsCsv()
    {
        m_app->loadDocument();
        TfrmMain window(*m_app->document, m_app->services());
        const QString path = m_app->data(QStringLiteral("todo.txt"));
        m_app->fileDialogs.answers = { path };
        window.actions().TodoCSV1->trigger();
        QCOMPARE(readAll(path), QByteArray("Category,What,Done?\r\n\"\",\"\",\"\"\r\n"));
    }

    void cancelWritesNothing()
    {
        auto window = makeWindow();
        window->actions().TodoHTML1->trigger();
        QCOMPARE(m_app->fileDialogs.asked.size(), 1);
        QVERIFY(m_app->dialogs.errors.isEmpty());
        QCOMPARE(
            QDir(m_app->dataFolder()).entryList({ QStringLiteral("*.htm"), QStringLiteral("*.txt") }), QStringList());
    }

    void writeErrorIsShown()
    {
        auto window = makeWindow();
        const QString path = m_app->data(QStringLiteral("no such folder/tasks.txt"));
        m_app->fileDialogs.answers = { path };
        window->actions().TodoCSV1->trigger();
        QCOMPARE(m_app->dialogs.errors.size(), 1);
        QVERIFY2(m_app->dialogs.errors.first().startsWith(QStringLiteral("Couldn't save ") + path),
            qPrintable(m_app->dialogs.errors.first()));
        QVERIFY(!QFile::exists(path));
    }

    // Export, Publish and Archive to a link that leads to a device: the device stays as it
    // is (a rename would put a plain file in its place), and the error names the file chosen
    // and where it leads. The device is one made in the test's folder.
    void aLinkToADeviceIsNeverReplaced_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("export") << "export";
        QTest::newRow("publish") << "publish";
        QTest::newRow("archive") << "archive";
    }
    void aLinkToADeviceIsNeverReplaced()
    {
        QFETCH(QString, command);
        const QString node = m_app->data(QStringLiteral("node"));
        if (!makeNode(QStringLiteral("device"), node))
            QVERIFY(makeNode(QStringLiteral("FIFO"), node)); // no right to make a device: the same rule
        const QString link = m_app->data(
            command == QLatin1String("archive") ? QStringLiteral("week.arb") : QStringLiteral("chosen.htm"));
        QVERIFY(QFile::link(node, link));
        const QByteArray before = nodeIdentity(link);
        m_app->fileDialogs.answers = { link };
        auto window = makeWindow();
        if (command == QLatin1String("export")) {
            window->actions().TodoHTML1->trigger();
        } else if (command == QLatin1String("publish")) {
            TfrmWebCal dialog(webCalContext(QDate(2026, 8, 3)));
            dialog.setFileName(link);
            QTest::mouseClick(child<QPushButton>(&dialog, "btPublish"), Qt::LeftButton);
        } else {
            ArchiveCommands(*m_app->document, m_app->services()).Archive1Click();
        }
        QCOMPARE(m_app->dialogs.errors.size(), 1);
        QVERIFY2(m_app->dialogs.errors[0].startsWith(QStringLiteral("Couldn't save ") + link
                     + QStringLiteral(": it leads to ") + node + QStringLiteral(", which is not a regular file")),
            qPrintable(m_app->dialogs.errors[0]));
        QCOMPARE(nodeIdentity(link), before);
    }

    // The dialog starts with the last use's choices and keeps them when it closes with a name.
    void webCalSettings_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("publish") << "btPublish";
        QTest::newRow("cancel") << "btCancel";
    }
    void webCalSettings()
    {
        QFETCH(QString, button);
        m_app->loadDocument();
        const QString first = m_app->data(QStringLiteral("first.htm"));
        QVERIFY(writeWebCalSettings(*m_app->settings, { first, false }).ok);
        const QString second = m_app->data(QStringLiteral("second.htm"));
        {
            TfrmWebCal dialog(webCalContext(QDate(2026, 2, 14)));
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Publish Monthly Calendar as Web Page"));
            QCOMPARE(child<QLabel>(&dialog, "lblTitle")->text(), QStringLiteral("Publish February 2026 as a web page"));
            QCOMPARE(dialog.fileName(), first);
            QVERIFY(!dialog.details());
            dialog.setFileName(second);
            dialog.setDetails(true);
            QTest::mouseClick(child<QPushButton>(&dialog, qPrintable(button)), Qt::LeftButton);
            QVERIFY(dialog.isHidden());
        }
        const WebCalSettings kept = readWebCalSettings(*m_app->settings);
        QCOMPARE(kept.lastFile, second);
        QVERIFY(kept.details);
        QCOMPARE(QFile::exists(second), button == QLatin1String("btPublish"));
        QVERIFY(m_app->dialogs.errors.isEmpty());
    }

    void webCalEmptyName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks alone") << QStringLiteral("  \t ");
    }
    void webCalEmptyName()
    {
        QFETCH(QString, name);
        m_app->loadDocument();
        QVERIFY(writeWebCalSettings(*m_app->settings, { QStringLiteral("kept.htm"), true }).ok);
        TfrmWebCal dialog(webCalContext(QDate(2026, 2, 14)));
        dialog.setFileName(name);
        QTest::mouseClick(child<QPushButton>(&dialog, "btLaunch"), Qt::LeftButton);
        QCOMPARE(m_app->dialogs.errors, QStringList { QStringLiteral("An HTML file has not been specified") });
        QVERIFY(m_app->opener.opened.isEmpty());
        // Closed without a name: the kept name stays.
        QCOMPARE(readWebCalSettings(*m_app->settings).lastFile, QStringLiteral("kept.htm"));
    }

    void webCalLaunch_data()
    {
        QTest::addColumn<bool>("browserStarts");
        QTest::newRow("browser starts") << true;
        QTest::newRow("no browser") << false;
    }
    void webCalLaunch()
    {
        QFETCH(bool, browserStarts);
        m_app->loadDocument();
        m_app->opener.succeed = browserStarts;
        const QString path = m_app->data(QStringLiteral("month.htm"));
        TfrmWebCal dialog(webCalContext(QDate(2026, 8, 3)));
        dialog.setFileName(path);
        dialog.setDetails(false);
        QTest::mouseClick(child<QPushButton>(&dialog, "btLaunch"), Qt::LeftButton);
        QCOMPARE(m_app->opener.opened, QStringList { path });
        const QStringList expected = webcal::pageLines(QDate(2026, 8, 3), false,
            { [](QDate d) -> QString { return QString::number(d.day()) + QStringLiteral(" & more"); }, {} },
            m_app->document->regional(), QStringLiteral("https://www.veltrane.example/tallyday"));
        QCOMPARE(readAll(path), webcal::pageBytes(expected));
        if (browserStarts)
            QVERIFY(m_app->dialogs.errors.isEmpty());
        else
            QCOMPARE(m_app->dialogs.errors,
                QStringList { QStringLiteral("Couldn't open web browser for \"") + path + QLatin1Char('"') });
    }

    // A page that cannot be written is reported and the browser is not started.
    void webCalWriteError()
    {
        m_app->loadDocument();
        const QString path = m_app->data(QStringLiteral("missing/month.htm"));
        TfrmWebCal dialog(webCalContext(QDate(2026, 8, 3)));
        dialog.setFileName(path);
        QTest::mouseClick(child<QPushButton>(&dialog, "btLaunch"), Qt::LeftButton);
        QCOMPARE(m_app->dialogs.errors.size(), 1);
        QVERIFY(m_app->dialogs.errors.first().startsWith(QStringLiteral("Couldn't save ") + path));
        QVERIFY(m_app->opener.opened.isEmpty());
    }

    void webCalBrowse_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("initial");
        QTest::newRow("no name yet") << ""
                                     << "calendar.htm";
        QTest::newRow("in the current name's folder") << "/srv/www/old.html"
                                                      << "/srv/www/calendar.htm";
    }
    void webCalBrowse()
    {
        QFETCH(QString, current);
        QFETCH(QString, initial);
        m_app->loadDocument();
        TfrmWebCal dialog(webCalContext(QDate(2026, 8, 3)));
        dialog.setFileName(current);
        m_app->fileDialogs.answers = { QStringLiteral("/tmp/chosen.htm") };
        QTest::mouseClick(child<QWidget>(&dialog, "SpeedButton1"), Qt::LeftButton);
        QCOMPARE(m_app->fileDialogs.asked.size(), 1);
        const RecordingFileDialogs::Asked &asked = m_app->fileDialogs.asked.first();
        QCOMPARE(asked.title, QStringLiteral("Name of web page"));
        QCOMPARE(asked.initial, initial);
        QCOMPARE(asked.filter, QStringLiteral("HTM files|*.htm|HTML files|*.html|All files|*.*"));
        QCOMPARE(asked.defaultSuffix, QStringLiteral("htm"));
        QCOMPARE(dialog.fileName(), QStringLiteral("/tmp/chosen.htm"));
    }

    // The main window's command publishes the selected day's month with the document's
    // tasks, holidays and filter.
    void publishFromTheMainWindow()
    {
        auto window = makeWindow();
        const QString path = m_app->data(QStringLiteral("published.htm"));
        QVERIFY(window->actions().Publish1->isEnabled());
        const QFont headingFont = child<QWidget>(window.get(), "lblDate")->font();
        whenWebCalShows([path, headingFont](TfrmWebCal *dialog) {
            QCOMPARE(child<QLabel>(dialog, "lblTitle")->text(), QStringLiteral("Publish January 2026 as a web page"));
            QCOMPARE(child<QLabel>(dialog, "lblTitle")->font(), headingFont);
            dialog->setFileName(path);
            dialog->setDetails(true);
            QTest::mouseClick(child<QPushButton>(dialog, "btPublish"), Qt::LeftButton);
        });
        window->actions().Publish1->trigger();
        QVERIFY(m_app->dialogs.errors.isEmpty());
        const TaskDocument &doc = *m_app->document;
        const QStringList expected = webcal::pageLines(kToday, true,
            { [&doc](QDate d) -> QString {
                 return webcal::HTMLDumpEventDay(doc.store(), doc.filter(), doc.holidays(), doc.regional(), d);
             },
                [&doc](QDate d) { return webcal::HTMLDumpEventDetails(doc.store(), doc.filter(), d); } },
            doc.regional(), QStringLiteral("https://www.veltrane.example/tallyday"));
        const QByteArray page = readAll(path);
        QCOMPARE(page, webcal::pageBytes(expected));
        QVERIFY(page.contains("9:00 am 1 - High<br>"));
        QVERIFY(page.contains(">today &lt;b&gt;</td>"));
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
