// The games' own Nemesis compressor, as the real streams show it:
//  - runs are cut greedily: 8, 8, ..., then the remainder;
//  - symbols seen at least 3 times get codes, the others are escaped; they
//    are ordered by count, then by run length, then by nibble;
//  - codes come from Shannon-Fano splitting of that list: a range is split
//    where the running count comes nearest to half its total (rounded
//    down), the later split point on a tie; the first part gets 0;
//  - the code lengths are then sorted along the list (a symbol that comes
//    later but got a shorter code swaps codes with the earlier one), so
//    more frequent symbols never have longer codes;
//  - a code made only of 1s up to 5 bits long gets a 0 appended, and a
//    longer code beginning with 11111 gets a 0 after those five 1s, which
//    keeps 111111 free for the escape; codes that end up longer than 8
//    bits are escaped;
//  - the table lists nibbles in increasing order, each nibble's runs in
//    increasing order;
//  - XOR mode is used only when its stream is shorter in whole bytes.
// With these rules every stream of the games' compressor in the corpus comes
// out byte for byte.
#include <algorithm>
#include <array>
#include <numeric>

#include "nemesis/Nemesis.h"
#include "nemesis/NemesisStream.h"

namespace zorp::nemesis {

namespace {

constexpr uint32_t kMinimumCount = 3;

// Calls f(symbol) for each greedy piece of the runs, in stream order.
template <typename F>
void GreedyPieces(const std::vector<MaximalRun>& runs, F&& f)
{
    for (const MaximalRun& run : runs) {
        uint32_t left = run.Length();
        for (; left >= 8; left -= 8)
            f(SymbolOf(run.Nibble(), 8));
        if (left)
            f(SymbolOf(run.Nibble(), left));
    }
}

// A code during construction; Shannon-Fano may go deeper than 8 bits, and
// only the first bits of such a code matter (it will be escaped).
struct Code {
    unsigned length = 0;
    uint32_t value = 0;
};

void SplitRange(const std::vector<uint32_t>& counts, size_t lo, size_t hi, Code prefix, std::vector<Code>& codes)
{
    if (hi - lo == 1) {
        codes[lo] = prefix;
        return;
    }
    uint64_t total = 0;
    for (size_t i = lo; i < hi; ++i)
        total += counts[i];
    const uint64_t half = total / 2;
    uint64_t running = 0;
    uint64_t bestDistance = UINT64_MAX;
    size_t split = lo + 1;
    for (size_t i = lo + 1; i < hi; ++i) {
        running += counts[i - 1];
        const uint64_t distance = running > half ? running - half : half - running;
        if (distance <= bestDistance) {
            bestDistance = distance;
            split = i;
        }
    }
    auto child = [&prefix](unsigned bit) {
        Code c{prefix.length + 1, prefix.value};
        if (prefix.length < 31)
            c.value = prefix.value << 1 | bit;
        return c;
    };
    SplitRange(counts, lo, split, child(0), codes);
    SplitRange(counts, split, hi, child(1), codes);
}

// Keeps 111111 for the escape.
Code AvoidEscape(Code c)
{
    if (c.length <= 5) {
        if (c.value == (1u << c.length) - 1)
            return {c.length + 1, c.value << 1};
        return c;
    }
    if (c.length > 31 || (c.value >> (c.length - 5)) != 0x1F)
        return c;
    const uint32_t rest = c.value & ((1u << (c.length - 5)) - 1);
    return {c.length + 1, 0x3Eu << (c.length - 5) | rest};
}

CodeTable GamesTable(const std::array<uint32_t, kSymbols>& counts)
{
    std::vector<unsigned> symbols;
    for (unsigned s = 0; s < kSymbols; ++s)
        if (counts[s] >= kMinimumCount)
            symbols.push_back(s);
    std::stable_sort(symbols.begin(), symbols.end(), [&](unsigned a, unsigned b) {
        if (counts[a] != counts[b])
            return counts[a] > counts[b];
        if (RunOf(a) != RunOf(b))
            return RunOf(a) < RunOf(b);
        return NibbleOf(a) < NibbleOf(b);
    });
    CodeTable table;
    if (symbols.empty())
        return table;
    std::vector<Code> codes(symbols.size());
    if (symbols.size() == 1) {
        codes[0] = {1, 0};
    } else {
        std::vector<uint32_t> ordered;
        for (unsigned s : symbols)
            ordered.push_back(counts[s]);
        SplitRange(ordered, 0, ordered.size(), Code{}, codes);
    }
    for (size_t i = 0; i < codes.size(); ++i)
        for (size_t j = i + 1; j < codes.size(); ++j)
            if (codes[j].length < codes[i].length)
                std::swap(codes[i], codes[j]);
    for (size_t i = 0; i < symbols.size(); ++i) {
        const Code c = AvoidEscape(codes[i]);
        if (c.length <= 8) {
            table.length[symbols[i]] = static_cast<uint8_t>(c.length);
            table.code[symbols[i]] = static_cast<uint8_t>(c.value);
        }
    }
    return table;
}

struct Encoding {
    CodeTable table;
    size_t bytes = 0;
};

Encoding Plan(const std::vector<MaximalRun>& runs)
{
    std::array<uint32_t, kSymbols> counts{};
    GreedyPieces(runs, [&](unsigned s) { ++counts[s]; });
    Encoding e;
    e.table = GamesTable(counts);
    uint64_t bits = 0;
    for (unsigned s = 0; s < kSymbols; ++s)
        bits += uint64_t{counts[s]} * e.table.Bits(s);
    e.bytes = 2 + e.table.TableBytes() + static_cast<size_t>((bits + 7) / 8);
    return e;
}

} // namespace

codec::EncodeResult PackExact(const uint8_t* data, size_t size)
{
    codec::EncodeResult result;
    result.error = CheckEncodable(data, size);
    if (!result.Ok())
        return result;
    const Encoding plain = Plan(MaximalRuns(data, size, false));
    const Encoding xored = Plan(MaximalRuns(data, size, true));
    const bool xorMode = xored.bytes < plain.bytes;
    const CodeTable& table = xorMode ? xored.table : plain.table;
    StreamWriter writer(size / kTileBytes, xorMode, table, xorMode ? xored.bytes : plain.bytes);
    GreedyPieces(MaximalRuns(data, size, xorMode), [&](unsigned s) { writer.Put(NibbleOf(s), RunOf(s)); });
    result.stream = writer.Finish();
    return result;
}

} // namespace zorp::nemesis
