#pragma once

#include <QDate>
#include <QDialog>

#include "schedule/recur.h"

class Clock;
class DateField;
class DayGrid;
class Dialogs;
class PreviewDelegate;
class PreviewModel;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QListView;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class TaskDocument;

// The recurrence generator ("Repeating event"): a range, one of five repetition rules and
// a preview of the dates the rule gives, from which the user may strike dates. OK, once
// confirmed, ends the dialog with the OK result and recurrence() holds the template's task
// on every date left, for the caller to add; Cancel or closing the window ends it with the
// cancel result. The dialog itself adds nothing.
class TfrmRecur : public QDialog
{
    Q_OBJECT

public:
    TfrmRecur(const TaskDocument &document, Dialogs &dialogs, const Clock &clock, QWidget *parent = nullptr);
    ~TfrmRecur() override;

    // The task every date becomes, and the first date of the range (the end is 30 days on).
    void init(const recur::TaskTemplate &task, QDate firstDate);

    // The rule of the chosen kind, with the settings of its panel.
    recur::Rule rule() const;
    // The dates listed, top to bottom.
    QList<QDate> previewDates() const;
    // What OK chose: the task and the dates listed.
    recur::Recurrence recurrence() const;

    // How many lines the preview list takes (recur::kPreviewCapacity unless changed).
    void setPreviewCapacity(qsizetype capacity) { m_capacity = capacity; }

public Q_SLOTS:
    // One preview run: the rule's dates in the range replace the list.
    void btPreviewClick();
    // Empties the list.
    void btResetClick();
    // Strikes the selected dates from the list.
    void btDeleteClick();
    // Asks, then closes with OK: the listed dates are chosen.
    void btOKClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildRangeBox();
    QWidget *buildRuleBox();
    QWidget *buildPreviewBox();
    void updateDayCount();
    void showCount();
    void updateButtons();
    void fourthOrLastTicked(QCheckBox *ticked, QCheckBox *other);

    const TaskDocument &m_document;
    Dialogs &m_dialogs;
    const Clock &m_clock;
    recur::TaskTemplate m_task;
    QString m_pattern; // the preview's date pattern
    qsizetype m_capacity = recur::kPreviewCapacity;

    DateField *m_date1;
    DateField *m_date2;
    QLabel *m_days;
    QButtonGroup *m_kinds;
    QStackedWidget *m_panels;
    // Spin boxes and check boxes, by kind.
    QSpinBox *m_everyWeekOfMonth = nullptr;
    QSpinBox *m_everyDaysOfMonth = nullptr;
    QSpinBox *m_everyWeekly = nullptr;
    QSpinBox *m_everyDaily = nullptr;
    QList<QCheckBox *> m_ordinals; // 1st, 2nd, 3rd, 4th, Last
    QList<QCheckBox *> m_monthWeekdays; // Sunday first
    QList<QCheckBox *> m_weeklyWeekdays; // Sunday first
    QCheckBox *m_monthAvoidSaturdays = nullptr;
    QCheckBox *m_monthAvoidSundays = nullptr;
    QCheckBox *m_dailyAvoidSaturdays = nullptr;
    QCheckBox *m_dailyAvoidSundays = nullptr;
    DayGrid *m_grid = nullptr;

    PreviewModel *m_model;
    PreviewDelegate *m_delegate;
    QListView *m_list;
    QLabel *m_count;
    QPushButton *m_preview;
    QPushButton *m_reset;
    QPushButton *m_delete;
    QPushButton *m_ok;
};
