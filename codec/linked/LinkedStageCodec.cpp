#include "linked/LinkedStageCodec.h"

#include <utility>

#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"

namespace zorp {

StageCodecCalls LinkedStageCodec()
{
    StageCodecCalls calls;
    calls.decompress = [](const Bytes& in, Bytes& out) {
        auto result = modVorlith_Extract::Decode(in);
        out = std::move(result.output);
        return result.Ok();
    };
    calls.compress = [](const Bytes& in, Bytes& out) {
        out = modVorlith_Pack::Pack(in);
        return true;
    };
    calls.compressSmallest = [](const Bytes& in, Bytes& out) {
        out = PackSmallest(in);
        return true;
    };
    return calls;
}

} // namespace zorp
