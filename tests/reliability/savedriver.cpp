// Saves one data file the way the program does, for the kill-during-save test:
//   savedriver grid|category|settings PATH old|new   writes that version of the file
//   savedriver grid|category|settings PATH check     loads the file as the program would
// The two versions differ in length and content, so a torn file can never pass for either.
#include "settings/settingsstore.h"
#include "store/categories.h"
#include "store/celltable.h"
#include "store/gridfile.h"

#include <QDateTime>
#include <QString>

#include <cstdio>

namespace {

CellTable tableOf(bool newer)
{
    const int rows = newer ? 300 : 120;
    CellTable table(6, rows + 1);
    for (int r = 1; r <= rows; ++r)
        for (int c = 0; c < 6; ++c)
            table.setCell(c, r, QStringLiteral("%1 row %2 cell %3 é").arg(newer ? "new" : "old").arg(r).arg(c));
    return table;
}

QStringList categoriesOf(bool newer)
{
    QStringList entries;
    for (int i = 0; i < (newer ? 200 : 50); ++i)
        entries << QStringLiteral("%1 category %2 ü").arg(newer ? "new" : "old").arg(i);
    return entries;
}

int fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4)
        return fail("usage: savedriver grid|category|settings PATH old|new|check");
    const QString kind = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    const QString action = QString::fromLocal8Bit(argv[3]);
    const bool newer = action == QLatin1String("new");

    if (kind == QLatin1String("grid")) {
        if (action == QLatin1String("check")) {
            CellTable table;
            return readGridFile(table, path).ok() ? 0 : fail("the grid file does not read");
        }
        return writeGridFile(tableOf(newer), path).ok ? 0 : fail("the grid file was not saved");
    }
    if (kind == QLatin1String("category")) {
        if (action == QLatin1String("check"))
            return readCategoryList(path) ? 0 : fail("the category file does not read");
        return writeCategoryFile(path, categoriesOf(newer)).ok ? 0 : fail("the category file was not saved");
    }
    if (kind == QLatin1String("settings")) {
        SettingsStore store(path);
        if (action == QLatin1String("check"))
            return store.find(QStringLiteral("Test"), QStringLiteral("Version")) ? 0 : fail("the settings do not read");
        for (int i = 0; i < (newer ? 60 : 20); ++i)
            store.writeText(QStringLiteral("Test"), QStringLiteral("Value%1").arg(i),
                QStringLiteral("%1 %2").arg(newer ? "new" : "old").arg(i));
        store.writeText(QStringLiteral("Test"), QStringLiteral("Version"), QLatin1String(newer ? "new" : "old"));
        return store.sync().ok ? 0 : fail("the settings were not saved");
    }
    return fail("unknown kind");
}
