// The records of the minidump file format with the Linux stream types, byte for byte as debuggers read them.
#pragma once

#include <cstdint>

namespace crash::md {

inline constexpr uint32_t kSignature = 0x504d444d; // "MDMP"
inline constexpr uint32_t kVersion = 0xa793;

enum StreamType : uint32_t {
    kThreadList = 3,
    kModuleList = 4,
    kMemoryList = 5,
    kException = 6,
    kSystemInfo = 7,
    kMiscInfo = 15,
    kLinuxCpuInfo = 0x47670003,
    kLinuxProcStatus = 0x47670004,
    kLinuxCmdLine = 0x47670006,
    kLinuxAuxv = 0x47670008,
    kLinuxMaps = 0x47670009,
};

inline constexpr uint16_t kArchitectureAmd64 = 9;
inline constexpr uint32_t kPlatformLinux = 0x8201;
inline constexpr uint32_t kMiscProcessId = 1;
inline constexpr uint32_t kCvElfBuildId = 0x4270454c; // "BpEL" followed by the build id

// x86-64 context flags: the architecture bit with control, integer, segment and floating-point parts.
inline constexpr uint32_t kContextAmd64Full = 0x00100000 | 0x1 | 0x2 | 0x4 | 0x8;

#pragma pack(push, 4)

struct Location {
    uint32_t dataSize;
    uint32_t rva;
};

struct Header {
    uint32_t signature;
    uint32_t version;
    uint32_t streamCount;
    uint32_t streamDirectoryRva;
    uint32_t checksum;
    uint32_t timeDateStamp;
    uint64_t flags;
};

struct Directory {
    uint32_t streamType;
    Location location;
};

struct MemoryDescriptor {
    uint64_t start;
    Location memory;
};

struct Thread {
    uint32_t threadId;
    uint32_t suspendCount;
    uint32_t priorityClass;
    uint32_t priority;
    uint64_t teb;
    MemoryDescriptor stack;
    Location context;
};

struct Module {
    uint64_t base;
    uint32_t size;
    uint32_t checksum;
    uint32_t timeDateStamp;
    uint32_t nameRva;
    uint32_t fixedFileInfo[13];
    Location cvRecord;
    Location miscRecord;
    uint64_t reserved0;
    uint64_t reserved1;
};

struct SystemInfo {
    uint16_t processorArchitecture;
    uint16_t processorLevel;
    uint16_t processorRevision;
    uint8_t processorCount;
    uint8_t productType;
    uint32_t majorVersion;
    uint32_t minorVersion;
    uint32_t buildNumber;
    uint32_t platformId;
    uint32_t csdVersionRva;
    uint16_t suiteMask;
    uint16_t reserved;
    uint32_t vendorId[3];
    uint32_t versionInformation;
    uint32_t featureInformation;
    uint32_t amdExtendedFeatures;
};

struct Exception {
    uint32_t code;
    uint32_t flags;
    uint64_t record;
    uint64_t address;
    uint32_t parameterCount;
    uint32_t unusedAlignment;
    uint64_t information[15];
};

struct ExceptionStream {
    uint32_t threadId;
    uint32_t alignment;
    Exception exception;
    Location context;
};

struct MiscInfo {
    uint32_t size;
    uint32_t flags1;
    uint32_t processId;
    uint32_t processCreateTime;
    uint32_t processUserTime;
    uint32_t processKernelTime;
};

struct ContextAmd64 {
    uint64_t parameterHome[6];
    uint32_t contextFlags;
    uint32_t mxCsr;
    uint16_t cs, ds, es, fs, gs, ss;
    uint32_t eflags;
    uint64_t dr0, dr1, dr2, dr3, dr6, dr7;
    uint64_t rax, rcx, rdx, rbx, rsp, rbp, rsi, rdi;
    uint64_t r8, r9, r10, r11, r12, r13, r14, r15;
    uint64_t rip;
    uint8_t floatSave[512]; // the FXSAVE area
    uint8_t vectorRegister[26 * 16];
    uint64_t vectorControl;
    uint64_t debugControl;
    uint64_t lastBranchToRip, lastBranchFromRip, lastExceptionToRip, lastExceptionFromRip;
};

#pragma pack(pop)

static_assert(sizeof(Header) == 32);
static_assert(sizeof(Directory) == 12);
static_assert(sizeof(MemoryDescriptor) == 16);
static_assert(sizeof(Thread) == 48);
static_assert(sizeof(Module) == 108);
static_assert(sizeof(SystemInfo) == 56);
static_assert(sizeof(ExceptionStream) == 168);
static_assert(sizeof(MiscInfo) == 24);
static_assert(sizeof(ContextAmd64) == 1232);

} // namespace crash::md
