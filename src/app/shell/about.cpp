#include "about.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shellopener.h"
#include "shell/version.h"
#include "text/datehelpers.h"
#include "text/texthelpers.h"
#include "widgets/analogclock.h"
#include "widgets/windowplace.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kMargin = 12;
constexpr int kMinimumWidth = 420;

// A title drawn as an extrusion: the text repeated down and to the right in the shadow
// colour, then the text itself on top.
class ShadowLabel : public QLabel
{
public:
    ShadowLabel(const QString &text, QWidget *parent)
        : QLabel(text, parent)
    { }

    QSize sizeHint() const override { return QLabel::sizeHint() + QSize(kDepth, kDepth); }
    QSize minimumSizeHint() const override { return QLabel::minimumSizeHint() + QSize(kDepth, kDepth); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(font());
        const QRect area = contentsRect().adjusted(0, 0, -kDepth, -kDepth);
        p.setPen(QColor(0x70, 0x78, 0x88));
        for (int step = kDepth; step > 0; --step)
            p.drawText(area.translated(step, step), alignment(), text());
        p.setPen(QColor(0x1a, 0x3c, 0xb0));
        p.drawText(area, alignment(), text());
    }

private:
    static constexpr int kDepth = 3;
};

QLabel *makeLine(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText); // keeps both spaces after the question mark
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TfrmAbout::TfrmAbout(const Clock &clock, Dialogs &dialogs, ShellOpener &opener, QWidget *parent)
    : QDialog(parent)
    , m_clock(clock)
    , m_dialogs(dialogs)
    , m_opener(opener)
{
    setObjectName(QStringLiteral("TfrmAbout"));
    setWindowTitle(QStringLiteral("How to contact us"));

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("pnlAbout"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setAutoFillBackground(true);
    // The box has fixed colours of its own (gradient, blue title), so the panel does too:
    // a dark desktop theme would otherwise put the blue title on a dark face.
    QPalette face = panel->palette();
    face.setColor(QPalette::Window, QColor(0xf2, 0xf2, 0xee));
    face.setColor(QPalette::WindowText, QColor(0x1a, 0x1a, 0x1a));
    face.setColor(QPalette::Link, QColor(0x1a, 0x4f, 0xc0));
    face.setColor(QPalette::Light, QColor(0xff, 0xff, 0xff));
    face.setColor(QPalette::Dark, QColor(0x80, 0x80, 0x80));
    panel->setPalette(face);

    m_clockLeft = new AnalogClock(panel);
    m_clockLeft->setObjectName(QStringLiteral("clkLeft"));
    m_clockRight = new AnalogClock(panel);
    m_clockRight->setObjectName(QStringLiteral("clkRight"));

    auto *title = new ShadowLabel(QStringLiteral("Tallyday"), panel);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setTextFormat(Qt::PlainText);
    title->setAlignment(Qt::AlignCenter);
    QFont titleFont(QStringLiteral("Times New Roman"));
    titleFont.setPointSize(30);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    title->setFont(titleFont);

    QLabel *versionLine = makeLine(panel, "lblVersion", QStringLiteral("Version ") + version::kNumber);
    QFont versionFont = versionLine->font();
    versionFont.setBold(true);
    versionLine->setFont(versionFont);
    QLabel *maker = makeLine(panel, "lblMaker", QStringLiteral("Veltrane Corporation"));
    QLabel *latest
        = makeLine(panel, "lblLatest", QStringLiteral("Do you have the latest version?  Click the link to find out."));

    auto *link = new QLabel(panel);
    link->setObjectName(QStringLiteral("lblLink"));
    link->setTextFormat(Qt::RichText);
    link->setText(QStringLiteral("<a href=\"") + version::kHomePage + QStringLiteral("\">") + version::kHomePage
        + QStringLiteral("</a>"));
    link->setAlignment(Qt::AlignCenter);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setOpenExternalLinks(false); // opened through the shell opener, which reports failure
    connect(link, &QLabel::linkActivated, this, &TfrmAbout::lblLinkClick);

    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(10, 10, 10, 14);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    grid->addWidget(m_clockLeft, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(title, 0, 1, Qt::AlignCenter);
    grid->addWidget(m_clockRight, 0, 2, Qt::AlignRight | Qt::AlignTop);
    grid->setColumnStretch(1, 1);
    grid->addWidget(versionLine, 1, 0, 1, 3);
    grid->addWidget(maker, 2, 0, 1, 3);
    grid->setRowMinimumHeight(3, 14);
    grid->addWidget(latest, 4, 0, 1, 3);
    grid->addWidget(link, 5, 0, 1, 3);

    auto *closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("btClose"));
    closeButton->setDefault(true);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("tmClock"));
    m_timer->setInterval(kClockInterval);
    connect(m_timer, &QTimer::timeout, this, &TfrmAbout::tmClockTimer);

    // Fixed size from the contents, so that larger fonts never clip a line.
    const QSize panelSize = panel->sizeHint();
    const QSize buttonSize(std::max(closeButton->sizeHint().width(), 96), closeButton->sizeHint().height());
    const int width = std::max(kMinimumWidth, panelSize.width() + 2 * kMargin);
    const int height = kMargin + panelSize.height() + kMargin + buttonSize.height() + kMargin;
    setFixedSize(width, height);
    panel->setGeometry(kMargin, kMargin, width - 2 * kMargin, panelSize.height());
    closeButton->setGeometry((width - buttonSize.width()) / 2, height - kMargin - buttonSize.height(),
        buttonSize.width(), buttonSize.height());

    // Centred on the screen, not on the main window; placed now, QDialog does not place it
    // over its parent.
    windowplace::centreOnScreen(this, parent);

    tmClockTimer();
}

void TfrmAbout::tmClockTimer()
{
    const QTime now = m_clock.now().time();
    m_clockLeft->setTime(now);
    m_clockRight->setTime(now);
}

void TfrmAbout::lblLinkClick()
{
    if (!m_opener.open(version::kHomePage))
        showError(m_dialogs, QStringLiteral("Couldn't open web browser for home page"));
}

void TfrmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    tmClockTimer();
    m_timer->start();
}

void TfrmAbout::hideEvent(QHideEvent *event)
{
    m_timer->stop();
    QDialog::hideEvent(event);
}

void TfrmAbout::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0.0, QColor(0x1e, 0x5a, 0xe6));
    gradient.setColorAt(1.0, QColor(0x06, 0x10, 0x40));
    p.fillRect(rect(), gradient);
}
