// The special stage block of a ROM: loading it (plain and compressed, with
// damaged streams) and planning its save (encoder choice, the room rule, the
// decode check, blocks past the end of the file), on synthetic blocks and on
// the real Sonic & Knuckles stage set placed where the game keeps it.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"
#include "linked/LinkedStageCodec.h"
#include "rom/tests/RomTestFiles.h"
#include "stage/tests/StageTestData.h"
#include "template/StageBlock.h"

namespace zorp {
namespace {

namespace Extract = modVorlith_Extract;

// A block of stage records with grids of codes 0-5 and varied properties.
Bytes StageBlock(int stages, unsigned seed)
{
    Bytes block;
    std::mt19937 rng(seed);
    for (int k = 0; k < stages; ++k) {
        StageRecord record;
        record.cells = testdata::RandomGrid(seed * 31 + static_cast<unsigned>(k), 6);
        for (uint8_t& b : record.properties)
            b = static_cast<uint8_t>(rng());
        WriteStageRecord(block, k, record);
    }
    return block;
}

S3SSetup Plain(int32_t start, int32_t stages)
{
    S3SSetup setup;
    setup.startAddress = start;
    setup.stages = stages;
    setup.extraProps = true;
    return setup;
}

S3SSetup Compressed(int32_t start, int32_t stages, int32_t room)
{
    S3SSetup setup = Plain(start, stages);
    setup.compressed = true;
    setup.compLength = room;
    return setup;
}

void Put(Bytes& image, uint64_t offset, const Bytes& data)
{
    ASSERT_LE(offset + data.size(), image.size());
    std::copy(data.begin(), data.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

Bytes Slice(const Bytes& data, uint64_t offset, size_t count)
{
    return Bytes(data.begin() + static_cast<std::ptrdiff_t>(offset),
                 data.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

// ---------------------------------------------------------------- loading

TEST(StageBlockLoad, PlainBlockIsReadAsItLies)
{
    const Bytes image = romtest::NoiseBytes(0x10000, 3);
    const StageBlockLoad load = LoadStageBlock(Plain(0x1234, 3), ImageSource(image), {});
    ASSERT_TRUE(load.ok());
    EXPECT_TRUE(load.warnings.empty());
    EXPECT_TRUE(load.complete);
    EXPECT_EQ(load.store.StageCount(), 3);
    EXPECT_EQ(load.store.Block(), Slice(image, 0x1234, 3 * 1032));
}

TEST(StageBlockLoad, PlainBlockPastTheEndReadsZerosWithAWarning)
{
    const Bytes image = romtest::NoiseBytes(5000, 4);
    const StageBlockLoad load = LoadStageBlock(Plain(5000 - 1032 - 100, 2), ImageSource(image), {});
    ASSERT_TRUE(load.ok());
    ASSERT_EQ(load.warnings.size(), 1u);
    EXPECT_EQ(load.warnings[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(load.complete);
    const Bytes& block = load.store.Block();
    ASSERT_EQ(block.size(), 2u * 1032);
    EXPECT_EQ(Slice(block, 0, 1032 + 100), Slice(image, 5000 - 1032 - 100, 1032 + 100));
    EXPECT_EQ(Slice(block, 1132, 932), Bytes(932, 0));
}

// A stream that cannot give N stages: the store keeps what was decoded and
// zero-fills the rest, or keeps the first N records; a warning says so.
TEST(StageBlockLoad, DamagedOrMismatchedStreamsKeepWhatWasDecoded)
{
    const Bytes three = StageBlock(3, 8);
    const Bytes five = StageBlock(5, 8);
    const Bytes full = modVorlith_Pack::Pack(three);
    struct Case {
        const char* name;
        Bytes stream;
        Bytes expectedBlock; // the store's three records
        bool complete;       // all three records came from the stream
    };
    const Bytes cutStream(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(full.size() / 2));
    const Bytes partial = Extract::Decode(cutStream).output;
    ASSERT_FALSE(partial.empty());
    ASSERT_LT(partial.size(), three.size());
    Bytes partialPadded = partial;
    partialPadded.resize(three.size(), 0);
    Bytes twoPadded = Slice(three, 0, 2 * 1032);
    twoPadded.resize(three.size(), 0);
    const Case cases[] = {
        {"stream cut in the middle", cutStream, partialPadded, false},
        {"stream of two stages", modVorlith_Pack::Pack(Slice(three, 0, 2 * 1032)), twoPadded, false},
        {"stream of five stages", modVorlith_Pack::Pack(five), Slice(five, 0, 3 * 1032), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes image(c.stream.size() + 64, 0);
        Put(image, 16, c.stream);
        // The room holds only the stream: for the cut one, the decoder runs
        // into zero bytes that are not a valid continuation.
        const StageBlockLoad load = LoadStageBlock(Compressed(16, 3, static_cast<int32_t>(c.stream.size())),
                                                   ImageSource(image), LinkedStageCodec());
        ASSERT_TRUE(load.ok());
        ASSERT_EQ(load.warnings.size(), 1u);
        EXPECT_EQ(load.warnings[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(load.store.Block(), c.expectedBlock);
        EXPECT_EQ(load.complete, c.complete);
    }
}

TEST(StageBlockLoad, UnusableSetUpsLoadNothing)
{
    const Bytes image(0x4000, 0);
    const S3SSetup noStages = Plain(0, 0);
    const S3SSetup negativeStart = Plain(-4, 1);
    const S3SSetup noRoom = Compressed(0, 1, 0);
    for (const S3SSetup& setup : {noStages, negativeStart, noRoom}) {
        const StageBlockLoad load = LoadStageBlock(setup, ImageSource(image), LinkedStageCodec());
        ASSERT_FALSE(load.ok());
        EXPECT_EQ(load.error->icon, MessageIcon::Critical);
        EXPECT_EQ(load.store.StageCount(), 0);
    }
}

// ---------------------------------------------------------------- saving

TEST(StageBlockSave, PlainBlockOfEightStagesIsWrittenWhole)
{
    const Bytes block = StageBlock(8, 9);
    const StageBlockSave plan = PlanStageBlockSave(Plain(0x6A0E0, 8), block, 0x200000, {});
    ASSERT_TRUE(plan.ok()) << plan.error->text();
    EXPECT_EQ(plan.encoder, StageEncoder::None);
    EXPECT_EQ(plan.write->offset, 0x6A0E0u);
    EXPECT_EQ(plan.write->bytes.size(), 8256u);
    EXPECT_EQ(plan.write->bytes, block);
}

TEST(StageBlockSave, BlocksOutsideTheFileAreRefusedBeforeCompressing)
{
    int compressCalls = 0;
    StageCodecCalls counting = LinkedStageCodec();
    counting.compress = [&](const Bytes& in, Bytes& out) {
        ++compressCalls;
        out = modVorlith_Pack::Pack(in);
        return true;
    };
    const Bytes block = StageBlock(2, 10);
    const uint64_t fileSize = 0x10000;
    struct Case {
        const char* name;
        S3SSetup setup;
        bool fits;
    };
    const Case cases[] = {
        {"plain, ending at the file's end", Plain(0x10000 - 2064, 2), true},
        {"plain, one byte past the end", Plain(0x10000 - 2063, 2), false},
        {"plain, starting past the end", Plain(0x20000, 2), false},
        {"compressed, room ending at the file's end", Compressed(0x10000 - 3000, 2, 3000), true},
        {"compressed, room one byte past the end", Compressed(0x10000 - 2999, 2, 3000), false},
        {"negative start", Plain(-1, 2), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        compressCalls = 0;
        const StageBlockSave plan = PlanStageBlockSave(c.setup, block, fileSize, counting);
        EXPECT_EQ(plan.ok(), c.fits);
        if (!c.fits) {
            EXPECT_EQ(plan.error->icon, MessageIcon::Critical);
            EXPECT_EQ(plan.error->title, "Special Stages Not Saved");
            EXPECT_EQ(compressCalls, 0);
        }
    }
}

// Encoders of chosen lengths: a real stream padded after its end marker
// still decodes to the block, so only the length differs.
struct EncoderCase {
    const char* name;
    int exactExtra;    // exact stream = smallest real stream + this many bytes
    int smallestExtra; // -1: no smallest-stream encoder
    int roomExtra;     // COMPLENGTH = smallest real stream + this
    StageEncoder expected; // None: Out of Space
};

TEST(StageBlockSave, TheExactStreamIsPreferredAndTheSmallestOneTakenOnlyWhenNeeded)
{
    const Bytes block = StageBlock(2, 11);
    const Bytes base = PackSmallest(block);
    const size_t s = base.size();
    const EncoderCase cases[] = {
        {"exact shorter than the room", 4, 0, 10, StageEncoder::Exact},
        {"exact exactly the room", 10, 0, 10, StageEncoder::Exact},
        {"exact one over, smallest fits", 11, 0, 10, StageEncoder::Smallest},
        {"exact over, smallest exactly the room", 20, 10, 10, StageEncoder::Smallest},
        {"both one byte over", 20, 11, 10, StageEncoder::None},
        {"exact over, no smallest encoder", 11, -1, 10, StageEncoder::None},
    };
    for (const EncoderCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes exactStream = base;
        exactStream.resize(s + static_cast<size_t>(c.exactExtra), 0xEE);
        Bytes smallestStream = base;
        smallestStream.resize(s + static_cast<size_t>(std::max(c.smallestExtra, 0)), 0xDD);
        int smallestCalls = 0;
        StageCodecCalls codec = LinkedStageCodec();
        codec.compress = [&](const Bytes&, Bytes& out) {
            out = exactStream;
            return true;
        };
        if (c.smallestExtra >= 0)
            codec.compressSmallest = [&](const Bytes&, Bytes& out) {
                ++smallestCalls;
                out = smallestStream;
                return true;
            };
        else
            codec.compressSmallest = nullptr;

        const auto room = static_cast<int32_t>(s + static_cast<size_t>(c.roomExtra));
        const StageBlockSave plan = PlanStageBlockSave(Compressed(0x100, 2, room), block, 0x10000, codec);
        EXPECT_EQ(plan.encoder, c.expected);
        EXPECT_EQ(plan.exactSize, exactStream.size());
        EXPECT_EQ(plan.room, static_cast<uint64_t>(room));
        EXPECT_EQ(smallestCalls, c.exactExtra > c.roomExtra && c.smallestExtra >= 0 ? 1 : 0);
        if (c.expected == StageEncoder::None) {
            ASSERT_FALSE(plan.ok());
            EXPECT_EQ(plan.error->title, "Out of Space");
            EXPECT_EQ(plan.error->icon, MessageIcon::Critical);
            EXPECT_EQ(plan.error->text(), "Error: The compressed special stages are larger than allocated in the "
                                          "ROM.\nPlease rearrange your special stages.");
            continue;
        }
        ASSERT_TRUE(plan.ok()) << plan.error->text();
        EXPECT_EQ(plan.write->offset, 0x100u);
        EXPECT_EQ(plan.write->bytes, c.expected == StageEncoder::Exact ? exactStream : smallestStream);
        EXPECT_LE(plan.write->bytes.size(), plan.room);
    }
}

// The stream is decoded again before it is written; a compressor that gets
// it wrong, or a codec call that fails, writes nothing.
TEST(StageBlockSave, ABrokenCodecWritesNothing)
{
    const Bytes block = StageBlock(2, 12);
    const Bytes good = modVorlith_Pack::Pack(block);
    // A literal byte changed: still a valid stream, other stages.
    Bytes flipped = good;
    flipped[2] ^= 0x01;
    ASSERT_NE(Extract::Decode(flipped).output, block);
    Bytes otherBlock = block;
    otherBlock[1500] ^= 0x03;
    const Bytes otherStream = modVorlith_Pack::Pack(otherBlock);
    const Bytes cut(good.begin(), good.end() - 3);

    auto returning = [](Bytes stream) {
        return [stream](const Bytes&, Bytes& out) {
            out = stream;
            return true;
        };
    };
    auto failing = [](const Bytes&, Bytes& out) {
        out.clear();
        return false;
    };
    Bytes flippedSmallest = PackSmallest(block);
    flippedSmallest[2] ^= 0x01;
    ASSERT_NE(Extract::Decode(flippedSmallest).output, block);
    const auto bigRoom = static_cast<int32_t>(good.size() + 100);
    const auto tightRoom = static_cast<int32_t>(flippedSmallest.size());
    ASSERT_LT(tightRoom, static_cast<int32_t>(good.size()));

    struct Case {
        const char* name;
        StageCodecCall compress;
        StageCodecCall compressSmallest;
        StageCodecCall decompress;
        int32_t room;
    };
    const StageCodecCalls linked = LinkedStageCodec();
    const Case cases[] = {
        {"exact stream with a changed byte", returning(flipped), linked.compressSmallest, linked.decompress, bigRoom},
        {"exact stream of other stages", returning(otherStream), linked.compressSmallest, linked.decompress, bigRoom},
        {"exact stream without its end", returning(cut), linked.compressSmallest, linked.decompress, bigRoom},
        {"smallest stream with a changed byte", linked.compress, returning(flippedSmallest), linked.decompress, tightRoom},
        {"exact encoder fails", failing, linked.compressSmallest, linked.decompress, bigRoom},
        {"smallest encoder fails", linked.compress, failing, linked.decompress, tightRoom},
        {"check decode fails", linked.compress, linked.compressSmallest, failing, bigRoom},
        {"no decoder to check with", linked.compress, linked.compressSmallest, nullptr, bigRoom},
        {"no encoder", nullptr, nullptr, linked.decompress, bigRoom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StageCodecCalls codec{c.decompress, c.compress, c.compressSmallest};
        const StageBlockSave plan = PlanStageBlockSave(Compressed(0, 2, c.room), block, 0x10000, codec);
        ASSERT_FALSE(plan.ok());
        EXPECT_EQ(plan.error->icon, MessageIcon::Critical);
        EXPECT_EQ(plan.error->title, "Compression Failed");
        EXPECT_EQ(plan.encoder, StageEncoder::None);
    }
    // The same block with the working codec is written.
    EXPECT_TRUE(PlanStageBlockSave(Compressed(0, 2, bigRoom), block, 0x10000, linked).ok());
}

// ------------------------------------------- the real Sonic & Knuckles set

constexpr uint64_t kSkStart = 0x1FCF2A;
constexpr int32_t kSkRoom = 1696;

class SonicKnucklesStages : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string dir = std::string(ZORP_CORPUS_DIR) + "/kosinski/";
        auto stream = testdata::ReadFile(dir + "sk__General__Special_Stage__Layout__SK_Set_1.kos");
        auto decoded = testdata::ReadFile(dir + "sk__General__Special_Stage__Layout__SK_Set_1.kos.dec");
        if (!stream || !decoded)
            GTEST_SKIP() << "corpus not found";
        ASSERT_EQ(stream->size(), static_cast<size_t>(kSkRoom));
        ASSERT_EQ(decoded->size(), 8256u);
        decoded_ = *decoded;
        image_ = romtest::GameImage(0x200000, romtest::SonicKnuckles(), 21);
        Put(image_, kSkStart, *stream);
    }

    static S3SSetup SkSetup() { return Compressed(static_cast<int32_t>(kSkStart), 8, kSkRoom); }

    // Applies a planned write and checks every byte it must not touch.
    Bytes ApplyAndCheckOutside(const StageBlockSave& plan)
    {
        Bytes after = image_;
        EXPECT_TRUE(ApplyWrite(after, *plan.write));
        const uint64_t end = kSkStart + plan.write->bytes.size();
        size_t changedOutside = 0;
        for (uint64_t i = 0; i < after.size(); ++i) {
            if ((i < kSkStart || i >= end) && after[i] != image_[i])
                ++changedOutside;
        }
        EXPECT_EQ(changedOutside, 0u) << "bytes outside the new stream changed (the allotted tail included)";
        return after;
    }

    Bytes decoded_;
    Bytes image_;
};

TEST_F(SonicKnucklesStages, LoadGivesEightStagesWithTheGamesStartData)
{
    const StageBlockLoad load = LoadStageBlock(SkSetup(), ImageSource(image_), LinkedStageCodec());
    ASSERT_TRUE(load.ok());
    EXPECT_TRUE(load.warnings.empty());
    ASSERT_EQ(load.store.StageCount(), 8);
    EXPECT_EQ(load.store.Block(), decoded_);
    // Properties sections as the game facts list them.
    const PropertiesSection expected[8] = {
        {0x00, 0x00, 0x15, 0x00, 0x1F, 0x00, 0x00, 0x3D}, {0x00, 0x00, 0x13, 0x00, 0x1B, 0x00, 0x00, 0x36},
        {0x40, 0x00, 0x14, 0x00, 0x05, 0x00, 0x00, 0x40}, {0x00, 0x00, 0x10, 0x00, 0x08, 0x00, 0x00, 0x40},
        {0x80, 0x00, 0x0F, 0x00, 0x0F, 0x00, 0x00, 0x44}, {0x80, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x90},
        {0x00, 0x00, 0x0E, 0x00, 0x18, 0x00, 0x00, 0x39}, {0xC0, 0x00, 0x10, 0x00, 0x17, 0x00, 0x00, 0x40},
    };
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(load.store.Properties(k), expected[k]) << "stage " << k + 1;
}

TEST_F(SonicKnucklesStages, UneditedSetFitsOnlyAsTheSmallestStream)
{
    const StageBlockLoad load = LoadStageBlock(SkSetup(), ImageSource(image_), LinkedStageCodec());
    ASSERT_TRUE(load.ok());
    const StageBlockSave plan = PlanStageBlockSave(SkSetup(), load.store.Block(), image_.size(), LinkedStageCodec());
    ASSERT_TRUE(plan.ok()) << plan.error->text();
    EXPECT_EQ(plan.encoder, StageEncoder::Smallest);
    EXPECT_EQ(plan.blockSize, 8256u);
    EXPECT_EQ(plan.exactSize, modVorlith_Pack::Pack(decoded_).size());
    EXPECT_GT(plan.exactSize, static_cast<uint64_t>(kSkRoom));
    EXPECT_LE(plan.smallestSize, static_cast<uint64_t>(kSkRoom));
    EXPECT_EQ(plan.write->bytes.size(), plan.smallestSize);
    EXPECT_EQ(plan.write->offset, kSkStart);
    RecordProperty("sk_exact_bytes", std::to_string(plan.exactSize));
    RecordProperty("sk_smallest_bytes", std::to_string(plan.smallestSize));
    std::cout << "[ SK Set 1 ] exact " << plan.exactSize << " bytes, smallest " << plan.smallestSize
              << " bytes, room " << kSkRoom << "\n";

    const Bytes after = ApplyAndCheckOutside(plan);
    const auto back = Extract::Decode(after, kSkStart);
    ASSERT_TRUE(back.Ok());
    EXPECT_EQ(back.output, decoded_);
    EXPECT_EQ(back.consumed, plan.smallestSize);
}

TEST_F(SonicKnucklesStages, AnEditedStageFitsAndIsWhatIsWritten)
{
    StageBlockLoad load = LoadStageBlock(SkSetup(), ImageSource(image_), LinkedStageCodec());
    ASSERT_TRUE(load.ok());
    StageStore& store = load.store;
    // Stage 4: a row of yellow spheres, a new start position and ring count.
    StageGrid grid = store.Grid(3);
    for (int column = 0; column < 32; ++column)
        grid[static_cast<size_t>(CellIndex(column, 12))] = Yellow;
    StartData start;
    start.Direction = S3S_Right;
    start.Column = 7;
    start.Row = 12;
    start.Rings = 99;
    ASSERT_TRUE(store.StoreStage(3, grid, start));
    const Bytes edited = store.Block();
    ASSERT_NE(edited, decoded_);

    const StageBlockSave plan = PlanStageBlockSave(SkSetup(), edited, image_.size(), LinkedStageCodec());
    ASSERT_TRUE(plan.ok()) << plan.error->text();
    EXPECT_NE(plan.encoder, StageEncoder::None);
    EXPECT_LE(plan.write->bytes.size(), static_cast<uint64_t>(kSkRoom));
    std::cout << "[ SK Set 1 edited ] exact " << plan.exactSize << " bytes, smallest " << plan.smallestSize
              << " bytes\n";

    const Bytes after = ApplyAndCheckOutside(plan);
    const auto back = Extract::Decode(after, kSkStart);
    ASSERT_TRUE(back.Ok());
    EXPECT_EQ(back.output, edited);
    // And it loads back as the edited stages.
    const StageBlockLoad reloaded = LoadStageBlock(SkSetup(), ImageSource(after), LinkedStageCodec());
    ASSERT_TRUE(reloaded.ok());
    EXPECT_TRUE(reloaded.warnings.empty());
    EXPECT_EQ(reloaded.store.Block(), edited);
}

} // namespace
} // namespace zorp
