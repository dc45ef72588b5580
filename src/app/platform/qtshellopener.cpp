#include "qtshellopener.h"

#include <QDesktopServices>
#include <QUrl>

bool QtShellOpener::open(const QString &address)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(address));
}
