#include "appfixture.h"
#include "shell/layoutcommands.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "shell/windowlayout.h"
#include "store/gridfile.h"
#include "store/taskstore.h"
#include "widgets/calendarstrip.h"
#include "widgets/datenavigator.h"
#include "widgets/gridview.h"
#include "widgets/monthcalendar.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QToolButton>

namespace {

const QDate kDay(2026, 1, 31);

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;
    std::unique_ptr<TfrmMain> m_window;

    LayoutCommands *layout() const { return m_window->layoutCommands(); }
    QSplitter *splitter(const char *name) const { return m_window->findChild<QSplitter *>(QLatin1String(name)); }

    // `calendarFontSize` 0: the options' own.
    void open(int calendarFontSize = 0)
    {
        // Six tasks, one with a long note of two lines.
        CellTable table = store::newStore();
        const QStringList times { "8:00 AM", "9:30 AM", "10:00 AM", "12:15 PM", "3:00 PM", "11:45 PM" };
        table.setRowCount(7);
        for (int i = 0; i < 6; ++i) {
            const QString what = i == 1 ? QStringLiteral("Call the bank about the mortgage renewal papers\r\n"
                                                         "and ask for the new rate sheet before Friday\r\n")
                                        : QStringLiteral("Task %1").arg(i);
            const QStringList cells { store::makeKey(datevalue::dayNumber(kDay), 101 + i), times[i], "Work", what, "No",
                "No" };
            for (int c = 0; c < 6; ++c)
                table.setCell(c, i + 1, cells[c]);
        }
        QVERIFY(writeGridFile(table, m_app->data(QStringLiteral("grid.grd"))).ok);
        m_app->loadDocument();
        if (calendarFontSize > 0) {
            Options options = m_app->document->options();
            options.calFont.size = calendarFontSize;
            m_app->document->setOptions(options);
        }
        m_window = std::make_unique<TfrmMain>(*m_app->document, m_app->services());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        if (calendarFontSize == 0)
            QCOMPARE(m_window->size(), QSize(637, 469));
    }

    // The lists' columns as a user sees them: nothing wraps that must not, nothing needs
    // a sideways scroll, and "What" has the rest.
    void checkColumns(const char *where)
    {
        QCoreApplication::processEvents();
        GridView *day = m_window->dayView();
        const QFontMetrics fm(day->listFont());
        QVERIFY2(day->columnWidth(daylist::Time) >= fm.horizontalAdvance(QStringLiteral("10:00 AM")) + 6, where);
        for (int row = 0; row < 6; ++row) {
            if (row != 1)
                QVERIFY2(day->rowHeight(row) <= std::max(day->listRowHeight(), fm.height() + 3), where);
        }
        QVERIFY2(day->rowHeight(1) > day->rowHeight(0), where); // the note's lines show
        for (GridView *list : { day, m_window->todoView() }) {
            int total = 0;
            for (int c = 0; c < list->model()->columnCount(); ++c)
                total += list->columnWidth(c);
            QVERIFY2(total <= list->viewport()->width(), where);
            QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
            const QHeaderView *header = list->horizontalHeader();
            const int last = list->model()->columnCount() - 1;
            QVERIFY2(header->fontMetrics().horizontalAdvance(list->model()->headerData(last, Qt::Horizontal).toString())
                    < list->columnWidth(last),
                where);
        }
    }

private Q_SLOTS:
    void init() { m_app = std::make_unique<AppFixture>(QDateTime(kDay, QTime(10, 0))); }
    void cleanup()
    {
        m_window.reset();
        m_app.reset();
    }

    void theListsFitAtOnceAfterEveryResize()
    {
        open();
        checkColumns("default size");
        // "What" has the rest (in a narrow list shared with "Category").
        GridView *day = m_window->dayView();
        const int what = day->columnWidth(daylist::What);
        const int rest = day->columnWidth(daylist::Category) + what;
        m_window->resize(1200, 900);
        checkColumns("large");
        QCOMPARE(day->columnWidth(daylist::Category) + day->columnWidth(daylist::What) - rest, 1200 - 637);
        QVERIFY(day->columnWidth(daylist::What) > 2 * day->columnWidth(daylist::Category));
        m_window->resize(637, 469);
        checkColumns("back to the default");
        QCOMPARE(day->columnWidth(daylist::What), what);
    }

    // The upper area is as high as split2 says; the to-do list takes what the window gains or
    // loses, down to its minimum. A window too short for that stops at its minimum, where
    // the calendars keep their font and each list shows a row.
    void theToDoListTakesWhatTheWindowGainsOrLoses()
    {
        open();
        QSplitter *split2 = splitter("split2");
        const int upper = split2->sizes().value(0);
        QCOMPARE(upper, WindowLayout::kDefaultSplit2);
        const int lower = split2->sizes().value(1);

        m_window->resize(637, 700);
        QCoreApplication::processEvents();
        QCOMPARE(split2->sizes().value(0), upper);
        QCOMPARE(split2->sizes().value(1), lower + 700 - 469);
        QVERIFY(m_window->layout().save().ok);
        QCOMPARE(
            m_app->settings->layoutValue(QStringLiteral("Split2")), std::optional<QString>(QString::number(upper)));
        checkColumns("700 high");

        m_window->resize(637, 300);
        QCoreApplication::processEvents();
        QCOMPARE(m_window->height(), m_window->minimumHeight());
        QVERIFY(m_window->minimumHeight() > 300);
        // At the window's minimum both areas are at theirs, no lower.
        QCOMPARE(split2->sizes().value(0), split2->widget(0)->minimumSizeHint().height());
        QCOMPARE(split2->sizes().value(1), split2->widget(1)->minimumSizeHint().height());
        for (int i = 0; i < 4; ++i) {
            MonthCalendar *cal = m_window->calendar(i);
            QCOMPARE(cal->font().pointSize(), m_app->document->options().calFont.size);
            QVERIFY(cal->showsCaption());
            QVERIFY(cal->height() >= cal->minimumSizeHint().height());
        }
        // The notes give way before the day list, which still shows its first tasks, the one
        // with a note of two lines among them.
        GridView *day = m_window->dayView();
        QVERIFY(day->viewport()->height() >= day->rowHeight(0) + day->rowHeight(1));
        QVERIFY(m_window->todoView()->viewport()->height() >= m_window->todoView()->listRowHeight());
        QCOMPARE(m_window->layout().split2, upper);
        // What is memorised is the user's split too.
        const int splitDay = m_window->layout().splitDay;
        QVERIFY(splitter("splitDay")->sizes().value(0) < splitDay);
        m_app->dialogs.confirmAnswers = { true };
        m_window->actions().Memorize1->trigger();
        QCOMPARE(readMemorizedLayout(*m_app->settings).split2Pos, upper);
        QCOMPARE(readMemorizedLayout(*m_app->settings).splitDay, splitDay);

        // What the window gets back goes to the upper area first, up to the user's split.
        m_window->resize(637, 469);
        QCoreApplication::processEvents();
        QCOMPARE(split2->sizes().value(0), upper);
        QCOMPARE(split2->sizes().value(1), lower);
    }

    // A split the user dragged is kept through resizes; an area closed by a Resize command
    // stays closed.
    void theUsersSplitIsKept()
    {
        open();
        QSplitter *split2 = splitter("split2");
        const int total = split2->sizes().value(0) + split2->sizes().value(1);
        split2->setSizes({ 250, total - 250 });
        Q_EMIT split2->splitterMoved(250, 1);
        m_window->resize(637, 700);
        QCoreApplication::processEvents();
        QCOMPARE(split2->sizes().value(0), 250);
        QCOMPARE(m_window->layout().split2, 250);

        m_window->actions().MaximizeDaily1->trigger();
        m_window->resize(637, 600);
        QCoreApplication::processEvents();
        QCOMPARE(split2->sizes().value(1), 0);
        m_window->actions().MaximizeTodo1->trigger();
        m_window->resize(637, 650);
        QCoreApplication::processEvents();
        QCOMPARE(split2->sizes().value(0), 0);
        QCOMPARE(m_window->layout().split2, 0);
    }

    // The calendars and the navigator are as wide as their font needs: day numbers keep a
    // space between them, the months and the date are whole, and the window's smallest
    // width follows.
    void theCalendarsTakeTheWidthTheirFontNeeds_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("12 pt") << 12;
        QTest::newRow("20 pt") << 20;
    }

    void theCalendarsTakeTheWidthTheirFontNeeds()
    {
        QFETCH(int, size);
        open(size);
        // Room for the navigator too.
        m_window->resize(m_window->width(), 900);
        QSplitter *split2 = splitter("split2");
        split2->setSizes({ 650, split2->sizes().value(0) + split2->sizes().value(1) - 650 });
        m_window->showDay(QDate(2026, 12, 28)); // the widest date of the year
        QCoreApplication::processEvents();
        for (int i = 0; i < 4; ++i) {
            MonthCalendar *cal = m_window->calendar(i);
            QCOMPARE(cal->font().pointSize(), size);
            QFont bold = cal->font();
            bold.setBold(true);
            const QFontMetrics fm(cal->font());
            const QFontMetrics boldMetrics(bold);
            // The cell's face less its grid line holds the number and a space.
            for (const int cell : { 1, 7, 36, 42 })
                QVERIFY(cal->cellRect(cell).width() - 1
                    >= boldMetrics.horizontalAdvance(QStringLiteral("28")) + fm.horizontalAdvance(QLatin1Char(' ')));
            QVERIFY(cal->width() - 4 >= boldMetrics.horizontalAdvance(QStringLiteral("September"))
                    + fm.horizontalAdvance(QStringLiteral(" 2026")));
        }
        DateNavigator *nav = m_window->calendars()->navigator();
        QVERIFY(nav->isVisible());
        auto *date = nav->findChild<QLabel *>(QStringLiteral("dateLabel"));
        QCOMPARE(date->text(), QStringLiteral("12/28/2026"));
        QVERIFY(date->contentsRect().width() >= date->fontMetrics().horizontalAdvance(date->text()));
        for (QToolButton *button : nav->findChildren<QToolButton *>())
            QVERIFY(nav->rect().contains(button->geometry()));
        // The window is never narrower than its parts need.
        QVERIFY(m_window->minimumWidth() >= m_window->centralWidget()->minimumSizeHint().width());
        QVERIFY(m_window->minimumWidth() >= m_window->minTrackWidth());
        m_window->resize(300, m_window->height());
        QCoreApplication::processEvents();
        QCOMPARE(m_window->width(), m_window->minimumWidth());
        QVERIFY(m_window->calendar(1)->cellRect(1).width() - 1
            >= QFontMetrics(m_window->calendar(1)->font()).horizontalAdvance(QStringLiteral("28")));
        // The day list keeps its columns whole, "What" at its narrowest.
        m_window->showDay(kDay);
        QCoreApplication::processEvents();
        GridView *day = m_window->dayView();
        int total = 0;
        for (int c = 0; c < day->model()->columnCount(); ++c)
            total += day->columnWidth(c);
        QVERIFY(total <= day->viewport()->width());
        QCOMPARE(day->horizontalScrollBar()->maximum(), 0);
    }

    void maximisingGivesOneListTheWholeHeight()
    {
        open();
        QSplitter *split2 = splitter("split2");
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->actions().MaximizeDaily1->trigger();
        QCOMPARE(split2->sizes().value(1), 0);
        QVERIFY(m_window->dayView()->hasFocus());
        m_window->actions().MaximizeTodo1->trigger();
        QCOMPARE(split2->sizes().value(0), 0);
        QVERIFY(m_window->todoView()->hasFocus());
        checkColumns("to-do maximised");
    }

    void smallCalendarsDropTheirParts()
    {
        open();
        QSplitter *split2 = splitter("split2");
        const int total = split2->sizes().value(0) + split2->sizes().value(1);
        auto calendarsAt = [&](int height) {
            split2->setSizes({ height, total - height });
            QCoreApplication::processEvents();
        };
        MonthCalendar *cal = m_window->calendar(0);
        DateNavigator *nav = m_window->calendars()->navigator();
        calendarsAt(300);
        QVERIFY(nav->isVisible());
        QVERIFY(cal->showsWeekdayHeader());
        QVERIFY(cal->showsCaption());
        calendarsAt(150); // 72 or 75 pixels a calendar: no navigator, no weekday header
        QVERIFY(!nav->isVisible());
        QVERIFY(!cal->showsWeekdayHeader());
        QVERIFY(cal->showsCaption());
        // Smaller than their font needs the calendars do not go: the splitter stops where
        // they still show their months and days in the calendar font.
        calendarsAt(90);
        QCOMPARE(split2->sizes().value(0), m_window->calendars()->minimumSizeHint().height());
        QVERIFY(cal->showsCaption());
        QCOMPARE(cal->font().pointSize(), m_app->document->options().calFont.size);
        QVERIFY(cal->height() >= cal->minimumSizeHint().height());
        calendarsAt(300);
        QCOMPARE(cal->font().pointSize(), m_app->document->options().calFont.size);
        QVERIFY(nav->isVisible());
    }

    void memoriseAndRestore()
    {
        open();
        m_window->actions().RestoreLayout1->trigger();
        QCOMPARE(m_app->dialogs.errors, QStringList { QStringLiteral("Screen has not yet been memorized") });
        QCOMPARE(m_window->size(), QSize(637, 469));

        m_app->dialogs.confirmAnswers = { false };
        m_window->actions().Memorize1->trigger();
        QCOMPARE(m_app->dialogs.questions, QStringList { QStringLiteral("Really memorize current screen positions?") });
        QVERIFY(!readMemorizedLayout(*m_app->settings).done);

        QSplitter *split1 = splitter("split1");
        split1->setSizes({ 280, split1->sizes().value(0) + split1->sizes().value(1) - 280 });
        const QRect frame = m_window->frameGeometry();
        m_app->dialogs.confirmAnswers = { true };
        m_window->actions().Memorize1->trigger();
        const MemorizedLayout kept = readMemorizedLayout(*m_app->settings);
        QVERIFY(kept.done);
        QCOMPARE(QRect(kept.left, kept.top, kept.width, kept.height), frame);
        QCOMPARE(kept.split1Pos, 280);
        QCOMPARE(kept.split2Pos, splitter("split2")->sizes().value(0));
        QCOMPARE(kept.splitDay, splitter("splitDay")->sizes().value(0));

        m_window->resize(900, 700);
        split1->setSizes({ 400, 900 - 400 });
        m_window->actions().MaximizeTodo1->trigger();
        m_window->actions().RestoreLayout1->trigger();
        QCOMPARE(m_app->dialogs.errors.size(), 1);
        QCOMPARE(m_window->size(), QSize(637, 469));
        QCOMPARE(split1->sizes().value(0), 280);
        QCOMPARE(splitter("split2")->sizes().value(0), kept.split2Pos);
        checkColumns("restored");
    }

    void aSplitterCommandFlashesItsSplitterAndPointsAtIt_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("4-month Calendars Width") << 0;
        QTest::newRow("Day to To-do Tasks") << 1;
        QTest::newRow("Daily Tasks/Notes") << 2;
    }

    void aSplitterCommandFlashesItsSplitterAndPointsAtIt()
    {
        QFETCH(int, index);
        open();
        QAction *commands[]
            = { m_window->actions().CalendarsWidth1, m_window->actions().DayToTodo1, m_window->actions().DailyNotes1 };
        m_window->timerPool().setEnabled(m_window->trigger(3), false);
        commands[index]->trigger();
        QCOMPARE(layout()->flashingSplitter(), index);
        QVERIFY(m_window->timerPool().isEnabled(m_window->trigger(3)));
        // The point lies on the splitter's bar.
        QSplitter *bars[] = { splitter("split1"), splitter("split2"), splitter("splitDay") };
        const QPoint local = bars[index]->handle(1)->mapFromGlobal(layout()->splitterPoint(index));
        QVERIFY(bars[index]->handle(1)->rect().contains(local));
        // Fifteen colour changes, the last one back to the window's own look; then it stops.
        for (int step = 0; step < 15; ++step)
            layout()->Timer2Timer();
        QCOMPARE(layout()->flashCount(), 0);
        QVERIFY(!bars[index]->handle(1)->autoFillBackground());
        layout()->Timer2Timer();
        QCOMPARE(layout()->flashingSplitter(), -1);
        QVERIFY(!m_window->timerPool().isEnabled(m_window->trigger(3)));
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
