// zorptool kosinski, run as a program on files in a scratch folder.
#include <gtest/gtest.h>

#include "ZorptoolRun.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

class KosinskiCommand : public zorptest::ScratchFolderTest {
protected:
    static Bytes ReadPath(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    // Exit status of zorptool with the words after "kosinski"; stderr is kept.
    int Run(const std::vector<std::string>& words)
    {
        std::vector<std::string> args{"kosinski"};
        args.insert(args.end(), words.begin(), words.end());
        const zorptest::ToolRun run = zorptest::RunZorptool(dir_.string(), args);
        err_ = Bytes(run.err.begin(), run.err.end());
        return run.status;
    }

    std::string Err() const { return std::string(err_.begin(), err_.end()); }

    Bytes err_;
};

TEST_F(KosinskiCommand, CompressGivesTheFixedStream)
{
    const std::string in = Write("in.bin", {0x41});
    ASSERT_EQ(Run({"compress", in, Path("out.kos")}), 0) << Err();
    EXPECT_EQ(ReadPath(Path("out.kos")), (Bytes{0x05, 0x00, 0x41, 0x00, 0x00, 0x00}));
}

TEST_F(KosinskiCommand, CompressOptimalUsesOverlappingCopies)
{
    const std::string in = Write("in.bin", Bytes(6, 0x41));
    ASSERT_EQ(Run({"compress", "--optimal", in, Path("out.kos")}), 0) << Err();
    EXPECT_EQ(ReadPath(Path("out.kos")), (Bytes{0x59, 0x00, 0x41, 0xFF, 0x00, 0x00, 0x00}));
    ASSERT_EQ(Run({"compress", in, Path("fixed.kos")}), 0) << Err();
    EXPECT_EQ(ReadPath(Path("fixed.kos")), (Bytes{0x47, 0x01, 0x41, 0x41, 0x41, 0xFD, 0x00, 0x00, 0x00}));
}

TEST_F(KosinskiCommand, DecompressAtAnOffset)
{
    const std::string in = Write("rom.bin", {0xAA, 0xBB, 0x05, 0x00, 0x41, 0x00, 0x00, 0x00, 0xFF});
    for (const char* offset : {"2", "0x2", "0X02"}) {
        std::error_code ec;
        fs::remove(Path("out.bin"), ec);
        ASSERT_EQ(Run({"decompress", in, Path("out.bin"), "--offset", offset}), 0) << offset << Err();
        EXPECT_EQ(ReadPath(Path("out.bin")), Bytes{0x41}) << offset;
    }
}

TEST_F(KosinskiCommand, RoundTripOfTheSpecialStageBlock)
{
    const std::string corpus = std::string(ZORP_CORPUS_DIR) + "/kosinski/sk__General__Special_Stage__Layout__SK_Set_1.kos";
    if (!fs::exists(corpus))
        GTEST_SKIP() << "corpus not found";
    const Bytes original = ReadPath(corpus + ".dec");
    ASSERT_EQ(Run({"decompress", corpus, Path("stages.bin")}), 0) << Err();
    EXPECT_EQ(ReadPath(Path("stages.bin")), original);
    ASSERT_EQ(Run({"compress", "--optimal", Path("stages.bin"), Path("small.kos")}), 0) << Err();
    EXPECT_LE(fs::file_size(Path("small.kos")), 1540u);
    ASSERT_EQ(Run({"decompress", Path("small.kos"), Path("back.bin")}), 0) << Err();
    EXPECT_EQ(ReadPath(Path("back.bin")), original);
}

TEST_F(KosinskiCommand, UsageErrorsExitWith2)
{
    const std::string in = Write("in.bin", {0x41});
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", in, Path("o")},
        {"compress", in},
        {"compress", in, Path("o"), Path("extra")},
        {"compress", "--fast", in, Path("o")},
        {"decompress", in},
        {"decompress", in, Path("o"), "--offset"},
        {"decompress", in, Path("o"), "--offset", "abc"},
        {"decompress", in, Path("o"), "--offset", "-1"},
        {"decompress", in, Path("o"), "--offset", "12x"},
    };
    for (const auto& words : cases) {
        EXPECT_EQ(Run(words), 2) << ::testing::PrintToString(words);
        EXPECT_NE(Err().find("usage: zorptool kosinski"), std::string::npos) << Err();
    }
    EXPECT_FALSE(fs::exists(Path("o")));
}

TEST_F(KosinskiCommand, FailuresExitWith1AndWriteNothing)
{
    const std::string truncated = Write("cut.kos", {0x05, 0x00, 0x41, 0x00, 0x00});
    const std::string before = Write("before.kos", {0x00, 0x00, 0xFF});
    const std::string ok = Write("ok.kos", {0x05, 0x00, 0x41, 0x00, 0x00, 0x00});
    struct Case {
        std::vector<std::string> words;
        const char* message;
    };
    const Case cases[] = {
        {{"decompress", truncated, Path("o")}, "ends before its end marker"},
        {{"decompress", before, Path("o")}, "before the start"},
        {{"decompress", ok, Path("o"), "--offset", "7"}, "beyond the end"},
        {{"decompress", Path("missing.kos"), Path("o")}, "cannot read"},
        {{"compress", Path("missing.bin"), Path("o")}, "cannot read"},
        {{"compress", ok, Path("no/such/dir/o")}, "cannot write"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.words), 1) << ::testing::PrintToString(c.words);
        EXPECT_NE(Err().find(c.message), std::string::npos) << Err();
        EXPECT_EQ(Err().rfind("zorptool: ", 0), 0u) << Err();
    }
    EXPECT_FALSE(fs::exists(Path("o")));
}

TEST_F(KosinskiCommand, AFailedDecompressLeavesAnExistingOutputAlone)
{
    const std::string truncated = Write("cut.kos", {0x05, 0x00, 0x41});
    const std::string out = Write("keep.bin", {1, 2, 3});
    EXPECT_EQ(Run({"decompress", truncated, out}), 1);
    EXPECT_EQ(ReadPath(out), (Bytes{1, 2, 3}));
}

} // namespace
