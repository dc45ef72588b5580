#include "monthcalendar.h"

#include "colours.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>

namespace {

constexpr int Weeks = 6;
constexpr int DaysPerWeek = 7;
constexpr int Cells = Weeks * DaysPerWeek;

// Text that stays readable on a background of any lightness: the palette's own text colour
// where it reads, else black or white.
QColor contrastingText(const QColor &background, const QColor &preferred)
{
    if (readable::contrast(preferred, background) >= 4.5)
        return preferred;
    return readable::contrast(Qt::black, background) >= readable::contrast(Qt::white, background) ? QColor(Qt::black)
                                                                                                  : QColor(Qt::white);
}

// Splits `length` pixels into `parts` bands that tile it exactly; the edge of band i.
int bandEdge(int start, int length, int parts, int i)
{
    return start + (length * i) / parts;
}

} // namespace

MonthCalendar::MonthCalendar(QWidget *parent)
    : QWidget(parent)
    , m_date(2000, 1, 1)
    , m_regional(RegionalSettings::englishUS())
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void MonthCalendar::setDate(QDate date)
{
    if (!date.isValid() || date == m_date)
        return;
    const bool monthMoved = date.year() != m_date.year() || date.month() != m_date.month();
    m_date = date;
    update();
    Q_EMIT dateChanged(m_date);
    if (monthMoved)
        Q_EMIT monthChanged(m_date.year(), m_date.month());
}

void MonthCalendar::setWeekStart(Qt::DayOfWeek day)
{
    if (day == m_weekStart)
        return;
    m_weekStart = day;
    update();
}

void MonthCalendar::setRegionalSettings(const RegionalSettings &settings)
{
    m_regional = settings;
    updateGeometry();
    update();
}

void MonthCalendar::setCellColourHook(CellColourHook hook)
{
    m_hook = std::move(hook);
    update();
}

void MonthCalendar::setSelectedDayColour(const QColor &colour)
{
    m_selectedColour = colour;
    update();
}

void MonthCalendar::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    update();
}

void MonthCalendar::setBevel(Bevel bevel)
{
    if (bevel == m_bevel)
        return;
    m_bevel = bevel;
    updateGeometry();
    update();
}

void MonthCalendar::setShowCaption(bool show)
{
    if (show == m_showCaption)
        return;
    m_showCaption = show;
    updateGeometry();
    update();
}

void MonthCalendar::setShowWeekdayHeader(bool show)
{
    if (show == m_showWeekdays)
        return;
    m_showWeekdays = show;
    updateGeometry();
    update();
}

int MonthCalendar::bevelWidth() const
{
    return m_bevel == Bevel::None ? 0 : BevelWidth;
}

int MonthCalendar::leadingCells() const
{
    return (firstOfMonth().dayOfWeek() - int(m_weekStart) + DaysPerWeek) % DaysPerWeek;
}

MonthCalendar::Layout MonthCalendar::layout() const
{
    const int bw = bevelWidth();
    const QRect inner = rect().adjusted(bw, bw, -bw, -bw);
    const int line = fontMetrics().height();
    // Each band needs a line of text and has some air around it. When the calendar gets
    // less than the natural height, the air goes first; below the least height every band
    // shrinks in proportion, so the weeks stay visible.
    const int captionLeast = m_showCaption ? line : 0;
    const int weekdayLeast = m_showWeekdays ? line : 0;
    const int least = captionLeast + weekdayLeast + Weeks * line;
    const int air = (m_showCaption ? 6 : 0) + (m_showWeekdays ? 2 : 0) + Weeks * 4;
    const int available = std::max(inner.height(), 0);
    auto band = [&](int bandLeast, int bandAir) {
        if (available >= least + air)
            return double(bandLeast + bandAir);
        if (available >= least)
            return bandLeast + bandAir * double(available - least) / air;
        return bandLeast * double(available) / least;
    };

    Layout l;
    const int top = inner.top();
    const int captionBottom = top + int(band(captionLeast, m_showCaption ? 6 : 0));
    const int weekdayBottom = captionBottom + int(band(weekdayLeast, m_showWeekdays ? 2 : 0));
    l.caption = QRect(inner.left(), top, inner.width(), captionBottom - top);
    l.weekdays = QRect(inner.left(), captionBottom, inner.width(), weekdayBottom - captionBottom);
    l.grid = QRect(inner.left(), weekdayBottom, inner.width(), inner.bottom() + 1 - weekdayBottom);
    return l;
}

QRect MonthCalendar::cellRect(int cell) const
{
    if (cell < 1 || cell > Cells)
        return {};
    const QRect grid = layout().grid;
    const int row = (cell - 1) / DaysPerWeek;
    const int column = (cell - 1) % DaysPerWeek;
    const int left = bandEdge(grid.left(), grid.width(), DaysPerWeek, column);
    const int right = bandEdge(grid.left(), grid.width(), DaysPerWeek, column + 1);
    const int top = bandEdge(grid.top(), grid.height(), Weeks, row);
    const int bottom = bandEdge(grid.top(), grid.height(), Weeks, row + 1);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

int MonthCalendar::cellAt(QPoint point) const
{
    const QRect grid = layout().grid;
    if (!grid.contains(point))
        return 0;
    // The bands of cellRect, searched directly so that the two never disagree on an edge.
    int column = 0;
    while (column < DaysPerWeek - 1 && point.x() >= bandEdge(grid.left(), grid.width(), DaysPerWeek, column + 1))
        ++column;
    int row = 0;
    while (row < Weeks - 1 && point.y() >= bandEdge(grid.top(), grid.height(), Weeks, row + 1))
        ++row;
    return row * DaysPerWeek + column + 1;
}

QDate MonthCalendar::dateOfCell(int cell) const
{
    if (cell < 1 || cell > Cells)
        return {};
    return firstOfMonth().addDays(cell - 1 - leadingCells());
}

int MonthCalendar::cellOfDate(QDate day) const
{
    if (!day.isValid())
        return 0;
    const qint64 cell = firstOfMonth().daysTo(day) + leadingCells() + 1;
    return cell >= 1 && cell <= Cells ? int(cell) : 0;
}

QSize MonthCalendar::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    const int cellWidth = fm.horizontalAdvance(QStringLiteral("00")) + 10;
    const int line = fm.height();
    const int height = (m_showCaption ? line + 6 : 0) + (m_showWeekdays ? line + 2 : 0) + Weeks * (line + 4);
    QString caption = QStringLiteral(" 0000");
    int widest = 0;
    for (const QString &name : m_regional.monthNames)
        widest = std::max(widest, fm.horizontalAdvance(name));
    const int width = std::max(DaysPerWeek * cellWidth, widest + fm.horizontalAdvance(caption) + 12);
    return (QSize(width, height) + QSize(2 * bevelWidth(), 2 * bevelWidth())).expandedTo(minimumSizeHint());
}

QSize MonthCalendar::minimumSizeHint() const
{
    return leastSize(font(), m_showCaption, m_showWeekdays) + QSize(2 * bevelWidth(), 2 * bevelWidth());
}

QSize MonthCalendar::leastSize(const QFont &font, bool caption, bool weekdayHeader) const
{
    const QFontMetrics fm(font);
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    // A cell holds the widest day number in bold (the selected day's look) and keeps a
    // space and its grid line beside it, so neighbouring numbers never run together.
    int number = 0;
    for (char digit = '0'; digit <= '9'; ++digit)
        number = std::max(number, boldMetrics.horizontalAdvance(QString(2, QLatin1Char(digit))));
    const int space = fm.horizontalAdvance(QLatin1Char(' '));
    const int cellWidth = number + space + 1;
    // The caption: the widest month name in bold, a space and the year, within its margins.
    int month = 0;
    for (const QString &name : m_regional.monthNames)
        month = std::max(month, boldMetrics.horizontalAdvance(name));
    const int captionWidth = month + space + fm.horizontalAdvance(QStringLiteral("0000")) + 4;
    const int line = fm.height();
    return { std::max(DaysPerWeek * cellWidth, caption ? captionWidth : 0),
        (caption ? line : 0) + (weekdayHeader ? line : 0) + Weeks * line };
}

void MonthCalendar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const Layout l = layout();
    painter.fillRect(rect(), palette().button());
    if (!l.caption.isEmpty())
        paintCaption(painter, l.caption);
    if (!l.weekdays.isEmpty())
        paintWeekdays(painter, l.weekdays);
    // The selected day of an active calendar is drawn last, so its frame is not cut by
    // the grid lines.
    const int selected = m_active ? cellOfDate(m_date) : 0;
    for (int cell = 1; cell <= Cells; ++cell)
        if (cell != selected)
            paintCell(painter, cell);

    // Thin lines between the cells keep neighbouring coloured days apart.
    painter.setPen(palette().color(QPalette::Midlight).darker(108));
    for (int column = 1; column < DaysPerWeek; ++column) {
        const int x = bandEdge(l.grid.left(), l.grid.width(), DaysPerWeek, column) - 1;
        painter.drawLine(x, l.grid.top(), x, l.grid.bottom());
    }
    for (int row = 1; row < Weeks; ++row) {
        const int y = bandEdge(l.grid.top(), l.grid.height(), Weeks, row) - 1;
        painter.drawLine(l.grid.left(), y, l.grid.right(), y);
    }

    if (selected > 0)
        paintCell(painter, selected);

    if (m_bevel != Bevel::None)
        qDrawWinPanel(&painter, rect(), palette(), m_bevel == Bevel::Lowered);
}

void MonthCalendar::paintCaption(QPainter &painter, const QRect &rect)
{
    painter.fillRect(rect, palette().window());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());

    const QString monthName = m_regional.monthNames.value(m_date.month() - 1);
    const QString year = QString::number(m_date.year());
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    const QFontMetrics plainMetrics(font());
    const int gap = plainMetrics.horizontalAdvance(QLatin1Char(' '));
    const int total = boldMetrics.horizontalAdvance(monthName) + gap + plainMetrics.horizontalAdvance(year);
    int x = rect.left() + std::max(2, (rect.width() - total) / 2);

    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(bold);
    const QRect textRect = rect.adjusted(0, 0, 0, -1);
    painter.drawText(
        QRect(x, textRect.top(), rect.right() - x, textRect.height()), Qt::AlignLeft | Qt::AlignVCenter, monthName);
    x += boldMetrics.horizontalAdvance(monthName) + gap;
    painter.setFont(font());
    painter.drawText(QRect(x, textRect.top(), std::max(0, rect.right() - x), textRect.height()),
        Qt::AlignLeft | Qt::AlignVCenter, year);
}

void MonthCalendar::paintWeekdays(QPainter &painter, const QRect &rect)
{
    const QRect grid = layout().grid;
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    for (int column = 0; column < DaysPerWeek; ++column) {
        // The names start on Sunday; Qt counts Sunday as 7.
        const int dayIndex = (int(m_weekStart) + column) % DaysPerWeek;
        QString name = m_regional.shortDayNames.value(dayIndex);
        if (name.isEmpty())
            name = m_regional.dayNames.value(dayIndex);
        const int left = bandEdge(grid.left(), grid.width(), DaysPerWeek, column);
        const int right = bandEdge(grid.left(), grid.width(), DaysPerWeek, column + 1);
        painter.drawText(QRect(left, rect.top(), right - left, rect.height()), Qt::AlignCenter, name.left(1));
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(rect.left() + 2, rect.bottom(), rect.right() - 2, rect.bottom());
}

void MonthCalendar::paintCell(QPainter &painter, int cell)
{
    const QRect r = cellRect(cell);
    if (r.isEmpty())
        return;
    // The last pixel row and column belong to the grid lines.
    const QRect face = r.adjusted(0, 0, -1, -1);
    const QDate day = dateOfCell(cell);
    const bool inMonth = day.month() == m_date.month() && day.year() == m_date.year();
    const QColor ownBackground = palette().color(QPalette::Button);
    const QColor ownText = palette().color(QPalette::ButtonText);

    QColor background = ownBackground;
    QColor text = palette().color(QPalette::Disabled, QPalette::Text);
    QFont cellFont = font();
    bool drawFrame = false;

    if (inMonth) {
        text = ownText;
        if (m_hook) {
            const CellColours colours = m_hook(day, cell);
            if (!colours.valid) {
                painter.fillRect(face, ownBackground);
                return;
            }
            if (colours.background.isValid())
                background = colours.background;
            if (colours.text.isValid())
                text = colours.text;
            else if (background != ownBackground)
                text = contrastingText(background, ownText); // a fill of the program's on the palette's text
        }
        if (m_active && day == m_date) {
            background = m_selectedColour.isValid() ? m_selectedColour : palette().color(QPalette::Highlight);
            text = contrastingText(background, ownText);
            cellFont.setBold(true);
            drawFrame = true;
        }
    }

    painter.fillRect(face, background);
    if (drawFrame) {
        // A frame keeps the selection visible whatever its colour is against the cells;
        // a second one inside it shows where the keys go.
        painter.setPen(palette().color(QPalette::Shadow));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(-1, -1, -1, -1));
        if (hasFocus())
            painter.drawRect(r.adjusted(0, 0, -2, -2));
    }
    painter.setFont(cellFont);
    painter.setPen(text);
    painter.drawText(face, Qt::AlignCenter, QString::number(day.day()));
}

void MonthCalendar::keyPressEvent(QKeyEvent *event)
{
    // Ctrl+PageDown and the like are the window's commands, not a day step.
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    QDate target;
    switch (event->key()) {
    case Qt::Key_Left:
        target = m_date.addDays(-1);
        break;
    case Qt::Key_Right:
        target = m_date.addDays(1);
        break;
    case Qt::Key_Up:
        target = m_date.addDays(-DaysPerWeek);
        break;
    case Qt::Key_Down:
        target = m_date.addDays(DaysPerWeek);
        break;
    // QDate cuts the day to the target month's length (31 January + 1 month = end of February).
    case Qt::Key_PageUp:
        target = m_date.addMonths(-1);
        break;
    case Qt::Key_PageDown:
        target = m_date.addMonths(1);
        break;
    case Qt::Key_Home:
        target = firstOfMonth();
        break;
    case Qt::Key_End:
        target = QDate(m_date.year(), m_date.month(), m_date.daysInMonth());
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    setDate(target);
}

void MonthCalendar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    Q_EMIT pressed();
    const int cell = cellAt(event->position().toPoint());
    const QDate day = dateOfCell(cell);
    if (day.isValid() && day.month() == m_date.month() && day.year() == m_date.year()) {
        setDate(day);
        Q_EMIT clicked(day);
    }
    event->accept();
}

void MonthCalendar::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    const QDate day = dateOfCell(cellAt(event->position().toPoint()));
    if (day.isValid() && day.month() == m_date.month() && day.year() == m_date.year()) {
        setDate(day);
        Q_EMIT doubleClicked(day);
    }
    event->accept();
}

void MonthCalendar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        updateGeometry();
    QWidget::changeEvent(event);
}

void MonthCalendar::focusInEvent(QFocusEvent *event)
{
    update();
    QWidget::focusInEvent(event);
}

void MonthCalendar::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}
