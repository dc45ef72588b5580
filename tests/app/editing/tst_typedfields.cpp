#include "appfixture.h"
#include "editing/edit.h"
#include "editing/editingcommands.h"
#include "editing/resch.h"
#include "editing/timebar.h"
#include "output/print.h"
#include "schedule/recurdialog.h"
#include "shell/mainwindow.h"
#include "text/datehelpers.h"
#include "widgethelpers.h"
#include "widgets/datefield.h"
#include "widgets/timefield.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

// A time or a date typed whole (everything selected, the new text typed, Tab) into every
// field of the program where one is typed, in three regional settings: the value saved is
// the one typed, and what cannot be read is refused with a message and nothing saved.

namespace {

const QDate kToday(2026, 1, 31);
const QString kValidTime = QStringLiteral("Please enter a valid time, such as ");
const QString kValidDate = QStringLiteral("Please enter a valid date, such as ");

RegionalSettings regionalOf(const QString &name)
{
    RegionalSettings settings = name == QLatin1String("en_US") ? RegionalSettings::englishUS()
        : name == QLatin1String("en_GB")                       ? RegionalSettings::englishUK()
                                                               : RegionalSettings::fromLocale(QLocale(name));
    fix2000(settings);
    return settings;
}

// As a user does it: everything in the field selected and cleared, the text typed, Tab.
void typeWhole(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

// Types one end of a date range; the other end stands a few days off the typed day.
void typeRangeEnd(
    QWidget *dialog, const char *typedEnd, const char *otherEnd, int otherOffset, const QString &typed, QDate day)
{
    child<DateField>(dialog, otherEnd)->setDate(day.addDays(otherOffset));
    typeWhole(child<DateField>(dialog, typedEnd)->lineEdit(), typed);
}

void typeNotes(QWidget *editor, const QString &notes)
{
    auto *memo = child<QPlainTextEdit>(editor, "memMain");
    memo->setFocus();
    QTest::keyClicks(memo, notes);
}

struct Typed
{
    const char *regional;
    const char *text;
    QVariant value; // the QTime or QDate saved; invalid: refused
};

const QList<Typed> &typedTimes()
{
    static const QList<Typed> cases {
        { "en_US", "11:45 PM", QTime(23, 45) },
        { "en_US", "23:45", QTime(23, 45) },
        { "en_US", "9:05 am", QTime(9, 5) },
        { "en_US", "12:00 AM", QTime(0, 0) },
        { "en_US", "12:30 PM", QTime(12, 30) },
        { "en_US", "7 pm", QTime(19, 0) },
        { "en_US", "1:15:40 PM", QTime(13, 15) },
        { "en_US", "25:00", {} },
        { "en_US", "11:75 PM", {} },
        { "en_US", "13:00 PM", {} },
        { "en_US", "noon", {} },
        { "en_US", "", {} },
        { "en_GB", "23:45", QTime(23, 45) },
        { "en_GB", "00:05", QTime(0, 5) },
        { "en_GB", "11:45 pm", QTime(23, 45) },
        { "en_GB", "24:00", {} },
        { "de_DE", "23:45", QTime(23, 45) },
        { "de_DE", "7:05", QTime(7, 5) },
        { "de_DE", "23.45", QTime(23, 45) },
        { "de_DE", "23:4x", {} },
    };
    return cases;
}

const QList<Typed> &typedDates()
{
    static const QList<Typed> cases {
        { "en_US", "3/15/2027", QDate(2027, 3, 15) },
        { "en_US", "6/30/2027", QDate(2027, 6, 30) },
        { "en_US", "10/3/2026", QDate(2026, 10, 3) },
        { "en_US", "12/31/2026", QDate(2026, 12, 31) },
        { "en_US", "2/30/2026", {} },
        { "en_US", "13/1/2026", {} },
        { "en_US", "3/15", {} },
        { "en_US", "", {} },
        { "en_GB", "15/03/2027", QDate(2027, 3, 15) },
        { "en_GB", "3/10/2026", QDate(2026, 10, 3) },
        { "en_GB", "3/15/2027", {} },
        { "de_DE", "15.03.2027", QDate(2027, 3, 15) },
        { "de_DE", "3.10.2026", QDate(2026, 10, 3) },
        { "de_DE", "30.2.2026", {} },
    };
    return cases;
}

void addRows(const QList<Typed> &cases, const QStringList &fields)
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("regional");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QVariant>("value");
    for (const QString &field : fields) {
        for (const Typed &c : cases) {
            const QString row = field + QLatin1Char(' ') + QLatin1String(c.regional) + QStringLiteral(" \"")
                + QLatin1String(c.text) + QLatin1Char('"');
            QTest::newRow(qPrintable(row))
                << field << QString::fromLatin1(c.regional) << QString::fromLatin1(c.text) << c.value;
        }
    }
}

} // namespace

class TestTypedFields : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;

    TaskDocument &load(const QString &regional) { return m_app->loadDocument(regionalOf(regional)); }

    // The message that refused the text, checked; nothing else was reported.
    void expectRefused(const QString &message)
    {
        QCOMPARE(m_app->dialogs.errors.size(), 1);
        QVERIFY2(m_app->dialogs.errors.first().startsWith(message), qPrintable(m_app->dialogs.errors.first()));
    }

    // The editor's "Time:" field through the add flow: the task saved in the store.
    void editorTime(const QString &regional, const QString &typed, const QVariant &value)
    {
        TaskDocument &document = load(regional);
        TfrmMain window(document, m_app->services());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        bool refusedAndOpen = false;
        bool refusedOnTheField = false;
        QTimer::singleShot(0, [&] {
            auto *editor = qobject_cast<TfrmEdit *>(QApplication::activeModalWidget());
            if (!editor)
                return;
            typeNotes(editor, QStringLiteral("Call Anna"));
            typeWhole(child<TimeField>(editor, "dtTime"), typed);
            child<QPushButton>(editor, "btOK")->click();
            refusedAndOpen = editor->isVisible();
            refusedOnTheField = editor->focusWidget() == child<TimeField>(editor, "dtTime");
            if (refusedAndOpen)
                editor->reject();
        });
        window.editingCommands()->btAddClick(editflow::TaskList::Day);

        const CellTable &store = document.store();
        if (!value.isValid()) {
            QVERIFY(refusedAndOpen);
            QVERIFY(refusedOnTheField);
            expectRefused(kValidTime);
            for (int r = 1; r < store.rowCount(); ++r)
                QVERIFY(store.cell(store::What, r).isEmpty()); // no task saved
            return;
        }
        QVERIFY(m_app->dialogs.errors.isEmpty());
        QCOMPARE(store.cell(store::What, 1), QStringLiteral("Call Anna"));
        QCOMPARE(store.cell(store::Time, 1), editflow::timeText(value.toTime(), document.regional()));
        QCOMPARE(readTypedTime(store.cell(store::Time, 1), document.regional()), value.toTime());
    }

    // The time picker's own field: the time it hands back on OK.
    void pickerTime(const QString &regional, const QString &typed, const QVariant &value)
    {
        TfrmTimePopup picker(m_app->clock, regionalOf(regional), m_app->dialogs);
        picker.settime(QTime(10, 0));
        picker.show();
        QVERIFY(QTest::qWaitForWindowActive(&picker));
        typeWhole(child<TimeField>(&picker, "dtTime"), typed);
        child<QPushButton>(&picker, "btOK")->click();
        if (!value.isValid()) {
            QVERIFY(picker.isVisible());
            expectRefused(kValidTime);
            return;
        }
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QCOMPARE(picker.returnedTime(), value.toTime());
    }

    // The recurrence's Start and End Date: the dates a daily preview lists.
    void recurrenceDate(bool start, const QString &regional, const QString &typed, const QVariant &value)
    {
        TaskDocument &document = load(regional);
        TfrmRecur dialog(document, m_app->dialogs, m_app->clock);
        dialog.init({ QStringLiteral("9:30 AM"), QString(), QStringLiteral("No"), QStringLiteral("Rent\r\n") }, kToday);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        child<QRadioButton>(&dialog, "rbDaily")->click();
        const QDate day = value.toDate();
        if (start)
            typeRangeEnd(&dialog, "date1", "date2", 4, typed, day);
        else
            typeRangeEnd(&dialog, "date2", "date1", -4, typed, day);
        child<QPushButton>(&dialog, "btPreview")->click();
        if (!value.isValid()) {
            expectRefused(kValidDate);
            QVERIFY(dialog.previewDates().isEmpty());
            return;
        }
        QVERIFY(m_app->dialogs.errors.isEmpty());
        QCOMPARE(dialog.previewDates().size(), 5);
        QCOMPARE(start ? dialog.previewDates().first() : dialog.previewDates().last(), day);
    }

    // The completion panel's date: the day of the entry the editor hands back for the
    // completed-task log (the flow adds it; the editor changes nothing itself).
    void completionDate(const QString &regional, const QString &typed, const QVariant &value)
    {
        TaskDocument &document = load(regional);
        TfrmEdit editor(document, m_app->services(), kToday, HeadingStyle {});
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        typeNotes(&editor, QStringLiteral("Return the books"));
        child<QPushButton>(&editor, "btComplete")->click();
        typeWhole(child<DateField>(&editor, "dtComplete")->lineEdit(), typed);
        child<QPushButton>(&editor, "btOK2")->click();
        QVERIFY(document.completedLog().cell(completed::CompDate, 1).isEmpty());
        if (!value.isValid()) {
            QVERIFY(editor.isVisible());
            expectRefused(kValidDate);
            QVERIFY(!editor.completion());
            return;
        }
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QVERIFY(editor.completion());
        QCOMPARE(parseShortDate(editor.completion()->compDate, document.regional()), value.toDate());
    }

    void rescheduleDate(const QString &regional, const QString &typed, const QVariant &value)
    {
        TfrmReschedule dialog(m_app->clock, regionalOf(regional), m_app->dialogs, Qt::blue, 2, Qt::Sunday);
        dialog.setDate(kToday);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        typeWhole(child<DateField>(&dialog, "date1")->lineEdit(), typed);
        child<QPushButton>(&dialog, "btOK")->click();
        if (!value.isValid()) {
            QVERIFY(dialog.isVisible());
            expectRefused(kValidDate);
            return;
        }
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.date(), value.toDate());
    }

    // The print dialog's range: the days of the selection it hands on.
    void printDate(bool from, const QString &regional, const QString &typed, const QVariant &value)
    {
        TaskDocument &document = load(regional);
        TfrmPrint dialog(document, m_app->dialogs, kToday);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        child<QRadioButton>(&dialog, "rbDate")->click();
        const QDate day = value.toDate();
        if (from)
            typeRangeEnd(&dialog, "dt1", "dt2", 4, typed, day);
        else
            typeRangeEnd(&dialog, "dt2", "dt1", -4, typed, day);
        child<QPushButton>(&dialog, "btOK")->click();
        if (!value.isValid()) {
            QVERIFY(dialog.isVisible());
            expectRefused(kValidDate);
            return;
        }
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(from ? dialog.selection().firstDay : dialog.selection().lastDay, datevalue::dayNumber(day));
    }

private Q_SLOTS:
    void init() { m_app = std::make_unique<AppFixture>(QDateTime(kToday, QTime(10, 0))); }
    void cleanup() { m_app.reset(); }

    void timeTypedWholeIsSaved_data() { addRows(typedTimes(), { QStringLiteral("editor"), QStringLiteral("picker") }); }

    void timeTypedWholeIsSaved()
    {
        QFETCH(QString, field);
        QFETCH(QString, regional);
        QFETCH(QString, typed);
        QFETCH(QVariant, value);
        if (field == QLatin1String("editor"))
            editorTime(regional, typed, value);
        else
            pickerTime(regional, typed, value);
    }

    void dateTypedWholeIsSaved_data()
    {
        addRows(typedDates(),
            { QStringLiteral("recurrence start"), QStringLiteral("recurrence end"), QStringLiteral("completion"),
                QStringLiteral("reschedule"), QStringLiteral("print from"), QStringLiteral("print through") });
    }

    void dateTypedWholeIsSaved()
    {
        QFETCH(QString, field);
        QFETCH(QString, regional);
        QFETCH(QString, typed);
        QFETCH(QVariant, value);
        if (field.startsWith(QLatin1String("recurrence")))
            recurrenceDate(field.endsWith(QLatin1String("start")), regional, typed, value);
        else if (field == QLatin1String("completion"))
            completionDate(regional, typed, value);
        else if (field == QLatin1String("reschedule"))
            rescheduleDate(regional, typed, value);
        else
            printDate(field.endsWith(QLatin1String("from")), regional, typed, value);
    }

    // A time typed in another form is shown, once the field is left, as it will be saved;
    // the keys step from the last time the text stated.
    void timeFieldShowsWhatItSaves()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto &field = *new TimeField(regionalOf(QStringLiteral("en_US")), &window);
        layout->addWidget(&field);
        layout->addWidget(new QLineEdit(&window)); // where Tab goes
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        typeWhole(&field, QStringLiteral("23:45"));
        QCOMPARE(field.text(), QStringLiteral("11:45 PM"));
        typeWhole(&field, QStringLiteral("7:4x"));
        QCOMPARE(field.text(), QStringLiteral("7:4x")); // left for the dialog to refuse
        QVERIFY(!field.time().isValid());
        QCOMPARE(field.lastTime(), QTime(7, 4)); // "7:4" on the way
        field.setFocus();
        QTest::keyClick(&field, Qt::Key_Up);
        QCOMPARE(field.time(), QTime(7, 5));
        QTest::keyClick(&field, Qt::Key_PageDown);
        QCOMPARE(field.text(), QStringLiteral("6:05 AM"));
    }
};

QTEST_MAIN(TestTypedFields)
#include "tst_typedfields.moc"
