#include "appfixture.h"
#include "shell/dragdrop.h"
#include "shell/mainwindow.h"
#include "store/gridfile.h"
#include "store/taskstore.h"
#include "testfiles.h"
#include "widgets/gridview.h"
#include "widgets/monthcalendar.h"

#include <QFileInfo>
#include <QMimeData>
#include <QTest>

namespace {

using List = MainView::List;

const QDate kDay(2026, 1, 31); // the fixture's today, shown in the second calendar

} // namespace

class TestDragDrop : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;
    std::unique_ptr<TfrmMain> m_window;

    TaskDocument &document() const { return *m_app->document; }
    DragDrop *drag() const { return m_window->dragDrop(); }

    // What the files hold now: the store's rows with their keys, the to-do rows.
    QStringList storeFile() const
    {
        CellTable table;
        if (!readGridFile(table, m_app->data(QStringLiteral("grid.grd"))).ok())
            return { QStringLiteral("unreadable") };
        return joinedRows(table);
    }
    QStringList todoFile() const
    {
        CellTable table;
        if (!readGridFile(table, m_app->data(QStringLiteral("gridNon.grd"))).ok())
            return { QStringLiteral("unreadable") };
        return joinedRows(table);
    }

    void open(bool confirm)
    {
        const QStringList rows { store::makeKey(datevalue::dayNumber(kDay), 101) + "|8:00 AM|Work|Report|No|Yes",
            store::makeKey(datevalue::dayNumber(kDay), 102) + "|9:00 AM|Home|Call mum|Yes|No",
            store::makeKey(datevalue::dayNumber(QDate(2026, 2, 3)), 101) + "|7:00 AM||Run|No|No" };
        QVERIFY(writeGridFile(withRows(store::newStore(), rows), m_app->data(QStringLiteral("grid.grd"))).ok);
        QVERIFY(writeGridFile(withRows(newTodoList(), { "Home|Paint|No", "Work|File taxes|Yes" }),
            m_app->data(QStringLiteral("gridNon.grd")))
                    .ok);
        m_app->loadDocument();
        Options options = document().options();
        options.dragConfirm = confirm;
        document().setOptions(options);
        m_window = std::make_unique<TfrmMain>(document(), m_app->services());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QCOMPARE(m_window->selectedDay(), kDay);
    }

private Q_SLOTS:
    void init() { m_app = std::make_unique<AppFixture>(QDateTime(kDay, QTime(10, 0))); }
    void cleanup()
    {
        m_window.reset();
        m_app.reset();
    }

    void dropsOnTheOtherList_data()
    {
        QTest::addColumn<bool>("fromDay");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("store");
        QTest::addColumn<QStringList>("todo");

        const QStringList store { "46053.101|8:00 AM|Work|Report|No|Yes", "46053.102|9:00 AM|Home|Call mum|Yes|No",
            "46056.101|7:00 AM||Run|No|No" };
        const QStringList todo { "Home|Paint|No", "Work|File taxes|Yes" };
        const QString fromDayQuestion
            = QStringLiteral("Really move task between grids?  You will lose the Time and Alarm fields.");
        QTest::newRow("day to to-do, confirmed")
            << true << true << true << fromDayQuestion
            << QStringList { "46053.101|9:00 AM|Home|Call mum|Yes|No", "46056.101|7:00 AM||Run|No|No" }
            << QStringList { "Home|Paint|No", "Work|Report|No", "Work|File taxes|Yes" };
        QTest::newRow("day to to-do, refused") << true << true << false << fromDayQuestion << store << todo;
        QTest::newRow("day to to-do, never asked")
            << true << false << false << QString()
            << QStringList { "46053.101|9:00 AM|Home|Call mum|Yes|No", "46056.101|7:00 AM||Run|No|No" }
            << QStringList { "Home|Paint|No", "Work|Report|No", "Work|File taxes|Yes" };
        QTest::newRow("to-do to day: now, alarm off")
            << false << true << true << QStringLiteral("Really move task between grids?")
            << QStringList { "46053.101|10:00 AM|Home|Paint|No|No", "46053.102|8:00 AM|Work|Report|No|Yes",
                   "46053.103|9:00 AM|Home|Call mum|Yes|No", "46056.101|7:00 AM||Run|No|No" }
            << QStringList { "Work|File taxes|Yes" };
    }

    void dropsOnTheOtherList()
    {
        QFETCH(bool, fromDay);
        QFETCH(bool, confirm);
        QFETCH(bool, answer);
        open(confirm);
        const QStringList storeBefore = storeFile();
        const QStringList todoBefore = todoFile();
        m_app->dialogs.confirmAnswers = { answer };
        // The first row of the source is selected; the drop lands on row 2 of the to-do
        // list or row 1 of the day list.
        m_window->selectRow(fromDay ? List::Day : List::Todo, 1);
        drag()->gridDayDragDrop(fromDay ? List::Day : List::Todo, fromDay ? List::Todo : List::Day, fromDay ? 2 : 1);

        QFETCH(QString, question);
        QCOMPARE(m_app->dialogs.questions, question.isEmpty() ? QStringList() : QStringList { question });
        QFETCH(QStringList, store);
        QFETCH(QStringList, todo);
        QCOMPARE(storeFile(), store == storeBefore ? storeBefore : store);
        QCOMPARE(todoFile(), todo == todoBefore ? todoBefore : todo);
        QVERIFY(m_app->dialogs.errors.isEmpty());
    }

    void theOnlyTaskLeavesTheDayBlank()
    {
        open(false);
        m_window->showDay(QDate(2026, 2, 3));
        m_window->selectRow(List::Day, 1);
        drag()->gridDayDragDrop(List::Day, List::Todo, 1);
        QCOMPARE(joinedRows(document().dayList()), QStringList { "||||" });
        QCOMPARE(storeFile(),
            QStringList({ "46053.101|8:00 AM|Work|Report|No|Yes", "46053.102|9:00 AM|Home|Call mum|Yes|No" }));
        QCOMPARE(todoFile().first(), QStringLiteral("|Run|No"));
    }

    void reorderingWritesTheNewOrderIntoTheKeys()
    {
        open(true);
        m_window->selectRow(List::Day, 1);
        drag()->gridDayDragDrop(List::Day, List::Day, 2);
        QVERIFY(m_app->dialogs.questions.isEmpty()); // no question within a list
        QCOMPARE(storeFile(),
            QStringList({ "46053.101|9:00 AM|Home|Call mum|Yes|No", "46053.102|8:00 AM|Work|Report|No|Yes",
                "46056.101|7:00 AM||Run|No|No" }));
        QCOMPARE(m_window->currentRow(List::Day), 2);

        m_window->selectRow(List::Todo, 2);
        drag()->gridDayDragDrop(List::Todo, List::Todo, 1);
        QCOMPARE(todoFile(), QStringList({ "Work|File taxes|Yes", "Home|Paint|No" }));
        // Onto the header or below the rows: nothing.
        drag()->gridDayDragDrop(List::Todo, List::Todo, 0);
        drag()->gridDayDragDrop(List::Todo, List::Todo, 3);
        QCOMPARE(todoFile(), QStringList({ "Work|File taxes|Yes", "Home|Paint|No" }));
    }

    void dropsOnACalendarDay_data()
    {
        QTest::addColumn<bool>("fromDay");
        QTest::addColumn<QDate>("target");
        QTest::addColumn<QStringList>("store");
        QTest::addColumn<QStringList>("todo");
        // The third calendar shows February 2026; its cell of 3 March lies in the month after.
        QTest::newRow("a day task to the month after")
            << true << QDate(2026, 3, 3)
            << QStringList { "46053.101|9:00 AM|Home|Call mum|Yes|No", "46056.101|7:00 AM||Run|No|No",
                   "46084.100|8:00 AM|Work|Report|No|Yes" }
            << QStringList { "Home|Paint|No", "Work|File taxes|Yes" };
        QTest::newRow("a to-do task: now, alarm off")
            << false << QDate(2026, 3, 3)
            << QStringList { "46053.101|8:00 AM|Work|Report|No|Yes", "46053.102|9:00 AM|Home|Call mum|Yes|No",
                   "46056.101|7:00 AM||Run|No|No", "46084.100|10:00 AM|Home|Paint|No|No" }
            << QStringList { "Work|File taxes|Yes" };
    }

    void dropsOnACalendarDay()
    {
        QFETCH(bool, fromDay);
        QFETCH(QDate, target);
        open(true);
        m_app->dialogs.confirmAnswers = { true };
        m_window->selectRow(fromDay ? List::Day : List::Todo, 1);
        MonthCalendar *february = m_window->calendar(2);
        QCOMPARE(february->month(), 2);
        drag()->cal1DragDrop(fromDay ? List::Day : List::Todo, 2, february->cellOfDate(target));

        QCOMPARE(m_app->dialogs.questions, QStringList { QStringLiteral("Really move task?") });
        QTEST(storeFile(), "store");
        QTEST(todoFile(), "todo");
        QCOMPARE(m_window->activeCalendar(), 2);
        QCOMPARE(m_window->selectedDay(), target);
        QCOMPARE(m_window->calendar(3)->month(), 4); // the four scrolled on: January to April
        QCOMPARE(joinedRows(document().dayList()).size(), 1);
    }

    // A drop on a calendar day is one save of the store (and, from the to-do list, the to-do
    // file only once the task is on its day), so a save that fails leaves the task in one
    // place on disk: where it was. In memory it is on the new day, which the next save
    // writes; the user is told.
    void aDropWhoseSaveFailsLeavesTheTaskInOnePlace_data()
    {
        QTest::addColumn<bool>("fromDay");
        QTest::addColumn<QString>("task");
        QTest::newRow("a day task") << true << "Report";
        QTest::newRow("a to-do task") << false << "Paint";
    }
    void aDropWhoseSaveFailsLeavesTheTaskInOnePlace()
    {
        QFETCH(bool, fromDay);
        QFETCH(QString, task);
        open(false);
        const QStringList storeBefore = storeFile();
        const QStringList todoBefore = todoFile();
        m_window->selectRow(fromDay ? List::Day : List::Todo, 1);
        {
            // Taking the task off its day makes the store smaller, putting it on the new
            // day makes it as large as it was: only a save with the task on the new day fails.
            const FileSizeLimit full(QFileInfo(m_app->data(QStringLiteral("grid.grd"))).size() - 1);
            drag()->cal1DragDrop(
                fromDay ? List::Day : List::Todo, 2, m_window->calendar(2)->cellOfDate(QDate(2026, 3, 3)));
        }
        QCOMPARE(m_app->dialogs.errors.size(), 1);
        QVERIFY2(m_app->dialogs.errors[0].contains(m_app->data(QStringLiteral("grid.grd"))),
            qPrintable(m_app->dialogs.errors[0]));
        QCOMPARE(storeFile(), storeBefore);
        QCOMPARE(todoFile(), todoBefore);

        int inMemory = 0;
        const CellTable &store = document().store();
        for (int r = 1; r < store.rowCount(); ++r) {
            if (store.cell(store::What, r) == task) {
                ++inMemory;
                QCOMPARE(store.cell(store::Key, r), store::makeKey(datevalue::dayNumber(QDate(2026, 3, 3)), 100));
            }
        }
        QCOMPARE(inMemory, 1);
        QVERIFY(!joinedRows(document().todoList()).join(QLatin1Char(' ')).contains(task));
    }

    void dropOnTheSameDayPutsTheTaskFirst()
    {
        open(false);
        m_window->selectRow(List::Day, 2);
        MonthCalendar *january = m_window->calendar(1);
        drag()->cal1DragDrop(List::Day, 1, january->cellOfDate(kDay));
        QCOMPARE(storeFile(),
            QStringList({ "46053.100|9:00 AM|Home|Call mum|Yes|No", "46053.101|8:00 AM|Work|Report|No|Yes",
                "46056.101|7:00 AM||Run|No|No" }));
        QCOMPARE(document().dayList().cell(daylist::What, 1), QStringLiteral("Call mum"));
    }

    void refusedOrOutsideTheDayCellsChangesNothing()
    {
        open(true);
        const QStringList before = storeFile();
        m_window->selectRow(List::Day, 1);
        m_app->dialogs.confirmAnswers = { false };
        drag()->cal1DragDrop(List::Day, 2, m_window->calendar(2)->cellOfDate(QDate(2026, 3, 3)));
        drag()->cal1DragDrop(List::Day, 2, 0); // on the labels: not even asked
        QCOMPARE(m_app->dialogs.questions.size(), 1);
        QCOMPARE(storeFile(), before);
        QCOMPARE(m_window->activeCalendar(), 1);
        QCOMPARE(m_window->selectedDay(), kDay);
    }

    void aDropEventOnTheListMovesTheRow()
    {
        open(false);
        m_window->selectRow(List::Todo, 1);
        GridView *day = m_window->dayView();
        auto *data = new QMimeData;
        data->setData(QString::fromLatin1(DragDrop::kMimeType), "todo");
        const QPoint onRow2 = day->visualRect(day->model()->index(1, daylist::What)).center();
        QDragMoveEvent over(onRow2, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(day->viewport(), &over);
        // The application delivers drag events only from a drag of its own: handed on as it would.
        QVERIFY(drag()->eventFilter(day->viewport(), &over));
        QVERIFY(over.isAccepted());
        QDropEvent drop(onRow2, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QVERIFY(drag()->eventFilter(day->viewport(), &drop));
        QCOMPARE(document().dayList().cell(daylist::What, 2), QStringLiteral("Paint"));
        QCOMPARE(todoFile(), QStringList { "Work|File taxes|Yes" });
        delete data;

        // Something else dragged in is not taken.
        QMimeData text;
        text.setText(QStringLiteral("hello"));
        QDragMoveEvent other(onRow2, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        drag()->eventFilter(day->viewport(), &other);
        QVERIFY(!other.isAccepted());
    }
};

QTEST_MAIN(TestDragDrop)
#include "tst_dragdrop.moc"
