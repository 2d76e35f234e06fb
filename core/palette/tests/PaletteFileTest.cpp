// Palette files: every format reads back what it writes, broken files are
// refused with a message, and imported colours land where the target says,
// snapped to the word format.
#include <gtest/gtest.h>

#include <string>

#include "palette/PaletteFile.h"
#include "palette/PaletteImport.h"

namespace zorp {
namespace {

std::vector<uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

// 20 colours on the Genesis grid, none repeated, so an order or count
// mistake shows.
std::vector<ScreenColor> GridColors()
{
    std::vector<ScreenColor> colors;
    for (int i = 0; i < 20; ++i)
        colors.push_back({static_cast<uint8_t>((i % 8) * 32), static_cast<uint8_t>(((i / 2) % 8) * 32),
                          static_cast<uint8_t>(((i * 3) % 8) * 32)});
    return colors;
}

struct FileFormatCase {
    const char* name;
    PaletteFileFormat format;
    const char* path;
};

class PaletteFileFormatTest : public ::testing::TestWithParam<FileFormatCase> {};

TEST_P(PaletteFileFormatTest, ReadsBackWhatItWritesAndIsNamedByItsExtension)
{
    const FileFormatCase& c = GetParam();
    EXPECT_EQ(PaletteFileFormatOfPath(c.path), c.format);
    const std::vector<ScreenColor> colors = GridColors();
    const PaletteFileRead read = ReadPaletteFile(c.format, WritePaletteFile(c.format, colors, "Test"));
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.colors, colors);
}

INSTANTIATE_TEST_SUITE_P(Formats, PaletteFileFormatTest,
                         ::testing::Values(FileFormatCase{"Genesis", PaletteFileFormat::GenesisWords, "a/Sonic.BIN"},
                                           FileFormatCase{"Jasc", PaletteFileFormat::JascPal, "x.pal"},
                                           FileFormatCase{"Gimp", PaletteFileFormat::Gimp, "dir.d/x.Gpl"}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(PaletteFile, ReadsTheFormatsAsOtherToolsWriteThem)
{
    // The disassemblies' Sonic palette starts 00 00 00 00 08 22 0A 44.
    const PaletteFileRead genesis = ReadGenesisPaletteFile({0x00, 0x00, 0x08, 0x22, 0x0A, 0x44});
    ASSERT_TRUE(genesis.ok());
    EXPECT_EQ(genesis.colors, (std::vector<ScreenColor>{{0, 0, 0}, {32, 32, 128}, {64, 64, 160}}));
    // LF endings, a fourth (alpha) number, trailing blanks.
    const PaletteFileRead jasc = ReadJascPalFile(Text("JASC-PAL\n0100\n2\n255 0 10 255\n1 2 3  \n"));
    ASSERT_TRUE(jasc.ok()) << jasc.error;
    EXPECT_EQ(jasc.colors, (std::vector<ScreenColor>{{255, 0, 10}, {1, 2, 3}}));
    const PaletteFileRead gimp =
        ReadGimpPaletteFile(Text("GIMP Palette\r\nName: Zone\r\nColumns: 4\r\n# note\r\n\r\n  0  16 255\tBlue\r\n"
                                 "7 8 9\r\n"));
    ASSERT_TRUE(gimp.ok()) << gimp.error;
    EXPECT_EQ(gimp.colors, (std::vector<ScreenColor>{{0, 16, 255}, {7, 8, 9}}));
    EXPECT_EQ(ReadPaletteText("GIMP Palette\n1 2 3\n").colors, (std::vector<ScreenColor>{{1, 2, 3}}));
    EXPECT_EQ(ReadPaletteText("JASC-PAL\n0100\n1\n4 5 6\n").colors, (std::vector<ScreenColor>{{4, 5, 6}}));
}

struct BrokenFile {
    const char* name;
    PaletteFileFormat format;
    std::vector<uint8_t> bytes;
    const char* mention;
};

TEST(PaletteFile, RefusesBrokenFilesWithAMessage)
{
    const std::vector<BrokenFile> cases = {
        {"empty words", PaletteFileFormat::GenesisWords, {}, "empty"},
        {"odd length", PaletteFileFormat::GenesisWords, {0x00, 0x0E, 0x00}, "3 bytes"},
        {"not a colour word", PaletteFileFormat::GenesisWords, {0x00, 0x0E, 0x41, 0x42}, "Word 1 (0x4142)"},
        {"too many words", PaletteFileFormat::GenesisWords, std::vector<uint8_t>(2 * kMaxPaletteFileColors + 2),
         "at most"},
        {"empty jasc", PaletteFileFormat::JascPal, {}, "empty"},
        {"no jasc header", PaletteFileFormat::JascPal, Text("JASC\n0100\n1\n0 0 0\n"), "JASC-PAL"},
        {"jasc version", PaletteFileFormat::JascPal, Text("JASC-PAL\n0200\n1\n0 0 0\n"), "version"},
        {"jasc zero count", PaletteFileFormat::JascPal, Text("JASC-PAL\n0100\n0\n"), "number of colours"},
        {"jasc huge count", PaletteFileFormat::JascPal, Text("JASC-PAL\n0100\n99999\n0 0 0\n"), "at most"},
        {"jasc short", PaletteFileFormat::JascPal, Text("JASC-PAL\n0100\n3\n0 0 0\n1 1 1\n"), "has 2 colour lines"},
        {"jasc two levels", PaletteFileFormat::JascPal, Text("JASC-PAL\n0100\n1\n0 0\n"), "Line 4"},
        {"jasc level 256", PaletteFileFormat::JascPal, Text("JASC-PAL\n0100\n1\n0 256 0\n"), "level 256"},
        {"jasc five numbers", PaletteFileFormat::JascPal, Text("JASC-PAL\n0100\n1\n0 0 0 0 0\n"), "Line 4"},
        {"empty gimp", PaletteFileFormat::Gimp, {}, "empty"},
        {"no gimp header", PaletteFileFormat::Gimp, Text("Palette\n0 0 0\n"), "GIMP Palette"},
        {"gimp no colour", PaletteFileFormat::Gimp, Text("GIMP Palette\nName: x\n#\n"), "no colour"},
        {"gimp minus", PaletteFileFormat::Gimp, Text("GIMP Palette\n0 -1 0\n"), "Line 2"},
        {"gimp glued name", PaletteFileFormat::Gimp, Text("GIMP Palette\n0 0 0x\n"), "Line 2"},
        {"gimp level 300", PaletteFileFormat::Gimp, Text("GIMP Palette\n\n300 0 0\n"), "Line 3 holds the level 300"},
        {"too large", PaletteFileFormat::Gimp, std::vector<uint8_t>(kMaxPaletteFileSize + 1, '0'), "too large"},
        {"png in the core", PaletteFileFormat::Png, {0x89, 'P', 'N', 'G'}, "image reader"},
    };
    for (const BrokenFile& c : cases) {
        const PaletteFileRead read = ReadPaletteFile(c.format, c.bytes);
        EXPECT_FALSE(read.ok()) << c.name;
        EXPECT_TRUE(read.colors.empty()) << c.name;
        EXPECT_NE(read.error.find(c.mention), std::string::npos) << c.name << ": " << read.error;
    }
    EXPECT_EQ(PaletteFileFormatOfPath("palette"), std::nullopt);
    EXPECT_EQ(PaletteFileFormatOfPath("dir.pal/palette"), std::nullopt);
}

TEST(PaletteImport, SnapsToTheFormatsStepsAsTheSlidersDo)
{
    // n x 16, n x 17, n x 18 and the hardware curve of one Genesis step.
    for (uint8_t level : {uint8_t{96}, uint8_t{102}, uint8_t{108}, uint8_t{116}})
        EXPECT_EQ(SnapToFormat(PaletteFormat::Genesis, {level, 255, 0}), (ScreenColor{96, 224, 0})) << int{level};
    EXPECT_EQ(SnapToFormat(PaletteFormat::Rgb15, {255, 9, 7}), (ScreenColor{248, 8, 0}));
}

TEST(PaletteImport, PutsTheColoursWhereTheTargetSays)
{
    const std::vector<ScreenColor> palette(48, ScreenColor{32, 32, 32});
    std::vector<ScreenColor> file(20, ScreenColor{64, 0, 0});
    file[1] = {255, 255, 255}; // off the grid: 224
    file[2] = {100, 0, 0};     // off the grid: 96

    struct Case {
        PaletteImportTarget target;
        int start, placed, snapped;
    };
    const Case cases[] = {
        {{-1, -1}, 0, 20, 2},  // whole palette: all of the file
        {{1, -1}, 16, 16, 2},  // a line takes 16
        {{2, 2}, 32, 2, 1},    // the first 2 colours only
        {{-1, 1}, 0, 1, 0},
    };
    for (const Case& c : cases) {
        const PaletteImport import = PlaceImportedColors(palette, file, PaletteFormat::Genesis, c.target);
        ASSERT_TRUE(import.ok()) << import.error;
        EXPECT_EQ(import.start, c.start);
        EXPECT_EQ(import.placed, c.placed);
        EXPECT_EQ(import.snapped, c.snapped);
        ASSERT_EQ(import.colors.size(), palette.size());
        for (int i = 0; i < 48; ++i) {
            const bool replaced = i >= c.start && i < c.start + c.placed;
            const ScreenColor want = !replaced ? palette[static_cast<size_t>(i)]
                                               : SnapToFormat(PaletteFormat::Genesis, file[static_cast<size_t>(i - c.start)]);
            EXPECT_EQ(import.colors[static_cast<size_t>(i)], want) << "colour " << i;
        }
    }
    // A short last line: a 20-colour palette's line 1 holds 4.
    EXPECT_EQ(ImportRoom(20, 1, 16), 4);
    EXPECT_EQ(PlaceImportedColors(std::vector<ScreenColor>(20), file, PaletteFormat::Genesis, {1, -1}).placed, 4);

    const std::pair<PaletteImportTarget, const char*> refused[] = {
        {{3, -1}, "no line 3"}, {{-2, -1}, "no line -2"}, {{0, 17}, "16 of the file's 20 fit line 0"},
        {{-1, 0}, "Cannot take 0"}, {{-1, 21}, "20 of the file's 20"},
    };
    for (const auto& [target, mention] : refused) {
        const PaletteImport import = PlaceImportedColors(palette, file, PaletteFormat::Genesis, target);
        EXPECT_FALSE(import.ok()) << mention;
        EXPECT_NE(import.error.find(mention), std::string::npos) << import.error;
    }
    EXPECT_FALSE(PlaceImportedColors(palette, {}, PaletteFormat::Genesis, {}).ok());
}

} // namespace
} // namespace zorp
