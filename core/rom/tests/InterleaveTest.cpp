// The SMD and MGD byte orders and the SMD header.
#include <gtest/gtest.h>

#include "RomTestFiles.h"
#include "rom/RomFormat.h"

using namespace zorp;
using namespace romtest;

namespace {

std::string Slice(const Bytes& data, size_t offset, size_t length)
{
    return std::string(data.begin() + static_cast<std::ptrdiff_t>(offset),
                       data.begin() + static_cast<std::ptrdiff_t>(offset + length));
}

} // namespace

TEST(InterleaveSMDTest, ConsoleNameLandsInBothHalvesOfBlockZero)
{
    Bytes image = GameImage(0x8000, Sonic2());
    Bytes body = InterleaveSMD(image);
    // Plain 0x100.. "SEGA GENESIS    ": even bytes S,G,(sp),E,E,I,(sp),(sp) in the
    // second half of the block at 0x80, odd bytes E,A,G,N,S,S,(sp),(sp) at 0x80.
    EXPECT_EQ(Slice(body, 0x80, 8), "EAGNSS  ");
    EXPECT_EQ(Slice(body, 8192 + 0x80, 8), "SG EEI  ");
    // Block 1 is interleaved on its own.
    EXPECT_EQ(body[16384], image[16385]);
    EXPECT_EQ(body[16384 + 8192], image[16384]);
    EXPECT_EQ(body[16384 + 8191], image[16384 + 16383]);
    EXPECT_EQ(body[16384 + 16383], image[16384 + 16382]);
}

TEST(InterleaveMGDTest, OddBytesFirstThenEvenBytes)
{
    Bytes image = GameImage(0x8000, Sonic2());
    Bytes file = InterleaveMGD(image);
    const size_t n = image.size() / 2;
    EXPECT_EQ(Slice(file, 0x80, 8), "EAGNSS  ");
    EXPECT_EQ(Slice(file, n + 0x80, 8), "SG EEI  ");
    EXPECT_EQ(file[n - 1], image.back());
    EXPECT_EQ(file.back(), image[image.size() - 2]);
}

class InterleaveRoundTrip : public ::testing::TestWithParam<size_t> {};

TEST_P(InterleaveRoundTrip, SmdAndMgdGiveTheImageBack)
{
    const Bytes image = NoiseBytes(GetParam(), static_cast<uint32_t>(GetParam()));
    Bytes smd = InterleaveSMD(image);
    Bytes mgd = InterleaveMGD(image);
    ASSERT_EQ(smd.size(), image.size());
    ASSERT_EQ(mgd.size(), image.size());
    if (image.size() >= 4) {
        EXPECT_NE(smd, image);
        EXPECT_NE(mgd, image);
    }
    EXPECT_EQ(DeInterleaveSMD(smd), image);
    EXPECT_EQ(DeInterleaveMGD(mgd), image);
}

// Whole blocks up to 4 MB, and sizes the layouts leave undefined (odd, a
// partial last block), which must neither crash nor lose bytes.
INSTANTIATE_TEST_SUITE_P(Sizes, InterleaveRoundTrip,
                         ::testing::Values(size_t{0}, size_t{1}, size_t{3}, size_t{16384}, size_t{32768},
                                           size_t{16384 + 5}, size_t{16384 + 8193}, size_t{0x100000},
                                           size_t{0x180001}, size_t{0x400000}));

TEST(InterleaveSMDTest, IncompleteLastBlockIsCopiedUnchanged)
{
    const Bytes image = NoiseBytes(16384 + 10, 4);
    Bytes body = InterleaveSMD(image);
    EXPECT_TRUE(std::equal(body.begin() + 16384, body.end(), image.begin() + 16384));
}

TEST(InterleaveMGDTest, OddSizeKeepsTheLastByte)
{
    Bytes file{1, 2, 3, 4, 5};
    // n = 2: plain odd bytes 1,3 come from file 0,1; even bytes 0,2 from file 2,3.
    EXPECT_EQ(DeInterleaveMGD(file), (Bytes{3, 1, 4, 2, 5}));
}

struct SmdHeaderCase {
    size_t imageSize;
    uint8_t byte0;
};

class SmdHeaderSize : public ::testing::TestWithParam<SmdHeaderCase> {};

TEST_P(SmdHeaderSize, ByteZeroIsBlocksMinusOne)
{
    Bytes header = MakeSmdHeader(GetParam().imageSize);
    ASSERT_EQ(header.size(), 512u);
    EXPECT_EQ(header[0], GetParam().byte0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SmdHeaderSize,
                         ::testing::Values(SmdHeaderCase{0x100000, 0x3F}, SmdHeaderCase{0x100001, 0x40},
                                           SmdHeaderCase{16384, 0}, SmdHeaderCase{16385, 1}, SmdHeaderCase{1, 0},
                                           SmdHeaderCase{0, 0}, SmdHeaderCase{0x400000, 0xFF},
                                           SmdHeaderCase{0x800000, 0xFF}));

TEST(SmdHeaderTest, FixedBytesAndSeriesFlag)
{
    Bytes last = MakeSmdHeader(0x80000);
    Bytes earlier = MakeSmdHeader(0x80000, true);
    EXPECT_EQ(last[1], 3);
    EXPECT_EQ(last[2], 0);
    EXPECT_EQ(earlier[2], 0x40);
    EXPECT_EQ(last[8], 0xAA);
    EXPECT_EQ(last[9], 0xBB);
    EXPECT_EQ(last[10], 6);
    for (size_t i : {3, 4, 5, 6, 7})
        EXPECT_EQ(last[i], 0) << i;
    EXPECT_TRUE(IsSmdHeader(last));
    EXPECT_TRUE(IsSmdHeader(earlier));
}

TEST(SmdHeaderTest, RecognitionNeedsSignatureAndZeroTail)
{
    for (size_t k : {size_t{11}, size_t{12}, size_t{256}, size_t{511}}) {
        Bytes header = MakeSmdHeader(0x80000);
        header[k] = 1;
        EXPECT_FALSE(IsSmdHeader(header)) << "nonzero byte " << k;
    }
    for (size_t k : {size_t{8}, size_t{9}, size_t{10}}) {
        Bytes header = MakeSmdHeader(0x80000);
        header[k] ^= 0xFF;
        EXPECT_FALSE(IsSmdHeader(header)) << "signature byte " << k;
    }
    Bytes header = MakeSmdHeader(0x80000);
    header[0] = 0x12; // bytes 0..7 are free
    header[7] = 0x34;
    EXPECT_TRUE(IsSmdHeader(header));
    header.resize(511);
    EXPECT_FALSE(IsSmdHeader(header));
    EXPECT_FALSE(IsSmdHeader(Bytes{}));
}
