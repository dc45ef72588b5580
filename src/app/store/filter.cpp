#include "filter.h"

#include "platform/dialogs.h"
#include "platform/help.h"
#include "store/categories.h"
#include "store/taskdocument.h"
#include "widgets/colours.h"
#include "widgets/shadowlabel.h"
#include "widgets/windowplace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QStyleOption>
#include <QVBoxLayout>
#include <qdrawutil.h>

namespace {

QPushButton *makeButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

ColourPanel::ColourPanel(const QString &text, const QColor &colour, QCheckBox *target, QWidget *parent)
    : QWidget(parent)
    , m_text(text)
    , m_colour(colour)
    , m_textColour(qGray(colour.rgb()) > 128 ? QColor(Qt::black) : QColor(Qt::white))
    , m_target(target)
{
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ColourPanel::setColours(const QColor &text, const QColor &background)
{
    m_textColour = text;
    m_colour = background;
    update();
}

QSize ColourPanel::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    QString plain = m_text;
    plain.remove(QLatin1Char('&'));
    return QSize(fm.horizontalAdvance(plain) + 24, fm.height() + 12);
}

void ColourPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QBrush fill(m_colour);
    qDrawShadePanel(&painter, rect(), palette(), false, 2, &fill);
    painter.setPen(m_textColour);
    // The underlined letter is the check box's key; the panel takes no key of its own, so
    // the two never compete for it.
    style()->drawItemText(&painter, rect(), Qt::AlignCenter | Qt::TextShowMnemonic, palette(), true, m_text);
}

void ColourPanel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        if (m_target)
            m_target->toggle();
        Q_EMIT clicked();
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

TfrmFilter::TfrmFilter(const TaskDocument &document, Dialogs &dialogs, Help &help, QWidget *parent)
    : QDialog(parent)
    , m_document(document)
    , m_dialogs(dialogs)
    , m_help(help)
    , m_title(new ShadowLabel(this))
    , m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("TfrmFilter"));
    setWindowTitle(QStringLiteral("Task Filters"));

    m_title->setObjectName(QStringLiteral("lblTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    // The main window's heading style until it gives its own.
    applyTitleStyle(QFont(QStringLiteral("Times New Roman"), 20), 4, QColor(Qt::blue));

    auto *listLabel = new QLabel(QStringLiteral("&Categories"), this);
    listLabel->setObjectName(QStringLiteral("lblCategories"));
    listLabel->setBuddy(m_list);
    m_list->setObjectName(QStringLiteral("clbCategories"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_list, &QListWidget::itemChanged, this, &TfrmFilter::listItemChanged);

    QPushButton *all = makeButton(QStringLiteral("&All"), "btAll", this);
    QPushButton *none = makeButton(QStringLiteral("&None"), "btNone", this);
    connect(all, &QPushButton::clicked, this, &TfrmFilter::btAllClick);
    connect(none, &QPushButton::clicked, this, &TfrmFilter::btNoneClick);

    m_cbDone = new QCheckBox(QStringLiteral("&Done items"), this);
    m_cbDone->setObjectName(QStringLiteral("cbDone"));
    m_cbNotDone = new QCheckBox(QStringLiteral("   &Not done items"), this);
    m_cbNotDone->setObjectName(QStringLiteral("cbNotDone"));
    m_pnlDone = new ColourPanel(QStringLiteral("&Done Items"), QColor(Qt::cyan), m_cbDone, this);
    m_pnlDone->setObjectName(QStringLiteral("pnlDone"));
    m_pnlNotDone = new ColourPanel(QStringLiteral("&Not Done Items"), QColor(Qt::red), m_cbNotDone, this);
    m_pnlNotDone->setObjectName(QStringLiteral("pnlNotDone"));

    QPushButton *helpButton = makeButton(QStringLiteral("&Help"), "btHelp", this);
    QPushButton *ok = makeButton(QStringLiteral("OK"), "btOK", this);
    ok->setDefault(true);
    connect(helpButton, &QPushButton::clicked, this, &TfrmFilter::btHelpClick);
    connect(ok, &QPushButton::clicked, this, &TfrmFilter::btOKClick);

    // Left: the categories with All and None under them.
    auto *allNone = new QHBoxLayout;
    allNone->addWidget(all);
    allNone->addWidget(none);
    auto *left = new QVBoxLayout;
    left->addWidget(listLabel);
    left->addWidget(m_list, 1);
    left->addLayout(allNone);

    // Right: each switch beside its coloured panel.
    auto *switches = new QGridLayout;
    switches->addWidget(m_cbDone, 0, 0);
    switches->addWidget(m_pnlDone, 0, 1);
    switches->addWidget(m_cbNotDone, 1, 0);
    switches->addWidget(m_pnlNotDone, 1, 1);
    switches->setVerticalSpacing(10);
    auto *right = new QVBoxLayout;
    right->addSpacing(listLabel->sizeHint().height());
    right->addLayout(switches);
    right->addStretch(1);

    auto *body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addSpacing(8);
    body->addLayout(right);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(helpButton);
    buttons->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    // Creation: the filter as the document read it at start.
    m_state = m_document.filter();
    fillList();
    m_cbDone->setChecked(m_state.showDone);
    m_cbNotDone->setChecked(m_state.showNotDone);
    connect(m_cbDone, &QCheckBox::toggled, this, &TfrmFilter::switchesChanged);
    connect(m_cbNotDone, &QCheckBox::toggled, this, &TfrmFilter::switchesChanged);
    updateTitle();
    showDayColours();
    connect(&m_document, &TaskDocument::optionsChanged, this, &TfrmFilter::showDayColours);

    resize(430, 300);
}

void TfrmFilter::showDayColours()
{
    const Options &options = m_document.options();
    m_pnlDone->setColours(colornumber::toColor(options.doneColorFG), colornumber::toColor(options.doneColorBG));
    m_pnlNotDone->setColours(
        colornumber::toColor(options.notDoneColorFG), colornumber::toColor(options.notDoneColorBG));
}

QString TfrmFilter::titleText() const
{
    return filtersOn(m_state) ? QStringLiteral("Task Filters : On") : QStringLiteral("Task Filters : Off");
}

void TfrmFilter::applyTitleStyle(const QFont &font, int shadowDepth, const QColor &textColour)
{
    m_title->setFont(font);
    m_title->setShadowDepth(shadowDepth);
    m_title->setTextColour(textColour);
}

void TfrmFilter::fillList()
{
    m_filling = true;
    m_list->clear();
    for (const FilterCategory &category : std::as_const(m_state.categories)) {
        auto *item = new QListWidgetItem(category.name, m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(category.checked ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
}

void TfrmFilter::listItemChanged(QListWidgetItem *item)
{
    if (m_filling)
        return;
    const int row = m_list->row(item);
    if (row < 0 || row >= m_state.categories.size())
        return;
    m_state.categories[row].checked = item->checkState() == Qt::Checked;
    updateTitle();
}

void TfrmFilter::switchesChanged()
{
    m_state.showDone = m_cbDone->isChecked();
    m_state.showNotDone = m_cbNotDone->isChecked();
    updateTitle();
}

void TfrmFilter::updateTitle()
{
    m_title->setText(titleText());
}

void TfrmFilter::btAllClick()
{
    for (FilterCategory &category : m_state.categories)
        category.checked = true;
    fillList();
    updateTitle();
}

void TfrmFilter::btNoneClick()
{
    for (FilterCategory &category : m_state.categories)
        category.checked = false;
    fillList();
    updateTitle();
}

void TfrmFilter::btHelpClick()
{
    m_help.showTopic(200);
}

void TfrmFilter::btOKClick()
{
    accept();
}

void TfrmFilter::showEvent(QShowEvent *event)
{
    // Over the main window the first time, then where the user left it; placed here, the
    // dialog is not centred again by QDialog.
    if (!event->spontaneous())
        windowplace::placeForShow(this, parentWidget());
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmFilter::FormShow()
{
    recheckFilterCategories(m_state.categories, m_document.filterSelection());
    fillList();
    updateTitle();
}

void TfrmFilter::done(int result)
{
    // The checks are the filter in force, however the window closes.
    if (keepFilter)
        keepFilter(m_state, result == QDialog::Accepted);
    QDialog::done(result);
    if (result == QDialog::Accepted)
        Q_EMIT filterConfirmed();
}
