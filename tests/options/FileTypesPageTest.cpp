// The File Types page: items from the plug-ins, and only what the user changed reaches the registry.
#include "OptFiletypes.h"
#include "OptionsSheetDriver.h"
#include "PluginHost.h"
#include "TestEnvironment.h"
#include "registry/Registry.h"

#include <QCheckBox>
#include <QFile>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// Associations held in memory; every write is noted as "set key description icon".
struct FakeRegistry {
    QStringList associated;
    QStringList writes;
    Associations Make() {
        return {[this](const QString &key) { return associated.contains(key); },
                [this](bool bSet, const QString &key, const QString &description, const QString &icon) {
                    writes << QStringLiteral("%1 %2 %3 %4").arg(int(bSet)).arg(key, description, icon);
                }};
    }
};

PluginEntry Plugin(const char *path, const char *extensions, const char *descriptions) {
    PluginEntry entry;
    entry.pszPath = const_cast<char *>(path);
    entry.pszExtensions = extensions;
    entry.pszDescriptions = descriptions;
    return entry;
}

QStringList Column(const QTreeWidget *list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

void ToggleRow(QTreeWidget *list, int row) {
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(row));
    QTest::keyClick(list, Qt::Key_Space);
}

} // namespace

TEST(FileTypesPage, ItemsFollowThePluginsAndDescriptionsThatRunOutAreUnknown) {
    FakeRegistry registry;
    PluginEntry mp3 = Plugin("/p/in-sorb.so", "MP3;MP2;MPA", "MPEG-Layer3;;");
    PluginEntry cd = Plugin("/p/in-cd.so", "CDA", "Audio-CD");
    const std::vector<PluginEntry *> plugins{&mp3, &cd};
    COptFiletypes page(plugins, registry.Make());
    EXPECT_EQ(Column(page.List(), 0), (QStringList{"MP3", "MP2", "MPA", "CDA"}));
    EXPECT_EQ(Column(page.List(), 1), (QStringList{"MPEG-Layer3", "Unknown file.", "Unknown file.", "Audio-CD"}));
    EXPECT_EQ(page.List()->headerItem()->text(0), "Extension");
    EXPECT_TRUE(page.AudioCd()->isEnabled());

    COptFiletypes none({}, registry.Make());
    EXPECT_EQ(none.List()->topLevelItemCount(), 0);
    EXPECT_FALSE(none.AudioCd()->isEnabled()); // no "cda" plug-in
    QTest::mouseClick(none.StandardButton(), Qt::LeftButton);
    ASSERT_TRUE(none.OnOK());
    EXPECT_TRUE(registry.writes.isEmpty()); // a box that cannot be used is not written
}

TEST(FileTypesPage, OnlyTheEntriesTheUserChangedAreWritten) {
    PluginEntry mp3 = Plugin("/p/in-sorb.so", "MP3;MP2", "MPEG-Layer3;MPEG-Layer2");
    PluginEntry cd = Plugin("/p/in-cd.so", "CDA", "Audio-CD");
    const std::vector<PluginEntry *> plugins{&mp3, &cd};
    const struct {
        const char *what;
        std::function<void(COptFiletypes &)> change;
        QStringList writes;
    } cases[] = {
        {"nothing", [](COptFiletypes &) {}, {}},
        {"one item and audio CDs",
         [](COptFiletypes &page) {
             ToggleRow(page.List(), 1);
             ToggleRow(page.List(), 0); // and back: no change
             ToggleRow(page.List(), 0);
             ClickBox(page.AudioCd());
         },
         {"0 AudioCD Audio-CD ", "1 .MP2 MPEG-Layer2 /p/in-sorb.so,0"}},
        {"Standard",
         [](COptFiletypes &page) { QTest::mouseClick(page.StandardButton(), Qt::LeftButton); },
         {"1 .MP2 MPEG-Layer2 /p/in-sorb.so,0", "1 .CDA Audio-CD /p/in-cd.so,0"}},
    };
    for (const auto &c : cases) {
        FakeRegistry registry;
        registry.associated = {"AudioCD", ".MP3"};
        COptFiletypes page(plugins, registry.Make());
        EXPECT_TRUE(page.AudioCd()->isChecked());
        EXPECT_EQ(page.List()->topLevelItem(0)->checkState(0), Qt::Checked);
        EXPECT_EQ(page.List()->topLevelItem(1)->checkState(0), Qt::Unchecked);
        c.change(page);
        ASSERT_TRUE(page.OnOK());
        EXPECT_EQ(registry.writes, c.writes) << c.what;
    }
}

// With the real plug-ins and the registry component: an association made on OK, then nothing rewritten.
TEST(FileTypesPage, TheSheetAssociatesThroughTheRegistryComponent) {
    ScopedXdgHome home;
    RecordingSink sink;
    LoadPlugins(QStringLiteral(MELVO_PROGRAM_DIR));
    CMainFrame frame;
    int wav = -1;
    WithOptionsSheet(frame, [&](COptionsSheet &sheet) {
        COptFiletypes *page = ShowPage<COptFiletypes>(sheet);
        ASSERT_TRUE(page);
        wav = Column(page->List(), 0).indexOf("WAV");
        ASSERT_GE(wav, 0);
        EXPECT_EQ(page->List()->topLevelItem(wav)->text(1), "Wave-Audio");
        EXPECT_EQ(page->AudioCd()->isEnabled(), Column(page->List(), 0).contains("CDA")); // in-cdda serves it
        ToggleRow(page->List(), wav);
    });
    EXPECT_TRUE(CompareValues(".WAV"));
    QFile list(home.ConfigHome() + "/mimeapps.list");
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QByteArray written = list.readAll();
    list.close();
    EXPECT_TRUE(written.contains("melvo.desktop"));
    ASSERT_TRUE(list.remove());
    WithOptionsSheet(frame, [&](COptionsSheet &sheet) {
        COptFiletypes *page = ShowPage<COptFiletypes>(sheet);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->List()->topLevelItem(wav)->checkState(0), Qt::Unchecked); // the list is gone now
    });
    EXPECT_FALSE(QFile::exists(list.fileName())); // unchanged entries are not written
    EXPECT_TRUE(sink.Texts().isEmpty());
    UnloadPlugins();
}
