#include "recurdialog.h"

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "schedule/daygrid.h"
#include "store/taskdocument.h"
#include "text/regional.h"
#include "widgets/datefield.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

// The preview list's lines, each with the date it was made from: OK hands on the dates
// themselves, so a date pattern that does not read back (one cut at 25 characters, say)
// can never drop or shift a date.
class PreviewModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_lines.size()); }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DisplayRole && index.isValid() && index.row() < m_lines.size())
            return m_lines.at(index.row());
        return {};
    }

    void setLines(const QList<QDate> &dates, const QStringList &lines)
    {
        beginResetModel();
        m_dates = dates;
        m_lines = lines;
        endResetModel();
    }

    void clear() { setLines({}, {}); }

    // Removes the rows, given in any order, from the last to the first; a run of adjacent
    // rows goes at once.
    void removeRowSet(QList<int> rows)
    {
        std::sort(rows.begin(), rows.end(), std::greater<int>());
        for (qsizetype i = 0; i < rows.size();) {
            const int last = rows.at(i);
            int first = last;
            while (++i < rows.size() && rows.at(i) == first - 1)
                first = rows.at(i);
            beginRemoveRows({}, first, last);
            m_dates.remove(first, last - first + 1);
            m_lines.remove(first, last - first + 1);
            endRemoveRows();
        }
    }

    const QList<QDate> &dates() const { return m_dates; }

private:
    QList<QDate> m_dates;
    QStringList m_lines;
};

// Lays a preview line's three TAB-separated fields out in columns wide enough for any
// date of the pattern and any weekday name, whatever the font.
class PreviewDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Measures the columns for dates of `year` in `pattern`.
    void measure(const QFontMetrics &metrics, const QString &pattern, int year, const RegionalSettings &regional)
    {
        const int gap = metrics.horizontalAdvance(QStringLiteral("MM"));
        int date = 0;
        int day = 0;
        // Every month name and weekday name, with two-digit days.
        for (int month = 1; month <= 12; ++month)
            for (int d = 22; d <= 28; ++d) {
                const QDate sample(year, month, d);
                date = std::max(date,
                    metrics.horizontalAdvance(
                        formatQtPattern(pattern, QDateTime(sample, QTime(0, 0), Qt::UTC), regional)));
            }
        for (const QString &name : regional.shortDayNames)
            day = std::max(day, metrics.horizontalAdvance(name));
        m_dateWidth = date + gap;
        m_dayWidth = day + gap;
        m_phraseWidth = metrics.horizontalAdvance(QStringLiteral("10 yrs 11 mons ago")) + gap;
    }

    int lineWidth() const { return m_dateWidth + m_dayWidth + m_phraseWidth; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QStringList fields = item.text.split(QLatin1Char('\t'));
        item.text.clear();
        const QWidget *widget = item.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget); // background, selection, focus

        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
        const QPalette::ColorGroup group = (item.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        painter->save();
        painter->setPen(item.palette.color(
            group, (item.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
        const int widths[] = { m_dateWidth, m_dayWidth, text.width() };
        int x = text.left() + 2;
        for (int i = 0; i < 3 && i < fields.size(); ++i) {
            const QRect cell(x, text.top(), std::min(widths[i], text.right() - x), text.height());
            painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter,
                item.fontMetrics.elidedText(fields.at(i), Qt::ElideRight, cell.width()));
            x += widths[i];
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(lineWidth());
        return size;
    }

private:
    int m_dateWidth = 80;
    int m_dayWidth = 40;
    int m_phraseWidth = 120;
};

namespace {

constexpr const char *kDayNames[] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };

QPushButton *makeButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QCheckBox *makeCheck(const QString &text, const QString &name, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

// "E&very" [spin] unit: the interval row of a panel.
QSpinBox *addEveryRow(QVBoxLayout *layout, const char *name, int maximum, const QString &unit, QWidget *parent)
{
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(1, maximum);
    spin->setValue(1);
    auto *label = new QLabel(QStringLiteral("E&very"), parent);
    label->setBuddy(spin);
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(spin);
    row->addWidget(new QLabel(unit, parent));
    row->addStretch(1);
    layout->addLayout(row);
    return spin;
}

// Seven weekday boxes shown Monday first, answered Sunday first.
QList<QCheckBox *> addWeekdayBoxes(QGridLayout *grid, int row, const QString &prefix, QWidget *parent)
{
    QList<QCheckBox *> boxes(7, nullptr);
    for (int shown = 0; shown < 7; ++shown) {
        const int day = (shown + 1) % 7; // Monday first on screen
        boxes[day] = makeCheck(QLatin1String(kDayNames[day]), prefix + QLatin1String(kDayNames[day]), parent);
        grid->addWidget(boxes[day], row + shown / 4, shown % 4);
    }
    return boxes;
}

recur::Weekdays weekdaysOf(const QList<QCheckBox *> &boxes)
{
    recur::Weekdays days {};
    for (int day = 0; day < 7; ++day)
        days[size_t(day)] = boxes.at(day)->isChecked();
    return days;
}

} // namespace

TfrmRecur::TfrmRecur(const TaskDocument &document, Dialogs &dialogs, const Clock &clock, QWidget *parent)
    : QDialog(parent)
    , m_document(document)
    , m_dialogs(dialogs)
    , m_clock(clock)
    , m_pattern(recur::previewPattern(document.regional()))
    , m_model(new PreviewModel(this))
    , m_delegate(new PreviewDelegate(this))
{
    setObjectName(QStringLiteral("TfrmRecur"));
    setWindowTitle(QStringLiteral("Repeating event"));

    auto *left = new QVBoxLayout;
    left->addWidget(buildRangeBox());
    left->addWidget(buildRuleBox(), 1);

    auto *top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(buildPreviewBox(), 1);

    // Made last, so the tab order ends with the list's buttons, then OK and Cancel.
    m_count = new QLabel(QStringLiteral("Number of dates: "), this);
    m_count->setObjectName(QStringLiteral("Label12"));
    m_ok = makeButton(QStringLiteral("OK"), "btOK", this);
    m_ok->setEnabled(false);
    m_ok->setToolTip(QStringLiteral("Add multiple reminders"));
    QPushButton *cancel = makeButton(QStringLiteral("Cancel"), "btCancel", this);
    connect(m_ok, &QPushButton::clicked, this, &TfrmRecur::btOKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(m_ok);
    bottom->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    updateDayCount();
    resize(sizeHint().expandedTo(QSize(0, 460)));
}

TfrmRecur::~TfrmRecur() = default;

QWidget *TfrmRecur::buildRangeBox()
{
    auto *box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("gbRange"));
    auto makeDate = [&](const char *name) {
        auto *field = new DateField(m_document.regional(), box);
        field->setObjectName(QLatin1String(name));
        field->setWeekStart(m_document.options().sunday ? Qt::Sunday : Qt::Monday);
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 40);
        connect(field, &DateField::textChanged, this, &TfrmRecur::updateDayCount);
        return field;
    };
    m_date1 = makeDate("date1");
    m_date2 = makeDate("date2");
    auto *startLabel = new QLabel(QStringLiteral("&Start Date"), box);
    startLabel->setBuddy(m_date1);
    auto *endLabel = new QLabel(QStringLiteral("E&nd Date"), box);
    endLabel->setBuddy(m_date2);

    m_days = new QLabel(box);
    m_days->setObjectName(QStringLiteral("lblNdays"));
    m_days->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    QFont big = m_days->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    m_days->setFont(big);
    auto *daysWord = new QLabel(QStringLiteral("Days"), box);
    daysWord->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    auto *grid = new QGridLayout(box);
    grid->addWidget(startLabel, 0, 0);
    grid->addWidget(m_date1, 0, 1);
    grid->addWidget(endLabel, 1, 0);
    grid->addWidget(m_date2, 1, 1);
    grid->addWidget(m_days, 0, 2);
    grid->addWidget(daysWord, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(2, 60);
    return box;
}

QWidget *TfrmRecur::buildRuleBox()
{
    auto *box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("gbRule"));
    m_kinds = new QButtonGroup(this);
    m_panels = new QStackedWidget(box);
    m_panels->setObjectName(QStringLiteral("pnlRules"));

    auto *radios = new QVBoxLayout;
    auto addKind = [&](recur::Kind kind, const QString &caption, const char *radioName, const char *panelName) {
        auto *radio = new QRadioButton(caption, box);
        radio->setObjectName(QLatin1String(radioName));
        radios->addWidget(radio);
        m_kinds->addButton(radio, int(kind));
        auto *panel = new QWidget;
        panel->setObjectName(QLatin1String(panelName));
        m_panels->insertWidget(int(kind), panel);
        return panel;
    };
    // Panel indexes follow the kinds' values, added in that order.
    QWidget *weekOfMonth
        = addKind(recur::Kind::WeekOfMonth, QStringLiteral("&Week of Month"), "rbWeekOfMonth", "pnlWeekOfMonth");
    QWidget *daysOfMonth
        = addKind(recur::Kind::DaysOfMonth, QStringLiteral("Da&ys of Month"), "rbDaysOfMonth", "pnlDaysOfMonth");
    QWidget *weekly = addKind(recur::Kind::Weekly, QStringLiteral("W&eekly"), "rbWeekly", "pnlWeekly");
    QWidget *daily = addKind(recur::Kind::Daily, QStringLiteral("D&aily"), "rbDaily", "pnlDaily");
    QWidget *annually = addKind(recur::Kind::Annually, QStringLiteral("Annually"), "rbAnnually", "pnlAnnually");
    radios->addStretch(1);

    {
        auto *layout = new QVBoxLayout(weekOfMonth);
        m_everyWeekOfMonth = addEveryRow(layout, "seWeekOfMonth", 12, QStringLiteral("Months"), weekOfMonth);
        layout->addWidget(new QLabel(QStringLiteral("On the"), weekOfMonth));
        auto *ordinals = new QHBoxLayout;
        const char *const captions[] = { "1st", "2nd", "3rd", "4th", "Last" };
        for (const char *caption : captions) {
            m_ordinals << makeCheck(QLatin1String(caption), QStringLiteral("cb") + QLatin1String(caption), weekOfMonth);
            ordinals->addWidget(m_ordinals.last());
        }
        ordinals->addStretch(1);
        layout->addLayout(ordinals);
        layout->addWidget(new QLabel(QStringLiteral("On"), weekOfMonth));
        auto *days = new QGridLayout;
        m_monthWeekdays = addWeekdayBoxes(days, 0, QStringLiteral("cbMonth"), weekOfMonth);
        days->setColumnStretch(4, 1);
        layout->addLayout(days);
        layout->addStretch(1);
        // "4th" and "Last" exclude each other: the box ticked second is cleared again.
        QCheckBox *fourth = m_ordinals.at(recur::Fourth);
        QCheckBox *last = m_ordinals.at(recur::Last);
        connect(fourth, &QCheckBox::toggled, this, [this, fourth, last] { fourthOrLastTicked(fourth, last); });
        connect(last, &QCheckBox::toggled, this, [this, fourth, last] { fourthOrLastTicked(last, fourth); });
    }
    {
        auto *layout = new QVBoxLayout(daysOfMonth);
        m_everyDaysOfMonth = addEveryRow(layout, "seDaysOfMonth", 12, QStringLiteral("Months"), daysOfMonth);
        m_grid = new DayGrid(daysOfMonth);
        m_grid->setObjectName(QStringLiteral("sgMonth"));
        m_monthAvoidSaturdays
            = makeCheck(QStringLiteral("Avoid Saturdays?"), QStringLiteral("cbMonthAvoidSat"), daysOfMonth);
        m_monthAvoidSundays
            = makeCheck(QStringLiteral("Avoid Sundays?"), QStringLiteral("cbMonthAvoidSun"), daysOfMonth);
        auto *avoid = new QHBoxLayout;
        avoid->addWidget(m_monthAvoidSaturdays);
        avoid->addWidget(m_monthAvoidSundays);
        avoid->addStretch(1);
        layout->addWidget(m_grid);
        layout->addLayout(avoid);
        layout->addStretch(1);
    }
    {
        auto *layout = new QVBoxLayout(weekly);
        m_everyWeekly = addEveryRow(layout, "seWeekly", 52, QStringLiteral("Weeks"), weekly);
        auto *days = new QGridLayout;
        m_weeklyWeekdays = addWeekdayBoxes(days, 0, QStringLiteral("cbWeek"), weekly);
        days->setColumnStretch(4, 1);
        layout->addLayout(days);
        layout->addStretch(1);
    }
    {
        auto *layout = new QVBoxLayout(daily);
        m_everyDaily = addEveryRow(layout, "seDaily", 364, QStringLiteral("Days"), daily);
        m_dailyAvoidSaturdays = makeCheck(QStringLiteral("Avoid Saturdays?"), QStringLiteral("cbDailyAvoidSat"), daily);
        m_dailyAvoidSundays = makeCheck(QStringLiteral("Avoid Sundays?"), QStringLiteral("cbDailyAvoidSun"), daily);
        layout->addWidget(m_dailyAvoidSaturdays);
        layout->addWidget(m_dailyAvoidSundays);
        layout->addStretch(1);
    }
    {
        auto *layout = new QVBoxLayout(annually);
        auto *note = new QLabel(QStringLiteral("Events are scheduled annually on the starting date above"), annually);
        note->setWordWrap(true);
        layout->addWidget(note);
        layout->addStretch(1);
    }

    connect(m_kinds, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            m_panels->setCurrentIndex(id);
    });
    m_kinds->button(int(recur::Kind::WeekOfMonth))->setChecked(true);

    auto *layout = new QHBoxLayout(box);
    layout->addLayout(radios);
    layout->addWidget(m_panels, 1);
    return box;
}

QWidget *TfrmRecur::buildPreviewBox()
{
    auto *box = new QWidget(this);
    auto *heading = new QLabel(QStringLiteral("Preview of dates"), box);
    m_list = new QListView(box);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(m_delegate);
    m_delegate->measure(m_list->fontMetrics(), m_pattern, m_clock.now().date().year(), m_document.regional());
    // Wide enough for a line and the scroll bar: nothing is cut off or scrolled sideways.
    m_list->setMinimumWidth(m_delegate->lineWidth() + 2 * m_list->frameWidth()
        + m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every line has the same height: twenty years of dates list at once.
    m_list->setUniformItemSizes(true);
    m_list->setToolTip(QStringLiteral("Click and drag to select multiple dates to delete"));
    m_list->installEventFilter(this);
    heading->setBuddy(m_list);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TfrmRecur::updateButtons);

    m_preview = makeButton(QStringLiteral("&Preview Selection"), "btPreview", box);
    m_preview->setDefault(true);
    m_reset = makeButton(QStringLiteral("&Reset"), "btReset", box);
    m_delete = makeButton(QStringLiteral("&Delete"), "btDelete", box);
    m_delete->setEnabled(false);
    connect(m_preview, &QPushButton::clicked, this, &TfrmRecur::btPreviewClick);
    connect(m_reset, &QPushButton::clicked, this, &TfrmRecur::btResetClick);
    connect(m_delete, &QPushButton::clicked, this, &TfrmRecur::btDeleteClick);

    auto *note = new QLabel(QStringLiteral("Highlight multiple dates then click Delete to remove dates."), box);
    note->setWordWrap(true);
    // The note wraps within the buttons' column; the list takes the rest.
    note->setFixedWidth(m_preview->sizeHint().width());

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(note);
    buttons->addSpacing(8);
    buttons->addWidget(m_preview);
    buttons->addWidget(m_reset);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);

    auto *listColumn = new QVBoxLayout;
    listColumn->addWidget(heading);
    listColumn->addWidget(m_list, 1);

    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(listColumn, 1);
    layout->addLayout(buttons);
    return box;
}

void TfrmRecur::init(const recur::TaskTemplate &task, QDate firstDate)
{
    m_task = task;
    m_date1->setDate(firstDate);
    m_date2->setDate(firstDate.addDays(30));
    // A title bar shows one line: line breaks of the notes become spaces.
    QString what = task.what.left(35);
    what.replace(QLatin1String("\r\n"), QLatin1String(" "));
    what.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    setWindowTitle(QStringLiteral("Repeating event for ") + what + QStringLiteral("..."));
}

recur::Rule TfrmRecur::rule() const
{
    recur::Rule rule;
    rule.kind = recur::Kind(m_kinds->checkedId());
    switch (rule.kind) {
    case recur::Kind::WeekOfMonth:
        rule.interval = m_everyWeekOfMonth->value();
        for (int i = 0; i < m_ordinals.size(); ++i)
            rule.ordinals[size_t(i)] = m_ordinals.at(i)->isChecked();
        rule.weekdays = weekdaysOf(m_monthWeekdays);
        break;
    case recur::Kind::DaysOfMonth:
        rule.interval = m_everyDaysOfMonth->value();
        rule.days = m_grid->days();
        rule.avoidSaturdays = m_monthAvoidSaturdays->isChecked();
        rule.avoidSundays = m_monthAvoidSundays->isChecked();
        break;
    case recur::Kind::Weekly:
        rule.interval = m_everyWeekly->value();
        rule.weekdays = weekdaysOf(m_weeklyWeekdays);
        break;
    case recur::Kind::Daily:
        rule.interval = m_everyDaily->value();
        rule.avoidSaturdays = m_dailyAvoidSaturdays->isChecked();
        rule.avoidSundays = m_dailyAvoidSundays->isChecked();
        break;
    case recur::Kind::Annually:
        break;
    }
    return rule;
}

QList<QDate> TfrmRecur::previewDates() const
{
    return m_model->dates();
}

recur::Recurrence TfrmRecur::recurrence() const
{
    return { m_task, m_model->dates() };
}

void TfrmRecur::btPreviewClick()
{
    for (DateField *field : { m_date1, m_date2 }) {
        if (field->refuseUnread(m_dialogs, m_clock.nowValue()))
            return;
    }
    const QDate start = m_date1->date();
    const QDate end = m_date2->date();
    if (recur::rangeTooLong(start, end)) {
        showError(m_dialogs, QString::fromLatin1(recur::kRangeTooLong));
        return;
    }
    const recur::Preview found = recur::preview(rule(), start, end, m_capacity);
    const RegionalSettings &regional = m_document.regional();
    const DateValue now = m_clock.nowValue(); // one "now" for the whole list
    QStringList lines;
    lines.reserve(found.dates.size());
    for (const QDate &date : found.dates)
        lines << recur::previewLine(date, m_pattern, regional, now);
    m_model->setLines(found.dates, lines);
    if (found.full)
        m_dialogs.showWarning(QString::fromLatin1(recur::kListFull));
    showCount();
    if (m_model->rowCount() == 0)
        showError(m_dialogs, QString::fromLatin1(recur::kNoDates));
    updateButtons();
}

void TfrmRecur::btResetClick()
{
    m_model->clear();
    m_count->clear();
    updateButtons();
}

void TfrmRecur::btDeleteClick()
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedRows())
        rows << index.row();
    m_model->removeRowSet(rows);
    showCount();
    updateButtons();
}

void TfrmRecur::btOKClick()
{
    if (!m_dialogs.confirm(QStringLiteral("Really add %1 events to the calendar?").arg(m_model->rowCount())))
        return;
    accept();
}

bool TfrmRecur::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            btDeleteClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmRecur::updateDayCount()
{
    const QDate start = m_date1->date();
    const QDate end = m_date2->date();
    m_days->setText(start.isValid() && end.isValid() ? QString::number(start.daysTo(end)) : QString());
}

void TfrmRecur::showCount()
{
    m_count->setText(QStringLiteral("Number of dates: %1").arg(m_model->rowCount()));
}

void TfrmRecur::updateButtons()
{
    m_delete->setEnabled(m_list->selectionModel()->hasSelection());
    m_ok->setEnabled(m_model->rowCount() > 0);
}

void TfrmRecur::fourthOrLastTicked(QCheckBox *ticked, QCheckBox *other)
{
    if (ticked->isChecked() && other->isChecked())
        ticked->setChecked(false);
}
