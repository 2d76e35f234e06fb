#pragma once
// GamesPack: the Kosinski encoder the games' own streams were made with, as
// their bytes show it (every Kosinski stream of the three games in the
// corpus, and every module of the Kosinski Moduled ones, is rebuilt byte for
// byte, except two Sonic 1 files with an empty copy in their final zero
// run). Greedy from the start: at each byte the longest copy of at most 253
// bytes that starts within 7938 bytes back (overlapping its output if need
// be), the nearest of equals; inline for 2 to 5 bytes within 255 (never
// 256), a two-byte full copy for 3 to 9, a count byte beyond; a 2-byte copy
// from farther stays a literal. The end marker is 00 F0 00.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kosinski/KosinskiToken.h"

namespace zorp::GamesPack {

inline constexpr int kLongestCopy = 253;

// The tokens, in order from the start of the data.
std::vector<KosinskiToken> FindTokens(const uint8_t* data, size_t size);

std::vector<uint8_t> Pack(const uint8_t* data, size_t size);
inline std::vector<uint8_t> Pack(const std::vector<uint8_t>& input) { return Pack(input.data(), input.size()); }

} // namespace zorp::GamesPack
