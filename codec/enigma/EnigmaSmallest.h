#pragma once
// The parse behind Enigma's smallest encoder, for the encoder itself and for
// tests that check it against an exhaustive search.
#include <cstdint>
#include <vector>

#include "enigma/EnigmaEncode.h"

namespace zorp::enigma {

inline constexpr uint32_t kUnencodable = UINT32_MAX;

// Bits of the cheapest entry list (end entry included, header excluded) for
// the words under the header, or kUnencodable when some word cannot be
// written with it. `entries`, when given, receives that list.
uint32_t CheapestParse(const std::vector<uint16_t>& words, const Header& header,
                       std::vector<Entry>* entries = nullptr);

// The header with the cheapest parse: flag mask = the flags the data uses,
// the inline width, literal and incrementing words searched. `entries`, when
// given, receives the parse.
Header SmallestHeader(const std::vector<uint16_t>& words, std::vector<Entry>* entries = nullptr);

} // namespace zorp::enigma
