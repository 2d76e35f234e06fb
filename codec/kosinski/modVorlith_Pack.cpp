// Fast form of the backwards longest-first token search.
//
// The search as defined works on the remaining data D (length n, positions
// from 1): for W from min(255, n div 2) down to 2 it looks for the last W
// bytes of D, first from position max(1, n-W-256), then from
// max(1, n-W-8191), taking the lowest occurrence that lies wholly before the
// candidate. Naming an occurrence by its last byte e instead of its first
// byte p = e-W+1 removes W from the windows:
//
//   occurrence of length W ending at e  <=>  L(e) >= W, e <= n-W, e >= W
//   near window p >= n-W-256            <=>  e >= n-257
//   far window  p >= n-W-8191           <=>  e >= n-8192
//
// where L(e) is the length of the common suffix of D[1..e] and D[1..n]. With
// M(e) = min(L(e), n-e, e, W0) the search's W is the largest M(e) over the
// far window, and its match is the lowest e of the near window with that M,
// or failing that the lowest e of the far window; the distance is n-e. Only
// end positions whose last two bytes equal D's last two bytes can have
// L(e) >= 2, so a chain of earlier positions of each byte pair lists them.
#include "kosinski/modVorlith_Pack.h"

#include <algorithm>
#include <stdexcept>

#include "kosinski/MatchLength.h"

namespace zorp::modVorlith_Pack {

namespace {

constexpr int kLongestCopy = 255;
constexpr int kNearReach = 257;  // e >= n - 257
constexpr int kFarReach = 8192;  // e >= n - 8192

// prev[i]: the previous index j < i whose byte pair (x[j-1], x[j]) falls in
// the same bucket as (x[i-1], x[i]), or -1. A j of another pair shares less
// than 2 bytes with i and is rejected by the search, so the result is the
// same as with one chain per pair.
std::vector<int32_t> BuildPairChains(const uint8_t* x, size_t size)
{
    std::vector<int32_t> prev(size, -1);
    std::vector<int32_t> head(PairTableSize(size), -1);
    const unsigned mask = static_cast<unsigned>(head.size() - 1);
    for (size_t i = 1; i < size; ++i) {
        const unsigned key = PairBucket(x[i - 1], x[i], mask);
        prev[i] = head[key];
        head[key] = static_cast<int32_t>(i);
    }
    return prev;
}

struct Found {
    int length = 0;   // 0 when no copy of 2 or more bytes exists
    int distance = 0;
};

// The search for the remaining data x[0..n-1], n >= 4. Indices below are
// 0-based: index i is end position e = i + 1.
Found Search(const uint8_t* x, const std::vector<int32_t>& prev, int n)
{
    const int w0 = std::min(kLongestCopy, n / 2);
    const int lowest = std::max(0, n - kFarReach - 1);
    const int nearLowest = n - kNearReach - 1;
    const uint8_t* tail = x + n;

    int bestFar = 2, farIndex = -1;   // largest M so far and its lowest index
    int bestNear = 2, nearIndex = -1; // the same inside the near window
    for (int i = prev[n - 1]; i >= lowest; i = prev[i]) {
        const int e = i + 1;
        const int cap = std::min({w0, n - e, e});
        const bool inNear = i >= nearLowest;
        const int need = inNear ? bestNear : bestFar;
        if (cap < need)
            continue;
        // Cheap rejection: an occurrence that cannot reach `need` bytes.
        if (x[i + 1 - need] != tail[-need])
            continue;
        const int m = static_cast<int>(CommonSuffixLength(x + e, tail, static_cast<size_t>(cap)));
        if (m < need)
            continue;
        // Walking downwards, so ">=" keeps the lowest index among equals.
        if (inNear) {
            bestNear = m;
            nearIndex = i;
        }
        if (m >= bestFar) {
            bestFar = m;
            farIndex = i;
        }
    }
    if (farIndex < 0)
        return {};
    const int chosen = (nearIndex >= 0 && bestNear == bestFar) ? nearIndex : farIndex;
    return {bestFar, n - (chosen + 1)};
}

} // namespace

std::vector<KosinskiToken> FindTokens(const uint8_t* x, size_t size)
{
    if (size > kMaxPackInput)
        throw std::length_error("input too large for the Kosinski encoder");
    std::vector<KosinskiToken> tokens;
    if (size == 0)
        return tokens;
    const std::vector<int32_t> prev = BuildPairChains(x, size);
    int n = static_cast<int>(size);
    while (n > 0) {
        const Found f = n >= 4 ? Search(x, prev, n) : Found{};
        const int w = f.length;
        const int d = f.distance;
        KosinskiToken t = KosinskiToken::Straight(x[n - 1]);
        if (w >= 2 && w <= 5 && d <= kMaxInlineDistance)
            t = KosinskiToken::Copy(KosinskiTokenKind::Inline, w, d);
        else if (w >= 3 && w <= 5)
            t = KosinskiToken::Copy(KosinskiTokenKind::Separate, w, d);
        else if (w >= 6 && w <= 9)
            t = KosinskiToken::Copy(KosinskiTokenKind::Embedded, w, d);
        else if (w >= 10)
            t = KosinskiToken::Copy(KosinskiTokenKind::Separate, w, d);
        // A 2-byte copy from farther than 256 bytes stays a literal.
        tokens.push_back(t);
        n -= t.length;
    }
    std::reverse(tokens.begin(), tokens.end());
    return tokens;
}

std::vector<uint8_t> Pack(const uint8_t* data, size_t size)
{
    return WriteKosinskiStream(FindTokens(data, size));
}

} // namespace zorp::modVorlith_Pack
