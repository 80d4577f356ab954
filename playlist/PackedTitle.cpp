// Packed title records: one block each, the fixed fields followed by the title and the path.
#include "PackedTitle.h"

#include "TitleItemRecord.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

// Everything between the leading pointers and the title: plug-in number, format, length, tag.
constexpr size_t kFieldsAt = offsetof(TitleItem, nPlugin);
constexpr size_t kFieldBytes = offsetof(TitleItem, szTitle) - kFieldsAt;

} // namespace

struct PackedTitle {
    void *pPlugin;
    unsigned char fields[kFieldBytes];
    uint8_t nInfoState;
    uint8_t nTitleBytes;
    uint32_t nPathBytes;
    // the title's bytes, then the path and its NUL
};

namespace {

const char *Text(const PackedTitle &packed) {
    return reinterpret_cast<const char *>(&packed + 1);
}

size_t BlockSize(const PackedTitle &packed) {
    return sizeof(PackedTitle) + packed.nTitleBytes + packed.nPathBytes + 1;
}

template <typename T> T FieldAt(const PackedTitle &packed, size_t offset) {
    T value;
    std::memcpy(&value, packed.fields + (offset - kFieldsAt), sizeof value);
    return value;
}

} // namespace

PackedTitle *PackTitleItem(const TitleItem &item) {
    const size_t titleBytes = qstrnlen(item.szTitle, TITLE_TEXT_SIZE);
    const char *path = item.pszPath ? item.pszPath : "";
    const size_t pathBytes = std::strlen(path);
    auto *packed = static_cast<PackedTitle *>(std::malloc(sizeof(PackedTitle) + titleBytes + pathBytes + 1));
    if (!packed)
        return nullptr;
    packed->pPlugin = item.pPlugin;
    std::memcpy(packed->fields, reinterpret_cast<const unsigned char *>(&item) + kFieldsAt, kFieldBytes);
    packed->nInfoState = item.nInfoState;
    packed->nTitleBytes = uint8_t(titleBytes);
    packed->nPathBytes = uint32_t(pathBytes);
    char *text = reinterpret_cast<char *>(packed + 1);
    std::memcpy(text, item.szTitle, titleBytes);
    std::memcpy(text + titleBytes, path, pathBytes + 1);
    return packed;
}

void UnpackInto(const PackedTitle &packed, TitleItem &item) {
    item.pPlugin = packed.pPlugin;
    std::memcpy(reinterpret_cast<unsigned char *>(&item) + kFieldsAt, packed.fields, kFieldBytes);
    std::memset(item.szTitle, 0, TITLE_TEXT_SIZE);
    std::memcpy(item.szTitle, Text(packed), packed.nTitleBytes);
    item.nInfoState = packed.nInfoState;
}

TitleItem *UnpackTitleItem(const PackedTitle &packed) {
    TitleItem *item = AllocateTitleItem(QByteArray::fromRawData(PackedPath(packed), packed.nPathBytes));
    if (item)
        UnpackInto(packed, *item);
    return item;
}

PackedTitle *CopyPackedTitle(const PackedTitle &packed) {
    auto *copy = static_cast<PackedTitle *>(std::malloc(BlockSize(packed)));
    if (copy)
        std::memcpy(static_cast<void *>(copy), &packed, BlockSize(packed));
    return copy;
}

void FreePackedTitle(PackedTitle *packed) {
    std::free(packed);
}

const char *PackedPath(const PackedTitle &packed) {
    return Text(packed) + packed.nTitleBytes;
}

QString PackedTitleText(const PackedTitle &packed) {
    return QString::fromUtf8(Text(packed), packed.nTitleBytes);
}

int32_t PackedLength(const PackedTitle &packed) {
    return FieldAt<int32_t>(packed, offsetof(TitleItem, nLength));
}

uint8_t PackedPlugin(const PackedTitle &packed) {
    return FieldAt<uint8_t>(packed, offsetof(TitleItem, nPlugin));
}

uint8_t PackedCDDrive(const PackedTitle &packed) {
    return FieldAt<uint8_t>(packed, offsetof(TitleItem, nCDDrive));
}

uint8_t PackedInfoState(const PackedTitle &packed) {
    return packed.nInfoState;
}

void SetPackedInfoState(PackedTitle &packed, uint8_t state) {
    packed.nInfoState = state;
}
