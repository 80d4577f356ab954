// The player engine: commands and the tick on the GUI thread; the threads of a title live in PlayerThreads.
#include "Player.h"

#include "Helpers.h"
#include "Settings.h"
#include "Sound.h"
#include "SoundControls.h"

#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

const QString kGeneral = QStringLiteral("GENERAL");

} // namespace

Player::Player(PlayerList *list, PlayerView *view)
    : m_pList(list), m_pView(view), m_random(static_cast<unsigned>(std::time(nullptr))) {
    m_nPlayMode = GetSettingInt(kGeneral, QStringLiteral("Mode"), PLAYMODE_STANDARD);
    if (m_nPlayMode < PLAYMODE_STANDARD || m_nPlayMode > PLAYMODE_INTRO)
        m_nPlayMode = PLAYMODE_STANDARD;
}

Player::~Player() {
    Stop();
    WriteSettingInt(kGeneral, QStringLiteral("Mode"), m_nPlayMode);
}

void Player::SetSoundControls(VolumeControl *volume, PitchControl *pitch) {
    m_pVolume = volume;
    m_pPitch = pitch;
}

void Player::Play() {
    if (m_bInStop)
        return;
    if (m_nPlayState == PLAYSTATE_PAUSED) {
        m_pView->ShowSymbol(PlaySymbol::Play);
        m_bPaused = false;
        if (m_pStreamBuffer)
            CheckSound(m_pStreamBuffer->Play(0, 0, DSBPLAY_LOOPING), QStringLiteral("Play"));
        m_nPlayState = PLAYSTATE_PLAYING;
        return;
    }
    Stop();
    const int row = m_pList->GetFirstSelected();
    TitleItem *item = row >= 0 ? m_pList->GetItem(row) : nullptr;
    if (!item)
        return;
    m_pCurrentItem = item;
    m_nCurrentRow = row;
    m_pList->MarkCurrent(row, true);
    // A CD track names no file on disk: its plug-in finds the drive and the track itself.
    if (!item->pszPath || (item->nCDDrive == TITLE_NO_CD && !FileExists(QString::fromUtf8(item->pszPath), true)))
        return;
    if (!item->pPlugin || !m_pList->ReadTitleInfo(item, true)) {
        item->nInfoState = INFO_FAILED;
        return;
    }
    item->nInfoState = INFO_READ;
    m_pList->UpdateTitleRow(item, row, true);
    m_pView->ShowTitle(QString::fromUtf8(item->szTitle));
    m_pView->SetSliderRange(item->dwDataStart, item->dwDataEnd);
    item->dwReadPos = item->dwDataStart;
    m_nSeekPos = 0;
    const uint32_t dsBuffer = static_cast<uint32_t>(GetSettingInt(kGeneral, QStringLiteral("DS-Buffer"), 500));
    m_nIntroLength = GetSettingInt(kGeneral, QStringLiteral("Intro-Length"), 10);

    item->bSilence = item->nBitsPerSample == 8 ? 0x80 : 0;
    const uint32_t bytesPerSample = item->nBitsPerSample / 8u;
    m_nBytesPerMs = bytesPerSample * (item->nSamplesPerSec / 1000) * item->nChannels;
    // An alignment of 0 would divide by zero, and a half smaller than one decoding step breaks Read.
    const uint32_t align = item->nBlockAlignBytes ? item->nBlockAlignBytes : 1;
    uint32_t blockBytes = ((m_nBytesPerMs * dsBuffer) / align) * align;
    if (blockBytes < item->nBlockBytes)
        blockBytes = ((item->nBlockBytes + align - 1) / align) * align;
    const uint32_t chunkBytes = (item->nAvgBytesPerSec / 1000) * dsBuffer;
    m_dwTitleRate = item->nSamplesPerSec;

    if (!CreateStreamBuffer(m_pStreamBuffer, item->nChannels, static_cast<int>(item->nSamplesPerSec),
                            item->nBitsPerSample, 2 * blockBytes))
        return;
    if (!CheckSound(m_pStreamBuffer->SetCurrentPosition(0), QStringLiteral("SetCurrentPosition"))) {
        m_pStreamBuffer.reset();
        return;
    }
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
    m_job.dwBlockBytes = blockBytes;
    m_job.dwChunkBytes = chunkBytes;
    m_job.dwBytesPerMs = m_nBytesPerMs;
    m_pStopEvent = std::make_unique<AutoResetEvent>();
    m_pSeekEvent = std::make_unique<AutoResetEvent>();
    m_job.pStop = m_pStopEvent.get();
    m_job.pSeek = m_pSeekEvent.get();
    m_job.nBytesPerSample = bytesPerSample;
    m_job.dwStartPos = 0;
    m_job.pPlayedBytes = &m_nPlayedBytes;
    m_job.pSeekPos = &m_nSeekPos;
    m_job.pPaused = &m_bPaused;
    m_pOutputThread = std::make_unique<WorkerThread>();
    m_pOutputThread->Start([this] { RunOutputThread(m_job); });

    m_pView->StartTimer();
    m_nPlayState = PLAYSTATE_PLAYING;
}

void Player::Stop() {
    if (m_bInStop)
        return;
    if (m_pStreamBuffer)
        m_pStreamBuffer->Stop();
    m_nPlayState = PLAYSTATE_STOPPED;
    m_bPaused = false;
    m_pView->ShowSymbol(PlaySymbol::Stop);
    m_pView->KillTimer();
    if (m_pOutputThread) {
        m_bInStop = true;
        m_pStopEvent->Set();
        // A thread's message box is shown by the GUI thread; let it through while waiting, or both wait forever.
        auto *app = QCoreApplication::instance();
        const bool bGuiThread = app && QThread::currentThread() == app->thread();
        while (!m_pOutputThread->Join(std::chrono::milliseconds(bGuiThread ? 20 : 1000)))
            if (bGuiThread)
                QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        FreeJob();
        m_bInStop = false;
    }
    m_pStreamBuffer.reset();
    if (m_pCurrentItem)
        m_pList->MarkCurrent(m_nCurrentRow, false);
    m_pCurrentItem = nullptr;
    m_nElapsed = 0;
    m_nPlayedBytes = 0;
}

void Player::FreeJob() {
    m_pOutputThread.reset();
    std::free(m_job.copy.pszPath);
    m_job.copy.pszPath = nullptr;
    m_pStopEvent.reset();
    m_pSeekEvent.reset();
}

void Player::Pause() {
    if (m_bInStop || !m_pStreamBuffer)
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

void Player::NextByMode(bool bForward) {
    if (m_bInStop)
        return;
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
    Stop();
    if (bSelected)
        Play();
}

void Player::Tick() {
    if (m_bInStop || !m_pCurrentItem || !m_pOutputThread)
        return;
    if (!m_pOutputThread->IsRunning()) {
        Stop();
        NextByMode(true);
        return;
    }
    if (m_bDragging)
        return;
    const uint32_t played = m_nPlayedBytes.load();
    m_nElapsed = (played && m_nBytesPerMs) ? static_cast<int>(played / (m_nBytesPerMs * 1000)) : 0;
    m_nRemaining = m_pCurrentItem->nLength - m_nElapsed;
    m_pView->ShowTime(m_nElapsed, m_nRemaining);
    UpdateCaption();
    if (m_nPlayMode == PLAYMODE_INTRO && m_nElapsed >= m_nIntroLength) {
        Stop();
        NextByMode(true);
        return;
    }
    if (m_nElapsed < m_pCurrentItem->nLength) {
        const TitleItem &t = *m_pCurrentItem;
        m_pView->SetSliderPos(t.nPositionMode ? uint32_t(m_nElapsed)
                                              : uint32_t(m_nElapsed) * t.nAvgBytesPerSec + t.dwDataStart);
    }
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
    if (!m_pCurrentItem || !IsOutputRunning())
        return;
    m_bDragging = true;
    const int seconds = static_cast<int>(PositionSeconds(*m_pCurrentItem, position));
    m_pView->ShowTime(seconds, m_pCurrentItem->nLength - seconds);
}

void Player::SliderReleased(uint32_t position) {
    if (!m_pCurrentItem || !IsOutputRunning()) {
        m_bDragging = false;
        return;
    }
    m_nSeekPos = position;
    m_pSeekEvent->Set();
    m_bDragging = false;
}

void Player::RefreshCurrentRow() {
    if (m_pCurrentItem)
        m_nCurrentRow = m_pList->FindRow(m_pCurrentItem);
}
