#pragma once

#include <QDialog>
#include <QFont>
#include <QPushButton>

#include <functional>

#include "platform/services.h"
#include "settings/settingsstore.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class ShadowLabel;
class TaskDocument;

// A panel showing its caption in a text colour on a background colour; a click on it
// asks for new colours. Colours are colour numbers of the settings (0x00BBGGRR).
class ColourSample : public QWidget
{
    Q_OBJECT

public:
    ColourSample(const QString &text, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    int foreground() const { return m_foreground; }
    int background() const { return m_background; }
    void setColours(int foreground, int background);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_text;
    int m_foreground = 0;
    int m_background = 0;
};

// A button whose caption shows a font of the options: its face and style, and its size as
// far as the button's room allows. The room is fixed (a caption of up to 12 points), so a
// font chosen never changes the size of the dialog.
class FontButton : public QPushButton
{
public:
    FontButton(const QString &text, QWidget *parent);

    void setCaptionFont(const QFont &font);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitCaption();

    QFont m_captionFont;
};

// "Program Options": the appearance, the alarm and the start-up behaviour, on three pages.
// It lives for the whole run and its controls hold the user's choices for the run: a
// change takes effect at once or when the dialog closes (takeImmediateOptions,
// optionsAfterDialog), OK also saves every option, and after Cancel the controls keep what
// the user set, to be saved by a later OK. Changes that other commands make to the options
// meanwhile (the popup summary switch) show when the dialog opens again. The dialog changes
// nothing itself: its choices go to putInForce, setColourHolidays and saveOptions.
class TfrmOptions : public QDialog
{
    Q_OBJECT

public:
    TfrmOptions(const TaskDocument &document, const Services &services, QWidget *parent = nullptr);
    ~TfrmOptions() override;

    // The options the document is to hold in force now: the controls that act at once as
    // they change, and the options as the dialog closes.
    std::function<void(const Options &options)> putInForce;
    // The holiday colour box, as it changes.
    std::function<void(bool on)> setColourHolidays;
    // Saves the options and the log-on entry, the options also put in force; answers whether
    // everything was written (a failure has been reported).
    std::function<bool(const Options &options, bool runAtLogon)> saveOptions;

    // The options as the controls hold them.
    Options controlOptions() const;
    // The box "&Tallyday placed in system tray on reboot".
    bool runAtLogon() const;
    // The popup box, as the calendars' pop-up menu changes it (saved by SaveSettings). The
    // controls first take what changed elsewhere.
    void setPopup(bool on);
    // Has the Run value and then every option from the controls written (saveOptions).
    // False, after telling the user, when something could not be written.
    bool SaveSettings();

    ShadowLabel *titleLabel() const { return m_lblTitle; }
    QTabWidget *pages() const { return m_pages; }

public Q_SLOTS:
    void cbShadowClick();
    void cbPendingOnlyClick();
    void cbColorDoneClick();
    void pnlDoneClick();
    void pnlNotDoneClick();
    void pnlHolidayClick();
    void btCalFontClick();
    void btGridFontClick();
    void btHeaderClick();
    void edRowHeightChange();
    void btAlarmBrowseClick();
    void btTestClick();
    void btOKClick();
    void btHelpClick();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void FormCreate();
    void createPages();
    QWidget *createAppearancePage();
    QWidget *createAlarmPage();
    QWidget *createMiscPage();
    // Sets every control from `options`; the controls' handlers stay quiet meanwhile.
    void showOptions(const Options &options);
    void showTitleStyle();
    void showFonts();
    void FormShow();
    // The controls take what other commands changed in the options since the dialog last
    // set them.
    void adoptChanges();
    // Puts the controls that act at once into force.
    void applyImmediate();
    void chooseColours(ColourSample *panel, const QString &caption);
    // The font dialog for the font `font` of the button `button`; true when chosen.
    bool chooseFont(FontOption &font, const QPushButton *button);
    void playTestSound();
    void stopTestSound();

    const TaskDocument &m_document;
    Services m_services;

    Options m_base; // what the controls do not show ("FirstTime")
    Options m_inForce; // the document's options as this dialog last saw or set them
    FontOption m_calFont;
    FontOption m_gridFont;
    FontOption m_titleFont;
    bool m_loading = false;

    ShadowLabel *m_lblTitle = nullptr;
    QTabWidget *m_pages = nullptr;
    QCheckBox *m_cbShadow = nullptr;
    QCheckBox *m_cbPendingOnly = nullptr;
    QLabel *m_lblLikeThis = nullptr;
    QCheckBox *m_cbColorDone = nullptr;
    QCheckBox *m_cbColorNotDone = nullptr;
    QCheckBox *m_cbColorHoliday = nullptr;
    ColourSample *m_pnlDone = nullptr;
    ColourSample *m_pnlNotDone = nullptr;
    ColourSample *m_pnlHoliday = nullptr;
    QRadioButton *m_rbSunday = nullptr;
    QRadioButton *m_rbMonday = nullptr;
    FontButton *m_btGridFont = nullptr;
    FontButton *m_btCalFont = nullptr;
    FontButton *m_btHeader = nullptr;
    qreal m_buttonPointSize = 0; // "Header font" shows the heading font at this size
    QSpinBox *m_edRowHeight = nullptr;
    QCheckBox *m_cbPlayAlarm = nullptr;
    QCheckBox *m_cbRepeatAlarm = nullptr;
    QLineEdit *m_edAlarmPath = nullptr;
    QPushButton *m_btAlarmBrowse = nullptr;
    QPushButton *m_btTest = nullptr;
    QSpinBox *m_edAlarmMin = nullptr;
    QCheckBox *m_cbShowMissed = nullptr;
    QLineEdit *m_edCategory = nullptr;
    QCheckBox *m_cbConfirm = nullptr;
    QCheckBox *m_cbDragConfirm = nullptr;
    QCheckBox *m_cbAutoStart = nullptr;
    QCheckBox *m_cbRunAtLogon = nullptr;
    QCheckBox *m_cbPopup = nullptr;
};
