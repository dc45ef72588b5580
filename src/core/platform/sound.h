#pragma once

#include <QString>
#include <QStringList>

// Plays a sound file in the background. A path that is blank or names no file plays
// nothing and is no error; neither is a machine without sound.
class Sound
{
public:
    virtual ~Sound() = default;
    // Replaces whatever is playing; `loop` repeats it until stop.
    virtual void play(const QString &path, bool loop) = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
};

class RecordingSound final : public Sound
{
public:
    void play(const QString &path, bool loop) override
    {
        played << path;
        m_playing = !path.trimmed().isEmpty();
        looping = loop;
    }
    void stop() override { m_playing = false; }
    bool isPlaying() const override { return m_playing; }

    QStringList played;
    bool looping = false;

private:
    bool m_playing = false;
};
