// Writes the five printed tables of the program, filled with sample tasks, as PDF files into
// the folder given (default: the current folder), to look at:
//   print_samples /tmp/out && pdftoppm -png -r 60 /tmp/out/print.pdf /tmp/out/print
#include "output/tableprint.h"
#include "platform/qtprinter.h"
#include "store/celltable.h"
#include "text/regional.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {

CellTable tableOf(const QList<QStringList> &rows)
{
    CellTable table(int(rows.first().size()), int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            table.setCell(c, r, rows[r][c]);
    return table;
}

QList<QStringList> tasks(int count, bool withDate)
{
    static const char *const whats[] = { "Dentist", "Call the plumber about the kitchen tap\r\nbring the invoice",
        "Team meeting", "Pay the electricity bill", "Gym" };
    static const char *const categories[] = { "1 - High", "2 - Medium", "3 - Low", "4 - Don't Care" };
    QList<QStringList> rows;
    for (int i = 0; i < count; ++i) {
        QStringList row;
        if (withDate)
            row << QStringLiteral("1/%1/2026").arg(1 + i % 28);
        row << QStringLiteral("%1:%2 AM").arg(8 + i % 4).arg(i % 2 ? QStringLiteral("30") : QStringLiteral("00"))
            << QString::fromLatin1(categories[i % 4]) << QString::fromLatin1(whats[i % 5])
            << (i % 3 ? QStringLiteral("No") : QStringLiteral("Yes"))
            << (i % 4 ? QStringLiteral("No") : QStringLiteral("Yes"));
        rows << row;
    }
    return rows;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    RegionalSettings regional = RegionalSettings::englishUS();
    fix2000(regional);
    const QDateTime now(QDate(2026, 1, 31), QTime(10, 0));

    QList<QStringList> print { { "Date", "Time", "Category", "What", "Completed", "Alarm" } };
    print += tasks(90, true);
    print << QStringList { "To-do", "", "2 - Medium", "Renew the passport", "No", "" };
    QList<QStringList> day { { "Time", "Category", "What", "Done", "Alarm" } };
    day += tasks(5, false);
    QList<QStringList> todo { { "Category", "What", "Done" }, { "1 - High", "Renew the passport", "No" },
        { "3 - Low", "Sort the photos\r\nfrom the summer", "Yes" } };
    QList<QStringList> log { { "Comp Date", "Time", "Category", "Orig Date", "What", "Comp Notes" },
        { "1/30/2026", "9:12:00 AM", "1 - High", "Fri 1/30/2026", "Dentist", "All fine" },
        { "1/29/2026", "5:40:00 PM", "", "Non date task", "Sort the photos\r\nfrom the summer", "" } };
    QList<QStringList> holidays { { "Name", "Month", "Month Name", "Day" }, { "New Year's Day", "01", "January", "1" },
        { "Martin Luther King Day", "01", "January", "Third : Monday" }, { "Independence Day", "07", "July", "4" },
        { "Thanksgiving", "11", "November", "Fourth : Thursday" } };

    const struct
    {
        const char *name;
        CellTable table;
        TablePrintSettings settings;
    } jobs[] = { { "print", tableOf(print), tableprint::printTableSettings() },
        { "day", tableOf(day), tableprint::dayListSettings(QStringLiteral("Saturday, January 31, 2026")) },
        { "todo", tableOf(todo), tableprint::todoListSettings() },
        { "completed", tableOf(log), tableprint::completedLogSettings() },
        { "holidays", tableOf(holidays), tableprint::holidayListSettings() } };
    int failures = 0;
    for (const auto &job : jobs) {
        const QString path = folder.filePath(QString::fromLatin1(job.name) + QStringLiteral(".pdf"));
        const bool ok = QtPrinter::printToPdf(path, job.settings.orientation,
            [&](PrintSurface &surface) { printTable(surface, job.table, job.settings, now, regional); });
        std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
        failures += ok ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}
