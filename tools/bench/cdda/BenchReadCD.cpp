// Reads a whole disc image through the cdda component's ReadCD and reports the speed.
//   bench_readcd IMAGE [READMODE]   (writes a 10-minute image first with: bench_readcd --make FOLDER)
#include "DiscImage.h"
#include "cdda/CDDA.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char **argv) {
    if (argc == 3 && std::strcmp(argv[1], "--make") == 0) {
        // Ten minutes in twelve tracks of uneven length.
        std::vector<uint32_t> frames;
        uint32_t total = 0;
        for (int t = 0; t < 11; ++t) {
            frames.push_back(3600 + uint32_t(t) * 97);
            total += frames.back();
        }
        frames.push_back(45000 - total);
        const DiscImage image = WriteDiscImage(argv[2], "bench", frames, 7);
        std::printf("%s\n", image.strCue.c_str());
        return 0;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s IMAGE [READMODE] | --make FOLDER\n", argv[0]);
        return 2;
    }
    SetDiscImages(argv[1]);
    InitDriver(0);
    const uint8_t drive = GetDriveIndex(argv[1], nullptr);
    if (drive == CDDA_NO_DRIVE || GetNumTracks(drive) == 0) {
        std::fprintf(stderr, "no audio disc in %s\n", argv[1]);
        return 1;
    }
    const int readMode = argc > 2 ? std::atoi(argv[2]) : 1;
    SetCDParam(CDDA_DEFAULT_FRAMES, uint8_t(readMode), argv[1], drive);

    uint32_t start = 0, end = 0, last = 0;
    GetTOCTrackBytes(&start, &last, 1, drive);
    GetTOCTrackBytes(&last, &end, GetNumTracks(drive), drive);
    std::vector<uint8_t> buffer(size_t(GetNumFrames(drive)) * CDDA_FRAME_BYTES);
    uint32_t position = start;
    uint64_t checksum = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (;;) {
        const uint32_t before = position;
        const int more = ReadCD(buffer.data(), uint32_t(buffer.size()), &position, &end, 0, drive);
        for (uint32_t i = 0; i < position - before; i += 4096)
            checksum += buffer[i];
        if (!more)
            break;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    DeinitDriver();
    if (position != end) {
        std::fprintf(stderr, "read failed at byte %u of %u\n", position, end);
        return 1;
    }
    const double mb = double(end - start) / 1e6;
    std::printf("read mode %d, %u frames per read: %.1f MB in %.3f s = %.1f MB/s = %.0fx (checksum %llu)\n", readMode,
                unsigned(GetNumFrames(drive) ? GetNumFrames(drive) : CDDA_DEFAULT_FRAMES), mb, seconds, mb / seconds,
                double(end - start) / 176400.0 / seconds, static_cast<unsigned long long>(checksum));
    return 0;
}
