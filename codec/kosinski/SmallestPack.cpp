// Optimal parse. A token's cost depends only on its kind and length, and
// every prefix of a copy is again a copy at the same distance, so for each
// position it is enough to know the longest copy within 256 bytes (for the
// inline kind, at most 5 bytes long) and the longest within 8192 bytes (at
// most 256): every shorter length is then available too. A shortest-path pass
// over positions picks the cheapest cover.
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
    uint16_t length = 0;
    uint16_t distance = 0;
    KosinskiTokenKind kind = KosinskiTokenKind::Straight;
};

} // namespace

std::vector<KosinskiToken> FindSmallestTokens(const uint8_t* x, size_t size)
{
    if (size > kMaxPackInput)
        throw std::length_error("input too large for the Kosinski encoder");
    constexpr uint64_t kUnreached = std::numeric_limits<uint64_t>::max();
    std::vector<uint64_t> cost(size + 1, kUnreached);
    std::vector<Step> step(size + 1);
    cost[0] = 0;
    MatchFinder finder(x, size);

    auto relax = [&](size_t from, int length, uint64_t bits, KosinskiTokenKind kind, int distance) {
        const size_t to = from + static_cast<size_t>(length);
        const uint64_t c = cost[from] + bits;
        if (c < cost[to]) {
            cost[to] = c;
            step[to] = {static_cast<uint32_t>(from), static_cast<uint16_t>(length),
                        static_cast<uint16_t>(distance), kind};
        }
    };

    for (size_t i = 0; i < size; ++i) {
        relax(i, 1, kLiteralBits, KosinskiTokenKind::Straight, 0);
        const Matches m = finder.At(i);
        for (int len = 2; len <= m.nearLength; ++len)
            relax(i, len, kInlineBits, KosinskiTokenKind::Inline, m.nearDistance);
        for (int len = 3; len <= std::min(9, m.farLength); ++len)
            relax(i, len, kEmbeddedBits, KosinskiTokenKind::Embedded, m.farDistance);
        for (int len = 10; len <= m.farLength; ++len)
            relax(i, len, kSeparateBits, KosinskiTokenKind::Separate, m.farDistance);
    }

    std::vector<KosinskiToken> tokens;
    for (size_t at = size; at > 0; at = step[at].from) {
        const Step& s = step[at];
        tokens.push_back(s.kind == KosinskiTokenKind::Straight ? KosinskiToken::Straight(x[at - 1])
                                                               : KosinskiToken::Copy(s.kind, s.length, s.distance));
    }
    std::reverse(tokens.begin(), tokens.end());
    return tokens;
}

std::vector<uint8_t> PackSmallest(const uint8_t* data, size_t size)
{
    return WriteKosinskiStream(FindSmallestTokens(data, size));
}

} // namespace zorp
