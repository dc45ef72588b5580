#include "appfixture.h"
#include "schedule/daygrid.h"
#include "schedule/recurdialog.h"
#include "store/gridfile.h"
#include "testfiles.h"

#include "widgets/datefield.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>

namespace {

const QDate kFirst(2026, 1, 2); // a Friday; the fixture's "now" is 31 January 2026, 10:00

recur::TaskTemplate rentTemplate()
{
    return { QStringLiteral("9:30 AM"), QStringLiteral("Money"), QStringLiteral("Yes"),
        QStringLiteral("Pay the rent to Mrs Hughes, second floor\r\nbring the receipt\r\n") };
}

QString keyOf(QDate date, int sequence)
{
    return QString::number(datevalue::dayNumber(date)) + QLatin1Char('.') + QString::number(sequence);
}

QStringList keys(const CellTable &table)
{
    QStringList texts;
    for (int r = 1; r < table.rowCount(); ++r)
        texts << table.cell(store::Key, r);
    return texts;
}

} // namespace

class TestRecurDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_fx;
    std::unique_ptr<TfrmRecur> m_dialog;

    template <typename T> T *child(const char *name) const { return m_dialog->findChild<T *>(QLatin1String(name)); }
    QListView *list() const { return child<QListView>("ListBox1"); }
    QString count() const { return child<QLabel>("Label12")->text(); }
    QStringList lines() const
    {
        QStringList texts;
        for (int r = 0; r < list()->model()->rowCount(); ++r)
            texts << list()->model()->index(r, 0).data().toString();
        return texts;
    }
    void click(const char *name) const { child<QPushButton>(name)->click(); }
    void setRange(QDate start, QDate end) const
    {
        child<DateField>("date1")->setDate(start);
        child<DateField>("date2")->setDate(end);
    }
    // Daily, every day, over the range.
    void previewDaily(QDate start, QDate end) const
    {
        child<QRadioButton>("rbDaily")->click();
        setRange(start, end);
        click("btPreview");
    }
    void selectRows(const QList<int> &rows) const
    {
        list()->selectionModel()->clear();
        for (int row : rows)
            list()->selectionModel()->select(list()->model()->index(row, 0), QItemSelectionModel::Select);
    }
    QString storePath() const { return m_fx->data(QStringLiteral("grid.grd")); }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<AppFixture>();
        // One task on 5 January 2026, the day on show.
        CellTable table = store::newStore();
        table.setRowCount(2);
        const QStringList cells { keyOf(QDate(2026, 1, 5), 101), "8:00 AM", "Home", "Existing", "No", "No" };
        for (int c = 0; c < cells.size(); ++c)
            table.setCell(c, 1, cells[c]);
        QVERIFY(writeGridFile(table, storePath()).ok);
        TaskDocument &document = m_fx->loadDocument();
        document.showDay(datevalue::dayNumber(QDate(2026, 1, 5)));
        m_dialog = std::make_unique<TfrmRecur>(document, m_fx->dialogs, m_fx->clock);
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Repeating event"));
        m_dialog->init(rentTemplate(), kFirst);
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
    }
    void cleanup()
    {
        m_dialog.reset();
        m_fx.reset();
    }

    void opensOnTheFirstDateWithWeekOfMonth()
    {
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Repeating event for Pay the rent to Mrs Hughes, second ..."));
        QCOMPARE(child<DateField>("date1")->date(), kFirst);
        QCOMPARE(child<DateField>("date2")->date(), kFirst.addDays(30));
        QCOMPARE(child<QLabel>("lblNdays")->text(), QStringLiteral("30"));
        QVERIFY(child<QRadioButton>("rbWeekOfMonth")->isChecked());
        QVERIFY(child<QWidget>("pnlWeekOfMonth")->isVisible());
        QCOMPARE(count(), QStringLiteral("Number of dates: "));
        QVERIFY(child<QPushButton>("btPreview")->isDefault());
        QVERIFY(!child<QPushButton>("btDelete")->isEnabled());
        QVERIFY(!child<QPushButton>("btOK")->isEnabled());
        QCOMPARE(child<QPushButton>("btOK")->toolTip(), QStringLiteral("Add multiple reminders"));
        QCOMPARE(list()->toolTip(), QStringLiteral("Click and drag to select multiple dates to delete"));
        QCOMPARE(list()->selectionMode(), QAbstractItemView::ExtendedSelection);
        const std::pair<const char *, int> spins[]
            = { { "seWeekOfMonth", 12 }, { "seDaysOfMonth", 12 }, { "seWeekly", 52 }, { "seDaily", 364 } };
        for (const auto &[name, maximum] : spins) {
            QCOMPARE(child<QSpinBox>(name)->minimum(), 1);
            QCOMPARE(child<QSpinBox>(name)->maximum(), maximum);
            QCOMPARE(child<QSpinBox>(name)->value(), 1);
        }
        for (QCheckBox *box : m_dialog->findChildren<QCheckBox *>())
            QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));

        // The first date can come first: the buttons follow the list in the tab order.
        QCOMPARE(m_dialog->focusWidget(), child<DateField>("date1")->lineEdit());
        QWidget *afterList = list()->nextInFocusChain();
        while (afterList->focusPolicy() == Qt::NoFocus)
            afterList = afterList->nextInFocusChain();
        QCOMPARE(afterList, child<QPushButton>("btPreview"));
        // A title shows one line.
        m_dialog->init({ "", "", "No", QStringLiteral("Rent\r\ndue\r\n") }, kFirst);
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Repeating event for Rent due ..."));

        child<DateField>("date2")->setDate(kFirst.addDays(-3));
        QCOMPARE(child<QLabel>("lblNdays")->text(), QStringLiteral("-3"));
        child<DateField>("date1")->setDate(kFirst.addDays(-10));
        QCOMPARE(child<QLabel>("lblNdays")->text(), QStringLiteral("7"));
    }

    void eachKindShowsOnlyItsPanel_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<int>("kind");
        QTest::newRow("days of month") << "rbDaysOfMonth"
                                       << "pnlDaysOfMonth" << int(recur::Kind::DaysOfMonth);
        QTest::newRow("weekly") << "rbWeekly"
                                << "pnlWeekly" << int(recur::Kind::Weekly);
        QTest::newRow("daily") << "rbDaily"
                               << "pnlDaily" << int(recur::Kind::Daily);
        QTest::newRow("annually") << "rbAnnually"
                                  << "pnlAnnually" << int(recur::Kind::Annually);
        QTest::newRow("week of month again") << "rbWeekOfMonth"
                                             << "pnlWeekOfMonth" << int(recur::Kind::WeekOfMonth);
    }
    void eachKindShowsOnlyItsPanel()
    {
        QFETCH(QString, radio);
        QFETCH(QString, panel);
        QFETCH(int, kind);
        child<QRadioButton>("rbAnnually")->click();
        m_dialog->findChild<QRadioButton *>(radio)->click();
        for (QWidget *page :
            child<QStackedWidget>("pnlRules")->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (page->objectName().startsWith(QLatin1String("pnl")))
                QCOMPARE(page->isVisible(), page->objectName() == panel);
        }
        QCOMPARE(int(m_dialog->rule().kind), kind);
    }

    // The panel's settings reach the rule: Weekly every 2 weeks on Monday and Friday.
    void previewListsTheRulesDates()
    {
        child<QRadioButton>("rbWeekly")->click();
        child<QSpinBox>("seWeekly")->setValue(2);
        child<QCheckBox>("cbWeekMon")->setChecked(true);
        child<QCheckBox>("cbWeekFri")->setChecked(true);
        setRange(QDate(2026, 1, 7), QDate(2026, 2, 6));
        click("btPreview");
        QCOMPARE(m_dialog->previewDates(),
            (QList<QDate> {
                QDate(2026, 1, 9), QDate(2026, 1, 19), QDate(2026, 1, 23), QDate(2026, 2, 2), QDate(2026, 2, 6) }));
        // Date, weekday and the phrase as seen from the fixture's "now", 31 January 2026.
        QCOMPARE(lines().first(), QStringLiteral("1/9/2026\tFri\t22 days ago"));
        QCOMPARE(lines().last(), QStringLiteral("2/6/2026\tFri\t6 days"));
        QCOMPARE(count(), QStringLiteral("Number of dates: 5"));
        QVERIFY(child<QPushButton>("btOK")->isEnabled());
        QVERIFY(!child<QPushButton>("btDelete")->isEnabled());
        QVERIFY(m_fx->dialogs.errors.isEmpty());
    }

    // The whole dialog: preview, strike dates, confirm; OK hands back the template's task and
    // the dates left, in the list's order, and the dialog itself writes nothing.
    void okGivesTheTaskOnTheDatesLeft_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QList<int>>("struck");
        QTest::addColumn<QList<QDate>>("dates");
        QTest::newRow("daily, two struck")
            << "rbDaily" << QDate(2026, 1, 2) << QDate(2026, 1, 7) << QList<int> { 1, 4 }
            << QList<QDate> { QDate(2026, 1, 2), QDate(2026, 1, 4), QDate(2026, 1, 5), QDate(2026, 1, 7) };
        QTest::newRow("daily, the first and the last struck")
            << "rbDaily" << QDate(2026, 1, 5) << QDate(2026, 1, 8) << QList<int> { 0, 3 }
            << QList<QDate> { QDate(2026, 1, 6), QDate(2026, 1, 7) };
        QTest::newRow("annually, none struck")
            << "rbAnnually" << QDate(2026, 1, 5) << QDate(2028, 6, 1) << QList<int> {}
            << QList<QDate> { QDate(2026, 1, 5), QDate(2027, 1, 5), QDate(2028, 1, 5) };
    }
    void okGivesTheTaskOnTheDatesLeft()
    {
        QFETCH(QString, radio);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QList<int>, struck);
        QFETCH(QList<QDate>, dates);
        m_dialog->findChild<QRadioButton *>(radio)->click();
        setRange(start, end);
        click("btPreview");
        if (!struck.isEmpty()) {
            selectRows(struck);
            QVERIFY(child<QPushButton>("btDelete")->isEnabled());
            click("btDelete");
            QVERIFY(!child<QPushButton>("btDelete")->isEnabled());
        }
        QCOMPARE(count(), QStringLiteral("Number of dates: %1").arg(dates.size()));

        const QByteArray before = readAll(storePath());
        const QStringList keysBefore = keys(m_fx->document->store());
        m_fx->dialogs.confirmAnswers << true;
        click("btOK");
        QCOMPARE(m_fx->dialogs.questions,
            QStringList { QStringLiteral("Really add %1 events to the calendar?").arg(dates.size()) });
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(m_dialog->recurrence(), (recur::Recurrence { rentTemplate(), dates }));
        QCOMPARE(readAll(storePath()), before);
        QCOMPARE(keys(m_fx->document->store()), keysBefore);
        QVERIFY(m_fx->dialogs.errors.isEmpty());
    }

    // Ranges no rule can use are refused with a message, and nothing is listed.
    void badRangesAreRefused_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QString>("error");
        QTest::newRow("end before start")
            << QDate(2026, 3, 1) << QDate(2026, 2, 1) << QString::fromLatin1(recur::kNoDates);
        QTest::newRow("more than 20 years")
            << QDate(2026, 1, 1) << QDate(2047, 1, 1) << QString::fromLatin1(recur::kRangeTooLong);
    }
    void badRangesAreRefused()
    {
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QString, error);
        previewDaily(start, end);
        QCOMPARE(m_fx->dialogs.errors, QStringList { error });
        QCOMPARE(lines(), QStringList());
        QVERIFY(!child<QPushButton>("btOK")->isEnabled());
    }

    void noKeepsTheDialogOpenAndAddsNothing()
    {
        previewDaily(QDate(2026, 1, 2), QDate(2026, 1, 4));
        const QByteArray before = readAll(storePath());
        const QStringList keysBefore = keys(m_fx->document->store());
        m_fx->dialogs.confirmAnswers << false;
        click("btOK");
        QCOMPARE(m_fx->dialogs.questions, QStringList { "Really add 3 events to the calendar?" });
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(lines().size(), 3);
        QCOMPARE(keys(m_fx->document->store()), keysBefore);
        QCOMPARE(readAll(storePath()), before);

        click("btCancel");
        QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
        QCOMPARE(readAll(storePath()), before);
    }

    void deleteKeyStrikesTheSelectedDates()
    {
        previewDaily(QDate(2026, 1, 2), QDate(2026, 1, 6));
        selectRows({ 0, 1, 4 });
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(m_dialog->previewDates(), (QList<QDate> { QDate(2026, 1, 4), QDate(2026, 1, 5) }));
        QCOMPARE(count(), QStringLiteral("Number of dates: 2"));

        // Striking every date leaves nothing to add.
        selectRows({ 0, 1 });
        click("btDelete");
        QCOMPARE(count(), QStringLiteral("Number of dates: 0"));
        QVERIFY(!child<QPushButton>("btOK")->isEnabled());
        QVERIFY(!child<QPushButton>("btDelete")->isEnabled());
    }

    void fourthAndLastExcludeEachOther_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("4th, then Last") << "cb4th"
                                        << "cbLast";
        QTest::newRow("Last, then 4th") << "cbLast"
                                        << "cb4th";
    }
    void fourthAndLastExcludeEachOther()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        auto *a = m_dialog->findChild<QCheckBox *>(first);
        auto *b = m_dialog->findChild<QCheckBox *>(second);
        QTest::mouseClick(a, Qt::LeftButton);
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(a->isChecked());
        QVERIFY(!b->isChecked());
        // Once the first is cleared, the second may be ticked.
        QTest::mouseClick(a, Qt::LeftButton);
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(!a->isChecked());
        QVERIFY(b->isChecked());
    }

    void dayGridFlipsAndDraws()
    {
        child<QRadioButton>("rbDaysOfMonth")->click();
        auto *grid = child<DayGrid>("sgMonth");
        QVERIFY(grid->isVisible());
        QCOMPARE(grid->model()->rowCount(), 5);
        QCOMPARE(grid->model()->columnCount(), 7);
        QCOMPARE(grid->model()->index(4, 2).data().toString(), QStringLiteral("31"));
        QCOMPARE(grid->model()->index(4, 3).data().toString(), QString());

        auto clickDay = [grid](const QModelIndex &index) {
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
        };
        // Tabbing in gives the grid a current cell without picking a day.
        grid->setFocus(Qt::TabFocusReason);
        QCOMPARE(grid->currentIndex(), grid->indexOfDay(1));
        QVERIFY(!grid->isDaySelected(1));
        clickDay(grid->indexOfDay(5));
        clickDay(grid->indexOfDay(12));
        QVERIFY(grid->isDaySelected(5));
        QVERIFY(grid->isDaySelected(12));
        clickDay(grid->indexOfDay(12)); // the current cell again
        QVERIFY(!grid->isDaySelected(12));
        QTest::keyClick(grid, Qt::Key_Right); // 13 becomes current
        QVERIFY(grid->isDaySelected(13));
        QTest::keyClick(grid, Qt::Key_Space);
        QVERIFY(!grid->isDaySelected(13));
        clickDay(grid->model()->index(4, 5)); // a blank cell cannot be picked
        QCOMPARE(grid->currentIndex(), grid->indexOfDay(13));
        QTest::keyClick(grid, Qt::Key_Down); // to 20
        QVERIFY(grid->isDaySelected(20));
        recur::MonthDays expected {};
        expected[4] = expected[19] = true;
        QVERIFY(m_dialog->rule().days == expected);

        // Selected days white on black, the others black on white; the number at the top left.
        grid->clearFocus();
        const QImage image = grid->grab().toImage();
        auto cellColours = [&](int day) {
            QRect cell = grid->visualRect(grid->indexOfDay(day));
            cell.translate(grid->viewport()->pos());
            int dark = 0, light = 0;
            for (int y = cell.top() + 2; y < cell.top() + 2 + cell.height() / 2; ++y)
                for (int x = cell.left() + 2; x < cell.left() + 2 + cell.width() / 2; ++x)
                    (qGray(image.pixel(x, y)) < 128 ? dark : light)++;
            return std::make_tuple(image.pixelColor(cell.bottomRight() - QPoint(3, 3)), dark, light);
        };
        const auto [selectedBack, selectedDark, selectedLight] = cellColours(5);
        QCOMPARE(selectedBack, QColor(Qt::black));
        QVERIFY(selectedLight > 0 && selectedDark > selectedLight);
        const auto [plainBack, plainDark, plainLight] = cellColours(6);
        QCOMPARE(plainBack, QColor(Qt::white));
        QVERIFY(plainDark > 0 && plainLight > plainDark);
    }

    void countLabelAndReset()
    {
        previewDaily(QDate(2026, 1, 2), QDate(2026, 1, 11));
        QCOMPARE(count(), QStringLiteral("Number of dates: 10"));
        selectRows({ 0 });
        click("btReset");
        QCOMPARE(count(), QString());
        QVERIFY(lines().isEmpty());
        QVERIFY(!child<QPushButton>("btOK")->isEnabled());
        QVERIFY(!child<QPushButton>("btDelete")->isEnabled());

        // Week of Month with nothing ticked gives no dates.
        child<QRadioButton>("rbWeekOfMonth")->click();
        click("btPreview");
        QCOMPARE(m_fx->dialogs.errors,
            QStringList { "No dates were generated.  Check your starting/ending dates and selections." });
        QCOMPARE(count(), QStringLiteral("Number of dates: 0"));
        QVERIFY(!child<QPushButton>("btOK")->isEnabled());
    }

    // 7400 days are listed whole; 7401 are refused and the list stays as it was.
    void rangeOfTwentyYears()
    {
        previewDaily(QDate(2026, 1, 1), QDate(2026, 1, 1).addDays(7400));
        QCOMPARE(lines().size(), 7401);
        QCOMPARE(count(), QStringLiteral("Number of dates: 7401"));
        selectRows({ 0, 1 });
        click("btDelete");
        child<DateField>("date2")->setDate(QDate(2026, 1, 1).addDays(7401));
        click("btPreview");
        QCOMPARE(m_fx->dialogs.errors, QStringList { "Date range exceeds 20 years!" });
        QCOMPARE(lines().size(), 7399);
        QCOMPARE(count(), QStringLiteral("Number of dates: 7399"));
        QVERIFY(m_fx->dialogs.questions.isEmpty());
    }

    void aFullListWarnsOnceAndKeepsWhatItHolds()
    {
        m_dialog->setPreviewCapacity(3);
        previewDaily(QDate(2026, 1, 2), QDate(2026, 1, 20));
        QCOMPARE(m_fx->dialogs.warnings,
            QStringList { "Maximum capacity of listbox reached ... unable to preview all dates." });
        QVERIFY(m_fx->dialogs.errors.isEmpty());
        QCOMPARE(m_dialog->previewDates(), (QList<QDate> { QDate(2026, 1, 2), QDate(2026, 1, 3), QDate(2026, 1, 4) }));
        QCOMPARE(count(), QStringLiteral("Number of dates: 3"));
        QVERIFY(child<QPushButton>("btOK")->isEnabled());
    }
};

QTEST_MAIN(TestRecurDialog)
#include "tst_recurdialog.moc"
