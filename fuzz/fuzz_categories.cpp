// The category-file reader on any bytes: what it reads, written and read again, is written
// the same, so no entry changes from one save to the next.
#include "store/categories.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList entries = parseCategoryLines(input);
    const QByteArray written = categoryFileBytes(entries);
    const QStringList again = parseCategoryLines(written);
    if (categoryFileBytes(again) != written)
        std::abort();
    return 0;
}
