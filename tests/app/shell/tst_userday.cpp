// A user's day through the real main window on a real (virtual) X server: first run, tasks
// with alarms, an alarm at a set time, a restart, a filter, a drag to another day, imported holidays,
// a search, a published month, the day printed to PDF, archive, clear and restore, and a
// restart. Every file on disk is checked, and a picture of the window is kept after each
// step (in the build folder's userday-shots) for people to look at.
#include "appfixture.h"
#include "output/print.h"
#include "output/webcaldialog.h"
#include "platform/qtprinter.h"
#include "schedule/alarmcommands.h"
#include "schedule/holiday.h"
#include "schedule/holidays.h"
#include "schedule/import.h"
#include "shell/finddialog.h"
#include "shell/mainactions.h"
#include "shell/mainwindow.h"
#include "shell/resources.h"
#include "shell/searchcommands.h"
#include "store/filter.h"
#include "store/gridfile.h"
#include "widgethelpers.h"
#include "widgets/gridview.h"
#include "widgets/monthcalendar.h"

#include "widgets/timefield.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

const QDate kToday(2026, 12, 10);

// Prints to a PDF file instead of asking for a printer.
class PdfPrinter final : public Printer
{
public:
    explicit PdfPrinter(QString path)
        : m_path(std::move(path))
    { }
    bool print(PrintOrientation orientation, const Layout &layout) override
    {
        return QtPrinter::printToPdf(m_path, orientation, layout);
    }

private:
    QString m_path;
};

QStringList rows(const QString &path, int column)
{
    CellTable table;
    if (!readGridFile(table, path).ok())
        return { QStringLiteral("unreadable") };
    QStringList texts;
    for (int r = 1; r < table.rowCount(); ++r)
        if (!table.isRowBlank(r))
            texts << table.cell(column, r);
    return texts;
}

} // namespace

class TestUserDay : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_app;
    std::unique_ptr<PdfPrinter> m_pdf;
    std::unique_ptr<TfrmMain> m_window;
    int m_step = 0;

    Services services()
    {
        return { m_app->clock, m_app->dialogs, m_app->fileDialogs, m_app->fontDialogs, m_app->sound, m_app->help,
            m_app->opener, m_app->notifications, *m_pdf };
    }
    QString data(const char *name) const { return m_app->data(QLatin1String(name)); }
    QString storeFile() const { return data("grid.grd"); }

    // As the program starts: the alarm sound put in place, the data loaded, the window shown.
    void startWindow()
    {
        installAlarmSound(m_app->dataFolder());
        m_app->loadDocument();
        m_window = std::make_unique<TfrmMain>(*m_app->document, services());
        m_window->resize(900, 600);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        activate();
    }
    void activate()
    {
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    // The picture after a step.
    void shot(const char *step, QWidget *widget = nullptr)
    {
        const QString name
            = QStringLiteral("%1-%2.png").arg(++m_step, 2, 10, QLatin1Char('0')).arg(QLatin1String(step));
        (widget ? widget : m_window.get())->grab().save(QStringLiteral(TALLYDAY_SHOTS "/") + name);
    }

    // A new task: Ctrl+Insert, a category and the note typed, a time, the alarm ticked, OK.
    void addTask(const QString &category, QTime time, bool alarm, const QString &what)
    {
        whenModal<QDialog>([=](QDialog *editor) {
            auto *box = child<QComboBox>(editor, "cbCategory");
            box->setFocus();
            box->lineEdit()->selectAll();
            QTest::keyClicks(box, category);
            child<TimeField>(editor, "dtTime")->setTime(time);
            if (alarm)
                QTest::mouseClick(child<QCheckBox>(editor, "cbAlarm"), Qt::LeftButton);
            QPlainTextEdit *memo = child<QPlainTextEdit>(editor, "memMain");
            memo->setFocus();
            QTest::keyClicks(memo, what);
            // The mouse, not Alt+O: on a loaded machine the window system may not yet have
            // told the dialog that it is the active window, and its mnemonics wait for that.
            click(editor, "btOK");
        });
        QTest::keyClick(m_window.get(), Qt::Key_Insert, Qt::ControlModifier);
        QTRY_VERIFY(rows(storeFile(), store::What).contains(what));
        activate();
    }

    // The filter's category ticked or unticked by keys: the arrows onto it, then space.
    void toggleCategory(TfrmFilter *filter, const QString &category)
    {
        QListWidget *list = filter->categoryList();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < list->count() && list->currentItem()->text() != category; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentItem()->text(), category);
        QTest::keyClick(list, Qt::Key_Space);
    }

    // A row of a list dragged with the mouse onto a point of another widget. The drag runs
    // its own event loop: the move onto the target and the release happen inside it. Should
    // the first release miss the drag, a second one ends it, so the test never waits for ever.
    void dragRowTo(GridView *list, int row, QWidget *target, QPoint at)
    {
        const QPoint from(list->columnViewportPosition(1) + 4, list->rowViewportPosition(row) + 4);
        auto dragging = std::make_shared<bool>(true);
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, from);
        QTimer::singleShot(100, target, [target, at] {
            QTest::mouseMove(target, at - QPoint(3, 0));
            QTest::mouseMove(target, at);
            QTest::mouseRelease(target, Qt::LeftButton, {}, at);
        });
        QTimer::singleShot(10000, target, [target, dragging] {
            if (*dragging) {
                qWarning("the drag did not end at the release");
                QTest::mouseRelease(target, Qt::LeftButton);
            }
        });
        QTest::mouseMove(list->viewport(), from + QPoint(0, 2 * QApplication::startDragDistance()));
        *dragging = false;
    }

private Q_SLOTS:
    void aDay()
    {
        // This run's pictures only.
        QDir(QStringLiteral(TALLYDAY_SHOTS)).removeRecursively();
        QVERIFY(QDir().mkpath(QStringLiteral(TALLYDAY_SHOTS)));
        m_app = std::make_unique<AppFixture>(QDateTime(kToday, QTime(8, 0)));
        m_pdf = std::make_unique<PdfPrinter>(data("day.pdf"));

        // First run: nothing in the data folder yet, nothing to say.
        startWindow();
        QCOMPARE(m_app->loaded, QStringList());
        QCOMPARE(m_window->selectedDay(), kToday);
        shot("first-run");

        // Three tasks, two with alarms.
        addTask(QStringLiteral("Work"), QTime(9, 0), false, QStringLiteral("Team meeting"));
        addTask(QStringLiteral("Home"), QTime(14, 30), true, QStringLiteral("Dentist"));
        addTask(QStringLiteral("Home"), QTime(18, 0), true, QStringLiteral("Call mum"));
        QCOMPARE(rows(storeFile(), store::Alarm), (QStringList { "No", "Yes", "Yes" }));
        shot("tasks-added");

        // The dentist's alarm at 2:30 PM: the panel, the sound, a click clears it.
        m_app->clock.set(QDateTime(kToday, QTime(14, 30, 20)));
        m_window->timerPoolAllTriggers(m_window->trigger(1));
        QVERIFY(m_window->alarms()->panel()->isVisible());
        QVERIFY(m_window->alarms()->panel()->text().contains(QStringLiteral("Dentist")));
        QVERIFY(m_app->sound.isPlaying());
        shot("alarm");
        QTest::mouseClick(m_window->alarms()->panel(), Qt::LeftButton);
        QVERIFY(!m_window->alarms()->panel()->isVisible());
        QVERIFY(!m_app->sound.isPlaying());
        activate();

        // The categories typed today reach the filter at the next start.
        m_window->close();
        m_window.reset();
        startWindow();
        QCOMPARE(m_app->loaded, QStringList());

        // Filter: Work only, by unticking Home with the space bar; then everything again.
        whenModal<TfrmFilter>([this](TfrmFilter *filter) {
            toggleCategory(filter, QStringLiteral("Home"));
            click(filter, "btOK");
        });
        m_window->actions().Filters1->trigger();
        QTRY_COMPARE(m_app->document->dayList().rowCount(), 2);
        QCOMPARE(m_app->document->dayList().cell(daylist::What, 1), QStringLiteral("Team meeting"));
        QCOMPARE(m_app->document->filterSelection().value_or(QStringList()), QStringList { "Work" });
        shot("filtered");
        whenModal<TfrmFilter>([this](TfrmFilter *filter) {
            toggleCategory(filter, QStringLiteral("Home"));
            click(filter, "btOK");
        });
        m_window->actions().Filters1->trigger();
        QTRY_COMPARE(m_app->document->dayList().rowCount(), 4);
        activate();

        // Drag the team meeting to 14 December: pressed on its row, moved onto the day in a
        // calendar and let go, through the window system's own drag and drop.
        m_app->dialogs.confirmAnswers = { true };
        MonthCalendar *december = nullptr;
        for (int i = 1; i <= 4 && !december; ++i)
            if (m_window->calendar(i)->month() == 12)
                december = m_window->calendar(i);
        QVERIFY(december);
        dragRowTo(
            m_window->dayView(), 0, december, december->cellRect(december->cellOfDate(QDate(2026, 12, 14))).center());
        QTRY_COMPARE(rows(storeFile(), store::What), (QStringList { "Dentist", "Call mum", "Team meeting" }));
        QCOMPARE(m_app->dialogs.confirmAnswers, QList<bool>());
        QCOMPARE(m_window->selectedDay(), QDate(2026, 12, 14));
        shot("dragged");
        activate();

        // Import holidays: the first country's first day, through the holiday list.
        whenModal<TfrmHoliday>([this](TfrmHoliday *list) {
            whenModal<TfrmImport>([this](TfrmImport *import) {
                auto *days = child<QListWidget>(import, "lbDays");
                QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualItemRect(days->item(0)).center());
                shot("import", import);
                click(import, "btOK");
            });
            click(list, "btImport");
            QTimer::singleShot(200, list, [list] { click(list, "btClose"); });
        });
        m_window->actions().Holidays1->trigger();
        QTRY_COMPARE(rows(data("holiday.grd"), holidays::Name).size(), 1);
        const QStringList holidayNames = rows(data("holiday.grd"), holidays::Name);
        shot("holidays");
        activate();

        // Search for the dentist from the first task on.
        m_window->actions().Search1->trigger();
        FindDialog *find = m_window->searchCommands()->findDialog();
        QTest::keyClicks(child<QLineEdit>(find, "edFind"), QStringLiteral("dentist"));
        QTest::mouseClick(find->findChild<QPushButton *>(QStringLiteral("btFindNext")), Qt::LeftButton);
        QTRY_COMPARE(m_window->selectedDay(), kToday);
        shot("found");
        find->close();
        activate();

        // Publish the month with its details, the file named through the file picker, then open
        // it in the browser.
        m_app->fileDialogs.answers = { data("december.htm") };
        whenModal<TfrmWebCal>([this](TfrmWebCal *publish) {
            QTest::mouseClick(child<QToolButton>(publish, "SpeedButton1"), Qt::LeftButton);
            QVERIFY(child<QCheckBox>(publish, "cbDetails")->isChecked()); // the details are on at first
            shot("publish", publish);
            click(publish, "btLaunch");
        });
        m_window->actions().Publish1->trigger();
        QTRY_COMPARE(m_app->opener.opened, QStringList { data("december.htm") });
        QFile page(data("december.htm"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QByteArray html = page.readAll();
        QVERIFY(html.contains("Dentist") && html.contains("December"));
        activate();

        // Print the day from the day list's toolbar, to a PDF file.
        QTest::mouseClick(
            m_window->actions().ToolBar2->widgetForAction(m_window->actions().btPrintDay), Qt::LeftButton);
        QFile pdf(data("day.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
        QVERIFY(pdf.size() > 1000);
        shot("printed");
        activate();

        // Archive, clear everything, restore.
        const QString archive = data("december.arb");
        m_app->fileDialogs.answers = { archive };
        m_window->actions().Archive1->trigger();
        QTRY_VERIFY(QFileInfo::exists(archive));
        activate();
        m_app->dialogs.confirmAnswers = { true, true, true };
        whenModal<TfrmPrint>([](TfrmPrint *print) {
            QTest::mouseClick(child<QRadioButton>(print, "rbAll"), Qt::LeftButton);
            click(print, "btOK");
        });
        m_window->actions().Clear1->trigger();
        QTRY_COMPARE(rows(storeFile(), store::What), QStringList());
        shot("cleared");
        activate();
        m_app->fileDialogs.answers = { archive };
        m_app->dialogs.confirmAnswers = { true };
        m_window->actions().Restore1->trigger();
        QTRY_COMPARE(rows(storeFile(), store::What), (QStringList { "Dentist", "Call mum", "Team meeting" }));
        shot("restored");
        QCOMPARE(m_app->dialogs.errors, QStringList());

        // Quit, and start again on the same folders: everything is there.
        m_window->close();
        m_window.reset();
        startWindow();
        QCOMPARE(m_app->loaded, QStringList());
        QCOMPARE(m_app->document->store().rowCount(), 4);
        const QList<QStringList> tasks { { "2:30 PM", "Home", "Dentist", "No", "Yes" },
            { "6:00 PM", "Home", "Call mum", "No", "Yes" }, { "9:00 AM", "Work", "Team meeting", "No", "No" } };
        for (int column = daylist::Time; column < daylist::ColumnCount; ++column) {
            QStringList expected;
            for (const QStringList &task : tasks)
                expected << task[column];
            QCOMPARE(rows(storeFile(), store::storeColumn(daylist::Column(column))), expected);
        }
        QCOMPARE(rows(data("holiday.grd"), holidays::Name), holidayNames);
        QVERIFY(m_app->document->categoryChoices()->contains(QStringLiteral("Work")));
        shot("restarted");
        m_window->close();
    }
};

QTEST_MAIN(TestUserDay)
#include "tst_userday.moc"
