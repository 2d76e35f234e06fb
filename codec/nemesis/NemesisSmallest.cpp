// The smallest Nemesis stream: mode, the cutting of runs into pieces and the
// code table are chosen together.
//
// Everything the size depends on is the table and, per nibble value, how
// many maximal runs of each length the data has (plus the very last run,
// whose final piece may run past the end). So the search works on those
// counts, not on the data:
//  - for given code lengths, the cheapest cutting of each run length is a
//    small dynamic programme per nibble (RunCutter);
//  - for given piece counts, the best table is a knapsack over the Kraft
//    budget (252/256: the escape prefix keeps the rest), exact
//    (TableOptionsFor, PickWithinBudget);
//  - nibbles only compete for that budget, so each nibble alone offers good
//    configurations at several prices per unit of budget, and one per nibble
//    is picked exactly within the budget (FromMenus).
// Two starts (fewest pieces; the menus) are polished by alternating cutting
// and table and by trying every single code length change; the better one
// is then kicked: each code forced shorter or escaped in turn, the tables
// worked out around it, kept when the stream gets shorter (Kicks). Both
// modes get the first start; the rest runs in the better mode, or in both
// when they are close.
#include <algorithm>
#include <array>
#include <limits>

#include "nemesis/Nemesis.h"
#include "nemesis/NemesisStream.h"

namespace zorp::nemesis {

namespace {

using Bits = long long;
constexpr Bits kInfinite = std::numeric_limits<Bits>::max() / 4;
constexpr Bits kEntryBits = 16;    // one table entry
constexpr Bits kSelectorBits = 8;  // a nibble selector, once per nibble with entries
constexpr Bits kFixedBits = 3 * 8; // header word and end marker

// Code length of the runs of one nibble, [1..8] by run length; 0 = escape.
using Lengths = std::array<uint8_t, 9>;
using PieceCounts = std::array<Bits, 9>;

unsigned Units(const Lengths& lengths)
{
    unsigned units = 0;
    for (unsigned k = 1; k <= 8; ++k)
        if (lengths[k])
            units += 1u << (8 - lengths[k]);
    return units;
}

unsigned Entries(const Lengths& lengths)
{
    unsigned n = 0;
    for (unsigned k = 1; k <= 8; ++k)
        n += lengths[k] != 0;
    return n;
}

Bits TableBits(const Lengths& lengths)
{
    const unsigned n = Entries(lengths);
    return n ? kSelectorBits + kEntryBits * n : 0;
}

// The runs of one nibble value: how many maximal runs of each length, and
// the length of the stream's last run if it has this nibble.
struct NibbleRuns {
    std::vector<std::pair<uint32_t, Bits>> counts; // (length, how many), increasing lengths
    uint32_t last = 0;
    uint32_t longest = 0; // longest length any cutting needs
    bool Empty() const { return counts.empty() && last == 0; }
};

// Cheapest cutting of runs into pieces of 1-8 nibbles at given piece costs.
// Lengths up to kBound are solved directly; an optimal cutting of a longer
// run uses fewer than 8 pieces other than the cheapest per nibble (any 8 of
// them contain a group whose total is a multiple of its length), so beyond
// 56 nibbles the cheapest piece simply repeats.
class RunCutter {
public:
    static constexpr uint32_t kBound = 64;

    // `longest`: the longest run to be cut (the table stops there if shorter).
    explicit RunCutter(const Lengths& lengths, uint32_t longest = kBound)
    {
        for (unsigned k = 1; k <= 8; ++k)
            cost_[k] = lengths[k] ? lengths[k] : kEscapeCodeBits;
        best_ = 8;
        for (unsigned k = 7; k >= 1; --k)
            if (cost_[k] * best_ < cost_[best_] * k)
                best_ = k;
        exact_[0] = 0;
        const uint32_t bound = std::min(longest, kBound);
        for (uint32_t x = 1; x <= bound; ++x) {
            exact_[x] = kInfinite;
            for (unsigned k = 1; k <= 8 && k <= x; ++k) {
                const Bits c = exact_[x - k] + cost_[k];
                if (c < exact_[x]) {
                    exact_[x] = c;
                    choice_[x] = static_cast<uint8_t>(k);
                }
            }
        }
    }

    Bits Cost(uint32_t length) const
    {
        if (length <= kBound)
            return exact_[length];
        const uint32_t repeats = (length - 56) / best_;
        return exact_[length - repeats * best_] + Bits{repeats} * cost_[best_];
    }

    // The last run: its final piece may be longer than the `covered` nibbles
    // left for it, the decoder dropping the rest.
    Bits LastCost(uint32_t length, unsigned* finalPiece = nullptr, unsigned* covered = nullptr) const
    {
        Bits best = kInfinite;
        for (unsigned c = 1; c <= 8 && c <= length; ++c) {
            for (unsigned k = c; k <= 8; ++k) {
                const Bits total = cost_[k] + Cost(length - c);
                if (total < best) {
                    best = total;
                    if (finalPiece)
                        *finalPiece = k;
                    if (covered)
                        *covered = c;
                }
            }
        }
        return best;
    }

    // Calls f(k) for each piece of an exact cutting.
    template <typename F>
    void Pieces(uint32_t length, F&& f) const
    {
        if (length > kBound) {
            const uint32_t repeats = (length - 56) / best_;
            for (uint32_t i = 0; i < repeats; ++i)
                f(best_);
            length -= repeats * best_;
        }
        while (length > 0) {
            f(choice_[length]);
            length -= choice_[length];
        }
    }

    void AddCounts(uint32_t length, Bits times, PieceCounts& counts) const
    {
        if (length > kBound) {
            const uint32_t repeats = (length - 56) / best_;
            counts[best_] += Bits{repeats} * times;
            length -= repeats * best_;
        }
        while (length > 0) {
            counts[choice_[length]] += times;
            length -= choice_[length];
        }
    }

private:
    std::array<Bits, 9> cost_{};
    unsigned best_ = 8;
    std::array<Bits, kBound + 1> exact_{};
    std::array<uint8_t, kBound + 1> choice_{};
};

// Bits of the codes of one nibble's runs at given lengths, and optionally the
// pieces they are cut into.
Bits CodeBits(const NibbleRuns& runs, const Lengths& lengths, PieceCounts* counts = nullptr)
{
    const RunCutter cutter(lengths, runs.longest);
    Bits bits = 0;
    if (counts)
        counts->fill(0);
    for (const auto& [length, times] : runs.counts) {
        bits += cutter.Cost(length) * times;
        if (counts)
            cutter.AddCounts(length, times, *counts);
    }
    if (runs.last) {
        unsigned finalPiece = 1, covered = 1;
        bits += cutter.LastCost(runs.last, &finalPiece, &covered);
        if (counts) {
            (*counts)[finalPiece] += 1;
            cutter.AddCounts(runs.last - covered, 1, *counts);
        }
    }
    return bits;
}

Bits NibbleBits(const NibbleRuns& runs, const Lengths& lengths)
{
    return runs.Empty() ? 0 : CodeBits(runs, lengths) + TableBits(lengths);
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

void KeepFrontier(Menu& menu)
{
    std::sort(menu.begin(), menu.end(), [](const Option& a, const Option& b) {
        return a.units != b.units ? a.units < b.units : a.bits < b.bits;
    });
    size_t kept = 0;
    for (const Option& o : menu)
        if (o.units <= kCodeSpace && (kept == 0 || o.bits < menu[kept - 1].bits))
            menu[kept++] = o;
    menu.resize(kept);
}

// The best tables for fixed piece counts of one nibble: a knapsack over its
// eight symbols by units used, then the frontier of it.
Menu TableOptionsFor(const PieceCounts& pieces)
{
    std::array<Bits, kCodeSpace + 1> best;
    best.fill(kInfinite);
    best[0] = 0;
    std::array<std::array<uint8_t, kCodeSpace + 1>, 9> chosen{}; // length of symbol k, by units after it
    unsigned reach = 0;
    for (unsigned k = 1; k <= 8; ++k) {
        if (pieces[k] == 0)
            continue;
        std::array<Bits, kCodeSpace + 1> next = best; // symbol k escaped
        for (unsigned u = 0; u <= reach; ++u) {
            if (best[u] >= kInfinite)
                continue;
            for (unsigned l = 1; l <= 8; ++l) {
                const unsigned w = u + (1u << (8 - l));
                if (w > kCodeSpace)
                    continue;
                const Bits c = best[u] + (Bits{l} - kEscapeCodeBits) * pieces[k] + kEntryBits;
                if (c < next[w]) {
                    next[w] = c;
                    chosen[k][w] = static_cast<uint8_t>(l);
                }
            }
        }
        // chosen[k][u] stays 0 where escaping symbol k was best
        reach = std::min(kCodeSpace, reach + 128);
        best = next;
    }
    Bits escapes = 0;
    for (unsigned k = 1; k <= 8; ++k)
        escapes += kEscapeCodeBits * pieces[k];
    Menu menu;
    Bits frontier = kInfinite;
    for (unsigned u = 0; u <= kCodeSpace; ++u) {
        if (best[u] >= frontier)
            continue;
        frontier = best[u];
        Option o{best[u] + escapes + (u ? kSelectorBits : 0), u, {}};
        unsigned left = u;
        for (unsigned k = 8; k >= 1; --k) {
            const unsigned l = chosen[k][left];
            o.lengths[k] = static_cast<uint8_t>(l);
            if (l)
                left -= 1u << (8 - l);
        }
        menu.push_back(o);
    }
    return menu;
}

using UnitCosts = std::array<Bits, kCodeSpace + 1>;

// best[u] + the menu: the fewest bits at each number of units; `taken`
// records the option used.
UnitCosts Combine(const UnitCosts& best, const Menu& menu, std::array<uint8_t, kCodeSpace + 1>* taken = nullptr)
{
    if (menu.size() == 1 && menu[0].units == 0) { // a nibble with no choice (or no runs)
        UnitCosts next = best;
        for (Bits& b : next)
            if (b < kInfinite)
                b += menu[0].bits;
        if (taken)
            taken->fill(0);
        return next;
    }
    // The menu as two flat arrays keeps the inner loop tight.
    std::array<unsigned, kCodeSpace + 1> units;
    std::array<Bits, kCodeSpace + 1> bits;
    const size_t n = std::min<size_t>(menu.size(), kCodeSpace + 1);
    for (size_t i = 0; i < n; ++i) {
        units[i] = menu[i].units;
        bits[i] = menu[i].bits;
    }
    UnitCosts next;
    next.fill(kInfinite);
    Bits fewest = kInfinite;
    for (unsigned u = 0; u <= kCodeSpace; ++u) {
        // A state no cheaper than one with fewer units cannot win.
        if (best[u] >= fewest)
            continue;
        fewest = best[u];
        const Bits base = best[u];
        const unsigned room = kCodeSpace - u;
        for (size_t i = 0; i < n && units[i] <= room; ++i) {
            const unsigned w = u + units[i];
            const Bits c = base + bits[i];
            if (c < next[w]) {
                next[w] = c;
                if (taken)
                    (*taken)[w] = static_cast<uint8_t>(i);
            }
        }
    }
    return next;
}

UnitCosts Nothing()
{
    UnitCosts c;
    c.fill(kInfinite);
    c[0] = 0;
    return c;
}

// One option per nibble, all within the code space, fewest bits in total.
std::array<Lengths, 16> PickWithinBudget(const std::array<Menu, 16>& menus)
{
    std::array<std::array<uint8_t, kCodeSpace + 1>, 16> taken{};
    UnitCosts best = Nothing();
    for (unsigned v = 0; v < 16; ++v)
        best = Combine(best, menus[v], &taken[v]);
    unsigned u = static_cast<unsigned>(std::min_element(best.begin(), best.end()) - best.begin());
    std::array<Lengths, 16> lengths{};
    for (unsigned v = 16; v-- > 0;) {
        const Option& o = menus[v][taken[v][u]];
        lengths[v] = o.lengths;
        u -= o.units;
    }
    return lengths;
}

class Search {
public:
    explicit Search(const std::vector<MaximalRun>& runs)
    {
        // Counted in place up to kBound nibbles; longer runs are rare.
        std::array<std::array<Bits, RunCutter::kBound + 1>, 16> shortRuns{};
        std::array<std::vector<uint32_t>, 16> longRuns;
        for (size_t i = 0; i + 1 < runs.size(); ++i) {
            const uint32_t length = runs[i].Length();
            if (length <= RunCutter::kBound)
                ++shortRuns[runs[i].Nibble()][length];
            else
                longRuns[runs[i].Nibble()].push_back(length);
        }
        nibbles_[runs.back().Nibble()].last = runs.back().Length();
        for (unsigned v = 0; v < 16; ++v) {
            auto& counts = nibbles_[v].counts;
            for (uint32_t length = 1; length <= RunCutter::kBound; ++length)
                if (shortRuns[v][length])
                    counts.push_back({length, shortRuns[v][length]});
            std::sort(longRuns[v].begin(), longRuns[v].end());
            for (uint32_t length : longRuns[v]) {
                if (!counts.empty() && counts.back().first == length)
                    ++counts.back().second;
                else
                    counts.push_back({length, 1});
            }
            // a cutting of a long run also cuts the rest of it, 56-63 nibbles
            const uint32_t longest = std::max(counts.empty() ? 0 : counts.back().first, nibbles_[v].last);
            nibbles_[v].longest = longest > 56 ? RunCutter::kBound : longest;
        }
    }

    // Best lengths found and their total bits.
    // The quick first result: fewest pieces, then polished.
    std::array<Lengths, 16> First() const
    {
        std::array<Lengths, 16> a = GreedyStart();
        Polish(a);
        return a;
    }

    // The full search from the first result.
    std::array<Lengths, 16> Deeper(const std::array<Lengths, 16>& first) const
    {
        std::array<Lengths, 16> b = FromMenus();
        Polish(b);
        std::array<Lengths, 16> best = Total(first) <= Total(b) ? first : b;
        Kicks(best);
        return best;
    }

    Bits Total(const std::array<Lengths, 16>& lengths) const
    {
        Bits bits = kFixedBits;
        for (unsigned v = 0; v < 16; ++v)
            bits += NibbleBits(nibbles_[v], lengths[v]);
        return bits;
    }

    // Forces one code length at a time and lets the table settle around it;
    // keeps what ends shorter. Reaches cuttings the alternation cannot
    // leave on its own (such as all runs of a nibble in single pieces).
    // A trial changes one nibble's cutting only, so the best combined cost
    // of the other nibbles per number of units is worked out once a pass; a
    // trial then costs one cutting, one nibble table and a scan, and only a
    // promising one is worked out in full.
    void Kicks(std::array<Lengths, 16>& lengths) const
    {
        Bits total = Total(lengths);
        std::array<PieceCounts, 16> cuts;
        std::array<Menu, 16> menus = MenusForCuts(lengths, &cuts);
        for (int pass = 0; pass < 2; ++pass) {
            bool improved = false;
            std::array<UnitCosts, 16> others = BestOfOthers(menus);
            for (unsigned v = 0; v < 16; ++v) {
                if (nibbles_[v].Empty())
                    continue;
                std::vector<PieceCounts> tried = {cuts[v]};
                for (unsigned k = 1; k <= 8 && k <= nibbles_[v].longest; ++k) {
                    // Longer codes come from the table search itself; the
                    // kicks shorten a code or escape it.
                    const unsigned now = lengths[v][k] ? lengths[v][k] : 9;
                    for (unsigned l = 0; l < now; ++l) {
                        Lengths forced = lengths[v];
                        forced[k] = static_cast<uint8_t>(l);
                        PieceCounts pieces;
                        CodeBits(nibbles_[v], forced, &pieces);
                        // The same pieces give the same tables.
                        if (std::find(tried.begin(), tried.end(), pieces) != tried.end())
                            continue;
                        tried.push_back(pieces);
                        const Menu mine = TableOptionsFor(pieces);
                        Bits predicted = kInfinite;
                        for (const Option& o : mine)
                            predicted = std::min(predicted, o.bits + others[v][kCodeSpace - o.units]);
                        // Cutting again with the new table can only gain.
                        if (predicted + kFixedBits >= total)
                            continue;
                        std::array<Menu, 16> trialMenus = menus;
                        trialMenus[v] = mine;
                        const std::array<Lengths, 16> trial = PickWithinBudget(trialMenus);
                        const Bits t = Total(trial);
                        if (t >= total)
                            continue;
                        for (unsigned w = 0; w < 16; ++w) {
                            if (trial[w] == lengths[w])
                                continue;
                            PieceCounts p{};
                            if (!nibbles_[w].Empty())
                                CodeBits(nibbles_[w], trial[w], &p);
                            menus[w] = TableOptionsFor(p);
                            cuts[w] = p;
                        }
                        lengths = trial;
                        total = t;
                        improved = true;
                        // `others` now only estimates the next trials; each
                        // is checked in full before it is kept.
                        tried = {cuts[v]};
                    }
                }
            }
            if (!improved)
                break;
        }
        Polish(lengths);
    }

    // Per nibble v: the fewest bits all the other nibbles need within at most
    // u units, from the best of the nibbles before v and of those after it.
    static std::array<UnitCosts, 16> BestOfOthers(const std::array<Menu, 16>& menus)
    {
        std::array<UnitCosts, 17> before, after;
        before[0] = Nothing();
        after[16] = Nothing();
        for (unsigned v = 0; v < 16; ++v)
            before[v + 1] = Combine(before[v], menus[v]);
        for (unsigned v = 16; v-- > 0;)
            after[v] = Combine(after[v + 1], menus[v]);
        std::array<UnitCosts, 16> others;
        std::vector<std::pair<unsigned, Bits>> a, b;
        for (unsigned v = 0; v < 16; ++v) {
            Frontier(before[v], a);
            Frontier(after[v + 1], b);
            UnitCosts& o = others[v];
            o.fill(kInfinite);
            for (const auto& [ua, ca] : a)
                for (const auto& [ub, cb] : b) {
                    if (ua + ub > kCodeSpace)
                        break;
                    o[ua + ub] = std::min(o[ua + ub], ca + cb);
                }
            for (unsigned u = 1; u <= kCodeSpace; ++u)
                o[u] = std::min(o[u], o[u - 1]);
        }
        return others;
    }

    // The states of `costs` that beat every state with fewer units.
    static void Frontier(const UnitCosts& costs, std::vector<std::pair<unsigned, Bits>>& out)
    {
        out.clear();
        Bits fewest = kInfinite;
        for (unsigned u = 0; u <= kCodeSpace; ++u)
            if (costs[u] < fewest) {
                fewest = costs[u];
                out.push_back({u, costs[u]});
            }
    }

private:

    static unsigned TotalUnits(const std::array<Lengths, 16>& lengths)
    {
        unsigned units = 0;
        for (const Lengths& l : lengths)
            units += Units(l);
        return units;
    }

    // Per nibble, the tables for the pieces the given lengths cut its runs into.
    std::array<Menu, 16> MenusForCuts(const std::array<Lengths, 16>& lengths,
                                      std::array<PieceCounts, 16>* cuts = nullptr) const
    {
        std::array<Menu, 16> menus;
        for (unsigned v = 0; v < 16; ++v) {
            PieceCounts pieces{};
            if (!nibbles_[v].Empty())
                CodeBits(nibbles_[v], lengths[v], &pieces);
            menus[v] = TableOptionsFor(pieces);
            if (cuts)
                (*cuts)[v] = pieces;
        }
        return menus;
    }

    // The best table for the pieces the given lengths cut the runs into.
    std::array<Lengths, 16> TableForCuts(const std::array<Lengths, 16>& lengths) const
    {
        return PickWithinBudget(MenusForCuts(lengths));
    }

    // Runs cut into as few pieces as possible, then the best table for them.
    std::array<Lengths, 16> GreedyStart() const
    {
        std::array<Lengths, 16> cheap;
        for (Lengths& l : cheap) {
            l.fill(1); // every piece equally cheap: fewest pieces
            l[0] = 0;
        }
        return TableForCuts(cheap);
    }

    // Each nibble alone, at several prices per unit of code space and from
    // several ways of cutting, offers the configurations it settles on; the
    // budget then picks one per nibble.
    std::array<Lengths, 16> FromMenus() const
    {
        Bits runsTotal = 0;
        for (const NibbleRuns& n : nibbles_)
            for (const auto& [length, times] : n.counts)
                runsTotal += times;
        std::vector<double> prices = {0};
        for (double p = 0.5; p <= std::max<double>(64, static_cast<double>(runsTotal) / 2); p *= 2)
            prices.push_back(p);

        std::array<Menu, 16> menus;
        for (unsigned v = 0; v < 16; ++v) {
            const NibbleRuns& runs = nibbles_[v];
            menus[v].push_back({NibbleBits(runs, Lengths{}), 0, Lengths{}});
            if (runs.Empty())
                continue;
            // Prices and starts often meet at the same lengths.
            std::vector<std::pair<Lengths, std::pair<Bits, PieceCounts>>> seen;
            auto cut = [&](const Lengths& lengths, PieceCounts& pieces) {
                for (const auto& [l, result] : seen)
                    if (l == lengths) {
                        pieces = result.second;
                        return result.first;
                    }
                const Bits bits = CodeBits(runs, lengths, &pieces);
                seen.push_back({lengths, {bits, pieces}});
                return bits;
            };
            for (double price : prices) {
                for (unsigned longest = 1; longest <= 8; ++longest) {
                    Lengths lengths{};
                    for (unsigned k = 1; k <= longest; ++k)
                        lengths[k] = 1;
                    for (int round = 0; round < 9; ++round) {
                        PieceCounts pieces;
                        const Bits bits = cut(lengths, pieces);
                        menus[v].push_back({bits + TableBits(lengths), Units(lengths), lengths});
                        const Lengths next = PricedTable(pieces, price);
                        if (next == lengths)
                            break;
                        lengths = next;
                    }
                }
            }
            KeepFrontier(menus[v]);
        }
        return PickWithinBudget(menus);
    }

    // Each symbol's best length when a unit of code space costs `price` bits.
    static Lengths PricedTable(const PieceCounts& pieces, double price)
    {
        Lengths lengths{};
        double saved = 0;
        for (unsigned k = 1; k <= 8; ++k) {
            if (pieces[k] == 0)
                continue;
            double best = static_cast<double>(kEscapeCodeBits * pieces[k]);
            for (unsigned l = 1; l <= 8; ++l) {
                const double c =
                    static_cast<double>(Bits{l} * pieces[k] + kEntryBits) + price * static_cast<double>(1u << (8 - l));
                if (c < best) {
                    best = c;
                    lengths[k] = static_cast<uint8_t>(l);
                }
            }
            saved += static_cast<double>(kEscapeCodeBits * pieces[k]) - best;
        }
        if (saved <= kSelectorBits)
            lengths = {};
        return lengths;
    }

    // Alternates cutting and table, and tries every single length change,
    // while either makes the stream shorter.
    void Polish(std::array<Lengths, 16>& lengths) const
    {
        Bits total = Total(lengths);
        for (int round = 0; round < 64; ++round) {
            bool better = false;
            const std::array<Lengths, 16> table = TableForCuts(lengths);
            if (const Bits t = Total(table); t < total) {
                lengths = table;
                total = t;
                better = true;
            }
            if (SingleChanges(lengths, total))
                better = true;
            if (!better)
                break;
        }
    }

    bool SingleChanges(std::array<Lengths, 16>& lengths, Bits& total) const
    {
        bool improved = false;
        unsigned units = TotalUnits(lengths);
        for (unsigned v = 0; v < 16; ++v) {
            const NibbleRuns& runs = nibbles_[v];
            if (runs.Empty())
                continue;
            Bits current = NibbleBits(runs, lengths[v]);
            for (unsigned k = 1; k <= 8; ++k) {
                for (unsigned l = 0; l <= 8; ++l) {
                    if (l == lengths[v][k])
                        continue;
                    Lengths trial = lengths[v];
                    trial[k] = static_cast<uint8_t>(l);
                    const unsigned trialUnits = units - Units(lengths[v]) + Units(trial);
                    if (trialUnits > kCodeSpace)
                        continue;
                    const Bits bits = NibbleBits(runs, trial);
                    if (bits < current) {
                        total += bits - current;
                        current = bits;
                        units = trialUnits;
                        lengths[v] = trial;
                        improved = true;
                    }
                }
            }
        }
        return improved;
    }

    std::array<NibbleRuns, 16> nibbles_;
};

// Modes whose quick results differ by more than this (in parts of
// kCloseModesDenominator) are not both searched in full.
constexpr Bits kCloseModes = 5;
constexpr Bits kCloseModesDenominator = 100;

struct Candidate {
    Bits bits = kInfinite;
    bool xorMode = false;
    std::array<Lengths, 16> lengths{};
};

} // namespace

codec::EncodeResult PackSmallest(const uint8_t* data, size_t size)
{
    codec::EncodeResult result;
    result.error = CheckEncodable(data, size);
    if (!result.Ok())
        return result;

    // The full search goes on in the mode whose quick result is better, and
    // in both when they are within kCloseModes of each other: the full
    // search gains a few percent, rarely more.
    // (one run list at a time: each is 8 bytes per input byte at most)
    const Search plainSearch(MaximalRuns(data, size, false));
    const Search xorSearch(MaximalRuns(data, size, true));
    const std::array<const Search*, 2> searches = {&plainSearch, &xorSearch};
    const std::array<std::array<Lengths, 16>, 2> first = {searches[0]->First(), searches[1]->First()};
    const std::array<Bits, 2> quick = {searches[0]->Total(first[0]), searches[1]->Total(first[1])};
    Candidate best;
    for (int mode = 0; mode < 2; ++mode) {
        if (quick[mode] * kCloseModesDenominator > quick[1 - mode] * (kCloseModesDenominator + kCloseModes))
            continue;
        const std::array<Lengths, 16> lengths = searches[mode]->Deeper(first[mode]);
        const Bits bits = searches[mode]->Total(lengths);
        // whole bytes decide; plain mode on a tie
        if ((bits + 7) / 8 < (best.bits + 7) / 8)
            best = {bits, mode == 1, lengths};
    }

    std::array<uint8_t, kSymbols> symbolLengths{};
    for (unsigned v = 0; v < 16; ++v)
        for (unsigned k = 1; k <= 8; ++k)
            symbolLengths[SymbolOf(v, k)] = best.lengths[v][k];
    const CodeTable table = CanonicalCodes(symbolLengths);
    StreamWriter writer(size / kTileBytes, best.xorMode, table, static_cast<size_t>((best.bits + 7) / 8));
    const std::vector<MaximalRun> runs = MaximalRuns(data, size, best.xorMode);
    std::array<RunCutter*, 16> cutters{};
    std::vector<RunCutter> owned;
    owned.reserve(16);
    for (unsigned v = 0; v < 16; ++v) {
        owned.emplace_back(best.lengths[v]);
        cutters[v] = &owned.back();
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        const unsigned v = runs[i].Nibble();
        uint32_t length = runs[i].Length();
        if (i + 1 == runs.size()) {
            unsigned finalPiece = 1, covered = 1;
            cutters[v]->LastCost(length, &finalPiece, &covered);
            cutters[v]->Pieces(length - covered, [&](unsigned k) { writer.Put(v, k); });
            writer.Put(v, finalPiece);
        } else {
            cutters[v]->Pieces(length, [&](unsigned k) { writer.Put(v, k); });
        }
    }
    result.stream = writer.Finish();
    return result;
}

} // namespace zorp::nemesis
