// LEVELSELECT: the level select names.
//
// Values the language leaves open are handled so that nothing garbles the ROM
// on save:
// - LEVELS outside 0..65535, a length outside 0..4096, a negative separator or
//   a negative STARTADDR refuse the block at that line.
// - A level number outside 1..LEVELS in LVLLENGTH_S / SEPAMT: the line has no
//   effect, as the language says.
// - At the end: no STARTADDR, no levels, a decode table that is not built in,
//   or names adding up to more than 1 MiB refuse the block.
#include <algorithm>

#include "rom/PubFunctions.h"
#include "template/Conv0x.h"
#include "template/DecodeTables.h"
#include "template/TemplateBlocks.h"
#include "template/TemplateLimits.h"

namespace zorp {

namespace {

bool IsValidLength(int32_t length) { return length >= 0 && length <= kMaxLevelNameLength; }

// "LVLLENGTH_S: k: n" / "SEPAMT: k: n": the 0-based level, or nullopt when the
// line has no effect.
std::optional<size_t> LevelIndex(const BlockLine& line, const TemplateSettings::LevelSelect& state)
{
    auto level = Conv0x(line.Value(0));
    if (!level || *level < 1 || *level > state.levels)
        return std::nullopt;
    return static_cast<size_t>(*level - 1);
}

} // namespace

std::optional<TemplateAction> ReadLevelSelectBlock(BlockReader& reader, TemplateSettings& settings)
{
    auto& state = settings.levelSelect;
    state.longest = 0;

    BlockLine line;
    while (reader.Next(line)) {
        const std::string& key = line.key;
        if (key == "LEVELS") {
            auto n = Conv0x(line.Value(0));
            if (!n)
                continue;
            if (*n < 0 || *n > kMaxLevels)
                return reader.Refuse(line, "The number of levels must lie between 0 and 65535.");
            state.levels = *n;
            state.lengths.assign(static_cast<size_t>(*n), 0);
            state.separators.assign(static_cast<size_t>(*n), 0);
        } else if (key == "VARLENGTH") {
            state.varLength = line.Value(0) == "Y";
        } else if (key == "LVLLENGTH") {
            auto n = Conv0x(line.Value(0));
            if (!n)
                continue;
            if (!IsValidLength(*n))
                return reader.Refuse(line, "A name length must lie between 0 and 4096.");
            state.defaultLength = *n;
            state.longest = std::max(state.longest, *n);
        } else if (key == "LVLLENGTH_S") {
            auto index = LevelIndex(line, state);
            auto n = Conv0x(line.Value(1));
            if (!index || !n)
                continue;
            if (!IsValidLength(*n))
                return reader.Refuse(line, "A name length must lie between 0 and 4096.");
            state.lengths[*index] = *n;
            state.longest = std::max(state.longest, *n);
        } else if (key == "STARTADDR") {
            std::string error = TakeStartAddress(line, settings);
            if (!error.empty())
                return reader.Refuse(line, error);
        } else if (key == "DECODETBL") {
            state.decodeTable = line.Value(0);
        } else if (key == "SEPARATOR") {
            auto n = Conv0x(line.Value(0));
            if (!n)
                continue;
            if (*n < 0)
                return reader.Refuse(line, "A separator cannot be negative.");
            state.defaultSeparator = *n;
        } else if (key == "VARSEP") {
            state.varSeparator = line.Value(0) == "Y";
        } else if (key == "SEPAMT") {
            auto index = LevelIndex(line, state);
            auto n = Conv0x(line.Value(1));
            if (!index || !n)
                continue;
            if (*n < 0)
                return reader.Refuse(line, "A separator cannot be negative.");
            state.separators[*index] = *n;
        }
    }

    // The common values replace the per-level ones unless the flag asks for
    // per-level values.
    if (!state.varSeparator)
        state.separators.assign(state.separators.size(), state.defaultSeparator);
    if (!state.varLength)
        state.lengths.assign(state.lengths.size(), state.defaultLength);

    if (!settings.startAddress)
        return reader.RefuseBlock("The key STARTADDR is missing.");
    if (state.levels <= 0)
        return reader.RefuseBlock("The block defines no levels (LEVELS).");
    if (!FindDecodeTable(state.decodeTable))
        return reader.RefuseBlock("Unknown decode table \"" + state.decodeTable +
                                  "\" (DECODETBL must be S1, S3, S3D or C++).");

    LevelSelectSetup setup;
    setup.startAddress = *settings.startAddress;
    setup.decodeTable = state.decodeTable;
    setup.variableLengths = state.varLength;
    setup.longestLength = state.longest;
    int64_t totalBytes = 0;
    for (size_t i = 0; i < state.lengths.size(); ++i) {
        setup.levels.push_back({state.lengths[i], state.separators[i]});
        totalBytes += state.lengths[i];
    }
    if (totalBytes > kMaxLevelSelectBytes)
        return reader.RefuseBlock("The level names add up to more than 1 MiB.");
    return setup;
}

} // namespace zorp
