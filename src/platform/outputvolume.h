#pragma once

#include <QObject>

#include <optional>
#include <utility>

namespace zorv {

// The program's own output volume, standing in for the sound card's mixer and for the
// default output's endpoint volume. The mixer side has a volume control with two 16-bit
// channel levels (left first) and a mute control; the endpoint side, when an output
// exists, a master scalar 0..1. Nothing here reaches the system's volume: together they
// make the gain every sound of the program is played at,
//   gain = (muted ? 0 : max(left, right) / 65535) x scalar,
// on the loudness scale a volume control shows (see outputVolumeFor). Balance is kept in
// the levels and read back, not rendered.
class OutputVolume : public QObject
{
    Q_OBJECT
public:
    using Levels = std::pair<quint16, quint16>; // left, right

    using QObject::QObject;

    // Mixer side. Each call on a control the line lacks fails (false, nullopt).
    virtual bool hasVolumeControl() const = 0;
    virtual bool hasMuteControl() const = 0;
    virtual bool setLevels(Levels levels) = 0;
    virtual std::optional<Levels> levels() const = 0;
    virtual bool setMuted(bool muted) = 0;
    virtual std::optional<bool> muted() const = 0;

    // Endpoint side: fails without an output.
    virtual bool hasEndpoint() const = 0;
    virtual bool setMasterScalar(float scalar) = 0;
    virtual std::optional<float> masterScalar() const = 0;

    // The gain that follows from the values above, 0..1.
    double gain() const;

signals:
    void gainChanged(double gain);
};

// The real one: the values live in memory for the program's run; the controls are
// always there, the levels start at 65535/65535, unmuted, scalar 1; the endpoint is there
// while the machine has a default audio output.
class ProgramOutputVolume final : public OutputVolume
{
    Q_OBJECT
public:
    using OutputVolume::OutputVolume;

    bool hasVolumeControl() const override { return true; }
    bool hasMuteControl() const override { return true; }
    bool setLevels(Levels levels) override;
    std::optional<Levels> levels() const override { return m_levels; }
    bool setMuted(bool muted) override;
    std::optional<bool> muted() const override { return m_muted; }
    bool hasEndpoint() const override;
    bool setMasterScalar(float scalar) override;
    std::optional<float> masterScalar() const override { return m_scalar; }

private:
    void changed();

    Levels m_levels{65535, 65535};
    bool m_muted = false;
    float m_scalar = 1.0f;
    double m_lastGain = 1.0;
};

} // namespace zorv
