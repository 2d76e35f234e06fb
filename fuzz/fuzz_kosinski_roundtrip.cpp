// Any data through both encoders decodes back to itself, and the stream of
// the exact encoder is never shorter than the smallest-stream encoder's.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 512)
        return 0; // keeps each run fast; the windows are exercised by the tests
    const std::vector<uint8_t> input(data, data + size);
    const std::vector<uint8_t> exact = zorp::modVorlith_Pack::Pack(input);
    const std::vector<uint8_t> smallest = zorp::PackSmallest(input);
    for (const auto* stream : {&exact, &smallest}) {
        auto decoded = zorp::modVorlith_Extract::Decode(*stream);
        if (!decoded.Ok() || decoded.output != input || decoded.consumed != stream->size())
            __builtin_trap();
    }
    if (exact.size() < smallest.size())
        __builtin_trap();
    return 0;
}
