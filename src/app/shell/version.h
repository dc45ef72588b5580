#pragma once

#include <QDate>
#include <QString>

namespace version {

inline const QString kNumber = QStringLiteral("2.3");
inline const QString kHomePage = QStringLiteral("https://www.veltrane.example/tallyday");

// The day this program was compiled.
QDate buildDate();
// True when `today` is more than a year after `built`: time to look for a newer version.
bool isStale(QDate built, QDate today);
QString staleNotice();

} // namespace version
