// Volume, balance and tempo: DirectSound units from slider positions, applied to the player's buffer.
#include "SoundControls.h"

#include "Player.h"
#include "Settings.h"
#include "Sound.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {

const QString kVolume = QStringLiteral("VOLUME");

} // namespace

long VolumeToDs(int position) {
    if (position >= 100)
        return -10000;
    position = std::max(position, 0);
    return static_cast<long>(1000.0 * std::log2((100 - position) / 100.0));
}

long PanToDs(int position) {
    if (position <= 0)
        return -10000;
    if (position >= 200)
        return 10000;
    if (position == 100)
        return 0;
    if (position < 100)
        return -static_cast<long>(1000.0 * std::log2(100.0 / position));
    return static_cast<long>(1000.0 * std::log2(100.0 / (200 - position)));
}

uint32_t TempoFrequency(int position, uint32_t samplesPerSec) {
    return static_cast<uint32_t>((1.0 - position * 0.001) * samplesPerSec);
}

QString TempoText(int position) {
    const double value = (-position) / 10.0;
    return position <= 0 ? QString::asprintf("+%.1f %%", value) : QString::asprintf("%.1f %%", value);
}

QString VolumeText(int position) {
    return QStringLiteral("%1 %").arg(100 - std::clamp(position, 0, 100));
}

QString BalanceText(int position) {
    position = std::clamp(position, 0, 200);
    if (position == 100)
        return QCoreApplication::translate("CVolume", "centre");
    return position < 100 ? QCoreApplication::translate("CVolume", "%1 % left").arg(100 - position)
                          : QCoreApplication::translate("CVolume", "%1 % right").arg(position - 100);
}

void VolumeControl::Load() {
    m_nVolume = std::clamp(GetSettingInt(kVolume, QStringLiteral("VolumeA"), 0), 0, 100);
    m_nBalance = std::clamp(GetSettingInt(kVolume, QStringLiteral("BalanceA"), 100), 0, 200);
    m_bMute = false;
}

void VolumeControl::Save() const {
    WriteSettingInt(kVolume, QStringLiteral("VolumeA"), m_nVolume);
    WriteSettingInt(kVolume, QStringLiteral("BalanceA"), m_nBalance);
}

void VolumeControl::SetVolumePos(int position) {
    m_nVolume = std::clamp(position, 0, 100);
    if (!m_bMute && m_pPlayer && m_pPlayer->StreamBuffer())
        m_pPlayer->StreamBuffer()->SetVolume(VolumeToDs(m_nVolume));
}

void VolumeControl::SetBalancePos(int position) {
    m_nBalance = std::clamp(position, 0, 200);
    if (m_pPlayer && m_pPlayer->StreamBuffer())
        m_pPlayer->StreamBuffer()->SetPan(PanToDs(m_nBalance));
}

void VolumeControl::SetMute(bool bMute) {
    m_bMute = bMute;
    if (m_pPlayer && m_pPlayer->StreamBuffer())
        m_pPlayer->StreamBuffer()->SetVolume(CurrentVolume());
}

void VolumeControl::ApplyToBuffer() const {
    if (!m_pPlayer || !m_pPlayer->StreamBuffer())
        return;
    m_pPlayer->StreamBuffer()->SetVolume(CurrentVolume());
    m_pPlayer->StreamBuffer()->SetPan(PanToDs(m_nBalance));
}

void PitchControl::Load() {
    GetSettingInt(kVolume, QStringLiteral("PitchA"), 0); // read for its side of the store only
    Apply(0);
}

void PitchControl::Save() const {
    WriteSettingInt(kVolume, QStringLiteral("PitchA"), m_nPitch);
}

bool PitchControl::Apply(int position) {
    m_nPitch = std::clamp(position, -500, 500);
    DirectSoundBuffer *buffer = m_pPlayer ? m_pPlayer->StreamBuffer() : nullptr;
    if (!buffer)
        return true;
    const uint32_t original = m_pPlayer->TitleRate();
    const uint32_t wanted = TempoFrequency(m_nPitch, original);
    const HRESULT hr = buffer->SetFrequency(wanted);
    if (hr == DS_OK)
        return true;
    DsCaps caps;
    if (SoundDevice())
        SoundDevice()->GetCaps(&caps);
    return CheckSound(hr, QStringLiteral("SetFrequency"),
                      QString::asprintf(" hr %d, Original %d, New %d, Max %d, Min %d", hr, int(original), int(wanted),
                                        int(caps.dwMaxSecondarySampleRate), int(caps.dwMinSecondarySampleRate)));
}
