// Secrets (the connection password) in the desktop's secret store, the Secret Service over D-Bus.
#pragma once

#include <QString>

// True when a Secret Service runs on the session bus (or can be started there).
bool SecretStoreAvailable();
// Stores or replaces the secret under the key in the default collection; false when the store
// refuses (absent, locked, or asking for a prompt).
bool StoreSecret(const QString &key, const QString &secret);
// The stored secret; *pFound false when there is none or it can't be read.
QString LookUpSecret(const QString &key, bool *pFound);
