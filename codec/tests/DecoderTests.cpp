// Kosinski decoder: the format's worked examples, the reach of each copy kind,
// and streams that are cut short, point before the output or expand forever.
#include <gtest/gtest.h>

#include <memory>

#include "ReferenceExtract.h"
#include "TestData.h"
#include "kosinski/KosinskiToken.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"

using namespace zorp;
using namespace zorp::testing;
using modVorlith_Extract::Decode;
using modVorlith_Extract::DecodeStatus;

namespace {

Bytes SixteenDistinct()
{
    Bytes b;
    for (int i = 0; i < 16; ++i)
        b.push_back(static_cast<uint8_t>(0x30 + i));
    return b;
}

struct DecodeCase {
    const char* name;
    Bytes stream;
    Bytes expected;
    size_t consumed;
};

class DecodeExamples : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeExamples, ProduceTheExpectedBytes)
{
    const DecodeCase& c = GetParam();
    const auto r = Decode(c.stream);
    EXPECT_EQ(r.status, DecodeStatus::Ok);
    EXPECT_EQ(r.output, c.expected);
    EXPECT_EQ(r.consumed, c.consumed);
}

const Bytes kDistinct = SixteenDistinct();

INSTANTIATE_TEST_SUITE_P(
    Format, DecodeExamples,
    ::testing::Values(
        DecodeCase{"SingleLiteral", B({0x05, 0x00, 0x41, 0x00, 0x00, 0x00}), B({0x41}), 6},
        // literal, inline h=1 l=1 (five bytes) at distance 1, end
        DecodeCase{"InlineRun", B({0x59, 0x00, 0x41, 0xFF, 0x00, 0x00, 0x00}), Repeat(0x41, 6), 7},
        // sixteen literals: the sixteenth byte follows the second field
        DecodeCase{"SixteenLiterals",
                   Concat({B({0xFF, 0xFF}), Bytes(kDistinct.begin(), kDistinct.begin() + 15), B({0x02, 0x00}),
                           B({kDistinct[15]}), B({0x00, 0x00, 0x00})}),
                   kDistinct, 23},
        // literal 41, full copy with count byte 1 (no-op), literal 42, end
        DecodeCase{"CountByteOneCopiesNothing", B({0x2D, 0x00, 0x41, 0x00, 0x00, 0x01, 0x42, 0x00, 0x00, 0x00}),
                   B({0x41, 0x42}), 10},
        // padding after the end token is neither read nor decoded
        DecodeCase{"TrailingPaddingIgnored", B({0x05, 0x00, 0x41, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x12}), B({0x41}),
                   6},
        // literal, full copy offset 0x1FFF (distance 1) with count field 7 (9 bytes), end
        DecodeCase{"EmbeddedCount", B({0x15, 0x00, 0x41, 0xFF, 0xFF, 0x00, 0x00, 0x00}), Repeat(0x41, 10),
                   8},
        // literal, full copy distance 1 with count byte 255 (256 bytes), end
        DecodeCase{"CountByteMaximum", B({0x15, 0x00, 0x41, 0xFF, 0xF8, 0xFF, 0x00, 0x00, 0x00}),
                   Repeat(0x41, 257), 9},
        DecodeCase{"EmptyOutput", B({0x02, 0x00, 0x00, 0x00, 0x00}), Bytes{}, 5}),
    [](const auto& tp) { return std::string(tp.param.name); });

// Streams built by the writer whose copies reach exactly as far as the format
// allows: 256 back for inline copies, 8192 back for full copies.
TEST(DecodeReach, InlineZeroReachesBack256)
{
    Bytes data = DistinctPairFiller(256, {});
    std::vector<KosinskiToken> tokens;
    for (uint8_t b : data)
        tokens.push_back(KosinskiToken::Straight(b));
    tokens.push_back(KosinskiToken::Copy(KosinskiTokenKind::Inline, 2, 256));
    const Bytes stream = WriteKosinskiStream(tokens);
    // The inline copy's data byte 256 - d is 0.
    ASSERT_EQ(stream[stream.size() - 4], 0x00);
    const auto r = Decode(stream);
    ASSERT_TRUE(r.Ok());
    ASSERT_EQ(r.output.size(), 258u);
    EXPECT_EQ(r.output[256], data[0]);
    EXPECT_EQ(r.output[257], data[1]);
}

TEST(DecodeReach, FullCopyWithZeroOffsetReachesBack8192)
{
    DataGenerator gen(7);
    const Bytes data = gen.Random(8192, 256);
    std::vector<KosinskiToken> tokens;
    for (uint8_t b : data)
        tokens.push_back(KosinskiToken::Straight(b));
    tokens.push_back(KosinskiToken::Copy(KosinskiTokenKind::Separate, 20, 8192));
    const Bytes stream = WriteKosinskiStream(tokens);
    // lo, hi and the count byte just before the end marker's data.
    ASSERT_EQ(Bytes(stream.end() - 6, stream.end() - 3), B({0x00, 0x00, 19}));
    const auto r = Decode(stream);
    ASSERT_TRUE(r.Ok());
    ASSERT_EQ(r.output.size(), 8212u);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 20, r.output.begin() + 8192));
}

TEST(DecodeStart, SkipsLeadingBytes)
{
    const Bytes stream = B({0xAA, 0xBB, 0xCC, 0x05, 0x00, 0x41, 0x00, 0x00, 0x00});
    const auto r = Decode(stream, 3);
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.output, B({0x41}));
    EXPECT_EQ(r.consumed, 6u);
}

TEST(DecodeStart, PastTheEndIsAFailure)
{
    const Bytes stream = B({0x05, 0x00, 0x41, 0x00, 0x00, 0x00});
    EXPECT_EQ(Decode(stream, 7).status, DecodeStatus::StartPastEnd);
    EXPECT_EQ(Decode(stream, 6).status, DecodeStatus::Truncated);
}

// ---- Broken streams --------------------------------------------------------

TEST(DecodeBroken, EveryTruncationFailsWithTheBytesSoFar)
{
    DataGenerator gen(11);
    const Bytes data = gen.Structured(3000);
    const Bytes stream = modVorlith_Pack::Pack(data);
    ASSERT_TRUE(Decode(stream).Ok());
    for (size_t cut = 0; cut < stream.size(); ++cut) {
        const auto r = Decode(stream.data(), cut);
        ASSERT_EQ(r.status, DecodeStatus::Truncated) << "cut at " << cut;
        ASSERT_LE(r.consumed, cut);
        // What was produced is a prefix of the real output.
        ASSERT_LE(r.output.size(), data.size());
        ASSERT_TRUE(std::equal(r.output.begin(), r.output.end(), data.begin())) << "cut at " << cut;
    }
}

struct BrokenCase {
    const char* name;
    Bytes stream;
    DecodeStatus status;
    Bytes partial;
};

class DecodeBrokenCases : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(DecodeBrokenCases, StopWithTheRightStatus)
{
    const BrokenCase& c = GetParam();
    const auto r = Decode(c.stream);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.output, c.partial);
}

INSTANTIATE_TEST_SUITE_P(
    Format, DecodeBrokenCases,
    ::testing::Values(
        BrokenCase{"Empty", Bytes{}, DecodeStatus::Truncated, {}},
        BrokenCase{"HalfAField", B({0x05}), DecodeStatus::Truncated, {}},
        BrokenCase{"MissingLiteral", B({0x05, 0x00}), DecodeStatus::Truncated, {}},
        BrokenCase{"MissingCountByte", B({0x05, 0x00, 0x41, 0x00, 0x00}), DecodeStatus::Truncated, B({0x41})},
        // sixteen literals, then the second field is missing
        BrokenCase{"MissingReloadedField", Concat({B({0xFF, 0xFF}), Repeat(0x41, 15)}), DecodeStatus::Truncated,
                   Repeat(0x41, 15)},
        // an inline copy at distance 1 before anything was produced
        BrokenCase{"InlineCopyBeforeStart", B({0x00, 0x00, 0xFF}), DecodeStatus::CopyBeforeStart, {}},
        // a literal, then a full copy from 2 back
        BrokenCase{"FullCopyBeforeStart", B({0x05, 0x00, 0x41, 0xFE, 0xFF}), DecodeStatus::CopyBeforeStart,
                   B({0x41})},
        // a literal, then a copy from 8192 back
        BrokenCase{"FarCopyBeforeStart", B({0x05, 0x00, 0x41, 0x00, 0x00, 0x05}), DecodeStatus::CopyBeforeStart,
                   B({0x41})}),
    [](const auto& tp) { return std::string(tp.param.name); });

// A literal and then copies of 256 bytes forever: the cap stops it.
Bytes EndlessExpansion(int copies)
{
    std::vector<KosinskiToken> tokens{KosinskiToken::Straight(0x41)};
    for (int i = 0; i < copies; ++i)
        tokens.push_back(KosinskiToken::Copy(KosinskiTokenKind::Separate, 256, 1));
    return WriteKosinskiStream(tokens);
}

TEST(DecodeBroken, OutputCapStopsExpansion)
{
    const Bytes stream = EndlessExpansion(100); // 25601 bytes when decoded
    EXPECT_TRUE(Decode(stream).Ok());
    const auto capped = Decode(stream.data(), stream.size(), 0, 10000);
    EXPECT_EQ(capped.status, DecodeStatus::OutputTooLarge);
    EXPECT_LE(capped.output.size(), 10000u);
    const auto exact = Decode(stream.data(), stream.size(), 0, 25601);
    EXPECT_TRUE(exact.Ok());
    EXPECT_EQ(exact.output.size(), 25601u);
}

TEST(DecodeBroken, DefaultCapHoldsAgainstAHugeExpansion)
{
    // About 70000 copies of 256 bytes: 17.9 MB, past the 16 MiB default.
    const Bytes stream = EndlessExpansion(70000);
    const auto r = Decode(stream);
    EXPECT_EQ(r.status, DecodeStatus::OutputTooLarge);
    EXPECT_LE(r.output.size(), modVorlith_Extract::kDefaultOutputCap);
}

TEST(DecodeBroken, RandomGarbageNeverCrashesOrHangs)
{
    DataGenerator gen(2024);
    int ok = 0;
    for (int round = 0; round < 20000; ++round) {
        const Bytes junk = gen.Random(static_cast<size_t>(gen.Uniform(0, 300)), round % 2 ? 256 : 4);
        const auto r = Decode(junk.data(), junk.size(), 0, 1 << 16);
        ASSERT_LE(r.consumed, junk.size());
        ASSERT_LE(r.output.size(), size_t{1} << 16);
        ok += r.Ok();
    }
    // Some garbage happens to be a valid stream; most is not.
    EXPECT_LT(ok, 20000);
}

// The fast decoder gives what the one taken straight from the format gives,
// and never more than the cap.
void ExpectSameAsStraight(const uint8_t* data, size_t size, size_t cap)
{
    const auto fast = Decode(data, size, 0, cap);
    const auto straight = reference::Extract(data, size, cap);
    ASSERT_LE(fast.output.size(), cap);
    ASSERT_EQ(fast.status, straight.status);
    ASSERT_EQ(fast.consumed, straight.consumed);
    ASSERT_EQ(fast.output, straight.output);
}

// The fast decoder against the one taken straight from the format, on
// streams cut, capped and corrupted anywhere.
TEST(DecodeBroken, SameResultAsTheStraightDecoder)
{
    DataGenerator gen(77);
    for (int round = 0; round < 400; ++round) {
        Bytes stream = modVorlith_Pack::Pack(gen.Structured(static_cast<size_t>(gen.Uniform(0, 12000))));
        if (round % 2)
            for (int flips = gen.Uniform(1, 4); flips > 0; --flips)
                stream[static_cast<size_t>(gen.Uniform(0, static_cast<int>(stream.size()) - 1))] ^=
                    static_cast<uint8_t>(1 << gen.Uniform(0, 7));
        const size_t size = round % 3 == 0 ? static_cast<size_t>(gen.Uniform(0, static_cast<int>(stream.size())))
                                           : stream.size();
        const size_t cap = round % 5 == 0 ? static_cast<size_t>(gen.Uniform(0, 9000)) : size_t{1} << 20;
        // A buffer of exactly the stream's size, so that the sanitizer build
        // catches any read past its end.
        const auto exact = std::make_unique<uint8_t[]>(std::max<size_t>(size, 1));
        std::copy(stream.begin(), stream.begin() + static_cast<ptrdiff_t>(size), exact.get());
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectSameAsStraight(exact.get(), size, cap);
        if (HasFatalFailure())
            return;
    }
}

// A run of literals and then the longest copy, just below the cap: the fast
// path must leave room for both, or it passes the cap and, finding no room
// for another step, never gets going again. Every alignment of the run
// within its descriptor field is tried.
TEST(DecodeBroken, LiteralRunAndLongCopyAtTheCap)
{
    constexpr size_t kCap = 4096;
    for (size_t lead = kCap - 300; lead < kCap - 250; ++lead) {
        std::vector<KosinskiToken> tokens;
        for (size_t i = 0; i < lead + 15; ++i)
            tokens.push_back(KosinskiToken::Straight(static_cast<uint8_t>(i * 7)));
        tokens.push_back(KosinskiToken::Copy(KosinskiTokenKind::Separate, 256, 1));
        for (int i = 0; i < 64; ++i)
            tokens.push_back(KosinskiToken::Straight(static_cast<uint8_t>(i)));
        const Bytes stream = WriteKosinskiStream(tokens);
        SCOPED_TRACE("lead " + std::to_string(lead));
        ExpectSameAsStraight(stream.data(), stream.size(), kCap);
        if (HasFatalFailure())
            return;
    }
}

TEST(DecodeStatusText, EveryFailureHasASentence)
{
    for (auto s : {DecodeStatus::StartPastEnd, DecodeStatus::Truncated, DecodeStatus::CopyBeforeStart,
                   DecodeStatus::OutputTooLarge})
        EXPECT_NE(modVorlith_Extract::DescribeStatus(s).find("data"), std::string::npos);
}

} // namespace
