#include "qtsound.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

QtSound::QtSound() = default;
QtSound::~QtSound() = default;

void QtSound::play(const QString &path, bool loop)
{
    stop();
    const QString file = path.trimmed();
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return;
    // A new effect per sound: changing the source of a playing one is not reliable.
    if (QMediaDevices::audioOutputs().isEmpty()) {
        fail(QStringLiteral("this computer has no audio output"));
        return;
    }
    m_effect = std::make_unique<QSoundEffect>();
    QSoundEffect *effect = m_effect.get();
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [this, effect] {
        if (effect->status() == QSoundEffect::Error)
            fail(QStringLiteral("the file could not be played; a WAV file can be"));
    });
    m_effect->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    m_effect->setLoopCount(loop ? QSoundEffect::Infinite : 1);
    m_effect->play();
}

void QtSound::stop()
{
    if (m_effect)
        m_effect->stop();
}

bool QtSound::isPlaying() const
{
    return m_effect && m_effect->isPlaying();
}
