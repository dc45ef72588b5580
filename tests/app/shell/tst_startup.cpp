// Starts the real program, as a user or the desktop would, and checks the single-instance
// rules, the start-up wait and the shut-down on a signal.
#include "shell/singleinstance.h"
#include "store/gridfile.h"
#include "store/taskstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

    QString dataFolder() const { return m_home.filePath(QStringLiteral("data")); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TALLYDAY_HOME"), dataFolder());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tallyday.shell.info=true"));
        return env;
    }

    // Starts the program and waits until it says it is ready.
    std::unique_ptr<QProcess> startProgram(bool waitReady = true)
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
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
        // A store out of order, to see that the close path (sort and save) ran.
        CellTable tasks = store::newStore();
        tasks.setRowCount(3);
        const QStringList later { "36526.101", "9:00 AM", "", "later", "No", "No" };
        const QStringList earlier { "36525.101", "9:00 AM", "", "earlier", "No", "No" };
        for (int c = 0; c < 6; ++c) {
            tasks.setCell(c, 1, later[c]);
            tasks.setCell(c, 2, earlier[c]);
        }
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
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
