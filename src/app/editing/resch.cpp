#include "resch.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "text/datehelpers.h"
#include "widgets/datefield.h"
#include "widgets/shadowlabel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmReschedule::TfrmReschedule(const Clock &clock, const RegionalSettings &regional, Dialogs &dialogs,
    const QColor &headingColour, int shadowDepth, Qt::DayOfWeek weekStart, QWidget *parent)
    : QDialog(parent)
    , m_clock(clock)
    , m_regional(regional)
    , m_dialogs(dialogs)
    , m_title(new ShadowLabel(QStringLiteral("Reschedule Task"), this))
    , m_date1(new DateField(regional, this))
    , m_lblDate2(new QLabel(this))
{
    setObjectName(QStringLiteral("TfrmReschedule"));
    setWindowTitle(QStringLiteral("Reschedule Task"));

    m_title->setObjectName(QStringLiteral("lblTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setFont(QFont(QStringLiteral("Times New Roman"), 18));
    m_title->setTextColour(headingColour);
    m_title->setShadowDepth(shadowDepth);

    auto *dateLabel = new QLabel(QStringLiteral("&Date"), this);
    dateLabel->setObjectName(QStringLiteral("lblDate"));
    dateLabel->setBuddy(m_date1);
    m_date1->setObjectName(QStringLiteral("date1"));
    m_date1->setWeekStart(weekStart);
    m_date1->setMinimumWidth(m_date1->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 40);
    connect(m_date1, &DateField::textChanged, this, &TfrmReschedule::date1Change);

    m_lblDate2->setObjectName(QStringLiteral("lblDate2"));
    m_lblDate2->setTextFormat(Qt::PlainText);
    // Room for the longest phrase, so the dialog never jumps as the label changes.
    m_lblDate2->setMinimumWidth(
        m_lblDate2->fontMetrics().horizontalAdvance(QStringLiteral("Wednesday : 11 yrs 11 mons ago")));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TfrmReschedule::btOKClick);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btCancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->addWidget(dateLabel, 0, 0);
    fields->addWidget(m_date1, 0, 1);
    fields->addWidget(m_lblDate2, 1, 1);
    fields->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addSpacing(4);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_date1->setFocus();
}

QDate TfrmReschedule::date() const
{
    return m_date1->date();
}

void TfrmReschedule::setDate(QDate day)
{
    m_date1->setDate(day);
    date1Change();
}

void TfrmReschedule::btOKClick()
{
    if (m_date1->refuseUnread(m_dialogs, m_clock.nowValue()))
        return;
    accept();
}

void TfrmReschedule::date1Change()
{
    const QDate day = m_date1->date();
    if (!day.isValid()) {
        m_lblDate2->clear();
        return;
    }
    const DateValue value = datevalue::fromDate(day);
    m_lblDate2->setText(formatDateValue(QStringLiteral("dddd"), value, m_regional) + QStringLiteral(" : ")
        + relativeDayText(value, m_clock.nowValue()));
}

void TfrmReschedule::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    date1Change();
    m_date1->lineEdit()->selectAll();
}
