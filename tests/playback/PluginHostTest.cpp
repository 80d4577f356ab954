// The plug-in host on small test plug-ins: loading, missing exports, icons, extensions, unloading.
#include "PluginHost.h"
#include "TestEnvironment.h"
#include "TitleItemWire.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace {

// A program folder holding copies of the named test plug-ins, and a log of their calls.
class PluginFolder {
public:
    explicit PluginFolder(const QStringList &names) {
        for (const QString &name : names)
            QFile::copy(QStringLiteral(MELVO_TEST_PLUGIN_DIR "/%1.so").arg(name), m_dir.filePath(name + ".so"));
        qputenv("MELVO_TEST_PLUGIN_LOG", QFile::encodeName(LogPath()));
    }
    ~PluginFolder() {
        UnloadPlugins();
        qunsetenv("MELVO_TEST_PLUGIN_LOG");
    }
    QString Path() const { return m_dir.path(); }
    QString LogPath() const { return m_dir.filePath(QStringLiteral("calls.log")); }
    QStringList Log() const {
        QFile file(LogPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir m_dir;
};

QStringList LoadedNames() {
    QStringList names;
    for (const PluginEntry *entry : PluginTable())
        names << QString::fromUtf8(entry->pszFileName);
    return names;
}

} // namespace

TEST(PluginHost, EmptyFolderGivesEmptyTableWithoutMessage) {
    RecordingSink sink;
    PluginFolder folder({});
    LoadPlugins(folder.Path());
    EXPECT_TRUE(PluginTable().empty());
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("AAA")), kNoPlugin);
    EXPECT_EQ(PluginAt(0), nullptr);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(PluginHost, LoadsCompletePluginWithPathsExtensionsAndIcon) {
    RecordingSink sink;
    PluginFolder folder({QStringLiteral("in-a-full")});
    // Files that only look like plug-ins are passed over silently.
    QFile junk(folder.Path() + QStringLiteral("/in-junk.so"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a library");
    junk.close();
    LoadPlugins(folder.Path());

    ASSERT_EQ(PluginTable().size(), 1u);
    const PluginEntry *entry = PluginAt(0);
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry->pszFileName, "in-a-full.so");
    EXPECT_EQ(QString::fromUtf8(entry->pszPath), QDir(folder.Path()).absoluteFilePath(QStringLiteral("in-a-full.so")));
    EXPECT_STREQ(entry->pszExtensions, "AAA;BBB;CC");
    EXPECT_TRUE(entry->bServesFiles);
    EXPECT_FALSE(entry->hIcon.isNull());
    ASSERT_EQ(PluginIcons().size(), 1u);
    EXPECT_EQ(PluginIcons()[0].pixmap(16, 16).toImage().pixelColor(8, 8), QColor(0x20, 0x30, 0x40));
    EXPECT_TRUE(sink.Texts().isEmpty());
    EXPECT_EQ(folder.Log(), QStringList{QStringLiteral("InitDLL in-a-full")});
}

TEST(PluginHost, ExtensionLookupIgnoresCaseButNeedsWholeEntries) {
    PluginFolder folder({QStringLiteral("in-a-full")});
    LoadPlugins(folder.Path());
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("aaa")), 0);
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("Bbb")), 0);
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("CC")), 0);
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("AA")), kNoPlugin);
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("BB")), kNoPlugin);
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("C")), kNoPlugin);
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("AAA;BBB")), kNoPlugin);
    EXPECT_EQ(FindPluginForExtension(QString()), kNoPlugin);
}

TEST(PluginHost, LibraryWithoutInitDllIsSkippedAfterReportingIt) {
    RecordingSink sink;
    PluginFolder folder({QStringLiteral("in-a-full"), QStringLiteral("in-b-noinit")});
    LoadPlugins(folder.Path());
    EXPECT_EQ(LoadedNames(), QStringList{QStringLiteral("in-a-full.so")});
    EXPECT_EQ(sink.Texts(),
              QStringList{QStringLiteral("<InitDLL in in-b-noinit>: Could not find this function in Plug-In DLL.")});
}

TEST(PluginHost, MissingResyncIsReportedOnceAndCallingItIsHarmless) {
    RecordingSink sink;
    PluginFolder folder({QStringLiteral("in-c-noresync")});
    LoadPlugins(folder.Path());
    ASSERT_EQ(PluginTable().size(), 1u);
    EXPECT_EQ(sink.Texts(),
              QStringList{QStringLiteral("<Resync in in-c-noresync>: Could not find this function in Plug-In DLL.")});
    const PluginEntry *entry = PluginAt(0);
    EXPECT_TRUE(entry->bServesFiles); // plays, it just cannot seek
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("rsy")), 0);
    TitleItem item{};
    item.dwReadPos = 1234;
    ASSERT_NE(entry->pfnResync, nullptr);
    EXPECT_EQ(entry->pfnResync(&item), 0);
    EXPECT_EQ(item.dwReadPos, 1234u);
}

TEST(PluginHost, PluginWithoutReadIsListedButServesNothing) {
    RecordingSink sink;
    PluginFolder folder({QStringLiteral("in-a-full"), QStringLiteral("in-f-noread")});
    LoadPlugins(folder.Path());
    ASSERT_EQ(PluginTable().size(), 2u);
    EXPECT_EQ(sink.Texts(),
              QStringList{QStringLiteral("<Read in in-f-noread>: Could not find this function in Plug-In DLL.")});
    EXPECT_FALSE(PluginAt(1)->bServesFiles);
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("NRD")), kNoPlugin);

    // A caller that calls through the table anyway gets the end of the audio, not a crash.
    TitleItem item{};
    item.bSilence = 0x80;
    unsigned char block[64];
    unsigned long written = 99;
    EXPECT_EQ(PluginAt(1)->pfnRead(&item, block, sizeof block, 16, &written), 0);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(block[0], 0x80);
    EXPECT_EQ(block[63], 0x80);
}

TEST(PluginHost, MissingIconIsReportedAndPluginStillServes) {
    RecordingSink sink;
    PluginFolder folder({QStringLiteral("in-a-full"), QStringLiteral("in-d-noicon")});
    LoadPlugins(folder.Path());
    ASSERT_EQ(PluginTable().size(), 2u);
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral(
                                "<in-d-noicon>: Plug-in DLL has wrong format. Could not load specified icon!")});
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("icn")), 1);
    const std::vector<QIcon> icons = PluginIcons();
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_FALSE(icons[0].isNull());
    EXPECT_TRUE(icons[1].isNull());
}

TEST(PluginHost, FirstPluginInNameOrderWinsASharedExtension) {
    PluginFolder folder({QStringLiteral("in-e-same"), QStringLiteral("in-a-full")});
    LoadPlugins(folder.Path());
    EXPECT_EQ(LoadedNames(), (QStringList{QStringLiteral("in-a-full.so"), QStringLiteral("in-e-same.so")}));
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("AAA")), 0);
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("DDD")), 1);
}

TEST(PluginHost, UnloadCallsDeinitInTableOrderAndEmptiesTable) {
    PluginFolder folder({QStringLiteral("in-a-full"), QStringLiteral("in-e-same")});
    LoadPlugins(folder.Path());
    ASSERT_EQ(PluginTable().size(), 2u);
    UnloadPlugins();
    EXPECT_TRUE(PluginTable().empty());
    EXPECT_EQ(FindPluginForExtension(QStringLiteral("AAA")), kNoPlugin);
    EXPECT_EQ(folder.Log(),
              (QStringList{QStringLiteral("InitDLL in-a-full"), QStringLiteral("InitDLL in-e-same"),
                           QStringLiteral("DeinitDLL in-a-full"), QStringLiteral("DeinitDLL in-e-same")}));
}

TEST(PluginHost, PluginMessagesFromWorkerThreadsReachTheMessageRoutine) {
    RecordingSink sink;
    PluginFolder folder({QStringLiteral("in-a-full")});
    LoadPlugins(folder.Path());
    TitleItem item{};
    std::thread worker([&] { PluginAt(0)->pfnGetFormat(&item, 1); });
    worker.join();
    EXPECT_EQ(sink.Texts(), QStringList{QStringLiteral("message from in-a-full")});
    EXPECT_EQ(sink.Types(), QList<unsigned>{MB_ICONERROR});
    sink.Clear();
    PluginAt(0)->pfnGetFormat(&item, 0);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(TitleItemWire, KeepsValuesAtTheFixedOffsetsAndDropsPointers) {
    TitleItem item{};
    char path[] = "/music/a.mp3";
    item.pszPath = path;
    item.nPlugin = 3;
    item.dwDataStart = 0x01020304;
    item.dwDataEnd = 0xA0B0C0D0;
    item.nChannels = 2;
    item.nAvgBytesPerSec = 16000;
    item.nCDDrive = 255;
    item.nLength = -1;
    std::memcpy(item.dwFormatTag, "MP3", 4);
    std::memset(item.szTitle, 'x', sizeof item.szTitle); // no terminator: the wire form adds one
    item.nInfoState = INFO_SHOWN;
    item.pNextPending = &item;

    unsigned char wire[TITLE_ITEM_WIRE_SIZE + 1];
    wire[TITLE_ITEM_WIRE_SIZE] = 0xEE;
    TitleItemToWire(&item, wire);
    EXPECT_EQ(wire[TITLE_ITEM_WIRE_SIZE], 0xEE);
    EXPECT_EQ(wire[4], 0); // pszPath
    EXPECT_EQ(wire[12], 3);
    EXPECT_EQ(wire[20], 0x04);
    EXPECT_EQ(wire[23], 0x01);
    EXPECT_EQ(wire[31], 0xA0);
    EXPECT_EQ(wire[40], 2);
    EXPECT_EQ(wire[61], 255);
    EXPECT_EQ(wire[64], 0xFF);
    EXPECT_EQ(std::memcmp(wire + 68, "MP3", 4), 0);
    EXPECT_EQ(wire[88], 'x');
    EXPECT_EQ(wire[187], 0);
    EXPECT_EQ(wire[196], INFO_SHOWN);
    EXPECT_EQ(wire[200], 0);

    TitleItem back;
    TitleItemFromWire(wire, &back);
    EXPECT_EQ(back.pszPath, nullptr);
    EXPECT_EQ(back.pNextPending, nullptr);
    EXPECT_EQ(back.nPlugin, 3);
    EXPECT_EQ(back.dwDataStart, 0x01020304u);
    EXPECT_EQ(back.dwDataEnd, 0xA0B0C0D0u);
    EXPECT_EQ(back.nAvgBytesPerSec, 16000u);
    EXPECT_EQ(back.nLength, -1);
    EXPECT_STREQ(back.dwFormatTag, "MP3");
    EXPECT_EQ(std::strlen(back.szTitle), 99u);
    EXPECT_EQ(back.nInfoState, INFO_SHOWN);
}
