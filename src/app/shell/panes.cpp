#include "panes.h"

#include "platform/dialogs.h"
#include "schedule/dayview.h"
#include "schedule/layoutrules.h"
#include "store/editflow.h"
#include "store/taskdocument.h"
#include "text/regional.h"
#include "text/texthelpers.h"
#include "widgets/gridview.h"
#include "widgets/memoedit.h"
#include "widgets/shadowlabel.h"

#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>

namespace {

// Fixed column widths are given at 96 pixels per inch.
int scaled(const QWidget *widget, int pixels)
{
    const qreal dpi = widget->screen() ? widget->screen()->logicalDotsPerInch() : 96.0;
    return int(pixels * dpi) / 96;
}

// A fixed column is as wide as given, or wider when its header or one of `samples` in the
// list font would not fit on one line: no time wraps and no header is cut off.
int fixedWidth(const GridView *list, int pixels, const QString &header, const QStringList &samples)
{
    const QStyle *style = list->style();
    // The cell's text margins and grid line, and a little for the fractions of pixels that
    // text layout rounds up.
    const int cellMargins = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1) + 1 + 3;
    const int headerMargins = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, list) + 2;
    int width = std::max(
        scaled(list, pixels), list->horizontalHeader()->fontMetrics().horizontalAdvance(header) + headerMargins);
    const QFontMetrics fm(list->listFont());
    for (const QString &sample : samples)
        width = std::max(width, fm.horizontalAdvance(sample) + cellMargins);
    return width;
}

// The "What" column takes what the fixed columns leave of the list's width. In a list too
// narrow for that to be much, "Category" shares its width with "What" rather than leave the
// notes a sliver, never below its header's width; `category` is its width either way.
int whatWidth(const GridView *list, int fixedColumns, int &category)
{
    const QScrollBar *bar = list->verticalScrollBar();
    const int scrollBar = bar->isVisibleTo(list) ? bar->width() : 0;
    const int rest = layoutrules::whatColumnWidth(list->width(), fixedColumns, scrollBar, 2 * list->frameWidth());
    if (rest < category) {
        const int header = fixedWidth(list, 0, QStringLiteral("Category"), {});
        const int shared = std::max(header, (rest + category) / 2);
        const int what = rest + category - shared;
        category = std::min(category, shared);
        return std::max(what, scaled(list, 24));
    }
    return rest;
}

void attachMenu(GridView *list, QMenu *popup)
{
    if (!popup)
        return;
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, popup,
        [popup, list](const QPoint &at) { popup->popup(list->viewport()->mapToGlobal(at)); });
}

// `flags`: the columns shown as boxes, the first of them the done flag.
void setUpList(GridView *list, const TaskDocument &document, const QList<int> &flags)
{
    const int doneColumn = flags.first();
    list->setFlagColumns(flags);
    list->setHighlightWhenUnfocused(false); // only the list being worked in shows its selection
    list->setRowFontHook([list, &document, doneColumn](int row, const QFont &font) {
        return gridNondayGetCellColor(*list->table(), doneColumn, row, font, document.options().strikeOut);
    });
}

// Light cream under a note; a done task's note on the button face.
constexpr QRgb kNoteBackground = qRgb(248, 252, 201);
// A note longer than this (never typed here: the boxes take 2,048 characters) is shown in
// the notes pane by its beginning only and cannot be changed there, so the pane never lays
// out a huge text, and the note stays whole.
constexpr qsizetype kNotesPaneChars = 4 * editflow::kNotesLength;

} // namespace

QFont gridNondayGetCellColor(const CellTable &table, int doneColumn, int row, const QFont &listFont, bool strikeOut)
{
    if (!strikeOut || row < 1)
        return listFont;
    QFont font = listFont;
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(dayview::strikesOut(table.cell(doneColumn, row)));
    return font;
}

DayPane::DayPane(TaskDocument &document, QToolBar *dayTools, QMenu *popup, QWidget *parent)
    : QWidget(parent)
    , m_document(document)
    , m_lblDate(new ShadowLabel(QStringLiteral("Tasks for "), this))
    , m_splitDay(new QSplitter(Qt::Vertical, this))
    , m_gridDay(new GridView(m_splitDay))
    , m_memWhat(new MemoEdit(m_splitDay))
{
    setObjectName(QStringLiteral("pnlDay"));
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_lblDate->setObjectName(QStringLiteral("lblDate"));
    m_lblDate->installEventFilter(this); // a double click goes to today
    m_lblDate->setSmallestFitSize(10); // a long heading shrinks before it loses its end
    layout->addWidget(m_lblDate, 0, 0);
    m_splitDay->setObjectName(QStringLiteral("splitDay"));
    m_gridDay->setObjectName(QStringLiteral("gridDay"));
    m_gridDay->setTable(&m_document.dayList());
    m_gridDay->installEventFilter(this);
    // The columns re-fit when the list's room changes, the scroll bar's coming and going
    // included; the viewport has its new size by then, the list's own resize comes earlier.
    m_gridDay->viewport()->installEventFilter(this);
    setUpList(m_gridDay, m_document, { daylist::Done, daylist::Alarm });
    attachMenu(m_gridDay, popup);
    m_memWhat->setObjectName(QStringLiteral("memWhat"));
    m_memWhat->setLimit(editflow::kNotesLength);
    m_memWhat->installEventFilter(this);
    layout->addWidget(m_splitDay, 1, 0);
    dayTools->setParent(this);
    layout->addWidget(dayTools, 0, 1, 2, 1);
    layout->setRowStretch(1, 1);

    connect(m_gridDay->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { DrawExtraMemo(); });
    connect(m_gridDay, &GridView::sorted, this, [this] { DrawExtraMemo(); });
}

DayPane::~DayPane()
{
    // The list must not read the day list while the pane's children go.
    m_gridDay->setTable(nullptr);
}

void DayPane::refresh()
{
    m_gridDay->refresh();
    m_gridDay->setCurrentTableRow(1);
    DrawExtraMemo();
}

void DayPane::DrawExtraMemo()
{
    const CellTable &day = m_document.dayList();
    const int row = m_gridDay->currentTableRow();
    const QString what = row >= 1 ? day.cell(daylist::What, row) : QString();
    {
        const QSignalBlocker blocker(m_memWhat);
        const QString lines = textToMemoLines(what).join(QLatin1Char('\n'));
        const bool tooLong = lines.size() > kNotesPaneChars;
        m_memWhat->setLoadedText(tooLong ? lines.left(kNotesPaneChars) + QChar(0x2026) : lines);
        m_memWhat->setReadOnly(tooLong);
        m_memWhat->setToolTip(tooLong ? QStringLiteral("This note has %1 characters: only its beginning shows here, "
                                                       "and it cannot be changed in this pane.")
                                            .arg(lines.size())
                                      : QString());
    }
    m_memoTask = row >= 1 ? day.rowId(row) : 0;
    m_memWhat->setVisible(!what.isEmpty());
    // Both colours are set: a dark theme's light text would not show on the cream.
    const bool done = !what.isEmpty() && row >= 1 && isYes(day.cell(daylist::Done, row));
    QPalette pal = m_memWhat->palette();
    pal.setColor(QPalette::Base, done ? palette().color(QPalette::Button) : QColor(kNoteBackground));
    pal.setColor(QPalette::Text, done ? palette().color(QPalette::ButtonText) : QColor(Qt::black));
    m_memWhat->setPalette(pal);
}

void DayPane::memWhatExit()
{
    // Only a text the user changed goes back, so a visit never changes how a note is stored.
    if (!m_memWhat->document()->isModified())
        return;
    m_memWhat->document()->setModified(false);
    if (m_memoTask == 0)
        return;
    Q_EMIT notesEdited(m_memoTask, memoToText(m_memWhat->toPlainText().split(QLatin1Char('\n'))));
    m_gridDay->refresh();
}

void DayPane::ResizeGridDay()
{
    CellTable &day = m_document.dayList();
    // The widest times of the regional pattern: two-digit hours, before and after noon.
    QStringList times;
    for (const int hour : { 10, 12, 22, 23 })
        times << formatDateValue(QStringLiteral("t"),
            datevalue::fromDate(QDate(2000, 1, 1)) + (hour * 60 + 58) / 1440.0, m_document.regional());
    const QStringList flags { QStringLiteral("Yes"), QStringLiteral("No") };
    int fixed[daylist::ColumnCount] = {};
    fixed[daylist::Time] = fixedWidth(m_gridDay, 56, day.cell(daylist::Time, 0), times);
    fixed[daylist::Category] = scaled(this, 72);
    fixed[daylist::Done] = fixedWidth(m_gridDay, 40, day.cell(daylist::Done, 0), flags);
    fixed[daylist::Alarm] = fixedWidth(m_gridDay, 40, day.cell(daylist::Alarm, 0), flags);
    int category = fixed[daylist::Category];
    const int rest = whatWidth(m_gridDay,
        fixed[daylist::Time] + fixed[daylist::Category] + fixed[daylist::Done] + fixed[daylist::Alarm], category);
    for (int c = 0; c < daylist::ColumnCount; ++c)
        day.setColWidth(c, c == daylist::What ? rest : c == daylist::Category ? category : fixed[c]);
    m_gridDay->applyColumnWidths();
    // Never narrower than its columns at their narrowest ("Category" at its header's width,
    // a little of "What"), so wide calendars widen the window rather than cut the list.
    const int least = fixed[daylist::Time] + fixedWidth(m_gridDay, 0, day.cell(daylist::Category, 0), {})
        + scaled(this, 24) + fixed[daylist::Done] + fixed[daylist::Alarm]
        + m_gridDay->verticalScrollBar()->sizeHint().width() + 2 * m_gridDay->frameWidth() + 5;
    if (m_gridDay->minimumWidth() != least)
        m_gridDay->setMinimumWidth(least);
}

void DayPane::setListLook(const QFont &font, int rowHeight)
{
    m_gridDay->setListFont(font);
    m_gridDay->setRowHeight(rowHeight);
    m_memWhat->setFont(font);
    // In a short window the notes give way to the day list, down to two lines.
    const int margins = 2 * (m_memWhat->frameWidth() + int(m_memWhat->document()->documentMargin()));
    m_memWhat->setMinimumHeight(2 * QFontMetrics(font).lineSpacing() + margins);
}

bool DayPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_gridDay->viewport() && event->type() == QEvent::Resize)
        ResizeGridDay();
    else if (watched == m_gridDay && event->type() == QEvent::FocusIn)
        Q_EMIT listFocused();
    else if (watched == m_memWhat && event->type() == QEvent::FocusOut)
        memWhatExit();
    else if (watched == m_lblDate && event->type() == QEvent::MouseButtonDblClick)
        Q_EMIT headingDoubleClicked();
    return QWidget::eventFilter(watched, event);
}

TodoPane::TodoPane(TaskDocument &document, QToolBar *todoTools, QMenu *popup, QWidget *parent)
    : QWidget(parent)
    , m_document(document)
    , m_esLabel1(new ShadowLabel(QStringLiteral("To-do Tasks"), this))
    , m_gridNonday(new GridView(this))
{
    setObjectName(QStringLiteral("pnlTodo"));
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_esLabel1->setObjectName(QStringLiteral("EsLabel1"));
    layout->addWidget(m_esLabel1, 0, 0, 1, 2);
    m_gridNonday->setObjectName(QStringLiteral("gridNonday"));
    m_gridNonday->setTable(&m_document.todoList());
    m_gridNonday->installEventFilter(this);
    m_gridNonday->viewport()->installEventFilter(this);
    setUpList(m_gridNonday, m_document, { todo::Done });
    attachMenu(m_gridNonday, popup);
    layout->addWidget(m_gridNonday, 1, 0);

    // The to-do toolbar: two rows, three buttons then two.
    auto *buttons = new QWidget(this);
    buttons->setObjectName(QStringLiteral("pnlToolBar3"));
    auto *grid = new QGridLayout(buttons);
    grid->setContentsMargins(2, 0, 2, 0);
    grid->setSpacing(0);
    const QList<QAction *> actions = todoTools->actions();
    for (int i = 0; i < actions.size(); ++i) {
        auto *tool = new QToolButton(buttons);
        tool->setDefaultAction(actions[i]);
        tool->setAutoRaise(true);
        tool->setIconSize(QSize(16, 16));
        tool->setToolButtonStyle(Qt::ToolButtonIconOnly);
        grid->addWidget(tool, i / 3, i % 3);
    }
    grid->setRowStretch(2, 1);
    todoTools->setParent(this);
    todoTools->hide();
    layout->addWidget(buttons, 1, 1);
    layout->setRowStretch(1, 1);
}

TodoPane::~TodoPane()
{
    m_gridNonday->setTable(nullptr);
}

void TodoPane::refresh()
{
    m_gridNonday->refresh();
}

void TodoPane::ResizeGridNonDay()
{
    CellTable &todo = m_document.todoList();
    const int done
        = fixedWidth(m_gridNonday, 40, todo.cell(todo::Done, 0), { QStringLiteral("Yes"), QStringLiteral("No") });
    int category = scaled(this, 72);
    const int what = whatWidth(m_gridNonday, category + done, category);
    todo.setColWidth(todo::Category, category);
    todo.setColWidth(todo::What, what);
    todo.setColWidth(todo::Done, done);
    m_gridNonday->applyColumnWidths();
}

void TodoPane::setListLook(const QFont &font, int rowHeight)
{
    m_gridNonday->setListFont(font);
    m_gridNonday->setRowHeight(rowHeight);
}

bool TodoPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_gridNonday->viewport() && event->type() == QEvent::Resize)
        ResizeGridNonDay();
    else if (watched == m_gridNonday && event->type() == QEvent::FocusIn)
        Q_EMIT listFocused();
    return QWidget::eventFilter(watched, event);
}
