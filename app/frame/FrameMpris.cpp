// MPRIS commands and state over the main frame's player, playlist and volume panel.
#include "FrameMpris.h"

#include "CPlayer.h"
#include "CTitleList.h"
#include "Functions.h"
#include "MainFrame.h"
#include "MprisTags.h"
#include "TitleList.h"
#include "Volume.h"

#include <QComboBox>
#include <QSlider>
#include <QUrl>

#include <cmath>

namespace {

Player *ThePlayer(CMainFrame *frame) {
    CFunctions *functions = frame->Player() ? frame->Player()->Functions() : nullptr;
    return functions ? &functions->GetPlayer() : nullptr;
}

} // namespace

const TitleItem *FrameMprisHost::Current() const {
    const Player *player = ThePlayer(m_pFrame);
    if (!player || player->GetPlayState() == PLAYSTATE_STOPPED)
        return nullptr;
    return player->CurrentItem();
}

void FrameMprisHost::Command(int id) {
    if (CFunctions *functions = m_pFrame->Player() ? m_pFrame->Player()->Functions() : nullptr)
        functions->OnCommand(id);
}

void FrameMprisHost::Raise() {
    m_pFrame->showNormal();
    m_pFrame->raise();
    m_pFrame->activateWindow();
}

void FrameMprisHost::Quit() {
    m_pFrame->close();
}

void FrameMprisHost::Play() {
    // A media key has no row to point at: with nothing selected the playlist's first title plays.
    if (m_pFrame->Player() && m_pFrame->Player()->Playlist()) {
        TitleList &list = m_pFrame->Player()->Playlist()->List();
        if (list.RowCount() > 0 && list.GetFirstSelected() < 0)
            list.SelectOnly(0);
    }
    Command(1001);
}

void FrameMprisHost::Pause() {
    Command(1005);
}

void FrameMprisHost::Stop() {
    Command(1002);
}

void FrameMprisHost::Next() {
    Command(32834);
}

void FrameMprisHost::Previous() {
    Command(32808);
}

void FrameMprisHost::SeekTo(qint64 positionUs) {
    Player *player = ThePlayer(m_pFrame);
    const TitleItem *item = Current();
    if (!player || !item || !CanSeek())
        return;
    const double seconds = double(positionUs) / 1e6;
    const double offset = item->nPositionMode ? seconds : seconds * item->nAvgBytesPerSec;
    const double target = std::min<double>(item->dwDataStart + offset, item->dwDataEnd);
    player->SliderReleased(static_cast<uint32_t>(target));
}

bool FrameMprisHost::OpenFile(const QString &path) {
    return m_pFrame->HandOverFile(path, true);
}

QString FrameMprisHost::Status() const {
    const Player *player = ThePlayer(m_pFrame);
    switch (player ? player->GetPlayState() : PLAYSTATE_STOPPED) {
    case PLAYSTATE_PLAYING:
        return QStringLiteral("Playing");
    case PLAYSTATE_PAUSED:
        return QStringLiteral("Paused");
    default:
        return QStringLiteral("Stopped");
    }
}

MprisTrack FrameMprisHost::Track() const {
    const TitleItem *item = Current();
    const int state = ThePlayer(m_pFrame) ? ThePlayer(m_pFrame)->GetPlayState() : PLAYSTATE_STOPPED;
    if (!item) {
        m_pLastItem = nullptr;
        m_nLastState = state;
        return MprisTrack();
    }
    // The tags are read once per title, not at every look.
    if (item != m_pLastItem || m_nLastState == PLAYSTATE_STOPPED) {
        m_pLastItem = item;
        m_track = MprisTrack();
        m_track.nId = ++m_nSerial;
        const QString path = QString::fromUtf8(item->pszPath);
        m_track.strTitle = QString::fromUtf8(item->szTitle);
        if (item->nCDDrive == 255) {
            m_track.strUrl = QUrl::fromLocalFile(path).toString();
            const MprisFileTags tags = ReadMprisTags(path);
            if (!tags.strTitle.isEmpty())
                m_track.strTitle = tags.strTitle;
            m_track.strArtist = tags.strArtist;
            m_track.strAlbum = tags.strAlbum;
        }
    }
    m_nLastState = state;
    m_track.nLengthUs = item->nLength >= 0 ? qint64(item->nLength) * 1000000 : -1;
    return m_track;
}

qint64 FrameMprisHost::PositionUs() const {
    const Player *player = ThePlayer(m_pFrame);
    const TitleItem *item = Current();
    if (!player || !item)
        return 0;
    const qint64 bytesPerMs = qint64(item->nBitsPerSample / 8) * (item->nSamplesPerSec / 1000) * item->nChannels;
    return bytesPerMs ? qint64(player->PlayedBytes()) * 1000 / bytesPerMs : 0;
}

bool FrameMprisHost::CanSeek() const {
    const TitleItem *item = Current();
    return item && item->nLength > 0 && item->dwDataEnd > item->dwDataStart;
}

bool FrameMprisHost::HasTitles() const {
    return m_pFrame->Player() && m_pFrame->Player()->Playlist() &&
           m_pFrame->Player()->Playlist()->List().RowCount() > 0;
}

MprisLoop FrameMprisHost::Loop() const {
    const Player *player = ThePlayer(m_pFrame);
    switch (player ? player->GetPlayMode() : PLAYMODE_STANDARD) {
    case PLAYMODE_REPEAT_TITLE:
        return MprisLoop::Track;
    case PLAYMODE_REPEAT_ALL:
        return MprisLoop::Playlist;
    default:
        return MprisLoop::None;
    }
}

bool FrameMprisHost::Shuffle() const {
    const Player *player = ThePlayer(m_pFrame);
    return player && player->GetPlayMode() == PLAYMODE_RANDOM;
}

void FrameMprisHost::SetMode(int mode) {
    // Through the mode box, so the window shows what the desktop chose.
    CFunctions *functions = m_pFrame->Player() ? m_pFrame->Player()->Functions() : nullptr;
    if (functions && functions->ModeBox())
        functions->ModeBox()->setCurrentIndex(mode);
}

void FrameMprisHost::SetLoop(MprisLoop loop) {
    switch (loop) {
    case MprisLoop::Track:
        SetMode(PLAYMODE_REPEAT_TITLE);
        break;
    case MprisLoop::Playlist:
        SetMode(PLAYMODE_REPEAT_ALL);
        break;
    case MprisLoop::None:
        // Random and Intro are no loops: they stay.
        if (Loop() != MprisLoop::None)
            SetMode(PLAYMODE_STANDARD);
        break;
    }
}

void FrameMprisHost::SetShuffle(bool bOn) {
    if (bOn)
        SetMode(PLAYMODE_RANDOM);
    else if (Shuffle())
        SetMode(PLAYMODE_STANDARD);
}

double FrameMprisHost::Volume() const {
    auto *volume =
        m_pFrame->Player() ? dynamic_cast<CVolume *>(m_pFrame->Player()->ChildAt(CPlayer::ChildVolume)) : nullptr;
    // Position 0 is full volume, 100 silence.
    return volume ? (100 - volume->Control().VolumePos()) / 100.0 : 1.0;
}

void FrameMprisHost::SetVolume(double value) {
    auto *volume =
        m_pFrame->Player() ? dynamic_cast<CVolume *>(m_pFrame->Player()->ChildAt(CPlayer::ChildVolume)) : nullptr;
    if (volume)
        volume->VolumeSlider()->setValue(int(std::lround(value * 100))); // the slider shows loudness
}
