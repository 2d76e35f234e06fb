#pragma once
// The chunks of a RIFF/WAVE file, found by walking them from the start rather
// than by assuming a fixed header size.
#include <cstdint>
#include <optional>

#include "rom/Bytes.h"

namespace zorp {

struct WavPcmLayout {
    uint16_t format = 0; // 1 = integer PCM
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bits = 0;
    size_t dataOffset = 0; // first sample byte
    size_t dataSize = 0;   // bytes of samples present in the file (a short file is cut to what is there)
};

// The "fmt " and "data" chunks of a WAVE file; nullopt when the bytes are not
// one or either chunk is missing or damaged.
std::optional<WavPcmLayout> FindWavChunks(const Bytes& file);

// True for 8-bit unsigned mono integer PCM at exactly this rate: such samples
// are taken over byte for byte.
bool IsGameSampleLayout(const WavPcmLayout& layout, int rate);

} // namespace zorp
