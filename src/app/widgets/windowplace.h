#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

// Where top-level windows open: always wholly inside the available area of the screen they
// open on (the screen less panels and docks). Frames are placed, the title bar included;
// a window is given its place as a client rectangle (`setGeometry`), which means the same on
// every platform, where a position given by `move` may or may not include the frame.
namespace windowplace {

// `frame` moved into `area`; one larger than `area` is first cut to its size.
QRect fitted(const QRect &frame, const QRect &area);
// A frame of `size` centred over `over`, fitted into `area`.
QRect centred(const QSize &size, const QRect &over, const QRect &area);

// The frame around `window`'s client area: its own once the desktop has framed it, else
// that of `like` (a window the desktop has framed), else none.
QMargins frameMargins(const QWidget *window, const QWidget *like = nullptr);
// The available area of the screen that holds the middle of `rect` (the primary screen
// when none does).
QRect availableArea(const QRect &rect);

// Before a window shows: its frame centred over `owner`'s frame, when the owner is shown,
// else on the owner's screen, and fitted into that screen's available area.
void centreOver(QWidget *window, const QWidget *owner);
// Before a window shows: its frame centred on the available area of its screen (that of
// `owner`, which also lends its frame to measure by).
void centreOnScreen(QWidget *window, const QWidget *owner = nullptr);
// Before a window shows: its frame's top left corner at `at`, as far as the available area
// of the screen there allows.
void placeAt(QWidget *window, const QPoint &at, const QWidget *owner = nullptr);
// Before a window shows again: where it was, fitted into the available area of its screen.
void keepInside(QWidget *window, const QWidget *owner = nullptr);
// Before every showing: centred over `owner` the first time, then where it was.
void placeForShow(QWidget *window, const QWidget *owner);

} // namespace windowplace
