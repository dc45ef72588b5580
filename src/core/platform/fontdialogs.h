#pragma once

#include <QList>
#include <QString>

#include <optional>

// A font as the settings keep it: the family as named (which may be one the desktop shows
// through another face), the size in points and the four styles.
struct FontOption
{
    QString name;
    int size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    bool operator==(const FontOption &) const = default;
};

// The font dialog, offering the fonts the desktop has.
class FontDialogs
{
public:
    virtual ~FontDialogs() = default;
    // Opens on `initial`; nothing when the user cancels. A family that is not installed is
    // shown as the face the desktop puts in its place, and answered by its own name unless
    // the user picks another family.
    virtual std::optional<FontOption> chooseFont(const QString &title, const FontOption &initial) = 0;
};

// Answers from a script and records what was asked; for tests.
class RecordingFontDialogs final : public FontDialogs
{
public:
    std::optional<FontOption> chooseFont(const QString &title, const FontOption &initial) override
    {
        asked.append({ title, initial });
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }

    struct Asked
    {
        QString title;
        FontOption initial;
    };
    QList<Asked> asked;
    QList<std::optional<FontOption>> answers; // taken in order; none left means cancel
};
