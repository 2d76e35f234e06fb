// The exact encoder: byte-exact examples, the window edges and quirks of
// its search, and randomized agreement with the straightforward search.
#include <gtest/gtest.h>

#include "ReferencePack.h"
#include "TestData.h"
#include "kosinski/GamesPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"

using namespace zorp;
using namespace zorp::testing;

namespace {

Bytes Distinct(int count, int first = 0x30)
{
    Bytes b;
    for (int i = 0; i < count; ++i)
        b.push_back(static_cast<uint8_t>(first + i));
    return b;
}

struct PackCase {
    const char* name;
    Bytes input;
    Bytes expected;
};

class PackExamples : public ::testing::TestWithParam<PackCase> {};

TEST_P(PackExamples, GiveExactBytes)
{
    const PackCase& c = GetParam();
    EXPECT_EQ(modVorlith_Pack::Pack(c.input), c.expected);
    EXPECT_EQ(reference::Pack(c.input), c.expected);
    const auto back = modVorlith_Extract::Decode(c.expected);
    EXPECT_TRUE(back.Ok());
    EXPECT_EQ(back.output, c.input);
}

const Bytes k16 = Distinct(16);

INSTANTIATE_TEST_SUITE_P(
    Format, PackExamples,
    ::testing::Values(
        // Nothing to parse: the writing step with no tokens gives the end
        // marker in a field of its own.
        PackCase{"Empty", Bytes{}, B({0x02, 0x00, 0x00, 0x00, 0x00})},
        PackCase{"SingleByte", B({0x41}), B({0x05, 0x00, 0x41, 0x00, 0x00, 0x00})},
        // three literals and an inline copy of 3 at distance 3, no overlap
        PackCase{"SixSameBytes", Repeat(0x41, 6), B({0x47, 0x01, 0x41, 0x41, 0x41, 0xFD, 0x00, 0x00, 0x00})},
        PackCase{"TwoByteRepeat", B({0x41, 0x42, 0x41, 0x42}), B({0x83, 0x00, 0x41, 0x42, 0xFE, 0x00, 0x00, 0x00})},
        PackCase{"Embedded", B({0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46}),
                 B({0xBF, 0x02, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0xFA, 0xFC, 0x00, 0x00, 0x00})},
        // the sixteenth literal's byte follows the second field
        PackCase{"SixteenLiterals", k16,
                 Concat({B({0xFF, 0xFF}), Bytes(k16.begin(), k16.begin() + 15), B({0x02, 0x00, k16[15]}),
                         B({0x00, 0x00, 0x00})})},
        // the end marker's two bits fill the first field exactly: an all-zero
        // field leads the marker's data
        PackCase{"MarkerFillsField", Distinct(14),
                 Concat({B({0xFF, 0xBF}), Distinct(14), B({0x00, 0x00, 0x00, 0x00, 0x00})})},
        // the end marker's bits straddle two fields
        PackCase{"MarkerStraddlesFields", Distinct(15),
                 Concat({B({0xFF, 0x7F}), Distinct(15), B({0x01, 0x00, 0x00, 0x00, 0x00})})}),
    [](const auto& tp) { return std::string(tp.param.name); });

// ---- Window edges ------------------------------------------------------------

// prefix + filler + suffix, with a filler that offers no copies of its own.
Bytes Framed(const Bytes& prefix, size_t fillerLength, const Bytes& suffix)
{
    std::set<uint8_t> avoid(prefix.begin(), prefix.end());
    avoid.insert(suffix.begin(), suffix.end());
    return Concat({prefix, DistinctPairFiller(fillerLength, avoid), suffix});
}

const Bytes kAB = B({'A', 'B'});
const Bytes kABC = B({'A', 'B', 'C'});

struct EdgeCase {
    const char* name;
    Bytes input;
    KosinskiToken last; // the token that covers the end of the data
};

class PackWindowEdges : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(PackWindowEdges, ChooseTheFixedEncodersToken)
{
    const EdgeCase& c = GetParam();
    const auto tokens = modVorlith_Pack::FindTokens(c.input.data(), c.input.size());
    ASSERT_FALSE(tokens.empty());
    const KosinskiToken& t = tokens.back();
    EXPECT_EQ(t.kind, c.last.kind);
    EXPECT_EQ(t.length, c.last.length);
    EXPECT_EQ(t.distance, c.last.distance);
    // The straightforward search needs about a minute for the 8 KB cases.
    if (c.input.size() < 1000) {
        EXPECT_EQ(modVorlith_Pack::Pack(c.input), reference::Pack(c.input));
    }
    EXPECT_EQ(modVorlith_Extract::Decode(modVorlith_Pack::Pack(c.input)).output, c.input);
}

using K = KosinskiTokenKind;

INSTANTIATE_TEST_SUITE_P(
    Search, PackWindowEdges,
    ::testing::Values(
        EdgeCase{"TwoBytesAt256Inline", Framed(kAB, 254, kAB), KosinskiToken::Copy(K::Inline, 2, 256)},
        // a 2-byte copy from over 256 back is not worth it: a literal
        EdgeCase{"TwoBytesAt257Literal", Framed(kAB, 255, kAB), KosinskiToken::Straight('B')},
        EdgeCase{"TwoBytesFarLiteral", Framed(kAB, 300, kAB), KosinskiToken::Straight('B')},
        EdgeCase{"ThreeBytesAt256Inline", Framed(kABC, 253, kABC), KosinskiToken::Copy(K::Inline, 3, 256)},
        EdgeCase{"ThreeBytesAt257Separate", Framed(kABC, 254, kABC), KosinskiToken::Copy(K::Separate, 3, 257)},
        EdgeCase{"ThreeBytesFarSeparate", Framed(kABC, 300, kABC), KosinskiToken::Copy(K::Separate, 3, 303)},
        EdgeCase{"ThreeBytesAt8192", Framed(kABC, 8189, kABC), KosinskiToken::Copy(K::Separate, 3, 8192)},
        EdgeCase{"ThreeBytesAt8193NotFound", Framed(kABC, 8190, kABC), KosinskiToken::Straight('C')},
        EdgeCase{"SixBytesFarEmbedded", Framed(Distinct(6, 'a'), 5000, Distinct(6, 'a')),
                 KosinskiToken::Copy(K::Embedded, 6, 5006)},
        EdgeCase{"TenBytesSeparate", Framed(Distinct(10, 'a'), 40, Distinct(10, 'a')),
                 KosinskiToken::Copy(K::Separate, 10, 50)}),
    [](const auto& tp) { return std::string(tp.param.name); });

// The near search takes the lowest occurrence from 257 back, so a 2-byte
// repeat there hides a closer one and the pair becomes a literal.
TEST(PackSearch, LowestNearOccurrenceWinsOverACloserOne)
{
    const Bytes filler = DistinctPairFiller(253, {'A', 'B'});
    const Bytes data = Concat({kAB, Bytes(filler.begin(), filler.begin() + 247), kAB,
                               Bytes(filler.begin() + 247, filler.end()), kAB});
    ASSERT_EQ(data.size(), 259u);
    ASSERT_NE(filler[246], filler[252]); // no 3-byte repeat at distance 8
    const auto tokens = modVorlith_Pack::FindTokens(data.data(), data.size());
    EXPECT_EQ(tokens.back().kind, K::Straight);
    EXPECT_EQ(modVorlith_Pack::Pack(data), reference::Pack(data));
}

TEST(PackSearch, FarCopyWithCountByteTwo)
{
    const Bytes data = Framed(kABC, 300, kABC);
    const Bytes stream = modVorlith_Pack::Pack(data);
    // f = 8192 - 303 = 0x1ED1: lo 0xD1, hi 0xF0, count byte L - 1 = 2.
    const Bytes expected = B({0xD1, 0xF0, 0x02});
    EXPECT_NE(std::search(stream.begin(), stream.end(), expected.begin(), expected.end()), stream.end());
}

TEST(PackSearch, LongRepeatsAreCutAt255)
{
    for (size_t size : {255u, 256u, 510u, 511u, 600u, 2000u}) {
        const Bytes data = Repeat(0x41, size);
        const auto tokens = modVorlith_Pack::FindTokens(data.data(), data.size());
        for (const KosinskiToken& t : tokens)
            ASSERT_LE(t.length, 255) << size;
        // the longest copy is taken, so one token of 255 appears past 510 bytes
        if (size >= 510) {
            EXPECT_TRUE(std::any_of(tokens.begin(), tokens.end(), [](auto& t) { return t.length == 255; })) << size;
        }
        EXPECT_EQ(modVorlith_Pack::Pack(data), reference::Pack(data)) << size;
    }
}

TEST(PackSearch, RepeatedBlocksAround255)
{
    for (size_t block : {253u, 254u, 255u, 256u, 257u}) {
        const Bytes unit = DistinctPairFiller(block, {}, static_cast<uint32_t>(block));
        const Bytes data = Concat({unit, unit, unit});
        EXPECT_EQ(modVorlith_Pack::Pack(data), reference::Pack(data)) << block;
        EXPECT_EQ(modVorlith_Extract::Decode(modVorlith_Pack::Pack(data)).output, data) << block;
    }
}

// ---- Randomized agreement with the straightforward search ---------------------

void ExpectSameAsReference(const Bytes& data, const std::string& what)
{
    const auto fast = modVorlith_Pack::FindTokens(data.data(), data.size());
    const auto slow = reference::FindTokens(data.data(), data.size());
    ASSERT_EQ(fast.size(), slow.size()) << what;
    for (size_t i = 0; i < fast.size(); ++i) {
        ASSERT_EQ(fast[i].kind, slow[i].kind) << what << " token " << i;
        ASSERT_EQ(fast[i].length, slow[i].length) << what << " token " << i;
        ASSERT_EQ(fast[i].distance, slow[i].distance) << what << " token " << i;
        ASSERT_EQ(fast[i].literal, slow[i].literal) << what << " token " << i;
        ASSERT_LE(fast[i].length, 255);
        ASSERT_LE(fast[i].distance, 8192);
    }
    const Bytes stream = WriteKosinskiStream(fast);
    ASSERT_EQ(stream, modVorlith_Pack::Pack(data));
    const auto back = modVorlith_Extract::Decode(stream);
    ASSERT_TRUE(back.Ok()) << what;
    ASSERT_EQ(back.output, data) << what;
}

TEST(PackProperty, SmallRandomDataMatchesReference)
{
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        DataGenerator gen(seed);
        const int alphabet = seed % 3 == 0 ? 2 : seed % 3 == 1 ? 4 : 256;
        const Bytes data = gen.Random(static_cast<size_t>(gen.Uniform(0, 400)), alphabet);
        ExpectSameAsReference(data, "seed " + std::to_string(seed));
    }
}

TEST(PackProperty, StructuredDataMatchesReference)
{
    // The straightforward search is slow, so most cases are small; the last
    // few reach past the far window.
    for (uint32_t seed = 1; seed <= 27; ++seed) {
        DataGenerator gen(1000 + seed);
        const size_t size = static_cast<size_t>(seed <= 24 ? gen.Uniform(0, 3000) : gen.Uniform(8000, 20000));
        ExpectSameAsReference(gen.Structured(size), "seed " + std::to_string(seed));
    }
}

// The games' encoder: its end marker, the inline reach it never used (256)
// and its far reach (7938 = 8192 - 254).
TEST(GamesPack, EndMarkerAndReach)
{
    EXPECT_EQ(GamesPack::Pack(B({0x41})), B({0x05, 0x00, 0x41, 0x00, 0xF0, 0x00}));
    struct Case {
        Bytes pattern;
        size_t gap;
        KosinskiTokenKind last; // how the repeat at the end is written
    };
    const Bytes ab = B({'A', 'B'}), abc = B({'A', 'B', 'C'});
    for (const Case& c : {Case{ab, 253, KosinskiTokenKind::Inline}, Case{ab, 254, KosinskiTokenKind::Straight},
                          Case{abc, 7935, KosinskiTokenKind::Embedded}, Case{abc, 7936, KosinskiTokenKind::Straight}}) {
        const Bytes data = Concat({c.pattern, DistinctPairFiller(c.gap, {'A', 'B', 'C'}), c.pattern});
        const auto tokens = GamesPack::FindTokens(data.data(), data.size());
        EXPECT_EQ(tokens.back().kind, c.last) << c.gap;
        EXPECT_EQ(modVorlith_Extract::Decode(GamesPack::Pack(data)).output, data);
    }
}

} // namespace
