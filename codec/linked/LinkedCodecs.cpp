#include "linked/LinkedCodecs.h"

#include <exception>
#include <utility>

#include "enigma/Enigma.h"
#include "kosinski/SmallestPack.h"
#include "kosm/KosinskiModuled.h"
#include "nemesis/Nemesis.h"
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

// A format of the codec library whose functions share its result types.
template <typename DecodeFn, typename SmallestFn, typename ExactFn>
FormatCalls SharedResultCalls(DecodeFn decodeFn, SmallestFn smallestFn, ExactFn exactFn)
{
    FormatCalls calls;
    calls.decode = [decodeFn](const Bytes& in, size_t start, size_t cap) {
        return GuardedDecode([&] {
            codec::DecodeResult result = decodeFn(in.data(), in.size(), start, cap);
            DecodedStream out;
            out.data = std::move(result.output);
            out.consumed = result.consumed;
            out.error = std::move(result.error);
            return out;
        });
    };
    const auto encoder = [](auto fn) {
        return [fn](const Bytes& data) {
            return Guarded([&] {
                codec::EncodeResult result = fn(data.data(), data.size());
                return EncodedStream{std::move(result.stream), std::move(result.error)};
            });
        };
    };
    calls.packSmallest = encoder(smallestFn);
    calls.packExact = encoder(exactFn);
    return calls;
}

} // namespace

CodecCalls LinkedCodecCalls()
{
    CodecCalls calls;
    calls.kosinski = KosinskiCalls();
    calls.enigma = SharedResultCalls(
        [](const uint8_t* data, size_t size, size_t start, size_t cap) {
            return enigma::Decode(data, size, start, cap);
        },
        [](const uint8_t* data, size_t size) { return enigma::PackSmallest(data, size); },
        [](const uint8_t* data, size_t size) { return enigma::PackExact(data, size); });
    calls.kosinskiModuled = SharedResultCalls(
        [](const uint8_t* data, size_t size, size_t start, size_t cap) {
            return kosm::Decode(data, size, start, cap);
        },
        [](const uint8_t* data, size_t size) { return kosm::PackSmallest(data, size); },
        [](const uint8_t* data, size_t size) { return kosm::PackExact(data, size); });
    calls.nemesis = SharedResultCalls(
        [](const uint8_t* data, size_t size, size_t start, size_t cap) {
            return nemesis::Decode(data, size, start, cap);
        },
        [](const uint8_t* data, size_t size) { return nemesis::PackSmallest(data, size); },
        [](const uint8_t* data, size_t size) { return nemesis::PackExact(data, size); });
    return calls;
}

} // namespace zorp
