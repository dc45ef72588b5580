#include "popupsummary.h"

#include "platform/clock.h"
#include "schedule/dayview.h"
#include "store/taskdocument.h"
#include "text/datehelpers.h"
#include "text/regional.h"
#include "widgets/colours.h"
#include "widgets/monthcalendar.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Lines of "time TAB text": the tab expanded, so the texts stand in one column.
class TabbedLines : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        const QString text = plain.text;
        plain.text.clear();
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        plain.widget->style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Text));
        QTextOption layout;
        layout.setTabStopDistance(option.fontMetrics.horizontalAdvance(QStringLiteral("00:00 PM ")));
        painter->drawText(QRectF(option.rect.adjusted(4, 0, -2, 0)), text, layout);
        painter->restore();
    }
};

} // namespace

PopupSummary::PopupSummary(TaskDocument &document, const Clock &clock, std::function<QRect()> area, QWidget *parent)
    : QFrame(parent)
    , m_document(document)
    , m_clock(clock)
    , m_area(std::move(area))
    , m_lblPopDate(new QLabel(this))
    , m_lblPopWhen(new QLabel(this))
    , m_lbPopup(new QListWidget(this))
{
    setObjectName(QStringLiteral("pnlPop"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);
    m_lblPopDate->setObjectName(QStringLiteral("lblPopDate"));
    m_lblPopWhen->setObjectName(QStringLiteral("lblPopWhen"));
    for (QLabel *label : { m_lblPopDate, m_lblPopWhen }) {
        label->setAlignment(Qt::AlignCenter);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
    }
    m_lbPopup->setObjectName(QStringLiteral("lbPopup"));
    m_lbPopup->setItemDelegate(new TabbedLines(m_lbPopup));
    m_lbPopup->setSelectionMode(QAbstractItemView::NoSelection);
    m_lbPopup->setFocusPolicy(Qt::NoFocus);
    hideOnMouseOver(m_lbPopup);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(m_lblPopDate);
    layout->addWidget(m_lblPopWhen);
    layout->addWidget(m_lbPopup, 1);
    hide();
}

void PopupSummary::watchCalendar(int index, MonthCalendar *calendar)
{
    while (m_calendars.size() <= index)
        m_calendars << nullptr;
    m_calendars[index] = calendar;
    calendar->setMouseTracking(true);
    calendar->installEventFilter(this);
}

void PopupSummary::hideOnMouseOver(QWidget *widget)
{
    // An item view reports moves from its viewport.
    if (auto *view = qobject_cast<QAbstractItemView *>(widget))
        widget = view->viewport();
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

bool PopupSummary::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        // Compared as objects: the watched widget need not be a calendar at all.
        const auto found = std::find_if(m_calendars.cbegin(), m_calendars.cend(),
            [watched](const MonthCalendar *calendar) { return calendar && calendar == watched; });
        const int index = found == m_calendars.cend() ? -1 : int(found - m_calendars.cbegin());
        if (index >= 0)
            cal2MouseMove(index, static_cast<QMouseEvent *>(event)->position().toPoint());
        else
            hide();
    }
    return QFrame::eventFilter(watched, event);
}

void PopupSummary::cal2MouseMove(int index, QPoint pos)
{
    if (!m_document.options().qPopup)
        return;
    const MonthCalendar *calendar = m_calendars.value(index);
    const int cell = calendar ? calendar->cellAt(pos) : 0;
    if (m_hover.move(index, cell > 0 ? cell : -1, pos, isVisible()))
        hide();
}

bool PopupSummary::tmPopupTimer(bool alarmShowing)
{
    if (!m_hover.tick(alarmShowing, m_document.options().qPopup))
        return false;
    if (m_hover.cell() >= 1)
        build();
    return isVisible();
}

void PopupSummary::build()
{
    const MonthCalendar *calendar = m_calendars.value(m_hover.calendar());
    if (!calendar)
        return;
    const QDate day = calendar->dateOfCell(m_hover.cell());
    if (!day.isValid())
        return;
    setGeometry(m_area());
    const RegionalSettings &regional = m_document.regional();
    const DateValue value = datevalue::fromDate(day);
    m_lblPopDate->setText(formatDateValue(QStringLiteral("dddddd"), value, regional));
    m_lblPopWhen->setText(relativeDayText(value, m_clock.nowValue()));
    const QString holiday = m_document.holidayName(day);
    QPalette pal = m_lbPopup->palette();
    const Options &options = m_document.options();
    pal.setColor(QPalette::Base,
        holiday.isEmpty() ? palette().color(QPalette::Button) : colornumber::toColor(options.holidayColorBG));
    pal.setColor(QPalette::Text,
        holiday.isEmpty() ? palette().color(QPalette::WindowText) : colornumber::toColor(options.holidayColorFG));
    m_lbPopup->setPalette(pal);
    m_lbPopup->clear();
    m_lbPopup->addItems(
        popup::summaryLines(m_document.store(), m_document.filter(), datevalue::dayNumber(day), holiday));
    if (m_lbPopup->count() > 1) {
        show();
        raise();
    } else {
        hide();
    }
}

QString PopupSummary::dateText() const
{
    return m_lblPopDate->text();
}

QString PopupSummary::whenText() const
{
    return m_lblPopWhen->text();
}
