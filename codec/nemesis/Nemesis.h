#pragma once
// Nemesis, the games' tile art compression: a word header (bit 15 = XOR
// mode, bits 0-14 = number of 8x8 tiles), a code table of nibble runs ended
// by 0xFF, then a bit stream of codes, each standing for 1 to 8 copies of
// one nibble. Rows of 8 nibbles come out in order; in XOR mode each row is
// XORed with the row before it.
//
// Plain C++ without Qt. Every stream is untrusted: reads are bounds-checked
// and the output is never larger than the tile count promises, which is
// checked against what the rest of the input could possibly hold before
// anything is allocated.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/CodecResult.h"

namespace zorp::nemesis {

inline constexpr size_t kTileBytes = 32;
inline constexpr size_t kMaxTiles = 0x7FFF; // the header's 15-bit tile count

// Decodes the stream that begins `start` bytes into the buffer. `consumed`
// counts the bytes the stream used, up to and including its last partly
// used byte (padding after it is not read). On a malformed stream `error`
// says what is wrong and `output` holds the rows decoded before the fault.
codec::DecodeResult Decode(const uint8_t* data, size_t size, size_t start = 0,
                           size_t outputCap = codec::kDefaultOutputCap);
inline codec::DecodeResult Decode(const std::vector<uint8_t>& input, size_t start = 0,
                                  size_t outputCap = codec::kDefaultOutputCap)
{
    return Decode(input.data(), input.size(), start, outputCap);
}

// The smallest stream this encoder can find: it chooses the mode, how runs
// are cut into pieces and the code table together. Different bytes from the
// games' streams.
codec::EncodeResult PackSmallest(const uint8_t* data, size_t size);
inline codec::EncodeResult PackSmallest(const std::vector<uint8_t>& data)
{
    return PackSmallest(data.data(), data.size());
}

// The stream the games' own compressor makes for the data, byte for byte
// (without the even padding the games' assemblers add after it).
codec::EncodeResult PackExact(const uint8_t* data, size_t size);
inline codec::EncodeResult PackExact(const std::vector<uint8_t>& data)
{
    return PackExact(data.data(), data.size());
}

} // namespace zorp::nemesis
