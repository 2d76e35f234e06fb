#include "stage/S2StageData.h"

#include <algorithm>

namespace zorp {

namespace {

constexpr size_t kTableBytes = 2 * kS2Stages;

uint16_t Word(const Bytes& data, size_t at) { return static_cast<uint16_t>(data[at] << 8 | data[at + 1]); }

void PutWord(Bytes& data, size_t at, size_t value)
{
    data[at] = static_cast<uint8_t>(value >> 8);
    data[at + 1] = static_cast<uint8_t>(value);
}

// The byte ranges of the 7 stage regions, or an error. Both blocks share the
// table's form: word offsets from the block's start, the first one right
// after the table, each no smaller than the one before, none past the end.
std::string StageRegions(const Bytes& data, const char* what, std::array<size_t, kS2Stages + 1>& bounds)
{
    if (data.size() < kTableBytes)
        return std::string("The ") + what + " are too short to hold their table of 7 stages.";
    if (data.size() > 0xFFFF)
        return std::string("The ") + what + " are longer than their 16-bit offsets can reach.";
    for (int s = 0; s < kS2Stages; ++s)
        bounds[static_cast<size_t>(s)] = Word(data, 2 * static_cast<size_t>(s));
    bounds[kS2Stages] = data.size();
    if (bounds[0] != kTableBytes)
        return std::string("The ") + what + " do not start right after their table of 7 stages.";
    for (int s = 0; s < kS2Stages; ++s) {
        if (bounds[static_cast<size_t>(s) + 1] < bounds[static_cast<size_t>(s)])
            return std::string("The ") + what + "' table points stage " + std::to_string(s + 1) +
                   (s + 1 < kS2Stages ? " past stage " + std::to_string(s + 2) : std::string(" past the end")) +
                   ".";
    }
    return {};
}

} // namespace

std::string S2SegmentTypeName(uint8_t type)
{
    switch (type) {
    case 0: return "turn, then rise";
    case 1: return "turn, then drop";
    case 2: return "turn, then straight";
    case 3: return "straight";
    case 4: return "straight, then turn";
    }
    return "unknown type " + std::to_string(type);
}

int S2SegmentFrames(uint8_t type)
{
    static constexpr int kFrames[kS2SegmentTypes] = {24, 24, 12, 16, 11};
    return type < kS2SegmentTypes ? kFrames[type] : 16;
}

size_t S2LayoutBlock::Size() const
{
    size_t size = kTableBytes;
    for (const Bytes& stage : stages)
        size += stage.size();
    return size;
}

S2LayoutRead ReadS2Layouts(const Bytes& decoded)
{
    S2LayoutRead read;
    std::array<size_t, kS2Stages + 1> bounds{};
    read.error = StageRegions(decoded, "special stage layouts", bounds);
    if (!read.ok())
        return read;
    for (size_t s = 0; s < kS2Stages; ++s)
        read.block.stages[s].assign(decoded.begin() + static_cast<std::ptrdiff_t>(bounds[s]),
                                    decoded.begin() + static_cast<std::ptrdiff_t>(bounds[s + 1]));
    return read;
}

Bytes WriteS2Layouts(const S2LayoutBlock& block)
{
    size_t size = block.Size();
    size_t padded = (size + kS2LayoutTileBytes - 1) / kS2LayoutTileBytes * kS2LayoutTileBytes;
    Bytes out(padded, 0);
    size_t at = kTableBytes;
    for (size_t s = 0; s < kS2Stages; ++s) {
        PutWord(out, 2 * s, at);
        std::copy(block.stages[s].begin(), block.stages[s].end(), out.begin() + static_cast<std::ptrdiff_t>(at));
        at += block.stages[s].size();
    }
    return out;
}

S2Marker S2MarkerOf(uint8_t terminator)
{
    switch (terminator) {
    case 0xFF: return S2Marker::Plain;
    case 0xFE: return S2Marker::Checkpoint;
    case 0xFD: return S2Marker::Emerald;
    default: return S2Marker::RingsToGo;
    }
}

uint8_t S2MarkerByte(S2Marker marker)
{
    switch (marker) {
    case S2Marker::Plain: return 0xFF;
    case S2Marker::Checkpoint: return 0xFE;
    case S2Marker::Emerald: return 0xFD;
    case S2Marker::RingsToGo: return 0xFC;
    }
    return 0xFF;
}

std::string S2MarkerName(S2Marker marker)
{
    switch (marker) {
    case S2Marker::Plain: return "plain";
    case S2Marker::Checkpoint: return "checkpoint";
    case S2Marker::Emerald: return "emerald";
    case S2Marker::RingsToGo: return "rings to go";
    }
    return "?";
}

size_t S2StageObjects::Size() const
{
    size_t size = tail.size();
    for (const S2ObjectList& list : lists)
        size += 2 * list.objects.size() + 1;
    return size;
}

size_t S2ObjectLists::Size() const
{
    size_t size = kTableBytes;
    for (const S2StageObjects& stage : stages)
        size += stage.Size();
    return size;
}

S2ObjectListsRead ReadS2ObjectLists(const Bytes& decoded)
{
    S2ObjectListsRead read;
    std::array<size_t, kS2Stages + 1> bounds{};
    read.error = StageRegions(decoded, "special stage object lists", bounds);
    if (!read.ok())
        return read;
    for (size_t s = 0; s < kS2Stages; ++s) {
        S2StageObjects& stage = read.lists.stages[s];
        size_t at = bounds[s];
        size_t end = bounds[s + 1];
        S2ObjectList list;
        size_t listStart = at;
        while (at < end) {
            uint8_t first = decoded[at];
            if (first >= 0x80) {
                list.terminator = first;
                stage.lists.push_back(std::move(list));
                list = {};
                listStart = ++at;
                continue;
            }
            if (end - at < 2)
                break; // half an object: padding
            list.objects.push_back({(first & 0x40) != 0, static_cast<uint8_t>(first & 0x3F), decoded[at + 1]});
            at += 2;
        }
        // Whatever does not end with a terminator is no list the game reads.
        stage.tail.assign(decoded.begin() + static_cast<std::ptrdiff_t>(listStart),
                          decoded.begin() + static_cast<std::ptrdiff_t>(end));
    }
    return read;
}

Bytes WriteS2ObjectLists(const S2ObjectLists& lists)
{
    Bytes out(kTableBytes, 0);
    out.reserve(lists.Size());
    for (size_t s = 0; s < kS2Stages; ++s) {
        PutWord(out, 2 * s, out.size());
        const S2StageObjects& stage = lists.stages[s];
        for (const S2ObjectList& list : stage.lists) {
            for (const S2Object& object : list.objects) {
                out.push_back(static_cast<uint8_t>((object.bomb ? 0x40 : 0) | (object.distance & 0x3F)));
                out.push_back(object.angle);
            }
            out.push_back(list.terminator);
        }
        out.insert(out.end(), stage.tail.begin(), stage.tail.end());
    }
    return out;
}

S2RingTable ReadS2RingTable(const Bytes& bytes)
{
    S2RingTable table{};
    for (size_t i = 0; i < kS2RingTableBytes && i < bytes.size(); ++i)
        table[i / 4][i % 4] = bytes[i];
    return table;
}

Bytes WriteS2RingTable(const S2RingTable& table)
{
    Bytes out;
    for (const auto& stage : table)
        out.insert(out.end(), stage.begin(), stage.end());
    return out;
}

S2StageCheck CheckS2Stage(const S2StageObjects& stage, const std::array<uint8_t, 4>& team,
                          const std::array<uint8_t, 4>& alone)
{
    S2StageCheck result;
    for (size_t i = 0; i < stage.lists.size(); ++i) {
        const S2ObjectList& list = stage.lists[i];
        for (const S2Object& object : list.objects)
            ++(object.bomb ? result.bombs : result.rings);
        S2Marker marker = list.marker();
        if (marker != S2Marker::Checkpoint && marker != S2Marker::Emerald)
            continue;
        S2Check check;
        check.segment = static_cast<int>(i);
        check.marker = marker;
        check.rings = result.rings;
        check.bombs = result.bombs;
        size_t part = result.checks.size();
        if (part < 3) {
            check.requiredTeam = team[part];
            check.requiredAlone = alone[part];
        }
        result.checks.push_back(check);
        if (!check.metTeam() || !check.metAlone()) {
            int needed = std::max(check.requiredTeam, check.requiredAlone);
            result.warnings.push_back("Check " + std::to_string(part + 1) + " (" + S2MarkerName(marker) +
                                      ", segment " + std::to_string(i + 1) + ") needs " + std::to_string(needed) +
                                      " rings, but only " + std::to_string(check.rings) +
                                      " lie before it: it cannot be met.");
        }
    }
    if (result.checks.size() != 3)
        result.warnings.push_back("The stage has " + std::to_string(result.checks.size()) +
                                  " ring checks; the game expects 3 (two checkpoints, then the emerald).");
    else if (result.checks.back().marker != S2Marker::Emerald)
        result.warnings.push_back("The stage's third ring check is no emerald: the stage never gives one.");
    return result;
}

} // namespace zorp
