#include "widgets/monthcalendar.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <map>
#include <memory>

Q_DECLARE_METATYPE(Qt::DayOfWeek)
Q_DECLARE_METATYPE(MonthCalendar::Bevel)

namespace {

std::unique_ptr<MonthCalendar> makeCalendar(QDate date, QSize size = QSize(280, 240))
{
    auto calendar = std::make_unique<MonthCalendar>();
    calendar->setRegionalSettings(RegionalSettings::englishUS());
    calendar->setWeekStart(Qt::Sunday);
    calendar->setDate(date);
    calendar->resize(size);
    return calendar;
}

// A colour of its own for every day of a month, far from the calendar's greys.
QColor backgroundOf(QDate day)
{
    return QColor(40 + day.day() * 6, 200 - day.day() * 5, 90 + (day.day() % 3) * 50);
}

// A pixel of the cell away from its centre, where the day number is drawn.
QColor cellBackgroundPixel(const QImage &image, const QRect &cell)
{
    return image.pixelColor(cell.topLeft() + QPoint(2, 2));
}

QImage paintedImage(MonthCalendar &calendar)
{
    return calendar.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool containsColour(const QImage &image, const QRect &area, const QColor &colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

} // namespace

class TestMonthCalendar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysStepTheDay_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QDate>("expected");

        const QList<int> pageDown { Qt::Key_PageDown };
        const QList<int> pageUp { Qt::Key_PageUp };
        QTest::newRow("left across a leap day")
            << QDate(2024, 3, 1) << QList<int> { Qt::Key_Left } << QDate(2024, 2, 29);
        QTest::newRow("right across the year")
            << QDate(2025, 12, 31) << QList<int> { Qt::Key_Right } << QDate(2026, 1, 1);
        QTest::newRow("up a week into the month before")
            << QDate(2026, 3, 3) << QList<int> { Qt::Key_Up } << QDate(2026, 2, 24);
        QTest::newRow("down a week into the month after")
            << QDate(2026, 2, 28) << QList<int> { Qt::Key_Down } << QDate(2026, 3, 7);
        QTest::newRow("31 January + month, leap year") << QDate(2024, 1, 31) << pageDown << QDate(2024, 2, 29);
        QTest::newRow("31 January + month, common year") << QDate(2023, 1, 31) << pageDown << QDate(2023, 2, 28);
        QTest::newRow("31 March - month") << QDate(2023, 3, 31) << pageUp << QDate(2023, 2, 28);
        QTest::newRow("31 May + month") << QDate(2026, 5, 31) << pageDown << QDate(2026, 6, 30);
        QTest::newRow("the cut carries on")
            << QDate(2024, 1, 31) << QList<int> { Qt::Key_PageDown, Qt::Key_PageDown } << QDate(2024, 3, 29);
        QTest::newRow("December + month") << QDate(2025, 12, 31) << pageDown << QDate(2026, 1, 31);
        QTest::newRow("January - month") << QDate(2026, 1, 15) << pageUp << QDate(2025, 12, 15);
        QTest::newRow("home") << QDate(2024, 2, 17) << QList<int> { Qt::Key_Home } << QDate(2024, 2, 1);
        QTest::newRow("end of a leap February")
            << QDate(2024, 2, 17) << QList<int> { Qt::Key_End } << QDate(2024, 2, 29);
        QTest::newRow("end of a common February")
            << QDate(2023, 2, 1) << QList<int> { Qt::Key_End } << QDate(2023, 2, 28);
    }

    void keysStepTheDay()
    {
        QFETCH(QDate, start);
        QFETCH(QList<int>, keys);
        QFETCH(QDate, expected);

        auto calendar = makeCalendar(start);
        QSignalSpy dates(calendar.get(), &MonthCalendar::dateChanged);
        QSignalSpy months(calendar.get(), &MonthCalendar::monthChanged);
        for (int key : keys)
            QTest::keyClick(calendar.get(), Qt::Key(key));

        QCOMPARE(calendar->date(), expected);
        QCOMPARE(dates.count(), keys.size());
        QCOMPARE(dates.last().at(0).toDate(), expected);
        const bool monthMoved = start.year() != expected.year() || start.month() != expected.month();
        QCOMPARE(months.isEmpty(), !monthMoved);
        if (monthMoved)
            QCOMPARE(months.last(), (QVariantList { expected.year(), expected.month() }));
    }

    void keysWithModifiersAreLeftToTheWindow()
    {
        auto calendar = makeCalendar(QDate(2026, 3, 14));
        QSignalSpy dates(calendar.get(), &MonthCalendar::dateChanged);
        QTest::keyClick(calendar.get(), Qt::Key_PageDown, Qt::ControlModifier);
        QTest::keyClick(calendar.get(), Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(calendar->date(), QDate(2026, 3, 14));
        QVERIFY(dates.isEmpty());
    }

    void setDateSignalsOnlyChanges()
    {
        auto calendar = makeCalendar(QDate(2026, 3, 14));
        QSignalSpy dates(calendar.get(), &MonthCalendar::dateChanged);
        QSignalSpy months(calendar.get(), &MonthCalendar::monthChanged);

        calendar->setDate(QDate(2026, 3, 14));
        calendar->setDate(QDate());
        QVERIFY(dates.isEmpty());
        QCOMPARE(calendar->date(), QDate(2026, 3, 14));

        calendar->setDate(QDate(2026, 3, 20));
        QCOMPARE(dates.count(), 1);
        QVERIFY(months.isEmpty());

        // Same month number, another year: the shown month changed.
        calendar->setDate(QDate(2027, 3, 20));
        QCOMPARE(dates.count(), 2);
        QCOMPARE(months.count(), 1);
        QCOMPARE(months.at(0), (QVariantList { 2027, 3 }));
    }

    void weekStartPlacesTheFirst_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<Qt::DayOfWeek>("weekStart");
        QTest::addColumn<int>("cellOfFirst");
        QTest::addColumn<QDate>("firstCellDate");

        // 1 March 2026 is a Sunday, 1 June 2026 a Monday.
        QTest::newRow("March, Sunday start") << QDate(2026, 3, 14) << Qt::Sunday << 1 << QDate(2026, 3, 1);
        QTest::newRow("March, Monday start") << QDate(2026, 3, 14) << Qt::Monday << 7 << QDate(2026, 2, 23);
        QTest::newRow("June, Sunday start") << QDate(2026, 6, 30) << Qt::Sunday << 2 << QDate(2026, 5, 31);
        QTest::newRow("June, Monday start") << QDate(2026, 6, 30) << Qt::Monday << 1 << QDate(2026, 6, 1);
    }

    void weekStartPlacesTheFirst()
    {
        QFETCH(QDate, date);
        QFETCH(Qt::DayOfWeek, weekStart);
        QFETCH(int, cellOfFirst);
        QFETCH(QDate, firstCellDate);

        auto calendar = makeCalendar(date);
        calendar->setWeekStart(weekStart);
        const QDate first(date.year(), date.month(), 1);
        QCOMPARE(calendar->cellOfDate(first), cellOfFirst);
        QCOMPARE(calendar->dateOfCell(cellOfFirst), first);
        QCOMPARE(calendar->dateOfCell(1), firstCellDate);
        QCOMPARE(calendar->dateOfCell(42), firstCellDate.addDays(41));
        // Every column holds one weekday, the week start first.
        for (int cell = 1; cell <= 42; ++cell)
            QCOMPARE(calendar->dateOfCell(cell).dayOfWeek(), (int(weekStart) + (cell - 1) % 7 - 1) % 7 + 1);
        QCOMPARE(calendar->dateOfCell(0), QDate());
        QCOMPARE(calendar->dateOfCell(43), QDate());
    }

    void cellsTileTheGrid_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("labels");
        QTest::addColumn<MonthCalendar::Bevel>("bevel");

        QTest::newRow("main window size") << QSize(150, 150) << true << MonthCalendar::Bevel::Lowered;
        QTest::newRow("odd size") << QSize(211, 167) << true << MonthCalendar::Bevel::Raised;
        QTest::newRow("large") << QSize(420, 330) << true << MonthCalendar::Bevel::None;
        QTest::newRow("small, no labels") << QSize(90, 48) << false << MonthCalendar::Bevel::Lowered;
    }

    void cellsTileTheGrid()
    {
        QFETCH(QSize, size);
        QFETCH(bool, labels);
        QFETCH(MonthCalendar::Bevel, bevel);

        auto calendar = makeCalendar(QDate(2026, 3, 14), size);
        calendar->setShowCaption(labels);
        calendar->setShowWeekdayHeader(labels);
        calendar->setBevel(bevel);

        for (int cell = 1; cell <= 42; ++cell) {
            const QRect r = calendar->cellRect(cell);
            QVERIFY2(!r.isEmpty(), qPrintable(QString::number(cell)));
            QVERIFY(calendar->rect().contains(r));
            for (QPoint p : { r.center(), r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight() })
                QCOMPARE(calendar->cellAt(p), cell);
            // Neighbours share edges: no gap a click could fall into, no overlap.
            if (cell % 7 != 0)
                QCOMPARE(calendar->cellRect(cell + 1).left(), r.right() + 1);
            if (cell <= 35)
                QCOMPARE(calendar->cellRect(cell + 7).top(), r.bottom() + 1);
            QCOMPARE(calendar->cellOfDate(calendar->dateOfCell(cell)), cell);
        }
        QCOMPARE(calendar->cellRect(0), QRect());
        QCOMPARE(calendar->cellRect(43), QRect());
        QCOMPARE(calendar->cellAt(QPoint(-1, -1)), 0);
        QCOMPARE(calendar->cellAt(QPoint(size.width() + 5, size.height() / 2)), 0);
        if (labels) // the caption is above the grid
            QCOMPARE(calendar->cellAt(QPoint(size.width() / 2, calendar->cellRect(4).top() - 1)), 0);
    }

    void legibleAtMainWindowSize()
    {
        // Four calendars share about 300 by 300 pixels of a small main window.
        auto calendar = makeCalendar(QDate(2026, 3, 14), QSize(150, 150));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(8);
        calendar->setFont(font);
        calendar->setBevel(MonthCalendar::Bevel::Lowered);
        const QFontMetrics fm(font);
        for (int cell = 1; cell <= 42; ++cell) {
            const QRect r = calendar->cellRect(cell);
            QVERIFY(r.width() > fm.horizontalAdvance(QStringLiteral("28")));
            QVERIFY(r.height() >= fm.ascent());
        }
        QVERIFY(calendar->minimumSizeHint().width() <= 150);
        QVERIFY(calendar->minimumSizeHint().height() <= 150);
    }

    // Shrunk to its minimum in any font, a calendar cuts no day number, keeps a space
    // between two of them, and shows the longest month's name whole.
    void atItsMinimumNothingIsCut_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("weekdays");
        QTest::newRow("8 pt") << 8 << true;
        QTest::newRow("12 pt") << 12 << true;
        QTest::newRow("12 pt, no weekday header") << 12 << false;
        QTest::newRow("20 pt") << 20 << true;
    }

    void atItsMinimumNothingIsCut()
    {
        QFETCH(int, size);
        QFETCH(bool, weekdays);
        auto calendar = makeCalendar(QDate(2026, 9, 28));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(size);
        calendar->setFont(font);
        calendar->setShowWeekdayHeader(weekdays);
        calendar->setBevel(MonthCalendar::Bevel::Lowered);
        calendar->resize(calendar->minimumSizeHint());
        QFont bold = font;
        bold.setBold(true);
        const QFontMetrics fm(font);
        const QFontMetrics boldMetrics(bold);
        for (int cell = 1; cell <= 42; ++cell) {
            const QRect r = calendar->cellRect(cell);
            // Less the grid line, the number in bold (the selected day's look) and a space.
            QVERIFY(r.width() - 1 >= boldMetrics.horizontalAdvance(QStringLiteral("28")) + fm.horizontalAdvance(u' '));
            QVERIFY(r.height() >= fm.height());
        }
        QVERIFY(calendar->width() - 8 >= boldMetrics.horizontalAdvance(QStringLiteral("September"))
                + fm.horizontalAdvance(QStringLiteral(" 2026")));
    }

    void sizeFollowsTheFont()
    {
        auto calendar = makeCalendar(QDate(2026, 3, 14));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(10);
        calendar->setFont(font);
        const QSize small = calendar->sizeHint();
        font.setPixelSize(20);
        calendar->setFont(font);
        const QSize large = calendar->sizeHint();
        QVERIFY(large.width() > small.width() * 3 / 2);
        QVERIFY(large.height() > small.height() * 3 / 2);
    }

    void hookColoursEveryDayOfTheShownMonth_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<Qt::DayOfWeek>("weekStart");
        QTest::newRow("March 2026, Sunday") << QDate(2026, 3, 14) << Qt::Sunday;
        QTest::newRow("February 2024, Monday") << QDate(2024, 2, 29) << Qt::Monday;
        QTest::newRow("February 2026, Sunday, four whole weeks") << QDate(2026, 2, 1) << Qt::Sunday;
    }

    void hookColoursEveryDayOfTheShownMonth()
    {
        QFETCH(QDate, date);
        QFETCH(Qt::DayOfWeek, weekStart);

        auto calendar = makeCalendar(date);
        calendar->setWeekStart(weekStart);
        calendar->setActive(false);
        std::map<QDate, int> asked;
        calendar->setCellColourHook([&asked](QDate day, int cell) {
            asked[day] = cell;
            return CellColours { Qt::black, backgroundOf(day) };
        });
        const QImage image = paintedImage(*calendar);

        QCOMPARE(int(asked.size()), date.daysInMonth());
        for (const auto &[day, cell] : asked) {
            QCOMPARE(day.month(), date.month());
            QCOMPARE(cell, calendar->cellOfDate(day));
            QCOMPARE(cellBackgroundPixel(image, calendar->cellRect(cell)), backgroundOf(day));
        }
        // Days of the months around keep the calendar's own look.
        const QColor own = calendar->palette().color(QPalette::Button);
        QCOMPARE(cellBackgroundPixel(image, calendar->cellRect(42)), own);
    }

    void hookTextColourIsDrawn()
    {
        auto calendar = makeCalendar(QDate(2026, 3, 14), QSize(420, 330));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(22);
        font.setBold(true);
        font.setStyleStrategy(QFont::NoAntialias);
        calendar->setFont(font);
        calendar->setActive(false);
        const QColor ink(200, 0, 0);
        calendar->setCellColourHook([ink](QDate day, int) {
            return day.day() == 10 ? CellColours { ink, Qt::white } : CellColours {};
        });
        const QImage image = paintedImage(*calendar);
        QVERIFY(containsColour(image, calendar->cellRect(calendar->cellOfDate(QDate(2026, 3, 10))), ink));
        QVERIFY(!containsColour(image, calendar->cellRect(calendar->cellOfDate(QDate(2026, 3, 11))), ink));
    }

    void hookCanLeaveACellBlank()
    {
        auto calendar = makeCalendar(QDate(2026, 3, 14));
        calendar->setActive(false);
        calendar->setCellColourHook([](QDate, int) { return CellColours { Qt::black, Qt::red, false }; });
        const QImage image = paintedImage(*calendar);
        const QColor own = calendar->palette().color(QPalette::Button);
        const QRect face = calendar->cellRect(calendar->cellOfDate(QDate(2026, 3, 18))).adjusted(0, 0, -1, -1);
        for (int y = face.top(); y <= face.bottom(); ++y)
            for (int x = face.left(); x <= face.right(); ++x)
                QCOMPARE(image.pixelColor(x, y), own); // neither colour nor day number
    }

    void selectedDayColourOnlyWhenActive_data()
    {
        QTest::addColumn<bool>("active");
        QTest::newRow("active") << true;
        QTest::newRow("inactive") << false;
    }

    void selectedDayColourOnlyWhenActive()
    {
        QFETCH(bool, active);
        auto calendar = makeCalendar(QDate(2026, 3, 14));
        const QColor selected(255, 255, 255);
        const QColor hooked(0, 128, 0);
        calendar->setSelectedDayColour(selected);
        calendar->setActive(active);
        calendar->setCellColourHook([hooked](QDate, int) { return CellColours { Qt::black, hooked }; });
        const QImage image = paintedImage(*calendar);
        const QRect cell = calendar->cellRect(calendar->cellOfDate(QDate(2026, 3, 14)));
        QCOMPARE(image.pixelColor(cell.center().x(), cell.top() + 3), active ? selected : hooked);
        // Other days are unaffected either way.
        QCOMPARE(cellBackgroundPixel(image, calendar->cellRect(calendar->cellOfDate(QDate(2026, 3, 15)))), hooked);
    }

    void clicksSelectDaysOfTheShownMonthOnly()
    {
        auto calendar = makeCalendar(QDate(2026, 3, 14));
        calendar->show();
        QSignalSpy pressed(calendar.get(), &MonthCalendar::pressed);
        QSignalSpy clicked(calendar.get(), &MonthCalendar::clicked);
        QSignalSpy dates(calendar.get(), &MonthCalendar::dateChanged);
        QSignalSpy months(calendar.get(), &MonthCalendar::monthChanged);

        // Cell 42 shows 11 April.
        QTest::mouseClick(calendar.get(), Qt::LeftButton, {}, calendar->cellRect(42).center());
        QCOMPARE(calendar->date(), QDate(2026, 3, 14));
        QCOMPARE(pressed.count(), 1);
        QVERIFY(clicked.isEmpty());
        QVERIFY(dates.isEmpty());

        const QDate day(2026, 3, 26);
        QTest::mouseClick(calendar.get(), Qt::LeftButton, {}, calendar->cellRect(calendar->cellOfDate(day)).center());
        QCOMPARE(calendar->date(), day);
        QCOMPARE(pressed.count(), 2);
        QCOMPARE(dates.count(), 1);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toDate(), day);
        QVERIFY(months.isEmpty());

        // A press on the caption is a press on the calendar, not on a day.
        QTest::mouseClick(calendar.get(), Qt::LeftButton, {}, QPoint(calendar->width() / 2, 3));
        QCOMPARE(pressed.count(), 3);
        QCOMPARE(clicked.count(), 1);

        QSignalSpy doubled(calendar.get(), &MonthCalendar::doubleClicked);
        QTest::mouseDClick(calendar.get(), Qt::LeftButton, {}, calendar->cellRect(calendar->cellOfDate(day)).center());
        QCOMPARE(doubled.count(), 1);
        QCOMPARE(doubled.at(0).at(0).toDate(), day);
        QTest::mouseDClick(calendar.get(), Qt::LeftButton, {}, calendar->cellRect(1).center()); // 1 March
        QCOMPARE(doubled.count(), 2);
        QTest::mouseDClick(calendar.get(), Qt::LeftButton, {}, calendar->cellRect(42).center());
        QCOMPARE(doubled.count(), 2);
    }
};

QTEST_MAIN(TestMonthCalendar)
#include "tst_monthcalendar.moc"
