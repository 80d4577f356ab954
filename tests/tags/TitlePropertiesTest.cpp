// The title information dialog, driven with clicks and keys: texts, tag pages, Add/Remove Tag, OK.
#include "TitleProperties.h"
#include "ChooseTag.h"
#include "DialogDriver.h"
#include "Language.h"
#include "Settings.h"
#include "TagPages.h"
#include "TagTestSupport.h"
#include "TestEnvironment.h"

#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <cstring>

namespace {

TitleItem FileItem(const QByteArray &path) {
    TitleItem item{};
    item.pszPath = const_cast<char *>(path.constData());
    item.nCDDrive = TITLE_NO_CD;
    item.nCDTrack = TITLE_NO_CD;
    item.bFormatValid = 1;
    item.nChannels = 2;
    item.nBitsPerSample = 16;
    item.nAvgBytesPerSec = 16000;
    item.nSamplesPerSec = 44100;
    item.nLength = 65;
    item.dwDataStart = 0;
    item.dwDataEnd = 1048576;
    std::memcpy(item.dwFormatTag, "MP3", 4);
    return item;
}

} // namespace

TEST(TitleInfo, FieldTextsAndWhatTheDialogOffers) {
    const QByteArray path = "/m/song.mp3";
    const TitleItem file = FileItem(path);
    const auto with = [&](auto change) {
        TitleItem item = file;
        change(item);
        return item;
    };
    const struct {
        const char *name;
        TitleItem item;
        QStringList texts; // type, channels, bitrate, bits, frequency, length, size
        bool bHasTags, bNoRename;
    } cases[] = {
        {"file", file, {"MP3", "2", "128 kb/s", "16 Bit", "44.10 kHz", "1:05", "1024 KByte"}, true, false},
        {"1025 KByte",
         with([](TitleItem &i) { i.dwDataEnd = 1049600, i.nAvgBytesPerSec = 176400; }),
         {"MP3", "2", "1408 kb/s", "16 Bit", "44.10 kHz", "1:05", "1.00 MByte"},
         true,
         false},
        {"positions in seconds",
         with([](TitleItem &i) { i.nPositionMode = 1, i.dwDataStart = 2, i.dwDataEnd = 12; }),
         {"MP3", "2", "128 kb/s", "16 Bit", "44.10 kHz", "1:05", "156 KByte"},
         true,
         false},
        {"unknown length",
         with([](TitleItem &i) { i.nLength = -1; }),
         {"??", "??", "?? kb/s", "?? Bit", "?? kHz", "??", "?? MByte"},
         false,
         true},
        {"CD track",
         with([](TitleItem &i) { i.nCDDrive = 0, i.nLength = 60, i.nAvgBytesPerSec = 176400; }),
         {"MP3", "2", "1408 kb/s", "16 Bit", "44.10 kHz", "1:00", "10.09 MByte"},
         false,
         true},
        {"WAV file",
         with([](TitleItem &i) { std::memcpy(i.dwFormatTag, "WAV", 4); }),
         {"WAV", "2", "128 kb/s", "16 Bit", "44.10 kHz", "1:05", "1024 KByte"},
         false,
         false},
    };
    for (const auto &c : cases) {
        const TitleInfoTexts t = DescribeTitle(c.item, "in-sorb.so");
        EXPECT_EQ(
            QStringList({t.strType, t.strChannels, t.strBitrate, t.strBits, t.strFrequency, t.strLength, t.strSize}),
            c.texts)
            << c.name;
        EXPECT_EQ(t.bHasTags, c.bHasTags) << c.name;
        EXPECT_EQ(t.bNoRename, c.bNoRename) << c.name;
        EXPECT_EQ(t.strFilename, "/m/song.mp3");
        EXPECT_EQ(t.strPlugin, "in-sorb.so");
    }

    // The dialog shows them and greys what it cannot do.
    ScopedXdgHome home;
    CTitleProperties unknown(cases[3].item, "in-sorb.so", nullptr);
    EXPECT_EQ(unknown.Field(1236)->text(), "?? kb/s");
    EXPECT_EQ(unknown.Field(1134)->text(), "/m/song.mp3");
    for (int id : {1346, 1300, 1410})
        EXPECT_FALSE(unknown.Button(id)->isEnabled()) << id;
    EXPECT_FALSE(unknown.TagList()->isEnabled());
    EXPECT_FALSE(unknown.NoTagText()->isHidden());
}

class TitlePropertiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveTaggers())
            GTEST_SKIP() << "python3-mutagen and eyed3 are missing (scripts/setup installs them)";
        ASSERT_TRUE(WriteWithMutagen(
            folder.strPath,
            QJsonObject{{"version", 3},
                        {"frames", QJsonArray{QJsonObject{{"id", "TIT2"}, {"enc", 0}, {"text", "Old"}},
                                              QJsonObject{{"id", "TCON"}, {"enc", 0}, {"text", "(17)"}}}}}));
        path = QFile::encodeName(folder.strPath);
    }
    ScopedXdgHome home;
    RecordingSink sink;
    AudioFolder folder;
    QByteArray path;
};

TEST_F(TitlePropertiesTest, PagesComeAndGoWithAddAndRemoveTag) {
    CTitleProperties dialog(FileItem(path), "in-sorb.so", nullptr);
    dialog.show();
    // Only the ID3v2 tag is there: one page, on view.
    ASSERT_EQ(dialog.TagList()->count(), 1);
    EXPECT_EQ(dialog.TagList()->currentText(), "ID3 V2");
    EXPECT_TRUE(dialog.TagList()->isEnabled());
    EXPECT_EQ(dialog.Page(0), nullptr);
    ASSERT_NE(dialog.Page(1), nullptr);
    EXPECT_EQ(dialog.PageOnView(), 1);
    EXPECT_TRUE(dialog.Page(1)->isVisible());
    EXPECT_EQ(static_cast<QLineEdit *>(dialog.Page(1)->Control(TagFrame::Title))->text(), "Old");
    EXPECT_EQ(static_cast<QComboBox *>(dialog.Page(1)->Control(TagFrame::Genre))->currentText(), "Rock");
    EXPECT_TRUE(dialog.NoTagText()->isHidden());

    // Add Tag offers what is missing; OK makes an empty ID3v1 page and shows it.
    QStringList offered;
    WhenShown<CChooseTag>([&](CChooseTag *choose) {
        for (int i = 0; i < choose->List()->count(); ++i)
            offered << choose->List()->itemText(i);
        EXPECT_EQ(choose->windowTitle(), EnglishString(61321));
        EXPECT_EQ(choose->Prompt()->text(), EnglishString(61318));
        ClickButton(choose, QDialogButtonBox::Ok);
    });
    Click(dialog.Button(1346));
    EXPECT_EQ(offered, QStringList{"ID3 V1"});
    ASSERT_NE(dialog.Page(0), nullptr);
    EXPECT_EQ(dialog.TagList()->count(), 2);
    EXPECT_EQ(dialog.TagList()->itemText(0), "ID3 V1") << "the list is sorted";
    EXPECT_EQ(dialog.PageOnView(), 0);
    EXPECT_TRUE(dialog.Page(0)->Texts().join("").isEmpty());

    // With both present Add Tag has nothing to offer and closes at once.
    CChooseTag none(CChooseTag::ForAdding, {}, &dialog);
    EXPECT_EQ(none.exec(), QDialog::Rejected);

    // Choosing in the list switches the page on view.
    dialog.TagList()->setFocus();
    QTest::keyClick(dialog.TagList(), Qt::Key_Down);
    EXPECT_EQ(dialog.PageOnView(), 1);
    EXPECT_TRUE(dialog.Page(1)->isVisible());
    EXPECT_FALSE(dialog.Page(0)->isVisible());

    // Remove both: the list ends empty and greyed, the file without tags.
    for (const char *name : {"ID3 V2", "ID3 V1"}) {
        WhenShown<CChooseTag>([name](CChooseTag *choose) {
            EXPECT_EQ(choose->windowTitle(), EnglishString(61320));
            choose->List()->setCurrentText(name);
            ClickButton(choose, QDialogButtonBox::Ok);
        });
        Click(dialog.Button(1300));
    }
    EXPECT_EQ(dialog.Page(0), nullptr);
    EXPECT_EQ(dialog.Page(1), nullptr);
    EXPECT_EQ(dialog.TagList()->count(), 0);
    EXPECT_FALSE(dialog.TagList()->isEnabled());
    EXPECT_EQ(dialog.PageOnView(), -1);
    EXPECT_FALSE(dialog.NoTagText()->isHidden());
    EXPECT_EQ(ReadBytes(folder.strPath), folder.audio);
    EXPECT_TRUE(sink.Texts().isEmpty()) << sink.Texts().join('\n').toStdString();
}

TEST_F(TitlePropertiesTest, OkSavesTypedTextsAndRestartsPlaybackItStopped) {
    FakePlayback playback;
    playback.strPath = folder.strPath;
    playback.bPlaying = true;
    CTitleProperties dialog(FileItem(path), "in-sorb.so", &playback);
    dialog.show();
    auto *title = static_cast<QLineEdit *>(dialog.Page(1)->Control(TagFrame::Title));
    title->selectAll();
    QTest::keyClicks(title, "Typed");
    auto *genre = static_cast<QComboBox *>(dialog.Page(1)->Control(TagFrame::Genre));
    genre->lineEdit()->selectAll();
    QTest::keyClicks(genre->lineEdit(), "Remix");

    sink.Answer(IDNO); // do not stop playback
    ClickButton(&dialog, QDialogButtonBox::Ok);
    EXPECT_TRUE(dialog.isVisible()) << "a declined check keeps the dialog open";
    EXPECT_EQ(MutagenText(ReadWithMutagen(folder.strPath), "TIT2"), "Old");

    sink.Answer(IDYES);
    ClickButton(&dialog, QDialogButtonBox::Ok);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const QJsonObject m = ReadWithMutagen(folder.strPath);
    EXPECT_EQ(MutagenText(m, "TIT2"), "Typed");
    EXPECT_EQ(MutagenText(m, "TCON"), "(RX)");
    EXPECT_EQ(playback.nStops, 1);
    EXPECT_EQ(playback.nRestarts, 1) << "playback that a page stopped starts again at OK";
    EXPECT_EQ(sink.Texts(), QStringList(2, "<" + folder.strPath + ">: " + EnglishString(61316)));
}

TEST(TitleInfo, SpeaksGermanWithTheGermanTranslation) {
    ScopedXdgHome home;
    ASSERT_TRUE(WriteSettingString("GENERAL", "Language", "LangDE.qm"));
    ASSERT_TRUE(LoadLanguage());
    const QByteArray path = "/m/song.mp3";
    TitleItem item = FileItem(path);
    item.nLength = -1;
    CTitleProperties dialog(item, "in-sorb.so", nullptr);
    EXPECT_EQ(dialog.Button(1410)->text(), "Umbenennen...");
    EXPECT_EQ(dialog.NoTagText()->text(), "Diese Datei enthält kein Tag!");
    TagContext context(QString::fromUtf8(path), nullptr);
    CTagID3V2 page(context);
    QStringList labels;
    for (QLabel *label : page.findChildren<QLabel *>())
        labels << label->text();
    EXPECT_TRUE(labels.contains("Interpret") && labels.contains("kodiert von")) << labels.join(", ").toStdString();
    UnloadLanguage();
}
