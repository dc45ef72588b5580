#pragma once

#include "platform/sound.h"

#include <memory>

class QSoundEffect;

// Sound through the desktop's audio (WAV files). A file that will not play, or a machine
// without an audio output, is reported to the failure handler.
class QtSound final : public Sound
{
public:
    QtSound();
    ~QtSound() override;

    void play(const QString &path, bool loop) override;
    void stop() override;
    bool isPlaying() const override;

private:
    std::unique_ptr<QSoundEffect> m_effect;
};
