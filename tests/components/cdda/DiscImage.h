// Writes audio CD images of generated audio: one BIN with a CUE sheet and a cdrdao TOC beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DiscImage {
    std::string strBin, strCue, strToc;
    std::vector<uint32_t> trackFrames; // length of each track in frames
    // The raw bytes of a track as they lie in the BIN file (little-endian 16-bit stereo).
    std::vector<uint8_t> TrackBytes(size_t track) const;
    uint32_t TrackStart(size_t track) const; // in frames from the first track's start
};

// Writes folder/name.bin, .cue and .toc; every sample differs, so a frame read from the wrong place shows.
// Seed 0 writes silence as a sparse file, for tests that need only the table of contents.
DiscImage WriteDiscImage(const std::string &folder, const std::string &name, const std::vector<uint32_t> &trackFrames,
                         uint32_t seed = 1);
