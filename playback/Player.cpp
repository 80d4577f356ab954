// The player engine: commands and the tick on the GUI thread; the threads of a title live in PlayerThreads.
#include "Player.h"

#include "DecodedLengths.h"
#include "Helpers.h"
#include "Messages.h"
#include "PlaybackMessages.h"
#include "PluginHost.h"
#include "Settings.h"
#include "Sound.h"
#include "SoundControls.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

const QString kGeneral = QStringLiteral("GENERAL");
// The range the options page offers: a hand-edited 0 would end every title at once, a huge value
// would overflow the buffer's size.
constexpr int kMinBufferMs = 100, kMaxBufferMs = 3000;
// "<path>: This file cannot be played..."
constexpr unsigned IDS_CANNOT_PLAY = 61400;

} // namespace

Player::Player(PlayerList *list, PlayerView *view)
    : m_pList(list), m_pView(view), m_random(static_cast<unsigned>(std::time(nullptr))) {
    m_nPlayMode = GetSettingInt(kGeneral, QStringLiteral("Mode"), PLAYMODE_STANDARD);
    if (m_nPlayMode < PLAYMODE_STANDARD || m_nPlayMode > PLAYMODE_INTRO)
        m_nPlayMode = PLAYMODE_STANDARD;
}

Player::~Player() {
    m_pending.clear();
    DoStop();
    WriteSettingInt(kGeneral, QStringLiteral("Mode"), m_nPlayMode);
}

void Player::SetSoundControls(VolumeControl *volume, PitchControl *pitch) {
    m_pVolume = volume;
    m_pPitch = pitch;
}

void Player::Command(std::function<void()> command) {
    if (m_bBusy) {
        m_pending.push_back(std::move(command));
        return;
    }
    m_bBusy = true;
    command();
    while (!m_pending.empty()) {
        std::function<void()> next = std::move(m_pending.front());
        m_pending.pop_front();
        next();
    }
    m_bBusy = false;
}

void Player::Play() {
    Command([this] { DoPlay(); });
}

void Player::Stop() {
    Command([this] { DoStop(); });
}

void Player::Pause() {
    Command([this] { DoPause(); });
}

void Player::NextByMode(bool bForward) {
    Command([this, bForward] { DoNextByMode(bForward); });
}

void Player::Tick() {
    // Inside a command's message box the state is half made; the next tick comes soon enough.
    if (!m_bBusy)
        Command([this] { DoTick(); });
}

void Player::DoPlay() {
    if (m_nPlayState == PLAYSTATE_PAUSED) {
        m_pView->ShowSymbol(PlaySymbol::Play);
        m_bPaused = false;
        if (m_pStreamBuffer)
            CheckSound(m_pStreamBuffer->Play(0, 0, DSBPLAY_LOOPING), QStringLiteral("Play"));
        m_nPlayState = PLAYSTATE_PLAYING;
        return;
    }
    DoStop();
    const int row = m_pList->GetFirstSelected();
    TitleItem *item = row >= 0 ? m_pList->GetItem(row) : nullptr;
    if (!item)
        return;
    m_pCurrentItem = item;
    m_nCurrentRow = row;
    m_pList->MarkCurrent(row, true);
    // A CD track names no file on disk: its plug-in finds the drive and the track itself.
    if (!item->pszPath || (item->nCDDrive == TITLE_NO_CD && !FileExists(QString::fromUtf8(item->pszPath), true))) {
        GiveUpTitle(item, row);
        return;
    }
    const QString path = QString::fromUtf8(item->pszPath);
    const int messagesBefore = PluginMessagesOnThisThread();
    if (!item->pPlugin || !m_pList->ReadTitleInfo(item, true)) {
        item->nInfoState = INFO_FAILED;
        item->nLength = -1;
        GiveUpTitle(item, row);
        // The plug-in usually says why; where it said nothing, the user still learns which file failed.
        if (PluginMessagesOnThisThread() == messagesBefore)
            ShowError(IDS_CANNOT_PLAY, 0, path, ERR_STYLE_DETAIL);
        return;
    }
    item->nInfoState = INFO_READ;

    const uint32_t dsBuffer = static_cast<uint32_t>(
        std::clamp(GetSettingInt(kGeneral, QStringLiteral("DS-Buffer"), 500), kMinBufferMs, kMaxBufferMs));
    m_nIntroLength = GetSettingInt(kGeneral, QStringLiteral("Intro-Length"), 10);
    const uint32_t bytesPerSample = item->nBitsPerSample / 8u;
    const uint32_t bytesPerMs = bytesPerSample * (item->nSamplesPerSec / 1000) * item->nChannels;
    // An alignment of 0 would divide by zero, and a half smaller than one decoding step breaks Read.
    const uint64_t align = item->nBlockAlignBytes ? item->nBlockAlignBytes : 1;
    uint64_t blockBytes = ((uint64_t(bytesPerMs) * dsBuffer) / align) * align;
    if (blockBytes < item->nBlockBytes)
        blockBytes = ((item->nBlockBytes + align - 1) / align) * align;
    const uint64_t chunkBytes = uint64_t(item->nAvgBytesPerSec / 1000) * dsBuffer;
    if (bytesPerMs == 0 || blockBytes == 0 || 2 * blockBytes > UINT32_MAX) {
        // A format no buffer can hold: nothing the plug-in said explains it.
        GiveUpTitle(item, row);
        ShowError(IDS_CANNOT_PLAY, 0, path, ERR_STYLE_DETAIL);
        return;
    }
    m_pList->UpdateTitleRow(item, row, true);
    m_pView->ShowTitle(QString::fromUtf8(item->szTitle));
    m_pView->SetSliderRange(item->dwDataStart, item->dwDataEnd);
    const uint32_t span = item->dwDataEnd > item->dwDataStart ? item->dwDataEnd - item->dwDataStart : 0;
    const uint64_t step = item->nPositionMode ? kStepSeconds : uint64_t(kStepSeconds) * item->nAvgBytesPerSec;
    m_pView->SetSliderSteps(uint32_t(std::min<uint64_t>(step, UINT32_MAX)), span / 5);
    item->dwReadPos = item->dwDataStart;
    m_nSeekPos = 0;
    m_nSeeksAsked = 0;
    m_nSeeksTaken = 0;
    item->bSilence = item->nBitsPerSample == 8 ? 0x80 : 0;
    m_nBytesPerMs = bytesPerMs;
    m_dwTitleRate = item->nSamplesPerSec;

    if (!CreateStreamBuffer(m_pStreamBuffer, item->nChannels, static_cast<int>(item->nSamplesPerSec),
                            item->nBitsPerSample, uint32_t(2 * blockBytes))) {
        GiveUpTitle(item, row);
        return;
    }
    if (!CheckSound(m_pStreamBuffer->SetCurrentPosition(0), QStringLiteral("SetCurrentPosition"))) {
        m_pStreamBuffer.reset();
        GiveUpTitle(item, row);
        return;
    }
    // A refused tempo shows a message box here; commands that arrive meanwhile wait (see Command).
    if (m_pVolume)
        m_pVolume->ApplyToBuffer();
    if (m_pPitch)
        m_pPitch->Apply(m_pPitch->Position());
    m_pView->ShowFormat(item->dwFormatTag, item->nChannels, static_cast<int>(item->nSamplesPerSec),
                        item->nAvgBytesPerSec);
    m_pView->ShowSymbol(PlaySymbol::Play);

    m_job = PlaybackJob();
    m_job.copy = *item;
    m_job.copy.pszPath = strdup(item->pszPath);
    m_job.copy.pNextPending = nullptr;
    m_job.pBuffer = m_pStreamBuffer.get();
    m_job.dwBlockBytes = uint32_t(blockBytes);
    m_job.dwChunkBytes = uint32_t(std::min<uint64_t>(chunkBytes, UINT32_MAX));
    m_job.dwBytesPerMs = m_nBytesPerMs;
    m_pStopEvent = std::make_unique<AutoResetEvent>();
    m_pSeekEvent = std::make_unique<AutoResetEvent>();
    m_pGate = std::make_unique<MessageGate>();
    m_job.pStop = m_pStopEvent.get();
    m_job.pSeek = m_pSeekEvent.get();
    m_job.nBytesPerSample = bytesPerSample;
    m_job.dwStartPos = 0;
    m_job.pPlayedBytes = &m_nPlayedBytes;
    m_job.pSeekPos = &m_nSeekPos;
    m_job.pSeeksAsked = &m_nSeeksAsked;
    m_job.pSeeksTaken = &m_nSeeksTaken;
    m_job.pPaused = &m_bPaused;
    m_job.pGate = m_pGate.get();
    m_pOutputThread = std::make_unique<WorkerThread>();
    m_pOutputThread->Start([this] { RunOutputThread(m_job); });

    m_pView->StartTimer();
    m_nPlayState = PLAYSTATE_PLAYING;
}

void Player::GiveUpTitle(TitleItem *item, int row) {
    m_pList->MarkCurrent(row, false);
    m_pList->UpdateTitleRow(item, row, false);
    m_pCurrentItem = nullptr;
    ResetView();
}

void Player::DoStop() {
    if (m_pStreamBuffer)
        m_pStreamBuffer->Stop();
    m_nPlayState = PLAYSTATE_STOPPED;
    m_bPaused = false;
    m_pView->ShowSymbol(PlaySymbol::Stop);
    m_pView->KillTimer();
    if (m_pOutputThread) {
        // A thread may wait for the answer to a box that is open further down this very stack: it must
        // not, or neither could go on.
        m_pGate->GiveUp();
        m_pStopEvent->Set();
        m_pOutputThread->Join();
        FreeJob();
    }
    m_pStreamBuffer.reset();
    const bool bHadTitle = m_pCurrentItem != nullptr;
    if (m_pCurrentItem)
        m_pList->MarkCurrent(m_nCurrentRow, false);
    m_pCurrentItem = nullptr;
    m_nElapsed = 0;
    m_nRemaining = 0;
    m_nPlayedBytes = 0;
    m_bDragging = false;
    if (bHadTitle)
        ResetView();
}

void Player::ResetView() {
    m_pView->ShowTime(0, 0);
    m_pView->SetSliderRange(0, 0);
    m_pView->SetSliderPos(0);
    // A caption scrolled while another window was active must not stay rotated.
    m_nCaptionOffset = 0;
    const QString caption = m_pView->ApplicationTitle();
    if (caption != m_pView->Caption())
        m_pView->SetCaption(caption);
}

void Player::FreeJob() {
    m_pOutputThread.reset();
    std::free(m_job.copy.pszPath);
    m_job.copy.pszPath = nullptr;
    m_pStopEvent.reset();
    m_pSeekEvent.reset();
    m_pGate.reset();
}

void Player::DoPause() {
    if (!m_pStreamBuffer)
        return;
    if (m_nPlayState != PLAYSTATE_PAUSED) {
        m_pView->ShowSymbol(PlaySymbol::Pause);
        m_bPaused = true;
        CheckSound(m_pStreamBuffer->Stop(), QStringLiteral("Stop"));
        m_nPlayState = PLAYSTATE_PAUSED;
    } else {
        m_pView->ShowSymbol(PlaySymbol::Play);
        m_bPaused = false;
        CheckSound(m_pStreamBuffer->Play(0, 0, DSBPLAY_LOOPING), QStringLiteral("Play"));
        m_nPlayState = PLAYSTATE_PLAYING;
    }
}

void Player::DoNextByMode(bool bForward) {
    const int n = m_pList->GetRowCount();
    if (n <= 0)
        return;
    const int r = m_nCurrentRow;
    int row = r;
    switch (m_nPlayMode) {
    case PLAYMODE_RANDOM: {
        std::uniform_int_distribution<int> pick(0, n - 1);
        do
            row = pick(m_random);
        while (n > 1 && row == r);
        break;
    }
    case PLAYMODE_REPEAT_TITLE:
        break;
    case PLAYMODE_REPEAT_ALL:
        if (!bForward && m_nElapsed >= 2)
            break;
        row = bForward ? r + 1 : r - 1;
        if (row > n - 1)
            row = 0;
        else if (row < 0)
            row = n - 1;
        break;
    default:
        row = (!bForward && m_nElapsed >= 2) ? r : (bForward ? r + 1 : r - 1);
        break;
    }
    const bool bSelected = m_pList->SelectOnly(row);
    // Stopping first keeps Play from merely resuming a paused title.
    DoStop();
    if (bSelected)
        DoPlay();
}

void Player::DoTick() {
    if (!m_pCurrentItem || !m_pOutputThread)
        return;
    if (!m_pOutputThread->IsRunning()) {
        m_pOutputThread->Join(); // what it found out is ours to read
        KeepDecodedLength();
        DoStop();
        DoNextByMode(true);
        return;
    }
    // A stale position would put the slider back where it was, and the next key would step from there.
    if (m_bDragging || m_nSeeksTaken.load() != m_nSeeksAsked.load())
        return;
    const uint64_t played = m_nPlayedBytes.load();
    m_nElapsed = (played && m_nBytesPerMs) ? static_cast<int>(played / (uint64_t(m_nBytesPerMs) * 1000)) : 0;
    m_nRemaining = m_pCurrentItem->nLength - m_nElapsed;
    m_pView->ShowTime(m_nElapsed, m_nRemaining);
    UpdateCaption();
    if (m_nPlayMode == PLAYMODE_INTRO && m_nElapsed >= m_nIntroLength) {
        DoStop();
        DoNextByMode(true);
        return;
    }
    if (m_nElapsed < m_pCurrentItem->nLength) {
        const TitleItem &t = *m_pCurrentItem;
        const uint64_t pos =
            t.nPositionMode ? uint64_t(m_nElapsed) : uint64_t(m_nElapsed) * t.nAvgBytesPerSec + t.dwDataStart;
        m_pView->SetSliderPos(uint32_t(std::min<uint64_t>(pos, t.dwDataEnd)));
    }
}

void Player::KeepDecodedLength() {
    TitleItem *item = m_pCurrentItem;
    const uint64_t perSecond = uint64_t(item->nSamplesPerSec) * item->nChannels * (item->nBitsPerSample / 8u);
    // A CD track's length comes from the disc's table of contents: nothing to learn there.
    if (!m_job.nDecodedBytes || !perSecond || item->nCDDrive != TITLE_NO_CD)
        return;
    const int seconds = int(std::min<uint64_t>(m_job.nDecodedBytes / perSecond, INT32_MAX));
    if (seconds == item->nLength)
        return;
    item->nLength = seconds;
    RememberDecodedLength(item->pszPath, seconds);
    m_pList->UpdateTitleRow(item, m_nCurrentRow, true);
}

void Player::UpdateCaption() {
    QString text = QString::asprintf("%s [%s(%.2d:%.2d)]", m_pView->ApplicationTitle().toUtf8().constData(),
                                     m_pCurrentItem->szTitle, m_nElapsed / 60, m_nElapsed % 60);
    if (!m_pView->IsMainWindowActive()) {
        text += QStringLiteral(" *** ");
        if (m_nCaptionOffset >= text.size())
            m_nCaptionOffset = 0;
        const int shift = (m_nCaptionOffset + 1) % text.size();
        text = text.mid(shift) + text.left(shift);
        ++m_nCaptionOffset;
    }
    if (text != m_pView->Caption())
        m_pView->SetCaption(text);
}

void Player::SliderMoving(uint32_t position) {
    if (m_bBusy || !m_pCurrentItem || !IsOutputRunning())
        return;
    m_bDragging = true;
    const int seconds = static_cast<int>(PositionSeconds(*m_pCurrentItem, position));
    m_pView->ShowTime(seconds, m_pCurrentItem->nLength - seconds);
}

void Player::SliderReleased(uint32_t position) {
    Command([this, position] { DoSeek(position); });
}

void Player::DoSeek(uint32_t position) {
    m_bDragging = false;
    if (!m_pCurrentItem || !IsOutputRunning())
        return;
    m_nSeekPos = position;
    ++m_nSeeksAsked;
    m_pSeekEvent->Set();
}

void Player::RefreshCurrentRow() {
    if (m_pCurrentItem)
        m_nCurrentRow = m_pList->FindRow(m_pCurrentItem);
}
