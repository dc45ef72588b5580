#pragma once

#include <QString>
#include <QStringList>

// Opens a document or web address with the desktop's program for it.
class ShellOpener
{
public:
    virtual ~ShellOpener() = default;
    // False when nothing could be started for it.
    virtual bool open(const QString &address) = 0;
};

class RecordingShellOpener final : public ShellOpener
{
public:
    bool open(const QString &address) override
    {
        opened << address;
        return succeed;
    }
    QStringList opened;
    bool succeed = true;
};
