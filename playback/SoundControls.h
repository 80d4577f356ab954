// Volume, balance and tempo of the playing title: the formulas and the two panels' logic.
#pragma once

#include <QString>

#include <cstdint>

class Player;

// Hundredths of a decibel for volume position 0 (full) .. 100 (silent).
long VolumeToDs(int position);
// Pan for balance position 0 (left) .. 100 (centre) .. 200 (right).
long PanToDs(int position);
// The buffer frequency for tempo position -500 (+50 %) .. 500 (-50 %) and the title's own rate.
uint32_t TempoFrequency(int position, uint32_t samplesPerSec);
// "+12.5 %" for position -125, "-3.0 %" for 30.
QString TempoText(int position);
// The loudness the user reads: "80 %" for position 20.
QString VolumeText(int position);
// "centre"; "30 % left" for position 70, "25 % right" for 125.
QString BalanceText(int position);

// The volume panel without its widgets: volume and balance are kept across runs, mute is not.
class VolumeControl {
public:
    explicit VolumeControl(Player *player) : m_pPlayer(player) {}
    void Load(); // VOLUME/VolumeA and BalanceA; mute off
    void Save() const;

    void SetVolumePos(int position);
    void SetBalancePos(int position);
    void SetMute(bool bMute);
    int VolumePos() const { return m_nVolume; }
    int BalancePos() const { return m_nBalance; }
    bool IsMuted() const { return m_bMute; }
    // What the buffer gets: silence while muted.
    long CurrentVolume() const { return m_bMute ? -10000 : VolumeToDs(m_nVolume); }
    // Applied by the player to each new buffer: volume, then pan.
    void ApplyToBuffer() const;

private:
    Player *m_pPlayer;
    int m_nVolume = 0;
    int m_nBalance = 100;
    bool m_bMute = false;
};

// The tempo panel without its widgets: the tempo always starts at the original speed.
class PitchControl {
public:
    explicit PitchControl(Player *player) : m_pPlayer(player) {}
    void Load(); // reads VOLUME/PitchA, then applies 0
    void Save() const;

    // Stores the position and sets the buffer's frequency when a title is loaded; false when refused.
    bool Apply(int position);
    int Position() const { return m_nPitch; }
    QString Text() const { return TempoText(m_nPitch); }

private:
    Player *m_pPlayer;
    int m_nPitch = 0;
};
