// Enigma streams from anywhere, with any base (taken from the input's last
// two bytes, which a stream followed by padding does not read): the decoder
// stops on every malformed stream without reading or writing out of bounds,
// never expands past its cap, and a stream it accepts says where it ends.
#include <cstddef>
#include <cstdint>

#include "enigma/Enigma.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kCap = 1 << 20;
    const auto base = static_cast<uint16_t>(size >= 2 ? data[size - 2] << 8 | data[size - 1] : 0);
    const auto r = zorp::enigma::Decode(data, size, 0, kCap, base);
    if (r.output.size() > kCap || r.consumed > size || r.output.size() % 2 != 0)
        __builtin_trap();
    if (r.Ok() && r.consumed < 7)
        __builtin_trap(); // a header and at least the end entry
    return 0;
}
