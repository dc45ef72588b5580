#pragma once

class Dialogs;
class QDateTime;
class TaskDocument;

// Putting every table on disk as the program closes, or as the session manager asks.
namespace closing {

struct Outcome
{
    bool close = true; // false: the user cancelled the close
    bool lost = false; // changes could be kept nowhere (nobody was there to ask)
};

// Saves every table. Where a save fails, the user is asked Retry, Quit anyway or Cancel;
// with nobody to ask (`unattended`), what could not be saved is kept beside the data or in
// the state folder, and what neither takes is lost and logged.
Outcome saveTables(TaskDocument &document, Dialogs &dialogs, const QDateTime &now, bool unattended);

} // namespace closing
