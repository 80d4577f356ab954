// What start-up sets up and exit releases: CD drives from the settings, freedb folders, the splash.
#include "CDAccess.h"
#include "DiscImage.h"
#include "MelvoApp.h"
#include "Settings.h"
#include "SplashWnd.h"
#include "TestEnvironment.h"
#include "cdda/CDDA.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QPointer>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

int g_closed = 0;

// A stream that counts its closing, to see the exit routine close the drives' title files.
FILE *CountingFile() {
    cookie_io_functions_t io{};
    io.close = [](void *) {
        ++g_closed;
        return 0;
    };
    return fopencookie(nullptr, "r", io);
}

} // namespace

TEST(Startup, DrivesGetTheirImagesAndSettingsAndExitClosesTheirFiles) {
    ScopedXdgHome home;
    RecordingSink sink;
    const DiscImage a = WriteDiscImage(home.Root().toStdString(), "a", {200, 301}, 0);
    const DiscImage b = WriteDiscImage(home.Root().toStdString(), "b", {151}, 0);
    const QString images =
        QString::fromStdString(a.strCue + ";" + home.Root().toStdString() + "/gone.cue; " + b.strToc);
    ASSERT_TRUE(WriteSettingString("CDDA", "Images", images));
    ASSERT_TRUE(WriteSettingInt("CDDA", "CD-Driver", 1)); // ASPI, which Linux does not have
    ASSERT_TRUE(WriteSettingInt("Image a.cue", "Frames", 5));
    ASSERT_TRUE(WriteSettingInt("Image b.toc", "Frames", 300)); // would wrap to 44 in a byte
    ASSERT_TRUE(WriteSettingInt("Image gone.cue", "Frames", 0));

    const int count = InitCDAccess();
    const uint8_t da = GetDriveIndex(a.strCue.c_str(), nullptr);
    const uint8_t dgone = GetDriveIndex((home.Root() + "/gone.cue").toUtf8().constData(), nullptr);
    const uint8_t db = GetDriveIndex(b.strToc.c_str(), nullptr);
    ASSERT_NE(da, CDDA_NO_DRIVE);
    EXPECT_EQ(count, da + 3);
    EXPECT_EQ(dgone, da + 1);
    EXPECT_EQ(db, da + 2);
    EXPECT_EQ(GetNumFrames(da), 5);
    EXPECT_EQ(GetNumFrames(db), CDDA_DEFAULT_FRAMES);
    EXPECT_EQ(GetNumFrames(dgone), CDDA_DEFAULT_FRAMES);
    EXPECT_EQ(GetNumTracks(da), 2);
    EXPECT_EQ(GetNumTracks(db), 1);
    EXPECT_EQ(GetNumTracks(dgone), 0);

    g_closed = 0;
    SetFile(da, CountingFile(), 0);
    SetFile(db, CountingFile(), 12);
    CloseCDAccess();
    EXPECT_EQ(g_closed, 2);
    EXPECT_EQ(GetNumDrives(), 0);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(Startup, FreedbFoldersLiveInTheUsersDataFolderUnlessSet) {
    ScopedXdgHome home;
    const QString data = home.DataHome() + "/Melvo/Melvo";
    ReadFreedbFolders();
    EXPECT_EQ(LocalCachePath(), data + "/Cache");
    EXPECT_TRUE(QFileInfo(data).isDir()) << "a new user's first lookup makes only the cache's own folder";
    EXPECT_EQ(LocalDBPath(), QString()) << "the local database is off by default";
    WriteSettingInt("FREEDB", "UseLocalDB", 1);
    ReadFreedbFolders();
    EXPECT_EQ(LocalDBPath(), data + "/DB");
    WriteSettingString("FREEDB", "LocalCachePath", "/srv/cddb-cache");
    WriteSettingString("FREEDB", "LocalDBPath", "/srv/freedb");
    ReadFreedbFolders();
    EXPECT_EQ(LocalCachePath(), "/srv/cddb-cache");
    EXPECT_EQ(LocalDBPath(), "/srv/freedb");
}

TEST(Splash, ShowsTheVersionOverThePictureAndGoesWhenStartUpEnds) {
    EXPECT_EQ(CSplashWnd::ShowSplash(QPixmap(), "2.71", nullptr), nullptr) << "no picture, no splash";

    QWidget frame;
    frame.setGeometry(200, 100, 600, 500);
    QPixmap picture(CSplashWnd::kWidth, CSplashWnd::kHeight);
    picture.fill(Qt::white);
    QPointer<CSplashWnd> splash = CSplashWnd::ShowSplash(picture, "2.71", &frame);
    ASSERT_TRUE(splash);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->size(), QSize(400, 150));
    EXPECT_LE((splash->geometry().center() - frame.frameGeometry().center()).manhattanLength(), 2);
    const QImage shot = splash->grab().toImage();
    int dark = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = shot.width() / 2; x < shot.width() - 2; ++x)
            dark += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
    EXPECT_GT(dark, 20) << "the version text is drawn";
    splash->HideSplash();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());
}
