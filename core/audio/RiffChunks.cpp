#include "audio/RiffChunks.h"

#include <algorithm>
#include <cstring>

namespace zorp {

namespace {

uint32_t Le32(const Bytes& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

uint16_t Le16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

bool TagAt(const Bytes& b, size_t at, const char* tag) { return std::memcmp(b.data() + at, tag, 4) == 0; }

} // namespace

std::optional<WavPcmLayout> FindWavChunks(const Bytes& file)
{
    if (file.size() < 12 || !TagAt(file, 0, "RIFF") || !TagAt(file, 8, "WAVE"))
        return std::nullopt;
    WavPcmLayout layout;
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= file.size()) {
        const uint64_t size = Le32(file, at + 4);
        const size_t body = at + 8;
        const uint64_t present = std::min<uint64_t>(size, file.size() - body);
        if (TagAt(file, at, "fmt ")) {
            if (present < 16)
                return std::nullopt;
            layout.format = Le16(file, body);
            layout.channels = Le16(file, body + 2);
            layout.rate = Le32(file, body + 4);
            layout.bits = Le16(file, body + 14);
            haveFormat = true;
        } else if (TagAt(file, at, "data")) {
            if (!haveFormat)
                return std::nullopt;
            layout.dataOffset = body;
            layout.dataSize = static_cast<size_t>(present);
            return layout;
        }
        // Chunks are padded to an even size.
        at = static_cast<size_t>(std::min<uint64_t>(body + size + (size & 1), file.size()));
    }
    return std::nullopt;
}

bool IsGameSampleLayout(const WavPcmLayout& layout, int rate)
{
    return layout.format == 1 && layout.channels == 1 && layout.bits == 8 && rate > 0 &&
           layout.rate == static_cast<uint32_t>(rate);
}

} // namespace zorp
