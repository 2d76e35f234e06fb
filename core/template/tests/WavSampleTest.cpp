// The WAV importer model: the preview image and the sample bytes.
#include <gtest/gtest.h>

#include "template/WavSample.h"

namespace zorp {
namespace {

uint32_t LE32(const Bytes& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}

TEST(WavSample, HeaderTemplateBytes)
{
    const Bytes expected = {
        'R', 'I', 'F', 'F', 0,    0,    0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 18,  0,   0,   0,
        1,   0,   1,   0,   0x80, 0x3E, 0, 0, 0x80, 0x3E, 0,  0,   1,   0,   8,   0,   0,   0,   'f', 'a',
        'c', 't', 4,   0,   0,    0,    0, 0, 0,   0,   'd', 'a', 't', 'a', 0,   0,   0,   0,
    };
    const auto& header = WavHeaderTemplate();
    EXPECT_EQ(Bytes(header.begin(), header.end()), expected);
}

TEST(WavSample, PreviewFillsTheChangingFields)
{
    Bytes samples = {1, 2, 3, 4, 5};
    Bytes image = BuildWavPreview(samples, 14434);
    ASSERT_EQ(image.size(), 63u);
    EXPECT_EQ(LE32(image, 4), 55u);
    EXPECT_EQ(LE32(image, 24), 14434u);
    EXPECT_EQ(LE32(image, 28), 14434u);
    EXPECT_EQ(LE32(image, 46), 5u);
    EXPECT_EQ(LE32(image, 54), 5u);
    EXPECT_EQ(Bytes(image.begin() + 58, image.end()), samples);
    // Everything else is the template.
    const auto& header = WavHeaderTemplate();
    for (size_t i = 0; i < kWavHeaderSize; ++i) {
        bool changing = (i >= 4 && i < 8) || (i >= 24 && i < 26) || (i >= 28 && i < 30) || (i >= 46 && i < 50) ||
                        (i >= 54 && i < 58);
        if (!changing) {
            EXPECT_EQ(image[i], header[i]) << i;
        }
    }
    // Only 16 bits of the frequency are written.
    EXPECT_EQ(LE32(BuildWavPreview(samples, 65535), 24), 65535u);
}

TEST(WavSample, LoadFromRomAndWriteBackUnchanged)
{
    Bytes rom(64, 0);
    for (size_t i = 0; i < rom.size(); ++i)
        rom[i] = static_cast<uint8_t>(i * 3);
    WavSample wav(WavSetup{10, 20, 16000});
    wav.LoadFromRom(ImageSource(rom));
    EXPECT_EQ(wav.Preview().size(), 78u);
    auto write = wav.PlanWrite(rom.size());
    ASSERT_TRUE(write.has_value());
    EXPECT_EQ(write->offset, 10u);
    EXPECT_EQ(write->bytes, Bytes(rom.begin() + 10, rom.begin() + 30));
    EXPECT_EQ(wav.SpecsLabel(),
              "This game requires a WAV file with the frequency 16000Hz. The WAV must not be larger than 20 bytes.");
}

TEST(WavSample, NoWriteBeforeLoadingOrPastTheEnd)
{
    WavSample wav(WavSetup{10, 20, 16000});
    EXPECT_FALSE(wav.PlanWrite(100).has_value());
    wav.LoadFromRom(ImageSource(Bytes(25, 7))); // bytes 25..29 read as 0
    EXPECT_EQ(wav.Samples(), [] {
        Bytes b(20, 7);
        std::fill(b.begin() + 15, b.end(), 0);
        return b;
    }());
    EXPECT_FALSE(wav.PlanWrite(29).has_value());
    EXPECT_TRUE(wav.PlanWrite(30).has_value());
}

} // namespace
} // namespace zorp
