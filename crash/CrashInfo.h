// What the crash path knows about one fault.
#pragma once

#include <cstdint>
#include <sys/types.h>
#include <ucontext.h>

namespace crash {

struct CrashInfo {
    int nSignal = 0;                     // 0: no exception information (an uncaught C++ exception)
    int nCode = 0;                       // the signal's si_code
    uint64_t address = 0;                // the faulting address
    pid_t tid = 0;                       // the faulting thread
    const ucontext_t *context = nullptr; // its registers at the fault
};

} // namespace crash
