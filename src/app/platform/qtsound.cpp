#include "qtsound.h"

#include <QFileInfo>
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
    m_effect = std::make_unique<QSoundEffect>();
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
