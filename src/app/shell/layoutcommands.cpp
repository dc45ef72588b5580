#include "layoutcommands.h"

#include "platform/dialogs.h"
#include "schedule/layoutrules.h"
#include "settings/settingsstore.h"
#include "shell/panes.h"
#include "shell/windowlayout.h"
#include "store/taskdocument.h"
#include "widgets/calendarstrip.h"
#include "widgets/datenavigator.h"
#include "widgets/gridview.h"

#include <QCursor>
#include <QEvent>
#include <QMainWindow>
#include <QScreen>
#include <QSplitter>

namespace {

constexpr int kFlashes = 15;
const QColor kLime(0, 255, 0);

} // namespace

LayoutCommands::LayoutCommands(TaskDocument &document, const Services &services, QMainWindow &window,
    WindowLayout &layout, const Parts &parts, TimerPool &timers, TimerPool::Handle trigger3, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_services(services)
    , m_window(window)
    , m_layout(layout)
    , m_parts(parts)
    , m_timers(timers)
    , m_trigger3(trigger3)
{
    // The calendars follow the room the two splitters give them.
    m_parts.calendars->installEventFilter(this);
}

bool LayoutCommands::eventFilter(QObject *watched, QEvent *event)
{
    // A new calendar font asks for a new layout too: what fits its days may differ.
    if (watched == m_parts.calendars && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
        resizeCalendars();
    return QObject::eventFilter(watched, event);
}

QSplitter *LayoutCommands::splitter(int index) const
{
    return index == 0 ? m_parts.split1 : index == 1 ? m_parts.split2 : m_parts.splitDay;
}

int LayoutCommands::position(const QSplitter *splitter)
{
    return splitter->sizes().value(0);
}

void LayoutCommands::setPosition(QSplitter *splitter, int position)
{
    const QList<int> sizes = splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    position = std::clamp(position, 0, total);
    splitter->setSizes({ position, total - position });
}

void LayoutCommands::FormResize()
{
    m_parts.day->ResizeGridDay();
    m_parts.todo->ResizeGridNonDay();
    resizeCalendars();
}

void LayoutCommands::resizeCalendars()
{
    CalendarStrip *strip = m_parts.calendars;
    // The room of the calendars is what split2 leaves above it, less the strip's margins.
    // The navigator and the weekday headers show only where the days keep room for their
    // font, so a large calendar font is never cut.
    const int room = strip->height();
    const int navigator = strip->navigator()->sizeHint().height();
    const layoutrules::CalendarHeight height
        = layoutrules::calendarHeight(room, navigator, room >= strip->leastHeight(true, false));
    const layoutrules::CalendarLook look = layoutrules::calendarLook(
        height.height, m_document.options().calFont.size, room >= strip->leastHeight(height.navigatorShown, true));
    strip->setCompactness(height.navigatorShown, look.weekdayHeader, look.bevel, look.labels, look.cellFontSize);
}

void LayoutCommands::Timer2Timer()
{
    if (!m_flashing) {
        FormResize();
        m_timers.setEnabled(m_trigger3, false);
        return;
    }
    if (m_flashCount < 1) {
        m_timers.setEnabled(m_trigger3, false);
        m_flashing = false;
        return;
    }
    paintSplitter(m_chosen, m_flashCount % 2 ? QColor() : kLime);
    --m_flashCount;
}

void LayoutCommands::paintSplitter(int index, const QColor &colour)
{
    QSplitterHandle *handle = splitter(index)->handle(1);
    if (!handle)
        return;
    // No colour: the handle goes back to the window's own look.
    handle->setAutoFillBackground(colour.isValid());
    QPalette palette = handle->palette();
    palette.setColor(QPalette::Window, colour.isValid() ? colour : m_window.palette().color(QPalette::Button));
    handle->setPalette(palette);
    handle->update();
}

QPoint LayoutCommands::splitterPoint(int index) const
{
    // The middle of the splitter's bar.
    const QSplitter *s = splitter(index);
    const int bar = s->handleWidth() / 2;
    const QPoint local = s->orientation() == Qt::Horizontal ? QPoint(position(s) + bar, s->height() / 2)
                                                            : QPoint(s->width() / 2, position(s) + bar);
    return s->mapToGlobal(local);
}

void LayoutCommands::pointAtSplitter(int index)
{
    m_chosen = index;
    m_flashing = true;
    m_flashCount = kFlashes;
    m_timers.setEnabled(m_trigger3, true);
    // The pointer lands on the bar, so the user can drag it at once; never off the screen.
    const QPoint point = splitterPoint(index);
    const QScreen *screen = m_window.screen();
    if (screen && screen->virtualGeometry().contains(point))
        QCursor::setPos(point);
}

void LayoutCommands::Maximizedailyevents1Click()
{
    setPosition(m_parts.split2, m_parts.split2->height());
    m_layout.keepSplit2();
    m_parts.day->list()->setFocus();
}

void LayoutCommands::Maximizenondaytasks1Click()
{
    setPosition(m_parts.split2, 0);
    m_layout.keepSplit2();
    m_parts.todo->list()->setFocus();
}

void LayoutCommands::Memorizescreensizepositions1Click()
{
    if (!m_services.dialogs.confirm(QStringLiteral("Really memorize current screen positions?")))
        return;
    const QRect frame = m_window.frameGeometry();
    MemorizedLayout memorized;
    memorized.done = true;
    memorized.top = frame.top();
    memorized.left = frame.left();
    memorized.height = frame.height();
    memorized.width = frame.width();
    memorized.split1Pos = position(m_parts.split1);
    // The user's splits, not what a short window squeezed them to.
    memorized.split2Pos = m_layout.split2;
    memorized.splitDay = m_layout.splitDay;
    const SaveResult saved = writeMemorizedLayout(m_document.settings(), memorized);
    if (!saved.ok)
        showError(m_services.dialogs, saved.message());
}

void LayoutCommands::Recoverscreensizepositions1Click()
{
    const MemorizedLayout memorized = readMemorizedLayout(m_document.settings());
    if (!memorized.done) {
        showError(m_services.dialogs, QStringLiteral("Screen has not yet been memorized"));
        return;
    }
    // The kept size is the outer one, frame and title included.
    if (m_window.isMaximized() || m_window.isFullScreen())
        m_window.showNormal();
    const QRect frame = m_window.frameGeometry();
    const QRect inner = m_window.geometry();
    m_window.move(memorized.left, memorized.top);
    m_window.resize(
        memorized.width - (frame.width() - inner.width()), memorized.height - (frame.height() - inner.height()));
    setPosition(m_parts.split1, memorized.split1Pos);
    setPosition(m_parts.split2, memorized.split2Pos);
    setPosition(m_parts.splitDay, memorized.splitDay);
    m_layout.remember();
    // The memorised split is the user's, even where this window cannot hold all of it.
    m_layout.split2 = memorized.split2Pos;
    m_layout.followSplit2();
    FormResize();
}
