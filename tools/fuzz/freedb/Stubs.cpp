// What the parsers need of the program and of cdda, for the fuzzer and the benchmark built on their own.
#include "Helpers.h"
#include "Messages.h"
#include "cdda/CDDA.h"

#include <QDir>

int ShowError(unsigned, unsigned, const QString &, int, bool, unsigned) {
    return IDOK;
}
bool EnsureFolder(const QString &path) {
    return QDir(path).exists() || QDir().mkdir(path);
}
extern "C" {
uint32_t GetDiscID(uint8_t) {
    return 0;
}
uint8_t GetMediaTOC(uint32_t *, uint8_t) {
    return 0;
}
size_t GetDriveInfo(uint8_t, char *, char *, size_t) {
    return 0;
}
void NewCD(uint8_t) {}
void SetFile(uint8_t, FILE *, uint32_t) {}
FILE *GetFile(uint8_t, uint32_t *) {
    return nullptr;
}
}
