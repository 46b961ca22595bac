#pragma once

#include <QObject>
#include <QString>

class QSoundEffect;

namespace zorv {

// Plays a short wave file and returns at once. Silent, and without any message, when the
// file cannot be decoded or when the machine has no audio output.
class WaveSound : public QObject
{
    Q_OBJECT
public:
    explicit WaveSound(QObject *parent = nullptr);

    void play(const QString &path);
    // The program's volume, 0..1 on a volume control's scale; applies to the sound playing.
    void setGain(double level);
    double gain() const { return m_gain; }

private:
    QSoundEffect *m_effect = nullptr; // made on the first play that has an output to play on
    double m_gain = 1.0;
};

} // namespace zorv
