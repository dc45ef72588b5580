#pragma once

#include <QObject>

#include <functional>

#include "platform/dialogs.h"
#include "platform/services.h"

class CellTable;
class MainView;
class QWidget;
class TaskDocument;

// The handlers of the scheduling commands: the holiday list.
class ScheduleCommands : public QObject
{
    Q_OBJECT

public:
    ScheduleCommands(TaskDocument &document, const Services &services, MainView &view, QObject *parent = nullptr);
    ~ScheduleCommands() override;

    // Opens the holiday import over the document's rules, standing over `parent`: the
    // import dialog, modal, whose new rules become the document's. The holiday list's
    // "International" calls it.
    std::function<void(QWidget *parent)> openImport;

    // The rules of the holiday list or of the import become the document's, saved at once;
    // a failed save is reported (the document keeps the rules for its next save). Answers
    // whether they were saved.
    bool setHolidays(const CellTable &rules);

public Q_SLOTS:
    // The holiday list, modal. Afterwards the document reads "holiday.grd" again, and the
    // calendars repaint on its signal; not while the document holds rules that a failed
    // save could not write. A file that cannot be read then is kept aside and reported.
    // The list saves before the import, the import and the list's close save again: a save
    // that fails the same way each time is reported once.
    void Holidays1Click();

private:
    TaskDocument &m_document;
    MainView &m_view;
    OnceDialogs m_holidayDialogs; // the holiday list's and the import's, once per use
    Services m_holidayServices;
};
