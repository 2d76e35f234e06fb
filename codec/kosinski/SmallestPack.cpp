// Optimal parse. A token's cost depends only on its kind and length, and
// every prefix of a copy is again a copy at the same distance, so for each
// position it is enough to know the longest copy within 256 bytes (for the
// inline kind, at most 5 bytes long) and the longest within 8192 bytes (at
// most 256): every shorter length is then available too. A shortest-path
// pass over (position, descriptor bits pending) picks the shortest stream.
//
// Memory stays small (about 20 bytes per input byte): of the 16 states of a
// position at most two can lie on a shortest path, so only those are kept.
// A state costing 2 bytes more than another at the same position can never
// win (the same tokens after either differ by at most one descriptor field),
// and of two states the one with fewer bits pending and no higher cost never
// loses; so the survivors cost the least or one byte more, the dearer one
// with fewer bits pending. The parse keeps those per position, the distances
// of each position's longest copies, and a ring of the next 256 positions.
#include "kosinski/SmallestPack.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <stdexcept>

#include "kosinski/MatchLength.h"

namespace zorp {

namespace {

constexpr int kLongestInline = 5;

struct Matches {
    int nearLength = 0; // within 256 bytes, at most 5
    int nearDistance = 0;
    int farLength = 0; // within 8192 bytes, at most 256
    int farDistance = 0;
};

// Longest copies for every position. Positions are filed by their first two
// bytes, hashed into buckets (the bytes are checked, so a collision only costs
// time). The far copy (within 8192 bytes) comes from a binary tree of each
// bucket's positions, ordered by the bytes that follow and rebuilt around
// each new position, which becomes the root: the longest match is always one
// of its two neighbours in that order, and both lie on the path that
// inserts it. Every node is newer than the nodes below it, so the search
// stops at the first one out of reach, and the tree needs only the last 8192
// positions' links (a ring). The near copy (within 256 bytes, at most 5 long)
// walks the bucket's positions newest first, through a ring of 256 links.
class MatchFinder {
public:
    MatchFinder(const uint8_t* x, size_t size)
        : x_(x), size_(size), window_(std::min<size_t>(size, kMaxFullDistance) + 1),
          head_(std::clamp<size_t>(std::bit_ceil(std::max<size_t>(size, 1)), 64, 65536), kNone),
          mask_(static_cast<unsigned>(head_.size() - 1)), children_(2 * window_, kNone)
    {
        nearLinks_.fill(kNone);
    }

    // Positions must be asked for in increasing order, each exactly once.
    Matches At(size_t i)
    {
        Matches m;
        if (i + 1 >= size_)
            return m;
        const unsigned pair = static_cast<unsigned>(x_[i]) << 8 | x_[i + 1];
        const unsigned key = (pair * 40503u >> 4) & mask_;
        const int farCap = static_cast<int>(std::min<size_t>(kMaxSeparateLength, size_ - i));
        const int nearCap = std::min(kLongestInline, farCap);
        const uint8_t* here = x_ + i;
        const int32_t newest = head_[key];

        for (int32_t j = newest; j != kNone && m.nearLength < nearCap; j = nearLinks_[NearSlot(j)]) {
            const int d = static_cast<int>(i) - j;
            if (d > kMaxInlineDistance)
                break;
            const int len = static_cast<int>(CommonPrefixLength(x_ + j, here, static_cast<size_t>(nearCap)));
            if (len > m.nearLength) {
                m.nearLength = len;
                m.nearDistance = d;
            }
        }
        nearLinks_[NearSlot(static_cast<int32_t>(i))] = newest;

        // Insert i at the root. `smaller` is where the next node that sorts
        // before i goes, `larger` where the next one after it goes; each side
        // remembers how many bytes it is known to share with i.
        head_[key] = static_cast<int32_t>(i);
        int32_t* smaller = &children_[2 * TreeSlot(i)];
        int32_t* larger = smaller + 1;
        size_t smallerLength = 0;
        size_t largerLength = 0;
        const size_t limit = static_cast<size_t>(farCap);
        for (int32_t node = newest;;) {
            if (node == kNone || static_cast<int>(i) - node > kMaxFullDistance) {
                *smaller = *larger = kNone;
                break;
            }
            const uint8_t* there = x_ + node;
            size_t len = std::min(smallerLength, largerLength);
            len += CommonPrefixLength(there + len, here + len, limit - len);
            if (static_cast<int>(len) > m.farLength) {
                m.farLength = static_cast<int>(len);
                m.farDistance = static_cast<int>(i) - node;
            }
            int32_t* links = &children_[2 * TreeSlot(static_cast<size_t>(node))];
            if (len == limit) {
                // As far as any later match can reach, node equals i, which is
                // nearer: i takes its place and its links.
                *smaller = links[0];
                *larger = links[1];
                break;
            }
            if (there[len] < here[len]) {
                *smaller = node;
                smaller = &links[1];
                smallerLength = len;
                node = links[1];
            } else {
                *larger = node;
                larger = &links[0];
                largerLength = len;
                node = links[0];
            }
        }
        return m;
    }

private:
    static constexpr int32_t kNone = -1;
    static size_t NearSlot(int32_t position) { return static_cast<size_t>(position) % kMaxInlineDistance; }
    size_t TreeSlot(size_t position) const { return position % window_; }

    const uint8_t* x_;
    size_t size_;
    size_t window_;               // links kept for the last `window_` positions
    std::vector<int32_t> head_;   // per bucket: the newest position, the tree's root
    unsigned mask_;
    std::vector<int32_t> children_; // per kept position: [0] sorts before it, [1] after
    std::array<int32_t, kMaxInlineDistance> nearLinks_; // per kept position: the bucket's one before
};

// Descriptor bits and data bytes of each token kind.
struct TokenShape {
    int bits;
    int bytes;
};
constexpr TokenShape kShapes[] = {{1, 1}, {4, 1}, {2, 2}, {2, 3}}; // by KosinskiTokenKind
constexpr int kFieldBits = 16;
constexpr uint8_t kNoState = 0xFF;

// A state: bytes written so far and descriptor bits pending, and the token
// that led to it (kind << 9 | length - 1).
struct State {
    uint32_t cost;
    uint8_t pending;
    uint16_t step;
};

// The at most two states of a position that can still win.
struct Slot {
    State s[2];
    uint8_t count = 0;

    void Offer(State c)
    {
        for (uint8_t k = 0; k < count; ++k)
            if ((s[k].cost <= c.cost && s[k].pending <= c.pending) || s[k].cost + 2 <= c.cost)
                return;
        uint8_t kept = 0;
        for (uint8_t k = 0; k < count; ++k)
            if (!((c.cost <= s[k].cost && c.pending <= s[k].pending) || c.cost + 2 <= s[k].cost))
                s[kept++] = s[k];
        s[kept++] = c;
        count = kept;
    }
};

} // namespace

// The stream's length is 2 bytes per descriptor field plus the data bytes,
// and the number of fields is (all descriptor bits, end marker included) / 16
// + 1. A parse that only counted bits could therefore lose a field to the
// rounding at the end, so the search runs over (position, bits pending in the
// current field) and counts each field as it fills: the result is the
// shortest stream these tokens can make.
std::vector<KosinskiToken> FindSmallestTokens(const uint8_t* x, size_t size)
{
    if (size > kMaxPackInput)
        throw std::length_error("input too large for the Kosinski encoder");
    const size_t ringSize = std::min<size_t>(size + 1, kMaxSeparateLength + 1);
    std::vector<Slot> ring(ringSize);
    // Per position: the settled states (pending bits, token), and the
    // distances of its longest copies, for walking the best parse back.
    std::vector<std::array<uint8_t, 2>> settledPending(size + 1, {kNoState, kNoState});
    std::vector<std::array<uint16_t, 2>> settledStep(size + 1);
    std::vector<uint8_t> nearDistance(size);  // distance - 1
    std::vector<uint16_t> farDistance(size);  // distance - 1
    MatchFinder finder(x, size);
    ring[0].Offer({0, 0, 0});

    auto settle = [&](size_t i) {
        Slot& slot = ring[i % ringSize];
        for (uint8_t k = 0; k < slot.count; ++k) {
            settledPending[i][k] = slot.s[k].pending;
            settledStep[i][k] = slot.s[k].step;
        }
    };
    for (size_t i = 0; i < size; ++i) {
        settle(i);
        const Matches m = finder.At(i);
        nearDistance[i] = static_cast<uint8_t>(std::max(m.nearDistance, 1) - 1);
        farDistance[i] = static_cast<uint16_t>(std::max(m.farDistance, 1) - 1);
        Slot here = ring[i % ringSize];
        ring[i % ringSize].count = 0;
        for (uint8_t k = 0; k < here.count; ++k) {
            const State& s = here.s[k];
            auto relax = [&](int length, KosinskiTokenKind kind) {
                const TokenShape shape = kShapes[static_cast<int>(kind)];
                const int bits = s.pending + shape.bits;
                ring[(i + static_cast<size_t>(length)) % ringSize].Offer(
                    {s.cost + static_cast<uint32_t>(shape.bytes + 2 * (bits / kFieldBits)),
                     static_cast<uint8_t>(bits % kFieldBits),
                     static_cast<uint16_t>(static_cast<unsigned>(kind) << 9 | (length - 1u))});
            };
            relax(1, KosinskiTokenKind::Straight);
            for (int len = 2; len <= m.nearLength; ++len)
                relax(len, KosinskiTokenKind::Inline);
            for (int len = 3; len <= std::min(9, m.farLength); ++len)
                relax(len, KosinskiTokenKind::Embedded);
            for (int len = 10; len <= m.farLength; ++len)
                relax(len, KosinskiTokenKind::Separate);
        }
    }
    settle(size);

    // The end marker: two bits and three bytes, then the last field, plus one
    // more field when the marker's bits complete the current one.
    const Slot& last = ring[size % ringSize];
    int best = -1;
    uint64_t bestTotal = std::numeric_limits<uint64_t>::max();
    for (uint8_t k = 0; k < last.count; ++k) {
        const uint64_t total = last.s[k].cost + 3 + 2 + 2 * static_cast<uint64_t>((last.s[k].pending + 2) / kFieldBits);
        if (total < bestTotal || (total == bestTotal && last.s[k].pending < last.s[best].pending)) {
            bestTotal = total;
            best = k;
        }
    }

    std::vector<KosinskiToken> tokens;
    unsigned pending = best >= 0 ? last.s[best].pending : 0;
    for (size_t position = size; position > 0;) {
        const size_t k = settledPending[position][0] == pending ? 0 : 1;
        const uint16_t step = settledStep[position][k];
        const auto kind = static_cast<KosinskiTokenKind>(step >> 9);
        const size_t length = (step & 511u) + 1;
        const size_t from = position - length;
        if (kind == KosinskiTokenKind::Straight)
            tokens.push_back(KosinskiToken::Straight(x[from]));
        else
            tokens.push_back(KosinskiToken::Copy(
                kind, static_cast<int>(length),
                kind == KosinskiTokenKind::Inline ? nearDistance[from] + 1 : farDistance[from] + 1));
        pending = (pending + kFieldBits - static_cast<unsigned>(kShapes[static_cast<int>(kind)].bits)) % kFieldBits;
        position = from;
    }
    std::reverse(tokens.begin(), tokens.end());
    return tokens;
}

std::vector<uint8_t> PackSmallest(const uint8_t* data, size_t size)
{
    return WriteKosinskiStream(FindSmallestTokens(data, size));
}

} // namespace zorp
