#pragma once
// A palette as a run of colour words: decoding the bytes read from a ROM into
// screen colours and encoding edited colours back into bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "palette/PaletteWord.h"

namespace zorp {

// The most colour entries one palette may have. Counts come from templates,
// so they are bounded; this is far above any palette the games hold (64
// colours fill the whole colour RAM).
inline constexpr size_t kMaxPaletteEntries = 32768;

// Decodes count words (at most kMaxPaletteEntries) from bytes; word i is bytes
// 2i and 2i + 1. Bytes missing at the end (a palette cut off by the end of the
// file) read as 0, so those entries come out black.
std::vector<ScreenColor> DecodePalette(PaletteFormat format, const std::vector<uint8_t>& bytes, size_t count);

// Encodes the colours into 2 x size bytes, word i at bytes 2i and 2i + 1.
std::vector<uint8_t> EncodePalette(PaletteFormat format, const std::vector<ScreenColor>& colors);

} // namespace zorp
