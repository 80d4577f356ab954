/* What a plug-in may use of the program that loads it: the message routine and icons by number. */
#ifndef MELVO_PLUGIN_HOST_H
#define MELVO_PLUGIN_HOST_H

#ifndef _GNU_SOURCE
#define _GNU_SOURCE /* RTLD_DEFAULT */
#endif
#include <dlfcn.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Messages. The program exports this routine from its executable; it shows the text through the
 * program's one message routine, so the box appears on the GUI thread even when a decoder thread asks
 * (that thread waits for the answer). type uses the message-box numbering (0 = OK button only,
 * 0x10 = error icon). Result: the button pressed (1 = OK). A plug-in never links against it: it looks
 * the routine up at run time, so it also loads into programs that lack it (tools, tests). */
#define MELVO_HOST_MESSAGE_BOX "MelvoHostMessageBox"
typedef int (*PFN_MelvoHostMessageBox)(const char *text, unsigned type);

/* Shows text through the program's routine, or on stderr with the caption when there is none. */
static inline int MelvoPluginMessageBox(const char *text, const char *caption, unsigned type) {
    PFN_MelvoHostMessageBox show = (PFN_MelvoHostMessageBox)dlsym(RTLD_DEFAULT, MELVO_HOST_MESSAGE_BOX);
    if (show)
        return show(text, type);
    fprintf(stderr, "%s: %s\n", caption ? caption : "plug-in", text);
    return 1;
}

/* Tag texts. ID3 texts stored as Latin-1 often hold another single-byte code page; the program reads
 * them in the one the user chose. The routine writes the count bytes as UTF-8 into out (size bytes,
 * NUL-terminated) and returns the length written, or (unsigned long)-1 when out is too small. Looked up
 * at run time like the message routine. */
#define MELVO_HOST_DECODE_TAG_TEXT "MelvoHostDecodeTagText"
typedef unsigned long (*PFN_MelvoHostDecodeTagText)(const char *bytes, unsigned long count, char *out,
                                                    unsigned long size);

/* Icons by number. A plug-in carries its icons in an exported table named MelvoPluginIcons: entries
 * of an id and the bytes of an image file in a format Qt reads without plug-ins (PNG, XPM, BMP),
 * ended by an entry with id 0. InitDLL reports one id; the host looks it up by its low 16 bits and
 * shows it at 16 x 16 pixels. A plug-in without the table, or without that id, has no icon.
 *
 *     MELVO_PLUGIN_EXPORT extern const MelvoPluginIcon MelvoPluginIcons[] = {   (C++ needs the extern)
 *         {101, kIconXpm, sizeof kIconXpm - 1}, {0, 0, 0}};
 */
typedef struct MelvoPluginIcon {
    int nId;
    const unsigned char *pData;
    unsigned long nSize;
} MelvoPluginIcon;
#define MELVO_PLUGIN_ICONS "MelvoPluginIcons"

#ifdef __cplusplus
}
#endif

#endif
