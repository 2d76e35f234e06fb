// Sound files of every common kind made into the game's sample: lengths and
// pitch survive the rate change, the game's own layout passes unchanged,
// short sounds are padded with silence, long ones flagged and cut, and
// damaged files give a message.
#include <gtest/gtest.h>

#include "audio/AudioDecoder.h"
#include "audio/RiffChunks.h"
#include "audio/SoundImport.h"
#include "audio/WavWriter.h"
#include "audio/tests/SoundTestFiles.h"
#include "template/WavSample.h"

using namespace zorp;
using namespace soundtest;

namespace {

constexpr int kGameRate = 16000;
constexpr size_t kRoom = 27000; // 1.69 s, Sonic 1's sample

struct ConvertCase {
    const char* name;
    int rate;
    int bits;
    int channels;
};

} // namespace

TEST(SoundImport, ConvertsAnyPcmToTheGameRateKeepingPitchAndLength)
{
    const ConvertCase cases[] = {
        {"44.1 kHz 16-bit stereo", 44100, 16, 2},
        {"22.05 kHz 8-bit mono", 22050, 8, 1},
        {"48 kHz 16-bit mono", 48000, 16, 1},
        {"16 kHz 16-bit stereo", 16000, 16, 2},
    };
    for (const ConvertCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = PcmWav(c.rate, c.bits, c.channels, Sine(440, c.rate, 1.0));
        const SoundImport import = ImportSound(file, kGameRate, kRoom);
        ASSERT_TRUE(import.ok()) << import.error;
        EXPECT_FALSE(import.unchanged);
        EXPECT_FALSE(import.tooLong);
        EXPECT_NEAR(static_cast<double>(import.samples.size()), kGameRate * 1.0, 2.0);
        EXPECT_NEAR(MeasuredHertz(import.samples, kGameRate, 1000, 15000), 440.0, 440 * 0.02);
        EXPECT_NEAR(import.soundSeconds, 1.0, 0.001);
        EXPECT_NE(DescribeImport(import).find("converted from " + std::to_string(c.rate) + " Hz"), std::string::npos)
            << DescribeImport(import);
        EXPECT_NE(DescribeImport(import).find("padded with silence to 1.69 s"), std::string::npos);
    }
}

// Both channels go into the mix, each at half weight: a tone on the right
// alone comes through at half its level, and a left channel that is minus the
// right cancels it to silence.
TEST(SoundImport, StereoIsMixedFromBothChannels)
{
    const int rate = 16000;
    const std::vector<double> tone = Sine(440, rate, 0.25);
    const std::vector<double> silence(tone.size(), 0.0);
    std::vector<double> minus;
    for (double x : tone)
        minus.push_back(-x);
    struct Case {
        const char* name;
        std::vector<double> left;
        std::vector<double> right;
        double weight; // of the tone in the mix
    };
    const Case cases[] = {{"right only", silence, tone, 0.5}, {"left only", tone, silence, 0.5},
                          {"left is minus right", minus, tone, 0.0}, {"both alike", tone, tone, 1.0}};
    for (const Case& c : cases) {
        const DecodeResult decoded = DecodeSound(StereoWav(rate, c.left, c.right), 10.0);
        ASSERT_TRUE(decoded.ok()) << c.name << ": " << decoded.error;
        EXPECT_EQ(decoded.sound.channels, 2) << c.name;
        ASSERT_EQ(decoded.sound.mono.size(), tone.size()) << c.name;
        double worst = 0;
        for (size_t i = 0; i < tone.size(); ++i)
            worst = std::max(worst, std::abs(decoded.sound.mono[i] - c.weight * tone[i]));
        EXPECT_LT(worst, 1e-3) << c.name;
    }
    // Through the whole import: the right-only tone is heard, the cancelled one is not.
    auto loudness = [](const Bytes& samples) {
        int peak = 0;
        for (uint8_t s : samples)
            peak = std::max(peak, std::abs(int{s} - 128));
        return peak;
    };
    EXPECT_GT(loudness(ImportSound(StereoWav(rate, silence, tone), rate, tone.size()).samples), 40);
    EXPECT_LT(loudness(ImportSound(StereoWav(rate, minus, tone), rate, tone.size()).samples), 3);
}

TEST(SoundImport, TheGamesOwnLayoutPassesByteForByteWhateverTheHeaderSize)
{
    Bytes samples;
    for (int i = 0; i < 3000; ++i)
        samples.push_back(static_cast<uint8_t>(i * 37));
    // The 58-byte preview layout and the plain 44-byte one.
    for (const Bytes& file : {BuildWavPreview(samples, kGameRate), BuildPlainWav(samples, kGameRate)}) {
        const SoundImport import = ImportSound(file, kGameRate, kRoom);
        ASSERT_TRUE(import.ok()) << import.error;
        EXPECT_TRUE(import.unchanged);
        EXPECT_EQ(import.samples, samples);
    }
    // At another rate the same bytes are converted, not copied.
    const SoundImport other = ImportSound(BuildPlainWav(samples, 8000), kGameRate, kRoom);
    ASSERT_TRUE(other.ok());
    EXPECT_FALSE(other.unchanged);
    EXPECT_NEAR(static_cast<double>(other.samples.size()), 6000, 2);
}

TEST(SoundImport, ShortSoundIsPaddedWithSilenceLongOneCutToTheRoom)
{
    WavSample sample(WavSetup{0, 100, kGameRate});
    sample.LoadSamples(Bytes{1, 2, 3});
    const Bytes padded = sample.Samples();
    ASSERT_EQ(padded.size(), 100u);
    EXPECT_EQ(padded[2], 3);
    EXPECT_TRUE(std::all_of(padded.begin() + 3, padded.end(), [](uint8_t b) { return b == 0x80; }));

    const SoundImport longOne = ImportSound(PcmWav(44100, 16, 2, Sine(300, 44100, 3.0)), kGameRate, kRoom);
    ASSERT_TRUE(longOne.ok()) << longOne.error;
    EXPECT_TRUE(longOne.tooLong);
    EXPECT_EQ(longOne.samples.size(), kRoom);
    EXPECT_NEAR(longOne.soundSeconds, 3.0, 0.001);
    EXPECT_EQ(DescribeImport(longOne), "converted from 44100 Hz 16-bit stereo, 3.00 s, cut to 1.69 s of room");
}

TEST(SoundImport, DamagedAndHostileFilesGiveMessages)
{
    const Bytes good = PcmWav(44100, 16, 2, Sine(440, 44100, 0.1));
    Bytes truncatedHeader(good.begin(), good.begin() + 30);
    Bytes hugeChannels = good;
    hugeChannels[22] = 0xFF; // 65535 channels
    hugeChannels[23] = 0xFF;
    Bytes zeroRate = good;
    std::fill(zeroRate.begin() + 24, zeroRate.begin() + 28, 0);
    Bytes noData = PcmWav(44100, 16, 2, {});
    Bytes hugeData = PcmWav(kGameRate, 8, 1, {0.1, 0.2});
    hugeData[40] = hugeData[41] = hugeData[42] = hugeData[43] = 0xFF; // data size 4 GiB, two bytes present

    const std::pair<const char*, Bytes> cases[] = {
        {"empty", Bytes{}},
        {"not a sound", Bytes(500, 0x41)},
        {"truncated header", truncatedHeader},
        {"65535 channels", hugeChannels},
        {"rate 0", zeroRate},
        {"no samples", noData},
    };
    for (const auto& [name, file] : cases) {
        SCOPED_TRACE(name);
        const SoundImport import = ImportSound(file, kGameRate, kRoom);
        EXPECT_FALSE(import.ok());
        EXPECT_FALSE(import.error.empty());
        EXPECT_TRUE(import.samples.empty());
    }
    // A data chunk that claims more than the file holds yields what is there.
    const SoundImport cutShort = ImportSound(hugeData, kGameRate, kRoom);
    ASSERT_TRUE(cutShort.ok()) << cutShort.error;
    EXPECT_EQ(cutShort.samples.size(), 2u);
}

TEST(RiffChunks, WalksPastOtherChunksToTheData)
{
    Bytes file = BuildPlainWav(Bytes{9, 8, 7}, 11025);
    // Put a LIST chunk (odd size, so padded) between "fmt " and "data".
    const Bytes list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    file.insert(file.begin() + 36, list.begin(), list.end());
    const auto layout = FindWavChunks(file);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->rate, 11025u);
    EXPECT_EQ(layout->dataOffset, 44u + list.size());
    EXPECT_EQ(layout->dataSize, 3u);
    EXPECT_TRUE(IsGameSampleLayout(*layout, 11025));
    EXPECT_FALSE(IsGameSampleLayout(*layout, 11024));
}
