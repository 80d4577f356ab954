// Benchmark of the MP3 plug-in: (a) decoding 10-minute CBR and VBR files with the player's block size
// against the mpg123 tool, in CPU seconds; (b) GetFormat over 2,000 files, in milliseconds per file.
// Usage: bench-in-sorb PROGRAM_DIR WORK_DIR
#include "MelvoPlugin.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;

struct Plugin {
    PFN_GetFormat getFormat;
    PFN_InitRead initRead;
    PFN_Read read;
    PFN_DeinitRead deinitRead;
};

double CpuSeconds(const rusage &r) {
    return r.ru_utime.tv_sec + r.ru_utime.tv_usec / 1e6 + r.ru_stime.tv_sec + r.ru_stime.tv_usec / 1e6;
}

double SelfCpu() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return CpuSeconds(r);
}

void Put32(std::ofstream &out, uint32_t v) {
    out.write(reinterpret_cast<const char *>(&v), 4);
}
void Put16(std::ofstream &out, uint16_t v) {
    out.write(reinterpret_cast<const char *>(&v), 2);
}

// Music-like input: a few drifting tones, a beat and some noise, so the encoder has work to do.
void WriteWav(const std::string &path, int seconds) {
    const uint32_t rate = 44100, frames = rate * uint32_t(seconds), bytes = frames * 4;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    Put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, 2);
    Put32(out, rate);
    Put32(out, rate * 4);
    Put16(out, 4);
    Put16(out, 16);
    out.write("data", 4);
    Put32(out, bytes);
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0.0, 0.03);
    std::vector<int16_t> block;
    for (uint32_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double beat = std::exp(-8.0 * std::fmod(t, 0.5)) * std::sin(2 * M_PI * 60 * t);
        for (int c = 0; c < 2; ++c) {
            const double f = (c ? 330.0 : 220.0) * (1.0 + 0.25 * std::sin(0.05 * t));
            const double v =
                0.25 * std::sin(2 * M_PI * f * t) + 0.12 * std::sin(2 * M_PI * f * 3.01 * t) + 0.3 * beat + noise(rng);
            block.push_back(int16_t(std::lrint(std::max(-1.0, std::min(1.0, v)) * 32000)));
        }
        if (block.size() >= 65536) {
            out.write(reinterpret_cast<const char *>(block.data()), std::streamsize(block.size() * 2));
            block.clear();
        }
    }
    out.write(reinterpret_cast<const char *>(block.data()), std::streamsize(block.size() * 2));
}

// Runs a command with stdout to /dev/null (when quiet) and returns its CPU seconds, or -1.
double RunChild(const std::vector<std::string> &args, bool quiet) {
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error)
        return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return CpuSeconds(usage);
}

double DecodeWithPlugin(const Plugin &plugin, const std::string &path, size_t *pcmBytes) {
    TitleItem item{};
    item.pszPath = const_cast<char *>(path.c_str());
    if (!plugin.getFormat(&item, 0))
        return -1;
    // The player's sizes with its default half-second buffer.
    const unsigned long perMs = (item.nBitsPerSample / 8) * (item.nSamplesPerSec / 1000) * item.nChannels;
    const unsigned long block = perMs * 500 / item.nBlockAlignBytes * item.nBlockAlignBytes;
    const unsigned long chunk = item.nAvgBytesPerSec / 1000 * 500;
    std::vector<unsigned char> buffer(block);
    const double start = SelfCpu();
    item.dwReadPos = item.dwDataStart;
    if (!plugin.initRead(&item, 0))
        return -1;
    size_t total = 0;
    unsigned long written = 0;
    while (plugin.read(&item, buffer.data(), block, chunk, &written))
        total += written;
    total += written;
    plugin.deinitRead(&item, 0);
    *pcmBytes = total;
    return SelfCpu() - start;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PROGRAM_DIR WORK_DIR\n", argv[0]);
        return 2;
    }
    const std::string pluginPath = std::string(argv[1]) + "/in-sorb.so";
    void *module = dlopen(pluginPath.c_str(), RTLD_NOW);
    if (!module) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    const Plugin plugin{reinterpret_cast<PFN_GetFormat>(dlsym(module, "GetFormat")),
                        reinterpret_cast<PFN_InitRead>(dlsym(module, "InitRead")),
                        reinterpret_cast<PFN_Read>(dlsym(module, "Read")),
                        reinterpret_cast<PFN_DeinitRead>(dlsym(module, "DeinitRead"))};
    const fs::path work = argv[2];
    fs::create_directories(work);

    // (a) Decoding speed.
    const std::string wav = (work / "ten-minutes.wav").string();
    const std::string cbr = (work / "cbr128.mp3").string(), vbr = (work / "vbr.mp3").string();
    if (!fs::exists(cbr) || !fs::exists(vbr)) {
        std::printf("making 10-minute test files with lame ...\n");
        WriteWav(wav, 600);
        if (RunChild({"lame", "--quiet", "-b", "128", "--cbr", wav, cbr}, false) < 0 ||
            RunChild({"lame", "--quiet", "-V", "2", wav, vbr}, false) < 0)
            return 1;
        fs::remove(wav);
    }
    std::printf("(a) decoding, CPU seconds (best of 5)\n");
    for (const std::string &file : {cbr, vbr}) {
        double best = 1e9, bestTool = 1e9;
        size_t bytes = 0;
        for (int round = 0; round < 5; ++round) {
            best = std::min(best, DecodeWithPlugin(plugin, file, &bytes));
            bestTool = std::min(bestTool, RunChild({"mpg123", "-q", "--no-gapless", "-s", file}, true));
        }
        std::printf("  %-10s in-sorb %.3f s  mpg123 %.3f s  speed ratio %.3f  (%zu PCM bytes)\n",
                    fs::path(file).filename().c_str(), best, bestTool, bestTool / best, bytes);
    }

    // (b) Format scans over 2,000 files: a 2-second VBR file behind ID3v2 tags of varied size.
    const fs::path many = work / "many";
    if (!fs::exists(many / "1999.mp3")) {
        fs::create_directories(many);
        const std::string shortWav = (work / "short.wav").string(), shortMp3 = (work / "short.mp3").string();
        WriteWav(shortWav, 2);
        RunChild({"lame", "--quiet", "-V", "4", shortWav, shortMp3}, false);
        std::ifstream in(shortMp3, std::ios::binary);
        const std::string audio((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (int i = 0; i < 2000; ++i) {
            std::string title = "Title number " + std::to_string(i);
            std::string frames = "TIT2";
            const uint32_t size = uint32_t(title.size() + 1);
            frames += std::string{char(0), char(0), char(size >> 7), char(size & 0x7F), 0, 0, 0} + title;
            const uint32_t tagSize = uint32_t(frames.size() + 100 * (i % 50));
            frames.resize(tagSize, '\0');
            std::ofstream out((many / (std::to_string(i) + ".mp3")).string(), std::ios::binary);
            out << "ID3" << char(4) << char(0) << char(0) << char((tagSize >> 21) & 0x7F)
                << char((tagSize >> 14) & 0x7F) << char((tagSize >> 7) & 0x7F) << char(tagSize & 0x7F) << frames
                << audio;
        }
    }
    std::printf("(b) GetFormat over 2,000 files (%s, page cache warm)\n", many.c_str());
    for (const int useTags : {0, 1}) {
        double best = 1e9;
        for (int round = 0; round < 3; ++round) {
            const auto start = std::chrono::steady_clock::now();
            int ok = 0;
            for (int i = 0; i < 2000; ++i) {
                const std::string path = (many / (std::to_string(i) + ".mp3")).string();
                TitleItem item{};
                item.pszPath = const_cast<char *>(path.c_str());
                item.bUseTags = uint32_t(useTags);
                ok += plugin.getFormat(&item, 0);
            }
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            best = std::min(best, ms);
            if (ok != 2000)
                std::printf("  only %d of 2000 files were read\n", ok);
        }
        std::printf("  tags %s: %.3f ms per file (%.0f ms in all)\n", useTags ? "used" : "not used", best / 2000, best);
    }
    return 0;
}
