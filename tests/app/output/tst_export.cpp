#include "appfixture.h"
#include "output/outputcommands.h"
#include "output/tableexport.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "store/complete.h"
#include "store/gridfile.h"
#include "store/storecommands.h"
#include "store/taskstore.h"
#include "store/todolist.h"
#include "testfiles.h"

#include <QAction>
#include <QTest>

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
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
