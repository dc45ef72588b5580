#include "appfixture.h"
#include "schedule/alarmcommands.h"
#include "schedule/popupsummary.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "store/gridfile.h"
#include "testfiles.h"
#include "widgets/datenavigator.h"
#include "widgets/monthcalendar.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QTest>

namespace {

const QDate kToday(2026, 1, 31);
const QDate kDay(2026, 2, 14); // in the third calendar

} // namespace

class TestPopupSummary : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;
    std::unique_ptr<TfrmMain> m_window;

    void start()
    {
        CellTable table = store::newStore();
        table.setRowCount(3);
        const QStringList a { store::makeKey(datevalue::dayNumber(kDay), 101), "9:00 AM", "", "Florist", "No", "No" };
        const QStringList b { store::makeKey(datevalue::dayNumber(kToday), 101), "10:00 AM", "", "Now", "No", "Yes" };
        for (int c = 0; c < 6; ++c) {
            table.setCell(c, 1, a[c]);
            table.setCell(c, 2, b[c]);
        }
        store::compactAndSort(table);
        QVERIFY(writeGridFile(table, m_app->data(QStringLiteral("grid.grd"))).ok);
        QVERIFY(writeBytes(m_app->data(QStringLiteral("alarm.wav")), "RIFF"));
        m_app->loadDocument();
        m_window = std::make_unique<TfrmMain>(*m_app->document, m_app->services());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    // Rests the mouse on a day of the third calendar, with one small move to start.
    void restOn(QDate day)
    {
        MonthCalendar *cal = m_window->calendar(2);
        const QPoint at = cal->cellRect(cal->cellOfDate(day)).center();
        for (const QPoint p : { at - QPoint(1, 0), at }) {
            QMouseEvent move(QEvent::MouseMove, p, cal->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(cal, &move);
        }
    }

    int ticksUntilShown()
    {
        PopupSummary *popup = m_window->popupSummary();
        for (int tick = 1; tick <= 15; ++tick) {
            m_window->timerPoolAllTriggers(m_window->trigger(4));
            if (popup->isVisible())
                return tick;
        }
        return 0;
    }

private Q_SLOTS:
    void init()
    {
        m_window.reset();
        m_app = std::make_unique<AppFixture>(QDateTime(kToday, QTime(9, 0)));
    }
    void cleanup() { m_window.reset(); }

    void restingOnADayShowsItsSummary()
    {
        start();
        restOn(kDay);
        QCOMPARE(ticksUntilShown(), 10);
        PopupSummary *popup = m_window->popupSummary();
        QCOMPARE(popup->dateText(), QStringLiteral("Saturday, February 14, 2026"));
        QCOMPARE(popup->whenText(), QStringLiteral("14 days"));
        QCOMPARE(popup->list()->count(), 3);
        QCOMPARE(popup->list()->item(2)->text(), QStringLiteral("9:00 AM\tFlorist"));
        // Over the day's tasks, right of the calendars.
        QVERIFY(popup->geometry().left() > m_window->calendar(1)->mapTo(m_window.get(), QPoint(0, 0)).x());

        // A move over the day list hides it.
        QWidget *viewport = m_window->findChild<QWidget *>(QStringLiteral("gridDay"))
                                ->findChild<QWidget *>(QStringLiteral("qt_scrollarea_viewport"));
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
        QVERIFY(!popup->isVisible());
    }

    // A summary of one day does not stay up over another day's tasks.
    void aChangeOfTheShownDayHidesIt_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("navigator button") << "navigator";
        QTest::newRow("key on a calendar") << "key";
    }
    void aChangeOfTheShownDayHidesIt()
    {
        QFETCH(QString, how);
        start();
        restOn(kDay);
        QVERIFY(ticksUntilShown() > 0);
        const QDate before = m_window->selectedDay();
        if (how == QLatin1String("navigator")) {
            QTest::mouseClick(
                m_window->findChild<DateNavigator *>(QStringLiteral("nav"))->button(DateNavigator::Step::NextDay),
                Qt::LeftButton);
        } else {
            MonthCalendar *cal = m_window->calendar(m_window->activeCalendar());
            cal->setFocus();
            QTest::keyClick(cal, Qt::Key_Down); // a week on
        }
        QVERIFY(m_window->selectedDay() != before);
        QVERIFY(!m_window->popupSummary()->isVisible());
    }

    void neverWhileAnAlarmShows()
    {
        start();
        m_app->clock.set(QDateTime(kToday, QTime(10, 0)));
        m_window->timerPoolAllTriggers(m_window->trigger(1));
        QVERIFY(m_window->alarms()->alarmShowing());
        restOn(kDay);
        QCOMPARE(ticksUntilShown(), 0);
    }

    void theMenuSwitchesItOffAndSavesIt()
    {
        start();
        QVERIFY(m_window->timerPool().isEnabled(m_window->trigger(4)));
        QVERIFY(m_window->actions().popupOn->isChecked());
        m_window->actions().popupOff->trigger();
        QVERIFY(!m_window->timerPool().isEnabled(m_window->trigger(4)));
        QVERIFY(m_window->actions().popupOff->isChecked());
        QCOMPARE(
            m_app->settings->find(QStringLiteral("Options"), QStringLiteral("qPopup")), std::optional<QString>("0"));
        restOn(kDay);
        QCOMPARE(ticksUntilShown(), 0);
        m_window->actions().popupOn->trigger();
        QCOMPARE(
            m_app->settings->find(QStringLiteral("Options"), QStringLiteral("qPopup")), std::optional<QString>("1"));
        QVERIFY(m_window->timerPool().isEnabled(m_window->trigger(4)));
    }
};

QTEST_MAIN(TestPopupSummary)
#include "tst_popupsummary.moc"
