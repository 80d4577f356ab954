// The tempo panel: tempo slider, percentage text and "Standard", over PitchControl.
#pragma once

#include "SoundControls.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QSlider;

class CPitch : public QWidget {
public:
    explicit CPitch(Player *player, QWidget *parent = nullptr);
    ~CPitch() override; // writes PitchA
    PitchControl &Control() { return m_control; }
    QSlider *TempoSlider() const { return m_pSlider; }
    QLabel *PercentText() const { return m_pText; }
    QPushButton *StandardButton() const { return m_pStandard; }

private:
    void Apply(int position);

    PitchControl m_control;
    QSlider *m_pSlider;
    QLabel *m_pText;
    QPushButton *m_pStandard;
};
