// Kosinski Moduled encoders: the size field, then the data in 0x1000-byte
// modules, each a Kosinski stream of its own padded with zeros to a multiple
// of 16 bytes from its start.
#include <algorithm>
#include <string>

#include "kosinski/GamesPack.h"
#include "kosinski/SmallestPack.h"
#include "kosm/KosinskiModuled.h"

namespace zorp::kosm {

namespace {

using ModuleEncoder = std::vector<uint8_t> (*)(const uint8_t*, size_t);

codec::EncodeResult Pack(const uint8_t* data, size_t size, ModuleEncoder encode, bool padLast)
{
    codec::EncodeResult r;
    if (size == 0) {
        r.error = "Kosinski Moduled data cannot be empty: the games read a size of 0 as no data.";
        return r;
    }
    if (size > 0xFFFF) {
        r.error = "Kosinski Moduled data holds at most 65535 bytes; " + std::to_string(size) + " bytes is too much.";
        return r;
    }
    if (size == kSizeReadAsSmaller) {
        r.error = "The games read a Kosinski Moduled size of 40960 bytes (0xA000) as 32768 and would load only "
                  "part of the data; pad it or split it.";
        return r;
    }
    r.stream = {static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)};
    for (size_t at = 0; at < size; at += kModuleSize) {
        const size_t start = r.stream.size();
        const std::vector<uint8_t> module = encode(data + at, std::min(kModuleSize, size - at));
        r.stream.insert(r.stream.end(), module.begin(), module.end());
        if (at + kModuleSize < size || padLast)
            r.stream.resize(start + (module.size() + kModuleAlign - 1) / kModuleAlign * kModuleAlign, 0);
    }
    return r;
}

std::vector<uint8_t> Smallest(const uint8_t* data, size_t size) { return zorp::PackSmallest(data, size); }

} // namespace

codec::EncodeResult PackSmallest(const uint8_t* data, size_t size) { return Pack(data, size, Smallest, false); }

codec::EncodeResult PackExact(const uint8_t* data, size_t size) { return Pack(data, size, GamesPack::Pack, true); }

} // namespace zorp::kosm
