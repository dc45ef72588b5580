// Where the single-instance lock and socket live: in a folder no other user can enter, so
// that nobody else's files can stop or fool a start.
#include "shell/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLockFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The permission bits of a file or folder, as in `ls -l`.
int modeOf(const QString &path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

QString canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

// A first copy starts and listens; a second one asks it to show itself and ends. The second
// waits for the first's answer, which only this thread can give: it runs on another.
void verifySecondCopyShowsTheFirst(const QString &dataFolder)
{
    SingleInstance first(dataFolder);
    QCOMPARE(first.start(1000), SingleInstance::Outcome::First);
    QVERIFY(QFileInfo::exists(first.lockPath()));
    first.finishStartup();
    QVERIFY(QFileInfo::exists(first.serverName()));
    QVERIFY(QFileInfo::exists(first.lockPath())); // held for the whole run
    QSignalSpy asked(&first, &SingleInstance::showRequested);

    auto second = std::async(std::launch::async, [dataFolder] { return SingleInstance(dataFolder).start(5000); });
    QTRY_VERIFY_WITH_TIMEOUT(second.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 10000);
    QCOMPARE(second.get(), SingleInstance::Outcome::OtherShown);
    QCOMPARE(asked.count(), 1);
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

    QByteArray m_runtimeBefore;
    bool m_hadRuntime = false;

private Q_SLOTS:
    void initTestCase()
    {
        m_hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
        m_runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
    }

    void init()
    {
        // Asking Qt about a missing or unsuitable runtime folder makes it warn and name one
        // in the shared temporary folder; that must never happen.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("QStandardPaths")));
    }

    void cleanup()
    {
        if (m_hadRuntime)
            qputenv("XDG_RUNTIME_DIR", m_runtimeBefore);
        else
            qunsetenv("XDG_RUNTIME_DIR");
    }

    void livesInTheRuntimeFolderAndIgnoresOthersFiles()
    {
        QTemporaryDir runtime; // created with mode 0700
        QTemporaryDir data;
        QVERIFY(runtime.isValid() && data.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));

        // Someone else's lock and listening socket at the names once used in the shared
        // temporary folder.
        const QString hash = QString::fromLatin1(
            QCryptographicHash::hash(QDir::cleanPath(data.path()).toUtf8(), QCryptographicHash::Sha256)
                .toHex()
                .left(16));
        const QString shared = QDir::tempPath() + QStringLiteral("/SingInstProgMutex-") + QString::number(::getuid())
            + QLatin1Char('-') + hash;
        QLockFile foreignLock(shared + QStringLiteral(".lock"));
        QVERIFY(foreignLock.tryLock(0));
        QLocalServer foreignServer;
        QLocalServer::removeServer(shared + QStringLiteral(".sock"));
        QVERIFY(foreignServer.listen(shared + QStringLiteral(".sock")));

        SingleInstance instance(data.path());
        QCOMPARE(instance.folder(), runtime.path());
        QCOMPARE(folderOf(instance.lockPath()), canonical(data.path()));
        QCOMPARE(folderOf(instance.serverName()), runtime.path());
        verifySecondCopyShowsTheFirst(data.path());
        if (QTest::currentTestFailed())
            return;

        bool timedOut = false;
        QVERIFY(!foreignServer.waitForNewConnection(100, &timedOut));
        QVERIFY(timedOut);
        QVERIFY(!QFileInfo::exists(data.filePath(QStringLiteral(".runtime"))));
    }

    void withoutARuntimeFolderUsesAPrivateFolderInTheDataFolder_data()
    {
        QTest::addColumn<QString>("runtime"); // what XDG_RUNTIME_DIR names

        QTest::newRow("unset") << QString();
        QTest::newRow("relative") << QStringLiteral("run/user");
        QTest::newRow("open to others") << QStringLiteral("open");
        QTest::newRow("another user's") << QStringLiteral("foreign");
        QTest::newRow("a file") << QStringLiteral("file");
    }

    void withoutARuntimeFolderUsesAPrivateFolderInTheDataFolder()
    {
        QFETCH(QString, runtime);

        QTemporaryDir scratch;
        QTemporaryDir data;
        QVERIFY(scratch.isValid() && data.isValid());
        const QString named = scratch.filePath(runtime);
        if (runtime.isEmpty()) {
            qunsetenv("XDG_RUNTIME_DIR");
        } else if (runtime.startsWith(QLatin1String("run"))) {
            qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        } else {
            if (runtime == QLatin1String("file")) {
                QFile file(named);
                QVERIFY(file.open(QIODevice::WriteOnly));
            } else {
                QVERIFY(QDir().mkdir(named));
                QVERIFY(
                    ::chmod(QFile::encodeName(named).constData(), runtime == QLatin1String("open") ? 0755 : 0700) == 0);
                if (runtime == QLatin1String("foreign")) {
                    if (::geteuid() != 0)
                        QSKIP("Giving a folder to another user needs root");
                    QVERIFY(::chown(QFile::encodeName(named).constData(), 65534, 65534) == 0);
                }
            }
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(named));
        }

        const QString own = data.filePath(QStringLiteral(".runtime"));
        SingleInstance instance(data.path());
        QCOMPARE(instance.folder(), own);
        QCOMPARE(modeOf(own), 0700);
        QCOMPARE(folderOf(instance.lockPath()), canonical(data.path()));
        QCOMPARE(folderOf(instance.serverName()), own);
        verifySecondCopyShowsTheFirst(data.path());
    }

    // However a start names the data folder, it meets the same lock and the same socket.
    void theKeyIsTheDataFoldersCanonicalPath_data()
    {
        QTest::addColumn<QString>("spelling"); // relative to a scratch folder that holds "data"

        QTest::newRow("a link to the folder") << "link";
        QTest::newRow("a link to the folder above") << "above/data";
        QTest::newRow("dot-dot and a trailing slash") << "data/../data/";
        QTest::newRow("a doubled slash") << "above//data";
    }
    void theKeyIsTheDataFoldersCanonicalPath()
    {
        QFETCH(QString, spelling);

        QTemporaryDir runtime;
        QTemporaryDir scratch;
        QVERIFY(runtime.isValid() && scratch.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const QString data = scratch.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkdir(data));
        QVERIFY(QFile::link(data, scratch.filePath(QStringLiteral("link"))));
        QVERIFY(QFile::link(scratch.path(), scratch.filePath(QStringLiteral("above"))));

        const SingleInstance plain(data);
        const SingleInstance other(scratch.path() + QLatin1Char('/') + spelling);
        QCOMPARE(other.dataFolder(), canonical(data));
        QCOMPARE(other.lockPath(), plain.lockPath());
        QCOMPARE(other.serverName(), plain.serverName());
        QCOMPARE(folderOf(other.lockPath()), canonical(data));
    }

    void privateFolderIsClosedToOthers()
    {
        // A folder of the user's own left open, for example by a copy of the data folder.
        QTemporaryDir data;
        QVERIFY(data.isValid());
        qunsetenv("XDG_RUNTIME_DIR");
        const QString own = data.filePath(QStringLiteral(".runtime"));
        QVERIFY(QDir().mkdir(own));
        QVERIFY(::chmod(QFile::encodeName(own).constData(), 0755) == 0);

        SingleInstance instance(data.path());
        QCOMPARE(instance.folder(), own);
        QCOMPARE(modeOf(own), 0700);
    }

    void socketPathFitsThePlatformLimit_data()
    {
        QTest::addColumn<int>("folderLength");
        QTest::addColumn<int>("socketLength"); // 0: no socket name fits

        // The longest path QLocalServer listens on: 108 bytes of address, less the closing
        // zero, less one byte Qt keeps free.
        const int limit = 106;
        const int fullName = int(qstrlen("/SingInstProgMutex-0123456789abcdef.sock"));
        const int shortName = int(qstrlen("/0123456789abcdef"));
        QTest::newRow("full name just fits") << limit - fullName << limit;
        QTest::newRow("full name a byte too long") << limit + 1 - fullName << limit + 1 - fullName + shortName;
        QTest::newRow("short name just fits") << limit - shortName << limit;
        QTest::newRow("short name a byte too long") << limit + 1 - shortName << 0;
    }

    void socketPathFitsThePlatformLimit()
    {
        QFETCH(int, folderLength);
        QFETCH(int, socketLength);

        QTemporaryDir scratch;
        QTemporaryDir data;
        QVERIFY(scratch.isValid() && data.isValid());
        const int padding = folderLength - int(QFile::encodeName(scratch.path()).size()) - 1;
        if (padding < 1)
            QSKIP("The temporary folder's path is too long to build the folder");
        const QString runtime = scratch.filePath(QString(padding, QLatin1Char('r')));
        QVERIFY(QDir().mkdir(runtime));
        QVERIFY(::chmod(QFile::encodeName(runtime).constData(), 0700) == 0);
        QCOMPARE(int(QFile::encodeName(runtime).size()), folderLength);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));

        const QRegularExpression tooLong(QStringLiteral("too long for a socket path"));
        if (socketLength == 0)
            QTest::ignoreMessage(QtWarningMsg, tooLong);
        SingleInstance first(data.path());
        QCOMPARE(first.folder(), runtime);
        QCOMPARE(int(QFile::encodeName(first.serverName()).size()), socketLength);
        if (socketLength > 0) {
            verifySecondCopyShowsTheFirst(data.path());
            return;
        }

        // No socket: the first copy holds the lock for its whole run, so a later one gives
        // up instead of starting beside it.
        QCOMPARE(first.start(1000), SingleInstance::Outcome::First);
        first.finishStartup();
        QVERIFY(QFileInfo::exists(first.lockPath()));
        QTest::ignoreMessage(QtWarningMsg, tooLong);
        SingleInstance second(data.path());
        QCOMPARE(second.start(100), SingleInstance::Outcome::GaveUp);
        QVERIFY(second.gaveUpMessage().contains(QString::number(QCoreApplication::applicationPid())));
        QVERIFY(second.gaveUpMessage().contains(QLatin1String("cannot be asked to show itself")));
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
