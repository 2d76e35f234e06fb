// What the converter shows and writes: layout names, padding, header report,
// checksum fix and converted bytes.
#include <gtest/gtest.h>

#include "RomTestFiles.h"
#include "rom/PubFunctions.h"
#include "rom/RomFormat.h"

using namespace zorp;
using namespace romtest;

namespace {

// A 32 KB Sonic 2 image whose words past 0x200 are all zero but two, so its
// checksum is known without summing: 0x0102 + 0xFFFF = 0x0101 (mod 0x10000).
Bytes KnownChecksumImage(uint16_t stored)
{
    Bytes image(0x8000, 0);
    PutHeader(image, 0, Sonic2());
    image[0x200] = 0x01;
    image[0x201] = 0x02;
    image[0x202] = 0xFF;
    image[0x203] = 0xFF;
    image[0x18E] = static_cast<uint8_t>(stored >> 8);
    image[0x18F] = static_cast<uint8_t>(stored);
    return image;
}

} // namespace

struct LayoutNameCase {
    uint32_t layout;
    bool is32X;
    std::string name;
};

class LayoutName : public ::testing::TestWithParam<LayoutNameCase> {};

TEST_P(LayoutName, AsTheConverterShowsIt)
{
    EXPECT_EQ(RomLayoutName(GetParam().layout, GetParam().is32X), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Names, LayoutName,
    ::testing::Values(LayoutNameCase{kLayoutPlain, false, "Plain Binary ROM Dump"},
                      LayoutNameCase{kLayoutPlain, true, "Plain Binary ROM Dump (32X)"},
                      LayoutNameCase{kLayoutSmd, false, "Super Magic Drive Interleaved"},
                      LayoutNameCase{kLayoutSmd | kLayoutMultiFile, false, "Super Magic Drive Interleaved (Multi-Load)"},
                      LayoutNameCase{kLayoutSmd | kLayoutMultiFile, true,
                                     "Super Magic Drive Interleaved (Multi-Load) (32X)"},
                      LayoutNameCase{kLayoutMgd, true, "Multi Game Doctor Interleaved (32X)"},
                      LayoutNameCase{kLayoutUnknown, false, "Unknown (please check that this is a ROM file)"}));

TEST(PaddingTest, ToTheNextWhole16KBlock)
{
    const std::pair<size_t, size_t> cases[] = {{0, 0},
                                               {1, 16384},
                                               {16383, 16384},
                                               {16384, 16384},
                                               {16385, 32768},
                                               {0x180000, 0x180000},
                                               {0x180001, 0x184000}};
    for (const auto& [size, padded] : cases)
        EXPECT_EQ(PaddedRomSize(size), padded) << size;

    Bytes image = NoiseBytes(0x180001, 2);
    const Bytes original = image;
    PadRomImage(image);
    ASSERT_EQ(image.size(), 1589248u);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), image.begin()));
    EXPECT_TRUE(std::all_of(image.begin() + 0x180001, image.end(), [](uint8_t b) { return b == 0; }));
}

TEST(HeaderReportTest, LinesOfARealHeader)
{
    Bytes image = KnownChecksumImage(0xABCD);
    EXPECT_EQ(HeaderReportLines(image, 0x7F01),
              (std::vector<std::string>{"Domestic name: SONIC THE             HEDGEHOG 2",
                                        "Overseas name: SONIC THE             HEDGEHOG 2",
                                        "Serial number: GM 00001051-01", "Country code: JUE",
                                        "Checksum: 0xABCD, Actual Checksum: 0x0101",
                                        "Original size: 32513, Padded size: 32768"}));
}

TEST(HeaderReportTest, RightChecksumShowsTheSameDigitsTwice)
{
    EXPECT_EQ(HeaderReportLines(KnownChecksumImage(0x0101), 0x8000)[4], "Checksum: 0x0101, Actual Checksum: 0x0101");
}

TEST(HeaderReportTest, SizesOfAWholeAndAPaddedImage)
{
    Bytes whole(0x180000, 0);
    EXPECT_EQ(HeaderReportLines(whole, whole.size())[5], "Original size: 1572864, Padded size: 1572864");
    Bytes padded(0x180001, 0);
    PadRomImage(padded);
    EXPECT_EQ(HeaderReportLines(padded, 0x180001)[5], "Original size: 1572865, Padded size: 1589248");
}

TEST(HeaderReportTest, FieldsKeepTheirBytesAndLoseOnlyOuterSpaces)
{
    Bytes image(0x8000, 0);
    Put(image, 0x120, "  A\tB\xE9  " + std::string(40, ' '));
    Put(image, 0x150, std::string(48, ' '));
    Put(image, 0x180, std::string("GM\0\0", 4) + std::string(10, ' '));
    Put(image, 0x1F0, " U ");
    std::vector<std::string> lines = HeaderReportLines(image, image.size());
    EXPECT_EQ(lines[0], "Domestic name: A\tB\xE9");
    EXPECT_EQ(lines[1], "Overseas name: ");
    EXPECT_EQ(lines[2], std::string("Serial number: GM\0\0", 19));
    EXPECT_EQ(lines[3], "Country code: U");
}

TEST(HeaderReportTest, ShortOrEmptyImagesNeverCrash)
{
    for (size_t size : {size_t{0}, size_t{0x121}, size_t{0x185}, size_t{0x18F}, size_t{0x1F1}}) {
        Bytes image(size, 'x');
        std::vector<std::string> lines = HeaderReportLines(image, size);
        ASSERT_EQ(lines.size(), 6u);
        EXPECT_EQ(lines[5], "Original size: " + std::to_string(size) + ", Padded size: " + std::to_string(size));
    }
    EXPECT_EQ(HeaderReportLines({}, 0)[0], "Domestic name: ");
    EXPECT_EQ(HeaderReportLines({}, 0)[4], "Checksum: 0x0000, Actual Checksum: 0x0000");
}

TEST(ChecksumFixTest, WritesHighByteFirstAndRefusesShortImages)
{
    Bytes image(0x190, 0);
    EXPECT_TRUE(WriteHeaderChecksum(image, 0xA8F2));
    EXPECT_EQ(image[0x18E], 0xA8);
    EXPECT_EQ(image[0x18F], 0xF2);
    Bytes shortImage(0x18F, 7);
    EXPECT_FALSE(WriteHeaderChecksum(shortImage, 0x1234));
    EXPECT_EQ(shortImage, Bytes(0x18F, 7));
}

class ConvertedOutput : public ::testing::TestWithParam<RomOutputFormat> {};

// The fix goes into the written bytes (wherever the layout puts 0x18E) and the
// loaded image keeps the checksum it had, so a later conversion without the
// fix writes the original bytes.
TEST_P(ConvertedOutput, ChecksumFixLeavesTheImageAlone)
{
    ScratchDir dir;
    const Bytes image = KnownChecksumImage(0x1234);
    const Bytes before = image;

    WriteFile(dir.file("fixed"), ConvertedRomBytes(image, GetParam(), true));
    EXPECT_EQ(image, before);
    RomFormatResult fixed = DetectRomFormat(dir.file("fixed"));
    ASSERT_TRUE(fixed.recognised());
    EXPECT_EQ(StoredChecksum(fixed.image), 0x0101);
    Bytes expected = image;
    expected[0x18E] = 0x01;
    expected[0x18F] = 0x01;
    EXPECT_TRUE(fixed.image == expected) << "only the checksum bytes may change";

    WriteFile(dir.file("plain"), ConvertedRomBytes(image, GetParam(), false));
    RomFormatResult unfixed = DetectRomFormat(dir.file("plain"));
    ASSERT_TRUE(unfixed.recognised());
    EXPECT_TRUE(unfixed.image == image);
}

TEST_P(ConvertedOutput, UnpaddedImageIsPaddedFirst)
{
    Bytes image = GameImage(0x4001, Sonic2());
    Bytes out = ConvertedRomBytes(image, GetParam(), false);
    EXPECT_EQ(out.size(), (GetParam() == RomOutputFormat::Smd ? 512u : 0u) + 0x8000u);
}

INSTANTIATE_TEST_SUITE_P(Formats, ConvertedOutput,
                         ::testing::Values(RomOutputFormat::Binary, RomOutputFormat::Smd, RomOutputFormat::Mgd));
