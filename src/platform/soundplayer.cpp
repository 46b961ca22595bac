#include "soundplayer.h"

#include "platform/audioplayback.h"
#include "platform/outputvolume.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace zorv {

WaveSoundPlayer::WaveSoundPlayer(OutputVolume &volume, QObject *parent)
    : QObject(parent)
    , m_gain(volume.gain())
{
    connect(&volume, &OutputVolume::gainChanged, this, &WaveSoundPlayer::setGain);
}

void WaveSoundPlayer::play(const QString &path)
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    if (!m_effect) {
        m_effect = new QSoundEffect(this);
        m_effect->setVolume(outputVolumeFor(m_gain));
    }
    const QUrl source =
        path.startsWith(QLatin1String(":/")) ? QUrl(QStringLiteral("qrc") + path) : QUrl::fromLocalFile(path);
    if (m_effect->source() != source)
        m_effect->setSource(source); // loads in the background; play() waits for it
    m_effect->play();
}

void WaveSoundPlayer::setGain(double level)
{
    m_gain = qBound(0.0, level, 1.0);
    if (m_effect)
        m_effect->setVolume(outputVolumeFor(m_gain));
}

} // namespace zorv
