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
//    (NemesisKnapsack.h: TableOptionsFor, PickWithinBudget);
//  - nibbles only compete for that budget, so each nibble alone offers good
//    configurations at several prices per unit of budget, and one per nibble
//    is picked exactly within the budget (FromMenus).
// A nibble whose runs are all short has few cuttings; the tables of all of
// them are its exact menu, and such nibbles are left to the knapsack alone
// (ExactMenu). The search proper works on the other nibbles: two starts
// (fewest pieces; the menus) are polished by alternating cutting and table
// and by trying every single code length change; the better one is then
// kicked: each code forced shorter or escaped in turn, the tables worked
// out around it, kept when the stream gets shorter (Kicks). Both modes get
// the first start; the rest runs in the better mode, or in both when they
// are close, and not at all in a mode whose nibbles are all exact.
//
// Its work follows the problem, not the input size: knapsacks keep only
// the points that can still win (a price bound drops the rest), cuttings
// and tables are worked out once per search, and trials that cannot beat
// the stream so far are ruled out before their tables are.
#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <optional>

#include "nemesis/Nemesis.h"
#include "nemesis/NemesisKnapsack.h"
#include "nemesis/NemesisStream.h"

namespace zorp::nemesis {

namespace {

using namespace knapsack;

constexpr Bits kFixedBits = 3 * 8; // header word and end marker

// The runs of one nibble value: how many maximal runs of each length, and
// the length of the stream's last run if it has this nibble.
struct NibbleRuns {
    std::vector<std::pair<uint32_t, Bits>> counts; // (length, how many), increasing lengths
    uint32_t last = 0;
    uint32_t longest = 0; // longest length any cutting needs
    bool Empty() const { return counts.empty() && last == 0; }
    // Pieces longer than every run are never cut, so only symbols 1 to
    // this one ever get a code: the last run's final piece may run past the
    // end, but a symbol used once is cheaper escaped than given an entry.
    unsigned Symbols() const { return std::min<uint32_t>(longest, 8); }
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
        // exact_[8 + x] is the cost of x nibbles; the eight before 0 stand
        // for lengths no piece can leave, so every piece is tried without a
        // test
        std::fill(exact_.begin(), exact_.begin() + 8, kNever);
        exact_[8] = 0;
        const uint32_t bound = std::min(longest, kBound);
        for (uint32_t x = 1; x <= bound; ++x) {
            const int32_t* before = &exact_[8 + x];
            int32_t best = before[-1] + cost_[1];
            int32_t choice = 1;
#pragma GCC unroll 8
            for (int k = 2; k <= 8; ++k) { // the first cheapest piece
                const int32_t c = before[-k] + cost_[k];
                choice = c < best ? k : choice;
                best = c < best ? c : best;
            }
            exact_[8 + x] = best;
            choice_[x] = static_cast<uint8_t>(choice);
        }
    }

    Bits Cost(uint32_t length) const
    {
        if (length <= kBound)
            return exact_[8 + length];
        const uint32_t repeats = (length - 56) / best_;
        return exact_[8 + length - repeats * best_] + Bits{repeats} * cost_[best_];
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
    static constexpr int32_t kNever = 1 << 28;
    std::array<int32_t, 9> cost_{};
    unsigned best_ = 8;
    std::array<int32_t, kBound + 9> exact_;
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

// A cache that only grows: entries in one vector, found by open
// addressing on a 64-bit hash, so that it allocates a few times as it grows
// rather than once per entry.
template <typename Key, typename Value>
class Cache {
public:
    // The value stored for `key`, or nullptr.
    const Value* Find(const Key& key, uint64_t hash) const
    {
        if (slots_.empty())
            return nullptr;
        for (size_t at = Slot(hash);; at = (at + 1) & (slots_.size() - 1)) {
            const uint32_t e = slots_[at];
            if (e == 0)
                return nullptr;
            if (hashes_[e - 1] == hash && entries_[e - 1].first == key)
                return &entries_[e - 1].second;
        }
    }

    // Stores the value of a key not yet present; the reference holds until
    // the next Add.
    const Value& Add(const Key& key, uint64_t hash, Value value)
    {
        if (2 * (entries_.size() + 1) > slots_.size())
            Grow();
        entries_.emplace_back(key, std::move(value));
        hashes_.push_back(hash);
        Place(hash, static_cast<uint32_t>(entries_.size()));
        return entries_.back().second;
    }

private:
    size_t Slot(uint64_t hash) const { return static_cast<size_t>(hash >> 32) & (slots_.size() - 1); }

    void Place(uint64_t hash, uint32_t entry)
    {
        size_t at = Slot(hash);
        while (slots_[at] != 0)
            at = (at + 1) & (slots_.size() - 1);
        slots_[at] = entry;
    }

    void Grow()
    {
        slots_.assign(std::max<size_t>(64, 2 * slots_.size()), 0);
        for (uint32_t e = 0; e < entries_.size(); ++e)
            Place(hashes_[e], e + 1);
    }

    std::vector<std::pair<Key, Value>> entries_;
    std::vector<uint64_t> hashes_;
    std::vector<uint32_t> slots_; // entry + 1; 0 = free
};

uint64_t Mix(uint64_t h)
{
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return h;
}

// The pieces one run is cut into: how many of each size (1-8).
using RunPieces = std::array<uint8_t, 9>;

// Every way to cut x nibbles (0 to 8) into pieces.
const std::vector<RunPieces>& CuttingsOf(unsigned x)
{
    static const std::array<std::vector<RunPieces>, 9> all = [] {
        std::array<std::vector<RunPieces>, 9> table;
        RunPieces counts{};
        // pieces no larger than the one before, so each cutting comes once
        auto cut = [&](auto&& self, unsigned whole, unsigned left, unsigned largest) -> void {
            if (left == 0) {
                table[whole].push_back(counts);
                return;
            }
            for (unsigned k = std::min(left, largest); k >= 1; --k) {
                ++counts[k];
                self(self, whole, left - k, k);
                --counts[k];
            }
        };
        for (unsigned nibbles = 0; nibbles <= 8; ++nibbles)
            cut(cut, nibbles, nibbles, 8);
        return table;
    }();
    return all[x];
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
            exact_[v] = ExactMenu(v);
        }
        BuildBlock();
    }

    // Whether every nibble has its exact menu: the first result is then the
    // best this mode can give.
    bool Exact() const
    {
        return std::all_of(exact_.begin(), exact_.end(), [](const auto& m) { return m != nullptr; });
    }

    // The quick first result: fewest pieces, then polished (the knapsack
    // alone when every nibble is exact).
    std::array<Lengths, 16> First() const
    {
        std::array<Lengths, 16> a = GreedyStart();
        if (!Exact())
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
            bits += NibbleBits(v, lengths[v]);
        return bits;
    }

    uint32_t Longest(unsigned v) const { return nibbles_[v].longest; }

private:
    // What cutting a nibble's runs at given lengths gives.
    struct Cut {
        Bits bits = 0;
        PieceCounts pieces{};
    };

    struct SamePieces {
        PieceCounts pieces;
        bool operator==(const SamePieces& other) const { return Same(pieces, other.pieces); }
    };

    // Every stage asks for the same cuttings and tables again and again
    // (each polishing round, each kick), so both are worked out once.
    Cut CutOf(unsigned v, const Lengths& lengths) const
    {
        const uint64_t key = uint64_t{v} << 32 | KeyOf(lengths);
        const uint64_t hash = Mix(key);
        if (const Cut* cut = cuts_.Find(key, hash))
            return *cut;
        Cut cut;
        cut.bits = CodeBits(nibbles_[v], lengths, &cut.pieces);
        return cuts_.Add(key, hash, cut);
    }

    // The reference holds for the whole search.
    const Menu& TablesFor(const PieceCounts& pieces) const
    {
        uint64_t hash = 0;
        for (unsigned k = 1; k <= 8; ++k)
            hash = Mix(hash ^ static_cast<uint64_t>(pieces[k]));
        if (const auto* menu = tables_.Find({pieces}, hash))
            return **menu;
        return *tables_.Add({pieces}, hash, std::make_unique<Menu>(TableOptionsFor(pieces, scratch_)));
    }

    // A nibble whose runs are all short has few ways to be cut: every run
    // of a length cut one way (all runs of a length are cut alike at any
    // lengths), the last run also with its final piece running past the
    // end. The tables of all those cuttings together are every table the
    // nibble can have, so its menu is exact and the search leaves it to the
    // knapsack. Nibbles with more cuttings than kExactCuttings get none.
    static constexpr size_t kExactCuttings = 64;

    std::unique_ptr<Menu> ExactMenu(unsigned v)
    {
        const NibbleRuns& runs = nibbles_[v];
        if (runs.longest > 8)
            return nullptr;
        const std::vector<RunPieces> ends = LastRunCuttings(runs);
        size_t count = ends.size();
        for (const auto& [length, times] : runs.counts) {
            count *= CuttingsOf(length).size();
            if (count > kExactCuttings)
                return nullptr;
        }
        std::vector<PieceCounts> cuttings = {PieceCounts{}}, next;
        auto extend = [&](const std::vector<RunPieces>& ways, Bits times) {
            next.clear();
            for (const PieceCounts& p : cuttings)
                for (const RunPieces& way : ways) {
                    PieceCounts q = p;
                    for (unsigned k = 1; k <= 8; ++k)
                        q[k] += Bits{way[k]} * times;
                    next.push_back(q);
                }
            cuttings.swap(next);
        };
        for (const auto& [length, times] : runs.counts)
            extend(CuttingsOf(length), times);
        extend(ends, 1);
        auto menu = std::make_unique<Menu>();
        for (const PieceCounts& p : cuttings) {
            const Menu& tables = TablesFor(p);
            menu->insert(menu->end(), tables.begin(), tables.end());
        }
        KeepFrontier(*menu);
        return menu;
    }

    // The ways to cut the stream's last run if this nibble has it (else one
    // way, no pieces): the final piece covers the last c nibbles or more. A
    // piece longer than every run is used once and escaped whatever its
    // size, so one such size stands for all; a way whose pieces include all
    // of another's costs more at any table, so it is left out.
    static std::vector<RunPieces> LastRunCuttings(const NibbleRuns& runs)
    {
        std::vector<RunPieces> ways;
        if (runs.last == 0) {
            ways.push_back({});
            return ways;
        }
        const unsigned widest = std::min(8u, runs.Symbols() + 1);
        for (unsigned c = 1; c <= runs.last; ++c)
            for (const RunPieces& rest : CuttingsOf(runs.last - c))
                for (unsigned k = c; k <= widest; ++k) {
                    RunPieces way = rest;
                    ++way[k];
                    if (std::find(ways.begin(), ways.end(), way) == ways.end())
                        ways.push_back(way);
                }
        auto within = [](const RunPieces& a, const RunPieces& b) { // a's pieces all in b
            for (unsigned k = 1; k <= 8; ++k)
                if (a[k] > b[k])
                    return false;
            return true;
        };
        std::vector<RunPieces> kept;
        for (const RunPieces& b : ways)
            if (std::none_of(ways.begin(), ways.end(), [&](const RunPieces& a) { return a != b && within(a, b); }))
                kept.push_back(b);
        return kept;
    }

    // The exact nibbles never change their menus, so the knapsack over them
    // is worked out once: their best bits at every number of units, as one
    // menu in the slot of the first of them (the others get NoChoice).
    void BuildBlock()
    {
        for (unsigned v = 0; v < 16; ++v) {
            if (!exact_[v] || exact_[v]->size() == 1)
                continue; // a nibble without choice is left in place
            if (blocked_.empty())
                blockSlot_ = static_cast<int>(v);
            blocked_.push_back(v);
        }
        if (blocked_.empty())
            return;
        blockStages_.resize(blocked_.size());
        for (size_t i = 0; i < blocked_.size(); ++i)
            Combine(i ? blockStages_[i - 1] : Nothing(), *exact_[blocked_[i]], blockStages_[i]);
        for (const Point& p : blockStages_.back())
            block_.push_back({p.bits, p.units, {}});
    }

    // The menu the knapsack uses for nibble v, whose runs are cut into `pieces`.
    const Menu* MenuOf(unsigned v, const PieceCounts& pieces) const
    {
        if (static_cast<int>(v) == blockSlot_)
            return &block_;
        if (exact_[v])
            return exact_[v]->size() == 1 ? exact_[v].get() : &NoChoice();
        return &TablesFor(pieces);
    }

    std::optional<std::array<Lengths, 16>> Pick(const std::array<const Menu*, 16>& menus, const Bound& bound,
                                                Bits atMost) const
    {
        const auto choices = PickWithinBudget(menus, scratch_, bound, atMost);
        if (!choices)
            return std::nullopt;
        std::array<Lengths, 16> lengths{};
        for (unsigned v = 0; v < 16; ++v)
            lengths[v] = (*menus[v])[(*choices)[v]].lengths;
        if (blockSlot_ >= 0) {
            size_t at = (*choices)[static_cast<size_t>(blockSlot_)];
            for (size_t i = blocked_.size(); i-- > 0;) {
                const Point& p = blockStages_[i][at];
                lengths[blocked_[i]] = (*exact_[blocked_[i]])[p.choice].lengths;
                at = p.from;
            }
        }
        return lengths;
    }

    std::optional<std::array<Lengths, 16>> Pick(const std::array<const Menu*, 16>& menus,
                                                Bits atMost = kInfinite) const
    {
        return Pick(menus, BoundFor(menus, scratch_), atMost);
    }

    Bits NibbleBits(unsigned v, const Lengths& lengths) const
    {
        return nibbles_[v].Empty() ? 0 : CutOf(v, lengths).bits + TableBits(lengths);
    }

    // Forces one code length at a time and lets the table settle around it;
    // keeps what ends shorter. Reaches cuttings the alternation cannot
    // leave on its own (such as all runs of a nibble in single pieces).
    // A trial changes one nibble's cutting only: the bound over the other
    // nibbles' tables and the trial's pieces alone rule most trials out;
    // the rest get their table and the knapsack, and what beats the
    // stream so far is cut again in full.
    void Kicks(std::array<Lengths, 16>& lengths) const
    {
        Bits total = Total(lengths);
        std::array<PieceCounts, 16> cuts;
        std::array<const Menu*, 16> menus = MenusForCuts(lengths, &cuts);
        for (int pass = 0; pass < 2; ++pass) {
            bool improved = false;
            Bound bound = BoundFor(menus, scratch_);
            for (unsigned v = 0; v < 16; ++v) {
                if (nibbles_[v].Empty() || exact_[v])
                    continue;
                std::vector<PieceCounts> tried = {cuts[v]};
                for (unsigned k = 1; k <= nibbles_[v].Symbols(); ++k) {
                    // Longer codes come from the table search itself; the
                    // kicks shorten a code or escape it.
                    const unsigned now = lengths[v][k] ? lengths[v][k] : 9;
                    for (unsigned l = 0; l < now; ++l) {
                        Lengths forced = lengths[v];
                        forced[k] = static_cast<uint8_t>(l);
                        const PieceCounts pieces = CutOf(v, forced).pieces;
                        // The same pieces give the same tables.
                        if (std::any_of(tried.begin(), tried.end(), [&](const PieceCounts& p) { return Same(p, pieces); }))
                            continue;
                        tried.push_back(pieces);
                        // Cutting again with the new table can only gain,
                        // so a trial whose tables cannot beat the stream
                        // so far is over.
                        const Bits better = total - kFixedBits - 1;
                        if (bound.rest[0] - bound.cheapest[v] + LeastPriced(pieces, bound) -
                                bound.bits * Bits{kCodeSpace} > better * bound.units)
                            continue;
                        // Only the trial's tables that can take part in a
                        // shorter stream are worked out: the pass's price
                        // still proves a bound.
                        const Menu mine = TableOptionsFor(pieces, scratch_, &bound,
                                                          better * bound.units + bound.bits * Bits{kCodeSpace} -
                                                              (bound.rest[0] - bound.cheapest[v]));
                        if (mine.empty())
                            continue;
                        std::array<const Menu*, 16> trialMenus = menus;
                        trialMenus[v] = &mine;
                        Bound trialBound = bound;
                        trialBound.known = kInfinite;
                        trialBound.SetCheapest(v, mine);
                        trialBound.Sum();
                        const auto trial = Pick(trialMenus, trialBound, better);
                        if (!trial)
                            continue;
                        const Bits t = Total(*trial);
                        if (t >= total)
                            continue;
                        for (unsigned w = 0; w < 16; ++w) {
                            if (KeyOf((*trial)[w]) == KeyOf(lengths[w]))
                                continue;
                            cuts[w] = CutOf(w, (*trial)[w]).pieces;
                            menus[w] = MenuOf(w, cuts[w]);
                            bound.SetCheapest(w, *menus[w]);
                        }
                        bound.Sum();
                        lengths = *trial;
                        total = t;
                        improved = true;
                        tried = {cuts[v]};
                    }
                }
            }
            if (!improved)
                break;
        }
        Polish(lengths);
    }

    static unsigned TotalUnits(const std::array<Lengths, 16>& lengths)
    {
        unsigned units = 0;
        for (const Lengths& l : lengths)
            units += Units(l);
        return units;
    }

    // Per nibble, the tables for the pieces the given lengths cut its runs into.
    std::array<const Menu*, 16> MenusForCuts(const std::array<Lengths, 16>& lengths,
                                             std::array<PieceCounts, 16>* cuts = nullptr) const
    {
        std::array<const Menu*, 16> menus;
        for (unsigned v = 0; v < 16; ++v) {
            const PieceCounts pieces = CutOf(v, lengths[v]).pieces;
            menus[v] = MenuOf(v, pieces);
            if (cuts)
                (*cuts)[v] = pieces;
        }
        return menus;
    }

    // The best table for the pieces the given lengths cut the runs into.
    std::array<Lengths, 16> TableForCuts(const std::array<Lengths, 16>& lengths) const
    {
        return Pick(MenusForCuts(lengths)).value_or(std::array<Lengths, 16>{});
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
        // in half bits per unit: 0, 1/2, 1, 2, 4, ...
        std::vector<Bits> prices = {0};
        for (Bits p = 1; p <= std::max<Bits>(128, runsTotal); p *= 2)
            prices.push_back(p);

        constexpr int kRounds = 9;
        std::array<Menu, 16> menus;
        std::vector<std::pair<uint32_t, int>> walked; // lengths met, rounds left then
        for (unsigned v = 0; v < 16; ++v) {
            if (exact_[v])
                continue;
            menus[v].push_back({NibbleBits(v, Lengths{}), 0, Lengths{}});
            for (const Bits price : prices) {
                // A walk goes on from given lengths the same way whatever
                // led there: one that meets lengths an earlier walk at this
                // price met with as many rounds left adds nothing.
                walked.clear();
                for (unsigned longest = 1; longest <= nibbles_[v].Symbols(); ++longest) {
                    Lengths lengths{};
                    for (unsigned k = 1; k <= longest; ++k)
                        lengths[k] = 1;
                    for (int round = 0; round < kRounds; ++round) {
                        const uint32_t key = KeyOf(lengths);
                        const auto met = std::find_if(walked.begin(), walked.end(),
                                                      [key](const auto& w) { return w.first == key; });
                        if (met != walked.end() && met->second >= kRounds - round)
                            break;
                        if (met != walked.end())
                            met->second = kRounds - round;
                        else
                            walked.push_back({key, kRounds - round});
                        const Cut cut = CutOf(v, lengths);
                        menus[v].push_back({cut.bits + TableBits(lengths), Units(lengths), lengths});
                        const Lengths next = PricedTable(cut.pieces, price);
                        if (KeyOf(next) == KeyOf(lengths))
                            break;
                        lengths = next;
                    }
                }
            }
            KeepFrontier(menus[v]);
        }
        std::array<const Menu*, 16> pointers;
        for (unsigned v = 0; v < 16; ++v)
            pointers[v] = exact_[v] ? MenuOf(v, {}) : &menus[v];
        return Pick(pointers).value_or(std::array<Lengths, 16>{});
    }

    // Each symbol's best length when a unit of code space costs `price`
    // half bits. The cost of a length falls and then rises as it grows, so
    // the search stops at the first rise; ties go to the shorter code, and
    // to the escape.
    static Lengths PricedTable(const PieceCounts& pieces, Bits price)
    {
        Lengths lengths{};
        Bits saved = 0; // half bits
        for (unsigned k = 1; k <= 8; ++k) {
            if (pieces[k] == 0)
                continue;
            unsigned l = 1;
            Bits best = 2 * (pieces[k] + kEntryBits) + price * 128;
            for (; l < 8; ++l) {
                const Bits next = 2 * (Bits{l + 1} * pieces[k] + kEntryBits) + price * (1 << (7 - l));
                if (next >= best)
                    break;
                best = next;
            }
            const Bits escape = 2 * kEscapeCodeBits * pieces[k];
            if (best < escape) {
                lengths[k] = static_cast<uint8_t>(l);
                saved += escape - best;
            }
        }
        if (saved <= 2 * kSelectorBits)
            lengths = {};
        return lengths;
    }

    // Alternates cutting and table, and tries every single length change,
    // while either makes the stream shorter.
    void Polish(std::array<Lengths, 16>& lengths) const
    {
        Bits total = Total(lengths);
        std::array<const Menu*, 16> tabled{};
        for (int round = 0; round < 64; ++round) {
            bool better = false;
            // The tables for the same cuts were worked out in the round
            // before, and the stream has not grown since.
            const std::array<const Menu*, 16> menus = MenusForCuts(lengths);
            if (!std::equal(menus.begin(), menus.end(), tabled.begin())) {
                tabled = menus;
                const auto table = Pick(menus, total - kFixedBits);
                if (const Bits t = table ? Total(*table) : kInfinite; t < total) {
                    lengths = *table;
                    total = t;
                    better = true;
                }
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
            // the knapsack already gives an exact nibble its best table
            if (nibbles_[v].Empty() || exact_[v])
                continue;
            Bits current = NibbleBits(v, lengths[v]);
            for (unsigned k = 1; k <= nibbles_[v].Symbols(); ++k) {
                for (unsigned l = 0; l <= 8; ++l) {
                    // A longer code for the same entries makes no cutting
                    // cheaper, so it cannot gain.
                    if (l == lengths[v][k] || (l != 0 && lengths[v][k] != 0 && l > lengths[v][k]))
                        continue;
                    Lengths trial = lengths[v];
                    trial[k] = static_cast<uint8_t>(l);
                    const unsigned trialUnits = units - Units(lengths[v]) + Units(trial);
                    if (trialUnits > kCodeSpace)
                        continue;
                    const Bits bits = NibbleBits(v, trial);
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
    mutable Cache<uint64_t, Cut> cuts_;
    mutable Cache<SamePieces, std::unique_ptr<Menu>> tables_;
    mutable Scratch scratch_;
    std::array<std::unique_ptr<Menu>, 16> exact_; // null: left to the search
    Menu block_;                                  // the exact nibbles together
    std::vector<unsigned> blocked_;               // which, in order
    std::vector<Frontier> blockStages_;
    int blockSlot_ = -1;
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
        const std::array<Lengths, 16> lengths =
            searches[mode]->Exact() ? first[mode] : searches[mode]->Deeper(first[mode]);
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
        owned.emplace_back(best.lengths[v], searches[best.xorMode ? 1 : 0]->Longest(v));
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
