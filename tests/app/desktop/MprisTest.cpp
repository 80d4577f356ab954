// The real melvo on a private session bus, driven through MPRIS as a desktop's media keys and widgets would.
#include "AudioFiles.h"
#include "Settings.h"
#include "TestEnvironment.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr const char *kService = "org.mpris.MediaPlayer2.melvo";
constexpr const char *kPath = "/org/mpris/MediaPlayer2";
constexpr const char *kPlayer = "org.mpris.MediaPlayer2.Player";

// A WAV of this many seconds of 8 kHz mono silence (a sparse file).
QString MakeTitle(const QString &folder, const QString &name, int seconds) {
    const uint32_t bytes = uint32_t(seconds) * 8000;
    QByteArray header = MakeWav(QByteArray(), 8000, 1, 8);
    Put32Le(header, 4, 36 + bytes);
    Put32Le(header, 40, bytes);
    const QString path = QDir(folder).filePath(name);
    WriteFile(path, header);
    QFile(path).resize(header.size() + bytes);
    return path;
}

class MprisTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus: run under dbus-run-session";
        ASSERT_TRUE(QDir().mkpath(home.Root() + "/runtime"));
        QFile::setPermissions(home.Root() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("SDL_AUDIODRIVER", "dummy");
        env.insert("XDG_RUNTIME_DIR", home.Root() + "/runtime");
        env.insert("XDG_CONFIG_HOME", home.ConfigHome());
        env.insert("XDG_DATA_HOME", home.DataHome());
        for (const char *name : {"first", "second", "third"})
            titles << MakeTitle(home.Root(), QString::fromLatin1(name) + ".wav", 30);
        melvo.setProcessEnvironment(env);
        melvo.setProgram(QStringLiteral(MELVO_PROGRAM_DIR "/melvo"));
        melvo.setArguments(QStringList{QStringLiteral("-nologo")} + titles);
        melvo.start();
        ASSERT_TRUE(melvo.waitForStarted(10000));
        ASSERT_TRUE(QTest::qWaitFor(
            [] { return QDBusConnection::sessionBus().interface()->isServiceRegistered(kService).value(); }, 20000));
        player = std::make_unique<QDBusInterface>(kService, kPath, kPlayer, QDBusConnection::sessionBus());
        root =
            std::make_unique<QDBusInterface>(kService, kPath, "org.mpris.MediaPlayer2", QDBusConnection::sessionBus());
        // The titles of the command line reach the playlist after the window is up.
        ASSERT_TRUE(QTest::qWaitFor([&] { return Prop("CanPlay").toBool(); }, 20000));
    }
    void TearDown() override {
        if (melvo.state() != QProcess::NotRunning) {
            melvo.kill();
            melvo.waitForFinished(5000);
        }
    }
    QVariant Prop(const char *name) { return player->property(name); }
    bool WaitFor(const char *name, const QVariant &value) {
        return QTest::qWaitFor([&] { return Prop(name) == value; }, 10000);
    }
    QVariantMap Metadata() {
        // Properties of type a{sv} arrive as a QDBusArgument through the generic interface.
        QDBusInterface props(kService, kPath, "org.freedesktop.DBus.Properties", QDBusConnection::sessionBus());
        QDBusReply<QVariant> reply = props.call("Get", QString::fromLatin1(kPlayer), QStringLiteral("Metadata"));
        QVariantMap map;
        if (reply.isValid())
            reply.value().value<QDBusArgument>() >> map;
        return map;
    }
    bool Call(const char *method, const QVariant &a = {}, const QVariant &b = {}) {
        QList<QVariant> args;
        for (const QVariant &v : {a, b})
            if (v.isValid())
                args << v;
        const QDBusMessage reply = player->callWithArgumentList(QDBus::Block, QString::fromLatin1(method), args);
        return reply.type() == QDBusMessage::ReplyMessage;
    }

    ScopedXdgHome home;
    QStringList titles;
    QProcess melvo;
    std::unique_ptr<QDBusInterface> player, root;
};

} // namespace

TEST_F(MprisTest, MediaKeysAndWidgetsDriveThePlayer) {
    EXPECT_EQ(root->property("Identity").toString(), QStringLiteral("Melvo"));
    EXPECT_EQ(root->property("DesktopEntry").toString(), QStringLiteral("melvo"));
    EXPECT_EQ(Prop("PlaybackStatus").toString(), QStringLiteral("Stopped"));

    // Play with nothing selected plays the playlist's first title.
    ASSERT_TRUE(Call("Play"));
    ASSERT_TRUE(WaitFor("PlaybackStatus", QStringLiteral("Playing")));
    QVariantMap meta = Metadata();
    EXPECT_EQ(meta.value("xesam:title").toString(), QStringLiteral("first"));
    EXPECT_EQ(meta.value("xesam:url").toString(), QUrl::fromLocalFile(titles[0]).toString());
    EXPECT_EQ(meta.value("mpris:length").toLongLong(), 30000000);
    const QString firstId = meta.value("mpris:trackid").value<QDBusObjectPath>().path();

    ASSERT_TRUE(Call("Next"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Metadata().value("xesam:title") == QStringLiteral("second"); }, 10000));
    const QString secondId = Metadata().value("mpris:trackid").value<QDBusObjectPath>().path();
    EXPECT_NE(secondId, firstId);
    EXPECT_EQ(Prop("PlaybackStatus").toString(), QStringLiteral("Playing"));

    // Seek moves relative to where the title is; SetPosition goes to a place in the current title only.
    ASSERT_TRUE(Call("Seek", qlonglong(12000000)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Prop("Position").toLongLong() >= 11000000; }, 10000));
    EXPECT_LT(Prop("Position").toLongLong(), 20000000);
    ASSERT_TRUE(Call("SetPosition", QVariant::fromValue(QDBusObjectPath(firstId)), qlonglong(25000000)));
    QTest::qWait(700);
    EXPECT_LT(Prop("Position").toLongLong(), 20000000); // a stale track id is ignored
    ASSERT_TRUE(Call("SetPosition", QVariant::fromValue(QDBusObjectPath(secondId)), qlonglong(3000000)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Prop("Position").toLongLong() < 6000000; }, 10000));

    // Play modes: loops and shuffle are the mode box's choices.
    ASSERT_TRUE(player->setProperty("LoopStatus", QStringLiteral("Track")));
    EXPECT_TRUE(WaitFor("LoopStatus", QStringLiteral("Track")));
    ASSERT_TRUE(player->setProperty("Shuffle", true));
    EXPECT_TRUE(WaitFor("Shuffle", true));
    EXPECT_EQ(Prop("LoopStatus").toString(), QStringLiteral("None"));
    ASSERT_TRUE(player->setProperty("Volume", 0.25));
    EXPECT_TRUE(WaitFor("Volume", 0.25));

    ASSERT_TRUE(Call("PlayPause"));
    EXPECT_TRUE(WaitFor("PlaybackStatus", QStringLiteral("Paused")));
    ASSERT_TRUE(Call("Play"));
    EXPECT_TRUE(WaitFor("PlaybackStatus", QStringLiteral("Playing")));
    ASSERT_TRUE(Call("Stop"));
    EXPECT_TRUE(WaitFor("PlaybackStatus", QStringLiteral("Stopped")));
    EXPECT_FALSE(Metadata().contains("xesam:title"));

    // Quit closes the window the normal way: what the bus set is what the next start finds.
    root->call("Quit");
    ASSERT_TRUE(melvo.waitForFinished(15000));
    EXPECT_EQ(melvo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(GetSettingInt(QStringLiteral("GENERAL"), QStringLiteral("Mode"), -1), 1); // random
    EXPECT_EQ(GetSettingInt(QStringLiteral("VOLUME"), QStringLiteral("VolumeA"), -1), 75);
}
