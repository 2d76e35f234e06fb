#include "nemesis/NemesisStream.h"

#include <algorithm>
#include <numeric>

#include "nemesis/Nemesis.h"

namespace zorp::nemesis {

std::vector<MaximalRun> MaximalRuns(const uint8_t* data, size_t size, bool xorMode)
{
    std::vector<MaximalRun> runs;
    const size_t nibbles = size * 2;
    // At most one run per nibble: 8 bytes per input byte, and no copies
    // while it grows.
    runs.reserve(nibbles);
    auto plain = [data](size_t i) -> unsigned { return i & 1 ? data[i / 2] & 0x0F : data[i / 2] >> 4; };
    unsigned current = 0;
    uint32_t length = 0;
    for (size_t i = 0; i < nibbles; ++i) {
        unsigned nibble = plain(i);
        if (xorMode && i >= 8)
            nibble ^= plain(i - 8);
        if (length != 0 && nibble == current) {
            ++length;
            continue;
        }
        if (length != 0)
            runs.push_back({current << 28 | length});
        current = nibble;
        length = 1;
    }
    if (length != 0)
        runs.push_back({current << 28 | length});
    return runs;
}

std::string CheckEncodable(const uint8_t* data, size_t size)
{
    if (data == nullptr || size == 0)
        return "There is no data to compress.";
    if (size % kTileBytes != 0)
        return "Nemesis compresses whole 8x8 tiles of 32 bytes; " + std::to_string(size) +
               " bytes is not a multiple of 32.";
    if (size / kTileBytes > kMaxTiles)
        return "A Nemesis stream holds at most " + std::to_string(kMaxTiles) + " tiles; the data has " +
               std::to_string(size / kTileBytes) + ".";
    return {};
}

size_t CodeTable::TableBytes() const
{
    size_t bytes = 1; // 0xFF
    for (unsigned nibble = 0; nibble < 16; ++nibble) {
        size_t entries = 0;
        for (unsigned run = 1; run <= 8; ++run)
            entries += length[SymbolOf(nibble, run)] != 0;
        if (entries)
            bytes += 1 + 2 * entries;
    }
    return bytes;
}

CodeTable CanonicalCodes(const std::array<uint8_t, kSymbols>& lengths)
{
    CodeTable table;
    std::array<uint8_t, kSymbols> order;
    std::iota(order.begin(), order.end(), uint8_t{0});
    std::stable_sort(order.begin(), order.end(), [&](uint8_t a, uint8_t b) { return lengths[a] < lengths[b]; });
    unsigned code = 0;
    unsigned previous = 0;
    for (uint8_t symbol : order) {
        const unsigned length = lengths[symbol];
        if (length == 0)
            continue;
        if (previous != 0)
            code = (code + 1) << (length - previous);
        previous = length;
        table.length[symbol] = static_cast<uint8_t>(length);
        table.code[symbol] = static_cast<uint8_t>(code);
    }
    return table;
}

StreamWriter::StreamWriter(size_t tiles, bool xorMode, const CodeTable& table, size_t expectedBytes)
    : table_(table)
{
    out_.reserve(expectedBytes);
    out_.push_back(static_cast<uint8_t>((xorMode ? 0x80 : 0) | (tiles >> 8 & 0x7F)));
    out_.push_back(static_cast<uint8_t>(tiles & 0xFF));
    for (unsigned nibble = 0; nibble < 16; ++nibble) {
        bool selected = false;
        for (unsigned run = 1; run <= 8; ++run) {
            const unsigned symbol = SymbolOf(nibble, run);
            if (table.length[symbol] == 0)
                continue;
            if (!selected)
                out_.push_back(static_cast<uint8_t>(0x80 | nibble));
            selected = true;
            out_.push_back(static_cast<uint8_t>((run - 1) << 4 | table.length[symbol]));
            out_.push_back(table.code[symbol]);
        }
    }
    out_.push_back(0xFF);
}

void StreamWriter::PutBits(uint32_t value, unsigned count)
{
    pending_ = pending_ << count | value;
    pendingBits_ += count;
    while (pendingBits_ >= 8) {
        pendingBits_ -= 8;
        out_.push_back(static_cast<uint8_t>(pending_ >> pendingBits_));
    }
    pending_ &= (1u << pendingBits_) - 1;
}

void StreamWriter::Put(unsigned nibble, unsigned run)
{
    const unsigned symbol = SymbolOf(nibble, run);
    if (table_.length[symbol] != 0)
        PutBits(table_.code[symbol], table_.length[symbol]);
    else
        PutBits(0x3F << 7 | (run - 1) << 4 | nibble, kEscapeCodeBits);
}

std::vector<uint8_t> StreamWriter::Finish()
{
    if (pendingBits_ != 0)
        out_.push_back(static_cast<uint8_t>(pending_ << (8 - pendingBits_)));
    pendingBits_ = 0;
    return std::move(out_);
}

} // namespace zorp::nemesis
