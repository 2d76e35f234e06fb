// Saving Sonic 2's level select and special stages into synthetic images of
// the three revisions: unchanged data writes nothing; a stream that still
// fits stays; a longer one moves into free space or, when there is none,
// past the end of a grown image, and only the stream, its address and (when
// it grew) the image's end and new bytes change.
#include <gtest/gtest.h>

#include "S2TestData.h"
#include "linked/LinkedCodecs.h"
#include "rom/RomSave.h"
#include "template/S2RomSave.h"

namespace zorp {
namespace {

using namespace s2test;

// Every field filled with letters in no order: the map's stream grows past
// its 340 bytes.
S2LevelSelect Renamed(S2LevelSelect model)
{
    const std::string letters = "QZ7XJ4KV9WQ3ZKJX8QV2K4ZQW9X1VQZQ6XKZ5J8W2KQ7X9JQZXQV3KZXW7J2K8ZQVJZ4QX";
    size_t at = 0;
    for (size_t i = 0; i < model.Names().size(); ++i) {
        std::string name;
        for (int k = 0; k < model.Names()[i].fieldLength(); ++k)
            name += letters[(at += 7) % letters.size()];
        EXPECT_EQ(model.SetNameText(i, name), "");
    }
    return model;
}

struct Planned {
    S2Save save;
    uint64_t imageSize = 0;
};

Planned PlanLevels(const Bytes& image, const S2LevelSelectSetup& setup, const S2LevelSelectLoad& load,
                   const S2LevelSelect& edited, bool mayGrow, std::optional<ByteRange> freeRange = std::nullopt)
{
    FreeSpaceAllocator allocator(image);
    if (freeRange)
        allocator.AddFreeRange(*freeRange);
    DeclareS2LevelSelect(setup, load, allocator);
    Planned planned;
    planned.save = PlanS2LevelSelectSave(setup, load, edited, LinkedCodecCalls(), allocator, mayGrow);
    planned.imageSize = allocator.ImageSize();
    return planned;
}

// Every byte of `after` outside the allowed ranges equals `before`.
void ExpectOnlyChanged(const Bytes& before, const Bytes& after, const std::vector<ByteRange>& allowed)
{
    for (size_t i = 0; i < before.size(); ++i) {
        bool free = false;
        for (const ByteRange& r : allowed)
            free = free || (i >= r.offset && i < r.end());
        if (!free && before[i] != after[i]) {
            ADD_FAILURE() << "byte " << std::hex << i << " changed";
            return;
        }
    }
}

TEST(S2RomSave, UnchangedDataWritesNothing)
{
    for (const Revision& r : kRevisions) {
        SCOPED_TRACE(r.name);
        auto image = Image(r);
        if (!image)
            GTEST_SKIP() << "corpus not found";
        const S2LevelSelectLoad load = LoadS2LevelSelect(LevelsSetup(r), ImageSource(*image), LinkedCodecCalls());
        ASSERT_TRUE(load.ok());
        const Planned planned = PlanLevels(*image, LevelsSetup(r), load, load.model, false);
        EXPECT_TRUE(planned.save.patches.empty());
        EXPECT_FALSE(planned.save.needsRoom);
        EXPECT_EQ(planned.imageSize, image->size());

        const CodecCalls codec = LinkedCodecCalls();
        const S2SpecialStageLoad stages = LoadS2SpecialStages(StagesSetup(r), ImageSource(*image), codec);
        ASSERT_TRUE(stages.ok());
        FreeSpaceAllocator allocator(*image);
        DeclareS2SpecialStages(StagesSetup(r), stages, allocator);
        const S2Save save = PlanS2SpecialStagesSave(StagesSetup(r), stages, WriteS2Layouts(stages.layouts),
                                                    WriteS2ObjectLists(stages.objects), stages.team, stages.alone,
                                                    codec, allocator, false);
        EXPECT_TRUE(save.patches.empty());
    }
}

// A map that grows: no room without growth; grown, it lies after the old end
// and the address follows; the order table is a plain write in place.
TEST(S2RomSave, LevelSelectThatGrowsMovesAndTheAddressFollows)
{
    ScratchFile file;
    for (const Revision& r : kRevisions) {
        SCOPED_TRACE(r.name);
        auto image = Image(r);
        if (!image)
            GTEST_SKIP() << "corpus not found";
        const S2LevelSelectSetup setup = LevelsSetup(r);
        const S2LevelSelectLoad load = LoadS2LevelSelect(setup, ImageSource(*image), LinkedCodecCalls());
        ASSERT_TRUE(load.ok());
        S2LevelSelect edited = Renamed(load.model);
        edited.SetOrder(0, 0x0D01);

        const Planned refused = PlanLevels(*image, setup, load, edited, false);
        EXPECT_TRUE(refused.save.needsRoom);
        EXPECT_TRUE(refused.save.patches.empty());

        const Planned grown = PlanLevels(*image, setup, load, edited, true);
        ASSERT_FALSE(grown.save.needsRoom);
        ASSERT_FALSE(grown.save.error) << grown.save.error->text();
        EXPECT_EQ(grown.imageSize, 0x200000u);
        ASSERT_EQ(grown.save.patches.size(), 3u); // the stream, its address, the order table
        const Patch& stream = grown.save.patches[0];
        EXPECT_EQ(stream.offset, 0x100000u);
        EXPECT_GT(stream.bytes.size(), 340u);

        // Through the save road, with the checksum left alone.
        WriteFileBytes(file.path, *image);
        SaveOptions options;
        options.growTo = grown.imageSize;
        ASSERT_TRUE(SavePatches(file.path, grown.save.patches, options).ok());
        const Bytes after = *ReadFileBytes(file.path);
        ASSERT_EQ(after.size(), 0x200000u);
        ExpectOnlyChanged(*image, after,
                          {{static_cast<uint64_t>(setup.map.pointer), 4}, {kHeaderRomEndOffset, 4},
                           {static_cast<uint64_t>(setup.order), 2}});
        EXPECT_EQ(Bytes(after.begin() + 0x1A4, after.begin() + 0x1A8), (Bytes{0x00, 0x1F, 0xFF, 0xFF}));
        EXPECT_EQ(Bytes(after.begin() + 0x18E, after.begin() + 0x190),
                  Bytes(image->begin() + 0x18E, image->begin() + 0x190));
        for (size_t i = 0x100000 + stream.bytes.size(); i < after.size(); ++i)
            ASSERT_EQ(after[i], 0xFF) << std::hex << i;

        // Read back: the moved map is found through its address.
        const S2LevelSelectLoad again = LoadS2LevelSelect(setup, ImageSource(after), LinkedCodecCalls());
        ASSERT_TRUE(again.ok()) << again.error->text();
        EXPECT_EQ(again.mapStream.address, 0x100000u);
        EXPECT_EQ(again.model.MapBytes(), edited.MapBytes());
        EXPECT_EQ(again.model.Order(0), 0x0D01);
    }
}

// A map that still fits stays where it is; a longer one moves into a free
// range the template names, found only where it holds the filler.
TEST(S2RomSave, LevelSelectFitsInPlaceOrMovesIntoFreeSpace)
{
    const Revision& r = kRevisions[1];
    auto image = Image(r);
    if (!image)
        GTEST_SKIP() << "corpus not found";
    const S2LevelSelectSetup setup = LevelsSetup(r);
    const S2LevelSelectLoad load = LoadS2LevelSelect(setup, ImageSource(*image), LinkedCodecCalls());
    ASSERT_TRUE(load.ok());

    S2LevelSelect small = load.model;
    ASSERT_EQ(small.SetNameText(4, "HILL"), "");
    const Planned inPlace = PlanLevels(*image, setup, load, small, false);
    ASSERT_EQ(inPlace.save.patches.size(), 1u);
    EXPECT_EQ(inPlace.save.patches[0].offset, r.map);
    EXPECT_LE(inPlace.save.patches[0].bytes.size(), 340u);

    Bytes withFree = *image;
    std::fill(withFree.begin() + 0xF0000, withFree.begin() + 0xF1000, 0xFF);
    const Planned moved = PlanLevels(withFree, setup, load, Renamed(load.model), false, ByteRange{0xF0000, 0x1000});
    ASSERT_EQ(moved.save.patches.size(), 2u);
    EXPECT_EQ(moved.save.patches[0].offset, 0xF0000u);
    EXPECT_EQ(moved.save.patches[1], (Patch{static_cast<uint64_t>(setup.map.pointer), {0x00, 0x0F, 0x00, 0x00}}));
    EXPECT_EQ(moved.imageSize, withFree.size());
    EXPECT_EQ(moved.save.placements.size(), 1u);
    EXPECT_NE(moved.save.placements[0].find("free space"), std::string::npos);
}

// A stream that does not decode back to the data is never written.
TEST(S2RomSave, AStreamThatDoesNotDecodeBackIsRefused)
{
    const Revision& r = kRevisions[0];
    auto image = Image(r);
    if (!image)
        GTEST_SKIP() << "corpus not found";
    CodecCalls spoiled = LinkedCodecCalls();
    const auto pack = spoiled.enigma.packSmallest;
    spoiled.enigma.packSmallest = [pack](const Bytes& data) {
        EncodedStream stream = pack(data);
        stream.stream[stream.stream.size() / 2] ^= 0x10;
        return stream;
    };
    const S2LevelSelectLoad load = LoadS2LevelSelect(LevelsSetup(r), ImageSource(*image), spoiled);
    ASSERT_TRUE(load.ok());
    S2LevelSelect edited = load.model;
    ASSERT_EQ(edited.SetNameText(0, "GREEN HILL"), "");
    FreeSpaceAllocator allocator(*image);
    DeclareS2LevelSelect(LevelsSetup(r), load, allocator);
    const S2Save save = PlanS2LevelSelectSave(LevelsSetup(r), load, edited, spoiled, allocator, true);
    ASSERT_TRUE(save.error.has_value());
    EXPECT_EQ(save.error->title, kS2LevelSelectNotSaved);
    EXPECT_TRUE(save.patches.empty());
}

// Special stages: a changed ring table is written in place; object lists
// whose stream outgrows its 3342 bytes move past the end of a grown image,
// and only their address, the ROM end and the new bytes change.
TEST(S2RomSave, StagesThatGrowMoveAndTheAddressFollows)
{
    const CodecCalls codec = LinkedCodecCalls();
    for (const Revision& r : kRevisions) {
        SCOPED_TRACE(r.name);
        auto image = Image(r);
        if (!image)
            GTEST_SKIP() << "corpus not found";
        const S2SpecialStageSetup setup = StagesSetup(r);
        const S2SpecialStageLoad load = LoadS2SpecialStages(setup, ImageSource(*image), codec);
        ASSERT_TRUE(load.ok());
        S2ObjectLists objects = load.objects;
        uint8_t angle = 0;
        for (auto& stage : objects.stages)
            for (auto& list : stage.lists)
                for (auto& object : list.objects)
                    object.angle = (angle = static_cast<uint8_t>(angle * 73 + 41));
        S2RingTable team = load.team;
        team[0][0] = 41;
        auto plan = [&](bool mayGrow, FreeSpaceAllocator& allocator) {
            DeclareS2SpecialStages(setup, load, allocator);
            return PlanS2SpecialStagesSave(setup, load, WriteS2Layouts(load.layouts), WriteS2ObjectLists(objects),
                                           team, load.alone, codec, allocator, mayGrow);
        };
        FreeSpaceAllocator noGrowth(*image);
        EXPECT_TRUE(plan(false, noGrowth).needsRoom);
        FreeSpaceAllocator allocator(*image);
        const S2Save save = plan(true, allocator);
        ASSERT_FALSE(save.needsRoom);
        ASSERT_EQ(save.patches.size(), 3u); // the object lists, their address, the team table
        EXPECT_EQ(save.patches[0].offset, 0x100000u);
        EXPECT_EQ(save.patches[2], (Patch{r.team, WriteS2RingTable(team)}));

        Bytes after = *image;
        ASSERT_TRUE(GrowImage(after, allocator.ImageSize(), 0xFF));
        ASSERT_TRUE(ApplyPatches(after, save.patches));
        ExpectOnlyChanged(*image, after,
                          {{setup.objects.pointer + 0u, 4}, {kHeaderRomEndOffset, 4}, {r.team, 1}});
        const S2SpecialStageLoad again = LoadS2SpecialStages(setup, ImageSource(after), codec);
        ASSERT_TRUE(again.ok());
        EXPECT_EQ(again.objectStream.address, 0x100000u);
        EXPECT_EQ(WriteS2ObjectLists(again.objects), WriteS2ObjectLists(objects));
        EXPECT_EQ(again.team[0][0], 41);
    }
}

} // namespace
} // namespace zorp
