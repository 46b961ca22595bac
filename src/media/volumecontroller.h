#pragma once

#include <QObject>

namespace zorv {

class OutputVolume;

// The volume component of the suite window (objectName "zorvVol"): volume 0..100,
// balance -100 (left only) .. 100 (right only) and mute of the speakers line, set on the
// two channel levels (left first, 0..65535) of the line's volume control and on its mute
// control. Reading back goes through the levels, so integer division can give one less
// than was set (35 reads 34).
//
// Construction applies, in this order, Mute false, Volume 20 and Balance 0, as the
// window's stored values. A line without a volume or mute control leaves its record
// zeroed, and every later call on it fails without effect.
class TzorvVolumeController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Mute READ mute WRITE SetMute)
    Q_PROPERTY(int Volume READ GetVolume WRITE SetVolume)
    Q_PROPERTY(int Balance READ GetBalance WRITE SetBalance)

public:
    static constexpr int kStartVolume = 20;

    // One control of the line as the mixer describes it; all zero when not found.
    struct MixerControl
    {
        quint32 dwControlID = 0;
        quint32 dwControlType = 0;
    };
    static constexpr quint32 kVolumeControlType = 0x50030001;
    static constexpr quint32 kMuteControlType = 0x20010002;

    TzorvVolumeController(OutputVolume &mixer, QObject *owner);

    // Opens the mixer and finds the controls, sets mute off, reads volume and balance.
    void Create();
    // Ignored unless 0 <= volume <= 100; applies volume and the stored balance.
    void SetVolume(int volume);
    // Ignored unless -100 <= balance <= 100; applies the stored volume and balance.
    void SetBalance(int balance);
    void SetMute(bool mute);
    // Both read the two levels into the fields, then return the one asked.
    int GetVolume();
    int GetBalance();
    bool mute() const { return m_Mute; }

    // The two channel levels for volume `volume` and balance `balance`.
    static std::pair<quint16, quint16> levelsFor(int volume, int balance);

private:
    void apply();
    void readLevels();

    OutputVolume &m_mixer;
    quint32 m_mixerHandle = 0;
    MixerControl m_MuteControl;
    MixerControl m_VolControl;
    bool m_Mute = false;
    int m_Volume = 0;
    int m_Balance = 0;
};

} // namespace zorv
