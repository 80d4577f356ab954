// The player engine behind the player control: Play, Pause, Stop, Seek, play modes and the 100 ms tick.
#pragma once

#include "DirectSound.h"
#include "PlayerInterfaces.h"
#include "PlayerThreads.h"
#include "platform/Events.h"

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <random>

class VolumeControl;
class PitchControl;
class MessageGate;

enum PlayMode : int {
    PLAYMODE_STANDARD = 0,
    PLAYMODE_RANDOM,
    PLAYMODE_REPEAT_TITLE,
    PLAYMODE_REPEAT_ALL,
    PLAYMODE_INTRO
};
enum PlayState : int { PLAYSTATE_PLAYING = 0, PLAYSTATE_PAUSED = 1, PLAYSTATE_STOPPED = 2 };

class Player {
public:
    // Reads GENERAL/Mode; the list and the view must outlive the player.
    Player(PlayerList *list, PlayerView *view);
    // Stops playback and saves GENERAL/Mode.
    ~Player();
    Player(const Player &) = delete;
    Player &operator=(const Player &) = delete;

    void SetSoundControls(VolumeControl *volume, PitchControl *pitch);

    // The commands. A message box inside one runs a nested event loop; a command that arrives there
    // (a handed-over file, say) waits until the running one has finished, and the tick is skipped.
    void Play();
    void Stop();
    void Pause();
    void Previous() { NextByMode(false); }
    void Next() { NextByMode(true); }
    void NextByMode(bool bForward);
    void Tick();

    // The position slider: moving shows the time there, releasing seeks.
    void SliderMoving(uint32_t position);
    void SliderReleased(uint32_t position);

    void SetPlayMode(int mode) { m_nPlayMode = mode; }
    int GetPlayMode() const { return m_nPlayMode; }
    int GetPlayState() const { return m_nPlayState; }
    TitleItem *CurrentItem() const { return m_pCurrentItem; }
    int CurrentRow() const { return m_nCurrentRow; }
    // The list calls this after it inserted or removed rows.
    void RefreshCurrentRow();
    bool IsDragging() const { return m_bDragging; }

    // The buffer of the loaded title (null when none) and that title's own sample rate.
    DirectSoundBuffer *StreamBuffer() const { return m_pStreamBuffer.get(); }
    uint32_t TitleRate() const { return m_pStreamBuffer ? m_dwTitleRate : 0; }
    bool IsOutputRunning() const { return m_pOutputThread && m_pOutputThread->IsRunning(); }
    uint64_t PlayedBytes() const { return m_nPlayedBytes.load(); }
    int Elapsed() const { return m_nElapsed; }
    int Remaining() const { return m_nRemaining; }
    uint32_t BlockBytes() const { return m_job.dwBlockBytes; }
    void SeedRandom(unsigned seed) { m_random.seed(seed); }

    // The position slider's arrow keys move this far (a page is a fifth of the title).
    static constexpr uint32_t kStepSeconds = 5;

private:
    void Command(std::function<void()> command);
    void DoPlay();
    void DoStop();
    void DoPause();
    void DoNextByMode(bool bForward);
    void DoTick();
    void DoSeek(uint32_t position);
    // Play gave up on the marked title: the mark goes, the row shows what is known of it.
    void GiveUpTitle(TitleItem *item, int row);
    // A title that played out from its start tells its true length; the plug-in may only have guessed it.
    void KeepDecodedLength();
    void UpdateCaption();
    void ResetView();
    void FreeJob();

    PlayerList *m_pList;
    PlayerView *m_pView;
    VolumeControl *m_pVolume = nullptr;
    PitchControl *m_pPitch = nullptr;

    int m_nPlayState = PLAYSTATE_STOPPED;
    int m_nPlayMode = PLAYMODE_STANDARD;
    TitleItem *m_pCurrentItem = nullptr;
    int m_nCurrentRow = -1;
    std::unique_ptr<DirectSoundBuffer> m_pStreamBuffer;
    std::unique_ptr<WorkerThread> m_pOutputThread;
    uint32_t m_nBytesPerMs = 0;
    uint32_t m_dwTitleRate = 0;
    std::atomic<uint32_t> m_nSeekPos{0};
    // Until the output thread has taken the last seek, the played bytes still tell the old position.
    std::atomic<uint32_t> m_nSeeksAsked{0}, m_nSeeksTaken{0};
    std::atomic<uint64_t> m_nPlayedBytes{0};
    std::atomic<bool> m_bPaused{false};
    int m_nIntroLength = 10;
    int m_nElapsed = 0, m_nRemaining = 0;
    bool m_bDragging = false;
    int m_nCaptionOffset = 0;
    bool m_bBusy = false;                        // a command runs (perhaps in a message box's loop)
    std::deque<std::function<void()>> m_pending; // commands that came while it ran, in order
    PlaybackJob m_job;
    std::unique_ptr<AutoResetEvent> m_pStopEvent, m_pSeekEvent;
    std::unique_ptr<MessageGate> m_pGate;
    std::mt19937 m_random;
};
