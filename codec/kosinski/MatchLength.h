#pragma once
// Byte-run comparisons shared by the encoders' match finders.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zorp {

// Number of equal bytes going backwards from a[-1] and b[-1], at most `limit`.
// Reads only [a - limit, a) and [b - limit, b).
inline size_t CommonSuffixLength(const uint8_t* a, const uint8_t* b, size_t limit)
{
    size_t k = 0;
    while (limit - k >= 8) {
        uint64_t wa, wb;
        std::memcpy(&wa, a - k - 8, 8);
        std::memcpy(&wb, b - k - 8, 8);
        if (uint64_t diff = wa ^ wb) {
            // The byte nearest the end is the one at the highest address.
            if constexpr (std::endian::native == std::endian::little)
                return k + static_cast<size_t>(std::countl_zero(diff)) / 8;
            else
                return k + static_cast<size_t>(std::countr_zero(diff)) / 8;
        }
        k += 8;
    }
    while (k < limit && a[-1 - static_cast<ptrdiff_t>(k)] == b[-1 - static_cast<ptrdiff_t>(k)])
        ++k;
    return k;
}

// Number of equal bytes going forwards from a[0] and b[0], at most `limit`.
inline size_t CommonPrefixLength(const uint8_t* a, const uint8_t* b, size_t limit)
{
    size_t k = 0;
    while (limit - k >= 8) {
        uint64_t wa, wb;
        std::memcpy(&wa, a + k, 8);
        std::memcpy(&wb, b + k, 8);
        if (uint64_t diff = wa ^ wb) {
            if constexpr (std::endian::native == std::endian::little)
                return k + static_cast<size_t>(std::countr_zero(diff)) / 8;
            else
                return k + static_cast<size_t>(std::countl_zero(diff)) / 8;
        }
        k += 8;
    }
    while (k < limit && a[k] == b[k])
        ++k;
    return k;
}

// The encoders file positions by the two bytes there, hashed into a table
// sized to the input: a small input does not pay for clearing 65,536 heads on
// every call. Collisions put other pairs in a bucket, so the searches check
// the pair (or reject such candidates by length) before using one.
inline size_t PairTableSize(size_t inputSize)
{
    return std::clamp<size_t>(std::bit_ceil(std::max<size_t>(inputSize, 1)), 64, 65536);
}

inline unsigned PairBucket(uint8_t first, uint8_t second, unsigned mask)
{
    return ((static_cast<unsigned>(first) << 8 | second) * 40503u >> 4) & mask;
}

} // namespace zorp
