// Kosinski streams from anywhere, under an output cap of 1 to 65,536 bytes
// (the input's last two bytes give it): the fast decoder stops on every
// malformed stream without reading or writing out of bounds, never expands
// past its cap, and gives the same output, consumed count and status as the
// decoder taken straight from the format.
#include <cstddef>
#include <cstdint>

#include "ReferenceExtract.h"
#include "kosinski/modVorlith_Extract.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const size_t cap = size < 2 ? 1 : static_cast<size_t>(data[size - 2] << 8 | data[size - 1]) + 1;
    const auto fast = zorp::modVorlith_Extract::Decode(data, size, 0, cap);
    if (fast.output.size() > cap || fast.consumed > size)
        __builtin_trap();
    const auto straight = zorp::reference::Extract(data, size, cap);
    if (fast.status != straight.status || fast.consumed != straight.consumed || fast.output != straight.output)
        __builtin_trap();
    return 0;
}
