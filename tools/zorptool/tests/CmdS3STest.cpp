// zorptool s3s, run as a program on files in a scratch folder.
#include <gtest/gtest.h>

#include "ZorptoolRun.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "stage/S3SFile.h"

namespace {

namespace fs = std::filesystem;

using RunResult = zorptest::ToolRun;

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class S3SCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("zorptool_s3s_" + std::to_string(rd()));
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        std::ofstream out(Path(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return Path(name);
    }

    std::vector<uint8_t> Read(const std::string& name) const
    {
        const std::string text = Slurp(Path(name));
        return {text.begin(), text.end()};
    }

    RunResult Run(const std::vector<std::string>& args) const
    {
        std::vector<std::string> words{"s3s"};
        words.insert(words.end(), args.begin(), args.end());
        return zorptest::RunZorptool(dir_.string(), words);
    }

    fs::path dir_;
};

zorp::StageGrid Grid(unsigned seed, int codes)
{
    std::mt19937 rng(seed);
    zorp::StageGrid grid{};
    for (uint8_t& cell : grid)
        cell = static_cast<uint8_t>(rng() % static_cast<unsigned>(codes));
    return grid;
}

void PutU16(std::vector<uint8_t>& out, size_t value)
{
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

// A compilation of format 2 whose data area starts right after the index.
std::vector<uint8_t> Compilation(const std::vector<std::pair<std::string, std::string>>& entries,
                                 const std::vector<zorp::StageGrid>& grids, std::optional<uint32_t> forcedD = {})
{
    std::vector<uint8_t> index(zorp::kS3SSignatureC, zorp::kS3SSignatureC + 16);
    index.insert(index.end(), 4, 0); // D, filled in below
    index.push_back(2);
    index.insert(index.end(), {'h', 'i'});
    PutU16(index, 0);
    index.push_back(2); // F
    PutU16(index, entries.size());
    for (const auto& [name, description] : entries) {
        index.push_back(static_cast<uint8_t>(name.size()));
        index.insert(index.end(), name.begin(), name.end());
        PutU16(index, description.size());
        index.insert(index.end(), description.begin(), description.end());
    }
    const uint32_t d = forcedD.value_or(static_cast<uint32_t>(index.size() - 18));
    for (int i = 0; i < 4; ++i)
        index[16 + i] = static_cast<uint8_t>(d >> (24 - 8 * i));
    for (size_t k = 0; k < grids.size(); ++k) {
        const std::vector<uint8_t> single =
            zorp::SaveV2SS(grids[k], zorp::S3STrailer{static_cast<uint8_t>(k + 1), 2, 3, static_cast<uint16_t>(10 * k)});
        index.insert(index.end(), single.begin() + 16, single.end());
    }
    return index;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST_F(S3SCommand, InfoShowsAVersion2Stage)
{
    std::vector<uint8_t> file = zorp::SaveV2SS(Grid(1, 1), zorp::S3STrailer{0, 7, 9, 0x0401});
    file[16] = 0x40; // cell 1 = 2 (blue)
    const std::string comment = "Made by\x01me";
    file.insert(file.end(), comment.begin(), comment.end());
    file.push_back(0xFF);
    file.push_back('x');
    const RunResult r = Run({"info", Write("a.s3s", file)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("kind: S3S version 2.00\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("start direction: Up (stored 0)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("start row: 7\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("start column: 9\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("perfect rings: 1024 (stored 1025)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("cells: empty 1023, red 0, blue 1,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("comment: Made by\\x01me\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("warning:"), std::string::npos) << r.out;

    // Without its one blue sphere the stage could never be finished.
    file[16] = 0x00;
    const RunResult none = Run({"info", Write("none.s3s", file)});
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_NE(none.out.find("cells: empty 1024, red 0, blue 0,"), std::string::npos) << none.out;
    EXPECT_NE(none.out.find("warning: no blue sphere, the stage can never be finished\n"), std::string::npos)
        << none.out;
}

// Each kind counted as itself: counts that differ kind by kind show a mix-up.
TEST_F(S3SCommand, InfoCountsEachKindOfObjectApart)
{
    zorp::StageGrid grid{};
    size_t at = 0;
    for (const auto& [code, count] : {std::pair{zorp::Red, 1}, std::pair{zorp::Blue, 2}, std::pair{zorp::Star, 3},
                                      std::pair{zorp::Ring, 4}, std::pair{zorp::Yellow, 5}}) {
        for (int i = 0; i < count; ++i)
            grid[at++] = code;
    }
    const RunResult r = Run({"info", Write("mix.s3s", zorp::SaveV2SS(grid, zorp::S3STrailer{S3S_Up, 1, 1, 0}))});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("cells: empty 1009, red 1, blue 2, star 3, ring 4, yellow 5, other 0\n"), std::string::npos)
        << r.out;
}

TEST_F(S3SCommand, InfoShowsAVersion1StageWithoutComment)
{
    const RunResult r = Run({"info", Write("a.s3s", zorp::SaveV1SS(Grid(2, 6), zorp::S3STrailer{S3S_Right, 1, 2, 64}))});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("kind: S3S version 1.00\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("start direction: Right (stored 4)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("perfect rings: 64\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("comment"), std::string::npos) << r.out;
}

TEST_F(S3SCommand, InfoListsACompilation)
{
    const auto file = Compilation({{"First", "easy one"}, {"Second", ""}}, {Grid(3, 6), Grid(4, 6)});
    RunResult r = Run({"info", Write("c.s3s", file)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("kind: S3S/C compilation\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("stages: 2\nstage 0: First\n  easy one\nstage 1: Second\n"), std::string::npos) << r.out;

    // Stages placed beyond the end of the file are marked.
    r = Run({"info", Write("far.s3s", Compilation({{"Lost", ""}}, {}, 0xFFFFFFF0u))});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("stage 0: Lost [not loadable]\n"), std::string::npos) << r.out;
}

TEST_F(S3SCommand, ConvertRoundTripsBetweenVersions)
{
    const std::vector<uint8_t> v2 = zorp::SaveV2SS(Grid(5, 6), zorp::S3STrailer{S3S_Down, 30, 31, 1024});
    Write("in.s3s", v2);
    RunResult r = Run({"convert", Path("in.s3s"), Path("v1.s3s"), "--version", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "wrote " + Path("v1.s3s") + " (S3S version 1.00, 544 bytes)\n");
    EXPECT_EQ(Read("v1.s3s"), zorp::SaveV1SS(Grid(5, 6), zorp::S3STrailer{S3S_Down, 30, 31, 1024}));

    r = Run({"--version", "2", "convert", Path("v1.s3s"), Path("back.s3s")});
    EXPECT_EQ(r.status, 2) << "options come after the subcommand word";
    r = Run({"convert", "--version", "2", Path("v1.s3s"), Path("back.s3s")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read("back.s3s"), v2);
}

TEST_F(S3SCommand, ConvertTakesACompilationStage)
{
    const auto file = Compilation({{"A", ""}, {"B", ""}, {"C", "third"}}, {Grid(6, 6), Grid(7, 6), Grid(8, 8)});
    Write("c.s3s", file);
    const RunResult r = Run({"convert", Path("c.s3s"), Path("s.s3s"), "--stage", "2", "--version", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    const zorp::S3SStage stage = zorp::LoadV2SS(Read("s.s3s"));
    EXPECT_EQ(stage.cells, Grid(8, 8));
    EXPECT_EQ(stage.trailer.direction, 3);
    EXPECT_EQ(stage.trailer.row, 2);
    EXPECT_EQ(stage.trailer.column, 3);
    EXPECT_EQ(stage.trailer.rings, 20);
}

TEST_F(S3SCommand, FailuresAreOneLineWithTheRightExitCode)
{
    Write("v1.s3s", zorp::SaveV1SS(Grid(9, 6), zorp::S3STrailer{}));
    zorp::StageGrid wide{};
    wide[100] = 9;
    Write("wide.s3s", zorp::SaveV1SS(wide, zorp::S3STrailer{}));
    Write("c.s3s", Compilation({{"A", ""}, {"B", ""}}, {Grid(1, 6), Grid(2, 6)}));
    Write("far.s3s", Compilation({{"A", ""}}, {Grid(1, 6)}, 0xFFFFFFFFu));
    auto noName = Compilation({{"A", ""}, {"B", ""}}, {});
    noName[noName.size() - 4] = 0; // the second name length
    Write("noname.s3s", noName);
    auto hugeN = Compilation({{"A", ""}}, {});
    hugeN[16 + 4 + 1 + 2 + 2 + 1] = 0xFF; // N high byte
    Write("hugen.s3s", hugeN);
    Write("text.txt", {'h', 'e', 'l', 'l', 'o'});
    const std::string out = Path("out.s3s");

    const struct {
        const char* what;
        std::vector<std::string> args;
        int status;
        const char* message;
    } cases[] = {
        {"no subcommand", {}, 2, "usage"},
        {"unknown subcommand", {"show", Path("v1.s3s")}, 2, "usage"},
        {"info without file", {"info"}, 2, "usage"},
        {"missing file", {"info", Path("nothere.s3s")}, 1, "cannot read"},
        {"not an S3S file", {"info", Path("text.txt")}, 1, "not an S3S file"},
        {"convert without version", {"convert", Path("v1.s3s"), out}, 2, "--version"},
        {"convert version 3", {"convert", Path("v1.s3s"), out, "--version", "3"}, 2, "--version must be 1 or 2"},
        {"convert version text", {"convert", Path("v1.s3s"), out, "--version", "2x"}, 2, "--version must be 1 or 2"},
        {"convert without out", {"convert", Path("v1.s3s"), "--version", "2"}, 2, "IN and OUT"},
        {"unknown option", {"convert", Path("v1.s3s"), out, "--version", "2", "--force"}, 2, "unknown option"},
        {"stage for a single stage", {"convert", Path("v1.s3s"), out, "--version", "2", "--stage", "0"}, 2, "--stage"},
        {"compilation without stage", {"convert", Path("c.s3s"), out, "--version", "2"}, 2, "--stage K"},
        {"negative stage", {"convert", Path("c.s3s"), out, "--version", "2", "--stage", "-1"}, 2, "--stage"},
        {"stage out of range", {"convert", Path("c.s3s"), out, "--version", "2", "--stage", "2"}, 1, "no stage 2"},
        {"stage past the end", {"convert", Path("far.s3s"), out, "--version", "2", "--stage", "0"}, 1, "past the end"},
        {"name length 0 (info)", {"info", Path("noname.s3s")}, 1, "empty name"},
        {"name length 0 (convert)", {"convert", Path("noname.s3s"), out, "--version", "1", "--stage", "0"}, 1,
         "empty name"},
        {"huge N", {"info", Path("hugen.s3s")}, 1, "past the end"},
        {"code 9 into version 2", {"convert", Path("wide.s3s"), out, "--version", "2"}, 1, "cannot store"},
        {"unwritable output", {"convert", Path("v1.s3s"), Path("no/such/dir/out.s3s"), "--version", "2"}, 1,
         "cannot write"},
    };
    for (const auto& c : cases) {
        const RunResult r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << c.what << ": " << r.err;
        EXPECT_EQ(Lines(r.err), 1) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << c.what << ": " << r.out;
        EXPECT_FALSE(fs::exists(out)) << c.what << " wrote output";
    }

    // Version 1 holds code 9, so that conversion works.
    const RunResult ok = Run({"convert", Path("wide.s3s"), out, "--version", "1"});
    EXPECT_EQ(ok.status, 0) << ok.err;
}

} // namespace
