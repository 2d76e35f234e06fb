// What the ROM converter shows and writes: layout names, padding to whole
// 16 KB blocks, the header report and the bytes of a converted file.
#include <algorithm>
#include <cstdio>

#include "rom/PubFunctions.h"
#include "rom/RomFormat.h"

namespace zorp {

namespace {

constexpr size_t kChecksumOffset = 0x18E;

// The header bytes as characters, one per byte; bytes past the end of a short
// image are simply absent.
std::string HeaderField(const Bytes& image, size_t offset, size_t length)
{
    if (offset >= image.size())
        return {};
    const size_t end = std::min(image.size(), offset + length);
    return std::string(image.begin() + static_cast<std::ptrdiff_t>(offset),
                       image.begin() + static_cast<std::ptrdiff_t>(end));
}

// Only spaces are stripped: zero bytes and other characters are shown as read.
std::string StripSpaces(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string HexWord(uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return PadLeftZeros(text, 4);
}

} // namespace

std::string RomLayoutName(uint32_t layout, bool is32X)
{
    std::string name;
    if (layout & kLayoutMgd)
        name = "Multi Game Doctor Interleaved";
    else if (layout & kLayoutSmd)
        name = "Super Magic Drive Interleaved";
    else if (layout & kLayoutPlain)
        name = "Plain Binary ROM Dump";
    else
        return "Unknown (please check that this is a ROM file)";
    if (layout & kLayoutMultiFile)
        name += " (Multi-Load)";
    if (is32X)
        name += " (32X)";
    return name;
}

size_t PaddedRomSize(size_t size)
{
    if (size % kSmdBlockSize == 0)
        return size;
    return (size / kSmdBlockSize + 1) * kSmdBlockSize;
}

void PadRomImage(Bytes& image) { image.resize(PaddedRomSize(image.size()), 0); }

std::vector<std::string> HeaderReportLines(const Bytes& paddedImage, size_t originalSize)
{
    return {
        "Domestic name: " + StripSpaces(HeaderField(paddedImage, 0x120, 48)),
        "Overseas name: " + StripSpaces(HeaderField(paddedImage, 0x150, 48)),
        "Serial number: " + StripSpaces(HeaderField(paddedImage, 0x180, 14)),
        "Country code: " + StripSpaces(HeaderField(paddedImage, 0x1F0, 3)),
        "Checksum: 0x" + HexWord(StoredChecksum(paddedImage)) + ", Actual Checksum: 0x" +
            HexWord(GenesisChecksum(paddedImage)),
        "Original size: " + std::to_string(originalSize) + ", Padded size: " + std::to_string(paddedImage.size()),
    };
}

bool WriteHeaderChecksum(Bytes& image, uint16_t checksum)
{
    if (image.size() < kChecksumOffset + 2)
        return false;
    image[kChecksumOffset] = static_cast<uint8_t>(checksum >> 8);
    image[kChecksumOffset + 1] = static_cast<uint8_t>(checksum & 0xFF);
    return true;
}

Bytes ConvertedRomBytes(const Bytes& paddedImage, RomOutputFormat format, bool fixChecksum)
{
    // Work on a copy: the caller's image keeps the header it was loaded with.
    Bytes image = paddedImage;
    PadRomImage(image);
    if (fixChecksum)
        WriteHeaderChecksum(image, GenesisChecksum(image));
    switch (format) {
    case RomOutputFormat::Binary:
        return image;
    case RomOutputFormat::Smd: {
        Bytes out = MakeSmdHeader(image.size());
        Bytes body = InterleaveSMD(image);
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }
    case RomOutputFormat::Mgd:
        return InterleaveMGD(image);
    }
    return image;
}

} // namespace zorp
