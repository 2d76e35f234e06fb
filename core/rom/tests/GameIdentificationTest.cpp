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
