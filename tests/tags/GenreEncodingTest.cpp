// Genre texts and the code page of Latin-1 tag texts.
#include "Genres.h"
#include "PluginHost.h"
#include "Settings.h"
#include "TagEncoding.h"
#include "TagTestSupport.h"
#include "TestEnvironment.h"
#include "TitleItemRecord.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <gtest/gtest.h>

TEST(Genres, TableSpellingsAndStoredTexts) {
    QSet<QString> names;
    for (int i = 0; i < kGenreCount; ++i)
        names.insert(GenreName(i));
    EXPECT_EQ(names.size(), kGenreCount) << "every name once";
    EXPECT_EQ(GenreName(kGenreCount), QString());
    const struct {
        int index;
        const char *name;
    } spellings[] = {{0, "Blues"}, {1, "Classic Rock"}, {17, "Rock"},        {79, "Hard Rock"},
                     {80, "Folk"}, {81, "Folk/Rock"},   {144, "Trash Metal"}};
    for (const auto &s : spellings)
        EXPECT_EQ(GenreName(s.index), s.name);

    const struct {
        const char *name, *stored;
    } toTcon[] = {{"Rock", "(17)"},  {"Blues", "(0)"}, {"Trash Metal", "(144)"},   {"Remix", "(RX)"},
                  {"Cover", "(CR)"}, {"rock", "rock"}, {"Krautrock", "Krautrock"}, {"", ""}};
    for (const auto &c : toTcon)
        EXPECT_EQ(GenreToTcon(c.name), c.stored) << c.name;

    const struct {
        const char *stored, *shown;
    } toGenre[] = {{"(255)", "Unbekannt"}, {"(CR)", "Cover"},        {"(RX)", "Remix"},
                   {"Rock", "Rock"},       {"(17)", "Rock"},         {"(17)Rock", "Rock"},
                   {"()", "Blues"},        {"(abc)", "Blues"},       {"(-1)", "Unbekannt"},
                   {"(145)", "Unbekannt"}, {"(144)", "Trash Metal"}, {"(99999999999999)", "Unbekannt"},
                   {"x)", "Blues"}};
    for (const auto &c : toGenre)
        EXPECT_EQ(TconToGenre(c.stored), c.shown) << c.stored;
}

TEST(TagEncoding, CodePagesReadTheirBytes) {
    const struct {
        const char *encoding;
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"WINDOWS-1251", "\xCF\xF0\xE8\xE2\xE5\xF2", QStringLiteral("Привет")},
        {"KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4", QStringLiteral("Привет")},
        {"ISO-8859-7", "\xE1\xE2\xE3", QStringLiteral("αβγ")},
        {"WINDOWS-1250", "\x8A\xE8", QStringLiteral("Šč")},
        {"ISO-8859-1", "Caf\xE9", QStringLiteral("Café")},
        {"windows-1251", "\xCF", QStringLiteral("П")},      // names in any case
        {"WINDOWS-1251", "\x98", QStringLiteral("\uFFFD")}, // a byte the code page leaves undefined
        {"NO-SUCH-CODEPAGE", "\xE9", QStringLiteral("é")},  // read as Latin-1
    };
    for (const auto &c : cases)
        EXPECT_EQ(DecodeTagText(c.bytes, c.encoding), c.text) << c.encoding;

    // Every choice is one iconv knows: each reads some byte differently from Latin-1.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    for (const TagEncodingChoice &choice : TagEncodingChoices()) {
        if (QLatin1String(choice.szName) != QLatin1String("ISO-8859-1")) {
            EXPECT_NE(DecodeTagText(all, choice.szName), QString::fromLatin1(all)) << choice.szName;
        }
    }
}

TEST(TagEncoding, TheSettingChoosesAndPlugInsReadThroughIt) {
    ScopedXdgHome home;
    ReloadTagEncoding();
    EXPECT_EQ(TagEncodingName(), "ISO-8859-1");
    EXPECT_TRUE(TagEncodingIsLatin1());
    WriteSettingString("GENERAL", "Tag-Encoding", "KOI8-R");
    EXPECT_EQ(TagEncodingName(), "ISO-8859-1") << "kept until reloaded";
    ReloadTagEncoding();
    EXPECT_EQ(TagEncodingName(), "KOI8-R");
    ASSERT_TRUE(SetTagEncodingName("WINDOWS-1251"));
    EXPECT_EQ(GetSettingString("GENERAL", "Tag-Encoding", ""), "WINDOWS-1251");
    EXPECT_FALSE(TagEncodingIsLatin1());

    char out[32];
    const unsigned long n = MelvoHostDecodeTagText("\xCF\xF0\xE8", 3, out, sizeof out);
    ASSERT_EQ(n, 6u);
    EXPECT_EQ(QString::fromUtf8(out), QStringLiteral("При"));
    EXPECT_EQ(MelvoHostDecodeTagText("\xCF\xF0\xE8", 3, out, 6), static_cast<unsigned long>(-1)) << "no room for NUL";
    SetTagEncodingName("ISO-8859-1");
    ReloadTagEncoding();
}

// The MP3 plug-in builds display titles from the same texts, read in the same code page.
TEST(TagEncoding, TheMp3PlugInShowsTitlesInTheChosenCodePage) {
    if (!HaveTaggers())
        GTEST_SKIP() << "python3-mutagen and eyed3 are missing (scripts/setup installs them)";
    if (!Mp3PlugInLoaded())
        GTEST_SKIP() << "in-sorb.so is not in the program folder";
    ScopedXdgHome home;
    AudioFolder folder;
    const QJsonObject artist{{"id", "TPE1"}, {"enc", 0}, {"text", "Кино"}, {"cp", "cp1251"}};
    const QJsonObject title{{"id", "TIT2"}, {"enc", 0}, {"text", "Группа"}, {"cp", "cp1251"}};
    const QJsonObject cases[] = {
        {{"version", 3}, {"frames", QJsonArray{artist, title}}}, // read without TagLib
        {{"version", 4}, {"frames", QJsonArray{title}}, {"v1", QJsonObject{{"artist", "Кино"}, {"cp", "cp1251"}}}},
        {{"v1", QJsonObject{{"artist", "Кино"}, {"title", "Группа"}, {"cp", "cp1251"}}}},
    };
    for (const QJsonObject &spec : cases) {
        WriteBytes(folder.strPath, folder.audio);
        ASSERT_TRUE(WriteWithMutagen(folder.strPath, spec));
        for (const char *encoding : {"ISO-8859-1", "WINDOWS-1251"}) {
            SetTagEncodingName(encoding);
            TitleItem *item = CreateTitleItem(folder.strPath, true);
            ASSERT_NE(item, nullptr);
            ASSERT_TRUE(PluginAt(item->nPlugin)->pfnGetFormat(item, 0));
            const bool bCyrillic = QLatin1String(encoding) == QLatin1String("WINDOWS-1251");
            // The same bytes read as Latin-1.
            const QString expected = bCyrillic ? QStringLiteral("Кино - Группа")
                                               : QString::fromLatin1("\xCA\xE8\xED\xEE - \xC3\xF0\xF3\xEF\xEF\xE0");
            EXPECT_EQ(TitleText(*item), expected) << encoding << QJsonDocument(spec).toJson().toStdString();
            FreeTitleItem(item);
        }
    }
    ReloadTagEncoding();
}
