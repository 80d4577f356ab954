// The handover: files wait for the playlist in order, and the message between instances.
#include "HandOver.h"
#include "SingleInstance.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(HandOver, FilesWaitInOrderUntilThePlaylistExistsThenGoStraightThere) {
    CHandOver handOver;
    handOver.HandOverFile(false, "/m/a.mp3");
    handOver.HandOverFile(true, "/m/b.mp3");
    handOver.HandOverFile(false, QString()); // an empty path is nothing
    handOver.HandOverFile(false, "/m/c.mp3");
    EXPECT_EQ(handOver.Pending().size(), 3);

    QStringList received;
    handOver.SetTarget([&](const QString &path, bool bPlay) {
        received << (bPlay ? "play " : "open ") + path;
        // A file arriving while the queue is fed comes after it.
        if (path == "/m/a.mp3")
            handOver.HandOverFile(false, "/m/late.mp3");
        return true;
    });
    handOver.HandOverFile(true, "/m/d.mp3");
    EXPECT_EQ(received,
              QStringList({"open /m/a.mp3", "play /m/b.mp3", "open /m/c.mp3", "open /m/late.mp3", "play /m/d.mp3"}));
    EXPECT_TRUE(handOver.Pending().isEmpty());
}

TEST(HandOver, ActivationAndTheLogOfWhatArrived) {
    QTemporaryDir dir;
    CHandOver handOver;
    handOver.SetLogFile(dir.filePath("log"));
    int activated = 0;
    handOver.Activate(); // before the frame exists: nothing to raise
    handOver.SetActivate([&] { ++activated; });
    handOver.Activate();
    handOver.HandOverFile(true, "/m/line\nbreak.mp3");
    EXPECT_EQ(activated, 1);
    QFile log(dir.filePath("log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), QByteArray("{\"action\":\"activate\"}\n{\"action\":\"activate\"}\n"
                                        "{\"action\":\"play\",\"path\":\"/m/line\\nbreak.mp3\"}\n"));
}

TEST(HandOverMessage, RoundTripsLongUnicodePathsWhole) {
    const QString longPath = "/music/" + QString(5000, QChar(u'é')) + "/x.mp3";
    const QList<HandOverRequest> requests{
        {HandOverRequest::Activate, QString()},
        {HandOverRequest::Open, QString::fromUtf8("/m/ä b\n.mp3")},
        {HandOverRequest::Play, longPath},
    };
    const QByteArray message = EncodeHandOver(requests);
    EXPECT_EQ(HandOverMessageSize(message), message.size());
    EXPECT_EQ(HandOverMessageSize(message.left(3)), 0);
    const auto decoded = DecodeHandOver(message);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, requests);
}

TEST(HandOverMessage, MalformedMessagesAreRefused) {
    const QByteArray good = EncodeHandOver({{HandOverRequest::Open, "/m/a.mp3"}});
    EXPECT_FALSE(DecodeHandOver(good.left(good.size() - 1)).has_value());
    EXPECT_FALSE(DecodeHandOver(good + 'x').has_value());
    QByteArray badAction = good;
    badAction[12] = 7; // size, magic, count, then the action byte
    EXPECT_FALSE(DecodeHandOver(badAction).has_value());
    // A file request without a path, or an activation with one.
    EXPECT_FALSE(DecodeHandOver(EncodeHandOver({{HandOverRequest::Play, QString()}})).has_value());
    EXPECT_FALSE(DecodeHandOver(EncodeHandOver({{HandOverRequest::Activate, "/x"}})).has_value());
    // A size no sender could mean is refused before anything is buffered.
    EXPECT_EQ(HandOverMessageSize(QByteArray("\xFF\xFF\xFF\xFF", 4)), -1);
    QByteArray hugeCount = good;
    hugeCount[8] = char(0x7F);
    EXPECT_FALSE(DecodeHandOver(hugeCount).has_value());
}
