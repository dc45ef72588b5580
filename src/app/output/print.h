#pragma once

#include <QDate>
#include <QDialog>

#include "output/printselection.h"

class DateField;
class Dialogs;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;
class ShadowLabel;
class TaskDocument;

// The selection dialog of printing and of "Clear all data": which dates, which kinds of task
// and which category. One dialog lives for the whole run, so its choices stay from one use to
// the next (and the "Daily Tasks" exports follow them); they are not saved.
class TfrmPrint : public QDialog
{
    Q_OBJECT

public:
    enum class Mode { Print, Clear };

    // `today` is the day both dates start on. The category list is read from the document
    // now, once.
    TfrmPrint(TaskDocument &document, Dialogs &dialogs, QDate today, QWidget *parent = nullptr);

    Mode mode() const { return m_mode; }
    // Sets the captions of the mode.
    void setMode(Mode mode);
    // Shows the dialog modally in the mode; answers whether OK closed it.
    bool run(Mode mode);

    // The choices as they stand in the controls.
    PrintSelection selection() const;

    // The heading takes the look of the main window's to-do heading.
    void setHeadingStyle(const QFont &font, const QColor &colour, int shadowDepth);
    ShadowLabel *heading() const { return m_heading; }

public Q_SLOTS:
    void rbDateClick();
    void cbCatClick();
    // Closes with OK when the choices make a selection; otherwise tells why and stays open.
    void btOKClick();

private:
    Dialogs &m_dialogs;
    QDate m_today; // the example of a refused date
    Mode m_mode = Mode::Print;
    ShadowLabel *m_heading;
    QRadioButton *m_rbAll;
    QRadioButton *m_rbDate;
    QWidget *m_pnlDate;
    DateField *m_dt1;
    DateField *m_dt2;
    QCheckBox *m_cbCat;
    QComboBox *m_cbCategory;
    QCheckBox *m_cbDone;
    QCheckBox *m_cbNotDone;
    QCheckBox *m_cbNonDate;
};
