// The minidump: system, exception, threads with registers and stacks, modules with build ids, memory maps.
#pragma once

#include "CrashInfo.h"

namespace crash {

// Notes what the dump needs that the crash path cannot ask for safely (the processor count).
void PrepareMiniDump();

// Writes the dump of this process. info's context holds the faulting thread's registers; with a
// signal the dump also carries the exception. The other threads are stopped while their registers
// and stacks are recorded. Async-signal-safe. True when the whole file was written.
bool WriteMiniDump(const char *path, const CrashInfo *info);

} // namespace crash
