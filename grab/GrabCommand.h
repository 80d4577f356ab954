// "melvo --grab": grabbing CD tracks without a window, through the same engine, encoders and settings.
#pragma once

#include <QStringList>

// The arguments after --grab. Progress goes to standard error, the written paths to standard output.
// Returns 0 when every track was written, 1 when a grab failed, 2 for a mistake in the arguments.
int RunGrabCommand(const QStringList &arguments);
