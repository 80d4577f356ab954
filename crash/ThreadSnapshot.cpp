// Each thread records its own registers from its signal frame: no ptrace, no helper process.
#include "ThreadSnapshot.h"

#include "SafeIo.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace crash {
namespace {

constexpr int kMaxThreads = 512;
constexpr int kAnswerMs = 1000;        // how long the crashed thread waits for the others
constexpr int kLongestPauseMs = 60000; // a stopped thread goes on by itself after this

enum : int { kFree, kAsked, kStoring, kStored };

ThreadRegisters g_registers[kMaxThreads];
const ThreadRegisters *g_answered[kMaxThreads];
int g_answeredCount = 0;
std::atomic<int> g_state[kMaxThreads];
int g_count = 0;
std::atomic<bool> g_collecting{false};
std::atomic<bool> g_released{true};
int g_signal = 0;
struct sigaction g_oldAction;

void SleepMs(long ms) {
    timespec pause{0, ms * 1000000L};
    ::nanosleep(&pause, nullptr);
}

void OnSnapshot(int, siginfo_t *, void *frame) {
    if (!g_collecting.load(std::memory_order_acquire))
        return;
    const int savedErrno = errno;
    const pid_t self = CurrentThreadId();
    for (int i = 0; i < g_count; ++i) {
        if (g_registers[i].tid != self)
            continue;
        int expected = kAsked;
        if (!g_state[i].compare_exchange_strong(expected, kStoring))
            break;
        const auto *context = static_cast<const ucontext_t *>(frame);
        memcpy(&g_registers[i].context, context, sizeof(ucontext_t));
        if (context->uc_mcontext.fpregs)
            memcpy(g_registers[i].fpState, context->uc_mcontext.fpregs, sizeof g_registers[i].fpState);
        g_state[i].store(kStored, std::memory_order_release);
        for (int waited = 0; !g_released.load(std::memory_order_acquire) && waited < kLongestPauseMs; ++waited)
            SleepMs(1);
        break;
    }
    errno = savedErrno;
}

// The ids of the process's threads from /proc/self/task, read with getdents64 (opendir allocates).
int ListThreads(pid_t *tids, int max) {
    const int fd = ::open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    alignas(8) static char buffer[16384];
    int count = 0;
    for (;;) {
        const long n = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (long offset = 0; offset < n;) {
            const char *entry = buffer + offset;
            unsigned short length;
            memcpy(&length, entry + 16, sizeof length);
            const char *name = entry + 19;
            pid_t tid = 0;
            bool number = *name != '\0';
            for (const char *p = name; *p; ++p) {
                if (*p < '0' || *p > '9') {
                    number = false;
                    break;
                }
                tid = tid * 10 + (*p - '0');
            }
            if (number && count < max)
                tids[count++] = tid;
            offset += length;
        }
    }
    ::close(fd);
    return count;
}

} // namespace

bool InstallThreadSnapshot() {
    if (g_signal != 0)
        return true;
    // A real-time signal nobody else in the program uses, so ordinary signal handling is untouched.
    const int signo = SIGRTMIN + 7;
    struct sigaction action {};
    action.sa_sigaction = OnSnapshot;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigfillset(&action.sa_mask);
    if (::sigaction(signo, &action, &g_oldAction) != 0)
        return false;
    g_signal = signo;
    return true;
}

void RemoveThreadSnapshot() {
    if (g_signal == 0)
        return;
    ::sigaction(g_signal, &g_oldAction, nullptr);
    g_signal = 0;
}

int SuspendOtherThreads() {
    g_answeredCount = 0;
    if (g_signal == 0)
        return 0;
    static pid_t tids[kMaxThreads];
    const int listed = ListThreads(tids, kMaxThreads);
    const pid_t self = CurrentThreadId();
    const pid_t process = ::getpid();
    g_count = 0;
    for (int i = 0; i < listed; ++i) {
        if (tids[i] == self)
            continue;
        g_registers[g_count].tid = tids[i];
        g_state[g_count].store(kAsked);
        ++g_count;
    }
    g_released.store(false);
    g_collecting.store(true, std::memory_order_release);
    for (int i = 0; i < g_count; ++i) {
        if (::syscall(SYS_tgkill, process, g_registers[i].tid, g_signal) != 0)
            g_state[i].store(kFree); // ended meanwhile
    }
    for (int waited = 0; waited < kAnswerMs; ++waited) {
        bool all = true;
        for (int i = 0; i < g_count && all; ++i) {
            const int state = g_state[i].load(std::memory_order_acquire);
            all = state != kAsked && state != kStoring;
        }
        if (all)
            break;
        SleepMs(1);
    }
    for (int i = 0; i < g_count; ++i) {
        if (g_state[i].load(std::memory_order_acquire) == kStored)
            g_answered[g_answeredCount++] = &g_registers[i];
    }
    return g_answeredCount;
}

const ThreadRegisters &SuspendedThread(int index) {
    return *g_answered[index];
}

void ResumeOtherThreads() {
    g_collecting.store(false);
    g_released.store(true, std::memory_order_release);
}

} // namespace crash
