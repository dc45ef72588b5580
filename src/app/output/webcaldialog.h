#pragma once

#include <QDate>
#include <QDialog>

#include "output/webcal.h"

class Dialogs;
class FileDialogs;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SettingsStore;
class ShellOpener;
struct RegionalSettings;

// "Publish Monthly Calendar as Web Page": asks for a file name and writes the month's page
// there, then may open it in the browser. Created for one use; every button closes it. The
// file name and the details switch are kept in the settings whenever it closes with a name.
class TfrmWebCal : public QDialog
{
    Q_OBJECT

public:
    struct Context
    {
        SettingsStore &settings;
        Dialogs &dialogs;
        FileDialogs &fileDialogs;
        ShellOpener &opener;
        const RegionalSettings &regional;
        QDate month; // any day of the month to publish
        webcal::PageSource source;
        QString homePage; // the footer's link
    };

    explicit TfrmWebCal(Context context, QWidget *parent = nullptr);

    // The title takes the main window's date-heading font.
    void setTitleFont(const QFont &font);

    QString fileName() const;
    void setFileName(const QString &name);
    bool details() const;
    void setDetails(bool on);

    // Writes the page to the file named in the field, replacing the file only when the
    // whole page is written. Answers whether it was; a failure has been shown.
    bool PublishIt(bool details);

public Q_SLOTS:
    void btPublishClick();
    void btLaunchClick();
    // Browse: a save dialog starting in the folder of the current name.
    void SpeedButton1Click();

protected:
    void done(int result) override;

private:
    void FormClose();

    Context m_context;
    QLabel *m_title;
    QLineEdit *m_edFile;
    QCheckBox *m_cbDetails;
};
