#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "platform/fontdialogs.h"
#include "platform/help.h"
#include "platform/notifications.h"
#include "platform/printer.h"
#include "platform/services.h"
#include "platform/shellopener.h"
#include "platform/sound.h"
#include "settings/settingsstore.h"
#include "shell/mainview.h"
#include "store/complete.h"
#include "store/gridfile.h"
#include "store/storecommands.h"
#include "store/taskdocument.h"
#include "testfiles.h"
#include "text/regional.h"
#include "text/texthelpers.h"
#include "widgethelpers.h"
#include "widgets/gridview.h"
#include "widgets/shadowlabel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

CompletedEntry entry(const QString &what, const QString &notes = QString())
{
    return { QStringLiteral("3/15/2000"), QStringLiteral("10:30 AM"), QStringLiteral("Work"),
        QStringLiteral("Non date task"), what, notes };
}

QStringList column(const CellTable &log, int c)
{
    QStringList texts;
    for (int r = 1; r < log.rowCount(); ++r)
        texts << log.cell(c, r);
    return texts;
}

// A log file of entries named by their "What" texts, the first on top.
bool writeLog(const QString &path, const QStringList &whats)
{
    CellTable log = newCompletedLog();
    for (auto it = whats.crbegin(); it != whats.crend(); ++it)
        addCompletedEntry(log, entry(*it, QStringLiteral("notes of ") + *it));
    return writeGridFile(log, path).ok;
}

// A main window for the command class: its windows stand over a widget of its own.
class FakeView final : public MainView
{
public:
    QWidget *dialogParent() override { return &m_parent; }
    QDate selectedDay() const override { return QDate(2000, 3, 15); }
    List focusedList() const override { return List::None; }
    int currentRow(List) const override { return -1; }
    void selectRow(List, int) override { }
    void focusList(List) override { }
    void showDay(QDate) override { }

private:
    QWidget m_parent;
};

} // namespace

class TestComplete : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingDialogs m_dialogs;
    bool m_confirm = true;
    RegionalSettings m_us = RegionalSettings::englishUS();
    FixedClock m_clock { QDateTime(QDate(2000, 3, 15), QTime(10, 30, 5)) };

    QString logPath() const { return m_dir->filePath(QStringLiteral("gridComp.grd")); }

    RecordingFileDialogs m_fileDialogs;
    RecordingFontDialogs m_fontDialogs;
    RecordingSound m_sound;
    RecordingHelp m_help;
    RecordingShellOpener m_opener;
    RecordingNotifications m_notifications;
    RecordingPrinter m_printer;

    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<TaskDocument> m_document;
    std::vector<std::unique_ptr<TaskDocument>> m_earlier; // documents of earlier windows of a test
    std::unique_ptr<FakeView> m_view;
    std::unique_ptr<StoreCommands> m_commands;

    // A document of `folder`; what the load reports goes to the dialogs.
    void makeDocument(const QString &folder)
    {
        if (m_document)
            m_earlier.push_back(std::move(m_document));
        if (!m_settings)
            m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("Task.ini")));
        m_document
            = std::make_unique<TaskDocument>(folder.isEmpty() ? m_dir->path() : folder, *m_settings, m_clock, m_us);
        for (const QString &problem : m_document->load())
            m_dialogs.showError(problem);
    }

    // The window over a document of `folder`, on its own: it hands nothing over.
    std::unique_ptr<TfrmComplete> makeWindow(const QString &folder = QString())
    {
        makeDocument(folder);
        return std::make_unique<TfrmComplete>(*m_document, m_dialogs, [this] { return m_confirm; });
    }

    // The window as the command class owns it, over a document of `folder`: the log it hands
    // over as it closes becomes the document's and is saved. Deletes are confirmed as the
    // "Confirm" option says.
    TfrmComplete &commandWindow(const QString &folder = QString())
    {
        m_commands.reset();
        makeDocument(folder);
        Options options = m_document->options();
        options.confirm = m_confirm;
        m_document->setOptions(options);
        return makeCommands();
    }

    // The command class over the document; answers its window.
    TfrmComplete &makeCommands()
    {
        m_view = std::make_unique<FakeView>();
        const Services services { m_clock, m_dialogs, m_fileDialogs, m_fontDialogs, m_sound, m_help, m_opener,
            m_notifications, m_printer };
        m_commands = std::make_unique<StoreCommands>(*m_document, services, *m_view);
        return *m_commands->completeWindow();
    }

    // Shown and active, as the modal window is when the user works in it.
    static void showActive(TfrmComplete &window)
    {
        window.show();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("the window did not become active");
    }

    // The editor's completion: the entry goes on top and is saved at once; a failure is reported.
    bool add(const CompletedEntry &completed)
    {
        const SaveResult saved = m_document->addCompleted(completed);
        if (!saved)
            m_dialogs.showError(saved.message());
        return saved.ok;
    }

    // Shown and active, as the modal window is when the user works in it.
    std::unique_ptr<TfrmComplete> shownWindow()
    {
        auto window = makeWindow();
        showActive(*window);
        return window;
    }

    static QPlainTextEdit *box(TfrmComplete &window, const char *name)
    {
        return window.findChild<QPlainTextEdit *>(QLatin1String(name));
    }

    static void clickRow(TfrmComplete &window, int tableRow)
    {
        GridView *grid = window.grid();
        const QRect cell = grid->visualRect(grid->cellModel()->index(tableRow - 1, completed::CompDate));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

private Q_SLOTS:
    void init()
    {
        m_commands.reset();
        m_view.reset();
        m_document.reset();
        m_earlier.clear();
        m_settings.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_dialogs = RecordingDialogs();
        m_confirm = true;
    }

    void aNewLogStartsWithItsHeaderAndOneBlankRow()
    {
        auto window = makeWindow();
        QCOMPARE(window->windowTitle(), QStringLiteral("Completed Tasks"));
        QCOMPARE(window->log().rowCount(), 2);
        QVERIFY(window->log().isRowBlank(1));
        QCOMPARE(window->grid()->cellModel()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Comp Notes"));
        QVERIFY(!QFile::exists(logPath()));
        QVERIFY(m_dialogs.errors.isEmpty());
    }

    void theFileIsReadAtCreationUnderTheHeaderTexts()
    {
        CellTable old = newCompletedLog();
        addCompletedEntry(old, entry(QStringLiteral("older")));
        addCompletedEntry(old, entry(QStringLiteral("newer")));
        old.setCell(completed::CompDate, 0, QStringLiteral("Date of an older version"));
        QVERIFY(writeGridFile(old, logPath()));
        auto window = makeWindow();
        QCOMPARE(column(window->log(), completed::What), (QStringList { "newer", "older" }));
        QCOMPARE(window->log().cell(completed::CompDate, 0), QStringLiteral("Comp Date"));
    }

    void anUnreadableFileIsReportedAndKeptAside()
    {
        const QByteArray damaged("2000,1\r\n0,0,Comp Date\r\n");
        QFile file(logPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(damaged);
        file.close();
        auto window = makeWindow();
        QCOMPARE(m_dialogs.errors.size(), 1);
        QVERIFY(m_dialogs.errors.first().contains(logPath()));
        const QString aside = logPath() + QStringLiteral(".damaged-20000315-103005");
        QCOMPARE(readAll(aside), damaged);
        QCOMPARE(window->log().rowCount(), 2);
        // Its name is free again: the next save writes a new log there.
        QVERIFY(add(entry(QStringLiteral("new"))));
        QVERIFY(readAll(logPath()).startsWith("6,2\r\n"));
        QCOMPARE(readAll(aside), damaged);
    }

    void completingGoesOnTopAndIsOnDiskAtOnce()
    {
        auto window = shownWindow();
        QVERIFY(add(entry(QStringLiteral("first"))));
        QCOMPARE(window->log().rowCount(), 2);
        CellTable onDisk;
        QVERIFY(readGridFile(onDisk, logPath()).ok());
        QCOMPARE(column(onDisk, completed::What), QStringList { "first" });

        QVERIFY(add(entry(QStringLiteral("second"))));
        QCOMPARE(column(window->log(), completed::What), (QStringList { "second", "first" }));
        QVERIFY(readGridFile(onDisk, logPath()).ok());
        QCOMPARE(column(onDisk, completed::What), (QStringList { "second", "first" }));
        QCOMPARE(window->grid()->cellModel()->rowCount(), 2);
        QCOMPARE(window->grid()->currentTableRow(), 1);
        QCOMPARE(box(*window, "memWhat")->toPlainText(), QStringLiteral("second"));
    }

    void deleteEntry_data()
    {
        QTest::addColumn<bool>("confirmOption");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("confirmed") << true << QList<bool> { true } << QStringList { "Really delete?" }
                                   << QStringList { "a", "c" };
        QTest::newRow("answered no") << true << QList<bool> { false } << QStringList { "Really delete?" }
                                     << QStringList { "a", "b", "c" };
        QTest::newRow("without confirmation") << false << QList<bool> {} << QStringList {} << QStringList { "a", "c" };
    }
    void deleteEntry()
    {
        QFETCH(bool, confirmOption);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, questions);
        QFETCH(QStringList, left);
        QVERIFY(writeLog(logPath(), { "a", "b", "c" }));
        m_confirm = confirmOption;
        m_dialogs.confirmAnswers = answers;
        auto window = shownWindow();
        window->grid()->setCurrentTableRow(2);
        window->findChild<QAction *>(QStringLiteral("Delete1"))->trigger();
        QCOMPARE(m_dialogs.questions, questions);
        QCOMPARE(column(window->log(), completed::What), left);
        QCOMPARE(window->grid()->cellModel()->rowCount(), left.size());
        // The boxes show the entry now selected.
        QCOMPARE(box(*window, "memWhat")->toPlainText(), window->log().cell(completed::What, 2));
    }

    void deletingTheOnlyEntryLeavesABlankRowTheNextCompletionFills()
    {
        QVERIFY(writeLog(logPath(), { "only" }));
        m_confirm = false;
        TfrmComplete &window = commandWindow();
        showActive(window);
        window.grid()->setCurrentTableRow(1);
        window.Delete1Click();
        QCOMPARE(window.log().rowCount(), 2);
        QVERIFY(window.log().isRowBlank(1));
        QVERIFY(box(window, "memWhat")->toPlainText().isEmpty());
        // Nothing more to delete: no question either.
        Options confirming = m_document->options();
        confirming.confirm = true;
        m_document->setOptions(confirming);
        window.Delete1Click();
        QVERIFY(m_dialogs.questions.isEmpty());

        window.close(); // the window is modal: a completion comes after it closed
        QVERIFY(add(entry(QStringLiteral("next"))));
        QCOMPARE(column(window.log(), completed::What), QStringList { "next" });
        CellTable onDisk;
        QVERIFY(readGridFile(onDisk, logPath()).ok());
        QCOMPARE(column(onDisk, completed::What), QStringList { "next" });
    }

    void deleteHasItsKeyAndTheListsContextMenu()
    {
        QVERIFY(writeLog(logPath(), { "a", "b", "c" }));
        m_confirm = false;
        auto window = shownWindow();
        auto *remove = window->findChild<QAction *>(QStringLiteral("Delete1"));
        QCOMPARE(remove->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
        QCOMPARE(window->findChild<QAction *>(QStringLiteral("Clear1"))->shortcut(),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));

        window->grid()->setFocus();
        window->grid()->setCurrentTableRow(1);
        QTest::keyClick(window->grid(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(column(window->log(), completed::What), (QStringList { "b", "c" }));

        QCOMPARE(window->grid()->contextMenuPolicy(), Qt::ActionsContextMenu);
        QAction *deleteRow = nullptr;
        for (QAction *action : window->grid()->actions())
            if (action->text() == QLatin1String("Delete row"))
                deleteRow = action;
        QVERIFY(deleteRow);
        window->grid()->setCurrentTableRow(2);
        deleteRow->trigger();
        QCOMPARE(column(window->log(), completed::What), QStringList { "b" });
    }

    void clear_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QByteArray>("countLine");
        QTest::newRow("no") << false << 51 << QByteArray("6,51\r\n");
        QTest::newRow("yes") << true << 2 << QByteArray("6,2\r\n");
    }
    void clear()
    {
        QFETCH(bool, answer);
        QFETCH(int, rows);
        QFETCH(QByteArray, countLine);
        QStringList fifty;
        for (int i = 0; i < 50; ++i)
            fifty << QString::number(i);
        QVERIFY(writeLog(logPath(), fifty));
        m_confirm = false; // clearing asks whatever the option says
        m_dialogs.confirmAnswers << answer;
        TfrmComplete &window = commandWindow();
        showActive(window);
        window.findChild<QAction *>(QStringLiteral("Clear1"))->trigger();
        QCOMPARE(m_dialogs.questions, QStringList { "Really clear out ALL completed tasks?" });
        QCOMPARE(window.log().rowCount(), rows);
        QCOMPARE(window.log().cell(completed::CompNotes, 0), QStringLiteral("Comp Notes"));
        QCOMPARE(m_document->completedLog().rowCount(), 51); // the window changes its own copy
        window.findChild<QAction *>(QStringLiteral("Close1"))->trigger();
        QVERIFY(!window.isVisible());
        QCOMPARE(m_document->completedLog().rowCount(), rows);
        QVERIFY(readAll(logPath()).startsWith(countLine));
        QVERIFY(m_dialogs.errors.isEmpty());
    }

    void editedNotesGoToTheirEntryWhenTheListIsClicked()
    {
        QVERIFY(writeLog(logPath(), { "a", "b" }));
        TfrmComplete &window = commandWindow();
        showActive(window);
        window.grid()->setCurrentTableRow(2);
        QPlainTextEdit *notes = box(window, "memNotes");
        QCOMPARE(notes->toPlainText(), QStringLiteral("notes of b"));
        notes->setFocus();
        notes->selectAll();
        QTest::keyClicks(notes, QStringLiteral("checked twice"));
        clickRow(window, 1);
        QCOMPARE(window.grid()->currentTableRow(), 1);
        QCOMPARE(column(window.log(), completed::CompNotes), (QStringList { "notes of a", "checked twice" }));
        QCOMPARE(notes->toPlainText(), QStringLiteral("notes of a"));
        QCOMPARE(
            column(m_document->completedLog(), completed::CompNotes), (QStringList { "notes of a", "notes of b" }));

        window.close();
        QCOMPARE(
            column(m_document->completedLog(), completed::CompNotes), (QStringList { "notes of a", "checked twice" }));
        // The selection stays where the user left it, for the next time the window opens.
        QCOMPARE(window.grid()->currentTableRow(), 1);
        CellTable onDisk;
        QVERIFY(readGridFile(onDisk, logPath()).ok());
        QCOMPARE(column(onDisk, completed::CompNotes), (QStringList { "notes of a", "checked twice" }));
    }

    void linesOfABoxAreJoinedAsCellLines()
    {
        QVERIFY(writeLog(logPath(), { "a" }));
        auto window = shownWindow();
        QPlainTextEdit *what = box(*window, "memWhat");
        what->setFocus();
        what->selectAll();
        QTest::keyClicks(what, QStringLiteral("line one"));
        QTest::keyClick(what, Qt::Key_Return);
        QTest::keyClicks(what, QStringLiteral("line two"));
        window->grid()->setFocus();
        QCOMPARE(window->log().cell(completed::What, 1), QStringLiteral("line one\r\nline two\r\n"));
        // Untouched, the other box keeps its text as it was.
        QCOMPARE(window->log().cell(completed::CompNotes, 1), QStringLiteral("notes of a"));
    }

    void aVisitWithoutEditingChangesNothing_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("lines without the closing line end") << "one\r\ntwo";
        QTest::newRow("a lone line feed") << "one\ntwo";
        QTest::newRow("empty last line") << "one\r\n\r\n";
    }
    void aVisitWithoutEditingChangesNothing()
    {
        QFETCH(QString, what);
        CellTable log = newCompletedLog();
        addCompletedEntry(log, entry(what, QStringLiteral("n\r\n")));
        QVERIFY(writeGridFile(log, logPath()));
        auto window = shownWindow();
        box(*window, "memWhat")->setFocus();
        box(*window, "memNotes")->setFocus();
        window->grid()->setFocus();
        QCOMPARE(window->log().cell(completed::What, 1), what);
        QCOMPARE(window->log().cell(completed::CompNotes, 1), QStringLiteral("n\r\n"));
    }

    void editsStayWithTheirEntryThroughAHeaderSort()
    {
        QVERIFY(writeLog(logPath(), { "b", "c", "a" }));
        auto window = shownWindow();
        window->grid()->setCurrentTableRow(1); // "b"
        QPlainTextEdit *notes = box(*window, "memNotes");
        notes->setFocus();
        notes->selectAll();
        QTest::keyClicks(notes, QStringLiteral("edited"));
        // Sorting by "What" while the box still has the focus.
        QHeaderView *header = window->grid()->horizontalHeader();
        const int x = header->sectionViewportPosition(completed::What) + header->sectionSize(completed::What) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QCOMPARE(column(window->log(), completed::What), (QStringList { "a", "b", "c" }));
        QCOMPARE(column(window->log(), completed::CompNotes), (QStringList { "notes of a", "edited", "notes of c" }));
        QCOMPARE(window->grid()->currentTableRow(), 2);
        QCOMPARE(notes->toPlainText(), QStringLiteral("edited"));
    }

    // An entry cut short in the log shows whole in a tool tip; one shown whole (completion
    // notes as the editor writes them, of four lines) has none.
    void aCutEntryShowsInATip()
    {
        const QString longWord(300, QLatin1Char('w'));
        CellTable log = newCompletedLog();
        addCompletedEntry(log, entry(QStringLiteral("second"), longWord));
        addCompletedEntry(log, entry(QStringLiteral("first"), memoToText({ "1", "2", "3", "4" })));
        QVERIFY(writeGridFile(log, logPath()).ok);
        auto window = shownWindow();
        GridView *grid = window->grid();
        QCOMPARE(toolTipOfCell(grid, grid->model()->index(0, completed::CompNotes)), QString());
        QCOMPARE(toolTipOfCell(grid, grid->model()->index(1, completed::CompNotes)), QStringLiteral("<qt>") + longWord);
    }

    // A click on the log's header sorts it and the header shows by which column and which
    // way; a second click on the same column turns both.
    void theHeaderShowsHowAClickSortedTheLog()
    {
        QVERIFY(writeLog(logPath(), { "b", "c", "a" }));
        auto window = shownWindow();
        QHeaderView *header = window->grid()->horizontalHeader();
        QVERIFY(!header->isSortIndicatorShown());
        const int x = header->sectionViewportPosition(completed::What) + header->sectionSize(completed::What) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QCOMPARE(column(window->log(), completed::What), (QStringList { "a", "b", "c" }));
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), int(completed::What));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QCOMPARE(column(window->log(), completed::What), (QStringList { "c", "b", "a" }));
        QCOMPARE(header->sortIndicatorSection(), int(completed::What));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    }

    void theBlankRowOfAnEmptyLogTakesNoText()
    {
        auto window = shownWindow();
        QPlainTextEdit *what = box(*window, "memWhat");
        QVERIFY(what->isReadOnly());
        what->setFocus();
        QTest::keyClicks(what, QStringLiteral("typed"));
        window->grid()->setFocus();
        QVERIFY(window->log().isRowBlank(1));
        QVERIFY(add(entry(QStringLiteral("real"))));
        QVERIFY(!what->isReadOnly());
        QCOMPARE(window->log().rowCount(), 2);
    }

    void columnsFollowTheWindow_data()
    {
        QTest::addColumn<int>("entries");
        QTest::newRow("all rows visible") << 2;
        QTest::newRow("with a scroll bar") << 60;
    }
    void columnsFollowTheWindow()
    {
        QFETCH(int, entries);
        QStringList whats;
        for (int i = 0; i < entries; ++i)
            whats << QString::number(i);
        QVERIFY(writeLog(logPath(), whats));
        auto window = shownWindow();
        for (const QSize size : { QSize(720, 460), QSize(1000, 500) }) {
            window->resize(size);
            QTest::qWait(20);
            GridView *grid = window->grid();
            const double dpi = grid->logicalDpiX();
            const int fixed[] = { 70, 62, 58, 128 };
            for (int c = 0; c < 4; ++c)
                QCOMPARE(grid->columnWidth(c), int(fixed[c] * dpi) / 96);
            QCOMPARE(grid->columnWidth(completed::What), grid->columnWidth(completed::CompNotes));
            QCOMPARE(grid->verticalScrollBar()->isVisible(), entries > 20);
            // The two text columns take what is left of the list, without a horizontal scroll bar.
            const int total = grid->horizontalHeader()->length();
            QVERIFY2(total <= grid->viewport()->width(), qPrintable(QString::number(total)));
            QVERIFY2(total >= grid->viewport()->width() - 8, qPrintable(QString::number(total)));
        }
    }

    void printAndExportAreThereForTheOutputCommands()
    {
        auto window = makeWindow();
        for (const char *name : { "Print1", "HTMLFormat1", "CommaDelimited1" }) {
            auto *action = window->findChild<QAction *>(QLatin1String(name));
            QVERIFY2(action, name);
            QVERIFY(!action->isEnabled());
        }
        QCOMPARE(window->printAction()->text(), QStringLiteral("Print"));
        QCOMPARE(window->exportHtmlAction()->text(), QStringLiteral("HTML Format"));
        QCOMPARE(window->exportCsvAction()->text(), QStringLiteral("Comma-Delimited"));
    }

    void failedSavesAreReportedAndTheLogKept()
    {
        // A folder that cannot be made: a file stands where its parent would be.
        QVERIFY(writeBytes(m_dir->filePath(QStringLiteral("blocker")), "x"));
        TfrmComplete &window = commandWindow(m_dir->filePath(QStringLiteral("blocker/gone")));
        QCOMPARE(m_dialogs.errors.size(), 1); // said at the start
        QVERIFY(m_dialogs.errors.takeFirst().contains(QStringLiteral("could not be created")));
        QVERIFY(!add(entry(QStringLiteral("kept"))));
        QCOMPARE(m_dialogs.errors.size(), 1);
        QVERIFY(m_dialogs.errors.first().contains(QStringLiteral("gridComp.grd")));
        QCOMPARE(column(window.log(), completed::What), QStringList { "kept" });

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.close();
        QCOMPARE(m_dialogs.errors.size(), 2);
        QVERIFY(m_dialogs.errors.last().contains(QStringLiteral("gridComp.grd")));

        // Once the folder is there again, the next save writes everything.
        QVERIFY(QFile::remove(m_dir->filePath(QStringLiteral("blocker"))));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("blocker/gone")));
        QVERIFY(add(entry(QStringLiteral("later"))));
        CellTable onDisk;
        QVERIFY(readGridFile(onDisk, m_dir->filePath(QStringLiteral("blocker/gone/gridComp.grd"))).ok());
        QCOMPARE(column(onDisk, completed::What), (QStringList { "later", "kept" }));
    }

    // The command: the window modally; what the user did in it (two deletes, an edit) reaches
    // the document and the file as it closes, as one change.
    void theCommandKeepsTheLogAsTheUserLeftIt()
    {
        QVERIFY(writeLog(logPath(), { "a", "b", "c" }));
        m_confirm = false;
        TfrmComplete &window = commandWindow();
        QStringList changes;
        connect(
            m_document.get(), &TaskDocument::changeMade, this, [&changes](const QString &name) { changes << name; });
        QStringList inDocumentMeanwhile;
        QTimer::singleShot(0, [&] {
            QCOMPARE(QApplication::activeModalWidget(), &window);
            window.grid()->setCurrentTableRow(1);
            window.Delete1Click();
            window.Delete1Click();
            QPlainTextEdit *what = box(window, "memWhat");
            what->setFocus();
            what->selectAll();
            QTest::keyClicks(what, QStringLiteral("c, done"));
            inDocumentMeanwhile = column(m_document->completedLog(), completed::What);
            window.findChild<QAction *>(QStringLiteral("Close1"))->trigger();
        });
        m_commands->ViewCompleted1Click();
        QVERIFY(!window.isVisible());
        QCOMPARE(inDocumentMeanwhile, (QStringList { "a", "b", "c" }));
        QCOMPARE(column(m_document->completedLog(), completed::What), QStringList { "c, done" });
        CellTable onDisk;
        QVERIFY(readGridFile(onDisk, logPath()).ok());
        QCOMPARE(column(onDisk, completed::What), QStringList { "c, done" });
        QCOMPARE(changes, QStringList { "Completed Tasks" });
        QVERIFY(m_dialogs.errors.isEmpty());
    }

    // A window made before the document read its files shows the log read when it opens,
    // and hands that back, never the empty log it was made with.
    void theWindowOpensOnTheDocumentsLog()
    {
        QVERIFY(writeLog(logPath(), { "a", "b" }));
        m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("Task.ini")));
        m_document = std::make_unique<TaskDocument>(m_dir->path(), *m_settings, m_clock, m_us);
        TfrmComplete &window = makeCommands();
        QVERIFY(m_document->load().isEmpty());
        showActive(window);
        QCOMPARE(column(window.log(), completed::What), (QStringList { "a", "b" }));
        QCOMPARE(box(window, "memWhat")->toPlainText(), QStringLiteral("a"));
        window.close();
        CellTable onDisk;
        QVERIFY(readGridFile(onDisk, logPath()).ok());
        QCOMPARE(column(onDisk, completed::What), (QStringList { "a", "b" }));
    }

    void titleTakesTheDateLabelsStyle()
    {
        auto window = makeWindow();
        QCOMPARE(window->titleLabel()->text(), QStringLiteral("Completed Tasks"));
        window->applyTitleStyle(QFont(QStringLiteral("Arial"), 12), 1, QColor(0, 0, 128));
        QCOMPARE(window->titleLabel()->shadowDepth(), 1);
        QCOMPARE(window->titleLabel()->textColour(), QColor(0, 0, 128));
        QCOMPARE(window->titleLabel()->font().pointSize(), 12);
    }
};

QTEST_MAIN(TestComplete)
#include "tst_complete.moc"
