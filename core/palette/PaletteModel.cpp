#include "palette/PaletteModel.h"

#include <algorithm>

namespace zorp {

std::vector<ScreenColor> DecodePalette(PaletteFormat format, const std::vector<uint8_t>& bytes, size_t count)
{
    count = std::min(count, kMaxPaletteEntries);
    auto byteAt = [&bytes](size_t i) -> uint8_t { return i < bytes.size() ? bytes[i] : 0; };
    std::vector<ScreenColor> colors;
    colors.reserve(count);
    for (size_t i = 0; i < count; ++i)
        colors.push_back(DecodePaletteWord(format, {byteAt(2 * i), byteAt(2 * i + 1)}));
    return colors;
}

std::vector<uint8_t> EncodePalette(PaletteFormat format, const std::vector<ScreenColor>& colors)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(2 * colors.size());
    for (const ScreenColor& color : colors) {
        const PaletteWord word = EncodePaletteWord(format, color);
        bytes.push_back(word[0]);
        bytes.push_back(word[1]);
    }
    return bytes;
}

} // namespace zorp
