// zorptool compress / decompress, run as a program: every format through
// both encoders and back out of the middle of a larger file, and the refusals.
#include <gtest/gtest.h>

#include "ZorptoolRun.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

using CompressCommands = zorptest::ScratchFolderTest;

// Two 8x8 tiles of 4-bit pixels with runs and repeats: data every format can
// hold (whole tiles for Nemesis, whole words for Enigma).
Bytes TileData()
{
    Bytes data;
    for (int i = 0; i < 64; ++i)
        data.push_back(static_cast<uint8_t>(i < 32 ? (i / 4) * 0x11 : 0x80 | (i % 3)));
    return data;
}

TEST_F(CompressCommands, EveryFormatAndEncoderRoundTripsFromTheMiddleOfAFile)
{
    const Bytes data = TileData();
    Write("data.bin", data);
    for (const char* format : {"kosinski", "kosm", "nemesis", "enigma"}) {
        for (bool exact : {false, true}) {
            SCOPED_TRACE(std::string(format) + (exact ? " exact" : " smallest"));
            std::vector<std::string> words{"compress", "--format", format, Path("data.bin"), Path("stream")};
            if (exact)
                words.insert(words.begin() + 1, "--exact");
            const zorptest::ToolRun packed = Run(words);
            ASSERT_EQ(packed.status, 0) << packed.err;
            const Bytes stream = Read("stream");
            EXPECT_NE(packed.out.find("into " + std::to_string(stream.size()) + " bytes"), std::string::npos)
                << packed.out;

            // The stream 0x123 bytes into a file, with other bytes after it.
            Bytes rom(0x123 + stream.size() + 40, 0x5A);
            std::fill_n(rom.begin(), 0x123, 0xA5);
            std::copy(stream.begin(), stream.end(), rom.begin() + 0x123);
            Write("rom.bin", rom);
            const zorptest::ToolRun unpacked =
                Run({"decompress", "--format", format, Path("rom.bin"), Path("back"), "--offset", "0x123"});
            ASSERT_EQ(unpacked.status, 0) << unpacked.err;
            EXPECT_EQ(Read("back"), data);
            // The stream used is the encoder's output without the padding
            // some formats put after the end (at most 15 bytes).
            size_t consumed = 0;
            ASSERT_EQ(std::sscanf(unpacked.out.c_str(), "decompressed %zu bytes", &consumed), 1) << unpacked.out;
            EXPECT_LE(consumed, stream.size());
            EXPECT_LT(stream.size() - consumed, 16u);
        }
    }
}

TEST_F(CompressCommands, RefusalsSayWhyAndWriteNothing)
{
    Write("data.bin", TileData());
    Write("cut.kos", {0x05, 0x00, 0x41});
    struct Case {
        std::vector<std::string> words;
        int status;
        std::string mention;
    };
    const std::vector<Case> cases{
        {{"compress", Path("data.bin"), Path("out")}, 2, "usage"},
        {{"compress", "--format", "lzss", Path("data.bin"), Path("out")}, 2, "usage"},
        {{"decompress", "--format", "kosinski", "--exact", Path("cut.kos"), Path("out")}, 2, "usage"},
        {{"decompress", "--format", "kosinski", Path("cut.kos"), Path("out"), "--offset", "x"}, 2, "usage"},
        {{"decompress", "--format", "kosinski", Path("cut.kos"), Path("out")}, 1, "end marker"},
        {{"decompress", "--format", "kosinski", Path("cut.kos"), Path("out"), "--offset", "3"}, 1, "past the end"},
        {{"compress", "--format", "kosinski", Path("missing.bin"), Path("out")}, 1, "no such file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words[0] + " " + c.mention);
        const zorptest::ToolRun run = Run(c.words);
        if (c.status == 2) {
            EXPECT_EQ(run.status, 2);
            EXPECT_NE(run.err.find(c.mention), std::string::npos) << run.err;
        } else {
            zorptest::ExpectOneLineError(run, c.status, c.mention);
        }
        EXPECT_FALSE(fs::exists(Path("out")));
    }
}

} // namespace
