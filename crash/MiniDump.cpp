// Our own minidump writer; every buffer is static and every call a plain system call.
#include "MiniDump.h"

#include "MinidumpFormat.h"
#include "SafeIo.h"
#include "ThreadSnapshot.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <elf.h>
#include <link.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace crash {
namespace {

constexpr size_t kRedZone = 128;         // below the stack pointer, still the function's own
constexpr size_t kMaxStack = 256 * 1024; // per thread, from the stack pointer up
constexpr int kMaxStreams = 12;
constexpr int kMaxModules = 1024;
constexpr int kMaxDumpThreads = 513; // the faulting thread and every one that answered
constexpr size_t kPage = 4096;

int g_processorCount = 1;

// /proc/self/maps, read once per dump.
char g_maps[2 * 1024 * 1024];
size_t g_mapsSize = 0;

struct Mapping {
    uintptr_t start = 0, end = 0;
    uint64_t offset = 0;
    bool bReadable = false;
    const char *path = nullptr; // not terminated
    size_t pathLength = 0;
};

uint64_t ParseHex(const char *&p, const char *end) {
    uint64_t value = 0;
    for (; p < end; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9')
            value = value << 4 | static_cast<uint64_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            value = value << 4 | static_cast<uint64_t>(c - 'a' + 10);
        else
            break;
    }
    return value;
}

const char *SkipField(const char *p, const char *end) {
    while (p < end && *p != ' ')
        ++p;
    while (p < end && *p == ' ')
        ++p;
    return p;
}

// One line of the maps text at *cursor; false at the end.
bool NextMapping(size_t &cursor, Mapping &m) {
    if (cursor >= g_mapsSize)
        return false;
    const char *line = g_maps + cursor;
    const char *end = static_cast<const char *>(memchr(line, '\n', g_mapsSize - cursor));
    if (!end)
        end = g_maps + g_mapsSize;
    cursor = static_cast<size_t>(end - g_maps) + 1;
    const char *p = line;
    m.start = ParseHex(p, end);
    ++p;
    m.end = ParseHex(p, end);
    p = SkipField(p, end);
    m.bReadable = p < end && *p == 'r';
    p = SkipField(p, end);
    m.offset = ParseHex(p, end);
    p = SkipField(p, end); // offset
    p = SkipField(p, end); // device
    p = SkipField(p, end); // inode
    m.path = p;
    m.pathLength = static_cast<size_t>(end - p);
    return true;
}

bool FindMapping(uintptr_t address, Mapping &found) {
    size_t cursor = 0;
    Mapping m;
    while (NextMapping(cursor, m)) {
        if (address >= m.start && address < m.end) {
            found = m;
            return true;
        }
    }
    return false;
}

// Sequential output with a fixed buffer; keeps the file offset for the records that point into it.
class DumpWriter {
public:
    explicit DumpWriter(int fd) : m_fd(fd) {}

    uint32_t Offset() const { return static_cast<uint32_t>(m_offset); }
    bool Ok() const { return m_bOk && m_offset <= UINT32_MAX; }

    void Write(const void *data, size_t size) {
        if (m_used + size > sizeof s_buffer) {
            Flush();
            if (size > sizeof s_buffer) {
                m_bOk = WriteAll(m_fd, data, size) && m_bOk;
                m_offset += size;
                return;
            }
        }
        memcpy(s_buffer + m_used, data, size);
        m_used += size;
        m_offset += size;
    }

    // Memory of this process that may be partly unmapped: unreadable pages come out as zeros, so the
    // offsets of what follows stay right.
    void WriteMemory(uintptr_t address, size_t size) {
        Flush();
        static const char zeros[kPage] = {};
        while (size > 0) {
            const size_t chunk = std::min(size, kPage - address % kPage);
            // The system call itself: a sanitizer's write() would check the stack's poisoned red zones.
            ssize_t n;
            do
                n = ::syscall(SYS_write, m_fd, address, chunk);
            while (n < 0 && errno == EINTR);
            if (n <= 0) {
                if (n < 0 && errno != EFAULT) {
                    m_bOk = false;
                    return;
                }
                if (!WriteAll(m_fd, zeros, chunk)) {
                    m_bOk = false;
                    return;
                }
                n = static_cast<ssize_t>(chunk);
            }
            address += static_cast<size_t>(n);
            size -= static_cast<size_t>(n);
            m_offset += static_cast<size_t>(n);
        }
    }

    void Align(size_t alignment) {
        static const char zeros[8] = {};
        const size_t pad = (alignment - m_offset % alignment) % alignment;
        Write(zeros, pad);
    }

    void Flush() {
        if (m_used > 0)
            m_bOk = WriteAll(m_fd, s_buffer, m_used) && m_bOk;
        m_used = 0;
    }

    // The file's first bytes, written last when every stream's place is known.
    void Rewrite(const void *data, size_t size) {
        Flush();
        m_bOk = ::pwrite(m_fd, data, size, 0) == static_cast<ssize_t>(size) && m_bOk;
    }

private:
    static char s_buffer[65536];
    int m_fd;
    uint64_t m_offset = 0;
    size_t m_used = 0;
    bool m_bOk = true;
};
char DumpWriter::s_buffer[65536];

md::Directory g_directory[kMaxStreams];
int g_streamCount = 0;

void AddStream(uint32_t type, uint32_t rva, uint64_t size) {
    if (g_streamCount < kMaxStreams)
        g_directory[g_streamCount++] = {type, {static_cast<uint32_t>(size), rva}};
}

// A length-prefixed UTF-16 text with a terminating zero; returns its place.
uint32_t WriteString(DumpWriter &out, const char *text, size_t length) {
    static char16_t units[4096];
    size_t count = 0;
    for (size_t i = 0; i < length && count + 2 < sizeof units / sizeof units[0];) {
        const auto c = static_cast<unsigned char>(text[i]);
        uint32_t code = c;
        size_t extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc0 ? 1 : 0;
        if (extra > 0) {
            code = c & (0x3f >> extra);
            for (size_t k = 1; k <= extra; ++k)
                code = code << 6 | (i + k < length ? static_cast<unsigned char>(text[i + k]) & 0x3f : 0);
        }
        i += 1 + extra;
        if (code >= 0x10000) {
            code -= 0x10000;
            units[count++] = static_cast<char16_t>(0xd800 + (code >> 10));
            units[count++] = static_cast<char16_t>(0xdc00 + (code & 0x3ff));
        } else {
            units[count++] = static_cast<char16_t>(code);
        }
    }
    units[count] = 0;
    out.Align(4);
    const uint32_t rva = out.Offset();
    const auto bytes = static_cast<uint32_t>(count * 2);
    out.Write(&bytes, sizeof bytes);
    out.Write(units, (count + 1) * 2);
    return rva;
}

void ToContext(const ucontext_t &uc, const void *fpState, md::ContextAmd64 &c) {
    memset(&c, 0, sizeof c);
    c.contextFlags = md::kContextAmd64Full;
#if defined(__x86_64__)
    const greg_t *r = uc.uc_mcontext.gregs;
    c.rax = static_cast<uint64_t>(r[REG_RAX]);
    c.rcx = static_cast<uint64_t>(r[REG_RCX]);
    c.rdx = static_cast<uint64_t>(r[REG_RDX]);
    c.rbx = static_cast<uint64_t>(r[REG_RBX]);
    c.rsp = static_cast<uint64_t>(r[REG_RSP]);
    c.rbp = static_cast<uint64_t>(r[REG_RBP]);
    c.rsi = static_cast<uint64_t>(r[REG_RSI]);
    c.rdi = static_cast<uint64_t>(r[REG_RDI]);
    c.r8 = static_cast<uint64_t>(r[REG_R8]);
    c.r9 = static_cast<uint64_t>(r[REG_R9]);
    c.r10 = static_cast<uint64_t>(r[REG_R10]);
    c.r11 = static_cast<uint64_t>(r[REG_R11]);
    c.r12 = static_cast<uint64_t>(r[REG_R12]);
    c.r13 = static_cast<uint64_t>(r[REG_R13]);
    c.r14 = static_cast<uint64_t>(r[REG_R14]);
    c.r15 = static_cast<uint64_t>(r[REG_R15]);
    c.rip = static_cast<uint64_t>(r[REG_RIP]);
    c.eflags = static_cast<uint32_t>(r[REG_EFL]);
    // cs, gs, fs and ss share one word of the signal frame.
    const auto segments = static_cast<uint64_t>(r[REG_CSGSFS]);
    c.cs = static_cast<uint16_t>(segments);
    c.gs = static_cast<uint16_t>(segments >> 16);
    c.fs = static_cast<uint16_t>(segments >> 32);
    c.ss = static_cast<uint16_t>(segments >> 48);
    if (fpState) {
        memcpy(c.floatSave, fpState, sizeof c.floatSave);
        memcpy(&c.mxCsr, static_cast<const char *>(fpState) + 24, sizeof c.mxCsr);
    }
#else
    (void)uc;
    (void)fpState;
#endif
}

uintptr_t StackPointer(const ucontext_t &uc) {
#if defined(__x86_64__)
    return static_cast<uintptr_t>(uc.uc_mcontext.gregs[REG_RSP]);
#else
    (void)uc;
    return 0;
#endif
}

md::Thread g_threads[kMaxDumpThreads];
md::MemoryDescriptor g_stacks[kMaxDumpThreads];
int g_threadCount = 0;

// The stack from just below the stack pointer up to its mapping's end, then the registers.
void WriteThread(DumpWriter &out, pid_t tid, const ucontext_t &uc, const void *fpState, md::Location *context) {
    if (g_threadCount >= kMaxDumpThreads)
        return;
    const uintptr_t sp = StackPointer(uc);
    const uintptr_t start = sp > kRedZone ? sp - kRedZone : 0;
    uintptr_t end = start + kPage;
    Mapping m;
    if (FindMapping(sp, m))
        end = std::min<uintptr_t>(m.end, start + kMaxStack);
    out.Align(16);
    const uint32_t stackRva = out.Offset();
    out.WriteMemory(start, end - start);

    md::ContextAmd64 registers;
    ToContext(uc, fpState, registers);
    out.Align(16);
    const md::Location location{sizeof registers, out.Offset()};
    out.Write(&registers, sizeof registers);
    if (context)
        *context = location;

    md::Thread &t = g_threads[g_threadCount];
    memset(&t, 0, sizeof t);
    t.threadId = static_cast<uint32_t>(tid);
    t.stack = {start, {static_cast<uint32_t>(end - start), stackRva}};
    t.context = location;
    g_stacks[g_threadCount] = t.stack;
    ++g_threadCount;
}

struct ModuleInfo {
    uintptr_t base, end;
    const char *path;
    size_t pathLength;
    uint8_t buildId[64];
    size_t buildIdSize;
};
ModuleInfo g_modules[kMaxModules];
int g_moduleCount = 0;

// The GNU build id from the module's notes, read from its mapped headers.
size_t ReadBuildId(uintptr_t base, uint8_t *id, size_t capacity) {
    ElfW(Ehdr) header;
    if (!ReadOwnMemory(&header, base, sizeof header) || memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_phentsize != sizeof(ElfW(Phdr)))
        return 0;
    ElfW(Phdr) phdrs[64];
    const size_t count = std::min<size_t>(header.e_phnum, 64);
    if (!ReadOwnMemory(phdrs, base + header.e_phoff, count * sizeof(ElfW(Phdr))))
        return 0;
    uintptr_t firstLoad = UINTPTR_MAX;
    for (size_t i = 0; i < count; ++i)
        if (phdrs[i].p_type == PT_LOAD)
            firstLoad = std::min<uintptr_t>(firstLoad, phdrs[i].p_vaddr & ~(kPage - 1));
    if (firstLoad == UINTPTR_MAX)
        return 0;
    const uintptr_t bias = base - firstLoad;
    for (size_t i = 0; i < count; ++i) {
        if (phdrs[i].p_type != PT_NOTE)
            continue;
        alignas(4) static uint8_t notes[2048];
        const size_t size = std::min<size_t>(phdrs[i].p_memsz, sizeof notes);
        if (!ReadOwnMemory(notes, bias + phdrs[i].p_vaddr, size))
            continue;
        for (size_t at = 0; at + sizeof(ElfW(Nhdr)) <= size;) {
            ElfW(Nhdr) note;
            memcpy(&note, notes + at, sizeof note);
            const size_t name = at + sizeof note;
            const size_t desc = name + ((note.n_namesz + 3) & ~3u);
            const size_t next = desc + ((note.n_descsz + 3) & ~3u);
            if (next > size)
                break;
            if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4 && memcmp(notes + name, "GNU", 4) == 0 &&
                note.n_descsz <= capacity) {
                memcpy(id, notes + desc, note.n_descsz);
                return note.n_descsz;
            }
            at = next;
        }
    }
    return 0;
}

// Every ELF file mapped from its start, with the span of all its mappings.
void FindModules() {
    g_moduleCount = 0;
    size_t cursor = 0;
    Mapping m;
    ModuleInfo *current = nullptr;
    while (NextMapping(cursor, m)) {
        const bool bFile = m.pathLength > 0 && m.path[0] == '/';
        if (current && bFile && m.pathLength == current->pathLength &&
            memcmp(m.path, current->path, m.pathLength) == 0) {
            current->end = m.end;
            continue;
        }
        current = nullptr;
        if (!bFile || m.offset != 0 || !m.bReadable || g_moduleCount >= kMaxModules)
            continue;
        char magic[SELFMAG];
        if (!ReadOwnMemory(magic, m.start, sizeof magic) || memcmp(magic, ELFMAG, SELFMAG) != 0)
            continue;
        current = &g_modules[g_moduleCount++];
        current->base = m.start;
        current->end = m.end;
        current->path = m.path;
        current->pathLength = m.pathLength;
        current->buildIdSize = ReadBuildId(m.start, current->buildId, sizeof current->buildId);
    }
}

void WriteModuleList(DumpWriter &out) {
    static md::Module modules[kMaxModules];
    for (int i = 0; i < g_moduleCount; ++i) {
        const ModuleInfo &info = g_modules[i];
        md::Module &module = modules[i];
        memset(&module, 0, sizeof module);
        module.base = info.base;
        module.size = static_cast<uint32_t>(info.end - info.base);
        module.nameRva = WriteString(out, info.path, info.pathLength);
        if (info.buildIdSize > 0) {
            out.Align(4);
            module.cvRecord = {static_cast<uint32_t>(4 + info.buildIdSize), out.Offset()};
            out.Write(&md::kCvElfBuildId, 4);
            out.Write(info.buildId, info.buildIdSize);
        }
    }
    out.Align(8);
    const uint32_t rva = out.Offset();
    const auto count = static_cast<uint32_t>(g_moduleCount);
    out.Write(&count, sizeof count);
    out.Write(modules, count * sizeof(md::Module));
    AddStream(md::kModuleList, rva, 4 + count * sizeof(md::Module));
}

void WriteSystemInfo(DumpWriter &out) {
    static utsname system;
    ::uname(&system);
    static char csd[512];
    SafeText text(csd, sizeof csd);
    text.Str("Linux ").Str(system.release).Str(" ").Str(system.version).Str(" ").Str(system.machine);
    const uint32_t csdRva = WriteString(out, text.Data(), text.Size());

    md::SystemInfo info;
    memset(&info, 0, sizeof info);
    info.processorArchitecture = md::kArchitectureAmd64;
    info.processorCount = static_cast<uint8_t>(std::min(g_processorCount, 255));
    info.platformId = md::kPlatformLinux;
    info.csdVersionRva = csdRva;
    out.Align(8);
    AddStream(md::kSystemInfo, out.Offset(), sizeof info);
    out.Write(&info, sizeof info);

    md::MiscInfo misc{sizeof(md::MiscInfo), md::kMiscProcessId, static_cast<uint32_t>(::getpid()), 0, 0, 0};
    AddStream(md::kMiscInfo, out.Offset(), sizeof misc);
    out.Write(&misc, sizeof misc);
}

// A /proc file copied as one stream.
void CopyStream(DumpWriter &out, uint32_t type, const char *path) {
    static char buffer[65536];
    const ssize_t n = ReadSmallFile(path, buffer, sizeof buffer);
    if (n < 0)
        return;
    out.Align(4);
    AddStream(type, out.Offset(), static_cast<uint64_t>(n));
    out.Write(buffer, static_cast<size_t>(n));
}

} // namespace

void PrepareMiniDump() {
    const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
    g_processorCount = count > 0 ? static_cast<int>(count) : 1;
}

bool WriteMiniDump(const char *path, const CrashInfo *info) {
#if !defined(__x86_64__)
    (void)path;
    (void)info;
    return false; // only the x86-64 register layout is written so far
#else
    if (!info || !info->context)
        return false;
    const int fd = CreateReportFile(path);
    if (fd < 0)
        return false;
    const ssize_t mapsSize = ReadSmallFile("/proc/self/maps", g_maps, sizeof g_maps);
    g_mapsSize = mapsSize > 0 ? static_cast<size_t>(mapsSize) : 0;
    g_streamCount = 0;
    g_threadCount = 0;

    DumpWriter out(fd);
    md::Header header{
        md::kSignature, md::kVersion, 0, sizeof(md::Header), 0, static_cast<uint32_t>(::time(nullptr)), 0};
    out.Write(&header, sizeof header);
    out.Write(g_directory, sizeof g_directory); // filled in at the end

    WriteSystemInfo(out);

    // The faulting thread comes first, so a debugger without the exception stream still picks it.
    md::Location faultContext{};
    WriteThread(out, info->tid, *info->context, info->context->uc_mcontext.fpregs, &faultContext);
    const int others = SuspendOtherThreads();
    for (int i = 0; i < others; ++i) {
        const ThreadRegisters &t = SuspendedThread(i);
        WriteThread(out, t.tid, t.context, t.context.uc_mcontext.fpregs ? t.fpState : nullptr, nullptr);
    }
    FindModules(); // while the others still stand, so no library goes away under us
    ResumeOtherThreads();

    out.Align(8);
    const auto threadCount = static_cast<uint32_t>(g_threadCount);
    AddStream(md::kThreadList, out.Offset(), 4 + threadCount * sizeof(md::Thread));
    out.Write(&threadCount, sizeof threadCount);
    out.Write(g_threads, threadCount * sizeof(md::Thread));

    if (info->nSignal != 0) {
        md::ExceptionStream exception;
        memset(&exception, 0, sizeof exception);
        exception.threadId = static_cast<uint32_t>(info->tid);
        exception.exception.code = static_cast<uint32_t>(info->nSignal);
        exception.exception.flags = static_cast<uint32_t>(info->nCode);
        exception.exception.address = info->address;
        exception.context = faultContext;
        out.Align(8);
        AddStream(md::kException, out.Offset(), sizeof exception);
        out.Write(&exception, sizeof exception);
    }

    WriteModuleList(out);

    out.Align(8);
    AddStream(md::kMemoryList, out.Offset(), 4 + threadCount * sizeof(md::MemoryDescriptor));
    out.Write(&threadCount, sizeof threadCount);
    out.Write(g_stacks, threadCount * sizeof(md::MemoryDescriptor));

    out.Align(4);
    AddStream(md::kLinuxMaps, out.Offset(), g_mapsSize);
    out.Write(g_maps, g_mapsSize);
    CopyStream(out, md::kLinuxProcStatus, "/proc/self/status");
    CopyStream(out, md::kLinuxCmdLine, "/proc/self/cmdline");
    CopyStream(out, md::kLinuxAuxv, "/proc/self/auxv");
    CopyStream(out, md::kLinuxCpuInfo, "/proc/cpuinfo");

    header.streamCount = static_cast<uint32_t>(g_streamCount);
    out.Rewrite(&header, sizeof header);
    out.Flush();
    const bool ok = out.Ok() && ::pwrite(fd, g_directory, sizeof g_directory, sizeof header) ==
                                    static_cast<ssize_t>(sizeof g_directory);
    return ::close(fd) == 0 && ok;
#endif
}

} // namespace crash
