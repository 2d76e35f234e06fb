// IdentifyRom on synthetic files of every kind, with the shipped definitions.
#include <gtest/gtest.h>

#include <functional>

#include "RomTestFiles.h"
#include "rom/RomDefinitions.h"
#include "stage/S3SFile.h"

using namespace zorp;
using namespace romtest;

namespace {

RomDefinitions Shipped()
{
    RomDefinitionsLoad load = LoadRomDefinitionsFile(std::string(ZORP_SOURCE_DIR) + "/data/ROM_DEF.RDEF");
    EXPECT_TRUE(load.ok());
    return load.table;
}

// An 8-bit image with the given bytes at 0x7FFC / 0x7FFD (product code).
Bytes EightBitImage(uint8_t low, uint8_t high)
{
    Bytes image = NoiseBytes(0x8000, 7);
    Put(image, 0x7FF0, "TMR SEGA");
    image[0x7FFC] = low;
    image[0x7FFD] = high;
    return image;
}

Bytes GbaImage(const std::string& sixteen)
{
    Bytes image = NoiseBytes(0x200, 9);
    Put(image, 0xA0, sixteen);
    return image;
}

Bytes LockOnImage(const GameHeader& second)
{
    Bytes image = GameImage(0x300000, SonicKnuckles());
    PutHeader(image, 0x200000, second);
    return image;
}

Bytes Signed(const char* signature, size_t size)
{
    Bytes file = NoiseBytes(size, 3);
    Put(file, 0, signature);
    return file;
}

} // namespace

struct IdentifyCase {
    const char* name;
    std::string fileName;
    std::function<Bytes()> contents; // nullptr: no file at all
    RomKind kind;
    std::string gameId;
    int32_t s3sKind = 0;
};

class Identify : public ::testing::TestWithParam<IdentifyCase> {};

TEST_P(Identify, GivesKindAndIdentifier)
{
    ScratchDir dir;
    const IdentifyCase& c = GetParam();
    const std::string path = dir.file(c.fileName);
    if (c.contents)
        WriteFile(path, c.contents());
    RomIdentification id = IdentifyRom(Shipped(), path);
    EXPECT_EQ(id.kind, c.kind);
    EXPECT_EQ(id.gameId, c.gameId);
    EXPECT_EQ(id.s3sKind, c.s3sKind);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Identify,
    ::testing::Values(
        IdentifyCase{"Sonic1Bin", "s1.BIN", [] { return GameImage(0x80000, Sonic1Rev00()); }, RomKind::Genesis, "S1"},
        IdentifyCase{"Sonic1Rev01Gen", "s1.GEN", [] { return GameImage(0x80000, Sonic1Rev01()); }, RomKind::Genesis,
                     "S1_J"},
        IdentifyCase{"LowerCaseExtension", "s2.bin", [] { return GameImage(0x100000, Sonic2()); }, RomKind::Genesis,
                     "S2"},
        IdentifyCase{"Sonic3As32X", "s3.32x", [] { return GameImage(0x200000, Sonic3()); }, RomKind::Genesis, "S3"},
        IdentifyCase{"SonicKnuckles", "sk.bin", [] { return GameImage(0x200000, SonicKnuckles()); },
                     RomKind::Genesis, "S&K"},
        IdentifyCase{"LockedOnSonic2", "sk2.bin", [] { return LockOnImage(Sonic2()); }, RomKind::Genesis, "S2_K"},
        IdentifyCase{"LockedOnOther", "sko.bin", [] { return LockOnImage(OtherGame()); }, RomKind::Genesis, "SO"},
        IdentifyCase{"UnknownGenesis", "x.bin", [] { return GameImage(0x20000, OtherGame()); }, RomKind::Genesis, "U"},
        IdentifyCase{"GenesisTooShort", "short.bin", [] { return Bytes(0x18A, ' '); }, RomKind::Genesis, "U"},
        IdentifyCase{"GenesisEmpty", "empty.bin", [] { return Bytes{}; }, RomKind::Genesis, "U"},
        IdentifyCase{"GenesisMissing", "missing.bin", nullptr, RomKind::Genesis, "U"},
        IdentifyCase{"MasterSystemSonic1", "s1.sms", [] { return EightBitImage(0x76, 0x70); },
                     RomKind::MasterSystem, "SMS_S1"},
        IdentifyCase{"GameGearEnding", "s2.gg", [] { return EightBitImage(0x15, 0x90); }, RomKind::MasterSystem,
                     "SMS_S2"},
        IdentifyCase{"MasterSystemUnknownCode", "x.SMS", [] { return EightBitImage(0x34, 0x12); },
                     RomKind::MasterSystem, "U"},
        IdentifyCase{"MasterSystemTooShort", "x.sms", [] { return Bytes(0x7FFD, 0); }, RomKind::MasterSystem, "U"},
        IdentifyCase{"GbaSonicAdvanceEurope", "sa.gba", [] { return GbaImage("SONIC ADVANCASOP"); },
                     RomKind::GameBoyAdvance, "GBA_SA1_EU"},
        IdentifyCase{"GbaSonicAdvance2Usa", "sa2.GBA", [] { return GbaImage("SONICADVANC2A2NE"); },
                     RomKind::GameBoyAdvance, "GBA_SA2_US"},
        IdentifyCase{"GbaTitleWithoutCode", "sa.gba", [] { return GbaImage("SONIC ADVANC\0\0\0\0"); },
                     RomKind::GameBoyAdvance, "U"},
        IdentifyCase{"GbaTooShort", "sa.gba", [] { return Bytes(0xAF, 'S'); }, RomKind::GameBoyAdvance, "U"},
        IdentifyCase{"S3SVersion1", "a.s3s", [] { return Signed(kS3SSignatureV1, kS3SV1Size); },
                     RomKind::SpecialStage, "S3S", kS3SKindV1},
        IdentifyCase{"S3SVersion2", "a.S3S", [] { return Signed(kS3SSignatureV2, kS3SV2Size); },
                     RomKind::SpecialStage, "S3S", kS3SKindV2},
        IdentifyCase{"S3SCompilation", "c.s3s", [] { return Signed(kS3SSignatureC, 100); }, RomKind::SpecialStage,
                     "U", kS3SKindCompilation},
        IdentifyCase{"S3SGarbage", "g.s3s", [] { return NoiseBytes(400, 5); }, RomKind::SpecialStage, "U", 0},
        IdentifyCase{"S3SCutInsideSignature", "t.s3s", [] { return Bytes{'Z', 'O', 'R', 'P', '_', 'S', '3'}; },
                     RomKind::SpecialStage, "U", 0},
        IdentifyCase{"S3SEmpty", "e.s3s", [] { return Bytes{}; }, RomKind::SpecialStage, "U", 0},
        IdentifyCase{"OtherExtension", "s2.txt", [] { return GameImage(0x100000, Sonic2()); }, RomKind::Unsupported,
                     "U"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(IdentifyRomTest, ProductCodeIsUpperCaseHexWithoutLeadingZeros)
{
    RomDefinitionsLoad load = ParseRomDefinitions("ZORP-II ROM DEFINITIONS FILE|\r\n"
                                                  "n|Small|SMALL||5\r\n"
                                                  "n|Hex|HEX||ABC\r\n"
                                                  "n|Lower|LOWER||abd\r\n"
                                                  "n|Zero|ZERO||0\r\n");
    ASSERT_TRUE(load.ok());
    ScratchDir dir;
    const struct {
        uint8_t low, high;
        const char* serial;
        const char* id;
    } cases[] = {{0x05, 0x00, "5", "SMALL"}, {0xBC, 0x0A, "ABC", "HEX"}, {0xBD, 0x0A, "ABD", "U"}, {0, 0, "0", "ZERO"}};
    for (const auto& c : cases) {
        WriteFile(dir.file("r.sms"), EightBitImage(c.low, c.high));
        RomIdentification id = IdentifyRom(load.table, dir.file("r.sms"));
        EXPECT_EQ(id.serial, c.serial);
        EXPECT_EQ(id.gameId, c.id) << c.serial;
    }
}

TEST(RomKindOfPathTest, OnlyTheLastThreeCharactersCount)
{
    EXPECT_EQ(RomKindOfPath("agg"), RomKind::Unsupported); // ".GG" includes the dot
    EXPECT_EQ(RomKindOfPath("romBIN"), RomKind::Genesis);  // only the characters count
    EXPECT_EQ(RomKindOfPath("gg"), RomKind::Unsupported);
    EXPECT_EQ(RomKindOfPath(""), RomKind::Unsupported);
}

// Every revision the shipped definitions know, told apart by the full serial
// (and Sonic 1 REVXB by its original checksum); lock-on images name the
// revision of the cartridge at 0x200000.
TEST(IdentifyRomTest, RevisionsOfTheRealGames)
{
    struct Case {
        std::string serial;
        std::optional<uint16_t> checksum;
        std::string id;
        std::string revision;
    };
    const std::string s1 = Half("SONIC THE", 15, "HEDGEHOG");
    const std::string s2 = Half("SONIC THE", 13, "HEDGEHOG 2");
    const std::vector<std::pair<std::string, Case>> cases = {
        {s1, {"GM 00001009-00", std::nullopt, "S1", "REV00"}},
        {s1, {"GM 00004049-01", 0xAFC7, "S1_J", "REV01"}},
        {s1, {"GM 00004049-01", 0x2F9C, "S1_J", "REVXB"}},
        {s2, {"GM 00001051-00", std::nullopt, "S2", "REV00"}},
        {s2, {"GM 00001051-01", std::nullopt, "S2", "REV01"}},
        {s2, {"GM 00001051-02", std::nullopt, "S2", "REV02"}},
        // A serial suffix no record lists: the game is still known.
        {s2, {"GM 00001051-07", std::nullopt, "S2", ""}},
    };
    const RomDefinitions table = Shipped();
    for (const auto& [half, c] : cases) {
        Bytes image = GameImage(0x80000, GameHeader{"SEGA GENESIS    ", half, c.serial});
        if (c.checksum) {
            image[0x18E] = static_cast<uint8_t>(*c.checksum >> 8);
            image[0x18F] = static_cast<uint8_t>(*c.checksum);
        }
        const RomIdentification identity = IdentifyRomImage(table, RomKind::Genesis, image);
        EXPECT_EQ(identity.gameId, c.id) << c.serial;
        EXPECT_EQ(identity.revision, c.revision) << c.serial;
    }

    Bytes lockOn = GameImage(0x400000, SonicKnuckles());
    PutHeader(lockOn, 0x200000, GameHeader{"SEGA GENESIS    ", s2, "GM 00001051-02"});
    const RomIdentification locked = IdentifyRomImage(table, RomKind::Genesis, lockOn);
    EXPECT_EQ(locked.gameId, "S2_K");
    EXPECT_EQ(locked.revision, "REV00");
    EXPECT_EQ(locked.lockedOnId, "S2");
    EXPECT_EQ(locked.lockedOnRevision, "REV02");
    EXPECT_EQ(DescribeGame(table, locked), "Sonic 2 & Knuckles (Sonic & Knuckles REV00 + Sonic the Hedgehog 2 REV02)");
}

TEST(RevisionRulesTest, ReadsEntriesAndRefusesBadOnes)
{
    const RevisionRulesParse good = ParseRevisionRules("REVISIONS: A=GM 1-00; B = GM 1-01 @0x18E=2F 9c ;");
    ASSERT_EQ(good.error, "");
    ASSERT_EQ(good.rules.size(), 2u);
    EXPECT_EQ(good.rules[1].name, "B");
    EXPECT_EQ(good.rules[1].serial, "GM 1-01");
    EXPECT_EQ(good.rules[1].offset, 0x18Eu);
    EXPECT_EQ(good.rules[1].bytes, (Bytes{0x2F, 0x9C}));

    for (const char* bad : {"REVISIONS: REV00", "REVISIONS: =GM 1", "REVISIONS: A=", "REVISIONS: A=GM 000000000000000",
                            "REVISIONS: A=GM 1@0x18E", "REVISIONS: A=GM 1@0x18E=2", "REVISIONS: A=GM 1@zz=00"})
        EXPECT_NE(ParseRevisionRules(bad).error, "") << bad;

    // A sixth field that is not a revisions list stays free text.
    const RomDefinitionsLoad load = ParseRomDefinitions(
        "ZORP-II ROM DEFINITIONS FILE|a|b|c|d|e\nnote|Game|G|TITLE|GM 1|any remark\n");
    ASSERT_TRUE(load.ok());
    EXPECT_TRUE(load.table.find("G")->revisions.empty());
    const RomDefinitionsLoad refused =
        ParseRomDefinitions("ZORP-II ROM DEFINITIONS FILE|a|b|c|d|e\nnote|Game|G|TITLE|GM 1|REVISIONS: X\n");
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error->text().find("Line 2"), std::string::npos);
}
