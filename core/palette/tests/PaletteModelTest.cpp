#include <gtest/gtest.h>

#include "palette/PaletteModel.h"

namespace zorp {
namespace {

TEST(PaletteModel, DecodesARunOfWords)
{
    // The start of Sonic 1's player palette.
    const std::vector<uint8_t> bytes = {0x00, 0x00, 0x00, 0x00, 0x08, 0x22, 0x0A, 0x44};
    const std::vector<ScreenColor> colors = DecodePalette(PaletteFormat::Genesis, bytes, 4);
    ASSERT_EQ(colors.size(), 4u);
    EXPECT_EQ(colors[0], (ScreenColor{0, 0, 0}));
    EXPECT_EQ(colors[2], (ScreenColor{32, 32, 128}));
    EXPECT_EQ(colors[3], (ScreenColor{64, 64, 160}));
    EXPECT_EQ(EncodePalette(PaletteFormat::Genesis, colors), bytes);
}

TEST(PaletteModel, MissingBytesReadAsZero)
{
    const std::vector<uint8_t> bytes = {0x7C, 0x1F, 0x03}; // second word cut in half
    const std::vector<ScreenColor> colors = DecodePalette(PaletteFormat::Rgb15, bytes, 4);
    ASSERT_EQ(colors.size(), 4u);
    EXPECT_EQ(colors[0], (ScreenColor{248, 0, 248}));
    EXPECT_EQ(colors[1], DecodePaletteWord(PaletteFormat::Rgb15, {0x03, 0x00}));
    EXPECT_EQ(colors[2], (ScreenColor{0, 0, 0}));
    EXPECT_EQ(colors[3], (ScreenColor{0, 0, 0}));
    EXPECT_TRUE(DecodePalette(PaletteFormat::Genesis, {}, 0).empty());
}

TEST(PaletteModel, CountIsBounded)
{
    EXPECT_EQ(DecodePalette(PaletteFormat::Genesis, {}, kMaxPaletteEntries + 1).size(), kMaxPaletteEntries);
    EXPECT_EQ(DecodePalette(PaletteFormat::Genesis, {}, SIZE_MAX).size(), kMaxPaletteEntries);
}

TEST(PaletteModel, EncodesTwoBytesPerColourInEachFormat)
{
    const std::vector<ScreenColor> colors = {{248, 0, 248}, {8, 16, 24}};
    EXPECT_EQ(EncodePalette(PaletteFormat::Rgb15, colors), (std::vector<uint8_t>{0x7C, 0x1F, 0x0C, 0x41}));
    EXPECT_EQ(EncodePalette(PaletteFormat::Rgb15Swap, colors), (std::vector<uint8_t>{0x1F, 0x7C, 0x41, 0x0C}));
    EXPECT_EQ(EncodePalette(PaletteFormat::Genesis, colors), (std::vector<uint8_t>{0x0F, 0x0F, 0x01, 0x10}));
    EXPECT_TRUE(EncodePalette(PaletteFormat::Genesis, {}).empty());
}

} // namespace
} // namespace zorp
