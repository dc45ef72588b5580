#include "windowlayout.h"

#include "settings/settingsstore.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QSplitter>

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
    if (height > 0 && width > 0)
        m_window.resize(std::max(width, minimumWidth), height + m_window.menuBar()->sizeHint().height());
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
    place(m_split2, split2, kDefaultSplit2);
    place(m_splitDay, splitDay, kDefaultSplitDay);
    m_laidOut = true;
}

void WindowLayout::remember()
{
    // A maximised window's positions would not fit the normal one.
    if (!m_laidOut || !isNormal() || !m_split1)
        return;
    split1 = m_split1->sizes().value(0, split1);
    split2 = m_split2->sizes().value(0, split2);
    if (m_notes->isVisible())
        splitDay = m_splitDay->sizes().value(0, splitDay);
}

SaveResult WindowLayout::save()
{
    if (m_window.isVisible())
        remember();
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
