// Ends the event loop on SIGTERM, SIGINT and SIGHUP, so the exit routine still runs at logout.
#pragma once

// Installs the handlers; call once the application object exists.
void QuitOnSignal();
