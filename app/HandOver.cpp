// Queues handed-over files until the playlist takes them.
#include "HandOver.h"

#include <QJsonDocument>
#include <QJsonObject>

void CHandOver::HandOverFile(bool bPlay, const QString &path) {
    if (path.isEmpty())
        return;
    Log(bPlay ? "play" : "open", path);
    if (m_target && !m_bFlushing)
        m_target(path, bPlay);
    else
        m_pending.append({bPlay, path});
}

void CHandOver::SetTarget(Target target) {
    m_target = std::move(target);
    if (!m_target)
        return;
    // A file handed over while the queue is fed waits behind it.
    m_bFlushing = true;
    while (!m_pending.isEmpty()) {
        const HandOverItem item = m_pending.takeFirst();
        m_target(item.strPath, item.bPlay);
    }
    m_bFlushing = false;
}

void CHandOver::Activate() {
    Log("activate", QString());
    if (m_activate)
        m_activate();
}

void CHandOver::SetLogFile(const QString &path) {
    m_log.close();
    m_log.setFileName(path);
    if (!m_log.open(QIODevice::WriteOnly | QIODevice::Append))
        qWarning("Melvo: cannot write the handover log %s", qPrintable(path));
}

void CHandOver::Log(const char *action, const QString &path) {
    if (!m_log.isOpen())
        return;
    QJsonObject line{{QStringLiteral("action"), QLatin1String(action)}};
    if (!path.isNull())
        line.insert(QStringLiteral("path"), path);
    m_log.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
    m_log.flush();
}
