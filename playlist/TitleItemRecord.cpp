// Title records as the lists own them.
#include "TitleItemRecord.h"

#include "PluginHost.h"

#include <QFileInfo>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

char *HeapCopy(const QByteArray &text) {
    char *copy = static_cast<char *>(std::malloc(text.size() + 1));
    if (copy)
        std::memcpy(copy, text.constData(), text.size() + 1);
    return copy;
}

// Copies UTF-8 text into a fixed field, cut on a character boundary.
void CopyCut(char *field, int size, const QByteArray &text) {
    int n = std::min<int>(text.size(), size - 1);
    while (n > 0 && n < text.size() && (uchar(text[n]) & 0xC0) == 0x80)
        --n;
    std::memcpy(field, text.constData(), n);
    std::memset(field + n, 0, size - n);
}

} // namespace

void SetInitialTitle(TitleItem &item, const QString &path) {
    QString name = QFileInfo(path).fileName();
    name.chop(std::min<qsizetype>(4, name.size()));
    if (!name.isEmpty() && name.back().isHighSurrogate())
        name.chop(1);
    CopyCut(item.szTitle, TITLE_TEXT_SIZE, name.toUtf8());
}

TitleItem *CreateTitleItem(const QString &path, bool bUseTags) {
    const QString extension = QFileInfo(path).suffix();
    if (extension.isEmpty())
        return nullptr;
    const uint8_t nPlugin = FindPluginForExtension(extension);
    PluginEntry *plugin = PluginAt(nPlugin);
    if (!plugin)
        return nullptr;
    auto *item = static_cast<TitleItem *>(std::calloc(1, sizeof(TitleItem)));
    if (!item)
        return nullptr;
    item->pszPath = HeapCopy(path.toUtf8());
    if (!item->pszPath) {
        std::free(item);
        return nullptr;
    }
    item->nPlugin = nPlugin;
    item->pPlugin = plugin;
    item->nCDTrack = TITLE_NO_CD;
    item->nCDDrive = extension.compare(QLatin1String("CDA"), Qt::CaseInsensitive) == 0 ? 0 : TITLE_NO_CD;
    item->nLength = -1;
    item->bUseTags = bUseTags ? 1 : 0;
    SetInitialTitle(*item, path);
    return item;
}

TitleItem *CopyTitleItem(const TitleItem &source) {
    auto *item = static_cast<TitleItem *>(std::malloc(sizeof(TitleItem)));
    if (!item)
        return nullptr;
    std::memcpy(item, &source, sizeof(TitleItem));
    item->pNextPending = nullptr;
    item->pszPath = HeapCopy(QByteArray(source.pszPath ? source.pszPath : ""));
    if (!item->pszPath) {
        std::free(item);
        return nullptr;
    }
    return item;
}

void FreeTitleItem(TitleItem *item) {
    if (!item)
        return;
    std::free(item->pszPath);
    std::free(item);
}

bool SetTitleItemPath(TitleItem &item, const QString &path) {
    char *copy = HeapCopy(path.toUtf8());
    if (!copy)
        return false;
    std::free(item.pszPath);
    item.pszPath = copy;
    SetInitialTitle(item, path);
    return true;
}

QString TitlePath(const TitleItem &item) {
    return item.pszPath ? QString::fromUtf8(item.pszPath) : QString();
}

QString TitleText(const TitleItem &item) {
    return QString::fromUtf8(item.szTitle, qstrnlen(item.szTitle, TITLE_TEXT_SIZE));
}

QString FormatLength(int nSeconds) {
    if (nSeconds < 0)
        return QStringLiteral("??.??");
    return QString::asprintf("%.2d:%.2d", nSeconds / 60, nSeconds % 60);
}

QString RowTitleText(const TitleItem &item, bool bMarked) {
    return bMarked ? QStringLiteral("> %1 <").arg(TitleText(item)) : TitleText(item);
}

uint8_t LoadInfoState(const TitleItem &item) {
    return std::atomic_ref<uint8_t>(const_cast<uint8_t &>(item.nInfoState)).load(std::memory_order_acquire);
}

void StoreInfoState(TitleItem &item, uint8_t state) {
    std::atomic_ref<uint8_t>(item.nInfoState).store(state, std::memory_order_release);
}
