#pragma once
// What both Nemesis encoders share: the nibble runs of the data in either
// mode, the code table, and the writer of header, table and bit stream.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zorp::nemesis {

// A symbol of the code table: `run` (1-8) copies of `nibble`.
inline constexpr unsigned kSymbols = 128;
inline constexpr unsigned SymbolOf(unsigned nibble, unsigned run) { return nibble * 8 + run - 1; }
inline constexpr unsigned NibbleOf(unsigned symbol) { return symbol / 8; }
inline constexpr unsigned RunOf(unsigned symbol) { return symbol % 8 + 1; }

inline constexpr unsigned kEscapeCodeBits = 13; // 111111, run - 1, nibble
// Kraft budget in 1/256ths: codes of length l take 2^(8-l); the escape
// prefix 111111 keeps 4.
inline constexpr unsigned kCodeSpace = 252;

// A maximal run of one nibble in the order the decoder produces them,
// packed as nibble << 28 | length.
struct MaximalRun {
    uint32_t packed;
    unsigned Nibble() const { return packed >> 28; }
    uint32_t Length() const { return packed & 0x0FFFFFFF; }
};

// The maximal runs of the data's nibbles; in XOR mode each row of 8 nibbles
// is first XORed with the row above it (the first row with zero).
std::vector<MaximalRun> MaximalRuns(const uint8_t* data, size_t size, bool xorMode);

// Empty when the data can be encoded, else why not (empty, not whole tiles,
// more tiles than the header holds).
std::string CheckEncodable(const uint8_t* data, size_t size);

// Code of each symbol; length 0 means the symbol is written with the escape.
struct CodeTable {
    std::array<uint8_t, kSymbols> length{};
    std::array<uint8_t, kSymbols> code{};

    unsigned Bits(unsigned symbol) const { return length[symbol] ? length[symbol] : kEscapeCodeBits; }
    // Selector and entry bytes plus the 0xFF end marker.
    size_t TableBytes() const;
};

// Canonical codes for the given lengths (0 = escape): shortest first, each
// the next free value. Lengths whose Kraft sum stays within kCodeSpace never
// reach the escape prefix.
CodeTable CanonicalCodes(const std::array<uint8_t, kSymbols>& lengths);

// Writes header and table (selectors by nibble, entries by run), then the
// codes of the runs put to it. `expectedBytes` (the encoder knows the size it
// planned) is reserved up front.
class StreamWriter {
public:
    StreamWriter(size_t tiles, bool xorMode, const CodeTable& table, size_t expectedBytes = 0);
    void Put(unsigned nibble, unsigned run);
    std::vector<uint8_t> Finish();

private:
    void PutBits(uint32_t value, unsigned count);

    const CodeTable& table_;
    std::vector<uint8_t> out_;
    uint32_t pending_ = 0;
    unsigned pendingBits_ = 0;
};

} // namespace zorp::nemesis
