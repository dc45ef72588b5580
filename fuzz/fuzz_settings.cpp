// A settings file of any bytes, opened and read as the program does at start: every option
// and the filter switches. Nothing may crash or hang.
#include "settings/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    static int round = 0;
    // A new name each time: QSettings keeps what it read of a path for the process.
    const QString path = folder.filePath(QStringLiteral("Task-%1.ini").arg(++round));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    {
        SettingsStore store(path);
        const Options options = readOptions(store, folder.path());
        const FilterSettings filter = readFilterSettings(store);
        (void)options;
        (void)filter;
        (void)store.layoutNumber(QStringLiteral("Split2"));
    }
    QFile::remove(path);
    return 0;
}
