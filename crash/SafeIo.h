// Async-signal-safe building blocks of the crash path: fixed-buffer text, file output, time, memory reads.
// Nothing here allocates, locks or touches Qt, so a crashed process can use all of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

namespace crash {

// Appends to a caller's buffer and cuts silently at its capacity; the text stays NUL-terminated.
class SafeText {
public:
    SafeText(char *buffer, size_t capacity);
    SafeText &Str(const char *text);
    SafeText &Str(const char *text, size_t size);
    SafeText &Dec(uint64_t value, int width = 0); // zero-padded to width digits
    SafeText &Hex(uint64_t value);                // lower case, no leading zeros
    const char *Data() const { return m_buffer; }
    size_t Size() const { return m_size; }

private:
    char *m_buffer;
    size_t m_capacity;
    size_t m_size = 0;
};

// Creates a report file readable and writable by the user only. An old file or link of that name is
// removed first and the new one is created exclusively without following links, so a link planted in
// a shared temporary folder never redirects the report. Returns the descriptor or -1.
int CreateReportFile(const char *path);

// Writes all bytes; a range of the caller's memory that cannot be read counts as a failure.
bool WriteAll(int fd, const void *data, size_t size);

// Reads up to capacity bytes of a (proc) file; returns the bytes read, -1 when it cannot be opened.
ssize_t ReadSmallFile(const char *path, char *buffer, size_t capacity);

// Copies memory of this process that may be unmapped; false (and nothing copied) when it is.
bool ReadOwnMemory(void *to, uintptr_t from, size_t size);

// Writes a message to standard error.
void PrintError(const char *text);

struct CivilTime {
    int nYear, nMonth, nDay, nHour, nMinute, nSecond;
};
// Seconds since 1970 (already moved by the UTC offset when local time is wanted) as a calendar date.
CivilTime CivilFromSeconds(int64_t seconds);

// The thread's kernel id.
pid_t CurrentThreadId();

} // namespace crash
