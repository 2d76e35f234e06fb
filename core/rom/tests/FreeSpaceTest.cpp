// The free-space allocator and image growth: one table of save scenarios on
// a small image whose free range holds the filler byte, and the save road
// writing a grown image in its one write.
#include <gtest/gtest.h>

#include "rom/FreeSpace.h"
#include "rom/PubFunctions.h"
#include "rom/RomSave.h"
#include "RomTestFiles.h"

using namespace zorp;

namespace {

constexpr uint64_t kImage = 0x1000;
const ByteRange kA{0x100, 0x40};
const ByteRange kB{0x800, 0x80};
const ByteRange kNew{0, 0};

struct Step {
    ByteRange current;
    uint64_t length;
    bool mayGrow;
    std::optional<Placement> expected;
};

struct Scenario {
    const char* name;
    uint64_t imageSize;
    std::vector<ByteRange> declaredFree; // filled with 0xFF in the image
    std::vector<uint64_t> dataBytes;     // bytes inside them that hold other data
    std::vector<ByteRange> occupied;
    std::vector<Step> steps;
    uint64_t imageSizeAfter;
};

Placement At(PlacementKind kind, uint64_t offset) { return {kind, offset}; }
constexpr auto kInPlace = PlacementKind::InPlace;
constexpr auto kFree = PlacementKind::FreeSpace;
constexpr auto kAppended = PlacementKind::Appended;
const ByteRange kFreeRange{0x800, 0x100};

const Scenario kScenarios[] = {
    {"an equal length stays", kImage, {kFreeRange}, {}, {kA}, {{kA, 0x40, false, At(kInPlace, 0x100)}}, kImage},
    {"a shorter stream stays and gives its tail to the next one",
     kImage, {}, {}, {kA},
     {{kA, 0x30, false, At(kInPlace, 0x100)}, {kNew, 0x10, false, At(kFree, 0x130)}}, kImage},
    {"a longer stream takes the smallest even run of filler that holds it",
     kImage, {kFreeRange}, {0x880}, {kA},
     {{kA, 0x70, false, At(kFree, 0x882)}, {kNew, 0x70, false, At(kFree, 0x800)}}, kImage},
    {"a stream inside a free range is never handed out",
     kImage, {kFreeRange}, {}, {kA, kB},
     {{kA, 0x90, false, std::nullopt}, {kA, 0x60, false, At(kFree, 0x880)}}, kImage},
    {"the bytes a moved stream left are free for the next",
     kImage, {}, {}, {kA},
     {{kA, 0x50, true, At(kAppended, 0x1000)}, {kNew, 0x40, false, At(kFree, 0x100)}}, 0x2000},
    {"two pointers to one stream keep it until both moved",
     kImage, {}, {}, {kA, kA},
     {{kA, 0x50, true, At(kAppended, 0x1000)}, {kNew, 0x40, false, std::nullopt}}, 0x2000},
    {"no room without growing changes nothing",
     kImage, {kFreeRange}, {}, {kA},
     {{kA, 0x200, false, std::nullopt}, {kA, 0x20, false, At(kInPlace, 0x100)}}, kImage},
    {"appended streams follow each other at even offsets",
     0x1001, {}, {}, {kA, {0x200, 0x10}},
     {{kA, 0x41, true, At(kAppended, 0x1002)}, {{0x200, 0x10}, 0x50, true, At(kAppended, 0x1044)}}, 0x2000},
    {"growing past the cartridge space is refused",
     kMaxCartridgeSize - 0x100, {}, {}, {kA}, {{kA, 0x200, true, std::nullopt}}, kMaxCartridgeSize - 0x100},
};

TEST(FreeSpaceAllocator, Scenarios)
{
    for (const Scenario& s : kScenarios) {
        SCOPED_TRACE(s.name);
        Bytes image(s.imageSize, 0x00);
        for (const ByteRange& r : s.declaredFree)
            std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(r.offset), r.length, 0xFF);
        for (uint64_t b : s.dataBytes)
            image[b] = 0x12;
        FreeSpaceAllocator allocator(image);
        for (const ByteRange& r : s.declaredFree)
            allocator.AddFreeRange(r);
        for (const ByteRange& r : s.occupied)
            allocator.Occupy(r);
        for (const Step& step : s.steps)
            EXPECT_EQ(allocator.Place(step.current, step.length, step.mayGrow), step.expected)
                << "stream at " << step.current.offset << ", " << step.length << " bytes";
        EXPECT_EQ(allocator.ImageSize(), s.imageSizeAfter);
        // Whatever is still free holds the filler or was given up by a stream.
        auto givenUp = [&](uint64_t i) {
            return std::any_of(s.occupied.begin(), s.occupied.end(),
                               [i](const ByteRange& r) { return i >= r.offset && i < r.end(); });
        };
        for (const ByteRange& r : allocator.FreeRanges())
            for (uint64_t i = r.offset; i < r.end() && i < image.size(); ++i) {
                if (image[i] != 0xFF && !givenUp(i))
                    ADD_FAILURE() << "free byte " << i << " holds data";
            }
    }
}

TEST(FreeSpaceAllocator, MappedSizesAndGrowth)
{
    EXPECT_EQ(MappedImageSize(0x80000), 0x80000u);
    EXPECT_EQ(MappedImageSize(0x80001), 0x100000u);
    EXPECT_EQ(MappedImageSize(kMaxCartridgeSize), kMaxCartridgeSize);
    EXPECT_EQ(MappedImageSize(kMaxCartridgeSize + 1), 0u);

    Bytes image(0x400, 0x11);
    EXPECT_FALSE(GrowImage(image, 0x200, 0xFF));
    ASSERT_TRUE(GrowImage(image, 0x800, 0xFF));
    ASSERT_EQ(image.size(), 0x800u);
    EXPECT_EQ(Bytes(image.begin() + 0x1A4, image.begin() + 0x1A8), (Bytes{0x00, 0x00, 0x07, 0xFF}));
    EXPECT_EQ(image[0x3FF], 0x11);
    EXPECT_EQ(image[0x400], 0xFF);
    EXPECT_EQ(image[0x7FF], 0xFF);
}

// The save road grows the file, puts a patch into the new part and fixes the
// checksum, all in its one write; every old byte but the ROM end and the
// checksum stays.
TEST(FreeSpaceAllocator, SaveRoadWritesAGrownImage)
{
    romtest::ScratchDir dir;
    const std::string path = dir.file("grow.bin");
    const Bytes before = romtest::NoiseBytes(0x1000, 7);
    romtest::WriteFile(path, before);

    SaveOptions options;
    options.growTo = 0x2000;
    options.fixChecksum = true;
    options.expected = StampOf(before);
    const SaveResult result = SavePatches(path, {Patch{0x1002, {1, 2, 3}}}, options);
    ASSERT_TRUE(result.ok()) << result.error;
    const Bytes after = *ReadFileBytes(path);
    ASSERT_EQ(after.size(), 0x2000u);
    EXPECT_TRUE(result.checksum.matches());
    EXPECT_EQ(Bytes(after.begin() + 0x1A4, after.begin() + 0x1A8), (Bytes{0x00, 0x00, 0x1F, 0xFF}));
    EXPECT_EQ(Bytes(after.begin() + 0x1000, after.begin() + 0x1005), (Bytes{0xFF, 0xFF, 1, 2, 3}));
    for (size_t i = 0; i < before.size(); ++i) {
        if ((i < 0x18E || i > 0x18F) && (i < 0x1A4 || i > 0x1A7))
            ASSERT_EQ(after[i], before[i]) << i;
    }

    // A size past the cartridge space is refused and nothing is written.
    options.growTo = kMaxCartridgeSize * 2;
    options.expected.reset();
    EXPECT_FALSE(SavePatches(path, {}, options).ok());
    EXPECT_EQ(*ReadFileBytes(path), after);
}

} // namespace
