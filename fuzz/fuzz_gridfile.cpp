// The grid-file reader on any bytes, as a start-up load meets them: it never crashes or
// hangs, and what it reads is written so that a second read gives the same table.
#include "store/celltable.h"
#include "store/gridfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    CellTable table;
    const ReadResult read = readGridBytes(table, input, QStringLiteral("grid.grd"));
    if (!read.ok())
        return 0;
    table.fitToContent(6, 2); // as the start-up load does
    const QByteArray written = gridFileBytes(table);
    CellTable again;
    const ReadResult reread = readGridBytes(again, written, QStringLiteral("grid.grd"));
    if (!reread.complete() || gridFileBytes(again) != written)
        std::abort(); // a save that the next start could not read back as it was
    return 0;
}
