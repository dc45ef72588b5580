#pragma once

#include "platform/shellopener.h"

// Opens addresses and documents with the desktop's default program.
class QtShellOpener final : public ShellOpener
{
public:
    bool open(const QString &address) override;
};
