// zorptool identify, checksum and convert, run as the built program. The
// program directory (ROM_DEF.RDEF) is the folder of the zorptool executable.
#include <gtest/gtest.h>

#include "ZorptoolRun.h"

#include <chrono>
#include <filesystem>
#include <fstream>

#include "rom/tests/RomTestFiles.h"
#include "rom/PubFunctions.h"
#include "rom/RomFormat.h"
#include "stage/S3SFile.h"

using namespace zorp;
using namespace romtest;
namespace fs = std::filesystem;

namespace {

using zorptest::ExpectOneLineError;
using CommandRun = zorptest::ToolRun;

CommandRun Zorptool(const ScratchDir& dir, const std::vector<std::string>& args,
                    const std::string& program = ZORPTOOL_PATH)
{
    return zorptest::RunZorptool(dir.str(), args, program);
}

Bytes FileBytes(const std::string& path) { return ReadFileBytes(path).value_or(Bytes{}); }

} // namespace

// --- identify ----------------------------------------------------------------

struct IdentifyCommandCase {
    const char* name;
    std::string fileName;
    Bytes contents;
    std::string output;
};

// Keeps the test's listed name short (the default prints the image's bytes).
void PrintTo(const IdentifyCommandCase& c, std::ostream* os) { *os << c.name; }

class IdentifyCommand : public ::testing::TestWithParam<IdentifyCommandCase> {};

TEST_P(IdentifyCommand, PrintsIdentifierAndName)
{
    ScratchDir dir;
    WriteFile(dir.file(GetParam().fileName), GetParam().contents);
    CommandRun run = Zorptool(dir, {"identify", dir.file(GetParam().fileName)});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, GetParam().output);
    EXPECT_EQ(run.err, "");
}

namespace {

Bytes LockOn(const GameHeader& second)
{
    Bytes image = GameImage(0x300000, SonicKnuckles());
    PutHeader(image, 0x200000, second);
    return image;
}

Bytes S3S(const char* signature, size_t size)
{
    Bytes file(size, 0);
    Put(file, 0, signature);
    return file;
}

Bytes Sms(uint8_t low, uint8_t high)
{
    Bytes image(0x8000, 0);
    image[0x7FFC] = low;
    image[0x7FFD] = high;
    return image;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Zorptool, IdentifyCommand,
    ::testing::Values(
        IdentifyCommandCase{"Sonic2", "s2.bin", GameImage(0x100000, Sonic2()), "S2\tSonic the Hedgehog 2\tREV01\n"},
        IdentifyCommandCase{"Sonic2Rev00", "s2.bin", GameImage(0x100000, Sonic2Rev00()),
                            "S2\tSonic the Hedgehog 2\tREV00\n"},
        IdentifyCommandCase{"LockedOnSonic3", "sk3.bin", LockOn(Sonic3()),
                            "S3_K\tSonic 3 & Knuckles\tREV00 + S3 REV00\n"},
        IdentifyCommandCase{"LockedOnOther", "sko.bin", LockOn(OtherGame()),
                            "SO\tS&K Locked On (other)\tREV00 + unknown cartridge\n"},
        IdentifyCommandCase{"MasterSystem", "s1.sms", Sms(0x76, 0x70), "SMS_S1\tSonic the Hedgehog (Master System)\n"},
        IdentifyCommandCase{"S3SVersion2", "st.s3s", S3S(kS3SSignatureV2, kS3SV2Size),
                            "S3S\tSpecial Stage File (S3S version 2.00)\n"},
        IdentifyCommandCase{"S3SCompilation", "c.S3S", S3S(kS3SSignatureC, 64),
                            "S3S\tSpecial Stage File (S3S/C compilation, cannot be edited)\n"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(IdentifyCommandErrors, OneLineAndNonZero)
{
    ScratchDir dir;
    WriteFile(dir.file("other.bin"), GameImage(0x20000, OtherGame()));
    ExpectOneLineError(Zorptool(dir, {"identify", dir.file("other.bin")}), 1, "unrecognised ROM");
    ExpectOneLineError(Zorptool(dir, {"identify", dir.file("absent.bin")}), 1, "cannot open");
    WriteFile(dir.file("rom.xyz"), GameImage(0x20000, Sonic2()));
    ExpectOneLineError(Zorptool(dir, {"identify", dir.file("rom.xyz")}), 1, "unknown file type");
    // An SMD file is identified from the plain image it holds.
    Bytes smd = MakeSmdHeader(0x20000);
    const Bytes body = InterleaveSMD(GameImage(0x20000, Sonic2()));
    smd.insert(smd.end(), body.begin(), body.end());
    WriteFile(dir.file("rom.smd"), smd);
    const CommandRun interleaved = Zorptool(dir, {"identify", dir.file("rom.smd")});
    EXPECT_EQ(interleaved.status, 0) << interleaved.err;
    EXPECT_EQ(interleaved.out, "S2\tSonic the Hedgehog 2\tREV01\n");
    WriteFile(dir.file("bad.s3s"), Bytes(10, 'x'));
    ExpectOneLineError(Zorptool(dir, {"identify", dir.file("bad.s3s")}), 1, "not a valid S3S file");
    WriteFile(dir.file("empty.bin"), {});
    ExpectOneLineError(Zorptool(dir, {"identify", dir.file("empty.bin")}), 1, "unrecognised ROM");
    EXPECT_EQ(Zorptool(dir, {"identify"}).status, 2);
    EXPECT_EQ(Zorptool(dir, {"identify", "a.bin", "b.bin"}).status, 2);
}

TEST(IdentifyCommandErrors, DefinitionsFileMissingOrBroken)
{
    // A copy of the program in a folder of its own has no ROM_DEF.RDEF beside it.
    ScratchDir dir;
    const std::string program = dir.file("zorptool");
    fs::copy_file(ZORPTOOL_PATH, program);
    WriteFile(dir.file("s2.bin"), GameImage(0x100000, Sonic2()));
    ExpectOneLineError(Zorptool(dir, {"identify", dir.file("s2.bin")}, program), 1,
                       "ROM Definitions File Not Found: Error: ROM Definitions file (ROM_DEF.RDEF) not found.");

    WriteText(dir.file("ROM_DEF.RDEF"), "ZORP-II ROM DEFINITIONS FILE|\r\nn|A|S2|t|s\r\nn|B|s2|t|s\r\n");
    ExpectOneLineError(Zorptool(dir, {"identify", dir.file("s2.bin")}, program), 1, "Line 3");
}

// --- checksum ----------------------------------------------------------------

TEST(ChecksumCommand, ReportsAndFixesInPlace)
{
    ScratchDir dir;
    Bytes image = GameImage(0x40000, Sonic2());
    image[0x18E] = 0x12;
    image[0x18F] = 0x34;
    WriteFile(dir.file("s2.bin"), image);
    const uint16_t actual = GenesisChecksum(image);
    char expected[64];
    std::snprintf(expected, sizeof expected, "Checksum: 0x1234, Actual Checksum: 0x%04X\n", actual);

    CommandRun report = Zorptool(dir, {"checksum", dir.file("s2.bin")});
    EXPECT_EQ(report.status, 0) << report.err;
    EXPECT_EQ(report.out, expected);
    EXPECT_TRUE(FileBytes(dir.file("s2.bin")) == image) << "no --fix, no change";

    CommandRun fix = Zorptool(dir, {"checksum", "--fix", dir.file("s2.bin")});
    EXPECT_EQ(fix.status, 0) << fix.err;
    Bytes fixed = FileBytes(dir.file("s2.bin"));
    ASSERT_EQ(fixed.size(), image.size());
    EXPECT_EQ(StoredChecksum(fixed), actual);
    fixed[0x18E] = 0x12;
    fixed[0x18F] = 0x34;
    EXPECT_TRUE(fixed == image) << "only the checksum bytes may change";

    CommandRun again = Zorptool(dir, {"checksum", dir.file("s2.bin"), "--fix"});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("already right"), std::string::npos) << again.out;
}

TEST(ChecksumCommand, ReadsButNeverFixesInterleavedAndRefusesShortAndMissingFiles)
{
    ScratchDir dir;
    const Bytes image = GameImage(0x20000, Sonic2());
    WriteFile(dir.file("s2.smd"), ConvertedRomBytes(image, RomOutputFormat::Smd, false));
    WriteFile(dir.file("s2.mgd"), ConvertedRomBytes(image, RomOutputFormat::Mgd, false));
    WriteFile(dir.file("s2.bin"), image);
    const std::string plainReport = Zorptool(dir, {"checksum", dir.file("s2.bin")}).out;
    for (const char* name : {"s2.smd", "s2.mgd"}) {
        // Read as the plain image they hold: the same report...
        const CommandRun report = Zorptool(dir, {"checksum", dir.file(name)});
        EXPECT_EQ(report.status, 0) << report.err;
        EXPECT_EQ(report.out, plainReport) << name;
        // ...but never written into.
        const Bytes before = FileBytes(dir.file(name));
        ExpectOneLineError(Zorptool(dir, {"checksum", "--fix", dir.file(name)}), 1, "interleaved");
        EXPECT_TRUE(FileBytes(dir.file(name)) == before) << name;
    }
    WriteFile(dir.file("short.bin"), Bytes(0x18F, 0));
    ExpectOneLineError(Zorptool(dir, {"checksum", dir.file("short.bin")}), 1, "too short");
    ExpectOneLineError(Zorptool(dir, {"checksum", dir.file("absent.bin")}), 1, "cannot open");
    EXPECT_EQ(Zorptool(dir, {"checksum"}).status, 2);
    EXPECT_EQ(Zorptool(dir, {"checksum", "a.bin", "--repair"}).status, 2);
}

TEST(ChecksumCommand, OtherKindsHaveNoGenesisChecksumAndAreNeverWritten)
{
    ScratchDir dir;
    // A 32 KiB Master System image: 0xC3, 1 and 2 are summed, the header's
    // own bytes are not; its stored checksum 0x00C6 matches.
    Bytes sms(0x8000, 0);
    sms[0x18E] = 0xC3; // game code where a Genesis header would keep its checksum
    sms[0x10] = 0x01;
    sms[0x7FEF] = 0x02;
    Put(sms, 0x7FF0, "TMR SEGA");
    sms[0x7FFA] = 0xC6;
    sms[0x7FFF] = 0x4C; // export region, 32 KiB
    Bytes gg = sms;
    gg[0x7FFA] = 0x07;
    Bytes bare = Bytes(0x8000, 0x5A); // no header: nothing to show
    Bytes gba(0x10000, 0x21);
    const struct {
        const char* name;
        const Bytes& image;
        const char* report;
    } cases[] = {
        {"s1.sms", sms, "is a Master System or Game Gear image.\n"
                        "Master System header checksum (0x7FFA, over 32 KiB): 0x00C6, Actual Checksum: 0x00C6\n"},
        {"s1.gg", gg, "Master System header checksum (0x7FFA, over 32 KiB): 0x0007, Actual Checksum: 0x00C6\n"},
        {"bare.sms", bare, "No Master System header checksum either"},
        {"sa.gba", gba, "is a Game Boy Advance image.\n"},
    };
    for (const auto& c : cases) {
        WriteFile(dir.file(c.name), c.image);
        const CommandRun report = Zorptool(dir, {"checksum", dir.file(c.name)});
        EXPECT_EQ(report.status, 0) << report.err;
        EXPECT_EQ(report.out.rfind("No Genesis header checksum: ", 0), 0u) << report.out;
        EXPECT_NE(report.out.find(c.report), std::string::npos) << report.out;
        EXPECT_EQ(report.out.find("Actual Checksum: 0x0000"), std::string::npos) << report.out;
        ExpectOneLineError(Zorptool(dir, {"checksum", "--fix", dir.file(c.name)}), 1, "nothing was written");
        EXPECT_TRUE(FileBytes(dir.file(c.name)) == c.image) << c.name;
    }
}

// --- convert -----------------------------------------------------------------

TEST(ConvertCommand, FourMegabytesToSmdAndBackIsIdenticalAndFast)
{
    ScratchDir dir;
    const Bytes image = GameImage(0x400000, SonicKnuckles());
    WriteFile(dir.file("sk.bin"), image);

    const auto start = std::chrono::steady_clock::now();
    CommandRun toSmd = Zorptool(dir, {"convert", dir.file("sk.bin"), dir.file("sk.smd"), "--to", "smd"});
    const auto middle = std::chrono::steady_clock::now();
    CommandRun toBin = Zorptool(dir, {"convert", dir.file("sk.smd"), dir.file("back.bin"), "--to=bin"});
    const auto end = std::chrono::steady_clock::now();
    ASSERT_EQ(toSmd.status, 0) << toSmd.err;
    ASSERT_EQ(toBin.status, 0) << toBin.err;

    const Bytes smd = FileBytes(dir.file("sk.smd"));
    ASSERT_EQ(smd.size(), 0x400000u + 512);
    EXPECT_EQ(smd[0], 0xFF);
    EXPECT_TRUE(FileBytes(dir.file("back.bin")) == image) << "round trip changed the image";
    EXPECT_NE(toBin.out.find("Format: Super Magic Drive Interleaved\n"), std::string::npos) << toBin.out;

    using std::chrono::milliseconds;
    const auto smdMs = std::chrono::duration_cast<milliseconds>(middle - start).count();
    const auto binMs = std::chrono::duration_cast<milliseconds>(end - middle).count();
    std::cout << "[ timing   ] 4 MiB bin->smd " << smdMs << " ms, smd->bin " << binMs << " ms\n";
    RecordProperty("bin_to_smd_ms", static_cast<int>(smdMs));
    RecordProperty("smd_to_bin_ms", static_cast<int>(binMs));
    // Generous bound: the machine is shared; the measured figure is reported.
    EXPECT_LT(smdMs + binMs, 4000);
}

TEST(ConvertCommand, PrintsTheReportAndPadsToWholeBlocks)
{
    ScratchDir dir;
    Bytes image = GameImage(0x180001, Sonic2());
    WriteFile(dir.file("odd.bin"), image);
    CommandRun run =
        Zorptool(dir, {"convert", dir.file("odd.bin"), dir.file("odd.mgd"), "--to", "MGD", "--fix-checksum"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Format: Plain Binary ROM Dump\nDomestic name: SONIC THE             HEDGEHOG 2\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Original size: 1572865, Padded size: 1589248\n"), std::string::npos) << run.out;

    RomFormatResult back = DetectRomFormat(dir.file("odd.mgd"));
    ASSERT_TRUE(back.recognised());
    EXPECT_EQ(back.layout, kLayoutMgd);
    ASSERT_EQ(back.image.size(), 1589248u);
    EXPECT_EQ(StoredChecksum(back.image), GenesisChecksum(back.image));
    EXPECT_TRUE(std::equal(image.begin() + 0x190, image.end(), back.image.begin() + 0x190));
}

TEST(ConvertCommand, ReplacesALongerOutputFile)
{
    ScratchDir dir;
    const Bytes image = GameImage(0x20000, Sonic3());
    WriteFile(dir.file("in.bin"), image);
    WriteFile(dir.file("out.bin"), Bytes(0x80000, 0xEE));
    ASSERT_EQ(Zorptool(dir, {"convert", dir.file("in.bin"), dir.file("out.bin"), "--to", "bin"}).status, 0);
    EXPECT_TRUE(FileBytes(dir.file("out.bin")) == image);
}

TEST(ConvertCommand, JoinsAnSmdSeriesAndReportsAMissingPart)
{
    ScratchDir dir;
    const Bytes image = GameImage(3 * kSmdBlockSize, Sonic2());
    const Bytes body = InterleaveSMD(image);
    for (int k = 0; k < 3; ++k) {
        Bytes part = MakeSmdHeader(kSmdBlockSize, k < 2);
        part.insert(part.end(), body.begin() + k * 16384, body.begin() + (k + 1) * 16384);
        WriteFile(dir.file("GAME." + std::to_string(k + 1)), part);
    }
    CommandRun run = Zorptool(dir, {"convert", dir.file("GAME.2"), dir.file("game.bin"), "--to", "bin"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Format: Super Magic Drive Interleaved (Multi-Load)\n"), std::string::npos) << run.out;
    EXPECT_TRUE(FileBytes(dir.file("game.bin")) == image);

    fs::remove(dir.file("GAME.3"));
    ExpectOneLineError(Zorptool(dir, {"convert", dir.file("GAME.1"), dir.file("x.bin"), "--to", "bin"}), 1,
                       "Error loading ROM series: Error loading part 3 of ROM series.");
}

TEST(ConvertCommand, ErrorsAndUsage)
{
    ScratchDir dir;
    WriteFile(dir.file("junk.bin"), NoiseBytes(0x1000, 3));
    ExpectOneLineError(Zorptool(dir, {"convert", dir.file("junk.bin"), dir.file("o.bin"), "--to", "bin"}), 1,
                       "Unknown (please check that this is a ROM file)");
    EXPECT_FALSE(fs::exists(dir.file("o.bin")));
    ExpectOneLineError(Zorptool(dir, {"convert", dir.file("absent.bin"), dir.file("o.bin"), "--to", "bin"}), 1,
                       "could not be opened");
    WriteFile(dir.file("s2.bin"), GameImage(0x8000, Sonic2()));
    ExpectOneLineError(Zorptool(dir, {"convert", dir.file("s2.bin"), dir.file("no/such/dir/o.bin"), "--to", "bin"}),
                       1, "o.bin");

    ExpectOneLineError(Zorptool(dir, {"convert", "a", "b"}), 2, "--to");
    ExpectOneLineError(Zorptool(dir, {"convert", "a", "b", "--to", "zip"}), 2, "zip");
    ExpectOneLineError(Zorptool(dir, {"convert", "a", "--to", "bin"}), 2, "one input and one output");
    ExpectOneLineError(Zorptool(dir, {"convert", "a", "b", "--to"}), 2, "--to");
    ExpectOneLineError(Zorptool(dir, {"convert", "a", "b", "--to", "bin", "--fast"}), 2, "--fast");
}
