// The main frame's side of MPRIS: the bus's commands become the player's and the playlist's.
#pragma once

#include "Mpris.h"

class CMainFrame;
struct TitleItem;

class FrameMprisHost : public MprisHost {
public:
    explicit FrameMprisHost(CMainFrame *frame) : m_pFrame(frame) {}

    void Raise() override;
    void Quit() override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    void Next() override;
    void Previous() override;
    void SeekTo(qint64 positionUs) override;
    bool OpenFile(const QString &path) override;

    QString Status() const override;
    MprisTrack Track() const override;
    qint64 PositionUs() const override;
    bool CanSeek() const override;
    bool HasTitles() const override;
    MprisLoop Loop() const override;
    bool Shuffle() const override;
    void SetLoop(MprisLoop loop) override;
    void SetShuffle(bool bOn) override;
    double Volume() const override;
    void SetVolume(double volume) override;

private:
    const TitleItem *Current() const;
    void Command(int id);
    void SetMode(int mode);

    CMainFrame *m_pFrame;
    // A title keeps its id while it is current; the next one (or the same one played again) gets a new one.
    mutable const TitleItem *m_pLastItem = nullptr;
    mutable int m_nLastState = -1;
    mutable MprisTrack m_track;
    mutable int m_nSerial = 0;
};
