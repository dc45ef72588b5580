#pragma once

#include <QDate>
#include <QDialog>

#include "schedule/holidays.h"
#include "text/regional.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

// The "Edit Holiday" dialog: a rule's name, month, and either a day number or an ordinal
// weekday. Only the drop-downs of the chosen kind show. It edits the values it is given;
// the holiday list writes them into its rows.
class TfrmEditHoliday : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmEditHoliday(const RegionalSettings &regional, QWidget *parent = nullptr);

    // A new rule: no name, the month and day number of `today`, "First" and the first day
    // name, a specific day.
    void setAddMode(QDate today);
    // A rule of the list. A name longer than the 30 characters one may type is kept whole.
    // A month, ordinal or weekday text that equals no entry (in any
    // case) leaves its drop-down without a choice, shows the text in it grey, and stays as
    // it was unless the user chooses an entry; an unknown month offers days 1 to 31.
    void setEditMode(const holidays::RuleFields &rule);
    // The values as they stand.
    holidays::RuleFields fields() const;

public Q_SLOTS:
    // Refills the day numbers for the chosen month, keeping the chosen place (moved down to
    // the month's last day).
    void cbMonthChange();
    // Shows the drop-downs of the chosen kind.
    void rbKindClick();

private:
    // Chooses the entry equal to `text` in any case; none when there is no such entry,
    // leaving the text as a hint. Answers whether one was chosen.
    static bool chooseText(QComboBox *box, const QString &text);

    RegionalSettings m_regional;
    // The row's texts for drop-downs left without a choice.
    QString m_month;
    QString m_ordinal;
    QString m_weekday;

    QLineEdit *m_name;
    QComboBox *m_monthBox;
    QRadioButton *m_specific;
    QRadioButton *m_floating;
    QComboBox *m_day;
    QComboBox *m_ordinalBox;
    QComboBox *m_weekdayBox;
};
