#pragma once

#include <QColor>
#include <QDate>
#include <QDialog>
#include <QFont>

#include <functional>
#include <optional>

#include "platform/services.h"
#include "schedule/recur.h"
#include "store/editflow.h"

class QAction;
class QCheckBox;
class QComboBox;
class DateField;
class QLabel;
class QMenu;
class MemoEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedLayout;
class TimeField;
class QToolButton;
class ShadowLabel;
class Speller;
class TaskDocument;

// The main window's date heading, which the editor's two headings copy.
struct HeadingStyle
{
    QFont font;
    QColor colour;
    int shadowDepth = 4;
};

// The task editor, "Edit Task": a task's time, category, alarm and notes on the main panel,
// its completion on the completion panel in the same place, and the bottom row. Created
// anew for every flow; it changes nothing itself: the task, its completion entry and the
// repeats the user chose go back to the flow that opened it, and the category choices to
// saveCategoryChoices as they change.
class TfrmEdit : public QDialog
{
    Q_OBJECT

public:
    // `selectedDay` is the main window's selected day (the day the task is on, the origin
    // date of a completion and where a reschedule starts).
    TfrmEdit(const TaskDocument &document, const Services &services, QDate selectedDay, const HeadingStyle &heading,
        QWidget *parent = nullptr);

    // Flow settings, given before the editor is shown.
    bool autoComplete = false;
    bool allowRepeat = false;
    bool allowReschedule = false;
    QString logDayText;
    // Gives the spell checker, loaded once and shared by every editor of the run.
    std::function<Speller &()> speller;
    // Keeps the drop-down's entries as the category choices, while the editor is open.
    std::function<void(const QStringList &choices)> saveCategoryChoices;

    void setTitle(const QString &title, bool past);
    // A to-do task has no time and no alarm.
    void hideTimeControls();
    // The task's values into the controls (edit and complete).
    void setTask(const editflow::TaskValues &task);
    // The controls' values: what OK hands back.
    editflow::TaskValues task() const;
    // The day the task is to be saved on: the selected day unless rescheduled.
    QDate rescheduleDate() const { return m_rescheduleDate; }
    // The completed-task log's new entry, when the task was marked as completed (OK).
    const std::optional<CompletedEntry> &completion() const { return m_completion; }
    // Tasks to add besides this one, once the editor has closed: the repeating event's
    // (the editor then ends with the cancel result, the task left as it was) or the quick
    // annual repeat's (with OK, the task saved too).
    const std::optional<recur::Recurrence> &repeats() const { return m_repeats; }
    // Add: Mark as Complete, Repeat and OK wait for the first typed character of the notes.
    void waitForNotes();

    static constexpr int kCategoryLength = editflow::kCategoryLength;
    static constexpr int kNotesLength = editflow::kNotesLength;
    static constexpr int kCompletionNotesLength = 255;

    bool IsMemoblank() const;

public Q_SLOTS:
    void btOKClick();
    void btCompleteClick();
    void btOK2Click();
    void btCancel2Click();
    void btCategoryClick();
    void btTimeClick();
    void btRescheduleClick();
    void Repeat1Click();
    void Repeatannuallyfor10years1Click();
    void btOriginClick();
    void btTodayClick();
    void spellCheckNotes();
    void spellCheckCompletion();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormShow();
    void FillCombo();
    void SaveCombo();
    void AddToCompleteGrid();
    bool refuseBlankNotes();
    // Refuses a time (and, on the completion panel, a date) that the text does not state.
    bool refuseUnreadTime();
    void notesEdited();
    QStringList comboEntries() const;
    // What the recurrence generator and the quick annual repeat copy.
    recur::TaskTemplate taskTemplate() const;

    const TaskDocument &m_document;
    Services m_services;
    HeadingStyle m_heading;
    QDate m_selectedDay;
    QDate m_rescheduleDate;
    bool m_timeHidden = false;
    bool m_shown = false;
    std::optional<CompletedEntry> m_completion;
    std::optional<recur::Recurrence> m_repeats;

    ShadowLabel *m_lblTitle;
    QLabel *m_lblTime;
    TimeField *m_dtTime;
    QToolButton *m_btTime;
    QComboBox *m_cbCategory;
    QCheckBox *m_cbAlarm;
    MemoEdit *m_memMain;
    QLabel *m_lblComplete;
    QCheckBox *m_cbDone;
    QWidget *m_pnlMain;
    QWidget *m_pnlComplete;
    QStackedLayout *m_panels;
    MemoEdit *m_memComplete;
    DateField *m_dtComplete;
    QPushButton *m_btOK2;
    QPushButton *m_btCancel2;
    QPushButton *m_btReschedule;
    QPushButton *m_btRepeat;
    QPushButton *m_btComplete;
    QPushButton *m_btOK;
    QPushButton *m_btCancel;
    QWidget *m_timeRow;
};
