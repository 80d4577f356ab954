// The settings store: defaults for a fresh user, round trips, and writes that cannot be stored.
#include "Settings.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <unistd.h>

TEST(Settings, FreshUserGetsEveryDefaultAndNothingIsWritten) {
    ScopedXdgHome home;
    RecordingSink sink;
    EXPECT_EQ(GetSettingInt("GENERAL", "DS-Buffer", 500), 500);
    EXPECT_EQ(GetSettingInt("WINDOW-STATUS", "Show", 5), 5);
    EXPECT_EQ(GetSettingString("FREEDB", "CurrentPath", "/~cddb/cddb.cgi"), QStringLiteral("/~cddb/cddb.cgi"));
    EXPECT_EQ(GetSettingString("GENERAL", "DS-GUID", QString()), QString());
    EXPECT_FALSE(QFile::exists(SettingsFilePath()));
    EXPECT_FALSE(QDir(home.ConfigHome() + "/Melvo").exists());
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(Settings, ValuesRoundTripUnderTheUsersConfigFolder) {
    ScopedXdgHome home;
    RecordingSink sink;
    EXPECT_EQ(SettingsFilePath(), home.ConfigHome() + "/Melvo/Melvo.conf");
    EXPECT_TRUE(WriteSettingInt("VOLUME", "PitchA", -500));
    EXPECT_TRUE(WriteSettingInt("DISPLAY", "Frontcolor", 0xFF00));
    EXPECT_TRUE(WriteSettingString("FREEDB", "Password", "p, w; \"x\" = y"));
    EXPECT_TRUE(WriteSettingString("HL-DT-ST DVD/RW GSA", "DriveLetter", "/dev/sr0"));
    EXPECT_TRUE(WriteSettingString("GENERAL", "Playlist", QString::fromUtf8("/home/ü/Müsik/a.pls")));

    EXPECT_EQ(GetSettingInt("VOLUME", "PitchA", 0), -500);
    EXPECT_EQ(GetSettingInt("DISPLAY", "Frontcolor", 0), 0xFF00);
    EXPECT_EQ(GetSettingString("FREEDB", "Password", ""), QStringLiteral("p, w; \"x\" = y"));
    EXPECT_EQ(GetSettingString("HL-DT-ST DVD/RW GSA", "DriveLetter", ""), QStringLiteral("/dev/sr0"));
    EXPECT_EQ(GetSettingString("GENERAL", "Playlist", ""), QString::fromUtf8("/home/ü/Müsik/a.pls"));
    // A key of another section with the same name stays apart.
    EXPECT_EQ(GetSettingInt("ENCODE_LAME", "Mode", 7), 7);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(Settings, NonNumericIntegerReadsAsDefault) {
    ScopedXdgHome home;
    RecordingSink sink;
    ASSERT_TRUE(WriteSettingString("GENERAL", "Intro-Length", "ten"));
    EXPECT_EQ(GetSettingInt("GENERAL", "Intro-Length", 10), 10);
    EXPECT_TRUE(sink.Texts().isEmpty());
}

TEST(Settings, WritesThatCannotBeStoredShowTheirDetailAndFail) {
    ScopedXdgHome home;
    RecordingSink sink;
    // A plain file where the settings folder should be: no user, root included, can create it.
    QFile blocker(home.ConfigHome() + "/Melvo");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    EXPECT_FALSE(WriteSettingInt("WINDOW-STATUS", "Left", 100));
    EXPECT_FALSE(WriteSettingInt("WINDOW-STATUS", "Top", 123));
    EXPECT_FALSE(WriteSettingString("FREEDB", "Password", "secret"));
    // What could not be stored must not look stored to later reads either.
    EXPECT_EQ(GetSettingInt("WINDOW-STATUS", "Top", 100), 100);
    EXPECT_EQ(GetSettingString("FREEDB", "Password", ""), QString());
    const QStringList expected = {
        QStringLiteral("<WINDOW-STATUS\\Left=100>: Could not write value to registry!"),
        QStringLiteral("<WINDOW-STATUS\\Top=123>: Could not write value to registry!"),
        QStringLiteral("<FREEDB\\Password=strValue>: Could not write value to registry!"),
    };
    EXPECT_EQ(sink.Texts(), expected);
}

TEST(Settings, ReadOnlySettingsFileRefusesWrites) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind root";
    ScopedXdgHome home;
    RecordingSink sink;
    ASSERT_TRUE(WriteSettingInt("GENERAL", "Mode", 1));
    QFile::setPermissions(SettingsFilePath(), QFileDevice::ReadOwner);
    EXPECT_FALSE(WriteSettingInt("GENERAL", "Mode", 2));
    EXPECT_EQ(GetSettingInt("GENERAL", "Mode", 0), 1);
    EXPECT_EQ(sink.Texts().value(0), QStringLiteral("<GENERAL\\Mode=2>: Could not write value to registry!"));
}
