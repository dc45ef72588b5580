#pragma once

#include <QFont>
#include <QWidget>

#include "widgets/memoedit.h"

class CellTable;
class Dialogs;
class GridView;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QToolBar;
class ShadowLabel;
class TaskDocument;

// The row font of both lists: with strike-out on, a row whose done cell contains "Yes" is
// exactly struck through and every other row has no style at all.
QFont gridNondayGetCellColor(const CellTable &table, int doneColumn, int row, const QFont &listFont, bool strikeOut);

// The right of the main window's upper area: the date heading, the selected day's tasks
// over the notes pane, and the day toolbar.
class DayPane : public QWidget
{
    Q_OBJECT

public:
    DayPane(TaskDocument &document, QToolBar *dayTools, QMenu *popup, QWidget *parent = nullptr);
    ~DayPane() override;

    ShadowLabel *heading() const { return m_lblDate; }
    GridView *list() const { return m_gridDay; }
    QPlainTextEdit *notes() const { return m_memWhat; }
    QSplitter *splitter() const { return m_splitDay; }

    // The day list was filled again: its first row is selected and its note shown.
    void refresh();
    // Shows the selected task's note, line by line, or hides the pane when it has none.
    void DrawExtraMemo();
    // An edited note goes back into its task and the day is written back.
    void memWhatExit();
    void ResizeGridDay();
    void setListLook(const QFont &font, int rowHeight);

Q_SIGNALS:
    void headingDoubleClicked();
    void listFocused();
    // The user changed the note of the task in the notes pane.
    void notesEdited(quint64 task, const QString &notes);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TaskDocument &m_document;
    ShadowLabel *m_lblDate;
    QSplitter *m_splitDay;
    GridView *m_gridDay;
    MemoEdit *m_memWhat;
    quint64 m_memoTask = 0; // the task whose note the notes pane shows
};

// The main window's lower area: the to-do heading, the to-do list and its toolbar.
class TodoPane : public QWidget
{
    Q_OBJECT

public:
    TodoPane(TaskDocument &document, QToolBar *todoTools, QMenu *popup, QWidget *parent = nullptr);
    ~TodoPane() override;

    ShadowLabel *heading() const { return m_esLabel1; }
    GridView *list() const { return m_gridNonday; }

    void refresh();
    void ResizeGridNonDay();
    void setListLook(const QFont &font, int rowHeight);

Q_SIGNALS:
    void listFocused();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TaskDocument &m_document;
    ShadowLabel *m_esLabel1;
    GridView *m_gridNonday;
};
