// CDDB texts: the query, the hello, status codes, match lines, and titles read from xmcd files.
#include "Xmcd.h"
#include "DiscImage.h"
#include "TestEnvironment.h"
#include "TitleFile.h"
#include "cdda/CDDA.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

namespace {

// A title file in memory, positioned at its start.
struct MemFile {
    explicit MemFile(const QByteArray &text) {
        file = std::tmpfile();
        std::fwrite(text.constData(), 1, size_t(text.size()), file);
        std::rewind(file);
    }
    ~MemFile() { std::fclose(file); }
    FILE *file;
};

} // namespace

TEST(Xmcd, QueryHoldsDiscIdCountOffsetsAndSecondsWithoutTrailingPlus) {
    const uint32_t toc[] = {150, 15000, 30150, 45000};
    EXPECT_EQ(BuildQueryText(0x0a1b2c03, toc, 3), "cddb+query+0a1b2c03+3+150+15000+30150+600");
    const uint32_t one[] = {150, 7650};
    EXPECT_EQ(BuildQueryText(0xff, one, 1), "cddb+query+000000ff+1+150+102");

    // From a drive: the disc ID comes from it when the request has none, and is stored back.
    QTemporaryDir dir;
    const DiscImage image = WriteDiscImage(dir.path().toStdString(), "q", {75 * 60, 75 * 30 + 10, 75 * 45}, 0);
    SetDiscImages(image.strCue.c_str());
    InitDriver(0);
    uint32_t id = 0;
    const QByteArray query = BuildQueryCommand(0, id);
    EXPECT_EQ(id, GetDiscID(0));
    EXPECT_NE(id, 0u);
    const QList<QByteArray> numbers = query.mid(int(strlen("cddb+query+"))).split('+');
    ASSERT_EQ(numbers.size(), 3 + 3); // disc ID, n, n offsets, seconds
    EXPECT_EQ(numbers[1], "3");
    EXPECT_EQ(numbers[2], "150");
    EXPECT_EQ(numbers[3], QByteArray::number(150 + 75 * 60));
    EXPECT_FALSE(query.endsWith('+'));
    SetDiscImages(nullptr);
    DeinitDriver();
}

TEST(Xmcd, HelloSplitsTheAddressAtTheAt) {
    const struct {
        const char *email, *hello;
    } cases[] = {
        {"jane@example.org", "hello=jane+example.org+Melvo+2.71&proto=6"},
        {"jane", "hello=jane++Melvo+2.71&proto=6"},
        {"", "hello=++Melvo+2.71&proto=6"},
        {"@@jane@host", "hello=jane+host+Melvo+2.71&proto=6"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(BuildHello(c.email), c.hello) << c.email;
}

TEST(Xmcd, ResponsesSplitAtLineFeedsAndTheirCodeIsThreeDigits) {
    const ResponseLines lines = SplitResponse("210 Found exact matches\r\nrock 1234 A / B\r\n.\r\n");
    EXPECT_EQ(lines, (ResponseLines{"210 Found exact matches", "rock 1234 A / B", "."}));
    EXPECT_EQ(ResponseCode(lines), 210);
    EXPECT_TRUE(SplitResponse("").isEmpty());
    EXPECT_EQ(ResponseCode({}), 0);
    EXPECT_EQ(ResponseCode({"<html>"}), 0);
    EXPECT_EQ(ResponseCode({"20"}), 0);
    EXPECT_EQ(ResponseCode({"12x oops"}), 0);
    EXPECT_EQ(ResponseCode({"403 Database entry is corrupt"}), 403);
}

TEST(Xmcd, MatchLinesGiveCategoryDiscIdReadArgumentAndTitle) {
    uint32_t id = 7;
    QString arg = "untouched", title = "untouched";
    EXPECT_EQ(ParseMatchLine("rock 7a0b1c02 Artist / Album", &id, &arg, &title), "rock");
    EXPECT_EQ(id, 0x7a0b1c02u);
    EXPECT_EQ(arg, "rock+7a0b1c02");
    EXPECT_EQ(title, " Artist / Album");
    id = 7;
    arg = title = "untouched";
    EXPECT_EQ(ParseMatchLine(".", &id, &arg, &title), "");
    EXPECT_EQ(id, 7u);
    EXPECT_EQ(arg, "untouched");
    EXPECT_EQ(ParseMatchLine("misc 00000001", nullptr, &arg, &title), "misc");
    EXPECT_EQ(arg, "misc+00000001");
    EXPECT_EQ(title, "");
}

TEST(Xmcd, ServerCodesMapToTheirMessages) {
    const struct {
        int code;
        unsigned message;
        bool ok;
    } cases[] = {{200, 0, true},   {210, 0, true},   {230, 0, true},   {211, 24, false}, {202, 25, false},
                 {401, 25, false}, {402, 26, false}, {403, 27, false}, {409, 29, false}, {417, 29, false},
                 {431, 29, false}, {500, 30, false}, {0, 0, false},    {404, 0, false}};
    for (const auto &c : cases) {
        EXPECT_EQ(ServerCodeMessage(c.code), c.message) << c.code;
        EXPECT_EQ(ServerCodeSucceeded(c.code), c.ok) << c.code;
    }
}

TEST(Xmcd, ValuesJoinContinuationLinesRespectTheLineLimitAndKeepThePosition) {
    MemFile f("#FILENAME=0000abcd\n210 rock 0000abcd\n# xmcd\nDTITLE=Artist / Al\nDTITLE=bum\r\n"
              "TTITLE0=One\nTTITLE3=Four, part\nTTITLE3= two\nTTITLE1=Song about DTITLE=x\nTTITLE10=Eleven\n.\n");
    EXPECT_EQ(ReadXmcdValue(f.file, "DTITLE", 0), "Artist / Album");
    EXPECT_EQ(ReadXmcdValue(f.file, "TTITLE3", 0), "Four, part two");
    EXPECT_EQ(ReadXmcdValue(f.file, "TTITLE1", 0), "Song about DTITLE=x");
    EXPECT_EQ(ReadXmcdValue(f.file, "TTITLE9", 0), "");
    EXPECT_EQ(std::ftell(f.file), 0L);
    // Lines 1..5 only: the second DTITLE line is the fifth, TTITLE0 the sixth.
    EXPECT_EQ(ReadXmcdValue(f.file, "DTITLE", 5), "Artist / Album");
    EXPECT_EQ(ReadXmcdValue(f.file, "TTITLE0", 5), "");
    EXPECT_EQ(ReadXmcdValue(f.file, "TTITLE0", 6), "One");
    EXPECT_EQ(ReadXmcdValue(nullptr, "DTITLE", 0), "");
}

TEST(Xmcd, TrackTitlesJoinDiscAndTrackUndoEscapesAndReadUtf8OrLatin1) {
    const struct {
        QByteArray record;
        int track;
        const char *title;
    } cases[] = {
        {"DTITLE=A / B\nTTITLE0=Line\\nbreak\\tand\\\\n\n", 1, "A / B - Line break and\\n"},
        {"DTITLE=Bj\xc3\xb6rk / Post\nTTITLE1=H\xc3\xa9las\n", 2, "Bj\xc3\xb6rk / Post - H\xc3\xa9las"},
        {"DTITLE=Bj\xf6rk / Post\nTTITLE1=H\xe9las\n", 2, "Bj\xc3\xb6rk / Post - H\xc3\xa9las"}, // Latin-1
        {"DTITLE=Only disc\n", 1, "Only disc - "},
    };
    for (const auto &c : cases) {
        MemFile f(c.record);
        char title[100] = "old";
        EXPECT_EQ(GetTrackTitle(c.track, title, sizeof title, f.file, 0), 1);
        EXPECT_STREQ(title, c.title);
    }
    char title[100] = "Track01";
    EXPECT_EQ(GetTrackTitle(1, title, sizeof title, nullptr, 0), 0);
    EXPECT_STREQ(title, "Track01");

    // A long title is cut to 99 bytes, never inside a character: 95 + 3 bytes leave one byte for "é".
    MemFile f("DTITLE=" + QByteArray(95, 'x') + "\nTTITLE0=\xc3\xa9\n");
    EXPECT_EQ(GetTrackTitle(1, title, sizeof title, f.file, 0), 1);
    EXPECT_EQ(QByteArray(title), QByteArray(95, 'x') + " - ");
}
