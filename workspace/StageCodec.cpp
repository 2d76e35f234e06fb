#include "StageCodec.h"

#include "ostrel/clsOstrel.h"

namespace zorp::ui {

namespace {

using CodecCall = bool (clsOstrel::*)(const std::vector<uint8_t>&, std::vector<uint8_t>&);

StageCodecCall Bind(clsOstrel* codec, CodecCall call)
{
    return [codec, call](const Bytes& in, Bytes& out) {
        out.clear();
        if ((codec->*call)(in, out))
            return true;
        out.clear();
        return false;
    };
}

// The bytes decoded before a fault are kept: the stage block code shows what
// could be recovered and keeps the incomplete stages from being saved.
StageCodecCall BindPartialDecompress(clsOstrel* codec)
{
    return [codec](const Bytes& in, Bytes& out) {
        out.clear();
        return codec->DecompressKosinskiPartial_Byte(in, out, nullptr);
    };
}

} // namespace

StageCodecCalls StageCodecCallsOf(clsOstrel* codec)
{
    if (!codec)
        return {};
    return {BindPartialDecompress(codec), Bind(codec, &clsOstrel::CompressKosinski_Byte),
            Bind(codec, &clsOstrel::CompressKosinskiOptimal_Byte)};
}

} // namespace zorp::ui
