// The session, connection and request steps of an HTTP GET, on libcurl, with limits a bad server can't pass.
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstddef>

// A stalled, silent or endless server ends the request instead of hanging it or eating memory.
struct HttpLimits {
    long nConnectMs = 15000;   // until the TCP connection stands
    long nIdleSeconds = 30;    // with no byte received for this long
    long nTotalMs = 120000;    // for a whole request
    size_t nMaxBody = 4 << 20; // a freedb record is a few kilobytes; a server list some more
};
void SetHttpLimits(const HttpLimits &limits);
HttpLimits GetHttpLimits();

// libcurl's error number and its text (at most 256 characters).
struct HttpError {
    int nCode = 0;
    QString strText;
};

// One connection to host:port for several requests; a set cancel flag ends a request within a
// fraction of a second.
class HttpConnection {
public:
    HttpConnection(const QString &strHost, int nPort, const std::atomic<bool> *pCancel);
    ~HttpConnection();
    HttpConnection(const HttpConnection &) = delete;
    HttpConnection &operator=(const HttpConnection &) = delete;

    // GET of the object ("/path?query"); the HTTP status is not looked at, only the body counts.
    bool Get(const QByteArray &object, QByteArray *pBody, HttpError *pError);

private:
    void *m_pCurl;
    QByteArray m_base;
    const std::atomic<bool> *m_pCancel;
};
