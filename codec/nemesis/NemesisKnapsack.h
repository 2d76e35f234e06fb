#pragma once
// The code table side of the smallest-stream search: what a table of one
// nibble costs and the units of code space it takes, the best tables for
// given piece counts, and the choice of one table per nibble within the
// code space (a knapsack, made exact and cut short by a price bound).
// Plain C++ without Qt.
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "nemesis/NemesisStream.h"

namespace zorp::nemesis::knapsack {

using Bits = long long;
constexpr Bits kInfinite = std::numeric_limits<Bits>::max() / 4;
constexpr Bits kEntryBits = 16;    // one table entry
constexpr Bits kSelectorBits = 8;  // a nibble selector, once per nibble with entries

// Code length of the runs of one nibble, [1..8] by run length; 0 = escape.
using Lengths = std::array<uint8_t, 9>;
using PieceCounts = std::array<Bits, 9>;

inline unsigned Units(const Lengths& lengths)
{
    unsigned units = 0;
    for (unsigned k = 1; k <= 8; ++k)
        if (lengths[k])
            units += 1u << (8 - lengths[k]);
    return units;
}

inline unsigned Entries(const Lengths& lengths)
{
    unsigned n = 0;
    for (unsigned k = 1; k <= 8; ++k)
        n += lengths[k] != 0;
    return n;
}

inline Bits TableBits(const Lengths& lengths)
{
    const unsigned n = Entries(lengths);
    return n ? kSelectorBits + kEntryBits * n : 0;
}

// The lengths as one number (four bits each), for the caches.
inline uint32_t KeyOf(const Lengths& lengths)
{
    uint32_t key = 0;
    for (unsigned k = 1; k <= 8; ++k)
        key = key << 4 | lengths[k];
    return key;
}

inline bool Same(const PieceCounts& a, const PieceCounts& b)
{
    for (unsigned k = 1; k <= 8; ++k)
        if (a[k] != b[k])
            return false;
    return true;
}

// One configuration of a nibble: its lengths, total bits and budget units.
struct Option {
    Bits bits = kInfinite;
    unsigned units = 0;
    Lengths lengths{};
};

// A nibble's options by increasing units, each with fewer bits than all
// before it: an option that needs more units for no fewer bits can never be
// part of a best choice.
using Menu = std::vector<Option>;

// Keeps the frontier of a menu in any order (the first of equal options).
void KeepFrontier(Menu& menu);

// A point of a knapsack over the code space: the fewest bits found at
// exactly `units` units, fewer than at any point with fewer units (no other
// state can be part of a best choice, so no other is kept). `from` is the
// point of the previous stage it extends, `choice` what the stage added.
struct Point {
    unsigned units = 0;
    Bits bits = 0;
    uint16_t from = 0;
    uint8_t choice = 0;
};
using Frontier = std::vector<Point>;

// The start of every knapsack: nothing chosen yet.
const Frontier& Nothing();

// The frontiers of a knapsack's stages, and the hull steps of the bound:
// kept between calls so that their storage is reused.
struct Scratch {
    std::array<Frontier, 16> stages;
    std::vector<size_t> hull;
    struct Step {
        Bits saved;
        unsigned units;
        unsigned nibble;
    };
    std::vector<Step> steps;
};

// A price per unit of code space, as the fraction bits / units, and what
// it proves (Lagrange): any choice within the budget has at least as many
// bits as the cheapest choice per nibble when units cost that price, less
// the price of the whole budget. The price that proves most is where the
// menus' lower convex hulls run out of budget: taking hull steps in order
// of bits saved per unit while the budget lasts gives a choice within it
// (`known`), and the first step that no longer fits sets the price.
struct Bound {
    Bits bits = 0; // the price
    Bits units = 1;
    Bits known = 0;                  // bits of a choice within the budget
    std::array<Bits, 16> cheapest{}; // per nibble, its cheapest priced option
    std::array<Bits, 17> rest{};     // per nibble v: cheapest of nibbles >= v

    // An option's bits plus the price of its units, scaled by `units`.
    Bits Priced(Bits optionBits, unsigned optionUnits) const { return optionBits * units + bits * optionUnits; }

    // The least a choice can cost whose nibbles < v make `p`.
    Bits Least(const Point& p, unsigned v) const
    {
        return p.bits * units + rest[v] - bits * static_cast<Bits>(kCodeSpace - p.units);
    }

    void SetCheapest(unsigned v, const Menu& menu)
    {
        cheapest[v] = kInfinite;
        for (const Option& o : menu)
            cheapest[v] = std::min(cheapest[v], Priced(o.bits, o.units));
    }

    void Sum()
    {
        for (unsigned v = 16; v-- > 0;)
            rest[v] = rest[v + 1] + cheapest[v];
    }
};

// The best tables for fixed piece counts of one nibble: a knapsack over its
// symbols by units used, as a menu. A code length that costs at least the
// escape is never worth its units, so a symbol cut into fewer than two
// pieces is always escaped and adds no stage.
//
// Given a price (bits per unit, as Bound keeps it), only the options whose
// bits plus priced units stay within `most` (scaled as the bound's) are
// kept: a table on the way is dropped when even the cheapest priced choices
// of the symbols after it cannot bring it within. The options kept are
// exactly the full menu's that are within.
Menu TableOptionsFor(const PieceCounts& pieces, Scratch& scratch, const Bound* price = nullptr,
                     Bits most = kInfinite);

// The frontier of `from` combined with one option of the menu each.
void Combine(const Frontier& from, const Menu& menu, Frontier& out);

// The price at which the menus prove most, with a choice within the budget.
Bound BoundFor(const std::array<const Menu*, 16>& menus, Scratch& scratch);

using Choices = std::array<uint8_t, 16>; // an option of each menu

// A menu that leaves nothing to choose and costs nothing.
const Menu& NoChoice();

// One option per nibble, all within the code space, fewest bits in total,
// if that is at most `atMost`: a knapsack over the code space, nibble by
// nibble. Points the bound shows cannot lead to a choice as good as the
// bound's known one (or within `atMost`) are dropped on the way. That never
// drops a point of the best choice, nor one that ties with it, so what is
// found is the full knapsack's answer.
std::optional<Choices> PickWithinBudget(const std::array<const Menu*, 16>& menus, Scratch& scratch,
                                        const Bound& bound, Bits atMost);

// The least bits plus priced units any table for these pieces can have,
// scaled as the bound's: each symbol at its best length or escaped, with no
// regard to the code space.
Bits LeastPriced(const PieceCounts& pieces, const Bound& bound);

} // namespace zorp::nemesis::knapsack
