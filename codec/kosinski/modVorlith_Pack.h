#pragma once
// modVorlith_Pack: the Kosinski encoder whose output the ROM layouts were
// sized against. It parses the data from its end towards its start, taking
// the longest copy (at most 255 bytes) whose source lies wholly before it and
// preferring the lowest occurrence in the near window (256 bytes) over the
// far window (8192 bytes). Its bytes are fixed: any change here changes what
// fits into a ROM.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kosinski/KosinskiToken.h"

namespace zorp::modVorlith_Pack {

// The tokens, in order from the start of the data.
std::vector<KosinskiToken> FindTokens(const uint8_t* data, size_t size);

// A complete stream; an empty input gives the end marker alone (02 00 00 00 00).
std::vector<uint8_t> Pack(const uint8_t* data, size_t size);
inline std::vector<uint8_t> Pack(const std::vector<uint8_t>& input) { return Pack(input.data(), input.size()); }

} // namespace zorp::modVorlith_Pack
