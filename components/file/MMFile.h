/* The file component: reading files by offset, for the input plug-ins. */
#ifndef MELVO_MMFILE_H
#define MELVO_MMFILE_H

#ifdef __cplusplus
extern "C" {
#endif

#define MMFILE_API __attribute__((visibility("default")))

/* Every call takes the file's path for its messages and a flag that allows showing them. */

/* Opens the file; nonzero with *handle set on success, 0 with *handle = 0 otherwise. */
MMFILE_API int OpenMMFile(const char *path, void **handle, int showErrors);

/* Closes; a null handle is accepted. Nonzero on success. */
MMFILE_API int CloseMMFile(void *handle, const char *path, int showErrors);

/* The file's size in bytes (as at open time), 0 for a null handle. */
MMFILE_API unsigned long GetMMFileSize(void *handle, const char *path, int showErrors);

/* Copies up to count bytes from the absolute offset and returns how many; 0 at or past the end, and
 * ~0ul for a null handle or destination. The current position ends just after the bytes copied. A
 * file that shrank since it was opened gives the bytes still there; one that grew reads as it was opened. */
MMFILE_API unsigned long ReadFromMMFile(void *handle, unsigned char *destination, unsigned long count, const char *path,
                                        unsigned long offset, int showErrors);

/* Moves the current position (origin 0 = start, 1 = current position, 2 = end) and returns it; -1
 * for a null handle, an unknown origin or a position before the start. Offset 0 with origin 1 asks
 * for the position. The offset is taken as signed for origins 1 and 2. */
MMFILE_API long SeekToPos(void *handle, const char *path, unsigned long offset, int origin, int showErrors);

typedef int (*PFN_OpenMMFile)(const char *, void **, int);
typedef int (*PFN_CloseMMFile)(void *, const char *, int);
typedef unsigned long (*PFN_GetMMFileSize)(void *, const char *, int);
typedef unsigned long (*PFN_ReadFromMMFile)(void *, unsigned char *, unsigned long, const char *, unsigned long, int);
typedef long (*PFN_SeekToPos)(void *, const char *, unsigned long, int, int);

#ifdef __cplusplus
}
#endif

#endif
