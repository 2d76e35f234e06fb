// Any whole tiles through both Nemesis encoders decode back to themselves,
// and the smallest-stream encoder is never beaten by the exact one.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "nemesis/Nemesis.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1024)
        return 0; // keeps each run fast; large inputs are in the tests
    size -= size % zorp::nemesis::kTileBytes;
    if (size == 0)
        return 0;
    const std::vector<uint8_t> input(data, data + size);
    const auto smallest = zorp::nemesis::PackSmallest(input);
    const auto exact = zorp::nemesis::PackExact(input);
    if (!smallest.Ok() || !exact.Ok())
        __builtin_trap();
    for (const auto* stream : {&smallest.stream, &exact.stream}) {
        const auto decoded = zorp::nemesis::Decode(*stream);
        if (!decoded.Ok() || decoded.output != input || decoded.consumed != stream->size())
            __builtin_trap();
    }
    if (smallest.stream.size() > exact.stream.size())
        __builtin_trap();
    return 0;
}
