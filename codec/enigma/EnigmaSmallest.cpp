// Enigma's smallest encoder.
//
// The parse. For a given inline width and literal word, a shortest-path
// search over the words finds the cheapest entry list. The only entry with a
// memory is the incrementing one: its word starts at the header's value and
// goes up by one for every word it writes, so the search state holds the
// chain's current value, and the header's starting value is chosen by the
// search too (a state "chain not started" may start it at any word with its
// first incrementing entry). Sound dominance rules keep the states few (see
// Parser::Settle); the live chains per word are also capped (kChainCap) so
// that the parse's memory stays within 32 bytes per input byte. A few maps
// of the games reach the cap for a few words without a larger cap finding a
// smaller stream; data built to pass it is still encoded, only maybe not in
// the fewest bits.
//
// The header search. The flag mask is fixed (the flags the data uses). The
// inline width runs down from the width the largest tile needs while the
// words too wide for it could still be written by literal or incrementing
// entries. Literal word candidates are bounded before they are parsed: a
// parse with literal word L turns into one without literal entries by making
// each of them a one-value repeat, 1 + (value bits) bits dearer, and it has
// at most one literal entry per 16 words of each run of L plus one (the run
// split by an incrementing entry), so the cheapest parse without a literal
// word minus that gain bounds every parse with L from below. Candidates are
// taken in order of that gain and the search stops at the first whose bound
// cannot beat the best stream so far (at most kLiteralTries per width, for
// data where thousands of words bound alike). The games' own header is
// parsed first, so the result is never longer than PackExact's stream.
#include "enigma/EnigmaSmallest.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <memory>
#include <string>

#include "enigma/Enigma.h"

namespace zorp::enigma {

namespace {

constexpr uint32_t kNoPosition = std::numeric_limits<uint32_t>::max();
constexpr int kShortEntryBits = 6; // incrementing, literal: type and count
constexpr int kLongEntryBits = 7;  // the others, before their values
constexpr int kEndBits = 7;
constexpr int kMaxSeparate = kMaxEntryWords - 1;
constexpr size_t kChainCap = 20;
constexpr size_t kLiteralTries = 16;
constexpr int32_t kNotStarted = -2;
constexpr int32_t kSpent = -1;

// What the parse needs to know about the words, whatever the header.
struct Tables {
    explicit Tables(const std::vector<uint16_t>& words) : w(words)
    {
        const size_t n = w.size();
        same.assign(n, 1);
        up.assign(n, 1);
        down.assign(n, 1);
        for (size_t i = n; i-- > 1;) {
            const uint16_t a = w[i - 1], b = w[i];
            if (b == a)
                same[i - 1] = static_cast<uint8_t>(std::min<int>(kMaxEntryWords, same[i] + 1));
            if (b == static_cast<uint16_t>(a + 1))
                up[i - 1] = static_cast<uint8_t>(std::min<int>(kMaxEntryWords, up[i] + 1));
            if (b == static_cast<uint16_t>(a - 1))
                down[i - 1] = static_cast<uint8_t>(std::min<int>(kMaxEntryWords, down[i] + 1));
        }
        values = w;
        std::sort(values.begin(), values.end());
        values.erase(std::unique(values.begin(), values.end()), values.end());
        values.shrink_to_fit();
        ids.resize(n);
        lastPos.assign(values.size(), 0);
        for (size_t i = 0; i < n; ++i) {
            ids[i] = static_cast<uint16_t>(Index(w[i]));
            lastPos[ids[i]] = static_cast<uint32_t>(i);
        }
    }

    // The index of v among the distinct words, or -1.
    int32_t Find(uint16_t v) const
    {
        const size_t k = Index(v);
        return k < values.size() && values[k] == v ? static_cast<int32_t>(k) : -1;
    }

    // The index of `values[id] + k` when that word occurs, else -1.
    int32_t Plus(size_t id, unsigned k) const
    {
        return id + k < values.size() && values[id + k] == values[id] + k ? static_cast<int32_t>(id + k) : -1;
    }

    const std::vector<uint16_t>& w;
    std::vector<uint8_t> same, up, down; // lengths (1..16) of the runs from each word
    std::vector<uint16_t> values;        // distinct words, ascending
    std::vector<uint16_t> ids;           // each word's index in values
    std::vector<uint32_t> lastPos;       // last position of each distinct word

private:
    size_t Index(uint16_t v) const
    {
        return static_cast<size_t>(std::lower_bound(values.begin(), values.end(), v) - values.begin());
    }
};

struct Choice {
    int inlineBits;
    uint8_t flagMask;
    int literal;           // -1: no literal entries
    int chainStart;        // -1: the search picks it
    bool anyWidth = false; // every word writable inline: a bound, not a parse
    int ValueBits() const { return std::popcount(static_cast<unsigned>(flagMask)) + inlineBits; }
};

// An append-only array in fixed blocks: growing it never holds two copies.
class StepStore {
public:
    void clear() { blocks_.clear(); size_ = 0; }
    size_t size() const { return size_; }
    void push_back(uint16_t v)
    {
        if (size_ % kBlock == 0)
            blocks_.push_back(std::make_unique<uint16_t[]>(kBlock));
        blocks_.back()[size_++ % kBlock] = v;
    }
    uint16_t operator[](size_t k) const { return blocks_[k / kBlock][k % kBlock]; }

private:
    static constexpr size_t kBlock = 1024;
    std::vector<std::unique_ptr<uint16_t[]>> blocks_;
    size_t size_ = 0;
};

// The search runs in lanes, one per state of the incrementing chain (not
// started, spent, or at a word). All entries but the incrementing one keep a
// lane's chain, and at a given word they are the same for every lane, so
// they are listed once per word and applied to each lane's ring of the next
// 16 costs.
class Parser {
public:
    Parser(const Tables& t, Choice c, bool keepSteps)
        : t_(t), c_(c), keepSteps_(keepSteps), lowLimit_(1u << c.inlineBits), valueBits_(c.ValueBits())
    {
        // wide_[k]: distinct words below values[k] that cannot be written inline.
        wide_.resize(t.values.size());
        uint32_t count = 0;
        for (size_t k = 0; k < t.values.size(); ++k) {
            wide_[k] = count;
            count += !Writable(t.values[k]);
        }
        // writableRun_[i]: words from i on that can be written inline (up to 15).
        writableRun_.assign(t.w.size() + 1, 0);
        for (size_t i = t.w.size(); i-- > 0;)
            writableRun_[i] = Writable(t.w[i]) ? static_cast<uint8_t>(std::min(kMaxSeparate, writableRun_[i + 1] + 1)) : 0;
    }

    uint32_t Run()
    {
        const size_t n = t_.w.size();
        lanes_.clear();
        steps_.clear();
        offsets_.clear();
        if (c_.chainStart < 0) {
            LaneFor(kNotStarted).at[0] = {0, -1, 0, 0, 0};
        } else {
            const int32_t id = t_.Find(static_cast<uint16_t>(c_.chainStart));
            LaneFor(id >= 0 ? id : kSpent).at[0] = {0, c_.chainStart, 0, 0, 0};
        }
        for (size_t i = 0; i < n; ++i) {
            MergeSpent(i);
            Settle(i);
            ListEntries(i);
            const size_t slot = i % kRing;
            uint16_t finalized = 0;
            if (keepSteps_)
                offsets_.push_back(static_cast<uint32_t>(steps_.size()));
            for (size_t l = 0; l < lanes_.size(); ++l) {
                Arrival a = lanes_[l].at[slot];
                if (a.cost == kInf)
                    continue;
                lanes_[l].at[slot].cost = kInf;
                if (keepSteps_)
                    steps_.push_back(static_cast<uint16_t>(a.from | a.type << 6 | (a.words - 1u) << 9));
                Expand(i, l, a.cost, a.start, finalized++);
            }
            std::erase_if(lanes_, [i](const Lane& lane) { return lane.until <= i; });
        }
        best_ = {kInf, -1, 0, 0, 0};
        for (const Lane& lane : lanes_)
            if (lane.at[n % kRing].cost < best_.cost)
                best_ = lane.at[n % kRing];
        return best_.cost == kInf ? kUnencodable : best_.cost + kEndBits;
    }

    // The word the best parse's incrementing chain starts at, or -1.
    int32_t ChainStart() const { return best_.start; }

    // The entries of the parse Run found (keepSteps only), and the value the
    // incrementing chain starts at (-1 when no incrementing entry is used).
    std::vector<Entry> Entries(int& chainStart) const
    {
        std::vector<Entry> entries;
        size_t position = t_.w.size();
        unsigned from = best_.from, type = best_.type, words = best_.words;
        while (position > 0) {
            position -= words;
            entries.push_back({static_cast<uint8_t>(type), static_cast<uint8_t>(words), static_cast<uint32_t>(position)});
            if (position == 0)
                break;
            const uint16_t step = steps_[offsets_[position] + from];
            from = step & 63u;
            type = (step >> 6) & 7u;
            words = (step >> 9) + 1u;
        }
        std::reverse(entries.begin(), entries.end());
        chainStart = -1;
        for (const Entry& e : entries)
            if (e.type == kIncrementing) {
                chainStart = t_.w[e.at];
                break;
            }
        return entries;
    }

private:
    static constexpr size_t kRing = 32; // more than the longest entry, a power of two
    static constexpr uint32_t kInf = std::numeric_limits<uint32_t>::max();
    static constexpr uint32_t kUnknownReach = kInf / 1024;
    static constexpr size_t kRecheckEvery = 8;

    // How a lane reached a word: its cost and the entry that led there (from
    // = the lane's order among those settled at the entry's first word).
    struct Arrival {
        uint32_t cost;
        int32_t start; // the word the incrementing chain started at, or -1
        uint8_t from;
        uint8_t type;
        uint8_t words;
    };
    struct Lane {
        int32_t chain;              // index of the incrementing word now, or kNotStarted / kSpent
        uint32_t reach = kUnknownReach; // ChainReach when last checked (a bound that only falls)
        uint32_t checkedAt = 0;
        size_t until = 0; // the farthest word an arrival reaches
        std::array<Arrival, kRing> at;
    };
    struct Move {
        uint32_t cost;
        uint8_t type;
        uint8_t words;
    };

    Lane& LaneFor(int32_t chain)
    {
        for (Lane& lane : lanes_)
            if (lane.chain == chain)
                return lane;
        Lane& lane = lanes_.emplace_back();
        lane.chain = chain;
        lane.at.fill({kInf, -1, 0, 0, 0});
        return lane;
    }

    void Arrive(Lane& lane, size_t to, uint32_t cost, int32_t start, unsigned from, unsigned type, unsigned words)
    {
        Arrival& a = lane.at[to % kRing];
        if (cost < a.cost) {
            a = {cost, start, static_cast<uint8_t>(from), static_cast<uint8_t>(type), static_cast<uint8_t>(words)};
            lane.until = std::max(lane.until, to);
        }
    }

    // Chains whose word does not occur from here on can never be used again:
    // their lanes join the spent lane.
    void MergeSpent(size_t i)
    {
        for (size_t l = 0; l < lanes_.size(); ++l) {
            if (lanes_[l].chain < 0 || t_.lastPos[static_cast<size_t>(lanes_[l].chain)] >= i)
                continue;
            const Lane gone = lanes_[l];
            lanes_.erase(lanes_.begin() + static_cast<ptrdiff_t>(l--));
            Lane& spent = LaneFor(kSpent);
            for (size_t k = 0; k < kRing; ++k)
                if (gone.at[k].cost < spent.at[k].cost)
                    spent.at[k] = gone.at[k];
            spent.until = std::max(spent.until, gone.until);
        }
    }

    // Drops the lanes another lane here does better than whatever comes:
    // - a started chain costing at least as much as the not-started lane;
    // - a chain whose remaining incrementing entries, each at most 1 + value
    //   bits cheaper than the repeat or increasing entry that would write the
    //   same words, cannot make up what it costs over the cheapest lane;
    // - a chain at word a costing at least (b - a) such entries, and one
    //   incrementing entry, more than a chain at word b > a: the b chain can
    //   write the a chain's entries for a .. b - 1 as repeats or increasing
    //   runs (splitting the one that runs on past b - 1 into such a run and
    //   an incrementing entry) and then go on alike.
    // Both need the words standing in to be writable inline.
    // Then keeps the live chains within the cap, cheapest first.
    void Settle(size_t i)
    {
        const size_t slot = i % kRing;
        uint32_t open = kInf, cheapest = kInf;
        size_t chains = 0;
        for (const Lane& lane : lanes_) {
            const uint32_t c = lane.at[slot].cost;
            if (lane.chain == kNotStarted)
                open = c;
            cheapest = std::min(cheapest, c);
            chains += lane.chain >= 0 && c != kInf;
        }
        const uint32_t perEntry = 1 + valueBits_;
        for (Lane& lane : lanes_) {
            uint32_t& c = lane.at[slot].cost;
            if (lane.chain < 0 || c == kInf)
                continue;
            if (c >= open || Outrun(lane, c - cheapest, perEntry, i)) {
                c = kInf;
                --chains;
            }
        }
        // A chain behind another (a lower word) can win over it only with
        // incrementing entries for the words in between, one each at most.
        order_.clear();
        for (size_t l = 0; l < lanes_.size(); ++l)
            if (lanes_[l].chain >= 0 && lanes_[l].at[slot].cost != kInf)
                order_.push_back(l);
        std::sort(order_.begin(), order_.end(),
                  [&](size_t a, size_t b) { return lanes_[a].chain > lanes_[b].chain; });
        uint64_t ahead = std::numeric_limits<uint64_t>::max();
        size_t aheadId = 0;
        for (size_t l : order_) {
            const auto id = static_cast<size_t>(lanes_[l].chain);
            uint32_t& c = lanes_[l].at[slot].cost;
            const uint64_t here = c + static_cast<uint64_t>(perEntry) * t_.values[id];
            if (ahead != std::numeric_limits<uint64_t>::max() && here >= ahead + kShortEntryBits &&
                wide_[aheadId] == wide_[id]) {
                c = kInf;
                --chains;
            } else if (here < ahead || wide_[aheadId] != wide_[id]) {
                ahead = here;
                aheadId = id;
            }
        }
        if (chains > kChainCap) {
            std::vector<uint32_t> costs;
            for (const Lane& lane : lanes_)
                if (lane.chain >= 0 && lane.at[slot].cost != kInf)
                    costs.push_back(lane.at[slot].cost);
            std::nth_element(costs.begin(), costs.begin() + kChainCap - 1, costs.end());
            const uint32_t limit = costs[kChainCap - 1];
            size_t kept = 0;
            for (Lane& lane : lanes_) {
                uint32_t& c = lane.at[slot].cost;
                if (lane.chain >= 0 && c != kInf && (c > limit || kept++ >= kChainCap))
                    c = kInf;
            }
        }
    }

    // True when the lane's chain cannot win back `behind` bits.
    bool Outrun(Lane& lane, uint32_t behind, uint32_t perEntry, size_t i) const
    {
        if (behind < perEntry)
            return false;
        if (static_cast<uint64_t>(behind) >= static_cast<uint64_t>(perEntry) * lane.reach)
            return true;
        if (lane.reach != kUnknownReach && i < lane.checkedAt + kRecheckEvery)
            return false;
        const uint32_t enough = behind / perEntry + 1;
        const uint32_t reach = ChainReach(static_cast<size_t>(lane.chain), i, enough);
        // A count that stopped at `enough` says only "at least that many".
        lane.reach = reach < enough ? reach : kUnknownReach;
        lane.checkedAt = static_cast<uint32_t>(i);
        return reach < enough;
    }

    // How many words from values[id] on, counting up by one, still occur at
    // `position` or later (not checking their order), up to `enough`: a
    // bound on the incrementing entries the chain can still write, each of
    // which a repeat or increasing entry could write instead. A word that
    // cannot be written inline ends the count as "enough": no such entry
    // could stand in for it.
    uint32_t ChainReach(size_t id, size_t position, uint32_t enough) const
    {
        uint32_t m = 0;
        while (m < enough && t_.Plus(id, m) >= 0 && t_.lastPos[id + m] >= position) {
            if (!Writable(t_.values[id + m]))
                return enough;
            ++m;
        }
        return m;
    }

    bool Writable(uint16_t x) const
    {
        return c_.anyWidth || ((x & 0x7FFu) < lowLimit_ && ((x >> 11) & ~c_.flagMask) == 0);
    }

    // The entries other than incrementing ones that can start at word i.
    void ListEntries(size_t i)
    {
        moveCount_ = 0;
        auto add = [&](uint32_t cost, unsigned type, unsigned k) {
            moves_[moveCount_++] = {cost, static_cast<uint8_t>(type), static_cast<uint8_t>(k)};
        };
        const bool literal = static_cast<int>(t_.w[i]) == c_.literal;
        if (literal)
            for (unsigned k = 1; k <= t_.same[i]; ++k)
                add(kShortEntryBits, kLiteral, k);
        if (writableRun_[i] == 0)
            return;
        const uint32_t one = kLongEntryBits + valueBits_;
        if (!literal) // a literal entry writes the same words for less
            for (unsigned k = 1; k <= t_.same[i]; ++k)
                add(one, kRepeat, k);
        for (unsigned k = 2; k <= t_.up[i]; ++k)
            add(one, kIncreasing, k);
        for (unsigned k = 2; k <= t_.down[i]; ++k)
            add(one, kDecreasing, k);
        uint32_t cost = one;
        for (unsigned k = 2; k <= writableRun_[i]; ++k) {
            cost += valueBits_;
            add(cost, kSeparate, k);
        }
    }

    void Expand(size_t i, size_t l, uint32_t cost, int32_t start, unsigned finalized)
    {
        {
            Lane& lane = lanes_[l];
            for (size_t m = 0; m < moveCount_; ++m)
                Arrive(lane, i + moves_[m].words, cost + moves_[m].cost, start, finalized, moves_[m].type,
                       moves_[m].words);
        }
        const int32_t chain = lanes_[l].chain;
        if (chain != kNotStarted && chain != t_.ids[i])
            return;
        const int32_t chainStart = chain == kNotStarted ? t_.w[i] : start;
        for (unsigned k = 1; k <= t_.up[i]; ++k) {
            const int32_t next = t_.Plus(t_.ids[i], k);
            Arrive(LaneFor(next >= 0 ? next : kSpent), i + k, cost + kShortEntryBits, chainStart, finalized,
                   kIncrementing, k);
        }
    }

    const Tables& t_;
    Choice c_;
    bool keepSteps_;
    uint32_t lowLimit_;
    uint32_t valueBits_;
    std::vector<Lane> lanes_;
    std::vector<size_t> order_;
    std::vector<uint32_t> wide_;
    std::vector<uint8_t> writableRun_;
    std::array<Move, 4 * kMaxEntryWords> moves_{};
    size_t moveCount_ = 0;
    StepStore steps_;               // per settled lane: from | type << 6 | (words - 1) << 9
    std::vector<uint32_t> offsets_; // first step of each word
    Arrival best_{};
};

// A word the data does not use (the header's literal or incrementing word
// when no entry needs it); 0 when every word is used.
uint16_t UnusedWord(const Tables& t)
{
    uint32_t v = 0;
    for (uint16_t x : t.values) {
        if (x != v)
            break;
        ++v;
    }
    return static_cast<uint16_t>(v & 0xFFFF);
}

} // namespace

uint32_t CheapestParse(const std::vector<uint16_t>& words, const Header& h, std::vector<Entry>* entries)
{
    const Tables t(words);
    if (h.inlineBits == 0 || h.inlineBits > kMaxInlineBits)
        return kUnencodable;
    Parser p(t, {h.inlineBits, static_cast<uint8_t>(h.flagMask & 0x1F), h.literal, h.incrementing},
             entries != nullptr);
    const uint32_t bits = p.Run();
    if (entries != nullptr && bits != kUnencodable) {
        int start = 0;
        *entries = p.Entries(start);
    }
    return bits;
}

namespace {

// Bits the literal word L can save at most (see the top of the file), per
// candidate, largest first.
struct LiteralGain {
    uint16_t word;
    uint32_t entries; // bound on the literal entries a parse can use
};

std::vector<LiteralGain> LiteralGains(const Tables& t)
{
    std::vector<uint32_t> entries(t.values.size(), 1);
    const auto& w = t.w;
    for (size_t i = 0; i < w.size();) {
        size_t j = i + 1;
        while (j < w.size() && w[j] == w[i])
            ++j;
        entries[t.ids[i]] += static_cast<uint32_t>((j - i + kMaxEntryWords - 1) / kMaxEntryWords);
        i = j;
    }
    std::vector<LiteralGain> gains;
    for (size_t k = 0; k < t.values.size(); ++k)
        gains.push_back({t.values[k], entries[k]});
    std::stable_sort(gains.begin(), gains.end(),
                     [](const LiteralGain& a, const LiteralGain& b) { return a.entries > b.entries; });
    return gains;
}

// Whether literal and incrementing words can write every word at this inline
// width, and which literal words could. A word too wide for it that cannot
// continue a run of the word before it must start a literal or an
// incrementing entry; the chain goes up, so apart from the literal word those
// words must rise from each to the next. When they do not, the literal word
// is one of the first pair that does not rise, and `literals` lists which of
// the two work; else it stays empty (any literal word will do).
bool WidthCanWork(const Tables& t, int inlineBits, std::vector<uint16_t>& literals)
{
    const auto& w = t.w;
    std::vector<uint16_t> starts;
    for (size_t i = 0; i < w.size(); ++i) {
        if ((w[i] & 0x7FFu) < (1u << inlineBits))
            continue;
        const auto d = static_cast<uint16_t>(w[i] - (i > 0 ? w[i - 1] : static_cast<uint16_t>(w[i] + 2)));
        if (d != 0 && d != 1 && d != 0xFFFF)
            starts.push_back(w[i]);
    }
    auto risesWithout = [&](int literal) {
        int last = -1;
        for (uint16_t v : starts) {
            if (v == literal)
                continue;
            if (static_cast<int>(v) <= last)
                return false;
            last = v;
        }
        return true;
    };
    literals.clear();
    for (size_t j = 1; j < starts.size(); ++j)
        if (starts[j] <= starts[j - 1]) {
            for (uint16_t v : {starts[j - 1], starts[j]})
                if (risesWithout(v) && (literals.empty() || literals[0] != v))
                    literals.push_back(v);
            return !literals.empty();
        }
    return true;
}

struct Best {
    uint32_t bits = kUnencodable;
    Choice choice{};
    int32_t chainStart = -1;
};

} // namespace

Header SmallestHeader(const std::vector<uint16_t>& words, std::vector<Entry>* entries)
{
    const Tables t(words);
    const uint8_t mask = UsedFlagMask(words);
    const int widest = NeededInlineBits(words);
    const auto gains = LiteralGains(t);
    Best best;
    auto consider = [&](Choice c) {
        Parser p(t, c, false);
        const uint32_t bits = p.Run();
        if (bits < best.bits) {
            best.bits = bits;
            best.choice = c;
            best.chainStart = p.ChainStart();
        }
        return bits;
    };
    // Each width with its parse without literal word and the bound for its
    // literal candidates; then the candidates, first the most promising one
    // of every width (so the best stream so far prunes well), then the rest.
    struct Width {
        int bits;
        uint32_t plainBits;
        uint32_t base;
        size_t next = 0; // next candidate in `gains`
        size_t tries = 0;
    };
    consider({widest, mask, GamesHeader(words).literal, -1});
    std::vector<Width> widths;
    std::vector<uint16_t> forced;
    for (int n = widest; n >= 1; --n) {
        if (n < widest && !WidthCanWork(t, n, forced))
            break;
        if (!forced.empty()) {
            // Only these literal words can write the wide words.
            for (uint16_t literal : forced)
                consider({n, mask, literal, -1});
            continue;
        }
        const uint32_t plainBits = consider({n, mask, -1, -1});
        // The bound needs a parse in which every literal entry could be a
        // repeat: at narrower widths that is the one that may write any word.
        const uint32_t base = n == widest ? plainBits : Parser(t, {n, mask, -1, -1, true}, false).Run();
        widths.push_back({n, plainBits, base});
    }
    // Parses the next candidate of the width that the bounds leave; false
    // when none is left.
    auto step = [&](Width& wd) {
        const uint64_t perEntry = 1 + static_cast<uint64_t>(Choice{wd.bits, mask, -1, -1}.ValueBits());
        while (wd.next < gains.size()) {
            const LiteralGain& g = gains[wd.next++];
            const uint64_t gain = perEntry * g.entries;
            if (wd.base >= best.bits + gain || ++wd.tries > kLiteralTries) {
                wd.next = gains.size();
                return false;
            }
            // A literal word that can be written inline is bound by the
            // parse without literal word at this very width.
            if ((g.word & 0x7FFu) < (1u << wd.bits) && static_cast<uint64_t>(wd.plainBits) >= best.bits + gain)
                continue;
            consider({wd.bits, mask, g.word, -1});
            return true;
        }
        return false;
    };
    for (Width& wd : widths)
        step(wd);
    for (Width& wd : widths)
        while (step(wd)) {
        }
    // The entries: parsed again with the chain's start fixed, which keeps
    // far fewer states (and their steps) than the search over every start.
    const uint16_t unused = UnusedWord(t);
    Choice fixed = best.choice;
    fixed.chainStart = best.chainStart >= 0 ? best.chainStart : unused;
    Parser p(t, fixed, true);
    p.Run();
    int start = 0;
    std::vector<Entry> list = p.Entries(start);
    if (entries != nullptr)
        *entries = std::move(list);
    Header h;
    h.inlineBits = static_cast<uint8_t>(best.choice.inlineBits);
    h.flagMask = mask;
    h.literal = best.choice.literal >= 0 ? static_cast<uint16_t>(best.choice.literal) : unused;
    h.incrementing = start >= 0 ? static_cast<uint16_t>(start) : unused;
    return h;
}

codec::EncodeResult PackSmallest(const uint8_t* data, size_t size)
{
    codec::EncodeResult r;
    if (size % 2 != 0) {
        r.error = "Enigma data is made of 16-bit words; " + std::to_string(size) + " bytes is an odd size.";
        return r;
    }
    const std::vector<uint16_t> words = WordsOf(data, size);
    std::vector<Entry> entries;
    const Header h = SmallestHeader(words, &entries);
    r.stream = WriteEnigmaStream(h, words, entries);
    // The search's caps could in principle miss what the games' greedy
    // choice finds; never give a longer stream than that.
    const Header games = GamesHeader(words);
    std::vector<uint8_t> greedy = WriteEnigmaStream(games, words, GamesEntries(words, games));
    if (greedy.size() < r.stream.size())
        r.stream = std::move(greedy);
    return r;
}

} // namespace zorp::enigma
