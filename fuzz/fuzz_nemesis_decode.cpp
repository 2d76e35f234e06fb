// Nemesis streams from anywhere: the decoder stops on every malformed stream
// without reading or writing out of bounds, never expands past its cap, and
// a stream it accepts fills exactly the tiles its header promises.
#include <cstddef>
#include <cstdint>

#include "nemesis/Nemesis.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kCap = 1 << 20;
    const auto result = zorp::nemesis::Decode(data, size, 0, kCap);
    if (result.output.size() > kCap || result.consumed > size || result.output.size() % 4 != 0)
        __builtin_trap();
    if (result.Ok() && result.output.size() != ((data[0] & 0x7Fu) << 8 | data[1]) * zorp::nemesis::kTileBytes)
        __builtin_trap();
    return 0;
}
