// The volume panel: volume and balance sliders and Mute, over VolumeControl.
#pragma once

#include "SoundControls.h"

#include <QWidget>

class QCheckBox;
class QSlider;

class CVolume : public QWidget {
public:
    explicit CVolume(Player *player, QWidget *parent = nullptr);
    ~CVolume() override; // writes VolumeA and BalanceA
    VolumeControl &Control() { return m_control; }
    // Its value is the loudness, 100 minus the volume position: full volume at the top, and the filled
    // part of the groove grows with the sound.
    QSlider *VolumeSlider() const { return m_pVolume; }
    QSlider *BalanceSlider() const { return m_pBalance; }
    QCheckBox *MuteBox() const { return m_pMute; }

private:
    // Each slider's tooltip says where it stands.
    void ShowPlaces();

    VolumeControl m_control;
    QSlider *m_pVolume;
    QSlider *m_pBalance;
    QCheckBox *m_pMute;
};
