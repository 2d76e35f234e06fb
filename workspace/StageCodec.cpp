#include "StageCodec.h"

#include "ostrel/clsOstrel.h"

namespace zorp::ui {

namespace {

using CodecCall = bool (clsOstrel::*)(const std::vector<uint8_t>&, std::vector<uint8_t>&);

bool Call(clsOstrel* codec, CodecCall call, const Bytes& in, Bytes& out, std::string& reason, const char* what)
{
    out.clear();
    if (!codec) {
        reason = "The Ostrel codec library is not loaded.";
        return false;
    }
    if (!(codec->*call)(in, out)) {
        out.clear();
        reason = std::string("The codec could not ") + what + " the data.";
        return false;
    }
    return true;
}

} // namespace

bool DecompressStages(clsOstrel* codec, const Bytes& packed, Bytes& out, std::string& reason)
{
    return Call(codec, &clsOstrel::DecompressKosinski_Byte, packed, out, reason, "decompress");
}

bool CompressStages(clsOstrel* codec, const Bytes& block, Bytes& out, std::string& reason)
{
    return Call(codec, &clsOstrel::CompressKosinski_Byte, block, out, reason, "compress");
}

bool CompressStagesOptimal(clsOstrel* codec, const Bytes& block, Bytes& out, std::string& reason)
{
    return Call(codec, &clsOstrel::CompressKosinskiOptimal_Byte, block, out, reason, "compress");
}

} // namespace zorp::ui
