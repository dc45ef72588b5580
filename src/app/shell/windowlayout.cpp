#include "windowlayout.h"

#include "schedule/layoutrules.h"
#include "settings/settingsstore.h"

#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStyle>

namespace {

// The least room a splitter leaves to either of its panes.
constexpr int kMinPane = 48;

// A kept position is used only when it leaves both panes room; else the default.
int fittingPosition(int kept, int fallback, int total)
{
    auto fits = [total](int value) { return value >= kMinPane && value <= total - kMinPane; };
    if (fits(kept))
        return kept;
    if (fits(fallback))
        return fallback;
    return std::max(total / 2, 0);
}

int minimumHeight(const QWidget *widget)
{
    return widget->minimumHeight() > 0 ? widget->minimumHeight() : widget->minimumSizeHint().height();
}

} // namespace

WindowLayout::WindowLayout(QMainWindow &window, SettingsStore &settings)
    : m_window(window)
    , m_settings(settings)
{ }

void WindowLayout::setParts(QSplitter *split1, QSplitter *split2, QSplitter *splitDay, QWidget *notes)
{
    m_split1 = split1;
    m_split2 = split2;
    m_splitDay = splitDay;
    m_notes = notes;
    // The kept positions follow the user's drags, not what a small window squeezed them to.
    connect(split1, &QSplitter::splitterMoved, this, &WindowLayout::remember);
    connect(split2, &QSplitter::splitterMoved, this, &WindowLayout::keepSplit2);
    connect(splitDay, &QSplitter::splitterMoved, this, &WindowLayout::remember);
    // The upper area and the day list keep their height; what the window gains or loses
    // goes to the to-do list and the notes.
    for (QSplitter *splitter : { split2, splitDay }) {
        splitter->setStretchFactor(0, 0);
        splitter->setStretchFactor(1, 1);
        splitter->installEventFilter(this);
    }
    m_window.installEventFilter(this); // a window back from maximised shows the user's split
}

bool WindowLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_split2 && event->type() == QEvent::Resize) {
        followSplit2();
    } else if (watched == m_splitDay && event->type() == QEvent::Resize) {
        follow(m_splitDay, splitDay);
    } else if (watched == &m_window && event->type() == QEvent::WindowStateChange) {
        followSplit2();
        follow(m_splitDay, splitDay);
    }
    return QObject::eventFilter(watched, event);
}

void WindowLayout::followSplit2()
{
    follow(m_split2, split2);
}

void WindowLayout::follow(QSplitter *splitter, int kept)
{
    if (!m_laidOut || splitter->count() < 2)
        return;
    const QList<int> sizes = splitter->sizes();
    // A pane closed (by "Maximize daily tasks" or "Maximize to-do tasks", or a note that is
    // not shown) stays closed.
    if (sizes.value(0) == 0 || sizes.value(1) == 0)
        return;
    const int room = splitter->height() - splitter->handleWidth();
    const int first = layoutrules::upperAreaHeight(
        kept, room, minimumHeight(splitter->widget(0)), minimumHeight(splitter->widget(1)));
    if (first != sizes.value(0))
        splitter->setSizes({ first, std::max(room - first, 0) });
}

void WindowLayout::keepSplit2()
{
    // A maximised window's split is not the normal window's.
    if (m_laidOut && isNormal())
        split2 = m_split2->sizes().value(0, split2);
}

int WindowLayout::clientHeight() const
{
    return m_window.height() - m_window.menuBar()->sizeHint().height(); // the menu bar is not client area
}

bool WindowLayout::isNormal() const
{
    return !(m_window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
}

void WindowLayout::load(int minimumWidth)
{
    // Read in this order; a value that is absent takes its default, one that cannot be
    // read is skipped and the current value stays.
    auto read = [this](const char *name, int fallback, int &into) {
        const std::optional<QString> text = m_settings.layoutValue(QString::fromLatin1(name));
        if (!text) {
            into = fallback;
            return;
        }
        bool ok = false;
        const int value = text->trimmed().toInt(&ok);
        if (ok)
            into = value;
    };
    int height = kDefaultClientHeight;
    int width = kDefaultClientWidth;
    read("Split2", kDefaultSplit2, split2);
    read("ClientHeight", kDefaultClientHeight, height);
    read("ClientWidth", kDefaultClientWidth, width);
    read("Split1", kDefaultSplit1, split1);
    read("SplitDay", kDefaultSplitDay, splitDay);
    if (height <= 0 || width <= 0)
        return;
    QSize size(std::max(width, minimumWidth), height + m_window.menuBar()->sizeHint().height());
    // A window taller or wider than the screen would hide its status line or its edge: it is
    // made to fit, with room for the title bar and borders the window manager adds. Never
    // below its least size, which wins on a screen too small even for that.
    if (const QScreen *screen = m_window.screen()) {
        const QStyle *style = m_window.style();
        const int border = 2 * style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &m_window);
        const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &m_window);
        size = size.boundedTo(screen->availableGeometry().size() - QSize(border, title + border));
    }
    m_window.resize(size);
}

void WindowLayout::apply()
{
    auto place = [](QSplitter *splitter, int &kept, int fallback) {
        const int length = splitter->orientation() == Qt::Horizontal ? splitter->width() : splitter->height();
        const int total = std::max(length, 1) - splitter->handleWidth();
        kept = fittingPosition(kept, fallback, total);
        splitter->setSizes({ kept, std::max(total - kept, 0) });
    };
    place(m_split1, split1, kDefaultSplit1);
    // The user's split may be more than this window holds (it was squeezed when the window
    // was made smaller): it is kept and the window gives it what room there is. Only one
    // taller than the screen cannot have been the user's.
    const int screenHeight = m_window.screen() ? m_window.screen()->availableGeometry().height() : 0;
    if (split2 < kMinPane || (screenHeight > 0 && split2 > screenHeight))
        split2 = kDefaultSplit2;
    const int room = std::max(m_split2->height() - m_split2->handleWidth(), 1);
    m_split2->setSizes({ split2, std::max(room - split2, 1) });
    place(m_splitDay, splitDay, kDefaultSplitDay);
    m_laidOut = true;
    followSplit2();
    follow(m_splitDay, splitDay);
}

void WindowLayout::remember()
{
    // A maximised window's positions would not fit the normal one.
    if (!m_laidOut || !isNormal() || !m_split1)
        return;
    split1 = m_split1->sizes().value(0, split1);
    if (m_notes->isVisible())
        splitDay = m_splitDay->sizes().value(0, splitDay);
}

SaveResult WindowLayout::save()
{
    // A maximised window is kept at the size it returns to.
    const QRect frame
        = isNormal() || !m_window.normalGeometry().isValid() ? m_window.geometry() : m_window.normalGeometry();
    auto write = [this](const char *name, int value) {
        m_settings.setLayoutValue(QString::fromLatin1(name), QString::number(value));
    };
    write("Split2", split2);
    write("ClientHeight", frame.height() - m_window.menuBar()->sizeHint().height());
    write("ClientWidth", frame.width());
    write("Split1", split1);
    write("SplitDay", splitDay);
    return m_settings.sync();
}
