#include "color.h"

#include "widgets/colours.h"
#include "widgets/monthcalendar.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <iterator>

namespace {

struct NamedColour
{
    const char *name;
    int red, green, blue;
};

// The sixteen colours every desktop palette has.
constexpr NamedColour kStandardColours[] = {
    { "Black", 0, 0, 0 },
    { "Maroon", 128, 0, 0 },
    { "Green", 0, 128, 0 },
    { "Olive", 128, 128, 0 },
    { "Navy", 0, 0, 128 },
    { "Purple", 128, 0, 128 },
    { "Teal", 0, 128, 128 },
    { "Gray", 128, 128, 128 },
    { "Silver", 192, 192, 192 },
    { "Red", 255, 0, 0 },
    { "Lime", 0, 255, 0 },
    { "Yellow", 255, 255, 0 },
    { "Blue", 0, 0, 255 },
    { "Fuchsia", 255, 0, 255 },
    { "Aqua", 0, 255, 255 },
    { "White", 255, 255, 255 },
};

// A swatch at one, two and three times its size, so it is sharp at any scale factor.
QIcon swatch(const QColor &colour, const QSize &size)
{
    QIcon icon;
    for (int ratio = 1; ratio <= 3; ++ratio) {
        QPixmap pixmap(size * ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setPen(QPen(QColor(128, 128, 128), ratio)); // grey: it shows on a light and a dark list
        painter.setBrush(colour);
        const qreal inset = ratio / 2.0;
        painter.drawRect(QRectF(QPointF(0, 0), QSizeF(size * ratio)).adjusted(inset, inset, -inset, -inset));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

ColourPicker::ColourPicker(QWidget *parent)
    : QComboBox(parent)
{
    setIconSize(QSize(24, 14));
    for (const NamedColour &c : kStandardColours) {
        const int number = colornumber::fromRgb(c.red, c.green, c.blue);
        addItem(swatch(colornumber::toColor(number), iconSize()), QLatin1String(c.name), number);
    }
    addItem(QStringLiteral("Other..."));
    setMaxVisibleItems(count() + 1);
    connect(this, &QComboBox::activated, this, &ColourPicker::chosen);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index != otherIndex()) {
            m_shown = index;
            Q_EMIT colourChanged(colour());
        }
    });
}

int ColourPicker::colour() const
{
    return itemData(m_shown).toInt();
}

void ColourPicker::setColour(int number)
{
    int index = findData(number);
    if (index < 0) {
        // A colour of its own gets one item before "Other...", replaced by the next one.
        const int custom = int(std::size(kStandardColours));
        if (otherIndex() == custom)
            insertItem(custom, QString());
        setItemIcon(custom, swatch(colornumber::toColor(number), iconSize()));
        setItemText(custom, QStringLiteral("Custom"));
        setItemData(custom, number);
        index = custom;
    }
    if (index == currentIndex()) {
        m_shown = index;
        Q_EMIT colourChanged(number);
    } else {
        setCurrentIndex(index);
    }
}

void ColourPicker::chosen(int index)
{
    if (index != otherIndex())
        return;
    const QColor picked = QColorDialog::getColor(colornumber::toColor(colour()), this, QStringLiteral("Other Color"));
    if (picked.isValid())
        setColour(colornumber::fromColor(picked));
    else
        setCurrentIndex(m_shown);
}

TfrmColor::TfrmColor(int foreground, int background, const RegionalSettings &regional, QDate month,
    Qt::DayOfWeek weekStart, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_sample(new MonthCalendar(this))
    , m_foreground(new ColourPicker(this))
    , m_background(new ColourPicker(this))
{
    setObjectName(QStringLiteral("TfrmColor"));
    setWindowTitle(QStringLiteral("Set Color"));

    m_sample->setObjectName(QStringLiteral("calSample"));
    m_sample->setRegionalSettings(regional);
    m_sample->setWeekStart(weekStart);
    m_sample->setDate(month);
    // Only a sample: no day stands out as selected, and it takes no clicks or keys.
    m_sample->setActive(false);
    m_sample->setFocusPolicy(Qt::NoFocus);
    m_sample->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_sample->setBevel(MonthCalendar::Bevel::Lowered);
    m_sample->setCellColourHook([this](QDate, int) {
        return CellColours { colornumber::toColor(this->foreground()), colornumber::toColor(this->background()) };
    });
    m_sample->setFixedSize(m_sample->sizeHint().expandedTo(QSize(210, 160)));

    m_foreground->setObjectName(QStringLiteral("cbForeGround"));
    m_background->setObjectName(QStringLiteral("cbBackGround"));
    m_foreground->setColour(foreground);
    m_background->setColour(background);
    connect(m_foreground, &ColourPicker::colourChanged, m_sample, qOverload<>(&QWidget::update));
    connect(m_background, &ColourPicker::colourChanged, m_sample, qOverload<>(&QWidget::update));

    auto *foreLabel = new QLabel(QStringLiteral("ForeGround"), this);
    foreLabel->setObjectName(QStringLiteral("lblForeGround"));
    foreLabel->setBuddy(m_foreground);
    auto *backLabel = new QLabel(QStringLiteral("BackGround"), this);
    backLabel->setObjectName(QStringLiteral("lblBackGround"));
    backLabel->setBuddy(m_background);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btOK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btCancel"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *pickers = new QVBoxLayout;
    pickers->addWidget(foreLabel);
    pickers->addWidget(m_foreground);
    pickers->addSpacing(8);
    pickers->addWidget(backLabel);
    pickers->addWidget(m_background);
    pickers->addStretch(1);

    auto *body = new QHBoxLayout;
    body->addWidget(m_sample);
    body->addSpacing(8);
    body->addLayout(pickers);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int TfrmColor::foreground() const
{
    return m_foreground->colour();
}

int TfrmColor::background() const
{
    return m_background->colour();
}
