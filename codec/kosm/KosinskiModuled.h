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

// The smallest stream: each module through the Kosinski smallest-stream
// encoder, padded as the games pad them; no padding after the last module.
// Refuses empty data, more than 65,535 bytes, and 0xA000 bytes (the games
// would load only 0x8000 of them).
codec::EncodeResult PackSmallest(const uint8_t* data, size_t size);
inline codec::EncodeResult PackSmallest(const std::vector<uint8_t>& data)
{
    return PackSmallest(data.data(), data.size());
}

// The stream the games' own tools make: each module through the games'
// Kosinski encoder (kosinski/GamesPack.h), and the last module padded too,
// as the games' files are. Refuses what PackSmallest refuses.
codec::EncodeResult PackExact(const uint8_t* data, size_t size);
inline codec::EncodeResult PackExact(const std::vector<uint8_t>& data) { return PackExact(data.data(), data.size()); }

} // namespace zorp::kosm
