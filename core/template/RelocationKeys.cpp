#include "template/RelocationKeys.h"

#include "rom/PubFunctions.h"
#include "template/Conv0x.h"

namespace zorp {

namespace {

bool InCartridge(int64_t offset) { return offset >= 0 && static_cast<uint64_t>(offset) < kMaxCartridgeSize; }

} // namespace

KeyUse TakeOffsetKey(const BlockLine& line, int32_t& offset, std::string& error)
{
    const auto n = Conv0x(line.Value(0));
    if (!n)
        return KeyUse::Taken;
    if (!InCartridge(*n)) {
        error = line.key + " must lie between 0 and 0x3FFFFF.";
        return KeyUse::Refused;
    }
    offset = *n;
    return KeyUse::Taken;
}

KeyUse TakeRelocationKey(const BlockLine& line, RelocationSetup& setup, std::string& error)
{
    if (line.key == "FORMAT") {
        const std::string name = UpperAscii(line.Value(0));
        if (name == "ENIGMA")
            setup.format = CompressionFormat::Enigma;
        else if (name == "NEMESIS")
            setup.format = CompressionFormat::Nemesis;
        else if (name == "KOSINSKI")
            setup.format = CompressionFormat::Kosinski;
        else if (name == "KOSINSKIM")
            setup.format = CompressionFormat::KosinskiModuled;
        else {
            error = "FORMAT must be ENIGMA, NEMESIS, KOSINSKI or KOSINSKIM.";
            return KeyUse::Refused;
        }
        return KeyUse::Taken;
    }
    if (line.key == "FILLER") {
        const auto n = Conv0x(line.Value(0));
        if (!n)
            return KeyUse::Taken;
        if (*n < 0 || *n > 0xFF) {
            error = "FILLER must be a byte value, 0 to 0xFF.";
            return KeyUse::Refused;
        }
        setup.filler = static_cast<uint8_t>(*n);
        return KeyUse::Taken;
    }
    if (line.key != "FREESPACE")
        return KeyUse::NotMine;

    const auto first = Conv0x(line.Value(0));
    const bool toEnd = UpperAscii(line.Value(1)) == "END";
    const auto last = toEnd ? first : Conv0x(line.Value(1));
    if (!first || !last) {
        error = "FREESPACE needs the first and the last byte of the range (or END).";
        return KeyUse::Refused;
    }
    if (!InCartridge(*first) || !InCartridge(*last) || *last < *first) {
        error = "A FREESPACE range must lie between 0 and 0x3FFFFF, its first byte before its last.";
        return KeyUse::Refused;
    }
    if (setup.freeRanges.size() >= kMaxFreeRanges) {
        error = "A block names at most 64 FREESPACE ranges.";
        return KeyUse::Refused;
    }
    setup.freeRanges.push_back({*first, *last, toEnd});
    return KeyUse::Taken;
}

} // namespace zorp
