// Message composition, the string table and the sink, including messages raised on worker threads.
#include "Messages.h"
#include "StringTable.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <set>
#include <thread>

TEST(StringTable, IsSortedUniqueAndLoadsByIdWithEscapesResolved) {
    const auto table = BuiltInStrings();
    ASSERT_GT(table.size(), 50u);
    for (size_t i = 1; i < table.size(); ++i)
        EXPECT_LT(table[i - 1].nID, table[i].nID) << "at " << table[i].nID;

    EXPECT_EQ(LoadStringRes(61294), QStringLiteral("Could not write value to registry!"));
    EXPECT_EQ(LoadStringRes(14), QStringLiteral("English"));
    // Command prompts: status text and tooltip apart, by a real line feed.
    EXPECT_EQ(LoadStringRes(1001), QStringLiteral("Start playback of the current title in playlist.\nStart playback"));
    bool ok = true;
    EXPECT_TRUE(LoadStringRes(4242, &ok).isEmpty());
    EXPECT_FALSE(ok);
}

TEST(ShowError, ComposesEachStyle) {
    RecordingSink sink;
    ShowError(61288, 0, QStringLiteral("CMainFrame"), ERR_STYLE_DETAIL);
    ShowError(61288, 0, QStringLiteral("ignored"), ERR_STYLE_PLAIN);
    ShowError(61294, 61275, QStringLiteral("X"), ERR_STYLE_FULL);
    ShowError(61294, 61275, QString(), ERR_STYLE_TWO_IDS);
    ShowError(43, 0, QStringLiteral("CreateSoundBuffer"), ERR_STYLE_TEXT_DETAIL);
    ShowError(61288, 0, QStringLiteral("x"), 7);
    ShowError(61313, 0, QString(), ERR_STYLE_DETAIL);

    const QString noMemory = QStringLiteral("Error allocating memory! Perhaps no more memory available.");
    const QStringList expected = {
        QStringLiteral("<CMainFrame>: ") + noMemory,
        noMemory,
        QStringLiteral("Could not write value to registry! X: Could not load string from resource."),
        QStringLiteral("Could not write value to registry!Could not load string from resource."),
        QStringLiteral("Could not write to secondary DirectSound buffer! CreateSoundBuffer"),
        QString(),
        QStringLiteral("<>: Could not find file. Please check the path!"),
    };
    EXPECT_EQ(sink.Texts(), expected);
}

TEST(ShowError, DetailWithPercentSignsIsNotReinterpreted) {
    RecordingSink sink;
    ShowError(61313, 0, QStringLiteral("/music/100%1 %2.mp3"), ERR_STYLE_DETAIL);
    EXPECT_EQ(sink.Texts().value(0),
              QStringLiteral("</music/100%1 %2.mp3>: Could not find file. Please check the path!"));
}

TEST(ShowError, UnknownIdReportsMissingStringFirstThenEmptyText) {
    RecordingSink sink;
    ShowError(4242, 0, QStringLiteral("detail"), ERR_STYLE_DETAIL);
    ASSERT_EQ(sink.Texts().size(), 2);
    EXPECT_EQ(sink.Texts()[0], QStringLiteral("Could not load string from resource."));
    EXPECT_EQ(sink.Texts()[1], QStringLiteral("<detail>: "));
}

TEST(ShowError, AppendsTheSystemErrorOfAFailedFileCreation) {
    RecordingSink sink;
    errno = 0;
    const int fd = ::open("/nonexistent-folder/file", O_CREAT | O_WRONLY, 0644);
    ASSERT_EQ(fd, -1);
    const int code = errno;
    ShowError(61324, 0, QStringLiteral("/nonexistent-folder/file"), ERR_STYLE_DETAIL, true);
    const QString expected = QStringLiteral("</nonexistent-folder/file>: Error creating folder! %1 (Error Code: %2)")
                                 .arg(SystemErrorText(code))
                                 .arg(code);
    EXPECT_EQ(sink.Texts().value(0), expected);
    EXPECT_EQ(code, ENOENT);
}

TEST(ShowError, ReturnsTheScriptedAnswerAndPassesTheBoxType) {
    RecordingSink sink;
    sink.Answer(IDNO);
    sink.Answer(IDYES);
    EXPECT_EQ(ShowError(61316, 0, QString(), ERR_STYLE_PLAIN, false, MB_YESNO), IDNO);
    EXPECT_EQ(ShowError(61316, 0, QString(), ERR_STYLE_PLAIN, false, MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(ShowError(61316), IDOK);
    EXPECT_EQ(sink.Types(), (QList<unsigned>{MB_YESNO, MB_YESNO | MB_ICONQUESTION, MB_OK}));
}

TEST(ShowSystemError, WithAndWithoutContext) {
    RecordingSink sink;
    ShowSystemError(ENOENT, QStringLiteral("/a/b"));
    ShowSystemError(EACCES, QString());
    EXPECT_EQ(sink.Texts().value(0),
              QStringLiteral("</a/b>\n%1 (Error Code: %2)").arg(SystemErrorText(ENOENT)).arg(ENOENT));
    EXPECT_EQ(sink.Texts().value(1), QStringLiteral("%1 (Error Code: %2)").arg(SystemErrorText(EACCES)).arg(EACCES));
    EXPECT_EQ(sink.Types().value(0), unsigned(MB_OK | MB_ICONEXCLAMATION));
}

TEST(MessageSink, WorkerThreadsReachTheSinkAndGetTheirAnswers) {
    RecordingSink sink;
    for (int i = 0; i < 8; ++i)
        sink.Answer(IDYES);
    std::vector<std::thread> workers;
    std::atomic<int> yes{0};
    for (int i = 0; i < 8; ++i)
        workers.emplace_back([&] {
            if (ShowError(61284, 0, QString(), ERR_STYLE_PLAIN, false, MB_YESNO) == IDYES)
                ++yes;
        });
    for (auto &w : workers)
        w.join();
    EXPECT_EQ(yes.load(), 8);
    EXPECT_EQ(sink.Texts().size(), 8);
}

TEST(MessageSink, DefaultSinkFromAWorkerWaitsForTheGuiThread) {
    // Without a recording sink the default shows a box on the GUI thread; a timer there answers it.
    SetMessageSink(nullptr);
    MessageBoxCloser closer(QMessageBox::Yes);
    std::atomic<int> answer{0};
    std::thread worker([&] { answer = ShowMessage(QStringLiteral("from a worker"), MB_YESNO); });
    // The worker's call arrives as an event; keep the GUI thread serving events until it is answered.
    QElapsedTimer clock;
    clock.start();
    while (answer == 0 && clock.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    ASSERT_NE(answer.load(), 0) << "the worker's message was never shown";
    worker.join();
    EXPECT_EQ(closer.LastText(), QStringLiteral("from a worker"));
    EXPECT_EQ(answer.load(), IDYES);
}
