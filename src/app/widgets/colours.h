#pragma once

#include <QColor>

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
