// Conversions between the in-memory stage and its ROM form.
#include "stage/SpecialStage.h"

#include <algorithm>

namespace zorp {

namespace {

struct AngleOfDirection {
    int16_t direction;
    uint8_t angle;
};

// The game measures the facing angle as a byte turning counter-clockwise from
// up: a quarter turn is 0x40.
constexpr AngleOfDirection kAngles[] = {
    {S3S_Up, 0x00},
    {S3S_Down, 0x80},
    {S3S_Left, 0x40},
    {S3S_Right, 0xC0},
};

uint8_t ClampToByte(int32_t value) { return static_cast<uint8_t>(std::clamp<int32_t>(value, 0, 0xFF)); }

} // namespace

uint8_t DirectionAngle(int direction)
{
    for (const AngleOfDirection& a : kAngles)
        if (a.direction == direction)
            return a.angle;
    return 0x00;
}

std::optional<int16_t> DirectionFromAngle(uint8_t angle)
{
    for (const AngleOfDirection& a : kAngles)
        if (a.angle == angle)
            return a.direction;
    return std::nullopt;
}

bool IsOnGrid(int column, int row)
{
    return column >= 0 && column < kStageSide && row >= 0 && row < kStageSide;
}

void ApplyProperties(const PropertiesSection& section, StartData& start)
{
    if (auto direction = DirectionFromAngle(section[0]))
        start.Direction = *direction;
    start.Column = section[2];
    start.Row = section[4];
    start.Rings = std::min<int32_t>((section[6] << 8) | section[7], kMaxRings);
}

PropertiesSection MakeProperties(const StartData& start)
{
    PropertiesSection section{};
    section[0] = DirectionAngle(start.Direction);
    section[2] = ClampToByte(start.Column);
    section[4] = ClampToByte(start.Row);
    const int32_t rings = ClampRings(start.Rings);
    section[6] = static_cast<uint8_t>(rings >> 8);
    section[7] = static_cast<uint8_t>(rings & 0xFF);
    return section;
}

int32_t ClampRings(int32_t rings) { return std::clamp<int32_t>(rings, 0, kMaxRings); }

StageRecord ReadStageRecord(const std::vector<uint8_t>& block, int index)
{
    StageRecord record;
    if (index < 0)
        return record;
    const uint64_t start = static_cast<uint64_t>(index) * kStageRecordSize;
    if (start >= block.size())
        return record;
    const uint64_t available = std::min<uint64_t>(kStageRecordSize, block.size() - start);
    for (uint64_t i = 0; i < available; ++i) {
        const uint8_t byte = block[start + i];
        if (i < kStageCells)
            record.cells[i] = byte;
        else
            record.properties[i - kStageCells] = byte;
    }
    return record;
}

void WriteStageRecord(std::vector<uint8_t>& block, int index, const StageRecord& record)
{
    if (index < 0 || index >= kMaxStageRecords)
        return;
    const size_t start = static_cast<size_t>(index) * kStageRecordSize;
    if (block.size() < start + kStageRecordSize)
        block.resize(start + kStageRecordSize, 0);
    std::copy(record.cells.begin(), record.cells.end(), block.begin() + start);
    std::copy(record.properties.begin(), record.properties.end(), block.begin() + start + kStageCells);
}

} // namespace zorp
