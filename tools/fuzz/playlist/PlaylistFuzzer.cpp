// libFuzzer target: random bytes read as PLS and M3U playlists.
#include "Messages.h"
#include "PlaylistFuzzBody.h"

// The parser's messages go nowhere here: only crashes and broken results count.
int ShowError(unsigned, unsigned, const QString &, int, bool, unsigned) {
    return IDOK;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzPlaylistOnce(data, size);
    return 0;
}
