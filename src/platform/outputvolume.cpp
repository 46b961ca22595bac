#include "outputvolume.h"

#include <QAudioDevice>
#include <QMediaDevices>

#include <algorithm>

namespace zorv {

double OutputVolume::gain() const
{
    const auto l = levels();
    const auto m = muted();
    const auto s = masterScalar();
    if (m.value_or(false))
        return 0.0;
    const double level = l ? std::max(l->first, l->second) / 65535.0 : 1.0;
    return std::clamp(level * double(s.value_or(1.0f)), 0.0, 1.0);
}

bool ProgramOutputVolume::setLevels(Levels levels)
{
    m_levels = levels;
    changed();
    return true;
}

bool ProgramOutputVolume::setMuted(bool muted)
{
    m_muted = muted;
    changed();
    return true;
}

bool ProgramOutputVolume::hasEndpoint() const
{
    return !QMediaDevices::defaultAudioOutput().isNull();
}

bool ProgramOutputVolume::setMasterScalar(float scalar)
{
    if (!hasEndpoint())
        return false;
    m_scalar = std::clamp(scalar, 0.0f, 1.0f);
    changed();
    return true;
}

void ProgramOutputVolume::changed()
{
    const double now = gain();
    if (now != m_lastGain) {
        m_lastGain = now;
        emit gainChanged(now);
    }
}

} // namespace zorv
