// Sonic 2's level select: the names read from the real plane map, edited
// with the font's letters, and the map and order table written back.
#include <gtest/gtest.h>

#include "S2TestData.h"
#include "template/S2LevelSelect.h"

namespace zorp {
namespace {

class S2LevelSelectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto map = s2test::LevelSelectMap();
        if (!map)
            GTEST_SKIP() << "corpus not found at " << ZORP_CORPUS_DIR;
        map_ = *map;
        auto read = S2LevelSelect::FromBytes(map_, s2test::MarkTable(), s2test::OrderTable());
        ASSERT_TRUE(read.ok()) << read.error;
        model_ = read.model;
    }
    Bytes map_;
    S2LevelSelect model_;
};

TEST_F(S2LevelSelectTest, ReadsTheThirteenNamesInTheirFields)
{
    struct Row { const char* text; int row; int column; int field; std::vector<int> entries; };
    const std::vector<Row> expected = {
        {"EMERALD HILL", 3, 3, 15, {0, 1}},    {"CHEMICAL PLANT", 6, 3, 15, {2, 3}},
        {"AQUATIC RUIN", 9, 3, 15, {4, 5}},    {"CASINO NIGHT", 12, 3, 15, {6, 7}},
        {"HILL TOP", 15, 3, 15, {8, 9}},       {"MYSTIC CAVE", 18, 3, 15, {10, 11}},
        {"OIL OCEAN", 21, 3, 15, {12, 13}},    {"METROPOLIS", 3, 22, 14, {14, 15, 16}},
        {"SKY CHASE", 6, 22, 18, {17}},        {"WING FORTRESS", 9, 22, 18, {18}},
        {"DEATH EGG", 12, 22, 18, {19}},       {"SPECIAL STAGE", 15, 22, 18, {20}},
        {"SOUND TEST", 18, 22, 11, {21}},
    };
    ASSERT_EQ(model_.Names().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].text);
        const S2LevelSelectName& name = model_.Names()[i];
        EXPECT_EQ(model_.NameText(i), expected[i].text);
        EXPECT_EQ(name.row, expected[i].row);
        EXPECT_EQ(name.column, expected[i].column);
        EXPECT_EQ(name.fieldLength(), expected[i].field);
        EXPECT_EQ(name.entries, expected[i].entries);
        EXPECT_FALSE(model_.LongerThanHighlight(i));
    }
    EXPECT_TRUE(model_.Warnings().empty());
    EXPECT_EQ(model_.MapBytes(), map_);
    EXPECT_EQ(model_.OrderBytes(), s2test::OrderTable());
    EXPECT_EQ(S2DestinationName(model_.Order(2)), "Chemical Plant act 1");
    EXPECT_EQ(S2DestinationName(model_.Order(16)), "Metropolis act 3");
    EXPECT_EQ(S2DestinationName(model_.Order(20)), "Special Stage");
    EXPECT_EQ(S2DestinationName(model_.Order(21)), "Sound Test");
    EXPECT_EQ(S2DestinationName(0x1234), "0x1234");
}

TEST_F(S2LevelSelectTest, EditsNamesWithTheFontsLetters)
{
    struct Case { size_t name; const char* text; bool taken; const char* reads; bool warned; };
    const std::vector<Case> cases = {
        {0, "Green Hill", true, "GREEN HILL", false},
        {0, "NEO GREEN HILL1", true, "NEO GREEN HILL1", true}, // 15 letters: fits the field, not the highlight
        {0, "EMERALD HILL ZONE", false, "EMERALD HILL", false}, // longer than the field
        {1, "CHEMICAL #2", false, "CHEMICAL PLANT", false},     // no "#" in the font
        {8, "SKY: 2.0 \u00A9", true, "SKY: 2.0 \u00A9", false},
        {12, "MUSIC ROOM", true, "MUSIC ROOM", false},
        {12, "SOUND TEST 12", false, "SOUND TEST", false}, // would run into the "*00*" the game draws
        {7, "", true, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        S2LevelSelect model = model_;
        std::string error = model.SetNameText(c.name, c.text);
        EXPECT_EQ(error.empty(), c.taken) << error;
        EXPECT_EQ(model.NameText(c.name), c.reads);
        EXPECT_EQ(model.LongerThanHighlight(c.name), c.warned);
        EXPECT_EQ(model.Warnings().size(), c.warned ? 1u : 0u);
        if (!c.taken) {
            EXPECT_EQ(model.MapBytes(), map_);
        }
    }
    // Only the name's own field changes; the act digit beside it stays.
    S2LevelSelect model = model_;
    ASSERT_EQ(model.SetNameText(0, "ABC"), "");
    Bytes changed = model.MapBytes();
    for (size_t i = 0; i < changed.size(); i += 2) {
        int row = static_cast<int>(i / 2) / kS2LevelSelectColumns;
        int column = static_cast<int>(i / 2) % kS2LevelSelectColumns;
        bool inField = row == 3 && column >= 3 && column < 18;
        if (!inField) {
            EXPECT_TRUE(changed[i] == map_[i] && changed[i + 1] == map_[i + 1]) << row << "," << column;
        }
    }
    EXPECT_EQ(model.Cell(3, 6), kS2BlankCell);
    EXPECT_EQ(model.Cell(3, 5), 0x20); // "C"
}

TEST(S2LevelSelect, BadTablesAreRefused)
{
    Bytes blankMap(kS2LevelSelectMapBytes, 0x40);
    EXPECT_TRUE(S2LevelSelect::FromBytes(blankMap, s2test::MarkTable(), s2test::OrderTable()).ok());
    EXPECT_FALSE(S2LevelSelect::FromBytes(Bytes(2238, 0), s2test::MarkTable(), s2test::OrderTable()).ok());
    EXPECT_FALSE(S2LevelSelect::FromBytes(blankMap, Bytes(87, 0), s2test::OrderTable()).ok());
    for (size_t at : {0u, 1u, 3u, 84u}) {
        Bytes marks = s2test::MarkTable();
        marks[at] = at == 0 ? 28 : at == 84 ? 40 : 81; // row 28, an odd byte column, column 40
        EXPECT_FALSE(S2LevelSelect::FromBytes(blankMap, marks, s2test::OrderTable()).ok()) << at;
    }
}

} // namespace
} // namespace zorp
