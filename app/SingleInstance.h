// One Melvo per user: the first start listens on a local socket, later starts hand their files to it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;

// One request of a second start: bring the window to the front, or add (and play) a file.
struct HandOverRequest {
    enum Action : quint8 { Open = 0, Play = 1, Activate = 2 };
    Action nAction = Activate;
    QString strPath; // full, never cut; empty for Activate
    bool operator==(const HandOverRequest &) const = default;
};

// A message is the byte count, then the requests; the receiver answers one byte once it took them.
QByteArray EncodeHandOver(const QList<HandOverRequest> &requests);
// Decodes a complete message; nullopt for a malformed one.
std::optional<QList<HandOverRequest>> DecodeHandOver(const QByteArray &message);
// Bytes of a message whose beginning is in buffer, 0 while unknown, -1 when it can never be valid.
qint64 HandOverMessageSize(const QByteArray &buffer);

class CSingleInstance : public QObject {
public:
    enum Result { First, HandedOver, Failed };

    // Named after the main window's class and the user, in the user's runtime folder.
    static QString ServerName();

    explicit CSingleInstance(QObject *parent = nullptr);
    ~CSingleInstance() override;

    // Becomes the first instance (then listens) or gives the requests to the running one. Gives up
    // after the time-out when a running instance neither answers nor ends.
    Result Claim(const QList<HandOverRequest> &requests, std::chrono::milliseconds timeout);

    // Called on the GUI thread for every request a later start sends, in order.
    void SetReceiver(std::function<void(const HandOverRequest &)> receiver) { m_receiver = std::move(receiver); }

private:
    bool Listen();
    void OnConnection();
    void OnReadable(QLocalSocket *socket);

    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    std::function<void(const HandOverRequest &)> m_receiver;
};
