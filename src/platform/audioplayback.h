#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace zorv {

// One music player: opens one local file at a time and plays it. Opening is
// asynchronous: open() returns at once and the player reports opened(length) or failed()
// later. Every call on a player with nothing open does nothing.
class AudioPlayer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Closes what is open and starts opening `path` (an existing regular file only).
    virtual void open(const QString &path) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    // Stops and lets go of the open file.
    virtual void close() = 0;
    virtual void setPosition(qint64 msecs) = 0;
    virtual qint64 position() const = 0;
    // The open track's length in milliseconds; 0 while unknown.
    virtual qint64 length() const = 0;
    virtual bool isOpen() const = 0;
    virtual bool isPlaying() const = 0;
    virtual bool isPaused() const = 0;
    // The program's own volume for this player, 0..1 on the loudness scale a volume
    // control shows (see outputVolumeFor).
    virtual void setGain(double level) = 0;

signals:
    // The file opened; its length, 0 when not known yet (lengthChanged follows).
    void opened(qint64 length);
    // The file could not be opened; nothing is open.
    void failed();
    void lengthChanged(qint64 length);
    // The open track played to its end.
    void ended();
};

// Makes the program's music players.
class AudioPlayback
{
public:
    virtual ~AudioPlayback() = default;
    // A new player owned by `parent`.
    virtual AudioPlayer *makePlayer(QObject *parent) = 0;
};

// Plays through Qt Multimedia on the default audio output. Without the decoders the
// backend needs (or, with a backend that cannot play without a device, without a device)
// every open fails and nothing is ever started.
class QtAudioPlayer final : public AudioPlayer
{
    Q_OBJECT
public:
    explicit QtAudioPlayer(QObject *parent = nullptr);
    ~QtAudioPlayer() override;

    // True when this machine can decode some audio format; without one the media
    // backend must not be touched at all (its player crashes on construction).
    static bool canDecode();

    void open(const QString &path) override;
    void play() override;
    void pause() override;
    void stop() override;
    void close() override;
    void setPosition(qint64 msecs) override;
    qint64 position() const override;
    qint64 length() const override;
    bool isOpen() const override { return m_state == State::Open; }
    bool isPlaying() const override;
    bool isPaused() const override;
    void setGain(double level) override;
    // The volume handed to the audio output (after the loudness mapping); for tests.
    double outputVolume() const;

private:
    enum class State { Closed, Opening, Open };

    void dropPlayer();
    void failLater();
    void onStatus(int status);

    QMediaPlayer *m_player = nullptr; // made at the first open, dropped after a failure
    QAudioOutput *m_output = nullptr;
    State m_state = State::Closed;
    double m_gain = 1.0;
};

class OutputVolume;

// Every player made here plays at the program's gain and follows it as it changes.
class QtAudioPlayback final : public AudioPlayback
{
public:
    explicit QtAudioPlayback(OutputVolume &volume)
        : m_volume(volume)
    {}
    AudioPlayer *makePlayer(QObject *parent) override;

private:
    OutputVolume &m_volume;
};

// The linear amplitude factor an audio output takes for a volume-control level (0..1):
// a control's steps are heard as even steps of loudness, so the level is mapped from the
// logarithmic scale onto the output's linear one.
float outputVolumeFor(double level);

} // namespace zorv
