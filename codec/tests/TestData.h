#pragma once
// Helpers shared by the codec tests: byte literals, files and data generators.
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "kosinski/KosinskiToken.h"

namespace zorp::testing {

using Bytes = std::vector<uint8_t>;

inline Bytes B(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}

inline Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline Bytes Repeat(uint8_t value, size_t count) { return Bytes(count, value); }

inline std::optional<Bytes> ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

inline std::string KosinskiCorpusDir() { return std::string(ZORP_CORPUS_DIR) + "/kosinski"; }

// Bytes in which no byte pair occurs twice and none of `avoid` appears, so the
// filler offers no copy of two or more bytes, neither inside itself nor with
// the data around it (as long as that data is made of `avoid` bytes).
inline Bytes DistinctPairFiller(size_t length, const std::set<uint8_t>& avoid, uint32_t seed = 1)
{
    std::mt19937 rng(seed);
    std::set<std::pair<uint8_t, uint8_t>> used;
    Bytes out;
    while (out.size() < length) {
        const uint8_t b = static_cast<uint8_t>(rng());
        if (avoid.count(b))
            continue;
        if (!out.empty() && !used.insert({out.back(), b}).second)
            continue;
        out.push_back(b);
    }
    return out;
}

// Bits a token takes in the stream: descriptor bits plus 8 per data byte.
inline int TokenBits(const KosinskiToken& t)
{
    switch (t.kind) {
    case KosinskiTokenKind::Straight:
        return 9;
    case KosinskiTokenKind::Inline:
        return 12;
    case KosinskiTokenKind::Embedded:
        return 18;
    case KosinskiTokenKind::Separate:
        return 26;
    }
    return 0;
}

inline long TotalBits(const std::vector<KosinskiToken>& tokens)
{
    long bits = 0;
    for (const KosinskiToken& t : tokens)
        bits += TokenBits(t);
    return bits;
}

// Test data with the structure the encoders care about: runs, literals and
// repeats of earlier data at chosen distances (window edges included).
class DataGenerator {
public:
    explicit DataGenerator(uint32_t seed) : rng_(seed) {}

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    Bytes Random(size_t size, int alphabet)
    {
        Bytes out(size);
        for (uint8_t& b : out)
            b = static_cast<uint8_t>(Uniform(0, alphabet - 1));
        return out;
    }

    Bytes Structured(size_t size)
    {
        static constexpr int kEdges[] = {1, 2, 3, 255, 256, 257, 258, 511, 8190, 8191, 8192, 8193, 8194};
        Bytes out;
        while (out.size() < size) {
            switch (Uniform(0, 5)) {
            case 0: // run
                out.insert(out.end(), static_cast<size_t>(Uniform(1, 300)), static_cast<uint8_t>(Uniform(0, 3)));
                break;
            case 1: // a few literals
                for (int n = Uniform(1, 6); n > 0; --n)
                    out.push_back(static_cast<uint8_t>(Uniform(0, 255)));
                break;
            default: { // repeat of earlier data, often at a window edge
                if (out.empty())
                    break;
                int distance = Uniform(0, 1) ? kEdges[Uniform(0, 12)] : Uniform(1, 9000);
                if (distance > static_cast<int>(out.size()))
                    distance = Uniform(1, static_cast<int>(out.size()));
                const int lengthPick = Uniform(0, 3);
                const int length = lengthPick == 0 ? Uniform(2, 5) : lengthPick == 1 ? Uniform(253, 258) : Uniform(2, 40);
                const size_t from = out.size() - static_cast<size_t>(distance);
                for (int k = 0; k < length; ++k)
                    out.push_back(out[from + static_cast<size_t>(k)]);
                if (Uniform(0, 2) == 0) // break the repeat so it does not merge with the next
                    out.push_back(static_cast<uint8_t>(Uniform(0, 255)));
                break;
            }
            }
        }
        out.resize(size);
        return out;
    }

private:
    std::mt19937 rng_;
};

} // namespace zorp::testing
