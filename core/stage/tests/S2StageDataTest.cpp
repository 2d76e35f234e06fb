// Sonic 2's special stage data, read from the real decoded streams: the
// figures per stage are the ones counted in the game data facts, and
// writing the models back gives the decoded bytes unchanged.
#include <gtest/gtest.h>

#include <filesystem>

#include "StageTestData.h"
#include "kosinski/modVorlith_Extract.h"
#include "rom/Md5.h"
#include "stage/S2StageData.h"

namespace zorp {
namespace {

std::optional<Bytes> RealLayouts()
{
    return testdata::ReadFile(std::string(ZORP_CORPUS_DIR) + "/nemesis/s2__misc__Special_stage_level_layouts.nem.dec");
}

std::optional<Bytes> RealObjectLists()
{
    auto stream = testdata::ReadFile(std::string(ZORP_CORPUS_DIR) + "/stages/s2-ss-objects.kos");
    if (!stream)
        return std::nullopt;
    return modVorlith_Extract::Decode(*stream).output;
}

struct StageFacts {
    size_t segments;
    size_t lists;
    int rings;
    int bombs;
    std::vector<std::pair<int, uint8_t>> markers; // (segment, terminator) of every terminator but 0xFF
    
};

const StageFacts kFacts[kS2Stages] = {
    {46, 45, 206, 16, {{10, 0xFC}, {12, 0xFE}, {23, 0xFC}, {26, 0xFE}, {37, 0xFC}, {41, 0xFD}}},
    {44, 43, 260, 80, {{9, 0xFC}, {13, 0xFE}, {23, 0xFC}, {26, 0xFE}, {34, 0xFC}, {39, 0xFD}}},
    {44, 46, 205, 286, {{14, 0xFC}, {18, 0xFE}, {24, 0xFC}, {30, 0xFE}, {36, 0xFC}, {41, 0xFD}}},
    {56, 55, 252, 142, {{9, 0xFC}, {15, 0xFE}, {31, 0xFC}, {34, 0xFE}, {47, 0xFC}, {51, 0xFD}}},
    {44, 45, 403, 44, {{12, 0xFC}, {15, 0xFE}, {23, 0xFC}, {25, 0xFE}, {37, 0xFC}, {40, 0xFD}}},
    {62, 61, 342, 304, {{15, 0xFC}, {19, 0xFE}, {31, 0xFC}, {35, 0xFE}, {53, 0xFC}, {58, 0xFD}}},
    {74, 54, 492, 225, {{14, 0xFC}, {19, 0xFE}, {31, 0xFC}, {34, 0xFE}, {45, 0xFC}, {49, 0xFD}}},
};

TEST(S2StageData, RealStreamsReadAsCountedAndWriteBackUnchanged)
{
    auto layouts = RealLayouts();
    auto objects = RealObjectLists();
    if (!layouts || !objects)
        GTEST_SKIP() << "corpus not found at " << ZORP_CORPUS_DIR;
    ASSERT_EQ(Md5Hex(*layouts), "17a3e036ce4535131cb18cfa14837a6c");
    ASSERT_EQ(Md5Hex(*objects), "195d661d268b37bfb40b1ad58b348128");

    S2LayoutRead layoutRead = ReadS2Layouts(*layouts);
    S2ObjectListsRead listRead = ReadS2ObjectLists(*objects);
    ASSERT_TRUE(layoutRead.ok()) << layoutRead.error;
    ASSERT_TRUE(listRead.ok()) << listRead.error;
    EXPECT_EQ(WriteS2Layouts(layoutRead.block), *layouts);
    EXPECT_EQ(WriteS2ObjectLists(listRead.lists), *objects);
    EXPECT_EQ(listRead.lists.Size(), kS2ObjectListRamLimit);

    for (int s = 0; s < kS2Stages; ++s) {
        SCOPED_TRACE("stage " + std::to_string(s + 1));
        const StageFacts& facts = kFacts[s];
        const S2StageObjects& stage = listRead.lists.stages[static_cast<size_t>(s)];
        EXPECT_EQ(layoutRead.block.stages[static_cast<size_t>(s)].size(), facts.segments);
        EXPECT_EQ(stage.lists.size(), facts.lists);
        std::vector<std::pair<int, uint8_t>> markers;
        for (size_t i = 0; i < stage.lists.size(); ++i)
            if (stage.lists[i].terminator != 0xFF)
                markers.emplace_back(static_cast<int>(i), stage.lists[i].terminator);
        EXPECT_EQ(markers, facts.markers);
        S2StageCheck check = CheckS2Stage(stage, {0, 0, 0, 0}, {0, 0, 0, 0});
        EXPECT_EQ(check.rings, facts.rings);
        EXPECT_EQ(check.bombs, facts.bombs);
        ASSERT_EQ(check.checks.size(), 3u);
        EXPECT_EQ(check.checks[2].marker, S2Marker::Emerald);
        EXPECT_TRUE(check.warnings.empty());
        // Only the last stage ends with padding: 3 zero bytes.
        EXPECT_EQ(stage.tail, s + 1 == kS2Stages ? Bytes(3, 0) : Bytes{});
    }
}

// Ring checks against a requirement: the count is cumulative and a check
// with too few rings before it is named.
TEST(S2StageData, ChecksCountRingsFromTheStart)
{
    S2StageObjects stage;
    auto list = [](int rings, int bombs, uint8_t terminator) {
        S2ObjectList l;
        for (int i = 0; i < rings; ++i)
            l.objects.push_back({false, 1, 0x40});
        for (int i = 0; i < bombs; ++i)
            l.objects.push_back({true, 1, 0x40});
        l.terminator = terminator;
        return l;
    };
    stage.lists = {list(5, 1, 0xFC), list(5, 0, 0xFE), list(10, 2, 0xFF), list(0, 0, 0xFE), list(3, 0, 0xFD)};
    S2StageCheck ok = CheckS2Stage(stage, {10, 20, 23, 0}, {10, 20, 23, 0});
    ASSERT_EQ(ok.checks.size(), 3u);
    EXPECT_EQ(ok.checks[0].rings, 10);
    EXPECT_EQ(ok.checks[1].rings, 20);
    EXPECT_EQ(ok.checks[1].segment, 3);
    EXPECT_EQ(ok.checks[2].rings, 23);
    EXPECT_EQ(ok.bombs, 3);
    EXPECT_TRUE(ok.warnings.empty());

    S2StageCheck team = CheckS2Stage(stage, {10, 21, 23, 0}, {10, 20, 23, 0});
    EXPECT_FALSE(team.checks[1].metTeam());
    EXPECT_TRUE(team.checks[1].metAlone());
    ASSERT_EQ(team.warnings.size(), 1u);
    EXPECT_NE(team.warnings[0].find("Check 2"), std::string::npos);

    stage.lists.pop_back();
    S2StageCheck noEmerald = CheckS2Stage(stage, {0, 0, 0, 0}, {0, 0, 0, 0});
    EXPECT_EQ(noEmerald.warnings.size(), 1u);
}

// Broken tables are refused with a message; a list cut short is kept as tail.
TEST(S2StageData, BadTablesAreRefused)
{
    auto table = [](std::array<uint16_t, 7> offsets, size_t size) {
        Bytes data(size, 0xFF);
        for (size_t i = 0; i < 7; ++i) {
            data[2 * i] = static_cast<uint8_t>(offsets[i] >> 8);
            data[2 * i + 1] = static_cast<uint8_t>(offsets[i]);
        }
        return data;
    };
    EXPECT_FALSE(ReadS2Layouts(Bytes(13, 0)).ok());
    EXPECT_FALSE(ReadS2Layouts(table({16, 16, 16, 16, 16, 16, 16}, 20)).ok()); // gap after the table
    EXPECT_FALSE(ReadS2Layouts(table({14, 18, 17, 20, 20, 20, 20}, 20)).ok()); // out of order
    EXPECT_FALSE(ReadS2ObjectLists(table({14, 14, 14, 14, 14, 14, 30}, 20)).ok()); // past the end
    EXPECT_TRUE(ReadS2Layouts(table({14, 14, 14, 14, 14, 14, 14}, 14)).ok());

    Bytes cut = table({14, 17, 17, 17, 17, 17, 17}, 20);
    cut[14] = 0x41; // a bomb, then a lone byte and a terminator-less object
    cut[15] = 0x20;
    cut[16] = 0xFE;
    cut[17] = 0x05;
    cut[18] = 0x40;
    cut[19] = 0x07;
    S2ObjectListsRead read = ReadS2ObjectLists(cut);
    ASSERT_TRUE(read.ok());
    ASSERT_EQ(read.lists.stages[0].lists.size(), 1u);
    EXPECT_EQ(read.lists.stages[0].lists[0].objects[0], (S2Object{true, 1, 0x20}));
    EXPECT_EQ(read.lists.stages[6].tail, (Bytes{0x05, 0x40, 0x07}));
    EXPECT_EQ(WriteS2ObjectLists(read.lists), cut);
}

} // namespace
} // namespace zorp
