// The crashed process only writes files and starts the report program: it draws no window.
#include "CrashHandler.h"

#include "MiniDump.h"
#include "SafeIo.h"
#include "TextReport.h"
#include "ThreadSnapshot.h"

#include <QDir>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <exception>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];
constexpr size_t kAltStackSize = 128 * 1024;

// Set by the first fault and never cleared: a second one, on any thread, ends the process.
std::atomic<bool> g_bCrashed{false};
bool g_bInstalled = false;
struct sigaction g_oldActions[kSignalCount];
std::terminate_handler g_oldTerminate = nullptr;
void *g_altStack = nullptr;
stack_t g_oldAltStack;

char g_textPath[4096];
char g_dumpPath[4096];
char g_program[4096];

void Keep(char *to, size_t capacity, const QByteArray &text) {
    crash::SafeText(to, capacity).Str(text.constData(), static_cast<size_t>(text.size()));
}

void PrintReportPaths(bool bText, bool bDump) {
    crash::PrintError("Melvo has crashed. The error report:\n");
    if (bText)
        crash::PrintError(g_textPath), crash::PrintError("\n");
    if (bDump)
        crash::PrintError(g_dumpPath), crash::PrintError("\n");
}

// Starts the report program and waits for it. The child only resets its signal mask and executes,
// so a plain clone is enough (fork would run other libraries' fork handlers).
void ShowReport(bool bText, bool bDump) {
    char option[] = "--crash-report";
    char empty[] = "";
    char name[] = "melvo";
    char *argv[] = {name, option, bText ? g_textPath : empty, bDump ? g_dumpPath : empty, nullptr};
    const long pid = ::syscall(SYS_clone, SIGCHLD, 0, 0, 0, 0);
    if (pid == 0) {
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execve(g_program, argv, environ);
        ::_exit(127);
    }
    if (pid < 0) {
        PrintReportPaths(bText, bDump);
        return;
    }
    int status = 0;
    pid_t done;
    do
        done = ::waitpid(static_cast<pid_t>(pid), &status, 0);
    while (done < 0 && errno == EINTR);
    // A report program that could not start or show its dialog leaves the files: say where they are.
    if (done == pid && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        PrintReportPaths(bText, bDump);
}

uint64_t InstructionPointer(const ucontext_t *context) {
#if defined(__x86_64__)
    return static_cast<uint64_t>(context->uc_mcontext.gregs[REG_RIP]);
#else
    (void)context;
    return 0;
#endif
}

// The signal's default action, so whoever waits for the process sees how it died. The signal is
// blocked inside its handler; sent again it arrives on return, and a fault would repeat anyway.
void EndWithSignal(int signo) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signo, &action, nullptr);
    ::syscall(SYS_tgkill, ::getpid(), crash::CurrentThreadId(), signo);
}

void OnFatalSignal(int signo, siginfo_t *info, void *frame) {
    const int savedErrno = errno;
    crash::CrashInfo crash;
    crash.nSignal = signo;
    crash.nCode = info->si_code;
    crash.tid = crash::CurrentThreadId();
    crash.context = static_cast<const ucontext_t *>(frame);
    // A signal sent by a process (abort, kill) has no faulting address; the instruction stands in.
    crash.address = info->si_code > 0 && signo != SIGABRT ? reinterpret_cast<uint64_t>(info->si_addr)
                                                          : InstructionPointer(crash.context);
    CrashFilter(crash);
    EndWithSignal(signo);
    errno = savedErrno;
}

[[noreturn]] void OnTerminate() {
    static ucontext_t context;
    ::getcontext(&context);
    crash::CrashInfo crash;
    crash.tid = crash::CurrentThreadId();
    crash.context = &context;
    CrashFilter(crash);
    // abort's SIGABRT finds the crash flag set and ends the process at once.
    std::abort();
}

} // namespace

QString CrashTextPath() {
    return QDir::tempPath() + QStringLiteral("/Melvo.txt");
}

QString CrashDumpPath() {
    return QDir::tempPath() + QStringLiteral("/Melvo.dmp");
}

bool CrashFilter(const crash::CrashInfo &info) {
    if (g_bCrashed.exchange(true))
        return false;
    const bool bText = crash::WriteTextReport(&info, g_textPath);
    const bool bDump = crash::WriteMiniDump(g_dumpPath, &info);
    // A half-written file is no report; the report program deletes the others after the dialog.
    if (!bText)
        ::unlink(g_textPath);
    if (!bDump)
        ::unlink(g_dumpPath);
    ShowReport(bText, bDump);
    return true;
}

bool InstallCrashHandler(const QString &reportProgram) {
    if (g_bInstalled)
        return true;
    Keep(g_textPath, sizeof g_textPath, QFile::encodeName(CrashTextPath()));
    Keep(g_dumpPath, sizeof g_dumpPath, QFile::encodeName(CrashDumpPath()));
    // /proc/self/exe still starts this program after an update has replaced its file.
    Keep(g_program, sizeof g_program,
         reportProgram.isEmpty() ? QByteArray("/proc/self/exe") : QFile::encodeName(reportProgram));
    crash::PrepareTextReport(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")));
    crash::PrepareMiniDump();
    crash::InstallThreadSnapshot();

    // The handler must run even when the fault is an exhausted stack.
    g_altStack = ::mmap(nullptr, kAltStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (g_altStack == MAP_FAILED) {
        g_altStack = nullptr;
    } else {
        stack_t stack{};
        stack.ss_sp = g_altStack;
        stack.ss_size = kAltStackSize;
        ::sigaltstack(&stack, &g_oldAltStack);
    }
    for (int i = 0; i < kSignalCount; ++i) {
        struct sigaction action {};
        action.sa_sigaction = OnFatalSignal;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        ::sigaction(kSignals[i], &action, &g_oldActions[i]);
    }
    g_oldTerminate = std::set_terminate(OnTerminate);
    g_bInstalled = true;
    return true;
}

void RemoveCrashHandler() {
    if (!g_bInstalled)
        return;
    std::set_terminate(g_oldTerminate);
    for (int i = 0; i < kSignalCount; ++i)
        ::sigaction(kSignals[i], &g_oldActions[i], nullptr);
    if (g_altStack) {
        ::sigaltstack(&g_oldAltStack, nullptr);
        ::munmap(g_altStack, kAltStackSize);
        g_altStack = nullptr;
    }
    crash::RemoveThreadSnapshot();
    g_bInstalled = false;
}
