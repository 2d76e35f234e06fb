#include "linked/LinkedCodecs.h"

#include <exception>
#include <utility>

#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"

namespace zorp {

namespace {

// An encoder that throws (out of memory, an input the format cannot size)
// becomes a message instead of crossing into the caller.
template <typename Encode>
EncodedStream Guarded(Encode encode)
{
    try {
        return encode();
    } catch (const std::exception&) {
        return {{}, "There is not enough memory to compress the data."};
    }
}

template <typename Decode>
DecodedStream GuardedDecode(Decode decode)
{
    try {
        return decode();
    } catch (const std::exception&) {
        DecodedStream failed;
        failed.error = "There is not enough memory to decompress the data.";
        return failed;
    }
}

FormatCalls KosinskiCalls()
{
    FormatCalls calls;
    calls.decode = [](const Bytes& in, size_t start, size_t cap) {
        return GuardedDecode([&] {
            auto result = modVorlith_Extract::Decode(in, start, cap);
            DecodedStream out;
            out.data = std::move(result.output);
            out.consumed = result.consumed;
            if (!result.Ok())
                out.error = modVorlith_Extract::DescribeStatus(result.status);
            return out;
        });
    };
    calls.packSmallest = [](const Bytes& data) {
        return Guarded([&] { return EncodedStream{PackSmallest(data), {}}; });
    };
    calls.packExact = [](const Bytes& data) {
        return Guarded([&] { return EncodedStream{modVorlith_Pack::Pack(data), {}}; });
    };
    return calls;
}

} // namespace

CodecCalls LinkedCodecCalls()
{
    CodecCalls calls;
    calls.kosinski = KosinskiCalls();
    return calls;
}

} // namespace zorp
