#include "windowplace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace windowplace {

namespace {

constexpr const char *kPlaced = "tallydayPlaced"; // the window has had its first place

QMargins marginsOf(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    return QMargins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
        frame.bottom() - inner.bottom());
}

QScreen *screenOf(const QWidget *window)
{
    QScreen *screen = window ? window->screen() : nullptr;
    return screen ? screen : QGuiApplication::primaryScreen();
}

// The size the window would take as it shows, which placing it must not lose.
void sizeForShow(QWidget *window)
{
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
}

void setFrame(QWidget *window, const QRect &frame, const QMargins &margins)
{
    window->setGeometry(frame.marginsRemoved(margins));
}

} // namespace

QRect fitted(const QRect &frame, const QRect &area)
{
    if (area.isEmpty())
        return frame;
    QRect result(frame.topLeft(), frame.size().boundedTo(area.size()));
    result.moveLeft(std::clamp(result.left(), area.left(), area.right() + 1 - result.width()));
    result.moveTop(std::clamp(result.top(), area.top(), area.bottom() + 1 - result.height()));
    return result;
}

QRect centred(const QSize &size, const QRect &over, const QRect &area)
{
    QRect frame(QPoint(0, 0), size);
    frame.moveCenter(over.center());
    return fitted(frame, area);
}

QMargins frameMargins(const QWidget *window, const QWidget *like)
{
    const QMargins own = marginsOf(window);
    if (!own.isNull() || !like || !like->isVisible())
        return own;
    return marginsOf(like->window());
}

QRect availableArea(const QRect &rect)
{
    QScreen *screen = QGuiApplication::screenAt(rect.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void centreOver(QWidget *window, const QWidget *owner)
{
    sizeForShow(window);
    const QWidget *top = owner ? owner->window() : nullptr;
    const QMargins margins = frameMargins(window, top);
    const QSize frameSize = window->size().grownBy(margins);
    if (top && top->isVisible() && !top->isMinimized()) {
        const QRect over = top->frameGeometry();
        setFrame(window, centred(frameSize, over, availableArea(over)), margins);
    } else {
        centreOnScreen(window, top);
    }
}

void centreOnScreen(QWidget *window, const QWidget *owner)
{
    sizeForShow(window);
    const QWidget *top = owner ? owner->window() : nullptr;
    const QMargins margins = frameMargins(window, top);
    QScreen *screen = screenOf(top ? top : window);
    const QRect area = screen ? screen->availableGeometry() : QRect();
    setFrame(window, centred(window->size().grownBy(margins), area, area), margins);
}

void placeAt(QWidget *window, const QPoint &at, const QWidget *owner)
{
    sizeForShow(window);
    const QMargins margins = frameMargins(window, owner ? owner->window() : nullptr);
    const QRect frame(at, window->size().grownBy(margins));
    setFrame(window, fitted(frame, availableArea(frame)), margins);
}

void keepInside(QWidget *window, const QWidget *owner)
{
    sizeForShow(window);
    const QMargins margins = frameMargins(window, owner ? owner->window() : nullptr);
    const QRect frame = window->geometry().marginsAdded(margins);
    setFrame(window, fitted(frame, availableArea(frame)), margins);
}

void placeForShow(QWidget *window, const QWidget *owner)
{
    if (window->property(kPlaced).toBool()) {
        keepInside(window, owner);
        return;
    }
    centreOver(window, owner);
    window->setProperty(kPlaced, true);
}

} // namespace windowplace
