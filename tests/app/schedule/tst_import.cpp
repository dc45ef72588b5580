#include "appfixture.h"
#include "schedule/catalogue.h"
#include "schedule/holidays.h"
#include "schedule/import.h"
#include "schedule/schedulecommands.h"
#include "shell/mainview.h"
#include "store/gridfile.h"
#include "testfiles.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const QString kNothingSelected = QStringLiteral("Nothing selected!  Click on holiday(s) above to select.");
const QStringList kHeaders = { "Holiday name", "Mo #", "Month", "Day of month" };

QList<QStringList> rowsOf(const CellTable &table)
{
    QList<QStringList> rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table.colCount(); ++c)
            cells << table.cell(c, r);
        rows << cells;
    }
    return rows;
}

QStringList textsOf(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
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

} // namespace

class TestImport : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> m_fx;
    std::unique_ptr<TfrmImport> m_owned;
    TfrmImport *m_dialog = nullptr; // the dialog on show
    const QStringList m_christmasEve = { "Christmas Eve", "12", "December", "24" };

    template <typename T> T *child(const char *name) const { return m_dialog->findChild<T *>(QLatin1String(name)); }
    QListWidget *countries() const { return child<QListWidget>("lbCountries"); }
    QListWidget *days() const { return child<QListWidget>("lbDays"); }
    QString holidayPath() const { return m_fx->data(QStringLiteral("holiday.grd")); }

    // A holiday file holding one rule, and the document loaded over it.
    void loadWithOneRule()
    {
        CellTable rules(holidays::ColumnCount, 2);
        holidays::setHeaders(rules);
        holidays::setRule(
            rules, 1, m_christmasEve[0], m_christmasEve[2], m_christmasEve[3], RegionalSettings::englishUS());
        QVERIFY(writeGridFile(rules, holidayPath()));
        m_fx->loadDocument();
        QCOMPARE(rowsOf(m_fx->document->holidays()), (QList<QStringList> { kHeaders, m_christmasEve }));
    }
    void open()
    {
        m_owned = std::make_unique<TfrmImport>(*m_fx->document, m_fx->dialogs);
        m_dialog = m_owned.get();
        m_dialog->show();
    }
    // The import as the holiday list's International opens it, through the command: `steps`
    // act on the dialog while it is up, modal; the command keeps what it chose.
    void importThroughTheCommand(const std::function<void()> &steps)
    {
        FakeView view;
        ScheduleCommands commands(*m_fx->document, m_fx->services(), view);
        QTimer::singleShot(0, [this, steps] {
            m_dialog = qobject_cast<TfrmImport *>(QApplication::activeModalWidget());
            if (!m_dialog) {
                if (QWidget *modal = QApplication::activeModalWidget())
                    modal->close();
                QFAIL("the import is not showing");
            }
            steps();
            if (m_dialog->isVisible())
                m_dialog->reject(); // a step that failed left it open
        });
        commands.openImport(nullptr);
        m_dialog = nullptr;
    }
    void clickRow(QListWidget *list, int row, Qt::KeyboardModifiers modifiers = {}) const
    {
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(list->item(row)).center());
    }
    void chooseCountry(const QString &name) const
    {
        clickRow(countries(), int(catalogue::countries().indexOf(name)));
        QCOMPARE(countries()->currentItem()->text(), name);
    }
    CellTable onDisk() const
    {
        CellTable table;
        readGridFile(table, holidayPath());
        return table;
    }

private Q_SLOTS:
    void init() { m_fx = std::make_unique<AppFixture>(); }
    void cleanup()
    {
        m_dialog = nullptr;
        m_owned.reset();
        m_fx.reset();
    }

    void opensOnTheFirstCountry()
    {
        loadWithOneRule();
        open();
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Import International Holidays"));
        QCOMPARE(textsOf(countries()), catalogue::countries());
        QCOMPARE(countries()->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(countries()->currentRow(), 0);
        QVERIFY(countries()->item(0)->isSelected());
        QCOMPARE(textsOf(days()),
            (QStringList { "Jan 1st\tNew Year's Day", "Apr 25th\tANZAC Day", "Jun 8th\tQueen's Birthday",
                "1st Mon in Oct\tLabour Day", "Dec 26th\tBoxing Day", "Dec 25th\tChristmas" }));
        QCOMPARE(days()->selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(days()->selectedItems().isEmpty());
        QCOMPARE(child<QLabel>("lblHint")->text(),
            QStringLiteral("Hint: Drag mouse or Ctrl-Click to select multiple entries"));
        QVERIFY(child<QPushButton>("btOK")->isDefault());
        QCOMPARE(rowsOf(m_dialog->grid()), rowsOf(m_fx->document->holidays()));
    }

    // A click or a key on another country lists its holidays in the catalogue's order
    // (not the calendar's), and the selection of the last list is gone.
    void choosingACountryListsItsHolidays()
    {
        loadWithOneRule();
        open();
        clickRow(days(), 1);
        chooseCountry(QStringLiteral("Spain"));
        const QStringList spain = textsOf(days());
        QCOMPARE(spain.size(), 30);
        QCOMPARE(spain.first(), QStringLiteral("Jan 1st\tAño Nuevo"));
        QVERIFY(spain.indexOf(QStringLiteral("Oct 15th\tN. Sra. Bien Aparecida"))
            < spain.indexOf(QStringLiteral("Oct 7th\tN. Sra. del Rosario")));
        QVERIFY(days()->selectedItems().isEmpty());

        clickRow(days(), 3);
        QTest::keyClick(countries(), Qt::Key_Down);
        QCOMPARE(countries()->currentItem()->text(), QStringLiteral("Sweden"));
        QCOMPARE(textsOf(days()), catalogue::countryLines(19, m_fx->document->regional()));
        QVERIFY(days()->selectedItems().isEmpty());
    }

    // Lines 1 and 3 chosen: each goes in at the top in turn, so line 3's rule stands first,
    // then line 1's, then the rules that were there. The dialog hands them back; the
    // command makes them the document's and the file holds the same.
    void okPutsTheSelectedHolidaysOnTop()
    {
        loadWithOneRule();
        const QByteArray before = readAll(holidayPath());
        const QList<QStringList> expected = { kHeaders, { "Groundhog Day", "02", "February", "2" },
            { "New Year's Day", "01", "January", "1" }, m_christmasEve };
        QSignalSpy changed(m_fx->document.get(), &TaskDocument::holidaysChanged);
        importThroughTheCommand([&] {
            chooseCountry(QStringLiteral("United States"));
            clickRow(days(), 0);
            clickRow(days(), 2, Qt::ControlModifier);
            QCOMPARE(days()->selectedItems().size(), 2);
            child<QPushButton>("btOK")->click();
            QVERIFY(!m_dialog->isVisible());
            QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
            QCOMPARE(rowsOf(m_dialog->grid()), expected);
            // The dialog itself changed nothing.
            QCOMPARE(changed.count(), 0);
            QCOMPARE(rowsOf(m_fx->document->holidays()), (QList<QStringList> { kHeaders, m_christmasEve }));
            QCOMPARE(readAll(holidayPath()), before);
        });

        QVERIFY(m_fx->dialogs.errors.isEmpty());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(rowsOf(m_fx->document->holidays()), expected);
        QCOMPARE(rowsOf(onDisk()), expected);
        QCOMPARE(m_fx->document->holidayName(QDate(2027, 2, 2)), QStringLiteral("Groundhog Day"));
    }

    // The first import, before any holiday file exists, under German settings: the line
    // shows Qt's German short weekday and the rule gets the German full names. The list's
    // empty row stays, after the rule.
    void firstImportUnderGermanSettings()
    {
        m_fx->loadDocument(RegionalSettings::fromLocale(QLocale(QStringLiteral("de_DE"))));
        QVERIFY(!QFile::exists(holidayPath()));
        importThroughTheCommand([this] {
            QCOMPARE(days()->item(3)->text(), QStringLiteral("1st Mo. in Oct\tLabour Day"));
            clickRow(days(), 3);
            child<QPushButton>("btOK")->click();
        });
        const QList<QStringList> expected
            = { kHeaders, { "Labour Day", "10", "Oktober", "First : Montag" }, { "", "", "", "" } };
        QCOMPARE(rowsOf(onDisk()), expected);
        QCOMPARE(rowsOf(m_fx->document->holidays()), expected);
        QCOMPARE(m_fx->document->holidayName(QDate(2026, 10, 5)), QStringLiteral("Labour Day"));
    }

    // A selection lost by choosing another country counts as nothing selected.
    void okWithNothingSelectedKeepsTheDialogOpen()
    {
        loadWithOneRule();
        const QByteArray before = readAll(holidayPath());
        open();
        child<QPushButton>("btOK")->click();
        QCOMPARE(m_fx->dialogs.errors, QStringList { kNothingSelected });

        clickRow(days(), 0);
        chooseCountry(QStringLiteral("Japan"));
        child<QPushButton>("btOK")->click();
        QCOMPARE(m_fx->dialogs.errors, (QStringList { kNothingSelected, kNothingSelected }));
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(readAll(holidayPath()), before);
        QCOMPARE(rowsOf(m_fx->document->holidays()), (QList<QStringList> { kHeaders, m_christmasEve }));
    }

    void closeWritesNothing_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Close") << false;
        QTest::newRow("Escape") << true;
    }
    void closeWritesNothing()
    {
        QFETCH(bool, escape);
        loadWithOneRule();
        const QByteArray before = readAll(holidayPath());
        QSignalSpy changed(m_fx->document.get(), &TaskDocument::holidaysChanged);
        importThroughTheCommand([&] {
            clickRow(days(), 0);
            clickRow(days(), 1, Qt::ControlModifier);
            if (escape)
                QTest::keyClick(days(), Qt::Key_Escape);
            else
                child<QPushButton>("btClose")->click();
            QVERIFY(!m_dialog->isVisible());
            QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
        });
        QCOMPARE(changed.count(), 0);
        QCOMPARE(readAll(holidayPath()), before);
        QCOMPARE(rowsOf(m_fx->document->holidays()), (QList<QStringList> { kHeaders, m_christmasEve }));
        QVERIFY(m_fx->dialogs.errors.isEmpty());
    }

    // A holiday file that cannot be written is reported; the document keeps the rules for
    // its next save.
    void failedSaveIsReported()
    {
        m_fx->loadDocument();
        QVERIFY(QDir().mkpath(holidayPath())); // a folder in the file's place
        importThroughTheCommand([this] {
            clickRow(days(), 0);
            child<QPushButton>("btOK")->click();
            QVERIFY(!m_dialog->isVisible());
        });
        QCOMPARE(m_fx->dialogs.errors.size(), 1);
        QVERIFY2(m_fx->dialogs.errors.first().startsWith(QStringLiteral("Couldn't save ") + holidayPath()),
            qPrintable(m_fx->dialogs.errors.first()));
        QCOMPARE(m_fx->document->holidayName(QDate(2027, 1, 1)), QStringLiteral("New Year's Day"));
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
