#pragma once
// The smallest-stream Kosinski encoder: an optimal parse over every token the
// format offers, for callers that need the data to fit a fixed space and do
// not need the fixed bytes of modVorlith_Pack. Overlapping copies (distance
// below length) are used for runs.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kosinski/KosinskiToken.h"

namespace zorp {

// Token costs in stream bits: descriptor bits plus 8 per data byte.
inline constexpr int kLiteralBits = 1 + 8;
inline constexpr int kInlineBits = 4 + 8;
inline constexpr int kEmbeddedBits = 2 + 16;
inline constexpr int kSeparateBits = 2 + 24;

// Tokens that cover the data with the fewest stream bits, in order from the
// start of the data.
std::vector<KosinskiToken> FindSmallestTokens(const uint8_t* data, size_t size);

std::vector<uint8_t> PackSmallest(const uint8_t* data, size_t size);
inline std::vector<uint8_t> PackSmallest(const std::vector<uint8_t>& input)
{
    return PackSmallest(input.data(), input.size());
}

} // namespace zorp
