#include "edholiday.h"

#include "store/editflow.h"
#include "text/datehelpers.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QComboBox *makeList(const char *name, const QStringList &entries, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(entries);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

QPushButton *makeButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

TfrmEditHoliday::TfrmEditHoliday(const RegionalSettings &regional, QWidget *parent)
    : QDialog(parent)
    , m_regional(regional)
    , m_name(new QLineEdit(this))
    , m_monthBox(makeList("cbMonth", regional.monthNames, this))
    , m_specific(new QRadioButton(QStringLiteral("&Specific day of month"), this))
    , m_floating(new QRadioButton(QStringLiteral("&Floating day of month"), this))
    , m_day(makeList("cbDay", {}, this))
    , m_ordinalBox(makeList("cbOrdinal", holidays::ordinalNames(), this))
    , m_weekdayBox(makeList("cbWeekday", regional.dayNames, this))
{
    setObjectName(QStringLiteral("TfrmEditHoliday"));
    setWindowTitle(QStringLiteral("Edit Holiday"));

    m_name->setObjectName(QStringLiteral("edName"));
    m_name->setMaxLength(holidays::kNameLength);
    // Wide enough to show a whole name of ordinary letters.
    m_name->setMinimumWidth(
        m_name->fontMetrics().horizontalAdvance(QString(holidays::kNameLength, QLatin1Char('n'))) + 12);
    auto *nameLabel = new QLabel(QStringLiteral("&Holiday name"), this);
    nameLabel->setBuddy(m_name);
    auto *monthLabel = new QLabel(QStringLiteral("&Month"), this);
    monthLabel->setBuddy(m_monthBox);

    m_specific->setObjectName(QStringLiteral("rbSpecific"));
    m_floating->setObjectName(QStringLiteral("rbFloating"));
    m_specific->setChecked(true);

    // Each kind's drop-downs stand beside its button and show only while it is chosen;
    // their place is kept, so the dialog does not change size.
    for (QComboBox *box : { m_day, m_ordinalBox, m_weekdayBox }) {
        QSizePolicy policy = box->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        box->setSizePolicy(policy);
    }
    auto *floatingBoxes = new QHBoxLayout;
    floatingBoxes->addWidget(m_ordinalBox);
    floatingBoxes->addWidget(m_weekdayBox);
    floatingBoxes->addStretch(1);

    // One column of labels and buttons, one of fields.
    auto *fields = new QGridLayout;
    fields->addWidget(nameLabel, 0, 0);
    fields->addWidget(m_name, 0, 1);
    fields->addWidget(monthLabel, 1, 0);
    fields->addWidget(m_monthBox, 1, 1, Qt::AlignLeft);
    fields->addWidget(m_specific, 2, 0);
    fields->addWidget(m_day, 2, 1, Qt::AlignLeft);
    fields->addWidget(m_floating, 3, 0);
    fields->addLayout(floatingBoxes, 3, 1);
    fields->setColumnStretch(1, 1);
    fields->setVerticalSpacing(8);

    QPushButton *ok = makeButton(QStringLiteral("OK"), "btOK", this);
    QPushButton *cancel = makeButton(QStringLiteral("Cancel"), "btCancel", this);
    ok->setDefault(true);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A rule without a name marks no day: OK waits for one.
    auto nameGiven = [this, ok] { ok->setEnabled(!editflow::cleanLine(m_name->text()).trimmed().isEmpty()); };
    connect(m_name, &QLineEdit::textChanged, ok, nameGiven);
    nameGiven();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_monthBox, &QComboBox::currentIndexChanged, this, &TfrmEditHoliday::cbMonthChange);
    connect(m_specific, &QRadioButton::toggled, this, &TfrmEditHoliday::rbKindClick);
    cbMonthChange();
    rbKindClick();
}

void TfrmEditHoliday::setAddMode(QDate today)
{
    m_month.clear();
    m_ordinal.clear();
    m_weekday.clear();
    m_name->clear();
    m_monthBox->setCurrentIndex(today.isValid() ? today.month() - 1 : 0);
    m_day->setCurrentIndex(today.isValid() ? std::min(today.day(), m_day->count()) - 1 : 0);
    m_ordinalBox->setCurrentIndex(0);
    m_weekdayBox->setCurrentIndex(0);
    m_specific->setChecked(true);
    m_name->setFocus();
}

void TfrmEditHoliday::setEditMode(const holidays::RuleFields &rule)
{
    // A longer name (the import writes them) is shown whole rather than cut: the limit is
    // for typing.
    m_name->setMaxLength(std::max(holidays::kNameLength, int(rule.name.size())));
    m_name->setText(rule.name);
    m_month = chooseText(m_monthBox, rule.month) ? QString() : rule.month;
    cbMonthChange();
    if (rule.floating) {
        m_day->setCurrentIndex(0);
        m_ordinal = chooseText(m_ordinalBox, rule.ordinal) ? QString() : rule.ordinal;
        m_weekday = chooseText(m_weekdayBox, rule.weekday) ? QString() : rule.weekday;
        m_floating->setChecked(true);
    } else {
        // The first day for a number below 1; a day the list lacks (only a file edited by
        // other means has one) becomes its last.
        m_day->setCurrentIndex(std::clamp(rule.day, 1, m_day->count()) - 1);
        m_ordinal.clear();
        m_weekday.clear();
        m_ordinalBox->setCurrentIndex(0);
        m_weekdayBox->setCurrentIndex(0);
        m_specific->setChecked(true);
    }
    m_name->setFocus();
}

holidays::RuleFields TfrmEditHoliday::fields() const
{
    auto chosen = [](const QComboBox *box, const QString &kept) {
        return box->currentIndex() >= 0 ? box->currentText() : kept;
    };
    holidays::RuleFields rule;
    rule.name = editflow::cleanLine(m_name->text()); // a pasted line break or control character
    rule.month = chosen(m_monthBox, m_month);
    rule.floating = m_floating->isChecked();
    if (rule.floating) {
        rule.day = 0;
        rule.ordinal = chosen(m_ordinalBox, m_ordinal);
        rule.weekday = chosen(m_weekdayBox, m_weekday);
    } else {
        rule.day = std::max(m_day->currentIndex(), 0) + 1;
    }
    return rule;
}

void TfrmEditHoliday::cbMonthChange()
{
    const int days = holidays::offeredDays(m_monthBox->currentIndex() + 1);
    const int index = std::max(m_day->currentIndex(), 0);
    if (m_day->count() == days)
        return;
    QStringList numbers;
    for (int day = 1; day <= days; ++day)
        numbers << QString::number(day);
    m_day->clear();
    m_day->addItems(numbers);
    m_day->setCurrentIndex(std::min(index, days - 1));
}

void TfrmEditHoliday::rbKindClick()
{
    const bool floating = m_floating->isChecked();
    m_day->setVisible(!floating);
    m_ordinalBox->setVisible(floating);
    m_weekdayBox->setVisible(floating);
}

bool TfrmEditHoliday::chooseText(QComboBox *box, const QString &text)
{
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
            box->setCurrentIndex(i);
            box->setPlaceholderText(QString());
            return true;
        }
    }
    box->setPlaceholderText(text);
    box->setCurrentIndex(-1);
    return false;
}
