#pragma once
// What both Enigma encoders share: the data as words, the header fields the
// data itself fixes, the entry list and the writer that turns it into a
// stream. Encoders always work with base 0.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "enigma/EnigmaFormat.h"

namespace zorp::enigma {

// One entry: its type, the words it writes (1..16; 1..15 for kSeparate) and,
// for the inline kinds, the index of its first word in the data.
struct Entry {
    uint8_t type = kLiteral;
    uint8_t words = 1;
    uint32_t at = 0;
};

// Big-endian words; the size must be even.
std::vector<uint16_t> WordsOf(const uint8_t* data, size_t size);

// The flag bits any word uses, as a header mask: the mask must cover them so
// that each word can be written inline as its flags and its low 11 bits.
uint8_t UsedFlagMask(const std::vector<uint16_t>& words);

// Bits the largest low 11 bits of `words` need (at least 1).
int NeededInlineBits(const std::vector<uint16_t>& words);

// The header and the entries the games' own encoder chooses (EnigmaExact.cpp).
Header GamesHeader(const std::vector<uint16_t>& words);
std::vector<Entry> GamesEntries(const std::vector<uint16_t>& words, const Header& header);

// Header, entries, end entry, zero bits to the byte; no even padding.
std::vector<uint8_t> WriteEnigmaStream(const Header& header, const std::vector<uint16_t>& words,
                                       const std::vector<Entry>& entries);

} // namespace zorp::enigma
