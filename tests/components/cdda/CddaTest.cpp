// The cdda component on disc images: drives, table of contents, disc ID, disc changes and file slots.
#include "CddaFixture.h"

#include <discid/discid.h>

#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>

namespace {

std::string FreedbIdOf(const std::vector<uint32_t> &toc, int n) {
    std::vector<int> offsets(size_t(n) + 1);
    offsets[0] = int(toc[size_t(n)]);
    for (int i = 0; i < n; ++i)
        offsets[size_t(i) + 1] = int(toc[size_t(i)]);
    DiscId *disc = discid_new();
    EXPECT_TRUE(discid_put(disc, 1, n, offsets.data()));
    std::string id = discid_get_freedb_id(disc);
    discid_free(disc);
    return id;
}

std::string Hex(uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "%08x", id);
    return text;
}

} // namespace

TEST_F(CddaFixture, TableOfContentsOfCueAndTocImagesMatchTheWrittenTracks) {
    for (const std::string &path : {image.strCue, image.strToc}) {
        SCOPED_TRACE(path);
        const uint8_t drive = GetDriveIndex(path.c_str(), nullptr);
        ASSERT_NE(drive, CDDA_NO_DRIVE);
        ASSERT_EQ(GetNumTracks(drive), image.trackFrames.size());
        std::vector<uint32_t> toc(CDDA_TOC_ENTRIES, 0xDEAD);
        const int n = GetMediaTOC(toc.data(), drive);
        ASSERT_EQ(n, int(image.trackFrames.size()));
        for (int t = 0; t < n; ++t) {
            EXPECT_EQ(toc[size_t(t)], 150 + image.TrackStart(size_t(t))) << "track " << t + 1;
            EXPECT_EQ(GetTrackLength(uint8_t(t + 1), drive), image.trackFrames[size_t(t)] / 75);
            uint32_t start = 0, end = 0;
            ASSERT_TRUE(GetTOCTrackBytes(&start, &end, uint8_t(t + 1), drive));
            EXPECT_EQ(start, image.TrackStart(size_t(t)) * CDDA_FRAME_BYTES);
            EXPECT_EQ(end - start, image.trackFrames[size_t(t)] * CDDA_FRAME_BYTES);
        }
        EXPECT_EQ(toc[size_t(n)], 150 + image.TrackStart(image.trackFrames.size()));
        EXPECT_EQ(toc[size_t(n) + 1], 0xDEADu) << "nothing written past the lead-out";

        const uint32_t id = GetDiscID(drive);
        EXPECT_EQ(Hex(id), FreedbIdOf(toc, n));
        EXPECT_EQ(id & 0xFF, uint32_t(n));
        uint32_t viaIndex = 0;
        EXPECT_EQ(GetDriveIndex(path.c_str(), &viaIndex), drive);
        EXPECT_EQ(viaIndex, id);

        uint32_t start = 0, end = 0;
        EXPECT_FALSE(GetTOCTrackBytes(&start, &end, 0, drive));
        EXPECT_FALSE(GetTOCTrackBytes(&start, &end, uint8_t(n + 1), drive));
        EXPECT_EQ(GetTrackLength(uint8_t(n + 1), drive), 0u);
    }
}

TEST_F(CddaFixture, DiscIdAgreesWithLibdiscidForManyShapes) {
    // One to twelve tracks of uneven lengths, some below two seconds, one over ten minutes.
    for (int shape = 1; shape <= 12; ++shape) {
        std::vector<uint32_t> frames;
        for (int t = 0; t < shape; ++t)
            frames.push_back(uint32_t(4 + (t * 7919 + shape * 104729) % (shape == 5 ? 50000 : 900)));
        const std::string name = "shape" + std::to_string(shape);
        const DiscImage other = WriteDiscImage(dir.path().toStdString(), name, frames, 0);
        Reinit({other.strCue});
        const uint8_t drive = GetDriveIndex(other.strCue.c_str(), nullptr);
        ASSERT_NE(drive, CDDA_NO_DRIVE);
        std::vector<uint32_t> toc(CDDA_TOC_ENTRIES);
        const int n = GetMediaTOC(toc.data(), drive);
        ASSERT_EQ(n, shape);
        EXPECT_EQ(Hex(GetDiscID(drive)), FreedbIdOf(toc, n)) << name;
    }
}

TEST_F(CddaFixture, DrivesAreImagesAfterDevicesWithNamesAndStrings) {
    const uint8_t drive = GetDriveIndex(image.strCue.c_str(), nullptr);
    ASSERT_NE(drive, CDDA_NO_DRIVE);
    EXPECT_EQ(GetDriveIndex(image.strToc.c_str(), nullptr), drive + 1);
    EXPECT_EQ(GetDriveIndex((image.strCue + "/").c_str(), nullptr), drive);
    uint32_t id = 77;
    EXPECT_EQ(GetDriveIndex("/no/such/disc.cue", &id), CDDA_NO_DRIVE);
    EXPECT_EQ(id, 0u);

    char name[CDDA_NAME_SIZE];
    char path[4096];
    EXPECT_EQ(GetDriveInfo(drive, name, path, sizeof path), image.strCue.size() + 1);
    EXPECT_STREQ(name, "Image disc.cue");
    EXPECT_EQ(path, image.strCue);
    // A buffer too small gets nothing rather than a cut path naming another file.
    char small[8] = "xxxxxxx";
    EXPECT_EQ(GetDriveInfo(drive, nullptr, small, sizeof small), image.strCue.size() + 1);
    EXPECT_STREQ(small, "");
    EXPECT_EQ(GetDriveInfo(CDDA_NO_DRIVE, name, path, sizeof path), 0u);
    EXPECT_STREQ(name, "");
}

TEST_F(CddaFixture, LongImageNamesAreCutOnACharacterBoundary) {
    // "Image " + 20 ASCII + "ü..." crosses the 27-byte limit inside a two-byte character.
    const std::string file = dir.path().toStdString() + "/aaaaaaaaaaaaaaaaaaaa\xC3\xBC\xC3\xBC\xC3\xBC.cue";
    std::filesystem::copy_file(image.strCue, file);
    Reinit({file});
    char name[CDDA_NAME_SIZE];
    ASSERT_GT(GetDriveInfo(GetDriveIndex(file.c_str(), nullptr), name, nullptr, 0), 0u);
    EXPECT_STREQ(name, "Image aaaaaaaaaaaaaaaaaaaa");
}

TEST_F(CddaFixture, DeletingTheImageRemovesTheDiscAndRestoringItInsertsIt) {
    const uint8_t drive = GetDriveIndex(image.strCue.c_str(), nullptr);
    const uint32_t id = GetDiscID(drive);
    ASSERT_TRUE(IsDiscPresent(drive));
    const std::string aside = image.strCue + ".aside";
    std::filesystem::rename(image.strCue, aside);
    EXPECT_FALSE(IsDiscPresent(drive));
    EXPECT_EQ(GetNumTracks(drive), 0);
    EXPECT_EQ(GetDiscID(drive), 0u);
    uint32_t toc[CDDA_TOC_ENTRIES];
    EXPECT_EQ(GetMediaTOC(toc, drive), 0);
    std::filesystem::rename(aside, image.strCue);
    EXPECT_TRUE(IsDiscPresent(drive));
    EXPECT_EQ(GetDiscID(drive), id);

    // Another disc at the same path is read afresh, even without NewCD.
    const DiscImage other = WriteDiscImage(dir.path().toStdString(), "other", {300, 301}, 9);
    std::filesystem::remove(image.strCue);
    std::filesystem::copy_file(other.strCue, image.strCue);
    // The copied sheet names other.bin, which lies beside it.
    EXPECT_TRUE(IsDiscPresent(drive));
    EXPECT_EQ(GetNumTracks(drive), 2);
    EXPECT_NE(GetDiscID(drive), id);
}

TEST_F(CddaFixture, BrokenOrMissingImagesAreDrivesWithoutAudioDisc) {
    const std::string junk = dir.path().toStdString() + "/junk.cue";
    std::FILE *f = std::fopen(junk.c_str(), "w");
    std::fputs("FILE \"nowhere.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 99:99:99\n", f);
    std::fclose(f);
    const std::string missing = dir.path().toStdString() + "/missing.cue";
    Reinit({junk, missing, image.strCue});
    for (const std::string &path : {junk, missing}) {
        const uint8_t drive = GetDriveIndex(path.c_str(), nullptr);
        ASSERT_NE(drive, CDDA_NO_DRIVE) << path;
        EXPECT_EQ(GetNumTracks(drive), 0);
        EXPECT_EQ(GetDiscID(drive), 0u);
        EXPECT_EQ(GetCompatibleReadMode(drive), 0);
        uint32_t start = 1, end = 1;
        EXPECT_FALSE(GetTOCTrackBytes(&start, &end, 1, drive));
        uint32_t pos = 0, stop = CDDA_FRAME_BYTES;
        std::vector<uint8_t> buffer(CDDA_FRAME_BYTES);
        EXPECT_EQ(ReadCD(buffer.data(), uint32_t(buffer.size()), &pos, &stop, 0, drive), 0);
        EXPECT_EQ(pos, 0u);
    }
    EXPECT_FALSE(IsDiscPresent(GetDriveIndex(missing.c_str(), nullptr)));
    EXPECT_EQ(GetNumTracks(GetDriveIndex(image.strCue.c_str(), nullptr)), image.trackFrames.size());
}

TEST_F(CddaFixture, FileSlotsKeepTheirFileAndLineCountPerDrive) {
    const uint8_t a = GetDriveIndex(image.strCue.c_str(), nullptr);
    const uint8_t b = GetDriveIndex(image.strToc.c_str(), nullptr);
    std::FILE *file = std::tmpfile();
    uint32_t lines = 99;
    EXPECT_EQ(GetFile(a, &lines), nullptr);
    EXPECT_EQ(lines, 0u);
    SetFile(a, file, 42);
    EXPECT_EQ(GetFile(a, &lines), file);
    EXPECT_EQ(lines, 42u);
    EXPECT_EQ(GetFile(b, &lines), nullptr);
    EXPECT_EQ(GetFile(a, nullptr), file);
    // A disc change does not touch the slot: the program owns the file.
    NewCD(a);
    CloseCDHandle(a);
    EXPECT_EQ(GetFile(a, &lines), file);
    SetFile(a, nullptr, 0);
    EXPECT_EQ(GetFile(a, &lines), nullptr);
    EXPECT_EQ(GetFile(CDDA_NO_DRIVE, &lines), nullptr);
    std::fclose(file);
}

TEST_F(CddaFixture, DriveParametersFallBackToSaneValues) {
    const uint8_t drive = GetDriveIndex(image.strCue.c_str(), nullptr);
    EXPECT_EQ(GetNumFrames(drive), CDDA_DEFAULT_FRAMES);
    SetCDParam(5, 3, image.strCue.c_str(), drive);
    EXPECT_EQ(GetNumFrames(drive), 5);
    // No frames per read would make a reader loop for ever.
    SetCDParam(0, 1, nullptr, drive);
    EXPECT_EQ(GetNumFrames(drive), CDDA_DEFAULT_FRAMES);
    SetCDParam(200, 1, nullptr, drive);
    EXPECT_EQ(GetNumFrames(drive), CDDA_DEFAULT_FRAMES);
    // Another drive string does not move the drive.
    SetCDParam(15, 9, "/dev/sr7", drive);
    char path[4096];
    GetDriveInfo(drive, nullptr, path, sizeof path);
    EXPECT_EQ(path, image.strCue);
    EXPECT_EQ(GetNumFrames(CDDA_NO_DRIVE), 0);
    EXPECT_EQ(GetCompatibleReadMode(drive), 1);
    EXPECT_EQ(IsNTOS(), 1);
    EXPECT_EQ(IsASPIInstalled(), 0);
}

TEST_F(CddaFixture, DeinitReleasesEveryDrive) {
    ASSERT_GE(GetNumDrives(), 2);
    DeinitDriver();
    EXPECT_EQ(GetNumDrives(), 0);
    EXPECT_EQ(GetDriveIndex(image.strCue.c_str(), nullptr), CDDA_NO_DRIVE);
    EXPECT_EQ(GetNumTracks(0), 0);
    // The ASPI driver is not there; asking for it still finds the drives.
    SetDiscImages(image.strCue.c_str());
    EXPECT_GE(InitDriver(1), 1);
    EXPECT_NE(GetDriveIndex(image.strCue.c_str(), nullptr), CDDA_NO_DRIVE);
}
