// Any data through both Kosinski Moduled encoders decodes back to itself.
// Inputs stay within one module so that each run is cheap; the module
// boundaries are covered by the tests' random round trips (up to 64 KiB)
// and, for the decoder, by fuzz_kosm_decode.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kosm/KosinskiModuled.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 512)
        return 0;
    const std::vector<uint8_t> input(data, data + size);
    for (const auto& r : {zorp::kosm::PackSmallest(input), zorp::kosm::PackExact(input)}) {
        const auto back = zorp::kosm::Decode(r.stream);
        if (!r.Ok() || !back.Ok() || back.output != input || back.consumed > r.stream.size())
            __builtin_trap();
    }
    return 0;
}
