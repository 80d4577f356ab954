// A fake input plug-in, a fake title list and capture helpers for the player tests.
#pragma once

#include "Player.h"
#include "PluginHost.h"
#include "Settings.h"
#include "Sound.h"
#include "TestEnvironment.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>

// Frame n of a fake title is L = (n & 0x3FFF) + 1, R = (n >> 14) + 1: never silent, and its index
// can be read back from what reaches the device.
struct FakeTitle {
    uint32_t frames = 44100;
    uint32_t rate = 44100;
    bool bFailInitRead = false;
    int nSlowRead = -1;    // this Read (0-based, per playback) waits until released
    int nMessageRead = -1; // this Read first shows a message through the program's routine
    bool bSeconds = false; // positions in seconds: lengths past 32 bits of bytes
};

struct FakeState {
    std::mutex lock;
    std::condition_variable released;
    bool bHold = false;
    std::map<std::string, FakeTitle> titles;
    std::atomic<int> nInitRead{0}, nDeinitRead{0}, nRead{0}, nResync{0}, nLive{0};

    static FakeState &Get() {
        static FakeState s;
        return s;
    }
    void Reset() {
        std::lock_guard g(lock);
        titles.clear();
        bHold = false;
        nInitRead = nDeinitRead = nRead = nResync = nLive = 0;
    }
    void Release() {
        {
            std::lock_guard g(lock);
            bHold = false;
        }
        released.notify_all();
    }
};

inline constexpr uint32_t kFakeStep = 4096; // bytes one decoding step produces

inline constexpr char kFakeMessage[] = "fake: a message from the decoder";

struct FakeDecoder {
    FakeTitle title;
    int nReads = 0;
    uint64_t frame = 0; // the next frame in seconds mode
};

extern "C" {
inline int FakeGetFormat(TitleItem *item, int) {
    auto &s = FakeState::Get();
    std::lock_guard g(s.lock);
    auto it = s.titles.find(item->pszPath);
    if (it == s.titles.end())
        return 0;
    const FakeTitle &t = it->second;
    item->nPositionMode = t.bSeconds ? POSITION_MODE_SECONDS : POSITION_MODE_BYTES;
    item->dwDataStart = 0;
    item->dwDataEnd = t.bSeconds ? t.frames / t.rate : t.frames * 4;
    item->bFormatValid = 1;
    item->nChannels = 2;
    item->nBitsPerSample = 16;
    item->nAvgBytesPerSec = t.rate * 4;
    item->nSamplesPerSec = t.rate;
    item->nBlockBytes = kFakeStep;
    item->nBlockAlignBytes = kFakeStep;
    item->nLength = int32_t(t.frames / t.rate);
    std::strcpy(item->dwFormatTag, "PCM");
    return 1;
}

inline int FakeInitRead(TitleItem *item, int) {
    auto &s = FakeState::Get();
    ++s.nInitRead;
    std::lock_guard g(s.lock);
    auto it = s.titles.find(item->pszPath);
    if (it == s.titles.end() || it->second.bFailInitRead)
        return 0;
    item->pDecoder = new FakeDecoder{it->second, 0};
    item->hMMFile = item->pDecoder;
    ++s.nLive;
    return 1;
}

inline int FakeDeinitRead(TitleItem *item, int) {
    auto &s = FakeState::Get();
    ++s.nDeinitRead;
    if (item->pDecoder) {
        delete static_cast<FakeDecoder *>(item->pDecoder);
        --s.nLive;
    }
    item->pDecoder = nullptr;
    item->hMMFile = nullptr;
    return 1;
}

inline int FakeResync(TitleItem *item) {
    ++FakeState::Get().nResync;
    auto *d = static_cast<FakeDecoder *>(item->pDecoder);
    if (d->title.bSeconds)
        d->frame = uint64_t(item->dwReadPos) * d->title.rate;
    else
        item->dwReadPos &= ~3u;
    return 1;
}

inline int FakeRead(TitleItem *item, unsigned char *out, unsigned long size, unsigned long, unsigned long *written) {
    auto &s = FakeState::Get();
    ++s.nRead;
    auto *d = static_cast<FakeDecoder *>(item->pDecoder);
    const int nRead = d->nReads++;
    if (nRead == d->title.nSlowRead) {
        std::unique_lock g(s.lock);
        s.released.wait(g, [&] { return !s.bHold; });
    }
    if (nRead == d->title.nMessageRead)
        MelvoHostMessageBox(kFakeMessage, 0);
    *written = 0;
    const bool bSeconds = d->title.bSeconds;
    uint64_t frame = bSeconds ? d->frame : item->dwReadPos / 4;
    const uint64_t end = d->title.frames;
    while (*written + kFakeStep <= size && frame < end) {
        const uint32_t n = uint32_t(std::min<uint64_t>(kFakeStep / 4, end - frame));
        for (uint32_t i = 0; i < n; ++i, ++frame) {
            const int16_t lr[2] = {int16_t((frame & 0x3FFF) + 1), int16_t((frame >> 14) + 1)};
            std::memcpy(out + *written + 4 * i, lr, 4);
        }
        *written += 4 * n;
    }
    d->frame = frame;
    item->dwReadPos = bSeconds ? uint32_t(frame / d->title.rate) : uint32_t(frame * 4);
    if (frame >= end) {
        std::memset(out + *written, item->bSilence, size - *written);
        return 0;
    }
    return 1;
}
}

inline PluginEntry &FakeEntry() {
    static PluginEntry e = [] {
        PluginEntry p;
        p.pfnResync = FakeResync;
        p.pfnGetFormat = FakeGetFormat;
        p.pfnInitRead = FakeInitRead;
        p.pfnDeinitRead = FakeDeinitRead;
        p.pfnRead = FakeRead;
        return p;
    }();
    return e;
}

// The playlist as a plain vector of records.
class FakeList : public PlayerList {
public:
    ~FakeList() override {
        for (TitleItem *t : rows) {
            std::free(t->pszPath);
            delete t;
        }
    }
    TitleItem *Add(const QString &path, void *plugin, uint8_t index = 0) {
        auto *t = new TitleItem{};
        t->pszPath = strdup(path.toUtf8().constData());
        t->pPlugin = plugin;
        t->nPlugin = index;
        t->nLength = -1;
        t->nCDDrive = t->nCDTrack = 255;
        std::snprintf(t->szTitle, sizeof t->szTitle, "%s", QFileInfo(path).completeBaseName().toUtf8().constData());
        rows.push_back(t);
        return t;
    }
    int GetRowCount() const override { return int(rows.size()); }
    int GetFirstSelected() const override { return selected; }
    TitleItem *GetItem(int row) const override { return row >= 0 && row < int(rows.size()) ? rows[row] : nullptr; }
    bool SelectOnly(int row) override {
        if (row >= int(rows.size()))
            return false;
        selected = std::max(row, 0);
        return true;
    }
    void MarkCurrent(int row, bool on) override {
        marked = on ? row : -1;
        if (on)
            played.push_back(row);
    }
    int FindRow(const TitleItem *item) const override {
        auto it = std::find(rows.begin(), rows.end(), item);
        return it == rows.end() ? -1 : int(it - rows.begin());
    }
    void UpdateTitleRow(TitleItem *, int, bool) override {}
    bool ReadTitleInfo(TitleItem *item, bool bShowErrors) override {
        auto *p = static_cast<PluginEntry *>(item->pPlugin);
        ++reads;
        return p && p->pfnGetFormat && p->pfnGetFormat(item, bShowErrors ? 1 : 0);
    }
    std::vector<TitleItem *> rows;
    int selected = -1;
    int marked = -1;
    int reads = 0;
    std::vector<int> played; // rows in the order they became current
};

class FakeView : public PlayerView {
public:
    void ShowSymbol(PlaySymbol s) override { symbol = s; }
    void ShowTime(int e, int r) override {
        elapsed = e;
        remaining = r;
    }
    QString Caption() const override { return caption; }
    void SetCaption(const QString &c) override { caption = c; }
    bool IsMainWindowActive() const override { return active; }
    void StartTimer() override { timer = true; }
    void KillTimer() override { timer = false; }
    void SetSliderPos(uint32_t p) override { slider = p; }
    PlaySymbol symbol = PlaySymbol::Stop;
    int elapsed = 0, remaining = 0;
    QString caption;
    bool active = true;
    bool timer = false;
    uint32_t slider = 0;
};

// Environment for one player test: private settings, recorded messages, the sound device on the
// unpaced disk driver (or the dummy one), and a folder of title files.
class PlayerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        FakeState::Get().Reset();
        m_saved = {qgetenv("SDL_AUDIODRIVER"), qgetenv("SDL_DISKAUDIOFILE"), qgetenv("SDL_DISKAUDIODELAY")};
        WriteSettingInt(QStringLiteral("GENERAL"), QStringLiteral("DS-Buffer"), 100);
    }
    void TearDown() override {
        player.reset();
        ReleaseSound();
        qputenv("SDL_AUDIODRIVER", m_saved[0]);
        if (m_saved[1].isEmpty())
            qunsetenv("SDL_DISKAUDIOFILE");
        else
            qputenv("SDL_DISKAUDIOFILE", m_saved[1]);
        if (m_saved[2].isEmpty())
            qunsetenv("SDL_DISKAUDIODELAY");
        else
            qputenv("SDL_DISKAUDIODELAY", m_saved[2]);
    }
    void OpenSound(bool bDisk = true) {
        if (bDisk) {
            qputenv("SDL_AUDIODRIVER", "disk");
            qputenv("SDL_DISKAUDIOFILE", Capture().toLocal8Bit());
            qputenv("SDL_DISKAUDIODELAY", "0");
        } else {
            qputenv("SDL_AUDIODRIVER", "dummy");
        }
        ASSERT_TRUE(InitSound());
        player = std::make_unique<Player>(&list, &view);
    }
    QString Capture() const { return dir.filePath(QStringLiteral("capture.raw")); }
    TitleItem *AddTitle(const QString &name, FakeTitle t) {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        {
            std::lock_guard g(FakeState::Get().lock);
            FakeState::Get().titles[path.toStdString()] = t;
        }
        return list.Add(path, &FakeEntry());
    }
    // Drives the timer until the condition holds; fails after a generous safety limit, saying where the
    // player stood then.
    template <class Pred>::testing::AssertionResult RunUntil(Pred pred, int limitMs = 30000) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        while (!pred()) {
            if (std::chrono::steady_clock::now() > until)
                return ::testing::AssertionFailure() << "still waiting after " << limitMs << " ms: " << Describe();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (view.timer)
                player->Tick();
        }
        return ::testing::AssertionSuccess();
    }
    std::string Describe() {
        const FakeState &s = FakeState::Get();
        std::string text = "state " + std::to_string(player->GetPlayState()) + ", row " +
                           std::to_string(player->CurrentRow()) + ", output " +
                           (player->IsOutputRunning() ? "running" : "ended") + ", played bytes " +
                           std::to_string(player->PlayedBytes()) + ", timer " + (view.timer ? "on" : "off") +
                           ", reads " + std::to_string(s.nRead) + ", init/deinit " + std::to_string(s.nInitRead) + "/" +
                           std::to_string(s.nDeinitRead) + ", resyncs " + std::to_string(s.nResync);
        if (DirectSoundBuffer *b = player->StreamBuffer()) {
            uint32_t status = 0, cursor = 0;
            b->GetStatus(&status);
            b->GetCurrentPosition(&cursor, nullptr);
            text += ", buffer status " + std::to_string(status) + " cursor " + std::to_string(cursor);
        }
        return text;
    }
    ::testing::AssertionResult RunToStop() {
        return RunUntil([&] { return player->GetPlayState() == PLAYSTATE_STOPPED && !player->IsOutputRunning(); });
    }
    // Frame indexes that reached the device, silence skipped. Releases the device to flush it.
    std::vector<int> CapturedFrames() {
        player.reset();
        ReleaseSound();
        QFile f(Capture());
        f.open(QIODevice::ReadOnly);
        const QByteArray raw = f.readAll();
        std::vector<int> frames;
        for (qsizetype i = 0; i + 4 <= raw.size(); i += 4) {
            int16_t lr[2];
            std::memcpy(lr, raw.constData() + i, 4);
            if (lr[0] == 0 && lr[1] == 0)
                continue;
            frames.push_back(((lr[1] - 1) << 14) | (lr[0] - 1));
        }
        return frames;
    }
    static std::vector<int> Range(int from, int to) {
        std::vector<int> v;
        for (int i = from; i < to; ++i)
            v.push_back(i);
        return v;
    }

    ScopedXdgHome home;
    RecordingSink sink;
    QTemporaryDir dir;
    FakeList list;
    FakeView view;
    std::unique_ptr<Player> player;

private:
    std::array<QByteArray, 3> m_saved;
};
