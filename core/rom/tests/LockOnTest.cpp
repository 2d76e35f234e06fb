// The lock-on combination: the S&K part, the notes, the combined bytes and
// the loading of the three input files.
#include <gtest/gtest.h>

#include "rom/LockOn.h"
#include "rom/PubFunctions.h"
#include "RomTestFiles.h"

using namespace zorp;
using namespace romtest;

namespace {

GameHeader Sonic2v154() { return {"SEGA GENESIS    ", Half("SONIC THE", 13, "HEDGEHOG 2 V1.54"), "GM 00004049-01"}; }

std::string Record(const std::string& name, const std::string& id, const GameHeader& h)
{
    return "n|" + name + "|" + id + "|" + h.half + h.half + "|" + h.serial.substr(0, 11) + "\r\n";
}

RomDefinitions Table()
{
    RomDefinitionsLoad load = ParseRomDefinitions(
        "ZORP-II ROM DEFINITIONS FILE|\r\n" + Record("Sonic the Hedgehog", "S1", Sonic1Rev00()) +
        Record("Sonic the Hedgehog (REV01)", "S1_J", Sonic1Rev01()) +
        Record("Sonic 2 v1.54", "S2v1.54", Sonic2v154()) + Record("Sonic the Hedgehog 2", "S2", Sonic2()) +
        Record("Sonic the Hedgehog 3", "S3", Sonic3()) + Record("Sonic & Knuckles", "S&K", SonicKnuckles()));
    EXPECT_TRUE(load.ok());
    return load.table;
}

Bytes Slice(const Bytes& b, size_t from, size_t count)
{
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from),
                 b.begin() + static_cast<std::ptrdiff_t>(from + count));
}

const std::string kNoteS2Start = "Sonic 2 requires an extra 256K ROM image";
const std::string kNoteS2WarningStart = "WARNING: The selected Sonic 2 ROM is larger than 1MB.";
const std::string kNoteBigStart = "The lock-on ROM is larger than 2MB.";
const std::string kNoteS1Start = "Sonic 1 is not compatible";
const std::string kNoteS2v154Start = "Sonic 2 v1.54 is not compatible";
const std::string kNoteS3Start = "Sonic & Knuckles utilizes Sonic 3's SRAM chip";
const std::string kNoteOtherStart = "Sonic & Knuckles is not compatible with this ROM.";

} // namespace

TEST(MakeSKImageTest, CutsOrZeroFillsToTwoMiBAndPatches)
{
    const Bytes big = NoiseBytes(0x280000, 7);
    const Bytes fromBig = MakeSKImage(big);
    ASSERT_EQ(fromBig.size(), kSKImageSize);
    EXPECT_EQ(fromBig[0x3B5], 0x02);
    EXPECT_EQ(fromBig[0x433], 0x2C);
    Bytes expected(big.begin(), big.begin() + kSKImageSize);
    expected[0x3B5] = 0x02;
    expected[0x433] = 0x2C;
    EXPECT_EQ(fromBig, expected);

    const Bytes small = NoiseBytes(0x1000, 8);
    const Bytes fromSmall = MakeSKImage(small);
    ASSERT_EQ(fromSmall.size(), kSKImageSize);
    EXPECT_EQ(Slice(fromSmall, 0x434, 0x1000 - 0x434), Slice(small, 0x434, 0x1000 - 0x434));
    EXPECT_TRUE(std::all_of(fromSmall.begin() + 0x1000, fromSmall.end(), [](uint8_t b) { return b == 0; }));

    // Even an empty input yields the patched bytes.
    const Bytes fromNothing = MakeSKImage({});
    EXPECT_EQ(fromNothing[0x3B5], 0x02);
    EXPECT_EQ(fromNothing[0x433], 0x2C);
}

struct NotesCase {
    const char* name;
    std::string id;
    uint64_t size;
    std::vector<std::string> starts; // the notes in order, by their first words
};

class LockOnNotesTest : public testing::TestWithParam<NotesCase> {};

TEST_P(LockOnNotesTest, NotesInOrder)
{
    const NotesCase& c = GetParam();
    const auto notes = LockOnNotes(c.id, c.size);
    ASSERT_EQ(notes.size(), c.starts.size());
    for (size_t i = 0; i < notes.size(); ++i)
        EXPECT_EQ(notes[i].rfind(c.starts[i], 0), 0u) << notes[i];
}

INSTANTIATE_TEST_SUITE_P(
    Games, LockOnNotesTest,
    testing::Values(NotesCase{"S2_1MiB", "S2", 0x100000, {kNoteS2Start}},
                    NotesCase{"S2_1MiBPlus1", "S2", 0x100001, {kNoteS2Start, kNoteS2WarningStart}},
                    NotesCase{"S2_2_5MiB", "S2", 0x280000, {kNoteBigStart, kNoteS2Start, kNoteS2WarningStart}},
                    NotesCase{"S1", "S1", 0x80000, {kNoteS1Start}},
                    NotesCase{"S1_J", "S1_J", 0x80000, {kNoteS1Start}},
                    NotesCase{"S2v154", "S2v1.54", 0x100000, {kNoteS2v154Start}},
                    NotesCase{"S3_2MiB", "S3", 0x200000, {kNoteS3Start}},
                    NotesCase{"S3_2MiBPlus1", "S3", 0x200001, {kNoteBigStart, kNoteS3Start}},
                    NotesCase{"Unknown", "U", 0x80000, {kNoteOtherStart}},
                    NotesCase{"LowerCaseIdIsOther", "s2", 0x80000, {kNoteOtherStart}},
                    NotesCase{"SK", "S&K", 0x200000, {kNoteOtherStart}},
                    NotesCase{"Big_Unknown", "U", 0x280000, {kNoteBigStart, kNoteOtherStart}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(LockOnNotesTextTest, ExactWordingAndParagraphBreaks)
{
    const std::string expected =
        "The lock-on ROM is larger than 2MB. Adding this ROM to Sonic & Knuckles will produce a ROM larger "
        "than 4MB. The actual Mega Drive hardware can only support 4MB - if you lock on a cartridge larger "
        "than 2MB to the physical S&K cartridge, you will get strange results. Most emulators do not properly "
        "implement this \"feature\", so you will get different results on emulation than on the real "
        "console.\r\n\r\n"
        "Sonic 2 requires an extra 256K ROM image placed at the end of the combined S&K and S2 ROM image in "
        "order to play as Knuckles in Sonic 2. ZORP-II will automatically add this extra ROM image to the end "
        "of the ROM.\r\n\r\n"
        "WARNING: The selected Sonic 2 ROM is larger than 1MB. When ZORP-II adds the extra 256K ROM image, it "
        "will overwrite the portion of the Sonic 2 ROM that is over 1MB.\r\n\r\n";
    EXPECT_EQ(LockOnNotesText("S2", 0x200001), expected);

    EXPECT_EQ(LockOnNotesText("S3", 0x200000),
              "Sonic & Knuckles utilizes Sonic 3's SRAM chip for saving games. Since S&K doesn't have the SRAM "
              "information in its header, most emulators will not detect the SRAM. ZORP-II will add SRAM "
              "information to the header, so most emulators will be able to use the built-in save game "
              "function.\r\n\r\n");
    EXPECT_EQ(LockOnNotesText("S1", 1),
              "Sonic 1 is not compatible with Sonic & Knuckles. It simply shows a screen that says \"NO WAY!\". "
              "Press A+B+C on that screen, and you can play over 16 million different special stages.\r\n\r\n");
    EXPECT_EQ(LockOnNotesText("S2v1.54", 1),
              "Sonic 2 v1.54 is not compatible with Sonic & Knuckles. Since it has the same serial number as "
              "Sonic 1 (J), it will show a screen that says \"NO WAY!\". Press A+B+C on that screen, and you can "
              "play over 16 million different special stages.\r\n\r\n");
    EXPECT_EQ(LockOnNotesText("U", 1),
              "Sonic & Knuckles is not compatible with this ROM. It will show a screen that says \"NO WAY!\". "
              "Press A+B+C on that screen, and you can play a special stage based on that ROM's header.\r\n\r\n");
}

TEST(CombineROMsTest, ShortSonic2LeavesZeroGapAndLongOneKeepsItsTail)
{
    const Bytes sk = MakeSKImage({});
    const Bytes extra = NoiseBytes(kS2ExtraSize, 3);
    const auto shortOut = CombineROMs(sk, NoiseBytes(0x80000, 4), "S2", extra);
    ASSERT_TRUE(shortOut);
    ASSERT_EQ(shortOut->size(), 0x340000u);
    EXPECT_TRUE(std::all_of(shortOut->begin() + 0x280000, shortOut->begin() + 0x300000,
                            [](uint8_t b) { return b == 0; }));

    const Bytes longS2 = NoiseBytes(0x380000, 5); // past the extra image's end
    const auto longOut = CombineROMs(sk, longS2, "S2", extra);
    ASSERT_TRUE(longOut);
    ASSERT_EQ(longOut->size(), 0x200000u + longS2.size());
    EXPECT_EQ(Slice(*longOut, 0x300000, kS2ExtraSize), extra);
    EXPECT_EQ(Slice(*longOut, 0x340000, 0x40000), Slice(longS2, 0x140000, 0x40000));
}

TEST(CombineROMsTest, Sonic2WithoutRightExtraIsRefused)
{
    const Bytes sk = MakeSKImage({});
    EXPECT_FALSE(CombineROMs(sk, NoiseBytes(0x100000, 1), "S2", {}));
    EXPECT_FALSE(CombineROMs(sk, NoiseBytes(0x100000, 1), "S2", Bytes(kS2ExtraSize - 1)));
    EXPECT_FALSE(CombineROMs(sk, NoiseBytes(0x100000, 1), "S2", Bytes(kS2ExtraSize + 1)));
    // The extra image matters to Sonic 2 only.
    EXPECT_TRUE(CombineROMs(sk, NoiseBytes(0x100000, 1), "S2v1.54", {}));
}

TEST(CombineROMsTest, SKImageOfOtherSizeIsCutOrFilled)
{
    const auto out = CombineROMs(NoiseBytes(0x100, 1), NoiseBytes(0x10, 2), "U", {});
    ASSERT_TRUE(out);
    ASSERT_EQ(out->size(), 0x200010u);
    EXPECT_TRUE(std::all_of(out->begin() + 0x100, out->begin() + 0x200000, [](uint8_t b) { return b == 0; }));
    const auto cut = CombineROMs(NoiseBytes(0x300000, 1), NoiseBytes(0x10, 2), "U", {});
    ASSERT_TRUE(cut);
    EXPECT_EQ(Slice(*cut, 0x200000, 0x10), NoiseBytes(0x10, 2));
}

TEST(LoadSKImageTest, FirstTwoMiBOfSKOnly)
{
    ScratchDir dir;
    Bytes file = GameImage(0x300000, SonicKnuckles(), 11);
    PutHeader(file, 0x200000, Sonic2()); // an image already locked on
    WriteFile(dir.file("sk2.bin"), file);
    WriteFile(dir.file("tiny.bin"), Bytes(0x100, 0x41)); // too short for a header
    const RomDefinitions table = Table();

    const SKImageLoad load = LoadSKImage(table, dir.file("sk2.bin"));
    ASSERT_TRUE(load.ok());
    EXPECT_EQ(load.image, MakeSKImage(file));

    const SKImageLoad tiny = LoadSKImage(table, dir.file("tiny.bin"));
    ASSERT_FALSE(tiny.ok());
    EXPECT_EQ(tiny.error->title, "Not S&K ROM");
    EXPECT_TRUE(tiny.image.empty());
}

TEST(LoadLockOnImageTest, ReadsWholeFileAndIdentifiesAtOffsetZero)
{
    ScratchDir dir;
    const RomDefinitions table = Table();
    const struct {
        GameHeader header;
        size_t size;
        const char* id;
    } cases[] = {{Sonic2(), 0x140000, "S2"},     {Sonic3(), 0x200000, "S3"},    {Sonic1Rev00(), 0x80000, "S1"},
                 {Sonic1Rev01(), 0x80000, "S1_J"}, {Sonic2v154(), 0x100000, "S2v1.54"},
                 {OtherGame(), 0x280000, "U"},     {SonicKnuckles(), 0x200000, "S&K"}};
    for (const auto& c : cases) {
        const Bytes file = GameImage(c.size, c.header, 21);
        WriteFile(dir.file("rom.bin"), file);
        const LockOnImageLoad load = LoadLockOnImage(table, dir.file("rom.bin"));
        ASSERT_TRUE(load.ok()) << c.id;
        EXPECT_EQ(load.gameId, c.id);
        EXPECT_EQ(load.image, file) << c.id;
    }
    // Too short to carry a header: unknown, but still a lock-on image.
    WriteFile(dir.file("short.bin"), Bytes(100, 1));
    const LockOnImageLoad shortLoad = LoadLockOnImage(table, dir.file("short.bin"));
    ASSERT_TRUE(shortLoad.ok());
    EXPECT_EQ(shortLoad.gameId, "U");
    EXPECT_EQ(shortLoad.image.size(), 100u);
}

TEST(LoadLockOnImageTest, EmptyMissingAndHugeFilesAreRefused)
{
    ScratchDir dir;
    WriteFile(dir.file("empty.bin"), {});
    {
        // A sparse file past the limit: refused by its size, never read.
        std::ofstream out(dir.file("huge.bin"), std::ios::binary);
        out.seekp(static_cast<std::streamoff>(kMaxLockOnFileSize));
        out.put('\0');
    }
    const RomDefinitions table = Table();
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {{"empty.bin", "It is empty."},
                 {"missing.bin", "It does not exist or cannot be opened."},
                 {"huge.bin", "It is larger than 64 MB, too large for a cartridge image."}};
    for (const auto& c : cases) {
        const LockOnImageLoad load = LoadLockOnImage(table, dir.file(c.name));
        ASSERT_FALSE(load.ok()) << c.name;
        EXPECT_EQ(load.error->title, "Error Reading ROM");
        EXPECT_EQ(load.error->lines.at(0), "Error: The file \"" + dir.file(c.name) + "\" could not be read.");
        EXPECT_EQ(load.error->lines.at(1), c.reason);
        EXPECT_TRUE(load.image.empty());
    }
}

TEST(LoadS2ExtraImageTest, ComesFromTheProgramDirectoryAndMustBe256KiB)
{
    ScratchDir dir;
    const Locations saved = CurrentLocations();
    SetLocations({dir.str(), dir.str(), "", false});
    const std::string path = dir.file(kS2ExtraFileName);

    S2ExtraLoad missing = LoadS2ExtraImage();
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error->title, "Sonic 2 Extra ROM Missing");
    EXPECT_NE(missing.error->text().find(path), std::string::npos);
    EXPECT_NE(missing.error->text().find("(exactly 262,144 bytes) as this file:\n" + path + "\n"),
              std::string::npos);
    EXPECT_EQ(FileNameOfPath(path), "S2K_EXTRA.BIN");
    EXPECT_NE(missing.error->text().find("There is no such file."), std::string::npos);

    WriteFile(path, NoiseBytes(kS2ExtraSize - 2, 1));
    S2ExtraLoad wrong = LoadS2ExtraImage();
    ASSERT_FALSE(wrong.ok());
    EXPECT_NE(wrong.error->text().find("That file is 262,142 bytes long."), std::string::npos);

    const Bytes extra = NoiseBytes(kS2ExtraSize, 2);
    WriteFile(path, extra);
    S2ExtraLoad good = LoadS2ExtraImage();
    ASSERT_TRUE(good.ok());
    EXPECT_EQ(good.image, extra);
    SetLocations(saved);
}

