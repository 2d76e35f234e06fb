#include "StageCodec.h"

#include <QString>

#include "OstrelLoader.h"
#include "ostrel/clsOstrel.h"

namespace zorp::ui {

namespace {

using CodecCall = bool (clsOstrel_v002::*)(const std::vector<uint8_t>&, std::vector<uint8_t>&);

StageCodecCall Bind(clsOstrel_v002* codec, CodecCall call)
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
StageCodecCall BindPartialDecompress(clsOstrel_v003* codec)
{
    return [codec](const Bytes& in, Bytes& out) {
        out.clear();
        return codec->DecompressKosinskiPartial_Byte(in, out, nullptr);
    };
}

FormatCalls BindFormat(clsOstrel* codec, ostrel::Format format)
{
    FormatCalls calls;
    if (!codec->OffersFormat(format))
        return calls;
    calls.decode = [codec, format](const Bytes& in, size_t start, size_t cap) {
        DecodedStream decoded;
        uint64_t consumed = 0;
        std::string reason;
        if (!codec->Decompress_Byte(format, in, start, cap, decoded.data, &consumed, &reason))
            decoded.error = reason.empty() ? "The codec library could not decompress the data." : reason;
        decoded.consumed = static_cast<size_t>(consumed);
        return decoded;
    };
    const auto encoder = [codec, format](ostrel::Encoder which) {
        return [codec, format, which](const Bytes& data) {
            EncodedStream encoded;
            std::string reason;
            if (!codec->Compress_Byte(format, which, data, encoded.stream, &reason)) {
                encoded.stream.clear();
                encoded.error = reason.empty() ? "The codec library could not compress the data." : reason;
            }
            return encoded;
        };
    };
    calls.packSmallest = encoder(ostrel::Smallest);
    calls.packExact = encoder(ostrel::Exact);
    return calls;
}

} // namespace

StageCodecCalls StageCodecCallsOf(const OstrelLink& codec)
{
    if (!codec)
        return {};
    StageCodecCalls calls{Bind(codec.v002(), &clsOstrel_v002::DecompressKosinski_Byte),
                          Bind(codec.v002(), &clsOstrel_v002::CompressKosinski_Byte),
                          Bind(codec.v002(), &clsOstrel_v002::CompressKosinskiOptimal_Byte)};
    if (codec.v003())
        calls.decompress = BindPartialDecompress(codec.v003());
    return calls;
}

CodecCalls CodecCallsOf(const OstrelLink& codec)
{
    CodecCalls calls;
    clsOstrel* current = codec.current();
    if (!current) {
        calls.unavailableReason = codec.MissingReason(QStringLiteral("0.0.4")).toStdString();
        return calls;
    }
    calls.kosinski = BindFormat(current, ostrel::Kosinski);
    calls.kosinskiModuled = BindFormat(current, ostrel::KosinskiModuled);
    calls.nemesis = BindFormat(current, ostrel::Nemesis);
    calls.enigma = BindFormat(current, ostrel::Enigma);
    const bool all = calls.kosinski.available() && calls.kosinskiModuled.available() &&
                     calls.nemesis.available() && calls.enigma.available();
    if (!all)
        calls.unavailableReason = "The codec library (The Ostrel) that was loaded does not offer every compression "
                                  "format. Install the current codec library to use them all.";
    return calls;
}

} // namespace zorp::ui
