// GET requests over libcurl: explicit time-outs, a body cap and a cancel flag.
#include "HttpConnection.h"

#include <curl/curl.h>

#include <mutex>

namespace {

std::mutex g_limitsLock;
HttpLimits g_limits;

struct Transfer {
    QByteArray *pBody;
    size_t nMax;
    bool bTooLarge = false;
    const std::atomic<bool> *pCancel;
};

size_t OnData(char *data, size_t size, size_t count, void *user) {
    auto *t = static_cast<Transfer *>(user);
    const size_t n = size * count;
    if (size_t(t->pBody->size()) + n > t->nMax) {
        t->bTooLarge = true;
        return 0; // ends the transfer
    }
    t->pBody->append(data, qsizetype(n));
    return n;
}

int OnProgress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto *t = static_cast<Transfer *>(user);
    return t->pCancel && t->pCancel->load() ? 1 : 0;
}

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

void SetHttpLimits(const HttpLimits &limits) {
    std::lock_guard lock(g_limitsLock);
    g_limits = limits;
}

HttpLimits GetHttpLimits() {
    std::lock_guard lock(g_limitsLock);
    return g_limits;
}

HttpConnection::HttpConnection(const QString &strHost, int nPort, const std::atomic<bool> *pCancel)
    : m_pCancel(pCancel) {
    InitCurlOnce();
    m_pCurl = curl_easy_init();
    m_base = "http://" + strHost.toUtf8() + ':' + QByteArray::number(nPort);
}

HttpConnection::~HttpConnection() {
    curl_easy_cleanup(static_cast<CURL *>(m_pCurl));
}

bool HttpConnection::Get(const QByteArray &object, QByteArray *pBody, HttpError *pError) {
    auto *curl = static_cast<CURL *>(m_pCurl);
    pBody->clear();
    if (!curl) {
        *pError = {CURLE_FAILED_INIT, QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT))};
        return false;
    }
    const HttpLimits limits = GetHttpLimits();
    Transfer transfer{pBody, limits.nMaxBody, false, m_pCancel};
    char errorText[CURL_ERROR_SIZE] = {};
    const QByteArray url = m_base + object;
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Melvo/2.71");
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, limits.nConnectMs);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, limits.nTotalMs);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.nIdleSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
    CURLcode code = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    if (code == CURLE_OK)
        return true;
    QString text;
    if (transfer.bTooLarge) {
        code = CURLE_FILESIZE_EXCEEDED;
        text = QStringLiteral("%1: the answer is larger than %2 bytes")
                   .arg(QString::fromUtf8(curl_easy_strerror(code)))
                   .arg(limits.nMaxBody);
    } else {
        text = QString::fromUtf8(errorText[0] ? errorText : curl_easy_strerror(code));
    }
    pError->nCode = int(code);
    pError->strText = text.left(256);
    pBody->clear();
    return false;
}
