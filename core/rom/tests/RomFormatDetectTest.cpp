// DetectRomFormat: the three layouts, SMD series, and broken files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "RomTestFiles.h"
#include "rom/RomFormat.h"

using namespace zorp;
using namespace romtest;

namespace {

GameHeader WithConsole(const std::string& console)
{
    GameHeader h = Sonic2();
    h.console = console;
    return h;
}

Bytes SmdFile(const Bytes& image, bool morePartsFollow = false)
{
    Bytes file = MakeSmdHeader(image.size(), morePartsFollow);
    Bytes body = InterleaveSMD(image);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// Writes image as an SMD series: one part per entry of blocks (16 KB blocks
// per part), the last part flagged as last.
void WriteSeries(const ScratchDir& dir, const std::string& stem, const Bytes& image, const std::vector<size_t>& blocks)
{
    const Bytes body = InterleaveSMD(image);
    size_t at = 0;
    for (size_t k = 0; k < blocks.size(); ++k) {
        const size_t size = blocks[k] * kSmdBlockSize;
        Bytes part = MakeSmdHeader(size, k + 1 < blocks.size());
        part.insert(part.end(), body.begin() + static_cast<std::ptrdiff_t>(at),
                    body.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
        WriteFile(dir.file(stem + std::to_string(k + 1)), part);
    }
    ASSERT_EQ(at, image.size());
}

void ExpectError(const RomFormatResult& r, const std::string& title, const std::string& line)
{
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.image.empty());
    EXPECT_EQ(r.error->icon, MessageIcon::Critical);
    EXPECT_EQ(r.error->title, title);
    EXPECT_EQ(r.error->lines, std::vector<std::string>{line});
}

} // namespace

// One suite run against every layout: writing an image in the layout and
// detecting the file gives the layout flag, the 32X flag and the image back.
struct LayoutCase {
    const char* name;
    RomOutputFormat format;
    uint32_t layout;
};

class LayoutContract
    : public ::testing::TestWithParam<std::tuple<LayoutCase, const char* /*console*/, size_t /*size*/>> {};

TEST_P(LayoutContract, DetectGivesTheSameImageBack)
{
    const auto& [layout, console, size] = GetParam();
    ScratchDir dir;
    const Bytes image = GameImage(size, WithConsole(console), static_cast<uint32_t>(size));
    WriteFile(dir.file("game.rom"), ConvertedRomBytes(image, layout.format, false));

    RomFormatResult r = DetectRomFormat(dir.file("game.rom"));
    ASSERT_TRUE(r.ok()) << r.error->text();
    EXPECT_EQ(r.layout, layout.layout);
    EXPECT_EQ(r.is32X, std::string(console) == kConsole32X);
    EXPECT_TRUE(r.image == image) << "image differs";
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, LayoutContract,
    ::testing::Combine(::testing::Values(LayoutCase{"Plain", RomOutputFormat::Binary, kLayoutPlain},
                                         LayoutCase{"SMD", RomOutputFormat::Smd, kLayoutSmd},
                                         LayoutCase{"MGD", RomOutputFormat::Mgd, kLayoutMgd}),
                       ::testing::Values(kConsoleGenesis, kConsoleMegaDrive, kConsole32X),
                       ::testing::Values(size_t{16384}, size_t{0x80000}, size_t{0x400000})),
    [](const auto& p) {
        std::string console = std::get<1>(p.param);
        console = console.substr(5, console.find_last_not_of(' ') - 4);
        for (char& c : console)
            if (c == ' ')
                c = '_';
        return std::string(std::get<0>(p.param).name) + "_" + console + "_" + std::to_string(std::get<2>(p.param));
    });

TEST(DetectRomFormatTest, OneMegabyteSmdHasHeaderByte0x3F)
{
    ScratchDir dir;
    const Bytes image = GameImage(0x100000, Sonic2());
    Bytes file = ConvertedRomBytes(image, RomOutputFormat::Smd, false);
    ASSERT_EQ(file.size(), 0x100000u + 512);
    EXPECT_EQ(file[0], 0x3F);
    WriteFile(dir.file("s2.smd"), file);
    RomFormatResult r = DetectRomFormat(dir.file("s2.smd"));
    EXPECT_EQ(r.layout, kLayoutSmd);
    EXPECT_TRUE(r.image == image);
}

TEST(DetectRomFormatTest, SmdHeaderWithNonzeroTailIsTriedAsMgdThenPlain)
{
    ScratchDir dir;
    const Bytes image = GameImage(0x20000, Sonic2());

    // A broken SMD header over a body that is no valid layout: unknown.
    Bytes broken = SmdFile(image);
    broken[300] = 1;
    WriteFile(dir.file("broken.smd"), broken);
    RomFormatResult r = DetectRomFormat(dir.file("broken.smd"));
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.layout, kLayoutUnknown);
    EXPECT_TRUE(r.image.empty());

    // A plain image whose bytes 8..10 happen to read AA BB 06: the console name
    // at 0x100 keeps it from being SMD, so it is found as plain.
    Bytes plain = image;
    plain[8] = 0xAA;
    plain[9] = 0xBB;
    plain[10] = 0x06;
    WriteFile(dir.file("plain.bin"), plain);
    r = DetectRomFormat(dir.file("plain.bin"));
    EXPECT_EQ(r.layout, kLayoutPlain);
    EXPECT_TRUE(r.image == plain);

    // The same for MGD: its first bytes look like an SMD header but byte 0x80+
    // holds half of the console name.
    Bytes mgd = InterleaveMGD(image);
    std::fill(mgd.begin(), mgd.begin() + 11, 0);
    mgd[8] = 0xAA;
    mgd[9] = 0xBB;
    mgd[10] = 0x06;
    WriteFile(dir.file("x.mgd"), mgd);
    r = DetectRomFormat(dir.file("x.mgd"));
    EXPECT_EQ(r.layout, kLayoutMgd);
    EXPECT_TRUE(r.image == DeInterleaveMGD(mgd));
}

TEST(DetectRomFormatTest, SmdSeriesOfThreeJoinsFromPartOne)
{
    ScratchDir dir;
    const Bytes image = GameImage(6 * kSmdBlockSize, Sonic3());
    WriteSeries(dir, "GAME.", image, {2, 1, 3});

    for (const char* picked : {"GAME.1", "GAME.2"}) {
        RomFormatResult r = DetectRomFormat(dir.file(picked));
        ASSERT_TRUE(r.ok()) << r.error->text();
        EXPECT_EQ(r.layout, kLayoutSmd | kLayoutMultiFile) << picked;
        EXPECT_EQ(r.image.size(), 6 * kSmdBlockSize);
        EXPECT_TRUE(r.image == image) << picked;
    }
    // The last part is flagged as last, so picking it alone reads it alone.
    RomFormatResult last = DetectRomFormat(dir.file("GAME.3"));
    EXPECT_EQ(last.layout, kLayoutSmd);
    EXPECT_EQ(last.image.size(), 3 * kSmdBlockSize);
}

TEST(DetectRomFormatTest, SmdSeriesOfExactly4MBIsAccepted)
{
    ScratchDir dir;
    const Bytes image = GameImage(0x400000, SonicKnuckles());
    WriteSeries(dir, "BIG.", image, {64, 64, 64, 64});
    RomFormatResult r = DetectRomFormat(dir.file("BIG.1"));
    ASSERT_TRUE(r.ok()) << r.error->text();
    EXPECT_EQ(r.layout, kLayoutSmd | kLayoutMultiFile);
    EXPECT_TRUE(r.image == image);
}

TEST(DetectRomFormatTest, SmdSeriesWithMissingPartReportsItsNumber)
{
    ScratchDir dir;
    const Bytes image = GameImage(3 * kSmdBlockSize, Sonic2());
    WriteSeries(dir, "GAME.", image, {1, 1, 1});
    ::unlink(dir.file("GAME.2").c_str());
    ExpectError(DetectRomFormat(dir.file("GAME.1")), "Error loading ROM series", "Error loading part 2 of ROM series.");

    // Picking a later part still starts at part 1.
    WriteSeries(dir, "OTHER.", image, {1, 1, 1});
    ::unlink(dir.file("OTHER.1").c_str());
    ExpectError(DetectRomFormat(dir.file("OTHER.2")), "Error loading ROM series",
                "Error loading part 1 of ROM series.");
}

TEST(DetectRomFormatTest, SmdSeriesThatNeverEndsIsRefused)
{
    ScratchDir dir;
    // Five 1 MB parts, every one saying more parts follow: past 4 MB at part 5.
    for (int k = 1; k <= 5; ++k) {
        Bytes part = MakeSmdHeader(0x100000, true);
        part.resize(512 + 0x100000, static_cast<uint8_t>(k));
        WriteFile(dir.file("LOOP." + std::to_string(k)), part);
    }
    ExpectError(DetectRomFormat(dir.file("LOOP.1")), "Error loading ROM series",
                "Error: The ROM series is larger than 4 MB.");

    // Parts without any data never reach 4 MB: the part count stops them.
    for (int k = 1; k <= kMaxSmdSeriesParts + 1; ++k)
        WriteFile(dir.file("EMPTY." + std::to_string(k)), MakeSmdHeader(0, true));
    ExpectError(DetectRomFormat(dir.file("EMPTY.1")), "Error loading ROM series",
                "Error: The ROM series has more than 256 parts.");
}

TEST(DetectRomFormatTest, BrokenSmdFilesAreRefused)
{
    ScratchDir dir;
    // Body not a whole number of 16 KB blocks.
    Bytes ragged = SmdFile(GameImage(kSmdBlockSize, Sonic2()));
    ragged.push_back(0);
    WriteFile(dir.file("ragged.smd"), ragged);
    ExpectError(DetectRomFormat(dir.file("ragged.smd")), "Invalid SMD ROM",
                "Error: The SMD file's data is not a whole number of 16 KB blocks.");

    // A header and nothing else.
    WriteFile(dir.file("bare.smd"), MakeSmdHeader(0));
    ExpectError(DetectRomFormat(dir.file("bare.smd")), "Invalid SMD ROM", "Error: The SMD file holds no ROM data.");

    // A series part shorter than a header, or with a ragged body.
    WriteFile(dir.file("S.1"), SmdFile(GameImage(kSmdBlockSize, Sonic2()), true));
    WriteFile(dir.file("S.2"), Bytes(100, 0));
    ExpectError(DetectRomFormat(dir.file("S.1")), "Error loading ROM series",
                "Error: Part 2 of the ROM series is not a valid SMD file.");
    WriteFile(dir.file("S.2"), ragged);
    ExpectError(DetectRomFormat(dir.file("S.1")), "Error loading ROM series",
                "Error: Part 2 of the ROM series is not a valid SMD file.");
}

TEST(DetectRomFormatTest, UnreadableAndAbsurdFiles)
{
    ScratchDir dir;
    ExpectError(DetectRomFormat(dir.file("missing.bin")), "Error loading ROM", "Error: The file could not be opened.");
    ExpectError(DetectRomFormat(dir.str()), "Error loading ROM", "Error: The file could not be opened.");

    // A sparse file just over the cap: refused without being read.
    const std::string huge = dir.file("huge.bin");
    WriteFile(huge, {});
    ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(kMaxRomFileSize + 1)), 0);
    ExpectError(DetectRomFormat(huge), "Error loading ROM",
                "Error: The file is larger than 64 MB, too large for a cartridge image.");
}

TEST(DetectRomFormatTest, ShortAndEmptyFilesNeverCrash)
{
    ScratchDir dir;
    Bytes smdStart = MakeSmdHeader(0);
    for (size_t size : {0, 1, 2, 3, 10, 11, 12, 0x8F, 0x90, 0x10F, 0x110, 0x111, 511, 512, 513}) {
        for (uint8_t fill : {uint8_t{0}, uint8_t{0xFF}, uint8_t{' '}}) {
            Bytes file(size, fill);
            std::copy(smdStart.begin(), smdStart.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(size, 11)),
                      file.begin());
            WriteFile(dir.file("short.bin"), file);
            RomFormatResult r = DetectRomFormat(dir.file("short.bin"));
            EXPECT_FALSE(r.recognised()) << size;
        }
    }
    // Console name present but nothing after it: a tiny plain image.
    Bytes tiny(0x110, 0);
    Put(tiny, 0x100, kConsoleMegaDrive);
    WriteFile(dir.file("tiny.bin"), tiny);
    RomFormatResult r = DetectRomFormat(dir.file("tiny.bin"));
    EXPECT_EQ(r.layout, kLayoutPlain);
    EXPECT_EQ(r.image.size(), 0x110u);
}

TEST(DetectRomFormatTest, ThirtyTwoXFlagOnlyForThe32XName)
{
    ScratchDir dir;
    Bytes image = GameImage(kSmdBlockSize, WithConsole("SEGA 32X       X"));
    WriteFile(dir.file("x.32x"), image);
    EXPECT_FALSE(DetectRomFormat(dir.file("x.32x")).recognised());
    Put(image, 0x100, kConsole32X);
    WriteFile(dir.file("x.32x"), image);
    RomFormatResult r = DetectRomFormat(dir.file("x.32x"));
    EXPECT_EQ(r.layout, kLayoutPlain);
    EXPECT_TRUE(r.is32X);
}
