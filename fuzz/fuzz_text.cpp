// The text parsers on any text: a typed time, a typed number, and a date pattern.
#include "text/datehelpers.h"
#include "text/datevalue.h"
#include "text/regional.h"
#include "text/texthelpers.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const RegionalSettings us = RegionalSettings::englishUS();
    static const RegionalSettings uk = RegionalSettings::englishUK();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const DateValue now = datevalue::fromDate(QDate(2026, 2, 28)) + 0.75;
    for (const RegionalSettings *settings : { &us, &uk }) {
        (void)timeOfText(text, *settings, now);
        (void)keyToNumber(text, *settings);
        // Short patterns are what users write; long ones only cost time.
        (void)formatDateValue(text.left(256), now, *settings);
        (void)formatDateValue(text.left(256), datevalue::fromDate(QDate(1900, 1, 1)), *settings);
    }
    return 0;
}
