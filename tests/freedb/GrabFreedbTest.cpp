// "melvo --grab --freedb" with the real executable: the files take the looked-up titles, or keep their
// track names with the reason on standard error.
#include "CddbTestServer.h"
#include "DiscImage.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "cdda/CDDA.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(GrabFreedb, TheCommandLineNamesTheFilesAfterALookupOrSaysWhyNot) {
    ScopedXdgHome home;
    QTemporaryDir dir;
    qunsetenv("http_proxy");
    const DiscImage image = WriteDiscImage(dir.path().toStdString(), "disc", {75 * 2, 75 * 3}, 1);
    SetDiscImages(image.strCue.c_str());
    InitDriver(0);
    const QByteArray hex = QByteArray::number(GetDiscID(0), 16).rightJustified(8, '0');
    SetDiscImages(nullptr);
    DeinitDriver();
    QByteArray query;
    CddbTestServer server([&](const QByteArray &cmd, const QByteArray &) -> CddbTestServer::Reply {
        if (cmd.startsWith("cddb+query+"))
            return {CddbTestServer::Answer, query};
        return {CddbTestServer::Answer, "210 rock " + hex +
                                            "\r\nDTITLE=Band / Record\r\nTTITLE0=Opening\r\n"
                                            "TTITLE1=Closing\r\n.\r\n"};
    });
    WriteSettingString("FREEDB", "CurrentServer", "127.0.0.1");
    WriteSettingInt("FREEDB", "CurrentPort", server.Port());
    WriteSettingString("FREEDB", "E-Mail", "me@example.org");
    // A new user's first lookup goes to the cache the window reads, though none of its folders exist yet.
    const QString userCache = home.DataHome() + QStringLiteral("/Melvo/Melvo/Cache");
    const struct {
        const char *name;
        QByteArray query;
        QStringList files;
        const char *said;
        bool bOwnCache;
    } cases[] = {
        {"several",
         "211 close\r\nrock " + hex + " Band / Record\r\njazz " + hex + " Other\r\n.\r\n",
         {"Band - Record - Closing.wav", "Band - Record - Opening.wav"},
         "took the first: Band / Record",
         false},
        {"none", "202 No match\r\n", {"Track01.wav", "Track02.wav"}, "No item found for this CD.", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        query = c.query;
        if (c.bOwnCache)
            WriteSettingString("FREEDB", "LocalCachePath", dir.filePath(QStringLiteral("cache-") + c.name));
        const QString out = dir.filePath(QStringLiteral("out-") + c.name);
        QProcess melvo;
        melvo.start(
            QStringLiteral(MELVO_PROGRAM_DIR "/melvo"),
            {"--grab", "--freedb", "--drive", QString::fromStdString(image.strCue), "--format", "wav", "--to", out});
        ASSERT_TRUE(melvo.waitForFinished(120000));
        const QString err = QString::fromLocal8Bit(melvo.readAllStandardError());
        EXPECT_EQ(melvo.exitCode(), 0) << err.toStdString();
        EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name), c.files);
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.said))) << err.toStdString();
        if (!c.bOwnCache) {
            EXPECT_TRUE(QFileInfo::exists(userCache + QLatin1Char('/') + QString::fromLatin1(hex)))
                << err.toStdString();
        }
    }
}
