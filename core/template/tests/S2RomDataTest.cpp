// Sonic 2's special stages and level select read from synthetic images laid
// out as each revision is, through the addresses the game loads them by;
// broken addresses and streams give a message, never a crash.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "S2TestData.h"
#include "rom/Md5.h"
#include "linked/LinkedCodecs.h"
#include "template/S2RomData.h"

namespace zorp {
namespace {

using namespace s2test;

TEST(S2RomData, EveryRevisionReadsItsStagesAndLevelSelect)
{
    const CodecCalls codec = LinkedCodecCalls();
    for (const Revision& r : kRevisions) {
        SCOPED_TRACE(r.name);
        auto image = Image(r);
        if (!image)
            GTEST_SKIP() << "corpus not found at " << ZORP_CORPUS_DIR;
        const ImageSource rom(*image);

        S2LevelSelectLoad levels = LoadS2LevelSelect(LevelsSetup(r), rom, codec);
        ASSERT_TRUE(levels.ok()) << levels.error->text();
        EXPECT_EQ(levels.mapStream.address, r.map);
        EXPECT_EQ(levels.mapStream.occupied, 340u);
        EXPECT_EQ(levels.model.Names().size(), 13u);
        EXPECT_EQ(levels.model.NameText(3), "CASINO NIGHT");
        EXPECT_EQ(levels.model.Order(21), kS2SoundTestEntry);

        if (!codec.nemesis.decode)
            continue; // the stages need the Nemesis decoder
        S2SpecialStageLoad stages = LoadS2SpecialStages(StagesSetup(r), rom, codec);
        ASSERT_TRUE(stages.ok()) << stages.error->text();
        EXPECT_EQ(stages.layoutStream.occupied, 260u);
        EXPECT_EQ(stages.objectStream.occupied, 3342u);
        EXPECT_EQ(stages.layouts.stages[3].size(), 56u);
        EXPECT_EQ(stages.objects.stages[6].lists.size(), 54u);
        EXPECT_EQ(stages.team[4][2], 200);
        EXPECT_EQ(stages.alone[6][1], 150);
        // Every original stage can be finished: each check has its rings.
        for (int s = 0; s < kS2Stages; ++s)
            EXPECT_TRUE(CheckS2Stage(stages.objects.stages[static_cast<size_t>(s)], stages.team[static_cast<size_t>(s)],
                                     stages.alone[static_cast<size_t>(s)])
                            .warnings.empty())
                << "stage " << s + 1;
    }
}

// Each kind of bad input disables the editor with a message that says what is wrong.
TEST(S2RomData, BadAddressesAndStreamsAreRefused)
{
    const Revision& r = kRevisions[1];
    auto image = Image(r);
    if (!image)
        GTEST_SKIP() << "corpus not found at " << ZORP_CORPUS_DIR;
    const CodecCalls codec = LinkedCodecCalls();
    struct Case {
        const char* name;
        std::function<void(Bytes&, S2LevelSelectSetup&)> damage;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"address past the end", [&](Bytes& b, S2LevelSelectSetup&) { b[r.levelSelectLea + 2] = 0x7F; }, "past the end"},
        {"pointer past the end", [](Bytes&, S2LevelSelectSetup& s) { s.map.pointer = 0x0FFFFE; }, "past the end"},
        {"tables past the end", [](Bytes&, S2LevelSelectSetup& s) { s.order = 0x0FFFF0; }, "past the end"},
        {"broken stream", [&](Bytes& b, S2LevelSelectSetup&) { b[r.map] = 0x00; }, "Cannot read the level select map"},
        {"address into other data", [&](Bytes& b, S2LevelSelectSetup&) { b[r.levelSelectLea + 5] = 0x00; }, "Cannot read"},
        {"mark off the screen", [&](Bytes& b, S2LevelSelectSetup&) { b[r.marks + 8] = 40; }, "outside the screen"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes damaged = *image;
        S2LevelSelectSetup setup = LevelsSetup(r);
        c.damage(damaged, setup);
        S2LevelSelectLoad load = LoadS2LevelSelect(setup, ImageSource(damaged), codec);
        ASSERT_FALSE(load.ok());
        EXPECT_EQ(load.error->title, kS2LevelSelectNotLoaded);
        EXPECT_NE(load.error->text().find(c.says), std::string::npos) << load.error->text();
    }
    S2LevelSelectLoad noCodec = LoadS2LevelSelect(LevelsSetup(r), ImageSource(*image), CodecCalls{});
    ASSERT_FALSE(noCodec.ok());
    EXPECT_NE(noCodec.error->text().find("codec library"), std::string::npos);
}

// The Sonic 2 streams of the corpus decode to the sizes and MD5s of its
// manifest, and both encoders give streams that decode to the same bytes.
TEST(S2RomData, CorpusStreamsDecodeAndReencode)
{
    std::ifstream manifest(std::string(ZORP_CORPUS_DIR) + "/stages/MANIFEST.tsv");
    if (!manifest)
        GTEST_SKIP() << "corpus not found at " << ZORP_CORPUS_DIR;
    const CodecCalls codec = LinkedCodecCalls();
    std::string line;
    std::getline(manifest, line);
    int checked = 0;
    while (std::getline(manifest, line)) {
        std::vector<std::string> cols;
        std::stringstream split(line);
        for (std::string col; std::getline(split, col, '\t');)
            cols.push_back(col);
        if (cols.size() < 10 || cols[1] != "S2")
            continue;
        SCOPED_TRACE(cols[0]);
        const FormatCalls& calls = cols[7] == "nemesis"    ? codec.nemesis
                                   : cols[7] == "kosinski" ? codec.kosinski
                                                           : codec.enigma;
        if (!calls.available())
            continue; // a codec still to come
        auto stream = ReadCorpusFile("stages/" + cols[0]);
        ASSERT_TRUE(stream.has_value());
        DecodedStream decoded = calls.decode(*stream, 0, kDefaultDecodeCap);
        ASSERT_TRUE(decoded.ok()) << decoded.error;
        EXPECT_EQ(decoded.data.size(), std::stoul(cols[8]));
        EXPECT_EQ(Md5Hex(decoded.data), cols[9]);
        for (const auto& pack : {calls.packSmallest, calls.packExact}) {
            EncodedStream encoded = pack(decoded.data);
            ASSERT_TRUE(encoded.ok()) << encoded.error;
            EXPECT_EQ(calls.decode(encoded.stream, 0, kDefaultDecodeCap).data, decoded.data);
        }
        ++checked;
    }
    EXPECT_GE(checked, 3); // the two level select maps and the two Kosinski streams at least
}

} // namespace
} // namespace zorp
