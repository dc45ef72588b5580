#pragma once

#include <QColor>
#include <QIcon>

#include "settings/settingsstore.h"

// Colour numbers of the settings (0x00BBGGRR) as the widgets' colours.
namespace colornumber {
inline QColor toColor(int number)
{
    return QColor(red(number), green(number), blue(number));
}
inline int fromColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return fromRgb(rgb.red(), rgb.green(), rgb.blue());
}
} // namespace colornumber

// Text on any background: the desktop's palette may be dark while a colour of the program
// (a heading's navy, a cell's fill) assumes a light one.
namespace readable {
// The WCAG contrast ratio of two colours, from 1 (none) to 21.
double contrast(const QColor &a, const QColor &b);
// `colour` itself when it is readable on `background`; else the same hue made lighter or
// darker, away from the background, until it is.
QColor on(const QColor &colour, const QColor &background, double ratio = 3.0);
// An icon drawn in dark ink, with that ink lightened when the background is dark; coloured
// parts stay as they are.
QIcon icon(const QIcon &icon, const QColor &background);
} // namespace readable
