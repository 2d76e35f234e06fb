// Enigma decoder: each entry type, the flag bits and the base as the games
// combine them, and a table of malformed streams.
#include <gtest/gtest.h>

#include "TestData.h"
#include "enigma/Enigma.h"

using namespace zorp;
using namespace zorp::testing;

namespace {

// A stream from its 6 header bytes and its bits written as '0'/'1' (other
// characters are spacing), zero-padded to a whole byte.
Bytes Eni(Bytes header, const std::string& bits)
{
    int n = 0;
    for (char c : bits) {
        if (c != '0' && c != '1')
            continue;
        if (n % 8 == 0)
            header.push_back(0);
        header.back() |= static_cast<uint8_t>((c - '0') << (7 - n % 8));
        ++n;
    }
    return header;
}

Bytes Words(std::initializer_list<unsigned> words)
{
    Bytes out;
    for (unsigned w : words) {
        out.push_back(static_cast<uint8_t>(w >> 8));
        out.push_back(static_cast<uint8_t>(w));
    }
    return out;
}

const std::string kEnd = "111 1111";
// 3-bit inline values with the P and CC-high flags; incrementing word 0x0010,
// literal word 0x4000.
const Bytes kHeader = B({3, 0x18, 0x00, 0x10, 0x40, 0x00});

struct DecodeCase {
    const char* name;
    Bytes stream;
    uint16_t base;
    Bytes expected;
};

class EnigmaExamples : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(EnigmaExamples, DecodeToTheirWords)
{
    const DecodeCase& c = GetParam();
    const auto r = enigma::Decode(Concat({c.stream, B({0xEE, 0xEE})}), 0, codec::kDefaultOutputCap, c.base);
    EXPECT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.output, c.expected);
    EXPECT_EQ(r.consumed, c.stream.size()); // the two bytes after the stream are not counted
}

INSTANTIATE_TEST_SUITE_P(
    Entries, EnigmaExamples,
    ::testing::Values(
        // the incrementing word keeps its increase for the next 00 entry
        DecodeCase{"Incrementing", Eni(kHeader, "00 0010  00 0000" + kEnd), 0,
                   Words({0x10, 0x11, 0x12, 0x13})},
        DecodeCase{"Literal", Eni(kHeader, "01 0001" + kEnd), 0, Words({0x4000, 0x4000})},
        // flags P=1, CC high=0, then the inline bits 101
        DecodeCase{"Repeat", Eni(kHeader, "100 0001  10 101" + kEnd), 0, Words({0x8005, 0x8005})},
        DecodeCase{"Increasing", Eni(kHeader, "101 0010  01 110" + kEnd), 0, Words({0x4006, 0x4007, 0x4008})},
        DecodeCase{"DecreasingWraps", Eni(kHeader, "110 0001  00 000" + kEnd), 0, Words({0x0000, 0xFFFF})},
        DecodeCase{"Separate", Eni(kHeader, "111 0001  00 111  10 000" + kEnd), 0, Words({0x0007, 0x8000})},
        DecodeCase{"SixteenBitValues", Eni(B({16, 0, 0, 0, 0, 0}), "100 0000 1010101111001101" + kEnd), 0,
                   Words({0xABCD})},
        DecodeCase{"SixteenWords", Eni(kHeader, "01 1111" + kEnd), 0,
                   Concat({Words({0x4000, 0x4000, 0x4000, 0x4000}), Words({0x4000, 0x4000, 0x4000, 0x4000}),
                           Words({0x4000, 0x4000, 0x4000, 0x4000}), Words({0x4000, 0x4000, 0x4000, 0x4000})})},
        // the base is added to both header words and to inline values
        DecodeCase{"BaseOnWords", Eni(kHeader, "00 0000  01 0000  100 0000 00 010" + kEnd), 0x0100,
                   Words({0x0110, 0x4100, 0x0102})},
        // priority is ORed into the base before the palette bits are added:
        // 0x6000 | 0x8000 = 0xE000, + 0x4000 + 0x2000 wraps to 0x4000, + 1
        DecodeCase{"FlagsCombineWithBase",
                   Eni(B({1, 0x1C, 0, 0, 0, 0}), "111 0001  011 1  111 1" + kEnd), 0x6000,
                   Words({0xC001, 0x4001})},
        // priority and flips are ORed: bits the base has already stay as they are
        DecodeCase{"OrFlagsDoNotCarry", Eni(B({1, 0x13, 0, 0, 0, 0}), "100 0000  111 0" + kEnd), 0x9800,
                   Words({0x9800})},
        // only the low five bits of the mask count: 0xE0 carries no flags
        DecodeCase{"MaskHighBitsIgnored", Eni(B({2, 0xE0, 0, 0, 0, 0}), "100 0000 11" + kEnd), 0,
                   Words({0x0003})},
        DecodeCase{"EndOnly", Eni(kHeader, kEnd), 0, Bytes{}}),
    [](const auto& tp) { return std::string(tp.param.name); });

struct MalformedCase {
    const char* name;
    Bytes stream;
    size_t start;
    size_t cap;
    std::string error;
    Bytes keeps; // what was decoded before the fault
};

class EnigmaMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(EnigmaMalformed, StopWithAMessage)
{
    const MalformedCase& c = GetParam();
    const auto r = enigma::Decode(c.stream, c.start, c.cap);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.output, c.keeps);
    EXPECT_LE(r.consumed, c.stream.size());
}

const std::string kCut = "The Enigma data ends before its end marker.";
const Bytes kTwoLiterals = Eni(kHeader, "01 0001");

INSTANTIATE_TEST_SUITE_P(
    Streams, EnigmaMalformed,
    ::testing::Values(
        MalformedCase{"Empty", {}, 0, 1024, "The Enigma data ends inside its 6-byte header.", {}},
        MalformedCase{"ShortHeader", B({3, 0, 0, 0, 0}), 0, 1024, "The Enigma data ends inside its 6-byte header.", {}},
        MalformedCase{"StartPastEnd", B({3}), 2, 1024, "The start position lies beyond the end of the data.", {}},
        MalformedCase{"InlineWidthZero", Eni(B({0, 0, 0, 0, 0, 0}), kEnd), 0, 1024,
                      "The Enigma header gives inline values 0 bits; the format allows 1 to 16.", {}},
        MalformedCase{"InlineWidth17", Eni(B({17, 0, 0, 0, 0, 0}), kEnd), 0, 1024,
                      "The Enigma header gives inline values 17 bits; the format allows 1 to 16.", {}},
        MalformedCase{"NoEndEntry", kTwoLiterals, 0, 1024, kCut, Words({0x4000, 0x4000})},
        MalformedCase{"CutInsideEntry", Eni(kHeader, "01 0001  11"), 0, 1024, kCut, Words({0x4000, 0x4000})},
        // the second 11-bit value has only the five padding bits left
        MalformedCase{"CutInsideValue", Eni(B({11, 0, 0, 0, 0, 0}), "111 0001  00000000101  1"), 0, 1024, kCut,
                      Words({0x0005})},
        MalformedCase{"PastTheCap", Eni(kHeader, "01 0001  01 0010" + kEnd), 0, 9,
                      "The Enigma data expands beyond the size limit of 9 bytes.", Words({0x4000, 0x4000})}),
    [](const auto& tp) { return std::string(tp.param.name); });

} // namespace
