// A "TrackNN.cda" path: the drive string it lies below and the track number it names.
#pragma once

#include <cstdint>
#include <string>

struct CdaTrack {
    std::string strDrive; // the cdda drive string (device or disc image path)
    uint8_t nTrack = 0;   // 1..99
};

// False for a path that is not "<drive>/TrackNN.cda" (the name's case does not matter).
bool ParseCdaPath(const char *path, CdaTrack *track);
