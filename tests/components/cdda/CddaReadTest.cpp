// Reading raw audio from disc images: whole tracks byte for byte, in every read mode, and the edges.
#include "CddaFixture.h"

#include <cstring>
#include <filesystem>
#include <thread>

namespace {

// Reads [start, end) the way the grabbing engine does: whole buffers until ReadCD answers 0.
std::vector<uint8_t> ReadRange(uint8_t drive, uint32_t start, uint32_t end, uint32_t bufferBytes, bool *failed) {
    std::vector<uint8_t> out, buffer(bufferBytes);
    uint32_t position = start;
    for (int guard = 0; guard < 100000; ++guard) {
        const uint32_t before = position;
        const int more = ReadCD(buffer.data(), bufferBytes, &position, &end, 0, drive);
        out.insert(out.end(), buffer.begin(), buffer.begin() + (position - before));
        if (position - before < bufferBytes)
            for (uint32_t i = position - before; i < bufferBytes; ++i)
                if (buffer[i] != 0) {
                    ADD_FAILURE() << "byte " << i << " past the end is not zero";
                    break;
                }
        if (!more)
            break;
    }
    *failed = position != end;
    return out;
}

} // namespace

TEST_F(CddaFixture, WholeTracksReadAsTheImagesBytesInEveryReadMode) {
    for (const std::string &path : {image.strCue, image.strToc}) {
        const uint8_t drive = GetDriveIndex(path.c_str(), nullptr);
        for (uint8_t mode : {1, 2, 3, 7}) {
            SetCDParam(CDDA_DEFAULT_FRAMES, mode, nullptr, drive);
            for (uint8_t t = 1; t <= image.trackFrames.size(); ++t) {
                SCOPED_TRACE(path + " mode " + std::to_string(mode) + " track " + std::to_string(t));
                uint32_t start = 0, end = 0;
                ASSERT_TRUE(GetTOCTrackBytes(&start, &end, t, drive));
                bool failed = true;
                const auto bytes = ReadRange(drive, start, end, GetNumFrames(drive) * CDDA_FRAME_BYTES, &failed);
                EXPECT_FALSE(failed);
                ASSERT_EQ(bytes.size(), image.TrackBytes(t - 1).size());
                EXPECT_TRUE(bytes == image.TrackBytes(t - 1));
            }
        }
    }
}

TEST_F(CddaFixture, ReadsOutOfOrderAndAtUnalignedPositions) {
    const uint8_t drive = GetDriveIndex(image.strCue.c_str(), nullptr);
    const auto track3 = image.TrackBytes(2);
    uint32_t start = 0, end = 0;
    ASSERT_TRUE(GetTOCTrackBytes(&start, &end, 3, drive));
    for (uint8_t mode : {1, 3}) {
        SetCDParam(3, mode, nullptr, drive);
        // Backwards jumps between reads, as after a cancelled grab of a later track.
        for (uint32_t offset : {5000u, 1u, 2352u * 7 + 3, 0u}) {
            bool failed = true;
            const auto bytes = ReadRange(drive, start + offset, start + offset + 10000, 3 * CDDA_FRAME_BYTES, &failed);
            ASSERT_FALSE(failed);
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), track3.begin() + offset)) << "offset " << offset;
        }
    }
}

TEST_F(CddaFixture, ReadingStopsAtTheEndAndFailsPastTheDisc) {
    const uint8_t drive = GetDriveIndex(image.strCue.c_str(), nullptr);
    std::vector<uint8_t> buffer(4 * CDDA_FRAME_BYTES, 0xAB);
    uint32_t position = 100, end = 100;
    EXPECT_EQ(ReadCD(buffer.data(), uint32_t(buffer.size()), &position, &end, 0, drive), 0);
    EXPECT_EQ(position, 100u);
    EXPECT_EQ(buffer[0], 0) << "an empty read leaves no stale audio";

    uint32_t lastStart = 0, lastEnd = 0;
    ASSERT_TRUE(GetTOCTrackBytes(&lastStart, &lastEnd, uint8_t(image.trackFrames.size()), drive));
    position = lastEnd - CDDA_FRAME_BYTES;
    uint32_t beyond = lastEnd + 10 * CDDA_FRAME_BYTES;
    EXPECT_EQ(ReadCD(buffer.data(), uint32_t(buffer.size()), &position, &beyond, 0, drive), 0);
    EXPECT_LT(position, beyond);
    EXPECT_EQ(ReadCD(nullptr, 100, &position, &beyond, 0, drive), 0);
    EXPECT_EQ(ReadCD(buffer.data(), uint32_t(buffer.size()), nullptr, &beyond, 0, drive), 0);
}

TEST_F(CddaFixture, ReadingWhileTheOtherThreadPollsAndTheDiscGoes) {
    const uint8_t drive = GetDriveIndex(image.strCue.c_str(), nullptr);
    SetCDParam(1, 1, nullptr, drive);
    uint32_t start = 0, end = 0;
    ASSERT_TRUE(GetTOCTrackBytes(&start, &end, 1, drive));
    std::atomic<bool> stop{false};
    std::thread poller([&] {
        while (!stop)
            IsDiscPresent(drive);
    });
    bool failed = true;
    const auto bytes = ReadRange(drive, start, end, CDDA_FRAME_BYTES, &failed);
    EXPECT_FALSE(failed);
    EXPECT_TRUE(bytes == image.TrackBytes(0));
    // Taking the disc out mid-grab ends the next read with a failure instead of stale audio.
    std::filesystem::remove(image.strCue);
    uint32_t position = start;
    std::vector<uint8_t> buffer(CDDA_FRAME_BYTES);
    EXPECT_EQ(ReadCD(buffer.data(), CDDA_FRAME_BYTES, &position, &end, 0, drive), 0);
    EXPECT_EQ(position, start);
    stop = true;
    poller.join();
}
