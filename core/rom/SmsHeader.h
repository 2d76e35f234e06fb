#pragma once
// The header of a Master System or Game Gear image ("TMR SEGA" at 0x7FF0):
// its checksum (a little-endian word at 0x7FFA) and the sum the console's
// start-up check compares it with. These images have no Genesis header, so
// 0x18E is game code in them.
#include <cstdint>

#include "rom/Bytes.h"

namespace zorp {

inline constexpr uint64_t kSmsHeaderOffset = 0x7FF0;

struct SmsHeaderChecksum {
    bool present = false;   // "TMR SEGA" at 0x7FF0 and a size code this image covers
    uint8_t sizeCode = 0;   // low nibble of 0x7FFF
    uint64_t summedSize = 0; // the image size the size code names
    uint16_t stored = 0;
    uint16_t actual = 0;
    bool matches() const { return present && stored == actual; }
};

// The sum of the bytes from 0 to the size the header's size code names
// (32, 48, 64, 128, 256, 512 KiB or 1 MiB), leaving out the header's 16
// bytes, as a 16-bit number. Not present for images without the header,
// with another size code (8 and 16 KiB images keep the header elsewhere), or
// shorter than the size named.
SmsHeaderChecksum SmsChecksumOf(const Bytes& image);

} // namespace zorp
