#include "shell/mainwindow.h"
#include "store/datafolder.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallyday"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tallyday"));
    QApplication::setOrganizationName(QStringLiteral("Veltrane Corporation"));
    ensureDataFolder();

    TfrmMain window;
    window.show();
    return QApplication::exec();
}
