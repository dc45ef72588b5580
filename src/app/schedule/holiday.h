#pragma once

#include <QDialog>
#include <QPoint>

#include <functional>

#include "platform/services.h"
#include "store/celltable.h"

class GridView;
class TaskDocument;

// The "Holidays" dialog: the list of holiday rules with Add, Edit, Delete, reordering by
// dragging a row and sorting by a header click. It edits a copy of the document's rules and
// hands it to keepRules on Close (also Escape) and before International; the window's close
// box hands nothing over.
class TfrmHoliday : public QDialog
{
    Q_OBJECT

public:
    TfrmHoliday(const TaskDocument &document, const Services &services, QWidget *parent = nullptr);
    ~TfrmHoliday() override;

    // The rules the list shows.
    const CellTable &rules() const { return m_rules; }
    GridView *grid() const { return m_grid; }
    // How the dialog's last hand-over of the rules went. After a failure the document holds
    // rules that "holiday.grd" lacks, until a later save succeeds (at the latest when the
    // program ends).
    enum class SaveState { NotSaved, Saved, Failed };
    SaveState saveState() const { return m_saveState; }

    // Makes the list's rules the document's, saved at once, reporting a failure; answers
    // whether they were saved.
    std::function<bool(const CellTable &rules)> keepRules;

    // Opens the holiday import over the document's rules, which hold the list's rules by
    // then; the list shows the document's rules again afterwards.
    std::function<void()> importHolidays;

public Q_SLOTS:
    void btAddClick();
    void btEditClick();
    void btDelClick();
    void btImportClick();
    void btPrintClick();
    void btHelpClick();
    void btCloseClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Hands the rules over (keepRules).
    void save();
    // The rules changed: shows them with `row` selected.
    void showRules(int row);
    int tableRowAt(QPoint pos) const;
    void endDrag(int dropRow);

    const TaskDocument &m_document;
    Services m_services;
    CellTable m_rules;
    SaveState m_saveState = SaveState::NotSaved;
    int m_dragRow = -1; // the rule row the left button went down on
    QPoint m_dragStart;
    bool m_dragging = false;

    GridView *m_grid;
};
