#pragma once

#include <QObject>
#include <QString>

class QSoundEffect;

namespace zorv {

class OutputVolume;

// Plays a short wave file and returns at once.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    // `path` is a file, or a resource (":/..."). Silent, and without any message, when it
    // cannot be decoded or when the machine has no audio output.
    virtual void play(const QString &path) = 0;
};

// Through the program's own audio output, at the program's own volume (`volume`'s gain,
// followed as it changes); the system mixer is never touched.
class WaveSoundPlayer final : public QObject, public SoundPlayer
{
    Q_OBJECT
public:
    explicit WaveSoundPlayer(OutputVolume &volume, QObject *parent = nullptr);
    void play(const QString &path) override;
    // 0..1 on a volume control's scale; applies to the sound playing.
    void setGain(double level);
    double gain() const { return m_gain; }

private:
    QSoundEffect *m_effect = nullptr; // made on the first play that has an output to play on
    double m_gain = 1.0;
};

} // namespace zorv
