// Title records as the lists own them.
#include "TitleItemRecord.h"

#include "PluginHost.h"

#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

// A record and its path in one block: a long playlist holds one allocation per title, not two.
TitleItem *AllocateWithPath(const char *path, size_t length) {
    auto *item = static_cast<TitleItem *>(std::malloc(sizeof(TitleItem) + length + 1));
    if (!item)
        return nullptr;
    item->pszPath = reinterpret_cast<char *>(item + 1);
    std::memcpy(item->pszPath, path, length);
    item->pszPath[length] = 0;
    return item;
}

} // namespace

TitleItem *AllocateTitleItem(const QByteArray &path) {
    TitleItem *item = AllocateWithPath(path.constData(), size_t(path.size()));
    if (!item)
        return nullptr;
    char *inlinePath = item->pszPath;
    std::memset(item, 0, sizeof(TitleItem));
    item->pszPath = inlinePath;
    return item;
}

namespace {

bool HasInlinePath(const TitleItem &item) {
    return item.pszPath == reinterpret_cast<const char *>(&item + 1);
}

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

QString InitialTitleText(const TitleItem &item) {
    TitleItem scratch;
    SetInitialTitle(scratch, TitlePath(item));
    return TitleText(scratch);
}

TitleItem *CreateTitleItem(const QString &path, bool bUseTags) {
    const QString extension = QFileInfo(path).suffix();
    if (extension.isEmpty())
        return nullptr;
    const uint8_t nPlugin = FindPluginForExtension(extension);
    PluginEntry *plugin = PluginAt(nPlugin);
    if (!plugin)
        return nullptr;
    TitleItem *item = AllocateTitleItem(path.toUtf8());
    if (!item)
        return nullptr;
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
    const char *path = source.pszPath ? source.pszPath : "";
    TitleItem *item = AllocateWithPath(path, std::strlen(path));
    if (!item)
        return nullptr;
    char *inlinePath = item->pszPath;
    std::memcpy(item, &source, sizeof(TitleItem));
    item->pszPath = inlinePath;
    item->pNextPending = nullptr;
    return item;
}

void FreeTitleItem(TitleItem *item) {
    if (!item)
        return;
    if (!HasInlinePath(*item))
        std::free(item->pszPath);
    std::free(item);
}

bool SetTitleItemPath(TitleItem &item, const QString &path) {
    char *copy = HeapCopy(path.toUtf8());
    if (!copy)
        return false;
    if (!HasInlinePath(item))
        std::free(item.pszPath);
    item.pszPath = copy;
    SetInitialTitle(item, path);
    return true;
}

void SwapTitleItems(TitleItem &a, TitleItem &b) {
    std::swap(a, b);
    // A path stored behind its record stays with that block; the texts change places instead.
    std::swap(a.pszPath, b.pszPath);
    if (std::strcmp(a.pszPath, b.pszPath) == 0)
        return;
    char *forA = HeapCopy(QByteArray(b.pszPath));
    char *forB = HeapCopy(QByteArray(a.pszPath));
    if (!forA || !forB) {
        std::free(forA);
        std::free(forB);
        return;
    }
    if (!HasInlinePath(a))
        std::free(a.pszPath);
    if (!HasInlinePath(b))
        std::free(b.pszPath);
    a.pszPath = forA;
    b.pszPath = forB;
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
