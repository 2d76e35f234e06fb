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

// The smallest stream this encoder finds: the header (inline width, literal
// and incrementing words) and the entries are chosen together by an exact
// search over the entry parse. The flag mask is always the flags the data
// uses, so every word stays writable inline as the games' tools expect. No
// even padding is added. Refuses data of odd size.
codec::EncodeResult PackSmallest(const uint8_t* data, size_t size);
inline codec::EncodeResult PackSmallest(const std::vector<uint8_t>& data)
{
    return PackSmallest(data.data(), data.size());
}

// The stream the games' own encoder makes of the data, byte for byte,
// padded to an even length as the games store it. Refuses data of odd size.
codec::EncodeResult PackExact(const uint8_t* data, size_t size);
inline codec::EncodeResult PackExact(const std::vector<uint8_t>& data) { return PackExact(data.data(), data.size()); }

} // namespace zorp::enigma
