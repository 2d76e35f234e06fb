// The games' own Enigma encoder, as the shipped streams show it (every one of
// the three games' maps in the corpus is reproduced byte for byte):
//
// Header: inline width = bits of the largest low 11 bits; flag mask = the
// flags the data uses; literal word = the most frequent word (the lowest of
// equals); incrementing word = the lowest word other than the literal one,
// or the word just before its first occurrence when that word is one less
// (so a run such as 0000 0001 0002 starts the count at 0000).
//
// Entries, greedily from the first word:
// - the current incrementing word starts an incrementing entry as long as
//   the data keeps counting with it;
// - the literal word starts a literal entry for its run;
// - a word followed by the incrementing word, or by nothing, is written as a
//   one-word repeat;
// - a word followed by itself, by itself + 1 or by itself - 1 starts a
//   repeat, increasing or decreasing entry, which stops before the
//   incrementing word;
// - otherwise words are written separately until 15 are taken or a word
//   starts something better: the incrementing word, two literal words, or
//   three words that repeat, increase or decrease (counted without stopping
//   at the incrementing word).
// Every entry holds at most 16 words (15 for separate words).
#include <algorithm>
#include <map>
#include <string>

#include "enigma/Enigma.h"
#include "enigma/EnigmaEncode.h"

namespace zorp::enigma {

namespace {

// Words from i on that continue x + step * k, at most 16; optionally stopping
// before `stopAt`.
size_t RunLength(const std::vector<uint16_t>& w, size_t i, int step, int stopAt = -1)
{
    size_t k = 1;
    while (i + k < w.size() && k < kMaxEntryWords &&
           w[i + k] == static_cast<uint16_t>(w[i] + step * static_cast<int>(k)) && w[i + k] != stopAt)
        ++k;
    return k;
}

size_t CountingRun(const std::vector<uint16_t>& w, size_t i, uint16_t from)
{
    size_t k = 0;
    while (i + k < w.size() && k < kMaxEntryWords && w[i + k] == static_cast<uint16_t>(from + k))
        ++k;
    return k;
}

size_t LiteralRun(const std::vector<uint16_t>& w, size_t i, uint16_t literal)
{
    size_t k = 0;
    while (i + k < w.size() && k < kMaxEntryWords && w[i + k] == literal)
        ++k;
    return k;
}

} // namespace

Header GamesHeader(const std::vector<uint16_t>& w)
{
    Header h;
    h.inlineBits = static_cast<uint8_t>(NeededInlineBits(w));
    h.flagMask = UsedFlagMask(w);
    std::map<uint16_t, size_t> count;
    for (uint16_t x : w)
        ++count[x];
    size_t best = 0;
    for (const auto& [word, n] : count) // ascending words: the lowest of equals wins
        if (n > best) {
            best = n;
            h.literal = word;
        }
    bool found = false;
    uint16_t lowest = 0;
    h.incrementing = h.literal;
    for (size_t i = 0; i < w.size(); ++i) {
        if (w[i] == h.literal || (found && w[i] >= lowest))
            continue;
        found = true;
        lowest = w[i];
        h.incrementing = (i > 0 && w[i - 1] == static_cast<uint16_t>(w[i] - 1)) ? w[i - 1] : w[i];
    }
    return h;
}

std::vector<Entry> GamesEntries(const std::vector<uint16_t>& w, const Header& h)
{
    std::vector<Entry> entries;
    uint16_t inc = h.incrementing;
    const uint16_t lit = h.literal;
    auto startsBetter = [&](size_t i) {
        return w[i] == inc || (w[i] == lit && LiteralRun(w, i, lit) >= 2) || RunLength(w, i, 0) >= 3 ||
               RunLength(w, i, 1) >= 3 || RunLength(w, i, -1) >= 3;
    };
    for (size_t i = 0; i < w.size();) {
        const uint16_t x = w[i];
        const auto at = static_cast<uint32_t>(i);
        Entry e{kRepeat, 1, at};
        if (x == inc) {
            e = {kIncrementing, static_cast<uint8_t>(CountingRun(w, i, inc)), at};
            inc = static_cast<uint16_t>(inc + e.words);
        } else if (x == lit) {
            e = {kLiteral, static_cast<uint8_t>(LiteralRun(w, i, lit)), at};
        } else if (i + 1 == w.size() || w[i + 1] == inc) {
            // a one-word repeat
        } else if (w[i + 1] == x) {
            e.words = static_cast<uint8_t>(RunLength(w, i, 0, inc));
        } else if (w[i + 1] == static_cast<uint16_t>(x + 1)) {
            e = {kIncreasing, static_cast<uint8_t>(RunLength(w, i, 1, inc)), at};
        } else if (w[i + 1] == static_cast<uint16_t>(x - 1)) {
            e = {kDecreasing, static_cast<uint8_t>(RunLength(w, i, -1, inc)), at};
        } else {
            size_t k = 1;
            while (i + k < w.size() && k < kMaxEntryWords - 1 && !startsBetter(i + k))
                ++k;
            e = {kSeparate, static_cast<uint8_t>(k), at};
        }
        entries.push_back(e);
        i += e.words;
    }
    return entries;
}

codec::EncodeResult PackExact(const uint8_t* data, size_t size)
{
    codec::EncodeResult r;
    if (size % 2 != 0) {
        r.error = "Enigma data is made of 16-bit words; " + std::to_string(size) + " bytes is an odd size.";
        return r;
    }
    const std::vector<uint16_t> w = WordsOf(data, size);
    const Header h = GamesHeader(w);
    r.stream = WriteEnigmaStream(h, w, GamesEntries(w, h));
    if (r.stream.size() % 2 != 0)
        r.stream.push_back(0);
    return r;
}

} // namespace zorp::enigma
