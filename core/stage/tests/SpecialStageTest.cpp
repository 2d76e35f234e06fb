#include <gtest/gtest.h>

#include "stage/SpecialStage.h"
#include "StageTestData.h"

namespace zorp {
namespace {

TEST(StageDirection, OnlyTheFourDirectionsHaveAngles)
{
    const struct {
        int16_t direction;
        uint8_t angle;
    } cases[] = {{S3S_Up, 0x00}, {S3S_Down, 0x80}, {S3S_Left, 0x40}, {S3S_Right, 0xC0}};
    for (const auto& c : cases) {
        EXPECT_EQ(DirectionAngle(c.direction), c.angle) << c.direction;
        ASSERT_TRUE(DirectionFromAngle(c.angle).has_value()) << int(c.angle);
        EXPECT_EQ(*DirectionFromAngle(c.angle), c.direction);
    }
    for (int direction : {0, 5, -1, 255})
        EXPECT_EQ(DirectionAngle(direction), 0x00) << direction;
    int named = 0;
    for (int angle = 0; angle < 256; ++angle)
        named += DirectionFromAngle(static_cast<uint8_t>(angle)).has_value() ? 1 : 0;
    EXPECT_EQ(named, 4);
}

TEST(StageProperties, SectionToStartData)
{
    const struct {
        const char* what;
        PropertiesSection section;
        int16_t directionBefore;
        int16_t direction;
        int32_t column, row, rings;
    } cases[] = {
        {"down, column before row", {0x80, 0, 0x02, 0, 0x1B, 0, 0x00, 0x40}, 0, S3S_Down, 2, 27, 64},
        {"unknown angle keeps the direction", {0x20, 0, 3, 0, 4, 0, 0, 5}, S3S_Left, S3S_Left, 3, 4, 5},
        {"unknown angle keeps 'not set'", {0x01, 0, 0, 0, 0, 0, 0, 0}, 0, 0, 0, 0, 0},
        {"1280 rings become 1024", {0xC0, 0, 0, 0, 0, 0, 0x05, 0x00}, 0, S3S_Right, 0, 0, 1024},
        {"1025 rings become 1024", {0x00, 0, 0, 0, 0, 0, 0x04, 0x01}, S3S_Down, S3S_Up, 0, 0, 1024},
        {"1024 rings stay", {0x00, 0, 0, 0, 0, 0, 0x04, 0x00}, 0, S3S_Up, 0, 0, 1024},
        {"0xFFFF rings", {0x00, 0, 0, 0, 0, 0, 0xFF, 0xFF}, 0, S3S_Up, 0, 0, 1024},
        {"bytes 1, 3, 5 ignored", {0x40, 0xAA, 7, 0xBB, 9, 0xCC, 0x01, 0x02}, 0, S3S_Left, 7, 9, 258},
        {"position beyond the grid kept as read", {0x00, 0, 200, 0, 40, 0, 0, 0}, 0, S3S_Up, 200, 40, 0},
    };
    for (const auto& c : cases) {
        StartData start;
        start.Direction = c.directionBefore;
        ApplyProperties(c.section, start);
        EXPECT_EQ(start.Direction, c.direction) << c.what;
        EXPECT_EQ(start.Column, c.column) << c.what;
        EXPECT_EQ(start.Row, c.row) << c.what;
        EXPECT_EQ(start.Rings, c.rings) << c.what;
    }
}

TEST(StageProperties, StartDataToSection)
{
    const struct {
        const char* what;
        StartData start;
        PropertiesSection expected;
    } cases[] = {
        {"right", {S3S_Right, 16, 23, 64}, {0xC0, 0, 16, 0, 23, 0, 0x00, 0x40}},
        {"direction 0 writes angle 0 (Up)", {0, 1, 2, 3}, {0x00, 0, 1, 0, 2, 0, 0x00, 0x03}},
        {"direction 9 writes angle 0", {9, 0, 0, 0}, {0x00, 0, 0, 0, 0, 0, 0, 0}},
        {"1024 rings big-endian", {S3S_Down, 31, 31, 1024}, {0x80, 0, 31, 0, 31, 0, 0x04, 0x00}},
        {"rings above 1024 clamped", {S3S_Left, 0, 0, 70000}, {0x40, 0, 0, 0, 0, 0, 0x04, 0x00}},
        {"negative values clamped to 0", {S3S_Up, -3, -1, -5}, {0x00, 0, 0, 0, 0, 0, 0, 0}},
        {"position above a byte clamped", {S3S_Up, 300, 256, 0}, {0x00, 0, 0xFF, 0, 0xFF, 0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeProperties(c.start), c.expected) << c.what;
}

// The real stages' sections survive being read into the editor and stored
// again unchanged (their ignored bytes are 0 and the rings are below 1024).
TEST(StageProperties, RealSectionsRoundTrip)
{
    for (const PropertiesSection& section : testdata::SkStageProperties()) {
        StartData start;
        ApplyProperties(section, start);
        EXPECT_TRUE(IsOnGrid(start.Column, start.Row));
        EXPECT_EQ(MakeProperties(start), section);
    }
}

TEST(StageGridIndex, RowMajorOrder)
{
    EXPECT_EQ(CellIndex(0, 0), 0);
    EXPECT_EQ(CellIndex(1, 1), 33);
    EXPECT_EQ(CellIndex(31, 0), 31);
    EXPECT_EQ(CellIndex(0, 1), 32);
    EXPECT_EQ(CellIndex(31, 31), 1023);
    EXPECT_TRUE(IsOnGrid(0, 0));
    EXPECT_TRUE(IsOnGrid(31, 31));
    EXPECT_FALSE(IsOnGrid(32, 0));
    EXPECT_FALSE(IsOnGrid(0, 32));
    EXPECT_FALSE(IsOnGrid(-1, 5));
}

std::vector<uint8_t> NumberedBlock(size_t size)
{
    std::vector<uint8_t> block(size);
    for (size_t i = 0; i < size; ++i)
        block[i] = static_cast<uint8_t>(i * 7 + i / 256);
    return block;
}

TEST(StageRecordAccess, RecordKStartsAt1032K)
{
    const std::vector<uint8_t> block = NumberedBlock(3 * kStageRecordSize);
    for (int k = 0; k < 3; ++k) {
        const StageRecord record = ReadStageRecord(block, k);
        const size_t start = static_cast<size_t>(k) * kStageRecordSize;
        EXPECT_EQ(record.cells[0], block[start]);
        EXPECT_EQ(record.cells[1023], block[start + 1023]);
        EXPECT_EQ(record.properties[0], block[start + 1024]);
        EXPECT_EQ(record.properties[7], block[start + 1031]);
    }
}

TEST(StageRecordAccess, ReadsOutsideTheBlockGiveZeros)
{
    const std::vector<uint8_t> block = NumberedBlock(kStageRecordSize + 1030); // record 1 lacks 2 bytes
    const StageRecord partial = ReadStageRecord(block, 1);
    EXPECT_EQ(partial.cells[0], block[kStageRecordSize]);
    EXPECT_EQ(partial.properties[5], block[kStageRecordSize + 1029]);
    EXPECT_EQ(partial.properties[6], 0);
    EXPECT_EQ(partial.properties[7], 0);

    const StageRecord zero{};
    for (int index : {-1, 2, 1000000, 0x7FFFFFFF}) {
        const StageRecord r = ReadStageRecord(block, index);
        EXPECT_EQ(r.cells, zero.cells) << index;
        EXPECT_EQ(r.properties, zero.properties) << index;
    }
}

TEST(StageRecordAccess, WriteGrowsTheBlockAndKeepsTheRest)
{
    std::vector<uint8_t> block = NumberedBlock(kStageRecordSize);
    const std::vector<uint8_t> before = block;
    StageRecord record;
    record.cells = testdata::RandomGrid(3, 6);
    record.properties = {0x40, 0, 1, 0, 2, 0, 0, 3};
    WriteStageRecord(block, 2, record);
    ASSERT_EQ(block.size(), 3u * kStageRecordSize);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), block.begin()));
    for (size_t i = kStageRecordSize; i < 2u * kStageRecordSize; ++i)
        ASSERT_EQ(block[i], 0) << i;
    const StageRecord back = ReadStageRecord(block, 2);
    EXPECT_EQ(back.cells, record.cells);
    EXPECT_EQ(back.properties, record.properties);
}

TEST(StageRecordAccess, WritesAtImpossibleIndicesChangeNothing)
{
    std::vector<uint8_t> block = NumberedBlock(100);
    const std::vector<uint8_t> before = block;
    for (int index : {-1, kMaxStageRecords, 0x7FFFFFFF})
        WriteStageRecord(block, index, StageRecord{});
    EXPECT_EQ(block, before);
}

} // namespace
} // namespace zorp
