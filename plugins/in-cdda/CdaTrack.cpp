// Reading the drive and the track out of the names the folder tree gives CD tracks.
#include "CdaTrack.h"

#include <cctype>
#include <cstring>
#include <strings.h>

bool ParseCdaPath(const char *path, CdaTrack *track) {
    if (!path || !track)
        return false;
    const char *slash = std::strrchr(path, '/');
    if (!slash || slash == path)
        return false;
    const char *name = slash + 1;
    // "Track" + one to three digits + ".cda"
    if (strncasecmp(name, "track", 5) != 0)
        return false;
    const char *p = name + 5;
    unsigned number = 0;
    int digits = 0;
    while (std::isdigit(static_cast<unsigned char>(*p)) && digits < 3)
        number = number * 10 + unsigned(*p++ - '0'), ++digits;
    if (digits == 0 || number < 1 || number > 99 || strcasecmp(p, ".cda") != 0)
        return false;
    track->strDrive.assign(path, size_t(slash - path));
    track->nTrack = static_cast<uint8_t>(number);
    return true;
}
