// The single-instance lock, the local socket and the handover message.
#include "SingleInstance.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QVariant>

#include <pwd.h>
#include <unistd.h>

namespace {

constexpr quint32 kMagic = 0x4D4C564F; // "MLVO"
constexpr qint64 kMaxMessage = 64 * 1024 * 1024;
constexpr char kAck = 'A';
// A client that connects and never finishes its message is dropped.
constexpr int kClientTimeoutMs = 10000;

QString UserName() {
    if (const passwd *pw = ::getpwuid(::getuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return QString::number(::getuid());
}

} // namespace

QByteArray EncodeHandOver(const QList<HandOverRequest> &requests) {
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << kMagic << quint32(requests.size());
    for (const HandOverRequest &r : requests)
        out << quint8(r.nAction) << r.strPath.toUtf8();
    QByteArray message;
    QDataStream head(&message, QIODevice::WriteOnly);
    head << quint32(body.size());
    return message + body;
}

qint64 HandOverMessageSize(const QByteArray &buffer) {
    if (buffer.size() < 4)
        return 0;
    QDataStream in(buffer);
    quint32 size = 0;
    in >> size;
    return size > kMaxMessage ? -1 : qint64(size) + 4;
}

std::optional<QList<HandOverRequest>> DecodeHandOver(const QByteArray &message) {
    if (HandOverMessageSize(message) != message.size())
        return std::nullopt;
    QDataStream in(message.mid(4));
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, count = 0;
    in >> magic >> count;
    if (magic != kMagic || count > quint32(message.size()))
        return std::nullopt;
    QList<HandOverRequest> requests;
    for (quint32 i = 0; i < count; ++i) {
        quint8 action = 0;
        QByteArray path;
        in >> action >> path;
        if (in.status() != QDataStream::Ok || action > HandOverRequest::Activate)
            return std::nullopt;
        const auto nAction = HandOverRequest::Action(action);
        if ((nAction == HandOverRequest::Activate) != path.isEmpty())
            return std::nullopt;
        requests.append({nAction, QString::fromUtf8(path)});
    }
    if (!in.atEnd())
        return std::nullopt;
    return requests;
}

QString CSingleInstance::ServerName() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/Melvo-Class-") +
           UserName();
}

CSingleInstance::CSingleInstance(QObject *parent) : QObject(parent) {}

CSingleInstance::~CSingleInstance() {
    if (m_server)
        m_server->close();
}

CSingleInstance::Result CSingleInstance::Claim(const QList<HandOverRequest> &requests,
                                               std::chrono::milliseconds timeout) {
    const QString name = ServerName();
    // The lock decides who is first, so two starts at once cannot both listen. It holds for the whole
    // run and is stale only once its process is gone, never by age.
    m_lock = std::make_unique<QLockFile>(name + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    QDeadlineTimer deadline(timeout);
    for (;;) {
        if (m_lock->tryLock(0)) {
            // Without the socket later starts cannot find us, but this one still runs.
            Listen();
            return First;
        }
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(int(std::min<qint64>(500, deadline.remainingTime())))) {
            socket.write(EncodeHandOver(requests));
            while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(int(deadline.remainingTime())))
                ;
            // Ending before the first one took the message could lose it.
            while (socket.bytesAvailable() < 1 && socket.waitForReadyRead(int(deadline.remainingTime())))
                ;
            if (socket.read(1) == QByteArray(1, kAck))
                return HandedOver;
        }
        // The first one holds the lock but does not listen yet, or is just ending.
        if (deadline.hasExpired())
            return Failed;
        QThread::msleep(50);
    }
}

bool CSingleInstance::Listen() {
    const QString name = ServerName();
    // We hold the lock: a socket left behind is from a run that crashed.
    QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name)) {
        qWarning("Melvo: cannot listen on %s: %s", qPrintable(name), qPrintable(m_server->errorString()));
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnConnection);
    return true;
}

void CSingleInstance::OnConnection() {
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadable(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kClientTimeoutMs, socket, [socket] { socket->abort(); });
        OnReadable(socket);
    }
}

void CSingleInstance::OnReadable(QLocalSocket *socket) {
    QByteArray buffer = socket->property("melvoBuffer").toByteArray() + socket->readAll();
    const qint64 size = HandOverMessageSize(buffer);
    if (size < 0) {
        socket->abort();
        return;
    }
    if (size == 0 || buffer.size() < size) {
        socket->setProperty("melvoBuffer", buffer);
        return;
    }
    socket->setProperty("melvoBuffer", QVariant());
    const auto requests = DecodeHandOver(buffer.left(size));
    if (!requests) {
        socket->abort();
        return;
    }
    for (const HandOverRequest &r : *requests)
        if (m_receiver)
            m_receiver(r);
    socket->write(QByteArray(1, kAck));
    socket->flush();
    socket->disconnectFromServer();
}
