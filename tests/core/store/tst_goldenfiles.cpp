#include "output/printselection.h"
#include "platform/clock.h"
#include "schedule/holidays.h"
#include "settings/settingsstore.h"
#include "store/datafolder.h"
#include "store/editflow.h"
#include "store/gridfile.h"
#include "store/taskdocument.h"
#include "storegen.h"
#include "testfiles.h"
#include "text/datevalue.h"
#include "text/texthelpers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// The data files as the program writes them today, kept under golden/: loading them and
// saving them again, and each command's change to them, must give the same bytes.

namespace {

const char *const kDataFiles[] = { datafile::kStore, datafile::kTodo, datafile::kCompleted, datafile::kHolidays };

// The folder the commands start from.
const QString kStartFolder = QStringLiteral("everyday");

QString goldenFolder()
{
    return QStringLiteral(TALLYDAY_TEST_DATA "/store/golden");
}

// The folders of data files to load and save; the after-... folders hold what commands make.
QStringList fixtureFolders()
{
    QStringList folders;
    for (const QString &name : QDir(goldenFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (!name.startsWith(QLatin1String("after-")))
            folders << name;
    }
    return folders;
}

// The bytes around `at`, control bytes and non-ASCII escaped, `at` marked by a bar.
QString excerpt(const QByteArray &bytes, qsizetype at)
{
    QString text;
    const qsizetype from = std::max<qsizetype>(0, at - 24);
    const qsizetype to = std::min(bytes.size(), at + 24);
    for (qsizetype i = from; i < to; ++i) {
        if (i == at)
            text += QLatin1Char('|');
        const uchar c = uchar(bytes[i]);
        if (c == '\r')
            text += QLatin1String("\\r");
        else if (c == '\n')
            text += QLatin1String("\\n");
        else if (c == '\t')
            text += QLatin1String("\\t");
        else if (c == '\b')
            text += QLatin1String("\\b");
        else if (c < 0x20 || c >= 0x7f)
            text += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
        else
            text += QLatin1Char(char(c));
    }
    if (at >= to)
        text += QLatin1String("|(end)");
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// Empty when the bytes are the golden file's; otherwise which file and where it first differs.
QString byteDifference(const QString &golden, const QByteArray &actual, const QByteArray &expected)
{
    if (actual == expected)
        return QString();
    qsizetype at = 0;
    const qsizetype common = std::min(actual.size(), expected.size());
    while (at < common && actual[at] == expected[at])
        ++at;
    return QStringLiteral("%1: the bytes written differ from it at byte %2 (line %3); %4 bytes written, %5 expected.\n"
                          "   written:  %6\n   expected: %7")
        .arg(golden)
        .arg(at)
        .arg(expected.first(at).count('\n') + 1)
        .arg(actual.size())
        .arg(expected.size())
        .arg(excerpt(actual, at), excerpt(expected, at));
}

// Each way a data file is saved, changing nothing.
struct SaveWay
{
    const char *file;
    const char *name;
    std::function<bool(TaskDocument &)> save;
};

const std::vector<SaveWay> &saveWays()
{
    static const std::vector<SaveWay> ways {
        { datafile::kStore, "saveAtClose", [](TaskDocument &d) { return d.saveAtClose().isEmpty(); } },
        { datafile::kStore, "sortAndSaveStore", [](TaskDocument &d) { return d.sortAndSaveStore().ok; } },
        { datafile::kStore, "saveStoreAsIs", [](TaskDocument &d) { return d.saveStoreAsIs().ok; } },
        { datafile::kTodo, "saveAtClose", [](TaskDocument &d) { return d.saveAtClose().isEmpty(); } },
        { datafile::kTodo, "saveTodo", [](TaskDocument &d) { return d.saveTodo().ok; } },
        { datafile::kCompleted, "saveCompleted", [](TaskDocument &d) { return d.saveCompleted().ok; } },
        // The holiday list closed without a change.
        { datafile::kHolidays, "setHolidays",
            [](TaskDocument &d) { return d.setHolidays(holidays::listCopy(d.holidays())).ok; } },
    };
    return ways;
}

// ---- The commands, each as its command class drives the document

qint64 dayOf(int year, int month, int day)
{
    return datevalue::dayNumber(QDate(year, month, day));
}

bool addDirect(TaskDocument &d)
{
    // A series: onto a day that has tasks, and onto an empty one.
    for (const qint64 day : { dayOf(2026, 2, 2), dayOf(2026, 3, 10) })
        d.insertDirectTask(day, QStringLiteral("10:00 AM"), QStringLiteral("Car"), QStringLiteral("MOT at the garage"),
            QStringLiteral("No"), QStringLiteral("Yes"));
    return d.endDirectBatch().ok;
}

bool editShownDay(TaskDocument &d)
{
    // The day holds a series task (day.100) above the day's own task.
    d.showDay(dayOf(2026, 2, 14));
    Task task = *d.task(d.dayList().rowId(2));
    task.text += QStringLiteral(" at Luigi's");
    return d.updateTask(task).ok;
}

bool deleteFromShownDay(TaskDocument &d)
{
    d.showDay(dayOf(2026, 1, 31));
    store::deleteListRow(d.dayList(), 3);
    return d.writeShownDay().ok;
}

bool moveToAnotherDay(TaskDocument &d)
{
    d.showDay(dayOf(2026, 1, 31));
    const int row = 4; // the text that starts with U+FEFF
    const editflow::TaskValues task = editflow::dayRowValues(d.dayList(), row, d.regional(), d.clock().nowValue());
    store::deleteListRow(d.dayList(), row);
    d.stageShownDay();
    d.insertDirectTask(dayOf(2026, 2, 2), editflow::timeText(task.time, d.regional()),
        editflow::cleanLine(task.category), editflow::cleanMemo(task.notes), yesNoText(task.done),
        yesNoText(task.alarm));
    return d.endDirectBatch().ok;
}

bool addTodo(TaskDocument &d)
{
    editflow::TaskValues task;
    task.category = QStringLiteral("Garden");
    task.notes = memoToText({ QStringLiteral("Cut the hedge"), QStringLiteral("sharpen the shears ✂ first") });
    return d.addTask(editflow::taskOf(task, std::nullopt, d.regional())).saved.ok;
}

bool removeTodo(TaskDocument &d)
{
    store::deleteListRow(d.todoList(), 2);
    d.todoEdited();
    return d.saveTodo().ok;
}

bool addCompleted(TaskDocument &d)
{
    const editflow::TaskValues task = editflow::todoRowValues(d.todoList(), 2, d.clock().nowValue());
    return d
        .addCompleted(editflow::completedEntry(task, QDate(2026, 1, 31), QString::fromLatin1(completed::kNonDateTask),
            QStringLiteral("New washer, 0,80 €"), d.regional()))
        .ok;
}

bool setHolidays(TaskDocument &d)
{
    CellTable rules = holidays::listCopy(d.holidays());
    holidays::RuleFields rule;
    rule.name = QStringLiteral("Día de la Hispanidad");
    rule.month = QStringLiteral("October");
    rule.day = 12;
    holidays::addRule(rules, 3, rule, d.regional());
    return d.setHolidays(rules).ok;
}

bool clearTasks(TaskDocument &d)
{
    // "Clear all data" of one day's "Work" tasks and the "Work" to-dos.
    PrintSelection selection;
    selection.allDates = false;
    selection.firstDay = selection.lastDay = dayOf(2026, 1, 31);
    selection.selectedCategories = true;
    selection.category = QStringLiteral("Work");
    const TaskDocument::ReplaceResult result = d.clearTasks(
        [&selection](CellTable &store, CellTable &todo) { printselection::clearSelection(store, todo, selection); });
    return result.failed.isEmpty() && !result.keptAs.isEmpty();
}

struct Operation
{
    const char *name;
    bool (*apply)(TaskDocument &);
};
const Operation kOperations[] = { { "add-direct", addDirect }, { "edit-shown-day", editShownDay },
    { "delete-from-shown-day", deleteFromShownDay }, { "move-to-another-day", moveToAnotherDay },
    { "add-todo", addTodo }, { "remove-todo", removeTodo }, { "add-completed", addCompleted },
    { "set-holidays", setHolidays }, { "clear-tasks", clearTasks } };

} // namespace

class TestGoldenFiles : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    FixedClock m_clock { QDateTime(QDate(2026, 1, 31), QTime(10, 0)) };

    QString dataPath(const QString &name) const { return m_dir->filePath(QStringLiteral("data/") + name); }

    std::unique_ptr<TaskDocument> makeDocument()
    {
        auto document = std::make_unique<TaskDocument>(
            m_dir->filePath(QStringLiteral("data")), *m_settings, m_clock, RegionalSettings::englishUS());
        document->setStateFolder(m_dir->filePath(QStringLiteral("state")));
        return document;
    }

    // The golden folder's data files, copied into the data folder.
    bool copyFixture(const QString &folder)
    {
        if (!QDir().mkpath(dataPath(QString())))
            return false;
        for (const char *file : kDataFiles) {
            const QString name = QString::fromLatin1(file);
            const QString golden = QDir(goldenFolder()).filePath(folder + QLatin1Char('/') + name);
            if (QFile::exists(golden) && !QFile::copy(golden, dataPath(name)))
                return false;
        }
        return true;
    }

private Q_SLOTS:
    void init()
    {
        m_settings.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("Task.ini")));
    }

    // Each data file, loaded with all the others and saved again by each way it is saved,
    // unchanged: the file written afresh holds the golden file's bytes.
    void loadedAndSavedUnchanged_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("way");
        const QStringList folders = fixtureFolders();
        QVERIFY(folders.contains(kStartFolder));
        for (const QString &folder : folders) {
            for (int way = 0; way < int(saveWays().size()); ++way) {
                const QString file = QString::fromLatin1(saveWays()[size_t(way)].file);
                if (QFile::exists(QDir(goldenFolder()).filePath(folder + QLatin1Char('/') + file)))
                    QTest::addRow("%s/%s %s", qPrintable(folder), qPrintable(file), saveWays()[size_t(way)].name)
                        << folder << file << way;
            }
        }
    }
    void loadedAndSavedUnchanged()
    {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QFETCH(int, way);
        QVERIFY(copyFixture(folder));
        auto document = makeDocument();
        QCOMPARE(document->load(), QStringList());
        // Gone from the disk, so only the save can bring it back.
        QVERIFY(QFile::remove(dataPath(file)));
        QVERIFY(saveWays()[size_t(way)].save(*document));
        const QString golden = folder + QLatin1Char('/') + file;
        const QString difference
            = byteDifference(golden, readAll(dataPath(file)), readAll(QDir(goldenFolder()).filePath(golden)));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // A large store as the generator makes it: written by the store's writer, loaded and
    // saved at close, the same bytes; and those bytes are the ones pinned by their SHA-256,
    // so a change of the writer or of the generator shows. The generator draws from the
    // standard library's distributions, whose results libstdc++ fixes but the C++ standard
    // does not: another library may give another store.
    void aGeneratedStoreIsSavedAsWritten()
    {
        QVERIFY(QDir().mkpath(dataPath(QString())));
        const QString path = dataPath(QString::fromLatin1(datafile::kStore));
        QVERIFY(writeGridFile(generateStore(10000), path).ok);
        const QByteArray written = readAll(path);
        const QByteArray pinned = readAll(QDir(goldenFolder()).filePath(QStringLiteral("generated-10000.sha256")));
        const QByteArray hash = QCryptographicHash::hash(written, QCryptographicHash::Sha256).toHex();
        const QString changed = QStringLiteral("generateStore(10000) as writeGridFile writes it hashes to %1, not %2")
                                    .arg(QString::fromLatin1(hash), QString::fromLatin1(pinned.left(64)));
        QVERIFY2(pinned.startsWith(QByteArray(hash + "  ")), qPrintable(changed));

        auto document = makeDocument();
        QCOMPARE(document->load(), QStringList());
        QCOMPARE(document->store().rowCount(), 10001);
        QVERIFY(QFile::remove(path));
        QCOMPARE(document->saveAtClose().size(), 0);
        const QString difference = byteDifference(QStringLiteral("the generated grid.grd"), readAll(path), written);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // Each command on the start folder's data: the files it changes hold the bytes of its
    // after-COMMAND folder, the others are as they were. Run with TALLYDAY_REGENERATE set to
    // record them afresh from the code as it is, then read the difference (see README.md).
    void eachCommandWritesTodaysBytes_data()
    {
        QTest::addColumn<int>("operation");
        for (int i = 0; i < int(std::size(kOperations)); ++i)
            QTest::newRow(kOperations[i].name) << i;
    }
    void eachCommandWritesTodaysBytes()
    {
        QFETCH(int, operation);
        const Operation &op = kOperations[operation];
        QVERIFY(copyFixture(kStartFolder));
        auto document = makeDocument();
        QCOMPARE(document->load(), QStringList());
        QVERIFY(op.apply(*document));

        const QDir golden(goldenFolder());
        const QString after = QStringLiteral("after-") + QLatin1String(op.name);
        bool anyChanged = false;
        for (const char *file : kDataFiles) {
            const QString name = QString::fromLatin1(file);
            const QByteArray actual = readAll(dataPath(name));
            const QString before = kStartFolder + QLatin1Char('/') + name;
            const QString changed = after + QLatin1Char('/') + name;
            if (qEnvironmentVariableIsSet("TALLYDAY_REGENERATE")) {
                if (actual == readAll(golden.filePath(before))) {
                    QFile::remove(golden.filePath(changed));
                } else if (actual != readAll(golden.filePath(changed))) {
                    QVERIFY(golden.mkpath(after));
                    QVERIFY(writeBytes(golden.filePath(changed), actual));
                }
                continue;
            }
            const QString expected = QFile::exists(golden.filePath(changed)) ? changed : before;
            anyChanged = anyChanged || expected == changed;
            const QString difference = byteDifference(expected, actual, readAll(golden.filePath(expected)));
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        }
        if (!qEnvironmentVariableIsSet("TALLYDAY_REGENERATE"))
            QVERIFY2(anyChanged, qPrintable(QStringLiteral("no file in ") + after + QStringLiteral(": see README.md")));
    }
};

QTEST_GUILESS_MAIN(TestGoldenFiles)
#include "tst_goldenfiles.moc"
