// Optimal parse. A token's cost depends only on its kind and length, and
// every prefix of a copy is again a copy at the same distance, so for each
// position it is enough to know the longest copy within 256 bytes (for the
// inline kind, at most 5 bytes long) and the longest within 8192 bytes (at
// most 256): every shorter length is then available too. A shortest-path
// pass over (position, descriptor bits pending) picks the shortest stream.
//
// Memory stays small (about 17 bytes per input byte): of the 16 states of a
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

// Longest copies for every position, found through chains of earlier
// positions whose first two bytes hash alike (the chains are checked, so
// collisions only cost time).
class MatchFinder {
public:
    MatchFinder(const uint8_t* x, size_t size)
        : x_(x), size_(size), prev_(size, -1),
          head_(std::clamp<size_t>(std::bit_ceil(std::max<size_t>(size, 1)), 64, 65536), -1),
          mask_(static_cast<unsigned>(head_.size() - 1))
    {
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
        for (int32_t j = head_[key]; j >= 0; j = prev_[j]) {
            const int d = static_cast<int>(i) - j;
            if (d > kMaxFullDistance)
                break;
            const uint8_t* there = x_ + j;
            if (there[0] != here[0] || there[1] != here[1])
                continue; // another pair in the same bucket
            if (d <= kMaxInlineDistance && m.nearLength < nearCap) {
                const int len = static_cast<int>(CommonPrefixLength(there, here, static_cast<size_t>(nearCap)));
                if (len > m.nearLength) {
                    m.nearLength = len;
                    m.nearDistance = d;
                }
            }
            if (m.farLength == farCap) {
                if (d >= kMaxInlineDistance || m.nearLength == nearCap)
                    break; // nothing farther can do better
                continue;
            }
            if (m.farLength >= 2 && there[m.farLength] != here[m.farLength])
                continue; // cannot be longer than the best so far
            const int len = static_cast<int>(CommonPrefixLength(there, here, static_cast<size_t>(farCap)));
            if (len > m.farLength) {
                m.farLength = len;
                m.farDistance = d;
            }
        }
        prev_[i] = head_[key];
        head_[key] = static_cast<int32_t>(i);
        return m;
    }

private:
    const uint8_t* x_;
    size_t size_;
    std::vector<int32_t> prev_;
    std::vector<int32_t> head_;
    unsigned mask_;
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
