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

} // namespace

StageCodecCalls StageCodecCallsOf(clsOstrel* codec)
{
    if (!codec)
        return {};
    return {Bind(codec, &clsOstrel::DecompressKosinski_Byte), Bind(codec, &clsOstrel::CompressKosinski_Byte),
            Bind(codec, &clsOstrel::CompressKosinskiOptimal_Byte)};
}

} // namespace zorp::ui
