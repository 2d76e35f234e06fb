// The smallest-stream encoder: exact small cases, optimality against an
// exhaustive parse, and round trips on generated data.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>

#include "TestData.h"
#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"

using namespace zorp;
using namespace zorp::testing;

namespace {

// Shortest stream over every parse, trying every distance, length and token
// kind the format offers, with the descriptor fields counted as they fill
// (quadratic; for small inputs only).
long ExhaustiveStreamBytes(const Bytes& x)
{
    constexpr long kUnreached = std::numeric_limits<long>::max();
    const long n = static_cast<long>(x.size());
    // best[i][p]: fewest bytes written for the first i input bytes with p
    // descriptor bits pending in the current field.
    std::vector<std::array<long, 16>> best(x.size() + 1);
    for (auto& row : best)
        row.fill(kUnreached);
    best[0][0] = 0;
    auto relax = [&](long from, int pending, long to, int bits, int bytes) {
        const int all = pending + bits;
        best[to][all % 16] = std::min(best[to][all % 16], best[from][pending] + bytes + 2 * (all / 16));
    };
    for (long i = 0; i < n; ++i) {
        // A token's cost does not depend on its distance, only on whether the
        // distance allows it, and a match of some length at a distance holds
        // every shorter length too: the longest match within reach of each
        // kind gives every length it can copy.
        long nearLength = 0; // distances up to 256 (the short copy)
        long farLength = 0;  // distances up to 8192
        for (long d = 1; d <= std::min(i, 8192L); ++d) {
            long len = 0;
            while (i + len < n && len < 256 && x[i + len] == x[i - d + len])
                ++len;
            farLength = std::max(farLength, len);
            if (d <= 256)
                nearLength = std::max(nearLength, len);
        }
        for (int p = 0; p < 16; ++p) {
            if (best[i][p] == kUnreached)
                continue;
            relax(i, p, i + 1, 1, 1);
            for (long l = 2; l <= std::min(nearLength, 5L); ++l)
                relax(i, p, i + l, 4, 1);
            for (long l = 3; l <= std::min(farLength, 9L); ++l)
                relax(i, p, i + l, 2, 2);
            for (long l = 3; l <= farLength; ++l)
                relax(i, p, i + l, 2, 3);
        }
    }
    long result = kUnreached;
    for (int p = 0; p < 16; ++p) {
        if (best[x.size()][p] != kUnreached)
            result = std::min(result, best[x.size()][p] + 3 + 2 + 2 * ((p + 2) / 16));
    }
    return result;
}

// Stream length from the token bits: one 16-bit field per 16 descriptor bits
// (the end marker's included) plus one, and the data bytes.
size_t StreamBytes(const std::vector<KosinskiToken>& tokens)
{
    long descriptor = 2, data = 3;
    for (const KosinskiToken& t : tokens) {
        const int bits = t.kind == KosinskiTokenKind::Straight ? 1 : t.kind == KosinskiTokenKind::Inline ? 4 : 2;
        descriptor += bits;
        data += (TokenBits(t) - bits) / 8;
    }
    return static_cast<size_t>(2 * (descriptor / 16 + 1) + data);
}

TEST(SmallestPack, ExactSmallCases)
{
    // Counting bits alone would take an inline copy here and lose a whole
    // descriptor field to the rounding at the end: 16 bytes where the
    // exact encoder needs 15.
    const Bytes fieldRounding = B({0x25, 0x25, 0x25, 0xFF, 0xFF, 0xF7, 0xFF, 0xFF, 0xFF, 0x9C, 0xFF});
    EXPECT_LE(PackSmallest(fieldRounding).size(), modVorlith_Pack::Pack(fieldRounding).size());
    EXPECT_EQ(PackSmallest(fieldRounding).size(), 15u);
    EXPECT_EQ(PackSmallest(Bytes{}), B({0x02, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(PackSmallest(B({0x41})), B({0x05, 0x00, 0x41, 0x00, 0x00, 0x00}));
    // a literal and an overlapping inline copy of five bytes at distance 1
    EXPECT_EQ(PackSmallest(Repeat(0x41, 6)), B({0x59, 0x00, 0x41, 0xFF, 0x00, 0x00, 0x00}));
}

TEST(SmallestPack, RunsUseOverlappingCopies)
{
    const Bytes data = Repeat(0x00, 5000);
    const auto tokens = FindSmallestTokens(data.data(), data.size());
    // one literal, then copies of 256 at distance 1 (and one for the rest)
    ASSERT_GE(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].kind, KosinskiTokenKind::Straight);
    EXPECT_LE(tokens.size(), 1 + (5000 + 255) / 256 + 1);
    for (size_t i = 1; i < tokens.size(); ++i)
        EXPECT_EQ(tokens[i].distance, 1);
    EXPECT_EQ(modVorlith_Extract::Decode(WriteKosinskiStream(tokens)).output, data);
}

TEST(SmallestPack, OptimalOnSmallInputs)
{
    for (uint32_t seed = 1; seed <= 120; ++seed) {
        DataGenerator gen(5000 + seed);
        const size_t size = static_cast<size_t>(gen.Uniform(0, 500));
        const Bytes data = seed % 2 ? gen.Structured(size) : gen.Random(size, 1 + static_cast<int>(seed % 4));
        const auto tokens = FindSmallestTokens(data.data(), data.size());
        const Bytes stream = WriteKosinskiStream(tokens);
        ASSERT_EQ(stream.size(), StreamBytes(tokens)) << "seed " << seed;
        ASSERT_EQ(static_cast<long>(stream.size()), ExhaustiveStreamBytes(data)) << "seed " << seed;
        ASSERT_EQ(modVorlith_Extract::Decode(stream).output, data) << "seed " << seed;
    }
}

TEST(SmallestPack, FarWindowEdge)
{
    // A 3-byte repeat exactly 8192 back is used, 8193 back is not.
    for (size_t filler : {8189u, 8190u}) {
        const Bytes data = Concat({B({'A', 'B', 'C'}), DistinctPairFiller(filler, {'A', 'B', 'C'}), B({'A', 'B', 'C'})});
        const auto tokens = FindSmallestTokens(data.data(), data.size());
        const bool copied = tokens.back().kind != KosinskiTokenKind::Straight;
        EXPECT_EQ(copied, filler == 8189u);
        if (copied) {
            EXPECT_EQ(tokens.back().distance, 8192);
        }
        EXPECT_EQ(modVorlith_Extract::Decode(WriteKosinskiStream(tokens)).output, data);
    }
}

TEST(SmallestPack, RoundTripsAndNeverCostsMoreThanTheFixedEncodersParse)
{
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        DataGenerator gen(9000 + seed);
        const size_t size = static_cast<size_t>(gen.Uniform(0, seed <= 50 ? 5000 : 65536));
        const Bytes data = seed % 4 == 0 ? gen.Random(size, 256) : gen.Structured(size);
        const auto tokens = FindSmallestTokens(data.data(), data.size());
        for (const KosinskiToken& t : tokens)
            ASSERT_TRUE(IsWritable(t));
        const auto back = modVorlith_Extract::Decode(WriteKosinskiStream(tokens));
        ASSERT_TRUE(back.Ok()) << "seed " << seed;
        ASSERT_EQ(back.output, data) << "seed " << seed;
        EXPECT_LE(WriteKosinskiStream(tokens).size(), modVorlith_Pack::Pack(data).size()) << "seed " << seed;
    }
}

} // namespace
