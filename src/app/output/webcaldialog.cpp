#include "webcaldialog.h"

#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "platform/shellopener.h"
#include "settings/settingsstore.h"
#include "store/safefile.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template <class W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The busy pointer while a page is written.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

TfrmWebCal::TfrmWebCal(Context context, QWidget *parent)
    : QDialog(parent)
    , m_context(std::move(context))
    , m_title(named(new QLabel(this), "lblTitle"))
    , m_edFile(named(new QLineEdit(this), "edFile"))
    , m_cbDetails(named(new QCheckBox(QStringLiteral("Include daily details with calendar?"), this), "cbDetails"))
{
    setObjectName(QStringLiteral("TfrmWebCal"));
    setWindowTitle(QStringLiteral("Publish Monthly Calendar as Web Page"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setText(webcal::publishTitle(m_context.month, m_context.regional));

    auto *nameLabel = new QLabel(QStringLiteral("&Name of output file (*.htm or *.html)"), this);
    nameLabel->setBuddy(m_edFile);
    auto *browse = named(new QToolButton(this), "SpeedButton1");
    browse->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    browse->setToolTip(QStringLiteral("Choose the file"));
    connect(browse, &QToolButton::clicked, this, &TfrmWebCal::SpeedButton1Click);
    m_edFile->setMinimumWidth(320);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *publish
        = named(buttons->addButton(QStringLiteral("&Publish"), QDialogButtonBox::AcceptRole), "btPublish");
    QPushButton *launch = named(
        buttons->addButton(QStringLiteral("Publish then launch &browser"), QDialogButtonBox::AcceptRole), "btLaunch");
    QPushButton *cancel = named(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), "btCancel");
    publish->setDefault(true);
    // Each button does its own work and closes the dialog itself.
    connect(publish, &QPushButton::clicked, this, &TfrmWebCal::btPublishClick);
    connect(launch, &QPushButton::clicked, this, &TfrmWebCal::btLaunchClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_edFile, 1);
    fileRow->addWidget(browse);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addSpacing(8);
    layout->addWidget(nameLabel);
    layout->addLayout(fileRow);
    layout->addWidget(m_cbDetails);
    layout->addSpacing(8);
    layout->addWidget(buttons);

    // FormCreate: the last use's choices.
    const WebCalSettings kept = readWebCalSettings(m_context.settings);
    m_edFile->setText(kept.lastFile);
    m_cbDetails->setChecked(kept.details);
}

void TfrmWebCal::setTitleFont(const QFont &font)
{
    m_title->setFont(font);
}

QString TfrmWebCal::fileName() const
{
    return m_edFile->text();
}

void TfrmWebCal::setFileName(const QString &name)
{
    m_edFile->setText(name);
}

bool TfrmWebCal::details() const
{
    return m_cbDetails->isChecked();
}

void TfrmWebCal::setDetails(bool on)
{
    m_cbDetails->setChecked(on);
}

bool TfrmWebCal::PublishIt(bool details)
{
    const QString path = fileName();
    if (path.trimmed().isEmpty()) { // blanks alone would name a file of blanks where the program started
        showError(m_context.dialogs, QStringLiteral("An HTML file has not been specified"));
        return false;
    }
    SaveResult saved;
    {
        const BusyCursor busy;
        const QStringList lines
            = webcal::pageLines(m_context.month, details, m_context.source, m_context.regional, m_context.homePage);
        saved = saveFileAtomically(path, webcal::pageBytes(lines), false);
    }
    if (!saved)
        showError(m_context.dialogs, saved.message());
    return saved.ok;
}

void TfrmWebCal::btPublishClick()
{
    PublishIt(details());
    accept();
}

void TfrmWebCal::btLaunchClick()
{
    if (PublishIt(details())) {
        const QString path = fileName();
        if (!m_context.opener.open(QFileInfo(path).absoluteFilePath()))
            showError(m_context.dialogs,
                QStringLiteral("Couldn't open web browser for ") + QLatin1Char('"') + path + QLatin1Char('"'));
    }
    accept();
}

void TfrmWebCal::SpeedButton1Click()
{
    const QString current = fileName();
    const QString initial = current.isEmpty() ? QStringLiteral("calendar.htm")
                                              : QFileInfo(current).absolutePath() + QStringLiteral("/calendar.htm");
    const std::optional<QString> chosen = m_context.fileDialogs.saveFile(QStringLiteral("Name of web page"), initial,
        QStringLiteral("HTM files|*.htm|HTML files|*.html|All files|*.*"), QStringLiteral("htm"));
    if (chosen)
        setFileName(*chosen);
}

void TfrmWebCal::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TfrmWebCal::FormClose()
{
    if (fileName().trimmed().isEmpty())
        return;
    const SaveResult saved = writeWebCalSettings(m_context.settings, { fileName(), details() });
    if (!saved)
        showError(m_context.dialogs, saved.message());
}
