#pragma once
// Reads a sound file held in memory (WAV of any common sample format, AIFF,
// FLAC, Ogg Vorbis: whatever libsndfile reads) and mixes it to mono floats.
#include <cstdint>
#include <string>
#include <vector>

#include "rom/Bytes.h"

namespace zorp {

// Hard limits, so a hostile header cannot make a huge allocation or run on
// for ever: files above kMaxSoundFileSize are refused; at most keepSeconds
// of sound are kept, and counting the length stops at kMaxCountedFrames.
inline constexpr uint64_t kMaxSoundFileSize = 64ull << 20;
inline constexpr int64_t kMaxCountedFrames = int64_t{1} << 28;
inline constexpr int64_t kMaxKeptFrames = int64_t{1} << 24; // 64 MiB of floats
inline constexpr int kMaxChannels = 64;
inline constexpr int kMaxSourceRate = 768000;

struct DecodedSound {
    int rate = 0;
    int channels = 0;
    std::string encoding;  // "16-bit", "8-bit", "FLAC 24-bit", "Ogg Vorbis", ...
    int64_t frames = 0;    // the sound's whole length in frames (capped at kMaxCountedFrames)
    std::vector<float> mono; // the first keepSeconds of the sound, channels averaged
};

struct DecodeResult {
    DecodedSound sound;
    std::string error; // empty on success
    bool ok() const { return error.empty(); }
};

DecodeResult DecodeSound(const Bytes& file, double keepSeconds);

} // namespace zorp
