// The worker of a freedb request: dial, query, let the user choose, read, write the cache, report.
#include "CFreedbRequest.h"
#include "Connection.h"
#include "FreedbRequest.h"
#include "HttpConnection.h"
#include "TitleFile.h"

#include "Messages.h"
#include "Settings.h"
#include "cdda/CDDA.h"

#include <QApplication>
#include <QInputDialog>
#include <QThread>
#include <QUrl>

#include <list>
#include <thread>
#include <unordered_set>
#include <vector>

namespace {

std::mutex g_receiverLock;
std::unordered_set<const FreedbReceiver *> g_receivers;

std::mutex g_serverLock;
FreedbServer g_defaultServer;

struct RequestControl {
    std::atomic<bool> bCancel{false};
    ManualResetEvent cancelled;
    ManualResetEvent ended;
};

std::list<std::shared_ptr<RequestControl>> g_requests; // GUI thread only

// Posts a call to a receiver that still lives; a receiver's destructor takes the same lock.
template <class F> bool Post(const FreedbReceiver *receiver, QObject *object, F &&call) {
    std::lock_guard lock(g_receiverLock);
    if (!receiver || !object || !g_receivers.count(receiver))
        return false;
    QMetaObject::invokeMethod(object, std::forward<F>(call), Qt::QueuedConnection);
    return true;
}

struct FreedbJob {
    uint8_t nMode = FREEDB_QUERY;
    uint8_t nDrive = CDDA_NO_DRIVE;
    uint32_t dwDiscID = 0;
    CFreedbTarget *pTarget = nullptr;
    QObject *pTargetObject = nullptr;
    CFreedbRequest *pDialog = nullptr;
    std::shared_ptr<RequestControl> control;

    void Progress(const QString &text) const {
        CFreedbRequest *dialog = pDialog;
        Post(dialog, dialog, [dialog, text] { dialog->AddProgress(text); });
    }
    void Progress(unsigned id) const { Progress(LoadStringRes(id)); }
    // WM_FREEDB_ANSWER: the lines go to the log; with the target the request has ended well.
    void Answer(const ResponseLines &lines, bool bWithTarget) const {
        QStringList text;
        for (const QByteArray &line : lines)
            text << DecodeLine(line);
        CFreedbRequest *dialog = pDialog;
        Post(dialog, dialog, [dialog, text, bWithTarget] { dialog->AddAnswer(text, bWithTarget); });
    }
    void NewTitles() const {
        std::vector<char> path(GetDriveInfo(nDrive, nullptr, nullptr, 0) + 1);
        GetDriveInfo(nDrive, nullptr, path.data(), path.size());
        const QString drive = QString::fromUtf8(path.data());
        CFreedbTarget *target = pTarget;
        Post(target, pTargetObject, [target, drive] { target->OnFreedbNewTitles(drive); });
    }
    // WM_FREEDB_MATCHES: sent and waited for; a program exit ends the wait.
    QString ChooseMatch(const ResponseLines &matches) const {
        QStringList lines;
        for (const QByteArray &line : matches)
            lines << DecodeLine(line);
        auto choice = std::make_shared<MatchChoice>();
        CFreedbTarget *target = pTarget;
        if (!Post(target, pTargetObject, [target, lines, choice] { target->OnFreedbMatches(lines, choice); }))
            return QString();
        if (WaitForAny({&choice->done, &control->cancelled}) != 0)
            return QString();
        std::lock_guard lock(choice->lock);
        return choice->strReadArg;
    }
};

// ReportServerCode: the progress text of a status code; true when it counts as a failure.
bool ReportServerCode(int nCode, const FreedbJob &job) {
    if (const unsigned id = ServerCodeMessage(nCode))
        job.Progress(id);
    return !ServerCodeSucceeded(nCode);
}

// Builds "path?cmd=command&hello" and reads the whole body into lines.
bool SendFreedbCommand(HttpConnection &http, const QByteArray &command, const QString &path, const QString &email,
                       int *pCode, ResponseLines *pLines, HttpError *pError) {
    const QByteArray object = path.toUtf8() + "?cmd=" + command + '&' + BuildHello(email);
    QByteArray body;
    if (!http.Get(object, &body, pError))
        return false;
    *pLines = SplitResponse(body);
    *pCode = ResponseCode(*pLines);
    return true;
}

int FreedbWorker(std::unique_ptr<FreedbJob> job) {
    const RequestControl &control = *job->control;
    if (job->nMode == FREEDB_QUERY) {
        // A disc that the cache or the local database knows asks no server.
        if (job->dwDiscID == 0)
            job->dwDiscID = GetDiscID(job->nDrive);
        uint32_t lines = 0;
        if (FILE *known = OpenTitleFile(job->dwDiscID, &lines)) {
            job->Progress(22);
            ReplaceTitleFile(job->nDrive, known, lines);
            job->NewTitles();
            job->Answer({}, true);
            job->Progress(23);
            return 1;
        }
    }
    // 1. Online first; the request goes on whatever the dial gives.
    job->Progress(18);
    DialConnection(&control.bCancel);
    // 2. The server: the default one for the server list, else the chosen one.
    job->Progress(20);
    FreedbServer server = DefaultFreedbServer();
    if (job->nMode == FREEDB_QUERY) {
        const QString section = QStringLiteral("FREEDB");
        server.strHost = GetSettingString(section, QStringLiteral("CurrentServer"), server.strHost);
        server.nPort = GetSettingInt(section, QStringLiteral("CurrentPort"), server.nPort);
        server.strPath = GetSettingString(section, QStringLiteral("CurrentPath"), server.strPath);
    }
    const QString email = GetSettingString(QStringLiteral("FREEDB"), QStringLiteral("E-Mail"), QString());
    HttpConnection http(server.strHost, server.nPort, &control.bCancel);

    ResponseLines last;
    int code = 0;
    HttpError error;
    bool bFailed = false; // the request's error flag
    auto send = [&](const QByteArray &command) {
        return SendFreedbCommand(http, command, server.strPath, email, &code, &last, &error);
    };
    auto wininetFailure = [&] {
        if (!control.bCancel)
            HangUpConnection(true);
        job->Progress(QCoreApplication::translate("CFreedbRequest", "WinInet Error #%1:\n%2")
                          .arg(error.nCode)
                          .arg(error.strText));
        CFreedbRequest *dialog = job->pDialog;
        Post(dialog, dialog, [dialog] { dialog->AddAnswer(QStringList(), false); });
        return 0;
    };

    if (job->nMode == FREEDB_SITES) {
        if (!send("sites"))
            return wininetFailure();
        bFailed = ReportServerCode(code, *job);
    } else {
        if (!send(BuildQueryCommand(job->nDrive, job->dwDiscID)))
            return wininetFailure();
        QByteArray readCommand;
        if (code == 200) {
            QString readArg;
            const QString category = ParseMatchLine(DecodeLine(last.first().mid(4)), nullptr, &readArg, nullptr);
            readCommand =
                "cddb+read+" + category.toUtf8() + '+' + QByteArray::number(job->dwDiscID, 16).rightJustified(8, '0');
        } else if (code == 210 || code == 211) {
            ResponseLines matches = last.mid(1);
            const QString chosen = job->ChooseMatch(matches);
            if (!chosen.isEmpty())
                readCommand = "cddb+read+" + chosen.toUtf8();
        } else {
            bFailed = ReportServerCode(code, *job);
        }
        if (!readCommand.isEmpty()) {
            job->Answer(last, false);
            job->Progress(21);
            if (!send(readCommand))
                return wininetFailure();
            if (code == 210) {
                job->Progress(22);
                FILE *file = WriteCacheFile(job->dwDiscID, last);
                if (file)
                    ReplaceTitleFile(job->nDrive, file, 0);
                job->NewTitles();
            } else {
                bFailed = ReportServerCode(code, *job);
            }
        }
    }
    // 9.-10. Hang up when the settings say so, hand the last answer over and end.
    if (!control.bCancel)
        HangUpConnection(true);
    job->Answer(last, !bFailed);
    job->Progress(23);
    return 1;
}

} // namespace

bool LookUpDiscTitles(uint8_t nDrive, QString *pNote) {
    pNote->clear();
    uint32_t id = GetDiscID(nDrive);
    if (id == 0) {
        *pNote = LoadStringRes(61280);
        return false;
    }
    uint32_t lines = 0;
    if (FILE *known = OpenTitleFile(id, &lines)) {
        ReplaceTitleFile(nDrive, known, lines);
        return true;
    }
    const QString email = GetSettingString(QStringLiteral("FREEDB"), QStringLiteral("E-Mail"), QString());
    if (email.trimmed().isEmpty()) {
        *pNote = QStringLiteral("no freedb server asked: the server wants an e-mail address (FREEDB/E-Mail)");
        return false;
    }
    DialConnection(nullptr);
    const FreedbServer defaults = DefaultFreedbServer();
    const QString section = QStringLiteral("FREEDB");
    const QString host = GetSettingString(section, QStringLiteral("CurrentServer"), defaults.strHost);
    const QString path = GetSettingString(section, QStringLiteral("CurrentPath"), defaults.strPath);
    HttpConnection http(host, GetSettingInt(section, QStringLiteral("CurrentPort"), defaults.nPort), nullptr);
    ResponseLines answer;
    int code = 0;
    HttpError error;
    auto failed = [&](bool bSent) {
        HangUpConnection(true);
        if (!bSent)
            *pNote = QStringLiteral("WinInet Error #%1:\n%2").arg(error.nCode).arg(error.strText);
        else if (const unsigned message = ServerCodeMessage(code))
            *pNote = LoadStringRes(message);
        else
            *pNote = answer.isEmpty() ? QStringLiteral("the server sent no answer") : DecodeLine(answer.first());
        return false;
    };
    if (!SendFreedbCommand(http, BuildQueryCommand(nDrive, id), path, email, &code, &answer, &error))
        return failed(false);
    QByteArray readArg;
    if (code == 200) {
        readArg = ParseMatchLine(DecodeLine(answer.first().mid(4)), nullptr, nullptr, nullptr).toUtf8() + '+' +
                  QByteArray::number(id, 16).rightJustified(8, '0');
    } else if ((code == 210 || code == 211) && answer.size() > 1 && answer[1] != ".") {
        QString arg, title;
        ParseMatchLine(DecodeLine(answer[1]), nullptr, &arg, &title);
        readArg = arg.toUtf8();
        *pNote = QStringLiteral("%1 matches; took the first:%2").arg(answer.size() - 1 - answer.count(".")).arg(title);
    } else {
        return failed(true);
    }
    const QString choiceNote = *pNote;
    if (!SendFreedbCommand(http, "cddb+read+" + readArg, path, email, &code, &answer, &error))
        return failed(false);
    if (code != 210)
        return failed(true);
    HangUpConnection(true);
    if (FILE *file = WriteCacheFile(id, answer))
        ReplaceTitleFile(nDrive, file, 0);
    *pNote = choiceNote;
    return GetFile(nDrive, nullptr) != nullptr;
}

FreedbReceiver::FreedbReceiver() {
    std::lock_guard lock(g_receiverLock);
    g_receivers.insert(this);
}

FreedbReceiver::~FreedbReceiver() {
    std::lock_guard lock(g_receiverLock);
    g_receivers.erase(this);
}

void MatchChoice::Complete(const QString &readArg) {
    {
        std::lock_guard guard(lock);
        if (done.IsSet())
            return;
        strReadArg = readArg;
    }
    done.Set();
}

FreedbServer DefaultFreedbServer() {
    std::lock_guard lock(g_serverLock);
    return g_defaultServer;
}

void SetDefaultFreedbServer(const FreedbServer &server) {
    std::lock_guard lock(g_serverLock);
    g_defaultServer = server;
}

bool EnsureFreedbEmail(QWidget *parent) {
    const QString section = QStringLiteral("FREEDB");
    if (!GetSettingString(section, QStringLiteral("E-Mail"), QString()).trimmed().isEmpty())
        return true;
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("FreedbEmail"));
    dialog.setWindowTitle(LoadStringRes(242));
    dialog.setLabelText(LoadStringRes(62100));
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QString email = dialog.textValue().trimmed();
    return !email.isEmpty() && WriteSettingString(section, QStringLiteral("E-Mail"), email);
}

int StartFreedbRequest(uint8_t nMode, uint8_t nDrive, uint32_t dwDiscID, CFreedbTarget *target) {
    QObject *targetObject = dynamic_cast<QObject *>(target);
    if (!EnsureFreedbEmail(qobject_cast<QWidget *>(targetObject)))
        return 0;
    g_requests.remove_if([](const std::shared_ptr<RequestControl> &c) { return c->ended.IsSet(); });
    auto job = std::make_unique<FreedbJob>();
    job->nMode = nMode;
    job->nDrive = nDrive;
    job->dwDiscID = dwDiscID;
    job->pTarget = target;
    job->pTargetObject = targetObject;
    job->pDialog = new CFreedbRequest(targetObject, target);
    job->control = std::make_shared<RequestControl>();
    g_requests.push_back(job->control);
    std::thread([job = std::move(job)]() mutable {
        const std::shared_ptr<RequestControl> control = job->control;
        {
            SignalStack stack; // a server's answer is parsed here
            FreedbWorker(std::move(job));
        }
        control->ended.Set();
    }).detach();
    return 1;
}

void StopFreedbRequests(std::chrono::milliseconds timeout) {
    for (const auto &control : g_requests) {
        control->bCancel = true;
        control->cancelled.Set();
    }
    // A worker may wait for a message box on this thread: calls keep being handed on meanwhile.
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (FreedbRequestsRunning() && std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    g_requests.remove_if([](const std::shared_ptr<RequestControl> &c) { return c->ended.IsSet(); });
}

bool FreedbRequestsRunning() {
    for (const auto &control : g_requests)
        if (!control->ended.IsSet())
            return true;
    return false;
}
