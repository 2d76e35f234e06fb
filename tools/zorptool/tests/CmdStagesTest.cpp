// zorptool stages, run as the built program on synthetic images that carry the
// real games' headers: the real Sonic & Knuckles stage stream at 0x1FCF2A
// (read by the shipped S&K template), a Sonic 3 style plain block at 0x6A0E0,
// and small images read through templates written for the test.
#include <gtest/gtest.h>

#include "ZorptoolRun.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"
#include "rom/tests/RomTestFiles.h"
#include "stage/S3SFile.h"
#include "stage/SpecialStage.h"
#include "stage/tests/StageTestData.h"

using namespace zorp;
using namespace romtest;

namespace {

namespace fs = std::filesystem;

using zorptest::ToolRun;

Bytes ReadBytes(const std::string& path)
{
    auto bytes = testdata::ReadFile(path);
    return bytes ? *bytes : Bytes{};
}

Bytes Slice(const Bytes& data, uint64_t offset, size_t count)
{
    return Bytes(data.begin() + static_cast<std::ptrdiff_t>(offset),
                 data.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

void Put(Bytes& image, uint64_t offset, const Bytes& data)
{
    std::copy(data.begin(), data.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

// Indices at which two images of the same length differ: [first, last].
std::pair<int64_t, int64_t> ChangedRange(const Bytes& a, const Bytes& b)
{
    int64_t first = -1, last = -1;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i]) {
            if (first < 0)
                first = static_cast<int64_t>(i);
            last = static_cast<int64_t>(i);
        }
    }
    return {first, last};
}

// Stage records from grids and properties sections.
Bytes BlockOf(const std::vector<StageGrid>& grids, const std::vector<PropertiesSection>& sections)
{
    Bytes block;
    for (size_t k = 0; k < grids.size(); ++k)
        WriteStageRecord(block, static_cast<int>(k), StageRecord{grids[k], sections[k]});
    return block;
}

constexpr uint64_t kSkStart = 0x1FCF2A;
constexpr size_t kSkRoom = 1696;
constexpr uint64_t kS3Start = 0x6A0E0;

// Sonic 3's properties sections (game facts, section 6); stage 8 holds 65535
// rings, more than an S3S file can state.
const std::vector<PropertiesSection> kSonic3Sections = {
    {0x80, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00, 0x40}, {0x40, 0x00, 0x10, 0x00, 0x1B, 0x00, 0x00, 0x6F},
    {0x80, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x50}, {0x40, 0x00, 0x0D, 0x00, 0x06, 0x00, 0x00, 0x50},
    {0x00, 0x00, 0x0F, 0x00, 0x01, 0x00, 0x00, 0x36}, {0x00, 0x00, 0x03, 0x00, 0x01, 0x00, 0x00, 0x40},
    {0x80, 0x00, 0x10, 0x00, 0x14, 0x00, 0x00, 0x4A}, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF},
};

class StagesCommand : public ::testing::Test {
protected:
    ToolRun Run(const std::vector<std::string>& args) const
    {
        std::vector<std::string> words{"stages"};
        words.insert(words.end(), args.begin(), args.end());
        return zorptest::RunZorptool(dir_.str(), words);
    }

    std::string Path(const std::string& name) const { return dir_.file(name); }
    std::string StageFile(const std::string& folder, int stage) const
    {
        char name[32];
        std::snprintf(name, sizeof name, "stage%02d.s3s", stage + 1);
        return (fs::path(Path(folder)) / name).string();
    }

    // A template file with one S3S block.
    std::string StageTemplate(const std::string& name, const std::vector<std::string>& keys) const
    {
        std::string text = "S3S\r\n";
        for (const std::string& key : keys)
            text += key + "\r\n";
        text += "ENDFRAME\r\n";
        WriteText(Path(name), text);
        return Path(name);
    }

    // Sonic & Knuckles image carrying the real stage stream.
    bool MakeSonicKnucklesRom(const std::string& name, Bytes& decoded)
    {
        const std::string corpus = std::string(ZORP_CORPUS_DIR) + "/kosinski/";
        auto stream = testdata::ReadFile(corpus + "sk__General__Special_Stage__Layout__SK_Set_1.kos");
        auto dec = testdata::ReadFile(corpus + "sk__General__Special_Stage__Layout__SK_Set_1.kos.dec");
        if (!stream || !dec || stream->size() != kSkRoom)
            return false;
        Bytes image = GameImage(0x200000, SonicKnuckles(), 31);
        Put(image, kSkStart, *stream);
        WriteFile(Path(name), image);
        decoded = *dec;
        return true;
    }

    static void ExpectOneErrorLine(const ToolRun& run)
    {
        EXPECT_EQ(run.err.rfind("zorptool: ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }

    ScratchDir dir_;
};

// ------------------------------------------------ the real S&K stage set

TEST_F(StagesCommand, SonicKnucklesExportHoldsTheGamesStagesAndStartData)
{
    Bytes decoded;
    if (!MakeSonicKnucklesRom("sk.bin", decoded))
        GTEST_SKIP() << "corpus not found";
    const ToolRun run = Run({"export", Path("sk.bin"), Path("out")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_FALSE(fs::exists(StageFile("out", 8)));
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE(k + 1);
        const Bytes file = ReadBytes(StageFile("out", k));
        ASSERT_EQ(file.size(), 416u);
        ASSERT_EQ(S3SFileKind(file), kS3SKindV2);
        const S3SStage stage = LoadV2SS(file);
        const StageRecord record = ReadStageRecord(decoded, k);
        EXPECT_EQ(stage.cells, record.cells);
        // The start data as the game's properties section states it.
        const PropertiesSection& p = record.properties;
        EXPECT_EQ(DirectionAngle(stage.trailer.direction), p[0]);
        EXPECT_EQ(stage.trailer.column, p[2]);
        EXPECT_EQ(stage.trailer.row, p[4]);
        EXPECT_EQ(stage.trailer.rings, (p[6] << 8) | p[7]);
    }
}

TEST_F(StagesCommand, SonicKnucklesExportThenImportChangesNoByte)
{
    Bytes decoded;
    if (!MakeSonicKnucklesRom("sk.bin", decoded))
        GTEST_SKIP() << "corpus not found";
    const Bytes before = ReadBytes(Path("sk.bin"));
    for (const char* version : {"1", "2"}) {
        SCOPED_TRACE(version);
        ASSERT_EQ(Run({"export", "--version", version, Path("sk.bin"), Path(std::string("v") + version)}).status, 0);
        const ToolRun run = Run({"import", Path("sk.bin"), Path(std::string("v") + version)});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("read 8 stage files; no stage changed"), std::string::npos) << run.out;
        EXPECT_EQ(ReadBytes(Path("sk.bin")), before);
    }
}

TEST_F(StagesCommand, SonicKnucklesEditedStagesFitAsTheSmallestStream)
{
    Bytes decoded;
    if (!MakeSonicKnucklesRom("sk.bin", decoded))
        GTEST_SKIP() << "corpus not found";
    const Bytes before = ReadBytes(Path("sk.bin"));
    ASSERT_EQ(Run({"export", Path("sk.bin"), Path("out")}).status, 0);

    // Stage 3: a row of yellow spheres; stage 8: a new start.
    Bytes expected = decoded;
    S3SStage three = LoadV2SS(ReadBytes(StageFile("out", 2)));
    for (int column = 0; column < 32; ++column)
        three.cells[static_cast<size_t>(CellIndex(column, 9))] = Yellow;
    WriteFile(StageFile("out", 2), SaveV2SS(three.cells, three.trailer));
    StageRecord record3 = ReadStageRecord(expected, 2);
    record3.cells = three.cells;
    WriteStageRecord(expected, 2, record3);

    S3SStage eight = LoadV2SS(ReadBytes(StageFile("out", 7)));
    eight.trailer = S3STrailer{S3S_Down, 3, 30, 250};
    WriteFile(StageFile("out", 7), SaveV2SS(eight.cells, eight.trailer));
    StageRecord record8 = ReadStageRecord(expected, 7);
    record8.properties = {0x80, 0x00, 30, 0x00, 3, 0x00, 0x00, 250};
    WriteStageRecord(expected, 7, record8);

    const ToolRun run = Run({"import", Path("sk.bin"), Path("out")});
    ASSERT_EQ(run.status, 0) << run.err;
    const size_t exactSize = modVorlith_Pack::Pack(expected).size();
    ASSERT_GT(exactSize, kSkRoom);
    EXPECT_NE(run.out.find("(smallest stream; the exact encoder gave " + std::to_string(exactSize) +
                           " bytes, 1696 allotted)"),
              std::string::npos)
        << run.out;

    const Bytes after = ReadBytes(Path("sk.bin"));
    ASSERT_EQ(after.size(), before.size());
    const auto back = modVorlith_Extract::Decode(after, kSkStart);
    ASSERT_TRUE(back.Ok());
    EXPECT_EQ(back.output, expected);
    EXPECT_LE(back.consumed, kSkRoom);
    EXPECT_EQ(back.consumed, PackSmallest(expected).size());
    // Only the new stream's bytes may differ: the rest of the allotted room
    // and everything outside the block are as they were.
    const auto [first, last] = ChangedRange(before, after);
    EXPECT_GE(first, static_cast<int64_t>(kSkStart));
    EXPECT_LT(last, static_cast<int64_t>(kSkStart + back.consumed));
    EXPECT_EQ(Slice(after, kSkStart + back.consumed, kSkRoom - back.consumed),
              Slice(before, kSkStart + back.consumed, kSkRoom - back.consumed));

    // Exported again, the stages are the edited files.
    ASSERT_EQ(Run({"export", Path("sk.bin"), Path("again")}).status, 0);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(ReadBytes(StageFile("again", k)), ReadBytes(StageFile("out", k))) << "stage " << k + 1;
}

// ------------------------------------------------ a Sonic 3 plain block

class PlainStages : public StagesCommand {
protected:
    void SetUp() override
    {
        std::vector<StageGrid> grids;
        for (int k = 0; k < 8; ++k)
            grids.push_back(testdata::RandomGrid(70 + static_cast<unsigned>(k), 5));
        block_ = BlockOf(grids, kSonic3Sections);
        Bytes image = GameImage(0x200000, Sonic3(), 41);
        Put(image, kS3Start, block_);
        WriteFile(Path("s3.bin"), image);
        before_ = image;
    }

    Bytes block_;
    Bytes before_;
};

TEST_F(PlainStages, ExportThenImportKeepsEveryByte)
{
    ASSERT_EQ(Run({"export", Path("s3.bin"), Path("out")}).status, 0);
    // Stage 8's 65535 rings are written as 1024, the most a file can state.
    EXPECT_EQ(LoadV2SS(ReadBytes(StageFile("out", 7))).trailer.rings, 1024);
    const ToolRun run = Run({"import", Path("s3.bin"), Path("out")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("wrote 8256 bytes at 0x6A0E0 (8 stages, not compressed)"), std::string::npos) << run.out;
    EXPECT_EQ(ReadBytes(Path("s3.bin")), before_);
}

// Only stage 5's file is given: the other stages stay as they are, and the
// whole block is written.
TEST_F(PlainStages, AnEditedStageRewritesExactlyTheBlock)
{
    ASSERT_EQ(Run({"export", Path("s3.bin"), Path("out")}).status, 0);
    S3SStage five = LoadV2SS(ReadBytes(StageFile("out", 4)));
    five.cells.fill(Blue);
    five.trailer.rings = 0x3FF;
    fs::create_directories(Path("only5"));
    WriteFile(StageFile("only5", 4), SaveV2SS(five.cells, five.trailer));

    const ToolRun run = Run({"import", Path("s3.bin"), Path("only5")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("read 1 stage file; wrote 8256 bytes at 0x6A0E0"), std::string::npos) << run.out;
    const Bytes after = ReadBytes(Path("s3.bin"));
    ASSERT_EQ(after.size(), before_.size());
    const auto [first, last] = ChangedRange(before_, after);
    EXPECT_GE(first, static_cast<int64_t>(kS3Start + 4 * 1032));
    EXPECT_LT(last, static_cast<int64_t>(kS3Start + 5 * 1032));

    Bytes expected = block_;
    PropertiesSection section = kSonic3Sections[4];
    section[6] = 0x03;
    section[7] = 0xFF;
    WriteStageRecord(expected, 4, StageRecord{testdata::FilledGrid(Blue), section});
    EXPECT_EQ(Slice(after, kS3Start, 8256), expected);
}

TEST_F(PlainStages, BadStageFilesWriteNothing)
{
    ASSERT_EQ(Run({"export", Path("s3.bin"), Path("out")}).status, 0);
    S3SStage one = LoadV2SS(ReadBytes(StageFile("out", 0)));
    one.cells.fill(Star);
    WriteFile(StageFile("out", 0), SaveV2SS(one.cells, one.trailer)); // a good edit before the bad file

    const Bytes v2 = ReadBytes(StageFile("out", 5));
    Bytes compilation(600, 0);
    std::copy_n(kS3SSignatureC, 16, compilation.begin());
    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"not an S3S file", Bytes(416, 0x20)},
        {"cut short", Bytes(v2.begin(), v2.begin() + 300)},
        {"a compilation", compilation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(StageFile("out", 5), c.file);
        const ToolRun run = Run({"import", Path("s3.bin"), Path("out")});
        EXPECT_EQ(run.status, 1);
        ExpectOneErrorLine(run);
        EXPECT_NE(run.err.find("stage06.s3s"), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(Path("s3.bin")), before_);
    }

    fs::create_directories(Path("empty"));
    const ToolRun none = Run({"import", Path("s3.bin"), Path("empty")});
    EXPECT_EQ(none.status, 1);
    ExpectOneErrorLine(none);
    EXPECT_EQ(ReadBytes(Path("s3.bin")), before_);
}

// ------------------------------------------------ blocks given by a template

// The room rule at its edges: the exact stream when it fits, else the
// smallest, else nothing; a length equal to COMPLENGTH fits.
TEST_F(StagesCommand, CompressedBlockFitsUpToTheLastAllottedByte)
{
    const uint64_t start = 0x1000;
    // The ROM holds two empty stages; the files bring two busy ones.
    const Bytes original = modVorlith_Pack::Pack(Bytes(2 * 1032, 0));
    std::vector<StageGrid> grids = {testdata::RandomGrid(90, 6), testdata::RandomGrid(91, 3)};
    const Bytes edited = BlockOf(grids, {PropertiesSection{0x40, 0, 3, 0, 4, 0, 0, 20}, PropertiesSection{}});
    const size_t exact = modVorlith_Pack::Pack(edited).size();
    const size_t smallest = PackSmallest(edited).size();
    ASSERT_LT(smallest, exact);

    struct Case {
        size_t room;
        const char* outcome; // text of the output line, or nullptr for "does not fit"
    };
    const Case cases[] = {
        {16, nullptr},
        {smallest - 1, nullptr},
        {smallest, "(smallest stream;"},
        {exact - 1, "(smallest stream;"},
        {exact, "(exact encoder,"},
        {exact + 100, "(exact encoder,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.room);
        Bytes image = GameImage(0x10000, SonicKnuckles(), 61);
        Put(image, start, original);
        WriteFile(Path("k.bin"), image);
        const std::string tmpl =
            StageTemplate("packed.zorp", {"STARTADDR: 0x1000", "STAGES: 2", "EXTRAPROPS: Y", "COMPRESSED: Y",
                                          "COMPLENGTH: " + std::to_string(c.room)});
        fs::create_directories(Path("in"));
        for (int k = 0; k < 2; ++k) {
            S3STrailer trailer;
            if (k == 0)
                trailer = S3STrailer{S3S_Left, 4, 3, 20};
            WriteFile(StageFile("in", k), SaveV2SS(grids[static_cast<size_t>(k)], trailer));
        }

        const ToolRun run = Run({"import", "--template", tmpl, Path("k.bin"), Path("in")});
        const Bytes after = ReadBytes(Path("k.bin"));
        if (!c.outcome) {
            EXPECT_EQ(run.status, 1);
            // A room smaller than the ROM's own stream also warns at load.
            if (c.room >= original.size())
                ExpectOneErrorLine(run);
            EXPECT_NE(run.err.find("do not fit: " + std::to_string(exact) + " bytes with the exact encoder, " +
                                   std::to_string(smallest) + " as the smallest stream, " + std::to_string(c.room) +
                                   " bytes allotted; the ROM was not written"),
                      std::string::npos)
                << run.err;
            EXPECT_EQ(after, image);
            continue;
        }
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(c.outcome), std::string::npos) << run.out;
        const auto back = modVorlith_Extract::Decode(after, start);
        ASSERT_TRUE(back.Ok());
        EXPECT_EQ(back.output, edited);
        EXPECT_LE(back.consumed, c.room);
        const auto [first, last] = ChangedRange(image, after);
        EXPECT_GE(first, static_cast<int64_t>(start));
        EXPECT_LT(last, static_cast<int64_t>(start + back.consumed));
    }
}

TEST_F(StagesCommand, WithoutStartDataThePropertiesSectionsStayAsRead)
{
    const uint64_t start = 0x800;
    Bytes image = GameImage(0x8000, SonicKnuckles(), 71);
    std::vector<StageGrid> grids = {testdata::RandomGrid(5, 4), testdata::RandomGrid(6, 4), testdata::RandomGrid(7, 4)};
    const std::vector<PropertiesSection> sections = {
        {1, 2, 3, 4, 5, 6, 7, 8}, {0xC0, 0xFF, 0x99, 0xFF, 0x99, 0xFF, 0xFF, 0xFF}, {0x20, 0, 0, 0, 0, 0, 0, 0}};
    Put(image, start, BlockOf(grids, sections));
    WriteFile(Path("k.bin"), image);
    const std::string tmpl =
        StageTemplate("noprops.zorp", {"STARTADDR: 0x800", "STAGES: 3", "EXTRAPROPS: N", "COMPRESSED: N"});

    const ToolRun exported = Run({"export", "--template", tmpl, Path("k.bin"), Path("out")});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_NE(exported.out.find("without start data"), std::string::npos);
    for (int k = 0; k < 3; ++k) {
        S3SStage stage = LoadV2SS(ReadBytes(StageFile("out", k)));
        EXPECT_EQ(stage.trailer.direction, 0);
        EXPECT_EQ(stage.trailer.rings, 0);
        // Edited files with start data of their own: the start data is not the
        // block's to take.
        stage.cells.fill(static_cast<uint8_t>(k + 1));
        stage.trailer = S3STrailer{S3S_Right, 10, 11, 77};
        WriteFile(StageFile("out", k), SaveV2SS(stage.cells, stage.trailer));
    }
    const ToolRun run = Run({"import", "--template", tmpl, Path("k.bin"), Path("out")});
    ASSERT_EQ(run.status, 0) << run.err;
    const Bytes after = ReadBytes(Path("k.bin"));
    for (int k = 0; k < 3; ++k) {
        const StageRecord record = ReadStageRecord(Slice(after, start, 3 * 1032), k);
        EXPECT_EQ(record.cells, testdata::FilledGrid(static_cast<uint8_t>(k + 1)));
        EXPECT_EQ(record.properties, sections[static_cast<size_t>(k)]);
    }
}

TEST_F(StagesCommand, ExportRefusesCellsTheVersionCannotCarry)
{
    Bytes image = GameImage(0x8000, SonicKnuckles(), 81);
    StageGrid grid = testdata::RandomGrid(8, 5);
    grid[CellIndex(6, 2)] = 9;
    Put(image, 0x400, BlockOf({grid}, {PropertiesSection{}}));
    WriteFile(Path("k.bin"), image);
    const std::string tmpl = StageTemplate("one.zorp", {"STARTADDR: 0x400", "STAGES: 1", "COMPRESSED: N"});

    const ToolRun v2 = Run({"export", "--template", tmpl, Path("k.bin"), Path("out")});
    EXPECT_EQ(v2.status, 1);
    ExpectOneErrorLine(v2);
    EXPECT_NE(v2.err.find("column 6, row 2"), std::string::npos) << v2.err;
    EXPECT_NE(v2.err.find("--version 1"), std::string::npos) << v2.err;
    EXPECT_FALSE(fs::exists(Path("out")));

    const ToolRun v1 = Run({"export", "--version", "1", "--template", tmpl, Path("k.bin"), Path("out")});
    ASSERT_EQ(v1.status, 0) << v1.err;
    EXPECT_EQ(LoadV1SS(ReadBytes(StageFile("out", 0))).cells, grid);
}

// ------------------------------------------------ usage and failures

TEST_F(StagesCommand, UsageErrorsExitWith2)
{
    WriteFile(Path("s3.bin"), GameImage(0x100000, Sonic3(), 1));
    const std::string rom = Path("s3.bin");
    const std::string dir = Path("out");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"export"},
        {"export", rom},
        {"frobnicate", rom, dir},
        {"export", "--version", "3", rom, dir},
        {"export", "--version", rom, dir},
        {"export", "--version", "1", "--version", "2", rom, dir},
        {"import", "--version", "1", rom, dir},
        {"export", "--bogus", rom, dir},
        {"export", rom, dir, "extra"},
        {"import", "--template"},
    };
    for (const auto& words : cases) {
        const ToolRun run = Run(words);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(words);
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_FALSE(fs::exists(dir));
}

TEST_F(StagesCommand, FailuresExitWith1OnOneLine)
{
    WriteFile(Path("other.bin"), GameImage(0x10000, OtherGame(), 2));
    WriteFile(Path("stage.s3s"), SaveV2SS(StageGrid{}, S3STrailer{}));
    WriteFile(Path("k.bin"), GameImage(0x10000, SonicKnuckles(), 3));
    WriteText(Path("wav.zorp"), "WAVIMPORTER\r\nSTARTADDR: 0x100\r\nWAVLENGTH: 16\r\nENDFRAME\r\n");
    const std::string refused = StageTemplate("refused.zorp", {"STARTADDR: 0x100", "COMPRESSED: Y"});
    const std::vector<std::vector<std::string>> cases = {
        {"export", Path("missing.bin"), Path("out")},
        {"export", Path("other.bin"), Path("out")},
        {"export", Path("stage.s3s"), Path("out")},
        {"export", "--template", Path("missing.zorp"), Path("k.bin"), Path("out")},
        {"export", "--template", Path("wav.zorp"), Path("k.bin"), Path("out")},
        {"export", "--template", refused, Path("k.bin"), Path("out")},
        {"import", "--template", Path("wav.zorp"), Path("k.bin"), Path("out")},
        {"import", "--template", StageTemplate("p.zorp", {"STARTADDR: 0", "COMPRESSED: N"}), Path("k.bin"),
         Path("no-such-folder")},
    };
    const Bytes before = ReadBytes(Path("k.bin"));
    for (const auto& words : cases) {
        SCOPED_TRACE(::testing::PrintToString(words));
        const ToolRun run = Run(words);
        EXPECT_EQ(run.status, 1);
        ExpectOneErrorLine(run);
    }
    EXPECT_FALSE(fs::exists(Path("out")));
    EXPECT_EQ(ReadBytes(Path("k.bin")), before);
}

} // namespace
