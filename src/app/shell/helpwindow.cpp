#include "helpwindow.h"

#include "shell/resources.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPalette>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton *makeButton(QWidget *parent, const char *name, const QString &text, QStyle::StandardPixmap icon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

} // namespace

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    initAppResources();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Tallyday Help"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tallyday.png")));

    auto *contents = makeButton(this, "btContents", QStringLiteral("&Contents"), QStyle::SP_DirHomeIcon);
    m_back = makeButton(this, "btBack", QStringLiteral("&Back"), QStyle::SP_ArrowBack);
    m_forward = makeButton(this, "btForward", QStringLiteral("&Forward"), QStyle::SP_ArrowForward);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("browser"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setFrameShape(QFrame::NoFrame);
    m_browser->document()->setDocumentMargin(14);
    // The pages carry their own colours, so they are always shown on a light page, like
    // paper, whatever the desktop theme.
    QPalette paper = m_browser->palette();
    paper.setColor(QPalette::Base, Qt::white);
    paper.setColor(QPalette::Text, QColor(0x1a, 0x1a, 0x2a));
    paper.setColor(QPalette::Link, QColor(0x1a, 0x4f, 0xc0));
    paper.setColor(QPalette::LinkVisited, QColor(0x5a, 0x3a, 0xa0));
    m_browser->setPalette(paper);
    QFile css(QStringLiteral(":/help/help.css"));
    if (css.open(QIODevice::ReadOnly))
        m_browser->document()->setDefaultStyleSheet(QString::fromUtf8(css.readAll()));

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 4, 4, 4);
    buttons->addWidget(contents);
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    connect(contents, &QToolButton::clicked, this, [this] { openTopic(100); });
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::historyChanged, this, &HelpWindow::updateButtons);
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    resize(680, 600);
    updateButtons();
}

QUrl HelpWindow::topicUrl(int topic)
{
    switch (topic) {
    case 200:
        return QUrl(QStringLiteral("qrc:/help/filters.html"));
    case 300:
        return QUrl(QStringLiteral("qrc:/help/holidays.html"));
    case 400:
        return QUrl(QStringLiteral("qrc:/help/options.html"));
    default:
        return QUrl(QStringLiteral("qrc:/help/main.html"));
    }
}

void HelpWindow::openTopic(int topic)
{
    m_browser->setSource(topicUrl(topic));
}

void HelpWindow::updateButtons()
{
    m_back->setEnabled(m_browser->isBackwardAvailable());
    m_forward->setEnabled(m_browser->isForwardAvailable());
}
