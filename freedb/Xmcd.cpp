// CDDB commands and answers, and reading titles out of xmcd title files.
#include "Xmcd.h"

#include "TitleFile.h"
#include "cdda/CDDA.h"

#include <QStringDecoder>
#include <QUrl>

#include <cstdlib>
#include <cstring>

QByteArray BuildHello(const QString &strEmail) {
    // Empty parts between "@"s are skipped, as a tokenizer would.
    const QStringList parts = strEmail.split(QLatin1Char('@'), Qt::SkipEmptyParts);
    // Escaped, so an address can't add parameters of its own or turn into other words.
    const QByteArray user = QUrl::toPercentEncoding(parts.value(0));
    const QByteArray host = QUrl::toPercentEncoding(parts.value(1));
    return "hello=" + user + '+' + host + "+Melvo+2.71&proto=6";
}

QByteArray BuildQueryText(uint32_t dwDiscID, const uint32_t *toc, int nTracks) {
    QByteArray text = QByteArray("cddb+query+") + QByteArray::number(dwDiscID, 16).rightJustified(8, '0') + '+' +
                      QByteArray::number(nTracks) + '+';
    for (int i = 0; i < nTracks; ++i)
        text += QByteArray::number(toc[i]) + '+';
    text += QByteArray::number(toc[nTracks] / 75);
    return text;
}

QByteArray BuildQueryCommand(uint8_t nDrive, uint32_t &dwDiscID) {
    if (dwDiscID == 0)
        dwDiscID = GetDiscID(nDrive);
    uint32_t toc[CDDA_TOC_ENTRIES] = {};
    const int n = GetMediaTOC(toc, nDrive);
    return BuildQueryText(dwDiscID, toc, n);
}

ResponseLines SplitResponse(const QByteArray &body) {
    ResponseLines lines;
    if (body.isEmpty())
        return lines;
    qsizetype from = 0;
    while (from < body.size()) {
        qsizetype end = body.indexOf('\n', from);
        const bool bLast = end < 0;
        if (bLast)
            end = body.size();
        QByteArray line = body.mid(from, end - from);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
        from = end + 1;
    }
    return lines;
}

int ResponseCode(const ResponseLines &lines) {
    if (lines.isEmpty() || lines.first().size() < 3)
        return 0;
    const QByteArray &first = lines.first();
    int code = 0;
    for (int i = 0; i < 3; ++i) {
        if (first[i] < '0' || first[i] > '9')
            return 0;
        code = code * 10 + (first[i] - '0');
    }
    return code;
}

QString ParseMatchLine(const QString &line, uint32_t *pDiscID, QString *pReadArg, QString *pTitle) {
    const qsizetype first = line.indexOf(QLatin1Char(' '));
    if (first < 0)
        return QString();
    const QString category = line.left(first);
    qsizetype second = line.indexOf(QLatin1Char(' '), first + 1);
    if (second < 0)
        second = line.size();
    const QString id = line.mid(first + 1, second - first - 1);
    if (pDiscID)
        *pDiscID = uint32_t(id.toUInt(nullptr, 16));
    if (pReadArg)
        *pReadArg = category + QLatin1Char('+') + id;
    if (pTitle)
        *pTitle = line.mid(second);
    return category;
}

unsigned ServerCodeMessage(int nCode) {
    switch (nCode) {
    case 211:
        return 24;
    case 202:
    case 401:
        return 25;
    case 402:
        return 26;
    case 403:
        return 27;
    case 409:
    case 417:
    case 431:
        return 29;
    case 500:
        return 30;
    default:
        return 0;
    }
}

bool ServerCodeSucceeded(int nCode) {
    return nCode == 200 || nCode == 210 || nCode == 230;
}

QString DecodeLine(const QByteArray &line) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(line);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(line);
}

QString ReadXmcdValue(FILE *file, const QString &key, uint32_t nLineCount) {
    if (!file)
        return QString();
    const QByteArray prefix = key.toUtf8() + '=';
    const off_t start = ftello(file);
    QString value;
    char *buffer = nullptr;
    size_t capacity = 0;
    uint32_t count = 0;
    ssize_t length;
    while ((length = getline(&buffer, &capacity, file)) >= 0) {
        if (nLineCount > 0 && ++count > nLineCount)
            break;
        while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r'))
            --length;
        // Only a line that starts with the key: "TTITLE2=Song with DTITLE=" belongs to track 3 alone.
        if (size_t(length) >= size_t(prefix.size()) && std::memcmp(buffer, prefix.constData(), prefix.size()) == 0)
            value += DecodeLine(QByteArray(buffer + prefix.size(), qsizetype(length - prefix.size())));
    }
    std::free(buffer);
    clearerr(file);
    fseeko(file, start, SEEK_SET);
    return value;
}

QString UnescapeXmcd(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == QLatin1Char('\\')) {
                out += next;
                ++i;
                continue;
            }
            if (next == QLatin1Char('n') || next == QLatin1Char('t')) {
                out += QLatin1Char(' ');
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString TrackTitleText(int nTrack, FILE *file, uint32_t nLineCount) {
    if (!file)
        return QString();
    const QString disc = ReadXmcdValue(file, QStringLiteral("DTITLE"), nLineCount);
    const QString track = ReadXmcdValue(file, QStringLiteral("TTITLE%1").arg(nTrack - 1), nLineCount);
    return UnescapeXmcd(disc + QStringLiteral(" - ") + track);
}

int GetTrackTitle(int nTrack, char *szTitle, size_t nSize, FILE *file, uint32_t nLineCount) {
    if (!file || !szTitle || nSize == 0)
        return 0;
    QString title;
    {
        std::lock_guard lock(TitleFileLock());
        title = TrackTitleText(nTrack, file, nLineCount);
    }
    CopyUtf8Cut(title, szTitle, nSize);
    return 1;
}
