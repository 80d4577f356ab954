/* The version record each of Melvo's own libraries exports, read by the About dialog and the crash report. */
#ifndef MELVO_VERSION_H
#define MELVO_VERSION_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct MelvoVersionInfo {
    uint32_t dwFileVersionMS; /* major << 16 | minor */
    uint32_t dwFileVersionLS; /* build << 16 | revision */
    const char *szInternalName;
    const char *szFileDescription;
} MelvoVersionInfo;

typedef const MelvoVersionInfo *(*PFN_MelvoGetVersionInfo)(void);
#define MELVO_VERSION_EXPORT "MelvoGetVersionInfo"

#ifdef __cplusplus
}
#define MELVO_EXTERN_C extern "C"
#else
#define MELVO_EXTERN_C
#endif

/* Defines the export in one source file of a library. */
#define MELVO_DEFINE_VERSION(internalName, description, major, minor, build)                                           \
    MELVO_EXTERN_C __attribute__((visibility("default"))) const MelvoVersionInfo *MelvoGetVersionInfo(void) {          \
        static const MelvoVersionInfo info = {((uint32_t)(major) << 16) | (uint32_t)(minor), (uint32_t)(build) << 16,  \
                                              internalName, description};                                              \
        return &info;                                                                                                  \
    }

#endif
