// Kosinski Moduled decoder: the size field, then one Kosinski stream per
// module, each starting where the games look for it.
#include <algorithm>
#include <string>

#include "kosinski/modVorlith_Extract.h"
#include "kosm/KosinskiModuled.h"

namespace zorp::kosm {

namespace {

size_t RoundUp(size_t n, size_t to) { return (n + to - 1) / to * to; }

// The fewest stream bytes that can produce `bytes` bytes: one descriptor
// field, a first literal, the end code, and the rest in copies of 256 bytes
// at 3 data bytes each (no token costs less per byte).
size_t ShortestModuleStream(size_t bytes) { return 2 + 1 + 3 + (3 * (bytes - 1) + 255) / 256; }

std::string ModuleName(size_t index, size_t count)
{
    return "Module " + std::to_string(index + 1) + " of " + std::to_string(count) + " of the Kosinski Moduled data";
}

std::string ByteCount(size_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

} // namespace

codec::DecodeResult Decode(const uint8_t* data, size_t size, size_t start, size_t outputCap)
{
    codec::DecodeResult r;
    if (data == nullptr)
        size = 0;
    if (start > size) {
        r.error = "The start position lies beyond the end of the data.";
        return r;
    }
    const uint8_t* in = data + start;
    const size_t available = size - start;
    if (available < 2) {
        r.consumed = available;
        r.error = "The Kosinski Moduled data ends inside its 2-byte size field.";
        return r;
    }
    r.consumed = 2;
    const unsigned field = static_cast<unsigned>(in[0] << 8 | in[1]);
    if (field == 0) {
        r.error = "The Kosinski Moduled size field is 0; the data holds nothing.";
        return r;
    }
    const size_t total = field == kSizeReadAsSmaller ? 0x8000 : field;
    const size_t modules = (total + kModuleSize - 1) / kModuleSize;
    const size_t lastSize = total - (modules - 1) * kModuleSize;
    if (total > outputCap) {
        r.error = "The Kosinski Moduled data expands beyond the size limit of " + std::to_string(outputCap) +
                  " bytes.";
        return r;
    }
    const size_t shortest =
        2 + (modules - 1) * RoundUp(ShortestModuleStream(kModuleSize), kModuleAlign) + ShortestModuleStream(lastSize);
    if (shortest > available) {
        r.error = "The Kosinski Moduled size field gives " + std::to_string(total) + " bytes, more than the " +
                  std::to_string(available - 2) + " bytes after it can hold.";
        return r;
    }
    r.output.reserve(modules * kModuleSize + 64);
    size_t at = 2;
    for (size_t k = 0; k < modules; ++k) {
        const bool last = k + 1 == modules;
        if (at >= available) {
            r.consumed = available;
            r.error = "The Kosinski Moduled data ends before module " + std::to_string(k + 1) + " of " +
                      std::to_string(modules) + ".";
            return r;
        }
        const size_t room = std::min(kModuleSize, outputCap - r.output.size());
        const size_t before = r.output.size();
        size_t used = 0;
        using modVorlith_Extract::DecodeStatus;
        const DecodeStatus status = modVorlith_Extract::DecodeAppend(in, available, at, room, r.output, used);
        const size_t decoded = r.output.size() - before;
        r.consumed = at + used;
        switch (status) {
        case DecodeStatus::Ok:
            break;
        case DecodeStatus::OutputTooLarge:
            r.error = room < kModuleSize ? "The Kosinski Moduled data expands beyond the size limit of " +
                                               std::to_string(outputCap) + " bytes."
                                         : ModuleName(k, modules) + " decodes to more than 4096 bytes.";
            return r;
        case DecodeStatus::CopyBeforeStart:
            r.error = ModuleName(k, modules) + " refers to bytes before its start.";
            return r;
        default:
            r.error = ModuleName(k, modules) + " ends before its end marker.";
            return r;
        }
        const size_t expected = last ? lastSize : kModuleSize;
        // More than 0x1000 bytes stopped the module above.
        if (decoded < expected) {
            r.error = ModuleName(k, modules) + " decodes to " + ByteCount(decoded) + " instead of " +
                      std::to_string(expected) + ".";
            return r;
        }
        at += RoundUp(used, kModuleAlign);
    }
    return r;
}

} // namespace zorp::kosm
