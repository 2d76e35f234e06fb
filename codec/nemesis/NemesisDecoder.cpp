// Nemesis decoder. The code table becomes a 256-entry lookup on the next 8
// bits of the stream; the escape prefix 111111 is tested first, as the games
// do, so a table code in that range is never reached. Runs are shifted into a
// row register whole, so a code costs the same whatever its run length.
#include "nemesis/Nemesis.h"

#include <array>
#include <bit>
#include <cstring>
#include <string>

namespace zorp::nemesis {

namespace {

// What the 8 bits at the front of the stream stand for. The run is kept as
// its nibbles, ready to be shifted into the row register.
struct CodeEntry {
    uint32_t nibbles = 0; // `run` copies of the nibble, in the low bits
    uint8_t shift = 0;    // 4 * run
    uint8_t run = 0;
    uint8_t length = 0; // 0: no code begins with these bits (or the escape)
    uint8_t unused = 0;
};

using CodeTable = std::array<CodeEntry, 256>;

constexpr unsigned kEscapeFirstByte = 0xFC; // 8-bit windows that begin with 111111
constexpr unsigned kEscapeBits = 13;        // 111111, 3 bits run - 1, 4 bits nibble

CodeEntry MakeEntry(unsigned length, unsigned run, unsigned nibble)
{
    const uint64_t all = nibble * uint64_t{0x11111111};
    return {static_cast<uint32_t>(all >> (32 - 4 * run)), static_cast<uint8_t>(4 * run), static_cast<uint8_t>(run),
            static_cast<uint8_t>(length), 0};
}

// Reads the table that starts at data[pos]; pos ends after its 0xFF. Returns
// an empty string or the fault.
std::string ReadCodeTable(const uint8_t* data, size_t size, size_t& pos, CodeTable& table)
{
    const char* truncated = "The Nemesis code table ends before its end marker.";
    int nibble = -1;
    for (;;) {
        if (pos >= size)
            return truncated;
        const uint8_t byte = data[pos++];
        if (byte == 0xFF)
            return {};
        if (byte & 0x80) {
            nibble = byte & 0x0F;
            continue;
        }
        if (nibble < 0)
            return "The Nemesis code table has an entry before its first nibble selector.";
        const unsigned length = byte & 0x0F;
        if (length == 0)
            return "The Nemesis code table has a code of length 0.";
        if (length > 8)
            return "The Nemesis code table uses a code longer than 8 bits.";
        if (pos >= size)
            return truncated;
        const unsigned code = data[pos++];
        if (code >> length)
            return "The Nemesis code table has a code with more bits than its length.";
        const unsigned first = code << (8 - length);
        const unsigned count = 1u << (8 - length);
        for (unsigned i = first; i < first + count; ++i) {
            if (table[i].length != 0)
                return "The Nemesis code table has two codes of which one begins the other.";
            table[i] = MakeEntry(length, ((byte >> 4) & 7) + 1, static_cast<unsigned>(nibble));
        }
    }
}

uint64_t LoadBigEndian64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::little)
        v = __builtin_bswap64(v);
    return v;
}

// The state of a decode; the loop copies it into locals so that it stays in
// registers.
struct BitState {
    const uint8_t* in;
    uint64_t buffer = 0; // valid bits at the top, then the bytes that follow (or 0)
    unsigned bits = 0;
    uint64_t row = 0; // the last nibbles decoded; `filled` of them not yet written
    unsigned filled = 0;
    uint32_t previous = 0; // the last row written, for XOR mode
    uint8_t* out;
    size_t rowsLeft;
};

class BitDecoder {
public:
    BitDecoder(const uint8_t* begin, const uint8_t* end, const CodeTable& table, uint8_t* out, size_t rows)
        : begin_(begin), end_(end), table_(table)
    {
        state_.in = begin;
        state_.out = out;
        state_.rowsLeft = rows;
        // The escape wins over any table code in its range, as in the games.
        for (unsigned i = kEscapeFirstByte; i < 256; ++i)
            table_[i].length = 0;
    }

    template <bool Xor>
    std::string Run()
    {
        BitState s = state_;
        std::string fault;
        const bool done = Fast<Xor>(s, fault);
        if (!done && fault.empty())
            fault = Tail<Xor>(s);
        state_ = s;
        return fault;
    }

    size_t RowsDone(size_t rows) const { return rows - state_.rowsLeft; }
    // Bytes the codes used, the last partly used byte included.
    size_t BytesUsed() const { return (static_cast<size_t>(state_.in - begin_) * 8 - state_.bits + 7) / 8; }

private:
    static std::string Truncated() { return "The Nemesis data ends before its last tile."; }
    static std::string NoMatch() { return "The Nemesis data holds a bit pattern that matches no code in its table."; }

    static CodeEntry TakeEscape(BitState& s)
    {
        const unsigned inline7 = static_cast<unsigned>(s.buffer >> 51) & 0x7F;
        s.buffer <<= kEscapeBits;
        s.bits -= kEscapeBits;
        return MakeEntry(kEscapeBits, (inline7 >> 4) + 1, inline7 & 0x0F);
    }

    // Shifts the run into the row register; true when the last row is
    // written, the rest of the run being dropped as in the games.
    template <bool Xor>
    static bool Emit(BitState& s, const CodeEntry& e)
    {
        s.row = s.row << e.shift | e.nibbles;
        s.filled += e.run;
        if (s.filled < 8)
            return false;
        s.filled -= 8;
        uint32_t finished = static_cast<uint32_t>(s.row >> (4 * s.filled));
        if constexpr (Xor) {
            finished ^= s.previous;
            s.previous = finished;
        }
        const uint8_t bytes[4] = {static_cast<uint8_t>(finished >> 24), static_cast<uint8_t>(finished >> 16),
                                  static_cast<uint8_t>(finished >> 8), static_cast<uint8_t>(finished)};
        std::memcpy(s.out, bytes, 4);
        s.out += 4;
        return --s.rowsLeft == 0;
    }

    // While 8 input bytes remain a refill leaves at least 56 bits, enough for
    // four codes of up to 13 bits without looking for the end of the input.
    template <bool Xor>
    bool Fast(BitState& s, std::string& fault) const
    {
        while (end_ - s.in >= 8) {
            s.buffer |= LoadBigEndian64(s.in) >> s.bits;
            s.in += (63 - s.bits) >> 3;
            s.bits |= 56;
            for (int i = 0; i < 4; ++i) {
                CodeEntry e = table_[s.buffer >> 56];
                if (e.length != 0) [[likely]] {
                    s.buffer <<= e.length;
                    s.bits -= e.length;
                } else if (s.buffer >> 56 >= kEscapeFirstByte) {
                    e = TakeEscape(s);
                } else {
                    fault = NoMatch();
                    return false;
                }
                if (Emit<Xor>(s, e))
                    return true;
            }
        }
        return false;
    }

    // The last bytes, one code at a time, checking that each code is whole.
    template <bool Xor>
    std::string Tail(BitState& s) const
    {
        for (;;) {
            while (s.bits <= 56 && s.in < end_) {
                s.buffer |= uint64_t{*s.in++} << (56 - s.bits);
                s.bits += 8;
            }
            if (s.bits == 0)
                return Truncated();
            const unsigned window = static_cast<unsigned>(s.buffer >> 56);
            CodeEntry e = table_[window];
            if (window >= kEscapeFirstByte) {
                if (s.bits < kEscapeBits)
                    return Truncated();
                e = TakeEscape(s);
            } else {
                if (e.length == 0)
                    return NoMatch();
                if (e.length > s.bits)
                    return Truncated();
                s.buffer <<= e.length;
                s.bits -= e.length;
            }
            if (Emit<Xor>(s, e))
                return {};
        }
    }

    const uint8_t* begin_;
    const uint8_t* end_;
    CodeTable table_;
    BitState state_;
};

} // namespace

codec::DecodeResult Decode(const uint8_t* data, size_t size, size_t start, size_t outputCap)
{
    codec::DecodeResult result;
    if (data == nullptr)
        size = 0;
    if (start > size) {
        result.error = "The start position lies beyond the end of the data.";
        return result;
    }
    data += start;
    size -= start;
    if (size < 2) {
        result.consumed = size;
        result.error = "The Nemesis data ends inside its header.";
        return result;
    }
    const bool xorMode = data[0] & 0x80;
    const size_t tiles = static_cast<size_t>(data[0] & 0x7F) << 8 | data[1];
    size_t pos = 2;
    if (tiles == 0) {
        result.consumed = pos;
        result.error = "The Nemesis header gives a tile count of 0.";
        return result;
    }
    CodeTable table{};
    if (std::string fault = ReadCodeTable(data, size, pos, table); !fault.empty()) {
        result.consumed = pos;
        result.error = std::move(fault);
        return result;
    }
    // Every code takes at least one bit and gives at most 8 nibbles, so each
    // byte of codes yields at most one tile: more tiles cannot be real.
    if (tiles > size - pos) {
        result.consumed = pos;
        result.error = "The Nemesis header promises " + std::to_string(tiles) + " tiles, more than the " +
                       std::to_string(size - pos) + " bytes after its code table can hold.";
        return result;
    }
    if (tiles * kTileBytes > outputCap) {
        result.consumed = pos;
        result.error = "The Nemesis data expands beyond the size limit.";
        return result;
    }
    const size_t rows = tiles * 8;
    result.output.resize(tiles * kTileBytes);
    BitDecoder decoder(data + pos, data + size, table, result.output.data(), rows);
    result.error = xorMode ? decoder.Run<true>() : decoder.Run<false>();
    result.consumed = pos + decoder.BytesUsed();
    result.output.resize(decoder.RowsDone(rows) * 4);
    return result;
}

} // namespace zorp::nemesis
