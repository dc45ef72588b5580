// The holiday test on rule rows made of any text: one rule per line, cells split at TAB.
#include "schedule/holidays.h"
#include "store/celltable.h"
#include "text/regional.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const RegionalSettings us = RegionalSettings::englishUS();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = text.split(QLatin1Char('\n'));
    CellTable rules(holidays::ColumnCount, int(std::min<qsizetype>(lines.size(), 200)) + 1);
    for (int r = 0; r + 1 < rules.rowCount(); ++r) {
        const QStringList cells = lines[r].split(QLatin1Char('\t'));
        for (int c = 0; c < holidays::ColumnCount && c < cells.size(); ++c)
            rules.setCell(c, r + 1, cells[c]);
    }
    for (const QDate day : { QDate(2028, 2, 29), QDate(2026, 12, 31), QDate(2026, 1, 1), QDate(2026, 5, 25),
             QDate(1900, 3, 1), QDate(9999, 12, 31) })
        (void)holidays::findHoliday(rules, day, us);
    return 0;
}
