#include "stage/S1Stage.h"

#include <algorithm>

namespace zorp {

namespace {

constexpr int kProbeX = 0x14;
constexpr int kProbeY = 0x44;

const char* const kWallColours[] = {"blue", "yellow", "pink", "green"};

uint16_t ToWord(int value) { return static_cast<uint16_t>(std::clamp(value, 0, 0xFFFF)); }

} // namespace

S1Cell S1StartCell(S1Start start)
{
    return {(start.x + kProbeX) / kS1CellPixels - kS1Margin, (start.y + kProbeY) / kS1CellPixels - kS1Margin};
}

S1Start S1StartAtCell(S1Start start, S1Cell cell)
{
    const int column = std::clamp(cell.column, 0, kS1Side - 1);
    const int row = std::clamp(cell.row, 0, kS1Side - 1);
    const int inX = (start.x + kProbeX) % kS1CellPixels;
    const int inY = (start.y + kProbeY) % kS1CellPixels;
    return {ToWord((column + kS1Margin) * kS1CellPixels - kProbeX + inX),
            ToWord((row + kS1Margin) * kS1CellPixels - kProbeY + inY)};
}

bool IsS1Solid(uint8_t id) { return !(id == kS1Empty || id == kS1OneUp || (id >= 0x3A && id <= 0x4A)); }

S1BlockInfo DescribeS1Block(uint8_t id)
{
    S1BlockInfo info;
    info.solid = IsS1Solid(id);
    auto set = [&](S1BlockKind kind, std::string name, int variant = 0) {
        info.kind = kind;
        info.name = std::move(name);
        info.variant = variant;
    };
    if (id == kS1Empty) {
        set(S1BlockKind::Empty, "Empty");
    } else if (id <= 0x24) {
        const int colour = (id - 1) / 9;
        const int phase = (id - 1) % 9;
        // The first ID of a colour keeps its palette; the other eight cycle.
        set(S1BlockKind::Wall,
            std::string("Wall (") + kWallColours[colour] + (phase ? ", glint " + std::to_string(phase) : "") + ")",
            colour);
    } else if (id == kS1Bumper) {
        set(S1BlockKind::Bumper, "Bumper");
    } else if (id == kS1WBlock) {
        set(S1BlockKind::WBlock, "W block");
    } else if (id == kS1Goal) {
        set(S1BlockKind::Goal, "GOAL");
    } else if (id == kS1OneUp) {
        set(S1BlockKind::OneUp, "1-UP");
    } else if (id == kS1Up) {
        set(S1BlockKind::Up, "UP (speeds the rotation up)");
    } else if (id == kS1Down) {
        set(S1BlockKind::Down, "DOWN (slows the rotation down)");
    } else if (id == kS1Reverse) {
        set(S1BlockKind::Reverse, "R (reverses the rotation)");
    } else if (id == kS1RedWhite) {
        set(S1BlockKind::RedWhite, "Red and white block");
    } else if (id >= 0x2D && id <= 0x30) {
        set(S1BlockKind::Glass, "Glass block (breaks after " + std::to_string(4 - (id - 0x2D)) + (id == 0x30 ? " touch)" : " touches)"),
            id - 0x2D);
    } else if (id == 0x31) {
        set(S1BlockKind::Frame, "R block, pressed (animation frame)");
    } else if (id == 0x32 || id == 0x33) {
        set(S1BlockKind::Frame, "Bumper, hit (animation frame)");
    } else if (id >= 0x34 && id <= 0x39) {
        set(S1BlockKind::Zone, "ZONE " + std::to_string(id - 0x33), id - 0x33);
    } else if (id == kS1Ring) {
        set(S1BlockKind::Ring, "Ring");
    } else if (id >= kS1FirstEmerald && id <= 0x40) {
        set(S1BlockKind::Emerald, "Emerald " + std::to_string(id - kS1FirstEmerald + 1), id - kS1FirstEmerald);
    } else if (id == kS1Ghost) {
        set(S1BlockKind::Ghost, "Ghost block");
    } else if (id >= 0x42 && id <= 0x45) {
        set(S1BlockKind::Frame, "Ring sparkle (animation frame)");
    } else if (id >= 0x46 && id <= 0x49) {
        set(S1BlockKind::Frame, "1-UP / emerald sparkle (animation frame)");
    } else if (id == kS1Switch) {
        set(S1BlockKind::Switch, "Ghost block switch (invisible)");
    } else if (id <= kS1LastDrawn) {
        set(S1BlockKind::Frame, "Glass block (animation frame)");
    } else {
        set(S1BlockKind::Invisible, "Invisible solid block");
    }
    return info;
}

S1StageCounts CountS1Stage(const S1Grid& cells)
{
    S1StageCounts counts;
    bool seen[6] = {};
    for (uint8_t id : cells) {
        if (id == kS1Ring)
            ++counts.rings;
        else if (id == kS1Goal)
            ++counts.goals;
        else if (id == kS1OneUp)
            ++counts.oneUps;
        else if (id >= kS1BlueWall && id <= 0x24)
            ++counts.walls;
        else if (id >= kS1FirstEmerald && id <= 0x40) {
            ++counts.emeralds;
            seen[id - kS1FirstEmerald] = true;
        }
    }
    for (int k = 0; k < 6; ++k)
        if (seen[k])
            counts.emeraldNumbers.push_back(k);
    return counts;
}

std::string DescribeS1Counts(const S1StageCounts& counts)
{
    return "Rings " + std::to_string(counts.rings) + ", emeralds " + std::to_string(counts.emeralds) + ", GOAL " +
           std::to_string(counts.goals) + ", 1-ups " + std::to_string(counts.oneUps);
}

std::vector<std::string> S1StageWarnings(const S1Grid& cells, std::optional<S1Start> start, int stage)
{
    std::vector<std::string> warnings;
    const S1StageCounts counts = CountS1Stage(cells);
    const int expected = stage + 1;
    if (counts.emeralds == 0 && counts.goals == 0)
        warnings.push_back("No emerald and no GOAL block: the stage can never be left.");
    else if (counts.emeralds == 0)
        warnings.push_back("No emerald: the stage can only be left through a GOAL block.");
    for (int k : counts.emeraldNumbers)
        if (k != stage && stage >= 0 && stage < kS1StageCount)
            warnings.push_back("Emerald " + std::to_string(k + 1) + " belongs to stage " + std::to_string(k + 1) +
                               "; the game gives emerald " + std::to_string(expected) + " in stage " +
                               std::to_string(expected) + " and skips a stage whose emerald was won.");

    if (!start)
        return warnings;
    const S1Cell cell = S1StartCell(*start);
    if (!IsS1Cell(cell.column, cell.row)) {
        warnings.push_back("The start position lies outside the layout.");
        return warnings;
    }
    // The probe covers the start cell and its right and lower neighbours.
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            const int c = cell.column + dx;
            const int r = cell.row + dy;
            if (IsS1Cell(c, r) && IsS1Solid(cells[static_cast<size_t>(S1CellIndex(c, r))])) {
                warnings.push_back("The start position lies inside a solid block: Sonic cannot move.");
                return warnings;
            }
        }
    return warnings;
}

S1Start ReadS1Start(const Bytes& bytes, size_t offset)
{
    if (offset > bytes.size() || bytes.size() - offset < 4)
        return {};
    return {static_cast<uint16_t>(bytes[offset] << 8 | bytes[offset + 1]),
            static_cast<uint16_t>(bytes[offset + 2] << 8 | bytes[offset + 3])};
}

void WriteS1Start(Bytes& bytes, size_t offset, S1Start start)
{
    if (offset > bytes.size() || bytes.size() - offset < 4)
        return;
    bytes[offset] = static_cast<uint8_t>(start.x >> 8);
    bytes[offset + 1] = static_cast<uint8_t>(start.x);
    bytes[offset + 2] = static_cast<uint8_t>(start.y >> 8);
    bytes[offset + 3] = static_cast<uint8_t>(start.y);
}

} // namespace zorp
