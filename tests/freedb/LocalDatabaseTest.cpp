// The cache and the packed local database: range files, records, categories in order, the cache first.
#include "DiscImage.h"
#include "TestEnvironment.h"
#include "TitleFile.h"
#include "cdda/CDDA.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Record(uint32_t id, const QByteArray &title) {
    const QByteArray hex = QByteArray::number(id, 16).rightJustified(8, '0');
    return "#FILENAME=" + hex + "\n# xmcd\n#\nDISCID=" + hex + "\nDTITLE=" + title +
           "\nTTITLE0=First\nTTITLE1=Second\n";
}

class LocalDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        SetFreedbFolders(Cache(), Db());
    }
    void TearDown() override { SetFreedbFolders(QString(), QString()); }
    QString Cache() const { return m_dir.filePath("Cache"); }
    QString Db() const { return m_dir.filePath("DB"); }
    void WriteDbFile(const QString &category, const QString &name, const QByteArray &text) {
        QDir().mkpath(Db() + "/" + category);
        QFile f(Db() + "/" + category + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    // The disc title of what OpenTitleFile finds, "" when nothing.
    QString Found(uint32_t id, uint32_t *pLines = nullptr) {
        uint32_t lines = 0;
        FILE *file = OpenTitleFile(id, &lines);
        if (pLines)
            *pLines = lines;
        if (!file)
            return QString();
        const QString title = ReadXmcdValue(file, "DTITLE", lines);
        std::fclose(file);
        return title;
    }

    ScopedXdgHome m_home;
    RecordingSink m_sink;
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(LocalDatabaseTest, RangeFilesAreChosenByTheirNamesAndRecordsEndAtTheNextMarker) {
    WriteDbFile("rock", "00to6f", Record(0x7a000001, "wrong range"));
    WriteDbFile("rock", "70to7f",
                Record(0x7a000001, "First") + Record(0x7a000002, "Middle") + Record(0x7f000003, "Last"));
    WriteDbFile("rock", "80tofe", Record(0x7a000002, "wrong range"));
    uint32_t lines = 0;
    EXPECT_EQ(Found(0x7a000002, &lines), "Middle");
    EXPECT_EQ(lines, 7u); // six lines of the record behind its marker, and the next marker
    // The last record of a file runs to the end: no closing marker is counted.
    EXPECT_EQ(Found(0x7f000003, &lines), "Last");
    EXPECT_EQ(lines, 6u);
    EXPECT_EQ(Found(0x7a000001), "First");
    EXPECT_EQ(Found(0x7b000001), "");
    EXPECT_EQ(Found(0), "");
    // A record's reader stops at its line count: the next record's title is out of reach.
    FILE *file = OpenTitleFile(0x7a000001, &lines);
    ASSERT_TRUE(file);
    EXPECT_EQ(ReadXmcdValue(file, "DTITLE", lines), "First");
    EXPECT_EQ(ReadXmcdValue(file, "DTITLE", 0), "FirstMiddleLast");
    std::fclose(file);
    EXPECT_TRUE(m_sink.Texts().isEmpty());
}

TEST_F(LocalDatabaseTest, CategoriesAreSearchedInTheirOrderAndOddNamesCoverFromZero) {
    WriteDbFile("rock", "00toff", Record(0x12345678, "Rock"));
    WriteDbFile("folk", "10to1f", Record(0x12345678, "Folk"));
    WriteDbFile("blues", "00to0f", Record(0x12345678, "Blues, wrong range"));
    EXPECT_EQ(Found(0x12345678), "Folk");
    WriteDbFile("jazz", "index-1f", Record(0x1f000001, "No hex start"));
    EXPECT_EQ(Found(0x1f000001), "No hex start");
    EXPECT_TRUE(QDir(Db() + "/data").exists()) << "a search makes missing category folders";
    EXPECT_FALSE(QDir(Db() + "/soundtrack").exists()) << "the search ended at the hit";
}

TEST_F(LocalDatabaseTest, TheCacheWinsAndWithoutTheDatabaseOnlyTheCacheCounts) {
    WriteDbFile("misc", "a0tobf", Record(0xa1000001, "Database"));
    EXPECT_EQ(Found(0xa1000001), "Database");
    FILE *written = WriteCacheFile(0xa1000001, {"210 misc a1000001", "# xmcd", "DTITLE=Cache", "."});
    ASSERT_TRUE(written);
    std::fclose(written);
    QFile cache(Cache() + "/a1000001");
    ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
    EXPECT_EQ(cache.readAll(), "#FILENAME=a1000001\n210 misc a1000001\n# xmcd\nDTITLE=Cache\n.\n");
    EXPECT_FALSE(QFile::exists(Cache() + "/a1000001.tmp"));
    EXPECT_EQ(Found(0xa1000001), "Cache");

    SetFreedbFolders(Cache(), QString()); // UseLocalDB 0
    WriteDbFile("misc", "a0tobf", Record(0xa1000002, "Database only"));
    EXPECT_EQ(Found(0xa1000002), "");
}

TEST_F(LocalDatabaseTest, FailuresAreReportedAndTheSearchGoesOn) {
    WriteDbFile("rock", "00toff", Record(0x20000001, "Readable"));
    // A link to nowhere: listed as a file, but it won't open (for root too).
    QDir().mkpath(Db() + "/blues");
    ASSERT_TRUE(QFile::link(m_dir.filePath("gone"), Db() + "/blues/00toff"));
    EXPECT_EQ(Found(0x20000001), "Readable");
    EXPECT_EQ(m_sink.Texts(), QStringList{"Error opening file. Perhaps it is already opened by another program. " +
                                          Db() + "/blues/00toff"});
    m_sink.Clear();
    // A cache folder that can't be made: reported, and no title file at all.
    SetFreedbFolders(m_dir.filePath("nope/deeper/Cache"), Db());
    EXPECT_EQ(Found(0x20000001), "");
    ASSERT_EQ(m_sink.Texts().size(), 1);
    EXPECT_TRUE(m_sink.Texts()[0].startsWith("<" + m_dir.filePath("nope/deeper/Cache") + ">: Error creating folder!"));
}

TEST_F(LocalDatabaseTest, LoadingADrivesTitleFileGivesItsTracksTheirTitles) {
    const DiscImage image = WriteDiscImage(m_dir.path().toStdString(), "d", {75 * 10, 75 * 12}, 0);
    SetDiscImages(image.strCue.c_str());
    InitDriver(0);
    const uint32_t id = GetDiscID(0);
    LoadTitleFile(0);
    EXPECT_EQ(GetFile(0, nullptr), nullptr);
    char title[100] = "Track01";
    EXPECT_FALSE(LookUpCDTitle(0, 1, title, sizeof title));
    EXPECT_STREQ(title, "Track01");

    WriteDbFile("data", "00toff", Record(id, "Disc / Name"));
    LoadTitleFile(0);
    EXPECT_TRUE(LookUpCDTitle(0, 2, title, sizeof title));
    EXPECT_STREQ(title, "Disc / Name - Second");
    EXPECT_EQ(CDTrackTitle(0, 1), "Disc / Name - First");
    ReplaceTitleFile(0, nullptr, 0);
    SetDiscImages(nullptr);
    DeinitDriver();
}
