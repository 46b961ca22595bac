#include "soundplayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace zorv {

WaveSoundPlayer::WaveSoundPlayer(QObject *parent)
    : QObject(parent)
{}

void WaveSoundPlayer::play(const QString &path)
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    if (!m_effect)
        m_effect = new QSoundEffect(this);
    const QUrl source =
        path.startsWith(QLatin1String(":/")) ? QUrl(QStringLiteral("qrc") + path) : QUrl::fromLocalFile(path);
    if (m_effect->source() != source)
        m_effect->setSource(source); // loads in the background; play() waits for it
    m_effect->play();
}

} // namespace zorv
