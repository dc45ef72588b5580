#pragma once

#include <QObject>

#include <functional>

#include "platform/services.h"
#include "store/celltable.h"

class MainView;
class TaskDocument;
class TfrmPrint;
struct PrintSelection;
struct TablePrintSettings;

// The print, export and publish commands of the main window and "Clear all data", with the
// selection dialog they share (created here, kept for the run) and the print table it fills.
class OutputCommands : public QObject
{
    Q_OBJECT

public:
    // The look of the main window's headings, read when a command runs.
    struct Headings
    {
        std::function<QString()> dayText; // the date heading's text
        std::function<QFont()> todoFont;
        std::function<QColor()> todoColour;
        std::function<int()> todoShadowDepth;
    };

    OutputCommands(
        TaskDocument &document, const Services &services, MainView &view, Headings headings, QObject *parent = nullptr);
    ~OutputCommands() override;

    TfrmPrint *printDialog() const { return m_dialog; }
    // The selection of the dialog's last use (the "Daily Tasks" exports follow it).
    PrintSelection selection() const;
    const CellTable &gridPrint() const { return m_gridPrint; }

public Q_SLOTS:
    // Prints a selection of all tasks.
    void Print1Click();
    // Prints the to-do list.
    void Print2Click();
    // Prints the selected day's list under the date heading.
    void Print3Click();
    // Deletes a selection of tasks.
    void ClearAll1Click();

    // "Daily Tasks" exports: the print table, refilled with the dated tasks of the last
    // selection, as HTML and as comma-delimited text.
    void HTMLFormat3Click();
    void CommaDelimitedFormat1Click();
    // The to-do list as HTML and as comma-delimited text.
    void HTMLFormat4Click();
    void CommaDelimitedFormat2Click();
    // The lists' pop-up exports: the day list when it has the focus, else the to-do list.
    void HTMLFormat1Click();
    void CSVFormat1Click();

    // Publishes the selected day's month as a web page.
    void PublishCalendarasWebPage1Click();

private:
    bool runDialog(int mode);
    void exportDailyTasks(int format);
    const CellTable &focusedListTable() const;
    // The list font of the options, for the printed lists.
    TablePrintSettings withListFont(TablePrintSettings settings) const;

    TaskDocument &m_document;
    Services m_services;
    MainView &m_view;
    Headings m_headings;
    TfrmPrint *m_dialog;
    CellTable m_gridPrint;
};
