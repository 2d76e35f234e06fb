#pragma once
// Putting colours read from a palette file into a palette of the ROM: which
// line (16 colours) or the whole palette receives them, how many are taken,
// and the snapping of each colour to the levels the palette's word format
// can hold. Shared by the palette editor's import and `zorptool palette`.
#include <string>
#include <vector>

#include "palette/PaletteWord.h"

namespace zorp {

inline constexpr int kColorsPerLine = 16;

// The colour as the word format stores it: each level keeps the bits the
// channel sliders show (the top 3 for Genesis, the top 5 for the 15-bit
// formats). Genesis colours written by other tools as n x 16, n x 17, n x 18
// or on the hardware's brightness curve all land on the step they stand for.
ScreenColor SnapToFormat(PaletteFormat format, ScreenColor color);

// Lines of a palette of `size` colours (the last one may be short).
int PaletteLineCount(int size);

struct PaletteImportTarget {
    int line = -1;  // the line that receives the colours; -1 for the whole palette
    int count = -1; // colours taken from the start of the file; -1 for all that fit
};

struct PaletteImport {
    std::vector<ScreenColor> colors; // the whole palette after the import
    int start = 0;                   // first colour replaced
    int placed = 0;                  // colours replaced
    int snapped = 0;                 // of those, how many the snapping changed
    std::string error;               // a sentence for the user; nothing placed when set
    bool ok() const { return error.empty(); }
};

// How many colours of `imported` fit the target of a palette of `size` colours
// (0 when the line lies outside the palette).
int ImportRoom(int size, int line, int importedCount);

// The palette with the imported colours put in place. A line outside the
// palette, an empty file or a count above what fits is refused.
PaletteImport PlaceImportedColors(const std::vector<ScreenColor>& palette, const std::vector<ScreenColor>& imported,
                                  PaletteFormat format, PaletteImportTarget target);

} // namespace zorp
