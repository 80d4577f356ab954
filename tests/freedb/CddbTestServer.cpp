// The test server: one thread accepts, one thread per connection talks HTTP/1.1 with keep-alive.
#include "CddbTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {

bool SendAll(int fd, const char *data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

QByteArray Header(qint64 length) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(length) + "\r\n\r\n";
}

} // namespace

CddbTestServer::CddbTestServer(Handler handler) : m_handler(std::move(handler)) {
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listen, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::listen(m_listen, 16);
    socklen_t length = sizeof address;
    ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&address), &length);
    m_nPort = ntohs(address.sin_port);
    if (::pipe(m_stop) != 0)
        m_stop[0] = m_stop[1] = -1;
    m_thread = std::thread([this] { Serve(); });
}

CddbTestServer::~CddbTestServer() {
    if (::write(m_stop[1], "x", 1) < 0) {
    }
    m_thread.join();
    for (std::thread &talk : m_talks)
        talk.join();
    ::close(m_listen);
    ::close(m_stop[0]);
    ::close(m_stop[1]);
}

QList<QByteArray> CddbTestServer::Targets() const {
    std::lock_guard lock(const_cast<std::mutex &>(m_lock));
    return m_targets;
}

void CddbTestServer::Serve() {
    for (;;) {
        pollfd fds[2] = {{m_listen, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN))
            return;
        const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0)
            m_talks.emplace_back([this, fd] { Talk(fd); });
    }
}

void CddbTestServer::Talk(int fd) {
    QByteArray pending;
    char buffer[4096];
    for (;;) {
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0) {
            pollfd fds[2] = {{fd, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN))
                break;
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            pending.append(buffer, n);
            continue;
        }
        const QByteArray request = pending.left(end);
        pending.remove(0, end + 4);
        const QByteArray target = request.split(' ').value(1);
        {
            std::lock_guard lock(m_lock);
            m_targets.append(target);
        }
        const QByteArray query = target.mid(target.indexOf('?') + 1);
        QByteArray cmd;
        for (const QByteArray &pair : query.split('&'))
            if (pair.startsWith("cmd="))
                cmd = pair.mid(4);
        const Reply reply = m_handler(cmd, target);
        bool bGoOn = true;
        switch (reply.kind) {
        case Answer: {
            const QByteArray all = Header(reply.body.size()) + reply.body;
            bGoOn = SendAll(fd, all.constData(), size_t(all.size()));
            break;
        }
        case Silent: {
            pollfd stop = {m_stop[0], POLLIN, 0};
            ::poll(&stop, 1, -1);
            bGoOn = false;
            break;
        }
        case CloseMidBody: {
            const QByteArray head = Header(reply.body.size() + 1000) + reply.body;
            SendAll(fd, head.constData(), size_t(head.size()));
            bGoOn = false;
            break;
        }
        case Endless: {
            const qint64 total = 20ll << 20;
            const QByteArray head = Header(total);
            const QByteArray block(64 * 1024, 'x');
            bGoOn = SendAll(fd, head.constData(), size_t(head.size()));
            for (qint64 sent = 0; bGoOn && sent < total; sent += block.size())
                bGoOn = SendAll(fd, block.constData(), size_t(block.size()));
            break;
        }
        }
        if (!bGoOn)
            break;
    }
    ::close(fd);
}
