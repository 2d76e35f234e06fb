// Both Nemesis encoders: what they refuse, and round trips of generated tile
// data of the shapes that matter to them (long runs, rows that repeat, few
// or many nibble values, runs ending at the very end of the data).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <random>

#include "NemesisTestData.h"
#include "nemesis/Nemesis.h"

using namespace zorp::nemesis;
using namespace zorp::nemesis::testing;

namespace {

TEST(NemesisEncoders, RefuseWhatNoStreamCanHold)
{
    const struct {
        Bytes data;
        std::string error;
    } cases[] = {
        {{}, "There is no data to compress."},
        {Bytes(33, 0), "Nemesis compresses whole 8x8 tiles of 32 bytes; 33 bytes is not a multiple of 32."},
        {Bytes(32 * (kMaxTiles + 1), 0), "A Nemesis stream holds at most 32767 tiles; the data has 32768."},
    };
    for (const auto& c : cases) {
        for (const auto& r : {PackSmallest(c.data), PackExact(c.data)}) {
            EXPECT_EQ(r.error, c.error);
            EXPECT_TRUE(r.stream.empty());
        }
    }
    EXPECT_EQ(PackSmallest(nullptr, 32).error, "There is no data to compress.");
    EXPECT_EQ(PackExact(nullptr, 32).error, "There is no data to compress.");
    const Bytes most(32 * kMaxTiles, 0x11);
    EXPECT_TRUE(PackSmallest(most).Ok());
    EXPECT_TRUE(PackExact(most).Ok());
}

// Tiles built row by row from a few generators.
Bytes GeneratedTiles(std::mt19937& rng, size_t tiles)
{
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int palette = pick(1, 16);
    std::vector<int> nibbles;
    while (nibbles.size() < tiles * 64) {
        switch (pick(0, 3)) {
        case 0: // a run, often long
            nibbles.insert(nibbles.end(), static_cast<size_t>(pick(1, pick(0, 1) ? 9 : 200)), pick(0, palette - 1));
            break;
        case 1: // noise
            for (int n = pick(1, 16); n > 0; --n)
                nibbles.push_back(pick(0, palette - 1));
            break;
        default: // the row above again, maybe a little changed (XOR mode)
            if (nibbles.size() >= 8) {
                for (int i = 0; i < 8; ++i)
                    nibbles.push_back(nibbles[nibbles.size() - 8]);
                if (pick(0, 1))
                    nibbles.back() = pick(0, 15);
            }
        }
    }
    nibbles.resize(tiles * 64);
    Bytes out;
    for (size_t i = 0; i < nibbles.size(); i += 2)
        out.push_back(static_cast<uint8_t>(nibbles[i] << 4 | nibbles[i + 1]));
    return out;
}

TEST(NemesisEncoders, RoundTripGeneratedTiles)
{
    std::mt19937 rng(20240511);
    for (int trial = 0; trial < 62; ++trial) {
        const size_t tiles = trial < 60 ? std::uniform_int_distribution<size_t>(1, 12)(rng) : 200;
        const Bytes data = GeneratedTiles(rng, tiles);
        SCOPED_TRACE("trial " + std::to_string(trial));
        const auto smallest = PackSmallest(data);
        const auto exact = PackExact(data);
        ASSERT_TRUE(smallest.Ok() && exact.Ok());
        for (const Bytes* stream : {&smallest.stream, &exact.stream}) {
            const auto back = Decode(*stream);
            ASSERT_TRUE(back.Ok()) << back.error;
            ASSERT_EQ(back.output, data);
            ASSERT_EQ(back.consumed, stream->size());
        }
        // The exact encoder's choice is one the smallest-stream search covers.
        EXPECT_LE(smallest.stream.size(), exact.stream.size());
    }
}

// 5, 6, 7, then 61 zeros: the last run is cut into eight pieces of 8, the
// last running three nibbles past the tile, so one table code does for all
// of it: header 2, table 4 (selector, entry, code, end), codes 6 (three
// escapes of 13 bits, then 8 x "0"). Without running past the end, 61
// zeros need two kinds of piece and 13 bytes at least.
TEST(NemesisSmallest, LastPieceRunsPastTheEnd)
{
    Bytes data(32, 0);
    data[0] = 0x56;
    data[1] = 0x70;
    const auto r = PackSmallest(data);
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.stream.size(), 12u);
    EXPECT_EQ(Decode(r.stream).output, data);
}

// The fewest bits a plain-mode stream of data whose runs are all 1 to 3
// nibbles long can have, by brute force: every table of each nibble (three
// code lengths, escape included), each run cut its cheapest way and the
// last one allowed to end in a longer piece, then the code space shared out
// among the nibbles.
size_t SmallestPlainBytes(const Bytes& data)
{
    constexpr long kUnits = 252;
    std::array<std::array<long, 4>, 16> runs{}; // per nibble, runs of 1-3
    unsigned lastNibble = 0, lastLength = 0;
    for (size_t i = 0; i < data.size() * 2;) {
        auto at = [&](size_t n) { return n & 1 ? data[n / 2] & 15 : data[n / 2] >> 4; };
        size_t j = i;
        while (j < data.size() * 2 && at(j) == at(i))
            ++j;
        lastNibble = static_cast<unsigned>(at(i));
        lastLength = static_cast<unsigned>(j - i);
        if (j < data.size() * 2)
            ++runs[lastNibble][lastLength];
        i = j;
    }
    std::vector<long> best(kUnits + 1, 0); // fewest bits of the nibbles so far within u units
    for (unsigned v = 0; v < 16; ++v) {
        std::vector<long> mine(kUnits + 1, std::numeric_limits<long>::max()); // at exactly u units
        for (int t = 0; t < 9 * 9 * 9; ++t) {
            const std::array<long, 4> length = {0, t % 9, t / 9 % 9, t / 81};
            std::array<long, 9> cost{};
            long units = 0, entries = 0;
            for (unsigned k = 1; k <= 8; ++k) {
                cost[k] = k <= 3 && length[k] ? length[k] : 13;
                if (k <= 3 && length[k]) {
                    units += 1 << (8 - length[k]);
                    ++entries;
                }
            }
            if (units > kUnits)
                continue;
            const std::array<long, 4> cut = {0, cost[1], std::min(cost[2], 2 * cost[1]),
                                             std::min({cost[3], cost[2] + cost[1], 3 * cost[1]})};
            long bits = entries ? 8 + 16 * entries : 0;
            for (unsigned x = 1; x <= 3; ++x)
                bits += runs[v][x] * cut[x];
            if (v == lastNibble) {
                long end = std::numeric_limits<long>::max();
                for (unsigned c = 1; c <= lastLength; ++c)
                    for (unsigned k = c; k <= 8; ++k)
                        end = std::min(end, cut[lastLength - c] + cost[k]);
                bits += end;
            } else if (runs[v] == std::array<long, 4>{}) {
                bits = 0; // no runs, no table
            }
            mine[static_cast<size_t>(units)] = std::min(mine[static_cast<size_t>(units)], bits);
        }
        std::vector<long> next(kUnits + 1, std::numeric_limits<long>::max());
        for (long u = 0; u <= kUnits; ++u)
            for (long w = 0; u + w <= kUnits; ++w)
                if (mine[static_cast<size_t>(w)] != std::numeric_limits<long>::max())
                    next[static_cast<size_t>(u + w)] =
                        std::min(next[static_cast<size_t>(u + w)], best[static_cast<size_t>(u)] + mine[static_cast<size_t>(w)]);
        best = next;
    }
    return static_cast<size_t>((24 + *std::min_element(best.begin(), best.end()) + 7) / 8);
}

// Where every run is short, every nibble's tables can all be weighed, and
// the encoder must reach the smallest plain stream (or a smaller XOR one).
TEST(NemesisSmallest, ShortRunsGetTheSmallestStream)
{
    std::mt19937 rng(7);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int trial = 0; trial < 40; ++trial) {
        const int palette = pick(2, 16), tiles = pick(1, 6);
        std::vector<int> nibbles;
        while (nibbles.size() < static_cast<size_t>(tiles) * 64) {
            int value = pick(0, palette - 1);
            if (!nibbles.empty() && value == nibbles.back())
                value = (value + 1) % palette;
            nibbles.insert(nibbles.end(), static_cast<size_t>(pick(1, 3)), value);
        }
        nibbles.resize(static_cast<size_t>(tiles) * 64);
        Bytes data;
        for (size_t i = 0; i < nibbles.size(); i += 2)
            data.push_back(static_cast<uint8_t>(nibbles[i] << 4 | nibbles[i + 1]));
        SCOPED_TRACE("trial " + std::to_string(trial));
        const auto r = PackSmallest(data);
        ASSERT_TRUE(r.Ok());
        EXPECT_EQ(Decode(r.stream).output, data);
        EXPECT_LE(r.stream.size(), SmallestPlainBytes(data));
    }
}

} // namespace
