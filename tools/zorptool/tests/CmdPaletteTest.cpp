// zorptool palette, run as the built program on a synthetic Sonic 2 REV01
// image through the shipped S2 template ("Emerald Hill Zone": 48 Genesis
// colours at 0x2A22).
#include <gtest/gtest.h>

#include "ZorptoolRun.h"

#include <algorithm>
#include <cstdlib>

#include "palette/PaletteFile.h"
#include "palette/PaletteModel.h"
#include "rom/RomSave.h"
#include "rom/tests/RomTestFiles.h"

using namespace zorp;
using namespace romtest;

namespace {

constexpr size_t kZoneAt = 0x2A22;
constexpr size_t kZoneColors = 48;

// A distinct colour on the Genesis grid for each entry.
std::vector<ScreenColor> ZoneColors(int seed)
{
    std::vector<ScreenColor> colors;
    for (size_t i = 0; i < kZoneColors; ++i)
        colors.push_back({static_cast<uint8_t>(((i + seed) % 8) * 32), static_cast<uint8_t>(((i / 8) % 8) * 32),
                          static_cast<uint8_t>(((i * 5 + seed) % 8) * 32)});
    return colors;
}

// The working ImageMagick convert: the one on the PATH, else the package's.
std::string ImageMagick()
{
    for (const char* program : {"convert", "/usr/bin/convert"}) {
        const std::string probe = std::string(program) + " -version 2>/dev/null | grep -q '^Version: ImageMagick'";
        if (std::system(probe.c_str()) == 0)
            return program;
    }
    return {};
}

class PaletteCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        image_ = GameImage(0x100000, Sonic2(), 5);
        PutZone(image_, ZoneColors(0));
        WriteFile(Rom(), image_);
    }
    static void PutZone(Bytes& image, const std::vector<ScreenColor>& colors)
    {
        const Bytes words = EncodePalette(PaletteFormat::Genesis, colors);
        std::copy(words.begin(), words.end(), image.begin() + kZoneAt);
    }
    std::vector<ScreenColor> ZoneOf(const std::string& path) const
    {
        const Bytes image = ReadFileBytes(path).value_or(Bytes{});
        return DecodePalette(PaletteFormat::Genesis, Bytes(image.begin() + kZoneAt, image.end()), kZoneColors);
    }
    zorptest::ToolRun Run(const std::vector<std::string>& args) const { return zorptest::RunZorptool(dir_.str(), args); }
    std::string Rom() const { return dir_.file("s2.bin"); }
    std::string Path(const std::string& name) const { return dir_.file(name); }
    // Every byte outside the palette (and the checksum word) is as it was.
    void ExpectOnlyZoneChanged(bool checksum) const
    {
        const Bytes after = ReadFileBytes(Rom()).value_or(Bytes{});
        ASSERT_EQ(after.size(), image_.size());
        for (size_t i = 0; i < after.size(); ++i) {
            const bool zone = i >= kZoneAt && i < kZoneAt + 2 * kZoneColors;
            const bool sum = checksum && (i == 0x18E || i == 0x18F);
            if (!zone && !sum) {
                ASSERT_EQ(after[i], image_[i]) << "byte 0x" << std::hex << i;
            }
        }
    }

    ScratchDir dir_;
    Bytes image_;
};

TEST_F(PaletteCommand, EveryFormatRoundTripsThroughExportAndImport)
{
    for (const char* name : {"zone.bin", "zone.pal", "zone.gpl", "zone.png"}) {
        SCOPED_TRACE(name);
        const zorptest::ToolRun out = Run({"palette", "export", Rom(), "Emerald Hill Zone", Path(name)});
        ASSERT_EQ(out.status, 0) << out.err;
        EXPECT_NE(out.out.find("wrote 48 colours"), std::string::npos) << out.out;
        // Another palette in the ROM, then the file back in.
        Bytes other = image_;
        PutZone(other, ZoneColors(3));
        WriteFile(Rom(), other);
        const zorptest::ToolRun in = Run({"palette", "import", Rom(), "emerald hill zone", Path(name)});
        ASSERT_EQ(in.status, 0) << in.err;
        EXPECT_NE(in.out.find("48 placed at colours 0 to 47"), std::string::npos) << in.out;
        EXPECT_NE(in.out.find("0 of them changed"), std::string::npos) << in.out;
        EXPECT_EQ(ZoneOf(Rom()), ZoneColors(0));
        ExpectOnlyZoneChanged(false);
    }
    // The Genesis file holds exactly the ROM's words.
    const Bytes words = ReadFileBytes(Path("zone.bin")).value_or(Bytes{});
    EXPECT_EQ(words, Bytes(image_.begin() + kZoneAt, image_.begin() + kZoneAt + 2 * kZoneColors));
}

TEST_F(PaletteCommand, ImportFillsTheLineAndCountAskedAndSaysWhatTheSnappingChanged)
{
    WriteText(Path("four.gpl"), "GIMP Palette\nName: x\n#\n255 255 255\n238 0 0\n0 64 0\n0 0 36\n9 9 9\n");
    const zorptest::ToolRun run =
        Run({"palette", "import", "--line", "1", "--count", "4", "--fix-checksum", Rom(), "Emerald Hill Zone",
             Path("four.gpl")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("5 colours read; 4 placed at colours 16 to 19"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("3 of them changed to fit the Genesis colour grid"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("(checksum fixed)"), std::string::npos) << run.out;
    std::vector<ScreenColor> want = ZoneColors(0);
    want[16] = {224, 224, 224};
    want[17] = {224, 0, 0};
    want[18] = {0, 64, 0};
    want[19] = {0, 0, 32};
    EXPECT_EQ(ZoneOf(Rom()), want);
    ExpectOnlyZoneChanged(true);
    const Bytes after = ReadFileBytes(Rom()).value_or(Bytes{});
    EXPECT_TRUE(HeaderChecksumOf(after).matches());
}

TEST_F(PaletteCommand, AnIndexedPngMadeByImageMagickImportsWithItsColours)
{
    const std::string convert = ImageMagick();
    if (convert.empty())
        GTEST_SKIP() << "ImageMagick's convert is not installed (apt-get install imagemagick)";
    // Four pixels, four colours: ImageMagick writes them as the PNG's palette.
    WriteText(Path("in.ppm"), "P3\n4 1\n255\n224 0 0  0 96 224  32 32 32  224 224 160\n");
    ASSERT_EQ(zorptest::RunProgram(dir_.str(), convert, {Path("in.ppm"), "-type", "Palette", "PNG8:" + Path("im.png")})
                  .status,
              0);
    const zorptest::ToolRun run = Run({"palette", "import", "--line", "2", Rom(), "Emerald Hill Zone", Path("im.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("4 colours read; 4 placed at colours 32 to 35"), std::string::npos) << run.out;
    const std::vector<ScreenColor> zone = ZoneOf(Rom());
    std::vector<ScreenColor> got(zone.begin() + 32, zone.begin() + 36);
    std::vector<ScreenColor> want = {{224, 0, 0}, {0, 96, 224}, {32, 32, 32}, {224, 224, 160}};
    // The palette's order is ImageMagick's to choose.
    auto byValue = [](const ScreenColor& a, const ScreenColor& b) { return a.Value() < b.Value(); };
    std::sort(got.begin(), got.end(), byValue);
    std::sort(want.begin(), want.end(), byValue);
    EXPECT_EQ(got, want);
    ExpectOnlyZoneChanged(false);
}

TEST_F(PaletteCommand, BadInputChangesNothingAndSaysWhy)
{
    WriteText(Path("empty.pal"), "");
    WriteText(Path("broken.gpl"), "GIMP Palette\n1 2\n");
    WriteFile(Path("odd.bin"), {0x0E, 0x0E, 0x00});
    WriteFile(Path("cut.png"), {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H'});
    WriteText(Path("good.pal"), "JASC-PAL\n0100\n1\n0 0 0\n");
    struct Case {
        std::vector<std::string> words;
        int status;
        const char* mention;
    };
    const std::vector<Case> cases = {
        {{"import", Rom(), "Emerald Hill Zone", Path("empty.pal")}, 1, "The file is empty"},
        {{"import", Rom(), "Emerald Hill Zone", Path("broken.gpl")}, 1, "Line 2 is not a colour"},
        {{"import", Rom(), "Emerald Hill Zone", Path("odd.bin")}, 1, "3 bytes"},
        {{"import", Rom(), "Emerald Hill Zone", Path("cut.png")}, 1, "cut off or damaged"},
        {{"import", Rom(), "Emerald Hill Zone", Path("missing.pal")}, 1, "does not exist"},
        {{"import", "--line", "3", Rom(), "Emerald Hill Zone", Path("good.pal")}, 1, "there is no line 3"},
        {{"import", "--count", "2", Rom(), "Emerald Hill Zone", Path("good.pal")}, 1, "Cannot take 2"},
        {{"import", Rom(), "Hidden Palace", Path("good.pal")}, 1, "\"Emerald Hill Zone\""},
        {{"import", Rom(), "Emerald Hill Zone", Path("good.txt")}, 2, "must end in .bin, .pal, .gpl or .png"},
        {{"import", "--line", "x", Rom(), "Emerald Hill Zone", Path("good.pal")}, 2, "--line needs"},
        {{"export", "--count", "1", Rom(), "Emerald Hill Zone", Path("x.pal")}, 2, "unknown option"},
        {{"mix", Rom()}, 2, "unknown palette command"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> words = {"palette"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        zorptest::ExpectOneLineError(Run(words), c.status, c.mention);
    }
    EXPECT_EQ(ReadFileBytes(Rom()), image_);
}

} // namespace
