#include "editing/resch.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "text/regional.h"
#include "widgets/datefield.h"
#include "widgets/shadowlabel.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("no control %s", name);
    return found;
}

} // namespace

class TestReschedule : public QObject
{
    Q_OBJECT

    // Wednesday 15 March 2000.
    FixedClock m_clock { QDateTime(QDate(2000, 3, 15), QTime(10, 30)) };
    RecordingDialogs m_dialogs;
    std::unique_ptr<TfrmReschedule> m_dialog;

    // The dialog as the editor opens it on the selected day.
    TfrmReschedule &open(QDate day = QDate(2000, 3, 15))
    {
        m_dialog = std::make_unique<TfrmReschedule>(
            m_clock, RegionalSettings::englishUS(), m_dialogs, QColor(Qt::blue), 4, Qt::Monday);
        m_dialog->setDate(day);
        m_dialog->show();
        if (!QTest::qWaitForWindowExposed(m_dialog.get()))
            qWarning("dialog not shown");
        return *m_dialog;
    }

    QLineEdit *dateText() const { return child<DateField>(m_dialog.get(), "date1")->lineEdit(); }
    QString label() const { return child<QLabel>(m_dialog.get(), "lblDate2")->text(); }

    void retype(const QString &text)
    {
        dateText()->selectAll();
        QTest::keyClick(dateText(), Qt::Key_Backspace);
        QTest::keyClicks(dateText(), text);
    }

    void paste(const QString &text)
    {
        dateText()->selectAll();
        QApplication::clipboard()->setText(text);
        dateText()->paste();
    }

private Q_SLOTS:
    void init() { m_dialogs = RecordingDialogs(); }
    void cleanup() { m_dialog.reset(); }

    void shownOnTheSelectedDay()
    {
        TfrmReschedule &dialog = open();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Reschedule Task"));
        ShadowLabel *title = child<ShadowLabel>(&dialog, "lblTitle");
        QCOMPARE(title->text(), QStringLiteral("Reschedule Task"));
        QCOMPARE(title->textColour(), QColor(Qt::blue));
        QCOMPARE(title->shadowDepth(), 4);
        QCOMPARE(dateText()->text(), QStringLiteral("3/15/2000"));
        QCOMPARE(label(), QStringLiteral("Wednesday : Today"));
    }

    void labelFollowsEveryChange_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("label");

        QTest::newRow("tomorrow") << "3/16/2000"
                                  << "Thursday : Tomorrow";
        QTest::newRow("yesterday") << "3/14/2000"
                                   << "Tuesday : Yesterday";
        QTest::newRow("ten days") << "3/25/2000"
                                  << "Saturday : 10 days";
        QTest::newRow("years ago") << "1/10/1997"
                                   << "Friday : 3 yrs 2 mons ago";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("no such day") << "2/30/2000"
                                     << "";
        QTest::newRow("not a date") << "lunch"
                                    << "";
    }

    void labelFollowsEveryChange()
    {
        QFETCH(QString, text);
        QFETCH(QString, label);
        open();
        retype(text);
        QCOMPARE(this->label(), label);
        // And back: a later change is followed too.
        retype(QStringLiteral("3/15/2000"));
        QCOMPARE(this->label(), QStringLiteral("Wednesday : Today"));
    }

    void calendarDropsDown()
    {
        TfrmReschedule &dialog = open();
        auto *field = child<DateField>(&dialog, "date1");
        QTest::mouseClick(field->dropButton(), Qt::LeftButton);
        QCalendarWidget *calendar = field->openCalendar();
        QVERIFY(calendar);
        QCOMPARE(calendar->firstDayOfWeek(), Qt::Monday);
        QCOMPARE(calendar->selectedDate(), QDate(2000, 3, 15));

        auto *days = calendar->findChild<QTableView *>();
        QVERIFY(days);
        QTest::keyClick(days, Qt::Key_Right);
        QTest::keyClick(days, Qt::Key_Return);
        QVERIFY(!field->openCalendar());
        QCOMPARE(dateText()->text(), QStringLiteral("3/16/2000"));
        QCOMPARE(label(), QStringLiteral("Thursday : Tomorrow"));
        QVERIFY(dialog.isVisible()); // picking a day is not OK
    }

    void okReturnsTheDay_data()
    {
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("OK button") << false;
        QTest::newRow("Enter") << true;
    }

    void okReturnsTheDay()
    {
        QFETCH(bool, byEnter);
        TfrmReschedule &dialog = open();
        retype(QStringLiteral("3/20/2000"));
        if (byEnter)
            QTest::keyClick(dateText(), Qt::Key_Return);
        else
            QTest::mouseClick(child<QPushButton>(&dialog, "btOK"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.date(), QDate(2000, 3, 20));
        QVERIFY(m_dialogs.errors.isEmpty());
    }

    void cancelLeavesIt()
    {
        TfrmReschedule &dialog = open();
        retype(QStringLiteral("3/20/2000"));
        QTest::mouseClick(child<QPushButton>(&dialog, "btCancel"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    // A day that is not there can never move a task: OK says why and keeps the dialog open
    // with what the user typed, to be put right.
    void invalidDateRefusesOk_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("no such day") << "2/30/2000" << false;
        QTest::newRow("not a date, Enter") << "next week" << true;
        QTest::newRow("29 February of a century not a leap year") << "2/29/2100" << false;
        QTest::newRow("pasted control characters") << "\x01/\x02/\x03" << false;
        QTest::newRow("far too long") << QString(1000, QLatin1Char('1')) << true;
    }

    void invalidDateRefusesOk()
    {
        QFETCH(QString, text);
        QFETCH(bool, byEnter);
        TfrmReschedule &dialog = open();
        paste(text);
        if (byEnter)
            QTest::keyClick(dateText(), Qt::Key_Return);
        else
            QTest::mouseClick(child<QPushButton>(&dialog, "btOK"), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(m_dialogs.errors, QStringList { QStringLiteral("Please enter a valid date, such as 3/15/2000") });
        QCOMPARE(dateText()->text(), text);
        QVERIFY(!dialog.date().isValid());

        retype(QStringLiteral("3/21/2000"));
        QTest::mouseClick(child<QPushButton>(&dialog, "btOK"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.date(), QDate(2000, 3, 21));
    }
};

QTEST_MAIN(TestReschedule)
#include "tst_reschedule.moc"
