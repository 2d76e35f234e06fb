// Any words through both Enigma encoders decode back to themselves, and the
// smallest stream is never longer than the exact one (without its padding).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "enigma/Enigma.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 128)
        return 0; // keeps each run cheap; larger maps are covered by the tests
    const std::vector<uint8_t> input(data, data + (size & ~size_t{1}));
    const auto smallest = zorp::enigma::PackSmallest(input);
    const auto exact = zorp::enigma::PackExact(input);
    if (!smallest.Ok() || !exact.Ok())
        __builtin_trap();
    for (const auto* r : {&smallest, &exact}) {
        const auto back = zorp::enigma::Decode(r->stream);
        // The exact stream carries the games' even padding, the smallest none.
        const size_t expected = r == &exact ? back.consumed + back.consumed % 2 : back.consumed;
        if (!back.Ok() || back.output != input || expected != r->stream.size())
            __builtin_trap();
    }
    if (smallest.stream.size() > exact.stream.size())
        __builtin_trap();
    return 0;
}
