#pragma once
// One Sonic 3 / Sonic & Knuckles special stage in memory: a 32 x 32 grid of
// one-byte cells plus the start data (direction, position, perfect-ring count),
// and its ROM form, the 1032-byte stage record (grid + 8-byte properties).
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "stage/StartDirection.h"

namespace zorp {

inline constexpr int kStageSide = 32;
inline constexpr int kStageCells = 1024;
inline constexpr int kPropertiesSize = 8;
inline constexpr int kStageRecordSize = 1032;
inline constexpr int kMaxRings = 1024;
// Upper bound on the records of one stage block: the S3S/C count and the
// stage combo are 16-bit, and no block is allowed to grow past this.
inline constexpr int kMaxStageRecords = 65535;

// Cell codes the editor's tools write. Other byte values are kept as read.
enum CellCode : uint8_t { Empty = 0, Red = 1, Blue = 2, Star = 3, Ring = 4, Yellow = 5 };

using StageGrid = std::array<uint8_t, kStageCells>;
using PropertiesSection = std::array<uint8_t, kPropertiesSize>;

inline constexpr int CellIndex(int column, int row) { return row * kStageSide + column; }
// True when (column, row) addresses a cell. Start positions read from files
// are kept as read (0..255) so they are written back unchanged; anything that
// indexes the grid with them checks this first.
bool IsOnGrid(int column, int row);

struct StartData {
    int16_t Direction = 0; // S3S_StartDirection, 0 = not set
    int32_t Column = 0;
    int32_t Row = 0;
    int32_t Rings = 0;
};

// ROM angle byte of a direction (0x00 for anything outside 1..4).
uint8_t DirectionAngle(int direction);
// Direction of a ROM angle byte; nullopt for an angle that names none.
std::optional<int16_t> DirectionFromAngle(uint8_t angle);

// Properties section -> start data. An unknown angle keeps start.Direction;
// rings above 1024 become 1024.
void ApplyProperties(const PropertiesSection& section, StartData& start);
// Start data -> properties section: angle, 0, column, 0, row, 0, rings BE.
// Column and row are clamped to 0..255, rings to 0..1024.
PropertiesSection MakeProperties(const StartData& start);
// The ring count limited to what the game and the editor accept (0..1024).
int32_t ClampRings(int32_t rings);

// A stage block: N records of 1032 bytes back to back.
struct StageRecord {
    StageGrid cells{};
    PropertiesSection properties{};
};
// Record k of a block; bytes missing past the block's end read as 0.
StageRecord ReadStageRecord(const std::vector<uint8_t>& block, int index);
// Writes record k, growing the block with zero bytes if it is too short. An
// index below 0 or at kMaxStageRecords or above writes nothing.
void WriteStageRecord(std::vector<uint8_t>& block, int index, const StageRecord& record);

} // namespace zorp
