#pragma once
// Palette files other tools read and write: the Genesis palette file the
// disassemblies keep (big-endian 16-bit words, 0000 BBB0 GGG0 RRR0), JASC-PAL
// text files and GIMP palettes (.gpl). Readers take the file's bytes and
// return the colours or a message; writers return the bytes. PNG palettes need
// an image decoder and live beside the palette editor (palette/PalettePng.h).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "palette/PaletteWord.h"

namespace zorp {

enum class PaletteFileFormat {
    GenesisWords, // .bin
    JascPal,      // .pal
    Gimp,         // .gpl
    Png,          // .png (read and written outside the core)
};

// The format named by a path's extension (any case), or nullopt.
std::optional<PaletteFileFormat> PaletteFileFormatOfPath(const std::string& path);
// "Genesis colour words", "JASC-PAL palette", ... for messages.
std::string PaletteFileFormatName(PaletteFileFormat format);

// The most colours a palette file may hold; a file that says or holds more is
// refused rather than read (a whole Genesis colour RAM is 64 colours, a Game
// Boy Advance one 512).
inline constexpr size_t kMaxPaletteFileColors = 4096;
// The largest palette file read at all.
inline constexpr uint64_t kMaxPaletteFileSize = 1u << 20;

struct PaletteFileRead {
    std::vector<ScreenColor> colors;
    std::string error; // a sentence for the user; empty when the file was read
    bool ok() const { return error.empty(); }
};

// Readers of the three text and word formats. An empty file, a file with no
// colour, a broken line or a value outside 0..255 is refused with a message
// naming what is wrong (and the line, for the text formats).
PaletteFileRead ReadGenesisPaletteFile(const std::vector<uint8_t>& bytes);
PaletteFileRead ReadJascPalFile(const std::vector<uint8_t>& bytes);
PaletteFileRead ReadGimpPaletteFile(const std::vector<uint8_t>& bytes);
// Dispatches on the format; Png is refused (it is read outside the core).
PaletteFileRead ReadPaletteFile(PaletteFileFormat format, const std::vector<uint8_t>& bytes);
// Tries JASC-PAL, then GIMP: palette text pasted from the clipboard.
PaletteFileRead ReadPaletteText(const std::string& text);

std::vector<uint8_t> WriteGenesisPaletteFile(const std::vector<ScreenColor>& colors);
std::vector<uint8_t> WriteJascPalFile(const std::vector<ScreenColor>& colors);
std::vector<uint8_t> WriteGimpPaletteFile(const std::vector<ScreenColor>& colors, const std::string& name);
// Dispatches on the format; Png gives an empty result.
std::vector<uint8_t> WritePaletteFile(PaletteFileFormat format, const std::vector<ScreenColor>& colors,
                                      const std::string& name);

} // namespace zorp
