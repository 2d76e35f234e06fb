// Optimal parse. A token's cost depends only on its kind and length, and
// every prefix of a copy is again a copy at the same distance, so for each
// position it is enough to know the longest copy within 256 bytes (for the
// inline kind, at most 5 bytes long) and the longest within 8192 bytes (at
// most 256): every shorter length is then available too. A shortest-path pass
// over (position, descriptor bits pending) picks the shortest stream. Copies
// of 10 bytes or more cost the same whatever their length, so each is one
// offer over the range of positions it can end at, kept in a heap per target
// state, instead of up to 247 separate relaxations.
#include "kosinski/SmallestPack.h"

#include <algorithm>
#include <stdexcept>
#include <limits>

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

// Longest copies for every position. The far copy (within 8192 bytes) comes
// from a binary tree of the earlier positions that start with the same byte
// pair, ordered by the bytes that follow and rebuilt around each new
// position: the longest match is always one of the new position's two
// neighbours in that order, and both lie on the path that inserts it. Every
// node is newer than the nodes below it, so the search stops at the first one
// out of reach. The near copy (within 256 bytes, at most 5 long) walks a plain
// chain of the same byte pair, which never reaches further than 256 bytes.
// No hashing: the pair itself is the key, so there are no collisions.
class MatchFinder {
public:
    MatchFinder(const uint8_t* x, size_t size)
        : x_(x), size_(size), prev_(size, kNone), children_(2 * size, kNone), head_(65536, kNone), chainHead_(65536, kNone)
    {
    }

    // Positions must be asked for in increasing order, each exactly once.
    Matches At(size_t i)
    {
        Matches m;
        if (i + 1 >= size_)
            return m;
        const unsigned key = static_cast<unsigned>(x_[i]) << 8 | x_[i + 1];
        const int farCap = static_cast<int>(std::min<size_t>(kMaxSeparateLength, size_ - i));
        const int nearCap = std::min(kLongestInline, farCap);
        const uint8_t* here = x_ + i;

        for (int32_t j = chainHead_[key]; j != kNone && m.nearLength < nearCap; j = prev_[j]) {
            const int d = static_cast<int>(i) - j;
            if (d > kMaxInlineDistance)
                break;
            const int len = static_cast<int>(CommonPrefixLength(x_ + j, here, static_cast<size_t>(nearCap)));
            if (len > m.nearLength) {
                m.nearLength = len;
                m.nearDistance = d;
            }
        }
        prev_[i] = chainHead_[key];
        chainHead_[key] = static_cast<int32_t>(i);

        // Insert i at the root of its pair's tree. `smaller` is where the next
        // node that sorts before i goes, `larger` where the next one after it
        // goes; each side remembers how many bytes it is known to share with i.
        int32_t* smaller = &children_[2 * i];
        int32_t* larger = &children_[2 * i + 1];
        size_t smallerLength = 2;
        size_t largerLength = 2;
        int32_t node = head_[key];
        head_[key] = static_cast<int32_t>(i);
        const size_t limit = static_cast<size_t>(farCap);
        for (;;) {
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
            int32_t* pair = &children_[2 * static_cast<size_t>(node)];
            if (len == limit) {
                // As far as any later match can reach, node equals i, which is
                // nearer: i takes its place and its children.
                *smaller = pair[0];
                *larger = pair[1];
                break;
            }
            if (there[len] < here[len]) {
                *smaller = node;
                smaller = &pair[1];
                smallerLength = len;
                node = pair[1];
            } else {
                *larger = node;
                larger = &pair[0];
                largerLength = len;
                node = pair[0];
            }
        }
        return m;
    }

private:
    static constexpr int32_t kNone = -1;
    const uint8_t* x_;
    size_t size_;
    std::vector<int32_t> prev_;      // near chain: the previous position with the same pair
    std::vector<int32_t> children_;  // tree: [2p] sorts before p, [2p + 1] after
    std::vector<int32_t> head_;      // tree root per pair
    std::vector<int32_t> chainHead_; // near chain start per pair
};

struct Step {
    uint32_t from = 0;
    uint8_t fromPending = 0; // descriptor bits pending in the field before the token
    uint16_t length = 0;
    uint16_t distance = 0;
    KosinskiTokenKind kind = KosinskiTokenKind::Straight;
};

// Descriptor bits and data bytes of each token kind.
struct TokenShape {
    int bits;
    int bytes;
};
constexpr TokenShape kLiteral{1, 1};
constexpr TokenShape kInline{4, 1};
constexpr TokenShape kEmbedded{2, 2};
constexpr TokenShape kSeparate{2, 3};
constexpr int kFieldBits = 16;
constexpr int kShortestSeparate = 10;

// A separate copy from `from` that may end anywhere up to `last`.
struct Offer {
    uint64_t cost;
    uint32_t last;
    uint32_t from;
    uint16_t distance;
    uint8_t fromPending;
};
struct DearerOffer {
    bool operator()(const Offer& a, const Offer& b) const { return a.cost > b.cost; }
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
    constexpr uint64_t kUnreached = std::numeric_limits<uint64_t>::max();
    auto at = [](size_t position, int pending) { return position * kFieldBits + static_cast<size_t>(pending); };
    std::vector<uint64_t> cost((size + 1) * kFieldBits, kUnreached);
    std::vector<Step> step((size + 1) * kFieldBits);
    cost[at(0, 0)] = 0;
    MatchFinder finder(x, size);

    auto relax = [&](size_t from, int pending, int length, TokenShape shape, KosinskiTokenKind kind, int distance) {
        const int bits = pending + shape.bits;
        const size_t to = at(from + static_cast<size_t>(length), bits % kFieldBits);
        const uint64_t c = cost[at(from, pending)] + static_cast<uint64_t>(shape.bytes + 2 * (bits / kFieldBits));
        if (c < cost[to]) {
            cost[to] = c;
            step[to] = {static_cast<uint32_t>(from), static_cast<uint8_t>(pending), static_cast<uint16_t>(length),
                        static_cast<uint16_t>(distance), kind};
        }
    };

    // Offers made at position i become usable at i + 10: they wait in a ring
    // of 10 buckets, then move into the heap of their target state.
    std::vector<Offer> heaps[kFieldBits];
    std::vector<std::pair<int, Offer>> waiting[kShortestSeparate];
    auto takeOffers = [&](size_t j) {
        auto& arrived = waiting[j % kShortestSeparate];
        for (const auto& [target, offer] : arrived) {
            heaps[target].push_back(offer);
            std::push_heap(heaps[target].begin(), heaps[target].end(), DearerOffer{});
        }
        arrived.clear();
        for (int target = 0; target < kFieldBits; ++target) {
            auto& heap = heaps[target];
            while (!heap.empty() && heap.front().last < j) {
                std::pop_heap(heap.begin(), heap.end(), DearerOffer{});
                heap.pop_back();
            }
            if (heap.empty() || heap.front().cost >= cost[at(j, target)])
                continue;
            const Offer& best = heap.front();
            cost[at(j, target)] = best.cost;
            step[at(j, target)] = {best.from, best.fromPending, static_cast<uint16_t>(j - best.from), best.distance,
                                   KosinskiTokenKind::Separate};
        }
    };

    for (size_t i = 0; i < size; ++i) {
        takeOffers(i);
        const Matches m = finder.At(i);
        // Where the descriptor fields end can shift the rest of the stream by
        // at most one field (2 bytes) between two states of one position, so
        // a state 2 or more bytes dearer than the cheapest can never lead to
        // a shorter stream: it is not expanded.
        uint64_t cheapest = kUnreached;
        for (int pending = 0; pending < kFieldBits; ++pending)
            cheapest = std::min(cheapest, cost[at(i, pending)]);
        for (int pending = 0; pending < kFieldBits; ++pending) {
            const uint64_t here = cost[at(i, pending)];
            if (here == kUnreached || here >= cheapest + 2)
                continue;
            relax(i, pending, 1, kLiteral, KosinskiTokenKind::Straight, 0);
            for (int len = 2; len <= m.nearLength; ++len)
                relax(i, pending, len, kInline, KosinskiTokenKind::Inline, m.nearDistance);
            for (int len = 3; len <= std::min(kShortestSeparate - 1, m.farLength); ++len)
                relax(i, pending, len, kEmbedded, KosinskiTokenKind::Embedded, m.farDistance);
            if (m.farLength >= kShortestSeparate) {
                const int bits = pending + kSeparate.bits;
                const Offer offer{here + static_cast<uint64_t>(kSeparate.bytes + 2 * (bits / kFieldBits)),
                                  static_cast<uint32_t>(i + static_cast<size_t>(m.farLength)),
                                  static_cast<uint32_t>(i), static_cast<uint16_t>(m.farDistance),
                                  static_cast<uint8_t>(pending)};
                waiting[i % kShortestSeparate].emplace_back(bits % kFieldBits, offer);
            }
        }
    }
    takeOffers(size);

    // The end marker: two bits and three bytes, then the last field, plus one
    // more field when the marker's bits complete the current one.
    int bestPending = 0;
    uint64_t best = kUnreached;
    for (int pending = 0; pending < kFieldBits; ++pending) {
        const uint64_t c = cost[at(size, pending)];
        if (c == kUnreached)
            continue;
        const uint64_t total = c + 3 + 2 + 2 * static_cast<uint64_t>((pending + 2) / kFieldBits);
        if (total < best) {
            best = total;
            bestPending = pending;
        }
    }

    std::vector<KosinskiToken> tokens;
    for (size_t position = size, pending = static_cast<size_t>(bestPending); position > 0;) {
        const Step& s = step[at(position, static_cast<int>(pending))];
        tokens.push_back(s.kind == KosinskiTokenKind::Straight ? KosinskiToken::Straight(x[position - 1])
                                                               : KosinskiToken::Copy(s.kind, s.length, s.distance));
        position = s.from;
        pending = s.fromPending;
    }
    std::reverse(tokens.begin(), tokens.end());
    return tokens;
}

std::vector<uint8_t> PackSmallest(const uint8_t* data, size_t size)
{
    return WriteKosinskiStream(FindSmallestTokens(data, size));
}

} // namespace zorp
