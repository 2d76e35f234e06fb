#include "palette/PaletteImport.h"

#include <algorithm>

namespace zorp {

ScreenColor SnapToFormat(PaletteFormat format, ScreenColor color)
{
    return ColorFromSliders(format, SlidersFromColor(format, color));
}

int PaletteLineCount(int size) { return size <= 0 ? 0 : (size + kColorsPerLine - 1) / kColorsPerLine; }

int ImportRoom(int size, int line, int importedCount)
{
    if (line < -1 || line >= PaletteLineCount(size))
        return 0;
    const int room = line < 0 ? size : std::min(kColorsPerLine, size - line * kColorsPerLine);
    return std::max(0, std::min(room, importedCount));
}

PaletteImport PlaceImportedColors(const std::vector<ScreenColor>& palette, const std::vector<ScreenColor>& imported,
                                  PaletteFormat format, PaletteImportTarget target)
{
    PaletteImport result;
    const int size = static_cast<int>(palette.size());
    const int lines = PaletteLineCount(size);
    if (imported.empty()) {
        result.error = "The file holds no colour.";
        return result;
    }
    if (target.line < -1 || target.line >= lines) {
        result.error = "The palette has " + std::to_string(lines) + (lines == 1 ? " line" : " lines") +
                       " (0 to " + std::to_string(std::max(0, lines - 1)) + "); there is no line " +
                       std::to_string(target.line) + ".";
        return result;
    }
    const int fits = ImportRoom(size, target.line, static_cast<int>(imported.size()));
    if (target.count == 0 || target.count < -1 || target.count > fits) {
        result.error = "Cannot take " + std::to_string(target.count) + " colours: " + std::to_string(fits) +
                       " of the file's " + std::to_string(imported.size()) + " fit " +
                       (target.line < 0 ? std::string("the palette") : "line " + std::to_string(target.line)) + ".";
        return result;
    }
    result.colors = palette;
    result.start = target.line < 0 ? 0 : target.line * kColorsPerLine;
    result.placed = target.count < 0 ? fits : target.count;
    for (int i = 0; i < result.placed; ++i) {
        const ScreenColor snapped = SnapToFormat(format, imported[static_cast<size_t>(i)]);
        if (!(snapped == imported[static_cast<size_t>(i)]))
            ++result.snapped;
        result.colors[static_cast<size_t>(result.start + i)] = snapped;
    }
    return result;
}

} // namespace zorp
