// Starts the real program, as a user or the desktop would, and checks the single-instance
// rules, the start-up wait and the shut-down on a signal.
#include "shell/singleinstance.h"
#include "store/gridfile.h"
#include "store/taskstore.h"
#include "testfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <QRandomGenerator>

#include <csignal>
#include <optional>
#include <unistd.h>

namespace {

// The program's log line once its window is up ("already" would match a bare "ready").
constexpr const char *kReady = "shell: ready";

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

// Whether a window titled `title` is up on the test's X display, as `xwininfo` sees it.
bool windowShown(const QByteArray &title, int timeoutMs)
{
    return QTest::qWaitFor(
        [&title] {
            QProcess tree;
            tree.start(QStringLiteral("xwininfo"), { QStringLiteral("-root"), QStringLiteral("-tree") });
            tree.waitForFinished(5000);
            // Lines such as:   0x1200007 "Tallyday": ("tallyday" "Task")  402x126+0+0  +439+449
            for (const QByteArray &line : tree.readAllStandardOutput().split('\n')) {
                const QByteArray trimmed = line.trimmed();
                if (!trimmed.contains(QByteArray(" \"" + title + "\":")))
                    continue;
                QProcess one;
                one.start(
                    QStringLiteral("xwininfo"), { QStringLiteral("-id"), QString::fromLatin1(trimmed.split(' ')[0]) });
                one.waitForFinished(5000);
                if (one.readAllStandardOutput().contains("IsViewable"))
                    return true;
            }
            return false;
        },
        timeoutMs);
}

// The process id of a process that has ended.
QByteArray deadProcessId()
{
    QProcess shell;
    shell.start(QStringLiteral("sh"), { QStringLiteral("-c"), QStringLiteral("echo $$") });
    shell.waitForFinished(5000);
    return shell.readAllStandardOutput().trimmed();
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_stateHome; // XDG_STATE_HOME for the program; unset when empty

    QString dataFolder() const { return m_home.filePath(QStringLiteral("data")); }

    // `runtime`: XDG_RUNTIME_DIR as the test has it (nullopt), none (empty), or this folder.
    QProcessEnvironment environment(const QString &data, const std::optional<QString> &runtime) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TALLYDAY_HOME"), data.isEmpty() ? dataFolder() : data);
        if (runtime && runtime->isEmpty())
            env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        else if (runtime)
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), *runtime);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.remove(QStringLiteral("XDG_STATE_HOME"));
        if (!m_stateHome.isEmpty())
            env.insert(QStringLiteral("XDG_STATE_HOME"), m_stateHome);
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tallyday.shell.info=true"));
        return env;
    }

    // Starts the program and waits until it says it is ready.
    std::unique_ptr<QProcess> startProgram(
        bool waitReady = true, const QString &data = QString(), const std::optional<QString> &runtime = std::nullopt)
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment(data, runtime));
        process->setProcessChannelMode(QProcess::SeparateChannels);
        process->start(QStringLiteral(TALLYDAY_EXE), {});
        if (!process->waitForStarted(5000))
            return nullptr;
        if (waitReady && !waitForOutput(*process, kReady, 15000)) {
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

    // A start that gives up says so, on its error channel and in a box, and names the copy
    // it waited for.
    void startGivesUpAfterTenSecondsAndSaysSo()
    {
        SingleInstance stuck(dataFolder());
        QCOMPARE(stuck.start(1000), SingleInstance::Outcome::First); // never finishes starting

        QElapsedTimer timer;
        timer.start();
        auto second = startProgram(false);
        QVERIFY(second);
        const QByteArray said = "Tallyday is already running with the data folder "
            + QFile::encodeName(QFileInfo(dataFolder()).canonicalFilePath()) + " (process "
            + QByteArray::number(QCoreApplication::applicationPid()) + "), but it did not answer within 10 seconds";
        QVERIFY2(waitForOutput(*second, said, 20000), report(*second).constData());
        QVERIFY(timer.elapsed() >= 9500);
        QVERIFY(!log(*second).contains(kReady));
        QVERIFY(windowShown("Tallyday", 10000));
        QCOMPARE(second->state(), QProcess::Running); // the box waits for the user
        ::kill(pid_t(second->processId()), SIGTERM);
        QVERIFY(second->waitForFinished(10000));
        QVERIFY2(endedCleanly(*second), report(*second).constData());
        stuck.finishStartup();
    }

    // A lock that no live copy holds, whatever a kill or anything else left in its place, is
    // taken over at once: the start goes on, and a later one finds it.
    void leftoverLockIsTakenOver_data()
    {
        QTest::addColumn<QString>("kind"); // "file" or "folder"
        QTest::addColumn<QByteArray>("bytes");

        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        QTest::newRow("empty") << "file" << QByteArray();
        QTest::newRow("garbage") << "file" << QByteArray("\x7f\x01lock?\xff\xfe\n\n\x80");
        QTest::newRow("another host's") << "file" << QByteArray("4242\ntallyday\nanother-host.example\n");
        QTest::newRow("a dead process's") << "file" << deadProcessId() + "\ntallyday\n" + host + '\n';
        QTest::newRow("a live process of another program")
            << "file" << QByteArray::number(QCoreApplication::applicationPid()) + "\ntallyday\n" + host + '\n';
        QTest::newRow("a folder") << "folder" << QByteArray();
    }
    void leftoverLockIsTakenOver()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);

        QTemporaryDir folder(m_home.filePath(QStringLiteral("lock-XXXXXX")));
        const QString data = folder.path();
        const QString lock = SingleInstance(data).lockPath();
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(lock));
        else
            QVERIFY(writeGridBytes(lock, bytes));

        auto first = startProgram(true, data);
        QVERIFY2(first, "the start did not get past the lock left behind");
        QCOMPARE(readAllOf(lock).split('\n').value(0), QByteArray::number(first->processId())); // it holds it now

        auto second = startProgram(false, data);
        QVERIFY(second);
        QVERIFY(second->waitForFinished(10000));
        QVERIFY2(endedCleanly(*second), report(*second).constData());
        QVERIFY(waitForOutput(*first, "main window shown", 5000));
        stop(*first);
        QVERIFY2(endedCleanly(*first), report(*first).constData());
    }

    // Every start on one data folder finds the copy that runs on it, whatever its
    // environment and however it names the folder.
    void findsTheRunningCopyWhateverTheStart_data()
    {
        QTest::addColumn<QString>("firstPath"); // "folder" or "link"
        QTest::addColumn<QString>("firstRuntime"); // XDG_RUNTIME_DIR "set" or "unset"
        QTest::addColumn<QString>("secondPath");
        QTest::addColumn<QString>("secondRuntime");

        QTest::newRow("second without XDG_RUNTIME_DIR") << "folder"
                                                        << "set"
                                                        << "folder"
                                                        << "unset";
        QTest::newRow("first without XDG_RUNTIME_DIR") << "folder"
                                                       << "unset"
                                                       << "folder"
                                                       << "set";
        QTest::newRow("second through a linked data path") << "folder"
                                                           << "set"
                                                           << "link"
                                                           << "set";
        QTest::newRow("first through a linked data path, second without XDG_RUNTIME_DIR") << "link"
                                                                                          << "set"
                                                                                          << "folder"
                                                                                          << "unset";
    }
    void findsTheRunningCopyWhateverTheStart()
    {
        QFETCH(QString, firstPath);
        QFETCH(QString, firstRuntime);
        QFETCH(QString, secondPath);
        QFETCH(QString, secondRuntime);

        QTemporaryDir scratch(m_home.filePath(QStringLiteral("place-XXXXXX")));
        const QString data = scratch.filePath(QStringLiteral("data"));
        const QString link = scratch.filePath(QStringLiteral("link"));
        const QString runtime = scratch.filePath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkdir(data) && QDir().mkdir(runtime) && QFile::link(data, link));
        QVERIFY(
            QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        auto path = [&](const QString &which) { return which == QLatin1String("link") ? link : data; };
        auto runtimeOf = [&](const QString &which) { return which == QLatin1String("set") ? runtime : QString(); };

        auto first = startProgram(true, path(firstPath), runtimeOf(firstRuntime));
        QVERIFY(first);
        auto second = startProgram(false, path(secondPath), runtimeOf(secondRuntime));
        QVERIFY(second);
        QVERIFY2(second->waitForFinished(10000), "the second copy runs beside the first");
        QVERIFY2(endedCleanly(*second), report(*second).constData());
        QVERIFY(waitForOutput(*first, "main window shown", 5000));
        QCOMPARE(first->state(), QProcess::Running);
        stop(*first);
        QVERIFY2(endedCleanly(*first), report(*first).constData());
        stop(*second);
    }

    // A connection to the running copy that does not ask for anything is closed after
    // about a second, and the copy goes on answering those that do.
    void silentConnectionIsClosed_data()
    {
        QTest::addColumn<QByteArray>("said");
        QTest::addColumn<int>("connections");

        QTest::newRow("nothing") << QByteArray() << 1;
        QTest::newRow("half a request") << QByteArray("sho") << 1;
        QTest::newRow("more than a request, without its end") << QByteArray(300, 'x') << 1;
        QTest::newRow("nothing, many at once") << QByteArray() << 50;
    }
    void silentConnectionIsClosed()
    {
        QFETCH(QByteArray, said);
        QFETCH(int, connections);

        auto program = startProgram();
        QVERIFY(program);
        const QString socketName = SingleInstance(dataFolder()).serverName();
        std::vector<std::unique_ptr<QLocalSocket>> clients;
        for (int i = 0; i < connections; ++i) {
            auto client = std::make_unique<QLocalSocket>();
            client->connectToServer(socketName);
            QVERIFY(client->waitForConnected(5000));
            client->write(said);
            client->flush();
            clients.push_back(std::move(client));
        }
        // Generous: the program closes them after a second.
        QDeadlineTimer deadline(10000);
        for (const auto &client : clients) {
            if (client->state() != QLocalSocket::UnconnectedState)
                client->waitForDisconnected(int(std::max<qint64>(deadline.remainingTime(), 1)));
            QCOMPARE(client->state(), QLocalSocket::UnconnectedState);
        }

        auto second = startProgram(false);
        QVERIFY(second);
        QVERIFY(second->waitForFinished(10000));
        QVERIFY2(endedCleanly(*second), report(*second).constData());
        QVERIFY(waitForOutput(*program, "main window shown", 5000));
        stop(*program);
        QVERIFY2(endedCleanly(*program), report(*program).constData());
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
        QCOMPARE(saved.cell(store::What, 1), QStringLiteral("earlier"));
        QCOMPARE(saved.cell(store::What, 2), QStringLiteral("later"));
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
        QCOMPARE(saved.cell(store::What, 1), QStringLiteral("earlier"));

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
        QVERIFY(waitForOutput(*running, kReady, 15000));
        QVERIFY(waitForOutput(*running, "main window shown", 5000)); // the other's hand-over
        QCOMPARE(running->state(), QProcess::Running);
        stop(*running);
        QVERIFY2(endedCleanly(*running), report(*running).constData());
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
