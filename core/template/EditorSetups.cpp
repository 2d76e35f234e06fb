#include "template/EditorSetups.h"

#include <algorithm>

namespace zorp {

namespace {

std::string Join(std::initializer_list<std::string> pieces)
{
    std::string out;
    for (const std::string& piece : pieces) {
        if (!out.empty())
            out += '|';
        out += piece;
    }
    return out;
}

std::string Dec(int32_t value) { return std::to_string(value); }

} // namespace

std::string FrameTag(const LevelSelectSetup& setup)
{
    return Join({Dec(setup.startAddress), setup.decodeTable, setup.variableLengths ? "VAR" : "NOVAR"});
}

std::string RowTag(const LevelEntry& level) { return Join({Dec(level.length), Dec(level.separator)}); }

std::string FrameTag(const PaletteSetup&) { return "LOADED"; }

std::string FrameTag(const PlaylistSetup& setup)
{
    return Join({Dec(setup.startAddress), Dec(setup.addValue), Dec(setup.blockSize)});
}

std::string FrameTag(const S3SSetup& setup) { return Dec(setup.startAddress); }

std::string EditorTag(const S3SSetup& setup) { return Join({setup.compressed ? "Y" : "N", Dec(setup.compLength)}); }

std::string FrameTag(const S3SFileSetup&) { return "S3S"; }

std::string EditorTag(const S3SFileSetup&) { return "N|0"; }

std::string FrameTag(const WavSetup& setup)
{
    return Join({Dec(setup.startAddress), Dec(setup.length), Dec(setup.frequency)});
}

std::string FrameTag(const S1StagesSetup& setup)
{
    return Join({Dec(setup.pointerTable), Dec(setup.startTable), Dec(setup.stages)});
}

std::vector<ByteRange> RelocationSetup::FreeRanges(uint64_t imageSize) const
{
    std::vector<ByteRange> ranges;
    for (const FreeRangeSetup& r : freeRanges) {
        if (r.first < 0 || static_cast<uint64_t>(r.first) >= imageSize)
            continue;
        const uint64_t first = static_cast<uint64_t>(r.first);
        const uint64_t end = r.toEnd ? imageSize : std::min<uint64_t>(static_cast<uint64_t>(r.last) + 1, imageSize);
        if (end > first)
            ranges.push_back({first, end - first});
    }
    return ranges;
}

std::string WavSpecsLabel(int32_t frequency, int32_t length)
{
    return "This game requires a WAV file with the frequency " + Dec(frequency) + "Hz. The WAV must not be larger " +
           "than " + Dec(length) + " bytes.";
}

} // namespace zorp
