#include "print.h"

#include "platform/dialogs.h"
#include "store/taskdocument.h"
#include "text/datevalue.h"
#include "widgets/datefield.h"
#include "widgets/shadowlabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template <class W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

TfrmPrint::TfrmPrint(TaskDocument &document, Dialogs &dialogs, QDate today, QWidget *parent)
    : QDialog(parent)
    , m_dialogs(dialogs)
    , m_today(today)
    , m_heading(named(new ShadowLabel(this), "lblHeading"))
    , m_rbAll(named(new QRadioButton(this), "rbAll"))
    , m_rbDate(named(new QRadioButton(this), "rbDate"))
    , m_pnlDate(named(new QWidget(this), "pnlDate"))
    , m_dt1(named(new DateField(document.regional(), m_pnlDate), "dt1"))
    , m_dt2(named(new DateField(document.regional(), m_pnlDate), "dt2"))
    , m_cbCat(named(new QCheckBox(QStringLiteral("Selected categories?"), this), "cbCat"))
    , m_cbCategory(named(new QComboBox(this), "cbCategory"))
    , m_cbDone(named(new QCheckBox(QStringLiteral("Done tasks?"), this), "cbDone"))
    , m_cbNotDone(named(new QCheckBox(QStringLiteral("Not Done tasks?"), this), "cbNotDone"))
    , m_cbNonDate(named(new QCheckBox(QStringLiteral("To-do tasks?"), this), "cbNonDate"))
{
    setObjectName(QStringLiteral("TfrmPrint"));
    m_heading->setAlignment(Qt::AlignCenter);
    m_heading->setFont(QFont(QStringLiteral("Times New Roman"), 16));

    m_rbAll->setChecked(true);
    connect(m_rbAll, &QRadioButton::toggled, this, &TfrmPrint::rbDateClick);
    connect(m_rbDate, &QRadioButton::toggled, this, &TfrmPrint::rbDateClick);
    for (DateField *field : { m_dt1, m_dt2 }) {
        field->setWeekStart(document.options().sunday ? Qt::Sunday : Qt::Monday);
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 40);
        field->setDate(today);
    }
    auto *dates = new QFormLayout(m_pnlDate);
    dates->setContentsMargins(20, 0, 0, 0);
    dates->addRow(QStringLiteral("From this date (inclusive)"), m_dt1);
    dates->addRow(QStringLiteral("Through date (inclusive)"), m_dt2);
    m_pnlDate->setVisible(false);

    // The user's categories with the second picked, when the user has a category file;
    // otherwise the program's four with none picked.
    const std::optional<QStringList> choices = document.categoryChoices();
    if (QFileInfo::exists(document.dataPath("category.xxx")) && choices) {
        m_cbCategory->addItems(*choices);
        m_cbCategory->setCurrentIndex(choices->size() > 1 ? 1 : -1);
    } else {
        m_cbCategory->addItems({ QStringLiteral("1 - High"), QStringLiteral("2 - Medium"), QStringLiteral("3 - Low"),
            QStringLiteral("4 - Don't Care") });
        m_cbCategory->setCurrentIndex(-1);
    }
    m_cbCategory->setVisible(false);
    connect(m_cbCat, &QCheckBox::toggled, this, &TfrmPrint::cbCatClick);
    m_cbDone->setChecked(true);
    m_cbNotDone->setChecked(true);
    m_cbNonDate->setChecked(true);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = named(buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), "btOK");
    QPushButton *cancel = named(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), "btCancel");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TfrmPrint::btOKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_rbAll);
    layout->addWidget(m_rbDate);
    layout->addWidget(m_pnlDate);
    layout->addSpacing(6);
    layout->addWidget(m_cbCat);
    layout->addWidget(m_cbCategory);
    layout->addWidget(m_cbDone);
    layout->addWidget(m_cbNotDone);
    layout->addWidget(m_cbNonDate);
    layout->addStretch(1);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMode(Mode::Print);
}

void TfrmPrint::setMode(Mode mode)
{
    m_mode = mode;
    const bool print = mode == Mode::Print;
    const QString caption = print ? QStringLiteral("Print tasks") : QStringLiteral("Clear tasks");
    setWindowTitle(caption);
    m_heading->setText(caption);
    m_rbAll->setText(print ? QStringLiteral("Print All tasks") : QStringLiteral("Clear All tasks"));
    m_rbDate->setText(print ? QStringLiteral("Print tasks within a range of dates")
                            : QStringLiteral("Clear tasks within a range of dates"));
}

bool TfrmPrint::run(Mode mode)
{
    setMode(mode);
    return exec() == QDialog::Accepted;
}

PrintSelection TfrmPrint::selection() const
{
    PrintSelection s;
    s.allDates = !m_rbDate->isChecked();
    s.firstDay = datevalue::dayNumber(m_dt1->date());
    s.lastDay = datevalue::dayNumber(m_dt2->date());
    s.selectedCategories = m_cbCat->isChecked();
    s.category = m_cbCategory->currentIndex() >= 0 ? m_cbCategory->currentText() : QString();
    s.done = m_cbDone->isChecked();
    s.notDone = m_cbNotDone->isChecked();
    s.todo = m_cbNonDate->isChecked();
    return s;
}

void TfrmPrint::setHeadingStyle(const QFont &font, const QColor &colour, int shadowDepth)
{
    m_heading->setFont(font);
    m_heading->setTextColour(colour);
    m_heading->setShadowDepth(shadowDepth);
}

void TfrmPrint::rbDateClick()
{
    m_pnlDate->setVisible(m_rbDate->isChecked());
}

void TfrmPrint::cbCatClick()
{
    m_cbCategory->setVisible(m_cbCat->isChecked());
}

void TfrmPrint::btOKClick()
{
    if (m_rbDate->isChecked()) {
        for (DateField *field : { m_dt1, m_dt2 }) {
            if (field->refuseUnread(m_dialogs, datevalue::fromDate(m_today)))
                return;
        }
    }
    const printselection::Refusal refusal = printselection::check(selection());
    if (refusal == printselection::Refusal::None) {
        accept();
        return;
    }
    showError(m_dialogs, printselection::refusalText(refusal));
    if (refusal == printselection::Refusal::NoKind)
        m_cbNotDone->setFocus();
    else
        m_dt2->setFocus();
}
