// The file component: open, map, copy out, seek, close.
#include "MMFile.h"

#include "MelvoPluginHost.h"
#include "platform/MelvoVersion.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

MELVO_DEFINE_VERSION("file", "Melvo file component", 2, 71, 0)

namespace {

struct MMFile {
    int fd = -1;
    const unsigned char *base = nullptr; // null for an empty file
    unsigned long size = 0;
    unsigned long position = 0;
};

void Complain(int showErrors, const char *what, const char *path, int error) {
    if (!showErrors)
        return;
    char text[1024];
    std::snprintf(text, sizeof text, "%s (%s): %s", what, path ? path : "", std::strerror(error));
    MelvoPluginMessageBox(text, "file", 0x30);
}

// The bytes still backed by the file: reading a mapped page past a shortened file's end would raise
// SIGBUS, so each read is held to the size the file has now.
unsigned long BackedSize(const MMFile *file) {
    struct stat info;
    if (fstat(file->fd, &info) != 0 || info.st_size < 0)
        return 0;
    const unsigned long now = static_cast<unsigned long>(info.st_size);
    return now < file->size ? now : file->size;
}

} // namespace

extern "C" {

int OpenMMFile(const char *path, void **handle, int showErrors) {
    if (!handle)
        return 0;
    *handle = nullptr;
    if (!path)
        return 0;
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Complain(showErrors, "Could not open file", path, errno);
        return 0;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = errno ? errno : EINVAL;
        close(fd);
        Complain(showErrors, "Could not open file", path, S_ISDIR(info.st_mode) ? EISDIR : error);
        return 0;
    }
    auto *file = new (std::nothrow) MMFile;
    if (!file) {
        close(fd);
        return 0;
    }
    file->fd = fd;
    file->size = static_cast<unsigned long>(info.st_size);
    if (file->size > 0) {
        void *map = mmap(nullptr, file->size, PROT_READ, MAP_SHARED, fd, 0);
        if (map == MAP_FAILED) {
            const int error = errno;
            close(fd);
            delete file;
            Complain(showErrors, "Could not map file", path, error);
            return 0;
        }
        // Playback reads front to back.
        madvise(map, file->size, MADV_SEQUENTIAL);
        file->base = static_cast<const unsigned char *>(map);
    }
    *handle = file;
    return 1;
}

int CloseMMFile(void *handle, const char *path, int showErrors) {
    auto *file = static_cast<MMFile *>(handle);
    if (!file)
        return 1;
    int ok = 1;
    if (file->base)
        munmap(const_cast<unsigned char *>(file->base), file->size);
    if (close(file->fd) != 0) {
        Complain(showErrors, "Could not close file", path, errno);
        ok = 0;
    }
    delete file;
    return ok;
}

unsigned long GetMMFileSize(void *handle, const char *, int) {
    const auto *file = static_cast<const MMFile *>(handle);
    return file ? file->size : 0;
}

unsigned long ReadFromMMFile(void *handle, unsigned char *destination, unsigned long count, const char *,
                             unsigned long offset, int) {
    auto *file = static_cast<MMFile *>(handle);
    if (!file || !destination)
        return ~0ul;
    const unsigned long size = BackedSize(file);
    if (offset >= size || count == 0)
        return 0;
    const unsigned long available = size - offset;
    const unsigned long copied = count < available ? count : available;
    std::memcpy(destination, file->base + offset, copied);
    file->position = offset + copied;
    return copied;
}

long SeekToPos(void *handle, const char *, unsigned long offset, int origin, int) {
    auto *file = static_cast<MMFile *>(handle);
    if (!file)
        return -1;
    const long delta = static_cast<long>(offset);
    long target;
    switch (origin) {
    case 0:
        target = delta;
        break;
    case 1:
        target = static_cast<long>(file->position) + delta;
        break;
    case 2:
        target = static_cast<long>(file->size) + delta;
        break;
    default:
        return -1;
    }
    if (target < 0)
        return -1;
    file->position = static_cast<unsigned long>(target);
    return target;
}

} // extern "C"
