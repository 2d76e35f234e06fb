// zorptool on synthetic Sonic 2 images of the three revisions: show prints
// the level select names from the screen map; stages export, import and png
// cover the half-pipe stages; an import that grows the data is refused
// without --grow and appended with it.
#include <gtest/gtest.h>

#include "ZorptoolRun.h"

#include "linked/LinkedCodecs.h"
#include "rom/tests/RomTestFiles.h"
#include "stage/S2StageData.h"
#include "template/tests/S2TestData.h"

using namespace zorp;
using namespace romtest;

namespace {

zorptest::ToolRun Tool(const ScratchDir& dir, const std::vector<std::string>& words)
{
    return zorptest::RunZorptool(dir.str(), words);
}

TEST(ZorptoolSonicTwo, ShowPrintsTheLevelSelectNames)
{
    for (const s2test::Revision& r : s2test::kRevisions) {
        SCOPED_TRACE(r.name);
        auto image = s2test::Image(r);
        if (!image)
            GTEST_SKIP() << "corpus not found";
        ScratchDir dir;
        WriteFile(dir.file("s2.bin"), *image);
        const auto run = Tool(dir, {"show", dir.file("s2.bin")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("  EMERALD HILL: Emerald Hill act 1, Emerald Hill act 2\n"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("  METROPOLIS: Metropolis act 1, Metropolis act 2, Metropolis act 3\n"), std::string::npos);
        EXPECT_NE(run.out.find("  SOUND TEST: Sound Test\n"), std::string::npos);
        EXPECT_NE(run.out.find("  stage 4: 56 segments, 252 rings, 142 bombs; rings needed 40/40, 100/110, "
                               "150/150 (team/alone)\n"),
                  std::string::npos)
            << run.out;
    }
}

TEST(ZorptoolSonicTwo, StagesExportImportAndPictures)
{
    const s2test::Revision& r = s2test::kRevisions[2];
    auto image = s2test::Image(r);
    if (!image)
        GTEST_SKIP() << "corpus not found";
    ScratchDir dir;
    const std::string rom = dir.file("s2.bin");
    WriteFile(rom, *image);
    const std::string out = dir.file("stages");

    auto run = Tool(dir, {"stages", "export", rom, out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(out + "/s2_layouts.bin")->size(), 384u);
    EXPECT_EQ(ReadFileBytes(out + "/s2_objects.bin")->size(), 6880u);
    EXPECT_EQ(ReadFileBytes(out + "/s2_rings.bin")->size(), 56u);

    // Unchanged files change no byte.
    run = Tool(dir, {"stages", "import", rom, out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("nothing changed"), std::string::npos);
    EXPECT_EQ(*ReadFileBytes(rom), *image);

    // Every object's angle changed: the object lists' stream outgrows its room.
    Bytes objects = *ReadFileBytes(out + "/s2_objects.bin");
    S2ObjectListsRead lists = ReadS2ObjectLists(objects);
    ASSERT_TRUE(lists.ok());
    uint8_t angle = 0;
    for (auto& stage : lists.lists.stages)
        for (auto& list : stage.lists)
            for (auto& object : list.objects)
                object.angle = (angle = static_cast<uint8_t>(angle * 73 + 41));
    WriteFile(out + "/s2_objects.bin", WriteS2ObjectLists(lists.lists));
    run = Tool(dir, {"stages", "import", rom, out});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("--grow"), std::string::npos) << run.err;
    EXPECT_EQ(*ReadFileBytes(rom), *image);
    run = Tool(dir, {"stages", "import", "--grow", rom, out});
    ASSERT_EQ(run.status, 0) << run.err;
    const Bytes grown = *ReadFileBytes(rom);
    EXPECT_EQ(grown.size(), 0x200000u);
    const uint32_t pointer = r.objectLea + 2;
    EXPECT_EQ(Bytes(grown.begin() + pointer, grown.begin() + pointer + 4), (Bytes{0x00, 0x10, 0x00, 0x00}));

    // The grown image reads back as imported.
    run = Tool(dir, {"stages", "export", rom, dir.file("again")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(*ReadFileBytes(dir.file("again") + "/s2_objects.bin"), WriteS2ObjectLists(lists.lists));

#ifdef ZORPTOOL_STAGE_PICTURES
    run = Tool(dir, {"stages", "png", rom, dir.file("pictures")});
    ASSERT_EQ(run.status, 0) << run.err;
    for (int s = 1; s <= 7; ++s)
        EXPECT_GT(ReadFileBytes(dir.file("pictures") + "/stage" + std::to_string(s) + ".png")->size(), 1000u);
#endif
}

} // namespace
