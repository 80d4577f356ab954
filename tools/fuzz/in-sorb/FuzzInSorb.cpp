// Fuzz target: the MP3 plug-in's GetFormat, then a playback of Read calls with a seek in the middle.
#include "MelvoPlugin.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

extern "C" {
int GetFormat(TitleItem *item, int bShowErrors);
int InitRead(TitleItem *item, int bShowErrors);
int Read(TitleItem *item, unsigned char *output, unsigned long outputSize, unsigned long chunk,
         unsigned long *bytesWritten);
int Resync(TitleItem *item);
int DeinitRead(TitleItem *item, int bShowErrors);
}

namespace {

// The input lives in a memory file, so each run costs no disk and the plug-in opens it by path.
const char *InputPath() {
    static char path[64];
    static int fd = -1;
    if (fd < 0) {
        fd = memfd_create("fuzz-input.mp3", 0);
        std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    }
    return path;
}

bool WriteInput(const uint8_t *data, size_t size) {
    const char *path = InputPath();
    int fd = -1;
    std::sscanf(path, "/proc/self/fd/%d", &fd);
    if (ftruncate(fd, 0) != 0)
        return false;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = pwrite(fd, data + done, size - done, off_t(done));
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

} // namespace

// The plug-in's messages land here instead of on stderr; reading the text checks it is a valid string.
extern "C" __attribute__((visibility("default"))) int MelvoHostMessageBox(const char *text, unsigned) {
    return std::strlen(text) > 0 ? 1 : 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (!WriteInput(data, size))
        return 0;
    TitleItem item;
    std::memset(&item, 0, sizeof item);
    item.pszPath = const_cast<char *>(InputPath());
    item.nLength = -1;
    item.nCDDrive = item.nCDTrack = 255;
    item.bUseTags = size > 0 && (data[size - 1] & 1);
    std::memcpy(item.szTitle, "fuzz", 5);
    if (!GetFormat(&item, 0))
        return 0;
    if (item.hMMFile || item.nBlockBytes == 0 || item.nBlockBytes > 4608 || item.dwDataStart > item.dwDataEnd ||
        item.nAvgBytesPerSec == 0 || std::memchr(item.szTitle, 0, sizeof item.szTitle) == nullptr)
        __builtin_trap(); // a format the host could not live with

    // Buffer and chunk sizes from the input, as different players would choose them.
    const unsigned long blocks = 1 + (size > 1 ? data[1] % 8 : 0);
    const unsigned long outputSize = item.nBlockBytes * blocks + (size > 2 ? data[2] % 5 : 0);
    const unsigned long chunk = 64 + (size > 3 ? (unsigned long)data[3] * 37 : 4000);
    item.bSilence = 0;
    item.dwReadPos = item.dwDataStart;
    if (!InitRead(&item, 0))
        return 0;
    std::vector<unsigned char> output(outputSize);
    const uint32_t seekTarget = item.dwDataStart + (size > 4 ? uint32_t(data[4]) * 97 : 0);
    for (int reads = 0; reads < 4000; ++reads) {
        unsigned long written = 0;
        const int more = Read(&item, output.data(), outputSize, chunk, &written);
        if (written > outputSize)
            __builtin_trap();
        if (!more)
            break;
        if (reads == 1) {
            item.dwReadPos = seekTarget;
            Resync(&item);
        }
    }
    DeinitRead(&item, 0);
    if (item.hMMFile || item.pDecoder)
        __builtin_trap();
    return 0;
}
