// The crash handler: a fatal signal or an uncaught exception leaves a text report and a minidump in the
// temporary folder and shows the report dialog in a fresh process.
#pragma once

#include "CrashInfo.h"

#include <QString>

// Installs the handler for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT and for std::terminate. The
// calling thread gets an alternate signal stack, so its stack overflows are reported too. After a
// crash, reportProgram is started as `reportProgram --crash-report TEXT DUMP` and waited for; by
// default it is this executable. Files go to $TMPDIR (else /tmp) as Melvo.txt and Melvo.dmp.
bool InstallCrashHandler(const QString &reportProgram = QString());
// Puts back what was there before.
void RemoveCrashHandler();

// Where the report files of a crash go.
QString CrashTextPath();
QString CrashDumpPath();

// Writes both reports and shows the dialog; false, at once, when a crash is already being reported
// (the caller then ends the process). Async-signal-safe.
bool CrashFilter(const crash::CrashInfo &info);
