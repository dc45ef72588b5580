#include "exportfile.h"

#include "platform/dialogs.h"
#include "platform/filedialogs.h"

bool exportTable(Dialogs &dialogs, FileDialogs &fileDialogs, const CellTable &table, tableexport::Format format)
{
    const tableexport::SaveDialog ask = tableexport::saveDialog(format);
    const std::optional<QString> path = fileDialogs.saveFile(ask.title, ask.initial, ask.filter, ask.defaultSuffix);
    if (!path || path->isEmpty())
        return false;
    // The desktop has no active-border colour to give the header cells.
    const SaveResult saved = tableexport::writeTable(table, format, *path);
    if (!saved)
        showError(dialogs, saved.message());
    return saved.ok;
}
