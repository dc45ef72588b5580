#include "widgets/datenavigator.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

QString shortForm(QDate date)
{
    return date.toString(QStringLiteral("M/d/yyyy"));
}

} // namespace

class TestDateNavigator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // At its smallest the bar still shows the widest date of its format whole, in any font.
    void theDateIsNeverCut_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("8 pt") << 8;
        QTest::newRow("12 pt") << 12;
        QTest::newRow("20 pt") << 20;
    }

    void theDateIsNeverCut()
    {
        QFETCH(int, size);
        DateNavigator nav;
        nav.setFormatter(shortForm);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(size);
        nav.setFont(font);
        nav.setDate(QDate(2026, 12, 28));
        nav.resize(nav.minimumSizeHint());
        nav.show();
        QVERIFY(QTest::qWaitForWindowExposed(&nav));
        auto *label = nav.findChild<QLabel *>(QStringLiteral("dateLabel"));
        QCOMPARE(label->text(), QStringLiteral("12/28/2026"));
        QVERIFY(label->contentsRect().width() >= label->fontMetrics().horizontalAdvance(label->text()));
        for (const QToolButton *button : nav.findChildren<QToolButton *>())
            QVERIFY(nav.rect().contains(button->geometry()));
    }

    void buttonsStepTheDate_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("expected");

        QTest::newRow("previous year from a leap day") << "prevYear"
                                                       << "Previous year" << QDate(2024, 2, 29) << QDate(2023, 2, 28);
        QTest::newRow("next year from a leap day") << "nextYear"
                                                   << "Next year" << QDate(2024, 2, 29) << QDate(2025, 2, 28);
        QTest::newRow("next year to a leap year") << "nextYear"
                                                  << "Next year" << QDate(2023, 2, 28) << QDate(2024, 2, 28);
        QTest::newRow("previous month cut to February") << "prevMonth"
                                                        << "Previous month" << QDate(2024, 3, 31) << QDate(2024, 2, 29);
        QTest::newRow("previous month across the year")
            << "prevMonth"
            << "Previous month" << QDate(2026, 1, 10) << QDate(2025, 12, 10);
        QTest::newRow("next month cut to a common February")
            << "nextMonth"
            << "Next month" << QDate(2023, 1, 31) << QDate(2023, 2, 28);
        QTest::newRow("next month cut to 30 days") << "nextMonth"
                                                   << "Next month" << QDate(2026, 8, 31) << QDate(2026, 9, 30);
        QTest::newRow("previous week across the year") << "prevWeek"
                                                       << "Previous week" << QDate(2026, 1, 3) << QDate(2025, 12, 27);
        QTest::newRow("next week across a month") << "nextWeek"
                                                  << "Next week" << QDate(2024, 2, 26) << QDate(2024, 3, 4);
        QTest::newRow("previous day across a month") << "prevDay"
                                                     << "Previous day" << QDate(2024, 3, 1) << QDate(2024, 2, 29);
        QTest::newRow("next day across the year") << "nextDay"
                                                  << "Next day" << QDate(2025, 12, 31) << QDate(2026, 1, 1);
    }

    void buttonsStepTheDate()
    {
        QFETCH(QString, button);
        QFETCH(QString, toolTip);
        QFETCH(QDate, from);
        QFETCH(QDate, expected);

        DateNavigator navigator;
        navigator.setFormatter(shortForm);
        navigator.setDate(from);
        QSignalSpy changes(&navigator, &DateNavigator::dateChanged);

        auto *tool = navigator.findChild<QToolButton *>(button);
        QVERIFY(tool);
        QCOMPARE(tool->toolTip(), toolTip);
        QTest::mouseClick(tool, Qt::LeftButton);

        QCOMPARE(navigator.date(), expected);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).toDate(), expected);
        QCOMPARE(navigator.findChild<QLabel *>(QStringLiteral("dateLabel"))->text(), shortForm(expected));
    }

    void buttonsStandInOrderAroundTheDate()
    {
        DateNavigator navigator;
        navigator.resize(300, navigator.sizeHint().height());
        navigator.show();
        QVERIFY(QTest::qWaitForWindowExposed(&navigator));

        const QStringList order { QStringLiteral("prevYear"), QStringLiteral("prevMonth"), QStringLiteral("prevWeek"),
            QStringLiteral("prevDay"), QStringLiteral("dateLabel"), QStringLiteral("nextDay"),
            QStringLiteral("nextWeek"), QStringLiteral("nextMonth"), QStringLiteral("nextYear") };
        int right = -1;
        for (const QString &name : order) {
            auto *widget = navigator.findChild<QWidget *>(name);
            QVERIFY2(widget, qPrintable(name));
            QVERIFY2(widget->geometry().left() > right, qPrintable(name));
            right = widget->geometry().right();
        }
        QVERIFY(right < navigator.width());
    }

    void setDateShowsWithoutSignalling()
    {
        DateNavigator navigator;
        navigator.setFormatter(shortForm);
        QSignalSpy changes(&navigator, &DateNavigator::dateChanged);
        navigator.setDate(QDate(2026, 3, 14));
        navigator.setDate(QDate(2026, 3, 14));
        navigator.setDate(QDate());
        QCOMPARE(navigator.date(), QDate(2026, 3, 14));
        QCOMPARE(navigator.findChild<QLabel *>(QStringLiteral("dateLabel"))->text(), QStringLiteral("3/14/2026"));
        QVERIFY(changes.isEmpty());

        // A new form shows at once, without waiting for the next step.
        navigator.setFormatter([](QDate d) { return d.toString(QStringLiteral("dddd, MMMM d, yyyy")); });
        QCOMPARE(navigator.findChild<QLabel *>(QStringLiteral("dateLabel"))->text(),
            QStringLiteral("Saturday, March 14, 2026"));
    }
};

QTEST_MAIN(TestDateNavigator)
#include "tst_datenavigator.moc"
