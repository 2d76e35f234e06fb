#pragma once
// Straightforward transcription of the backwards longest-first token search:
// for every candidate length from the longest down, a byte-by-byte scan of
// the near window and then the far window. Slow on purpose; the fast encoder
// must produce exactly its tokens. Shared by the tests and the benchmark.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kosinski/KosinskiToken.h"

namespace zorp::reference {

// Lowest 1-based position p >= from where the last w bytes of d[0..n) occur
// wholly inside the first n - w bytes; 0 when there is none.
inline long FindFrom(const uint8_t* d, long n, long w, long from)
{
    const uint8_t* candidate = d + (n - w);
    for (long p = from; p + w - 1 <= n - w; ++p)
        if (std::memcmp(d + (p - 1), candidate, static_cast<size_t>(w)) == 0)
            return p;
    return 0;
}

inline std::vector<KosinskiToken> FindTokens(const uint8_t* data, size_t size)
{
    std::vector<KosinskiToken> backwards;
    long n = static_cast<long>(size);
    while (n > 0) {
        KosinskiToken t = KosinskiToken::Straight(data[n - 1]);
        if (n > 1) {
            long w = std::min(255L, n / 2);
            long distance = 0;
            for (; w >= 2; --w) {
                long p = FindFrom(data, n, w, std::max(1L, n - w - 256));
                if (p == 0)
                    p = FindFrom(data, n, w, std::max(1L, n - w - 8191));
                if (p != 0) {
                    distance = (n - w + 1) - p;
                    break;
                }
            }
            if (w >= 2 && w <= 5 && distance <= 256)
                t = KosinskiToken::Copy(KosinskiTokenKind::Inline, static_cast<int>(w), static_cast<int>(distance));
            else if (w >= 3 && w <= 5)
                t = KosinskiToken::Copy(KosinskiTokenKind::Separate, static_cast<int>(w), static_cast<int>(distance));
            else if (w >= 6 && w <= 9)
                t = KosinskiToken::Copy(KosinskiTokenKind::Embedded, static_cast<int>(w), static_cast<int>(distance));
            else if (w >= 10)
                t = KosinskiToken::Copy(KosinskiTokenKind::Separate, static_cast<int>(w), static_cast<int>(distance));
        }
        backwards.push_back(t);
        n -= t.length;
    }
    return {backwards.rbegin(), backwards.rend()};
}

inline std::vector<uint8_t> Pack(const std::vector<uint8_t>& input)
{
    return WriteKosinskiStream(FindTokens(input.data(), input.size()));
}

} // namespace zorp::reference
