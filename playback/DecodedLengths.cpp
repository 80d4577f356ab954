#include "DecodedLengths.h"

#include <QDateTime>
#include <QFileInfo>

#include <mutex>
#include <string>
#include <unordered_map>

namespace {

struct Learnt {
    int seconds;
    qint64 size;
    QDateTime changed;
};

std::mutex g_lock;
std::unordered_map<std::string, Learnt> g_lengths; // by the record's path bytes

} // namespace

void RememberDecodedLength(const char *path, int seconds) {
    if (!path)
        return;
    const QFileInfo info(QString::fromUtf8(path));
    std::lock_guard lock(g_lock);
    g_lengths[path] = Learnt{seconds, info.size(), info.lastModified()};
}

void ApplyDecodedLength(TitleItem *item) {
    if (!item->pszPath)
        return;
    std::lock_guard lock(g_lock); // the list's reader thread reads records too
    const auto it = g_lengths.find(item->pszPath);
    if (it == g_lengths.end())
        return;
    const QFileInfo info(QString::fromUtf8(item->pszPath));
    if (info.size() != it->second.size || info.lastModified() != it->second.changed) {
        g_lengths.erase(it);
        return;
    }
    item->nLength = it->second.seconds;
}
