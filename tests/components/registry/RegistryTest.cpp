// Associations inside temporary XDG folders, the associated-program lookup, and the pictures.
#include "registry/Registry.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

QString ReadAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void WriteAll(const QString &path, const QString &text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

} // namespace

TEST(Associations, RoundTripKeepsOtherProgramsAndRestoresThePreviousDefault) {
    ScopedXdgHome home;
    SetAssociationProgram("/opt/melvo/melvo");
    const QString list = home.ConfigHome() + "/mimeapps.list";
    WriteAll(list, "# mine\n[Default Applications]\naudio/mpeg=vlc.desktop;\ntext/plain=gedit.desktop;\n\n"
                   "[Removed Associations]\nimage/png=gimp.desktop;\n");

    EXPECT_EQ(CompareValues(".mp3"), 0);
    EXPECT_NE(SetAssociation(1, ".mp3", "MP3-Audio", "/opt/melvo/melvo,0"), 0);
    EXPECT_NE(CompareValues(".mp3"), 0);
    EXPECT_NE(CompareValues(".MP3"), 0);
    EXPECT_EQ(CompareValues(".wav"), 0);

    const QString edited = ReadAll(list);
    EXPECT_TRUE(edited.contains("audio/mpeg=melvo.desktop;vlc.desktop;")) << edited.toStdString();
    EXPECT_TRUE(edited.contains("text/plain=gedit.desktop;"));
    EXPECT_TRUE(edited.contains("# mine"));
    EXPECT_TRUE(edited.contains("image/png=gimp.desktop;"));
    const QString desktop = ReadAll(home.DataHome() + "/applications/melvo.desktop");
    EXPECT_TRUE(desktop.contains("Exec=/opt/melvo/melvo %F")) << desktop.toStdString();
    EXPECT_TRUE(desktop.contains("MimeType=audio/mpeg;"));

    EXPECT_NE(SetAssociation(0, ".mp3", "MP3-Audio", ""), 0);
    EXPECT_EQ(CompareValues(".mp3"), 0);
    const QString restored = ReadAll(list);
    EXPECT_TRUE(restored.contains("audio/mpeg=vlc.desktop;")) << restored.toStdString();
    EXPECT_FALSE(restored.contains("melvo.desktop"));
}

TEST(Associations, AudioCdAndSeveralTypesShareOneDesktopEntry) {
    ScopedXdgHome home;
    SetAssociationProgram("/usr/lib/melvo/melvo");
    EXPECT_NE(SetAssociation(1, "AudioCD", "Audio CD", ""), 0);
    EXPECT_NE(SetAssociation(1, ".wav", "Wave-Audio", ""), 0);
    EXPECT_NE(CompareValues("AudioCD"), 0);
    EXPECT_NE(CompareValues(".wav"), 0);
    const QString list = ReadAll(home.ConfigHome() + "/mimeapps.list");
    EXPECT_TRUE(list.contains("x-content/audio-cdda=melvo.desktop;")) << list.toStdString();
    const QString desktop = ReadAll(home.DataHome() + "/applications/melvo.desktop");
    EXPECT_TRUE(desktop.contains("x-content/audio-cdda;")) << desktop.toStdString();

    EXPECT_NE(SetAssociation(0, "AudioCD", "Audio CD", ""), 0);
    EXPECT_EQ(CompareValues("AudioCD"), 0);
    EXPECT_NE(CompareValues(".wav"), 0); // the other association stays
}

TEST(Associations, UnknownExtensionGetsATypeOfItsOwn) {
    ScopedXdgHome home;
    EXPECT_NE(SetAssociation(1, ".sorbx", "Sorb-Audio", ""), 0);
    EXPECT_NE(CompareValues(".sorbx"), 0);
    const QString package = ReadAll(home.DataHome() + "/mime/packages/melvo-sorbx.xml");
    EXPECT_TRUE(package.contains("<glob pattern=\"*.sorbx\"/>")) << package.toStdString();
    EXPECT_TRUE(package.contains("Sorb-Audio"));
    EXPECT_EQ(SetAssociation(1, "mp3", "no dot", ""), 0);
    EXPECT_EQ(SetAssociation(1, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(CompareValues(nullptr), 0);
}

TEST(AssociatedProgram, CommandOfTheHtmlHandlerWithoutFieldCodes) {
    ScopedXdgHome home;
    const QByteArray oldDirs = qgetenv("XDG_DATA_DIRS");
    const QByteArray oldConfigDirs = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_DATA_DIRS", QFile::encodeName(home.Root() + "/none"));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(home.Root() + "/none"));
    EXPECT_STREQ(GetAssociatedProgramm(".htm"), "");

    WriteAll(home.DataHome() + "/applications/browser.desktop",
             "[Desktop Entry]\nType=Application\nName=Browser\nExec=/usr/bin/browser --new-window %U\n");
    WriteAll(home.ConfigHome() + "/mimeapps.list",
             "[Default Applications]\ntext/html=missing.desktop;browser.desktop;\n");
    EXPECT_STREQ(GetAssociatedProgramm(".htm"), "/usr/bin/browser --new-window");
    qputenv("XDG_DATA_DIRS", oldDirs);
    qputenv("XDG_CONFIG_DIRS", oldConfigDirs);
}

TEST(Pictures, EveryNumberedPictureLoadsAndUnknownNumbersAreEmpty) {
    const QPixmap splash = RegistryBitmap(174);
    ASSERT_FALSE(splash.isNull());
    EXPECT_EQ(splash.size(), QSize(400, 150));
    for (int id : {136, 138, 141, 167, 168, 169}) {
        const QIcon icon = RegistryIcon(id);
        EXPECT_FALSE(icon.isNull()) << id;
        EXPECT_FALSE(icon.pixmap(16, 16).isNull()) << id;
    }
    bool found = false;
    RegistryCursor(207, &found);
    EXPECT_TRUE(found);
    RegistryCursor(206, &found);
    EXPECT_FALSE(found);
    EXPECT_TRUE(RegistryBitmap(175).isNull());
    EXPECT_TRUE(RegistryIcon(137).isNull());
}
