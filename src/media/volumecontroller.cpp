#include "volumecontroller.h"

#include "platform/outputvolume.h"

#include <algorithm>

namespace zorv {

TzorvVolumeController::TzorvVolumeController(OutputVolume &mixer, QObject *owner)
    : QObject(owner)
    , m_mixer(mixer)
{
    setObjectName(QStringLiteral("zorvVol"));
    Create();
    // The stored values, in their stored order.
    SetMute(false);
    SetVolume(kStartVolume);
    SetBalance(0);
}

void TzorvVolumeController::Create()
{
    m_mixerHandle = 1; // mixer device 0, opened for the component's life
    m_VolControl = {};
    m_MuteControl = {};
    if (m_mixer.hasVolumeControl())
        m_VolControl = {1, kVolumeControlType};
    if (m_mixer.hasMuteControl())
        m_MuteControl = {2, kMuteControlType};
    SetMute(false);
    readLevels();
}

std::pair<quint16, quint16> TzorvVolumeController::levelsFor(int volume, int balance)
{
    const qint64 x = qint64(volume) * 65535 / 100;
    qint64 left, right;
    if (balance < 0) {
        left = x;
        right = (balance + 100) * x / 100;
    } else {
        left = x * (100 - balance) / 100;
        right = x;
    }
    return {quint16(left), quint16(right)};
}

void TzorvVolumeController::apply()
{
    if (m_VolControl.dwControlID == 0)
        return;
    m_mixer.setLevels(levelsFor(m_Volume, m_Balance));
}

void TzorvVolumeController::readLevels()
{
    if (m_VolControl.dwControlID == 0)
        return;
    const auto levels = m_mixer.levels();
    if (!levels)
        return;
    const int left = levels->first, right = levels->second;
    const int top = std::max(left, right);
    m_Volume = top * 100 / 65535;
    m_Balance = m_Volume == 0 ? 0 : (right - left) * 100 / top;
}

void TzorvVolumeController::SetVolume(int volume)
{
    if (volume < 0 || volume > 100)
        return;
    m_Volume = volume;
    apply();
}

void TzorvVolumeController::SetBalance(int balance)
{
    if (balance < -100 || balance > 100)
        return;
    m_Balance = balance;
    apply();
}

void TzorvVolumeController::SetMute(bool mute)
{
    m_Mute = mute;
    if (m_MuteControl.dwControlID != 0)
        m_mixer.setMuted(mute);
}

int TzorvVolumeController::GetVolume()
{
    readLevels();
    return m_Volume;
}

int TzorvVolumeController::GetBalance()
{
    readLevels();
    return m_Balance;
}

} // namespace zorv
