#pragma once
// Palettes as PNG images (QtGui only, no widgets, no display): shared by the
// palette editor and `zorptool palette`. Export writes a swatch strip, one
// 16 x 16 square per colour in a row, as an indexed PNG whose palette holds
// the colours in order (a true-colour strip beyond 256 colours). Import takes the palette of an indexed PNG as it
// stands, or the colours of a swatch strip (a row or column of equal squares,
// each of one colour) from a PNG without a palette.
#include <string>
#include <vector>

#include "palette/PaletteFile.h"

namespace zorp::ui {

zorp::PaletteFileRead ReadPalettePng(const std::vector<uint8_t>& bytes);
// Empty when Qt cannot encode the image.
std::vector<uint8_t> WritePalettePng(const std::vector<zorp::ScreenColor>& colors);

// Any palette file by its extension: read whole (at most
// zorp::kMaxPaletteFileSize bytes) and decoded.
zorp::PaletteFileRead ReadPaletteFileAt(const std::string& path);
// Writes the colours in the format of the path's extension; the reason on
// failure, else empty. The file is replaced in one step.
std::string WritePaletteFileAt(const std::string& path, const std::vector<zorp::ScreenColor>& colors,
                               const std::string& name);

} // namespace zorp::ui
