#pragma once
// Kosinski Moduled: the art compression of Sonic 3 and Sonic & Knuckles. A
// big-endian word gives the decoded size; the data follows in 0x1000-byte
// modules, each a complete Kosinski stream of its own, padded with zeros to
// a multiple of 16 bytes counted from the module's start.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/CodecResult.h"

namespace zorp::kosm {

inline constexpr size_t kModuleSize = 0x1000;
inline constexpr size_t kModuleAlign = 16;
// The games read a size field of 0xA000 as 0x8000.
inline constexpr uint16_t kSizeReadAsSmaller = 0xA000;

// Decodes the stream that begins `start` bytes into the input. `consumed`
// covers the size field, the modules and the padding between them, up to the
// last module's end code. The last module may decode to more than the size
// field leaves for it (a few shipped files do; the games move only the
// declared bytes), never to less; the output then holds everything decoded.
codec::DecodeResult Decode(const uint8_t* data, size_t size, size_t start = 0,
                           size_t outputCap = codec::kDefaultOutputCap);
inline codec::DecodeResult Decode(const std::vector<uint8_t>& input, size_t start = 0,
                                  size_t outputCap = codec::kDefaultOutputCap)
{
    return Decode(input.data(), input.size(), start, outputCap);
}

} // namespace zorp::kosm
