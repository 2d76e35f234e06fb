// The definitions loader, the matching rule, the lock-on variants and display
// names, and the definitions file the program ships.
#include <gtest/gtest.h>

#include "RomTestFiles.h"
#include "rom/PubFunctions.h"
#include "rom/RomDefinitions.h"

using namespace zorp;
using namespace romtest;

namespace {

const std::string kHeader = "ZORP-II ROM DEFINITIONS FILE|test\r\n";

RomDefinitions Parse(const std::string& text)
{
    RomDefinitionsLoad load = ParseRomDefinitions(text);
    EXPECT_TRUE(load.ok()) << (load.error ? load.error->text() : "");
    return load.table;
}

std::string ShippedDefinitionsPath() { return std::string(ZORP_SOURCE_DIR) + "/data/ROM_DEF.RDEF"; }

RomDefinitions Shipped()
{
    RomDefinitionsLoad load = LoadRomDefinitionsFile(ShippedDefinitionsPath());
    EXPECT_TRUE(load.ok()) << (load.error ? load.error->text() : "");
    return load.table;
}

} // namespace

// --- Loading ---------------------------------------------------------------

struct AcceptedCase {
    const char* name;
    std::string text;
    std::vector<std::string> ids; // keys in table order
};

class DefinitionsAccepted : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(DefinitionsAccepted, BuildsTheTableInFileOrder)
{
    RomDefinitionsLoad load = ParseRomDefinitions(GetParam().text);
    ASSERT_TRUE(load.ok()) << load.error->text();
    std::vector<std::string> ids;
    for (const auto& record : load.table.records())
        ids.push_back(record.gameId());
    EXPECT_EQ(ids, GetParam().ids);
}

INSTANTIATE_TEST_SUITE_P(
    Loader, DefinitionsAccepted,
    ::testing::Values(
        AcceptedCase{"LowerCaseSignatureWithSpaces", "   zorp-ii rom definitions file  |\r\nn|A|S2|t|s\r\n", {"S2"}},
        AcceptedCase{"SignatureOnly", "ZORP-II ROM DEFINITIONS FILE|", {}},
        AcceptedCase{"BlankAndWhitespaceLinesSkipped",
                     kHeader + "\r\nn|A|S1|t|s\r\n   \r\n\t\r\n\r\nn|B|S2|t|s\r\n\r\n", {"S1", "S2"}},
        AcceptedCase{"LineFeedsOnly", "ZORP-II ROM DEFINITIONS FILE|x\nn|A|S1|t|s\nn|B|S2|t|s\n", {"S1", "S2"}},
        AcceptedCase{"LastLineWithoutLineEnd", kHeader + "n|A|S3|t|s", {"S3"}},
        AcceptedCase{"ByteOrderMark", "\xEF\xBB\xBFZORP-II ROM DEFINITIONS FILE|\r\nn|A|S1|t|s\r\n", {"S1"}},
        AcceptedCase{"ExtraFieldsIgnored", kHeader + "n|A|S1|t|s|more|fields\r\n", {"S1"}}),
    [](const auto& p) { return std::string(p.param.name); });

struct RefusedCase {
    const char* name;
    std::string text;
    std::string title;
    std::string mustMention; // a piece of the message text ("" for the fixed message)
};

class DefinitionsRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(DefinitionsRefused, ReturnsTheMessageAndNoTable)
{
    RomDefinitionsLoad load = ParseRomDefinitions(GetParam().text);
    ASSERT_FALSE(load.ok());
    EXPECT_TRUE(load.table.empty()) << "a failed load must not hand out a half-built table";
    EXPECT_EQ(load.error->icon, MessageIcon::Critical);
    EXPECT_EQ(load.error->title, GetParam().title);
    if (!GetParam().mustMention.empty()) {
        EXPECT_NE(load.error->text().find(GetParam().mustMention), std::string::npos) << load.error->text();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Loader, DefinitionsRefused,
    ::testing::Values(
        RefusedCase{"EmptyFile", "", "ROM Definitions File Not Found", ""},
        RefusedCase{"SignatureWithoutBar", "ZORP-II ROM DEFINITIONS FILE\r\nn|A|S1|t|s\r\n",
                    "ROM Definitions File Not Found", ""},
        RefusedCase{"WrongSignature", "ZORP-II ROM DEFINITION FILE|\r\n", "ROM Definitions File Not Found", ""},
        RefusedCase{"SignatureNotFirstField", "x|ZORP-II ROM DEFINITIONS FILE\r\n", "ROM Definitions File Not Found", ""},
        RefusedCase{"BlankFirstLine", "\r\nZORP-II ROM DEFINITIONS FILE|\r\n", "ROM Definitions File Not Found", ""},
        RefusedCase{"Garbage", std::string("\x00\xFF\x13\x37|\x80\x81\n\n\x01", 10), "ROM Definitions File Not Found", ""},
        RefusedCase{"RecordWithFourFields", kHeader + "n|A|S1|t|s\r\n\r\nn|B|S2|t\r\n", "Invalid ROM Definitions File",
                    "Line 4"},
        RefusedCase{"RecordWithoutBars", kHeader + "just text\r\n", "Invalid ROM Definitions File", "Line 2"},
        RefusedCase{"RepeatedIdAnyCase", kHeader + "n|A|S2|t|s\r\nn|B|S1|t|s\r\nn|C|s2|u|v\r\n",
                    "Invalid ROM Definitions File", "Line 4: the game identifier \"s2\" was already defined on line 2"},
        RefusedCase{"EmptyId", kHeader + "n|A|  |t|s\r\n", "Invalid ROM Definitions File", "Line 2"},
        RefusedCase{"UnknownIdReserved", kHeader + "n|A|u|t|s\r\n", "Invalid ROM Definitions File", "Line 2"},
        RefusedCase{"LargerThanOneMegabyte", kHeader + std::string(kMaxRomDefinitionsSize, ' '),
                    "Invalid ROM Definitions File", "larger than 1024 KB"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(DefinitionsLoader, NotFoundMessageIsExact)
{
    Message m = RomDefinitionsNotFoundMessage();
    EXPECT_EQ(m.icon, MessageIcon::Critical);
    EXPECT_EQ(m.title, "ROM Definitions File Not Found");
    EXPECT_EQ(m.lines, (std::vector<std::string>{"Error: ROM Definitions file (ROM_DEF.RDEF) not found.",
                                                 "Please re-download ZORP-II from the official website:", "",
                                                 kOfficialWebsite}));
}

TEST(DefinitionsLoader, KeepsWholeLineUntrimmedAndItsFields)
{
    RomDefinitions table = Parse(kHeader + "\r\n  note |Name| S2 |title  | serial \r\n");
    ASSERT_EQ(table.size(), 1u);
    const RomDefinitionRecord& r = table.records()[0];
    EXPECT_EQ(r.line, "  note |Name| S2 |title  | serial ");
    EXPECT_EQ(r.fields, (std::vector<std::string>{"  note ", "Name", " S2 ", "title  ", " serial "}));
    EXPECT_EQ(r.lineNumber, 3);
}

TEST(DefinitionsLoader, FileMissingOrTooLargeOrUnreadable)
{
    ScratchDir dir;
    EXPECT_EQ(LoadRomDefinitionsFile(dir.file("absent.RDEF")).error->title, "ROM Definitions File Not Found");
    EXPECT_EQ(LoadRomDefinitionsFile(dir.str()).error->title, "ROM Definitions File Not Found"); // a folder

    WriteText(dir.file("empty.RDEF"), "");
    EXPECT_EQ(LoadRomDefinitionsFile(dir.file("empty.RDEF")).error->title, "ROM Definitions File Not Found");

    WriteText(dir.file("big.RDEF"), kHeader + std::string(kMaxRomDefinitionsSize, 'x'));
    EXPECT_EQ(LoadRomDefinitionsFile(dir.file("big.RDEF")).error->title, "Invalid ROM Definitions File");

    // The convenience loader reads the program directory's file.
    const Locations previous = CurrentLocations();
    SetLocations({dir.str(), dir.str(), "", false});
    EXPECT_FALSE(LoadRomDefinitions().ok());
    WriteText(dir.file("ROM_DEF.RDEF"), kHeader + "n|Name|S1|t|s\r\n");
    RomDefinitionsLoad load = LoadRomDefinitions();
    SetLocations(previous);
    ASSERT_TRUE(load.ok());
    EXPECT_TRUE(load.table.contains("S1"));
}

TEST(DefinitionsTable, KeysIgnoreCaseAndRefuseRepeats)
{
    RomDefinitions table;
    EXPECT_TRUE(table.add({"a|A|S&K|t|s", {"a", "A", "S&K", "t", "s"}, 2, {}}));
    EXPECT_FALSE(table.add({"b|B|s&k|t|s", {"b", "B", "s&k", "t", "s"}, 3, {}}));
    EXPECT_FALSE(table.add({"c|C|X", {"c", "C", "X"}, 4, {}}));
    EXPECT_EQ(table.size(), 1u);
    ASSERT_NE(table.find("s&K"), nullptr);
    EXPECT_EQ(table.find("s&K")->displayName(), "A");
    EXPECT_EQ(table.find("S&"), nullptr);
}

// --- Matching --------------------------------------------------------------

struct LookupCase {
    const char* name;
    std::string serial;
    std::string title;
    std::string expected;
};

class Lookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(Lookup, MatchesExactTitleAndTrimmedSerial)
{
    RomDefinitions table = Parse(kHeader +
                                 "first|Game|G1|TITLE |  GM 0001  \r\n"
                                 "second|Same title|G2|TITLE |GM 0002\r\n"
                                 "dup match|Later|G3|TITLE |GM 0001\r\n"
                                 "no serial|Handheld|G4|HANDHELD TITLE|\r\n"
                                 "no title|8-bit|G5||7076\r\n");
    EXPECT_EQ(LookupGameId(table, GetParam().serial, GetParam().title), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Matching, Lookup,
    ::testing::Values(LookupCase{"SerialSpacesIgnored", "GM 0001", "TITLE ", "G1"},
                      LookupCase{"ImageSerialSpacesIgnored", "  GM 0002 ", "TITLE ", "G2"},
                      LookupCase{"FirstRecordInOrderWins", "GM 0001 ", "TITLE ", "G1"},
                      LookupCase{"TrailingSpaceMissing", "GM 0001", "TITLE", "U"},
                      LookupCase{"TrailingSpaceExtra", "GM 0001", "TITLE  ", "U"},
                      LookupCase{"LeadingSpace", "GM 0001", " TITLE ", "U"},
                      LookupCase{"TitleCaseMatters", "GM 0001", "Title ", "U"},
                      LookupCase{"SerialCaseMatters", "gm 0001", "TITLE ", "U"},
                      LookupCase{"InnerSerialSpaceMatters", "GM  0001", "TITLE ", "U"},
                      LookupCase{"EmptySerialRecord", "", "HANDHELD TITLE", "G4"},
                      LookupCase{"EmptyTitleRecord", "7076", "", "G5"},
                      LookupCase{"NothingMatches", "", "", "U"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Lookup, EmptyTableGivesUnknown) { EXPECT_EQ(LookupGameId(RomDefinitions{}, "GM 00001051", "x"), "U"); }

TEST(GameDisplayNameTest, KeyIgnoresCaseAndAbsentKeyIsUnknown)
{
    RomDefinitions table = Parse(kHeader + "n|Sonic the Hedgehog 2|S2|t|s\r\n");
    EXPECT_EQ(GameDisplayName(table, "S2"), "Sonic the Hedgehog 2");
    EXPECT_EQ(GameDisplayName(table, "s2"), "Sonic the Hedgehog 2");
    EXPECT_EQ(GameDisplayName(table, "S3S"), "Unknown");
    EXPECT_EQ(GameDisplayName(table, "U"), "Unknown");
    EXPECT_EQ(GameDisplayName(table, ""), "Unknown");
}

// --- Lock-on variants -------------------------------------------------------

struct LockOnCase {
    const char* name;
    size_t fileSize;
    bool hasSecondHeader;
    GameHeader second;
    std::string expected;
};

class LockOn : public ::testing::TestWithParam<LockOnCase> {};

TEST_P(LockOn, MapsTheSecondCartridge)
{
    ScratchDir dir;
    const LockOnCase& c = GetParam();
    Bytes image = GameImage(c.fileSize, SonicKnuckles());
    if (c.hasSecondHeader)
        PutHeader(image, 0x200000, c.second);
    image.resize(c.fileSize);
    WriteFile(dir.file("lock.bin"), image);
    EXPECT_EQ(ResolveLockOnId(Shipped(), "S&K", dir.file("lock.bin")), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, LockOn,
    ::testing::Values(LockOnCase{"Exactly2MiBStays", 0x200000, false, {}, "S&K"},
                      LockOnCase{"OneByteLongerIsOther", 0x200001, false, {}, "SO"},
                      LockOnCase{"Sonic1", 0x280000, true, Sonic1Rev00(), "S1_K"},
                      LockOnCase{"Sonic1Rev01", 0x280000, true, Sonic1Rev01(), "S1_K"},
                      LockOnCase{"Sonic2", 0x300000, true, Sonic2(), "S2_K"},
                      LockOnCase{"Sonic3", 0x400000, true, Sonic3(), "S3_K"},
                      LockOnCase{"SonicKnucklesTwice", 0x400000, true, SonicKnuckles(), "SO"},
                      LockOnCase{"OtherGame", 0x300000, true, OtherGame(), "SO"},
                      LockOnCase{"SecondHeaderCutShort", 0x200000 + 0x185, true, Sonic2(), "SO"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(LockOnTest, OnlyExactSKIsResolved)
{
    ScratchDir dir;
    Bytes image = GameImage(0x300000, SonicKnuckles());
    PutHeader(image, 0x200000, Sonic2());
    WriteFile(dir.file("lock.bin"), image);
    RomDefinitions table = Shipped();
    EXPECT_EQ(ResolveLockOnId(table, "S&K", dir.file("lock.bin")), "S2_K");
    EXPECT_EQ(ResolveLockOnId(table, "s&k", dir.file("lock.bin")), "s&k");
    EXPECT_EQ(ResolveLockOnId(table, "S2", dir.file("lock.bin")), "S2");
    EXPECT_EQ(ResolveLockOnId(table, "U", dir.file("lock.bin")), "U");
    EXPECT_EQ(ResolveLockOnId(table, "S&K", dir.file("missing.bin")), "S&K");
}

// --- The shipped definitions file ------------------------------------------

TEST(ShippedDefinitions, LoadsWithCrLfAndDefinesTheProgramsIdentifiers)
{
    auto bytes = ReadFileBytes(ShippedDefinitionsPath());
    ASSERT_TRUE(bytes);
    std::string text(bytes->begin(), bytes->end());
    for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
        ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "line end without CR at byte " << i;

    RomDefinitions table = Shipped();
    const std::pair<const char*, const char*> names[] = {
        {"S1", "Sonic the Hedgehog"},     {"S2", "Sonic the Hedgehog 2"},   {"S3", "Sonic the Hedgehog 3"},
        {"S&K", "Sonic & Knuckles"},      {"S1_K", "Sonic 1 & Knuckles"},   {"S2_K", "Sonic 2 & Knuckles"},
        {"S3_K", "Sonic 3 & Knuckles"},   {"SO", "S&K Locked On (other)"}, {"S3S", "Special Stage File"},
    };
    for (const auto& [id, name] : names)
        EXPECT_EQ(GameDisplayName(table, id), name) << id;
    EXPECT_TRUE(table.contains("S1_J"));
    EXPECT_FALSE(table.contains("S2v1.54")) << "no source identifies it";

    for (const RomDefinitionRecord& r : table.records()) {
        if (r.fields[0].rfind("Genesis", 0) == 0) {
            EXPECT_EQ(r.titleText().size(), 96u) << r.gameId();
            EXPECT_EQ(r.serialText().size(), 11u) << r.gameId();
        }
    }
}

struct ShippedMatchCase {
    const char* name;
    GameHeader header;
    std::string expected;
};

class ShippedGenesis : public ::testing::TestWithParam<ShippedMatchCase> {};

TEST_P(ShippedGenesis, IdentifiesTheRealHeaders)
{
    const GameHeader& h = GetParam().header;
    EXPECT_EQ(LookupGameId(Shipped(), h.serial.substr(0, 11), h.half + h.half), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Facts, ShippedGenesis,
                         ::testing::Values(ShippedMatchCase{"Sonic1Rev00", Sonic1Rev00(), "S1"},
                                           ShippedMatchCase{"Sonic1Rev01", Sonic1Rev01(), "S1_J"},
                                           ShippedMatchCase{"Sonic2", Sonic2(), "S2"},
                                           ShippedMatchCase{"Sonic3", Sonic3(), "S3"},
                                           ShippedMatchCase{"SonicKnuckles", SonicKnuckles(), "S&K"},
                                           ShippedMatchCase{"Other", OtherGame(), "U"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(ShippedDefinitions, PseudoRecordsNeverMatchAHeader)
{
    RomDefinitions table = Shipped();
    const std::string tildes96(96, '~');
    // Whatever a Genesis, 8-bit or handheld image could supply for the fields.
    EXPECT_EQ(LookupGameId(table, std::string(11, '~'), tildes96), "U");
    EXPECT_EQ(LookupGameId(table, "", tildes96), "U");
    EXPECT_EQ(LookupGameId(table, "", std::string(16, '~')), "U");
    EXPECT_EQ(LookupGameId(table, std::string(11, '~'), ""), "U");
    EXPECT_EQ(LookupGameId(table, "", ""), "U");
}
