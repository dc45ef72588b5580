#include "store/archive.h"

#include <QTest>

class TestArchiveNames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theCompanionFilesChangeTheExtension_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("todo");
        QTest::addColumn<QString>("completed");
        QTest::addColumn<QString>("typed"); // the archive name for a name typed like `chosen`
        QTest::newRow("arb") << "/a/week1.arb"
                             << "/a/week1.AR2"
                             << "/a/week1.AR3"
                             << "/a/week1.arb";
        QTest::newRow("no extension") << "/a/week1"
                                      << "/a/week1.AR2"
                                      << "/a/week1.AR3"
                                      << "/a/week1.arb";
        QTest::newRow("dot in a folder") << "/a.b/week1"
                                         << "/a.b/week1.AR2"
                                         << "/a.b/week1.AR3"
                                         << "/a.b/week1.arb";
        QTest::newRow("two dots") << "/a/w.tar.bak"
                                  << "/a/w.tar.AR2"
                                  << "/a/w.tar.AR3"
                                  << "/a/w.tar.bak";
        QTest::newRow("only an extension") << "/a/.arb"
                                           << "/a/.AR2"
                                           << "/a/.AR3"
                                           << "/a/.arb";
    }
    void theCompanionFilesChangeTheExtension()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, todo);
        QFETCH(QString, completed);
        QFETCH(QString, typed);
        const archive::Names names = archive::names(chosen);
        QCOMPARE(names.main, chosen);
        QCOMPARE(names.todo, todo);
        QCOMPARE(names.completed, completed);
        QCOMPARE(archive::withArchiveExtension(chosen), typed);
    }

    void aNameOfAnotherFileIsRefused_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("refused");
        QTest::newRow("arb") << "/a/week1.arb" << false;
        QTest::newRow("AR2") << "/a/week1.AR2" << true;
        QTest::newRow("ar3") << "/a/week1.ar3" << true;
        QTest::newRow("AR4") << "/a/week1.AR4" << false;
        QTest::newRow("AR2 folder") << "/a.AR2/week1" << false;
        QTest::newRow("the start-up lock") << "/a/.SingInstProgMutex.lock" << true;
        QTest::newRow("beside the start-up lock") << "/a/.SingInstProgMutex.arb" << false;
    }
    void aNameOfAnotherFileIsRefused()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, refused);
        QCOMPARE(!archive::nameProblem(chosen).isEmpty(), refused);
    }
};

QTEST_GUILESS_MAIN(TestArchiveNames)
#include "tst_archivenames.moc"
