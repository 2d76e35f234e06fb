#include <gtest/gtest.h>

#include <cstring>

#include "stage/S3SFile.h"
#include "StageTestData.h"

namespace zorp {
namespace {

// One suite for both single-stage versions: what differs is listed here.
struct S3SVersion {
    const char* name;
    int32_t kind;
    std::vector<uint8_t> (*save)(const StageGrid&, const S3STrailer&);
    S3SStage (*load)(const std::vector<uint8_t>&);
    size_t size;
    size_t gridOffset;
    size_t trailerOffset;
    int codes; // cell codes the format can hold
    std::vector<uint8_t> allFivesPattern;
};

const S3SVersion kV1{"v1", kS3SKindV1, SaveV1SS, LoadV1SS, 544, 19, 531, 16, {0x55}};
const S3SVersion kV2{"v2", kS3SKindV2, SaveV2SS, LoadV2SS, 416, 16, 400, 8, {0xB6, 0xDB, 0x6D}};

void PrintTo(const S3SVersion& v, std::ostream* os) { *os << v.name; }

class S3SVersionTest : public ::testing::TestWithParam<S3SVersion> {};

TEST_P(S3SVersionTest, GridAndStartDataRoundTrip)
{
    const S3SVersion& v = GetParam();
    const S3STrailer trailers[] = {
        {S3S_Up, 0, 0, 0}, {S3S_Down, 31, 0, 1024}, {S3S_Left, 5, 17, 258}, {S3S_Right, 31, 31, 0x3D}};
    unsigned seed = 10;
    for (int codes : {6, v.codes}) { // the editor's codes, then everything the format holds
        for (const S3STrailer& trailer : trailers) {
            const StageGrid grid = testdata::RandomGrid(seed++, codes);
            const std::vector<uint8_t> file = v.save(grid, trailer);
            ASSERT_EQ(file.size(), v.size);
            ASSERT_EQ(S3SFileKind(file), v.kind);
            const S3SStage back = v.load(file);
            EXPECT_EQ(back.cells, grid) << v.name << " codes " << codes;
            EXPECT_EQ(back.trailer.direction, trailer.direction);
            EXPECT_EQ(back.trailer.row, trailer.row);
            EXPECT_EQ(back.trailer.column, trailer.column);
            EXPECT_EQ(back.trailer.rings, trailer.rings);
            EXPECT_FALSE(back.comment.has_value());

            StartData start;
            ApplyTrailer(back.trailer, start);
            const std::vector<uint8_t> again = v.save(back.cells, TrailerFromStart(start));
            EXPECT_EQ(again, v.save(grid, trailer)) << v.name << ": editor import/export changed the file";
        }
    }
}

TEST_P(S3SVersionTest, AllFivesPackToTheKnownPattern)
{
    const S3SVersion& v = GetParam();
    const std::vector<uint8_t> file = v.save(testdata::FilledGrid(Yellow), S3STrailer{});
    const size_t packed = v.trailerOffset - v.gridOffset;
    for (size_t i = 0; i < packed; ++i)
        ASSERT_EQ(file[v.gridOffset + i], v.allFivesPattern[i % v.allFivesPattern.size()]) << v.name << " " << i;
}

TEST_P(S3SVersionTest, TrailerBytesSitAfterTheGrid)
{
    const S3SVersion& v = GetParam();
    const std::vector<uint8_t> file = v.save(StageGrid{}, S3STrailer{S3S_Right, 7, 9, 0x0123});
    const std::vector<uint8_t> trailer(file.begin() + v.trailerOffset, file.end());
    std::vector<uint8_t> expected(v.size - v.trailerOffset, 0);
    expected[0] = 4; // direction
    expected[1] = 7; // row before column
    expected[2] = 9;
    expected[3] = 0x01;
    expected[4] = 0x23;
    EXPECT_EQ(trailer, expected);
}

TEST_P(S3SVersionTest, CellIndexOrderIsFileOrder)
{
    const S3SVersion& v = GetParam();
    StageGrid grid{};
    grid[0] = Red;           // first cell: top bits of the first packed byte
    grid[CellIndex(1, 1)] = Star;
    grid[1023] = Blue;       // last cell: bottom bits of the last packed byte
    const std::vector<uint8_t> file = v.save(grid, S3STrailer{});
    EXPECT_EQ(file[v.gridOffset] >> (v.codes == 16 ? 4 : 5), Red);
    EXPECT_EQ(file[v.trailerOffset - 1] & (v.codes - 1), Blue);
    EXPECT_EQ(v.load(file).cells[33], Star);
}

TEST_P(S3SVersionTest, CodesTooLargeForTheFormatAreMasked)
{
    const S3SVersion& v = GetParam();
    StageGrid grid{};
    grid[4] = static_cast<uint8_t>(v.codes + 3);
    grid[5] = 0xFF;
    const S3SStage back = v.load(v.save(grid, S3STrailer{}));
    EXPECT_EQ(back.cells[4], 3);
    EXPECT_EQ(back.cells[5], v.codes - 1);
    EXPECT_EQ(back.cells[3], 0);
    EXPECT_EQ(back.cells[6], 0);
}

TEST_P(S3SVersionTest, TruncatedFilesReadMissingBytesAsZero)
{
    const S3SVersion& v = GetParam();
    const StageGrid grid = testdata::RandomGrid(99, 6);
    const std::vector<uint8_t> full = v.save(grid, S3STrailer{S3S_Left, 3, 4, 500});
    for (size_t cut : {size_t{0}, v.gridOffset, v.gridOffset + 30, v.trailerOffset, v.trailerOffset + 2, v.size - 1}) {
        const std::vector<uint8_t> file(full.begin(), full.begin() + cut);
        const S3SStage back = v.load(file);
        // Cells whose packed bytes are all present keep their value; cells
        // with none of them present are 0.
        const size_t packedPresent = cut > v.gridOffset ? cut - v.gridOffset : 0;
        const size_t bytesPerGroup = v.codes == 16 ? 1 : 3;
        const size_t cellsPerGroup = v.codes == 16 ? 2 : 8;
        for (size_t i = 0; i < kStageCells; ++i) {
            const size_t first = (i / cellsPerGroup) * bytesPerGroup;
            const size_t last = first + bytesPerGroup - 1;
            if (last < packedPresent) {
                ASSERT_EQ(back.cells[i], grid[i]) << v.name << " cut " << cut << " cell " << i;
            } else if (first >= packedPresent) {
                ASSERT_EQ(back.cells[i], 0) << v.name << " cut " << cut << " cell " << i;
            }
        }
        if (cut <= v.trailerOffset) {
            EXPECT_EQ(back.trailer.direction, 0);
            EXPECT_EQ(back.trailer.rings, 0);
        }
        if (cut == v.trailerOffset + 2) {
            EXPECT_EQ(back.trailer.direction, S3S_Left);
            EXPECT_EQ(back.trailer.row, 3);
            EXPECT_EQ(back.trailer.column, 0);
        }
    }
}

TEST_P(S3SVersionTest, RealStagesRoundTrip)
{
    const S3SVersion& v = GetParam();
    auto set = testdata::SkStageSet();
    if (!set)
        GTEST_SKIP() << "corpus not available";
    for (int k = 0; k < 8; ++k) {
        const StageRecord record = ReadStageRecord(*set, k);
        StartData start;
        ApplyProperties(record.properties, start);
        const S3SStage back = v.load(v.save(record.cells, TrailerFromStart(start)));
        EXPECT_EQ(back.cells, record.cells) << "stage " << k;
        StartData loaded;
        ApplyTrailer(back.trailer, loaded);
        EXPECT_EQ(MakeProperties(loaded), record.properties) << "stage " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, S3SVersionTest, ::testing::Values(kV1, kV2),
                         [](const auto& p) { return std::string(p.param.name); });

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(S3SFileKindTest, SignaturesInOrder)
{
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        int32_t kind;
    } cases[] = {
        {"v1 signature alone", Bytes("ZORP_S3SPECIALSTAGE"), 1},
        {"v1 signature one short", Bytes("ZORP_S3SPECIALSTAG"), 0},
        {"v2 signature", Bytes("ZORP_S3S_V2.00  and more"), 2},
        {"v2 without its blanks", Bytes("ZORP_S3S_V2.00"), 0},
        {"v2 with one blank", Bytes("ZORP_S3S_V2.00 X"), 0},
        {"compilation", Bytes("ZORP_S3S_C      "), 52428},
        {"compilation without blanks", Bytes("ZORP_S3S_C"), 0},
        {"lower case", Bytes("zorp_s3specialstage"), 0},
        {"empty", {}, 0},
        {"other file", Bytes("RIFF....WAVEfmt "), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(S3SFileKind(c.bytes), c.kind) << c.what;
    EXPECT_EQ(S3SFileKind(nullptr, 0), 0);
}

TEST(S3STrailerTest, LoadingAVersion1Trailer)
{
    const struct {
        const char* what;
        S3STrailer trailer;
        int16_t direction;
        int32_t row, column, rings;
    } cases[] = {
        {"direction 0 loads as Up", {0, 1, 2, 3}, S3S_Up, 1, 2, 3},
        {"direction 9 loads as Up", {9, 0, 0, 0}, S3S_Up, 0, 0, 0},
        {"04 01 is 1024 rings", {S3S_Down, 0, 0, 0x0401}, S3S_Down, 0, 0, 1024},
        {"row before column", {S3S_Right, 20, 30, 0x90}, S3S_Right, 20, 30, 0x90},
    };
    for (const auto& c : cases) {
        StartData start{S3S_Left, 0, 0, 0};
        ApplyTrailer(LoadV1SS(SaveV1SS(StageGrid{}, c.trailer)).trailer, start);
        EXPECT_EQ(start.Direction, c.direction) << c.what;
        EXPECT_EQ(start.Row, c.row) << c.what;
        EXPECT_EQ(start.Column, c.column) << c.what;
        EXPECT_EQ(start.Rings, c.rings) << c.what;
    }
}

TEST(S3STrailerTest, FromStartData)
{
    const struct {
        const char* what;
        StartData start;
        uint8_t direction, row, column;
        uint16_t rings;
    } cases[] = {
        {"plain", {S3S_Left, 11, 12, 300}, 3, 12, 11, 300},
        {"unset direction", {0, 0, 0, 0}, 0, 0, 0, 0},
        {"invalid direction", {77, 1, 1, 1}, 0, 1, 1, 1},
        {"rings clamped", {S3S_Up, 0, 0, 5000}, 1, 0, 0, 1024},
        {"negative clamped", {S3S_Up, -4, -4, -4}, 1, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const S3STrailer t = TrailerFromStart(c.start);
        EXPECT_EQ(t.direction, c.direction) << c.what;
        EXPECT_EQ(t.row, c.row) << c.what;
        EXPECT_EQ(t.column, c.column) << c.what;
        EXPECT_EQ(t.rings, c.rings) << c.what;
    }
}

TEST(S3SCommentTest, CommentAfterVersion2Stage)
{
    const std::vector<uint8_t> base = SaveV2SS(testdata::RandomGrid(5, 8), S3STrailer{S3S_Up, 1, 2, 3});
    auto with = [&base](std::vector<uint8_t> tail) {
        std::vector<uint8_t> file = base;
        file.insert(file.end(), tail.begin(), tail.end());
        return file;
    };
    const struct {
        const char* what;
        std::vector<uint8_t> file;
        std::optional<std::string> comment;
    } cases[] = {
        {"416 bytes: none", base, std::nullopt},
        {"417 bytes ending 0xFF: none", with({0xFF}), std::nullopt},
        {"417 bytes: one character", with({'A'}), std::string("A")},
        {"stops at the first 0xFF", with({'A', 'B', 0xFF, 'C'}), std::string("AB")},
        {"no 0xFF: every byte", with({'h', 'i', 0x00, 0xE9, '\n'}), std::string("hi\0\xE9\n", 5)},
    };
    for (const auto& c : cases) {
        const S3SStage stage = LoadV2SS(c.file);
        EXPECT_EQ(stage.comment, c.comment) << c.what;
        EXPECT_EQ(stage.cells, testdata::RandomGrid(5, 8)) << c.what;
    }
}

} // namespace
} // namespace zorp
