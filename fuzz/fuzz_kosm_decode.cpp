// Kosinski Moduled streams from anywhere: the decoder stops on every
// malformed stream without reading or writing out of bounds, never expands
// past its cap, and what it accepts holds at least the size field's bytes.
#include <cstddef>
#include <cstdint>

#include "kosm/KosinskiModuled.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kCap = 1 << 20;
    const auto r = zorp::kosm::Decode(data, size, 0, kCap);
    if (r.output.size() > kCap || r.consumed > size)
        __builtin_trap();
    if (r.Ok()) {
        const size_t field = static_cast<size_t>(data[0] << 8 | data[1]);
        const size_t declared = field == 0xA000 ? 0x8000 : field;
        if (r.output.size() < declared || r.output.size() > (declared + 0xFFF) / 0x1000 * 0x1000)
            __builtin_trap();
    }
    return 0;
}
