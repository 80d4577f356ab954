// The text report: the machine, the program and the fault in eight CR LF lines.
#pragma once

#include "CrashInfo.h"

#include <QString>

#include <cstddef>

namespace crash {

// Gathers what the report says about the machine and the program while allocation is still allowed:
// the system and distribution, the program file's time and size, the sound library, the CD driver.
void PrepareTextReport(const QString &programPath);

// Writes the report; without exception information (info null or no signal) the error line is left
// out. Async-signal-safe once PrepareTextReport has run. True when the whole file was written.
bool WriteTextReport(const CrashInfo *info, const char *path);

// The same text into a buffer; returns its length.
size_t FormatTextReport(const CrashInfo *info, char *buffer, size_t capacity);

} // namespace crash
