// The tag pages' work on real files, checked against mutagen and eyeD3.
#include "TagEditor.h"
#include "Messages.h"
#include "SafeSave.h"
#include "TagEncoding.h"
#include "TagTestSupport.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QJsonObject Frame(const char *id, int enc, const QString &text) {
    return {{"id", id}, {"enc", enc}, {"text", text}};
}

QJsonObject Spec(int version, const QJsonArray &frames, const QJsonObject &v1 = {}) {
    QJsonObject spec{{"version", version}, {"frames", frames}};
    if (!v1.isEmpty())
        spec["v1"] = v1;
    return spec;
}

// The texts a page saves: the loaded ones with some changed.
QStringList With(const QStringList &loaded, std::initializer_list<std::pair<TagFrame, QString>> changes) {
    QStringList texts = loaded;
    for (const auto &[frame, text] : changes)
        texts[int(frame)] = text;
    return texts;
}

QString Field(const TagEditor &editor, TagFrame frame) {
    return editor.Texts()[int(frame)];
}

class TagEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveTaggers())
            GTEST_SKIP() << "python3-mutagen and eyed3 are missing (scripts/setup installs them)";
        ReloadTagEncoding();
    }
    void TearDown() override { ReloadTagEncoding(); }
    ScopedXdgHome home;
    RecordingSink sink;
    AudioFolder folder;
};

} // namespace

TEST_F(TagEditorTest, ReadsWhatMutagenWroteInEveryEncoding) {
    const QString artist = QStringLiteral("Motörhead Ünïcode ☃"), latin = QStringLiteral("Motörhead");
    const struct {
        int version, enc;
        QString artist;
    } cases[] = {{3, 0, latin}, {3, 1, artist}, {4, 3, artist}, {4, 1, artist}, {4, 2, artist}};
    for (const auto &c : cases) {
        WriteBytes(folder.strPath, folder.audio);
        ASSERT_TRUE(WriteWithMutagen(
            folder.strPath,
            Spec(c.version, {Frame("TPE1", c.enc, c.artist), Frame("TIT2", c.enc, "Ace"), Frame("TALB", c.enc, "Album"),
                             Frame("COMM", c.enc, "Note"), Frame("TRCK", 0, "3/12"), Frame("TCON", 0, "(255)"),
                             Frame(c.version == 4 ? "TDRC" : "TYER", 0, "1980")})));
        TagContext context(folder.strPath, nullptr);
        TagEditor editor(TAGTYPE_ID3V2, context);
        ASSERT_EQ(editor.LoadTag(folder.strPath), 1) << c.version << " " << c.enc;
        EXPECT_EQ(Field(editor, TagFrame::Artist), c.artist) << c.version << " " << c.enc;
        EXPECT_EQ(Field(editor, TagFrame::Title), "Ace");
        EXPECT_EQ(Field(editor, TagFrame::Album), "Album");
        EXPECT_EQ(Field(editor, TagFrame::Comment), "Note");
        EXPECT_EQ(Field(editor, TagFrame::Track), "3/12");
        EXPECT_EQ(Field(editor, TagFrame::Year), "1980");
        EXPECT_EQ(Field(editor, TagFrame::Genre), "Unbekannt");
        TagEditor v1(TAGTYPE_ID3V1, context);
        EXPECT_EQ(v1.LoadTag(folder.strPath), 0) << "no ID3v1 tag";
    }
    // eyeD3's tags: UTF-8 in 2.4, UTF-16 in 2.3.
    for (int version : {4, 3}) {
        WriteBytes(folder.strPath, folder.audio);
        ASSERT_TRUE(WriteWithEyeD3(folder.strPath, {{"version", version},
                                                    {"artist", artist},
                                                    {"title", "Ace"},
                                                    {"album", "Album"},
                                                    {"comment", "Note"},
                                                    {"genre", "Hard Rock"}}));
        TagContext context(folder.strPath, nullptr);
        TagEditor editor(TAGTYPE_ID3V2, context);
        ASSERT_EQ(editor.LoadTag(folder.strPath), 1) << version;
        EXPECT_EQ(editor.Texts().mid(0, 4), QStringList({artist, "Ace", "Note", "Album"})) << version;
        EXPECT_EQ(Field(editor, TagFrame::Genre), "Hard Rock") << version;
    }
    // ID3v1 as another tagger wrote it, and genre texts as stored.
    WriteBytes(folder.strPath, folder.audio);
    ASSERT_TRUE(WriteWithMutagen(
        folder.strPath,
        Spec(
            3, {Frame("TCON", 0, "(CR)")},
            {{"title", "Song"}, {"artist", "Band"}, {"year", "1999"}, {"genre", 17}, {"track", 7}, {"comment", "c"}})));
    TagContext context(folder.strPath, nullptr);
    TagEditor v1(TAGTYPE_ID3V1, context), v2(TAGTYPE_ID3V2, context);
    ASSERT_EQ(v1.LoadTag(folder.strPath), 1);
    EXPECT_EQ(v1.Texts().mid(0, 4), QStringList({"Band", "Song", "c", ""}));
    EXPECT_EQ(Field(v1, TagFrame::Track), "7");
    EXPECT_EQ(Field(v1, TagFrame::Year), "1999");
    EXPECT_EQ(Field(v1, TagFrame::Genre), "Rock");
    ASSERT_EQ(v2.LoadTag(folder.strPath), 1);
    EXPECT_EQ(Field(v2, TagFrame::Genre), "Cover");
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST_F(TagEditorTest, WhatMelvoWritesMutagenAndEyeD3Read) {
    TagContext context(folder.strPath, nullptr);
    TagEditor v2(TAGTYPE_ID3V2, context), v1(TAGTYPE_ID3V1, context);
    EXPECT_EQ(v2.LoadTag(folder.strPath), 0);
    EXPECT_EQ(v1.LoadTag(folder.strPath), 0);
    const QString artist = QStringLiteral("Ляпис Трубецкой"), title = QStringLiteral("Café ☕");
    ASSERT_EQ(v1.SaveTag(With(v1.Texts(), {{TagFrame::Artist, "Band"},
                                           {TagFrame::Title, "Song"},
                                           {TagFrame::Track, "7"},
                                           {TagFrame::Year, "1999"},
                                           {TagFrame::Genre, "Rock"}})),
              1);
    ASSERT_EQ(v2.SaveTag(With(v2.Texts(), {{TagFrame::Artist, artist},
                                           {TagFrame::Title, title},
                                           {TagFrame::Album, "Plain"},
                                           {TagFrame::Comment, "Hello"},
                                           {TagFrame::Composer, "Ö"},
                                           {TagFrame::Track, "3"},
                                           {TagFrame::Year, "2004"},
                                           {TagFrame::Genre, "Trash Metal"}})),
              1);
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();

    const QJsonObject m = ReadWithMutagen(folder.strPath);
    EXPECT_EQ(m["version"].toInt(), 3) << "a new tag is ID3v2.3";
    EXPECT_EQ(MutagenText(m, "TPE1"), artist);
    EXPECT_EQ(MutagenText(m, "TIT2"), title);
    EXPECT_EQ(MutagenEncoding(m, "TPE1"), 1) << "UTF-16 with BOM in 2.3";
    EXPECT_EQ(MutagenEncoding(m, "TALB"), 0) << "plain text stays Latin-1";
    EXPECT_EQ(MutagenText(m, "TCOM"), "Ö");
    EXPECT_EQ(MutagenText(m, "TCON"), "(144)");
    EXPECT_EQ(MutagenText(m, "TYER"), "2004");
    EXPECT_EQ(MutagenText(m, "COMM"), "Hello");
    const QJsonObject mv1 = m["v1"].toObject();
    EXPECT_EQ(mv1["TPE1"].toString(), "Band");
    EXPECT_EQ(mv1["TIT2"].toString(), "Song");
    EXPECT_EQ(mv1["TRCK"].toString(), "7");
    EXPECT_EQ(mv1["genre_byte"].toInt(), 17);

    const QJsonObject e = ReadWithEyeD3(folder.strPath);
    EXPECT_EQ(e["artist"].toString(), artist);
    EXPECT_EQ(e["title"].toString(), title);
    EXPECT_EQ(e["album"].toString(), "Plain");
    EXPECT_EQ(e["genre_id"].toInt(), 144) << "eyeD3 spells it its own way";
    EXPECT_EQ(e["comments"].toArray().first().toString(), "Hello");
    EXPECT_EQ(e["track"].toInt(), 3);
    EXPECT_EQ(AudioPart(ReadBytes(folder.strPath)), folder.audio) << "the audio bytes stay as they were";
}

TEST_F(TagEditorTest, SavingKeepsVersionOtherFramesAndAudio) {
    const QString picture = QStringLiteral("89504e470d0a1a0a") + QString("00ff10ab").repeated(700);
    for (int version : {3, 4}) {
        WriteBytes(folder.strPath, folder.audio);
        ASSERT_TRUE(WriteWithMutagen(
            folder.strPath,
            Spec(version,
                 {Frame("TPE1", 0, "Old"), Frame("TCON", 0, "(255)"), QJsonObject{{"id", "APIC"}, {"hex", picture}},
                  QJsonObject{{"id", "PRIV"}, {"hex", "0001fffe"}}, Frame("USLT", 1, "la la ☺"),
                  QJsonObject{{"id", "TXXX"}, {"enc", 3}, {"desc", "REPLAYGAIN"}, {"text", "-6 dB"}},
                  QJsonObject{{"id", "COMM"}, {"enc", 0}, {"desc", "iTunNORM"}, {"text", "0000"}}},
                 {{"title", "v1 stays"}})));
        const QJsonObject before = ReadWithMutagen(folder.strPath);
        TagContext context(folder.strPath, nullptr);
        TagEditor editor(TAGTYPE_ID3V2, context);
        ASSERT_EQ(editor.LoadTag(folder.strPath), 1);
        EXPECT_EQ(Field(editor, TagFrame::Comment), "") << "a described comment is another tagger's";
        ASSERT_EQ(editor.SaveTag(With(editor.Texts(), {{TagFrame::Artist, "New"}, {TagFrame::Comment, "mine"}})), 1);
        const QJsonObject after = ReadWithMutagen(folder.strPath);
        EXPECT_EQ(after["version"].toInt(), version);
        EXPECT_EQ(MutagenText(after, "TPE1"), "New");
        EXPECT_EQ(MutagenText(after, "TCON"), "(255)") << "an unchanged genre keeps its stored text";
        for (const char *id : {"APIC", "PRIV", "USLT", "TXXX"})
            EXPECT_EQ(after["frames"].toObject()[id], before["frames"].toObject()[id]) << id << " v" << version;
        const QJsonArray comments = after["frames"].toObject()["COMM"].toArray();
        EXPECT_EQ(comments.size(), 2) << "iTunNORM and ours";
        EXPECT_EQ(after["v1"].toObject()["TIT2"].toString(), "v1 stays");
        EXPECT_EQ(AudioPart(ReadBytes(folder.strPath)), folder.audio);
    }
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST_F(TagEditorTest, GenreTextsAreStoredAsTheTableSays) {
    const struct {
        const char *typed, *stored;
    } cases[] = {
        {"Rock", "(17)"}, {"Remix", "(RX)"}, {"rock", "rock"}, {"Folk/Rock", "(81)"}, {"Krautrock", "Krautrock"}};
    for (const auto &c : cases) {
        WriteBytes(folder.strPath, folder.audio);
        TagContext context(folder.strPath, nullptr);
        TagEditor editor(TAGTYPE_ID3V2, context);
        editor.LoadTag(folder.strPath);
        ASSERT_EQ(editor.SaveTag(With(editor.Texts(), {{TagFrame::Genre, c.typed}})), 1);
        EXPECT_EQ(MutagenText(ReadWithMutagen(folder.strPath), "TCON"), c.stored) << c.typed;
    }
}

TEST_F(TagEditorTest, EmptyingATagAsksAndRemovesOnlyThatType) {
    for (int answer : {IDYES, IDNO}) {
        WriteBytes(folder.strPath, folder.audio);
        ASSERT_TRUE(WriteWithMutagen(folder.strPath,
                                     Spec(3, {Frame("TPE1", 0, "A"), Frame("TIT2", 0, "T")}, {{"title", "T1"}})));
        const QByteArray before = ReadBytes(folder.strPath);
        TagContext context(folder.strPath, nullptr);
        TagEditor editor(TAGTYPE_ID3V2, context);
        ASSERT_EQ(editor.LoadTag(folder.strPath), 1);
        sink.Clear();
        sink.Answer(answer);
        EXPECT_EQ(editor.SaveTag(QStringList(editor.Texts().size(), QString())), 1);
        EXPECT_EQ(sink.Texts(), QStringList{EnglishString(61317)});
        const QJsonObject m = ReadWithMutagen(folder.strPath);
        if (answer == IDYES) {
            EXPECT_TRUE(m["frames"].toObject().isEmpty());
            EXPECT_EQ(m["v1"].toObject()["TIT2"].toString(), "T1") << "the other tag stays";
            EXPECT_EQ(AudioPart(ReadBytes(folder.strPath)), folder.audio);
        } else {
            EXPECT_EQ(ReadBytes(folder.strPath), before) << "No writes nothing";
        }
    }
}

TEST_F(TagEditorTest, WriteChecksAskBeforeTheFileChanges) {
    const QString p = EnglishString(61316), r = EnglishString(61210), c = EnglishString(61360);
    const struct {
        const char *name;
        bool bPlaying, bReadOnly, bChangedOnDisk;
        std::vector<int> answers;
        int result;
        QStringList asked;
        bool bWritten;
        int stops;
    } cases[] = {
        {"playing, no", true, false, false, {IDNO}, 0, {p}, false, 0},
        {"playing, yes", true, false, false, {IDYES}, 1, {p}, true, 1},
        {"paused", false, false, false, {}, 1, {}, true, 0},
        {"read-only, no", false, true, false, {IDNO}, 0, {r}, false, 0},
        {"read-only, yes", false, true, false, {IDYES}, 1, {r}, true, 0},
        {"changed by another program, no", false, false, true, {IDNO}, 0, {c}, false, 0},
        {"changed by another program, yes", false, false, true, {IDYES}, 1, {c}, true, 0},
    };
    for (const auto &k : cases) {
        WriteBytes(folder.strPath, folder.audio);
        ASSERT_TRUE(WriteWithMutagen(folder.strPath, Spec(3, {Frame("TIT2", 0, "Old")})));
        ::chmod(QFile::encodeName(folder.strPath), k.bReadOnly ? 0444 : 0644);
        FakePlayback playback;
        playback.strPath = folder.strPath;
        playback.bPlaying = k.bPlaying;
        TagContext context(folder.strPath, &playback);
        TagEditor editor(TAGTYPE_ID3V2, context);
        ASSERT_EQ(editor.LoadTag(folder.strPath), 1);
        if (k.bChangedOnDisk) {
            QFile other(folder.strPath);
            other.open(QIODevice::Append);
            other.write("x");
        }
        // Unchanged texts write nothing and ask nothing, whatever the file's state.
        sink.Clear();
        EXPECT_EQ(editor.SaveTag(editor.Texts()), 1) << k.name;
        EXPECT_TRUE(sink.Texts().isEmpty()) << k.name;
        for (int a : k.answers)
            sink.Answer(a);
        EXPECT_EQ(editor.SaveTag(With(editor.Texts(), {{TagFrame::Title, "New"}})), k.result) << k.name;
        QStringList asked;
        for (const QString &text : k.asked)
            asked << "<" + folder.strPath + ">: " + text; // the question names the file
        EXPECT_EQ(sink.Texts(), asked) << k.name;
        EXPECT_EQ(MutagenText(ReadWithMutagen(folder.strPath), "TIT2"), k.bWritten ? "New" : "Old") << k.name;
        EXPECT_EQ(playback.nStops, k.stops) << k.name;
        EXPECT_EQ(context.PlaybackStopped(), k.stops > 0) << k.name;
        if (k.result == 0) {
            // A declined check keeps the change pending: the next OK asks again, it is not lost.
            sink.Clear();
            for (int a : k.answers)
                sink.Answer(a == IDNO ? IDYES : a);
            playback.bPlaying = k.bPlaying;
            EXPECT_EQ(editor.SaveTag(With(editor.Texts(), {{TagFrame::Title, "New"}})), 1) << k.name;
            EXPECT_EQ(MutagenText(ReadWithMutagen(folder.strPath), "TIT2"), "New") << k.name;
        }
        struct stat st {};
        ::stat(QFile::encodeName(folder.strPath), &st);
        EXPECT_EQ(st.st_mode & 0777, 0644u) << k.name << ": only the owner's write bit was added";
    }
    EXPECT_EQ(folder.Entries(), QStringList{"song.mp3"}) << "no copy left behind";
}

TEST_F(TagEditorTest, CodePageTextsReadRightAndUnchangedOnesStayAsStored) {
    ASSERT_TRUE(SetTagEncodingName("WINDOWS-1251"));
    ASSERT_TRUE(WriteWithMutagen(folder.strPath,
                                 Spec(3,
                                      {QJsonObject{{"id", "TPE1"}, {"enc", 0}, {"text", "Кино"}, {"cp", "cp1251"}},
                                       QJsonObject{{"id", "TIT2"}, {"enc", 0}, {"text", "Группа"}, {"cp", "cp1251"}}},
                                      {{"artist", "Кино"}, {"title", "Звезда"}, {"cp", "cp1251"}})));
    const QString storedArtist = MutagenText(ReadWithMutagen(folder.strPath), "TPE1");
    TagContext context(folder.strPath, nullptr);
    TagEditor v2(TAGTYPE_ID3V2, context), v1(TAGTYPE_ID3V1, context);
    ASSERT_EQ(v2.LoadTag(folder.strPath), 1);
    ASSERT_EQ(v1.LoadTag(folder.strPath), 1);
    EXPECT_EQ(Field(v2, TagFrame::Artist), "Кино");
    EXPECT_EQ(Field(v2, TagFrame::Title), "Группа");
    EXPECT_EQ(Field(v1, TagFrame::Artist), "Кино");
    EXPECT_EQ(Field(v1, TagFrame::Title), "Звезда");
    ASSERT_EQ(v1.SaveTag(With(v1.Texts(), {{TagFrame::Album, "Album"}})), 1);
    ASSERT_EQ(v2.SaveTag(With(v2.Texts(), {{TagFrame::Title, "Звезда по имени Солнце"}})), 1);
    const QJsonObject m = ReadWithMutagen(folder.strPath);
    EXPECT_EQ(MutagenText(m, "TPE1"), storedArtist) << "an unchanged field keeps its bytes";
    EXPECT_EQ(MutagenEncoding(m, "TPE1"), 0);
    EXPECT_EQ(MutagenText(m, "TIT2"), "Звезда по имени Солнце") << "written as Unicode, not in the code page";
    EXPECT_EQ(MutagenEncoding(m, "TIT2"), 1);
    TagEditor again(TAGTYPE_ID3V1, context);
    ASSERT_EQ(again.LoadTag(folder.strPath), 1);
    EXPECT_EQ(Field(again, TagFrame::Artist), "Кино") << "the ID3v1 bytes of untouched fields stay";
    EXPECT_EQ(Field(again, TagFrame::Album), "Album");
}

TEST_F(TagEditorTest, RemovingATag) {
    ASSERT_TRUE(WriteWithMutagen(folder.strPath, Spec(4, {Frame("TIT2", 0, "T")}, {{"title", "T1"}})));
    FakePlayback playback;
    playback.strPath = folder.strPath;
    playback.bPlaying = true;
    TagContext context(folder.strPath, &playback);
    TagEditor v1(TAGTYPE_ID3V1, context), v2(TAGTYPE_ID3V2, context);
    v1.LoadTag(folder.strPath);
    v2.LoadTag(folder.strPath);
    sink.Answer(IDNO);
    EXPECT_EQ(v2.RemoveTag(), 0) << "the ID3v2 page checks first";
    EXPECT_EQ(v1.RemoveTag(), 1) << "the ID3v1 page does not ask";
    EXPECT_EQ(sink.Texts().size(), 1);
    QJsonObject m = ReadWithMutagen(folder.strPath);
    EXPECT_TRUE(m["v1"].isNull());
    EXPECT_EQ(MutagenText(m, "TIT2"), "T");
    sink.Answer(IDYES);
    EXPECT_EQ(v2.RemoveTag(), 1);
    EXPECT_EQ(ReadBytes(folder.strPath), folder.audio) << "both tags gone, the audio as it was";
}

TEST_F(TagEditorTest, AFolderThatCannotTakeTheCopyLeavesTheFileAlone) {
    ASSERT_TRUE(WriteWithMutagen(folder.strPath, Spec(3, {Frame("TIT2", 0, "Old")})));
    const QByteArray before = ReadBytes(folder.strPath);
    // Root writes into folders without write permission; an immutable folder stops even root.
    const QByteArray dir = QFile::encodeName(folder.dir.path());
    const bool bRoot = ::geteuid() == 0;
    if (bRoot ? QProcess::execute("chattr", {"+i", folder.dir.path()}) != 0 : ::chmod(dir, 0555) != 0)
        GTEST_SKIP() << "cannot make the folder read-only here";
    TagContext context(folder.strPath, nullptr);
    TagEditor editor(TAGTYPE_ID3V2, context);
    editor.LoadTag(folder.strPath);
    const int result = editor.SaveTag(With(editor.Texts(), {{TagFrame::Title, "New"}}));
    if (bRoot)
        QProcess::execute("chattr", {"-i", folder.dir.path()});
    else
        ::chmod(dir, 0755);
    EXPECT_EQ(result, 1) << "failed with a message; the dialog closes";
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_TRUE(sink.Texts()[0].startsWith("<" + folder.strPath + ">: " + EnglishString(61315)));
    EXPECT_EQ(ReadBytes(folder.strPath), before);
    EXPECT_EQ(folder.Entries(), QStringList{"song.mp3"});
}
