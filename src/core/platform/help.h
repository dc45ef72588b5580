#pragma once

#include <QList>

// The program's help, opened at a topic: 100 the main window, 200 task filters,
// 300 holidays, 400 program options.
class Help
{
public:
    virtual ~Help() = default;
    virtual void showTopic(int topic) = 0;
};

class RecordingHelp final : public Help
{
public:
    void showTopic(int topic) override { topics << topic; }
    QList<int> topics;
};
