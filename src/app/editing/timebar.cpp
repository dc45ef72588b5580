#include "timebar.h"

#include "platform/clock.h"
#include "text/timebar.h"
#include "widgets/analogclock.h"
#include "widgets/timefield.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <array>

using namespace timebar;

namespace {

const QColor kNight(0x00, 0xff, 0xff); // aqua
const QColor kDay(0xff, 0xff, 0x00); // yellow
const QColor kPointer(0xc0, 0x00, 0x00);
constexpr int kIconSize = 16;
constexpr int kRowTop = 99; // the now button; the time field one pixel lower
constexpr int kTimeLeft = 140;
constexpr int kNowLeft = 240;
constexpr int kGap = 6;

int hourX(int hour)
{
    return kHourZeroX + hour * kPixelsPerHour;
}

// A pointer over the bar: one of the two triangles or the line. It takes the mouse for the
// bar, so grabbing the pointer drags it.
class BarPointer : public QWidget
{
public:
    enum class Shape { Down, Up, Line };

    BarPointer(Shape shape, TimeBar *bar, QWidget *parent)
        : QWidget(parent)
        , m_shape(shape)
        , m_bar(bar)
    {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        if (m_shape == Shape::Line) {
            p.fillRect(rect(), kPointer);
            return;
        }
        // Drawn crisp, without antialiasing: the tip must fall on one pixel.
        const int w = width() - 1;
        const int h = height() - 1;
        QPainterPath path;
        if (m_shape == Shape::Down) {
            path.moveTo(0, 0);
            path.lineTo(w, 0);
            path.lineTo(w / 2.0, h);
        } else {
            path.moveTo(0, h);
            path.lineTo(w, h);
            path.lineTo(w / 2.0, 0);
        }
        path.closeSubpath();
        p.setPen(QPen(kPointer.darker(140), 1));
        p.setBrush(kPointer);
        p.drawPath(path);
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            m_bar->press(barX(event));
    }
    void mouseMoveEvent(QMouseEvent *event) override { m_bar->drag(barX(event)); }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            m_bar->release();
    }
    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            m_bar->doubleClick(barX(event));
    }

private:
    int barX(QMouseEvent *event) const
    {
        return m_bar->mapFrom(parentWidget(), mapToParent(event->position().toPoint())).x();
    }

    Shape m_shape;
    TimeBar *m_bar;
};

QPixmap sunIcon(qreal ratio)
{
    QPixmap pixmap(QSize(kIconSize, kIconSize) * ratio);
    pixmap.setDevicePixelRatio(ratio); // drawn at the screen's resolution, not blown up
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(kIconSize / 2.0, kIconSize / 2.0);
    p.setPen(QPen(QColor(0xe0, 0x80, 0x00), 1.5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        p.drawLine(QPointF(0, -5.5), QPointF(0, -7.5));
        p.rotate(45);
    }
    p.setPen(QPen(QColor(0xe0, 0x80, 0x00), 1));
    p.setBrush(QColor(0xff, 0xd0, 0x00));
    p.drawEllipse(QPointF(0, 0), 4, 4);
    return pixmap;
}

QPixmap moonIcon(qreal ratio)
{
    QPixmap pixmap(QSize(kIconSize, kIconSize) * ratio);
    pixmap.setDevicePixelRatio(ratio); // drawn at the screen's resolution, not blown up
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath disc;
    disc.addEllipse(QPointF(8, 8), 6.5, 6.5);
    QPainterPath bite;
    bite.addEllipse(QPointF(11.5, 5.5), 6, 6);
    p.setPen(QPen(QColor(0x20, 0x30, 0x70), 1));
    p.setBrush(QColor(0x40, 0x58, 0xa8));
    p.drawPath(disc.subtracted(bite));
    return pixmap;
}

} // namespace

TimeBar::TimeBar(QWidget *parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Click to select time"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TimeBar::press(int x)
{
    Q_EMIT pressed(x);
}

void TimeBar::drag(int x)
{
    Q_EMIT dragged(x);
}

void TimeBar::release()
{
    Q_EMIT released();
}

void TimeBar::doubleClick(int x)
{
    Q_EMIT doubleClicked(x);
}

void TimeBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int w = width();
    const int h = height();

    // Night from the left edge to 7:00 and from 19:00 to the right edge, day between.
    p.fillRect(0, 0, hourX(7), h, kNight);
    p.fillRect(hourX(7), 0, hourX(19) - hourX(7), h, kDay);
    p.fillRect(hourX(19), 0, w - hourX(19), h, kNight);

    // Hour ticks on both edges, shorter ones at the half hours.
    const QColor ink(0x20, 0x20, 0x20);
    p.setPen(ink);
    for (int hour = 0; hour <= 24; ++hour) {
        const int x = hourX(hour);
        p.drawLine(x, 0, x, 7);
        p.drawLine(x, h - 8, x, h - 1);
        if (hour < 24) {
            const int half = x + kPixelsPerHour / 2;
            p.drawLine(half, 0, half, 3);
            p.drawLine(half, h - 4, half, h - 1);
        }
    }

    static const std::array<const char *, 25> kLabels = { "M", "1", "2", "3", "4", "5", "6", "7a", "8", "9", "10", "11",
        "12", "1", "2", "3", "4", "5", "6", "7p", "8", "9", "10", "11", "M" };
    QFont labelFont = font();
    labelFont.setPixelSize(11);
    labelFont.setBold(true);
    p.setFont(labelFont);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (int hour = 0; hour <= 24; ++hour) {
        const QRect cell(hourX(hour) - kPixelsPerHour / 2, 8, kPixelsPerHour, h - 16);
        p.drawText(cell, Qt::AlignCenter, QLatin1String(kLabels[hour]));
    }

    p.setPen(QColor(0x70, 0x70, 0x70));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, w - 1, h - 1);
}

void TimeBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        press(event->position().toPoint().x());
}

void TimeBar::mouseMoveEvent(QMouseEvent *event)
{
    drag(event->position().toPoint().x());
}

void TimeBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        release();
}

void TimeBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        doubleClick(event->position().toPoint().x());
}

TfrmTimePopup::TfrmTimePopup(const Clock &clock, const RegionalSettings &regional, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent)
    , m_clock(clock)
    , m_regional(regional)
    , m_dialogs(dialogs)
    , m_bar(new TimeBar(this))
{
    setObjectName(QStringLiteral("TfrmTimePopup"));
    setWindowTitle(QStringLiteral("Time Entry"));

    m_bar->setObjectName(QStringLiteral("Image1"));
    m_bar->setGeometry(kBarLeft, kBarTop, kBarWidth, kBarHeight);
    connect(m_bar, &TimeBar::pressed, this, &TfrmTimePopup::Image1MouseDown);
    connect(m_bar, &TimeBar::dragged, this, &TfrmTimePopup::Image1MouseMove);
    connect(m_bar, &TimeBar::released, this, &TfrmTimePopup::Image1MouseUp);
    connect(m_bar, &TimeBar::doubleClicked, this, &TfrmTimePopup::Image1DblClick);

    m_imTop = new BarPointer(BarPointer::Shape::Down, m_bar, this);
    m_imTop->setObjectName(QStringLiteral("imTop"));
    m_imTop->resize(kPointerWidth, kPointerHeight);
    m_imBot = new BarPointer(BarPointer::Shape::Up, m_bar, this);
    m_imBot->setObjectName(QStringLiteral("imBot"));
    m_imBot->resize(kPointerWidth, kPointerHeight);
    m_imLine = new BarPointer(BarPointer::Shape::Line, m_bar, this);
    m_imLine->setObjectName(QStringLiteral("imLine"));
    m_imLine->resize(1, kLineHeight);

    m_imDay = new QLabel(this);
    m_imDay->setObjectName(QStringLiteral("imDay"));
    m_imDay->setPixmap(sunIcon(devicePixelRatio()));
    m_imDay->setGeometry(kBarLeft + hourX(7) - kIconSize / 2, kFloatingTop, kIconSize, kIconSize);
    m_imNight = new QLabel(this);
    m_imNight->setObjectName(QStringLiteral("imNight"));
    m_imNight->setPixmap(moonIcon(devicePixelRatio()));
    m_imNight->setGeometry(kBarLeft + hourX(19) - kIconSize / 2, kFloatingTop, kIconSize, kIconSize);

    m_pnlTime = new QLabel(this);
    m_pnlTime->setObjectName(QStringLiteral("pnlTime"));
    m_pnlTime->setAlignment(Qt::AlignCenter);
    m_pnlTime->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_pnlTime->setAutoFillBackground(true);
    m_pnlTime->hide();
    {
        // Wide enough for the widest time whatever the font.
        const QFontMetrics fm = m_pnlTime->fontMetrics();
        const int text = fm.horizontalAdvance(QStringLiteral("00:00p"));
        m_pnlTime->resize(std::max(kFloatingWidth, text + 8), std::max(kFloatingHeight, fm.height() + 2));
    }

    m_clock1 = new AnalogClock(this);
    m_clock1->setObjectName(QStringLiteral("Clock1"));
    m_clock1->setHandColours(QColor(0x00, 0x00, 0x80), QColor(0x00, 0x00, 0xff));
    m_clock1->setHandShadow(true);

    m_dtTime = new TimeField(regional, this);
    m_dtTime->setObjectName(QStringLiteral("dtTime"));
    m_dtTime->setTime(QTime(0, 0));
    connect(m_dtTime, &TimeField::timeChanged, this, &TfrmTimePopup::dtTimeChange);

    m_sbNow = new QPushButton(this);
    m_sbNow->setObjectName(QStringLiteral("sbNow"));
    m_sbNow->setToolTip(QStringLiteral("Current time - click to set clock to current time"));
    m_sbNow->setAutoDefault(false);
    connect(m_sbNow, &QPushButton::clicked, this, &TfrmTimePopup::sbNowClick);

    m_btOK = new QPushButton(QStringLiteral("OK"), this);
    m_btOK->setObjectName(QStringLiteral("btOK"));
    m_btOK->setDefault(true);
    connect(m_btOK, &QPushButton::clicked, this, &TfrmTimePopup::btOKClick);
    m_btCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_btCancel->setObjectName(QStringLiteral("btCancel"));
    m_btCancel->setAutoDefault(false);
    connect(m_btCancel, &QPushButton::clicked, this, &QDialog::reject);

    m_nowTimer = new QTimer(this);
    m_nowTimer->setObjectName(QStringLiteral("tmNow"));
    m_nowTimer->setInterval(kNowInterval);
    connect(m_nowTimer, &QTimer::timeout, this, &TfrmTimePopup::ItIsNow);
    m_clockTimer = new QTimer(this);
    m_clockTimer->setObjectName(QStringLiteral("tmClock"));
    m_clockTimer->setInterval(kClockInterval);
    connect(m_clockTimer, &QTimer::timeout, this, &TfrmTimePopup::tmClockTimer);

    layOut();
    setTabOrder(m_dtTime, m_sbNow);
    setTabOrder(m_sbNow, m_btOK);
    setTabOrder(m_btOK, m_btCancel);
    m_dtTime->setFocus();

    // The picker sees every key before its controls do.
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *child : children)
        child->installEventFilter(this);

    ItIsNow();
    setClock(fieldTime());
}

void TfrmTimePopup::layOut()
{
    // The bar's scale is fixed; the controls under it take the room their texts need, and
    // the picker grows past its usual 512 x 133 only when larger fonts ask for it.
    const QSize field = m_dtTime->sizeHint();
    m_dtTime->setGeometry(kTimeLeft, kRowTop + 1, std::max(field.width(), 90), field.height());
    const int rowHeight = m_dtTime->height() + 2;

    // The now button holds the widest caption any time of day can give.
    int nowWidth = 0;
    for (int hour = 0; hour < 24; ++hour) {
        m_sbNow->setText(QStringLiteral("It is ")
            + formatDateValue(QStringLiteral("t"), datevalue::fromTime(QTime(hour, 58)), m_regional));
        nowWidth = std::max(nowWidth, m_sbNow->sizeHint().width());
    }
    const int nowLeft = std::max(kNowLeft, m_dtTime->geometry().right() + 1 + kGap);
    m_sbNow->setGeometry(nowLeft, kRowTop, nowWidth, rowHeight);

    const int buttonWidth = std::max({ 75, m_btOK->sizeHint().width(), m_btCancel->sizeHint().width() });
    const int width = std::max(kPickerWidth, m_sbNow->geometry().right() + 1 + kGap + 2 * buttonWidth + kGap + 8);
    const int height = std::max(kPickerHeight, kRowTop + rowHeight + 6);
    const int cancelLeft = width - 8 - buttonWidth;
    m_btCancel->setGeometry(cancelLeft, kRowTop, buttonWidth, rowHeight);
    m_btOK->setGeometry(cancelLeft - kGap - buttonWidth, kRowTop, buttonWidth, rowHeight);

    // The clock fills the corner under the bar, left of the time field.
    const int clockTop = kBarTop + kBarHeight + 6;
    const int clockSide = std::min(kTimeLeft - 2 * 24, height - clockTop - 5);
    m_clock1->setGeometry((kTimeLeft - clockSide) / 2, clockTop, clockSide, clockSide);

    setFixedSize(width, height);
}

void TfrmTimePopup::settime(QTime time)
{
    if (time.isValid())
        m_dtTime->setTime(time);
}

QTime TfrmTimePopup::returnedTime() const
{
    return m_dtTime->time();
}

QTime TfrmTimePopup::fieldTime() const
{
    return m_dtTime->time().isValid() ? m_dtTime->time() : m_dtTime->lastTime();
}

void TfrmTimePopup::btOKClick()
{
    if (m_dtTime->refuseUnread(m_dialogs, m_clock.nowValue()))
        return;
    accept();
}

void TfrmTimePopup::drawPointer(int x, bool update)
{
    const auto place = pointerPlacement(x, m_pnlTime->size(), width());
    if (!place)
        return;
    m_imTop->setGeometry(place->top);
    m_imBot->setGeometry(place->bottom);
    m_imLine->setGeometry(place->line);
    m_pnlTime->move(place->floating.topLeft());
    if (!update)
        return;

    const QTime time = Xtotime(x);
    setFieldTime(time);
    setClock(time);
    setFloatingTime(time);
}

void TfrmTimePopup::setFloatingTime(QTime time)
{
    m_pnlTime->setText(formatDateValue(QStringLiteral("hh:nna/p"), datevalue::fromTime(time), m_regional));
    QPalette palette = m_pnlTime->palette();
    palette.setColor(QPalette::Window, isNightHour(time.hour()) ? kNight : kDay);
    palette.setColor(QPalette::WindowText, Qt::black);
    m_pnlTime->setPalette(palette);
}

void TfrmTimePopup::ItIsNow()
{
    m_sbNow->setText(QStringLiteral("It is ") + formatDateValue(QStringLiteral("t"), m_clock.nowValue(), m_regional));
}

void TfrmTimePopup::sbNowClick()
{
    const QTime now = m_clock.now().time();
    const QTime time(now.hour(), now.minute());
    setFieldTime(time);
    setClock(time);
    drawPointer(TimetoX(time.hour(), time.minute()), false);
    ItIsNow();
}

void TfrmTimePopup::tmClockTimer()
{
    const qint64 passed = m_clockSetAt.secsTo(m_clock.now());
    m_clock1->setTime(m_clockTime.addSecs(passed));
}

void TfrmTimePopup::setClock(QTime time)
{
    m_clockTime = time;
    m_clockSetAt = m_clock.now();
    m_clock1->setTime(time);
}

void TfrmTimePopup::setFieldTime(QTime time)
{
    m_settingField = true;
    m_dtTime->setTime(time);
    m_settingField = false;
}

void TfrmTimePopup::dtTimeChange()
{
    if (m_settingField)
        return;
    const QTime time = fieldTime();
    drawPointer(TimetoX(time.hour(), time.minute()), false);
    setClock(time);
}

void TfrmTimePopup::FormShow()
{
    m_bar->setGeometry(kBarLeft, kBarTop, kBarWidth, kBarHeight);
    m_dragging = false;
    m_pnlTime->hide();
    const QTime time = fieldTime();
    drawPointer(TimetoX(time.hour(), time.minute()), false);
    setFloatingTime(time); // what a press left of the pointers' reach shows
    ItIsNow();
    setClock(time);
}

void TfrmTimePopup::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
    m_nowTimer->start();
    m_clockTimer->start();
}

void TfrmTimePopup::hideEvent(QHideEvent *event)
{
    m_nowTimer->stop();
    m_clockTimer->stop();
    QDialog::hideEvent(event);
}

void TfrmTimePopup::Image1MouseDown(int x)
{
    m_dragging = true;
    m_pnlTime->show();
    m_pnlTime->raise();
    drawPointer(x, true);
}

void TfrmTimePopup::Image1MouseMove(int x)
{
    if (m_dragging)
        drawPointer(x, true);
}

void TfrmTimePopup::Image1MouseUp()
{
    m_dragging = false;
    m_pnlTime->hide();
}

void TfrmTimePopup::Image1DblClick(int x)
{
    // The first click of the double click has placed the pointer already; placing it again
    // makes OK take the time under the mouse whatever came before.
    drawPointer(x, true);
    Image1MouseUp();
    accept();
}

bool TfrmTimePopup::handleKey(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    TimeKey key;
    switch (event->key()) {
    case Qt::Key_Up:
        key = TimeKey::Up;
        break;
    case Qt::Key_Down:
        key = TimeKey::Down;
        break;
    case Qt::Key_PageUp:
        key = TimeKey::PageUp;
        break;
    case Qt::Key_PageDown:
        key = TimeKey::PageDown;
        break;
    case Qt::Key_Home:
        key = TimeKey::Home;
        break;
    default:
        return false;
    }
    const QTime time = applyTimeKey(key, fieldTime(), m_clock.now().time());
    setFieldTime(time);
    drawPointer(TimetoX(time.hour(), time.minute()), false);
    setClock(time);
    return true;
}

bool TfrmTimePopup::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TfrmTimePopup::keyPressEvent(QKeyEvent *event)
{
    if (!handleKey(event))
        QDialog::keyPressEvent(event);
}
