// SIGTERM, SIGINT and SIGHUP close the main window the normal way, so nothing is left half-saved.
#pragma once

class QWidget;

// Routes the three signals to window->close() on the GUI thread. Call once, after the window exists.
bool InstallTerminationHandler(QWidget *window);
