#pragma once

#include "platform/sound.h"

#include <memory>

class QSoundEffect;

// Sound through the desktop's audio (WAV files). Without an audio device nothing is heard
// and nothing is reported.
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
