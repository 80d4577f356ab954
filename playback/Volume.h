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
    QSlider *VolumeSlider() const { return m_pVolume; }
    QSlider *BalanceSlider() const { return m_pBalance; }
    QCheckBox *MuteBox() const { return m_pMute; }

private:
    VolumeControl m_control;
    QSlider *m_pVolume;
    QSlider *m_pBalance;
    QCheckBox *m_pMute;
};
