#pragma once
// Sonic 2's special stages as the game stores them, decoded: the layout block
// (which track segments each of the 7 stages plays) and the object location
// lists (the rings and bombs of every segment and the marker that ends it),
// plus the two ring requirement tables. Plain data with readers that take the
// decoded bytes and return a value or a message, and writers that give the
// same bytes back for unchanged data. The compression (Nemesis for the
// layouts, Kosinski for the object lists) is the caller's part.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "rom/Bytes.h"

namespace zorp {

inline constexpr int kS2Stages = 7;
inline constexpr int kS2SegmentTypes = 5;
// The game decodes the layouts into 0x21C bytes of RAM, in whole 32-byte
// tiles: at most 16 tiles.
inline constexpr size_t kS2LayoutRamLimit = 512;
inline constexpr size_t kS2LayoutTileBytes = 32;
// The object lists have exactly 0x1AE0 bytes of RAM.
inline constexpr size_t kS2ObjectListRamLimit = 0x1AE0;
inline constexpr int kS2MaxDistance = 63;

// ---- Layout block: 7 word offsets, then one byte per segment ----------------

// A segment byte: bits 0-6 the type (0-4), bit 7 mirrored.
inline uint8_t S2SegmentType(uint8_t segment) { return segment & 0x7F; }
inline bool S2SegmentMirrored(uint8_t segment) { return (segment & 0x80) != 0; }
inline uint8_t S2SegmentByte(uint8_t type, bool mirrored)
{
    return static_cast<uint8_t>((type & 0x7F) | (mirrored ? 0x80 : 0));
}
// "turn, then rise" ... "straight, then turn"; "unknown type N" past 4.
std::string S2SegmentTypeName(uint8_t type);
// Frames the track animation of a type lasts (24, 24, 12, 16, 11); 16 for an
// unknown type.
int S2SegmentFrames(uint8_t type);

struct S2LayoutBlock {
    // Each stage's region of the block, one byte per segment. The last stage's
    // region runs to the end of the block and so holds its unused tail too.
    std::array<Bytes, kS2Stages> stages;
    // The decoded size before padding to whole tiles.
    size_t Size() const;
};

struct S2LayoutRead {
    S2LayoutBlock block;
    std::string error; // empty when read
    bool ok() const { return error.empty(); }
};

// Reads decoded layout data. The offset table must start right after itself
// (0x000E) and grow stage by stage within the data.
S2LayoutRead ReadS2Layouts(const Bytes& decoded);
// The block with a fresh offset table, zero-padded to whole tiles. Gives back
// the bytes it was read from when nothing changed.
Bytes WriteS2Layouts(const S2LayoutBlock& block);

// ---- Object location lists ----------------------------------------------------

struct S2Object {
    bool bomb = false;
    uint8_t distance = 0; // 0-63
    uint8_t angle = 0x40; // around the pipe: 0x40 bottom centre, 0x00 / 0x80 the sides
    friend bool operator==(const S2Object&, const S2Object&) = default;
};

// What the byte that ends a segment's list does.
enum class S2Marker { Plain, Checkpoint, Emerald, RingsToGo };
S2Marker S2MarkerOf(uint8_t terminator);
uint8_t S2MarkerByte(S2Marker marker); // 0xFF, 0xFE, 0xFD, 0xFC
std::string S2MarkerName(S2Marker marker);

struct S2ObjectList {
    std::vector<S2Object> objects;
    uint8_t terminator = 0xFF; // >= 0x80; kept as read
    S2Marker marker() const { return S2MarkerOf(terminator); }
    friend bool operator==(const S2ObjectList&, const S2ObjectList&) = default;
};

struct S2StageObjects {
    std::vector<S2ObjectList> lists; // one per segment, in segment order
    Bytes tail; // bytes after the last complete list (padding), kept as read
    size_t Size() const;
    friend bool operator==(const S2StageObjects&, const S2StageObjects&) = default;
};

struct S2ObjectLists {
    std::array<S2StageObjects, kS2Stages> stages;
    size_t Size() const; // decoded bytes, offset table included
};

struct S2ObjectListsRead {
    S2ObjectLists lists;
    std::string error;
    bool ok() const { return error.empty(); }
};

// Reads decoded object lists. Like the layouts, the offset table must start
// right after itself and grow stage by stage within the data.
S2ObjectListsRead ReadS2ObjectLists(const Bytes& decoded);
Bytes WriteS2ObjectLists(const S2ObjectLists& lists);

// ---- Ring requirements ------------------------------------------------------

// Rings needed per stage at each of its checks: parts 0-1 the two gates,
// part 2 the emerald, part 3 unused (kept as read). One table for Sonic and
// Tails together, one for either alone.
using S2RingTable = std::array<std::array<uint8_t, 4>, kS2Stages>;
inline constexpr size_t kS2RingTableBytes = kS2Stages * 4;
S2RingTable ReadS2RingTable(const Bytes& bytes); // the first 28 bytes
Bytes WriteS2RingTable(const S2RingTable& table);

// ---- Counts per check ----------------------------------------------------------

// One ring check of a stage: a checkpoint gate or the emerald, in stage order.
struct S2Check {
    int segment = 0;         // 0-based list whose terminator is the check
    S2Marker marker = S2Marker::Checkpoint;
    int rings = 0;           // rings from the start of the stage up to and with this segment
    int bombs = 0;
    int requiredTeam = -1;   // -1: no requirement for a check past the third
    int requiredAlone = -1;
    bool metTeam() const { return requiredTeam < 0 || rings >= requiredTeam; }
    bool metAlone() const { return requiredAlone < 0 || rings >= requiredAlone; }
};

struct S2StageCheck {
    std::vector<S2Check> checks;
    int rings = 0; // in the whole stage
    int bombs = 0;
    std::vector<std::string> warnings; // a requirement that cannot be met, a missing check
};

// The game counts rings from the stage's start; each check compares the rings
// collected so far with the requirement of its part.
S2StageCheck CheckS2Stage(const S2StageObjects& stage, const std::array<uint8_t, 4>& team,
                          const std::array<uint8_t, 4>& alone);

} // namespace zorp
