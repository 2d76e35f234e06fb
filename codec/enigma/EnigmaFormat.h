#pragma once
// What the Enigma decoder and encoders share: the header, the entry types and
// how an inline value's flag bits combine with the base.
#include <cstddef>
#include <cstdint>

namespace zorp::enigma {

inline constexpr size_t kHeaderSize = 6;
inline constexpr int kMaxInlineBits = 16;
inline constexpr int kMaxEntryWords = 16;

struct Header {
    uint8_t inlineBits = 0; // width of an inline value, 1..16
    uint8_t flagMask = 0;   // low 5 bits: P, CC high, CC low, V, H
    uint16_t incrementing = 0;
    uint16_t literal = 0;
};

// Entries by their type bits. The first two have 2 type bits, the others 3;
// 4 count bits follow (the entry writes count + 1 words).
enum EntryType : unsigned {
    kIncrementing = 0, // 00: the incrementing word, +1 after each write (kept)
    kLiteral = 1,      // 01: the literal word
    kRepeat = 4,       // 100: one inline value, repeated
    kIncreasing = 5,   // 101: one inline value, +1 after each write
    kDecreasing = 6,   // 110: one inline value, -1 after each write
    kSeparate = 7,     // 111: count + 1 inline values; count 15 ends the stream
};

inline constexpr int EntryTypeBits(unsigned type) { return type < 2 ? 2 : 3; }

// The five flags in the order the stream carries them: the header mask bit
// that enables each, and the word bit it sets.
inline constexpr uint8_t kFlagMaskBit[5] = {0x10, 0x08, 0x04, 0x02, 0x01};
inline constexpr uint16_t kFlagWordBit[5] = {0x8000, 0x4000, 0x2000, 0x1000, 0x0800};

inline constexpr uint16_t FlagWordBits(uint8_t mask)
{
    uint16_t bits = 0;
    for (int f = 0; f < 5; ++f)
        if (mask & kFlagMaskBit[f])
            bits |= kFlagWordBit[f];
    return bits;
}

// The base an inline value is added to, as the games build it from the
// caller's base and the flag bits read: priority and flips are ORed in, the
// two palette bits are added (and so carry into the bits above them).
// `flagsSet` holds the mask bits whose stream bit was 1.
inline constexpr uint16_t FlaggedBase(uint16_t base, unsigned flagsSet)
{
    unsigned v = base;
    if (flagsSet & 0x10)
        v |= 0x8000;
    if (flagsSet & 0x08)
        v += 0x4000;
    if (flagsSet & 0x04)
        v += 0x2000;
    if (flagsSet & 0x02)
        v |= 0x1000;
    if (flagsSet & 0x01)
        v |= 0x0800;
    return static_cast<uint16_t>(v);
}

} // namespace zorp::enigma
