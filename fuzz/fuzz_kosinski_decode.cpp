// Kosinski streams from anywhere: the decoder stops on every malformed stream
// without reading or writing out of bounds, and never expands past its cap.
#include <cstddef>
#include <cstdint>

#include "kosinski/modVorlith_Extract.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kCap = 1 << 20;
    auto result = zorp::modVorlith_Extract::Decode(data, size, 0, kCap);
    if (result.output.size() > kCap || result.consumed > size)
        __builtin_trap();
    return 0;
}
