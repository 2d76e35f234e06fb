#include "nemesis/NemesisKnapsack.h"

#include <algorithm>
#include <bit>

namespace zorp::nemesis::knapsack {

namespace {

// Collects the points one stage offers, by units, and keeps the frontier.
// Only the units offered are visited, so a stage costs its offers and the
// points it keeps, not the whole code space.
class Stage {
public:
    explicit Stage(unsigned reach) : reach_(std::min(reach, kCodeSpace)) {}

    unsigned Reach() const { return reach_; }

    // On equal bits the first offer stays.
    void Offer(unsigned units, Bits bits, size_t from, unsigned choice)
    {
        uint64_t& word = offered_[units / 64];
        const uint64_t bit = uint64_t{1} << (units % 64);
        if ((word & bit) && bits >= bits_[units])
            return;
        word |= bit;
        bits_[units] = bits;
        from_[units] = static_cast<uint16_t>(from);
        choice_[units] = static_cast<uint8_t>(choice);
    }

    void Collect(Frontier& out) const
    {
        out.clear();
        Bits fewest = kInfinite;
        unsigned offered = 0;
        for (uint64_t word : offered_)
            offered += static_cast<unsigned>(std::popcount(word));
        out.reserve(offered);
        for (unsigned w = 0; w < offered_.size(); ++w)
            for (uint64_t left = offered_[w]; left != 0; left &= left - 1) {
                const unsigned u = w * 64 + static_cast<unsigned>(std::countr_zero(left));
                if (bits_[u] < fewest) {
                    fewest = bits_[u];
                    out.push_back({u, bits_[u], from_[u], choice_[u]});
                }
            }
    }

private:
    unsigned reach_;
    std::array<uint64_t, (kCodeSpace + 64) / 64> offered_{};
    std::array<Bits, kCodeSpace + 1> bits_;
    std::array<uint16_t, kCodeSpace + 1> from_;
    std::array<uint8_t, kCodeSpace + 1> choice_;
};

} // namespace

void KeepFrontier(Menu& menu)
{
    // the first option with the fewest bits at each number of units, then
    // those that beat every option with fewer units
    std::array<int, kCodeSpace + 1> at;
    at.fill(-1);
    for (size_t i = 0; i < menu.size(); ++i) {
        const Option& o = menu[i];
        if (o.units <= kCodeSpace && (at[o.units] < 0 || o.bits < menu[static_cast<size_t>(at[o.units])].bits))
            at[o.units] = static_cast<int>(i);
    }
    Menu kept;
    for (int i : at)
        if (i >= 0 && (kept.empty() || menu[static_cast<size_t>(i)].bits < kept.back().bits))
            kept.push_back(menu[static_cast<size_t>(i)]);
    menu = std::move(kept);
}

const Frontier& Nothing()
{
    static const Frontier nothing = {Point{}};
    return nothing;
}

Menu TableOptionsFor(const PieceCounts& pieces, Scratch& scratch, const Bound* price,
                     Bits most)
{
    Bits escapes = 0;
    for (unsigned k = 1; k <= 8; ++k)
        escapes += kEscapeCodeBits * pieces[k];
    // per symbol, the lengths whose code and entry cost less than the escapes
    struct Length {
        unsigned units;
        Bits gain;
    };
    std::array<std::array<Length, 8>, 9> options;
    std::array<unsigned, 9> count{};
    std::array<Bits, 10> cheapestAfter{}; // least priced gain of the symbols from k on
    for (unsigned k = 8; k >= 1; --k) {
        Bits least = 0;
        for (unsigned l = 1; l <= 8; ++l)
            if (const Bits gain = (Bits{l} - kEscapeCodeBits) * pieces[k] + kEntryBits; gain < 0) {
                options[k][count[k]++] = {1u << (8 - l), gain};
                if (price)
                    least = std::min(least, price->Priced(gain, 1u << (8 - l)));
            }
        cheapestAfter[k] = cheapestAfter[k + 1] + least;
    }
    std::array<uint8_t, 8> symbolOf{};
    unsigned stages = 0;
    const Frontier* current = &Nothing();
    for (unsigned k = 1; k <= 8; ++k) {
        const unsigned n = count[k];
        if (n == 0)
            continue;
        const Frontier& from = *current;
        Stage stage(from.back().units + options[k][0].units);
        for (size_t i = 0; i < from.size(); ++i) // escaped
            stage.Offer(from[i].units, from[i].bits, i, 0);
        for (size_t i = 0; i < from.size(); ++i)
            for (unsigned j = 0; j < n; ++j) {
                const unsigned w = from[i].units + options[k][j].units;
                if (w <= stage.Reach())
                    stage.Offer(w, from[i].bits + options[k][j].gain, i, 8 - std::countr_zero(options[k][j].units));
            }
        Frontier& f = scratch.stages[stages];
        stage.Collect(f);
        if (price) {
            size_t kept = 0;
            for (const Point& p : f)
                if (price->Priced(p.bits + escapes + (p.units ? kSelectorBits : 0), p.units) + cheapestAfter[k + 1] <=
                    most)
                    f[kept++] = p;
            f.resize(kept);
            if (f.empty())
                return {};
        }
        symbolOf[stages] = static_cast<uint8_t>(k);
        current = &scratch.stages[stages++];
    }
    Menu menu;
    menu.reserve(current->size());
    for (size_t i = 0; i < current->size(); ++i) {
        const unsigned u = (*current)[i].units;
        Option o{(*current)[i].bits + escapes + (u ? kSelectorBits : 0), u, {}};
        if (price && price->Priced(o.bits, u) > most)
            continue;
        size_t at = i;
        for (unsigned s = stages; s-- > 0;) {
            o.lengths[symbolOf[s]] = scratch.stages[s][at].choice;
            at = scratch.stages[s][at].from;
        }
        menu.push_back(o);
    }
    return menu;
}

void Combine(const Frontier& from, const Menu& menu, Frontier& out)
{
    Stage stage(from.back().units + menu.back().units);
    size_t fits = menu.size(); // options within the room left; fewer as the points use more
    for (size_t i = 0; i < from.size(); ++i) {
        const unsigned room = kCodeSpace - from[i].units;
        while (fits > 0 && menu[fits - 1].units > room)
            --fits;
        for (size_t j = 0; j < fits; ++j)
            stage.Offer(from[i].units + menu[j].units, from[i].bits + menu[j].bits, i, static_cast<unsigned>(j));
    }
    stage.Collect(out);
}

Bound BoundFor(const std::array<const Menu*, 16>& menus, Scratch& scratch)
{
    using Step = Scratch::Step;
    std::vector<Step>& steps = scratch.steps;
    std::vector<size_t>& hull = scratch.hull;
    steps.clear();
    Bound b;
    unsigned used = 0;
    for (unsigned v = 0; v < 16; ++v) {
        const Menu& m = *menus[v];
        used += m[0].units;
        b.known += m[0].bits;
        // the menu runs by increasing units and decreasing bits
        hull.clear();
        for (size_t j = 0; j < m.size(); ++j) {
            while (hull.size() >= 2) {
                const Option& a = m[hull[hull.size() - 2]];
                const Option& c = m[hull.back()];
                // drop c unless it saves more per unit than the step past it
                if ((a.bits - c.bits) * Bits{m[j].units - c.units} > (c.bits - m[j].bits) * Bits{c.units - a.units})
                    break;
                hull.pop_back();
            }
            hull.push_back(j);
        }
        for (size_t h = 1; h < hull.size(); ++h)
            steps.push_back({m[hull[h - 1]].bits - m[hull[h]].bits, m[hull[h]].units - m[hull[h - 1]].units, v});
    }
    // A nibble's steps save less and less per unit, so they stay in order.
    std::sort(steps.begin(), steps.end(),
              [](const Step& x, const Step& y) { return x.saved * Bits{y.units} > y.saved * Bits{x.units}; });
    std::array<bool, 16> blocked{};
    bool priced = false;
    for (const Step& st : steps) {
        if (blocked[st.nibble])
            continue;
        if (used + st.units <= kCodeSpace) {
            used += st.units;
            b.known -= st.saved;
            continue;
        }
        blocked[st.nibble] = true;
        if (!priced) {
            b.bits = st.saved;
            b.units = st.units;
            priced = true;
        }
    }
    for (unsigned v = 0; v < 16; ++v)
        b.SetCheapest(v, *menus[v]);
    b.Sum();
    return b;
}

const Menu& NoChoice()
{
    static const Menu none = {Option{0, 0, {}}};
    return none;
}

std::optional<Choices> PickWithinBudget(const std::array<const Menu*, 16>& menus, Scratch& scratch,
                                        const Bound& bound, Bits atMost)
{
    // (a bound without a known choice is only used with a finite atMost)
    const Bits limit = std::min({bound.known, atMost, kInfinite / 256}) * bound.units;
    if (bound.rest[0] - bound.bits * Bits{kCodeSpace} > limit)
        return std::nullopt;
    std::array<Frontier, 16>& stages = scratch.stages;
    std::array<int, 16> stageOf; // -1: a menu of one option without units, added to `base`
    Bits base = 0;
    const Frontier* current = &Nothing();
    int count = 0;
    for (unsigned v = 0; v < 16; ++v) {
        const Menu& menu = *menus[v];
        if (menu.size() == 1 && menu[0].units == 0) {
            base += menu[0].bits;
            stageOf[v] = -1;
            continue;
        }
        Frontier& f = stages[static_cast<size_t>(count)];
        Combine(*current, menu, f);
        size_t kept = 0;
        for (const Point& p : f)
            if (bound.Least({p.units, p.bits + base}, v + 1) <= limit)
                f[kept++] = p;
        f.resize(kept);
        if (f.empty())
            return std::nullopt;
        stageOf[v] = count++;
        current = &f;
    }
    size_t at = current->size() - 1; // the fewest bits
    if ((*current)[at].bits + base > atMost)
        return std::nullopt;
    Choices choices{};
    for (unsigned v = 16; v-- > 0;) {
        if (stageOf[v] < 0)
            continue;
        const Point& p = stages[static_cast<size_t>(stageOf[v])][at];
        choices[v] = p.choice;
        at = p.from;
    }
    return choices;
}

Bits LeastPriced(const PieceCounts& pieces, const Bound& bound)
{
    Bits escaped = 0, coded = kSelectorBits * bound.units;
    for (unsigned k = 1; k <= 8; ++k) {
        if (pieces[k] == 0)
            continue;
        const Bits escape = kEscapeCodeBits * pieces[k] * bound.units;
        Bits best = escape;
        for (unsigned l = 1; l <= 8; ++l)
            best = std::min(best, bound.Priced(Bits{l} * pieces[k] + kEntryBits, 1u << (8 - l)));
        escaped += escape;
        coded += best;
    }
    return std::min(escaped, coded);
}
} // namespace zorp::nemesis::knapsack
