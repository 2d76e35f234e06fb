#include "codec/CodecCalls.h"

namespace zorp {

std::string CompressionFormatName(CompressionFormat format)
{
    switch (format) {
    case CompressionFormat::Kosinski: return "Kosinski";
    case CompressionFormat::KosinskiModuled: return "Kosinski Moduled";
    case CompressionFormat::Nemesis: return "Nemesis";
    case CompressionFormat::Enigma: return "Enigma";
    }
    return "?";
}

const FormatCalls& CodecCalls::For(CompressionFormat format) const
{
    switch (format) {
    case CompressionFormat::Kosinski: return kosinski;
    case CompressionFormat::KosinskiModuled: return kosinskiModuled;
    case CompressionFormat::Nemesis: return nemesis;
    case CompressionFormat::Enigma: return enigma;
    }
    return kosinski;
}

} // namespace zorp
