// A short fixed-seed run of the playlist fuzz step: random and mutated playlists never break the reader.
#include "PlaylistFuzzBody.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

TEST(PlaylistFuzz, FixedSeedRunOfRandomAndMutatedFiles) {
    RecordingSink sink; // bad lines are reported; nobody has to click them away
    std::mt19937 random(20261207);
    const std::vector<QByteArray> seeds{
        QByteArray("\0[playlist]\r\nFile1=/a/b.mp3\r\nfile2=c.wav\r\nNumberOfEntries=2", 59),
        QByteArray("\1#EXTM3U\n#EXTINF:1,x\n/a/b.mp3\nrel/../../../c.wav\n\xc3\xa9\xe9.wav"),
    };
    const char alphabet[] = "[]=\r\n#/.\\:\0\xc3\xa9\xff fileFILE123playlist";
    for (int run = 0; run < 20000; ++run) {
        QByteArray bytes = seeds[run % seeds.size()];
        const int edits = 1 + int(random() % 16);
        for (int e = 0; e < edits; ++e) {
            const int at = bytes.isEmpty() ? 0 : int(random() % bytes.size());
            const char c = random() % 2 ? char(random()) : alphabet[random() % (sizeof alphabet - 1)];
            switch (random() % 3) {
            case 0:
                bytes.insert(at, c);
                break;
            case 1:
                if (!bytes.isEmpty())
                    bytes[at] = c;
                break;
            default:
                bytes.remove(at, 1 + int(random() % 8));
            }
        }
        FuzzPlaylistOnce(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
        if (run % 1000 == 0)
            sink.Clear();
    }
    SUCCEED();
}
