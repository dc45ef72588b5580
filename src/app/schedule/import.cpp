#include "import.h"

#include "platform/dialogs.h"
#include "schedule/catalogue.h"
#include "store/taskdocument.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

// The lines' second column stands on a tab stop of 60 dialog units (a quarter of the
// font's average character width each), past the widest display text.
constexpr int kTabStopDialogUnits = 60;

QString shownPart(const QString &line)
{
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    return tab < 0 ? line : line.left(tab);
}

QString namePart(const QString &line)
{
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    return tab < 0 ? QString() : line.mid(tab + 1);
}

} // namespace

// Draws an entry line, display text TAB name, as two columns.
class EntryLineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Where the names start, from the left of the text.
    void setNameColumn(int x) { m_nameColumn = x; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString line = opt.text;
        opt.text.clear();
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget)
                               .adjusted(textMargin(widget), 0, -textMargin(widget), 0);
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (opt.state & QStyle::State_Active)                                ? QPalette::Normal
                                                                                : QPalette::Inactive;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(
            group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
        QRect shown = text;
        shown.setRight(std::min(text.right(), text.left() + m_nameColumn - 1));
        painter->drawText(shown, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownPart(line));
        QRect name = text;
        name.setLeft(text.left() + m_nameColumn);
        painter->drawText(name, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
            opt.fontMetrics.elidedText(namePart(line), Qt::ElideRight, name.width()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QString name = namePart(index.data(Qt::DisplayRole).toString());
        size.setWidth(m_nameColumn + option.fontMetrics.horizontalAdvance(name) + 4 * textMargin(option.widget));
        return size;
    }

private:
    static int textMargin(const QWidget *widget)
    {
        const QStyle *style = widget ? widget->style() : QApplication::style();
        return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    }

    int m_nameColumn = 0;
};

TfrmImport::TfrmImport(const TaskDocument &document, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent)
    , m_document(document)
    , m_dialogs(dialogs)
    , m_grid(document.holidays())
    , m_countries(new QListWidget(this))
    , m_days(new QListWidget(this))
    , m_delegate(new EntryLineDelegate(m_days))
    , m_ok(new QPushButton(QStringLiteral("OK"), this))
    , m_close(new QPushButton(QStringLiteral("Close"), this))
{
    setObjectName(QStringLiteral("TfrmImport"));
    setWindowTitle(QStringLiteral("Import International Holidays"));

    m_countries->setObjectName(QStringLiteral("lbCountries"));
    m_countries->setSelectionMode(QAbstractItemView::SingleSelection);
    m_countries->addItems(catalogue::countries());
    // Keys move through the countries as a click does.
    connect(m_countries, &QListWidget::currentRowChanged, this, &TfrmImport::lbCountriesClick);
    const int countriesWidth = m_countries->sizeHintForColumn(0) + 2 * m_countries->frameWidth()
        + m_countries->verticalScrollBar()->sizeHint().width() + 8;
    m_countries->setMinimumWidth(countriesWidth);
    m_countries->setMaximumWidth(countriesWidth);
    // Tall enough to show every country at once, within reason for large fonts.
    const int countriesHeight = m_countries->sizeHintForRow(0) * m_countries->count() + 2 * m_countries->frameWidth();
    m_countries->setMinimumHeight(std::min(countriesHeight, 480));

    m_days->setObjectName(QStringLiteral("lbDays"));
    m_days->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_days->setItemDelegate(m_delegate);

    auto *countriesLabel = new QLabel(QStringLiteral("&Country:"), this);
    countriesLabel->setBuddy(m_countries);
    auto *daysLabel = new QLabel(QStringLiteral("&Holidays:"), this);
    daysLabel->setBuddy(m_days);
    auto *hint = new QLabel(QStringLiteral("Hint: Drag mouse or Ctrl-Click to select multiple entries"), this);
    hint->setObjectName(QStringLiteral("lblHint"));

    m_ok->setObjectName(QStringLiteral("btOK"));
    m_ok->setDefault(true);
    m_close->setObjectName(QStringLiteral("btClose"));
    connect(m_ok, &QPushButton::clicked, this, &TfrmImport::btOKClick);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_close);

    auto *layout = new QGridLayout(this);
    layout->addWidget(countriesLabel, 0, 0);
    layout->addWidget(daysLabel, 0, 1);
    layout->addWidget(m_countries, 1, 0);
    layout->addWidget(m_days, 1, 1);
    layout->addWidget(hint, 2, 1);
    layout->addLayout(buttons, 3, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);

    resize(620, sizeHint().height());
    FormShow();
}

TfrmImport::~TfrmImport() = default;

void TfrmImport::showEvent(QShowEvent *event)
{
    // The rules may have changed since the dialog was made; a modal dialog shows once.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TfrmImport::FormShow()
{
    m_grid = m_document.holidays();
    if (m_countries->currentRow() == 0)
        FillHolidays();
    else
        m_countries->setCurrentRow(0);
}

void TfrmImport::lbCountriesClick()
{
    FillHolidays();
}

void TfrmImport::FillHolidays()
{
    const QStringList lines = catalogue::countryLines(m_countries->currentRow(), m_document.regional());
    const QFontMetrics metrics = m_days->fontMetrics();
    static const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int tabStop
        = std::max(1, kTabStopDialogUnits * metrics.horizontalAdvance(alphabet) / int(alphabet.size()) / 4);
    int widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(shownPart(line)));
    const int gap = metrics.averageCharWidth();
    m_delegate->setNameColumn((widest + gap + tabStop - 1) / tabStop * tabStop);

    m_days->clear();
    for (const QString &line : lines) {
        auto *item = new QListWidgetItem(line, m_days);
        item->setToolTip(namePart(line));
    }
    m_days->scrollToTop();
}

void TfrmImport::btOKClick()
{
    QStringList lines;
    for (int row = 0; row < m_days->count(); ++row)
        if (m_days->item(row)->isSelected())
            lines << m_days->item(row)->text();
    if (lines.isEmpty()) {
        showError(m_dialogs, QStringLiteral("Nothing selected!  Click on holiday(s) above to select."));
        return;
    }
    for (const QString &line : lines)
        catalogue::addToGrid(m_grid, line, m_document.regional());
    accept();
}
