// zorptool stages on Sonic 1 images laid out as in the game facts, read with
// the shipped templates (S1.ZORP for REV00, S1_J.ZORP for REV01): export,
// an unchanged round trip, a grown stage, a full image with and without
// --grow, pictures, and files of the wrong size.
#include <gtest/gtest.h>

#include <filesystem>

#include "ZorptoolRun.h"
#include "linked/LinkedCodecs.h"
#include "rom/PubFunctions.h"
#include "rom/RomSave.h"
#include "template/S1StageBlock.h"
#include "template/tests/S1StageImages.h"

using namespace zorp;
using namespace s1test;

namespace {

namespace fs = std::filesystem;

class StagesSonic1 : public ::testing::Test {
protected:
    zorptest::ToolRun Run(const std::vector<std::string>& args) const
    {
        std::vector<std::string> words{"stages"};
        words.insert(words.end(), args.begin(), args.end());
        return zorptest::RunZorptool(dir_.str(), words);
    }
    std::string Path(const std::string& name) const { return dir_.file(name); }
    std::string In(const std::string& folder, const std::string& name) const
    {
        return (fs::path(Path(folder)) / name).string();
    }
    Image Write(const Revision& rev)
    {
        Image image = MakeImage(rev, LinkedCodecCalls());
        romtest::WriteFile(Path("s1.bin"), image.bytes);
        return image;
    }
    // Blocks in no pattern over `rows` rows: a much longer stream.
    static Bytes Scribbled(int stage, int rows)
    {
        S1Grid grid = MakeLayout(stage);
        for (int i = 0; i < rows * kS1Side; ++i)
            grid[static_cast<size_t>(S1CellIndex(i % kS1Side, 63 - i / kS1Side))] =
                static_cast<uint8_t>(kS1Ring + (i * 37 % 7));
        return BytesOf(grid);
    }

    romtest::ScratchDir dir_;
};

TEST_F(StagesSonic1, ExportThenImportChangesNoByte)
{
    for (const Revision* rev : {&kRev00, &kRev01}) {
        SCOPED_TRACE(rev->name);
        const Image image = Write(*rev);
        const zorptest::ToolRun out = Run({"export", Path("s1.bin"), Path("out")});
        ASSERT_EQ(out.status, 0) << out.err;
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(*ReadFileBytes(In("out", S1LayoutFileName(k))), BytesOf(MakeLayout(k))) << k;
            const Bytes stream = *ReadFileBytes(In("out", S1StreamFileName(k, CompressionFormat::Enigma)));
            EXPECT_EQ(LinkedCodecCalls().enigma.decode(stream, 0, kS1Cells).data, BytesOf(MakeLayout(k))) << k;
            EXPECT_EQ(ReadS1Start(*ReadFileBytes(In("out", S1StartFileName(k))), 0), kStarts[k]) << k;
        }
        const zorptest::ToolRun in = Run({"import", Path("s1.bin"), Path("out")});
        ASSERT_EQ(in.status, 0) << in.err;
        EXPECT_NE(in.out.find("no stage changed"), std::string::npos) << in.out;
        EXPECT_EQ(*ReadFileBytes(Path("s1.bin")), image.bytes);
    }
}

TEST_F(StagesSonic1, AGrownStageMovesAndAFullImageNeedsGrow)
{
    const Image image = Write(kRev00);
    ASSERT_EQ(Run({"export", Path("s1.bin"), Path("out")}).status, 0);
    romtest::WriteFile(In("out", S1LayoutFileName(1)), Scribbled(1, 3));
    const zorptest::ToolRun moved = Run({"import", Path("s1.bin"), Path("out")});
    ASSERT_EQ(moved.status, 0) << moved.err;
    EXPECT_NE(moved.out.find("moved to free space at 0x71366"), std::string::npos) << moved.out;
    Bytes now = *ReadFileBytes(Path("s1.bin"));
    ASSERT_EQ(now.size(), image.bytes.size());
    EXPECT_EQ(LoadS1Stages(SetupOf(kRev00), now, LinkedCodecCalls()).stages[1].cells, [] {
        S1Grid grid{};
        const Bytes b = Scribbled(1, 3);
        std::copy(b.begin(), b.end(), grid.begin());
        return grid;
    }());

    // A stage that fits nowhere: refused in one line, the file untouched.
    romtest::WriteFile(In("out", S1LayoutFileName(4)), Scribbled(4, 40));
    const zorptest::ToolRun refused = Run({"import", Path("s1.bin"), Path("out")});
    zorptest::ExpectOneLineError(refused, 1, "--grow");
    EXPECT_EQ(*ReadFileBytes(Path("s1.bin")), now);

    const zorptest::ToolRun grown = Run({"import", "--grow", "--fix-checksum", Path("s1.bin"), Path("out")});
    ASSERT_EQ(grown.status, 0) << grown.err;
    EXPECT_NE(grown.out.find("grew from 512 KiB to 1024 KiB"), std::string::npos) << grown.out;
    now = *ReadFileBytes(Path("s1.bin"));
    ASSERT_EQ(now.size(), 0x100000u);
    EXPECT_EQ(GenesisChecksum(now), StoredChecksum(now));
    EXPECT_EQ(Bytes(now.begin() + 0x1A4, now.begin() + 0x1A8), (Bytes{0, 0x0F, 0xFF, 0xFF}));
    EXPECT_EQ(LoadS1Stages(SetupOf(kRev00), now, LinkedCodecCalls()).streams[4].offset, 0x80000u);
}

TEST_F(StagesSonic1, PicturesAndBadFiles)
{
    Write(kRev01);
#ifdef ZORPTOOL_STAGE_PICTURES
    const zorptest::ToolRun png = Run({"png", Path("s1.bin"), Path("pics")});
    ASSERT_EQ(png.status, 0) << png.err;
    for (int k = 1; k <= 6; ++k)
        EXPECT_TRUE(fs::exists(In("pics", "stage" + std::to_string(k) + ".png"))) << k;
#endif
    fs::create_directories(Path("bad"));
    romtest::WriteFile(In("bad", S1LayoutFileName(2)), Bytes(4095, 0));
    zorptest::ExpectOneLineError(Run({"import", Path("s1.bin"), Path("bad")}), 1, "exactly 4096 bytes");
    zorptest::ExpectOneLineError(Run({"export", "--grow", Path("s1.bin"), Path("bad")}), 2, "--grow");
}

} // namespace
