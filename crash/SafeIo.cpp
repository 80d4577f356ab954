// Plain system calls only: every function may run inside a signal handler.
#include "SafeIo.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

namespace crash {

SafeText::SafeText(char *buffer, size_t capacity) : m_buffer(buffer), m_capacity(capacity) {
    if (m_capacity > 0)
        m_buffer[0] = '\0';
}

SafeText &SafeText::Str(const char *text, size_t size) {
    if (m_capacity == 0)
        return *this;
    for (size_t i = 0; i < size && m_size + 1 < m_capacity; ++i)
        m_buffer[m_size++] = text[i];
    m_buffer[m_size] = '\0';
    return *this;
}

SafeText &SafeText::Str(const char *text) {
    return text ? Str(text, strlen(text)) : *this;
}

SafeText &SafeText::Dec(uint64_t value, int width) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 && n < 20);
    while (n < width && n < 20)
        digits[n++] = '0';
    char text[24];
    for (int i = 0; i < n; ++i)
        text[i] = digits[n - 1 - i];
    return Str(text, static_cast<size_t>(n));
}

SafeText &SafeText::Hex(uint64_t value) {
    char digits[20];
    int n = 0;
    do {
        digits[n++] = "0123456789abcdef"[value & 15];
        value >>= 4;
    } while (value != 0);
    char text[20];
    for (int i = 0; i < n; ++i)
        text[i] = digits[n - 1 - i];
    return Str(text, static_cast<size_t>(n));
}

int CreateReportFile(const char *path) {
    // unlink removes a link itself, never its target; if someone else's entry stays (sticky /tmp),
    // O_EXCL makes the creation fail instead of writing into it.
    ::unlink(path);
    int fd;
    do
        fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool WriteAll(int fd, const void *data, size_t size) {
    const char *p = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

ssize_t ReadSmallFile(const char *path, char *buffer, size_t capacity) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    size_t total = 0;
    while (total < capacity) {
        const ssize_t n = ::read(fd, buffer + total, capacity - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        total += static_cast<size_t>(n);
    }
    ::close(fd);
    return static_cast<ssize_t>(total);
}

bool ReadOwnMemory(void *to, uintptr_t from, size_t size) {
    iovec local{to, size};
    iovec remote{reinterpret_cast<void *>(from), size};
    return ::process_vm_readv(::getpid(), &local, 1, &remote, 1, 0) == static_cast<ssize_t>(size);
}

void PrintError(const char *text) {
    WriteAll(STDERR_FILENO, text, strlen(text));
}

CivilTime CivilFromSeconds(int64_t seconds) {
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Days to a proleptic Gregorian date (eras of 400 years, March-based years).
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {static_cast<int>(year),        static_cast<int>(month),          static_cast<int>(day),
            static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60)};
}

pid_t CurrentThreadId() {
    return static_cast<pid_t>(::syscall(SYS_gettid));
}

} // namespace crash
