// zorptool show, run as the built program on synthetic images that carry the
// real games' headers and, at the real offsets, the real level select text and
// music tables (game facts, sections 3 and 5). The shipped templates from the
// program directory must read them back.
#include <gtest/gtest.h>

#include "ZorptoolRun.h"

#include <cstdio>
#include <fstream>
#include <optional>

#include "rom/tests/RomTestFiles.h"
#include "stage/S3SFile.h"

using namespace zorp;
using namespace romtest;

namespace {

using ShowRun = zorptest::ToolRun;

ShowRun Show(const ScratchDir& dir, const std::vector<std::string>& args)
{
    std::vector<std::string> words{"show"};
    words.insert(words.end(), args.begin(), args.end());
    return zorptest::RunZorptool(dir.str(), words);
}

// The games' own character codes, written out from the facts rather than
// taken from the program's tables.
uint8_t Sonic1Code(char c)
{
    if (c == ' ')
        return 0xFF;
    if (c >= '0' && c <= '9')
        return static_cast<uint8_t>(c - '0');
    if (c == 'Y')
        return 0x0F;
    if (c == 'Z')
        return 0x10;
    return static_cast<uint8_t>(0x11 + (c - 'A')); // A-X
}

uint8_t Sonic3Code(char c)
{
    if (c == ' ')
        return 0x00;
    if (c >= '0' && c <= '9')
        return static_cast<uint8_t>(0x10 + (c - '0'));
    if (c == '*')
        return 0x1A;
    return static_cast<uint8_t>(0x1E + (c - 'A'));
}

void PutBytes(Bytes& image, size_t offset, const Bytes& bytes)
{
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Sonic 1 text: fixed 24-character lines back to back.
void PutSonic1Text(Bytes& image, size_t offset, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        for (char c : line)
            image[offset++] = Sonic1Code(c);
    }
}

// Sonic 3 / S&K text: each name preceded by a byte holding its length - 1.
void PutSonic3Text(Bytes& image, size_t lengthByteOffset, const std::vector<std::string>& names)
{
    size_t at = lengthByteOffset;
    for (const std::string& name : names) {
        image[at++] = static_cast<uint8_t>(name.size() - 1);
        for (char c : name)
            image[at++] = Sonic3Code(c);
    }
}

// The listing lines the output must hold, in this order.
void ExpectLinesInOrder(const std::string& out, const std::vector<std::string>& lines)
{
    size_t at = 0;
    for (const std::string& line : lines) {
        size_t found = out.find("\n" + line + "\n", at == 0 ? 0 : at - 1);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: [" << line << "]\n" << out;
        at = found + line.size() + 1;
    }
}

std::vector<std::string> Indented(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const std::string& line : lines)
        out.push_back("  " + line);
    return out;
}

const std::vector<std::string> kSonic1Rev00Text = {
    "GREEN HILL ZONE  STAGE 1", "                 STAGE 2", "                 STAGE 3", "LABYRINTH ZONE   STAGE 1",
    "                 STAGE 2", "                 STAGE 3", "MARBLE ZONE      STAGE 1", "                 STAGE 2",
    "                 STAGE 3", "STAR LIGHT ZONE  STAGE 1", "                 STAGE 2", "                 STAGE 3",
    "SPRING YARD ZONE STAGE 1", "                 STAGE 2", "                 STAGE 3", "SCRAP BRAIN ZONE STAGE 1",
    "                 STAGE 2", "                 STAGE 3", "FINAL ZONE              ", "SPECIAL STAGE           ",
    "SOUND SELECT            ",
};

TEST(ShowCommand, SonicOneLevelSelectAndMusic)
{
    ScratchDir dir;
    Bytes image = GameImage(0x80000, Sonic1Rev00());
    PutSonic1Text(image, 0x35A2, kSonic1Rev00Text);
    PutBytes(image, 0x379A, {0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x8D, 0x00});
    WriteFile(dir.file("s1.bin"), image);

    ShowRun run = Show(dir, {dir.file("s1.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.rfind("game: S1 (Sonic the Hedgehog REV00)\ntemplate: ", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\nfits: yes\n"), std::string::npos) << run.out;
    std::vector<std::string> expected = {"level select: start 0x35A2, 21 names, decode table S1"};
    for (const std::string& line : Indented(kSonic1Rev00Text))
        expected.push_back(line);
    ExpectLinesInOrder(run.out, expected);
    ExpectLinesInOrder(run.out, {"playlist: start 0x379A, 7 bytes, songs 01 to 13, stored plus 0x80",
                                 "  Green Hill Zone: 01", "  Labyrinth Zone: 02", "  Marble Zone: 03",
                                 "  Star Light Zone: 04", "  Spring Yard Zone: 05", "  Scrap Brain Zone: 06",
                                 "  Final Zone: 0D", "wav sample: start 0x79688, 27000 bytes, 16000 Hz"});
    // Palette words are the image's bytes at the palette's offset.
    char sonicPalette[64];
    std::snprintf(sonicPalette, sizeof sonicPalette, "  %02X%02X %02X%02X", image[0x2388], image[0x2389],
                  image[0x238A], image[0x238B]);
    ExpectLinesInOrder(run.out, {"palette: Sonic at 0x2388, 16 colours (Genesis)"});
    EXPECT_NE(run.out.find(std::string("(Genesis)\n") + sonicPalette), std::string::npos) << run.out;
}

TEST(ShowCommand, SonicTwoMusicList)
{
    ScratchDir dir;
    Bytes image = GameImage(0x100000, Sonic2());
    PutBytes(image, 0x3EA0,
             {0x82, 0x82, 0x85, 0x84, 0x85, 0x85, 0x8F, 0x86, 0x90, 0x8D, 0x84, 0x8B, 0x89, 0x8E, 0x8A, 0x87, 0x8D, 0x00});
    WriteFile(dir.file("s2.bin"), image);

    ShowRun run = Show(dir, {dir.file("s2.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    // The image holds no level select map where the template says.
    EXPECT_NE(run.out.find("level select: Level Select Not Loaded"), std::string::npos) << run.out;
    ExpectLinesInOrder(run.out, {"playlist: start 0x3EA0, 17 bytes, songs 01 to 1F, stored plus 0x80",
                                 "  Emerald Hill Zone: 02", "  Zone 1 (unused): 02", "  Wood Zone (unused): 05",
                                 "  Zone 3 (unused): 04", "  Metropolis Zone Acts 1-2: 05",
                                 "  Metropolis Zone Act 3: 05", "  Wing Fortress Zone: 0F", "  Hill Top Zone: 06",
                                 "  Hidden Palace Zone (unused): 10", "  Zone 9 (unused): 0D", "  Oil Ocean Zone: 04",
                                 "  Mystic Cave Zone: 0B", "  Casino Night Zone: 09", "  Chemical Plant Zone: 0E",
                                 "  Death Egg Zone: 0A", "  Aquatic Ruin Zone: 07", "  Sky Chase Zone: 0D",
                                 "wav sample: start 0xF1E8C, 24948 bytes, 16500 Hz"});
}

TEST(ShowCommand, SonicThreeNamesMusicAndStages)
{
    ScratchDir dir;
    Bytes image = GameImage(0x200000, Sonic3());
    const std::vector<std::string> names = {"ANGEL ISLAND", "HYDROCITY",  "MARBLE GARDEN", "CARNIVAL NIGHT",
                                            "FLYING BATTERY", "ICECAP",    "LAUNCH BASE",   "MUSHROOM VALLEY",
                                            "SANDOPOLIS",   "2P VS",       "2P VS",         "2P VS",
                                            "BONUS",        "SPECIAL STAGE", "SOUND TEST  *"};
    PutSonic3Text(image, 0x7016, names);
    const Bytes music = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C,
                         0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x17,
                         0x1A, 0x1A, 0x1C, 0x1C, 0x20, 0x20, 0x21, 0x21, 0x22, 0x22, 0x23, 0x23,
                         0x24, 0x24, 0x1E, 0x1E, 0x1D, 0x1D, 0x1E, 0x1E, 0x1C, 0x1C, 0x1C, 0x1C};
    PutBytes(image, 0x4680, music);
    WriteFile(dir.file("s3.bin"), image);

    ShowRun run = Show(dir, {dir.file("s3.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> expected = {"level select: start 0x7017, 15 names, decode table S3"};
    for (const std::string& line : Indented(names))
        expected.push_back(line);
    ExpectLinesInOrder(run.out, expected);
    ExpectLinesInOrder(run.out, {"playlist: start 0x4680, 48 bytes, songs 01 to 32, stored plus 0x00",
                                 "  Angel Island 1: 01", "  Angel Island 2: 02", "  Hydrocity 1: 03",
                                 "  Final Boss/Special Stage Hub 2: 1C",
                                 "special stages: start 0x6A0E0, 8 stages, not compressed, 8256 bytes",
                                 "wav sample: start 0xF8000, 24111 bytes, 14434 Hz"});
}

TEST(ShowCommand, SonicAndKnucklesNamesAndCompressedStages)
{
    ScratchDir dir;
    Bytes image = GameImage(0x200000, SonicKnuckles());
    const std::vector<std::string> names = {"ANGEL ISLAND",  "HYDROCITY",   "MARBLE GARDEN", "CARNIVAL NIGHT",
                                            "ICECAP",        "LAUNCH BASE", "MUSHROOM HILL", "FLYING BATTERY",
                                            "SANDOPOLIS",    "LAVA REEF",   "LAVA REEF",     "SKY SANCTUARY",
                                            "DEATHEGG",      "THE DOOMSDAY", "BONUS",        "SPECIAL STAGE",
                                            "SOUND TEST  *"};
    PutSonic3Text(image, 0x80E6, names);
    WriteFile(dir.file("sk.bin"), image);

    ShowRun run = Show(dir, {dir.file("sk.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> expected = {"level select: start 0x80E7, 17 names, decode table S3"};
    for (const std::string& line : Indented(names))
        expected.push_back(line);
    ExpectLinesInOrder(run.out, expected);
    ExpectLinesInOrder(run.out, {"special stages: start 0x1FCF2A, 8 stages, compressed, 1696 bytes allotted"});
}

TEST(ShowCommand, SpecialStageFile)
{
    ScratchDir dir;
    StageGrid cells{};
    WriteFile(dir.file("stage.s3s"), SaveV1SS(cells, S3STrailer{}));
    ShowRun run = Show(dir, {dir.file("stage.s3s")});
    ASSERT_EQ(run.status, 0) << run.err;
    ExpectLinesInOrder(run.out, {"special stage file: version 1.00"});
}

TEST(ShowCommand, TemplateMessagesArePrintedInTheirPlace)
{
    ScratchDir dir;
    WriteFile(dir.file("s2.bin"), GameImage(0x100000, Sonic2()));
    WriteText(dir.file("mine.ZORP"), "MSGBOX\r\nTITLE: Hello\r\nMSGLINE: first\r\nMSGLINE: second\r\nENDFRAME\r\n"
                                     "WAVIMPORTER\r\nSTARTADDR: 0x10\r\nWAVLENGTH: 4\r\nENDFRAME\r\nBOGUS\r\n");
    ShowRun run = Show(dir, {"--template", dir.file("mine.ZORP"), dir.file("s2.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    ExpectLinesInOrder(run.out, {"template: " + dir.file("mine.ZORP"), "message: Hello: first second",
                                 "wav sample: start 0x10, 4 bytes, 16000 Hz",
                                 "message: Invalid Command: Invalid command in template file: BOGUS Please download "
                                 "the latest version of ZORP-II at the official website: https://zorp2.example.org/"});
}

TEST(ShowCommand, FailuresAreOneLineWithStatus)
{
    ScratchDir dir;
    WriteFile(dir.file("s2.bin"), GameImage(0x100000, Sonic2()));
    WriteText(dir.file("new.ZORP"), "ZORP-II FLEXIBLE PROGRAMMING FILE\r\nGAME: S2\r\nZORP-II VERSION: 0.0.99\r\n");
    WriteFile(dir.file("other.bin"), GameImage(0x20000, OtherGame()));

    struct Case {
        std::vector<std::string> args;
        int status;
        const char* mention;
    };
    const Case cases[] = {
        {{"--template", dir.file("new.ZORP"), dir.file("s2.bin")}, 1, "template refused (OUTDATED)"},
        {{"--template", dir.file("absent.ZORP"), dir.file("s2.bin")}, 1, "template not found"},
        {{dir.file("other.bin")}, 1, "unrecognised ROM"},
        {{dir.file("absent.bin")}, 1, "cannot open"},
        {{}, 2, "usage: zorptool show"},
        {{dir.file("s2.bin"), dir.file("s2.bin")}, 2, "usage: zorptool show"},
        {{"--template"}, 2, "usage: zorptool show"},
        {{"--verbose", dir.file("s2.bin")}, 2, "usage: zorptool show"},
    };
    for (const Case& c : cases) {
        ShowRun run = Show(dir, c.args);
        EXPECT_EQ(run.status, c.status) << c.mention;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find(c.mention), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "") << c.mention;
    }
}

} // namespace

std::string HexText(size_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%zX", value);
    return text;
}

// Each of the six revisions, as a synthetic image with its real header
// (REVXB told by its original checksum) and its real music table at its own
// offset: the revision's default template is chosen, fits, and reads the
// game's values; the palette is read at the revision's offset.
TEST(ShowCommand, EveryRevisionOpensWithItsOwnOffsets)
{
    struct Case {
        std::string name;
        GameHeader header;
        std::optional<uint16_t> checksum;
        std::string revisionLine;
        std::string templateName;
        size_t musicList;
        size_t zonePalette; // Green Hill / Emerald Hill
        std::string firstSlot;
    };
    const Bytes s1Music = {0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x8D, 0x00};
    const Bytes s2Music = {0x82, 0x82, 0x85, 0x84, 0x85, 0x85, 0x8F, 0x86, 0x90,
                           0x8D, 0x84, 0x8B, 0x89, 0x8E, 0x8A, 0x87, 0x8D, 0x00};
    const std::vector<Case> cases = {
        {"S1 REV00", Sonic1Rev00(), std::nullopt, "S1 (Sonic the Hedgehog REV00)", "S1.ZORP", 0x379A, 0x23A8,
         "  Green Hill Zone: 01"},
        {"S1 REV01", Sonic1Rev01(), 0xAFC7, "S1_J (Sonic the Hedgehog (later release) REV01)", "S1_J.ZORP", 0x3796,
         0x23A0, "  Green Hill Zone: 01"},
        {"S1 REVXB", Sonic1Rev01(), 0x2F9C, "S1_J (Sonic the Hedgehog (later release) REVXB)", "S1_J.ZORP", 0x3796,
         0x23A0, "  Green Hill Zone: 01"},
        {"S2 REV00", Sonic2Rev00(), std::nullopt, "S2 (Sonic the Hedgehog 2 REV00)", "S2_REV00.ZORP", 0x3E94, 0x2A16,
         "  Emerald Hill Zone: 02"},
        {"S2 REV01", Sonic2(), std::nullopt, "S2 (Sonic the Hedgehog 2 REV01)", "S2.ZORP", 0x3EA0, 0x2A22,
         "  Emerald Hill Zone: 02"},
        {"S2 REV02", GameHeader{"SEGA GENESIS    ", Half("SONIC THE", 13, "HEDGEHOG 2"), "GM 00001051-02"},
         std::nullopt, "S2 (Sonic the Hedgehog 2 REV02)", "S2_REV02.ZORP", 0x3E8A, 0x2A18, "  Emerald Hill Zone: 02"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        Bytes image = GameImage(c.name[1] == '1' ? 0x80000 : 0x100000, c.header);
        if (c.checksum) {
            image[0x18E] = static_cast<uint8_t>(*c.checksum >> 8);
            image[0x18F] = static_cast<uint8_t>(*c.checksum);
        }
        PutBytes(image, c.musicList, c.name[1] == '1' ? s1Music : s2Music);
        PutBytes(image, c.zonePalette, {0x0E, 0xEE, 0x00, 0x02});
        WriteFile(dir.file("rom.bin"), image);

        ShowRun run = Show(dir, {dir.file("rom.bin")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.rfind("game: " + c.revisionLine + "\n", 0), 0u) << run.out;
        EXPECT_NE(run.out.find("/" + c.templateName + "\nfits: yes\n"), std::string::npos) << run.out;
        const size_t playlist = run.out.find("\nplaylist: start 0x" + HexText(c.musicList) + ", ");
        ASSERT_NE(playlist, std::string::npos) << run.out;
        EXPECT_NE(run.out.find("\n" + c.firstSlot + "\n", playlist), std::string::npos) << run.out;
        EXPECT_NE(run.out.find(" at 0x" + HexText(c.zonePalette) + ", 48 colours (Genesis)\n  0EEE 0002"),
                  std::string::npos)
            << run.out;
    }
}
