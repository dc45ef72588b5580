#pragma once

#include <QFont>
#include <QFontInfo>

#include "platform/fontdialogs.h"

// The fonts of the options as widget fonts, and back.
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

// The font as the screen shows it: a family that is not installed ("Times New Roman")
// becomes the face the desktop draws in its place ("Liberation Serif"), which a font
// dialog can select.
inline QFont shownFont(const FontOption &option)
{
    QFont font = toFont(option);
    font.setFamily(QFontInfo(font).family());
    return font;
}

// What a font dialog that opened on `opened` (its own choice for `initial`) answered with
// `chosen`, as an option: the size and styles chosen, and the family as `initial` names it
// unless the user picked another.
inline FontOption chosenOption(const FontOption &initial, const QFont &opened, const QFont &chosen)
{
    FontOption option = fromFont(chosen);
    const auto same = [&](const QString &family) { return option.name.compare(family, Qt::CaseInsensitive) == 0; };
    if (same(opened.family()) || same(initial.name) || same(shownFont(initial).family()))
        option.name = initial.name;
    return option;
}

} // namespace optionfont
