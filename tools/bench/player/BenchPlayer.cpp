// Benchmark of the player: (a) CPU of the whole process while 60 s of a 128 kbit/s MP3 play through
// in-sorb to SDL's dummy driver (real time); (b) time from Play to the first audible sample written by
// SDL's paced disk driver, over 20 starts.
// Usage: bench-player PROGRAM_DIR WORK_DIR [SECONDS]
#include "Player.h"
#include "PluginHost.h"
#include "Settings.h"
#include "Sound.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class OneTitleList : public PlayerList {
public:
    explicit OneTitleList(TitleItem *item) : m_item(item) {}
    int GetRowCount() const override { return 1; }
    int GetFirstSelected() const override { return 0; }
    TitleItem *GetItem(int row) const override { return row == 0 ? m_item : nullptr; }
    bool SelectOnly(int row) override { return row < 1; }
    void MarkCurrent(int, bool) override {}
    int FindRow(const TitleItem *item) const override { return item == m_item ? 0 : -1; }
    void UpdateTitleRow(TitleItem *, int, bool) override {}
    bool ReadTitleInfo(TitleItem *item, bool show) override {
        auto *p = static_cast<PluginEntry *>(item->pPlugin);
        return p->pfnGetFormat(item, show ? 1 : 0);
    }

private:
    TitleItem *m_item;
};

class QuietView : public PlayerView {
public:
    void StartTimer() override { bTimer = true; }
    void KillTimer() override { bTimer = false; }
    bool bTimer = false;
};

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A 128 kbit/s MP3 of music-like tones, made once with lame.
QString MakeMp3(const QString &work, int seconds) {
    const QString mp3 = work + QStringLiteral("/bench-%1s.mp3").arg(seconds);
    if (QFileInfo::exists(mp3))
        return mp3;
    const QString raw = work + QStringLiteral("/bench.raw");
    QFile f(raw);
    f.open(QIODevice::WriteOnly);
    std::vector<int16_t> pcm(size_t(44100) * 2);
    for (int s = 0; s < seconds; ++s) {
        for (int i = 0; i < 44100; ++i) {
            const double t = (s * 44100 + i) / 44100.0;
            pcm[2 * i] = int16_t(8000 * std::sin(2 * M_PI * 440 * t) + 3000 * std::sin(2 * M_PI * 1234 * t));
            pcm[2 * i + 1] = int16_t(8000 * std::sin(2 * M_PI * 330 * t) + 2000 * std::sin(2 * M_PI * 3000 * t));
        }
        f.write(reinterpret_cast<const char *>(pcm.data()), qint64(pcm.size() * 2));
    }
    f.close();
    QProcess::execute(QStringLiteral("lame"),
                      {QStringLiteral("--quiet"), QStringLiteral("-r"), QStringLiteral("-s"), QStringLiteral("44.1"),
                       QStringLiteral("--signed"), QStringLiteral("--little-endian"), QStringLiteral("-b"),
                       QStringLiteral("128"), raw, mp3});
    QFile::remove(raw);
    return mp3;
}

TitleItem *MakeItem(const QString &path) {
    auto *t = new TitleItem{};
    t->pszPath = strdup(path.toUtf8().constData());
    const uint8_t index = FindPluginForExtension(QFileInfo(path).suffix());
    t->nPlugin = index;
    t->pPlugin = PluginAt(index);
    t->nLength = -1;
    t->nCDDrive = t->nCDTrack = 255;
    return t;
}

// Drives the 100 ms timer as the GUI thread would, until the title has ended or the time is up.
void RunTimer(Player &player, QuietView &view, double seconds) {
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < until && view.bTimer) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        player.Tick();
    }
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PROGRAM_DIR WORK_DIR [SECONDS]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The player saves its mode on the way out: into the work folder, not the user's settings.
    qputenv("XDG_CONFIG_HOME", QByteArray(argv[2]) + "/config");
    QApplication app(argc, argv);
    const QString work = QString::fromLocal8Bit(argv[2]);
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 60;
    LoadPlugins(QString::fromLocal8Bit(argv[1]));
    TitleItem *item = MakeItem(MakeMp3(work, seconds));
    if (!item->pPlugin) {
        std::fprintf(stderr, "no plug-in for MP3 in %s\n", argv[1]);
        return 1;
    }
    OneTitleList list(item);
    QuietView view;

    // (a) CPU while playing in real time.
    qputenv("SDL_AUDIODRIVER", "dummy");
    InitSound();
    {
        Player player(&list, &view);
        const double cpu0 = CpuSeconds();
        const auto t0 = Clock::now();
        player.Play();
        RunTimer(player, view, seconds + 5);
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        const double cpu = CpuSeconds() - cpu0;
        player.Stop();
        std::printf("play %d s MP3 128 kbit/s: wall %.1f s, CPU %.3f s = %.2f %% of one core\n", seconds, wall, cpu,
                    100.0 * cpu / wall);
    }
    ReleaseSound();

    // (b) Play to the first audible sample at the device, paced disk driver.
    const QString capture = work + QStringLiteral("/capture.raw");
    QFile::remove(capture);
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", capture.toLocal8Bit());
    qunsetenv("SDL_DISKAUDIODELAY");
    InitSound();
    std::vector<double> ms;
    {
        Player player(&list, &view);
        QFile file(capture);
        for (int i = 0; i < 20; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(150)); // idle silence in between
            file.close();
            file.open(QIODevice::ReadOnly);
            qint64 seen = file.size();
            const auto t0 = Clock::now();
            player.Play();
            bool heard = false;
            while (!heard && Clock::now() - t0 < std::chrono::seconds(5)) {
                std::this_thread::sleep_for(std::chrono::microseconds(500));
                file.seek(seen);
                const QByteArray more = file.read(1 << 20);
                const qint64 whole = more.size() & ~qint64(3);
                for (qint64 k = 0; k < whole && !heard; k += 2)
                    heard = more[k] != 0 || more[k + 1] != 0;
                seen += whole;
            }
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            player.Stop();
        }
    }
    ReleaseSound();
    std::sort(ms.begin(), ms.end());
    std::printf("Play to first audible sample (20 starts): median %.1f ms, min %.1f ms, max %.1f ms\n",
                ms[ms.size() / 2], ms.front(), ms.back());
    UnloadPlugins();
    std::free(item->pszPath);
    delete item;
    return 0;
}
