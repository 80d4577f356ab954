// Requests against a local CDDB server: every answer ends as it should, in the log and in the title file.
#include "CFreedbRequest.h"
#include "CddbTestServer.h"
#include "DiscImage.h"
#include "FreedbTestSupport.h"
#include "HttpConnection.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "TitleFile.h"
#include "cdda/CDDA.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QInputDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

const QByteArray kRecord = "# xmcd\nDISCID=%1\nDTITLE=Band / Record\nTTITLE0=Opening\nTTITLE1=Closing\n.\n";

class FreedbRequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        qunsetenv("http_proxy");
        m_image = WriteDiscImage(m_dir.path().toStdString(), "disc", {75 * 200, 75 * 180 + 30}, 0);
        SetDiscImages(m_image.strCue.c_str());
        InitDriver(0);
        m_id = GetDiscID(0);
        m_hex = QByteArray::number(m_id, 16).rightJustified(8, '0');
        SetFreedbFolders(m_dir.filePath("Cache"), QString());
        SetHttpLimits({2000, 1, 10000, 1 << 20});
        WriteSettingString("FREEDB", "E-Mail", "tester@example.org");
    }
    void TearDown() override {
        StopFreedbRequests(std::chrono::seconds(5));
        CloseFreedbRequestWindows();
        ReplaceTitleFile(0, nullptr, 0);
        SetFreedbFolders(QString(), QString());
        SetHttpLimits(HttpLimits());
        SetDiscImages(nullptr);
        DeinitDriver();
    }
    void UseServer(const CddbTestServer &server) {
        WriteSettingString("FREEDB", "CurrentServer", "127.0.0.1");
        WriteSettingInt("FREEDB", "CurrentPort", server.Port());
    }
    // Runs a request to its end; the window handles what the worker posted meanwhile.
    bool RunRequest(int milliseconds = 15000) {
        if (!StartFreedbRequest(FREEDB_QUERY, 0, 0, &m_target))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (FreedbRequestsRunning() && clock.elapsed() < milliseconds)
            QTest::qWait(10);
        QTest::qWait(20);
        return !FreedbRequestsRunning();
    }
    QString Title(int track) { return CDTrackTitle(0, track); }

    ScopedXdgHome m_home;
    RecordingSink m_sink;
    QTemporaryDir m_dir;
    DiscImage m_image;
    uint32_t m_id = 0;
    QByteArray m_hex;
    QWidget m_window;
    CFreedbFrameTarget m_target{&m_window};
};

} // namespace

TEST_F(FreedbRequestTest, AnExactMatchIsReadCachedAndSetAsTheDrivesTitleFile) {
    CddbTestServer server([&](const QByteArray &cmd, const QByteArray &) -> CddbTestServer::Reply {
        if (cmd.startsWith("cddb+query+"))
            return {CddbTestServer::Answer, "200 rock " + m_hex + " Band / Record\r\n"};
        if (cmd == "cddb+read+rock+" + m_hex)
            return {CddbTestServer::Answer, "210 rock " + m_hex + "\r\n" + QByteArray(kRecord).replace("%1", m_hex)};
        return {CddbTestServer::Answer, "500 Unrecognized command\r\n"};
    });
    UseServer(server);
    QSignalSpy titles(&m_target, &CFreedbFrameTarget::NewTitles);
    ASSERT_TRUE(RunRequest());
    const QList<QByteArray> targets = server.Targets();
    ASSERT_EQ(targets.size(), 2);
    EXPECT_EQ(targets[0], "/~cddb/cddb.cgi?cmd=cddb+query+" + m_hex + "+2+150+15150+" +
                              QByteArray::number((150 + 75 * 380 + 30) / 75) +
                              "&hello=tester+example.org+Melvo+2.71&proto=6");
    EXPECT_EQ(Title(1), "Band / Record - Opening");
    EXPECT_EQ(Title(2), "Band / Record - Closing");
    ASSERT_EQ(titles.count(), 1);
    EXPECT_EQ(titles[0][0].toString(), QString::fromStdString(m_image.strCue));
    QFile cache(m_dir.filePath("Cache/" + m_hex));
    ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
    EXPECT_EQ(cache.readLine(), "#FILENAME=" + m_hex + "\n");
    EXPECT_EQ(cache.readLine(), "210 rock " + m_hex + "\n");
    EXPECT_EQ(FindTopLevel<CFreedbRequest>("FreedbRequest"), nullptr) << "closes after a request that went well";
    EXPECT_TRUE(m_sink.Texts().isEmpty());

    // Known now: the next request asks no server.
    ReplaceTitleFile(0, nullptr, 0);
    ASSERT_TRUE(RunRequest());
    EXPECT_EQ(server.Targets().size(), 2);
    EXPECT_EQ(Title(1), "Band / Record - Opening");
}

TEST_F(FreedbRequestTest, SeveralMatchesAreChosenInTheDialogOrCancelled) {
    QByteArray readTarget;
    CddbTestServer server([&](const QByteArray &cmd, const QByteArray &) -> CddbTestServer::Reply {
        if (cmd.startsWith("cddb+query+"))
            return {CddbTestServer::Answer, "211 close matches\r\nrock " + m_hex + " Band / Rock Record\r\njazz " +
                                                m_hex + " Band / Jazz Record\r\n.\r\n"};
        readTarget = cmd;
        return {CddbTestServer::Answer, "210 jazz " + m_hex + "\r\n" + QByteArray(kRecord).replace("%1", m_hex)};
    });
    UseServer(server);
    for (const bool bChoose : {true, false}) {
        ReplaceTitleFile(0, nullptr, 0);
        QFile::remove(m_dir.filePath("Cache/" + m_hex));
        bool bSeen = false;
        WhenShown<CMultipleMatches>("MultipleMatches", [&](CMultipleMatches *dialog) {
            bSeen = true;
            QTreeWidget *list = dialog->List();
            ASSERT_EQ(list->topLevelItemCount(), 2);
            EXPECT_EQ(list->topLevelItem(1)->text(0), " Band / Jazz Record");
            EXPECT_EQ(list->topLevelItem(1)->text(1), "jazz");
            EXPECT_EQ(list->topLevelItem(1)->text(2), m_hex);
            auto *buttons = dialog->findChild<QDialogButtonBox *>();
            if (bChoose) {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->topLevelItem(1)).center());
                QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
            } else {
                QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
            }
        });
        ASSERT_TRUE(RunRequest());
        EXPECT_TRUE(bSeen);
        EXPECT_EQ(FindTopLevel<CFreedbRequest>("FreedbRequest"), nullptr);
        if (bChoose) {
            EXPECT_EQ(readTarget, "cddb+read+jazz+" + m_hex);
            EXPECT_EQ(Title(2), "Band / Record - Closing");
        } else {
            EXPECT_EQ(server.Targets().size(), 3) << "no read after Cancel";
            EXPECT_EQ(GetFile(0, nullptr), nullptr);
        }
    }
}

TEST_F(FreedbRequestTest, FailuresKeepTheLogOpenWithTheServersAnswerAndTheTitleFileAsItWas) {
    using K = CddbTestServer;
    const struct {
        const char *name;
        K::Reply query, read;
        const char *logged; // a line the log shows
    } cases[] = {
        {"202", {K::Answer, "202 No match for disc ID\r\n"}, {}, "No item found for this CD.\n202 No match"},
        {"403", {K::Answer, "403 Database entry is corrupt\r\n"}, {}, "Item to this CD is errorneous.\n403 Database"},
        {"409", {K::Answer, "409 No handshake\r\n"}, {}, "Too many user logged in. Please try later.\n409 No"},
        {"500", {K::Answer, "500 Command syntax error\r\n"}, {}, "freedb command contains a syntax error.\n500"},
        {"read 401",
         {K::Answer, "200 rock %1 X\r\n"},
         {K::Answer, "401 rock %1 No such CD entry\r\n"},
         "No item found for this CD.\n401 rock"},
        {"empty", {K::Answer, ""}, {}, "Connect with freedb server...\nRequest finished."},
        {"garbage", {K::Answer, "<html><body>Not Found</body></html>\n"}, {}, "<html><body>Not Found</body></html>"},
        {"silent", {K::Silent, ""}, {}, "WinInet Error #28:\n"},
        {"closed mid-body", {K::CloseMidBody, "200 rock"}, {}, "WinInet Error #18:\n"},
        {"20 MB", {K::Endless, ""}, {}, "WinInet Error #63:\nMaximum file size exceeded"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CddbTestServer server([&](const QByteArray &cmd, const QByteArray &) {
            K::Reply reply = cmd.startsWith("cddb+query+") ? c.query : c.read;
            reply.body.replace("%1", m_hex);
            return reply;
        });
        UseServer(server);
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(RunRequest());
        EXPECT_LT(clock.elapsed(), 8000) << "ends within the time-outs";
        CFreedbRequest *window = FindTopLevel<CFreedbRequest>("FreedbRequest");
        ASSERT_TRUE(window);
        EXPECT_TRUE(window->Log().contains(QString::fromUtf8(c.logged))) << window->Log().toStdString();
        EXPECT_TRUE(window->CanClose());
        EXPECT_EQ(GetFile(0, nullptr), nullptr);
        window->close();
        QApplication::processEvents();
    }
    EXPECT_TRUE(m_sink.Texts().isEmpty());
}

TEST_F(FreedbRequestTest, TheEmailAddressIsAskedForOnceAndCancelSendsNothing) {
    int asked = 0;
    CddbTestServer server([&](const QByteArray &, const QByteArray &) {
        return CddbTestServer::Reply{CddbTestServer::Answer, "202 No match\r\n"};
    });
    UseServer(server);
    WriteSettingString("FREEDB", "E-Mail", "");
    auto answer = [&](const char *text) {
        WhenShown<QInputDialog>("FreedbEmail", [&, text](QInputDialog *dialog) {
            ++asked;
            EXPECT_TRUE(dialog->labelText().contains("e-mail address"));
            if (text) {
                dialog->setTextValue(text);
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
    };
    answer(nullptr);
    EXPECT_FALSE(RunRequest());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(server.Targets().isEmpty());
    EXPECT_EQ(FindTopLevel<CFreedbRequest>("FreedbRequest"), nullptr);

    answer("me@my.host");
    ASSERT_TRUE(RunRequest());
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(GetSettingString("FREEDB", "E-Mail", ""), "me@my.host");
    ASSERT_TRUE(RunRequest());
    EXPECT_EQ(asked, 2) << "asked once";
    ASSERT_EQ(server.Targets().size(), 2);
    EXPECT_TRUE(server.Targets()[1].endsWith("&hello=me+my.host+Melvo+2.71&proto=6"));
}

TEST_F(FreedbRequestTest, WithoutWindowsTheFirstMatchIsTakenAndFailuresSayWhy) {
    using K = CddbTestServer;
    const QByteArray matches = "211 close\r\nrock %1 First / One\r\njazz %1 Second / Two\r\n.\r\n";
    const struct {
        const char *name;
        QByteArray query;
        bool found;
        const char *note;
    } cases[] = {
        {"none", "202 No match\r\n", false, "No item found for this CD."},
        {"garbage", "<html>\r\n", false, "<html>"},
        {"exact", "200 rock %1 X / Y\r\n", true, ""},
        {"several", matches, true, "2 matches; took the first: First / One"}, // its cache file stays
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ReplaceTitleFile(0, nullptr, 0);
        QFile::remove(m_dir.filePath("Cache/" + m_hex));
        QByteArray read;
        K server([&](const QByteArray &cmd, const QByteArray &) {
            if (cmd.startsWith("cddb+query+"))
                return K::Reply{K::Answer, QByteArray(c.query).replace("%1", m_hex)};
            read = cmd;
            return K::Reply{K::Answer, "210 rock " + m_hex + "\r\n" + QByteArray(kRecord).replace("%1", m_hex)};
        });
        UseServer(server);
        QString note;
        EXPECT_EQ(LookUpDiscTitles(0, &note), c.found);
        EXPECT_EQ(note, c.note);
        if (c.found) {
            EXPECT_EQ(read, "cddb+read+rock+" + m_hex);
            EXPECT_EQ(Title(1), "Band / Record - Opening");
        }
    }
    // Known now: no server is asked; with none answering, the reason is libcurl's.
    QString note;
    WriteSettingInt("FREEDB", "CurrentPort", 1);
    EXPECT_TRUE(LookUpDiscTitles(0, &note));
    QFile::remove(m_dir.filePath("Cache/" + m_hex));
    EXPECT_FALSE(LookUpDiscTitles(0, &note));
    EXPECT_TRUE(note.startsWith("WinInet Error #7:")) << note.toStdString();
    WriteSettingString("FREEDB", "E-Mail", "");
    EXPECT_FALSE(LookUpDiscTitles(0, &note));
    EXPECT_TRUE(note.contains("e-mail address"));
    EXPECT_TRUE(m_sink.Texts().isEmpty());
}
