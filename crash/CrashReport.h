// The report process a crashed Melvo starts: `melvo --crash-report TEXT DUMP`.
#pragma once

#include <QString>

// Shows the report dialog for the files (an empty path: not written) and deletes both files afterwards.
// Without a display the files' paths go to standard error and the files stay. Returns the exit code.
int RunCrashReport(int &argc, char **argv, const QString &textPath, const QString &dumpPath);

// The dialog part, for a running application: shows it modally, then deletes both files.
void ShowCrashReport(const QString &textPath, const QString &dumpPath);
