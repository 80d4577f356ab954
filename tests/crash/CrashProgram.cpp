// Crashes the way its first argument says, with Melvo's crash handler installed; the second argument
// names the report program. Modes: null, abort, exception, overflow (on the main
// thread or a worker), thread, and second-fault, whose second
// thread faults once the file named by the third argument exists (the report program has started).
#include "CrashHandler.h"
#include "platform/Events.h"

#include <SDL.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>

// Read through a volatile, so the compiler cannot see the null pointer and drop the access.
int *volatile g_nowhere = nullptr;

// The sanitizers would stop at the null pointer before the handler could see the fault.
__attribute__((noinline, no_sanitize("undefined"))) void CrashByNullPointer() {
    *g_nowhere = 42;
}

__attribute__((noinline)) void CallAbort() {
    std::abort();
}

__attribute__((noinline)) void ThrowUncaught() {
    throw std::runtime_error("nobody catches this");
}

__attribute__((noinline, no_sanitize("undefined"))) void CrashOnSecondThread() {
    g_nowhere[4] = 42; // address 0x10
}

int g_depthLimit = INT32_MAX; // never reached; the compiler must not see an endless recursion

__attribute__((noinline)) int RecurseForever(int depth) {
    volatile char frame[512];
    frame[depth % 512] = static_cast<char>(depth);
    return depth < g_depthLimit ? RecurseForever(depth + 1) + frame[0] : 0;
}

void SleepMs(int ms) {
    // The crash handler's signals interrupt a sleep; sleep on until the time has passed.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

int main(int argc, char **argv) {
    if (argc < 2)
        return 2;
    // The sound library's driver shows in the report.
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    InstallCrashHandler(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString());
    const char *mode = argv[1];
    if (!strcmp(mode, "null")) {
        CrashByNullPointer();
    } else if (!strcmp(mode, "abort")) {
        CallAbort();
    } else if (!strcmp(mode, "exception")) {
        ThrowUncaught();
    } else if (!strcmp(mode, "overflow")) {
        RecurseForever(0);
    } else if (!strcmp(mode, "worker-overflow")) {
        WorkerThread worker;
        worker.Start([] { RecurseForever(0); });
        worker.Join(std::chrono::milliseconds(60000));
    } else if (!strcmp(mode, "thread")) {
        std::thread worker(CrashOnSecondThread);
        worker.join();
    } else if (!strcmp(mode, "second-fault")) {
        // The second thread faults while the first one's report is still open.
        const std::string started = argc > 3 ? argv[3] : "";
        std::thread late([started] {
            for (int i = 0; i < 1000 && access(started.c_str(), F_OK) != 0; ++i)
                SleepMs(10);
            CrashOnSecondThread();
        });
        CrashByNullPointer();
        late.join();
    }
    return 1;
}
