#include "settings/settingsstore.h"
#include "shell/logging.h"
#include "shell/mainwindow.h"
#include "shell/qtdialogs.h"
#include "shell/qtshellopener.h"
#include "shell/resources.h"
#include "shell/signalwatcher.h"
#include "shell/singleinstance.h"
#include "shell/style.h"
#include "store/datafolder.h"
#include "text/regional.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"

#include <QApplication>
#include <QStyle>
#include <QSessionManager>

int main(int argc, char *argv[])
{
    // The command line is not read.
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Veltrane Corporation"));
    QApplication::setApplicationName(QStringLiteral("Task"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tallyday"));
    QApplication::setDesktopFileName(QStringLiteral("tallyday"));
    QApplication::setStyle(new TallydayStyle(QApplication::style()->name()));
    // Hiding to the tray hides every window: the program ends only through its close.
    QApplication::setQuitOnLastWindowClosed(false);

    ensureDataFolder();
    SingleInstance instance(dataFolder());
    switch (instance.start(10000)) {
    case SingleInstance::Outcome::TimedOut:
    case SingleInstance::Outcome::OtherShown:
        return 0;
    case SingleInstance::Outcome::First:
        break;
    }

    installAlarmSound(dataFolder());
    SettingsStore settings;
    const bool startHidden = settings.readBool(QStringLiteral("Options"), QStringLiteral("AutoStart"), false);

    SystemClock clock;
    QtDialogs dialogs;
    QtShellOpener opener;
    MainServices services{clock, dialogs, opener, settings, dataFolder(), RegionalSettings::system()};
    TfrmMain window(services);
    dialogs.setParent(&window);
    instance.finishStartup();

    QObject::connect(&instance, &SingleInstance::showRequested, &window, [&window] {
        qCInfo(lcShell) << "another copy asked to show the main window";
        window.showFromTray();
    });
    SignalWatcher watcher(&app);
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, &window, [&window](int number) {
        qCInfo(lcShell) << "closing on signal" << number;
        window.Exit1Click();
    });
    // The end of the desktop session closes the program as "Exit" does.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&window](QSessionManager &) { window.Exit1Click(); });

    if (startHidden)
        window.startHidden();
    else
        window.show();
    qCInfo(lcShell) << "ready";
    const int code = QApplication::exec();
    qCInfo(lcShell) << "exiting with" << code;
    return code;
}
