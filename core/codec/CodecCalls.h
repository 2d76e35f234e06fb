#pragma once
// The compression formats of the games, as the core sees them: a set of
// callables the front end hands in. The program fills them from the codec
// plug-in (a format that the loaded plug-in does not offer stays empty, with
// the reason in unavailableReason); zorptool, the tests and the fuzz targets
// fill them from the linked codec library (codec/linked). The core itself
// links no codec, so editors whose data is compressed take a CodecCalls.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "rom/Bytes.h"

namespace zorp {

enum class CompressionFormat { Kosinski, KosinskiModuled, Nemesis, Enigma };

// "Kosinski", "Kosinski Moduled", "Nemesis", "Enigma": for messages.
std::string CompressionFormatName(CompressionFormat format);

// A stream decoded from a buffer at an offset.
struct DecodedStream {
    Bytes data;           // everything decoded, up to the end or the fault
    size_t consumed = 0;  // stream bytes read from the start offset on
    std::string error;    // empty on success, else a sentence for the user
    bool ok() const { return error.empty(); }
};

// A stream encoded from data.
struct EncodedStream {
    Bytes stream;
    std::string error; // empty on success (e.g. data of a size the format cannot hold)
    bool ok() const { return error.empty(); }
};

inline constexpr size_t kDefaultDecodeCap = size_t{16} << 20; // 16 MiB

struct FormatCalls {
    // Decodes the stream that starts `start` bytes into `in`, producing at most
    // `outputCap` bytes (more is a failure).
    std::function<DecodedStream(const Bytes& in, size_t start, size_t outputCap)> decode;
    // The smallest stream the codec finds.
    std::function<EncodedStream(const Bytes& data)> packSmallest;
    // The stream the games' own encoder would give (byte for byte where it
    // can be reproduced).
    std::function<EncodedStream(const Bytes& data)> packExact;

    bool available() const { return decode && packSmallest && packExact; }
};

struct CodecCalls {
    FormatCalls kosinski;
    FormatCalls kosinskiModuled;
    FormatCalls nemesis;
    FormatCalls enigma;
    // Why a format's calls are empty (no plug-in, or one too old to offer
    // it); a sentence that an editor shows when it stays disabled.
    std::string unavailableReason;

    const FormatCalls& For(CompressionFormat format) const;
};

} // namespace zorp
