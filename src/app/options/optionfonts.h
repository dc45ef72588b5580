#pragma once

#include <QFont>
#include <QFontInfo>

#include "settings/settingsstore.h"

// The three fonts of the options as widget fonts, and back.
namespace optionfont {

inline QFont toFont(const FontOption &option)
{
    QFont font(option.name);
    if (option.size > 0)
        font.setPointSize(option.size);
    font.setBold(option.bold);
    font.setItalic(option.italic);
    font.setUnderline(option.underline);
    font.setStrikeOut(option.strikeOut);
    return font;
}

inline FontOption fromFont(const QFont &font)
{
    FontOption option;
    option.name = font.family();
    // A font given in pixels has no point size of its own; take the one it shows in.
    option.size = font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize();
    option.bold = font.bold();
    option.italic = font.italic();
    option.underline = font.underline();
    option.strikeOut = font.strikeOut();
    return option;
}

} // namespace optionfont
