// The stream writer: which tokens fit their kind, and the field layout of
// each kind's data bytes.
#include <gtest/gtest.h>

#include <stdexcept>

#include "TestData.h"
#include "kosinski/KosinskiToken.h"

using namespace zorp;
using namespace zorp::testing;
using K = KosinskiTokenKind;

namespace {

struct WritableCase {
    KosinskiToken token;
    bool writable;
};

TEST(StreamWriter, TokensOutsideTheirKindAreRefused)
{
    const WritableCase cases[] = {
        {KosinskiToken::Straight(0x41), true},
        {KosinskiToken::Copy(K::Inline, 2, 1), true},
        {KosinskiToken::Copy(K::Inline, 5, 256), true},
        {KosinskiToken::Copy(K::Inline, 1, 1), false},
        {KosinskiToken::Copy(K::Inline, 6, 1), false},
        {KosinskiToken::Copy(K::Inline, 2, 257), false},
        {KosinskiToken::Copy(K::Inline, 2, 0), false},
        {KosinskiToken::Copy(K::Embedded, 3, 8192), true},
        {KosinskiToken::Copy(K::Embedded, 9, 1), true},
        {KosinskiToken::Copy(K::Embedded, 10, 1), false},
        {KosinskiToken::Copy(K::Embedded, 2, 1), false},
        {KosinskiToken::Copy(K::Embedded, 3, 8193), false},
        {KosinskiToken::Copy(K::Separate, 3, 1), true},
        {KosinskiToken::Copy(K::Separate, 256, 8192), true},
        {KosinskiToken::Copy(K::Separate, 257, 1), false},
        {KosinskiToken::Copy(K::Separate, 2, 1), false},
    };
    for (const WritableCase& c : cases) {
        EXPECT_EQ(IsWritable(c.token), c.writable)
            << static_cast<int>(c.token.kind) << " " << c.token.length << " " << c.token.distance;
        if (!c.writable) {
            EXPECT_THROW(WriteKosinskiStream({KosinskiToken::Straight(1), c.token}), std::invalid_argument);
        }
    }
}

TEST(StreamWriter, DataBytesOfEachKind)
{
    // literal; inline 5 at 256 (bits 0 0 1 1, byte 0x00); embedded 9 at 1
    // (0xFF, 0xFF); separate 256 at 8192 (0x00, 0x00, 0xFF); end marker.
    const Bytes stream = WriteKosinskiStream({KosinskiToken::Straight(0x41), KosinskiToken::Copy(K::Inline, 5, 256),
                                              KosinskiToken::Copy(K::Embedded, 9, 1),
                                              KosinskiToken::Copy(K::Separate, 256, 8192)});
    // bits: 1 | 0 0 1 1 | 0 1 | 0 1 | 0 1  ->  0b0101_0101_1001 = 0x0559
    EXPECT_EQ(stream, B({0x59, 0x05, 0x41, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00}));
}

} // namespace
