// Going online before a freedb request and offline after it, over NetworkManager: its connection
// profiles are the dial-up entries, its primary connection the system's own way online.
#pragma once

#include <QStringList>

#include <atomic>

// Binds to NetworkManager on the system bus; where it does not run everything stays unbound, without
// a message. Called once when the main view is set up; Free at its end.
void LoadConnectionLibraries();
void FreeConnectionLibraries();

// What the options page may offer.
bool IsProfileDialBound(); // dialling a chosen profile ("Using RAS")
bool IsAutodialBound();    // the system's own connection

// The names of the connection profiles; false when they can't be listed.
bool EnumConnectionEntries(QStringList *pNames);

// FREEDB/Conn-Dial 0: nothing to do; 1: activate the profile FREEDB/RAS-Connection; 2: make sure the
// system is online. 1 when online, 0 when not. A set cancel flag ends a wait.
int DialConnection(const std::atomic<bool> *pCancel = nullptr);
// By FREEDB/Conn-Hangup: after a request (bAfterRequest) or at exit. Only what this program
// brought up is taken down. 1 when it hung up.
int HangUpConnection(bool bAfterRequest);
