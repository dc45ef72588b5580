#include "childprocess.h"
#include "store/categories.h"
#include "store/taskstore.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/stat.h>

Q_DECLARE_METATYPE(std::optional<QByteArray>)
Q_DECLARE_METATYPE(std::optional<QStringList>)

namespace {

// "Home+ Work-": each category with its check.
QString describe(const QList<FilterCategory> &categories)
{
    QStringList parts;
    for (const FilterCategory &category : categories)
        parts << category.name + (category.checked ? '+' : '-');
    return parts.join(' ');
}

} // namespace

class TestCategories : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const char *name) const { return m_dir->filePath(QLatin1String(name)); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void parseCategoryLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("CR LF") << QByteArray("Home\r\nWork\r\n") << QStringList { "Home", "Work" };
        QTest::newRow("LF") << QByteArray("Home\nWork\n") << QStringList { "Home", "Work" };
        QTest::newRow("CR") << QByteArray("Home\rWork\r") << QStringList { "Home", "Work" };
        QTest::newRow("mixed") << QByteArray("Home\rWork\nGym\r\nShop")
                               << QStringList { "Home", "Work", "Gym", "Shop" };
        QTest::newRow("last line without an end") << QByteArray("Home\r\nWork") << QStringList { "Home", "Work" };
        QTest::newRow("one line without an end") << QByteArray("Home") << QStringList { "Home" };
        QTest::newRow("empty lines give no entry")
            << QByteArray("\r\nHome\r\n\r\n\nWork\r\n\r\n") << QStringList { "Home", "Work" };
        QTest::newRow("empty file") << QByteArray() << QStringList {};
        QTest::newRow("spaces and commas kept") << QByteArray(" Home, garden \r\n") << QStringList { " Home, garden " };
        QTest::newRow("UTF-8") << QByteArray("Caf\xC3\xA9\r\n") << QStringList { QStringLiteral("Café") };
        QTest::newRow("UTF-8 with a byte order mark") << QByteArray("\xEF\xBB\xBFHome\r\n") << QStringList { "Home" };
        QTest::newRow("Windows-1252 from an older system")
            << QByteArray("Caf\xE9\r\n\x80uro\r\n") << QStringList { QStringLiteral("Café"), QStringLiteral("€uro") };
        QTest::newRow("one Windows-1252 line among UTF-8 ones") << QByteArray(
            "Caf\xC3\xA9\r\nNa\xEFve\r\n") << QStringList { QStringLiteral("Café"), QStringLiteral("Naïve") };
    }
    void parseCategoryLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        QCOMPARE(::parseCategoryLines(bytes), entries);
    }

    void readCategoryFileTellsMissingFromUnreadable()
    {
        QCOMPARE(readCategoryFile(path("category.xxx")).status, CategoryFile::Status::Missing);
        QVERIFY(!readCategoryList(path("category.xxx")));

        QVERIFY(writeBytes(path("category.xxx"), QByteArray()));
        const CategoryFile empty = readCategoryFile(path("category.xxx"));
        QVERIFY(empty.loaded());
        QVERIFY(empty.entries.isEmpty());

        // A folder in the file's place exists but cannot be read as a file.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("category.yyy")));
        const CategoryFile unreadable = readCategoryFile(path("category.yyy"));
        QCOMPARE(unreadable.status, CategoryFile::Status::Unreadable);
        QVERIFY(unreadable.message.contains(path("category.yyy")));
        QVERIFY(!readCategoryList(path("category.yyy")));
    }

    // Opening a FIFO for reading would wait for a writer for ever; it is refused at once.
    // The read runs in a child that is stopped when it takes too long.
    void fifoInTheFilesPlaceIsRefusedAtOnce()
    {
        QVERIFY(::mkfifo(QFile::encodeName(path("category.xxx")).constData(), 0600) == 0);
        const std::optional<QByteArray> answer = runInChild(
            [this]() -> QByteArray {
                const CategoryFile file = readCategoryFile(path("category.xxx"));
                return QByteArray::number(int(file.status)) + '|' + file.message.toUtf8();
            },
            10);
        QVERIFY2(answer, "the read blocked or failed");
        QCOMPARE(answer->split('|').value(0).toInt(), int(CategoryFile::Status::Unreadable));
        QVERIFY(answer->contains(QFile::encodeName(path("category.xxx"))));
    }

    void categoryFileBytes_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("CR LF after every entry") << QStringList { "a", "b" } << QByteArray("a\r\nb\r\n");
        QTest::newRow("nothing") << QStringList {} << QByteArray();
        QTest::newRow("line breaks inside an entry")
            << QStringList { "a\r\nb", "c\nd", "e\rf" } << QByteArray("a b\r\nc d\r\ne f\r\n");
        QTest::newRow("empty entries left out") << QStringList { "", "a", "" } << QByteArray("a\r\n");
        QTest::newRow("UTF-8") << QStringList { QStringLiteral("Café") } << QByteArray("Caf\xC3\xA9\r\n");
        QTest::newRow("NUL and byte 26 dropped")
            << QStringList { QString(QStringLiteral("Ho") + QChar(0) + QStringLiteral("me")),
                   QString(QStringLiteral("a") + QChar(26) + QStringLiteral("b")), QString(QChar(0)) }
            << QByteArray("Home\r\nab\r\n");
    }
    void categoryFileBytes()
    {
        QFETCH(QStringList, entries);
        QFETCH(QByteArray, bytes);
        QCOMPARE(::categoryFileBytes(entries), bytes);
        QCOMPARE(::parseCategoryLines(bytes).size(), bytes.count("\r\n"));
    }

    void writeCategoryFileReplacesTheFileAndReportsFailure()
    {
        QVERIFY(writeBytes(path("category.xxx"), "old\r\n"));
        QVERIFY(writeCategoryFile(path("category.xxx"), { QStringLiteral("Home"), QStringLiteral("Work") }));
        QCOMPARE(readAll(path("category.xxx")), QByteArray("Home\r\nWork\r\n"));
        QCOMPARE(*readCategoryList(path("category.xxx")), (QStringList { "Home", "Work" }));

        const SaveResult failed = writeCategoryFile(path("no-folder/category.xxx"), { QStringLiteral("Home") });
        QVERIFY(!failed.ok);
        QVERIFY(failed.message().contains(path("no-folder/category.xxx")));
    }

    void findCategory_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::newRow("exact") << "Work" << 1;
        QTest::newRow("other case") << "wORK" << 1;
        QTest::newRow("first of two equal") << "home" << 0;
        QTest::newRow("accented letters keep their case") << QStringLiteral("ÉTÉ") << -1;
        QTest::newRow("accented, same case") << QStringLiteral("été") << 3;
        QTest::newRow("absent") << "Gym" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("no trimming") << "Work " << -1;
    }
    void findCategory()
    {
        QFETCH(QString, name);
        QFETCH(int, index);
        const QStringList entries { "Home", "Work", "HOME", QStringLiteral("été") };
        QCOMPARE(::findCategory(entries, name), index);
    }

    void sortCategories_data()
    {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("b, a") << QStringList { "b", "a" } << QStringList { "a", "b" };
        QTest::newRow("letter case aside")
            << QStringList { "Zoo", "apple", "Mango" } << QStringList { "apple", "Mango", "Zoo" };
        QTest::newRow("same letters, fixed order") << QStringList { "home", "Home" } << QStringList { "Home", "home" };
        QTest::newRow("numbers as text") << QStringList { "101", "1000" } << QStringList { "1000", "101" };
    }
    void sortCategories()
    {
        QFETCH(QStringList, given);
        QFETCH(QStringList, sorted);
        ::sortCategories(given);
        QCOMPARE(given, sorted);
    }

    // The filter as it starts: "category.xxx" gives the list, "category.yyy" the checks.
    void loadFilterState_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("xxx");
        QTest::addColumn<std::optional<QByteArray>>("yyy");
        QTest::addColumn<QString>("categories");
        QTest::addColumn<bool>("filtersOn");
        using Bytes = std::optional<QByteArray>;
        QTest::newRow("no files") << Bytes() << Bytes() << "" << false;
        QTest::newRow("no selection: all checked") << Bytes("Home\r\nWork\r\n") << Bytes() << "Home+ Work+" << false;
        QTest::newRow("selection checks its entries")
            << Bytes("Home\r\nWork\r\n") << Bytes("Work\r\n") << "Home- Work+" << true;
        QTest::newRow("empty selection: none checked")
            << Bytes("Home\r\nWork\r\n") << Bytes(QByteArray()) << "Home- Work-" << true;
        QTest::newRow("selection in another case")
            << Bytes("Home\r\nWork\r\n") << Bytes("WORK\nhome") << "Home+ Work+" << false;
        QTest::newRow("selected entries no longer known are ignored")
            << Bytes("Home\r\n") << Bytes("Gym\r\nHome\r\n") << "Home+" << false;
        QTest::newRow("a selection without a list") << Bytes() << Bytes("Home\r\n") << "" << false;
        QTest::newRow("list in file order") << Bytes("Work\r\nHome\r\n") << Bytes() << "Work+ Home+" << false;
    }
    void loadFilterState()
    {
        QFETCH(std::optional<QByteArray>, xxx);
        QFETCH(std::optional<QByteArray>, yyy);
        QFETCH(QString, categories);
        QFETCH(bool, filtersOn);
        if (xxx)
            QVERIFY(writeBytes(path("category.xxx"), *xxx));
        if (yyy)
            QVERIFY(writeBytes(path("category.yyy"), *yyy));
        const FilterState state = ::loadFilterState(m_dir->path(), true, true);
        QCOMPARE(describe(state.categories), categories);
        QCOMPARE(::filtersOn(state), filtersOn);
    }

    void filtersOnForTheSwitches_data()
    {
        QTest::addColumn<bool>("showDone");
        QTest::addColumn<bool>("showNotDone");
        QTest::addColumn<bool>("allChecked");
        QTest::addColumn<bool>("on");
        QTest::newRow("everything shown") << true << true << true << false;
        QTest::newRow("done hidden") << false << true << true << true;
        QTest::newRow("not done hidden") << true << false << true << true;
        QTest::newRow("both hidden") << false << false << true << true;
        QTest::newRow("one category unchecked") << true << true << false << true;
    }
    void filtersOnForTheSwitches()
    {
        QFETCH(bool, showDone);
        QFETCH(bool, showNotDone);
        QFETCH(bool, allChecked);
        QFETCH(bool, on);
        QVERIFY(writeBytes(path("category.xxx"), "Home\r\nWork\r\n"));
        if (!allChecked)
            QVERIFY(writeBytes(path("category.yyy"), "Home\r\n"));
        const FilterState state = ::loadFilterState(m_dir->path(), showDone, showNotDone);
        QCOMPARE(filtersOn(state), on);
        // With nothing in force every task passes.
        if (!on) {
            for (const char *done : { "Yes", "No" })
                for (const char *category : { "Home", "work", "", "Gym" })
                    QVERIFY(passesFilter(state, QLatin1String(done), QLatin1String(category)));
        }
    }

    void theCategoryTest_data()
    {
        QTest::addColumn<QByteArray>("selection");
        QTest::addColumn<QString>("category");
        QTest::addColumn<bool>("passes");
        QTest::newRow("work hidden by an unchecked Work") << QByteArray("Home\r\n") << "work" << false;
        QTest::newRow("Work hidden") << QByteArray("Home\r\n") << "Work" << false;
        QTest::newRow("checked Home shown") << QByteArray("Home\r\n") << "HOME" << true;
        QTest::newRow("empty category never hidden") << QByteArray() << "" << true;
        QTest::newRow("unknown category never hidden") << QByteArray() << "Gym" << true;
        QTest::newRow("a category added later never hidden") << QByteArray() << "Garden" << true;
    }
    void theCategoryTest()
    {
        QFETCH(QByteArray, selection);
        QFETCH(QString, category);
        QFETCH(bool, passes);
        // An empty line in the list must not become an entry that hides tasks without a category.
        QVERIFY(writeBytes(path("category.xxx"), "Home\r\n\r\nWork\r\n"));
        QVERIFY(writeBytes(path("category.yyy"), selection));
        const FilterState state = ::loadFilterState(m_dir->path(), true, true);
        QCOMPARE(passesFilter(state, QStringLiteral("No"), category), passes);
    }

    void recheckFilterCategories_data()
    {
        QTest::addColumn<std::optional<QStringList>>("selection");
        QTest::addColumn<QString>("after");
        QTest::newRow("no selection file: all checked") << std::optional<QStringList>() << "Home+ Work+ Gym+";
        QTest::newRow("selection checks, others keep their check")
            << std::optional<QStringList>(QStringList { "work" }) << "Home- Work+ Gym+";
        QTest::newRow("empty selection changes nothing")
            << std::optional<QStringList>(QStringList {}) << "Home- Work- Gym+";
    }
    void recheckFilterCategories()
    {
        QFETCH(std::optional<QStringList>, selection);
        QFETCH(QString, after);
        QList<FilterCategory> categories { { "Home", false }, { "Work", false }, { "Gym", true } };
        ::recheckFilterCategories(categories, selection);
        QCOMPARE(describe(categories), after);
    }

    void checkedCategoriesKeepListOrder()
    {
        const QList<FilterCategory> categories { { "Work", true }, { "Home", false }, { "Gym", true } };
        QCOMPARE(::checkedCategories(categories), (QStringList { "Work", "Gym" }));
        QCOMPARE(::checkedCategories({ { "Home", false } }), QStringList {});
    }

    // Readers are bounded: no list of categories is a megabyte long (such a file is
    // damaged), and a link to a device is refused rather than read until memory runs out.
    void aFileNoCategoryListCanBeIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<CategoryFile::Status>("status");
        QTest::newRow("too large") << QStringLiteral("large") << QStringLiteral("bytes, far more than")
                                   << CategoryFile::Status::Damaged;
        QTest::newRow("link to /dev/zero")
            << QStringLiteral("device") << QStringLiteral("not a regular file") << CategoryFile::Status::Unreadable;
    }
    void aFileNoCategoryListCanBeIsRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QFETCH(CategoryFile::Status, status);
        if (kind == QLatin1String("large"))
            QVERIFY(writeBytes(path("category.xxx"), QByteArray(kMaxCategoryFileBytes + 1, 'a')));
        else
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path("category.xxx")));
        const CategoryFile file = readCategoryFile(path("category.xxx"));
        QCOMPARE(file.status, status);
        QVERIFY(file.entries.isEmpty());
        QVERIFY2(file.message.contains(reason), qPrintable(file.message));
    }

    // A byte order mark is dropped at the start of a file, so a first entry that starts
    // with U+FEFF is written behind one of its own.
    void anEntryStartingWithAByteOrderMarkKeepsIt()
    {
        const QStringList entries { QString(QChar(0xFEFF)) + QStringLiteral("Home"), QString(QChar(0xFEFF)) };
        QCOMPARE(::parseCategoryLines(::categoryFileBytes(entries)), entries);
        QCOMPARE(::parseCategoryLines("\xEF\xBB\xBFHome\r\n"), QStringList { "Home" });
    }
};

QTEST_GUILESS_MAIN(TestCategories)
#include "tst_categories.moc"
