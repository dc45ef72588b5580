#include "tableexport.h"

#include "store/celltable.h"

namespace tableexport {

namespace {

const QLatin1String kLineEnd("\r\n");

} // namespace

SaveDialog saveDialog(Format format)
{
    if (format == Format::Csv)
        return { QStringLiteral("Save as comma-delimited"), QStringLiteral("tasks.txt"),
            QStringLiteral("Text files (*.txt)|*.txt|Comma Separated (*.csv)|*.csv|All files (*.*)|*.*"),
            QStringLiteral("txt") };
    return { QStringLiteral("Save as an HTML file"), QStringLiteral("tasks.htm"),
        QStringLiteral("HTM files (*.htm)|*.htm|All files (*.*)|*.*"), QStringLiteral("htm") };
}

QString csvField(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("\"\"");
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
        || text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    if (!quoted)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QByteArray csvText(const CellTable &table)
{
    QString out;
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < table.colCount(); ++column) {
            if (column > 0)
                out += QLatin1Char(',');
            out += csvField(table.cell(column, row));
        }
        out += kLineEnd;
    }
    return out.toUtf8();
}

QString escapeHtml(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString htmlCellText(const QString &text)
{
    QString out = escapeHtml(text);
    out.replace(QLatin1Char('\r'), QLatin1String("<br>"));
    return out.isEmpty() ? QStringLiteral("<br>") : out;
}

QByteArray htmlText(const CellTable &table, const QString &headerColour)
{
    QStringList lines;
    lines << QStringLiteral("<table border=1>");
    for (int row = 0; row < table.rowCount(); ++row) {
        lines << QStringLiteral("<tr>");
        for (int column = 0; column < table.colCount(); ++column) {
            const QString text = htmlCellText(table.cell(column, row));
            if (row == 0)
                lines << QStringLiteral("<td nowrap BGCOLOR=\"#") + headerColour + QStringLiteral("\"><B>") + text
                        + QStringLiteral("</B></td>");
            else
                lines << QStringLiteral("<td nowrap>") + text + QStringLiteral("</td>");
        }
        lines << QStringLiteral("</tr>");
    }
    lines << QStringLiteral("</table><p>");
    return (lines.join(kLineEnd) + kLineEnd).toUtf8();
}

SaveResult writeTable(const CellTable &table, Format format, const QString &path, const QString &headerColour)
{
    const QByteArray bytes = format == Format::Csv ? csvText(table) : htmlText(table, headerColour);
    return saveFileAtomically(path, bytes, false);
}

} // namespace tableexport
