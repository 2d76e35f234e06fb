// The level select model: decode tables, reading, editing and writing names.
#include <gtest/gtest.h>

#include "template/LevelSelectTable.h"

namespace zorp {
namespace {

LevelSelectSetup OneRow(const std::string& table, int32_t length, int32_t start = 0)
{
    LevelSelectSetup setup;
    setup.startAddress = start;
    setup.decodeTable = table;
    setup.longestLength = length;
    setup.levels = {{length, 0}};
    return setup;
}

// Reads one byte through the table and writes the shown character back.
uint8_t RoundTrip(const std::string& table, uint8_t code)
{
    Bytes image{code};
    LevelSelectTable model(OneRow(table, 1));
    model.LoadNames(ImageSource(image));
    auto plan = model.PlanWrites(image.size());
    EXPECT_EQ(plan.writes.size(), 1u);
    return plan.writes.empty() ? 0 : plan.writes[0].bytes.at(0);
}

std::string Shown(const std::string& table, uint8_t code)
{
    Bytes image{code};
    LevelSelectTable model(OneRow(table, 1));
    model.LoadNames(ImageSource(image));
    return model.Name(0);
}

TEST(DecodeTables, TheFourBuiltInTables)
{
    const auto& tables = BuiltInDecodeTables();
    ASSERT_EQ(tables.size(), 4u);
    struct Expect {
        const char* name;
        size_t length;
        uint8_t fill;
    };
    const Expect expected[] = {{"S1", 41, 0xFF}, {"S3", 56, 0x00}, {"S3D", 94, 0x20}, {"C++", 127, 0x20}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(tables[i].name, expected[i].name);
        EXPECT_EQ(tables[i].characters.size(), expected[i].length) << expected[i].name;
        EXPECT_EQ(tables[i].fillCode, expected[i].fill) << expected[i].name;
    }
    EXPECT_EQ(tables[0].characters, "0123456789$-=<<YZABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(tables[1].characters.substr(0x10), "0123456789*\xA9:.ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(tables[1].characters.substr(0, 0x10), " |||||||||||||||");
    EXPECT_EQ(tables[2].characters.substr(0x20, 3), " !\"");
    EXPECT_EQ(tables[2].characters.back(), ']');
    EXPECT_EQ(tables[3].characters.back(), '~');
    EXPECT_EQ(tables[3].characters.substr(0, 0x20), std::string(0x20, '|'));
    EXPECT_NE(FindDecodeTable("S3D"), nullptr);
    EXPECT_EQ(FindDecodeTable("s3"), nullptr);
    EXPECT_EQ(FindDecodeTable(""), nullptr);
}

TEST(LevelSelectTable, CodesShownAndWrittenBackPerTable)
{
    struct Case {
        const char* table;
        uint8_t code;
        const char* shown;
        uint8_t written;
    };
    const Case cases[] = {
        {"S1", 0xFF, " ", 0xFF},   {"S1", 0x29, " ", 0xFF},  {"S1", 0x0D, "<", 0x0E}, {"S1", 0x0E, "<", 0x0E},
        {"S1", 0x00, "0", 0x00},   {"S1", 0x0F, "Y", 0x0F},  {"S1", 0x28, "X", 0x28}, {"S1", 0x11, "A", 0x11},
        {"S3", 0x00, " ", 0x00},   {"S3", 0x01, "|", 0x0F},  {"S3", 0x0E, "|", 0x0F}, {"S3", 0x0F, "|", 0x0F},
        {"S3", 0x38, " ", 0x00},   {"S3", 0xFF, " ", 0x00},  {"S3", 0x1B, "\xA9", 0x1B}, {"S3", 0x1E, "A", 0x1E},
        {"S3", 0x37, "Z", 0x37},   {"S3", 0x1A, "*", 0x1A},
        {"S3D", 0x00, "|", 0x1F},  {"S3D", 0x1E, "|", 0x1F}, {"S3D", 0x5D, "]", 0x5D}, {"S3D", 0x5E, " ", 0x20},
        {"S3D", 0x41, "A", 0x41},
        {"C++", 0x00, "|", 0x7C},  {"C++", 0x1F, "|", 0x7C}, {"C++", 0x7F, " ", 0x20}, {"C++", 0xC0, " ", 0x20},
        {"C++", 0x61, "a", 0x61},  {"C++", 0x7E, "~", 0x7E},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Shown(c.table, c.code), c.shown) << c.table << " code " << int(c.code);
        EXPECT_EQ(RoundTrip(c.table, c.code), c.written) << c.table << " code " << int(c.code);
    }
}

TEST(LevelSelectTable, EditingCutsPadsAndUpperCases)
{
    LevelSelectSetup setup = OneRow("S1", 12);
    setup.levels.push_back({16, 0});
    LevelSelectTable model(setup);
    EXPECT_FALSE(model.KeepsCase());
    EXPECT_EQ(model.SetName(0, "green hill"), "GREEN HILL  ");
    EXPECT_EQ(model.SetName(1, "abcdefghijklmnopqrst"), "ABCDEFGHIJKLMNOP");
    Bytes image(28, 0x55);
    auto plan = model.PlanWrites(image.size());
    ASSERT_EQ(plan.writes.size(), 2u);
    // G R E E N space H I L L space space
    EXPECT_EQ(plan.writes[0].bytes,
              (Bytes{0x17, 0x22, 0x15, 0x15, 0x1E, 0xFF, 0x18, 0x19, 0x1C, 0x1C, 0xFF, 0xFF}));
    EXPECT_EQ(plan.writes[1].offset, 12u);
}

TEST(LevelSelectTable, CaseKeepingTable)
{
    LevelSelectTable model(OneRow("C++", 6));
    EXPECT_TRUE(model.KeepsCase());
    EXPECT_EQ(model.SetName(0, "Hi you"), "Hi you");
    auto plan = model.PlanWrites(6);
    ASSERT_EQ(plan.writes.size(), 1u);
    EXPECT_EQ(plan.writes[0].bytes, (Bytes{'H', 'i', ' ', 'y', 'o', 'u'}));
    EXPECT_EQ(LevelSelectTable::NormaliseName("ab", 4, true), "ab  ");
    EXPECT_EQ(LevelSelectTable::NormaliseName("ab", 0, false), "");
}

TEST(LevelSelectTable, LayoutFollowsLengthsAndSeparators)
{
    LevelSelectSetup setup;
    setup.startAddress = 2;
    setup.decodeTable = "S3";
    setup.levels = {{3, 1}, {2, 2}, {4, 0}};
    LevelSelectTable model(setup);
    EXPECT_EQ(model.RowOffsets(), (std::vector<int64_t>{2, 6, 10}));

    // Names in S3 codes with length-byte separators in between.
    Bytes image = {0xEE, 0xEE, 0x1E, 0x1F, 0x20, 0x01, 0x21, 0x22, 0xAA, 0xBB, 0x10, 0x11, 0x12, 0x13, 0xEE};
    model.LoadNames(ImageSource(image));
    EXPECT_EQ(model.Name(0), "ABC");
    EXPECT_EQ(model.Name(1), "DE");
    EXPECT_EQ(model.Name(2), "0123");

    model.SetName(1, "z");
    auto plan = model.PlanWrites(image.size());
    EXPECT_TRUE(plan.rowsPastEnd.empty());
    Bytes saved = image;
    for (const Patch& write : plan.writes)
        ASSERT_TRUE(ApplyWrite(saved, write));
    Bytes expected = image;
    expected[6] = 0x37; // Z
    expected[7] = 0x00; // space
    EXPECT_EQ(saved, expected); // separators and everything else untouched
}

TEST(LevelSelectTable, NamesPastTheEndAreReadAsZeroAndNotWritten)
{
    LevelSelectSetup setup;
    setup.startAddress = 4;
    setup.decodeTable = "S1";
    setup.levels = {{2, 0}, {3, 0}, {1, 100}};
    LevelSelectTable model(setup);
    Bytes image = {9, 9, 9, 9, 0x11, 0x12, 0x13};
    model.LoadNames(ImageSource(image));
    EXPECT_EQ(model.Name(0), "AB");
    EXPECT_EQ(model.Name(1), "C00"); // bytes past the end read as 0 = "0"
    auto plan = model.PlanWrites(image.size());
    ASSERT_EQ(plan.writes.size(), 1u);
    EXPECT_EQ(plan.rowsPastEnd, (std::vector<int>{1, 2}));
    Message warning = LevelNamesPastEndMessage(plan.rowsPastEnd);
    EXPECT_EQ(warning.icon, MessageIcon::Exclamation);
    EXPECT_EQ(warning.lines.back(), "2, 3");
}

TEST(LevelSelectTable, UnknownTableShowsSpacesAndWritesNothing)
{
    LevelSelectTable model(OneRow("S2", 3));
    Bytes image = {1, 2, 3};
    model.LoadNames(ImageSource(image));
    EXPECT_EQ(model.Name(0), "   ");
    EXPECT_TRUE(model.PlanWrites(image.size()).writes.empty());
}

TEST(LevelSelectTable, EmptyNamesWriteNothingAndColumnWidthFollowsTheLongest)
{
    LevelSelectSetup setup = OneRow("S1", 0);
    setup.longestLength = 24;
    LevelSelectTable model(setup);
    model.LoadNames(ImageSource(Bytes{1, 2}));
    EXPECT_EQ(model.Name(0), "");
    EXPECT_TRUE(model.PlanWrites(2).writes.empty());
    EXPECT_EQ(model.ColumnWidth(), 8 * 24 + 16);
}

} // namespace
} // namespace zorp
