// A CDDB-over-HTTP server on 127.0.0.1 for the tests: answers each GET by a handler, or misbehaves.
#pragma once

#include <QByteArray>
#include <QList>

#include <atomic>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

class CddbTestServer {
public:
    enum Kind {
        Answer,       // the body with its length
        Silent,       // accepts and never answers
        CloseMidBody, // promises more than it sends, then closes
        Endless,      // a body of 20 MB
    };
    struct Reply {
        Kind kind = Answer;
        QByteArray body;
    };
    // Gets the value of "cmd=" ("cddb+query+...") and the whole request target.
    using Handler = std::function<Reply(const QByteArray &cmd, const QByteArray &target)>;

    explicit CddbTestServer(Handler handler);
    ~CddbTestServer();
    int Port() const { return m_nPort; }
    QList<QByteArray> Targets() const;

private:
    void Serve();
    void Talk(int fd);

    Handler m_handler;
    int m_listen = -1;
    int m_stop[2] = {-1, -1};
    int m_nPort = 0;
    std::thread m_thread;
    std::mutex m_lock;
    QList<QByteArray> m_targets;
    std::list<std::thread> m_talks;
};
