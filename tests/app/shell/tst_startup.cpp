// Starts the real program, as a user or the desktop would, and checks the single-instance
// rules, the start-up wait and the shut-down on a signal.
#include "shell/singleinstance.h"
#include "store/gridfile.h"
#include "store/taskstore.h"
#include "testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <QRandomGenerator>

#include <csignal>
#include <unistd.h>

namespace {

bool writeGridBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readAllOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// A store out of order, to see that the close path (sort and save) ran.
CellTable outOfOrderStore()
{
    CellTable tasks = store::newStore();
    tasks.setRowCount(3);
    const QStringList later { "36526.101", "9:00 AM", "", "later", "No", "No" };
    const QStringList earlier { "36525.101", "9:00 AM", "", "earlier", "No", "No" };
    for (int c = 0; c < 6; ++c) {
        tasks.setCell(c, 1, later[c]);
        tasks.setCell(c, 2, earlier[c]);
    }
    return tasks;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_stateHome; // XDG_STATE_HOME for the program; unset when empty

    QString dataFolder() const { return m_home.filePath(QStringLiteral("data")); }

    QProcessEnvironment environment(const QString &data = QString()) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TALLYDAY_HOME"), data.isEmpty() ? dataFolder() : data);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.remove(QStringLiteral("XDG_STATE_HOME"));
        if (!m_stateHome.isEmpty())
            env.insert(QStringLiteral("XDG_STATE_HOME"), m_stateHome);
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tallyday.shell.info=true"));
        return env;
    }

    // Starts the program and waits until it says it is ready.
    std::unique_ptr<QProcess> startProgram(bool waitReady = true, const QString &data = QString())
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment(data));
        process->setProcessChannelMode(QProcess::SeparateChannels);
        process->start(QStringLiteral(TALLYDAY_EXE), {});
        if (!process->waitForStarted(5000))
            return nullptr;
        if (waitReady && !waitForOutput(*process, "ready", 15000)) {
            qWarning().noquote() << "the program did not get ready, log:\n" << log(*process);
            return nullptr;
        }
        return process;
    }

    // Waits until the program has written `text` to its error channel (its log).
    static bool waitForOutput(QProcess &process, const QByteArray &text, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        QByteArray seen = process.property("seen").toByteArray();
        while (!seen.contains(text) && timer.elapsed() < timeoutMs && process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(100);
            seen += process.readAllStandardError();
        }
        seen += process.readAllStandardError();
        process.setProperty("seen", seen);
        return seen.contains(text);
    }

    // Everything the program has written to its log so far.
    static QByteArray log(QProcess &process)
    {
        const QByteArray seen = process.property("seen").toByteArray() + process.readAllStandardError();
        process.setProperty("seen", seen);
        return seen;
    }

    static bool endedCleanly(const QProcess &process)
    {
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    // For failure messages, so that a crash or a sanitizer report of the program shows.
    static QByteArray report(QProcess &process)
    {
        return "exit code " + QByteArray::number(process.exitCode()) + ", log:\n" + log(process);
    }

    static void stop(QProcess &process)
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(10000))
            process.kill();
    }

    void writeAutoStart(bool on)
    {
        const QString folder = m_home.filePath(QStringLiteral("config/Veltrane Corporation"));
        QDir().mkpath(folder);
        QFile ini(folder + QStringLiteral("/Task.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(on ? "[Options]\nAutoStart=1\n" : "[Options]\nAutoStart=0\n");
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QVERIFY(QDir().mkpath(dataFolder()));
    }

    void secondCopyShowsTheFirstAndExits()
    {
        writeAutoStart(true); // the first copy starts hidden
        auto first = startProgram();
        QVERIFY(first);

        QElapsedTimer timer;
        timer.start();
        auto second = startProgram(false);
        QVERIFY(second);
        QVERIFY(second->waitForFinished(5000));
        QVERIFY2(endedCleanly(*second), report(*second).constData());
        QVERIFY(timer.elapsed() < 5000);

        QVERIFY(waitForOutput(*first, "main window shown", 5000));
        QCOMPARE(first->state(), QProcess::Running);
        stop(*first);
        QVERIFY2(endedCleanly(*first), report(*first).constData());
        writeAutoStart(false);
    }

    void startWhileTheFirstIsStartingWaits()
    {
        // Play the part of a first copy that is still creating its windows.
        SingleInstance starting(dataFolder());
        QCOMPARE(starting.start(1000), SingleInstance::Outcome::First);
        QSignalSpy asked(&starting, &SingleInstance::showRequested);

        auto second = startProgram(false);
        QVERIFY(second);
        QVERIFY(!second->waitForFinished(1500)); // it waits for the start-up to end
        starting.finishStartup();
        QVERIFY(asked.wait(5000));
        QVERIFY(second->waitForFinished(5000));
        QVERIFY2(endedCleanly(*second), report(*second).constData());
    }

    void startGivesUpSilentlyAfterTenSeconds()
    {
        SingleInstance stuck(dataFolder());
        QCOMPARE(stuck.start(1000), SingleInstance::Outcome::First); // never finishes starting

        QElapsedTimer timer;
        timer.start();
        auto second = startProgram(false);
        QVERIFY(second);
        QVERIFY(second->waitForFinished(20000));
        QVERIFY(timer.elapsed() >= 9500);
        QVERIFY2(endedCleanly(*second), report(*second).constData());
        QVERIFY(!log(*second).contains("ready"));
        stuck.finishStartup();
    }

    void terminateSavesBothStores()
    {
        const CellTable tasks = outOfOrderStore();
        const QString storePath = dataFolder() + QStringLiteral("/grid.grd");
        const QString todoPath = dataFolder() + QStringLiteral("/gridNon.grd");
        QFile::remove(todoPath);
        QVERIFY(writeGridFile(tasks, storePath).ok);

        auto program = startProgram();
        QVERIFY(program);
        ::kill(pid_t(program->processId()), SIGTERM);
        QVERIFY(program->waitForFinished(10000));
        QVERIFY2(endedCleanly(*program), report(*program).constData());

        CellTable saved;
        QVERIFY(readGridFile(saved, storePath).ok());
        QCOMPARE(saved.cell(3, 1), QStringLiteral("earlier"));
        QCOMPARE(saved.cell(3, 2), QStringLiteral("later"));
        QVERIFY(QFile::exists(todoPath));
    }

    // A signal while the data folder cannot take the changes (here it went with its disk):
    // they are kept in the user's state folder and the next start says where. When no state
    // folder can be made either they are lost, and the exit code says so.
    void aSignalKeepsWhatTheDataFolderCannotTake_data()
    {
        QTest::addColumn<QString>("stateHome"); // XDG_STATE_HOME, in the home; empty: unset
        QTest::addColumn<QString>("kept"); // the folder of the copies, in the home; empty: none
        QTest::newRow("in ~/.local/state") << ""
                                           << ".local/state/tallyday";
        QTest::newRow("in XDG_STATE_HOME") << "xdg-state"
                                           << "xdg-state/tallyday";
        QTest::newRow("nowhere") << "not-a-folder"
                                 << "";
    }
    void aSignalKeepsWhatTheDataFolderCannotTake()
    {
        QFETCH(QString, stateHome);
        QFETCH(QString, kept);
        QVERIFY(writeGridBytes(m_home.filePath(QStringLiteral("not-a-folder")), "x"));
        m_stateHome = stateHome.isEmpty() ? QString() : m_home.filePath(stateHome);
        QTemporaryDir folder(m_home.filePath(QStringLiteral("gone-XXXXXX")));
        const QString data = folder.path();
        QVERIFY(writeGridFile(outOfOrderStore(), data + QStringLiteral("/grid.grd")).ok);

        auto program = startProgram(true, data);
        QVERIFY(program);
        QVERIFY(QDir(data).removeRecursively());
        ::kill(pid_t(program->processId()), SIGTERM);
        QVERIFY(program->waitForFinished(10000));
        if (kept.isEmpty()) {
            QCOMPARE(program->exitStatus(), QProcess::NormalExit);
            QVERIFY2(program->exitCode() == 1, report(*program).constData());
            QVERIFY2(log(*program).contains("unsaved changes lost"), report(*program).constData());
            m_stateHome.clear();
            return;
        }
        QVERIFY2(endedCleanly(*program), report(*program).constData());
        QDir keptIn(m_home.filePath(kept));
        const QStringList copies = keptIn.entryList({ QStringLiteral("grid.grd.unsaved-*") });
        QCOMPARE(copies.size(), 1);
        const QString copy = keptIn.filePath(copies[0]);
        CellTable saved;
        QVERIFY(readGridFile(saved, copy).ok());
        QCOMPARE(saved.cell(3, 1), QStringLiteral("earlier"));

        auto next = startProgram(true, data);
        QVERIFY(next);
        QVERIFY2(log(*next).contains(QFile::encodeName(copy)), log(*next).constData());
        stop(*next);
        QVERIFY2(endedCleanly(*next), report(*next).constData());
        QVERIFY(keptIn.removeRecursively());
        m_stateHome.clear();
    }

    // A data file that is wrong in any way: the program still starts, says which file and
    // where it was kept, and nothing it writes replaces the file's bytes without a copy.
    void badFilesAtStartUp_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("outcome"); // "aside", "copy", "read" or "refused"
        const QByteArray good("6,3\r\ncw 0,64\r\n3,0,What\r\n0,1,46052.101\r\n3,1,Buy paint\r\n");
        QTest::newRow("empty") << "file" << QByteArray() << "read";
        QTest::newRow("wrong count line") << "file" << QByteArray("six,three\r\n3,1,Buy paint\r\n") << "copy";
        QTest::newRow("huge counts") << "file" << QByteArray("6,2000000000\r\n3,1,Buy paint\r\n") << "aside";
        QTest::newRow("NUL bytes") << "file" << QByteArray("6,3\r\n3,1,Buy\0paint\r\n", 20) << "aside";
        QTest::newRow("cut in a line") << "file" << good.left(good.size() - 8) << "copy";
        CellTable tasks = store::newStore();
        tasks.setRowCount(301);
        for (int r = 1; r <= 300; ++r)
            for (int c = 0; c < 6; ++c)
                tasks.setCell(
                    c, r, c == 0 ? QStringLiteral("46052.%1").arg(100 + r) : QStringLiteral("task %1").arg(r));
        const QByteArray many = gridFileBytes(tasks);
        QTest::newRow("cut at a line end") << "file" << many.left(many.indexOf("\r\n0,150,") + 2) << "copy";
        QTest::newRow("invalid UTF-8") << "file" << QByteArray("6,3\r\n3,1,Caf\xE9\r\n") << "copy";
        QByteArray junk(50 << 20, Qt::Uninitialized);
        QRandomGenerator random(17);
        random.fillRange(reinterpret_cast<quint32 *>(junk.data()), junk.size() / 4);
        QTest::newRow("50 MB of junk") << "file" << junk << "aside";
        QTest::newRow("a folder") << "folder" << QByteArray() << "refused";
        QTest::newRow("a FIFO") << "FIFO" << QByteArray() << "refused";
        QTest::newRow("no read permission") << "unreadable" << good << "aside";
        QTest::newRow("dangling link") << "dangling" << QByteArray() << "read";
    }
    void badFilesAtStartUp()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, outcome);
        if (kind == QLatin1String("unreadable") && ::geteuid() == 0)
            QSKIP("root reads every file");
        QTemporaryDir folder(m_home.filePath(QStringLiteral("bad-XXXXXX")));
        const QString data = folder.path();
        const QString file = data + QStringLiteral("/grid.grd");
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(file + QStringLiteral("/inside")));
        else if (kind == QLatin1String("FIFO"))
            QVERIFY(makeNode(kind, file));
        else if (kind == QLatin1String("dangling"))
            QVERIFY(QFile::link(data + QStringLiteral("/elsewhere.grd"), file));
        else
            QVERIFY(writeGridBytes(file, bytes));
        if (kind == QLatin1String("unreadable"))
            QVERIFY(QFile::setPermissions(file, QFileDevice::WriteOwner));

        auto program = startProgram(true, data);
        QVERIFY(program);
        const QByteArray said = log(*program);
        QStringList kept
            = QDir(data).entryList({ QStringLiteral("grid.grd.damaged-*") }, QDir::AllEntries | QDir::Hidden);
        const QByteArray before = nodeIdentity(file);
        if (outcome == QLatin1String("read")) {
            QVERIFY2(!said.contains("grid.grd"), said.constData());
            QVERIFY(kept.isEmpty());
        } else if (outcome == QLatin1String("refused")) {
            // No data file, left as it is: the store's changes are kept beside it at the close.
            QVERIFY2(
                said.contains(QByteArray(QFile::encodeName(file) + " could not be read: it is not a regular file")),
                said.constData());
            QVERIFY(kept.isEmpty());
        } else {
            QCOMPARE(kept.size(), 1);
            const QString aside = data + QLatin1Char('/') + kept[0];
            QVERIFY2(
                said.contains(QFile::encodeName(file)) && said.contains(QFile::encodeName(aside)), said.constData());
            if (kind == QLatin1String("file") || kind == QLatin1String("unreadable")) {
                QFile::setPermissions(aside, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
                QCOMPARE(readAllOf(aside), bytes);
            } else {
                QVERIFY(QFileInfo(aside).isDir());
            }
        }
        ::kill(pid_t(program->processId()), SIGTERM);
        QVERIFY(program->waitForFinished(10000));
        QVERIFY2(endedCleanly(*program), report(*program).constData());
        if (outcome == QLatin1String("refused")) {
            QCOMPARE(nodeIdentity(file), before);
            QCOMPARE(QDir(data).entryList({ QStringLiteral("grid.grd.unsaved-*") }).size(), 1);
            return;
        }
        CellTable saved;
        QVERIFY(readGridFile(saved, file).ok()); // a sound store now stands in its place
        if (kind == QLatin1String("dangling"))
            QVERIFY(QFileInfo(file).isSymLink() && QFileInfo::exists(data + QStringLiteral("/elsewhere.grd")));
        if (outcome == QLatin1String("read") && !bytes.isEmpty())
            QCOMPARE(readAllOf(file + QLatin1Char('~')), bytes); // replaced, and kept as the backup
    }

    // After a crash the next start needs nobody: the lock and socket left behind are taken
    // over, well inside the wait a start allows for a copy that is still starting.
    void startAfterAKillNeedsNoHelp()
    {
        auto first = startProgram();
        QVERIFY(first);
        first->kill(); // SIGKILL: nothing is cleaned up
        QVERIFY(first->waitForFinished(5000));

        QElapsedTimer timer;
        timer.start();
        auto next = startProgram();
        QVERIFY2(next, "the start after the kill did not get ready");
        qInfo("start after kill -9: ready in %lld ms", timer.elapsed());
        QVERIFY(timer.elapsed() < 9000); // not the ten-second give-up of a stuck first copy
        stop(*next);
        QVERIFY2(endedCleanly(*next), report(*next).constData());
    }

    // Two copies started at the same moment: one runs, the other hands over and ends.
    void twoCopiesAtOnceLeaveOne()
    {
        auto one = startProgram(false);
        auto two = startProgram(false);
        QVERIFY(one && two);
        QElapsedTimer timer;
        timer.start();
        while (one->state() == QProcess::Running && two->state() == QProcess::Running && timer.elapsed() < 20000)
            QTest::qWait(50);
        QProcess *ended = one->state() == QProcess::Running ? two.get() : one.get();
        QProcess *running = ended == one.get() ? two.get() : one.get();
        QCOMPARE(ended->state(), QProcess::NotRunning);
        QVERIFY2(endedCleanly(*ended), report(*ended).constData());
        QVERIFY(waitForOutput(*running, "ready", 15000));
        QVERIFY(waitForOutput(*running, "main window shown", 5000)); // the other's hand-over
        QCOMPARE(running->state(), QProcess::Running);
        stop(*running);
        QVERIFY2(endedCleanly(*running), report(*running).constData());
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
