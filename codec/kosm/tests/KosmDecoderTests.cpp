// Kosinski Moduled decoder: modules, padding and the size field as the games
// read them, and a table of malformed streams.
#include <gtest/gtest.h>

#include <memory>

#include "TestData.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"
#include "kosm/KosinskiModuled.h"

using namespace zorp;
using namespace zorp::testing;

namespace {

Bytes SizeField(unsigned size) { return B({static_cast<int>(size >> 8), static_cast<int>(size & 0xFF)}); }

// A module as the games store it: a Kosinski stream padded with zeros to a
// multiple of 16 bytes, plus `extra` more zero bytes.
Bytes Module(const Bytes& data, size_t extra = 0)
{
    Bytes m = modVorlith_Pack::Pack(data);
    m.resize((m.size() + 15) / 16 * 16 + extra, 0);
    return m;
}

Bytes Filler(size_t n, uint32_t seed) { return DataGenerator(seed).Random(n, 256); }

const Bytes kFull = Filler(0x1000, 1);
// The first module cut 40 bytes before its end, and what it still decodes to.
const Bytes kCutFirst = [] {
    Bytes s = Concat({SizeField(0x1001), Module(kFull)});
    s.resize(s.size() - 40);
    return s;
}();
const size_t kCutKeeps = modVorlith_Extract::Decode(kCutFirst, 2).output.size();
const Bytes kEight = [] {
    Bytes s = SizeField(0xA000);
    for (int i = 0; i < 8; ++i)
        s = Concat({s, Module(Repeat(static_cast<uint8_t>(i), 0x1000))});
    return s;
}();

struct DecodeCase {
    const char* name;
    Bytes stream;
    Bytes expected;
    size_t consumed;
};

class KosmExamples : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(KosmExamples, DecodeToTheirData)
{
    const DecodeCase& c = GetParam();
    const auto r = kosm::Decode(c.stream);
    EXPECT_TRUE(r.Ok()) << r.error;
    EXPECT_EQ(r.output, c.expected);
    EXPECT_EQ(r.consumed, c.consumed);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, KosmExamples,
    ::testing::Values(
        // the padding after the last module is not counted
        DecodeCase{"OneModule", Concat({SizeField(1), Module(B({0x41}))}), B({0x41}), 8},
        DecodeCase{"TwoModules", Concat({SizeField(0x1001), Module(kFull), Module(B({0x42}))}),
                   Concat({kFull, B({0x42})}), 2 + Module(kFull).size() + 6},
        // the games read 0xA000 as 0x8000: eight full modules
        DecodeCase{"SizeA000", kEight, [] {
                       Bytes d;
                       for (int i = 0; i < 8; ++i)
                           d = Concat({d, Repeat(static_cast<uint8_t>(i), 0x1000)});
                       return d;
                   }(), kEight.size() - Module(Repeat(7, 0x1000)).size() + modVorlith_Pack::Pack(Repeat(7, 0x1000)).size()},
        // a last module longer than the size field says is kept whole
        DecodeCase{"LastModuleLonger", Concat({SizeField(1), Module(B({1, 2}))}), B({1, 2}), 2 + 7}),
    [](const auto& tp) { return std::string(tp.param.name); });

struct MalformedCase {
    const char* name;
    Bytes stream;
    size_t cap;
    std::string error;
    size_t keeps; // bytes decoded before the fault
};

class KosmMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(KosmMalformed, StopWithAMessage)
{
    const MalformedCase& c = GetParam();
    // A buffer of exactly the stream's size: the sanitizer build catches any
    // read past its end.
    const auto exact = std::make_unique<uint8_t[]>(c.stream.size() + 1);
    std::copy(c.stream.begin(), c.stream.end(), exact.get());
    const auto r = kosm::Decode(exact.get(), c.stream.size(), 0, c.cap);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.output.size(), c.keeps);
    EXPECT_LE(r.consumed, c.stream.size());
}

const std::string kOf2 = " of 2 of the Kosinski Moduled data";

INSTANTIATE_TEST_SUITE_P(
    Streams, KosmMalformed,
    ::testing::Values(
        MalformedCase{"Empty", {}, 1 << 20, "The Kosinski Moduled data ends inside its 2-byte size field.", 0},
        MalformedCase{"SizeZero", Concat({SizeField(0), Module(B({1}))}), 1 << 20,
                      "The Kosinski Moduled size field is 0; the data holds nothing.", 0},
        // 16 modules cannot fit in 100 bytes: refused before anything is allocated
        MalformedCase{"SizeBeyondInput", Concat({SizeField(0xFFFF), Bytes(100, 0)}), 1 << 20,
                      "The Kosinski Moduled size field gives 65535 bytes, more than the 100 bytes after it can hold.",
                      0},
        MalformedCase{"PastTheCap", Concat({SizeField(0x1001), Module(kFull), Module(B({1}))}), 0x1000,
                      "The Kosinski Moduled data expands beyond the size limit of 4096 bytes.", 0},
        MalformedCase{"ShortModule", Concat({SizeField(0x1001), Module(Bytes(kFull.begin(), kFull.end() - 1)),
                                             Module(B({1}))}),
                      1 << 20, "Module 1" + kOf2 + " decodes to 4095 bytes instead of 4096.", 0xFFF},
        MalformedCase{"ShortLastModule", Concat({SizeField(3), Module(B({1}))}), 1 << 20,
                      "Module 1 of 1 of the Kosinski Moduled data decodes to 1 byte instead of 3.", 1},
        MalformedCase{"LongModule", Concat({SizeField(0x1001), Module(Concat({kFull, B({1})})), Module(B({1}))}),
                      1 << 20, "Module 1" + kOf2 + " decodes to more than 4096 bytes.", 0x1000},
        // 16 bytes of padding more: the next module would start with zeros
        MalformedCase{"PaddingOver15Bytes",
                      Concat({SizeField(0x1001), Module(kFull, 16), Module(B({1}))}), 1 << 20,
                      "Module 2" + kOf2 + " refers to bytes before its start.", 0x1000},
        MalformedCase{"CutInsideModule",
                      kCutFirst, 1 << 20, "Module 1" + kOf2 + " ends before its end marker.", kCutKeeps},
        // found by fuzzing: a module whose literals run to the end of the
        // input made the fast decoder read past it
        MalformedCase{"LiteralsToTheEnd",
                      B({0x02, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7B, 0xAA, 0x82, 0x21, 0x21, 0xFC, 0xF8,
                         0x7B, 0x11, 0x41, 0x00, 0xFF, 0xF8, 0x2E, 0xFC, 0xFF, 0x00, 0xF0, 0x00, 0x01, 0x0F, 0x00, 0x00,
                         0x00, 0x00, 0x00}),
                      1 << 20, "Module 1 of 1 of the Kosinski Moduled data refers to bytes before its start.", 16},
        MalformedCase{"EndsBeforeNextModule", Concat({SizeField(0x1001), Module(kFull)}), 1 << 20,
                      "The Kosinski Moduled data ends before module 2 of 2.", 0x1000}),
    [](const auto& tp) { return std::string(tp.param.name); });

} // namespace
