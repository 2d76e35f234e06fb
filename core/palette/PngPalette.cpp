#include "palette/PngPalette.h"

#include <algorithm>
#include <array>

namespace zorp {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t BigEndian32(const std::vector<uint8_t>& bytes, size_t at)
{
    return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) | (uint32_t{bytes[at + 2]} << 8) |
           bytes[at + 3];
}

// The CRC-32 of PNG chunks (polynomial 0xEDB88320) over type and data.
uint32_t ChunkCrc(const std::vector<uint8_t>& bytes, size_t from, size_t length)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < from + length; ++i)
        crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

PngPaletteRead Broken(std::string error)
{
    PngPaletteRead read;
    read.error = std::move(error);
    return read;
}

} // namespace

PngPaletteRead ReadPngPalette(const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
        return Broken("The file is empty.");
    if (bytes.size() < 8 || !std::equal(kSignature, kSignature + 8, bytes.begin()))
        return Broken("The file is not a PNG image.");
    PngPaletteRead read;
    size_t at = 8;
    bool header = false;
    uint8_t colorType = 0;
    uint8_t bitDepth = 0;
    while (true) {
        if (bytes.size() - at < 12)
            return Broken("The PNG image ends inside a chunk: the file is cut off or damaged.");
        const uint32_t length = BigEndian32(bytes, at);
        if (length > bytes.size() - at - 12)
            return Broken("A chunk of the PNG image runs past the end of the file: it is cut off or damaged.");
        const std::string type(bytes.begin() + static_cast<std::ptrdiff_t>(at + 4),
                               bytes.begin() + static_cast<std::ptrdiff_t>(at + 8));
        const size_t data = at + 8;
        if (ChunkCrc(bytes, at + 4, length + 4) != BigEndian32(bytes, data + length))
            return Broken("The " + type + " chunk of the PNG image is damaged (its checksum does not match).");
        if (!header) {
            if (type != "IHDR" || length != 13)
                return Broken("The PNG image does not start with its header chunk.");
            read.width = BigEndian32(bytes, data);
            read.height = BigEndian32(bytes, data + 4);
            bitDepth = bytes[data + 8];
            colorType = bytes[data + 9];
            if (read.width == 0 || read.height == 0)
                return Broken("The PNG header gives an empty picture.");
            header = true;
            if (colorType != 3) {
                read.kind = PngPaletteRead::Kind::NoPalette;
                return read;
            }
            if (bitDepth != 1 && bitDepth != 2 && bitDepth != 4 && bitDepth != 8)
                return Broken("The PNG header gives an indexed picture of " + std::to_string(bitDepth) +
                              " bits per pixel, which PNG does not allow.");
        } else if (type == "PLTE") {
            const uint32_t entries = length / 3;
            if (length % 3 != 0 || entries == 0 || entries > (1u << bitDepth))
                return Broken("The palette chunk of the PNG image holds " + std::to_string(length) +
                              " bytes, which is no palette for " + std::to_string(bitDepth) + "-bit pixels.");
            read.colors.reserve(entries);
            for (uint32_t i = 0; i < entries; ++i)
                read.colors.push_back({bytes[data + 3 * i], bytes[data + 3 * i + 1], bytes[data + 3 * i + 2]});
            read.kind = PngPaletteRead::Kind::Indexed;
            return read;
        } else if (type == "IDAT" || type == "IEND") {
            return Broken("The indexed PNG image has no palette chunk before its picture data.");
        }
        at = data + length + 4;
    }
}

} // namespace zorp
