#pragma once

#include "platform/fontdialogs.h"

class QtDialogs;

// The desktop's font dialog, over the window that asked.
class QtFontDialogs final : public FontDialogs
{
public:
    explicit QtFontDialogs(const QtDialogs &owners)
        : m_owners(owners)
    { }

    std::optional<FontOption> chooseFont(const QString &title, const FontOption &initial) override;

private:
    const QtDialogs &m_owners;
};
