// Sonic 1 special stages read from and planned back into synthetic images
// laid out as in the game facts (both layouts of revisions), through the
// run-length stand-in codec: unchanged stages write nothing, a grown stage
// moves to free space and is repointed, a full image asks to grow and grows,
// and bad pointers or streams disable only their stage.
#include <gtest/gtest.h>

#include <functional>

#include "rom/PubFunctions.h"
#include "template/S1StageBlock.h"
#include "S1StageImages.h"

using namespace zorp;
using namespace s1test;

namespace {

const Revision* const kRevisions[] = {&kRev00, &kRev01};

std::vector<S1StageData> Loaded(const S1StagesLoad& load) { return load.stages; }

// Plans and applies a save as the workspace does; nullopt when it asks to grow.
struct Saved {
    S1StagesSave plan;
    Bytes image;
};
Saved SaveInto(const Bytes& image, const S1StagesSetup& setup, const S1StagesLoad& load,
               const std::vector<S1StageData>& now, bool mayGrow)
{
    FreeSpaceAllocator allocator(image);
    DeclareS1Streams(setup, load, allocator);
    Saved saved{PlanS1StagesSave(setup, load, now, RunCodec(), allocator, mayGrow), image};
    if (saved.plan.ok()) {
        GrowImage(saved.image, allocator.ImageSize(), allocator.Filler());
        EXPECT_TRUE(ApplyPatches(saved.image, saved.plan.patches));
    }
    return saved;
}

// A layout whose stream is much longer: every other cell changes.
S1Grid Busy(int stage)
{
    S1Grid grid = MakeLayout(stage);
    for (int i = 0; i < 1200; ++i)
        grid[static_cast<size_t>(i * 3 % kS1Cells)] = static_cast<uint8_t>(i % 2 ? kS1Ring : kS1Bumper);
    return grid;
}

TEST(S1StageBlock, EveryStageReadsAndAnUnchangedSaveWritesNothing)
{
    for (const Revision* rev : kRevisions) {
        SCOPED_TRACE(rev->name);
        const Image image = MakeImage(*rev, RunCodec());
        const S1StagesSetup setup = SetupOf(*rev);
        const S1StagesLoad load = LoadS1Stages(setup, image.bytes, RunCodec());
        ASSERT_TRUE(load.ok());
        ASSERT_EQ(load.stages.size(), 6u);
        for (int k = 0; k < 6; ++k) {
            SCOPED_TRACE(k + 1);
            EXPECT_TRUE(load.stages[static_cast<size_t>(k)].readable()) << load.stages[static_cast<size_t>(k)].error;
            EXPECT_EQ(load.stages[static_cast<size_t>(k)].cells, MakeLayout(k));
            EXPECT_EQ(load.stages[static_cast<size_t>(k)].start, kStarts[k]);
            EXPECT_EQ(load.streams[static_cast<size_t>(k)], image.streams[static_cast<size_t>(k)]);
            for (const std::string& w : S1StageWarnings(MakeLayout(k), kStarts[k], k))
                ADD_FAILURE() << w;
        }
        const Saved saved = SaveInto(image.bytes, setup, load, Loaded(load), false);
        EXPECT_TRUE(saved.plan.ok());
        EXPECT_TRUE(saved.plan.patches.empty());
    }
}

TEST(S1StageBlock, AStageThatShrinksStaysAndAMovedStartIsWritten)
{
    const Image image = MakeImage(kRev00, RunCodec());
    const S1StagesSetup setup = SetupOf(kRev00);
    const S1StagesLoad load = LoadS1Stages(setup, image.bytes, RunCodec());
    std::vector<S1StageData> now = Loaded(load);
    now[2].cells.fill(0); // the shortest stream there is
    now[4].start = S1StartAtCell(now[4].start, {7, 8});
    const Saved saved = SaveInto(image.bytes, setup, load, now, false);
    ASSERT_TRUE(saved.plan.ok());
    ASSERT_EQ(saved.plan.placements.size(), 1u);
    EXPECT_EQ(saved.plan.placements[0].placement, (Placement{PlacementKind::InPlace, image.streams[2].offset}));
    const S1StagesLoad again = LoadS1Stages(setup, saved.image, RunCodec());
    EXPECT_EQ(again.stages[2].cells, now[2].cells);
    EXPECT_EQ(S1StartCell(again.stages[4].start), (S1Cell{7, 8}));
    // Only bytes of the stream's old place and the start entry changed.
    for (const auto& [first, last] : DiffRuns(image.bytes, saved.image)) {
        const bool start = first >= kRev00.starts + 16u && last < kRev00.starts + 20u;
        const bool stream = first >= image.streams[2].offset && last < image.streams[2].end();
        EXPECT_TRUE(start || stream) << std::hex << first << ".." << last;
    }
}

TEST(S1StageBlock, AGrownStageMovesToFreeSpaceAndOnlyItsPointerChanges)
{
    for (const Revision* rev : kRevisions) {
        SCOPED_TRACE(rev->name);
        const Image image = MakeImage(*rev, RunCodec());
        const S1StagesSetup setup = SetupOf(*rev);
        const S1StagesLoad load = LoadS1Stages(setup, image.bytes, RunCodec());
        std::vector<S1StageData> now = Loaded(load);
        now[1].cells = MakeLayout(1);
        now[1].cells[static_cast<size_t>(S1CellIndex(40, 40))] = kS1Bumper; // a few bytes longer
        now[1].cells[static_cast<size_t>(S1CellIndex(42, 40))] = kS1Bumper;
        const Saved saved = SaveInto(image.bytes, setup, load, now, false);
        ASSERT_TRUE(saved.plan.ok());
        ASSERT_EQ(saved.plan.placements.size(), 1u);
        const S1StagePlacement& moved = saved.plan.placements[0];
        EXPECT_EQ(moved.placement, (Placement{PlacementKind::FreeSpace, rev->freeFirst}));
        // Every byte outside the moved stream and its pointer is as it was:
        // the ROM end and the checksum too.
        const uint64_t pointer = static_cast<uint64_t>(rev->pointers) + 4;
        for (const auto& [first, last] : DiffRuns(image.bytes, saved.image)) {
            const bool inPointer = first >= pointer && last < pointer + 4;
            const bool inStream = first >= moved.placement.offset && last < moved.placement.offset + moved.length;
            EXPECT_TRUE(inPointer || inStream) << std::hex << first << ".." << last;
        }
        EXPECT_EQ(saved.image.size(), image.bytes.size());
        const S1StagesLoad again = LoadS1Stages(setup, saved.image, RunCodec());
        EXPECT_EQ(again.stages[1].cells, now[1].cells);
        EXPECT_EQ(again.streams[1].offset, rev->freeFirst);
        // The next save keeps the moved stream where it is and finds the
        // free space behind it: a second grown stage lands after it.
        std::vector<S1StageData> next = Loaded(again);
        next[3].cells[static_cast<size_t>(S1CellIndex(45, 45))] = kS1Bumper;
        const Saved second = SaveInto(saved.image, setup, again, next, false);
        ASSERT_TRUE(second.plan.ok());
        ASSERT_EQ(second.plan.placements.size(), 1u);
        EXPECT_GE(second.plan.placements[0].placement.offset, rev->freeFirst + moved.length);
    }
}

TEST(S1StageBlock, AFullImageAsksToGrowAndGrowsCorrectly)
{
    const Image image = MakeImage(kRev01, RunCodec());
    const S1StagesSetup setup = SetupOf(kRev01);
    const S1StagesLoad load = LoadS1Stages(setup, image.bytes, RunCodec());
    std::vector<S1StageData> now = Loaded(load);
    now[0].cells = Busy(0);
    now[5].cells = Busy(5);

    const Saved refused = SaveInto(image.bytes, setup, load, now, false);
    EXPECT_TRUE(refused.plan.needsGrowth);
    EXPECT_TRUE(refused.plan.patches.empty());

    const Saved grown = SaveInto(image.bytes, setup, load, now, true);
    ASSERT_TRUE(grown.plan.ok());
    ASSERT_EQ(grown.image.size(), 0x100000u);
    EXPECT_EQ(Bytes(grown.image.begin() + 0x1A4, grown.image.begin() + 0x1A8), (Bytes{0, 0x0F, 0xFF, 0xFF}));
    bool appended = false;
    for (const S1StagePlacement& p : grown.plan.placements) {
        appended |= p.placement.kind == PlacementKind::Appended;
        EXPECT_EQ(p.placement.offset % 2, 0u);
    }
    EXPECT_TRUE(appended);
    const std::vector<std::string> told = DescribeS1Placements(grown.plan.placements, 0x80000, 0x100000);
    EXPECT_EQ(told.back(), "The ROM grew from 512 KiB to 1024 KiB.");
    const S1StagesLoad again = LoadS1Stages(setup, grown.image, RunCodec());
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(again.stages[static_cast<size_t>(k)].cells, now[static_cast<size_t>(k)].cells) << k;
    // Outside the stage data the old bytes are kept (the header's ROM end
    // and the checksum aside, which the save road writes).
    for (const auto& [first, last] : DiffRuns(image.bytes, Bytes(grown.image.begin(), grown.image.begin() + 0x80000))) {
        const bool header = first >= 0x1A4 && last < 0x1A8;
        const bool pointers = first >= static_cast<uint64_t>(kRev01.pointers) && last < kRev01.pointers + 24u;
        const bool streams = first >= kFirstStream && last <= kRev01.freeLast;
        EXPECT_TRUE(header || pointers || streams) << std::hex << first << ".." << last;
    }
}

TEST(S1StageBlock, BadPointersAndStreamsDisableOnlyTheirStage)
{
    struct Case {
        const char* name;
        std::function<void(Image&)> spoil;
        const char* reason;
    };
    const Case cases[] = {
        {"pointer past the end", [](Image& i) { i.bytes[kRev00.pointers + 8] = 0x7F; }, "outside the ROM"},
        {"odd pointer", [](Image& i) { i.bytes[kRev00.pointers + 11] |= 1; }, "is odd"},
        {"stream cut short", [](Image& i) { i.bytes[i.streams[2].end() - 1] = 7; }, "is damaged"},
        {"layout too short", [](Image& i) { i.bytes[i.streams[2].offset] = 1; }, "not 4096"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Image image = MakeImage(kRev00, RunCodec());
        c.spoil(image);
        const S1StagesLoad load = LoadS1Stages(SetupOf(kRev00), image.bytes, RunCodec());
        ASSERT_TRUE(load.ok());
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(load.stages[static_cast<size_t>(k)].readable(), k != 2) << k;
        EXPECT_NE(load.stages[2].error.find(c.reason), std::string::npos) << load.stages[2].error;
        EXPECT_EQ(load.stages[2].error.rfind("Stage 3 cannot be edited: ", 0), 0u);
        // The stage that could not be read is never written, even when the
        // document's copy differs.
        std::vector<S1StageData> now = load.stages;
        now[2].cells[0] = kS1Ring;
        EXPECT_TRUE(SaveInto(image.bytes, SetupOf(kRev00), load, now, false).plan.patches.empty());
    }

    // An encoder whose stream does not decode back: nothing is written.
    {
        const Image image = MakeImage(kRev00, RunCodec());
        const S1StagesLoad load = LoadS1Stages(SetupOf(kRev00), image.bytes, RunCodec());
        std::vector<S1StageData> now = load.stages;
        now[0].cells[5] = kS1Ring;
        CodecCalls broken = RunCodec();
        broken.enigma.packSmallest = [](const Bytes& data) {
            EncodedStream out = RunCodec().enigma.packSmallest(data);
            out.stream[1] ^= 1; // one value off
            return out;
        };
        FreeSpaceAllocator allocator(image.bytes);
        DeclareS1Streams(SetupOf(kRev00), load, allocator);
        const S1StagesSave plan = PlanS1StagesSave(SetupOf(kRev00), load, now, broken, allocator, true);
        ASSERT_TRUE(plan.error.has_value());
        EXPECT_TRUE(plan.patches.empty());
        EXPECT_NE(plan.error->text().find("does not decode to the stage"), std::string::npos);
    }

    // Tables outside the image: nothing is read.
    S1StagesSetup setup = SetupOf(kRev00);
    setup.pointerTable = static_cast<int32_t>(kImageSize - 8);
    EXPECT_FALSE(LoadS1Stages(setup, MakeImage(kRev00, RunCodec()).bytes, RunCodec()).ok());
    // No decoder: a message saying why.
    CodecCalls none;
    none.unavailableReason = "The codec plug-in is too old.";
    const S1StagesLoad missing = LoadS1Stages(SetupOf(kRev00), MakeImage(kRev00, RunCodec()).bytes, none);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error->lines.back(), "The codec plug-in is too old.");
}

} // namespace

// ---- The real stages, through the linked Enigma codec ------------------------

#include <fstream>
#include <sstream>

#include "linked/LinkedCodecs.h"
#include "rom/tests/Md5.h"

namespace {

struct ManifestRow {
    std::string file;
    size_t decodedSize = 0;
    std::string decodedMd5;
};

std::vector<ManifestRow> SonicOneLayouts()
{
    std::ifstream in(std::string(ZORP_CORPUS_DIR) + "/stages/MANIFEST.tsv");
    std::vector<ManifestRow> rows;
    std::string line;
    std::getline(in, line); // header: file game ... decoded size, decoded md5 last
    while (std::getline(in, line)) {
        std::vector<std::string> cols;
        std::stringstream ss(line);
        for (std::string col; std::getline(ss, col, '\t');)
            cols.push_back(col);
        if (cols.size() >= 10 && cols[1] == "S1" && cols[7] == "enigma")
            rows.push_back({cols[0], std::stoul(cols[8]), cols[9]});
    }
    return rows;
}

// Every Sonic 1 layout of the corpus decodes to its listed size and MD5 with
// the stream bytes the disassembly file holds, and both encoders give
// streams that decode to the same bytes.
TEST(S1StageCorpus, LayoutsDecodeToTheirDigestsAndReencode)
{
    const std::vector<ManifestRow> rows = SonicOneLayouts();
    if (rows.empty())
        GTEST_SKIP() << "corpus not found";
    EXPECT_EQ(rows.size(), 8u);
    const FormatCalls enigma = LinkedCodecCalls().enigma;
    for (const ManifestRow& row : rows) {
        SCOPED_TRACE(row.file);
        const Bytes stream = *ReadFileBytes(std::string(ZORP_CORPUS_DIR) + "/stages/" + row.file);
        const DecodedStream decoded = enigma.decode(stream, 0, kS1Cells);
        ASSERT_TRUE(decoded.ok()) << decoded.error;
        EXPECT_EQ(decoded.data.size(), row.decodedSize);
        EXPECT_EQ(romtest::Md5Hex(decoded.data), row.decodedMd5);
        EXPECT_EQ((decoded.consumed + 1) / 2 * 2, stream.size()) << "only the even padding follows the stream";
        for (const auto& pack : {enigma.packSmallest, enigma.packExact}) {
            const EncodedStream again = pack(decoded.data);
            ASSERT_TRUE(again.ok()) << again.error;
            EXPECT_EQ(enigma.decode(again.stream, 0, kS1Cells).data, decoded.data);
        }
    }
}

// Images laid out exactly as the facts give them: the streams lie at the
// listed offsets, every stage reads with the listed start cells and no
// warning, an unchanged save writes nothing, the exported streams are the
// disassembly's files, and a grown stage moves into the filler.
TEST(S1StageCorpus, RealImagesRoundTripAndAGrownStageMoves)
{
    const CodecCalls codec = LinkedCodecCalls();
    const uint64_t rev00[] = {0x065432, 0x0656AC, 0x065ABE, 0x065E1A, 0x0662F4, 0x0667C6};
    const uint64_t rev01[] = {0x065432, 0x0656AC, 0x065ABE, 0x065E1A, 0x0662F4, 0x0667A4};
    const S1Cell startCells[] = {{9, 1}, {2, 29}, {21, 1}, {8, 1}, {3, 42}, {17, 6}};
    for (const Revision* rev : kRevisions) {
        SCOPED_TRACE(rev->name);
        const std::vector<Bytes> streams = CorpusStreams(*rev);
        if (streams.empty())
            GTEST_SKIP() << "corpus not found";
        const Image image = MakeImage(*rev, codec, streams);
        const S1StagesSetup setup = SetupOf(*rev);
        const S1StagesLoad load = LoadS1Stages(setup, image.bytes, codec);
        ASSERT_TRUE(load.ok());
        for (int k = 0; k < 6; ++k) {
            SCOPED_TRACE(k + 1);
            const auto K = static_cast<size_t>(k);
            EXPECT_EQ(image.streams[K].offset, (rev == &kRev00 ? rev00 : rev01)[K]);
            ASSERT_TRUE(load.stages[K].readable()) << load.stages[K].error;
            EXPECT_EQ(S1StartCell(load.stages[K].start), startCells[K]);
            EXPECT_TRUE(S1StageWarnings(load.stages[K].cells, load.stages[K].start, k).empty());
            EXPECT_EQ(S1StreamBytes(load, image.bytes, k), streams[K]);
        }
        EXPECT_TRUE(SaveInto(image.bytes, setup, load, load.stages, false).plan.patches.empty());

        // Rows the originals leave empty, filled with blocks in no pattern.
        std::vector<S1StageData> now = load.stages;
        for (int i = 0; i < 4 * kS1Side; ++i)
            now[0].cells[static_cast<size_t>(S1CellIndex(i % kS1Side, 56 + i / kS1Side))] =
                static_cast<uint8_t>(kS1Ring + (i * 37 % 7));
        FreeSpaceAllocator allocator(image.bytes);
        DeclareS1Streams(setup, load, allocator);
        const S1StagesSave plan = PlanS1StagesSave(setup, load, now, codec, allocator, false);
        ASSERT_TRUE(plan.ok());
        ASSERT_EQ(plan.placements.size(), 1u);
        EXPECT_EQ(plan.placements[0].placement, (Placement{PlacementKind::FreeSpace, rev->freeFirst}));
        Bytes saved = image.bytes;
        ASSERT_TRUE(ApplyPatches(saved, plan.patches));
        EXPECT_EQ(LoadS1Stages(setup, saved, codec).stages[0].cells, now[0].cells);
    }
}

} // namespace
