// Both Enigma encoders: refusals, the smallest encoder's parse against an
// exhaustive search on small inputs, the flag mask the games need, memory,
// and randomized round trips.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <set>

#include "AllocationCounter.h"
#include "CorpusManifest.h"
#include "TestData.h"
#include "enigma/Enigma.h"
#include "enigma/EnigmaSmallest.h"

using namespace zorp;
using namespace zorp::enigma;
using namespace zorp::testing;

namespace {

Bytes BytesOf(const std::vector<uint16_t>& words)
{
    Bytes out;
    for (uint16_t w : words) {
        out.push_back(static_cast<uint8_t>(w >> 8));
        out.push_back(static_cast<uint8_t>(w));
    }
    return out;
}

// Every entry list for the words under the header, straight from the format
// (memoized on position and incrementing word): the fewest bits, end entry
// included, or kUnencodable.
uint32_t ExhaustiveBits(const std::vector<uint16_t>& w, const Header& h)
{
    std::map<std::pair<size_t, uint16_t>, uint32_t> memo;
    const uint32_t value = static_cast<uint32_t>(std::popcount(h.flagMask & 0x1Fu) + h.inlineBits);
    auto writable = [&](uint16_t x) { return (x & 0x7FFu) < (1u << h.inlineBits) && ((x >> 11) & ~h.flagMask) == 0; };
    std::function<uint32_t(size_t, uint16_t)> best = [&](size_t i, uint16_t inc) -> uint32_t {
        if (i == w.size())
            return 7;
        if (auto it = memo.find({i, inc}); it != memo.end())
            return it->second;
        uint32_t b = kUnencodable;
        auto take = [&](uint32_t cost, size_t k, uint16_t nextInc) {
            const uint32_t rest = best(i + k, nextInc);
            if (rest != kUnencodable)
                b = std::min(b, cost + rest);
        };
        for (size_t k = 1; k <= 16 && i + k <= w.size(); ++k) {
            bool counting = true, literal = true, same = true, up = true, down = true, all = true;
            for (size_t j = 0; j < k; ++j) {
                counting &= w[i + j] == static_cast<uint16_t>(inc + j);
                literal &= w[i + j] == h.literal;
                same &= w[i + j] == w[i];
                up &= w[i + j] == static_cast<uint16_t>(w[i] + j);
                down &= w[i + j] == static_cast<uint16_t>(w[i] - j);
                all &= writable(w[i + j]);
            }
            if (counting)
                take(6, k, static_cast<uint16_t>(inc + k));
            if (literal)
                take(6, k, inc);
            if (writable(w[i]) && (same || up || down))
                take(7 + value, k, inc);
            if (all && k <= 15)
                take(7 + value * static_cast<uint32_t>(k), k, inc);
        }
        return memo[{i, inc}] = b;
    };
    return best(0, h.incrementing);
}

std::vector<uint16_t> SmallWords(std::mt19937& rng, size_t n)
{
    static constexpr uint16_t kPool[] = {0x0000, 0x0001, 0x0002, 0x0003, 0x0005, 0x0805, 0x4002, 0x8003};
    std::vector<uint16_t> w;
    for (size_t i = 0; i < n; ++i)
        w.push_back(kPool[rng() % 8]);
    return w;
}

// Counting runs from a few starting words, repeats and a frequent word: the
// data where incrementing chains compete and the search's dominance rules
// and bounds come into play.
std::vector<uint16_t> ChainWords(std::mt19937& rng, size_t n)
{
    std::vector<uint16_t> w;
    while (w.size() < n) {
        const unsigned pick = rng() % 6;
        const auto start = static_cast<uint16_t>((rng() % 3 == 0 ? 0x2000 : 0) + rng() % 24);
        const size_t len = 1 + rng() % 6;
        for (size_t k = 0; k < len && w.size() < n; ++k)
            w.push_back(pick == 0 ? 0x0007 : pick == 1 ? start : static_cast<uint16_t>(start + k));
    }
    return w;
}

// The parse against the exhaustive search for some headers, and the header
// search against every header: widths, literal and incrementing words.
TEST(EnigmaSmallest, ParseAndSearchAreExactOnChainData)
{
    std::mt19937 rng(3);
    for (int round = 0; round < 8; ++round) {
        const auto w = ChainWords(rng, 30 + rng() % 90);
        std::set<uint16_t> values(w.begin(), w.end());
        values.insert(0xFFFF); // a word the data does not use
        Header h;
        h.flagMask = UsedFlagMask(w);
        uint32_t best = kUnencodable;
        for (int n = 1; n <= NeededInlineBits(w); ++n)
            for (uint16_t lit : values)
                for (uint16_t inc : values) {
                    h.inlineBits = static_cast<uint8_t>(n);
                    h.literal = lit;
                    h.incrementing = inc;
                    const uint32_t bits = CheapestParse(w, h);
                    best = std::min(best, bits);
                    if (rng() % 64 == 0) {
                        EXPECT_EQ(bits, ExhaustiveBits(w, h)) << "round " << round;
                    }
                }
        EXPECT_EQ(CheapestParse(w, SmallestHeader(w)), best) << "round " << round;
    }
}

TEST(EnigmaSmallest, ParseIsExactOnSmallInputs)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 150; ++round) {
        const auto w = SmallWords(rng, 1 + rng() % 7);
        Header h;
        h.inlineBits = static_cast<uint8_t>(1 + rng() % 3);
        h.flagMask = UsedFlagMask(w);
        h.literal = w[rng() % w.size()];
        h.incrementing = w[rng() % w.size()];
        EXPECT_EQ(CheapestParse(w, h), ExhaustiveBits(w, h)) << "round " << round;
    }
}

TEST(EnigmaSmallest, HeaderSearchIsExactOnSmallInputs)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 40; ++round) {
        const auto w = SmallWords(rng, 2 + rng() % 6);
        const std::set<uint16_t> values(w.begin(), w.end());
        uint32_t best = kUnencodable;
        Header h;
        h.flagMask = UsedFlagMask(w);
        for (int n = 1; n <= NeededInlineBits(w); ++n)
            for (int lit : values)
                for (int inc : values) {
                    h.inlineBits = static_cast<uint8_t>(n);
                    h.literal = static_cast<uint16_t>(lit);
                    h.incrementing = static_cast<uint16_t>(inc);
                    best = std::min(best, ExhaustiveBits(w, h));
                }
        std::vector<Entry> entries;
        const Header found = SmallestHeader(w, &entries);
        EXPECT_EQ(CheapestParse(w, found), best) << "round " << round;
        EXPECT_EQ(Decode(WriteEnigmaStream(found, w, entries)).output, BytesOf(w));
    }
}

TEST(EnigmaEncoders, RefuseOddSizes)
{
    const Bytes odd = B({0, 1, 2});
    const std::string message = "Enigma data is made of 16-bit words; 3 bytes is an odd size.";
    EXPECT_EQ(PackSmallest(odd).error, message);
    EXPECT_EQ(PackExact(odd).error, message);
    EXPECT_TRUE(PackSmallest(Bytes{}).Ok());
    EXPECT_EQ(Decode(PackExact(Bytes{}).stream).output, Bytes{});
}

// A Sonic 1 stage cell of 0x80 or more in an even column is bit 15 of its
// word: the priority flag must be in the mask, as the game reads it.
TEST(EnigmaEncoders, MaskCoversEveryFlagTheDataUses)
{
    Bytes stage(4096, 0);
    stage[2 * 64 + 10] = 0xFF; // even column
    stage[3 * 64 + 7] = 0x3A;
    for (const auto& r : {PackSmallest(stage), PackExact(stage)}) {
        ASSERT_TRUE(r.Ok());
        EXPECT_EQ(r.stream[1] & 0x10, 0x10);
        EXPECT_EQ(Decode(r.stream).output, stage);
    }
}

TEST(EnigmaEncoders, RandomRoundTrips)
{
    DataGenerator gen(5);
    std::mt19937 rng(5);
    for (int round = 0; round < 60; ++round) {
        // Words from structured bytes (runs, repeats) mixed with counting runs.
        Bytes data = gen.Structured(2 * static_cast<size_t>(gen.Uniform(1, 600)));
        for (size_t i = 0; i + 1 < data.size(); i += 2)
            if (rng() % 4 == 0) {
                data[i] = static_cast<uint8_t>(data[i] & 0x87);
                data[i + 1] = static_cast<uint8_t>(i / 2);
            }
        const auto smallest = PackSmallest(data);
        const auto exact = PackExact(data);
        for (const auto* r : {&smallest, &exact}) {
            const auto back = Decode(r->stream);
            ASSERT_TRUE(back.Ok()) << back.error;
            EXPECT_EQ(back.output, data) << "round " << round;
        }
        EXPECT_LE(smallest.stream.size(), exact.stream.size());
    }
}

// At most 32 bytes per input byte, plus a fixed 32 KiB that small inputs
// need whatever their size: every corpus file and a large synthetic one.
TEST(EnigmaEncoders, SmallestStaysWithin32BytesPerInputByte)
{
    std::vector<Bytes> inputs = {DataGenerator(3).Structured(16384)};
    if (HasCorpus("enigma"))
        for (const CorpusEntry& e : ReadCorpusManifest("enigma"))
            inputs.push_back(*ReadFile(CorpusDir("enigma") + "/" + e.decodedFile));
    for (const Bytes& data : inputs) {
        const size_t peak = AllocationCounter::PeakDuring([&] { PackSmallest(data); });
        EXPECT_LE(peak, 32 * data.size() + (size_t{32} << 10)) << data.size() << " bytes";
    }
}

} // namespace
