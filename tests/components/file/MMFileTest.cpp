// The file component: the five operations, their failures, and a file cut short while open.
#include "MMFile.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QByteArray Bytes(int count) {
    QByteArray bytes(count, '\0');
    for (int i = 0; i < count; ++i)
        bytes[i] = char(i * 31 + 7);
    return bytes;
}

QString WriteTemp(const QTemporaryDir &dir, const QByteArray &bytes) {
    const QString path = dir.filePath(QStringLiteral("data.bin"));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    return path;
}

} // namespace

TEST(MMFile, ReadsAtOffsetsAndTracksThePosition) {
    QTemporaryDir dir;
    const QByteArray data = Bytes(10000);
    const QByteArray path = QFile::encodeName(WriteTemp(dir, data));
    void *handle = nullptr;
    ASSERT_NE(OpenMMFile(path.constData(), &handle, 1), 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GetMMFileSize(handle, path.constData(), 1), 10000ul);

    unsigned char buffer[300];
    EXPECT_EQ(ReadFromMMFile(handle, buffer, 300, path.constData(), 1234, 1), 300ul);
    EXPECT_EQ(QByteArray(reinterpret_cast<char *>(buffer), 300), data.mid(1234, 300));
    EXPECT_EQ(SeekToPos(handle, path.constData(), 0, 1, 1), 1534);

    // Near the end only what is there; at and past the end nothing.
    EXPECT_EQ(ReadFromMMFile(handle, buffer, 300, path.constData(), 9900, 1), 100ul);
    EXPECT_EQ(QByteArray(reinterpret_cast<char *>(buffer), 100), data.right(100));
    EXPECT_EQ(SeekToPos(handle, path.constData(), 0, 1, 1), 10000);
    EXPECT_EQ(ReadFromMMFile(handle, buffer, 300, path.constData(), 10000, 1), 0ul);
    EXPECT_EQ(ReadFromMMFile(handle, buffer, 300, path.constData(), 1ul << 40, 1), 0ul);

    EXPECT_EQ(SeekToPos(handle, path.constData(), 10, 0, 1), 10);
    EXPECT_EQ(SeekToPos(handle, path.constData(), static_cast<unsigned long>(-4L), 1, 1), 6);
    EXPECT_EQ(SeekToPos(handle, path.constData(), static_cast<unsigned long>(-1L), 2, 1), 9999);
    EXPECT_EQ(SeekToPos(handle, path.constData(), static_cast<unsigned long>(-20000L), 2, 1), -1);
    EXPECT_EQ(SeekToPos(handle, path.constData(), 0, 7, 1), -1);
    EXPECT_NE(CloseMMFile(handle, path.constData(), 1), 0);
}

TEST(MMFile, NullHandlesAndEmptyFilesFailSafely) {
    unsigned char buffer[4];
    EXPECT_EQ(ReadFromMMFile(nullptr, buffer, 4, "x", 0, 1), ~0ul);
    EXPECT_EQ(GetMMFileSize(nullptr, "x", 1), 0ul);
    EXPECT_EQ(SeekToPos(nullptr, "x", 0, 1, 1), -1);
    EXPECT_NE(CloseMMFile(nullptr, "x", 1), 0);

    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(WriteTemp(dir, QByteArray()));
    void *handle = nullptr;
    ASSERT_NE(OpenMMFile(path.constData(), &handle, 1), 0);
    EXPECT_EQ(GetMMFileSize(handle, path.constData(), 1), 0ul);
    EXPECT_EQ(ReadFromMMFile(handle, buffer, 4, path.constData(), 0, 1), 0ul);
    CloseMMFile(handle, path.constData(), 1);
}

TEST(MMFile, OpenFailuresSpeakOnlyWhenAllowed) {
    RecordingSink sink;
    QTemporaryDir dir;
    const QByteArray missing = QFile::encodeName(dir.filePath(QStringLiteral("missing.mp3")));
    void *handle = reinterpret_cast<void *>(1);
    EXPECT_EQ(OpenMMFile(missing.constData(), &handle, 0), 0);
    EXPECT_EQ(handle, nullptr);
    EXPECT_TRUE(sink.Texts().isEmpty());

    EXPECT_EQ(OpenMMFile(missing.constData(), &handle, 1), 0);
    ASSERT_EQ(sink.Texts().size(), 1);
    EXPECT_TRUE(sink.Texts()[0].contains(QString::fromUtf8(missing))) << sink.Texts()[0].toStdString();

    const QByteArray folder = QFile::encodeName(dir.path());
    EXPECT_EQ(OpenMMFile(folder.constData(), &handle, 0), 0);
    EXPECT_EQ(OpenMMFile(nullptr, &handle, 0), 0);
}

TEST(MMFile, AFileCutShortWhileOpenGivesWhatIsLeftInsteadOfCrashing) {
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(WriteTemp(dir, Bytes(3 * 65536)));
    void *handle = nullptr;
    ASSERT_NE(OpenMMFile(path.constData(), &handle, 0), 0);
    ASSERT_EQ(truncate(path.constData(), 65536 + 100), 0);
    std::vector<unsigned char> buffer(65536);
    EXPECT_EQ(ReadFromMMFile(handle, buffer.data(), 65536, path.constData(), 65536, 0), 100ul);
    EXPECT_EQ(ReadFromMMFile(handle, buffer.data(), 65536, path.constData(), 2 * 65536, 0), 0ul);
    CloseMMFile(handle, path.constData(), 0);
}
