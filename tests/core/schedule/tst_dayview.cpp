#include "schedule/dayview.h"
#include "settings/settingsstore.h"
#include "store/taskstore.h"
#include "text/regional.h"

#include <QTest>

namespace {

const qint64 kDay = 36600;

CellTable storeWith(const QList<QStringList> &tasks) // category, done
{
    CellTable table = store::newStore();
    table.setRowCount(int(tasks.size()) + 1);
    for (int i = 0; i < tasks.size(); ++i) {
        const QStringList cells { store::makeKey(kDay, 101 + i), "9:00 AM", tasks[i][0], "task", tasks[i][1], "No" };
        for (int c = 0; c < 6; ++c)
            table.setCell(c, i + 1, cells[c]);
    }
    return table;
}

} // namespace

class TestDayView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dayColours_data()
    {
        QTest::addColumn<QList<QStringList>>("tasks");
        QTest::addColumn<bool>("holiday");
        QTest::addColumn<bool>("doneBox");
        QTest::addColumn<bool>("notDoneBox");
        QTest::addColumn<bool>("holidayBox");
        QTest::addColumn<int>("look");
        using L = dayview::Look;
        const QList<QStringList> mixed { { "", "Yes" }, { "", "No" } };
        QTest::newRow("done and open, both boxes") << mixed << false << true << true << true << int(L::NotDone);
        QTest::newRow("done and open, done box only") << mixed << false << true << false << true << int(L::Done);
        QTest::newRow("done and open, open box only") << mixed << false << false << true << true << int(L::NotDone);
        QTest::newRow("done only, both boxes")
            << QList<QStringList> { { "", "Yes" } } << false << true << true << true << int(L::Done);
        QTest::newRow("no boxes") << mixed << false << false << false << true << int(L::Plain);
        QTest::newRow("holiday with an open task")
            << QList<QStringList> { { "", "No" } } << true << true << true << true << int(L::NotDone);
        QTest::newRow("holiday whose task is filtered out")
            << QList<QStringList> { { "Home", "No" } } << true << true << true << true << int(L::Holiday);
        QTest::newRow("holiday box cleared") << QList<QStringList> {} << true << true << true << false << int(L::Plain);
        QTest::newRow("flag texts only exact")
            << QList<QStringList> { { "", "yes" }, { "", "no" } } << false << true << true << true << int(L::Plain);
    }
    void dayColours()
    {
        QFETCH(QList<QStringList>, tasks);
        QFETCH(bool, holiday);
        QFETCH(bool, doneBox);
        QFETCH(bool, notDoneBox);
        QFETCH(bool, holidayBox);
        QFETCH(int, look);
        FilterState filter;
        filter.categories = { { QStringLiteral("Home"), false } };
        dayview::ColourOptions options = dayview::colourOptionsOf(Options(QString()), true);
        options.doneColor = doneBox;
        options.notDoneColor = notDoneBox;
        options.holidays = holidayBox;
        const dayview::DayColours colours = dayview::dayColours(storeWith(tasks), filter, kDay, holiday, options);
        QCOMPARE(int(colours.look), look);
        const int backgrounds[] = { -1, options.holidayBG, options.doneBG, options.notDoneBG };
        QCOMPARE(colours.background, backgrounds[look]);
    }

    void fourConsecutiveMonthsAroundTheActiveCalendar_data()
    {
        QTest::addColumn<int>("active");
        QTest::addColumn<QDate>("selected");
        QTest::addColumn<QList<QDate>>("dates");
        QTest::newRow("second, 31 January")
            << 1 << QDate(2024, 1, 31)
            << QList<QDate> { { 2023, 12, 31 }, { 2024, 1, 31 }, { 2024, 2, 29 }, { 2024, 3, 29 } };
        QTest::newRow("fourth, across the year")
            << 3 << QDate(2026, 2, 14)
            << QList<QDate> { { 2025, 11, 14 }, { 2025, 12, 14 }, { 2026, 1, 14 }, { 2026, 2, 14 } };
        QTest::newRow("first, 31 May") << 0 << QDate(2026, 5, 31)
                                       << QList<QDate> { { 2026, 5, 31 }, { 2026, 6, 30 }, { 2026, 7, 30 },
                                              { 2026, 8, 30 } };
    }
    void fourConsecutiveMonthsAroundTheActiveCalendar()
    {
        QFETCH(int, active);
        QFETCH(QDate, selected);
        QFETCH(QList<QDate>, dates);
        const std::array<QDate, 4> shown = dayview::calendarDates(active, selected);
        QCOMPARE(QList<QDate>(shown.begin(), shown.end()), dates);
    }

    void todoHeading_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("heading");
        QTest::newRow("no task") << 2 << "To-do Tasks";
        QTest::newRow("one task") << 2 << "To-do Tasks";
        QTest::newRow("two tasks") << 3 << "2 To-do Tasks";
        QTest::newRow("ten tasks") << 11 << "10 To-do Tasks";
    }
    void todoHeading()
    {
        QFETCH(int, rows);
        QFETCH(QString, heading);
        QCOMPARE(dayview::todoHeading(rows), heading);
    }

    void dateHeading()
    {
        RegionalSettings uk = RegionalSettings::englishUK();
        const DateValue day = datevalue::fromDate(QDate(2000, 3, 14));
        const DateValue now = day + 0.5;
        auto plain = dayview::dateHeading(day, now, 4, QString(), true, uk);
        QCOMPARE(plain.caption, QStringLiteral("3 tasks Tue 14/03/2000  Today"));
        QCOMPARE(plain.colour, dayview::kBlue);
        plain = dayview::dateHeading(day, now + 1, 2, QString(), false, uk);
        QCOMPARE(plain.caption, QStringLiteral("Tue 14/03/2000  Yesterday"));
        QCOMPARE(plain.colour, dayview::kNavy);
        const auto holiday = dayview::dateHeading(day, now, 4, QStringLiteral("Pi Day"), true, uk);
        QCOMPARE(holiday.caption, QStringLiteral("Pi Day  Today"));
        QCOMPARE(holiday.colour, dayview::kRed);
    }
};

QTEST_GUILESS_MAIN(TestDayView)
#include "tst_dayview.moc"
