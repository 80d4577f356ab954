// Shared by the playlist tests: the WAV plug-in of the program folder and WAV files made on the spot.
#pragma once

#include "TitleList.h"

#include <QString>

// Loads the program folder's plug-ins once per process; false when in-wave.so is not there.
bool LoadTestPlugins();

// Writes an 8 kHz mono 8-bit WAV file of the given length and returns its path.
QString MakeWavFile(const QString &folder, const QString &name, int seconds);

// Runs the event loop until the list's reader has stopped (false after 30 s).
bool WaitForReader(TitleList &list);

// A player that remembers what the list told it and unmarks on stop, as the real one does.
class FakePlayer : public TitleListPlayer {
public:
    explicit FakePlayer(TitleList &list) : m_list(list) { list.SetPlayer(this); }
    ~FakePlayer() override { m_list.SetPlayer(nullptr); }
    void Play();
    void StopPlayback() override;
    void PlaySelected() override { Play(); }
    void RefreshCurrentRow() override { nCurrentRow = m_list.FindRow(pCurrentItem); }
    void ShowCurrentTitle(const QString &title) override { strShownTitle = title; }

    TitleItem *pCurrentItem = nullptr;
    int nCurrentRow = -1;
    int nStops = 0;
    int nRowsAtLastStop = -1;
    QString strShownTitle;

private:
    TitleList &m_list;
};
