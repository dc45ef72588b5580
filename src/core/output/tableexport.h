#pragma once

#include <QByteArray>
#include <QString>

#include "store/safefile.h"

class CellTable;

// The comma-delimited and HTML forms of a whole table, header row first, and the save
// dialogs that choose where they go.
namespace tableexport {

enum class Format { Csv, Html };

// What a save dialog for an export shows.
struct SaveDialog
{
    QString title;
    QString initial; // default file name
    QString filter;
    QString defaultSuffix;
};
// `svTXT` and `svHTML`.
SaveDialog saveDialog(Format format);

// The HTML header cells' colour when the desktop names no active-border colour.
inline constexpr const char *kDefaultHeaderColour = "B4B4B4";

// One field as comma-delimited text: quoted when it holds a comma, a double quote, CR or
// LF (its quotes doubled), two double quotes when empty, else as it stands.
QString csvField(const QString &text);
// Every row as comma-delimited fields, each row ended by CR LF; UTF-8.
QByteArray csvText(const CellTable &table);

// User text made safe inside HTML: "&", "<", ">" and '"' become entities.
QString escapeHtml(const QString &text);
// A cell's text in the HTML table: escaped, each CR as "<br>" (LF stays), "<br>" when empty.
QString htmlCellText(const QString &text);
// The table as an HTML fragment, one line per tag as written, each ended by CR LF; UTF-8.
// `headerColour` is six hexadecimal digits, red first.
QByteArray htmlText(const CellTable &table, const QString &headerColour = QLatin1String(kDefaultHeaderColour));

// Writes the form of the table to `path` in one piece: a failed write leaves whatever
// was there before. No "NAME~" backup is kept of an export.
SaveResult writeTable(const CellTable &table, Format format, const QString &path,
    const QString &headerColour = QLatin1String(kDefaultHeaderColour));

} // namespace tableexport
