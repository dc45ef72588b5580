#include "appfixture.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"
#include "schedule/holidays.h"
#include "settings/settingsstore.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "shell/panes.h"
#include "store/filter.h"
#include "store/gridfile.h"
#include "store/storecommands.h"
#include "store/taskstore.h"
#include "text/datevalue.h"
#include "widgethelpers.h"
#include "widgets/gridview.h"
#include "widgets/monthcalendar.h"
#include "widgets/shadowlabel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

struct TaskLine
{
    QDate day;
    QString done;
    QString category = QString();
    QString what = QStringLiteral("task");
};

} // namespace

class TestCalendars : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;

    QString dataFolder() const { return m_app->dataFolder(); }
    TaskDocument &document() const { return *m_app->document; }

    void writeStore(const QList<TaskLine> &tasks)
    {
        CellTable table = store::newStore();
        table.setRowCount(int(tasks.size()) + 1);
        for (int i = 0; i < tasks.size(); ++i) {
            const TaskLine &t = tasks[i];
            const QStringList cells { store::makeKey(datevalue::dayNumber(t.day), 101 + i), QStringLiteral("9:00 AM"),
                t.category, t.what, t.done, QStringLiteral("No") };
            for (int c = 0; c < 6; ++c)
                table.setCell(c, i + 1, cells[c]);
        }
        store::compactAndSort(table);
        QVERIFY(writeGridFile(table, dataFolder() + QStringLiteral("/grid.grd")).ok);
    }

    void writeHoliday(const QString &name, const QString &month, const QString &rule)
    {
        CellTable table(holidays::ColumnCount, 2);
        table.setCell(holidays::Name, 1, name);
        table.setCell(holidays::MonthName, 1, month);
        table.setCell(holidays::DayRule, 1, rule);
        QVERIFY(writeGridFile(table, dataFolder() + QStringLiteral("/holiday.grd")).ok);
    }

    std::unique_ptr<TfrmMain> showWindow()
    {
        m_app->loadDocument();
        auto window = std::make_unique<TfrmMain>(*m_app->document, m_app->services());
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return nullptr;
        return window;
    }

    static QList<int> months(const TfrmMain &window)
    {
        QList<int> shown;
        for (int i = 0; i < 4; ++i)
            shown << window.calendar(i)->month();
        return shown;
    }

private Q_SLOTS:
    void init() { m_app = std::make_unique<AppFixture>(QDateTime(QDate(2026, 1, 31), QTime(10, 0))); }

    void todayInTheSecondCalendarCutsTheDays()
    {
        m_app->clock.set(QDateTime(QDate(2024, 1, 31), QTime(10, 0)));
        auto window = showWindow();
        QVERIFY(window);
        QCOMPARE(window->activeCalendar(), 1);
        QCOMPARE(months(*window), (QList<int> { 12, 1, 2, 3 }));
        QCOMPARE(window->calendar(0)->date(), QDate(2023, 12, 31));
        QCOMPARE(window->calendar(2)->date(), QDate(2024, 2, 29));
        QCOMPARE(window->calendar(3)->date(), QDate(2024, 3, 29)); // the cut carries on
    }

    void steppingTheLastCalendarScrollsAllFour()
    {
        auto window = showWindow();
        QVERIFY(window);
        window->calendar(3)->setFocus();
        QTest::mousePress(window->calendar(3), Qt::LeftButton, {}, window->calendar(3)->cellRect(20).center());
        QCOMPARE(window->activeCalendar(), 3);
        window->setActiveDate(QDate(2026, 4, 30));
        QTest::keyClick(window->calendar(3), Qt::Key_Right); // the main window moves the day
        QCOMPARE(window->selectedDay(), QDate(2026, 5, 1));
        QCOMPARE(window->activeCalendar(), 3);
        QCOMPARE(months(*window), (QList<int> { 2, 3, 4, 5 }));
        QCOMPARE(window->dayView()->table()->rowCount(), 2);
    }

    // A double click on a day of any calendar edits or adds on that day.
    void aDoubleClickOnAnyCalendarOpensTheEditor_data()
    {
        QTest::addColumn<int>("calendar");
        for (int i = 0; i < 4; ++i)
            QTest::newRow(qPrintable(QStringLiteral("cal%1").arg(i + 1))) << i;
    }
    void aDoubleClickOnAnyCalendarOpensTheEditor()
    {
        QFETCH(int, calendar);
        auto window = showWindow();
        QVERIFY(window);
        MonthCalendar *cal = window->calendar(calendar);
        const QDate day(cal->year(), cal->month(), 15);
        QString title;
        QTimer::singleShot(0, [&title] {
            if (QWidget *editor = QApplication::activeModalWidget()) {
                title = editor->findChild<ShadowLabel *>(QStringLiteral("lblTitle"))->text();
                editor->close();
            }
        });
        const QPoint at = cal->cellRect(cal->cellOfDate(day)).center();
        QTest::mouseClick(cal, Qt::LeftButton, {}, at); // the first click of the double click
        QTest::mouseDClick(cal, Qt::LeftButton, {}, at);
        QCOMPARE(window->selectedDay(), day);
        QVERIFY2(title.contains(
                     formatDateValue(QStringLiteral("ddd ddddd"), datevalue::fromDate(day), document().regional())),
            qPrintable(title));
    }

    void keys()
    {
        writeStore({ { QDate(2026, 1, 31), "No", "", "one" }, { QDate(2026, 1, 31), "No", "", "two" },
            { QDate(2026, 1, 31), "No", "", "three" } });
        auto window = showWindow();
        QVERIFY(window);
        GridView *list = window->dayView();
        list->setFocus();
        list->setCurrentTableRow(2);
        QTest::keyClick(list, Qt::Key_Up); // not the first row: the list moves
        QCOMPARE(list->currentTableRow(), 1);
        QCOMPARE(window->selectedDay(), QDate(2026, 1, 31));
        QTest::keyClick(list, Qt::Key_Up); // the first row: a week back
        QCOMPARE(window->selectedDay(), QDate(2026, 1, 24));
        QTest::keyClick(list, Qt::Key_Left);
        QCOMPARE(window->selectedDay(), QDate(2026, 1, 23));
        QTest::keyClick(list, Qt::Key_Escape);
        QCOMPARE(window->selectedDay(), QDate(2026, 1, 23));
        QVERIFY(window->isVisible());
        QCOMPARE(window->findChild<QWidget *>(QStringLiteral("StatusBar1"))->property("text").toString(),
            QStringLiteral("Today is Saturday, January 31, 2026"));
        window->Today1Click();
        QCOMPARE(window->selectedDay(), QDate(2026, 1, 31));
        QCOMPARE(window->activeCalendar(), 1);
        window->NextMonth1Click();
        QCOMPARE(window->selectedDay(), QDate(2026, 2, 28));
        QCOMPARE(months(*window), (QList<int> { 1, 2, 3, 4 }));
    }

    void dayColours_data()
    {
        QTest::addColumn<QList<TaskLine>>("tasks");
        QTest::addColumn<bool>("doneBox");
        QTest::addColumn<bool>("notDoneBox");
        QTest::addColumn<QString>("expected"); // "open", "done", "holiday", "plain"
        const QDate day(2026, 2, 14);
        QTest::newRow("done and open, both boxes")
            << QList<TaskLine> { { day, "Yes" }, { day, "No" } } << true << true << "open";
        QTest::newRow("done and open, done box")
            << QList<TaskLine> { { day, "Yes" }, { day, "No" } } << true << false << "done";
        QTest::newRow("holiday with an open task") << QList<TaskLine> { { day, "No" } } << true << true << "open";
        QTest::newRow("holiday, task filtered out")
            << QList<TaskLine> { { day, "No", "Home" } } << true << true << "holiday";
        QTest::newRow("holiday, no boxes") << QList<TaskLine> { { day, "No" } } << false << false << "holiday";
    }
    void dayColours()
    {
        QFETCH(QList<TaskLine>, tasks);
        QFETCH(bool, doneBox);
        QFETCH(bool, notDoneBox);
        QFETCH(QString, expected);
        writeStore(tasks);
        writeHoliday(QStringLiteral("Valentine's Day"), QStringLiteral("February"), QStringLiteral("14"));
        auto window = showWindow();
        QVERIFY(window);
        FilterState filter = document().filter();
        filter.categories = { { QStringLiteral("Home"), false } };
        document().setFilter(filter);
        Options options = document().options();
        options.doneColor = doneBox;
        options.notDoneColor = notDoneBox;
        document().setOptions(options);
        // 14 February is in the active calendar's neighbour: not selected there.
        const CalendarStrip::CellLook look = window->cellLook(2, QDate(2026, 2, 14));
        QVERIFY(look.paint);
        const QMap<QString, QColor> backgrounds { { "open", QColor(255, 0, 0) }, { "done", QColor(0, 255, 255) },
            { "holiday", QColor(255, 255, 0) } };
        QCOMPARE(look.background, backgrounds.value(expected));
    }

    void selectedDayOfAnInactiveCalendarShowsTaskColours()
    {
        writeStore({ { QDate(2026, 2, 28), "No" } });
        auto window = showWindow();
        QVERIFY(window);
        QCOMPARE(window->calendar(2)->date(), QDate(2026, 2, 28)); // cut from the 31st, selected there
        QCOMPARE(window->cellLook(2, QDate(2026, 2, 28)).background, QColor(255, 0, 0));
        const CalendarStrip::CellLook active = window->cellLook(1, QDate(2026, 1, 31));
        QCOMPARE(active.background, window->calendar(1)->selectedDayColour());
    }

    void headings()
    {
        writeStore({ { QDate(2026, 1, 31), "No" }, { QDate(2026, 1, 31), "No" }, { QDate(2026, 2, 1), "No" } });
        writeHoliday(QStringLiteral("Groundhog Day"), QStringLiteral("February"), QStringLiteral("2"));
        auto window = showWindow();
        QVERIFY(window);
        QCOMPARE(window->dateHeadingText(), QStringLiteral("2 tasks Sat 1/31/2026  Today"));
        QCOMPARE(window->dateHeadingColour(), QColor(0, 0, 255));
        QTest::keyClick(window->dayView(), Qt::Key_Right);
        QCOMPARE(window->dateHeadingText(), QStringLiteral("Sun 2/1/2026  Tomorrow"));
        QTest::keyClick(window->dayView(), Qt::Key_Right);
        QCOMPARE(window->dateHeadingText(), QStringLiteral("Groundhog Day  2 days"));
        QCOMPARE(window->dateHeadingColour(), QColor(255, 0, 0));

        QCOMPARE(window->todoHeadingText(), QStringLiteral("To-do Tasks"));
        document().todoList().setCell(todo::What, 1, QStringLiteral("one"));
        window->UpdateLabels(window->activeCalendar());
        QCOMPARE(window->todoHeadingText(), QStringLiteral("To-do Tasks"));
        document().todoList().setRowCount(3);
        document().todoList().setCell(todo::What, 2, QStringLiteral("two"));
        window->UpdateLabels(window->activeCalendar());
        QCOMPARE(window->todoHeadingText(), QStringLiteral("2 To-do Tasks"));
    }

    void doneRowsAreStruckOut_data()
    {
        QTest::addColumn<QString>("done");
        QTest::addColumn<bool>("struck");
        QTest::newRow("Yes") << "Yes" << true;
        QTest::newRow("Yes!") << "Yes!" << true;
        QTest::newRow("yes") << "yes" << false;
        QTest::newRow("No") << "No" << false;
    }
    void doneRowsAreStruckOut()
    {
        QFETCH(QString, done);
        QFETCH(bool, struck);
        auto window = showWindow();
        QVERIFY(window);
        CellTable list(todo::ColumnCount, 2);
        list.setCell(todo::Done, 1, done);
        QFont bold;
        bold.setBold(true);
        QVERIFY(document().options().strikeOut); // on by default
        const QFont font = gridNondayGetCellColor(list, todo::Done, 1, bold, true);
        QCOMPARE(font.strikeOut(), struck);
        QVERIFY(!font.bold()); // exactly strike-through, or no style at all
        QCOMPARE(gridNondayGetCellColor(list, todo::Done, 1, bold, false), bold);
    }

    void uncheckingDoneItemsHidesDoneTasksAtOnce()
    {
        writeStore({ { QDate(2026, 1, 31), "Yes", "", "done" }, { QDate(2026, 1, 31), "No", "", "open" },
            { QDate(2026, 2, 3), "Yes", "", "done later" } });
        auto window = showWindow();
        QVERIFY(window);
        QCOMPARE(window->dayView()->table()->rowCount(), 3);
        QCOMPARE(window->cellLook(2, QDate(2026, 2, 3)).background, QColor(0, 255, 255));
        QCOMPARE(window->filtersCaption(), QStringLiteral("Filters"));

        // Untick "&Done items" in the real filter window, then OK.
        QTimer::singleShot(0, window.get(), [&window] {
            TfrmFilter *dialog = window->storeCommands()->filterWindow();
            dialog->findChild<QCheckBox *>(QStringLiteral("cbDone"))->click();
            dialog->findChild<QPushButton *>(QStringLiteral("btOK"))->click();
        });
        window->findChild<QAction *>(QStringLiteral("Filters1"))->trigger();

        QCOMPARE(window->filtersCaption(), QStringLiteral("FILTERS ON"));
        QCOMPARE(window->dayView()->table()->rowCount(), 2);
        QCOMPARE(window->dayView()->table()->cell(daylist::What, 1), QStringLiteral("open"));
        const CalendarStrip::CellLook later = window->cellLook(2, QDate(2026, 2, 3));
        QVERIFY(later.background != QColor(0, 255, 255));
    }

    void notesPaneWritesBackOnlyAnEditedText()
    {
        const QString note = QStringLiteral("Call Ann\r\nbefore 5\r\n");
        writeStore({ { QDate(2026, 1, 31), "No", "", note }, { QDate(2026, 1, 31), "No", "", "second" } });
        auto window = showWindow();
        QVERIFY(window);
        QPlainTextEdit *pane = window->notesPane();
        QCOMPARE(pane->toPlainText(), QStringLiteral("Call Ann\nbefore 5"));
        pane->setFocus();
        window->todoView()->setFocus(); // a visit without a change
        QCOMPARE(document().store().cell(store::What, 1), note);

        window->dayView()->setCurrentTableRow(2);
        pane->setFocus();
        pane->selectAll();
        QTest::keyClicks(pane, QStringLiteral("second, edited"));
        window->todoView()->setFocus();
        const int row = store::findDayRow(document().store(), FilterState(), datevalue::dayNumber(QDate(2026, 1, 31)));
        QCOMPARE(document().store().cell(store::What, row + 1), QStringLiteral("second, edited"));
        QCOMPARE(document().store().cell(store::What, row), note);
        CellTable onDisk;
        QVERIFY(readGridFile(onDisk, dataFolder() + QStringLiteral("/grid.grd")).ok());
        QCOMPARE(onDisk.cell(store::What, row + 1), QStringLiteral("second, edited"));
    }

    // A huge note (never typed here, but a file can hold one) is shown by its beginning and
    // laid out no further, in the list and in the notes pane; it stays whole in the store.
    void aHugeNoteIsShownByItsBeginningAndKeptWhole()
    {
        const QString note = QStringLiteral("word ").repeated(200000); // a million characters
        writeStore({ { QDate(2026, 1, 31), "No", "", note }, { QDate(2026, 1, 31), "No", "", "second" } });
        auto window = showWindow();
        QVERIFY(window);
        QPlainTextEdit *pane = window->notesPane();
        QVERIFY(pane->toPlainText().size() < 10000);
        QVERIFY(pane->toPlainText().startsWith(QStringLiteral("word word")));
        QVERIFY(pane->isReadOnly());
        QVERIFY(pane->toolTip().contains(QStringLiteral("1000000 characters")));

        GridView *list = window->dayView();
        const QString tip = toolTipOfCell(list, list->model()->index(0, daylist::What));
        QVERIFY(tip.size() > 1000 && tip.size() < 10000);
        QVERIFY(tip.endsWith(QChar(0x2026)));

        pane->setFocus();
        window->dayView()->setCurrentTableRow(2); // away and back: nothing is written back
        QVERIFY(!pane->isReadOnly());
        window->dayView()->setCurrentTableRow(1);
        window->todoView()->setFocus();
        QCOMPARE(document().store().cell(store::What, 1), note);
    }
};

QTEST_MAIN(TestCalendars)
#include "tst_calendars.moc"
