// PALEDIT: the palettes. Every non-empty line whose key is not PALTYPE names a
// palette: description, ROM address and, optionally, a colour count (16 when
// left out or not a number).
//
// A palette line without a usable address (missing, not a number, negative)
// or with a count outside 1..32768 refuses the block at that line: a palette
// at a guessed address would be overwritten on save. A block that names no
// palette is refused too, since the editor has nothing to show.
#include <algorithm>

#include "rom/PubFunctions.h"
#include "template/Conv0x.h"
#include "template/TemplateBlocks.h"
#include "template/TemplateLimits.h"

namespace zorp {

std::optional<TemplateAction> ReadPaletteBlock(BlockReader& reader, TemplateSettings& settings)
{
    auto& state = settings.palette;
    state.palettes.clear();

    BlockLine line;
    while (reader.Next(line)) {
        if (line.key.empty())
            continue;
        if (line.key == "PALTYPE") {
            // Any other value leaves the format as it was.
            std::string type = UpperAscii(line.Value(0));
            if (type == "RGB_15")
                state.paletteType = 1;
            else if (type == "RGB_15_SWAP")
                state.paletteType = 2;
            continue;
        }
        auto address = Conv0x(line.Value(0));
        if (!address)
            return reader.Refuse(line, "A palette line needs a ROM address after its description.");
        if (*address < 0)
            return reader.Refuse(line, "A ROM address cannot be negative.");
        PaletteEntry entry{line.rawKey, *address, 16};
        if (auto count = Conv0x(line.Value(1))) {
            if (*count < 1 || *count > kMaxPaletteColors)
                return reader.Refuse(line, "A palette must have between 1 and 32768 colours.");
            entry.count = *count;
        }
        state.palettes.push_back(std::move(entry));
    }

    if (state.palettes.empty())
        return reader.RefuseBlock("The block names no palettes.");

    PaletteSetup setup;
    setup.palettes = state.palettes;
    setup.paletteType = state.paletteType;
    for (const PaletteEntry& entry : setup.palettes)
        setup.largestCount = std::max(setup.largestCount, entry.count);
    return setup;
}

} // namespace zorp
