#pragma once
// One Sonic 1 special stage: the rotating maze as the game decodes it, a
// 64 x 64 grid of one-byte block IDs (row by row, 4096 bytes), and Sonic's
// start position in pixels. What each block ID is, whether Sonic can pass
// it, the counts an editor shows and the warnings of a stage that cannot be
// finished are here too (game-data facts, Sonic 1 special stages).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/Bytes.h"

namespace zorp {

inline constexpr int kS1Side = 64;
inline constexpr int kS1Cells = kS1Side * kS1Side; // 4096: the game always copies this many
inline constexpr int kS1StageCount = 6;
// Sonic's start is given in pixels of a 128 x 128 cell plane whose first 32
// rows and columns are the empty margin around the layout; a cell is 24 pixels.
inline constexpr int kS1CellPixels = 0x18;
inline constexpr int kS1Margin = 32;

using S1Grid = std::array<uint8_t, kS1Cells>;

inline constexpr int S1CellIndex(int column, int row) { return row * kS1Side + column; }
inline constexpr bool IsS1Cell(int column, int row)
{
    return column >= 0 && row >= 0 && column < kS1Side && row < kS1Side;
}

// The start entry of a stage: two big-endian words, X then Y.
struct S1Start {
    uint16_t x = 0;
    uint16_t y = 0;
    friend bool operator==(const S1Start&, const S1Start&) = default;
};

struct S1Cell {
    int column = 0;
    int row = 0;
    friend bool operator==(const S1Cell&, const S1Cell&) = default;
};

// The cell the game's collision probe starts in: ((X + 0x14) / 0x18 - 32,
// (Y + 0x44) / 0x18 - 32); the probe also covers the cells to its right
// and below. May lie off the grid for a start read from a ROM.
S1Cell S1StartCell(S1Start start);
// The start moved to another cell, keeping its place inside the cell (the
// originals do not sit at cell corners). Off-grid cells are clamped.
S1Start S1StartAtCell(S1Start start, S1Cell cell);

enum class S1BlockKind {
    Empty,
    Wall,       // variant: colour 0 blue, 1 yellow, 2 pink, 3 green
    Bumper,
    WBlock,     // "W": solid, no special behaviour
    Goal,
    OneUp,
    Up,
    Down,
    Reverse,    // R
    RedWhite,   // plain solid block (what ghost blocks become)
    Glass,      // variant: 0..3, touches taken (each touch advances it, the fourth removes it)
    Zone,       // variant: 1..6, the "ZONE n" decoration
    Ring,
    Emerald,    // variant: emerald number 0..5
    Ghost,      // passable until the switch turns it solid
    Switch,     // the invisible ghost-block switch
    Frame,      // an animation frame the game puts in by itself
    Invisible,  // 0x4F and above: never drawn, but solid
};

struct S1BlockInfo {
    S1BlockKind kind = S1BlockKind::Empty;
    int variant = 0;
    bool solid = false;
    std::string name; // "Wall (blue)", "GOAL", "Emerald 3", "Ring sparkle (frame)"
};

// Block IDs of the kinds an editor places.
inline constexpr uint8_t kS1Empty = 0x00;
inline constexpr uint8_t kS1BlueWall = 0x01;
inline constexpr uint8_t kS1YellowWall = 0x0A;
inline constexpr uint8_t kS1PinkWall = 0x13;
inline constexpr uint8_t kS1GreenWall = 0x1C;
inline constexpr uint8_t kS1Bumper = 0x25;
inline constexpr uint8_t kS1WBlock = 0x26;
inline constexpr uint8_t kS1Goal = 0x27;
inline constexpr uint8_t kS1OneUp = 0x28;
inline constexpr uint8_t kS1Up = 0x29;
inline constexpr uint8_t kS1Down = 0x2A;
inline constexpr uint8_t kS1Reverse = 0x2B;
inline constexpr uint8_t kS1RedWhite = 0x2C;
inline constexpr uint8_t kS1Glass = 0x2D;
inline constexpr uint8_t kS1Ring = 0x3A;
inline constexpr uint8_t kS1FirstEmerald = 0x3B;
inline constexpr uint8_t kS1Ghost = 0x41;
inline constexpr uint8_t kS1Switch = 0x4A;
inline constexpr uint8_t kS1LastDrawn = 0x4E;
inline constexpr uint8_t kS1InvisibleWall = 0xFF;

S1BlockInfo DescribeS1Block(uint8_t id);
// A cell blocks Sonic unless it is empty, the 1-up, or 0x3A..0x4A.
bool IsS1Solid(uint8_t id);
// The emerald ID the game expects in stage k (0-based): 0x3B + k.
inline constexpr uint8_t S1EmeraldOfStage(int stage) { return static_cast<uint8_t>(kS1FirstEmerald + stage); }

struct S1StageCounts {
    int rings = 0;
    int goals = 0;
    int emeralds = 0;
    int oneUps = 0;
    int walls = 0;
    std::vector<int> emeraldNumbers; // 0..5, once each, in order
};
S1StageCounts CountS1Stage(const S1Grid& cells);

// "Rings 112, emeralds 1, GOAL 96, 1-ups 0"
std::string DescribeS1Counts(const S1StageCounts& counts);

// Sentences for a stage that cannot be finished, or not as the game means it:
// no way out (no emerald and no GOAL), no emerald, another stage's emerald,
// a start off the grid or inside solid blocks (not checked without a start).
// stage is 0-based. Empty when nothing is wrong (as for all the original
// stages).
std::vector<std::string> S1StageWarnings(const S1Grid& cells, std::optional<S1Start> start, int stage);

// The start table as stored (6 x 4 bytes) and back.
S1Start ReadS1Start(const Bytes& bytes, size_t offset);
void WriteS1Start(Bytes& bytes, size_t offset, S1Start start);

} // namespace zorp
