#pragma once

#include <QDialog>
#include <QString>

#include <functional>

#include "store/celltable.h"
#include "store/todolist.h"

class Dialogs;
class GridView;
class QAction;
class QMenuBar;
class QPlainTextEdit;
class ShadowLabel;
class TaskDocument;

// The completed-task window, "Completed Tasks". It lives for the whole run and shows a copy
// of the document's log of completed tasks, taken again when it opens and whenever the
// document's log changes; the user's changes go to keepLog whenever the window closes.
//
// Shown modally by "View Completed Tasks". The list sorts by a header click; the boxes
// "WHAT" and "COMPLETION NOTES" under it show the selected entry and, once edited, are
// written back into it when either loses the focus. Menu "File": Print and Export (for
// the output commands to fill), Delete (Ctrl+Del, also "Delete row" on the list's
// context menu), Clear (Ctrl+Shift+Del) and Close.
class TfrmComplete : public QDialog
{
    Q_OBJECT

public:
    // `confirmDeletes` answers whether a delete is to be confirmed (the "Confirm" option).
    TfrmComplete(const TaskDocument &document, Dialogs &dialogs, std::function<bool()> confirmDeletes,
        QWidget *parent = nullptr);
    ~TfrmComplete() override;

    // The log as the window shows it, with the user's changes.
    const CellTable &log() const { return m_log; }
    GridView *grid() const { return m_grid; }

    // Takes the log as the window closes: makes it the document's and saves it, reporting
    // a failure.
    std::function<void(const CellTable &log)> keepLog;
    // The document's log changed (a completion, a restore): shows it again, unless it is
    // the one shown.
    void refresh();

    // The font of the list and the two boxes (the options' list font; 8-point "MS Sans
    // Serif" until one is given).
    void setListFont(const QFont &font);

    ShadowLabel *titleLabel() const { return m_title; }
    // The heading style of the main window's date label (font, shadow, text colour).
    void applyTitleStyle(const QFont &font, int shadowDepth, const QColor &textColour);

    // The output commands, disabled until something is connected to them.
    QAction *printAction() const { return m_print; }
    QAction *exportHtmlAction() const { return m_exportHtml; }
    QAction *exportCsvAction() const { return m_exportCsv; }

public Q_SLOTS:
    void Delete1Click();
    void Clear1Click();
    void Close1Click();
    // Writes the boxes back into the entry they show, when either was edited.
    void memWhatExit();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    QMenuBar *createMenuBar();
    void showBoxes();
    void layoutColumns();
    void listChanged(int selectRow);

    const TaskDocument &m_document;
    Dialogs &m_dialogs;
    std::function<bool()> m_confirmDeletes;
    CellTable m_log;
    int m_shownRow = -1; // the row the boxes show

    ShadowLabel *m_title;
    GridView *m_grid;
    QPlainTextEdit *m_memWhat;
    QPlainTextEdit *m_memNotes;
    QAction *m_print = nullptr;
    QAction *m_exportHtml = nullptr;
    QAction *m_exportCsv = nullptr;
};
