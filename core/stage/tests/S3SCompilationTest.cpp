#include <gtest/gtest.h>

#include <cstring>

#include "stage/S3SFile.h"
#include "StageTestData.h"

namespace zorp {
namespace {

struct Entry {
    std::string name;
    std::string description;
};

void PutU16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

// Signature, D, the two header texts, F, N and the entries. `count` overrides
// N when a test wants it to disagree with the entries.
std::vector<uint8_t> BuildIndex(uint32_t d, uint8_t format, const std::vector<Entry>& entries,
                                std::optional<uint32_t> count = std::nullopt, const std::string& text1 = "Author",
                                const std::string& text2 = "A set of stages")
{
    std::vector<uint8_t> out(kS3SSignatureC, kS3SSignatureC + 16);
    for (int shift : {24, 16, 8, 0})
        out.push_back(static_cast<uint8_t>(d >> shift));
    out.push_back(static_cast<uint8_t>(text1.size()));
    out.insert(out.end(), text1.begin(), text1.end());
    PutU16(out, static_cast<uint32_t>(text2.size()));
    out.insert(out.end(), text2.begin(), text2.end());
    out.push_back(format);
    PutU16(out, count.value_or(static_cast<uint32_t>(entries.size())));
    for (const Entry& e : entries) {
        out.push_back(static_cast<uint8_t>(e.name.size()));
        out.insert(out.end(), e.name.begin(), e.name.end());
        PutU16(out, static_cast<uint32_t>(e.description.size()));
        out.insert(out.end(), e.description.begin(), e.description.end());
    }
    return out;
}

// Writes stage k of the data area exactly as the single-stage files pack it.
void PutStage(std::vector<uint8_t>& file, uint32_t d, uint8_t format, int k, const StageGrid& grid,
              const S3STrailer& trailer)
{
    const std::vector<uint8_t> single = format == 1 ? SaveV1SS(grid, trailer) : SaveV2SS(grid, trailer);
    const size_t skip = format == 1 ? 19 : 16;
    const size_t stride = format == 1 ? 525 : 400;
    const size_t at = d + 18 + stride * static_cast<size_t>(k);
    if (file.size() < at + stride)
        file.resize(at + stride, 0xEE);
    std::copy(single.begin() + static_cast<std::ptrdiff_t>(skip), single.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
}

const std::vector<Entry> kThree = {{"Easy", "The first one"}, {"Medium", ""}, {"Hard", "Good luck"}};

class S3SCFormatTest : public ::testing::TestWithParam<uint8_t> {};

TEST_P(S3SCFormatTest, EveryStageLoadsFromItsOffset)
{
    const uint8_t format = GetParam();
    const uint32_t d = 300; // a gap between the index and the data area
    std::vector<uint8_t> file = BuildIndex(d, format, kThree);
    ASSERT_LT(file.size(), d + 18);
    const S3STrailer trailers[] = {{S3S_Up, 1, 2, 3}, {S3S_Left, 4, 5, 1025}, {0, 30, 31, 0x90}};
    for (int k = 0; k < 3; ++k)
        PutStage(file, d, format, k, testdata::RandomGrid(50 + k, 6), trailers[k]);

    S3SCIndex index;
    std::string error;
    ASSERT_TRUE(ReadS3SCIndex(file, index, error)) << error;
    EXPECT_EQ(index.dataOffset, d);
    EXPECT_EQ(index.format, format);
    ASSERT_EQ(index.entries.size(), 3u);

    const uint64_t stride = format == 1 ? 525 : 400;
    for (int k = 0; k < 3; ++k) {
        uint64_t offset = 0;
        ASSERT_TRUE(S3SCStageOffset(index, k, offset));
        EXPECT_EQ(offset, d + 18 + stride * k);
        S3SStage stage;
        ASSERT_TRUE(LoadS3SCStage(file, index, k, stage, error)) << error;
        EXPECT_EQ(stage.cells, testdata::RandomGrid(50 + k, 6)) << "stage " << k;
        EXPECT_EQ(stage.trailer.direction, trailers[k].direction);
        EXPECT_EQ(stage.trailer.row, trailers[k].row);
        EXPECT_EQ(stage.trailer.column, trailers[k].column);
        EXPECT_EQ(stage.trailer.rings, trailers[k].rings);
        EXPECT_FALSE(stage.comment.has_value());
    }
}

TEST_P(S3SCFormatTest, StageCutShortReadsZerosButStageAtTheEndIsRefused)
{
    const uint8_t format = GetParam();
    const uint32_t d = 100;
    std::vector<uint8_t> file = BuildIndex(d, format, kThree);
    PutStage(file, d, format, 0, testdata::FilledGrid(Blue), S3STrailer{S3S_Down, 1, 1, 10});
    PutStage(file, d, format, 1, testdata::FilledGrid(Red), S3STrailer{S3S_Down, 1, 1, 10});
    const size_t stride = format == 1 ? 525 : 400;
    file.resize(d + 18 + stride + 10); // stage 1 cut after 10 packed bytes, stage 2 absent

    S3SCIndex index;
    std::string error;
    ASSERT_TRUE(ReadS3SCIndex(file, index, error)) << error;
    S3SStage stage;
    ASSERT_TRUE(LoadS3SCStage(file, index, 1, stage, error)) << error;
    EXPECT_EQ(stage.cells[0], Red);
    EXPECT_EQ(stage.cells[1023], 0);
    EXPECT_EQ(stage.trailer.direction, 0);
    EXPECT_EQ(stage.trailer.rings, 0);

    stage = S3SStage{};
    stage.cells.fill(9);
    error.clear();
    EXPECT_FALSE(LoadS3SCStage(file, index, 2, stage, error));
    EXPECT_NE(error.find("past the end"), std::string::npos) << error;
    EXPECT_EQ(stage.cells[0], 9) << "a refused load must leave the stage alone";
}

INSTANTIATE_TEST_SUITE_P(Formats, S3SCFormatTest, ::testing::Values(uint8_t{1}, uint8_t{2}),
                         [](const auto& p) { return "F" + std::to_string(p.param); });

TEST(S3SCompilation, Format2ThreeStagesPutsStage2At800PastTheDataStart)
{
    const uint32_t d = 1000;
    std::vector<uint8_t> file = BuildIndex(d, 2, kThree);
    PutStage(file, d, 2, 2, testdata::FilledGrid(Star), S3STrailer{S3S_Right, 0, 0, 0});
    S3SCIndex index;
    std::string error;
    ASSERT_TRUE(ReadS3SCIndex(file, index, error)) << error;
    uint64_t offset = 0;
    ASSERT_TRUE(S3SCStageOffset(index, 2, offset));
    EXPECT_EQ(offset, d + 18u + 800u);
    EXPECT_EQ(file.size(), d + 18u + 1200u);
    S3SStage stage;
    ASSERT_TRUE(LoadS3SCStage(file, index, 2, stage, error)) << error;
    EXPECT_EQ(stage.cells, testdata::FilledGrid(Star));
}

TEST(S3SCompilation, NamesDescriptionsAndHeaderTexts)
{
    const std::string longText(300, 'x');
    const std::vector<Entry> entries = {{"A", ""}, {std::string(255, 'N'), "d\xE9scription"}, {"\x80\xFF", "z"}};
    std::vector<uint8_t> file = BuildIndex(0, 1, entries, std::nullopt, std::string(255, 'h'), longText);
    S3SCIndex index;
    std::string error;
    ASSERT_TRUE(ReadS3SCIndex(file, index, error)) << error;
    ASSERT_EQ(index.entries.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(index.entries[i].name, entries[i].name) << i;
        EXPECT_EQ(index.entries[i].description, entries[i].description) << i;
    }
}

TEST(S3SCompilation, EmptyIndexIsValid)
{
    S3SCIndex index;
    std::string error;
    ASSERT_TRUE(ReadS3SCIndex(BuildIndex(0, 2, {}), index, error)) << error;
    EXPECT_TRUE(index.entries.empty());
    S3SStage stage;
    EXPECT_FALSE(LoadS3SCStage(BuildIndex(0, 2, {}), index, 0, stage, error));
}

TEST(S3SCompilation, EveryTruncationOfTheIndexIsRefused)
{
    const std::vector<uint8_t> full = BuildIndex(0, 2, kThree);
    for (size_t cut = 16; cut < full.size(); ++cut) {
        const std::vector<uint8_t> file(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
        S3SCIndex index;
        index.format = 77;
        std::string error;
        EXPECT_FALSE(ReadS3SCIndex(file, index, error)) << "cut at " << cut;
        EXPECT_NE(error.find("past the end"), std::string::npos) << "cut at " << cut << ": " << error;
        EXPECT_EQ(index.format, 77) << "a refused index must leave the output alone";
    }
    S3SCIndex index;
    std::string error;
    EXPECT_TRUE(ReadS3SCIndex(full, index, error)) << error;
}

TEST(S3SCompilation, DamagedIndexesAreRefused)
{
    std::vector<uint8_t> zeroName = BuildIndex(0, 2, {{"Fine", ""}, {"", "no name"}, {"Later", ""}});
    std::vector<uint8_t> hugeCount = BuildIndex(0, 2, {{"One", ""}, {"Two", ""}}, 65535);
    std::vector<uint8_t> longSecondText = BuildIndex(0, 2, {});
    // L2 sits after the signature, D, L1 and the first text ("Author").
    longSecondText[16 + 4 + 1 + 6] = 0xFF;
    longSecondText[16 + 4 + 1 + 6 + 1] = 0xFF;
    std::vector<uint8_t> longFirstText = BuildIndex(0, 2, {{"x", ""}}, std::nullopt, "");
    longFirstText[20] = 0xFF;
    std::vector<uint8_t> longDescription = BuildIndex(0, 2, {{"x", "abc"}});
    longDescription[longDescription.size() - 5] = 0x7F; // m high byte

    const struct {
        const char* what;
        std::vector<uint8_t> file;
        const char* messagePart;
    } cases[] = {
        {"name length 0", zeroName, "empty name"},
        {"N = 65535 with two entries", hugeCount, "past the end"},
        {"second header text past the end", longSecondText, "past the end"},
        {"first header text past the end", longFirstText, "past the end"},
        {"description past the end", longDescription, "past the end"},
        {"only the signature", std::vector<uint8_t>(kS3SSignatureC, kS3SSignatureC + 16), "past the end"},
        {"not a compilation", SaveV2SS(StageGrid{}, S3STrailer{}), "not an S3S/C"},
    };
    for (const auto& c : cases) {
        S3SCIndex index;
        std::string error;
        EXPECT_FALSE(ReadS3SCIndex(c.file, index, error)) << c.what;
        EXPECT_NE(error.find(c.messagePart), std::string::npos) << c.what << ": " << error;
    }
}

TEST(S3SCompilation, LargeDataOffsetsDoNotWrapAround)
{
    for (uint32_t d : {0xFFFFFFFFu, 0xFFFFFFEEu, 0x80000000u}) {
        const std::vector<uint8_t> file = BuildIndex(d, 1, kThree);
        S3SCIndex index;
        std::string error;
        ASSERT_TRUE(ReadS3SCIndex(file, index, error)) << error;
        uint64_t offset = 0;
        ASSERT_TRUE(S3SCStageOffset(index, 2, offset));
        EXPECT_EQ(offset, uint64_t{d} + 18 + 2 * 525);
        S3SStage stage;
        EXPECT_FALSE(LoadS3SCStage(file, index, 2, stage, error)) << d;
        EXPECT_NE(error.find("past the end"), std::string::npos) << error;
    }
    // The largest index a 16-bit count allows, with the largest D.
    S3SCIndex index;
    index.dataOffset = 0xFFFFFFFF;
    index.format = 1;
    uint64_t offset = 0;
    ASSERT_TRUE(S3SCStageOffset(index, 65534, offset));
    EXPECT_EQ(offset, 0xFFFFFFFFull + 18 + 525ull * 65534);
}

TEST(S3SCompilation, BadStageRequestsAreRefused)
{
    std::vector<uint8_t> file = BuildIndex(200, 2, kThree);
    for (int k = 0; k < 3; ++k)
        PutStage(file, 200, 2, k, StageGrid{}, S3STrailer{});
    S3SCIndex index;
    std::string error;
    ASSERT_TRUE(ReadS3SCIndex(file, index, error)) << error;
    S3SStage stage;
    for (int k : {-1, 3, 65535}) {
        error.clear();
        EXPECT_FALSE(LoadS3SCStage(file, index, k, stage, error)) << k;
        EXPECT_NE(error.find("no stage"), std::string::npos) << error;
    }
    for (uint8_t format : {uint8_t{0}, uint8_t{3}, uint8_t{255}}) {
        index.format = format;
        error.clear();
        EXPECT_FALSE(LoadS3SCStage(file, index, 0, stage, error)) << int(format);
        EXPECT_NE(error.find("format"), std::string::npos) << error;
        uint64_t offset = 0;
        EXPECT_FALSE(S3SCStageOffset(index, 0, offset));
    }
}

TEST(S3SCompilation, StartDataIsTakenDirectly)
{
    const struct {
        S3STrailer trailer;
        int16_t direction;
        int32_t rings;
    } cases[] = {{{0, 1, 2, 3}, 0, 3}, {{S3S_Right, 1, 2, 3}, S3S_Right, 3}, {{9, 0, 0, 0x0401}, 9, 1024}};
    for (const auto& c : cases) {
        StartData start{S3S_Up, 0, 0, 0};
        ApplyCompilationTrailer(c.trailer, start);
        EXPECT_EQ(start.Direction, c.direction);
        EXPECT_EQ(start.Row, c.trailer.row);
        EXPECT_EQ(start.Column, c.trailer.column);
        EXPECT_EQ(start.Rings, c.rings);
    }
}

} // namespace
} // namespace zorp
