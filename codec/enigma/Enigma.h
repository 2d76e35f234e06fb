#pragma once
// Enigma: the compression of plane maps (VDP name-table words) in all the
// games, and of the Sonic 1 special stages. A 6-byte header (inline value
// width, flag mask, incrementing word, literal word) is followed by a bit
// stream of entries, each writing 1 to 16 words; the stream has no size
// field and ends with its own end entry.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/CodecResult.h"

namespace zorp::enigma {

// Decodes the stream that begins `start` bytes into the input. `base` is the
// game's starting art tile, added to every word as the game adds it (0 for
// every map the corpus holds). `consumed` runs up to the byte that holds the
// end entry's last bit, without the even padding the games put after it.
codec::DecodeResult Decode(const uint8_t* data, size_t size, size_t start = 0,
                           size_t outputCap = codec::kDefaultOutputCap, uint16_t base = 0);
inline codec::DecodeResult Decode(const std::vector<uint8_t>& input, size_t start = 0,
                                  size_t outputCap = codec::kDefaultOutputCap, uint16_t base = 0)
{
    return Decode(input.data(), input.size(), start, outputCap, base);
}

} // namespace zorp::enigma
