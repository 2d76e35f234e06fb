// Optimal parse. A token's cost depends only on its kind and length, and
// every prefix of a copy is again a copy at the same distance, so for each
// position it is enough to know the longest copy within 256 bytes (for the
// inline kind, at most 5 bytes long) and the longest within 8192 bytes (at
// most 256): every shorter length is then available too. A shortest-path pass
// over (position, descriptor bits pending) picks the shortest stream.
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

// Longest copies for every position, found through chains of earlier
// positions that start with the same byte pair (no hash collisions).
class MatchFinder {
public:
    MatchFinder(const uint8_t* x, size_t size) : x_(x), size_(size), prev_(size, -1), head_(65536, -1) {}

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
        for (int32_t j = head_[key]; j >= 0; j = prev_[j]) {
            const int d = static_cast<int>(i) - j;
            if (d > kMaxFullDistance)
                break;
            const uint8_t* there = x_ + j;
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

    for (size_t i = 0; i < size; ++i) {
        const Matches m = finder.At(i);
        for (int pending = 0; pending < kFieldBits; ++pending) {
            if (cost[at(i, pending)] == kUnreached)
                continue;
            relax(i, pending, 1, kLiteral, KosinskiTokenKind::Straight, 0);
            for (int len = 2; len <= m.nearLength; ++len)
                relax(i, pending, len, kInline, KosinskiTokenKind::Inline, m.nearDistance);
            for (int len = 3; len <= std::min(9, m.farLength); ++len)
                relax(i, pending, len, kEmbedded, KosinskiTokenKind::Embedded, m.farDistance);
            for (int len = 10; len <= m.farLength; ++len)
                relax(i, pending, len, kSeparate, KosinskiTokenKind::Separate, m.farDistance);
        }
    }

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
