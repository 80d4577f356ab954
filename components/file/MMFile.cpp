// The file component: open, copy out, seek, close.
//
// Reads are pread calls rather than copies out of a mapping: unmapping in a process with several
// threads flushes the TLB of every core the process runs on, which made reading the formats of a
// large playlist spend most of its time in munmap. pread costs the same copy, and a file cut short
// while open simply gives fewer bytes instead of SIGBUS.
#include "MMFile.h"

#include "MelvoPluginHost.h"
#include "platform/MelvoVersion.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

MELVO_DEFINE_VERSION("file", "Melvo file component", 2, 7, 1)

namespace {

struct MMFile {
    int fd = -1;
    unsigned long size = 0; // at open time
    unsigned long position = 0;
};

void Complain(int showErrors, const char *what, const char *path, int error) {
    if (!showErrors)
        return;
    char text[1024];
    std::snprintf(text, sizeof text, "%s (%s): %s", what, path ? path : "", std::strerror(error));
    MelvoPluginMessageBox(text, "file", 0x30);
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
    // Playback reads front to back.
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    *handle = file;
    return 1;
}

int CloseMMFile(void *handle, const char *path, int showErrors) {
    auto *file = static_cast<MMFile *>(handle);
    if (!file)
        return 1;
    int ok = 1;
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
    // Never past the size seen at open time, so a file growing meanwhile reads like the one opened.
    if (offset >= file->size || count == 0)
        return 0;
    const unsigned long available = file->size - offset;
    const unsigned long want = count < available ? count : available;
    unsigned long copied = 0;
    while (copied < want) {
        const ssize_t got = pread(file->fd, destination + copied, want - copied, off_t(offset + copied));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // the end as the file is now, or an I/O error: what was read so far
        copied += static_cast<unsigned long>(got);
    }
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
