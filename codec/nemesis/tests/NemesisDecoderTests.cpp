// Nemesis decoder: streams written by hand for each rule of the format, and
// a table of malformed streams that must end in a clear message with the
// rows decoded so far, never a crash or a large allocation.
#include <gtest/gtest.h>

#include <string>

#include "NemesisTestData.h"
#include "nemesis/Nemesis.h"

using namespace zorp::nemesis;
using namespace zorp::nemesis::testing;

namespace {

// "0101..." (spaces ignored) to bytes, the last one filled with zeros.
Bytes Bits(const std::string& text)
{
    Bytes out;
    int n = 0;
    for (char c : text) {
        if (c != '0' && c != '1')
            continue;
        if (n % 8 == 0)
            out.push_back(0);
        if (c == '1')
            out.back() |= static_cast<uint8_t>(0x80 >> (n % 8));
        ++n;
    }
    return out;
}

std::string Repeat(const std::string& s, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += s;
    return out;
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Tile bytes from a nibble sequence, high nibble first.
Bytes FromNibbles(const std::vector<int>& nibbles)
{
    Bytes out;
    for (size_t i = 0; i + 1 < nibbles.size(); i += 2)
        out.push_back(static_cast<uint8_t>(nibbles[i] << 4 | nibbles[i + 1]));
    return out;
}

// One tile of 1,1,1,2,2,2,... : every run of three crosses or meets a row end.
std::vector<int> ThreesNibbles()
{
    std::vector<int> n;
    for (int i = 0; i < 64; ++i)
        n.push_back((i / 3) % 2 + 1);
    return n;
}

struct Example {
    const char* name;
    Bytes stream;
    size_t start;
    Bytes expected;
    size_t consumed;
};

class DecodeExamples : public ::testing::TestWithParam<Example> {};

TEST_P(DecodeExamples, ProduceTheExpectedTiles)
{
    const Example& e = GetParam();
    const auto r = Decode(e.stream, e.start);
    EXPECT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.output, e.expected);
    EXPECT_EQ(r.consumed, e.consumed);
}

// Table bytes: 0x8N selects nibble N; an entry is (run - 1) << 4 | length,
// then the code.
INSTANTIATE_TEST_SUITE_P(
    Format, DecodeExamples,
    ::testing::Values(
        Example{"OneCodeFillsATile", Cat({B({0x00, 0x01, 0x85, 0x71, 0x00, 0xFF}), Bits(Repeat("0", 8))}), 0,
                Bytes(32, 0x55), 7},
        // runs of 5: the 13th code runs 1 nibble past the tile and is cut
        Example{"LastRunIsCut", Cat({B({0x00, 0x01, 0x87, 0x41, 0x00, 0xFF}), Bits(Repeat("0", 13))}), 0,
                Bytes(32, 0x77), 8},
        // row 0 = 11111111, rows 1-7 = 0: XOR repeats row 0
        Example{"XorModeRepeatsRows",
                Cat({B({0x80, 0x01, 0x81, 0x71, 0x00, 0x80, 0x72, 0x02, 0xFF}), Bits("0" + Repeat("10", 7))}), 0,
                Bytes(32, 0x11), 11},
        // empty table: eight escapes 111111 (run 8) (nibble A)
        Example{"EscapesWithoutTable", Cat({B({0x00, 0x01, 0xFF}), Bits(Repeat("111111 111 1010", 8))}), 0,
                Bytes(32, 0xAA), 16},
        // table codes 11111 and 0 (one 5 each): 111111 stays the escape
        Example{"EscapeWinsOverATableCode",
                Cat({B({0x00, 0x01, 0x85, 0x05, 0x1F, 0x01, 0x00, 0xFF}),
                     Bits(Repeat("111111 111 0101", 7) + "11111" + Repeat("0", 7))}),
                0, Bytes(32, 0x55), 8 + 13},
        Example{"RunsCrossRowEnds",
                Cat({B({0x00, 0x01, 0x81, 0x23, 0x00, 0x82, 0x23, 0x01, 0xFF}), Bits(Repeat("000001", 11))}), 0,
                FromNibbles(ThreesNibbles()), 9 + 9},
        Example{"BytesAfterTheStreamAreNotRead",
                Cat({B({0x00, 0x01, 0x85, 0x71, 0x00, 0xFF}), Bits(Repeat("0", 8)), B({0xFF, 0xFF})}), 0,
                Bytes(32, 0x55), 7},
        Example{"StartOffset", Cat({B({0xFF, 0x12, 0x34, 0x00, 0x01, 0x85, 0x71, 0x00, 0xFF}), Bits(Repeat("0", 8))}),
                3, Bytes(32, 0x55), 7}),
    [](const auto& tp) { return std::string(tp.param.name); });

struct Malformed {
    const char* name;
    Bytes stream;
    size_t start;
    size_t cap;
    std::string error;
    size_t outputSize; // rows decoded before the fault, in bytes
};

class MalformedStreams : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedStreams, StopWithAMessage)
{
    const Malformed& m = GetParam();
    const auto r = Decode(m.stream.data(), m.stream.size(), m.start, m.cap);
    EXPECT_EQ(r.error, m.error);
    EXPECT_EQ(r.output.size(), m.outputSize);
    EXPECT_LE(r.consumed, m.stream.size() - std::min(m.start, m.stream.size()));
}

const Bytes kFiveTable = B({0x00, 0x01, 0x85, 0x71, 0x00, 0xFF}); // one tile, "0" = eight 5s
constexpr size_t kCap = zorp::codec::kDefaultOutputCap;

INSTANTIATE_TEST_SUITE_P(
    BadInput, MalformedStreams,
    ::testing::Values(
        Malformed{"Empty", {}, 0, kCap, "The Nemesis data ends inside its header.", 0},
        Malformed{"OneByte", B({0x00}), 0, kCap, "The Nemesis data ends inside its header.", 0},
        Malformed{"StartPastEnd", B({0x00, 0x01}), 3, kCap, "The start position lies beyond the end of the data.",
                  0},
        Malformed{"TileCountZero", B({0x80, 0x00, 0x85, 0x71, 0x00, 0xFF, 0x00}), 0, kCap,
                  "The Nemesis header gives a tile count of 0.", 0},
        Malformed{"TableWithoutEnd", B({0x00, 0x01, 0x85, 0x71, 0x00}), 0, kCap,
                  "The Nemesis code table ends before its end marker.", 0},
        Malformed{"TableCutInsideEntry", B({0x00, 0x01, 0x85, 0x71}), 0, kCap,
                  "The Nemesis code table ends before its end marker.", 0},
        Malformed{"EntryBeforeSelector", B({0x00, 0x01, 0x71, 0x00, 0xFF, 0x00}), 0, kCap,
                  "The Nemesis code table has an entry before its first nibble selector.", 0},
        Malformed{"CodeLengthZero", B({0x00, 0x01, 0x85, 0x70, 0x00, 0xFF, 0x00}), 0, kCap,
                  "The Nemesis code table has a code of length 0.", 0},
        Malformed{"CodeLengthNine", B({0x00, 0x01, 0x85, 0x79, 0x00, 0xFF, 0x00}), 0, kCap,
                  "The Nemesis code table uses a code longer than 8 bits.", 0},
        Malformed{"CodeWiderThanLength", B({0x00, 0x01, 0x85, 0x72, 0x04, 0xFF, 0x00}), 0, kCap,
                  "The Nemesis code table has a code with more bits than its length.", 0},
        // "0" and "01"
        Malformed{"CodeBeginsAnother", B({0x00, 0x01, 0x85, 0x71, 0x00, 0x72, 0x01, 0xFF, 0x00}), 0, kCap,
                  "The Nemesis code table has two codes of which one begins the other.", 0},
        // 32767 tiles need at least 32767 bytes of codes
        Malformed{"MoreTilesThanTheInputCanHold", Cat({B({0x7F, 0xFF, 0x85, 0x71, 0x00, 0xFF}), Bytes(100, 0)}), 0,
                  kCap, "The Nemesis header promises 32767 tiles, more than the 100 bytes after its code table can hold.",
                  0},
        Malformed{"OutputPastTheCap", Cat({kFiveTable, Bits(Repeat("0", 8))}), 0, 31,
                  "The Nemesis data expands beyond the size limit.", 0},
        // "0" = one nibble: four bytes of codes make four of the tile's eight rows
        Malformed{"Truncated", Cat({B({0x00, 0x01, 0x85, 0x01, 0x00, 0xFF}), Bytes(4, 0)}), 0, kCap,
                  "The Nemesis data ends before its last tile.", 16},
        Malformed{"NoCodeMatches", Cat({kFiveTable, Bits("0 10")}), 0, kCap,
                  "The Nemesis data holds a bit pattern that matches no code in its table.", 4},
        Malformed{"EscapeCutShort", Cat({B({0x00, 0x01, 0xFF}), Bits("111111 11")}), 0, kCap,
                  "The Nemesis data ends before its last tile.", 0}),
    [](const auto& tp) { return std::string(tp.param.name); });

} // namespace
