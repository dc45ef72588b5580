#include "platform/clock.h"
#include "platform/qtdialogs.h"
#include "platform/qtfiledialogs.h"
#include "platform/qtfontdialogs.h"
#include "platform/qthelp.h"
#include "platform/qtnotifications.h"
#include "platform/qtprinter.h"
#include "platform/qtshellopener.h"
#include "platform/qtsound.h"
#include "settings/settingsstore.h"
#include "shell/logging.h"
#include "shell/mainwindow.h"
#include "shell/resources.h"
#include "shell/signalwatcher.h"
#include "shell/singleinstance.h"
#include "shell/style.h"
#include "store/datafolder.h"
#include "store/taskdocument.h"
#include "text/regional.h"

#include <QApplication>
#include <QSessionManager>
#include <QStyle>

#include <algorithm>
#include <cstdio>

namespace {

// A start that cannot go on says why: on the error channel for a terminal or a log, and in a
// box for whoever clicked the icon. A signal closes the box, as it would close the program.
void sayStartGaveUp(const QString &message)
{
    std::fprintf(stderr, "tallyday: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, &watcher, [](int) { QApplication::exit(0); });
    QtDialogs dialogs;
    dialogs.showError(message);
}

} // namespace

int main(int argc, char *argv[])
{
    // The command line is not read.
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Veltrane Corporation"));
    QApplication::setApplicationName(QStringLiteral("Task"));
    // No display name: the desktop would add it to the caption of every window.
    QApplication::setDesktopFileName(QStringLiteral("tallyday"));
    QApplication::setStyle(new TallydayStyle(QApplication::style()->name()));
    // Hiding to the tray hides every window: the program ends only through its close.
    QApplication::setQuitOnLastWindowClosed(false);

    ensureDataFolder();
    SingleInstance instance(dataFolder());
    switch (instance.start(10000)) {
    case SingleInstance::Outcome::OtherShown:
        return 0;
    case SingleInstance::Outcome::GaveUp:
        sayStartGaveUp(instance.gaveUpMessage());
        return 0;
    case SingleInstance::Outcome::First:
        break;
    }

    installAlarmSound(dataFolder());
    SettingsStore settings;
    SystemClock clock;
    QtDialogs dialogs;
    QtFileDialogs fileDialogs(dialogs);
    QtFontDialogs fontDialogs(dialogs);
    QtSound sound;
    QtHelp help(dialogs);
    QtShellOpener opener;
    QtNotifications notifications;
    QtPrinter printer(dialogs);
    const Services services { clock, dialogs, fileDialogs, fontDialogs, sound, help, opener, notifications, printer };

    TaskDocument document(dataFolder(), settings, clock, RegionalSettings::system());
    const QStringList problems = document.load();
    TfrmMain window(document, services);
    dialogs.setParent(&window);
    printer.setParent(&window);
    instance.finishStartup();
    for (const QString &problem : problems)
        qCWarning(lcShell).noquote() << problem;

    QObject::connect(&instance, &SingleInstance::showRequested, &window, [&window] {
        qCInfo(lcShell) << "another copy asked to show the main window";
        window.showFromTray();
    });
    // A signal closes the program as "Exit" does, but nobody is there to answer a question.
    // The session manager's request to commit the data saves everything and goes on: the
    // session ends, if it does, with a signal.
    SignalWatcher watcher(&app);
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, &window, [&window](int number) {
        qCInfo(lcShell) << "closing on signal" << number;
        window.closeUnattended();
    });
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &window, [&window](QSessionManager &) { window.commitData(); });

    if (document.options().autoStart)
        window.startHidden();
    else
        window.show();
    // Said once the window is there to own the box, all in one: the program goes on, and a
    // signal meanwhile still closes it.
    if (!problems.isEmpty())
        QMetaObject::invokeMethod(
            &window, [&dialogs, problems] { dialogs.showError(problems.join(QStringLiteral("\n\n"))); },
            Qt::QueuedConnection);
    qCInfo(lcShell) << "ready";
    const int ran = QApplication::exec();
    const int code = std::max(ran, window.exitCode());
    qCInfo(lcShell) << "exiting with" << code;
    return code;
}
