#include "appfixture.h"
#include "shell/finddialog.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "shell/searchcommands.h"
#include "store/gridfile.h"
#include "store/taskstore.h"
#include "text/datevalue.h"
#include "widgets/celltablemodel.h"
#include "widgets/gridview.h"
#include "widgets/monthcalendar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// Find, the steps to highlighted days and the calendar keys, through the real main window.
class TestSearchNavigation : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;

    void writeStore(const QList<std::pair<QDate, QString>> &tasks)
    {
        CellTable table = store::newStore();
        table.setRowCount(int(tasks.size()) + 1);
        for (int i = 0; i < tasks.size(); ++i) {
            const QStringList cells { store::makeKey(datevalue::dayNumber(tasks[i].first), 101 + i),
                QStringLiteral("%1:00 AM").arg(8 + i % 4), QString(), tasks[i].second, QStringLiteral("No"),
                QStringLiteral("No") };
            for (int c = 0; c < 6; ++c)
                table.setCell(c, i + 1, cells[c]);
        }
        store::compactAndSort(table);
        QVERIFY(writeGridFile(table, m_app->data(QStringLiteral("grid.grd"))).ok);
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

    static QString selectedWhat(TfrmMain &window)
    {
        GridView *list = window.dayView();
        return list->table()->cell(daylist::What, list->currentTableRow());
    }

private Q_SLOTS:
    void init() { m_app = std::make_unique<AppFixture>(QDateTime(QDate(2026, 1, 31), QTime(10, 0))); }

    void findStepsSelectTheHitAndWarnAtTheEnd()
    {
        writeStore({ { QDate(2026, 1, 5), "paint the fence" }, { QDate(2026, 2, 3), "buy milk" },
            { QDate(2026, 2, 3), "Paint the door" }, { QDate(2026, 3, 9), "call Ann" } });
        auto window = showWindow();
        QVERIFY(window);
        window->actions().Search1->trigger();
        FindDialog *find = window->searchCommands()->findDialog();
        QVERIFY(find && find->isVisible());
        QVERIFY(!find->findChild<QPushButton *>(QStringLiteral("btFindNext"))->isEnabled()); // nothing typed yet
        find->setText(QStringLiteral("paint"));
        auto findNext
            = [&] { QTest::mouseClick(find->findChild<QPushButton *>(QStringLiteral("btFindNext")), Qt::LeftButton); };

        findNext();
        QCOMPARE(window->selectedDay(), QDate(2026, 1, 5));
        QCOMPARE(selectedWhat(*window), QStringLiteral("paint the fence"));
        findNext();
        QCOMPARE(window->selectedDay(), QDate(2026, 2, 3));
        QCOMPARE(selectedWhat(*window), QStringLiteral("Paint the door")); // the second task of that day
        findNext();
        QCOMPARE(m_app->dialogs.warnings,
            QStringList {
                QStringLiteral("Could not find \"paint\" in any calendar task. Search reset to first task date") });
        QCOMPARE(window->selectedDay(), QDate(2026, 2, 3)); // a failed step moves nothing
        findNext(); // and the next one starts over
        QCOMPARE(window->selectedDay(), QDate(2026, 1, 5));
        QVERIFY(find->geometry().topLeft().x() >= window->geometry().left());
    }

    // Whatever is pasted into the search box, a search runs and says plainly when nothing is found.
    void findTakesAnyPastedText_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("searched");
        QTest::newRow("control characters") << QStringLiteral("pa\x01int") << QStringLiteral("pa\x01int");
        QTest::newRow("2 MB, cut to the box")
            << QString(2 << 20, QLatin1Char('p')) << QString(FindDialog::kMaxFindLength, QLatin1Char('p'));
    }
    void findTakesAnyPastedText()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, searched);
        writeStore({ { QDate(2026, 1, 5), "paint the fence" } });
        auto window = showWindow();
        QVERIFY(window);
        window->actions().Search1->trigger();
        FindDialog *find = window->searchCommands()->findDialog();
        auto *box = find->findChild<QLineEdit *>(QStringLiteral("edFind"));
        QApplication::clipboard()->setText(pasted);
        box->paste();
        QTest::mouseClick(find->findChild<QPushButton *>(QStringLiteral("btFindNext")), Qt::LeftButton);
        QCOMPARE(m_app->dialogs.warnings,
            QStringList { QStringLiteral("Could not find \"") + searched
                + QStringLiteral("\" in any calendar task. Search reset to first task date") });
    }

    void highlightedDaySteps()
    {
        writeStore({ { QDate(2025, 12, 24), "before" }, { QDate(2026, 3, 2), "after" } });
        auto window = showWindow();
        QVERIFY(window);
        window->actions().NextTask1->trigger();
        QCOMPARE(window->selectedDay(), QDate(2026, 3, 2));
        window->actions().NextTask1->trigger(); // none further: the day stays
        QCOMPARE(window->selectedDay(), QDate(2026, 3, 2));
        window->actions().PriorTask1->trigger();
        QCOMPARE(window->selectedDay(), QDate(2025, 12, 24));
    }

    void navigation_data()
    {
        QTest::addColumn<int>("calendar");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<int>("firstMonth");
        QTest::newRow("Page Down on 31 January") << 1 << QDate(2026, 1, 31) << "PageDown" << QDate(2026, 2, 28) << 1;
        QTest::newRow("Page Up on 31 March") << 1 << QDate(2026, 3, 31) << "PageUp" << QDate(2026, 2, 28) << 1;
        QTest::newRow("Right on the last day of cal4") << 3 << QDate(2026, 4, 30) << "Right" << QDate(2026, 5, 1) << 2;
        QTest::newRow("Up on the first row") << 1 << QDate(2026, 1, 31) << "Up" << QDate(2026, 1, 24) << 12;
        QTest::newRow("next year on 29 February") << 1 << QDate(2024, 2, 29) << "NextYear" << QDate(2025, 2, 28) << 1;
        QTest::newRow("prior year on 29 February") << 1 << QDate(2024, 2, 29) << "PriorYear" << QDate(2023, 2, 28) << 1;
    }

    void navigation()
    {
        QFETCH(int, calendar);
        QFETCH(QDate, from);
        QFETCH(QString, step);
        QFETCH(QDate, to);
        QFETCH(int, firstMonth);
        writeStore({ { QDate(2026, 1, 31), "one" }, { QDate(2026, 1, 31), "two" } });
        auto window = showWindow();
        QVERIFY(window);
        MonthCalendar *cal = window->calendar(calendar);
        QTest::mousePress(cal, Qt::LeftButton, {}, cal->cellRect(20).center());
        QCOMPARE(window->activeCalendar(), calendar);
        window->setActiveDate(from);
        if (step == QLatin1String("PageDown"))
            window->actions().NextMonth1->trigger();
        else if (step == QLatin1String("PageUp"))
            window->actions().PriorMonth1->trigger();
        else if (step == QLatin1String("NextYear"))
            window->actions().NextYear1->trigger();
        else if (step == QLatin1String("PriorYear"))
            window->actions().PriorYear1->trigger();
        else if (step == QLatin1String("Right")) {
            cal->setFocus();
            QTest::keyClick(cal, Qt::Key_Right);
        } else {
            GridView *list = window->dayView();
            list->setFocus();
            list->setCurrentTableRow(1);
            QTest::keyClick(list, Qt::Key_Up);
        }
        QCOMPARE(window->selectedDay(), to);
        QCOMPARE(window->calendar(0)->month(), firstMonth);
    }
};

QTEST_MAIN(TestSearchNavigation)
#include "tst_searchnav.moc"
