#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Plays a sound file in the background. A path that is blank or names no file plays
// nothing and is no error. A sound that cannot be heard (a file that will not play, a
// machine without audio output) is told to the failure handler, with why.
class Sound
{
public:
    using FailureHandler = std::function<void(const QString &reason)>;

    virtual ~Sound() = default;
    // Replaces whatever is playing; `loop` repeats it until stop.
    virtual void play(const QString &path, bool loop) = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    // Called at most once per play, during it or later.
    void setFailureHandler(FailureHandler handler) { m_failed = std::move(handler); }

protected:
    void fail(const QString &reason) const
    {
        if (m_failed)
            m_failed(reason);
    }

private:
    FailureHandler m_failed;
};

class RecordingSound final : public Sound
{
public:
    void play(const QString &path, bool loop) override
    {
        played << path;
        m_playing = !path.trimmed().isEmpty() && failWith.isEmpty();
        looping = loop;
        if (!path.trimmed().isEmpty() && !failWith.isEmpty())
            fail(failWith);
    }
    void stop() override { m_playing = false; }
    bool isPlaying() const override { return m_playing; }

    QStringList played;
    bool looping = false;
    QString failWith; // a play fails with this reason when set

private:
    bool m_playing = false;
};
