// Stops the other threads of the crashed process long enough to record their registers for the dump.
#pragma once

#include <sys/types.h>
#include <ucontext.h>

namespace crash {

struct ThreadRegisters {
    pid_t tid;
    ucontext_t context;
    // The floating-point state the context points at lives in the thread's signal frame; a copy.
    alignas(16) unsigned char fpState[512];
};

// Installs and removes the handler of the signal that stops a thread.
bool InstallThreadSnapshot();
void RemoveThreadSnapshot();

// Signals every thread but the caller and waits a short while for each to store its registers; the
// threads then wait in their handler until ResumeOtherThreads. Returns how many answered; a thread
// that blocks the signal is missing. Async-signal-safe.
int SuspendOtherThreads();
// One of the threads that answered, index below SuspendOtherThreads' count.
const ThreadRegisters &SuspendedThread(int index);
void ResumeOtherThreads();

} // namespace crash
