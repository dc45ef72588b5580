#pragma once

#include <QDialog>
#include <QString>

#include "store/taskstore.h"

class ColourPanel;
class Dialogs;
class QCheckBox;
class QListWidget;
class QListWidgetItem;
class SettingsStore;
class ShadowLabel;

// The filter window, "Task Filters". It lives for the whole run and holds the filter in
// force: the known categories with their checks (read from "category.xxx" once, at
// creation) and the two switches for done and not-done tasks (the settings
// "Filter"/"Done" and "Filter"/"NotDone"). The store's passesFilter and filtersOn read
// filterState().
//
// Shown modally. OK writes the checked categories to "category.yyy", emits
// filterConfirmed() and closes with the Accepted result; the close box (or Escape) keeps
// the checks in force without writing them. Every close writes the two switches.
class TfrmFilter : public QDialog
{
    Q_OBJECT

public:
    TfrmFilter(const QString &dataFolder, Dialogs &dialogs, SettingsStore &settings, QWidget *parent = nullptr);

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
    // The checks of "category.yyy" (or all of them, without the file) are set again.
    void FormShow();
    void fillList();
    void listItemChanged(QListWidgetItem *item);
    void switchesChanged();
    void updateTitle();
    QString filePath(const char *name) const;

    QString m_dataFolder;
    Dialogs &m_dialogs;
    SettingsStore &m_settings;
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
    QCheckBox *m_target;
};
