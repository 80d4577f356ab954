/* A small input plug-in for the host's tests; the build shapes each copy with TP_* definitions. */
#include "MelvoPlugin.h"
#include "MelvoPluginHost.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* Extension lists hold ";", which a build definition cannot carry, so the build picks one by number. */
#if TP_LIST == 1
#define TP_EXTENSIONS "AAA;BBB;CC"
#elif TP_LIST == 2
#define TP_EXTENSIONS "DDD;AAA"
#elif TP_LIST == 3
#define TP_EXTENSIONS "NRD;DDD"
#elif TP_LIST == 4
#define TP_EXTENSIONS "RSY"
#else
#define TP_EXTENSIONS "ICN"
#endif
#ifndef TP_NAME
#define TP_NAME "in-test"
#endif

/* Appends one line to the file named by MELVO_TEST_PLUGIN_LOG, so tests see the order of calls. */
static void LogCall(const char *what) {
    const char *path = getenv("MELVO_TEST_PLUGIN_LOG");
    FILE *log = path ? fopen(path, "a") : NULL;
    if (!log)
        return;
    fprintf(log, "%s %s\n", what, TP_NAME);
    fclose(log);
}

#ifndef TP_NO_INITDLL
MELVO_PLUGIN_EXPORT int InitDLL(const char **extensions, const char **descriptions, int *iconId) {
    *extensions = TP_EXTENSIONS;
    *descriptions = TP_EXTENSIONS;
    *iconId = 0x10000 | 7; /* only the low 16 bits name the icon */
    LogCall("InitDLL");
    return 1;
}
#endif

MELVO_PLUGIN_EXPORT int DeinitDLL(void) {
    LogCall("DeinitDLL");
    return 1;
}

MELVO_PLUGIN_EXPORT int GetFormat(TitleItem *item, int bShowErrors) {
    if (bShowErrors)
        MelvoPluginMessageBox("message from " TP_NAME, TP_NAME, 0x10);
    item->nChannels = 2;
    item->nBitsPerSample = 16;
    item->nSamplesPerSec = 44100;
    item->nAvgBytesPerSec = 176400;
    item->nBlockBytes = item->nBlockAlignBytes = 4096;
    item->bFormatValid = 1;
    return 1;
}

MELVO_PLUGIN_EXPORT int InitRead(TitleItem *item, int bShowErrors) {
    (void)item;
    (void)bShowErrors;
    return 1;
}

#ifndef TP_NO_READ
MELVO_PLUGIN_EXPORT int Read(TitleItem *item, unsigned char *output, unsigned long outputSize, unsigned long chunk,
                             unsigned long *bytesWritten) {
    (void)chunk;
    memset(output, item->bSilence, outputSize);
    *bytesWritten = 0;
    return 0;
}
#endif

#ifndef TP_NO_RESYNC
MELVO_PLUGIN_EXPORT int Resync(TitleItem *item) {
    (void)item;
    return 1;
}
#endif

MELVO_PLUGIN_EXPORT int DeinitRead(TitleItem *item, int bShowErrors) {
    (void)item;
    (void)bShowErrors;
    return 1;
}

#ifndef TP_NO_ICON
/* A 16 x 16 picture: a dark square with a light frame. */
static const char kIcon[] = "/* XPM */\n"
                            "static char *icon[] = {\n"
                            "\"16 16 2 1\",\n"
                            "\"a c #203040\",\n"
                            "\"b c #E0E0E0\",\n"
                            "\"bbbbbbbbbbbbbbbb\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"baaaaaaaaaaaaaab\",\n"
                            "\"bbbbbbbbbbbbbbbb\"};\n";
MELVO_PLUGIN_EXPORT const MelvoPluginIcon MelvoPluginIcons[] = {
    {7, (const unsigned char *)kIcon, sizeof kIcon - 1},
    {0, 0, 0},
};
#endif
