#include <gtest/gtest.h>

#include "palette/PaletteWord.h"

namespace zorp {
namespace {

PaletteWord WordOf(uint16_t bigEndian) { return {static_cast<uint8_t>(bigEndian >> 8), static_cast<uint8_t>(bigEndian)}; }

// Contract shared by the three formats.
struct FormatTraits {
    const char* name;
    PaletteFormat format;
    int sliderMaximum;
    int levelStep;            // level of slider position 1
    bool (*isValid)(PaletteWord); // unused bits clear
};

const FormatTraits kGenesis{"Genesis", PaletteFormat::Genesis, 7, 32, [](PaletteWord w) { return w[0] < 16; }};
const FormatTraits kRgb15{"RGB_15", PaletteFormat::Rgb15, 31, 8, [](PaletteWord w) { return (w[0] & 0x80) == 0; }};
const FormatTraits kRgb15Swap{"RGB_15_SWAP", PaletteFormat::Rgb15Swap, 31, 8,
                              [](PaletteWord w) { return (w[1] & 0x80) == 0; }};

void PrintTo(const FormatTraits& t, std::ostream* os) { *os << t.name; }

class PaletteFormatTest : public ::testing::TestWithParam<FormatTraits> {};

TEST_P(PaletteFormatTest, EveryValidWordSurvivesDecodeAndEncode)
{
    const FormatTraits& t = GetParam();
    int valid = 0;
    for (uint32_t n = 0; n < 0x10000; ++n) {
        const PaletteWord word = WordOf(static_cast<uint16_t>(n));
        if (!t.isValid(word))
            continue;
        ++valid;
        ASSERT_EQ(EncodePaletteWord(t.format, DecodePaletteWord(t.format, word)), word) << t.name << " word " << n;
    }
    EXPECT_EQ(valid, t.format == PaletteFormat::Genesis ? 4096 : 32768);
}

TEST_P(PaletteFormatTest, InvalidWordsDecodeLikeTheirValidPart)
{
    const FormatTraits& t = GetParam();
    for (uint32_t n = 0; n < 0x10000; ++n) {
        const PaletteWord word = WordOf(static_cast<uint16_t>(n));
        if (t.isValid(word))
            continue;
        PaletteWord cleared = word;
        if (t.format == PaletteFormat::Genesis)
            cleared[0] &= 0x0F;
        else if (t.format == PaletteFormat::Rgb15)
            cleared[0] &= 0x7F;
        else
            cleared[1] &= 0x7F;
        const ScreenColor color = DecodePaletteWord(t.format, word);
        ASSERT_EQ(color, DecodePaletteWord(t.format, cleared)) << t.name << " word " << n;
        ASSERT_EQ(EncodePaletteWord(t.format, color), cleared) << t.name << " word " << n;
    }
}

TEST_P(PaletteFormatTest, SlidersAndLevels)
{
    const FormatTraits& t = GetParam();
    EXPECT_EQ(SliderMaximum(t.format), t.sliderMaximum);
    EXPECT_EQ(SliderSteps(t.format), t.sliderMaximum + 1);
    for (int position = 0; position <= t.sliderMaximum; ++position) {
        const uint8_t level = LevelFromSlider(t.format, position);
        EXPECT_EQ(level, position * t.levelStep);
        EXPECT_EQ(SliderFromLevel(t.format, level), position);
        // Every level within the step shows the same slider position.
        EXPECT_EQ(SliderFromLevel(t.format, static_cast<uint8_t>(level + t.levelStep - 1)), position);
    }
    EXPECT_EQ(LevelFromSlider(t.format, -1), 0);
    EXPECT_EQ(LevelFromSlider(t.format, t.sliderMaximum + 1), t.sliderMaximum * t.levelStep);
    EXPECT_EQ(SliderFromLevel(t.format, 255), t.sliderMaximum);
}

// A colour set through the sliders is written and read back unchanged.
TEST_P(PaletteFormatTest, SliderColoursRoundTripThroughWords)
{
    const FormatTraits& t = GetParam();
    for (int r = 0; r <= t.sliderMaximum; ++r)
        for (int g = 0; g <= t.sliderMaximum; g += 3)
            for (int b = 0; b <= t.sliderMaximum; b += 2) {
                const SliderPositions positions{r, g, b};
                const ScreenColor color = ColorFromSliders(t.format, positions);
                const ScreenColor back = DecodePaletteWord(t.format, EncodePaletteWord(t.format, color));
                ASSERT_EQ(back, color) << t.name;
                ASSERT_EQ(SlidersFromColor(t.format, back), positions) << t.name;
            }
}

INSTANTIATE_TEST_SUITE_P(Formats, PaletteFormatTest, ::testing::Values(kGenesis, kRgb15, kRgb15Swap),
                         [](const auto& p) {
                             std::string name = p.param.name;
                             for (char& c : name)
                                 if (c == '_')
                                     c = 'x';
                             return name;
                         });

TEST(PaletteWordCases, KnownWords)
{
    const struct {
        const char* what;
        PaletteFormat format;
        PaletteWord word;
        uint8_t r, g, b;
        SliderPositions sliders;
    } cases[] = {
        {"Genesis 0x0EEE", PaletteFormat::Genesis, {0x0E, 0xEE}, 224, 224, 224, {7, 7, 7}},
        {"Genesis 0x0ACE", PaletteFormat::Genesis, {0x0A, 0xCE}, 224, 192, 160, {7, 6, 5}},
        {"Genesis 0x0333", PaletteFormat::Genesis, {0x03, 0x33}, 48, 48, 48, {1, 1, 1}},
        {"Genesis Sonic blue 0x0A44", PaletteFormat::Genesis, {0x0A, 0x44}, 64, 64, 160, {2, 2, 5}},
        {"RGB_15 7C 1F", PaletteFormat::Rgb15, {0x7C, 0x1F}, 248, 0, 248, {31, 0, 31}},
        {"RGB_15_SWAP 7C 1F", PaletteFormat::Rgb15Swap, {0x7C, 0x1F}, 224, 216, 56, {28, 27, 7}},
        {"RGB_15 bit 15 set", PaletteFormat::Rgb15, {0xFC, 0x1F}, 248, 0, 248, {31, 0, 31}},
        {"RGB_15_SWAP bit 15 set", PaletteFormat::Rgb15Swap, {0x1F, 0xFC}, 248, 0, 248, {31, 0, 31}},
        {"Genesis byte 0 of 0x1A masked", PaletteFormat::Genesis, {0x1A, 0x00}, 0, 0, 160, {0, 0, 5}},
    };
    for (const auto& c : cases) {
        const ScreenColor color = DecodePaletteWord(c.format, c.word);
        EXPECT_EQ(color.r, c.r) << c.what;
        EXPECT_EQ(color.g, c.g) << c.what;
        EXPECT_EQ(color.b, c.b) << c.what;
        EXPECT_EQ(color.Value(), c.r + 256u * c.g + 65536u * c.b) << c.what;
        EXPECT_EQ(SlidersFromColor(c.format, color), c.sliders) << c.what;
    }
}

TEST(PaletteWordCases, WrittenBack)
{
    // Unchanged colours keep their word; unused bits are written as 0.
    EXPECT_EQ(EncodePaletteWord(PaletteFormat::Genesis, DecodePaletteWord(PaletteFormat::Genesis, {0x0A, 0xCE})),
              (PaletteWord{0x0A, 0xCE}));
    EXPECT_EQ(EncodePaletteWord(PaletteFormat::Rgb15, DecodePaletteWord(PaletteFormat::Rgb15, {0xFC, 0x1F})),
              (PaletteWord{0x7C, 0x1F}));
    EXPECT_EQ(EncodePaletteWord(PaletteFormat::Rgb15Swap, DecodePaletteWord(PaletteFormat::Rgb15Swap, {0x7C, 0x9F})),
              (PaletteWord{0x7C, 0x1F}));

    // 0x0333 shows sliders 1,1,1; recomputed from them it becomes 0x0222.
    const ScreenColor original = DecodePaletteWord(PaletteFormat::Genesis, {0x03, 0x33});
    EXPECT_EQ(EncodePaletteWord(PaletteFormat::Genesis, original), (PaletteWord{0x03, 0x33}));
    const ScreenColor fromSliders =
        ColorFromSliders(PaletteFormat::Genesis, SlidersFromColor(PaletteFormat::Genesis, original));
    EXPECT_EQ(EncodePaletteWord(PaletteFormat::Genesis, fromSliders), (PaletteWord{0x02, 0x22}));
}

TEST(PaletteScreenColor, ValueRoundTrip)
{
    const ScreenColor color{0x12, 0x34, 0x56};
    EXPECT_EQ(color.Value(), 0x563412u);
    EXPECT_EQ(ScreenColor::FromValue(0x563412u), color);
    EXPECT_EQ(ScreenColor::FromValue(0xFF563412u), color); // top byte ignored
}

TEST(PaletteRescale, FormatChanges)
{
    const struct {
        const char* what;
        int oldMaximum, oldPosition;
        PaletteFormat format;
        int expected;
    } cases[] = {
        {"31 of 31 -> 7 of 7", 31, 31, PaletteFormat::Genesis, 7},
        {"7 of 7 -> 28 of 31", 7, 7, PaletteFormat::Rgb15, 28},
        {"7 of 7 -> 28 of 31 (swap)", 7, 7, PaletteFormat::Rgb15Swap, 28},
        {"3 of 31 -> 0 of 7", 31, 3, PaletteFormat::Genesis, 0},
        {"4 of 31 -> 1 of 7", 31, 4, PaletteFormat::Genesis, 1},
        {"15-bit to 15-bit left alone", 31, 17, PaletteFormat::Rgb15Swap, 17},
        {"Genesis to Genesis left alone", 7, 5, PaletteFormat::Genesis, 5},
        {"0 stays 0", 7, 0, PaletteFormat::Rgb15, 0},
        {"odd old maximum", 15, 15, PaletteFormat::Rgb15, 30},
        {"position beyond its maximum clamped", 7, 1000, PaletteFormat::Rgb15, 31},
        {"negative position clamped", 7, -3, PaletteFormat::Rgb15, 0},
        {"huge position does not overflow", 0, 0x7FFFFFFF, PaletteFormat::Genesis, 7},
        {"negative old maximum", -1, 5, PaletteFormat::Genesis, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RescaleSlider(c.oldMaximum, c.oldPosition, c.format), c.expected) << c.what;
}

TEST(PaletteTemplateValue, Codes)
{
    const struct {
        const char* value;
        int32_t code;
    } cases[] = {
        {"RGB_15", 1}, {"rgb_15", 1}, {"Rgb_15", 1}, {"RGB_15_SWAP", 2}, {"rgb_15_swap", 2},
        {"", 0},       {"GENESIS", 0}, {"RGB_16", 0}, {"RGB_15 ", 0},     {"RGB_15_SWAPX", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PaletteTypeFromTemplateValue(c.value), c.code) << '"' << c.value << '"';
    EXPECT_EQ(PaletteFormatFromType(0), PaletteFormat::Genesis);
    EXPECT_EQ(PaletteFormatFromType(1), PaletteFormat::Rgb15);
    EXPECT_EQ(PaletteFormatFromType(2), PaletteFormat::Rgb15Swap);
    EXPECT_EQ(PaletteFormatFromType(3), PaletteFormat::Genesis);
    EXPECT_EQ(PaletteFormatFromType(-1), PaletteFormat::Genesis);
}

} // namespace
} // namespace zorp
