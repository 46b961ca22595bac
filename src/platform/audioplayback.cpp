#include "audioplayback.h"

#include "outputvolume.h"

#include <QAudio>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaFormat>
#include <QMediaPlayer>
#include <QUrl>

namespace zorv {

float outputVolumeFor(double level)
{
    return float(QAudio::convertVolume(float(qBound(0.0, level, 1.0)), QAudio::LogarithmicVolumeScale,
                                       QAudio::LinearVolumeScale));
}

AudioPlayer *QtAudioPlayback::makePlayer(QObject *parent)
{
    auto *player = new QtAudioPlayer(parent);
    player->setGain(m_volume.gain());
    QObject::connect(&m_volume, &OutputVolume::gainChanged, player, &QtAudioPlayer::setGain);
    return player;
}

QtAudioPlayer::QtAudioPlayer(QObject *parent)
    : AudioPlayer(parent)
{}

QtAudioPlayer::~QtAudioPlayer()
{
    dropPlayer();
}

bool QtAudioPlayer::canDecode()
{
    static const bool can = [] {
        if (QMediaFormat().supportedAudioCodecs(QMediaFormat::Decode).isEmpty())
            return false;
        // The ffmpeg backend crashes when asked to play without an output device; the
        // GStreamer one plays into a silent sink instead.
        if (qEnvironmentVariable("QT_MEDIA_BACKEND") == QLatin1String("ffmpeg") &&
            QMediaDevices::audioOutputs().isEmpty())
            return false;
        return true;
    }();
    return can;
}

void QtAudioPlayer::open(const QString &path)
{
    close();
    // Local regular files only: a name copied into a playlist could point at a device, a
    // pipe or an address, which the backend would block on or stream from.
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile() || !canDecode()) {
        failLater();
        return;
    }
    if (!m_player) {
        m_player = new QMediaPlayer(this);
        m_output = new QAudioOutput(m_player);
        m_output->setVolume(outputVolumeFor(m_gain));
        m_player->setAudioOutput(m_output);
        connect(m_player, &QMediaPlayer::mediaStatusChanged, this,
                [this](QMediaPlayer::MediaStatus status) { onStatus(int(status)); });
        connect(m_player, &QMediaPlayer::durationChanged, this, [this](qint64 duration) {
            if (m_state == State::Open)
                emit lengthChanged(duration);
        });
        connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error) {
            if (error != QMediaPlayer::NoError && m_state != State::Closed)
                onStatus(int(QMediaPlayer::InvalidMedia));
        });
    }
    m_state = State::Opening;
    m_player->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
}

void QtAudioPlayer::onStatus(int status)
{
    switch (QMediaPlayer::MediaStatus(status)) {
    case QMediaPlayer::LoadedMedia:
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::BufferedMedia:
        if (m_state == State::Opening) {
            m_state = State::Open;
            emit opened(m_player->duration());
        }
        break;
    case QMediaPlayer::EndOfMedia:
        if (m_state == State::Open)
            emit ended();
        break;
    case QMediaPlayer::InvalidMedia: {
        // A player left with media it could not read keeps claiming to play, and stopping
        // or re-using it blocks: it is dropped and the next open makes a new one.
        const bool wasOpening = m_state == State::Opening;
        m_state = State::Closed;
        dropPlayer();
        if (wasOpening)
            emit failed();
        break;
    }
    default:
        break;
    }
}

void QtAudioPlayer::failLater()
{
    m_state = State::Closed;
    QMetaObject::invokeMethod(
        this,
        [this, player = QPointer<QMediaPlayer>(m_player)] {
            // A later open already replaced this request: its own answer follows.
            if (m_state == State::Closed && player == m_player)
                emit failed();
        },
        Qt::QueuedConnection);
}

void QtAudioPlayer::dropPlayer()
{
    if (!m_player)
        return;
    m_player->disconnect(this);
    if (m_state == State::Open)
        m_player->stop();
    m_player->setParent(nullptr);
    m_player->deleteLater(); // possibly inside one of its own signals
    m_player = nullptr;
    m_output = nullptr;
}

void QtAudioPlayer::play()
{
    if (m_state == State::Open)
        m_player->play();
}

void QtAudioPlayer::pause()
{
    if (m_state == State::Open)
        m_player->pause();
}

void QtAudioPlayer::stop()
{
    if (m_state == State::Open)
        m_player->stop();
}

void QtAudioPlayer::close()
{
    dropPlayer();
    m_state = State::Closed;
}

void QtAudioPlayer::setPosition(qint64 msecs)
{
    if (m_state == State::Open)
        m_player->setPosition(msecs);
}

qint64 QtAudioPlayer::position() const
{
    return m_state == State::Open ? m_player->position() : 0;
}

qint64 QtAudioPlayer::length() const
{
    return m_state == State::Open ? m_player->duration() : 0;
}

bool QtAudioPlayer::isPlaying() const
{
    return m_state == State::Open && m_player->playbackState() == QMediaPlayer::PlayingState;
}

bool QtAudioPlayer::isPaused() const
{
    return m_state == State::Open && m_player->playbackState() == QMediaPlayer::PausedState;
}

void QtAudioPlayer::setGain(double level)
{
    m_gain = qBound(0.0, level, 1.0);
    if (m_output)
        m_output->setVolume(outputVolumeFor(m_gain));
}

double QtAudioPlayer::outputVolume() const
{
    return m_output ? m_output->volume() : outputVolumeFor(m_gain);
}

} // namespace zorv
