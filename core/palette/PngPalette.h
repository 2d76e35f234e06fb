#pragma once
// The palette of an indexed PNG file, read straight from its chunks (IHDR and
// PLTE) without decoding the picture: the colours in the file's own order and
// number. Pictures without a palette (true colour, grey) are told apart so
// that the caller can look for a swatch strip in them instead.
#include <cstdint>
#include <string>
#include <vector>

#include "palette/PaletteWord.h"

namespace zorp {

struct PngPaletteRead {
    enum class Kind {
        Broken,    // not a PNG, or damaged before its palette: see error
        Indexed,   // colour type 3: colors holds its palette
        NoPalette, // a sound PNG header of another colour type
    };
    Kind kind = Kind::Broken;
    std::vector<ScreenColor> colors;
    std::string error;
    uint32_t width = 0; // from the header, for Indexed and NoPalette
    uint32_t height = 0;
};

// Chunk lengths are checked against the file's size and every chunk read is
// checked against its CRC.
PngPaletteRead ReadPngPalette(const std::vector<uint8_t>& bytes);

} // namespace zorp
