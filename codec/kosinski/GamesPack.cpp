// The games' Kosinski encoder: greedy longest copy, nearest of equals. Earlier
// positions with the same two bytes are chained from the nearest, so the
// first copy of a length found is the nearest one.
//
// What the streams show of the games' encoder beyond that: it kept the data
// in an 8192-byte ring with room for its lookahead, so copies reach back at
// most 7938 bytes (8192 - 254, the longest copy being 253); and it compared
// copies on past the end of the data against what the ring still held there
// (zeros, or the data 8192 bytes earlier) before cutting them to the bytes
// left, which near the end picks another distance (or, cut to 2 bytes from
// afar, a literal).
#include "kosinski/GamesPack.h"

#include <algorithm>
#include <stdexcept>

#include "kosinski/MatchLength.h"

namespace zorp::GamesPack {

namespace {
constexpr size_t kRing = 8192;
constexpr size_t kReach = kRing - (kLongestCopy + 1);
} // namespace

std::vector<KosinskiToken> FindTokens(const uint8_t* x, size_t size)
{
    if (size > kMaxPackInput)
        throw std::length_error("input too large for the Kosinski encoder");
    std::vector<KosinskiToken> tokens;
    std::vector<uint8_t> padded(x, x + size);
    padded.resize(size + kLongestCopy + 1, 0);
    for (size_t k = std::max(size, kRing); k < padded.size(); ++k)
        padded[k] = x[k - kRing];
    const uint8_t* p = padded.data();
    std::vector<int32_t> prev(size, -1);
    std::vector<int32_t> head(65536, -1);
    for (size_t i = 0; i < size;) {
        int found = 0, distance = 0;
        const unsigned key = static_cast<unsigned>(p[i]) << 8 | p[i + 1];
        for (int32_t j = head[key]; j >= 0 && i - static_cast<size_t>(j) <= kReach; j = prev[j]) {
            if (found >= 2 && p[j + found] != p[i + found])
                continue; // cannot be longer than the best so far
            const int len = static_cast<int>(CommonPrefixLength(p + j, p + i, kLongestCopy));
            if (len > found) {
                found = len;
                distance = static_cast<int>(i - static_cast<size_t>(j));
                if (found == kLongestCopy)
                    break;
            }
        }
        const int best = std::min(found, static_cast<int>(size - i));
        KosinskiToken t = KosinskiToken::Straight(x[i]);
        if (best >= 2 && best <= 5 && distance <= kMaxInlineDistance - 1)
            t = KosinskiToken::Copy(KosinskiTokenKind::Inline, best, distance);
        else if (best >= 3 && best <= 9)
            t = KosinskiToken::Copy(KosinskiTokenKind::Embedded, best, distance);
        else if (best >= 10)
            t = KosinskiToken::Copy(KosinskiTokenKind::Separate, best, distance);
        tokens.push_back(t);
        for (size_t k = 0; k < t.length; ++k, ++i) {
            const unsigned at = static_cast<unsigned>(p[i]) << 8 | p[i + 1];
            prev[i] = head[at];
            head[at] = static_cast<int32_t>(i);
        }
    }
    return tokens;
}

std::vector<uint8_t> Pack(const uint8_t* data, size_t size)
{
    return WriteKosinskiStream(FindTokens(data, size), KosinskiEndMarker::Games);
}

} // namespace zorp::GamesPack
