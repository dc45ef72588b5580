#pragma once

#include "platform/filedialogs.h"

class QtDialogs;

// The desktop's file dialogs, over the window that asked.
class QtFileDialogs final : public FileDialogs
{
public:
    explicit QtFileDialogs(const QtDialogs &owners)
        : m_owners(owners)
    { }

    std::optional<QString> openFile(const QString &title, const QString &initial, const QString &filter) override;
    std::optional<QString> saveFile(
        const QString &title, const QString &initial, const QString &filter, const QString &defaultSuffix) override;

private:
    const QtDialogs &m_owners;
};
