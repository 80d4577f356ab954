// Generated audio CD images for the cdda tests and benchmark.
#include "DiscImage.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

constexpr uint32_t kFrameBytes = 2352;

std::string Msf(uint32_t frames) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", frames / 4500, frames / 75 % 60, frames % 75);
    return text;
}

std::string FileName(const std::string &path) {
    return path.substr(path.find_last_of('/') + 1);
}

} // namespace

uint32_t DiscImage::TrackStart(size_t track) const {
    uint32_t start = 0;
    for (size_t i = 0; i < track; ++i)
        start += trackFrames[i];
    return start;
}

std::vector<uint8_t> DiscImage::TrackBytes(size_t track) const {
    std::vector<uint8_t> bytes(size_t(trackFrames[track]) * kFrameBytes);
    std::ifstream in(strBin, std::ios::binary);
    in.seekg(std::streamoff(TrackStart(track)) * kFrameBytes);
    in.read(reinterpret_cast<char *>(bytes.data()), std::streamsize(bytes.size()));
    if (!in)
        throw std::runtime_error("cannot read " + strBin);
    return bytes;
}

DiscImage WriteDiscImage(const std::string &folder, const std::string &name, const std::vector<uint32_t> &trackFrames,
                         uint32_t seed) {
    DiscImage image;
    image.strBin = folder + "/" + name + ".bin";
    image.strCue = folder + "/" + name + ".cue";
    image.strToc = folder + "/" + name + ".toc";
    image.trackFrames = trackFrames;

    std::ofstream bin(image.strBin, std::ios::binary | std::ios::trunc);
    if (seed == 0) {
        bin.close();
        std::filesystem::resize_file(image.strBin, uint64_t(image.TrackStart(trackFrames.size())) * kFrameBytes);
    }
    uint32_t state = seed;
    std::vector<char> frame(kFrameBytes);
    for (uint32_t frames : seed ? trackFrames : std::vector<uint32_t>())
        for (uint32_t f = 0; f < frames; ++f) {
            for (char &byte : frame) {
                state = state * 1664525u + 1013904223u;
                byte = static_cast<char>(state >> 24);
            }
            bin.write(frame.data(), std::streamsize(frame.size()));
        }
    bin.close();

    std::ofstream cue(image.strCue, std::ios::trunc);
    cue << "FILE \"" << FileName(image.strBin) << "\" BINARY\n";
    std::ofstream toc(image.strToc, std::ios::trunc);
    toc << "CD_DA\n";
    for (size_t t = 0; t < trackFrames.size(); ++t) {
        char number[24];
        std::snprintf(number, sizeof number, "%02zu", t + 1);
        cue << "  TRACK " << number << " AUDIO\n    INDEX 01 " << Msf(image.TrackStart(t)) << "\n";
        toc << "\nTRACK AUDIO\nNO COPY\nNO PRE_EMPHASIS\nTWO_CHANNEL_AUDIO\nFILE \"" << FileName(image.strBin) << "\" "
            << Msf(image.TrackStart(t)) << " " << Msf(trackFrames[t]) << "\n";
    }
    if (!cue || !toc)
        throw std::runtime_error("cannot write the image of " + name);
    return image;
}
