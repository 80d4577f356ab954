// A freedb request: started on the GUI thread, run by a worker thread that reports to its windows.
#pragma once

#include "Xmcd.h"
#include "platform/Events.h"

#include <QStringList>

#include <chrono>
#include <memory>
#include <mutex>

class QObject;
class QWidget;

enum : uint8_t { FREEDB_QUERY = 0, FREEDB_SITES = 1 };

// Windows the worker reports to. A receiver that is gone gets nothing: the worker checks under a lock
// that it still lives before it posts.
class FreedbReceiver {
public:
    FreedbReceiver();
    virtual ~FreedbReceiver();
    FreedbReceiver(const FreedbReceiver &) = delete;
    FreedbReceiver &operator=(const FreedbReceiver &) = delete;
};

// The user's choice among several matches, waited for by the worker.
struct MatchChoice {
    ManualResetEvent done;
    std::mutex lock;
    QString strReadArg; // "category+discid"; empty: nothing chosen
    void Complete(const QString &readArg);
};

// What receives a request's results: the main window (matches, new titles) or the server dialog (the
// "sites" answer). All calls come on the GUI thread.
class CFreedbTarget : public FreedbReceiver {
public:
    // Several matches (status line removed): ask the user, then Complete the choice.
    virtual void OnFreedbMatches(const QStringList &lines, const std::shared_ptr<MatchChoice> &choice) {
        Q_UNUSED(lines);
        choice->Complete(QString());
    }
    // The drive (its drive string) has a new title file.
    virtual void OnFreedbNewTitles(const QString &strDrive) { Q_UNUSED(strDrive); }
    // The lines of the answer of a request that ended well.
    virtual void OnFreedbAnswer(const QStringList &lines) { Q_UNUSED(lines); }
};

// Asks for FREEDB/E-Mail when it is empty (the server refuses requests without one) and stores it.
// False when the user cancels.
bool EnsureFreedbEmail(QWidget *parent);

// Opens the progress window and starts the worker: mode FREEDB_QUERY for the disc in the drive,
// FREEDB_SITES for the server list. Returns 1 at once, 0 when the user declined to give an e-mail
// address (nothing was sent).
int StartFreedbRequest(uint8_t nMode, uint8_t nDrive, uint32_t dwDiscID, CFreedbTarget *target);

// Running requests end: their network transfers and waits are cancelled, and this waits up to the
// time-out for their threads, handing the GUI's pending calls on meanwhile.
void StopFreedbRequests(std::chrono::milliseconds timeout);
bool FreedbRequestsRunning();

// The server of a "sites" request and the defaults of FREEDB/CurrentServer, -Port and -Path.
struct FreedbServer {
    QString strHost = QStringLiteral("gnudb.gnudb.org");
    int nPort = 80;
    QString strPath = QStringLiteral("/~cddb/cddb.cgi");
};
FreedbServer DefaultFreedbServer();
// Tests point the default at their own server.
void SetDefaultFreedbServer(const FreedbServer &server);

// The same lookup without windows, for the command line: the cache and the local database, then the
// server; of several matches the first is taken. True when the drive has a title file afterwards;
// *pNote says what happened (a choice taken, why nothing was found).
bool LookUpDiscTitles(uint8_t nDrive, QString *pNote);
