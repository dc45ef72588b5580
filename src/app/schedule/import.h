#pragma once

#include <QDialog>

#include "store/celltable.h"

class Dialogs;
class EntryLineDelegate;
class QListWidget;
class QPushButton;
class TaskDocument;

// "Import International Holidays": the user picks a country of the catalogue, selects some
// of its holidays, and OK puts a rule for each on top of a copy of the document's holiday
// rules, then ends the dialog with the OK result: grid() holds the new rules, for the
// caller to keep. Close (or Escape) ends it with the cancel result. The dialog itself
// writes nothing.
class TfrmImport : public QDialog
{
    Q_OBJECT

public:
    TfrmImport(const TaskDocument &document, Dialogs &dialogs, QWidget *parent = nullptr);
    ~TfrmImport() override;

    // The copy of the holiday rules that OK adds to: after OK, the new rules.
    const CellTable &grid() const { return m_grid; }

public Q_SLOTS:
    // The first country chosen and its holidays listed; the copy of the rules taken.
    void FormShow();
    // Another country chosen: its holidays replace the list.
    void lbCountriesClick();
    // Lists the chosen country's holidays, nothing selected.
    void FillHolidays();
    // The selected lines from the top down become rules on top of the copy, and the dialog
    // ends with OK; with nothing selected the user is told and the dialog stays.
    void btOKClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    const TaskDocument &m_document;
    Dialogs &m_dialogs;
    CellTable m_grid;

    QListWidget *m_countries;
    QListWidget *m_days;
    EntryLineDelegate *m_delegate;
    QPushButton *m_ok;
    QPushButton *m_close;
};
