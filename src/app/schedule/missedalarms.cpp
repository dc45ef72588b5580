#include "missedalarms.h"

#include "text/datevalue.h"
#include "text/regional.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { TimeColumn = 0, DayColumn = 1, TaskColumn = 2 };
// The day of the alarm, kept on the row's first cell.
constexpr int kDayRole = Qt::UserRole;

} // namespace

TfrmMissed::TfrmMissed(const RegionalSettings &regional, QWidget *parent)
    : QDialog(parent)
    , m_regional(regional)
    , m_list(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("TfrmMissed"));
    setWindowTitle(QStringLiteral("Missed alarms"));
    auto *note = new QLabel(QStringLiteral("These alarms fell due while Tallyday was not running or the computer "
                                           "was asleep. Double-click one to go to its day."),
        this);
    note->setWordWrap(true);
    m_list->setObjectName(QStringLiteral("lvMissed"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({ QStringLiteral("Time"), QStringLiteral("Day"), QStringLiteral("Task") });
    m_list->header()->setStretchLastSection(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
        [this](QTreeWidgetItem *item) { Q_EMIT goToDay(item->data(TimeColumn, kDayRole).toDate()); });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btOK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(480, 260);
}

void TfrmMissed::addAlarms(const QList<alarms::DueAlarm> &missed)
{
    for (const alarms::DueAlarm &alarm : missed) {
        const QDate day = datevalue::toDate(DateValue(alarm.day));
        // The first line of a note is enough to know the task by.
        const QString what = alarm.what.section(QLatin1Char('\r'), 0, 0).section(QLatin1Char('\n'), 0, 0);
        auto *item = new QTreeWidgetItem(m_list,
            { alarm.time, formatDateValue(QStringLiteral("ddd ddddd"), DateValue(alarm.day), m_regional), what });
        item->setData(TimeColumn, kDayRole, day);
    }
    for (const int column : { TimeColumn, DayColumn })
        m_list->resizeColumnToContents(column);
}

int TfrmMissed::count() const
{
    return m_list->topLevelItemCount();
}
