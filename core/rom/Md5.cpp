#include "rom/Md5.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace zorp {

std::string Md5Hex(const Bytes& data)
{
    static const std::array<uint32_t, 64> kSine = [] {
        std::array<uint32_t, 64> k{};
        for (size_t i = 0; i < k.size(); ++i)
            k[i] = static_cast<uint32_t>(std::floor(std::fabs(std::sin(static_cast<double>(i + 1))) * 4294967296.0));
        return k;
    }();
    static constexpr uint8_t kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                           5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                           4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                           6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
    Bytes message = data;
    uint64_t bits = static_cast<uint64_t>(data.size()) * 8;
    message.push_back(0x80);
    while (message.size() % 64 != 56)
        message.push_back(0);
    for (int i = 0; i < 8; ++i)
        message.push_back(static_cast<uint8_t>(bits >> (8 * i)));

    uint32_t h[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};
    for (size_t block = 0; block < message.size(); block += 64) {
        uint32_t w[16];
        for (size_t i = 0; i < 16; ++i)
            w[i] = uint32_t{message[block + 4 * i]} | uint32_t{message[block + 4 * i + 1]} << 8 |
                   uint32_t{message[block + 4 * i + 2]} << 16 | uint32_t{message[block + 4 * i + 3]} << 24;
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
        for (uint32_t i = 0; i < 64; ++i) {
            uint32_t f;
            uint32_t g;
            if (i < 16) {
                f = (b & c) | (~b & d);
                g = i;
            } else if (i < 32) {
                f = (d & b) | (~d & c);
                g = (5 * i + 1) % 16;
            } else if (i < 48) {
                f = b ^ c ^ d;
                g = (3 * i + 5) % 16;
            } else {
                f = c ^ (b | ~d);
                g = (7 * i) % 16;
            }
            uint32_t sum = a + f + kSine[i] + w[g];
            a = d;
            d = c;
            c = b;
            b += (sum << kShift[i]) | (sum >> (32 - kShift[i]));
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
    }
    static const char* kHex = "0123456789abcdef";
    std::string out;
    for (uint32_t word : h)
        for (int i = 0; i < 4; ++i) {
            uint8_t byte = static_cast<uint8_t>(word >> (8 * i));
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    return out;
}

} // namespace zorp
