#include "appfixture.h"
#include "schedule/edholiday.h"
#include "schedule/holiday.h"
#include "schedule/holidays.h"
#include "schedule/import.h"
#include "schedule/schedulecommands.h"
#include "shell/mainview.h"
#include "store/gridfile.h"
#include "testfiles.h"
#include "widgets/gridview.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

using Rows = QList<QStringList>;

namespace {

const QStringList kHeaders = { "Holiday name", "Mo #", "Month", "Day of month" };
const QStringList kEmptyRow = { "", "", "", "" };
const QStringList kChristmas = { "Christmas", "12", "December", "25" };
const QStringList kBoxingDay = { "Boxing Day", "12", "December", "26" };
const QStringList kNoel = { "Noel", "12", "December", "25" };

template <typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("no control %s", name);
    return found;
}

void click(QWidget *window, const char *name)
{
    child<QPushButton>(window, name)->click();
}

Rows rowsOf(const CellTable &table)
{
    Rows rows;
    for (int r = 1; r < table.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells << table.cell(c, r);
        rows << cells;
    }
    return rows;
}

CellTable tableOf(const Rows &rows)
{
    CellTable table(holidays::ColumnCount, int(rows.size()) + 1);
    holidays::setHeaders(table);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            table.setCell(c, r + 1, rows[r][c]);
    return table;
}

// Acts on the modal window of type T as soon as it is up; a missing one fails the test and
// whatever is modal instead is closed, so no test waits on a window nobody closes.
template <typename T> void whenModalShows(std::function<void(T *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *window = qobject_cast<T *>(modal);
        if (!window) {
            if (modal)
                modal->close();
            QFAIL("the expected dialog is not showing");
        }
        act(window);
    });
}

void whenEditorShows(std::function<void(TfrmEditHoliday *)> act)
{
    whenModalShows<TfrmEditHoliday>(std::move(act));
}

// Fails when any modal window comes up (the editor must not open).
void noModalMayShow()
{
    QTimer::singleShot(0, [] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->close();
            QFAIL("a dialog came up");
        }
    });
}

QComboBox *box(TfrmEditHoliday *editor, const char *name)
{
    return child<QComboBox>(editor, name);
}

// What the editor shows, as one text per field: a drop-down without a choice shows its
// grey hint in brackets.
QStringList editorState(TfrmEditHoliday *editor)
{
    auto shown = [editor](const char *name) {
        QComboBox *b = box(editor, name);
        return b->currentIndex() >= 0 ? b->currentText() : QLatin1Char('[') + b->placeholderText() + QLatin1Char(']');
    };
    const bool floating = child<QRadioButton>(editor, "rbFloating")->isChecked();
    QStringList state = { child<QLineEdit>(editor, "edName")->text(), shown("cbMonth"),
        floating ? QStringLiteral("floating") : QStringLiteral("specific") };
    // Only the chosen kind's drop-downs show.
    if (floating) {
        state << shown("cbOrdinal") << shown("cbWeekday");
        if (box(editor, "cbDay")->isVisibleTo(editor) || !box(editor, "cbOrdinal")->isVisibleTo(editor))
            state << QStringLiteral("wrong drop-downs shown");
    } else {
        state << shown("cbDay");
        if (!box(editor, "cbDay")->isVisibleTo(editor) || box(editor, "cbWeekday")->isVisibleTo(editor))
            state << QStringLiteral("wrong drop-downs shown");
    }
    return state;
}

// A main window for the command class: only the dialogs' parent is asked for.
class FakeView final : public MainView
{
public:
    QWidget *dialogParent() override { return nullptr; }
    QDate selectedDay() const override { return QDate(2026, 1, 31); }
    List focusedList() const override { return List::None; }
    int currentRow(List) const override { return -1; }
    void selectRow(List, int) override { }
    void focusList(List) override { }
    void showDay(QDate) override { }
};

// Saves fail while it lives: files cannot grow beyond a few bytes, as on a full disk.
class FullDisk : public FileSizeLimit
{
public:
    FullDisk()
        : FileSizeLimit(16)
    { }
};

} // namespace

class TestHolidayDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_fx;
    FakeView m_view;
    std::unique_ptr<ScheduleCommands> m_commands;
    std::unique_ptr<TfrmHoliday> m_dialog;

    QString holidayFile() const { return m_fx->data(QStringLiteral("holiday.grd")); }
    TaskDocument &document() const { return *m_fx->document; }
    GridView *grid() const { return m_dialog->grid(); }

    // A document whose "holiday.grd" holds the rules, and the list over it, handing its
    // rules to the command class as the command does.
    void open(const Rows &rules)
    {
        if (!rules.isEmpty())
            QVERIFY(writeGridFile(tableOf(rules), holidayFile()).ok);
        m_fx->loadDocument();
        m_commands = std::make_unique<ScheduleCommands>(document(), m_fx->services(), m_view);
        m_dialog = std::make_unique<TfrmHoliday>(document(), m_fx->services());
        m_dialog->keepRules = [this](const CellTable &rules) { return m_commands->setHolidays(rules); };
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    }

    Rows fileRows() const
    {
        CellTable table;
        if (!readGridFile(table, holidayFile()).ok())
            return { { "no file" } };
        return rowsOf(table);
    }

    void setConfirm(bool on)
    {
        Options options = document().options();
        options.confirm = on;
        document().setOptions(options);
    }

    QPoint rowCentre(int tableRow) const
    {
        return grid()->visualRect(grid()->cellModel()->index(tableRow - 1, holidays::Name)).center();
    }

    // A left-button drag in the list from a row's centre to a point.
    void drag(int fromRow, QPoint to, Qt::MouseButton button = Qt::LeftButton, bool escape = false)
    {
        QWidget *viewport = grid()->viewport();
        const QPoint from = rowCentre(fromRow);
        QTest::mousePress(viewport, button, {}, from);
        const QPoint step = from + QPoint(0, (to.y() > from.y() ? 1 : -1) * QApplication::startDragDistance());
        for (const QPoint &at : { step, to }) {
            QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, button, {});
            QApplication::sendEvent(viewport, &move);
        }
        if (escape)
            QTest::keyClick(grid(), Qt::Key_Escape);
        QTest::mouseRelease(viewport, button, {}, to);
    }

private Q_SLOTS:
    void init() { m_fx = std::make_unique<AppFixture>(); } // "today" is 31 January 2026

    void cleanup()
    {
        m_dialog.reset();
        m_commands.reset();
        m_fx.reset();
    }

    void startsWithTheHeadersAndOneEmptyRow()
    {
        open({});
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Holidays"));
        QCOMPARE(m_dialog->rules().colCount(), 4);
        QCOMPARE(rowsOf(m_dialog->rules()), Rows { kEmptyRow });
        const QList<int> widths = { 286, 61, 80, 121 };
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(grid()->model()->headerData(c, Qt::Horizontal).toString(), kHeaders[c]);
            QCOMPARE(grid()->columnWidth(c), widths[c]);
        }
        QCOMPARE(grid()->currentTableRow(), 1);

        const QStringList buttons = { "btAdd:&Add", "btEdit:&Edit", "btDel:&Delete", "btImport:&International",
            "btPrint:&Print", "btHelp:&Help", "btClose:Close" };
        for (const QString &button : buttons) {
            const QStringList parts = button.split(QLatin1Char(':'));
            auto *found = m_dialog->findChild<QPushButton *>(parts[0]);
            QVERIFY2(found, qPrintable(parts[0]));
            QCOMPARE(found->text(), parts[1]);
            QVERIFY(found->isEnabled());
        }
        QCOMPARE(
            child<QPushButton>(m_dialog.get(), "btImport")->toolTip(), QStringLiteral("Import International holidays"));

        click(m_dialog.get(), "btHelp");
        QCOMPARE(m_fx->help.topics, QList<int> { 300 });
    }

    // Add opens the editor with today's month and day; OK writes the row, and Close saves it.
    void addWithTheEditor_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("ordinal");
        QTest::addColumn<QString>("weekday");
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<QDate>("falls");
        QTest::newRow("specific day") << "Leap day"
                                      << "February"
                                      << "29"
                                      << ""
                                      << "" << QStringList { "Leap day", "02", "February", "29" } << QDate(2028, 2, 29);
        QTest::newRow("floating day") << "Memorial Day"
                                      << "May"
                                      << ""
                                      << "Last"
                                      << "Monday" << QStringList { "Memorial Day", "05", "May", "Last : Monday" }
                                      << QDate(2026, 5, 25);
    }
    void addWithTheEditor()
    {
        QFETCH(QString, name);
        QFETCH(QString, month);
        QFETCH(QString, day);
        QFETCH(QString, ordinal);
        QFETCH(QString, weekday);
        QFETCH(QStringList, row);
        QFETCH(QDate, falls);
        open({});
        QStringList shown;
        whenEditorShows([&](TfrmEditHoliday *editor) {
            QCOMPARE(editor->windowTitle(), QStringLiteral("Edit Holiday"));
            shown = editorState(editor);
            QTest::keyClicks(child<QLineEdit>(editor, "edName"), name);
            box(editor, "cbMonth")->setCurrentText(month);
            if (day.isEmpty()) {
                child<QRadioButton>(editor, "rbFloating")->click();
                box(editor, "cbOrdinal")->setCurrentText(ordinal);
                box(editor, "cbWeekday")->setCurrentText(weekday);
            } else {
                box(editor, "cbDay")->setCurrentText(day);
            }
            click(editor, "btOK");
        });
        click(m_dialog.get(), "btAdd");
        QCOMPARE(shown, (QStringList { "", "January", "specific", "31" }));
        QCOMPARE(rowsOf(m_dialog->rules()), Rows { row });
        QVERIFY(!QFileInfo::exists(holidayFile()));

        click(m_dialog.get(), "btClose");
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QCOMPARE(fileRows(), Rows { row });
        QCOMPARE(document().holidayName(falls), name);
    }

    // A second Add with a rule selected goes above it; Cancel adds nothing.
    void addInsertsAtTheSelectedRule()
    {
        open({ kChristmas, kBoxingDay });
        grid()->setCurrentTableRow(2);
        whenEditorShows([](TfrmEditHoliday *editor) {
            QTest::keyClicks(child<QLineEdit>(editor, "edName"), QStringLiteral("Noel"));
            box(editor, "cbMonth")->setCurrentText(QStringLiteral("December"));
            box(editor, "cbDay")->setCurrentText(QStringLiteral("25"));
            click(editor, "btOK");
        });
        click(m_dialog.get(), "btAdd");
        QCOMPARE(rowsOf(m_dialog->rules()), (Rows { kChristmas, kNoel, kBoxingDay }));
        QCOMPARE(grid()->currentTableRow(), 2);

        whenEditorShows([](TfrmEditHoliday *editor) { click(editor, "btCancel"); });
        click(m_dialog.get(), "btAdd");
        QCOMPARE(rowsOf(m_dialog->rules()), (Rows { kChristmas, kNoel, kBoxingDay }));
    }

    // The name takes 30 characters typed.
    void nameLimit()
    {
        TfrmEditHoliday editor(RegionalSettings::englishUS());
        editor.setAddMode(QDate(2026, 1, 31));
        auto *name = child<QLineEdit>(&editor, "edName");
        QTest::keyClicks(name, QStringLiteral("A name of more than thirty characters"));
        QCOMPARE(name->text(), QStringLiteral("A name of more than thirty cha"));
    }

    // What is pasted into the name: OK waits for a name with some text, line breaks and
    // control characters are left out, and the box's 30 characters hold for a paste too.
    void pastedNames_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<bool>("okEnabled");
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString() << false << QString();
        QTest::newRow("spaces and a line break") << QStringLiteral("  \r\n ") << false << QStringLiteral("   ");
        QTest::newRow("control characters") << QStringLiteral("No\x01"
                                                              "el\x1A!")
                                            << true << QStringLiteral("Noel!");
        QTest::newRow("2 MB") << QString(2 << 20, QLatin1Char('n')) << true << QString(30, QLatin1Char('n'));
    }
    void pastedNames()
    {
        QFETCH(QString, pasted);
        QFETCH(bool, okEnabled);
        QFETCH(QString, name);
        TfrmEditHoliday editor(RegionalSettings::englishUS());
        editor.setAddMode(QDate(2026, 1, 31));
        QApplication::clipboard()->setText(pasted);
        child<QLineEdit>(&editor, "edName")->paste();
        QCOMPARE(child<QPushButton>(&editor, "btOK")->isEnabled(), okEnabled);
        QCOMPARE(editor.fields().name, name);
    }

    // Choosing another month refills the day numbers (1996's lengths) and keeps the chosen
    // place, moved down to the month's last day.
    void monthChangeRefillsTheDays_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QList<int>>("months");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("day");
        QTest::newRow("31 to April") << QDate(2026, 1, 31) << QList<int> { 4 } << 30 << "30";
        QTest::newRow("31 to February") << QDate(2026, 1, 31) << QList<int> { 2 } << 29 << "29";
        QTest::newRow("15 to February") << QDate(2026, 1, 15) << QList<int> { 2 } << 29 << "15";
        QTest::newRow("kept as it was moved") << QDate(2026, 1, 31) << QList<int> { 4, 3 } << 31 << "30";
        QTest::newRow("29 February to March") << QDate(2026, 2, 28) << QList<int> { 2, 3 } << 31 << "28";
        QTest::newRow("February in a common year") << QDate(2026, 2, 1) << QList<int> {} << 29 << "1";
    }
    void monthChangeRefillsTheDays()
    {
        QFETCH(QDate, today);
        QFETCH(QList<int>, months);
        QFETCH(int, count);
        QFETCH(QString, day);
        TfrmEditHoliday editor(RegionalSettings::englishUS());
        editor.setAddMode(today);
        for (int month : months)
            box(&editor, "cbMonth")->setCurrentIndex(month - 1);
        QComboBox *days = box(&editor, "cbDay");
        QCOMPARE(days->count(), count);
        QCOMPARE(days->itemText(0), QStringLiteral("1"));
        QCOMPARE(days->itemText(count - 1), QString::number(count));
        QCOMPARE(days->currentText(), day);
    }

    // Edit shows the selected row in the editor; OK rewrites that row in place.
    void editShowsAndRewritesTheRow_data()
    {
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("specific day") << kChristmas << QStringList { "Christmas", "December", "specific", "25" }
                                      << QStringList { "Christmas!", "12", "December", "25" };
        QTest::newRow("floating day") << QStringList { "Thanksgiving", "11", "November", "Fourth : Thursday" }
                                      << QStringList { "Thanksgiving", "November", "floating", "Fourth", "Thursday" }
                                      << QStringList { "Thanksgiving!", "11", "November", "Fourth : Thursday" };
        QTest::newRow("entries found in any case") << QStringList { "Odd", "05", "MAY", "last : monday" }
                                                   << QStringList { "Odd", "May", "floating", "Last", "Monday" }
                                                   << QStringList { "Odd!", "05", "May", "Last : Monday" };
        // Texts the drop-downs do not hold are shown as hints and kept.
        QTest::newRow("another language's month")
            << QStringList { "Neujahr", "00", "Januar", "1" } << QStringList { "Neujahr", "[Januar]", "specific", "1" }
            << QStringList { "Neujahr!", "00", "Januar", "1" };
        QTest::newRow("another language's words")
            << QStringList { "Muttertag", "05", "May", "Zweiter : Sonntag" }
            << QStringList { "Muttertag", "May", "floating", "[Zweiter]", "[Sonntag]" }
            << QStringList { "Muttertag!", "05", "May", "Zweiter : Sonntag" };
        QTest::newRow("a day below 1: the first")
            << QStringList { "Odd", "03", "March", "x" } << QStringList { "Odd", "March", "specific", "1" }
            << QStringList { "Odd!", "03", "March", "1" };
        QTest::newRow("a day the month lacks: its last")
            << QStringList { "Odd", "04", "April", "31" } << QStringList { "Odd", "April", "specific", "30" }
            << QStringList { "Odd!", "04", "April", "30" };
        const QString imported = QStringLiteral("Commemoration of the Founding of the Nation");
        // Shown and kept whole; typing cannot make it longer.
        QTest::newRow("a longer imported name") << QStringList { imported, "02", "February", "11" }
                                                << QStringList { imported, "February", "specific", "11" }
                                                << QStringList { imported, "02", "February", "11" };
    }
    void editShowsAndRewritesTheRow()
    {
        QFETCH(QStringList, row);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, written);
        open({ kBoxingDay, row });
        grid()->setCurrentTableRow(2);
        QStringList state;
        whenEditorShows([&](TfrmEditHoliday *editor) {
            state = editorState(editor);
            QTest::keyClick(child<QLineEdit>(editor, "edName"), Qt::Key_End);
            QTest::keyClicks(child<QLineEdit>(editor, "edName"), QStringLiteral("!"));
            click(editor, "btOK");
        });
        // A double click on a row is Edit.
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, rowCentre(2));
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, rowCentre(2));
        QCOMPARE(state, shown);
        QCOMPARE(rowsOf(m_dialog->rules()), (Rows { kBoxingDay, written }));
        QCOMPARE(grid()->currentTableRow(), 2);
    }

    void editSwitchesTheKind()
    {
        open({ kChristmas });
        whenEditorShows([](TfrmEditHoliday *editor) {
            child<QRadioButton>(editor, "rbFloating")->click();
            box(editor, "cbWeekday")->setCurrentText(QStringLiteral("Friday"));
            click(editor, "btOK");
        });
        click(m_dialog.get(), "btEdit");
        QCOMPARE(rowsOf(m_dialog->rules()), (Rows { { "Christmas", "12", "December", "First : Friday" } }));
    }

    // A row without a name is empty: nothing opens.
    void editRefusesAnEmptyRow_data()
    {
        QTest::addColumn<Rows>("rules");
        QTest::newRow("no rules") << Rows {};
        QTest::newRow("a rule without a name") << Rows { { "", "05", "May", "31" } };
    }
    void editRefusesAnEmptyRow()
    {
        QFETCH(Rows, rules);
        open(rules);
        noModalMayShow();
        click(m_dialog.get(), "btEdit");
        QCOMPARE(m_fx->dialogs.errors, QStringList { "Nothing to edit" });
        QCoreApplication::processEvents();
    }

    void deleteARule_data()
    {
        QTest::addColumn<Rows>("rules");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<Rows>("after");
        QTest::addColumn<int>("selected");
        const Rows three = { kChristmas, kBoxingDay, kNoel };
        const QString question = QStringLiteral("Really delete \"Boxing Day\"?");
        QTest::newRow("confirmed") << three << 2 << true << QList<bool> { true } << QStringList { question }
                                   << Rows { kChristmas, kNoel } << 2;
        QTest::newRow("answered no") << three << 2 << true << QList<bool> { false } << QStringList { question } << three
                                     << 2;
        QTest::newRow("not asked") << three << 2 << false << QList<bool> {} << QStringList {}
                                   << Rows { kChristmas, kNoel } << 2;
        QTest::newRow("the last row") << three << 3 << false << QList<bool> {} << QStringList {}
                                      << Rows { kChristmas, kBoxingDay } << 2;
        QTest::newRow("the only rule is emptied")
            << Rows { kChristmas } << 1 << true << QList<bool> { true }
            << QStringList { "Really delete \"Christmas\"?" } << Rows { kEmptyRow } << 1;
    }
    void deleteARule()
    {
        QFETCH(Rows, rules);
        QFETCH(int, row);
        QFETCH(bool, confirm);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, questions);
        QFETCH(Rows, after);
        QFETCH(int, selected);
        open(rules);
        setConfirm(confirm);
        m_fx->dialogs.confirmAnswers = answers;
        grid()->setCurrentTableRow(row);
        click(m_dialog.get(), "btDel");
        QCOMPARE(m_fx->dialogs.questions, questions);
        QCOMPARE(rowsOf(m_dialog->rules()), after);
        QCOMPARE(grid()->currentTableRow(), selected);
        QCOMPARE(grid()->model()->rowCount(), int(after.size()));
    }

    // A rule row dragged onto another moves there and stays selected; the first of two rules
    // of a day names it.
    void dragReorders_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("onto"); // a row number, "below" the rows or "header"
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Rows>("after");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("christmas");
        const Rows before = { kChristmas, kBoxingDay, kNoel };
        QTest::newRow("up onto the first")
            << 3 << "1" << Qt::LeftButton << Rows { kNoel, kChristmas, kBoxingDay } << 1 << "Noel";
        QTest::newRow("down onto the last")
            << 1 << "3" << Qt::LeftButton << Rows { kBoxingDay, kNoel, kChristmas } << 3 << "Noel";
        QTest::newRow("onto the next") << 1 << "2" << Qt::LeftButton << Rows { kBoxingDay, kChristmas, kNoel } << 2
                                       << "Christmas";
        QTest::newRow("below the rows") << 1 << "below" << Qt::LeftButton << before << 1 << "Christmas";
        QTest::newRow("onto the header") << 3 << "header" << Qt::LeftButton << before << 3 << "Christmas";
        QTest::newRow("the right button") << 3 << "1" << Qt::RightButton << before << 3 << "Christmas";
        // Escape during a drag ends the drag, not the dialog.
        QTest::newRow("escape before letting go") << 3 << "1 escape" << Qt::LeftButton << before << 3 << "Christmas";
    }
    void dragReorders()
    {
        QFETCH(int, from);
        QFETCH(QString, onto);
        QFETCH(Qt::MouseButton, button);
        QFETCH(Rows, after);
        QFETCH(int, selected);
        QFETCH(QString, christmas);
        open({ kChristmas, kBoxingDay, kNoel });
        m_dialog->resize(m_dialog->width(), 400); // room below the rows
        QTest::qWait(0);
        QPoint to;
        if (onto == QLatin1String("below"))
            to = QPoint(rowCentre(1).x(), grid()->viewport()->height() - 5);
        else if (onto == QLatin1String("header"))
            to = QPoint(rowCentre(1).x(), -grid()->horizontalHeader()->height() / 2);
        else
            to = rowCentre(onto.section(QLatin1Char(' '), 0, 0).toInt());
        drag(from, to, button, onto.endsWith(QLatin1String("escape")));
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(rowsOf(m_dialog->rules()), after);
        QCOMPARE(grid()->currentTableRow(), selected);

        click(m_dialog.get(), "btClose");
        QCOMPARE(fileRows(), after);
        QCOMPARE(document().holidayName(QDate(2026, 12, 25)), christmas);
    }

    // A header click sorts by that column; the selection stays on its rule.
    void headerClickSorts()
    {
        const QStringList fools = { "Fools", "04", "April", "1" };
        const QStringList groundhog = { "Groundhog Day", "02", "February", "2" };
        open({ kChristmas, fools, groundhog });
        grid()->setCurrentTableRow(2);
        QHeaderView *header = grid()->horizontalHeader();
        auto clickHeader = [header](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
        };
        clickHeader(holidays::DayRule); // "Day of month", as text
        QCOMPARE(rowsOf(m_dialog->rules()), (Rows { fools, groundhog, kChristmas }));
        QCOMPARE(grid()->currentTableRow(), 1);
        clickHeader(holidays::DayRule);
        QCOMPARE(rowsOf(m_dialog->rules()), (Rows { kChristmas, groundhog, fools }));
        QCOMPARE(grid()->currentTableRow(), 3);
        clickHeader(holidays::MonthNumber);
        QCOMPARE(rowsOf(m_dialog->rules()), (Rows { groundhog, fools, kChristmas }));
        QCOMPARE(grid()->currentTableRow(), 2);

        click(m_dialog.get(), "btClose");
        QCOMPARE(fileRows(), (Rows { groundhog, fools, kChristmas }));
    }

    // Close and Escape hand the rules to the document, which saves them; the close box
    // keeps nothing.
    void leaving_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Close") << "close" << true;
        QTest::newRow("Escape") << "escape" << true;
        QTest::newRow("the close box") << "box" << false;
    }
    void leaving()
    {
        QFETCH(QString, how);
        QFETCH(bool, saved);
        open({ kChristmas, kBoxingDay });
        setConfirm(false);
        QSignalSpy changed(&document(), &TaskDocument::holidaysChanged);
        click(m_dialog.get(), "btDel");
        if (how == QLatin1String("close"))
            click(m_dialog.get(), "btClose");
        else if (how == QLatin1String("escape"))
            QTest::keyClick(grid(), Qt::Key_Escape);
        else
            m_dialog->close();
        QVERIFY(!m_dialog->isVisible());
        const Rows expected = saved ? Rows { kBoxingDay } : Rows { kChristmas, kBoxingDay };
        QCOMPARE(fileRows(), expected);
        QCOMPARE(rowsOf(document().holidays()), expected);
        QCOMPARE(changed.count(), saved ? 1 : 0);
        QCOMPARE(m_dialog->saveState(), saved ? TfrmHoliday::SaveState::Saved : TfrmHoliday::SaveState::NotSaved);
    }

    // International hands the list's rules to the document first, runs the import over
    // them, then shows the document's rules.
    void internationalSavesThenShowsTheImport()
    {
        open({ kChristmas, kBoxingDay });
        setConfirm(false);
        click(m_dialog.get(), "btDel"); // Christmas
        Rows seenInFile;
        Rows seenInDocument;
        m_dialog->importHolidays = [&] {
            seenInFile = fileRows();
            seenInDocument = rowsOf(document().holidays());
            CellTable imported = document().holidays();
            imported.insertBlankRows(1, 1);
            holidays::setRule(imported, 1, QStringLiteral("Neujahr"), QStringLiteral("January"), QStringLiteral("1"),
                document().regional());
            QVERIFY(document().setHolidays(imported).ok);
        };
        click(m_dialog.get(), "btImport");
        QCOMPARE(seenInFile, Rows { kBoxingDay });
        QCOMPARE(seenInDocument, Rows { kBoxingDay });
        const Rows withImport = { { "Neujahr", "01", "January", "1" }, kBoxingDay };
        QCOMPARE(rowsOf(m_dialog->rules()), withImport);
        QCOMPARE(grid()->model()->rowCount(), 2);
        QVERIFY(m_dialog->isVisible());

        // Leaving by the close box now keeps what was saved before the import.
        m_dialog->close();
        QCOMPARE(fileRows(), withImport);
    }

    // The command: the list over the document, the import opened over the list, and the
    // document reading the file again afterwards.
    void holidaysCommand()
    {
        QVERIFY(writeGridFile(tableOf({ kChristmas }), holidayFile()).ok);
        m_fx->loadDocument();
        FakeView view;
        ScheduleCommands commands(document(), m_fx->services(), view);
        QWidget *importParent = nullptr;
        commands.openImport = [&](QWidget *parent) { importParent = parent; };
        TfrmHoliday *shown = nullptr;
        whenModalShows<TfrmHoliday>([&](TfrmHoliday *dialog) {
            shown = dialog;
            click(dialog, "btImport");
            // Someone else writes the file meanwhile; the list is left by the close box.
            QVERIFY(writeGridFile(tableOf({ kNoel }), holidayFile()).ok);
            dialog->close();
        });
        QSignalSpy changed(&document(), &TaskDocument::holidaysChanged);
        commands.Holidays1Click();
        QVERIFY(shown);
        QCOMPARE(importParent, shown);
        QCOMPARE(rowsOf(document().holidays()), Rows { kNoel });
        QCOMPARE(changed.count(), 2); // the save before the import, the reading afterwards
    }

    // Through the command, International opens the import over the list's saved rules, and
    // the list then shows what was imported on top: here above the empty row of a list
    // without rules, which stays.
    void internationalOpensTheImport()
    {
        QVERIFY(writeGridFile(tableOf({ kChristmas }), holidayFile()).ok);
        m_fx->loadDocument();
        setConfirm(false);
        FakeView view;
        ScheduleCommands commands(document(), m_fx->services(), view);
        Rows listed;
        whenModalShows<TfrmHoliday>([&](TfrmHoliday *dialog) {
            click(dialog, "btDel"); // Christmas: the list is empty when the import opens
            whenModalShows<TfrmImport>([dialog](TfrmImport *import) {
                QCOMPARE(import->parentWidget(), dialog);
                QCOMPARE(rowsOf(import->grid()), Rows { kEmptyRow });
                auto *days = import->findChild<QListWidget *>(QStringLiteral("lbDays"));
                days->item(0)->setSelected(true);
                click(import, "btOK");
            });
            click(dialog, "btImport");
            listed = rowsOf(dialog->rules());
            dialog->close();
        });
        commands.Holidays1Click();
        const Rows imported = { { "New Year's Day", "01", "January", "1" }, kEmptyRow };
        QCOMPARE(listed, imported);
        QCOMPARE(fileRows(), imported);
        QCOMPARE(document().holidayName(QDate(2027, 1, 1)), QStringLiteral("New Year's Day"));
    }

    // An import that cannot be saved is reported, and the document keeps the imported rules
    // even when the list is then left by the close box. A disk that stays full fails the
    // list's save before the import, the import's and the list's Close: one box says so.
    void failedImportSaveKeepsTheRules_data()
    {
        QTest::addColumn<bool>("fullThroughout");
        QTest::newRow("the import's save fails") << false;
        QTest::newRow("every save fails: before the import, at its OK, at Close") << true;
    }
    void failedImportSaveKeepsTheRules()
    {
        QFETCH(bool, fullThroughout);
        QVERIFY(writeGridFile(tableOf({ kChristmas }), holidayFile()).ok);
        m_fx->loadDocument();
        FakeView view;
        ScheduleCommands commands(document(), m_fx->services(), view);
        whenModalShows<TfrmHoliday>([fullThroughout](TfrmHoliday *dialog) {
            std::optional<FullDisk> full;
            if (fullThroughout)
                full.emplace();
            whenModalShows<TfrmImport>([&full](TfrmImport *import) {
                import->findChild<QListWidget *>(QStringLiteral("lbDays"))->item(0)->setSelected(true);
                if (!full)
                    full.emplace(); // until the import's rules are saved, as it closes
                click(import, "btOK");
            });
            click(dialog, "btImport");
            if (!fullThroughout)
                full.reset();
            if (fullThroughout)
                click(dialog, "btClose");
            else
                dialog->close();
        });
        commands.Holidays1Click();
        QCOMPARE(m_fx->dialogs.errors.size(), 1);
        QVERIFY(m_fx->dialogs.errors[0].contains(holidayFile()));
        QCOMPARE(fileRows(), Rows { kChristmas });
        QCOMPARE(rowsOf(document().holidays()), (Rows { { "New Year's Day", "01", "January", "1" }, kChristmas }));
    }

    // A damaged "holiday.grd" is moved aside and reported, at start and when the document
    // reads the file again after the list; it is never written over, and the rules shown
    // before stay.
    void damagedFileIsKeptAsideAndReported_data()
    {
        QTest::addColumn<bool>("atStart");
        QTest::newRow("at start") << true;
        QTest::newRow("after the list") << false;
    }
    void damagedFileIsKeptAsideAndReported()
    {
        QFETCH(bool, atStart);
        const QByteArray damaged("4,2000000000\r\n0,1,Christmas\r\n");
        if (atStart)
            QVERIFY(writeBytes(holidayFile(), damaged));
        else
            QVERIFY(writeGridFile(tableOf({ kChristmas }), holidayFile()).ok);
        m_fx->loadDocument();
        QCOMPARE(m_fx->loaded.size(), atStart ? 1 : 0);
        FakeView view;
        ScheduleCommands commands(document(), m_fx->services(), view);
        whenModalShows<TfrmHoliday>([&](TfrmHoliday *dialog) {
            if (!atStart) {
                // Someone else spoils the file while the list is left by the close box.
                QVERIFY(writeBytes(holidayFile(), damaged));
                dialog->close();
                return;
            }
            QCOMPARE(rowsOf(dialog->rules()), Rows { kEmptyRow });
            click(dialog, "btClose");
        });
        commands.Holidays1Click();

        const QStringList reported = atStart ? m_fx->loaded : m_fx->dialogs.errors;
        QCOMPARE(reported.size(), 1);
        QVERIFY2(reported[0].contains(QStringLiteral("holiday.grd is damaged")), qPrintable(reported[0]));
        const QStringList aside = QDir(m_fx->dataFolder()).entryList({ QStringLiteral("holiday.grd.damaged-*") });
        QCOMPARE(aside.size(), 1);
        QVERIFY(reported[0].contains(aside[0]));
        QCOMPARE(readAll(m_fx->data(aside[0])), damaged);
        QCOMPARE(rowsOf(document().holidays()), atStart ? Rows { kEmptyRow } : Rows { kChristmas });
        QCOMPARE(document().holidayName(QDate(2026, 12, 25)), atStart ? QString() : QStringLiteral("Christmas"));
    }

    // Rules that could not be saved stay in the document, also through a later use of the
    // list that saves nothing, until a save succeeds.
    void failedSaveKeepsTheRules()
    {
        QVERIFY(writeGridFile(tableOf({ kChristmas, kBoxingDay }), holidayFile()).ok);
        m_fx->loadDocument();
        setConfirm(false);
        FakeView view;
        ScheduleCommands commands(document(), m_fx->services(), view);
        whenModalShows<TfrmHoliday>([](TfrmHoliday *dialog) {
            click(dialog, "btDel"); // Christmas
            const FullDisk full;
            click(dialog, "btClose");
        });
        commands.Holidays1Click();
        QCOMPARE(m_fx->dialogs.errors.size(), 1);
        QVERIFY(m_fx->dialogs.errors[0].contains(holidayFile()));
        QCOMPARE(fileRows(), (Rows { kChristmas, kBoxingDay }));
        QCOMPARE(rowsOf(document().holidays()), Rows { kBoxingDay });

        whenModalShows<TfrmHoliday>([](TfrmHoliday *dialog) {
            QCOMPARE(rowsOf(dialog->rules()), Rows { kBoxingDay });
            dialog->close();
        });
        commands.Holidays1Click();
        QCOMPARE(rowsOf(document().holidays()), Rows { kBoxingDay });

        whenModalShows<TfrmHoliday>([](TfrmHoliday *dialog) { click(dialog, "btClose"); });
        commands.Holidays1Click();
        QCOMPARE(fileRows(), Rows { kBoxingDay });
        QCOMPARE(m_fx->dialogs.errors.size(), 1);
    }
};

QTEST_MAIN(TestHolidayDialog)
#include "tst_holidaydialog.moc"
