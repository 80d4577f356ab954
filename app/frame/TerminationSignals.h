// SIGTERM, SIGINT and SIGHUP end Melvo at any moment: during start-up at once and without saving anything
// over the user's files, while the window runs by closing it the normal way, and during the exit by
// dismissing the questions that are left.
#pragma once

class QWidget;

// From the start of start-up on: a signal ends the process at once.
bool InstallStartupTermination();
// Routes the three signals to window->close() on the GUI thread. Call once the window runs.
bool InstallTerminationHandler(QWidget *window);
// The exit has begun: a signal now dismisses the open boxes, and every later message goes to standard
// error with the cautious answer.
void BeginShutdownTermination();
