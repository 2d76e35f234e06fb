#include <gtest/gtest.h>

#include "stage/StageStore.h"
#include "StageTestData.h"

namespace zorp {
namespace {

std::vector<uint8_t> PatternBlock(size_t size)
{
    std::vector<uint8_t> block(size);
    for (size_t i = 0; i < size; ++i)
        block[i] = static_cast<uint8_t>((i % 251) + 1); // never 0, so zero fill shows
    return block;
}

TEST(StageStore, LoadAlwaysHoldsExactlyNRecords)
{
    const struct {
        const char* what;
        int stages;
        size_t blockSize;
        StageBlockFit fit;
    } cases[] = {
        {"exact", 8, 8 * 1032, StageBlockFit::Exact},
        {"one byte short", 8, 8 * 1032 - 1, StageBlockFit::Padded},
        {"empty block (failed decompression)", 3, 0, StageBlockFit::Padded},
        {"longer", 2, 3 * 1032 + 5, StageBlockFit::Truncated},
        {"one stage", 1, 1032, StageBlockFit::Exact},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> block = PatternBlock(c.blockSize);
        StageStore store;
        std::string error;
        ASSERT_TRUE(store.Load(c.stages, block, error)) << c.what << ": " << error;
        EXPECT_EQ(store.StageCount(), c.stages) << c.what;
        EXPECT_EQ(store.LastFit(), c.fit) << c.what;
        const std::vector<uint8_t>& held = store.Block();
        ASSERT_EQ(held.size(), static_cast<size_t>(c.stages) * 1032) << c.what;
        for (size_t i = 0; i < held.size(); ++i) {
            const uint8_t expected = i < block.size() ? block[i] : 0;
            ASSERT_EQ(held[i], expected) << c.what << " at " << i;
        }
    }
}

TEST(StageStore, RefusesImpossibleStageCounts)
{
    StageStore store;
    std::string error;
    ASSERT_TRUE(store.Load(2, PatternBlock(2064), error));
    const std::vector<uint8_t> before = store.Block();
    for (int count : {0, -1, kMaxStageRecords + 1, 0x7FFFFFFF}) {
        error.clear();
        EXPECT_FALSE(store.Load(count, PatternBlock(10), error)) << count;
        EXPECT_FALSE(error.empty()) << count;
        EXPECT_FALSE(store.Reset(count)) << count;
        EXPECT_EQ(store.StageCount(), 2);
        EXPECT_EQ(store.Block(), before);
    }
    EXPECT_TRUE(StageStore::IsValidStageCount(1));
    EXPECT_TRUE(StageStore::IsValidStageCount(kMaxStageRecords));
    EXPECT_FALSE(StageStore::IsValidStageCount(int64_t{1} << 40));
}

TEST(StageStore, Stage40Of48LivesAt40Times1032)
{
    StageStore store;
    ASSERT_TRUE(store.Reset(48));
    const StageGrid grid = testdata::RandomGrid(40, 6);
    const PropertiesSection props{0xC0, 0, 3, 0, 4, 0, 0x01, 0x00};
    ASSERT_TRUE(store.SetGrid(40, grid));
    ASSERT_TRUE(store.SetProperties(40, props));

    const std::vector<uint8_t>& block = store.Block();
    ASSERT_EQ(block.size(), 48u * 1032);
    EXPECT_TRUE(std::equal(grid.begin(), grid.end(), block.begin() + 40 * 1032));
    EXPECT_TRUE(std::equal(props.begin(), props.end(), block.begin() + 40 * 1032 + 1024));
    EXPECT_EQ(store.Grid(40), grid);
    EXPECT_EQ(store.Properties(40), props);
    // Neighbours untouched.
    EXPECT_EQ(store.Grid(39), StageGrid{});
    EXPECT_EQ(store.Grid(41), StageGrid{});
}

TEST(StageStore, OutOfRangeStagesAreNeitherReadNorWritten)
{
    StageStore store;
    std::string error;
    ASSERT_TRUE(store.Load(2, PatternBlock(2 * 1032), error));
    const std::vector<uint8_t> before = store.Block();
    const StageGrid ones = testdata::FilledGrid(1);
    for (int stage : {-1, 2, 65535}) {
        EXPECT_FALSE(store.SetGrid(stage, ones)) << stage;
        EXPECT_FALSE(store.SetProperties(stage, PropertiesSection{1, 1, 1, 1, 1, 1, 1, 1})) << stage;
        EXPECT_FALSE(store.SetRecord(stage, StageRecord{})) << stage;
        EXPECT_FALSE(store.StoreStage(stage, ones, StartData{})) << stage;
        EXPECT_EQ(store.Grid(stage), StageGrid{}) << stage;
    }
    EXPECT_EQ(store.Block(), before);
}

TEST(StageStore, StoringWithoutStartDataKeepsThePropertiesAsRead)
{
    StageStore store;
    std::string error;
    ASSERT_TRUE(store.Load(2, PatternBlock(2 * 1032), error));
    const PropertiesSection asRead = store.Properties(1);
    const StageGrid grid = testdata::RandomGrid(7, 6);

    ASSERT_TRUE(store.StoreStage(1, grid, std::nullopt));
    EXPECT_EQ(store.Grid(1), grid);
    EXPECT_EQ(store.Properties(1), asRead);

    StartData start{S3S_Left, 9, 10, 1100};
    ASSERT_TRUE(store.StoreStage(1, grid, start));
    EXPECT_EQ(store.Properties(1), (PropertiesSection{0x40, 0, 9, 0, 10, 0, 0x04, 0x00}));
}

// Switching 2 -> 5 -> 2 shows the edits made to stage 2, and a save writes
// the whole block back with them.
TEST(StageStore, EditsSurviveMovingBetweenStages)
{
    auto set = testdata::SkStageSet();
    if (!set)
        GTEST_SKIP() << "corpus not available";
    StageStore store;
    std::string error;
    ASSERT_TRUE(store.Load(8, *set, error));

    StageGrid onScreen = store.Grid(2);
    onScreen[CellIndex(5, 5)] = Ring;
    StartData start;
    ApplyProperties(store.Properties(2), start);
    start.Rings = 77;
    ASSERT_TRUE(store.StoreStage(2, onScreen, start));
    // Stage 5 is shown (and stored back unchanged) in between.
    ASSERT_TRUE(store.StoreStage(5, store.Grid(5), std::nullopt));

    EXPECT_EQ(store.Grid(2)[CellIndex(5, 5)], Ring);
    StartData back;
    ApplyProperties(store.Properties(2), back);
    EXPECT_EQ(back.Rings, 77);

    std::vector<uint8_t> expected = *set;
    expected[2 * 1032 + CellIndex(5, 5)] = Ring;
    expected[2 * 1032 + 1030] = 0;
    expected[2 * 1032 + 1031] = 77;
    EXPECT_EQ(store.Block(), expected);
}

TEST(StageStore, RealStageSetLoadsAsEightStages)
{
    auto set = testdata::SkStageSet();
    if (!set)
        GTEST_SKIP() << "corpus not available";
    ASSERT_EQ(set->size(), 8u * 1032);
    StageStore store;
    std::string error;
    ASSERT_TRUE(store.Load(8, *set, error));
    EXPECT_EQ(store.LastFit(), StageBlockFit::Exact);
    EXPECT_EQ(store.Block(), *set);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(store.Properties(k), testdata::SkStageProperties()[k]) << "stage " << k;
        int spheres = 0;
        for (uint8_t cell : store.Grid(k)) {
            ASSERT_LE(cell, Yellow) << "stage " << k;
            spheres += cell == Blue ? 1 : 0;
        }
        EXPECT_GT(spheres, 0) << "stage " << k;
    }
}

} // namespace
} // namespace zorp
