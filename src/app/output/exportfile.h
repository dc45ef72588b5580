#pragma once

#include "output/tableexport.h"

class CellTable;
class Dialogs;
class FileDialogs;

// Asks for a file name in the export's save dialog and writes the table there. Cancelling
// writes nothing; a failed write is shown and leaves the old file as it was. Answers
// whether the file was written.
bool exportTable(Dialogs &dialogs, FileDialogs &fileDialogs, const CellTable &table, tableexport::Format format);
