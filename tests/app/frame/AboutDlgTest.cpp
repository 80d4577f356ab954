// The About dialog from the menu, and the version lines it is made of.
#include "AboutDlg.h"
#include "AboutInfo.h"
#include "OptionsSheetDriver.h"
#include "PluginHost.h"
#include "TestEnvironment.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(AboutDlg, OpensFromTheMenuWithVersionPictureAndMissingComponentsAsQuestionMarks) {
    ScopedXdgHome home;
    RecordingSink sink;
    CMainFrame frame;
    bool bShown = false;
    WhenOpen<CAboutDlg>([&](CAboutDlg &about) {
        bShown = true;
        EXPECT_EQ(about.windowTitle(), "About Melvo...");
        EXPECT_EQ(about.VersionText()->text(), "Version 2.71 (February 2004)");
        EXPECT_FALSE(about.Picture()->pixmap().isNull());
        // The tests' own folder holds none of the components, and no plug-in is loaded.
        EXPECT_TRUE(about.General()->toPlainText().startsWith("cdda.so ?.?\nfile.so ?.?\nregistry.so ?.?\n"));
        EXPECT_TRUE(about.Plugins()->toPlainText().isEmpty());
        EXPECT_TRUE(about.MailLink()->text().contains("mailto:"));
        QTest::mouseClick(about.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Close), Qt::LeftButton);
    });
    frame.Action(32818)->trigger();
    EXPECT_TRUE(bShown);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(AboutInfo, ComponentsLibrariesAndPluginsWithTheirVersions) {
    const QString folder = QStringLiteral(MELVO_PROGRAM_DIR);
    const QList<LibraryProbe> probes{
        {"Qt", "", [](void *) { return QString::fromLatin1(qVersion()); }},
        {"gone", "libnot-there.so.7", [](void *) { return QStringLiteral("1.0"); }},
        {"silent", "libz.so.1", [](void *) { return QString(); }}, // present, but says nothing
    };
    EXPECT_EQ(GeneralVersionLines(folder, probes), "cdda.so 2.71\nfile.so 2.71\nregistry.so 2.71\nQt " +
                                                       QString::fromLatin1(qVersion()) + "\ngone ?.?\nsilent ?.?\n");

    // Every library this build uses is installed here and reports a version of its own.
    QStringList names;
    for (const LibraryProbe &library : UsedLibraries()) {
        names << library.strName;
        EXPECT_TRUE(QRegularExpression("^\\S+ \\d+\\.\\d+").match(LibraryVersionText(library)).hasMatch())
            << LibraryVersionText(library).toStdString();
    }
    EXPECT_EQ(names, (QStringList{"TagLib", "zlib", "minizip", "libmpg123", "libcdio", "libcurl", "SDL2", "Qt"}));

    QByteArray ours = QFile::encodeName(folder + "/cdda.so");
    PluginEntry withVersion, without;
    withVersion.pszPath = ours.data();
    withVersion.pszFileName = const_cast<char *>("cdda.so");
    without.pszPath = const_cast<char *>("/nowhere/in-x.so");
    without.pszFileName = const_cast<char *>("in-x.so");
    EXPECT_EQ(PluginVersionLines({&withVersion, &without}), "cdda (cdda.so)  2.71\nin-x (in-x.so)  ?.?\n");
    EXPECT_TRUE(PluginVersionLines({}).isEmpty());
}
