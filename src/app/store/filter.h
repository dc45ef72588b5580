#pragma once

#include <QDialog>
#include <QString>

#include <functional>

#include "store/taskstore.h"

class ColourPanel;
class Dialogs;
class Help;
class QCheckBox;
class QListWidget;
class QListWidgetItem;
class ShadowLabel;
class TaskDocument;

// The filter window, "Task Filters". It lives for the whole run and edits a copy of the
// document's filter: the known categories with their checks and the two switches for done
// and not-done tasks.
//
// Shown modally. OK confirms the filter (the checked categories are saved), emits
// filterConfirmed() and closes with the Accepted result; the close box (or Escape) keeps
// the checks in force without saving them. Every close saves the two switches. The window
// hands the filter to keepFilter for that; it changes nothing itself.
class TfrmFilter : public QDialog
{
    Q_OBJECT

public:
    TfrmFilter(const TaskDocument &document, Dialogs &dialogs, Help &help, QWidget *parent = nullptr);

    // Takes the filter as the window closes, and whether OK confirmed it: puts it in force,
    // saves the switches and, when confirmed, the checked categories, reporting failures.
    std::function<void(const FilterState &filter, bool confirmed)> keepFilter;

    const FilterState &filterState() const { return m_state; }

    // "Task Filters : On" while a filter is in force, else "Task Filters : Off".
    QString titleText() const;
    ShadowLabel *titleLabel() const { return m_title; }
    // The heading style the main window gives its headings (font, shadow, text colour).
    void applyTitleStyle(const QFont &font, int shadowDepth, const QColor &textColour);

    QListWidget *categoryList() const { return m_list; }

Q_SIGNALS:
    // OK was pressed: the filter changed for good, so the calendars and the day list are
    // to be drawn again.
    void filterConfirmed();

public Q_SLOTS:
    void btAllClick();
    void btNoneClick();
    void btHelpClick();
    void btOKClick();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    // The checks of the last confirmed selection (or all of them, without one) are set again.
    void FormShow();
    void fillList();
    void listItemChanged(QListWidgetItem *item);
    void switchesChanged();
    void updateTitle();
    void showDayColours();

    const TaskDocument &m_document;
    Dialogs &m_dialogs;
    Help &m_help;
    FilterState m_state;
    ShadowLabel *m_title;
    QListWidget *m_list;
    QCheckBox *m_cbDone;
    QCheckBox *m_cbNotDone;
    ColourPanel *m_pnlDone;
    ColourPanel *m_pnlNotDone;
    bool m_filling = false; // the list is being filled, not changed by the user
};

// A coloured panel with a caption that toggles a check box when clicked.
class ColourPanel : public QWidget
{
    Q_OBJECT

public:
    ColourPanel(const QString &text, const QColor &colour, QCheckBox *target, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    QColor textColour() const { return m_textColour; }
    QColor colour() const { return m_colour; }
    // The calendars' colours for the days it stands for.
    void setColours(const QColor &text, const QColor &background);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_text;
    QColor m_colour;
    QColor m_textColour;
    QCheckBox *m_target;
};
