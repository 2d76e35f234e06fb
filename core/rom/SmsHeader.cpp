#include "rom/SmsHeader.h"

#include <algorithm>

namespace zorp {

namespace {

// Image size of each size code whose header lies at 0x7FF0; 0 for the others.
uint64_t SizeOfCode(uint8_t code)
{
    switch (code) {
    case 0xC: return 0x8000;
    case 0xD: return 0xC000;
    case 0xE: return 0x10000;
    case 0xF: return 0x20000;
    case 0x0: return 0x40000;
    case 0x1: return 0x80000;
    case 0x2: return 0x100000;
    default: return 0;
    }
}

} // namespace

SmsHeaderChecksum SmsChecksumOf(const Bytes& image)
{
    SmsHeaderChecksum result;
    static const char kMark[] = "TMR SEGA";
    if (image.size() < kSmsHeaderOffset + 16 ||
        !std::equal(kMark, kMark + 8, image.begin() + static_cast<std::ptrdiff_t>(kSmsHeaderOffset)))
        return result;
    result.sizeCode = image[0x7FFF] & 0x0F;
    result.summedSize = SizeOfCode(result.sizeCode);
    if (result.summedSize == 0 || result.summedSize > image.size())
        return result;
    result.present = true;
    result.stored = static_cast<uint16_t>(image[0x7FFA] | (image[0x7FFB] << 8));
    uint16_t sum = 0;
    for (uint64_t i = 0; i < result.summedSize; ++i) {
        if (i >= kSmsHeaderOffset && i < kSmsHeaderOffset + 16)
            continue; // the header itself is not summed
        sum = static_cast<uint16_t>(sum + image[i]);
    }
    result.actual = sum;
    return result;
}

} // namespace zorp
