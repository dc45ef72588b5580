#include "webcal.h"

#include "output/tableexport.h"
#include "schedule/holidays.h"
#include "store/celltable.h"
#include "store/taskstore.h"
#include "text/datevalue.h"
#include "text/regional.h"

namespace webcal {

namespace {

const QLatin1String kLineEnd("\r\n");
const QLatin1String kShade("bgcolor=#CCFFFF");

// The store rows of a day that the filter shows, in store order.
template <class Visit> void forShownRows(const CellTable &store, const FilterState &filter, QDate day, Visit visit)
{
    const qint64 number = datevalue::dayNumber(day);
    const int first = store::findDayRow(store, filter, number);
    if (first < 0)
        return;
    for (int row = first; row < store.rowCount(); ++row) {
        const QByteArrayView key = store.cellUtf8(store::Key, row);
        if (key.isEmpty() || store::keyDay(key) != number)
            break;
        if (filter.passes(store.cellUtf8(store::Done, row), store.cellUtf8(store::Category, row)))
            visit(row);
    }
}

// A style rule: its opening line, a line per declaration, " }".
void addRule(QStringList &lines, const QString &opening, const QStringList &declarations)
{
    lines << opening << declarations << QStringLiteral(" }");
}

QStringList sides(const char *bottom, const char *right)
{
    return { QStringLiteral("\tborder-color : #669999;"), QStringLiteral("\tborder-width : .1em;"),
        QStringLiteral("\tborder-bottom-style : ") + QLatin1String(bottom) + QLatin1Char(';'),
        QStringLiteral("\tborder-top-style : none;"),
        QStringLiteral("\tborder-right-style : ") + QLatin1String(right) + QLatin1Char(';'),
        QStringLiteral("\tborder-left-style : none;") };
}

// Most declaration lines start with a space and a TAB; a few with the TAB alone.
QStringList spaced(const QStringList &declarations)
{
    QStringList out;
    for (const QString &d : declarations)
        out << QLatin1Char(' ') + d;
    return out;
}

void addPageHead(QStringList &lines)
{
    lines << QStringLiteral("<html><head>")
          << QStringLiteral("<META HTTP-EQUIV='Content-Type' content='text/html; charset=utf-8'>")
          << QStringLiteral("<title>Calendar</title>") << QString();
    const QString spacer = QStringLiteral(" ");
    const QStringList cellSides = spaced(sides("solid", "solid"));
    const QStringList rightSides = spaced(sides("none", "solid"));
    addRule(lines, QStringLiteral("<style type=\"text/css\"> body  {"),
        spaced({ QStringLiteral("\tfont-family : Arial;"), QStringLiteral("\tfont-size : 9pt;"),
            QStringLiteral("\tmargin : 0px;") }));
    lines << spacer;
    addRule(lines, QStringLiteral(" td.CalMonth  {"),
        { QStringLiteral(" \tfont-family : Verdana, Arial;"), QStringLiteral("\tfont-size : x-large;"),
            QStringLiteral(" \tfont-weight : bold;"), QStringLiteral(" \tbackground-color : #669999;"),
            QStringLiteral(" \tcolor : #CCFFFF;") });
    lines << spacer;
    addRule(lines, QStringLiteral(" td  {"),
        spaced({ QStringLiteral("\tfont-family : Arial;"), QStringLiteral("\tfont-size : 9pt;") }));
    lines << spacer;
    addRule(lines, QStringLiteral(" td.DayHeader  {"),
        QStringList { QStringLiteral(" \tfont-family : Verdana, Arial;"), QStringLiteral("\tcolor : #669999;"),
            QStringLiteral(" \tfont-style : italic;") }
            + spaced(sides("solid", "none")));
    lines << spacer;
    addRule(lines, QStringLiteral(" td.cell  {"), cellSides);
    lines << spacer;
    addRule(lines, QStringLiteral(" td.bottomcell  {"), cellSides);
    lines << spacer;
    addRule(lines, QStringLiteral(" td.rightcell  {"), rightSides);
    addRule(lines, QStringLiteral(" td.numbercell  {"),
        QStringList { QStringLiteral(" \tfont-family : Verdana, Arial;"), QStringLiteral("\tcolor : #669999;") }
            + rightSides);
    lines << spacer;
    addRule(lines, QStringLiteral(" td.FillDay  {"), rightSides);
    lines << spacer;
    addRule(lines, QStringLiteral(" td.bottomFillDay  {"), cellSides);
    lines << spacer;
    lines << QStringLiteral(" </style> ") << QString() << QStringLiteral("</head>")
          << QStringLiteral("<body bgcolor=white>") << QStringLiteral("<font face=\"Arial\" size=\"-1\">");
}

void addCalendarHead(QStringList &lines)
{
    lines << QStringLiteral("<table border=0 cellspacing=0 cellpadding=1>") << QString() << QStringLiteral("<tr>")
          << QStringLiteral("<td width=1>&nbsp;</td> ");
    static const char *const names[] = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" };
    static const char *const attributes[]
        = { " ", " bgcolor=#CCFFFF", "", " bgcolor=#CCFFFF", "", " bgcolor=#CCFFFF", "" };
    static const char *const tails[] = { " ", " ", " ", "", " ", " ", " <!-- Saturday label -->" };
    for (int i = 0; i < 7; ++i)
        lines << QStringLiteral("<td valign=top width=14% nowrap align=center class=dayheader")
                + QLatin1String(attributes[i]) + QLatin1Char('>') + QLatin1String(names[i]) + QStringLiteral("</td>")
                + QLatin1String(tails[i]);
    lines << QStringLiteral("</tr>");
}

void addDetails(QStringList &lines, QDate month, const DayGrid &grid, const PageSource &source)
{
    lines << QStringLiteral("<p>")
          << QStringLiteral("<table width=\"100%\" border=\"1\" cellpadding=\"3\" cellspacing=\"0\">")
          << QStringLiteral("<tr>")
          << QStringLiteral("<td colspan=\"6\" align=\"center\" class=\"calmonth\">Details</td>")
          << QStringLiteral("</tr>") << QStringLiteral("<tr>");
    for (const char *heading : { "Day", "Time", "Category", "Alarm?", "Done?" })
        lines << QStringLiteral("<td class=dayheader align=\"center\" bgcolor=#CCFFFF>") + QLatin1String(heading)
                + QStringLiteral("</td>");
    lines << QStringLiteral("<td width=55% class=dayheader bgcolor=#CCFFFF>Notes</td>") << QStringLiteral("</tr>");
    for (const auto &week : grid) {
        for (const int number : week) {
            if (number == 0 || !source.details)
                continue;
            const QList<DetailRecord> records = source.details(QDate(month.year(), month.month(), number));
            for (const DetailRecord &record : records) {
                lines << QStringLiteral("<tr>");
                for (const QString *field :
                    { &record.day, &record.time, &record.category, &record.alarm, &record.done })
                    lines << QStringLiteral("<td class=detail valign=\"top\" align=\"center\">")
                            + tableexport::escapeHtml(*field) + QStringLiteral("</td>");
                lines << QStringLiteral("<td class=detail valign=\"top\" align=\"left\">")
                        + tableexport::escapeHtml(record.notes) + QStringLiteral("</td>");
                lines << QStringLiteral("</tr>");
            }
        }
    }
    lines << QStringLiteral("</table>");
}

} // namespace

DayGrid FillGridWithNumbers(int year, int month)
{
    DayGrid grid {};
    const QDate first(year, month, 1);
    if (!first.isValid())
        return grid;
    int position = first.dayOfWeek() % 7; // Sunday 0
    for (int day = 1; day <= first.daysInMonth(); ++day, ++position)
        grid[size_t(position / 7)][size_t(position % 7)] = day;
    return grid;
}

QString GetCheckerBoard(int week, int column)
{
    return week % 2 == column % 2 ? QString(kShade) : QString();
}

QString HTMLDumpEventDay(const CellTable &store, const FilterState &filter, const CellTable &holidays,
    const RegionalSettings &regional, QDate day)
{
    QString out;
    const QString holiday = holidays::findHoliday(holidays, day, regional);
    if (!holiday.isEmpty())
        out += QStringLiteral("<font color=\"Blue\">") + tableexport::escapeHtml(holiday)
            + QStringLiteral("</font><br>");
    forShownRows(store, filter, day, [&](int row) {
        out += tableexport::escapeHtml(store.cell(store::Time, row).toLower()) + QLatin1Char(' ')
            + tableexport::escapeHtml(store.cell(store::Category, row)) + QStringLiteral("<br>");
    });
    return out.isEmpty() ? QStringLiteral("&nbsp;") : out;
}

QList<DetailRecord> HTMLDumpEventDetails(const CellTable &store, const FilterState &filter, QDate day)
{
    QList<DetailRecord> records;
    forShownRows(store, filter, day, [&](int row) {
        records.append(
            { QString::number(day.day()), store.cell(store::Time, row).toLower(), store.cell(store::Category, row),
                store.cell(store::Alarm, row), store.cell(store::Done, row), store.cell(store::What, row) });
    });
    return records;
}

QStringList pageLines(
    QDate month, bool details, const PageSource &source, const RegionalSettings &regional, const QString &homePage)
{
    const DayGrid grid = FillGridWithNumbers(month.year(), month.month());
    QStringList lines;
    addPageHead(lines);

    const QString monthText = formatDateValue(QStringLiteral("mmmm yyyy"), datevalue::fromDate(month), regional);
    lines << QStringLiteral("<table width=\"100%\">") << QStringLiteral("<td width=\"1%\">&nbsp;</td>")
          << QStringLiteral("<td align=\"center\" class=\"calmonth\">Tallyday - ") + tableexport::escapeHtml(monthText)
            + QStringLiteral("</td>")
          << QStringLiteral("</table>");
    addCalendarHead(lines);

    for (int week = 1; week <= 6; ++week) {
        const auto &days = grid[size_t(week - 1)];
        if (week == 6 && days[0] == 0)
            break;
        lines << QStringLiteral("<tr>");
        if (week == 1)
            lines << QStringLiteral("<td width=1 class=rightcell rowspan=12>&nbsp;</td>");
        for (int column = 1; column <= 7; ++column) {
            const int number = days[size_t(column - 1)];
            const QString shade = GetCheckerBoard(week, column);
            if (number > 0)
                lines << QStringLiteral("<td valign=top width=14% nowrap align=right class=numbercell ") + shade
                        + QLatin1Char('>') + QString::number(number) + QStringLiteral("</td>");
            else
                lines << QStringLiteral("<td width=14% class=FillDay ") + shade + QStringLiteral(">&nbsp;</td>");
        }
        lines << QStringLiteral("</tr>") << QStringLiteral("<tr>");
        for (int column = 1; column <= 7; ++column) {
            const int number = days[size_t(column - 1)];
            const QString shade = GetCheckerBoard(week, column);
            if (number > 0) {
                const QString content = source.dayContent
                    ? source.dayContent(QDate(month.year(), month.month(), number))
                    : QStringLiteral("&nbsp;");
                lines << QStringLiteral("<td width=14% class=cell ") + shade + QStringLiteral(" valign=\"top\" ")
                        + (column == 1 ? QStringLiteral("height=\"90\"") : QString()) + QLatin1Char('>') + content
                        + QStringLiteral("</td>");
            } else {
                lines << QStringLiteral("<td width=14% class=BottomFillDay height=\"90\" ") + shade
                        + QStringLiteral(">&nbsp;</td>");
            }
        }
        lines << QStringLiteral("</tr>");
    }
    lines << QStringLiteral("</table>") << QStringLiteral("</font>");

    if (details)
        addDetails(lines, month, grid, source);

    lines << QStringLiteral("<br>&nbsp;") << QStringLiteral("<CENTER><HR width=\"90%\">")
          << QStringLiteral("<FONT SIZE=\"-1\" FACE=\"Arial\">Tallyday courtesy of <A HREF=\"")
            + tableexport::escapeHtml(homePage) + QStringLiteral("\" TARGET=\"_top\">Veltrane Corporation</A><BR>")
          << QStringLiteral("&nbsp;</FONT></CENTER>") << QStringLiteral("</body></html>");
    return lines;
}

QByteArray pageBytes(const QStringList &lines)
{
    QString text = lines.join(kLineEnd);
    text += kLineEnd;
    return text.toUtf8();
}

QString publishTitle(QDate month, const RegionalSettings &regional)
{
    return QStringLiteral("Publish ")
        + formatDateValue(QStringLiteral("mmmm yyyy"), datevalue::fromDate(month), regional)
        + QStringLiteral(" as a web page");
}

} // namespace webcal
