// Real crashes of a real program: the report files it leaves, the dump read back by lldb, a second fault.
#include "CommandLine.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/utsname.h>

namespace {

const QString kCrashProgram = QStringLiteral(CRASH_PROGRAM);
const QString kMelvo = QStringLiteral(MELVO_PROGRAM_DIR "/melvo");

struct CrashRun {
    bool bCrashed = false;
    int nSignal = 0;
    QString strError; // standard error of the program and its report process
    qint64 ms = 0;
};

// Runs the crash program with its report files in folder; the report program is the real melvo, which
// without a display names the files and leaves them.
CrashRun RunCrash(const QString &folder, const QString &mode, const QString &reportProgram = kMelvo,
                  const QString &startedFile = QString()) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), folder);
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    process.start(kCrashProgram, {mode, reportProgram, startedFile});
    EXPECT_TRUE(process.waitForFinished(60000)) << mode.toStdString();
    CrashRun run;
    run.ms = clock.elapsed();
    run.bCrashed = process.exitStatus() == QProcess::CrashExit;
    run.nSignal = process.exitCode();
    run.strError = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QString RunTool(const QString &program, const QStringList &args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Debian's lldb-14 finds its Python modules only here.
    env.insert(QStringLiteral("PYTHONPATH"), QStringLiteral("/usr/lib/llvm-14/lib/python3.11/dist-packages"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
    }
    return QString::fromLocal8Bit(process.readAll());
}

QString BuildId(const QString &file) {
    const QRegularExpression id(QStringLiteral("Build ID: ([0-9a-f]+)"));
    return id.match(RunTool(QStringLiteral("readelf"), {QStringLiteral("-n"), file})).captured(1);
}

QString KernelRelease() {
    utsname system{};
    uname(&system);
    return QString::fromUtf8(system.release);
}

struct CrashCase {
    const char *mode;
    int nSignal;           // how the process ends
    const char *errorLine; // pattern of line 8; null when there is no exception information
    const char *function;  // the crashing function lldb must name
    int nThreads;          // at least this many threads in the dump
};

} // namespace

TEST(CrashProcess, EachKindOfCrashLeavesItsReportAndADumpLldbReads) {
    const CrashCase cases[] = {
        {"null", SIGSEGV, "Error-Type 0xb, Error-Address 0x0", "CrashByNullPointer", 1},
        {"abort", SIGABRT, "Error-Type 0x6, Error-Address 0x[0-9a-f]{6,}", "CallAbort", 1},
        {"exception", SIGABRT, nullptr, "ThrowUncaught", 1},
        {"overflow", SIGSEGV, "Error-Type 0xb, Error-Address 0x[0-9a-f]+", "RecurseForever", 1},
        {"worker-overflow", SIGSEGV, "Error-Type 0xb, Error-Address 0x[0-9a-f]+", "RecurseForever", 2},
        {"thread", SIGSEGV, "Error-Type 0xb, Error-Address 0x10", "CrashOnSecondThread", 2},
    };
    const QString buildId = BuildId(kCrashProgram);
    ASSERT_FALSE(buildId.isEmpty());
    const QString versionLine = QStringLiteral("Melvo Version: 2\\.71, Created: \\d\\d:\\d\\d:\\d\\d, "
                                               "\\d\\d\\.\\d\\d\\.\\d{4}, Size: %1 KB")
                                    .arg(QFileInfo(kCrashProgram).size() / 1024);
    for (const CrashCase &c : cases) {
        SCOPED_TRACE(c.mode);
        QTemporaryDir folder;
        const QString text = folder.filePath(QStringLiteral("Melvo.txt"));
        const QString dump = folder.filePath(QStringLiteral("Melvo.dmp"));
        const CrashRun run = RunCrash(folder.path(), QString::fromLatin1(c.mode));
        EXPECT_TRUE(run.bCrashed);
        EXPECT_EQ(run.nSignal, c.nSignal);
        EXPECT_TRUE(run.strError.contains(text) && run.strError.contains(dump)) << run.strError.toStdString();

        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString report = QString::fromUtf8(file.readAll());
        ASSERT_TRUE(report.endsWith(QStringLiteral("\r\n")));
        EXPECT_FALSE(QString(report).remove(QStringLiteral("\r\n")).contains(QLatin1Char('\n')));
        const QStringList lines = report.chopped(2).split(QStringLiteral("\r\n"));
        QStringList patterns{
            QStringLiteral("Time: \\d\\d:\\d\\d:\\d\\d, \\d\\d\\.\\d\\d\\.\\d{4}"),
            QStringLiteral("OS Version: %1, Special: .+").arg(QRegularExpression::escape(KernelRelease())),
            versionLine,
            QStringLiteral("SDL Version: \\d+\\.\\d+\\.\\d+, Driver: dummy"),
            QStringLiteral("RAM: [1-9]\\d* MB total, \\d+ MB available"),
            QStringLiteral("Page-File: \\d+ MB total, \\d+ MB available"),
            QStringLiteral("SPTI driver"),
        };
        if (c.errorLine)
            patterns << QString::fromLatin1(c.errorLine);
        ASSERT_EQ(lines.size(), patterns.size()) << report.toStdString();
        for (qsizetype i = 0; i < lines.size(); ++i)
            EXPECT_TRUE(
                QRegularExpression(QLatin1Char('^') + patterns[i] + QLatin1Char('$')).match(lines[i]).hasMatch())
                << lines[i].toStdString();
        // The crash path converts the time by hand; it must be this machine's local time.
        const QDateTime written = QDateTime::fromString(lines[0].mid(6), QStringLiteral("hh:mm:ss, dd.MM.yyyy"));
        EXPECT_LE(std::abs(written.secsTo(QDateTime::currentDateTime())), 120) << lines[0].toStdString();

        const QString lldb =
            RunTool(QStringLiteral("lldb"),
                    {QStringLiteral("--batch"), QStringLiteral("-O"),
                     QStringLiteral("settings set target.preload-symbols false"), QStringLiteral("--core"), dump,
                     kCrashProgram, QStringLiteral("-o"), QStringLiteral("thread list"), QStringLiteral("-o"),
                     QStringLiteral("bt"), QStringLiteral("-o"), QStringLiteral("image list")});
        const QString backtrace = lldb.mid(lldb.indexOf(QStringLiteral("(lldb) bt")));
        EXPECT_TRUE(backtrace.contains(QStringLiteral("crash_program`") + QString::fromLatin1(c.function)))
            << lldb.toStdString();
        if (c.errorLine) {
            EXPECT_TRUE(lldb.contains(QStringLiteral("stop reason = signal SIG"))) << lldb.toStdString();
        }
        EXPECT_GE(lldb.count(QRegularExpression(QStringLiteral("\\n\\*? *thread #\\d+: tid"))), c.nThreads)
            << lldb.toStdString();
        // The module list names the program with its build id.
        const QRegularExpression module(QStringLiteral("\\] ([0-9A-F-]+) +0x[0-9a-f]+ ") +
                                        QRegularExpression::escape(kCrashProgram));
        EXPECT_EQ(module.match(lldb).captured(1).remove(QLatin1Char('-')).toLower(), buildId) << lldb.toStdString();
    }
}

TEST(CrashProcess, APlantedLinkIsNotFollowedAndTheReportsAreTheUsersOnly) {
    QTemporaryDir folder;
    const QString victim = folder.filePath(QStringLiteral("victim"));
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("mine");
    file.close();
    for (const char *name : {"Melvo.txt", "Melvo.dmp"})
        ASSERT_TRUE(QFile::link(victim, folder.filePath(QString::fromLatin1(name))));

    const CrashRun run = RunCrash(folder.path(), QStringLiteral("null"));
    EXPECT_TRUE(run.bCrashed);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("mine"));
    for (const char *name : {"Melvo.txt", "Melvo.dmp"}) {
        struct stat info {};
        ASSERT_EQ(lstat(folder.filePath(QString::fromLatin1(name)).toLocal8Bit().constData(), &info), 0) << name;
        EXPECT_TRUE(S_ISREG(info.st_mode)) << name;
        EXPECT_EQ(info.st_mode & 0777, 0600u) << name;
        EXPECT_GT(info.st_size, 0) << name;
    }
}

TEST(CrashProcess, ASecondFaultDuringTheReportEndsTheProcessWithoutASecondReport) {
    QTemporaryDir folder;
    // A report program that stays open for a while, as a user reading the dialog would; it notes each
    // start with its process id, and the second thread faults once the first report is open.
    const QString log = folder.filePath(QStringLiteral("reports.log"));
    const QString program = folder.filePath(QStringLiteral("report.sh"));
    QFile script(program);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"$$ $*\" >> '%1'\nexec sleep 20\n").arg(log).toLocal8Bit());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const CrashRun run = RunCrash(folder.path(), QStringLiteral("second-fault"), program, log);
    EXPECT_TRUE(run.bCrashed);
    EXPECT_EQ(run.nSignal, SIGSEGV);
    EXPECT_LT(run.ms, 15000) << "the process waited for the report after the second fault";
    QFile reports(log);
    ASSERT_TRUE(reports.open(QIODevice::ReadOnly));
    const QList<QByteArray> starts = reports.readAll().trimmed().split('\n');
    ASSERT_EQ(starts.size(), 1);
    const QList<QByteArray> words = starts[0].split(' ');
    ASSERT_GE(words.size(), 3);
    EXPECT_EQ(words[1], "--crash-report");
    EXPECT_EQ(words[2], QFile::encodeName(folder.filePath(QStringLiteral("Melvo.txt"))));
    ::kill(words[0].toInt(), SIGTERM); // the orphaned report program
}

TEST(CrashProcess, TheReportOptionTakesBothPathsEvenWhenOneIsEmpty) {
    const CommandLineInfo info = ParseCommandLine({"--crash-report", "/tmp/Melvo.txt", ""}, QStringLiteral("/"));
    EXPECT_TRUE(info.bCrashReport);
    EXPECT_EQ(info.strReportText, QStringLiteral("/tmp/Melvo.txt"));
    EXPECT_TRUE(info.strReportDump.isEmpty());
    EXPECT_TRUE(info.files.isEmpty());
    EXPECT_FALSE(ParseCommandLine({"--crash-report", "/tmp/Melvo.txt"}, QStringLiteral("/")).strError.isEmpty());
}
