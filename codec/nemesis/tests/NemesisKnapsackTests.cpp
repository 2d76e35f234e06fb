// The code-space knapsack against brute force, on random problems small
// enough to enumerate: the tables of one nibble for given pieces (with and
// without a price cut), and one table per nibble within the code space
// (whose price bound must never change the answer).
#include <gtest/gtest.h>

#include <random>

#include "nemesis/NemesisKnapsack.h"

using namespace zorp::nemesis;
using namespace zorp::nemesis::knapsack;

namespace {

constexpr Bits kNone = -1;

// Fewest bits at each number of units over every table of symbols 1-4
// (each escaped or coded in 1-8 bits), kNone where no table has that many.
std::vector<Bits> EveryTable(const PieceCounts& pieces)
{
    std::vector<Bits> best(kCodeSpace + 1, kNone);
    for (int t = 0; t < 9 * 9 * 9 * 9; ++t) {
        Lengths lengths{};
        for (int k = 1, rest = t; k <= 4; ++k, rest /= 9)
            lengths[static_cast<size_t>(k)] = static_cast<uint8_t>(rest % 9);
        Bits bits = TableBits(lengths);
        for (unsigned k = 1; k <= 8; ++k)
            bits += pieces[k] * (lengths[k] ? lengths[k] : kEscapeCodeBits);
        const unsigned units = Units(lengths);
        if (units <= kCodeSpace && (best[units] == kNone || bits < best[units]))
            best[units] = bits;
    }
    return best;
}

PieceCounts RandomPieces(std::mt19937& rng)
{
    const int sizes[] = {0, 0, 1, 2, 3, 5, 9, 20, 70, 400};
    PieceCounts pieces{};
    for (unsigned k = 1; k <= 4; ++k)
        pieces[k] = sizes[rng() % 10];
    return pieces;
}

TEST(NemesisKnapsack, TablesAreTheFrontierOfEveryTable)
{
    std::mt19937 rng(11);
    Scratch scratch;
    for (int trial = 0; trial < 120; ++trial) {
        const PieceCounts pieces = RandomPieces(rng);
        SCOPED_TRACE("trial " + std::to_string(trial));
        const std::vector<Bits> every = EveryTable(pieces);
        Menu frontier;
        for (unsigned u = 0; u <= kCodeSpace; ++u)
            if (every[u] != kNone && (frontier.empty() || every[u] < frontier.back().bits))
                frontier.push_back({every[u], u, {}});
        // Each option is the table its lengths give; past the first, a few
        // may be no better than escaping all (the selector costs bits
        // nowhere else), the rest are the frontier.
        const Menu menu = TableOptionsFor(pieces, scratch);
        for (const Option& o : menu) {
            Bits bits = TableBits(o.lengths);
            for (unsigned k = 1; k <= 8; ++k)
                bits += pieces[k] * (o.lengths[k] ? o.lengths[k] : kEscapeCodeBits);
            EXPECT_EQ(o.bits, bits);
            EXPECT_EQ(o.units, Units(o.lengths));
        }
        Menu kept = menu;
        KeepFrontier(kept);
        ASSERT_EQ(kept.size(), frontier.size());
        for (size_t i = 0; i < kept.size(); ++i) {
            EXPECT_EQ(kept[i].units, frontier[i].units);
            EXPECT_EQ(kept[i].bits, frontier[i].bits);
        }
        // At a price, exactly the options within `most` stay.
        Bound price;
        price.bits = static_cast<Bits>(rng() % 40);
        price.units = 1 + static_cast<Bits>(rng() % 4);
        const Bits most = price.Priced(frontier.back().bits, frontier.back().units) + static_cast<Bits>(rng() % 400);
        Menu within;
        for (const Option& o : menu)
            if (price.Priced(o.bits, o.units) <= most)
                within.push_back(o);
        const Menu priced = TableOptionsFor(pieces, scratch, &price, most);
        ASSERT_EQ(priced.size(), within.size());
        for (size_t i = 0; i < priced.size(); ++i)
            EXPECT_EQ(priced[i].lengths, within[i].lengths);
    }
}

TEST(NemesisKnapsack, PickIsTheBestChoiceWithinTheCodeSpace)
{
    std::mt19937 rng(12);
    Scratch scratch;
    for (int trial = 0; trial < 60; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        std::array<Menu, 16> owned;
        std::array<const Menu*, 16> menus;
        for (unsigned v = 0; v < 16; ++v) {
            owned[v] = rng() % 4 ? TableOptionsFor(RandomPieces(rng), scratch) : NoChoice();
            menus[v] = &owned[v];
        }
        // every choice within the code space, by units used
        std::vector<Bits> best(kCodeSpace + 1, kNone);
        best[0] = 0;
        for (const Menu* menu : menus) {
            std::vector<Bits> next(kCodeSpace + 1, kNone);
            for (unsigned u = 0; u <= kCodeSpace; ++u)
                for (const Option& o : *menu)
                    if (best[u] != kNone && u + o.units <= kCodeSpace &&
                        (next[u + o.units] == kNone || best[u] + o.bits < next[u + o.units]))
                        next[u + o.units] = best[u] + o.bits;
            best = next;
        }
        Bits fewest = kNone;
        for (Bits b : best)
            if (b != kNone && (fewest == kNone || b < fewest))
                fewest = b;
        const Bound bound = BoundFor(menus, scratch);
        const auto choices = PickWithinBudget(menus, scratch, bound, kInfinite);
        ASSERT_TRUE(choices);
        Bits bits = 0;
        unsigned units = 0;
        for (unsigned v = 0; v < 16; ++v) {
            bits += (*menus[v])[(*choices)[v]].bits;
            units += (*menus[v])[(*choices)[v]].units;
        }
        EXPECT_EQ(bits, fewest);
        EXPECT_LE(units, kCodeSpace);
        // a limit at the best finds it, one bit below finds nothing
        EXPECT_TRUE(PickWithinBudget(menus, scratch, bound, fewest));
        EXPECT_FALSE(PickWithinBudget(menus, scratch, bound, fewest - 1));
    }
}

} // namespace
