#include "version.h"

#include <QLocale>

namespace version {

QDate buildDate()
{
    // __DATE__ is "Mmm dd yyyy" with a space for a leading zero, in English.
    const QString text = QString::fromLatin1(__DATE__).simplified();
    return QLocale::c().toDate(text, QStringLiteral("MMM d yyyy"));
}

bool isStale(QDate built, QDate today)
{
    return built.isValid() && today > built.addYears(1);
}

QString staleNotice()
{
    return QStringLiteral("This version is over a year old.  Check ") + kHomePage + QStringLiteral(" for updates");
}

} // namespace version
